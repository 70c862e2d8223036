#include "startup/window_loop_hooks.h"

#include <cstdint>

#include "core/run_loop.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_disposal.h"
#include "windows/pane_focus.h"
#include "windows/sub_pane.h"
#include "windows/window.h"

namespace vorn {

namespace {

bool ShowWindows(void*) {
  Window::ShowPendingWindows();
  return false;
}

// While the capturing pane's button is down it gets the pointer position every iteration;
// the loop then drains the pending events instead of waiting for one.
bool ServeMouseCapture(void*) {
  SubPane* pane = GetMouseCapturePane();
  if (pane == nullptr || !IsMouseButtonDown(pane)) return false;
  Window* window = pane->GetWindow();
  if (window == nullptr) return false;
  int32_t h = 0;
  int32_t v = 0;
  GetWindowMouseLocation(window, &h, &v);
  pane->MouseDrag(h, v);
  return true;
}

bool IdleFocusPane(void*) {
  if (SubPane* pane = GetFocusPane()) pane->Idle();
  return false;
}

// Windows closed by the event that quit have no idle left to free them.
bool FreeClosedPanes(void*) {
  DisposeDeferredPanes();
  return false;
}

}  // namespace

void InstallWindowLoopHooks() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  AddRunLoopHook(RunLoopStage::kBeforeEvents, &ShowWindows, nullptr);
  AddRunLoopHook(RunLoopStage::kMouseCapture, &ServeMouseCapture, nullptr);
  AddRunLoopHook(RunLoopStage::kAfterEvents, &IdleFocusPane, nullptr);
  AddRunLoopHook(RunLoopStage::kLoopEnded, &FreeClosedPanes, nullptr);
}

}  // namespace vorn
