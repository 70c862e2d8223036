// Presses and keys that reach the owner of a list box before the list itself: MouseDown with
// the drag and release that follow it, CellClick, and Left and Right on folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/support/class_fixture.h"
#include "listbox/listbox_class.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

constexpr int32_t kLeft = 20;
constexpr int32_t kTop = 20;

struct Seen {
  std::vector<std::string> events;
  uint8_t takeMouseDown = 0;
  uint8_t takeCellClick = 0;
  bool moveOnFromFirstRow = false;
};
Seen gSeen;

void Note(const std::string& text) { gSeen.events.push_back(text); }
std::string At(int32_t x, int32_t y) { return std::to_string(x) + "," + std::to_string(y); }

extern "C" uint8_t EventsListMouseDown(VornRuntimeObject*, int32_t x, int32_t y) {
  Note("MouseDown " + At(x, y));
  return gSeen.takeMouseDown;
}
extern "C" void EventsListMouseDrag(VornRuntimeObject*, int32_t x, int32_t y) { Note("MouseDrag " + At(x, y)); }
extern "C" void EventsListMouseUp(VornRuntimeObject*, int32_t x, int32_t y) { Note("MouseUp " + At(x, y)); }
extern "C" uint8_t EventsListCellClick(VornRuntimeObject*, int32_t row, int32_t column, int32_t x, int32_t y) {
  Note("CellClick " + std::to_string(row) + " " + std::to_string(column) + " " + At(x, y));
  return gSeen.takeCellClick;
}
extern "C" void EventsListChange(VornRuntimeObject* list) {
  Note("Change");
  if (gSeen.moveOnFromFirstRow && listSelectionGetter(list, 0) == 0) listSelectionSetter(list, 0, 1);
}
extern "C" void EventsListExpandRow(VornRuntimeObject* list, int32_t row) {
  Note("ExpandRow " + std::to_string(row));
  RuntimeListAddRow(list, string("child").Rep());
}
extern "C" void EventsListCollapseRow(VornRuntimeObject*, int32_t row) { Note("CollapseRow " + std::to_string(row)); }

class ListEventsGuiTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    ControlClassTest::SetUp();
    gSeen = Seen();
  }
  // Two columns of 100 pixels at (20, 20) - (220, 120), events installed.
  RuntimeObject* NewList() {
    RuntimeObject* list = AddControl(GetListboxClassDefinition(), "List", MakeRect(kLeft, kTop, 220, 120), host);
    for (auto [event, handler] : std::vector<std::pair<const char*, void*>>{
             {"MouseDown", reinterpret_cast<void*>(&EventsListMouseDown)},
             {"MouseDrag", reinterpret_cast<void*>(&EventsListMouseDrag)},
             {"MouseUp", reinterpret_cast<void*>(&EventsListMouseUp)},
             {"CellClick", reinterpret_cast<void*>(&EventsListCellClick)},
             {"Change", reinterpret_cast<void*>(&EventsListChange)},
             {"ExpandRow", reinterpret_cast<void*>(&EventsListExpandRow)},
             {"CollapseRow", reinterpret_cast<void*>(&EventsListCollapseRow)}})
      Install(list, event, handler);
    listColumnCountSetter(list, 0, 2);
    MakePane(list);
    listColumnWidthsSetter(list, 0, string("100, 98").Rep());
    return list;
  }
  // Window y of the middle of a row.
  static int32_t RowY(RuntimeObject* list, int32_t row) {
    RuntimeListbox* pane = ListboxPane(list);
    return pane->RowArea().top + row * pane->RowHeight() + pane->RowHeight() / 2;
  }
  void Press(int32_t h, int32_t v) {
    int32_t x = 0, y = 0;
    test::ScreenPoint(native, h, v, &x, &y);
    test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.05 mousedown 1");
    test::PumpFor(100);
  }
  void DragTo(int32_t h, int32_t v) {
    int32_t x = 0, y = 0;
    test::ScreenPoint(native, h, v, &x, &y);
    test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    test::PumpFor(100);
  }
  void ReleaseButton() {
    test::Shell("xdotool mouseup 1");
    test::PumpFor(100);
  }
};

TEST_F(ListEventsGuiTest, AMouseDownHandlerThatTakesThePressGetsTheDragAndTheRelease) {
  RuntimeObject* list = NewList();
  RuntimeListAddRow(list, string("one").Rep());
  RuntimeListAddRow(list, string("two").Rep());
  test::ShowAndSettle(native);
  gSeen.takeMouseDown = 1;
  const int32_t y0 = RowY(list, 0);
  Press(kLeft + 30, y0);
  DragTo(kLeft + 40, RowY(list, 1));
  // The run loop serves the capturing pane the pointer while the button is down.
  ListboxPane(list)->MouseDrag(kLeft + 40, RowY(list, 1));
  ReleaseButton();
  ASSERT_GE(gSeen.events.size(), 3u) << ::testing::PrintToString(gSeen.events);
  EXPECT_EQ(gSeen.events.front(), "MouseDown " + At(30, y0 - kTop)) << "coordinates within the list";
  EXPECT_EQ(gSeen.events[1], "MouseDrag " + At(40, RowY(list, 1) - kTop));
  EXPECT_EQ(gSeen.events.back(), "MouseUp " + At(40, RowY(list, 1) - kTop));
  EXPECT_EQ(listSelectionGetter(list, 0), -1) << "the list itself neither selected";
  EXPECT_EQ(std::count(gSeen.events.begin(), gSeen.events.end(), "Change"), 0);
}

TEST_F(ListEventsGuiTest, APressTheOwnerLeavesSelectsWithoutDragOrReleaseEvents) {
  RuntimeObject* list = NewList();
  RuntimeListAddRow(list, string("one").Rep());
  test::ShowAndSettle(native);
  Press(kLeft + 130, RowY(list, 0));
  ReleaseButton();
  const int32_t cellY = RowY(list, 0) - ListboxPane(list)->RowArea().top;
  const int32_t columnLeft = ListboxPane(list)->Columns().GetColumnLeft(1);
  EXPECT_EQ(gSeen.events, (std::vector<std::string>{"MouseDown " + At(130, RowY(list, 0) - kTop),
                                                    "CellClick 0 1 " + At(kLeft + 130 - columnLeft, cellY),
                                                    "Change"}));
  EXPECT_EQ(listSelectionGetter(list, 0), 0);
}

TEST_F(ListEventsGuiTest, ACellClickHandlerThatTakesThePressKeepsTheSelection) {
  RuntimeObject* list = NewList();
  RuntimeListAddRow(list, string("one").Rep());
  test::ShowAndSettle(native);
  gSeen.takeCellClick = 1;
  test::ClickAt(native, kLeft + 30, RowY(list, 0));
  EXPECT_EQ(listSelectionGetter(list, 0), -1);
  EXPECT_EQ(std::count(gSeen.events.begin(), gSeen.events.end(), "Change"), 0);
  gSeen.events.clear();
  test::ClickAt(native, kLeft + 30, ListboxPane(list)->RowArea().bottom - 3);
  ASSERT_EQ(gSeen.events.size(), 1u) << "a press below the rows is no cell's";
  EXPECT_EQ(gSeen.events[0].rfind("MouseDown ", 0), 0u);
}

TEST_F(ListEventsGuiTest, RightAndLeftOpenAndCloseTheSelectedFolder) {
  RuntimeObject* list = NewList();
  listHierarchicalSetter(list, 0, 1);
  RuntimeListAddParent(list, string("folder").Rep());
  RuntimeListAddRow(list, string("plain").Rep());
  test::ShowAndSettle(native);
  test::ClickAt(native, kLeft + 30, RowY(list, 0));
  ASSERT_EQ(listSelectionGetter(list, 0), 0);
  gSeen.events.clear();
  test::PressKeys("Right");
  EXPECT_EQ(gSeen.events, (std::vector<std::string>{"ExpandRow 0"}));
  EXPECT_EQ(listCountGetter(list, 0), 3);
  EXPECT_EQ(listGetExpanded(list, 0), 1);
  test::PressKeys("Left");
  EXPECT_EQ(listCountGetter(list, 0), 2) << "the child went with the collapse";
  EXPECT_EQ(listGetExpanded(list, 0), 0);
  EXPECT_EQ(listSelectionGetter(list, 0), 0) << "the keys did not move the selection";
  listHierarchicalSetter(list, 0, 0);
  test::PressKeys("Right");
  EXPECT_EQ(listGetExpanded(list, 0), 0) << "a flat list does not open folders";
}

TEST_F(ListEventsGuiTest, APressOnAFoldersTriangleOpensAndClosesItWithoutSelecting) {
  RuntimeObject* list = NewList();
  listHierarchicalSetter(list, 0, 1);
  RuntimeListAddRow(list, string("plain").Rep());
  RuntimeListAddParent(list, string("folder").Rep());
  test::ShowAndSettle(native);
  RuntimeListbox* pane = ListboxPane(list);
  const int32_t triangleX = pane->Columns().GetColumnLeft(0) + 4 + 5;
  test::ClickAt(native, triangleX, RowY(list, 1));
  EXPECT_EQ(std::count(gSeen.events.begin(), gSeen.events.end(), "ExpandRow 1"), 1);
  EXPECT_EQ(listCountGetter(list, 0), 3);
  EXPECT_EQ(listSelectionGetter(list, 0), -1) << "the triangle press selects nothing";
  test::PumpFor(500);
  test::ClickAt(native, triangleX, RowY(list, 1));
  EXPECT_EQ(std::count(gSeen.events.begin(), gSeen.events.end(), "CollapseRow 1"), 1);
  EXPECT_EQ(listCountGetter(list, 0), 2);
  test::PumpFor(500);
  test::ClickAt(native, triangleX, RowY(list, 0));
  EXPECT_EQ(listSelectionGetter(list, 0), 0) << "a plain row has no triangle";
  test::PumpFor(500);
  test::ClickAt(native, triangleX + 40, RowY(list, 1));
  EXPECT_EQ(listGetExpanded(list, 1), 0) << "a press on the folder's text does not open it";
  EXPECT_EQ(listSelectionGetter(list, 0), 1);
}

TEST_F(ListEventsGuiTest, AChangeHandlerThatSelectsAgainIsNotCalledInsideItself) {
  RuntimeObject* list = NewList();
  RuntimeListAddRow(list, string("one").Rep());
  RuntimeListAddRow(list, string("two").Rep());
  gSeen.moveOnFromFirstRow = true;
  listSelectionSetter(list, 0, 0);
  EXPECT_EQ(listSelectionGetter(list, 0), 1) << "the handler moved the selection";
  EXPECT_EQ(std::count(gSeen.events.begin(), gSeen.events.end(), "Change"), 1);
  listSelectionSetter(list, 0, -1);
  EXPECT_EQ(std::count(gSeen.events.begin(), gSeen.events.end(), "Change"), 2) << "the guard was cleared";
}

}  // namespace
}  // namespace vorn
