#include "windows/window_cursor.h"

#include <gtk/gtk.h>

#include "windows/cursor_record.h"
#include "windows/gtk_pane_support.h"
#include "windows/mouse_cursor_class.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn {

const MouseCursor* ChooseWindowCursor(Window* window, int32_t h, int32_t v) {
  if (RuntimeObject* application = GetApplicationCursor()) {
    if (MouseCursor* record = MouseCursorRecordOf(application)) return record;
  }
  const auto& panes = window->Panes();
  for (auto it = panes.rbegin(); it != panes.rend(); ++it) {
    SubPane* pane = *it;
    if (!pane->GetCursor() || !pane->IsDisplayed()) continue;
    if (PointInRect(h, v, pane->AdjustedBounds())) return pane->GetCursor();
  }
  MouseCursor* current = GetCurrentCursorRecord();
  if (current && current->cursor) return current;
  return window->GetCursor();
}

void ShowWindowCursor(Window* window, int32_t h, int32_t v) {
  GtkWidget* content = window->Widget();
  if (!content || !content->window) return;
  const MouseCursor* chosen = ChooseWindowCursor(window, h, v);
  GdkCursor* cursor = chosen ? chosen->cursor : nullptr;
  // Each window remembers what it shows itself: a cursor one window shows says nothing about
  // the next window the pointer enters.
  if (gdk_window_get_cursor(content->window) == cursor) return;
  gdk_window_set_cursor(content->window, cursor);
}

}  // namespace vorn
