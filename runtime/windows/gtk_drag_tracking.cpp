#include "windows/gtk_drag_tracking.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <array>
#include <vector>

#include "objects/runtime_object.h"
#include "windows/cursor_record.h"
#include "windows/drag_item.h"
#include "windows/gtk_drops.h"
#include "windows/gtk_pane_support.h"
#include "windows/gtk_window_order.h"
#include "windows/mouse_cursor_class.h"
#include "windows/window.h"
#include "windows/window_cursor.h"

namespace vorn {

namespace {

// Four one-pixel line widgets (left, top, right, bottom) around one rectangle.
using Outline = std::array<GtkWidget*, 4>;

struct WindowOutlines {
  Window* window;
  std::vector<Outline> outlines;  // one per rectangle of the item
};

struct DragState {
  RuntimeObject* item = nullptr;
  std::vector<Rect> rects;  // in the source window's coordinates
  std::vector<WindowOutlines> windows;
  Window* source = nullptr;
  int32_t startH = 0;  // the press, in the source window
  int32_t startV = 0;
  Window* overWindow = nullptr;
  SubPane* target = nullptr;  // locked while it is the target
  int32_t lastH = 0;
  int32_t lastV = 0;
};

DragState* sDrag = nullptr;

bool IsOpenWindow(Window* window) {
  for (int32_t i = 0; i < GetWindowOrderCount(); ++i) {
    if (GetWindowOrderItem(i) == window) return true;
  }
  return false;
}

Window* WindowOfGdkWindow(GdkWindow* gdkWindow) {
  if (!gdkWindow) return nullptr;
  GdkWindow* toplevel = gdk_window_get_toplevel(gdkWindow);
  for (int32_t i = 0; i < GetWindowOrderCount(); ++i) {
    Window* window = GetWindowOrderItem(i);
    GtkWidget* widget = window ? window->GtkWindowWidget() : nullptr;
    if (widget && gtk_widget_get_window(widget) == toplevel) return window;
  }
  return nullptr;
}

gboolean DrawOutlineEdge(GtkWidget* widget, GdkEventExpose*, gpointer) {
  if (!widget->window) return TRUE;
  GdkGC* gc = gdk_gc_new(widget->window);
  gdk_draw_rectangle(widget->window, gc, TRUE, 0, 0, widget->allocation.width, widget->allocation.height);
  g_object_unref(gc);
  return TRUE;
}

// The edges' places and sizes for the rectangle moved by (dh, dv).
void PlaceOutline(GtkWidget* fixed, const Outline& outline, const Rect& r, int32_t dh, int32_t dv, bool add) {
  const int32_t left = r.left + dh;
  const int32_t top = r.top + dv;
  const int32_t width = std::max(1, r.Width());
  const int32_t height = std::max(1, r.Height());
  const int32_t x[4] = {left, left, left + width - 1, left};
  const int32_t y[4] = {top, top, top, top + height - 1};
  const int32_t w[4] = {1, width, 1, width};
  const int32_t h[4] = {height, 1, height, 1};
  for (int side = 0; side < 4; ++side) {
    GtkWidget* edge = outline[side];
    if (add) {
      gtk_fixed_put(GTK_FIXED(fixed), edge, x[side], y[side]);
    } else if (edge->parent == fixed) {
      gtk_fixed_move(GTK_FIXED(fixed), edge, x[side], y[side]);
    }
    gtk_widget_set_size_request(edge, w[side], h[side]);
  }
}

void ShowOutlines(WindowOutlines& entry, bool show) {
  for (Outline& outline : entry.outlines) {
    for (GtkWidget* edge : outline) {
      if (!edge->parent) continue;
      if (show) {
        gtk_widget_show(edge);
      } else {
        gtk_widget_hide(edge);
      }
    }
  }
}

void MakeOutlines(DragState& drag, const MouseCursor* cursor) {
  for (int32_t i = 0; i < GetWindowOrderCount(); ++i) {
    Window* window = GetWindowOrderItem(i);
    GtkWidget* fixed = window ? window->Widget() : nullptr;
    if (!fixed || !GTK_IS_FIXED(fixed)) continue;
    WindowOutlines entry{window, {}};
    for (const Rect& r : drag.rects) {
      Outline outline;
      for (GtkWidget*& edge : outline) {
        edge = gtk_drawing_area_new();
        // Held by the drag as well: a window closed meanwhile takes its edges with it.
        g_object_ref_sink(edge);
        g_signal_connect(edge, "expose-event", G_CALLBACK(DrawOutlineEdge), nullptr);
      }
      PlaceOutline(fixed, outline, r, 0, 0, true);
      entry.outlines.push_back(outline);
    }
    drag.windows.push_back(entry);
    if (window == drag.source) ShowOutlines(drag.windows.back(), true);
    if (cursor && cursor->cursor && fixed->window) gdk_window_set_cursor(fixed->window, cursor->cursor);
  }
}

void DestroyOutlines(DragState& drag) {
  for (WindowOutlines& entry : drag.windows) {
    for (Outline& outline : entry.outlines) {
      for (GtkWidget* edge : outline) {
        gtk_widget_destroy(edge);
        g_object_unref(edge);
      }
    }
    if (!IsOpenWindow(entry.window)) continue;
    int32_t h, v;
    GetWindowMouseLocation(entry.window, &h, &v);
    if (GtkWidget* fixed = entry.window->Widget(); fixed && fixed->window) gdk_window_set_cursor(fixed->window, nullptr);
    ShowWindowCursor(entry.window, h, v);
  }
  drag.windows.clear();
}

// The point of the target's top-left in its window.
void TargetOrigin(SubPane* target, int32_t* h, int32_t* v) {
  *h = target->IsWindow() ? 0 : target->Bounds().left;
  *v = target->IsWindow() ? 0 : target->Bounds().top;
}

void SetTarget(DragState& drag, SubPane* target) {
  if (target == drag.target) return;
  if (SubPane* old = drag.target) {
    drag.target = nullptr;
    // A pane closed meanwhile may have lost its widget already.
    if (!old->IsClosing() && old->Widget()) gtk_drag_unhighlight(old->Widget());
    old->Release();
  }
  if (target) {
    drag.target = target->Lock();
    if (target->Widget()) gtk_drag_highlight(target->Widget());
  }
}

// The runtime window under the pointer and the pointer in it.
Window* WindowUnderPointer(int32_t* h, int32_t* v) {
  gint x = 0, y = 0;
  Window* window = WindowOfGdkWindow(gdk_window_at_pointer(&x, &y));
  *h = *v = 0;
  if (window) GetWindowMouseLocation(window, h, v);
  return window;
}

bool ButtonHeld() {
  GdkModifierType mask = static_cast<GdkModifierType>(0);
  gdk_display_get_pointer(gdk_display_get_default(), nullptr, nullptr, nullptr, &mask);
  return (mask & (GDK_BUTTON1_MASK | GDK_BUTTON2_MASK | GDK_BUTTON3_MASK)) != 0;
}

}  // namespace

void UpdateDragTracking() {
  if (!sDrag) return;
  DragState& drag = *sDrag;
  int32_t h, v;
  Window* window = WindowUnderPointer(&h, &v);
  SubPane* target = window ? window->FindDropTarget(h, v, AsDragItem(drag.item)) : nullptr;
  SetTarget(drag, target);
  if (drag.target) {
    int32_t left, top;
    TargetOrigin(drag.target, &left, &top);
    drag.target->TrackDragOver(h - left, v - top, AsDragItem(drag.item));
  }
  for (WindowOutlines& entry : drag.windows) {
    if (!IsOpenWindow(entry.window)) continue;
    const bool here = entry.window == window;
    if (here) {
      GtkWidget* fixed = entry.window->Widget();
      for (size_t i = 0; i < entry.outlines.size(); ++i) {
        PlaceOutline(fixed, entry.outlines[i], drag.rects[i], h - drag.startH, v - drag.startV, false);
      }
    }
    ShowOutlines(entry, here);
  }
  drag.overWindow = window;
  drag.lastH = h;
  drag.lastV = v;
}

void TrackDrag(RuntimeObject* dragItem) {
  DragItemObject* fields = DragItemFields(dragItem);
  // One drag at a time: a handler run by the drag cannot start another.
  if (!fields || sDrag) return;
  GdkEvent* event = gtk_get_current_event();
  if (!event) return;
  if (event->type != GDK_BUTTON_PRESS) {
    gdk_event_free(event);
    return;
  }
  RuntimeLockObject(dragItem);
  DragState drag;
  drag.item = dragItem;
  drag.rects = DragItemRects(dragItem);
  drag.source = WindowOfGdkWindow(event->button.window);
  if (drag.source) GetWindowMouseLocation(drag.source, &drag.startH, &drag.startV);
  MakeOutlines(drag, MouseCursorRecordOf(fields->mouseCursor));

  DragItem* previous = GetCurrentDragItem();
  SetCurrentDragItem(AsDragItem(dragItem));
  sDrag = &drag;
  SetDragTracking(true);
  UpdateDragTracking();
  while (IsDragTracking()) {
    if (gtk_events_pending()) {
      gtk_main_iteration_do(FALSE);
      continue;
    }
    // A release that reaches no window of the program must not leave the drag running.
    if (!ButtonHeld()) {
      EndDragTracking();
      break;
    }
    g_usleep(2000);
    int32_t h, v;
    Window* window = WindowUnderPointer(&h, &v);
    if (window != drag.overWindow || h != drag.lastH || v != drag.lastV) UpdateDragTracking();
  }
  UpdateDragTracking();
  DestroyOutlines(drag);
  sDrag = nullptr;

  if (SubPane* target = drag.target) {
    int32_t left, top;
    TargetOrigin(target, &left, &top);
    // The item is dropped where its outline was let go, in the coordinates of the drop window.
    OffsetDragItemRects(dragItem, drag.lastH - drag.startH, drag.lastV - drag.startV);
    MarkDragItemDropped(dragItem, left, top);
    target->DropObject(AsDragItem(dragItem), drag.lastH - left, drag.lastV - top);
  }
  SetTarget(drag, nullptr);
  SetCurrentDragItem(previous);
  gdk_event_free(event);
  RuntimeUnlockObject(dragItem);
}

}  // namespace vorn

extern "C" void DragItemDrag(VornRuntimeObject* d) { vorn::TrackDrag(d); }
