#include "startup/runtime_window_install.h"

#include <gdk/gdk.h>

#include "windows/pane_port.h"
#include "core/application.h"
#include "core/run_loop.h"
#include "strings/runtime_error.h"
#include "windows/container_control.h"
#include "windows/menu_enabling.h"
#include "controls/message_dialog.h"
#include "windows/runtime_window.h"
#include "windows/wait_cursor.h"
#include "windows/window_class.h"

namespace vorn {

void InitRuntimeWindowLayer() {
  static bool done = false;
  if (done) return;
  done = true;
  InstallControlWindowHooks();
  RegisterWindowClass();
  RegisterContainerControlClass();
  RegisterMessageDialogClasses();
  EnsurePanePorts();

  WindowLayerHooks layer = GetWindowLayerHooks();
  layer.runLoopOnce = &RunMainLoopOnce;
  layer.quitRequested = &GetQuitFlag;
  layer.enableMenuItems = [](Window* window) { EnableMenuItemsForWindow(false, window); };
  SetWindowLayerHooks(layer);
  WindowListHooks list;
  list.anyWindowOpen = &AnyViewWindowOpen;
  list.closeAllWindows = &CloseAllWindows;
  SetWindowListHooks(list);

  if (gdk_display_get_default()) {
    SetRuntimeErrorPresenter(&PresentRuntimeErrorDialog);
    SetUnhandledExceptionPresenter(&PresentUnhandledExceptionReport);
    InstallWaitCursor();
  }
}

}  // namespace vorn
