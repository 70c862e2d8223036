#include <gtest/gtest.h>

#include "objects/runtime_class.h"
#include "objects/support/object_test.h"
#include "objects/support/test_classes.h"

namespace vorn::testing {
namespace {

std::vector<std::string> AccessorSignatures(const std::vector<PropertyEntry>& entries) {
  std::vector<std::string> out;
  for (const PropertyEntry& e : entries) out.emplace_back(RepText(e.signature));
  return out;
}

std::vector<std::string> EventNames(const RuntimeClass* cls) {
  std::vector<std::string> out;
  for (const EventEntry& e : cls->mEvents) out.emplace_back(RepText(e.name));
  return out;
}

using ClassConversion = ObjectTest;

TEST_F(ClassConversion, AccessorTableHoldsTheBaseEntriesFirstAndOwnRowsSeparately) {
  RuntimeClass* base = RuntimeClassFromDefinition(GetTestBaseClassDefinition());
  RuntimeClass* derived = RuntimeClassFromDefinition(GetTestDerivedClassDefinition());
  ASSERT_NE(derived, nullptr);
  EXPECT_EQ(derived->mSuper, base);
  EXPECT_EQ(RuntimeClassFromDefinition(GetTestDerivedClassDefinition()), derived) << "converted once";

  std::vector<std::string> baseSigs = {"Count%i4%", "Ratio%f8%", "Title%s%", "Peer%o<TestBase>%",
                                       "Flag%b%", "Small%i2%", "Single%f4%"};
  EXPECT_EQ(AccessorSignatures(base->mAccessors), baseSigs);
  std::vector<std::string> derivedSigs = baseSigs;
  derivedSigs.push_back("Extra%i4%");
  EXPECT_EQ(AccessorSignatures(derived->mAccessors), derivedSigs);
  EXPECT_EQ(AccessorSignatures(derived->mOwnProperties), std::vector<std::string>{"Extra%i4%"});

  const PropertyEntry& ratio = derived->mAccessors[1];
  EXPECT_TRUE(IsDirectField(ratio.getter));
  EXPECT_EQ(ratio.param, static_cast<int32_t>(offsetof(TestBaseObject, ratio)));
  EXPECT_EQ(derived->mAccessors[6].setter, nullptr) << "Single has no setter: read-only";
  EXPECT_GE(derived->mInstanceSize, base->mInstanceSize);
}

TEST_F(ClassConversion, EventsAreNumberedAfterAllEventsOfTheSuperclasses) {
  EXPECT_EQ(TestOpenHook()->index, 0);
  EXPECT_EQ(TestCloseHook()->index, 1);
  EXPECT_EQ(TestChangedHook()->index, 2);
  EXPECT_EQ(GetTestDerivedClassDefinition()->TotalEventCount(), 3);

  RuntimeClass* base = RuntimeClassFromDefinition(GetTestBaseClassDefinition());
  RuntimeClass* derived = RuntimeClassFromDefinition(GetTestDerivedClassDefinition());
  EXPECT_EQ(EventNames(base), (std::vector<std::string>{"Open", "Close"}));
  EXPECT_EQ(EventNames(derived), (std::vector<std::string>{"Open", "Close", "Changed"}));
  // The derived class implements the inherited "Open" natively (named "open"): only its table has it.
  EXPECT_EQ(base->mEvents[0].handler, nullptr);
  EXPECT_EQ(derived->mEvents[0].handler, reinterpret_cast<void*>(&TestDerivedOpen));
  EXPECT_EQ(derived->mEvents[1].handler, nullptr);
}

TEST_F(ClassConversion, MethodTableStartsWithTheBaseSlotsAndOverridesInPlace) {
  RuntimeClass* base = RuntimeClassFromDefinition(GetTestBaseClassDefinition());
  RuntimeClass* derived = RuntimeClassFromDefinition(GetTestDerivedClassDefinition());
  ASSERT_EQ(base->MethodCount(), 2);
  ASSERT_EQ(derived->MethodCount(), 3);
  EXPECT_EQ(base->mMethodTable[0], reinterpret_cast<void*>(&TestBaseDescribe));
  EXPECT_EQ(derived->mMethodTable[0], reinterpret_cast<void*>(&TestDerivedDescribe)) << "override, any case";
  EXPECT_EQ(derived->mMethodTable[1], reinterpret_cast<void*>(&TestBaseCompute)) << "inherited";
  EXPECT_EQ(derived->mMethodTable[2], reinterpret_cast<void*>(&TestDerivedExtra)) << "new slot appended";
  EXPECT_EQ(GetTestBaseClassDefinition()->mMethods[1].signature, "Compute%i4%o<TestBase>i4i4");
}

TEST_F(ClassConversion, ConstructorsRunBaseFirstAndDestructorsDerivedFirst) {
  RuntimeClass* derived = RuntimeClassFromDefinition(GetTestDerivedClassDefinition());
  ASSERT_EQ(derived->mConstructors.size(), 2u);
  EXPECT_STREQ(derived->mConstructors[0].entryName, "TestBaseInitializer");
  EXPECT_STREQ(derived->mDestructors[0].entryName, "TestDerivedFinalizer");
  EXPECT_STREQ(derived->mDestructors[1].entryName, "TestBaseFinalizer");
}

TEST_F(ClassConversion, BuildersDecodeRowFlagsAndKeepRowOrder) {
  static const PropertyRow rows[] = {
      {0x04 | 0x800, "A", "i4", nullptr, nullptr, nullptr, nullptr, 0, 0},
      {0x08 | 0x4000 | 0x2000, "B", "s", reinterpret_cast<void*>(&stringGetter), "stringGetter",
       reinterpret_cast<void*>(&stringSetter), "stringSetter", 0, 9},
  };
  std::vector<InstanceVariable> list = BuildPropertyList(rows, 2);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].itemFlags, kItemFirstFlag | kItemThirdFlag);
  EXPECT_EQ(list[0].access & kAccessReadOnly, kAccessReadOnly);
  EXPECT_EQ(list[1].itemFlags, kItemSecondFlag);
  EXPECT_EQ(list[1].attributes, 0x31u);
  EXPECT_EQ(list[1].extra, 9);
  EXPECT_EQ(list[1].access, 0u);

  ObjectDefinition def;
  ObjectDefinition first, second;
  def.AddInterface(&first);
  def.AddInterface(&second);
  EXPECT_EQ(def.mInterfaces, (std::vector<ObjectDefinition*>{&second, &first})) << "prepends";
  static const EventImplRow impls[] = {{"X", nullptr, "x1"}, {"Y", nullptr, "y1"}};
  AddEventImplementations(&def, impls, 2);
  EXPECT_STREQ(def.mHookInstances[0].entryName, "y1") << "reverse row order";
}

TEST_F(ClassConversion, InconsistentDefinitionsAreReportedNotTrusted) {
  ObjectDefinition small;
  small.mName = string("TooSmall");
  small.mSuper = GetTestBaseClassDefinition();
  small.mInstanceSize = 8;
  RuntimeClass* cls = RuntimeClassFromDefinition(&small);
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(cls->mInstanceSize, RuntimeClassFromDefinition(GetTestBaseClassDefinition())->mInstanceSize);
  EXPECT_EQ(Reports().size(), 1u);

  ObjectDefinition a, b;
  a.mName = string("A");
  b.mName = string("B");
  a.mSuper = &b;
  b.mSuper = &a;
  EXPECT_EQ(RuntimeClassFromDefinition(&a), nullptr) << "a superclass cycle must not recurse forever";
  EXPECT_EQ(RuntimeClassFromDefinition(nullptr), nullptr);
}

}  // namespace
}  // namespace vorn::testing
