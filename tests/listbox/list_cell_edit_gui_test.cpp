// Editing a cell in place: EditCell or a click on an editable cell of the selected row opens
// the list's edit field over the cell; Return keeps the typed text, Escape drops it, and the
// owner hears the Cell events in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/support/class_fixture.h"
#include "editfield/edit_control.h"
#include "listbox/listbox_class.h"
#include "objects/exceptions.h"
#include "vorn/editfield_api.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

constexpr int32_t kLeft = 20;
constexpr int32_t kTop = 20;

std::vector<std::string> gEvents;
uint8_t gTakeCellKeys = 0;

std::string RowColumn(const char* name, int32_t row, int32_t column) {
  return std::string(name) + " " + std::to_string(row) + " " + std::to_string(column);
}

extern "C" void EditListCellAction(VornRuntimeObject*, int32_t row, int32_t column) {
  gEvents.push_back(RowColumn("CellAction", row, column));
}
extern "C" void EditListCellGotFocus(VornRuntimeObject*, int32_t row, int32_t column) {
  gEvents.push_back(RowColumn("CellGotFocus", row, column));
}
extern "C" void EditListCellLostFocus(VornRuntimeObject*, int32_t row, int32_t column) {
  gEvents.push_back(RowColumn("CellLostFocus", row, column));
}
extern "C" void EditListCellTextChange(VornRuntimeObject*, int32_t row, int32_t column) {
  gEvents.push_back(RowColumn("CellTextChange", row, column));
}
extern "C" uint8_t EditListCellKeyDown(VornRuntimeObject*, int32_t row, int32_t column, VornStringRecord* key) {
  gEvents.push_back(RowColumn("CellKeyDown", row, column) + " " + std::string(string::Share(key).View()));
  return gTakeCellKeys;
}

class ListCellEditGuiTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    ControlClassTest::SetUp();
    gEvents.clear();
    gTakeCellKeys = 0;
  }
  // Two columns of 100 pixels at (20, 20) - (220, 120), the second one editable, with rows
  // "a<n>\tb<n>".
  RuntimeObject* NewList(int32_t rows) {
    RuntimeObject* list = AddControl(GetListboxClassDefinition(), "List", MakeRect(kLeft, kTop, 220, 120), host);
    for (auto [event, handler] : std::vector<std::pair<const char*, void*>>{
             {"CellAction", reinterpret_cast<void*>(&EditListCellAction)},
             {"CellGotFocus", reinterpret_cast<void*>(&EditListCellGotFocus)},
             {"CellLostFocus", reinterpret_cast<void*>(&EditListCellLostFocus)},
             {"CellTextChange", reinterpret_cast<void*>(&EditListCellTextChange)},
             {"CellKeyDown", reinterpret_cast<void*>(&EditListCellKeyDown)}})
      Install(list, event, handler);
    listColumnCountSetter(list, 0, 2);
    MakePane(list);
    listColumnWidthsSetter(list, 0, string("100, 98").Rep());
    listColumnTypeSetter(list, 1, 3);
    for (int32_t i = 0; i < rows; ++i) {
      RuntimeListAddRow(list, string(("a" + std::to_string(i)).c_str()).Rep());
      listSetCell(list, i, 1, string(("b" + std::to_string(i)).c_str()).Rep());
    }
    test::ShowAndSettle(native);
    return list;
  }
  static int32_t RowY(RuntimeObject* list, int32_t row) {
    RuntimeListbox* pane = ListboxPane(list);
    return pane->RowArea().top + (row - pane->FirstVisibleRow()) * pane->RowHeight() + pane->RowHeight() / 2;
  }
  static std::string Cell(RuntimeObject* list, int32_t row, int32_t column) {
    return std::string(string::Adopt(listGetCell(list, row, column)).View());
  }
  static size_t Count(const std::string& event) { return std::count(gEvents.begin(), gEvents.end(), event); }
};

TEST_F(ListCellEditGuiTest, ReturnStoresTheTypedTextAndFiresCellActionBeforeCellLostFocus) {
  RuntimeObject* list = NewList(3);
  listEditCell(list, 1, 1);
  test::PumpFor(100);
  RuntimeListbox* pane = ListboxPane(list);
  ASSERT_TRUE(pane->IsEditing());
  EXPECT_EQ(listSelectionGetter(list, 0), 1) << "the edited row is selected";
  EXPECT_EQ(Count("CellGotFocus 1 1"), 1u);
  test::PressKeys("x y Return");
  EXPECT_FALSE(pane->IsEditing());
  EXPECT_EQ(Cell(list, 1, 1), "xy") << "the typed text replaced the selected old text";
  EXPECT_EQ(Cell(list, 0, 1), "b0");
  EXPECT_GE(Count("CellTextChange 1 1"), 1u);
  EXPECT_EQ(Count("CellKeyDown 1 1 x"), 1u);
  ASSERT_GE(gEvents.size(), 2u);
  EXPECT_EQ(gEvents[gEvents.size() - 2], "CellAction 1 1");
  EXPECT_EQ(gEvents.back(), "CellLostFocus 1 1");
  EXPECT_EQ(pane->GetCellType(1, 1), 3) << "the cell's own type came back";
  EXPECT_EQ(listSelectionGetter(list, 0), 1);
}

TEST_F(ListCellEditGuiTest, EscapeLeavesTheTextAndFiresOnlyCellLostFocus) {
  RuntimeObject* list = NewList(2);
  listEditCell(list, 0, 1);
  test::PumpFor(100);
  test::PressKeys("q");
  RuntimeObject* active = listActiveCellGetter(list, 0);
  ASSERT_NE(active, nullptr) << "ActiveCell is an EditField while a cell is edited";
  EXPECT_EQ(std::string(string::Adopt(editTextGetter(active, 0)).View()), "q");
  RuntimeUnlockObject(active);
  test::PressKeys("Escape");
  EXPECT_FALSE(ListboxPane(list)->IsEditing());
  EXPECT_EQ(listActiveCellGetter(list, 0), nullptr);
  EXPECT_EQ(Cell(list, 0, 1), "b0");
  EXPECT_EQ(Count("CellAction 0 1"), 0u);
  EXPECT_EQ(Count("CellLostFocus 0 1"), 1u);
}

TEST_F(ListCellEditGuiTest, ClosingTheListEndsTheEditWithItsEvents) {
  RuntimeObject* list = NewList(2);
  listEditCell(list, 1, 1);
  test::PumpFor(100);
  test::PressKeys("k");
  gEvents.clear();
  ControlClose(list);
  EXPECT_EQ(gEvents, (std::vector<std::string>{"CellAction 1 1", "CellLostFocus 1 1"}));
}

TEST_F(ListCellEditGuiTest, ACellKeyDownHandlerThatTakesReturnKeepsTheEditOpen) {
  RuntimeObject* list = NewList(1);
  listEditCell(list, 0, 1);
  test::PumpFor(100);
  gTakeCellKeys = 1;
  test::PressKeys("Return");
  EXPECT_TRUE(ListboxPane(list)->IsEditing());
  gTakeCellKeys = 0;
  test::PressKeys("Escape");
  EXPECT_FALSE(ListboxPane(list)->IsEditing());
}

TEST_F(ListCellEditGuiTest, ASlowSecondClickOnTheSelectedRowsEditableCellStartsAnEdit) {
  RuntimeObject* list = NewList(2);
  RuntimeListbox* pane = ListboxPane(list);
  int32_t x = 0, y = 0;
  test::ScreenPoint(native, kLeft + 150, RowY(list, 0), &x, &y);
  test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click --repeat 2 --delay 60 1");
  test::PumpFor(150);
  EXPECT_EQ(listSelectionGetter(list, 0), 0);
  EXPECT_FALSE(pane->IsEditing()) << "a second click within the double-click time does not edit";
  test::PumpFor(static_cast<int>(ListDoubleClickTicks() * 1000 / 60) + 100);
  test::ClickAt(native, kLeft + 30, RowY(list, 0));
  EXPECT_FALSE(pane->IsEditing()) << "column 0 is not editable";
  test::PumpFor(static_cast<int>(ListDoubleClickTicks() * 1000 / 60) + 100);
  test::ClickAt(native, kLeft + 150, RowY(list, 0));
  ASSERT_TRUE(pane->IsEditing());
  EXPECT_EQ(pane->EditedRow(), 0);
  EXPECT_EQ(pane->EditedColumn(), 1);
  test::PressKeys("z");
  // A press on another row takes the focus from the field, which keeps its text.
  test::ClickAt(native, kLeft + 30, RowY(list, 1));
  EXPECT_FALSE(pane->IsEditing());
  EXPECT_EQ(Cell(list, 0, 1), "z");
  EXPECT_EQ(Count("CellAction 0 1"), 1u);
}

TEST_F(ListCellEditGuiTest, ScrollingMovesTheFieldAndRowChangesEndTheEdit) {
  RuntimeObject* list = NewList(20);
  RuntimeListbox* pane = ListboxPane(list);
  listEditCell(list, 2, 1);
  test::PumpFor(100);
  test::PressKeys("k");
  pane->SetFirstVisibleRow(10);
  test::PumpFor(50);
  EXPECT_LT(pane->CellEditor()->Bounds().bottom, 0) << "the field left with its cell";
  pane->SetFirstVisibleRow(0);
  EXPECT_GT(pane->CellEditor()->Bounds().top, 0) << "and came back with it";
  EXPECT_TRUE(pane->IsEditing());
  RuntimeListInsertRow(list, 0, string("new").Rep(), 0);
  EXPECT_FALSE(pane->IsEditing()) << "an inserted row ends the edit";
  EXPECT_EQ(Cell(list, 3, 1), "k") << "the text went to the edited row before it moved";
  EXPECT_EQ(Cell(list, 2, 1), "b1");
  EXPECT_EQ(Count("CellAction 2 1"), 1u);

  listEditCell(list, 4, 1);
  test::PumpFor(100);
  test::PressKeys("m");
  RuntimeRemoveRow(list, 4);
  EXPECT_FALSE(pane->IsEditing()) << "the edit ends with its row";
  EXPECT_EQ(Count("CellAction 4 1"), 0u) << "the text of a removed row is dropped";
  EXPECT_EQ(Cell(list, 4, 1), "b4");
  EXPECT_EQ(listCountGetter(list, 0), 20);
}

// The user must see what is typed: the cell comes into view sideways as well as up and down.
TEST_F(ListCellEditGuiTest, EditCellScrollsItsCellIntoViewInBothDirections) {
  RuntimeObject* list = NewList(20);
  RuntimeListbox* pane = ListboxPane(list);
  listColumnCountSetter(list, 0, 3);
  listColumnWidthsSetter(list, 0, string("100, 120, 150").Rep());
  listColumnTypeSetter(list, 2, 3);
  const Rect area = pane->RowArea();
  struct Case {
    int32_t row, column;
  };
  for (const Case c : {Case{15, 2}, Case{0, 0}, Case{12, 1}}) {
    listEditCell(list, c.row, c.column);
    test::PumpFor(100);
    ASSERT_TRUE(pane->IsEditing()) << c.row << "," << c.column;
    const Rect field = pane->CellEditor()->Bounds();
    EXPECT_GE(field.left, area.left) << c.row << "," << c.column;
    EXPECT_LE(field.right, area.right) << c.row << "," << c.column;
    EXPECT_GE(field.top, area.top) << c.row << "," << c.column;
    EXPECT_LE(field.bottom, area.bottom) << c.row << "," << c.column;
    EXPECT_EQ(field.Width(), std::min<int32_t>(pane->Columns().GetColumnRight(c.column) -
                                                   pane->Columns().GetColumnLeft(c.column),
                                               area.Width()))
        << "the whole cell is in view where it fits";
    test::PressKeys("w Return");
    EXPECT_EQ(Cell(list, c.row, c.column), "w");
  }
  EXPECT_EQ(pane->Columns().GetColumnRight(1), area.right) << "scrolled no further than the cell needs";
  EXPECT_GT(listScrollPositionXGetter(list, 0), 0);
}

TEST_F(ListCellEditGuiTest, EditCellRejectsCellsOutsideTheList) {
  RuntimeObject* list = NewList(1);
  for (auto [row, column] : {std::pair{1, 0}, std::pair{0, 2}, std::pair{-1, 0}}) {
    listEditCell(list, row, column);
    RuntimeObject* pending = TakePendingException();
    EXPECT_NE(pending, nullptr) << row << "," << column;
    RuntimeUnlockObject(pending);
  }
  EXPECT_FALSE(ListboxPane(list)->IsEditing());
}

}  // namespace
}  // namespace vorn
