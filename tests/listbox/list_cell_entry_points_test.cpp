// The cell editing and check box entry points bind by name, and the Listbox class offers them
// as members.
#include <gtest/gtest.h>

#include <string>

#include "listbox/listbox_class.h"
#include "support/class_test.h"
#include "vorn/listbox_api.h"

namespace vorn {
namespace {

class ListCellEntryPointsTest : public test::IntrinsicClassTest {};

TEST_F(ListCellEntryPointsTest, EntryPointsBindTheirFunctions) {
  test::ExpectEntryPointsBound({
      {"listEditCell", reinterpret_cast<void*>(&listEditCell)},
      {"listCellCheckGetter", reinterpret_cast<void*>(&listCellCheckGetter)},
      {"listCellCheckSetter", reinterpret_cast<void*>(&listCellCheckSetter)},
      {"listCellTypeGetter", reinterpret_cast<void*>(&listCellTypeGetter)},
      {"listCellTypeSetter", reinterpret_cast<void*>(&listCellTypeSetter)},
  });
}

// The older class: the same members but for the point hit tests, UseFocusRing a plain field,
// DragReorderRows with one parameter; its objects are list boxes to every entry point.
TEST_F(ListCellEntryPointsTest, OldListboxDiffersOnlyWhereTheOlderClassDid) {
  ObjectDefinition* list = GetListboxClassDefinition();
  ObjectDefinition* old = GetOldListboxClassDefinition();
  EXPECT_EQ(std::string(old->mName.View()), "OldListbox");
  auto hasMethod = [](ObjectDefinition* d, const char* name) {
    for (const ObjectMethod& m : d->mMethods) {
      if (m.name.View() == name) return true;
    }
    return false;
  };
  EXPECT_EQ(old->mMethods.size() + 2, list->mMethods.size());
  EXPECT_TRUE(hasMethod(list, "RowFromXY"));
  EXPECT_FALSE(hasMethod(old, "RowFromXY") || hasMethod(old, "ColumnFromXY"));
  EXPECT_TRUE(hasMethod(old, "CellTag"));
  EXPECT_EQ(std::string(old->FindHook(string("DragReorderRows"))->params.View()), "newPosition as Integer");
  EXPECT_EQ(OwnProperties(old), OwnProperties(list));
  RuntimeObject* object = New(old);
  listBoldSetter(object, 0, 1);
  EXPECT_EQ(listBoldGetter(object, 0), 1);
  EXPECT_EQ(ListboxEventHooks(object), ListboxEventHooks(object));
  EXPECT_NE(ListboxEventHooks(object), ListboxEventHooks(New(list)));
}

}  // namespace
}  // namespace vorn
