// ListColumn and the binding parts of a list box that has no pane yet: snapshots keep their
// own settings, parts answer "nothing selected", and every entry point binds.
#include <gtest/gtest.h>

#include <string>

#include "listbox/list_binding_parts.h"
#include "listbox/list_column_class.h"
#include "listbox/listbox_class.h"
#include "listbox/support/list_binding_fakes.h"
#include "support/class_test.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

class ListColumnTest : public test::IntrinsicClassTest {};

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

TEST_F(ListColumnTest, EntryPointsBindTheirFunctions) {
  test::ExpectEntryPointsBound({
      {"listColumnGetter", reinterpret_cast<void*>(&listColumnGetter)},
      {"listColumnSetter", reinterpret_cast<void*>(&listColumnSetter)},
      {"RuntimeListColumnConstructor", reinterpret_cast<void*>(&RuntimeListColumnConstructor)},
      {"RuntimeListColumnDestructor", reinterpret_cast<void*>(&RuntimeListColumnDestructor)},
      {"listColUserResizableGetter", reinterpret_cast<void*>(&listColUserResizableGetter)},
      {"listColUserResizableSetter", reinterpret_cast<void*>(&listColUserResizableSetter)},
      {"listColWidthExpressionGetter", reinterpret_cast<void*>(&listColWidthExpressionGetter)},
      {"listColWidthExpressionSetter", reinterpret_cast<void*>(&listColWidthExpressionSetter)},
      {"listColWidthActualGetter", reinterpret_cast<void*>(&listColWidthActualGetter)},
      {"listColWidthActualSetter", reinterpret_cast<void*>(&listColWidthActualSetter)},
      {"listGetBoundPart", reinterpret_cast<void*>(&listGetBoundPart)},
      {"listAddLSNR", reinterpret_cast<void*>(&listAddLSNR)},
      {"listRemoveLSNR", reinterpret_cast<void*>(&listRemoveLSNR)},
      {"listBind", reinterpret_cast<void*>(&listBind)},
      {"listListDataInsertedRow", reinterpret_cast<void*>(&listListDataInsertedRow)},
      {"listListDataRemovedRow", reinterpret_cast<void*>(&listListDataRemovedRow)},
      {"listListDataReload", reinterpret_cast<void*>(&listListDataReload)},
      {"listSelectionProviderDestructor", reinterpret_cast<void*>(&listSelectionProviderDestructor)},
      {"listSelectionAddDataNotificationReceiver",
       reinterpret_cast<void*>(&listSelectionAddDataNotificationReceiver)},
      {"listSelectionRemoveDataNotificationReceiver",
       reinterpret_cast<void*>(&listSelectionRemoveDataNotificationReceiver)},
      {"listSelectionGetBoolean", reinterpret_cast<void*>(&listSelectionGetBoolean)},
      {"listSelectionSetBoolean", reinterpret_cast<void*>(&listSelectionSetBoolean)},
      {"listSelectionChanging", reinterpret_cast<void*>(&listSelectionChanging)},
      {"listSelectionChanged", reinterpret_cast<void*>(&listSelectionChanged)},
      {"listboxActionDestructor", reinterpret_cast<void*>(&listboxActionDestructor)},
      {"lbaAddActionNotificationReceiver", reinterpret_cast<void*>(&lbaAddActionNotificationReceiver)},
      {"lbaRemoveActionNotificationReceiver", reinterpret_cast<void*>(&lbaRemoveActionNotificationReceiver)},
      {"listColumnValueProviderDestructor", reinterpret_cast<void*>(&listColumnValueProviderDestructor)},
      {"lcvpGetString", reinterpret_cast<void*>(&lcvpGetString)},
      {"lcvpSetString", reinterpret_cast<void*>(&lcvpSetString)},
      {"lcvpAddDataNotificationReceiver", reinterpret_cast<void*>(&lcvpAddDataNotificationReceiver)},
      {"lcvpRemoveDataNotificationReceiver", reinterpret_cast<void*>(&lcvpRemoveDataNotificationReceiver)},
      {"lcvpSelectionChanging", reinterpret_cast<void*>(&lcvpSelectionChanging)},
      {"lcvpSelectionChanged", reinterpret_cast<void*>(&lcvpSelectionChanged)},
      {"lcvpDataAvailable", reinterpret_cast<void*>(&lcvpDataAvailable)},
  });
}

TEST_F(ListColumnTest, WithoutAPaneASnapshotKeepsItsOwnSettings) {
  RuntimeObject* list = New(GetListboxClassDefinition());
  EXPECT_EQ(listColumnGetter(list, 0), nullptr) << "no columns to read before the pane";

  RuntimeObject* column = New(GetListColumnClassDefinition());
  auto* fields = reinterpret_cast<ListColumnObject*>(column);
  RuntimeLockObject(list);
  fields->list = list;
  fields->column = 1;
  listColWidthExpressionSetter(column, kColumnMinWidth, string("10%").Rep());
  listColWidthExpressionSetter(column, kColumnWidth, string("2*").Rep());
  listColWidthActualSetter(column, kColumnMaxWidth, 300);
  listColUserResizableSetter(column, 0, 1);
  EXPECT_EQ(Text(listColWidthExpressionGetter(column, kColumnWidth)), "2*");
  EXPECT_EQ(Text(listColWidthExpressionGetter(column, kColumnMinWidth)), "10%");
  EXPECT_EQ(Text(listColWidthExpressionGetter(column, kColumnMaxWidth)), "");
  EXPECT_EQ(listColWidthActualGetter(column, kColumnMaxWidth), 300);
  EXPECT_EQ(listColWidthActualGetter(column, kColumnWidth), 0);
  EXPECT_EQ(listColUserResizableGetter(column, 0), 1);
}

TEST_F(ListColumnTest, PartsOfAListWithoutAPaneSeeNoSelection) {
  RuntimeObject* list = New(GetListboxClassDefinition());
  RuntimeObject* selection = Keep(listGetBoundPart(list, string("GETSELECTIONPROVIDER").Rep()));
  ASSERT_NE(selection, nullptr) << "part names ignore letter case";
  EXPECT_EQ(listSelectionGetBoolean(selection), 0);
  RuntimeObject* value = Keep(listGetBoundPart(list, string("columnValueProvider_3").Rep()));
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(reinterpret_cast<ListColumnValueProviderObject*>(value)->column, 3);
  EXPECT_EQ(lcvpGetString(value), nullptr);
  EXPECT_EQ(lcvpDataAvailable(value), 0);
  lcvpSetString(value, string("ignored").Rep());
  EXPECT_EQ(listGetBoundPart(list, string("columnValue").Rep()), nullptr);
  EXPECT_EQ(listGetBoundPart(list, string("somethingElse").Rep()), nullptr);
  EXPECT_EQ(listGetBoundPart(list, nullptr), nullptr);
}

TEST_F(ListColumnTest, ABindingBeforeThePaneIsKeptAndLetGoWithTheList) {
  RuntimeObject* list = New(GetListboxClassDefinition());
  RuntimeObject* provider = Keep(testing::NewFakeRowsProvider(2, 1));
  listBind(list, provider);
  EXPECT_EQ(AsListboxObject(list)->fields.boundData, provider);
  EXPECT_EQ(testing::AsFakeRowsProvider(provider)->receiver, list) << "the list hears of row changes";
  EXPECT_EQ(listCountGetter(list, 0), 0) << "no rows before the pane";
  listBind(list, nullptr);
  EXPECT_EQ(testing::AsFakeRowsProvider(provider)->receiver, nullptr);
  EXPECT_EQ(AsListboxObject(list)->fields.boundData, nullptr);
  listBind(list, provider);  // held until the list goes
}

}  // namespace
}  // namespace vorn
