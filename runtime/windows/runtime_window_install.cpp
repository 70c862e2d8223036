#include "windows/runtime_window_install.h"

#include <gdk/gdk.h>

#include "controls/pane_port.h"
#include "core/application.h"
#include "core/run_loop.h"
#include "strings/runtime_error.h"
#include "windows/message_dialog.h"
#include "windows/runtime_window.h"
#include "windows/window_class.h"

namespace vorn {

void InitRuntimeWindowLayer() {
  static bool done = false;
  if (done) return;
  done = true;
  InstallControlWindowHooks();
  RegisterWindowClass();
  RegisterMessageDialogClasses();
  EnsurePanePorts();

  WindowLayerHooks layer = GetWindowLayerHooks();
  layer.runLoopOnce = &RunMainLoopOnce;
  layer.quitRequested = &GetQuitFlag;
  SetWindowLayerHooks(layer);
  WindowListHooks list;
  list.anyWindowOpen = &AnyViewWindowOpen;
  list.closeAllWindows = &CloseAllWindows;
  SetWindowListHooks(list);

  if (gdk_display_get_default()) {
    SetRuntimeErrorPresenter(&PresentRuntimeErrorDialog);
    SetUnhandledExceptionPresenter(&PresentUnhandledExceptionReport);
  }
}

}  // namespace vorn
