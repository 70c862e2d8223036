// The Listbox class in a real window: rows drawn by the runtime, clicks and keys selecting,
// Change and DoubleClick, sorting from the heading, scrolling, and settings made before the
// pane exists.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controls/scroller.h"
#include "controls/support/class_fixture.h"
#include "core/run_loop.h"
#include "startup/window_loop_hooks.h"
#include "windows/pane_focus.h"
#include "graphics/graphics.h"
#include "graphics/graphics_object.h"
#include "listbox/listbox_class.h"
#include "objects/exceptions.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

struct Seen {
  int changes = 0;
  int doubleClicks = 0;
  int headerPresses = 0;
};
Seen gSeen;

extern "C" void ListChange(VornRuntimeObject*) { ++gSeen.changes; }
// Even rows green; the text of row 1 is the handler's own (it draws none).
extern "C" uint8_t ListCellBackgroundPaint(VornRuntimeObject*, VornRuntimeObject* g, int32_t row, int32_t) {
  if (row % 2 != 0) return 0;
  Graphics* port = GraphicsObjectPort(g);
  port->SetForeColor(RGB48{0, 0xFFFF, 0});
  port->FillRect(MakeRect(0, 0, 1000, 1000));
  return 1;
}
std::vector<std::pair<int32_t, int32_t>> gTextAt;
std::vector<std::pair<int32_t, int32_t>> gReorders;
extern "C" uint8_t ListDragReorderRows(VornRuntimeObject*, int32_t position, int32_t parent) {
  gReorders.emplace_back(position, parent);
  return 0;
}
extern "C" uint8_t ListCellTextPaint(VornRuntimeObject*, VornRuntimeObject*, int32_t row, int32_t, int32_t x,
                                     int32_t y) {
  gTextAt.emplace_back(x, y);
  return row == 1;
}
// The cells of existing columns that were drawn, as (row, column).
std::set<std::pair<int32_t, int32_t>> gPainted;
extern "C" uint8_t ListNotePaint(VornRuntimeObject* list, VornRuntimeObject*, int32_t row, int32_t column) {
  if (column < listColumnCountGetter(list, 0)) gPainted.emplace(row, column);
  return 0;
}
extern "C" void ListDoubleClick(VornRuntimeObject*) { ++gSeen.doubleClicks; }
extern "C" uint8_t ListHeaderPressed(VornRuntimeObject*, int32_t) {
  ++gSeen.headerPresses;
  return 0;
}

const std::pair<int32_t, int32_t> kNoReorder{-2, -2};

// The list lies at (20, 20) - (220, 120) of the window: a heading row of 23 pixels when asked.
constexpr int32_t kLeft = 20;
constexpr int32_t kTop = 20;

class ListboxGuiTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    ControlClassTest::SetUp();
    gSeen = Seen();
  }
  RuntimeObject* NewList(const test::PackedStream* stream = nullptr) {
    RuntimeObject* list =
        AddControl(GetListboxClassDefinition(), "List", MakeRect(kLeft, kTop, 220, 120), host, stream);
    Install(list, "Change", reinterpret_cast<void*>(&ListChange));
    Install(list, "DoubleClick", reinterpret_cast<void*>(&ListDoubleClick));
    Install(list, "HeaderPressed", reinterpret_cast<void*>(&ListHeaderPressed));
    return list;
  }
  static void AddRows(RuntimeObject* list, std::initializer_list<const char*> texts) {
    for (const char* text : texts) RuntimeListAddRow(list, string(text).Rep());
  }
  static std::string Cell(RuntimeObject* list, int32_t row, int32_t column) {
    return std::string(string::Adopt(listGetCell(list, row, column)).View());
  }
  // Window y of the middle of a row.
  int32_t RowY(RuntimeObject* list, int32_t row) {
    RuntimeListbox* pane = ListboxPane(list);
    return pane->RowArea().top + row * pane->RowHeight() + pane->RowHeight() / 2;
  }
  // Dark pixels along the middle of a row, from its left edge on, as the screen shows them.
  int32_t DarkPixelsOfRow(RuntimeObject* list, int32_t row, const char* name) {
    test::PumpFor(150);
    const std::string shot = Screenshot(name);
    const std::string count = test::PictureTool(
        "convert " + shot + " -crop 80x1+" + std::to_string(kLeft + 2) + "+" + std::to_string(RowY(list, row)) +
        " -colorspace gray -threshold 50% -negate -format '%[fx:mean*w*h]' info:");
    return std::stoi(count);
  }
  std::string Screenshot(const char* name) {
    std::string shot = std::string(VORN_BINARY_DIR) + "/" + name;
    test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + shot);
    return shot;
  }
  static bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) test::PumpFor(20);
    return done();
  }
  // Presses at one window point and drags to another while the run loop serves the capturing
  // pane, as it does in a running program.
  void DragWithTheRunLoop(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
    InstallWindowLoopHooks();
    int32_t x = 0, y = 0, endX = 0, endY = 0;
    test::ScreenPoint(native, fromX, fromY, &x, &y);
    test::ScreenPoint(native, toX, toY, &endX, &endY);
    test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.05 mousedown 1");
    WaitFor([] { return GetMouseCapturePane() != nullptr; });
    for (int step = 1; step <= 4; ++step) {
      test::Shell("xdotool mousemove " + std::to_string(x + (endX - x) * step / 4) + " " +
                  std::to_string(y + (endY - y) * step / 4));
      test::PumpFor(40);
      RunMainLoopOnce(false);
    }
    test::Shell("xdotool mouseup 1");
    test::PumpFor(100);
  }
  // Drags a row to a screen point; the whole gesture runs by itself, since the drag's own
  // loops take the events meanwhile.
  void DragRowTo(RuntimeObject* list, int32_t row, int32_t toX, int32_t toY) {
    int32_t x = 0, y = 0;
    test::ScreenPoint(native, kLeft + 40, RowY(list, row), &x, &y);
    test::Shell("(xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
                " mousedown 1 sleep 0.3 mousemove " + std::to_string(x) + " " + std::to_string(y + 8) +
                " sleep 0.2 mousemove " + std::to_string(toX) + " " + std::to_string(toY) +
                " sleep 0.3 mouseup 1) >/dev/null 2>&1 &");
  }
  RuntimeObject* NewHierarchicalReorderingList() {
    test::PackedStream stream;
    stream.Bool(39, true);  // EnableDragReorder
    RuntimeObject* list = NewList(&stream);
    Install(list, "DragReorderRows", reinterpret_cast<void*>(&ListDragReorderRows));
    MakePane(list);
    listHierarchicalSetter(list, 0, 1);
    return list;
  }
  // Drags a row to a window point and answers what DragReorderRows heard; a drop that is
  // refused is waited out.
  std::pair<int32_t, int32_t> DropAt(RuntimeObject* list, int32_t row, int32_t x, int32_t y, bool heard) {
    gReorders.clear();
    int32_t toX = 0, toY = 0;
    test::ScreenPoint(native, x, y, &toX, &toY);
    DragRowTo(list, row, toX, toY);
    if (heard) WaitFor([] { return !gReorders.empty(); });
    test::PumpFor(heard ? 200 : 1500);
    if (gReorders.size() != 1) return gReorders.empty() ? kNoReorder : std::make_pair(-3, -3);
    return gReorders[0];
  }
  static std::string PixelOf(const std::string& shot, int32_t x, int32_t y) {
    return test::PictureTool("convert " + shot + " -format '%[hex:p{" + std::to_string(x) + "," + std::to_string(y) +
                       "}]' info:")
        .substr(0, 6);
  }
};

TEST_F(ListboxGuiTest, AddedRowsAreDrawnOnScreen) {
  RuntimeObject* list = NewList();
  MakePane(list);
  test::ShowAndSettle(native);
  EXPECT_EQ(DarkPixelsOfRow(list, 1, "listbox_empty.png"), 0) << "an empty list shows no text";
  AddRows(list, {"alpha", "beta", "gamma"});
  EXPECT_EQ(listCountGetter(list, 0), 3);
  EXPECT_EQ(listLastIndexGetter(list, 0), 2);
  EXPECT_GT(DarkPixelsOfRow(list, 1, "listbox_rows.png"), 2) << "the second row's text is on the screen";
  EXPECT_EQ(DarkPixelsOfRow(list, 3, "listbox_rows.png"), 0) << "no fourth row";
}

TEST_F(ListboxGuiTest, AClickSelectsARowAndFiresChangeOnce) {
  RuntimeObject* list = NewList();
  MakePane(list);
  AddRows(list, {"one", "two", "three"});
  test::ShowAndSettle(native);
  test::ClickAt(native, kLeft + 40, RowY(list, 1));
  test::PumpFor(100);
  EXPECT_EQ(listSelectionGetter(list, 0), 1);
  EXPECT_EQ(gSeen.changes, 1);
  test::ClickAt(native, kLeft + 40, RowY(list, 1));
  test::PumpFor(600);
  EXPECT_EQ(gSeen.changes, 1) << "clicking the selected row again changes nothing";
  const std::string shot = Screenshot("listbox_selected.png");
  const GdkColor theme = gtk_widget_get_default_style()->base[GTK_STATE_SELECTED];
  char selected[7];
  snprintf(selected, sizeof selected, "%02X%02X%02X", theme.red >> 8, theme.green >> 8, theme.blue >> 8);
  EXPECT_EQ(PixelOf(shot, 200, RowY(list, 1)), selected) << "the selected row has the theme's selection colour";
  EXPECT_NE(PixelOf(shot, 200, RowY(list, 0)), selected);
}

TEST_F(ListboxGuiTest, ArrowKeysMoveTheSelection) {
  RuntimeObject* list = NewList();
  MakePane(list);
  AddRows(list, {"one", "two", "three"});
  test::ShowAndSettle(native);
  test::ClickAt(native, kLeft + 40, RowY(list, 0));
  ASSERT_EQ(listSelectionGetter(list, 0), 0);
  test::PressKeys("Down Down");
  EXPECT_EQ(listSelectionGetter(list, 0), 2);
  test::PressKeys("Down");
  EXPECT_EQ(listSelectionGetter(list, 0), 2) << "the last row stays";
  test::PressKeys("Up");
  EXPECT_EQ(listSelectionGetter(list, 0), 1);
  EXPECT_EQ(gSeen.changes, 4);
}

TEST_F(ListboxGuiTest, ADoubleClickFiresDoubleClick) {
  RuntimeObject* list = NewList();
  MakePane(list);
  AddRows(list, {"one", "two"});
  test::ShowAndSettle(native);
  int32_t x = 0, y = 0;
  test::ScreenPoint(native, kLeft + 40, RowY(list, 1), &x, &y);
  test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
              " sleep 0.1 click --repeat 2 --delay 60 1");
  test::PumpFor(200);
  EXPECT_EQ(gSeen.doubleClicks, 1);
  EXPECT_EQ(listSelectionGetter(list, 0), 1);
  EXPECT_EQ(gSeen.changes, 1);
}

TEST_F(ListboxGuiTest, AClickOnAHeadingSortsAndASecondReverses) {
  test::PackedStream stream;
  stream.Bool(43, true).Int(34, 2);  // HasHeading, ColumnCount
  RuntimeObject* list = NewList(&stream);
  MakePane(list);
  RuntimeListInitialValueSetter(list, 0, string("Name\tSize\npear\t3\napple\t1\nFig\t2").Rep());
  EXPECT_EQ(Cell(list, 0, 0), "pear");
  EXPECT_EQ(std::string(string::Adopt(listGetHeading(list, 1)).View()), "Size");
  test::ShowAndSettle(native);
  const int32_t headingY = kTop + 1 + kListHeadingHeight / 2;
  test::ClickAt(native, kLeft + 20, headingY);
  EXPECT_EQ(gSeen.headerPresses, 1);
  EXPECT_EQ(listSortedColumnGetter(list, 0), 0);
  EXPECT_EQ(Cell(list, 0, 0) + Cell(list, 1, 0) + Cell(list, 2, 0), "appleFigpear");
  test::PumpFor(600);
  test::ClickAt(native, kLeft + 20, headingY);
  EXPECT_EQ(Cell(list, 0, 0) + Cell(list, 1, 0) + Cell(list, 2, 0), "pearFigapple");
  test::PumpFor(600);
  test::ClickAt(native, kLeft + 150, headingY);
  EXPECT_EQ(listSortedColumnGetter(list, 0), 1);
  EXPECT_EQ(Cell(list, 0, 1) + Cell(list, 1, 1) + Cell(list, 2, 1), "123");
  EXPECT_EQ(gSeen.doubleClicks, 0);
  test::PumpFor(150);
  const std::string shot = Screenshot("listbox_heading.png");
  EXPECT_EQ(PixelOf(shot, kLeft + 150, headingY), "C8C8D8") << "the sorted column's heading is pressed";
  EXPECT_EQ(PixelOf(shot, kLeft + 60, headingY), "E4E4E4");
}

TEST_F(ListboxGuiTest, SortedColumnNamesTheColumnSortUsesAndBadColumnsRaise) {
  RuntimeObject* list = NewList();
  MakePane(list);
  listColumnCountSetter(list, 0, 2);
  RuntimeListInitialValueSetter(list, 0, string("b\t2\na\t3\nc\t1").Rep());
  listSortedColumnSetter(list, 0, 1);
  EXPECT_EQ(listSortedColumnGetter(list, 0), 1);
  EXPECT_EQ(Cell(list, 0, 0), "b") << "assigning SortedColumn does not sort";
  RuntimeListResort(list);
  EXPECT_EQ(Cell(list, 0, 1) + Cell(list, 1, 1) + Cell(list, 2, 1), "123");
  struct Bad {
    const char* what;
    std::function<void()> call;
  };
  const Bad bad[] = {
      {"SortedColumn = 2", [&] { listSortedColumnSetter(list, 0, 2); }},
      {"ColumnType(64)", [&] { listColumnTypeSetter(list, 64, 2); }},
      {"ColumnType(-1)", [&] { listColumnTypeGetter(list, -1); }},
  };
  for (const Bad& b : bad) {
    b.call();
    RuntimeObject* pending = TakePendingException();
    EXPECT_NE(pending, nullptr) << b.what;
    RuntimeUnlockObject(pending);
  }
  EXPECT_EQ(listSortedColumnGetter(list, 0), 1) << "a bad column changes nothing";
  listColumnTypeSetter(list, 63, 2);
  EXPECT_EQ(listColumnTypeGetter(list, 63), 2) << "the last column index takes a type";
  EXPECT_EQ(TakePendingException(), nullptr);
}

TEST_F(ListboxGuiTest, CellMembersKeepTheirValuesAndBadIndexesRaise) {
  RuntimeObject* list = NewList();
  MakePane(list);
  listColumnCountSetter(list, 0, 2);
  RuntimeListInitialValueSetter(list, 0, string("a\tb\nc\td").Rep());
  listBoldSetter(list, 0, 1);
  listTextSizeSetter(list, 0, 14);
  EXPECT_EQ(listBoldGetter(list, 0) + listItalicGetter(list, 0), 1);
  EXPECT_EQ(listTextSizeGetter(list, 0), 14);
  listSetCellTag(list, 1, 200, list);
  EXPECT_EQ(listGetCellTag(list, 1, 200), list) << "a tag beyond the columns is kept";
  RuntimeUnlockObject(list);
  listSetRowPicture(list, 0, nullptr);
  EXPECT_EQ(listGetRowPicture(list, 0), nullptr) << "a nil picture clears the row picture";
  listSetCellBorderRight(list, 0, 2, 4);
  EXPECT_EQ(listGetCellBorderRight(list, 0, 2), 4) << "the edge right of the last column";
  listCellAlignmentSetter(list, 1, 1, 3);
  listCellAlignmentOffsetSetter(list, 1, 1, -5);
  EXPECT_EQ(listCellAlignmentGetter(list, 1, 1) * 10 + listCellAlignmentOffsetGetter(list, 1, 1), 25);
  listColumnAlignmentOffsetSetter(list, 1, 7);
  EXPECT_EQ(listColumnAlignmentOffsetGetter(list, 1), 7);
  struct Bad {
    const char* what;
    std::function<void()> call;
  };
  const Bad bad[] = {
      {"CellTag(0, 256)", [&] { listSetCellTag(list, 0, 256, nullptr); }},
      {"RowPicture(-1)", [&] { listGetRowPicture(list, -1); }},
      {"RowPicture(2)", [&] { listSetRowPicture(list, 2, nullptr); }},
      {"CellBorderTop(0, 3)", [&] { EXPECT_EQ(listGetCellBorderTop(list, 0, 3), -1); }},
      {"CellAlignment(2, 0)", [&] { listCellAlignmentSetter(list, 2, 0, 1); }},
      {"InvalidateCell(-1, 0)", [&] { listInvalidateCell(list, -1, 0); }},
      {"ColumnAlignmentOffset(64)", [&] { listColumnAlignmentOffsetSetter(list, 64, 1); }},
  };
  for (const Bad& b : bad) {
    b.call();
    RuntimeObject* pending = TakePendingException();
    EXPECT_NE(pending, nullptr) << b.what;
    RuntimeUnlockObject(pending);
  }
  RuntimeListEmpty(list);
}

TEST_F(ListboxGuiTest, CellPaintHandlersDrawInCellCoordinatesAndTheirAnswersCount) {
  RuntimeObject* list = NewList();
  Install(list, "CellBackgroundPaint", reinterpret_cast<void*>(&ListCellBackgroundPaint));
  Install(list, "CellTextPaint", reinterpret_cast<void*>(&ListCellTextPaint));
  MakePane(list);
  AddRows(list, {"abc", "hidden", "abc\rdef", "three"});
  gTextAt.clear();
  test::ShowAndSettle(native);
  const std::string shot = Screenshot("listbox_cell_paint.png");
  EXPECT_EQ(PixelOf(shot, kLeft + 100, RowY(list, 0)), "00FF00");
  EXPECT_EQ(PixelOf(shot, kLeft + 100, RowY(list, 1)), "FFFFFF");
  EXPECT_EQ(PixelOf(shot, kLeft + 100, RowY(list, 4)), "00FF00") << "rows past the end are painted too";
  ASSERT_FALSE(gTextAt.empty());
  EXPECT_EQ(gTextAt[0].first, 4) << "x and y are where the text would go, in the cell";
  EXPECT_GT(gTextAt[0].second, 0);
  EXPECT_LT(gTextAt[0].second, ListboxPane(list)->RowHeight());
  EXPECT_EQ(DarkPixelsOfRow(list, 1, "listbox_cell_paint1.png"), 0) << "CellTextPaint answered that it drew";
  EXPECT_GT(DarkPixelsOfRow(list, 3, "listbox_cell_paint3.png"), 0);
  EXPECT_EQ(DarkPixelsOfRow(list, 2, "listbox_cell_paint2.png"), DarkPixelsOfRow(list, 0, "listbox_cell_paint0.png"))
      << "only the first line of a cell shows";
}

TEST_F(ListboxGuiTest, DraggingAHeadingEdgeWidensItsColumnUnlessItIsNotResizable) {
  test::PackedStream stream;
  stream.Bool(43, true).Int(34, 3).Bool(57, true);  // HasHeading, ColumnCount, ColumnsResizable
  RuntimeObject* list = NewList(&stream);
  MakePane(list);
  listColumnWidthsSetter(list, 0, string("60, 40, 40").Rep());
  RuntimeListbox* pane = ListboxPane(list);
  pane->Columns().SetColumnResizable(1, false);
  test::ShowAndSettle(native);
  const int32_t headingY = kTop + 1 + kListHeadingHeight / 2;
  auto dragEdge = [&](int32_t fromX, int32_t toX) { DragWithTheRunLoop(fromX, headingY, toX, headingY); };
  const int32_t edge0 = pane->Columns().GetColumnRight(0);
  EXPECT_EQ(pane->ColumnEdgeAt(edge0 - 1, headingY), 0);
  dragEdge(edge0, edge0 + 40);
  EXPECT_EQ(pane->Columns().GetColumnWidth(0), 100);
  EXPECT_EQ(std::string(string::Adopt(listColumnWidthsGetter(list, 0)).View()), "100, 40, 40")
      << "the dragged width is written back to its expression";
  EXPECT_EQ(gSeen.headerPresses, 0) << "dragging an edge does not press the heading";
  const int32_t edge1 = pane->Columns().GetColumnRight(1);
  EXPECT_EQ(pane->ColumnEdgeAt(edge1, headingY), -1);
  dragEdge(edge1, edge1 + 30);
  EXPECT_EQ(pane->Columns().GetColumnWidth(1), 40) << "a column that is not user-resizable keeps its width";
  // The heading under the pointer (not the pressed one) is lit until the pointer leaves the heading.
  auto hoverAt = [&](int32_t x, int32_t y, const char* name) {
    int32_t sx = 0, sy = 0;
    test::ScreenPoint(native, x, y, &sx, &sy);
    test::Shell("xdotool mousemove " + std::to_string(sx) + " " + std::to_string(sy));
    WaitFor([&] { return pane->HoveredHeading() == (y == headingY ? 0 : -1); });
    test::PumpFor(100);
    return PixelOf(Screenshot(name), (pane->Columns().GetColumnLeft(0) + pane->Columns().GetColumnRight(0)) / 2,
                   kTop + 3);
  };
  const int32_t middle0 = (pane->Columns().GetColumnLeft(0) + pane->Columns().GetColumnRight(0)) / 2;
  EXPECT_EQ(hoverAt(middle0, headingY, "listbox_heading_hover.png"), "F4F4F4");
  EXPECT_EQ(pane->HoveredHeading(), 0);
  EXPECT_EQ(hoverAt(middle0, RowY(list, 1), "listbox_heading_left.png"), "E4E4E4");
  EXPECT_EQ(pane->HoveredHeading(), -1);
}

TEST_F(ListboxGuiTest, ControlAAndControlCSelectEveryRowAndCopyItsText) {
  test::PackedStream stream;
  stream.Int(40, 1).Int(34, 2);  // SelectionType multiple, ColumnCount
  RuntimeObject* list = NewList(&stream);
  MakePane(list);
  RuntimeListInitialValueSetter(list, 0, string("a\t1\nb\t2\nc\t3").Rep());
  test::ShowAndSettle(native);
  test::ClickAt(native, kLeft + 40, RowY(list, 1));
  test::PressKeys("ctrl+a");
  EXPECT_EQ(listSelCountGetter(list, 0), 3);
  test::PressKeys("ctrl+c");
  gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), "a\t1\nb\t2\nc\t3");
  g_free(text);
}

TEST_F(ListboxGuiTest, ARowDraggedToAnotherPlaceMovesThereAndFiresDragReorderRows) {
  test::PackedStream stream;
  stream.Bool(39, true);  // EnableDragReorder
  RuntimeObject* list = NewList(&stream);
  Install(list, "DragReorderRows", reinterpret_cast<void*>(&ListDragReorderRows));
  MakePane(list);
  AddRows(list, {"r0", "r1", "r2", "r3", "r4"});
  gReorders.clear();
  test::ShowAndSettle(native);
  auto gesture = [&](int32_t toX, int32_t toY) { DragRowTo(list, 0, toX, toY); };
  gesture(1270, 1010);  // outside every window
  test::PumpFor(1500);
  EXPECT_TRUE(gReorders.empty()) << "a drop outside any window reorders nothing";
  EXPECT_EQ(Cell(list, 0, 0), "r0");
  int32_t toX = 0, toY = 0;
  test::ScreenPoint(native, kLeft + 40, RowY(list, 3) - ListboxPane(list)->RowHeight() / 4, &toX, &toY);
  gesture(toX, toY);
  WaitFor([] { return !gReorders.empty(); });
  test::PumpFor(200);
  ASSERT_EQ(gReorders.size(), 1u);
  EXPECT_EQ(gReorders[0], std::make_pair(2, -1)) << "dropped above r3, which is row 2 once r0 is out";
  EXPECT_EQ(Cell(list, 0, 0) + Cell(list, 1, 0) + Cell(list, 2, 0) + Cell(list, 3, 0), "r1r2r0r3");
  EXPECT_EQ(listSelectionGetter(list, 0), 2) << "the moved row stays selected";
  EXPECT_EQ(ListboxPane(list)->DropRow(), -1);
}

// Dropped between a folder and the row after it, rows go into the folder when the pointer is
// right of the folder's content and beside it when the pointer is further left.
TEST_F(ListboxGuiTest, TheDropDepthInAHierarchicalListFollowsThePointersX) {
  RuntimeObject* list = NewHierarchicalReorderingList();
  RuntimeListAddParent(list, string("folder").Rep());
  AddRows(list, {"p", "q"});
  test::ShowAndSettle(native);
  const int32_t y = RowY(list, 1) - ListboxPane(list)->RowHeight() / 4;
  for (const auto& [x, parent] : {std::make_pair(kLeft + 150, 0), std::make_pair(kLeft + 3, -1)}) {
    EXPECT_EQ(DropAt(list, 2, x, y, true), std::make_pair(1, parent)) << "dropped at x " << x;
  }
}

// A folder dragged among its own children goes nowhere: not between them, not right under the
// folder, and not below its last child at the children's depth; below it at its own depth it may go.
TEST_F(ListboxGuiTest, AFolderDroppedAmongItsOwnChildrenIsRefused) {
  RuntimeObject* list = NewHierarchicalReorderingList();
  RuntimeListAddParent(list, string("F").Rep());
  RuntimeListInsertRow(list, 1, string("c1").Rep(), 1);
  RuntimeListInsertRow(list, 2, string("c2").Rep(), 1);
  AddRows(list, {"x"});
  test::ShowAndSettle(native);
  const int32_t quarter = ListboxPane(list)->RowHeight() / 4;
  const struct {
    int32_t x, y;
    bool allowed;
  } drops[] = {
      {kLeft + 150, RowY(list, 1) - quarter, false},  // right under the folder
      {kLeft + 150, RowY(list, 2) - quarter, false},  // between its children
      {kLeft + 150, RowY(list, 3) - quarter, false},  // after its last child, at the children's depth
      {kLeft + 3, RowY(list, 3) - quarter, true},     // after its last child, at its own depth
  };
  for (const auto& d : drops) {
    EXPECT_EQ(DropAt(list, 0, d.x, d.y, d.allowed), d.allowed ? std::make_pair(2, -1) : kNoReorder)
        << "dropped at " << d.x << "," << d.y;
  }
}

TEST_F(ListboxGuiTest, ARightClickSelectsItsRowAndADragBelowTheRowsClearsASingleSelection) {
  RuntimeObject* list = NewList();
  MakePane(list);
  AddRows(list, {"one", "two", "three"});
  test::ShowAndSettle(native);
  int32_t x = 0, y = 0;
  test::ScreenPoint(native, kLeft + 40, RowY(list, 2), &x, &y);
  test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.05 click 3");
  EXPECT_TRUE(WaitFor([&] { return listSelectionGetter(list, 0) == 2; })) << "the contextual click selected its row";
  DragWithTheRunLoop(kLeft + 40, RowY(list, 1), kLeft + 40, RowY(list, 4));
  EXPECT_TRUE(WaitFor([&] { return listSelectionGetter(list, 0) == -1; })) << "dragged below the last row";
}

TEST_F(ListboxGuiTest, MoreRowsThanFitScrollWithKeysAndTheWheel) {
  RuntimeObject* list = NewList();
  MakePane(list);
  for (int i = 0; i < 30; ++i) RuntimeListAddRow(list, string(("row " + std::to_string(i)).c_str()).Rep());
  test::ShowAndSettle(native);
  RuntimeListbox* pane = ListboxPane(list);
  const int32_t visible = pane->VisibleRowCount();
  ASSERT_LT(visible, 30);
  test::ClickAt(native, kLeft + 40, RowY(list, 0));
  test::PressKeys("End");
  EXPECT_EQ(listSelectionGetter(list, 0), 29);
  EXPECT_EQ(listScrollPositionGetter(list, 0), 30 - visible) << "the last row scrolled into view";
  test::PressKeys("Home");
  EXPECT_EQ(listScrollPositionGetter(list, 0), 0);
  int32_t x = 0, y = 0;
  test::ScreenPoint(native, kLeft + 40, RowY(list, 1), &x, &y);
  test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 5");
  test::PumpFor(200);
  EXPECT_EQ(listScrollPositionGetter(list, 0), 3) << "one wheel step scrolls three rows";
  listScrollPositionSetter(list, 0, 1000);
  EXPECT_EQ(listScrollPositionGetter(list, 0), 30 - visible) << "never past the last screenful";
}

// Double bottom lines (3 pixels) make their rows 3 pixels taller, in drawing, clicks and the
// scroll range alike.
TEST_F(ListboxGuiTest, RowsWithWideBottomLinesAreTallerWhereverRowsAreMeasured) {
  RuntimeObject* list = NewList();
  MakePane(list);
  for (int i = 0; i < 30; ++i) RuntimeListAddRow(list, string(("row " + std::to_string(i)).c_str()).Rep());
  for (int32_t row : {0, 1, 28, 29}) listSetCellBorderBottom(list, row, 0, 5);
  test::ShowAndSettle(native);
  RuntimeListbox* pane = ListboxPane(list);
  const int32_t h = pane->RowHeight();
  const int32_t top = pane->RowArea().top;
  ASSERT_EQ(pane->RowTop(2), top + 2 * h + 6);
  // Just above row 1's bottom line: row 2 if rows all had one height.
  const int32_t y = pane->RowTop(2) - 4;
  EXPECT_EQ(listRowFromXY(list, 50, y - kTop), 1);
  test::ClickAt(native, kLeft + 40, y);
  test::PumpFor(100);
  EXPECT_EQ(listSelectionGetter(list, 0), 1);
  const std::string shot = Screenshot("listbox_row_heights.png");
  const GdkColor theme = gtk_widget_get_default_style()->base[GTK_STATE_SELECTED];
  char selected[7];
  snprintf(selected, sizeof selected, "%02X%02X%02X", theme.red >> 8, theme.green >> 8, theme.blue >> 8);
  EXPECT_EQ(PixelOf(shot, kLeft + 150, y), selected) << "the selection fills the taller row";
  // Row 0's double line lies in its own three extra pixels.
  std::string line;
  for (int32_t dy = 5; dy >= 1; --dy) line += PixelOf(shot, kLeft + 150, pane->RowTop(1) - dy) + " ";
  EXPECT_EQ(line, "FFFFFF FFFFFF 000000 FFFFFF 000000 ");
  listScrollPositionSetter(list, 0, 1000);
  const int32_t last = listScrollPositionGetter(list, 0);
  if (Scroller* bar = pane->VerticalScrollBar()) {
    EXPECT_EQ(bar->GetMaximum(), last);
  }
  EXPECT_LE(pane->RowTop(29) + pane->RowHeightOf(29), pane->RowArea().bottom) << "the last row shows whole";
  int32_t fromAbove = 0;
  for (int32_t row = last - 1; row < 30; ++row) fromAbove += pane->RowHeightOf(row);
  EXPECT_GT(fromAbove, pane->RowArea().Height()) << "one row further up the last would not fit";
}

TEST_F(ListboxGuiTest, AScrollOrAChangedCellDrawsOnlyTheCellsThatChanged) {
  RuntimeObject* list = NewList();
  Install(list, "CellBackgroundPaint", reinterpret_cast<void*>(&ListNotePaint));
  MakePane(list);
  listColumnCountSetter(list, 0, 4);
  for (int i = 0; i < 30; ++i) RuntimeListAddRow(list, string(("row " + std::to_string(i)).c_str()).Rep());
  test::ShowAndSettle(native);
  RuntimeListbox* pane = ListboxPane(list);
  const int32_t visible = pane->VisibleRowCount();
  ASSERT_GE(visible, 3);
  auto drawnAfter = [&](const std::function<void()>& change) {
    gPainted.clear();
    change();
    test::PumpFor(150);
    return gPainted;
  };
  EXPECT_TRUE(drawnAfter([&] { pane->Refresh(); }).empty()) << "an expose alone copies the image";
  const auto scrolled = drawnAfter([&] { listScrollPositionSetter(list, 0, 1); });
  for (const auto& cell : scrolled) EXPECT_GE(cell.first, visible) << "row " << cell.first << " was on screen already";
  EXPECT_EQ(scrolled.count({visible, 0}), 1u) << "the row scrolled into view is drawn";
  auto listPixels = [&](const char* name) {
    test::PumpFor(150);
    return test::PictureTool("convert " + Screenshot(name) + " -crop 200x100+" + std::to_string(kLeft) + "+" +
                       std::to_string(kTop) + " rgb:- | md5sum");
  };
  // After each scroll, down or up, the screen shows what the image holds.
  for (int32_t first : {1, 3, 2}) {
    listScrollPositionSetter(list, 0, first);
    const std::string shown = listPixels("listbox_scrolled.png");
    pane->Refresh();
    EXPECT_EQ(listPixels("listbox_scrolled_copied.png"), shown) << "first row " << first;
  }
  const auto changed = drawnAfter([&] { listSetCell(list, 2, 1, string("new").Rep()); });
  EXPECT_EQ(changed.count({2, 1}), 1u);
  EXPECT_LT(changed.size(), static_cast<size_t>(visible * 4)) << "not every cell for one";
  // What the image kept, with a row selected where the scroll wrapped it, looks as a full
  // redraw does once an expose copies it.
  listSelectionSetter(list, 0, visible);
  pane->Refresh();
  const std::string kept = listPixels("listbox_offscreen_kept.png");
  pane->Invalidate(true);
  EXPECT_EQ(listPixels("listbox_offscreen_full.png"), kept);
}

TEST_F(ListboxGuiTest, CellWithMinusOneReadsWholeRowsColumnsAndTheList) {
  RuntimeObject* list = NewList();
  MakePane(list);
  listColumnCountSetter(list, 0, 2);
  listSetCell(list, -1, -1, string("a\tb\nc\td\ne\tf").Rep());
  const struct {
    int32_t row, column;
    const char* text;
  } reads[] = {
      {-1, -1, "a\tb\nc\td\ne\tf"}, {2, -1, "e\tf"}, {-1, 1, "b\nd\nf"}, {0, -1, "a\tb"}, {-1, 0, "a\nc\ne"},
  };
  for (const auto& r : reads) {
    EXPECT_EQ(Cell(list, r.row, r.column), r.text) << r.row << "," << r.column;
    EXPECT_EQ(TakePendingException(), nullptr) << r.row << "," << r.column;
  }
  for (const auto& [row, column] : {std::pair{3, -1}, std::pair{-2, 0}, std::pair{0, 256}, std::pair{-1, -2}}) {
    EXPECT_EQ(Cell(list, row, column), "");
    RuntimeObject* pending = TakePendingException();
    EXPECT_NE(pending, nullptr) << row << "," << column;
    RuntimeUnlockObject(pending);
  }
}

// A program naming the sorted column again sorts again; only a click turns the order round.
TEST_F(ListboxGuiTest, HeadingIndexOfTheSortedColumnKeepsItsOrderAndMinusOneReleasesAll) {
  test::PackedStream stream;
  stream.Bool(43, true).Int(34, 2);  // HasHeading, ColumnCount
  RuntimeObject* list = NewList(&stream);
  MakePane(list);
  RuntimeListInitialValueSetter(list, 0, string("Name\tSize\npear\t3\napple\t1\nFig\t2").Rep());
  test::ShowAndSettle(native);
  auto column0 = [&] {
    std::string text;
    for (int32_t row = 0; row < listCountGetter(list, 0); ++row) text += (row > 0 ? "\n" : "") + Cell(list, row, 0);
    return text;
  };
  listHeadingIndexSetter(list, 0, 0);
  EXPECT_EQ(column0(), "apple\nFig\npear");
  listHeadingIndexSetter(list, 0, 0);
  EXPECT_EQ(column0(), "apple\nFig\npear") << "HeadingIndex = the sorted column";
  listColumnPressHeader(list, 0);
  EXPECT_EQ(column0(), "apple\nFig\npear") << "PressHeader on the sorted column";
  RuntimeListAddRow(list, string("banana").Rep());
  listHeadingIndexSetter(list, 0, 0);
  EXPECT_EQ(column0(), "apple\nbanana\nFig\npear") << "and it sorts again";
  const int32_t headingY = kTop + 1 + kListHeadingHeight / 2;
  test::PumpFor(150);
  EXPECT_EQ(PixelOf(Screenshot("listbox_heading_index.png"), kLeft + 60, headingY), "C8C8D8");
  const int presses = gSeen.headerPresses;
  listHeadingIndexSetter(list, 0, -1);
  EXPECT_EQ(gSeen.headerPresses, presses) << "releasing raises no HeaderPressed";
  test::PumpFor(150);
  EXPECT_EQ(PixelOf(Screenshot("listbox_heading_released.png"), kLeft + 60, headingY), "E4E4E4")
      << "no heading is pressed";
  EXPECT_EQ(column0(), "apple\nbanana\nFig\npear");
}

TEST_F(ListboxGuiTest, ARowHeightOfZeroGivesTwelvePixelRows) {
  RuntimeObject* list = NewList();
  MakePane(list);
  for (int i = 0; i < 30; ++i) RuntimeListAddRow(list, string("row").Rep());
  listDefaultRowHeightSetter(list, 0, 0);
  test::ShowAndSettle(native);
  RuntimeListbox* pane = ListboxPane(list);
  const int32_t top = pane->RowArea().top - kTop;
  EXPECT_EQ(listRowFromXY(list, 40, top + 5), 0);
  EXPECT_EQ(listRowFromXY(list, 40, top + 30), 2) << "30 pixels down is the third row";
  EXPECT_EQ(pane->VisibleRowCount(), pane->RowArea().Height() / 12);
}

TEST_F(ListboxGuiTest, SettingsBeforeThePaneAreAppliedWhenItIsMade) {
  test::PackedStream stream;
  stream.Int(34, 100).Text(35, "100, 2*, 25%").Text(42, "a\tb\tc\td\nx").Bool(58, true);
  RuntimeObject* list = NewList(&stream);
  EXPECT_EQ(listCountGetter(list, 0), 0) << "no rows before the pane";
  MakePane(list);
  EXPECT_EQ(listColumnCountGetter(list, 0), 64) << "at most 64 columns";
  listColumnCountSetter(list, 0, 4);
  listColumnWidthsSetter(list, 0, string("100, 2*, 25%").Rep());
  EXPECT_EQ(std::string(string::Adopt(listColumnWidthsGetter(list, 0)).View()), "100, 2*, 25%, 1*");
  EXPECT_EQ(listCountGetter(list, 0), 2);
  EXPECT_EQ(Cell(list, 0, 3), "d");
  EXPECT_EQ(listSelectionGetter(list, 0), 0) << "RequiresSelection selected the first row";
  EXPECT_EQ(gSeen.changes, 0) << "without notifications while the pane was made";
  listColumnCountSetter(list, 0, 0);
  EXPECT_EQ(listColumnCountGetter(list, 0), 1);
  listColumnWidthsSetter(list, 0, string("12px").Rep());
  RuntimeObject* pending = TakePendingException();
  ASSERT_NE(pending, nullptr);
  EXPECT_EQ(std::string(ExceptionMessage(pending).View()), "Unrecognized expression '12px'");
  RuntimeUnlockObject(pending);
  EXPECT_EQ(listGetCell(list, 5, 0), nullptr);
  pending = TakePendingException();
  EXPECT_NE(pending, nullptr) << "a row outside the list raises";
  RuntimeUnlockObject(pending);
}

}  // namespace
}  // namespace vorn
