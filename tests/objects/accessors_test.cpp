#include <gtest/gtest.h>

#include "objects/accessors.h"
#include "objects/support/object_test.h"
#include "objects/support/test_classes.h"

namespace vorn::testing {
namespace {

using Accessors = ObjectTest;

constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

const PropertyEntry& Entry(RuntimeObject* object, const char* name) {
  for (const PropertyEntry& e : ClassOf(object)->mAccessors)
    if (SignatureName(RepText(e.signature)) == name) return e;
  throw std::runtime_error(name);
}

// Custom accessors with the prototypes the type codes call for.
double sStoredDouble = 0;
float sStoredSingle = 0;
void StoreDouble(RuntimeObject*, int32_t, double value) { sStoredDouble = value; }
double FetchDouble(RuntimeObject*, int32_t param) { return param * 0.5; }
void StoreSingle(RuntimeObject*, int32_t, float value) { sStoredSingle = value; }

TEST_F(Accessors, TypedCallsPassDoublesAndSinglesThroughTheirOwnRegisters) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  auto* sig = string("Gain%f8%", kEncodingASCII).GetRetainedRep();
  PropertyEntry gain{sig, 7, reinterpret_cast<void*>(&FetchDouble), reinterpret_cast<void*>(&StoreDouble)};
  ASSERT_TRUE(SetPropertyValue(object, gain, PropertyValue::Double(2.75)));
  EXPECT_EQ(sStoredDouble, 2.75);
  PropertyValue value;
  ASSERT_TRUE(GetPropertyValue(object, gain, &value));
  EXPECT_EQ(value.AsDouble(), 3.5);
  RuntimeUnlockString(sig);

  sig = string("Level%f4%", kEncodingASCII).GetRetainedRep();
  PropertyEntry level{sig, 0, nullptr, reinterpret_cast<void*>(&StoreSingle)};
  ASSERT_TRUE(SetPropertyValue(object, level, PropertyValue::Double(1.25)));
  EXPECT_EQ(sStoredSingle, 1.25f);
  EXPECT_FALSE(GetPropertyValue(object, level, &value)) << "write-only";
  RuntimeUnlockString(sig);

  // The direct-field double really lands in the field.
  ASSERT_TRUE(SetPropertyValue(object, Entry(object, "Ratio"), PropertyValue::Double(0.125)));
  EXPECT_EQ(reinterpret_cast<TestBaseObject*>(object)->ratio, 0.125);
  EXPECT_EQ(doubleGetter(object, Offset(offsetof(TestBaseObject, ratio))), 0.125);
  EXPECT_FALSE(SetPropertyValue(object, Entry(object, "Single"), PropertyValue::Double(1))) << "read-only";
  RuntimeUnlockObject(object);
}

TEST_F(Accessors, ScalarFieldsKeepTheirWidths) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  auto* fields = reinterpret_cast<TestBaseObject*>(object);
  ASSERT_TRUE(SetPropertyValue(object, Entry(object, "Small"), PropertyValue::Integer(-2)));
  EXPECT_EQ(fields->small, -2);
  EXPECT_EQ(shortGetter(object, Offset(offsetof(TestBaseObject, small))), -2) << "sign-extended";
  shortSetter(object, Offset(offsetof(TestBaseObject, small)), 0x12345);
  EXPECT_EQ(fields->small, 0x2345);

  boolSetter(object, Offset(offsetof(TestBaseObject, flag)), 2);
  EXPECT_EQ(fields->flag, 1);
  PropertyValue flag;
  ASSERT_TRUE(GetPropertyValue(object, Entry(object, "Flag"), &flag));
  EXPECT_TRUE(flag.AsBoolean());

  singleSetter(object, Offset(offsetof(TestBaseObject, single)), 3.5f);
  EXPECT_EQ(singleGetter(object, Offset(offsetof(TestBaseObject, single))), 3.5f);
  intSetter(object, Offset(offsetof(TestBaseObject, count)), -9);
  EXPECT_EQ(intGetter(object, Offset(offsetof(TestBaseObject, count))), -9);
  RuntimeUnlockObject(object);
}

TEST_F(Accessors, StringAndObjectSettersRetainTheNewValueAndReleaseTheOld) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  RuntimeObject* peer = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  const int32_t titleAt = Offset(offsetof(TestBaseObject, title));
  const int32_t peerAt = Offset(offsetof(TestBaseObject, peer));

  string first("first"), second("second");
  stringSetter(object, titleAt, first.Rep());
  EXPECT_EQ(first.Rep()->refCount, 2);
  stringSetter(object, titleAt, second.Rep());
  EXPECT_EQ(first.Rep()->refCount, 1);
  string got = string::Adopt(stringGetter(object, titleAt));
  EXPECT_EQ(got.Rep(), second.Rep());
  EXPECT_EQ(second.Rep()->refCount, 3) << "the field, `second` and the getter's result";

  objSetter(object, peerAt, peer);
  EXPECT_EQ(peer->refCount, 2);
  objSetter(object, peerAt, peer);  // the same object again
  EXPECT_EQ(peer->refCount, 2);
  PropertyValue value;
  ASSERT_TRUE(GetPropertyValue(object, Entry(object, "Peer"), &value));
  EXPECT_EQ(value.AsObject(), peer);
  EXPECT_EQ(peer->refCount, 3);
  RuntimeUnlockObject(peer);
  RuntimeUnlockObject(object);  // its finalizer releases title and peer; `value` still holds peer
  EXPECT_EQ(LiveObjectCount(), 1);
}

TEST_F(Accessors, NilObjectsAndFieldsOutsideTheObjectRaiseInsteadOfTouchingMemory) {
  EXPECT_EQ(doubleGetter(nullptr, 48), 0.0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  objSetter(nullptr, 48, nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");

  RuntimeObject* object = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  int32_t size = ClassOf(object)->mInstanceSize;
  intSetter(object, size - 2, 5);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << "past the end";
  EXPECT_EQ(stringGetter(object, 8), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << "inside the header";
  intSetter(object, -4, 1);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(object->refCount, 1) << "header untouched";
  RuntimeUnlockObject(object);
}

TEST_F(Accessors, ValueKindFollowsTheTypeCode) {
  EXPECT_EQ(ValueKindOfSignature("Minimum%f8%"), ValueKind::kDouble);
  EXPECT_EQ(ValueKindOfSignature("Level%f4%"), ValueKind::kSingle);
  EXPECT_EQ(ValueKindOfSignature("FillColor%c%"), ValueKind::kColor);
  EXPECT_EQ(ValueKindOfSignature("Owner%o<Window>%"), ValueKind::kObject);
  EXPECT_EQ(ValueKindOfSignature("Lines%A1s%"), ValueKind::kArray);
  EXPECT_EQ(ValueKindOfSignature("Broken"), ValueKind::kNone);
}

}  // namespace
}  // namespace vorn::testing
