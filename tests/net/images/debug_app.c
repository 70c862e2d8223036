/* A debug build of a small program: a line call before every line, as the compiler emits them.
 * It logs the address of its local on standard error so that the test, playing the IDE, can
 * read and change it, and logs what it sees afterwards. */
#include "vorn/class_abi.h"
#include "vorn/debug_api.h"
#include "vorn/object_abi.h"
#include "../../core/startup_images/image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;
VORN_LITERAL(kLocalHost, "127.0.0.1");
VORN_LITERAL(kOutOfBounds, "OutOfBoundsException");

int32_t RuntimeExit(void);
void RuntimeInitExternalClasses(void);
volatile int32_t gCalleeRuns;

static void LogHex(unsigned long value) {
  char digits[16];
  for (int i = 15; i >= 0; --i, value >>= 4) digits[i] = "0123456789ABCDEF"[value & 15];
  LogBytes(digits, 16);
}

static void __attribute__((noinline)) Callee(void) {
  RuntimeDebuggerEntry(10);
  gCalleeRuns = gCalleeRuns + 1;
  RuntimeDebuggerEntry(11);
  gCalleeRuns = gCalleeRuns + 1;
}

void ImageEntry(void) {
  DebugRuntimeInit();
  RuntimeInitExternalClasses();
  RemoteDebuggerStartup(VORN_STR(kLocalHost));
  volatile int32_t local = 42;
  LogText("local=");
  LogHex((unsigned long)&local);
  LogText(";");
  RuntimeDebuggerEntry(1);
  RuntimeDebuggerEntry(5);
  Callee();
  RuntimeDebuggerEntry(6);
  LogText("value=");
  LogNumber(local);
  LogText(";");
  RuntimeDebuggerEntry(7);
  VornRuntimeObject* exception = RuntimeNewObject(RuntimeLookupClass(VORN_STR(kOutOfBounds)));
  RuntimeRaiseException(exception);
  RuntimeUnlockObject(exception);
  RuntimeDebuggerEntry(8);
  LogText(vornPendingException ? "exception pending;" : "no exception;");
  RuntimeUnlockObject(vornPendingException);
  vornPendingException = 0;
  RuntimeDebuggerShutdown();
  LogText("done;");
  RuntimeExit();
}
