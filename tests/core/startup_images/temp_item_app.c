/* Makes a temporary item, writes a line into it and says "Path(<its path>);", then waits in the
 * run loop ("Waiting;") until a signal ends the program, whose end removes the item. */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "vorn/folder_item_api.h"
#include "vorn/special_folder_api.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

/* Entry points the public headers do not declare. */
void BinaryStreamWrite(VornRuntimeObject* stream, VornStringRecord* text);
void BinaryStreamClose(VornRuntimeObject* stream);
void RuntimeUnlockString(VornStringRecord* text);

VORN_LITERAL(kNoType, "");
VORN_LITERAL(kContents, "limiting magnitude 6.5\n");

static void OnAction(VornRuntimeObject* self) {
  (void)self;
  LogText("Waiting;");
}

static const VornClassMember kTimerHandlers[] = {{"#Action%%o<ReadyTimer>", (void*)OnAction, 0, 0}};

static const VornClassRecord kReadyTimer = {
    kVornClassRecordVersion, 0, "ReadyTimer", "Timer", sizeof(VornTimerObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kTimerHandlers, 1, 0, 0};

static void WriteTemporaryItem(void) {
  VornRuntimeObject* item = getTemporaryFolderItem();
  if (!item) {
    LogText("NoItem;");
    return;
  }
  VornRuntimeObject* stream = FolderItemCreateBinaryFile(item, VORN_STR(kNoType));
  if (stream) {
    BinaryStreamWrite(stream, VORN_STR(kContents));
    BinaryStreamClose(stream);
    RuntimeUnlockObject(stream);
  } else {
    LogText("NoStream;");
  }
  VornStringRecord* path = VORNpathFromFolderItem(item);
  LogText("Path(");
  if (path) LogBytes(path->buffer + 1, path->length);
  LogText(");");
  RuntimeUnlockString(path);
  RuntimeUnlockObject(item);
}

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  RuntimeRegisterAppObject(0);
  WriteTemporaryItem();
  VornRuntimeObject* ready = RuntimeNewObject(RuntimeNewClass(&kReadyTimer));
  timerPeriodSetter(ready, 0, 1);
  timerModeSetter(ready, 0, kVornTimerSingle);
  RuntimeRun();
  RuntimeUnlockObject(ready);
  RuntimeExit();
}
