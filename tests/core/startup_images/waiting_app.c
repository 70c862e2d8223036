/* An application that waits in the run loop until a signal ends it; it says "Waiting;" once
 * the loop has started. */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

static uint8_t OnCancelClose(VornRuntimeObject* self) {
  (void)self;
  LogText("CancelClose;");
  return 0;
}

static void OnClose(VornRuntimeObject* self) {
  (void)self;
  LogText("Close;");
}

static void OnAction(VornRuntimeObject* self) {
  (void)self;
  LogText("Waiting;");
}

static const VornClassMember kAppHandlers[] = {
    {"#CancelClose%b%o<WaitingApp>", (void*)OnCancelClose, 0, 0},
    {"#Close%%o<WaitingApp>", (void*)OnClose, 0, 0},
};

static const VornClassRecord kWaitingApp = {
    kVornClassRecordVersion, 0, "WaitingApp", "Application", sizeof(VornApplicationObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kAppHandlers, 2, 0, 0};

static const VornClassMember kTimerHandlers[] = {{"#Action%%o<ReadyTimer>", (void*)OnAction, 0, 0}};

static const VornClassRecord kReadyTimer = {
    kVornClassRecordVersion, 0, "ReadyTimer", "Timer", sizeof(VornTimerObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kTimerHandlers, 1, 0, 0};

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  VornRuntimeObject* app = RuntimeNewObject(RuntimeNewClass(&kWaitingApp));
  RuntimeRegisterAppObject(app);
  RuntimeUnlockObject(app);
  VornRuntimeObject* ready = RuntimeNewObject(RuntimeNewClass(&kReadyTimer));
  timerPeriodSetter(ready, 0, 1);
  timerModeSetter(ready, 0, kVornTimerSingle);
  RuntimeRun();
  LogText("RunReturned;");
  RuntimeUnlockObject(ready);
  RuntimeExit();
}
