#include "controls/support/popup_gui_support.h"

#include <gtk/gtk.h>

#include "controls/support/binding_fakes.h"
#include "objects/runtime_object.h"

namespace vorn::testing {

void RecordingComboEvents::RaiseChange(RuntimeObject*) {
  ++changes;
  if (pane) indexAtChange.push_back(pane->GetListIndex());
  if (onChange) onChange();
}

bool RecordingComboEvents::RaiseMouseDown(RuntimeObject*, int32_t x, int32_t y) {
  ++mouseDowns;
  mousePoints.emplace_back(x, y);
  return takeMouse;
}

bool RecordingComboEvents::RaiseKeyDown(RuntimeObject*, const string& key) {
  keys.emplace_back(key.View());
  return false;
}

void PopupGuiTest::SetUpTestSuite() {
  ASSERT_TRUE(test::EnsureDisplay()) << "needs an X display";
}

void PopupGuiTest::SetUp() {
  Rect bounds{100, 100, 400, 500};
  window = new Window(string("Popups"), bounds, 0, 0, true);
  owner = NewLogReceiver(0);
}

void PopupGuiTest::TearDown() {
  CloseWindow();
  RuntimeUnlockObject(owner);
}

PopupMenu* PopupGuiTest::MakePopup(bool editable, const vorn::TextStyle& style) {
  Rect bounds{20, 20, 46, 220};
  auto* pane = new PopupMenu(owner, &events, style, window, bounds, editable);
  events.pane = pane;
  return pane;
}

void PopupGuiTest::ShowWindow() {
  window->Show();
  RunLoopIteration();
  PumpFor(200);
  RunLoopIteration();
}

void PopupGuiTest::CloseWindow() {
  if (!window) return;
  window->Close();
  window = nullptr;
  events.pane = nullptr;
  RunLoopIteration();
}

void WidgetScreenPoint(GtkWidget* widget, int dx, int dy, int* x, int* y) {
  gint originX = 0, originY = 0;
  gdk_window_get_origin(gtk_widget_get_window(widget), &originX, &originY);
  // A widget with a window of its own is placed by that window; others by their allocation.
  bool ownWindow = !GTK_WIDGET_NO_WINDOW(widget);
  *x = originX + (ownWindow ? 0 : widget->allocation.x) + dx;
  *y = originY + (ownWindow ? 0 : widget->allocation.y) + dy;
}

void ClickAt(int x, int y) {
  // --sync waits for a motion that never comes when the pointer is there already.
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1 click 1");
  PumpFor(250);
}

std::string Screenshot(const std::string& name) {
  std::string path = std::string(VORN_BINARY_DIR) + "/" + name + ".png";
  PictureTool("import -window root " + path + " 2>/dev/null");
  return path;
}

std::vector<string> Strings(std::initializer_list<const char*> texts) {
  std::vector<string> result;
  for (const char* text : texts) result.emplace_back(text);
  return result;
}

}  // namespace vorn::testing
