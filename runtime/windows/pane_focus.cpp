#include "windows/pane_focus.h"

#include "windows/pane_disposal.h"
#include "windows/sub_pane.h"

namespace vorn {

namespace {
SubPane* sFocusPane = nullptr;
SubPane* sMouseCapturePane = nullptr;
}  // namespace

SubPane* GetFocusPane() { return sFocusPane; }

void SetFocusPane(SubPane* pane) {
  SubPane* target = pane ? pane->GetOwner() : nullptr;
  if (target == sFocusPane || (target && target->IsGoingAway())) return;
  // The old pane's LostFocus may close the new one's window: both last the call out.
  DispatchScope dispatch;
  SubPane* old = sFocusPane;
  sFocusPane = nullptr;
  if (old) old->LostFocus();
  if (!sFocusPane && target && !target->IsGoingAway()) {
    sFocusPane = target;
    target->GotFocus();
  }
}

SubPane* GetMouseCapturePane() { return sMouseCapturePane; }
void SetMouseCapturePane(SubPane* pane) {
  if (pane && pane->IsGoingAway()) return;
  sMouseCapturePane = pane;
}
void ClearMouseCapturePane() { sMouseCapturePane = nullptr; }

}  // namespace vorn

#include <gtk/gtk.h>

#include "windows/gtk_window_order.h"
#include "windows/window.h"

namespace vorn {

void ClearFocusPane() {
  SetFocusPane(nullptr);
  if (Window* front = GetFrontWindowPane()) {
    if (front->GtkWindowWidget()) gtk_window_set_focus(GTK_WINDOW(front->GtkWindowWidget()), nullptr);
  }
}

}  // namespace vorn
