// Event handlers that change a list box's rows while the list itself is changing them: a Change
// or CellAction raised as rows come and go or a folder closes, an ExpandRow filling its folder,
// and a CompareRows raised by a sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/support/class_fixture.h"
#include "listbox/listbox_class.h"
#include "listbox/runtime_listbox.h"
#include "listbox/support/tree_shape.h"
#include "support/hang_limit.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

std::function<void(VornRuntimeObject*)> gOnChange;
std::function<void(VornRuntimeObject*)> gOnCompare;
std::function<void(VornRuntimeObject*)> gOnCellAction;
std::function<void(VornRuntimeObject*)> gOnExpand;

extern "C" void ReentryListChange(VornRuntimeObject* list) {
  if (gOnChange) gOnChange(list);
}

extern "C" void ReentryListCellAction(VornRuntimeObject* list, int32_t, int32_t) {
  if (gOnCellAction) gOnCellAction(list);
}

// An opened folder gets two children; at the top level the first is a folder itself.
extern "C" void ReentryListExpandRow(VornRuntimeObject* list, int32_t row) {
  const std::string folder(string::Adopt(listGetCell(list, row, 0)).View());
  const bool top = ListboxPane(list)->GetRowDepth(row) == 0;
  (top ? RuntimeListAddParent : RuntimeListAddRow)(list, string((folder + " child 1").c_str()).Rep());
  if (gOnExpand) gOnExpand(list);
  RuntimeListAddRow(list, string((folder + " child 2").c_str()).Rep());
}

extern "C" uint8_t ReentryListCompareRows(VornRuntimeObject* list, int32_t row1, int32_t row2, int32_t column,
                                          int32_t* result) {
  *result = string::Adopt(listGetCell(list, row1, column)).Compare(string::Adopt(listGetCell(list, row2, column)));
  if (gOnCompare) gOnCompare(list);
  return 1;
}

class ListReentryGuiTest : public test::ControlClassTest {
 protected:
  void TearDown() override {
    gOnChange = nullptr;
    gOnCompare = nullptr;
    gOnCellAction = nullptr;
    gOnExpand = nullptr;
    ControlClassTest::TearDown();
  }
  RuntimeObject* NewList(std::initializer_list<const char*> rows, const char* name = "List") {
    RuntimeObject* list = AddControl(GetListboxClassDefinition(), name, MakeRect(20, 20, 220, 120), host);
    Install(list, "Change", reinterpret_cast<void*>(&ReentryListChange));
    Install(list, "CompareRows", reinterpret_cast<void*>(&ReentryListCompareRows));
    Install(list, "CellAction", reinterpret_cast<void*>(&ReentryListCellAction));
    Install(list, "ExpandRow", reinterpret_cast<void*>(&ReentryListExpandRow));
    MakePane(list);
    for (const char* row : rows) RuntimeListAddRow(list, string(row).Rep());
    return list;
  }
  // With `marked`, a selected row's text ends in " *".
  static std::vector<std::string> Texts(RuntimeObject* list, bool sorted = false, bool marked = false) {
    std::vector<std::string> texts;
    for (int32_t row = 0; row < listCountGetter(list, 0); ++row) {
      texts.emplace_back(string::Adopt(listGetCell(list, row, 0)).View());
      if (marked && listGetSelected(list, row)) texts.back() += " *";
    }
    if (sorted) std::sort(texts.begin(), texts.end());
    return texts;
  }
  // The selection counts exactly the list's rows.
  static void ExpectSelectionMatchesRows(RuntimeObject* list) {
    RuntimeListbox* pane = ListboxPane(list);
    EXPECT_EQ(pane->Selection().RowCount(), pane->RowCount());
    const int32_t index = listSelectionGetter(list, 0);
    EXPECT_LT(index, listCountGetter(list, 0));
    EXPECT_EQ(listSelCountGetter(list, 0), index < 0 ? 0 : 1);
  }
};

// What the handler leaves is what the list holds: every row once, in the order the handler and
// the list's own change put them, and a selection that counts them.
TEST_F(ListReentryGuiTest, RowsChangedByAHandlerWhileTheListChangesThemStayWhole) {
  const test::HangLimit limit(60);  // a row that RemoveRow keeps putting back never ends
  using Change = std::function<void(VornRuntimeObject*)>;
  const auto add = [](std::vector<const char*> texts) -> Change {
    return [texts](VornRuntimeObject* l) { for (const char* text : texts) RuntimeListAddRow(l, string(text).Rep()); };
  };
  const auto edit = [](int32_t row) -> Change { return [row](VornRuntimeObject* l) { listEditCell(l, row, 0); }; };
  // Opening a folder adds rows after it, which the walk then reaches.
  const Change openAll = [](VornRuntimeObject* l) {
    for (int32_t row = 0; row < listCountGetter(l, 0); ++row) listSetExpanded(l, row, 1);
  };
  const auto openAndSelect = [openAll](bool all, int32_t row) -> Change {
    return [=](VornRuntimeObject* l) {
      all ? openAll(l) : void(listSetExpanded(l, 0, 1));
      listSelectionSetter(l, 0, row);
    };
  };
  const Change closeFirst = [](VornRuntimeObject* l) { listSetExpanded(l, 0, 0); };
  const auto insertAt = [](int32_t row, int32_t depth) -> Change {
    return [=](VornRuntimeObject* l) { RuntimeListInsertRow(l, row, string("new").Rep(), depth); };
  };
  const auto open = [](int32_t row) -> Change { return [row](VornRuntimeObject* l) { listSetExpanded(l, row, 1); }; };
  const auto remove = [](int32_t row) -> Change { return [row](VornRuntimeObject* l) { RuntimeRemoveRow(l, row); }; };
  const auto select = [](int32_t row) -> Change {
    return [row](VornRuntimeObject* l) { listSelectionSetter(l, 0, row); };
  };
  const Change sort = [](VornRuntimeObject* l) { listColumnPressHeader(l, 0); };
  const Change none = [](VornRuntimeObject*) {};
  const struct {
    const char* name;
    std::vector<const char*> rows;  // a name ending in "/" is a closed folder
    Change prepare;                 // before the handler is installed
    Change* handler;
    Change handlerDoes;             // the first time it runs
    Change action;
    std::vector<std::string> after;
  } cases[] = {
      {"Change adds a row as emptying unselects", {"one", "two"}, [](VornRuntimeObject* l) { listSelectionSetter(l, 0, 1); },
       &gOnChange, add({"added"}), [](VornRuntimeObject* l) { RuntimeListEmpty(l); }, {"added"}},
      {"CellAction refills the list as a row goes", {"a", "b", "c"}, edit(2), &gOnCellAction,
       [add](VornRuntimeObject* l) { RuntimeListEmpty(l); add({"x", "y", "z"})(l); },
       [](VornRuntimeObject* l) { RuntimeRemoveRow(l, 0); }, {"x", "y", "z"}},
      {"Change adds a row as a folder closes", {"f/", "g/"},
       [](VornRuntimeObject* l) { listSetExpanded(l, 0, 1); listSelectionSetter(l, 0, 1); }, &gOnChange,
       add({"added"}), [](VornRuntimeObject* l) { listSetExpanded(l, 0, 0); }, {"f/", "g/", "added"}},
      {"CellAction adds rows as a row is added", {"a", "b"}, edit(1), &gOnCellAction, add({"h1", "h2"}), add({"new"}),
       {"a", "b *", "h1", "h2", "new"}},
      {"CellAction moves the row being removed", {"b", "a", "z"}, edit(1), &gOnCellAction,
       [](VornRuntimeObject* l) { listColumnPressHeader(l, 0); }, [](VornRuntimeObject* l) { RuntimeRemoveRow(l, 0); },
       {"a *", "z"}},
      {"Change opens every folder as a folder closes", {"f/", "g/"}, openAndSelect(false, 2), &gOnChange, openAll,
       closeFirst, {"f/", "g/", "g/ child 1", "g/ child 1 child 1", "g/ child 1 child 2", "g/ child 2"}},
      {"Change opens every folder as each folder closes", {"f/", "g/"}, openAndSelect(true, 2), &gOnChange, openAll,
       [](VornRuntimeObject* l) { for (int32_t row = 0; row < listCountGetter(l, 0); ++row) listSetExpanded(l, row, 0); },
       {"f/", "g/"}},
      {"Change puts a row below a folder as its first child goes", {"f/", "g/"}, openAndSelect(false, 1), &gOnChange,
       insertAt(1, 0), closeFirst, {"f/", "new", "g/"}},
      {"Change puts a row below a folder as its last child goes", {"f/", "g/"}, openAndSelect(false, 2), &gOnChange,
       insertAt(1, 0), closeFirst, {"f/", "new", "g/"}},
      {"Change puts a child into a folder as it closes", {"f/", "g/"}, openAndSelect(false, 2), &gOnChange,
       insertAt(1, 1), closeFirst, {"f/", "g/"}},
      {"Change closes the folder of the row being removed", {"f/", "g/"}, openAndSelect(false, 2), &gOnChange,
       closeFirst, [](VornRuntimeObject* l) { RuntimeRemoveRow(l, 2); }, {"f/", "g/"}},
      // A closing folder's rows go last first: those above the one going keep their places.
      {"Change removes the selected row again as a folder closes", {"f/", "g/"}, openAndSelect(false, 2),
       &gOnChange, remove(2), closeFirst, {"f/", "g/"}},
      {"Change hears of a removed folder once its rows are gone", {"f/", "g/"}, openAndSelect(false, 0), &gOnChange,
       none, remove(0), {"g/"}},
      {"Change opens the folder being removed", {"f/", "g/"}, select(0), &gOnChange, open(0), remove(0), {"g/"}},
      // Between the two rows an ExpandRow handler adds.
      {"ExpandRow puts a row above its folder", {"a", "f/", "z"}, none, &gOnExpand, insertAt(0, 0), open(1),
       {"new", "a", "f/", "f/ child 1", "f/ child 2", "z"}},
      {"ExpandRow removes the row above its folder", {"a", "f/", "z"}, none, &gOnExpand, remove(0), open(1),
       {"f/", "f/ child 1", "f/ child 2", "z"}},
      {"ExpandRow removes its folder's first row", {"f/", "z"}, none, &gOnExpand, remove(1), open(0),
       {"f/", "f/ child 2", "z"}},
      {"ExpandRow puts a row after its folder's rows", {"f/", "z"}, none, &gOnExpand, insertAt(2, 0), open(0),
       {"f/", "f/ child 1", "f/ child 2", "new", "z"}},
      {"ExpandRow opens its folder's first row", {"f/", "z"}, none, &gOnExpand, open(1), open(0),
       {"f/", "f/ child 1", "f/ child 1 child 1", "f/ child 1 child 2", "f/ child 2", "z"}},
      {"ExpandRow closes its folder", {"f/", "z"}, none, &gOnExpand, closeFirst, open(0), {"f/", "z", "f/ child 2"}},
      {"ExpandRow sorts the rows", {"f/", "a", "z"}, none, &gOnExpand, sort, open(0),
       {"a", "f/", "f/ child 1", "f/ child 2", "z"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RuntimeObject* list = NewList({}, c.name);
    listHierarchicalSetter(list, 0, true);
    listColumnTypeSetter(list, 0, 3);
    for (const char* row : c.rows)
      (std::string_view(row).ends_with('/') ? RuntimeListAddParent : RuntimeListAddRow)(list, string(row).Rep());
    c.prepare(list);
    int calls = 0;
    // Every handler finds the rows a tree, and leaves them one.
    *c.handler = [&](VornRuntimeObject* l) {
      EXPECT_EQ(testing::TreeShapeFault(*ListboxPane(l)), "") << "as handler call " << calls + 1 << " starts";
      if (++calls == 1) c.handlerDoes(l);
    };
    c.action(list);
    *c.handler = nullptr;
    EXPECT_GE(calls, 1) << "the handler ran";
    EXPECT_EQ(Texts(list, false, true), c.after);
    EXPECT_EQ(testing::TreeShapeFault(*ListboxPane(list)), "");
    // LastIndex names the row AddRow put in, whatever its edit's CellAction handler added first.
    if (c.handler == &gOnCellAction) {
      EXPECT_EQ(ListboxPane(list)->LastAddedRow(), listLastIndexGetter(list, 0));
    }
    ExpectSelectionMatchesRows(list);
    listSelectionSetter(list, 0, listCountGetter(list, 0) - 1);
    EXPECT_EQ(listSelectionGetter(list, 0), listCountGetter(list, 0) - 1);
  }
}

// Whatever the handler does to the rows, the sort stops without reporting and keeps every row
// that is left, once each; the handler is not called again.
TEST_F(ListReentryGuiTest, ACompareRowsHandlerThatChangesTheRowsStopsTheSort) {
  const struct {
    const char* name;
    std::function<void(VornRuntimeObject*)> change;
    size_t rowsLeft;
  } cases[] = {
      {"removes the first row", [](VornRuntimeObject* l) { RuntimeRemoveRow(l, 0); }, 6},
      {"removes the last row", [](VornRuntimeObject* l) { RuntimeRemoveRow(l, listCountGetter(l, 0) - 1); }, 6},
      {"adds a row", [](VornRuntimeObject* l) { RuntimeListAddRow(l, string("h").Rep()); }, 8},
      {"empties the list", [](VornRuntimeObject* l) { RuntimeListEmpty(l); }, 0},
      // Last: the lists are made in this window.
      {"closes its window", [this](VornRuntimeObject*) { std::exchange(native, nullptr)->Close(); }, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RuntimeObject* list = NewList({"a", "g", "f", "e", "d", "c", "b"}, c.name);
    listSelectionSetter(list, 0, 3);
    int calls = 0;
    std::vector<std::string> left;
    gOnCompare = [&](VornRuntimeObject* l) {
      // Once the rows have been moved about a little.
      if (++calls != 3) return;
      c.change(l);
      left = Texts(l, true);
    };
    listColumnPressHeader(list, 0);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(Reports().empty()) << (Reports().empty() ? "" : Reports().front());
    EXPECT_EQ(left.size(), c.rowsLeft);
    EXPECT_EQ(Texts(list, true), left);
    ExpectSelectionMatchesRows(list);
    Reports().clear();
  }
}

}  // namespace
}  // namespace vorn
