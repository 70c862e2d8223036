#include "objects/collection.h"
#include "objects/object_cursor.h"
#include "objects/support/test_classes.h"
#include "objects/support/value_test.h"
#include "objects/variant.h"

namespace vorn::testing {
namespace {

using CollectionTest = ValueTest;

TEST_F(CollectionTest, ItemsByIndexFromOneAndByKeyIgnoringCase) {
  RuntimeObject* c = CreateInstanceFromDefinition(GetCollectionClassDefinition());
  const char* keys[] = {"first", "", "third"};
  for (int32_t i = 0; i < 3; ++i) {
    RuntimeObject* value = intToVariant(10 * (i + 1));
    collectionAdd(c, value, string(keys[i]).Rep());
    RuntimeUnlockObject(value);
  }
  EXPECT_EQ(collectionCount(c), 3);
  RuntimeObject* second = collectionIdxItem(c, 2);
  EXPECT_EQ(variantToInt(second), 20);
  RuntimeUnlockObject(second);
  RuntimeObject* third = collectionItem(c, string("THIRD").Rep());
  EXPECT_EQ(variantToInt(third), 30);
  RuntimeUnlockObject(third);
  EXPECT_EQ(collectionItem(c, string("missing").Rep()), nullptr);
  EXPECT_EQ(PendingException(), nullptr) << "a missing key answers nil";
  for (int32_t index : {0, 4}) {
    EXPECT_EQ(collectionIdxItem(c, index), nullptr);
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  }
  collectionKeyRemove(c, string("First").Rep());
  collectionIdxRemove(c, 1);
  EXPECT_EQ(collectionCount(c), 1);
  RuntimeObject* left = collectionIdxItem(c, 1);
  EXPECT_EQ(variantToInt(left), 30);
  RuntimeUnlockObject(left);
  RuntimeUnlockObject(c);
}

TEST_F(CollectionTest, ObjectCursorWalksASnapshotItHolds) {
  RuntimeObject* a = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  RuntimeObject* b = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  int32_t before = LiveObjectCount();
  RuntimeObject* cursor = CreateInstanceFromDefinition(GetObjectCursorClassDefinition());
  EXPECT_EQ(objectCursorCountGetter(cursor, 0), before);
  RuntimeUnlockObject(b);  // still held by the cursor
  int32_t seen = 0;
  bool sawB = false;
  while (RuntimeObject* object = objectCursorNextObject(cursor)) {
    sawB |= object == b;
    EXPECT_NE(object, cursor);
    ++seen;
    RuntimeUnlockObject(object);
  }
  EXPECT_EQ(seen, before);
  EXPECT_TRUE(sawB);
  EXPECT_EQ(objectCursorGetItem(cursor, before), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  RuntimeUnlockObject(cursor);
  RuntimeUnlockObject(a);
}

}  // namespace
}  // namespace vorn::testing
