/* An application that logs its events and quits by AutoQuit, having opened no window. It
 * enters the run loop twice; the second entry must return at once. */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "vorn/folder_item_api.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

void RuntimeUnlockString(VornStringRecord* text);

static void OnOpen(VornRuntimeObject* self) {
  (void)self;
  LogText("Open;");
}

/* The item's path, as compiled code reads its AbsolutePath. */
static void OnOpenDocument(VornRuntimeObject* self, VornRuntimeObject* item) {
  (void)self;
  if (!item) {
    LogText("OpenDocument(nil);");
    return;
  }
  VornStringRecord* path = VORNpathFromFolderItem(item);
  LogText("OpenDocument(");
  if (path) LogBytes(path->buffer + 1, path->length);
  LogText(");");
  RuntimeUnlockString(path);
}

static void OnNewDocument(VornRuntimeObject* self) {
  (void)self;
  LogText("NewDocument;");
}

static uint8_t OnCancelClose(VornRuntimeObject* self) {
  (void)self;
  LogText("CancelClose;");
  return 0;
}

static void OnClose(VornRuntimeObject* self) {
  (void)self;
  LogText("Close;");
}

static const VornClassMember kHandlers[] = {
    {"#Open%%o<EventsApp>", (void*)OnOpen, 0, 0},
    {"#OpenDocument%%o<EventsApp>o<FolderItem>", (void*)OnOpenDocument, 0, 0},
    {"#NewDocument%%o<EventsApp>", (void*)OnNewDocument, 0, 0},
    {"#CancelClose%b%o<EventsApp>", (void*)OnCancelClose, 0, 0},
    {"#Close%%o<EventsApp>", (void*)OnClose, 0, 0},
};

static const VornClassRecord kEventsApp = {
    kVornClassRecordVersion, 0, "EventsApp", "Application", sizeof(VornApplicationObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kHandlers, sizeof kHandlers / sizeof kHandlers[0], 0, 0};

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  VornRuntimeObject* app = RuntimeNewObject(RuntimeNewClass(&kEventsApp));
  ((VornApplicationObject*)app)->autoQuit = 1;
  RuntimeRegisterAppObject(app);
  RuntimeUnlockObject(app);
  LogText("Run;");
  RuntimeRun();
  LogText("RunReturned;");
  RuntimeRun();
  LogText("SecondRunReturned;");
  RuntimeExit();
}
