// The composite combo box on a real display, constructed directly: the arrow button drops the
// list down under the edit, a click on a row or Return after the arrow keys chooses it, Escape
// leaves the choice alone, and typing completes the text from the rows.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "controls/support/popup_gui_support.h"
#include "editfield/edit_control_gtk.h"
#include "listbox/custom_combo_box.h"
#include "controls/scroller.h"
#include "listbox/runtime_listbox.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "support/process_locale.h"
#include "support/window_pixels.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn::testing {
namespace {

class CustomComboBoxTest : public PopupGuiTest {
 protected:
  void SetUp() override {
    PopupGuiTest::SetUp();
    combo = new CustomComboBox(owner, &events, vorn::TextStyle(), window, MakeRect(20, 20, 220, 42));
    combo->AddRows(Strings({"Aperture", "Seeing", "Sky glow"}));
    ShowWindow();
  }
  void TearDown() override {
    combo->Close();
    PopupGuiTest::TearDown();
  }

  // Clicks a point of a pane, in its window's content coordinates.
  void ClickPane(SubPane* pane, int32_t dx, int32_t dy) {
    int x, y;
    WidgetScreenPoint(pane->GetWindow()->Widget(), pane->Bounds().left + dx, pane->Bounds().top + dy, &x, &y);
    ClickAt(x, y);
    PumpFor(250);
  }
  void Keys(const std::string& keys) {
    Shell("xdotool key --delay 60 " + keys);
    PumpFor(250);
  }
  std::string Text() { return std::string(combo->GetText().View()); }
  bool DropDownOnScreen() {
    GtkWidget* top = combo->DropDown()->GtkWindowWidget();
    return combo->IsDroppedDown() && GTK_WIDGET_MAPPED(top);
  }

  CustomComboBox* combo = nullptr;
};

TEST_F(CustomComboBoxTest, TheArrowDropsTheListUnderTheEditAndAClickedRowIsChosen) {
  const Rect edit = combo->Edit()->Bounds();
  EXPECT_FALSE(DropDownOnScreen()) << "the list starts hidden";

  ClickPane(combo->Button(), 11, 11);
  ASSERT_TRUE(DropDownOnScreen());
  Rect content, shown;
  window->GetScreenBounds(&content);
  combo->DropDown()->GetScreenBounds(&shown);
  EXPECT_EQ(shown.top, content.top + edit.bottom) << "right under the edit";
  EXPECT_EQ(shown.left, content.left + 20);
  EXPECT_EQ(shown.Width(), 200) << "as wide as edit and button";
  EXPECT_EQ(combo->List()->RowArea().Height(), combo->List()->RowHeight() * 3) << "every row whole, no more";
  Screenshot("custom_combo_dropped");

  RuntimeListbox* list = combo->List();
  ClickPane(list, 20, list->RowHeight() + list->RowHeight() / 2);
  EXPECT_EQ(combo->GetListIndex(), 1);
  EXPECT_EQ(Text(), "Seeing");
  EXPECT_EQ(events.changes, 1);
  EXPECT_FALSE(DropDownOnScreen()) << "a pick closes the list";

  // The button again while the list is down puts it away with no choice made.
  ClickPane(combo->Button(), 11, 11);
  ASSERT_TRUE(DropDownOnScreen());
  ClickPane(combo->Button(), 11, 11);
  EXPECT_FALSE(DropDownOnScreen());
  EXPECT_EQ(events.changes, 1);

  // Too near the foot of the screen for the rows, the list drops up to the edit's top.
  const int32_t top = gdk_screen_height() - 60;
  window->MoveWindow(content.left, top, false);
  ASSERT_TRUE(test::PumpUntil([&] { return window->GetScreenBounds(&content), content.top == top; }));
  combo->OpenDropDown();
  const auto droppedUp = [&] { return combo->DropDown()->GetScreenBounds(&shown), shown.bottom == top + edit.top; };
  EXPECT_TRUE(test::PumpUntil(droppedUp)) << shown.bottom;
}

// A long list drops down no further than the screen, below the edit or above it near the
// screen's foot; its scroll bar brings the last row into sight, and a click on it chooses it.
TEST_F(CustomComboBoxTest, ALongListFitsTheScreenAndItsLastRowCanBeClicked) {
  std::vector<string> rows;
  for (int i = 3; i < 1000; ++i) rows.push_back(string(("row " + std::to_string(i)).c_str()));
  combo->AddRows(rows);
  const int32_t screenHeight = gdk_screen_height();
  const Rect edit = combo->Edit()->Bounds();
  for (const int32_t windowTop : {40, screenHeight - 60}) {
    SCOPED_TRACE(windowTop);
    Rect content, shown;
    window->GetScreenBounds(&content);
    window->MoveWindow(content.left, windowTop, false);
    ASSERT_TRUE(test::PumpUntil([&] { return window->GetScreenBounds(&content), content.top == windowTop; }));
    ClickPane(combo->Button(), 11, 11);
    ASSERT_TRUE(DropDownOnScreen());
    const auto placed = [&] {
      combo->DropDown()->GetScreenBounds(&shown);
      return windowTop > 40 ? shown.bottom == content.top + edit.top : shown.top == content.top + edit.bottom;
    };
    EXPECT_TRUE(test::PumpUntil(placed)) << shown.top << "-" << shown.bottom;
    EXPECT_GE(shown.top, 0);
    EXPECT_LE(shown.bottom, screenHeight) << "rows past the screen's foot could not be reached";

    // The scroll bar at its foot brings the last row into sight, where a click chooses it.
    RuntimeListbox* list = combo->List();
    ASSERT_NE(list->VerticalScrollBar(), nullptr);
    GtkRange* bar = GTK_RANGE(list->VerticalScrollBar()->Widget());
    gtk_range_set_value(bar, gtk_range_get_adjustment(bar)->upper);
    ASSERT_TRUE(test::PumpUntil([&] { return list->FirstVisibleRow() == list->LastFirstVisibleRow(); }))
        << list->FirstVisibleRow();
    int x, y;
    WidgetScreenPoint(combo->DropDown()->Widget(), 20, list->RowTop(999) + list->RowHeight() / 2, &x, &y);
    EXPECT_LE(y, screenHeight);
    const int changes = events.changes;
    ClickAt(x, y);
    EXPECT_EQ(combo->GetListIndex(), 999);
    EXPECT_EQ(Text(), "row 999");
    EXPECT_EQ(events.changes, changes + 1);
    EXPECT_FALSE(DropDownOnScreen());
  }
}

// Wherever the edit touches the screen's edges, the list opens beside it and stays open, wholly
// on screen with every row that fits whole. Opened by the button and picked with the keys, or
// opened with Down and picked by a click, exactly the row picked is chosen; a click below the
// last row, or Return with no row chosen, changes nothing.
TEST_F(CustomComboBoxTest, AtEveryEdgeAndCornerTheListOpensBesideTheEditAndPicksWhatWasPicked) {
  const int32_t screenWidth = gdk_screen_width(), screenHeight = gdk_screen_height();
  const Rect edit = combo->Edit()->Bounds();  // (20, 20) to (202, 42) in the window
  const auto point = [](SubPane* pane, int32_t dx, int32_t dy) {
    int x, y;
    WidgetScreenPoint(pane->GetWindow()->Widget(), pane->Bounds().left + dx, pane->Bounds().top + dy, &x, &y);
    return "mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1 ";
  };
  // The user's gestures go in one go; the run loop takes them in order.
  const auto act = [](const std::string& words, const std::function<bool()>& until, int settle) {
    Shell("xdotool " + words);
    EXPECT_TRUE(test::PumpUntil(until)) << words;
    PumpFor(settle);
  };
  for (const int32_t rowCount : {0, 1, 3, 1000}) {
    std::vector<string> rows;
    for (int i = 0; i < rowCount; ++i) rows.push_back(string(("row " + std::to_string(i)).c_str()));
    for (const int side : {-1, 0, 1})
      for (const int end : {-1, 0, 1})
        for (const bool byButton : {true, false}) {
          SCOPED_TRACE(std::to_string(rowCount) + " rows, edit at " + std::to_string(side) + "," + std::to_string(end) +
                       (byButton ? ", button and keys" : ", Down and a click"));
          // The edit's left, right, top or bottom on the screen's edge (0: the screen's middle).
          const int32_t left = side < 0 ? -20 : side > 0 ? screenWidth - 220 : screenWidth / 2;
          const int32_t top = end < 0 ? -20 : end > 0 ? screenHeight - 42 : screenHeight / 2;
          Rect content, shown;
          window->MoveWindow(left, top, false);
          ASSERT_TRUE(test::PumpUntil([&] { return window->GetScreenBounds(&content), content.top == top && content.left == left; }));
          test::LetFocusFollowPointer();
          // A combo box of its own: its list opens for the first time, as a user first meets it.
          combo->Close();
          combo = new CustomComboBox(owner, &events, vorn::TextStyle(), window, MakeRect(20, 20, 220, 42));
          combo->AddRows(rows);
          combo->SetText(string("typed"));
          RuntimeListbox* list = combo->List();
          const int changes = events.changes;
          // A list that its opening closes at once shows closed by the end of the settling.
          act(byButton ? point(combo->Button(), 11, 11) : point(combo->Edit(), 10, 10) + "key Down",
              [&] { return DropDownOnScreen(); }, 80);
          ASSERT_TRUE(DropDownOnScreen()) << "the list stays open";
          combo->DropDown()->GetScreenBounds(&shown);
          EXPECT_TRUE(shown.top == content.top + edit.bottom || shown.bottom == content.top + edit.top)
              << "beside the edit: " << shown.top << "-" << shown.bottom;
          EXPECT_EQ(shown.left, content.left + 20);
          EXPECT_GE(shown.top, 0);
          EXPECT_LE(shown.bottom, screenHeight);
          const int32_t fit = std::min(rowCount, list->RowArea().Height() / list->RowHeight());
          if (rowCount <= 3) EXPECT_EQ(fit, rowCount) << "every row whole";
          else EXPECT_GE(shown.Height(), screenHeight / 2 - 60) << "as far as the screen lets it";
          const int32_t pick = std::min(fit, 3) - 1;  // the last row in sight, or none
          std::string words;
          if (byButton) {
            words = "key --delay 30 Down";
            for (int32_t row = 0; row < pick; ++row) words += " Down";
            words += " Return";
          } else {
            // A row gone to with the keys, then a click below the last row, leave it chosen.
            words = "key Down ";
            if (rowCount <= 3) words += point(list, 20, list->Bounds().Height() - 1);
            words += pick >= 0 ? point(list, 20, list->RowTop(pick) + list->RowHeight() / 2) : "key Escape";
          }
          act(words, [&] { return !DropDownOnScreen(); }, 0);
          EXPECT_EQ(list->FirstVisibleRow(), 0) << "no row scrolled out of sight";
          EXPECT_EQ(Text(), pick < 0 ? "typed" : "row " + std::to_string(pick));
          EXPECT_EQ(combo->GetListIndex(), pick);
          EXPECT_EQ(events.changes, changes + (pick >= 0 ? 1 : 0));
        }
  }
}

// The arrow keys move through the list without a choice; a click afterwards is one.
TEST_F(CustomComboBoxTest, AClickAfterTheArrowKeysChoosesTheRow) {
  ClickPane(combo->Button(), 11, 11);
  ASSERT_TRUE(DropDownOnScreen());
  Keys("Down Down");
  EXPECT_EQ(combo->GetListIndex(), 1);
  EXPECT_EQ(events.changes, 0);
  RuntimeListbox* list = combo->List();
  ClickPane(list, 20, 2 * list->RowHeight() + list->RowHeight() / 2);
  EXPECT_EQ(combo->GetListIndex(), 2);
  EXPECT_EQ(Text(), "Sky glow");
  EXPECT_EQ(events.changes, 1);
  EXPECT_FALSE(DropDownOnScreen());
}

TEST_F(CustomComboBoxTest, ArrowKeysMoveWithoutChangeReturnChoosesAndEscapeLeavesTheChoice) {
  ClickPane(combo->Edit(), 10, 10);
  Keys("Down");
  ASSERT_TRUE(DropDownOnScreen()) << "Down in the edit opens the list";
  Keys("Down Down");
  EXPECT_EQ(combo->GetListIndex(), 1);
  EXPECT_EQ(Text(), "Seeing") << "the edit follows the list";
  EXPECT_EQ(events.changes, 0) << "moving is no choice";
  Keys("Return");
  EXPECT_FALSE(DropDownOnScreen());
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(Text(), "Seeing");

  Keys("Down");
  ASSERT_TRUE(DropDownOnScreen());
  Keys("Escape");
  EXPECT_FALSE(DropDownOnScreen());
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(combo->GetListIndex(), 1);
}

TEST_F(CustomComboBoxTest, TypingCompletesFromTheRowsAndBackspaceDoesNot) {
  combo->SetAutoComplete(true);
  ClickPane(combo->Edit(), 10, 10);
  Shell("xdotool type --delay 60 sk");
  PumpFor(250);
  EXPECT_EQ(Text(), "Sky glow");
  EXPECT_EQ(combo->GetListIndex(), 2);
  EXPECT_EQ(combo->GetSelStart(), 2) << "what completion added is selected";
  EXPECT_EQ(combo->GetSelLength(), 6);
  // A key typed over a selection changes the text twice (the selection goes, the key comes).
  EXPECT_GE(events.textChanged, 2);

  Keys("BackSpace");
  EXPECT_EQ(Text(), "Sk") << "the completion goes and none comes back";
  const int told = events.textChanged;
  combo->SetText(string("Seeing"));
  EXPECT_EQ(events.textChanged, told + 1) << "text set by code is told too";

  combo->SetListIndex(0, false);
  EXPECT_EQ(Text(), "Aperture");
  EXPECT_EQ(events.changes, 0) << "an index set without notice raises no Change";
  combo->SetListIndex(5, true);
  EXPECT_EQ(combo->GetListIndex(), -1) << "an index past the rows selects none";

  combo->InsertRow(4, string("Moon"), nullptr);
  RuntimeObject* raised = TakePendingException();
  EXPECT_NE(raised, nullptr) << "one past the end raises";
  RuntimeUnlockObject(raised);
  combo->InsertRow(3, string("Moon"), owner);
  EXPECT_EQ(combo->Count(), 4);
  EXPECT_EQ(combo->GetRowTag(3), owner);
  EXPECT_EQ(combo->FindRowTag(owner), 3);

  // Letters match as ASCII's in every locale: Turkish case would not take "I" for "i".
  test::ProcessLocale turkish("tr_TR.UTF-8");
  ASSERT_TRUE(turkish.Loaded());
  combo->SetText(string(""));
  Shell("xdotool type --delay 60 SEEI");
  PumpFor(250);
  EXPECT_EQ(Text(), "Seeing");
}

TEST_F(CustomComboBoxTest, BothGeometriesPlaceTheButtonAndListAndRingTheWholePane) {
  const struct {
    bool alternative;
    int32_t buttonWidth, editRight, listInset;
  } geometries[] = {{true, 23, 203, 0}, {false, 22, 202, 1}};
  for (const auto& g : geometries) {
    combo->SetAlternativeAppearance(g.alternative);
    combo->OpenDropDown();
    PumpFor(250);
    EXPECT_TRUE(EqualRect(combo->Edit()->Bounds(), MakeRect(20, 20, g.editRight, 42))) << g.alternative;
    EXPECT_TRUE(EqualRect(combo->Button()->Bounds(), MakeRect(220 - g.buttonWidth, 20, 220, 42))) << g.alternative;
    EXPECT_EQ(combo->Button()->Widget()->allocation.width, g.buttonWidth) << "on screen too";
    EXPECT_EQ(combo->List()->Bounds().left, g.listInset);
    Rect ring, frame;
    ASSERT_TRUE(combo->GetFocusRingRect(&ring) && combo->GetFrameBounds(&frame));
    EXPECT_TRUE(EqualRect(ring, MakeRect(16, 16, 224, 46)) && EqualRect(frame, ring)) << "invalidations reach it";
    Screenshot("custom_combo_geometry_" + std::to_string(g.buttonWidth));
    combo->CloseDropDown();
    PumpFor(250);
  }
}

TEST_F(CustomComboBoxTest, WithUseFocusRingTheFocusedPaneBecomesCurrent) {
  for (bool ring : {false, true}) {
    events.useFocusRing = ring;
    ClearFocusPane();
    ClearCurrentPane();
    ClickPane(combo->Edit(), 10, 10);
    EXPECT_EQ(GetCurrentPane() == combo, ring);
  }
}

TEST_F(CustomComboBoxTest, TheBaselineIsWhereTheEditsTextStands) {
  combo->SetText(string("HEH"));
  for (const int16_t size : {8, 12}) {  // lines of either parity in the 22-pixel edit
    combo->Style().mSize = size;
    combo->ApplyTextStyle();
    int32_t y = 0, lowestInk = -1;
    ASSERT_TRUE(combo->GetBaseline(&y));
    const Rect edit = combo->Edit()->Bounds();
    // The edit lays its line out a pixel lower than the centred one: its ink reaches the baseline.
    const auto inkOnBaseline = [&] {
      lowestInk = -1;
      for (int32_t v = edit.top + 3; v < edit.bottom - 3; ++v)
        for (int32_t h = edit.left + 6; h < edit.left + 30; ++h)
          if ((test::WindowScreenPixel(window, h, v) & 0xFF) < 0x80) lowestInk = v;
      return lowestInk == combo->Bounds().top + y;
    };
    EXPECT_TRUE(test::PumpUntil(inkOnBaseline)) << size << ": ink to " << lowestInk << ", baseline " << y;
  }
}

}  // namespace
}  // namespace vorn::testing
