/* A one-shot timer of 500 ms: its Action logs the mode it reads and the ticks since it was
 * armed; a second timer quits 700 ms later, leaving the first time to fire again if it would. */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

static VornRuntimeObject* gQuitTimer;
static uint32_t gArmedAt;

static void OnAction(VornRuntimeObject* self) {
  LogText("Action(mode=");
  LogNumber(((VornTimerObject*)self)->mode);
  LogText(",ticks=");
  LogNumber((int32_t)(RuntimeTicks() - gArmedAt));
  LogText(");");
  timerPeriodSetter(gQuitTimer, 0, 700);
  timerModeSetter(gQuitTimer, 0, kVornTimerSingle);
}

static void OnQuit(VornRuntimeObject* self) {
  (void)self;
  LogText("Quit;");
  ApplicationQuit(0, 0, 0); /* nil: the registered application */
}

static const VornClassMember kOnceHandlers[] = {{"#Action%%o<OnceTimer>", (void*)OnAction, 0, 0}};
static const VornClassRecord kOnceTimer = {
    kVornClassRecordVersion, 0, "OnceTimer", "Timer", sizeof(VornTimerObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kOnceHandlers, 1, 0, 0};

static const VornClassMember kQuitHandlers[] = {{"#Action%%o<QuitTimer>", (void*)OnQuit, 0, 0}};
static const VornClassRecord kQuitTimer = {
    kVornClassRecordVersion, 0, "QuitTimer", "Timer", sizeof(VornTimerObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kQuitHandlers, 1, 0, 0};

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  RuntimeRegisterAppObject(0);
  VornRuntimeObject* once = RuntimeNewObject(RuntimeNewClass(&kOnceTimer));
  gQuitTimer = RuntimeNewObject(RuntimeNewClass(&kQuitTimer));
  timerPeriodSetter(once, 0, 500);
  gArmedAt = RuntimeTicks();
  timerModeSetter(once, 0, kVornTimerSingle);
  RuntimeRun();
  LogText("End(mode=");
  LogNumber(((VornTimerObject*)once)->mode);
  LogText(");");
  RuntimeUnlockObject(once);
  RuntimeUnlockObject(gQuitTimer);
  RuntimeExit();
}
