// The cell editing and check box entry points bind by name, and the Listbox class offers them
// as members.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vorn
