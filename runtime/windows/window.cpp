// Window: construction, the widget tree, the window list and the GTK signal handlers.
#include "windows/window.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "windows/gtk_drag_tracking.h"
#include "windows/gtk_drops.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/gtk_window_order.h"
#include "windows/pane_disposal.h"
#include "windows/pane_focus.h"
#include "windows/window_cursor.h"

namespace vorn {

namespace {

Window* sWindowList = nullptr;
int32_t sLastEventModifiers = 0;
WindowLayerHooks sHooks;

Window* Self(gpointer data) { return static_cast<Window*>(data); }

gboolean OnExpose(GtkWidget*, GdkEventExpose*, gpointer data) {
  Self(data)->HandleExpose();
  return FALSE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion*, gpointer data) {
  Self(data)->HandleMotion();
  return FALSE;
}

void OnShow(GtkWidget*, gpointer data) { Self(data)->HandleShowSignal(); }

gboolean OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  Self(data)->ForgetOrigin();
  if (event->type == GDK_CONFIGURE) Self(data)->HandleConfigure();
  return FALSE;
}

gboolean OnMapChange(GtkWidget*, GdkEvent*, gpointer data) {
  Self(data)->ForgetOrigin();
  return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) { return Self(data)->CloseBoxClicked(); }

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  return Self(data)->HandleKeyPress(event->keyval, event->state);
}

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  return RoutePanePress(Self(data), *event);
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  Self(data)->HandleButtonRelease(*event);
  return TRUE;
}

gboolean OnEnter(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  Self(data)->HandleCrossing(true, event->detail);
  return FALSE;
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  Self(data)->HandleCrossing(false, event->detail);
  return FALSE;
}

gboolean OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer data) {
  Self(data)->HandleFocusIn();
  return FALSE;
}

gboolean OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer data) {
  Self(data)->HandleFocusOut();
  return FALSE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  if (event->type == GDK_SCROLL) Self(data)->HandleScroll(event->direction);
  return FALSE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  Self(data)->HandleWindowState(event->new_window_state);
  return FALSE;
}

}  // namespace

bool gTabNavigationDisabled = false;

void SetWindowLayerHooks(const WindowLayerHooks& hooks) { sHooks = hooks; }
const WindowLayerHooks& GetWindowLayerHooks() { return sHooks; }

int32_t GetLastEventModifiers() { return sLastEventModifiers; }
void SetLastEventModifiers(int32_t modifiers) { sLastEventModifiers = modifiers; }

// --- kinds -------------------------------------------------------------------------------

int32_t StoredWindowKind(int32_t kind) {
  if (kind == 12) return 1;
  if (kind == 11) return 8;
  return kind;
}

bool WindowKindIsGtkModal(int32_t kind) {
  return kind == 2 || kind == 3 || kind == 4 || kind == 5 || kind == 10;
}

bool WindowKindIsUndecorated(int32_t kind) { return kind == 4 || kind == 5; }

bool WindowKindIsModal(int32_t kind) { return kind == 2 || kind == 3 || kind == 5 || kind == 10; }

int32_t WindowKindLayer(int32_t kind) {
  switch (kind) {
    case 1: case 7: case 9: return 0;
    case 2: case 3: case 4: case 5: case 10: return 1;
    default: return 2;
  }
}

// --- construction ------------------------------------------------------------------------

Window::Window(const string& title, const Rect& screenBounds, int32_t kind, uint32_t ownerWord,
               bool resizable, int32_t definitionCode)
    : ContainerPane(nullptr, -1, MakeRect(0, 0, screenBounds.Width(), screenBounds.Height())) {
  InstallDispatchTracking();
  ClearCurrentPane();
  mTitle = title;
  mActive = false;
  mScreenBounds = screenBounds;
  mOwnerWord = ownerWord;
  mKind = StoredWindowKind(kind);
  bool modal = WindowKindIsGtkModal(mKind);
  mNextWindow = sWindowList;
  sWindowList = this;
  mResizable = resizable;
  mActive = true;

  mGtkWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  g_object_ref_sink(mGtkWindow);
  mVBox = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(mGtkWindow), mVBox);
  gtk_widget_show(mVBox);
  SetWidget(gtk_fixed_new());
  gtk_box_pack_end(GTK_BOX(mVBox), mWidget, TRUE, TRUE, 0);
  gtk_widget_show(mWidget);

  GtkWindow* gtkWindow = GTK_WINDOW(mGtkWindow);
  gtk_window_set_gravity(gtkWindow, GDK_GRAVITY_STATIC);
  gtk_window_set_title(gtkWindow, mTitle.ToUTF8().CString());
  gtk_window_move(gtkWindow, screenBounds.left, screenBounds.top);
  gtk_window_resize(gtkWindow, std::max(1, mWidth), std::max(1, mHeight));
  gtk_window_set_modal(gtkWindow, modal);
  if (modal) {
    if (Window* front = GetFrontWindowOtherThan(this)) {
      gtk_window_set_transient_for(gtkWindow, GTK_WINDOW(front->mGtkWindow));
    }
  }
  if (WindowKindIsUndecorated(mKind) || definitionCode == kPlainBoxDefinition) {
    gtk_window_set_decorated(gtkWindow, FALSE);
  }
  gtk_widget_add_events(mGtkWindow,
                        GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  ConnectSignals();
  UpdateWindowOrder(this, kOrderInsertFront);
}

void Window::ConnectSignals() {
  g_signal_connect(mWidget, "expose-event", G_CALLBACK(OnExpose), this);
  g_signal_connect(mGtkWindow, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(mGtkWindow, "show", G_CALLBACK(OnShow), this);
  g_signal_connect(mGtkWindow, "configure-event", G_CALLBACK(OnConfigure), this);
  g_signal_connect(mGtkWindow, "map-event", G_CALLBACK(OnMapChange), this);
  g_signal_connect(mGtkWindow, "unmap-event", G_CALLBACK(OnMapChange), this);
  g_signal_connect(mGtkWindow, "delete-event", G_CALLBACK(OnDelete), this);
  g_signal_connect(mGtkWindow, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(mGtkWindow, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(mGtkWindow, "button-release-event", G_CALLBACK(OnButtonRelease), this);
  g_signal_connect(mGtkWindow, "enter-notify-event", G_CALLBACK(OnEnter), this);
  g_signal_connect(mGtkWindow, "leave-notify-event", G_CALLBACK(OnLeave), this);
  g_signal_connect(mGtkWindow, "focus-in-event", G_CALLBACK(OnFocusIn), this);
  g_signal_connect(mGtkWindow, "focus-out-event", G_CALLBACK(OnFocusOut), this);
  g_signal_connect(mGtkWindow, "scroll-event", G_CALLBACK(OnScroll), this);
  g_signal_connect(mGtkWindow, "window-state-event", G_CALLBACK(OnWindowState), this);
}

void Window::LeaveWindowLists() {
  StopResizeWatch();
  UpdateWindowOrder(this, kOrderRemove);
  for (Window** link = &sWindowList; *link; link = &(*link)->mNextWindow) {
    if (*link == this) {
      *link = mNextWindow;
      break;
    }
  }
}

Window::~Window() {
  LeaveWindowLists();
  if (mGtkWindow) {
    // No handler may reach this half-destroyed window any more.
    g_signal_handlers_disconnect_matched(mGtkWindow, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    if (mWidget) {
      g_signal_handlers_disconnect_matched(mWidget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    }
    gtk_widget_destroy(mGtkWindow);
    g_object_unref(mGtkWindow);
    mGtkWindow = nullptr;
  }
  if (mWidget) {
    g_object_unref(mWidget);
    mWidget = nullptr;
  }
  mVBox = nullptr;
  mPanes.clear();
}

Window* Window::FirstWindow() { return sWindowList; }

bool Window::IsInWindowList(const Window* window) {
  for (Window* w = sWindowList; w; w = w->mNextWindow) {
    if (w == window) return true;
  }
  return false;
}

NativeWidget Window::MenuBarWidget() const {
  if (!mVBox) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(mVBox));
  NativeWidget bar = nullptr;
  for (GList* l = children; l; l = l->next) {
    if (GTK_IS_MENU_BAR(l->data)) {
      bar = GTK_WIDGET(l->data);
      break;
    }
  }
  g_list_free(children);
  return bar;
}

void Window::SetMenuBar(NativeWidget menuBar) {
  if (!menuBar || !mVBox) return;
  gtk_box_pack_start(GTK_BOX(mVBox), menuBar, FALSE, FALSE, 0);
  mHasMenuBar = true;
}

void Window::RemoveMenuBar() {
  if (NativeWidget bar = MenuBarWidget()) gtk_container_remove(GTK_CONTAINER(mVBox), bar);
  mHasMenuBar = false;
  mMenuBarShown = false;
}

// --- signal handlers ---------------------------------------------------------------------

void Window::HandleMotion() {
  // The runtime's own drag follows the pointer by itself while it runs.
  if (IsDragTracking()) {
    UpdateDragTracking();
    return;
  }
  int32_t h, v;
  GetWindowMouseLocation(this, &h, &v);
  ShowWindowCursor(this, h, v);
  if (!GetMouseCapturePane()) MouseMove(h, v);
}

void Window::HandleShowSignal() {
  if (mHasMenuBar) {
    mMenuBarShown = true;
    if (sHooks.enableMenuItems) sHooks.enableMenuItems(this);
    // An EnableMenuItems handler may have closed the window.
    if (mClosing) return;
  }
  SetWindowBounds(mWidth, mHeight, true);
  for (SubPane* pane : mPanes) {
    if (pane->CanFocus()) {
      pane->SetFocus();
      break;
    }
  }
}

void Window::HandleConfigure() {
  Rect limits;
  GetSizeLimits(&limits);
  if (limits.top == 0 && limits.left == 0 && limits.bottom == 0 && limits.right == 0) return;
  GdkGeometry geometry = {};
  if (mResizable) {
    geometry.min_width = limits.left;
    geometry.min_height = limits.top;
    geometry.max_width = limits.right;
    geometry.max_height = limits.bottom;
  } else {
    geometry.min_width = geometry.max_width = mWidth;
    geometry.min_height = geometry.max_height = mHeight;
  }
  int32_t menuBar = GetMenuBarHeight(this);
  geometry.min_height += menuBar;
  geometry.max_height += menuBar;
  gtk_window_set_geometry_hints(GTK_WINDOW(mGtkWindow), mVBox, &geometry,
                                static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
}

void Window::HandleButtonRelease(const GdkEventButton& release) {
  if (SubPane* capture = GetMouseCapturePane()) DeliverMouseUp(capture, release);
  EndDragTracking();
}

void Window::HandleCrossing(bool entered, int32_t detail) {
  if (detail == GDK_NOTIFY_INFERIOR) return;
  if (entered) {
    PointerEntered();
  } else {
    PointerLeft();
  }
}

void Window::HandleFocusIn() {
  UpdateWindowOrder(this, kOrderBringToFront);
  Activate();
}

void Window::HandleFocusOut() {
  // Releases of keys held now go elsewhere: they would stay held for ever.
  ClearHeldKeys();
  Deactivate();
}

void Window::HandleScroll(int32_t direction) {
  // Sideways scrolling has no wheel delta of its own; it is left alone.
  if (direction != GDK_SCROLL_UP && direction != GDK_SCROLL_DOWN) return;
  int32_t h, v;
  GetWindowMouseLocation(this, &h, &v);
  MouseWheel(h, v, direction == GDK_SCROLL_UP ? -3 : 3);
}

// The mark operations, not the flags, take the changes: the runtime window fires its
// Minimize, Maximize and Restore events from them.
void Window::HandleWindowState(uint32_t newState) {
  const bool iconified = (newState & GDK_WINDOW_STATE_ICONIFIED) != 0;
  const bool maximized = (newState & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  if (iconified) {
    if (!mMinimized) MarkMinimized();
    mMaximized = maximized;
    return;
  }
  if (mMinimized || (mMaximized && !maximized)) {
    // Back from the dock, or out of the zoomed state: a restore. A window that comes back
    // zoomed stays zoomed without being maximized again.
    ClearWindowState();
    mMaximized = maximized;
    return;
  }
  if (maximized && !mMaximized) MarkMaximized();
}

}  // namespace vorn
