// The list's scroll bars in a real window: a bar that appears for more rows than fit and
// scrolls them when its thumb is dragged, bars that follow their properties, and horizontal
// scrolling over columns wider than the list.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "controls/scroller.h"
#include "controls/support/class_fixture.h"
#include "listbox/listbox_class.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

constexpr int32_t kLeft = 20;
constexpr int32_t kTop = 20;
constexpr int32_t kRight = 220;
constexpr int32_t kBottom = 120;

class ListScrollBarsGuiTest : public test::ControlClassTest {
 protected:
  RuntimeObject* NewList(bool vertical, bool horizontal) {
    test::PackedStream stream;
    stream.Bool(48, horizontal).Bool(49, vertical);
    RuntimeObject* list =
        AddControl(GetListboxClassDefinition(), "List", MakeRect(kLeft, kTop, kRight, kBottom), host, &stream);
    MakePane(list);
    return list;
  }
  static bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      test::PumpFor(20);
    }
    return true;
  }
};

TEST_F(ListScrollBarsGuiTest, ManyRowsShowAVerticalBarWhoseThumbScrollsTheRows) {
  RuntimeObject* list = NewList(true, false);
  for (int i = 0; i < 500; ++i) RuntimeListAddRow(list, string(("row " + std::to_string(i)).c_str()).Rep());
  test::ShowAndSettle(native);
  RuntimeListbox* pane = ListboxPane(list);
  Scroller* bar = pane->VerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(pane->IsVerticalScrollBarVisible());
  EXPECT_EQ(bar->GetMaximum(), 500 - pane->VisibleRowCount());
  EXPECT_LE(pane->RowArea().right, kRight - 16) << "the rows leave room for the bar";
  int32_t x = 0, y = 0, toX = 0, toY = 0;
  test::ScreenPoint(native, kRight - 8, kTop + 24, &x, &y);
  test::ScreenPoint(native, kRight - 8, kBottom - 24, &toX, &toY);
  test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1 mousemove " +
              std::to_string(toX) + " " + std::to_string(toY - 10) + " mousemove " + std::to_string(toX) + " " +
              std::to_string(toY) + " mouseup 1");
  ASSERT_TRUE(WaitFor([&] { return listScrollPositionGetter(list, 0) > 100; }))
      << "dragging the thumb scrolled to " << listScrollPositionGetter(list, 0);
  EXPECT_EQ(bar->GetValue(), listScrollPositionGetter(list, 0));
  EXPECT_EQ(listRowFromXY(list, 10, 5), listScrollPositionGetter(list, 0)) << "the top row is the scrolled-to one";
  test::PumpFor(100);
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " VORN_BINARY_DIR "/list_scrolled.png");

  listScrollPositionSetter(list, 0, 10);
  EXPECT_EQ(bar->GetValue(), 10) << "ScrollPosition moves the thumb";
  listVScrollBarSetter(list, 0, 0);
  EXPECT_EQ(pane->VerticalScrollBar(), nullptr);
  EXPECT_EQ(pane->RowArea().right, kRight - 2) << "without the bar the rows reach the frame";
}

TEST_F(ListScrollBarsGuiTest, BarsFollowTheRowsAndColumnsAndHideWhenNotNeeded) {
  RuntimeObject* list = NewList(true, true);
  RuntimeListbox* pane = ListboxPane(list);
  listColumnCountSetter(list, 0, 2);
  listColumnWidthsSetter(list, 0, string("150, 150").Rep());
  RuntimeListAddRow(list, string("one").Rep());
  pane->UpdateScrollBars();
  EXPECT_EQ(pane->TotalColumnWidth(), 300);
  const int32_t width = (kRight - kLeft) - 3 - 16;
  EXPECT_EQ(pane->HorizontalScrollBar()->GetMaximum(), 300 - width);
  EXPECT_EQ(pane->VerticalScrollBar()->GetMaximum(), 0) << "one row fits";
  listScrollPositionXSetter(list, 0, 40);
  EXPECT_EQ(listScrollPositionXGetter(list, 0), 40);
  EXPECT_EQ(pane->Columns().GetColumnLeft(0), pane->RowArea().left - 40);
  EXPECT_EQ(listRowFromXY(list, 10, 5), 0);
  listScrollPositionXSetter(list, 0, 5000);
  EXPECT_EQ(listScrollPositionXGetter(list, 0), 300 - width) << "never past the last column";

  listAutoHideScrollbarSetter(list, 0, 1);
  EXPECT_FALSE(pane->IsVerticalScrollBarVisible()) << "nothing to scroll vertically";
  EXPECT_TRUE(pane->IsHorizontalScrollBarVisible());
  EXPECT_EQ(pane->HorizontalScrollBar()->Bounds().right, kRight) << "the horizontal bar takes the corner";
  for (int i = 0; i < 20; ++i) RuntimeListAddRow(list, string("more").Rep());
  pane->UpdateScrollBars();
  EXPECT_TRUE(pane->IsVerticalScrollBarVisible());
  listColumnWidthsSetter(list, 0, string("50, 50").Rep());
  pane->UpdateScrollBars();
  EXPECT_FALSE(pane->IsHorizontalScrollBarVisible());
  EXPECT_EQ(listScrollPositionXGetter(list, 0), 0);
  EXPECT_EQ(pane->HeadingRect().right, 0) << "no heading, no heading rectangle";
}

}  // namespace
}  // namespace vorn
