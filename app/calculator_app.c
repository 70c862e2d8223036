/* The calculator's entry: the runtime's start-up, the application object, the main window and
 * the run loop. */
#include "image_log.h"
#include "main_window.h"
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"

VORN_DEFINE_PENDING_EXCEPTION;

static const VornClassRecord kCalculatorApp = {
    kVornClassRecordVersion, 0, "CalculatorApp", "Application", (int32_t)sizeof(VornApplicationObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

/* An exception that escaped start-up goes to the runtime's unhandled-exception path. */
static int32_t Failed(void) {
  if (!VORN_FAILED()) return 0;
  VornRuntimeObject *exception = vornPendingException;
  vornPendingException = 0;
  RuntimeUnhandledException(exception);
  RuntimeUnlockObject(exception);
  return 1;
}

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  VornRuntimeClass *windowClass = RegisterMainWindowClasses();
  VornRuntimeObject *app = RuntimeNewObject(RuntimeNewClass(&kCalculatorApp));
  if (!windowClass || !app || Failed()) {
    ImageLog("calculator: cannot start without the classes above\n");
    if (app) RuntimeUnlockObject(app);
    RuntimeExit();
    return;
  }
  /* Closing the window is how the user ends the program. */
  ((VornApplicationObject *)app)->autoQuit = 1;
  RuntimeRegisterAppObject(app);
  RuntimeUnlockObject(app);
  OpenMainWindow(windowClass);
  if (!Failed()) RuntimeRun();
  RuntimeExit();
}
