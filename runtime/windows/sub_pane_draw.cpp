// SubPane: drawing, invalidation and the pending update region, graphics contexts, and the
// mouse questions asked of GDK.
#include <gtk/gtk.h>

#include <algorithm>

#include "windows/gtk_pane_support.h"
#include "windows/sub_pane.h"
#include "windows/window.h"

namespace vorn {

namespace {

GdkWindow* WidgetGdkWindow(NativeWidget widget) {
  return widget ? gtk_widget_get_window(widget) : nullptr;
}

GdkWindow* WindowGdkWindow(Window* window) {
  return window && window->GtkWindowWidget() ? gtk_widget_get_window(window->GtkWindowWidget())
                                             : nullptr;
}

}  // namespace

// --- drawing -----------------------------------------------------------------------------

void SubPane::Draw(Graphics*) {}

void SubPane::PaintInto(Graphics* port, bool draw) {
  if (draw) Draw(port);
}

void SubPane::Redraw() {
  Graphics* port = GetGraphics();
  if (!port) return;
  if (IsDisplayed()) PaintInto(port, true);
  DisposePaneGraphics(port);
}

void SubPane::HandleExpose() {
  if (!mClosing) Redraw();
}

void SubPane::DrawInto(Graphics* port) {
  const PanePortHooks& hooks = GetPanePortHooks();
  Rect saved = hooks.getClipRect ? hooks.getClipRect(port) : mBounds;
  Draw(port);
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    if (!child->IsDisplayed()) continue;
    if (hooks.setClipRect) hooks.setClipRect(port, child->mBounds);
    child->DrawInto(port);
  }
  if (hooks.setClipRect) hooks.setClipRect(port, saved);
}

void SubPane::ShiftTree(int32_t dh, int32_t dv) {
  Rect r = mBounds;
  OffsetRect(&r, dh, dv);
  StoreBounds(r);
  for (SubPane* child : mSubPanes.children) child->ShiftTree(dh, dv);
}

void SubPane::DrawIntoAt(Graphics* port, int32_t x, int32_t y) {
  if (!IsDisplayed()) return;
  int32_t dh = x - mBounds.left;
  int32_t dv = y - mBounds.top;
  ShiftTree(dh, dv);
  GetEventTarget()->DrawInto(port);
  ShiftTree(-dh, -dv);
}

// --- invalidation ------------------------------------------------------------------------

// The device rectangle of a pane rectangle in the GdkWindow the widget draws into.
static bool DeviceRectFor(SubPane* pane, const Rect& r, bool growByMenuBar, GdkRectangle* out) {
  NativeWidget widget = pane->Widget();
  GdkWindow* gdkWindow = WidgetGdkWindow(widget);
  if (!gdkWindow) return false;
  Window* window = pane->GetWindow();
  int32_t menuBar = window && window->HasMenuBar() ? GetMenuBarHeight(window) : 0;
  bool sharesWindow = !window || gdkWindow == WindowGdkWindow(window);
  out->width = r.Width();
  out->height = r.Height() + (growByMenuBar ? menuBar : 0);
  if (sharesWindow) {
    out->x = r.left;
    out->y = r.top + menuBar;
  } else {
    out->x = r.left - pane->Bounds().left;
    out->y = r.top - pane->Bounds().top;
  }
  return out->width > 0 && out->height > 0;
}

void SubPane::InvalidateRect(const Rect& r) {
  GdkRectangle area;
  if (!DeviceRectFor(this, r, true, &area)) return;
  gdk_window_invalidate_rect(WidgetGdkWindow(mWidget), &area, TRUE);
}

bool SubPane::MoveShownPixels(const Rect& r, int32_t dy) {
  // Only the lines that stay inside `r` once moved are taken.
  const Rect kept = MakeRect(r.left, r.top + std::max(-dy, 0), r.right, r.bottom - std::max(dy, 0));
  GdkRectangle area;
  if (mClosing || !IsDisplayed() || !DeviceRectFor(this, kept, false, &area)) return false;
  GdkRegion* region = gdk_region_rectangle(&area);
  GdkWindow* window = WidgetGdkWindow(mWidget);
  gdk_window_move_region(window, region, 0, dy);
  gdk_region_destroy(region);
  // GDK may keep the move for later: drawing into the lines it uncovered must come after it.
  gdk_window_flush(window);
  return true;
}

void SubPane::InvalidateArea(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  InvalidateRect(MakeRect(left, top, right, bottom));
}

void SubPane::Invalidate(bool) {
  Rect r = mBounds;
  GetFocusRingRect(&r);
  InvalidateRect(r);
}

void SubPane::Refresh() {
  if (!mClosing) InvalidateRect(mBounds);
}

void SubPane::UpdateNow() {
  if (IsWindow()) {
    if (GdkWindow* w = WindowGdkWindow(static_cast<Window*>(this))) gdk_window_process_updates(w, TRUE);
    return;
  }
  GdkWindow* own = WidgetGdkWindow(mWidget);
  if (own) gdk_window_process_updates(own, FALSE);
}

void SubPane::Validate() { ValidateRect(mBounds); }

void SubPane::ValidateRect(const Rect& r) {
  GdkRectangle area;
  if (!DeviceRectFor(this, r, false, &area)) return;
  GdkWindow* gdkWindow = WidgetGdkWindow(mWidget);
  // Taking the update area empties it; what lies outside the rectangle is put back.
  GdkRegion* pending = gdk_window_get_update_area(gdkWindow);
  if (!pending) return;
  GdkRegion* done = gdk_region_rectangle(&area);
  gdk_region_subtract(pending, done);
  gdk_region_destroy(done);
  if (!gdk_region_empty(pending)) gdk_window_invalidate_region(gdkWindow, pending, FALSE);
  gdk_region_destroy(pending);
}

void SubPane::ScrollRect(const Rect& r, int32_t dx, int32_t dy) {
  GdkWindow* gdkWindow = WidgetGdkWindow(mWidget);
  if (!gdkWindow) return;
  // Only pixels that stay inside the pane are copied.
  Rect source;
  if (!IntersectRect(r, mBounds, &source)) return;
  Rect target = source;
  OffsetRect(&target, dx, dy);
  Rect copied;
  if (!IntersectRect(target, mBounds, &copied)) return;
  GdkRectangle to;
  if (!DeviceRectFor(this, copied, false, &to)) return;
  GdkGC* gc = NewGC();
  if (!gc) return;
  gdk_draw_drawable(GDK_DRAWABLE(gdkWindow), gc, GDK_DRAWABLE(gdkWindow), to.x - dx, to.y - dy,
                    to.x, to.y, to.width, to.height);
  ValidateRect(copied);
}

// --- graphics contexts -------------------------------------------------------------------

NativeGC SubPane::NewGC() {
  if (!mGC) {
    GdkWindow* gdkWindow = WidgetGdkWindow(mWidget);
    if (!gdkWindow) return nullptr;
    mGC = gdk_gc_new(GDK_DRAWABLE(gdkWindow));
  }
  return mGC;
}

void SubPane::DisposeGC() {
  if (mGC) g_object_unref(mGC);
  mGC = nullptr;
}

NativeDrawable SubPane::GetGdkDrawable() {
  GdkWindow* gdkWindow = WidgetGdkWindow(mWidget);
  return gdkWindow ? GDK_DRAWABLE(gdkWindow) : nullptr;
}

// --- mouse questions ---------------------------------------------------------------------

bool IsMouseButtonDown(SubPane* pane) {
  GdkWindow* gdkWindow = pane ? WindowGdkWindow(pane->GetWindow()) : nullptr;
  if (!gdkWindow) return false;
  GdkModifierType mask = static_cast<GdkModifierType>(0);
  gdk_window_get_pointer(gdkWindow, nullptr, nullptr, &mask);
  return (mask & GDK_BUTTON1_MASK) != 0;
}

void SubPane::GetMouseLocation(int32_t* h, int32_t* v) {
  *h = 0;
  *v = 0;
  if (Window* window = GetWindow()) GetWindowMouseLocation(window, h, v);
}

bool SubPane::WaitForDrag() {
  // Half a second (30 ticks) for the mouse to move with the button held.
  gint64 deadline = g_get_monotonic_time() + 500000;
  int32_t h0, v0;
  GetMouseLocation(&h0, &v0);
  while (g_get_monotonic_time() < deadline && IsMouseButtonDown(this)) {
    if (gtk_events_pending()) {
      gtk_main_iteration_do(FALSE);
    } else {
      g_usleep(2000);
    }
    int32_t h, v;
    GetMouseLocation(&h, &v);
    if (h != h0 || v != v0) break;
  }
  return IsMouseButtonDown(this);
}

}  // namespace vorn
