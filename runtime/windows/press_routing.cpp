#include "windows/press_routing.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "windows/gtk_pane_support.h"
#include "windows/sub_pane.h"
#include "windows/window.h"

namespace vorn {

namespace {

// The press a pointer button holds: where its release belongs.
struct HeldPress {
  Window* window = nullptr;  // may close meanwhile: looked up in the window list before use
  guint button = 0;
  bool toWidget = false;        // a widget has the press; otherwise the runtime took it whole
  GdkWindow* pickedBy = nullptr;  // the window GDK gave the press (not held: compared only)
  GdkWindow* handedTo = nullptr;  // the routed widget's window, when GDK picked another's
};
HeldPress sHeld;

void ForgetHeldPress() {
  if (sHeld.handedTo) g_object_unref(sHeld.handedTo);
  sHeld = HeldPress{};
}

bool Owns(SubPane* pane, GtkWidget* widget) {
  NativeWidget own = pane->Widget();
  return own && widget && (widget == own || gtk_widget_is_ancestor(widget, own));
}

// The window whose content (its GtkFixed) holds the widget; the menu bar and the frame are GTK's.
Window* ContentWindowOf(GtkWidget* widget) {
  if (!widget) return nullptr;
  GtkWidget* top = gtk_widget_get_toplevel(widget);
  for (Window* window = Window::FirstWindow(); window; window = window->NextInList()) {
    if (window->GtkWindowWidget() != top || window->IsClosing()) continue;
    NativeWidget content = window->Widget();
    if (content && widget != content && gtk_widget_is_ancestor(widget, content)) return window;
  }
  return nullptr;
}

// A GTK grab sends presses to its own widget (an open popup, a modal dialog): GTK decides then,
// except inside the modal window itself.
bool GrabDecides(GtkWidget* widget) {
  GtkWidget* grab = gtk_grab_get_current();
  if (!grab) return false;
  if (!GTK_WIDGET_TOPLEVEL(grab)) return true;
  return widget != grab && !gtk_widget_is_ancestor(widget, grab);
}

// The topmost shown pane at a point of the window, nil when none hears input there.
SubPane* TopPaneAt(Window* window, int32_t h, int32_t v) {
  const std::vector<SubPane*>& panes = window->Panes();
  for (auto it = panes.rbegin(); it != panes.rend(); ++it) {
    SubPane* pane = *it;
    if (!pane->IsDisplayed() || !PointInRect(h, v, pane->AdjustedBounds())) continue;
    if (pane->HearsInput()) return pane;
    if (!pane->PassesClickThrough()) return nullptr;
  }
  return nullptr;
}

// The deepest shown GDK window of the pane's widget at a point given in `parent`'s coordinates,
// looking through the windows of the widgets that hold it.
GdkWindow* PaneWindowAt(SubPane* pane, GdkWindow* parent, gint x, gint y, bool parentIsPanes) {
  // GDK lists children topmost first.
  for (GList* link = gdk_window_peek_children(parent); link; link = link->next) {
    GdkWindow* child = GDK_WINDOW(link->data);
    if (!gdk_window_is_viewable(child)) continue;
    gint cx = 0, cy = 0, cw = 0, ch = 0;
    gdk_window_get_geometry(child, &cx, &cy, &cw, &ch, nullptr);
    if (x < cx || y < cy || x >= cx + cw || y >= cy + ch) continue;
    gpointer data = nullptr;
    gdk_window_get_user_data(child, &data);
    auto* owner = static_cast<GtkWidget*>(data);
    const bool mine = Owns(pane, owner);
    if (!mine && !(owner && gtk_widget_is_ancestor(pane->Widget(), owner))) continue;
    if (GdkWindow* found = PaneWindowAt(pane, child, x - cx, y - cy, mine)) return found;
  }
  return parentIsPanes ? parent : nullptr;
}

GdkWindow* PaneWindowAtRoot(SubPane* pane, Window* window, gdouble xRoot, gdouble yRoot) {
  if (!pane->Widget() || !window->GtkWindowWidget()) return nullptr;
  GdkWindow* top = gtk_widget_get_window(window->GtkWindowWidget());
  if (!top) return nullptr;
  gint ox = 0, oy = 0;
  gdk_window_get_origin(top, &ox, &oy);
  return PaneWindowAt(pane, top, static_cast<gint>(xRoot) - ox, static_cast<gint>(yRoot) - oy, false);
}

// Hands a copy of the event to another GDK window, its point made that window's.
void HandTo(GdkEvent* event, GdkWindow* target) {
  GdkEvent* copy = gdk_event_copy(event);
  g_object_unref(copy->any.window);
  copy->any.window = GDK_WINDOW(g_object_ref(target));
  gint ox = 0, oy = 0;
  gdk_window_get_origin(target, &ox, &oy);
  if (copy->type == GDK_SCROLL) {
    copy->scroll.x = copy->scroll.x_root - ox;
    copy->scroll.y = copy->scroll.y_root - oy;
  } else {
    copy->button.x = copy->button.x_root - ox;
    copy->button.y = copy->button.y_root - oy;
  }
  gtk_main_do_event(copy);
  gdk_event_free(copy);
}

// GDK sent the pointer's crossings to the window it picked: the routed widget (a button that
// acts only on a release inside it) is told the pointer came and went.
void Cross(GdkWindow* target, GdkEventType type, const GdkEventButton& at) {
  GdkEvent* crossing = gdk_event_new(type);
  crossing->crossing.window = GDK_WINDOW(g_object_ref(target));
  crossing->crossing.send_event = TRUE;
  crossing->crossing.time = at.time;
  crossing->crossing.x_root = at.x_root;
  crossing->crossing.y_root = at.y_root;
  gint ox = 0, oy = 0;
  gdk_window_get_origin(target, &ox, &oy);
  crossing->crossing.x = at.x_root - ox;
  crossing->crossing.y = at.y_root - oy;
  crossing->crossing.mode = GDK_CROSSING_NORMAL;
  crossing->crossing.detail = GDK_NOTIFY_NONLINEAR;
  crossing->crossing.state = at.state;
  gtk_main_do_event(crossing);
  gdk_event_free(crossing);
}

// A pane built inside one of the window's panes (a list's scroll bar) whose widget holds the
// widget, and that window pane; nil for the window's own panes.
SubPane* InnerPaneOf(Window* window, SubPane* pane, GtkWidget* widget) {
  const std::vector<SubPane*>& own = window->Panes();
  for (SubPane* child : pane->Children()) {
    if (std::find(own.begin(), own.end(), child) != own.end()) continue;
    if (Owns(child, widget)) return child;
    if (SubPane* found = InnerPaneOf(window, child, widget)) return found;
  }
  return nullptr;
}

// The window's own pane on top at the point is the one whose inner pane GDK picked: that pane
// hears the press first, as it always has.
bool PressIsAnInnerPanes(Window* window, GtkWidget* widget, gdouble xRoot, gdouble yRoot) {
  int32_t h = 0, v = 0;
  GetWindowPoint(window, static_cast<int32_t>(xRoot), static_cast<int32_t>(yRoot), &h, &v);
  SubPane* top = TopPaneAt(window, h, v);
  return top && InnerPaneOf(window, top, widget);
}

bool RoutePress(GdkEvent* event, Window* window, GtkWidget* widget) {
  GdkEventButton& press = event->button;
  if (event->type != GDK_BUTTON_PRESS) {
    // A double press follows the press it completes, as its widget's own or to nobody.
    if (sHeld.window != window || !sHeld.toWidget) return true;
    if (sHeld.handedTo) HandTo(event, sHeld.handedTo);
    return sHeld.handedTo != nullptr;
  }
  ForgetHeldPress();
  sHeld.window = window;
  sHeld.button = press.button;
  sHeld.pickedBy = press.window;
  if (PressIsAnInnerPanes(window, widget, press.x_root, press.y_root)) {
    sHeld.toWidget = true;
    return false;
  }
  const bool handled = RoutePanePress(window, press);
  // A handler closed the window: its widgets hear nothing more of the press.
  if (!Window::IsInWindowList(window) || window->IsClosing()) {
    ForgetHeldPress();
    return true;
  }
  SubPane* pane = nullptr;
  if (handled) {
    pane = press.button == 3 ? nullptr : window->NativeClickPane();
  } else {
    // Nobody took the press: the top pane's widget keeps its own use of it (a tab panel's tabs).
    int32_t h = 0, v = 0;
    GetWindowPoint(window, static_cast<int32_t>(press.x_root), static_cast<int32_t>(press.y_root), &h, &v);
    pane = TopPaneAt(window, h, v);
  }
  if (!pane) return true;
  sHeld.toWidget = true;
  if (Owns(pane, widget)) return false;
  GdkWindow* target = PaneWindowAtRoot(pane, window, press.x_root, press.y_root);
  if (!target) {
    sHeld.toWidget = false;
    return true;
  }
  sHeld.handedTo = GDK_WINDOW(g_object_ref(target));
  Cross(target, GDK_ENTER_NOTIFY, press);
  HandTo(event, target);
  return true;
}

bool RouteRelease(GdkEvent* event) {
  if (!sHeld.window || event->button.button != sHeld.button) return false;
  // A grab made meanwhile takes the release where GDK sends it.
  if (event->button.window != sHeld.pickedBy) {
    ForgetHeldPress();
    return false;
  }
  Window* window = sHeld.window;
  const bool toWidget = sHeld.toWidget;
  GdkWindow* target = sHeld.handedTo ? GDK_WINDOW(g_object_ref(sHeld.handedTo)) : nullptr;
  ForgetHeldPress();
  if (!toWidget) {
    // The runtime took the press: its capture has the release wherever GDK sends it.
    if (Window::IsInWindowList(window) && !window->IsClosing()) window->HandleButtonRelease(event->button);
    return true;
  }
  if (!target) return false;
  // A grab the press made elsewhere (the menu a popup opened) has the release as GTK sends it.
  gpointer owner = nullptr;
  gdk_window_get_user_data(target, &owner);
  GtkWidget* grab = gtk_grab_get_current();
  if (grab && owner && owner != grab && !gtk_widget_is_ancestor(static_cast<GtkWidget*>(owner), grab)) {
    g_object_unref(target);
    return false;
  }
  HandTo(event, target);
  Cross(target, GDK_LEAVE_NOTIFY, event->button);
  g_object_unref(target);
  return true;
}

bool RouteScroll(GdkEvent* event, Window* window, GtkWidget* widget) {
  int32_t h = 0, v = 0;
  GetWindowPoint(window, static_cast<int32_t>(event->scroll.x_root), static_cast<int32_t>(event->scroll.y_root), &h, &v);
  const std::vector<SubPane*>& panes = window->Panes();
  SubPane* top = nullptr;
  for (auto it = panes.rbegin(); it != panes.rend() && !top; ++it) {
    if ((*it)->IsDisplayed() && PointInRect(h, v, (*it)->AdjustedBounds())) top = *it;
  }
  if (!top || Owns(top, widget) || InnerPaneOf(window, top, widget)) return false;
  if (!top->HearsInput()) return true;
  // A pane without a window of its own there hears the wheel through the window.
  GdkWindow* target = PaneWindowAtRoot(top, window, event->scroll.x_root, event->scroll.y_root);
  if (!target) target = gtk_widget_get_window(window->GtkWindowWidget());
  if (target) HandTo(event, target);
  return true;
}

}  // namespace

bool RoutePointerEvent(GdkEvent* event) {
  switch (event->type) {
    case GDK_BUTTON_RELEASE:
      return RouteRelease(event);
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
    case GDK_SCROLL:
      break;
    default:
      return false;
  }
  GtkWidget* widget = gtk_get_event_widget(event);
  Window* window = ContentWindowOf(widget);
  if (!window || GrabDecides(widget)) return false;
  return event->type == GDK_SCROLL ? RouteScroll(event, window, widget) : RoutePress(event, window, widget);
}

}  // namespace vorn
