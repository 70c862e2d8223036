// Shared set-up of the popup GUI tests: a window on the X display, a recording stand-in for
// the control class's events, and helpers to drive the display with xdotool.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/combo_box.h"
#include "controls/popup_pane.h"
#include "support/gui_support.h"

namespace vorn::testing {

// Records the events a popup pane raises; onChange runs inside the Change handler.
class RecordingComboEvents : public ComboBoxEvents {
 public:
  bool InChange(RuntimeObject*) override { return inChange; }
  void SetInChange(RuntimeObject*, bool value) override { inChange = value; }
  void RaiseChange(RuntimeObject*) override;
  void NotifyDataChanged(RuntimeObject*) override { ++dataChanged; }
  bool RaiseMouseDown(RuntimeObject*, int32_t x, int32_t y) override;
  bool RaiseMouseUp(RuntimeObject*, int32_t, int32_t) override { ++mouseUps; return false; }
  void RaiseGotFocus(RuntimeObject*) override { ++gotFocus; }
  void RaiseLostFocus(RuntimeObject*) override { ++lostFocus; }
  void RaiseTextChanged(RuntimeObject*) override { ++textChanged; }
  bool RaiseKeyDown(RuntimeObject*, const string& key) override;
  bool UseFocusRing(RuntimeObject*) override { return useFocusRing; }

  bool inChange = false;
  int changes = 0;
  int dataChanged = 0;
  int mouseDowns = 0;
  int mouseUps = 0;
  int gotFocus = 0;
  int lostFocus = 0;
  int textChanged = 0;
  bool takeMouse = false;
  bool useFocusRing = false;
  std::vector<std::pair<int32_t, int32_t>> mousePoints;
  std::vector<std::string> keys;
  std::vector<int32_t> indexAtChange;  // the pane's list index as each Change saw it
  PopupMenu* pane = nullptr;
  std::function<void()> onChange;
};

class PopupGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A popup menu (or an editable combo box) at (20, 20) in a fresh window.
  PopupMenu* MakePopup(bool editable = false, const vorn::TextStyle& style = vorn::TextStyle());
  void ShowWindow();
  void CloseWindow();

  Window* window = nullptr;
  RuntimeObject* owner = nullptr;
  RecordingComboEvents events;
};

using test::PictureTool;
using test::PumpFor;
using test::RunLoopIteration;
using test::Shell;
// Screen position of a widget's centre, or of a point inside it.
void WidgetScreenPoint(_GtkWidget* widget, int dx, int dy, int* x, int* y);
void ClickAt(int x, int y);
// Saves a screenshot of the whole screen under the build folder; answers the path.
std::string Screenshot(const std::string& name);

std::vector<string> Strings(std::initializer_list<const char*> texts);

}  // namespace vorn::testing
