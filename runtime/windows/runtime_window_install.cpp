#include "windows/runtime_window_install.h"

#include <gdk/gdk.h>

#include "strings/runtime_error.h"
#include "windows/message_dialog.h"
#include "windows/runtime_window_port.h"
#include "windows/window_class.h"
#include "windows/window_controls_support.h"

namespace vorn {

void InitRuntimeWindowLayer() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterWindowControlClasses();
  RegisterWindowClass();
  RegisterMessageDialogClasses();
  InstallPanePortHooks();
  if (gdk_display_get_default()) SetRuntimeErrorPresenter(&PresentRuntimeErrorDialog);
}

}  // namespace vorn
