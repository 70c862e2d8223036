// Event handlers that change a list box's rows while the list itself is changing them: a Change
// raised by emptying the list, and a CompareRows raised by a sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controls/support/class_fixture.h"
#include "listbox/listbox_class.h"
#include "listbox/runtime_listbox.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

std::function<void(VornRuntimeObject*)> gOnChange;
std::function<void(VornRuntimeObject*)> gOnCompare;

extern "C" void ReentryListChange(VornRuntimeObject* list) {
  if (gOnChange) gOnChange(list);
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
    ControlClassTest::TearDown();
  }
  RuntimeObject* NewList(std::initializer_list<const char*> rows, const char* name = "List") {
    RuntimeObject* list = AddControl(GetListboxClassDefinition(), name, MakeRect(20, 20, 220, 120), host);
    Install(list, "Change", reinterpret_cast<void*>(&ReentryListChange));
    Install(list, "CompareRows", reinterpret_cast<void*>(&ReentryListCompareRows));
    MakePane(list);
    for (const char* row : rows) RuntimeListAddRow(list, string(row).Rep());
    return list;
  }
  static std::vector<std::string> Texts(RuntimeObject* list, bool sorted = false) {
    std::vector<std::string> texts;
    for (int32_t row = 0; row < listCountGetter(list, 0); ++row)
      texts.emplace_back(string::Adopt(listGetCell(list, row, 0)).View());
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

TEST_F(ListReentryGuiTest, ARowAddedByTheChangeThatEmptyingRaisesStays) {
  RuntimeObject* list = NewList({"one", "two"});
  listSelectionSetter(list, 0, 1);
  int changes = 0;
  gOnChange = [&](VornRuntimeObject* l) {
    if (++changes == 1) RuntimeListAddRow(l, string("added").Rep());
  };
  RuntimeListEmpty(list);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"added"}));
  ExpectSelectionMatchesRows(list);
  RuntimeListAddRow(list, string("more").Rep());
  listSelectionSetter(list, 0, 1);
  EXPECT_EQ(Texts(list)[listSelectionGetter(list, 0)], "more");
  ExpectSelectionMatchesRows(list);
}

// Whatever the handler does to the rows, the sort stops without reporting and keeps every row
// that is left, once each.
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
    EXPECT_GE(calls, 3);
    EXPECT_TRUE(Reports().empty()) << (Reports().empty() ? "" : Reports().front());
    EXPECT_EQ(left.size(), c.rowsLeft);
    EXPECT_EQ(Texts(list, true), left);
    ExpectSelectionMatchesRows(list);
    Reports().clear();
  }
}

}  // namespace
}  // namespace vorn
