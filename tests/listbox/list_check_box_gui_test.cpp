// Check box cells: drawn before the cell's text, toggled by a press on the box (not elsewhere
// in the cell), with CellAction told once per toggle.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/support/class_fixture.h"
#include "listbox/listbox_class.h"
#include "vorn/listbox_api.h"
#include "support/window_pixels.h"

namespace vorn {
namespace {

constexpr int32_t kLeft = 20;
constexpr int32_t kTop = 20;

std::vector<std::string> gActions;

extern "C" void CheckListCellAction(VornRuntimeObject*, int32_t row, int32_t column) {
  gActions.push_back(std::to_string(row) + " " + std::to_string(column));
}

class ListCheckBoxGuiTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    ControlClassTest::SetUp();
    gActions.clear();
  }
  // Two rows "one" and "two" in two columns of 100 pixels; column 1 is made of check boxes.
  RuntimeObject* NewList() {
    RuntimeObject* list = AddControl(GetListboxClassDefinition(), "List", MakeRect(kLeft, kTop, 220, 120), host);
    Install(list, "CellAction", reinterpret_cast<void*>(&CheckListCellAction));
    listColumnCountSetter(list, 0, 2);
    MakePane(list);
    listColumnWidthsSetter(list, 0, string("100, 98").Rep());
    RuntimeListAddRow(list, string("one").Rep());
    RuntimeListAddRow(list, string("two").Rep());
    listColumnTypeSetter(list, 1, 2);
    test::ShowAndSettle(native);
    return list;
  }
  static Rect Box(RuntimeObject* list, int32_t row) {
    RuntimeListbox* pane = ListboxPane(list);
    const int32_t height = pane->RowHeight();
    const int32_t top = pane->RowArea().top + row * height;
    const int32_t left = pane->Columns().GetColumnLeft(1) + 4;
    const int32_t side = std::min(height, 20);
    return MakeRect(left, top + (height - side) / 2, left + side, top + (height - side) / 2 + side);
  }
};

TEST_F(ListCheckBoxGuiTest, APressOnTheBoxTogglesItAndFiresCellActionOnce) {
  RuntimeObject* list = NewList();
  listCellCheckSetter(list, 0, 1, 1);
  const Rect box = Box(list, 0);
  const int32_t middle = (box.top + box.bottom) / 2;
  test::ClickAt(native, box.left + 6, middle);
  EXPECT_EQ(listCellCheckGetter(list, 0, 1), 0);
  EXPECT_EQ(gActions, (std::vector<std::string>{"0 1"}));
  EXPECT_EQ(listSelectionGetter(list, 0), -1) << "the press on the box did not select";
  test::PumpFor(500);
  test::ClickAt(native, box.left + 6, middle);
  EXPECT_EQ(listCellCheckGetter(list, 0, 1), 1);
  EXPECT_EQ(gActions.size(), 2u);
  EXPECT_EQ(listCellCheckGetter(list, 1, 1), 0) << "the other row's box kept its state";
}

TEST_F(ListCheckBoxGuiTest, APressElsewhereInTheCellDoesNotToggle) {
  RuntimeObject* list = NewList();
  test::ClickAt(native, Box(list, 1).left + 40, (Box(list, 1).top + Box(list, 1).bottom) / 2);
  EXPECT_EQ(listCellCheckGetter(list, 1, 1), 0);
  EXPECT_TRUE(gActions.empty());
  EXPECT_EQ(listSelectionGetter(list, 0), 1) << "the press selected the row instead";
  test::ClickAt(native, kLeft + 30, (Box(list, 0).top + Box(list, 0).bottom) / 2);
  EXPECT_EQ(listCellCheckGetter(list, 0, 1), 0) << "column 0 has no check boxes";
}

TEST_F(ListCheckBoxGuiTest, TheBoxIsDrawnAndFollowsTheCheckState) {
  RuntimeObject* list = NewList();
  const Rect box = Box(list, 0);
  auto boxPixels = [&] {
    test::FlushWindowDrawing(native);
    std::vector<uint32_t> pixels;
    for (int32_t v = box.top; v < box.bottom; ++v) {
      for (int32_t h = box.left; h < box.left + 16; ++h) pixels.push_back(test::WindowScreenPixel(native, h, v));
    }
    return pixels;
  };
  const std::vector<uint32_t> unchecked = boxPixels();
  EXPECT_NE(std::count(unchecked.begin(), unchecked.end(), 0xFFFFFFu), static_cast<long>(unchecked.size()))
      << "something is drawn in the box";
  listCellCheckSetter(list, 0, 1, 1);
  EXPECT_NE(boxPixels(), unchecked) << "the checked box looks different";
  EXPECT_EQ(listCellTypeGetter(list, 0, 1), 0) << "the cell follows its column";
  listCellTypeSetter(list, 0, 1, 1);
  listColumnTypeSetter(list, 1, 0);
  const std::vector<uint32_t> plain = boxPixels();
  EXPECT_EQ(std::count(plain.begin(), plain.end(), 0xFFFFFFu), static_cast<long>(plain.size()))
      << "a cell of another type shows no box";
}

}  // namespace
}  // namespace vorn
