#include "files/permissions_class.h"

#include <string>

#include "files/support/store_test.h"
#include "objects/accessors.h"
#include "objects/runtime_object.h"

namespace vorn::testing {
namespace {

using PermissionsClassTest = StoreTest;

// The property's value read through the class's own accessor table, as compiled code does.
bool ReadBit(RuntimeObject* object, const std::string& name) {
  for (const PropertyEntry& entry : ClassOf(object)->mAccessors) {
    if (std::string(string::Share(entry.signature).View()) == name + "%b%") {
      PropertyValue value;
      EXPECT_TRUE(GetPropertyValue(object, entry, &value));
      return value.AsBoolean();
    }
  }
  ADD_FAILURE() << "no property " << name;
  return false;
}

void WriteBit(RuntimeObject* object, const std::string& name, bool on) {
  for (const PropertyEntry& entry : ClassOf(object)->mAccessors) {
    if (std::string(string::Share(entry.signature).View()) == name + "%b%") {
      EXPECT_TRUE(SetPropertyValue(object, entry, PropertyValue::Boolean(on)));
      return;
    }
  }
  ADD_FAILURE() << "no property " << name;
}

const char* const kNames[] = {"StickyBit",    "GidBit",     "UidBit",    "OwnerExecute",
                              "OwnerWrite",   "OwnerRead",  "GroupExecute", "GroupWrite",
                              "GroupRead",    "OthersExecute", "OthersWrite", "OthersRead"};

TEST_F(PermissionsClassTest, ANewObjectHasEveryBitClearAndRowsStandInTableOrder) {
  RuntimeObject* permissions = CreateInstanceFromDefinition(GetPermissionsClassDefinition());
  ASSERT_NE(permissions, nullptr);
  for (const char* name : kNames) EXPECT_FALSE(ReadBit(permissions, name)) << name;
  const auto& rows = GetPermissionsClassDefinition()->mInstanceVariables;
  ASSERT_EQ(rows.size(), std::size(kNames));
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(std::string(rows[i].name.View()), kNames[i]);
  RuntimeUnlockObject(permissions);
}

TEST_F(PermissionsClassTest, The755ModeReadsBitByBitAndSingleBitsChange) {
  RuntimeObject* permissions = CreateInstanceFromDefinition(GetPermissionsClassDefinition());
  PermissionsCtor(permissions, 0755);
  for (const char* on : {"OwnerRead", "OwnerWrite", "OwnerExecute", "GroupRead", "GroupExecute", "OthersRead",
                         "OthersExecute"})
    EXPECT_TRUE(ReadBit(permissions, on)) << on;
  for (const char* off : {"GroupWrite", "OthersWrite", "StickyBit", "GidBit", "UidBit"})
    EXPECT_FALSE(ReadBit(permissions, off)) << off;

  WriteBit(permissions, "OwnerWrite", false);
  EXPECT_EQ(PermissionsModeBits(permissions), 0x16D);
  WriteBit(permissions, "UidBit", true);
  WriteBit(permissions, "OthersWrite", true);
  EXPECT_EQ(PermissionsModeBits(permissions), 0x16D | 0x800 | 0x2);
  WriteBit(permissions, "UidBit", true);  // setting a set bit changes nothing
  EXPECT_EQ(PermissionsModeBits(permissions), 0x16D | 0x800 | 0x2);
  RuntimeUnlockObject(permissions);
}

TEST_F(PermissionsClassTest, AMaskOfSeveralBitsIsTrueOnlyWhenAllAreSet) {
  RuntimeObject* permissions = NewPermissionsObject(0x100);
  EXPECT_FALSE(PermissionsGetter(permissions, 0x180));
  PermissionsSetter(permissions, 0x180, 1);
  EXPECT_TRUE(PermissionsGetter(permissions, 0x180));
  PermissionsSetter(permissions, 0x180, 0);
  EXPECT_EQ(PermissionsModeBits(permissions), 0);
  RuntimeUnlockObject(permissions);
}

TEST_F(PermissionsClassTest, ANilObjectRaisesAndHasNoBits) {
  EXPECT_FALSE(PermissionsGetter(nullptr, 0x1));
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  PermissionsSetter(nullptr, 0x1, 1);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(PermissionsModeBits(nullptr), 0);
}

}  // namespace
}  // namespace vorn::testing
