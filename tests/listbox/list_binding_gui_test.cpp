// The list box's column snapshots and binding parts on real list boxes: ListColumn reading and
// changing the list's columns, parts that follow the selection and the focus, and rows bound
// to a data provider.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/support/class_fixture.h"
#include "listbox/list_binding_parts.h"
#include "listbox/list_column_class.h"
#include "listbox/listbox_class.h"
#include "listbox/support/list_binding_fakes.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

using testing::ReceiverLog;

constexpr int32_t kLeft = 20;
constexpr int32_t kTop = 20;

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

class ListBindingGuiTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    ControlClassTest::SetUp();
    ReceiverLog().clear();
    testing::RequestedProviderRows().clear();
  }
  void TearDown() override {
    for (RuntimeObject* object : mHeld) RuntimeUnlockObject(object);
    ControlClassTest::TearDown();
  }
  // The list lies at (20, 20) - (320, 120) of the window with `columns` columns and a pane.
  RuntimeObject* NewList(int32_t columns) {
    RuntimeObject* list = AddControl(GetListboxClassDefinition(), "List", MakeRect(kLeft, kTop, 320, 120), host);
    listColumnCountSetter(list, 0, columns);
    MakePane(list);
    return list;
  }
  RuntimeObject* Hold(RuntimeObject* object) {
    mHeld.push_back(object);
    return object;
  }
  static void AddRows(RuntimeObject* list, std::initializer_list<const char*> texts) {
    for (const char* text : texts) RuntimeListAddRow(list, string(text).Rep());
  }

 private:
  std::vector<RuntimeObject*> mHeld;
};

TEST_F(ListBindingGuiTest, AColumnSnapshotReadsAndChangesTheListsColumn) {
  RuntimeObject* list = NewList(3);
  listColumnWidthsSetter(list, 0, string("50, 2*, 1*").Rep());
  ListColumns& columns = ListboxPane(list)->Columns();

  RuntimeObject* all = Hold(listColumnGetter(list, -1));
  ASSERT_NE(all, nullptr);
  auto* allFields = reinterpret_cast<ListColumnObject*>(all);
  EXPECT_EQ(allFields->widthExpression, nullptr);
  EXPECT_EQ(allFields->maxWidthActual, -1);
  EXPECT_EQ(allFields->widthActual, 0);

  RuntimeObject* second = Hold(listColumnGetter(list, 1));
  EXPECT_EQ(Text(listColWidthExpressionGetter(second, kColumnWidth)), "2*");
  EXPECT_EQ(listColWidthActualGetter(second, kColumnWidth), columns.GetColumnWidth(1));
  listColWidthExpressionSetter(second, kColumnWidth, string("40").Rep());
  EXPECT_EQ(Text(listColumnWidthsGetter(list, 0)), "50, 40, 1*") << "the list's column changed at once";
  EXPECT_EQ(columns.GetColumnWidth(1), 40);
  EXPECT_EQ(columns.GetColumnLeft(2), columns.GetColumnRight(1)) << "the edges moved with it";
  listColWidthActualSetter(second, kColumnMinWidth, 30);
  EXPECT_EQ(columns.GetColumnMinWidth(1), 30);

  listColUserResizableSetter(all, 0, 1);
  EXPECT_TRUE(columns.IsColumnResizable(0) && columns.IsColumnResizable(2)) << "-1 reaches every column";
  EXPECT_EQ(allFields->userResizable, 1);
  EXPECT_EQ(listColUserResizableGetter(all, 0), 0) << "a getter has no column -1 to read";
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");

  EXPECT_EQ(listColumnGetter(list, 3), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  listColWidthExpressionSetter(second, kColumnWidth, string("12px").Rep());
  EXPECT_EQ(TakePendingClassName(), "UnsupportedFormatException");
  EXPECT_EQ(columns.GetColumnWidth(1), 40) << "an unrecognized expression changes nothing";
}

TEST_F(ListBindingGuiTest, AssigningASnapshotAppliesAllItsSettings) {
  RuntimeObject* list = NewList(3);
  listColumnWidthsSetter(list, 0, string("60, 80, 100").Rep());
  RuntimeObject* first = Hold(listColumnGetter(list, 0));
  listColumnSetter(list, 2, first);
  ListColumns& columns = ListboxPane(list)->Columns();
  EXPECT_EQ(Text(listColumnWidthsGetter(list, 0)), "60, 80, 60");
  EXPECT_EQ(columns.GetColumnWidth(2), 60);
  EXPECT_EQ(columns.GetColumnMaxWidth(2), -1);
  listColumnSetter(list, 5, first);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
}

TEST_F(ListBindingGuiTest, AColumnValueProviderFollowsTheSelection) {
  RuntimeObject* list = NewList(3);
  RuntimeListInitialValueSetter(list, 0, string("a0\ta1\ta2\nb0\tb1\tb2").Rep());
  RuntimeObject* value = Hold(listGetBoundPart(list, string("columnValueProvider_2").Rep()));
  ASSERT_NE(value, nullptr);
  RuntimeObject* receiver = Hold(testing::NewLoggingReceiver(1));
  lcvpAddDataNotificationReceiver(value, receiver);
  EXPECT_EQ(lcvpGetString(value), nullptr) << "nothing selected";
  EXPECT_EQ(lcvpDataAvailable(value), 0);

  listSelectionSetter(list, 0, 1);
  EXPECT_EQ(Text(lcvpGetString(value)), "b2");
  EXPECT_EQ(lcvpDataAvailable(value), 1);
  EXPECT_EQ(ReceiverLog(), (std::vector<std::string>{"1.DataChanged"}));
  lcvpSetString(value, string("new").Rep());
  EXPECT_EQ(Text(listGetCell(list, 1, 2)), "new");

  lcvpRemoveDataNotificationReceiver(value, receiver);
  listSelectionSetter(list, 0, 0);
  EXPECT_EQ(ReceiverLog().size(), 1u) << "a removed receiver hears nothing";
  EXPECT_EQ(ListboxPane(list)->SelectionReceiverCount(), 1);
}

TEST_F(ListBindingGuiTest, SelectionReceiversHearBeforeAndAfterInTheOrderAdded) {
  RuntimeObject* list = NewList(1);
  AddRows(list, {"one", "two"});
  RuntimeObject* selection = Hold(listGetBoundPart(list, string("getSelectionProvider").Rep()));
  RuntimeObject* first = Hold(testing::NewLoggingReceiver(1));
  RuntimeObject* second = Hold(testing::NewLoggingReceiver(2));
  listAddLSNR(list, first);
  listAddLSNR(list, second);
  listSelectionAddDataNotificationReceiver(selection, first);
  EXPECT_EQ(listSelectionGetBoolean(selection), 0);
  listSelectionSetter(list, 0, 1);
  EXPECT_EQ(listSelectionGetBoolean(selection), 1);
  EXPECT_EQ(ReceiverLog(), (std::vector<std::string>{"1.selectionChanging", "2.selectionChanging", "1.DataChanged",
                                                     "1.selectionChanged", "2.selectionChanged"}));
  ReceiverLog().clear();
  listRemoveLSNR(list, first);
  listSelectionRemoveDataNotificationReceiver(selection, first);
  listSelectionSetter(list, 0, -1);
  EXPECT_EQ(listSelectionGetBoolean(selection), 0);
  EXPECT_EQ(ReceiverLog(), (std::vector<std::string>{"2.selectionChanging", "2.selectionChanged"}));
}

TEST_F(ListBindingGuiTest, FocusActionsPerformAfterTheFocusChanges) {
  RuntimeObject* list = NewList(1);
  RuntimeObject* got = Hold(listGetBoundPart(list, string("gotFocusAction").Rep()));
  RuntimeObject* lost = Hold(listGetBoundPart(list, string("LostFocusAction").Rep()));
  RuntimeObject* receiver1 = Hold(testing::NewLoggingReceiver(1));
  RuntimeObject* receiver2 = Hold(testing::NewLoggingReceiver(2));
  lbaAddActionNotificationReceiver(got, receiver1);
  lbaAddActionNotificationReceiver(lost, receiver2);
  RuntimeListbox* pane = ListboxPane(list);
  pane->GotFocus();
  EXPECT_EQ(ReceiverLog(), (std::vector<std::string>{"1.PerformAction"}));
  pane->LostFocus();
  EXPECT_EQ(ReceiverLog(), (std::vector<std::string>{"1.PerformAction", "2.PerformAction"}));
  lbaRemoveActionNotificationReceiver(got, receiver1);
  pane->GotFocus();
  EXPECT_EQ(ReceiverLog().size(), 2u);
}

TEST_F(ListBindingGuiTest, ABoundProviderSuppliesTheRowsAndTurnsSortingOff) {
  RuntimeObject* list = NewList(3);
  AddRows(list, {"own row"});
  RuntimeObject* provider = Hold(testing::NewFakeRowsProvider(5, 3));
  listBind(list, provider);
  EXPECT_EQ(listCountGetter(list, 0), 5);
  EXPECT_EQ(testing::AsFakeRowsProvider(provider)->receiver, list);
  for (int32_t column = 0; column < 3; ++column) EXPECT_EQ(listColumnSortDirectionGetter(list, column), 0);
  EXPECT_EQ(Text(listGetCell(list, 0, 0)), "r1f1") << "row 0 is the provider's row 1, column 0 its field 1";
  EXPECT_EQ(testing::RequestedProviderRows().back(), 1);

  RuntimeListAddRow(list, string("ignored").Rep());
  EXPECT_EQ(listCountGetter(list, 0), 5) << "a bound list keeps no rows of its own";
  listSetCell(list, 1, 1, string("x").Rep());
  ASSERT_FALSE(Reports().empty());
  EXPECT_NE(Reports().back().find("not mOwner->mBoundData"), std::string::npos);
  EXPECT_EQ(Text(listGetCell(list, 1, 1)), "r2f2");
  listSetCellBold(list, 1, 1, 1);
  EXPECT_EQ(listGetCellBold(list, 1, 1), 0) << "bound rows keep no cell styles";
  EXPECT_EQ(listSetExpanded(list, 1, 1), 0);
  RuntimeRemoveRow(list, 0);
  listColumnSortDirectionSetter(list, 0, 1);
  listColumnPressHeader(list, 0);
  EXPECT_EQ(listCountGetter(list, 0), 5) << "rows are neither removed nor sorted";
  EXPECT_EQ(Text(listGetCell(list, 0, 0)), "r1f1");

  listSelectionSetter(list, 0, 4);
  listListDataRemovedRow(list, 4);
  EXPECT_EQ(listCountGetter(list, 0), 4);
  EXPECT_EQ(listSelectionGetter(list, 0), -1) << "the removed row left the selection";
  listListDataInsertedRow(list, 0);
  EXPECT_EQ(listCountGetter(list, 0), 5);
  testing::AsFakeRowsProvider(provider)->rows = 2;
  listListDataReload(list);
  EXPECT_EQ(listCountGetter(list, 0), 2);

  RuntimeObject* other = Hold(testing::NewFakeRowsProvider(1, 1));
  listBind(list, other);
  EXPECT_EQ(testing::AsFakeRowsProvider(provider)->receiver, nullptr) << "the old provider was left";
  EXPECT_EQ(listCountGetter(list, 0), 1);
  listBind(list, nullptr);
  EXPECT_EQ(listCountGetter(list, 0), 0);
  AddRows(list, {"mine again"});
  EXPECT_EQ(Text(listGetCell(list, 0, 0)), "mine again");
}

TEST_F(ListBindingGuiTest, AProviderBoundBeforeThePaneFillsItWhenMade) {
  RuntimeObject* list = AddControl(GetListboxClassDefinition(), "List", MakeRect(kLeft, kTop, 320, 120), host);
  RuntimeObject* provider = Hold(testing::NewFakeRowsProvider(3, 1));
  listBind(list, provider);
  MakePane(list);
  EXPECT_EQ(listCountGetter(list, 0), 3);
  EXPECT_EQ(Text(listGetCell(list, 2, 0)), "r3f1");
  EXPECT_EQ(listColumnSortDirectionGetter(list, 0), 0);
}

TEST_F(ListBindingGuiTest, BoundRowsAreDrawnFromTheProvidersFields) {
  RuntimeObject* list = NewList(3);
  RuntimeObject* provider = Hold(testing::NewFakeRowsProvider(2, 2));
  listBind(list, provider);
  test::ShowAndSettle(native);
  test::PumpFor(150);
  RuntimeListbox* pane = ListboxPane(list);
  const ListColumns& columns = pane->Columns();
  const int32_t y = pane->RowArea().top + pane->RowHeight() / 2;
  const std::string shot = std::string(VORN_BINARY_DIR) + "/listbox_bound_rows.png";
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + shot);
  // Dark pixels along the middle of the first row within one column.
  auto darkIn = [&](int32_t column) {
    const int32_t left = columns.GetColumnLeft(column) + 1;
    const int32_t width = columns.GetColumnRight(column) - left - 1;
    return std::stoi(test::PictureTool("convert " + shot + " -crop " + std::to_string(width) + "x1+" +
                                 std::to_string(left) + "+" + std::to_string(y) +
                                 " -colorspace gray -threshold 50% -negate -format '%[fx:mean*w*h]' info:"));
  };
  EXPECT_GT(darkIn(0), 2) << "field 1 is drawn in column 0";
  EXPECT_GT(darkIn(1), 2) << "field 2 is drawn in column 1";
  EXPECT_EQ(darkIn(2), 0) << "a row of two fields leaves column 2 empty";
  const std::vector<int32_t>& asked = testing::RequestedProviderRows();
  EXPECT_NE(std::find(asked.begin(), asked.end(), 1), asked.end()) << "row 0 is the provider's row 1";
  EXPECT_EQ(std::find(asked.begin(), asked.end(), 0), asked.end()) << "the provider counts from 1";
  EXPECT_EQ(Text(listTextGetter(list, 0)), "") << "nothing selected";
  listSelectionSetter(list, 0, 1);
  EXPECT_EQ(Text(listTextGetter(list, 0)), "r2f1");
}

}  // namespace
}  // namespace vorn
