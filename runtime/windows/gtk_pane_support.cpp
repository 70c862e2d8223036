#include "windows/gtk_pane_support.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "windows/pane_assert.h"
#include "windows/pane_disposal.h"
#include "windows/pane_focus.h"
#include "windows/sub_pane.h"
#include "windows/window.h"

namespace vorn {

namespace {

constexpr const char* kHelperSource = "../Common/Linux/GTKHelper";

bool sHavePress = false;
uint32_t sLastPressTime = 0;
int32_t sClickModifiers = 0;
int32_t sMenuBarHeight = -1;  // cached once the allocation is known

void PlaceWidget(SubPane* pane, int32_t line, bool add, bool show) {
  Window* window = pane->GetWindow();
  if (!window) {
    ReportPaneAssertion(kHelperSource, line, "window", "No window?  Blasphemy!");
    return;
  }
  NativeWidget widget = pane->Widget();
  NativeWidget fixed = window->Widget();
  if (!widget || !fixed || widget == fixed) return;
  const Rect& b = pane->Bounds();
  if (add) {
    gtk_fixed_put(GTK_FIXED(fixed), widget, b.left, b.top);
  } else {
    gtk_fixed_move(GTK_FIXED(fixed), widget, b.left, b.top);
  }
  gtk_widget_set_size_request(widget, std::max(0, pane->Width()), std::max(0, pane->Height()));
  if (show) gtk_widget_show(widget);
}

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  return RoutePanePress(static_cast<SubPane*>(data), *event);
}

void OnGrabFocus(GtkWidget* widget, gpointer data) {
  if (GTK_WIDGET_CAN_FOCUS(widget)) SetFocusPane(static_cast<SubPane*>(data));
}

gboolean OnExpose(GtkWidget*, GdkEventExpose*, gpointer data) {
  static_cast<SubPane*>(data)->HandleExpose();
  return FALSE;
}

}  // namespace

int32_t ModifiersFromGdkState(uint32_t state) {
  int32_t modifiers = 0;
  if (state & GDK_SHIFT_MASK) modifiers |= kModifierShift;
  if (state & GDK_CONTROL_MASK) modifiers |= kModifierControl;
  if (state & GDK_MOD1_MASK) modifiers |= kModifierOption;
  return modifiers;
}

int32_t GetLastClickModifiers() { return sClickModifiers; }

void AddPaneToWindow(SubPane* pane, bool show) { PlaceWidget(pane, 1208, true, show); }

void MovePaneInWindow(SubPane* pane) {
  if (!pane->Widget()) return;
  PlaceWidget(pane, 1136, false, false);
}

int32_t GetMenuBarHeight(Window* window) {
  if (!window || !window->HasMenuBar()) return 0;
  NativeWidget bar = window->MenuBarWidget();
  if (!bar || !GTK_WIDGET_VISIBLE(bar)) return 0;
  if (sMenuBarHeight < 0 && bar->allocation.height > 1) sMenuBarHeight = bar->allocation.height;
  if (sMenuBarHeight < 0) {
    // Before the first bar is laid out its request is the best measure there is.
    GtkRequisition request = {0, 0};
    gtk_widget_size_request(bar, &request);
    return std::max(request.height, 0);
  }
  return sMenuBarHeight;
}

void GetWindowPoint(Window* window, int32_t screenH, int32_t screenV, int32_t* h, int32_t* v) {
  *h = 0;
  *v = 0;
  if (!window || !window->GtkWindowWidget()) return;
  GdkWindow* gdkWindow = gtk_widget_get_window(window->GtkWindowWidget());
  if (!gdkWindow) return;
  gint x = 0, y = 0;
  gdk_window_get_origin(gdkWindow, &x, &y);
  *h = screenH - x;
  *v = screenV - y - GetMenuBarHeight(window);
}

void GetWindowMouseLocation(Window* window, int32_t* h, int32_t* v) {
  *h = 0;
  *v = 0;
  if (!window || !window->GtkWindowWidget()) return;
  GdkWindow* gdkWindow = gtk_widget_get_window(window->GtkWindowWidget());
  if (!gdkWindow) return;
  gint x = 0, y = 0;
  gdk_window_get_pointer(gdkWindow, &x, &y, nullptr);
  *h = x;
  *v = y - GetMenuBarHeight(window);
}

bool ClaimPress(const GdkEventButton& press) {
  // The same press reaches a control's widget and then its window: handle it once.
  if (sHavePress && press.time == sLastPressTime) return false;
  sHavePress = true;
  sLastPressTime = press.time;
  return true;
}

bool RoutePanePress(SubPane* pane, const GdkEventButton& press) {
  if (!ClaimPress(press)) return false;
  sClickModifiers = ModifiersFromGdkState(press.state);
  SetLastEventModifiers(sClickModifiers);
  Window* window = pane ? pane->GetWindow() : nullptr;
  if (!window || window->IsClosing()) return false;
  // The handlers the press runs may close the window: it lasts the call out.
  DispatchScope dispatch;
  // Where the press happened, not where the pointer is now: it may have moved on since.
  int32_t h, v;
  GetWindowPoint(window, static_cast<int32_t>(press.x_root), static_cast<int32_t>(press.y_root), &h, &v);
  bool handled = press.button == 3 ? window->ContextualClick(h, v, sClickModifiers)
                                   : window->MouseDown(h, v, sClickModifiers);
  // A window closed meanwhile keeps the press from its widgets.
  if (window->IsClosing()) return true;
  return handled && !window->NativeClickPane();
}

void DeliverMouseUp(SubPane* pane, const GdkEventButton& release) {
  if (!pane || pane != GetMouseCapturePane()) return;
  ClearMouseCapturePane();
  int32_t h = 0, v = 0;
  GetWindowPoint(pane->GetWindow(), static_cast<int32_t>(release.x_root), static_cast<int32_t>(release.y_root), &h, &v);
  pane->MouseUp(h, v);
}

void ConnectButtonPressHandler(SubPane* pane) {
  if (!pane->Widget()) return;
  gtk_widget_add_events(pane->Widget(), GDK_BUTTON_PRESS_MASK);
  g_signal_connect(pane->Widget(), "button-press-event", G_CALLBACK(OnButtonPress), pane);
}

void ConnectGrabFocusHandler(SubPane* pane) {
  if (pane->Widget()) g_signal_connect(pane->Widget(), "grab-focus", G_CALLBACK(OnGrabFocus), pane);
}

void ConnectExposeHandler(SubPane* pane) {
  if (pane->Widget()) g_signal_connect(pane->Widget(), "expose-event", G_CALLBACK(OnExpose), pane);
}

}  // namespace vorn
