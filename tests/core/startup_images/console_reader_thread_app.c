/* A console program whose Thread reads a line of standard input while the main thread idles:
 * in the run loop, or (VORN_TEST_MAIN_WAITS set) waiting on a semaphore that only the
 * reader releases; with VORN_TEST_MAIN_WAITS "busy" a second Thread yields for ever beside
 * them, so that the schedule always has someone else to run. The reader echoes the line and
 * lets the program end. */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "vorn/console_api.h"
#include "vorn/system_api.h"
#include "vorn/thread_api.h"

VORN_DEFINE_PENDING_EXCEPTION;

void RuntimeUnlockString(VornStringRecord *text);

VORN_LITERAL(kSemaphoreName, "Semaphore");
VORN_LITERAL(kModeVariable, "VORN_TEST_MAIN_WAITS");

static VornRuntimeObject *gSemaphore;

static void Run(VornRuntimeObject *self) {
  VornStringRecord *line = RuntimeConsoleInput();
  (void)self;
  RuntimeConsolePrint(line);
  RuntimeUnlockString(line);
  if (gSemaphore) semaphore_release(gSemaphore);
  else ApplicationQuit(0, 0, 0);
}

static void Spin(VornRuntimeObject *self) {
  (void)self;
  for (;;) YieldToNextThread();
}

static const VornClassMember kSpinnerHandlers[] = {{"#Run%%o<Spinner>", (void *)Spin, 0, 0}};
static const VornClassRecord kSpinner = {
    kVornClassRecordVersion, 0, "Spinner", "Thread", sizeof(VornThreadObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kSpinnerHandlers, 1, 0, 0};

static const VornClassMember kReaderHandlers[] = {{"#Run%%o<Reader>", (void *)Run, 0, 0}};
static const VornClassRecord kReader = {
    kVornClassRecordVersion, 0, "Reader", "Thread", sizeof(VornThreadObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kReaderHandlers, 1, 0, 0};

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  RuntimeRegisterConsoleAppObject(0, 0);
  VornRuntimeObject *system = getSystemObject();
  VornStringRecord *mode = SystemGetEnvVariable(system, VORN_STR(kModeVariable));
  int busy = mode && mode->length == 4 && mode->buffer[1] == 'b';
  if (mode && mode->length > 0) {
    gSemaphore = RuntimeNewObject(RuntimeLookupClass(VORN_STR(kSemaphoreName)));
    Semaphore_Signal(gSemaphore); /* takes the only count: the next Signal waits */
  }
  RuntimeUnlockString(mode);
  if (busy) threadRun(RuntimeNewObject(RuntimeNewClass(&kSpinner)));
  RuntimeUnlockObject(system);
  VornRuntimeObject *reader = RuntimeNewObject(RuntimeNewClass(&kReader));
  threadRun(reader);
  if (gSemaphore) {
    Semaphore_Signal(gSemaphore);
    RuntimeUnlockObject(gSemaphore);
  } else {
    RuntimeRun();
  }
  RuntimeUnlockObject(reader);
  RuntimeExit();
}
