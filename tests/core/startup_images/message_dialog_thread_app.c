/* The runtime's own MessageDialog, modal on the main thread, while a thread runs. */
#include "dialog_thread.h"
#include "vorn/window_api.h"

VORN_LITERAL(kMessageDialog, "MessageDialog");

static void ShowDialog(void) {
  VornRuntimeObject *dialog = RuntimeNewObject(RuntimeLookupClass(VORN_STR(kMessageDialog)));
  RuntimeUnlockObject(MessageDialogShowModal(dialog));
  RuntimeUnlockObject(dialog);
}
