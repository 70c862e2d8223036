#include <string>
#include <vector>

#include "base/reloc_entry.h"
#include "objects/class_registry.h"
#include "objects/dictionary.h"
#include "objects/support/test_classes.h"
#include "objects/support/value_test.h"
#include "objects/variant.h"

namespace vorn::testing {
namespace {

class DictionaryTest : public ValueTest {
 protected:
  void SetUp() override {
    ValueTest::SetUp();
    mDictionary = CreateInstanceFromDefinition(GetDictionaryClassDefinition());
  }
  void TearDown() override {
    RuntimeUnlockObject(mDictionary);
    ValueTest::TearDown();
  }

  void Set(RuntimeObject* key, RuntimeObject* value) {
    dictionaryValueSetter(mDictionary, key, value);
    RuntimeUnlockObject(key);
    RuntimeUnlockObject(value);
  }
  // The value's Integer, 0 for a missing key (whose exception is taken).
  int32_t IntAt(RuntimeObject* key) {
    RuntimeObject* value = dictionaryValueGetter(mDictionary, key);
    RuntimeUnlockObject(key);
    int32_t result = variantToInt(value);
    RuntimeUnlockObject(value);
    return result;
  }
  static RuntimeObject* Key(const std::string& text) { return stringToVariant(string(text, kEncodingUTF8).Rep()); }

  RuntimeObject* mDictionary = nullptr;
};

TEST_F(DictionaryTest, HundredThousandKeysInsertFindAndRemove) {
  constexpr int32_t kKeys = 100000;
  for (int32_t i = 0; i < kKeys; ++i) Set(i % 2 ? Key("k" + std::to_string(i)) : intToVariant(i), intToVariant(i * 2));
  EXPECT_EQ(dictionaryCount(mDictionary), kKeys);
  EXPECT_GE(dictionaryGetBins(mDictionary, 0), kKeys * 2);
  for (int32_t i = 0; i < kKeys; i += 7) {
    RuntimeObject* key = i % 2 ? Key("K" + std::to_string(i)) : doubleToVariant(i);  // case and kind of number ignored
    ASSERT_EQ(IntAt(key), i * 2) << i;
  }
  for (int32_t i = 0; i < kKeys; i += 2) {
    RuntimeObject* key = intToVariant(i);
    dictionaryRemove(mDictionary, key);
    RuntimeUnlockObject(key);
  }
  EXPECT_EQ(dictionaryCount(mDictionary), kKeys / 2);
  RuntimeObject* first = dictionaryKey(mDictionary, 0);
  EXPECT_EQ(Take(variantToString(first)), "k1") << "insertion order survives removals";
  RuntimeUnlockObject(first);
  RuntimeObject* last = dictionaryValueByIndex(mDictionary, kKeys / 2 - 1);
  EXPECT_EQ(variantToInt(last), (kKeys - 1) * 2);
  RuntimeUnlockObject(last);
  EXPECT_EQ(PendingException(), nullptr);
  dictionaryRemoveAll(mDictionary);
  EXPECT_EQ(dictionaryCount(mDictionary), 0);
}

// Around the points where the table grows (half of 16, 32 slots): a removal and an insertion
// there keep every key and the insertion order; a table whose storage an earlier table of the
// same size gave back knows none of that table's keys.
TEST_F(DictionaryTest, KeysSurviveGrowthBoundariesAndReusedStorage) {
  for (int32_t count : {7, 8, 9, 15, 16, 17, 31, 32, 33}) {
    SCOPED_TRACE(count);
    for (int32_t i = 0; i < count; ++i) Set(intToVariant(i), intToVariant(i + 100));
    RuntimeObject* first = intToVariant(0);
    dictionaryRemove(mDictionary, first);
    RuntimeUnlockObject(first);
    Set(intToVariant(count), intToVariant(count + 100));
    ASSERT_EQ(dictionaryCount(mDictionary), count);
    for (int32_t i = 1; i <= count; ++i) ASSERT_EQ(IntAt(intToVariant(i)), i + 100) << i;
    RuntimeObject* oldest = dictionaryKey(mDictionary, 0);
    EXPECT_EQ(variantToInt(oldest), 1);
    RuntimeUnlockObject(oldest);
    RuntimeUnlockObject(mDictionary);  // gives its storage back
    mDictionary = CreateInstanceFromDefinition(GetDictionaryClassDefinition());
    Set(intToVariant(count + 1), intToVariant(1));
    for (int32_t i = 0; i <= count; ++i) {
      RuntimeObject* key = intToVariant(i);
      EXPECT_EQ(dictionaryHasKey(mDictionary, key), 0) << i;
      RuntimeUnlockObject(key);
    }
    dictionaryRemoveAll(mDictionary);
  }
}

// Each removal leaves a hole in the slots; a rebuilt table must drop them, or they fill it.
TEST_F(DictionaryTest, AKeySetAndRemovedOverAndOverLeavesNoHolesBehind) {
  for (int32_t i = 0; i < 2000; ++i) {
    Set(intToVariant(i), intToVariant(i));
    RuntimeObject* key = intToVariant(i);
    dictionaryRemove(mDictionary, key);
    RuntimeUnlockObject(key);
  }
  Set(intToVariant(1), intToVariant(7));
  EXPECT_EQ(IntAt(intToVariant(1)), 7);
}

// Whole numbers of any box are one key, hashed through one path or another: negative ones, ones
// past 32 bits, and the ones that share their low 32 bits must each find themselves alone.
TEST_F(DictionaryTest, WholeNumbersOfEveryBoxAreOneKeyWhereverTheyLie) {
  struct Case {
    RuntimeObject* stored;
    RuntimeObject* asked;
    bool same;
  } cases[] = {
      {intToVariant(-7), doubleToVariant(-7.0), true},
      {NewUIntegerVariant(4294967295u), doubleToVariant(4294967295.0), true},
      {NewUIntegerVariant(4294967295u), intToVariant(-1), false},
      {doubleToVariant(4294967296.0), intToVariant(0), false},
      {doubleToVariant(-4294967297.0), intToVariant(-1), false},
      {intToVariant(INT32_MIN), doubleToVariant(-2147483648.0), true},
  };
  for (const Case& c : cases) {
    // Enough other keys in step around them that the table has grown several times.
    for (int32_t i = 0; i < 100; ++i) Set(intToVariant(i * 3 + 1000), intToVariant(0));
    Set(c.stored, intToVariant(1));
    EXPECT_EQ(dictionaryHasKey(mDictionary, c.asked), c.same ? 1 : 0) << variantToDouble(c.asked);
    RuntimeUnlockObject(c.asked);
    dictionaryRemoveAll(mDictionary);
  }
}

TEST_F(DictionaryTest, MissingKeysAndBadIndexesRaise) {
  Set(Key("a"), intToVariant(1));
  EXPECT_EQ(IntAt(Key("b")), 0);
  EXPECT_EQ(TakePendingClassName(), "KeyNotFoundException");
  RuntimeObject* b = Key("b");
  dictionaryRemove(mDictionary, b);
  EXPECT_EQ(TakePendingClassName(), "KeyNotFoundException");
  EXPECT_EQ(dictionaryHasKey(mDictionary, b), 0);
  RuntimeObject* fallback = intToVariant(9);
  RuntimeObject* found = DictionaryLookup(mDictionary, b, fallback);
  EXPECT_EQ(found, fallback);
  RuntimeUnlockObject(found);
  RuntimeUnlockObject(fallback);
  RuntimeUnlockObject(b);
  for (int32_t index : {-1, 1}) {
    EXPECT_EQ(dictionaryKey(mDictionary, index), nullptr);
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  }
  dictionarySetBins(mDictionary, 0, -5);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(dictionaryCount(nullptr), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

TEST_F(DictionaryTest, ReplacingKeepsThePlaceAndReleasesTheOldValue) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  Set(Key("one"), intToVariant(1));
  RuntimeLockObject(object);
  Set(Key("two"), object);
  EXPECT_EQ(object->refCount, 2);
  Set(Key("TWO"), intToVariant(2));
  EXPECT_EQ(object->refCount, 1) << "the replaced value is released";
  Set(intToVariant(3), nullptr);
  RuntimeObject* nilKey = nullptr;
  Set(nilKey, intToVariant(4));
  EXPECT_EQ(IntAt(nullptr), 4) << "nil is a key like any other";

  VornArray* keys = dictionaryKeys(mDictionary);
  VornArray* values = dictionaryValues(mDictionary);
  ASSERT_EQ(RuntimeUBound(keys), 3);
  std::vector<std::string> keyTexts;
  for (int32_t i = 0; i <= 3; ++i) {
    RuntimeObject* key = ArrayGetObject(keys, i);
    keyTexts.push_back(Take(variantToString(key)));
    RuntimeUnlockObject(key);
  }
  EXPECT_EQ(keyTexts, (std::vector<std::string>{"one", "two", "3", ""}));
  RuntimeObject* second = ArrayGetObject(values, 1);
  EXPECT_EQ(variantToInt(second), 2);
  RuntimeUnlockObject(second);
  RuntimeUnlockArray(keys);
  RuntimeUnlockArray(values);

  // Objects are keys by identity.
  RuntimeObject* other = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  RuntimeLockObject(object);
  Set(object, intToVariant(5));
  EXPECT_EQ(dictionaryHasKey(mDictionary, other), 0);
  EXPECT_EQ(dictionaryHasKey(mDictionary, object), 1);
  RuntimeUnlockObject(other);
  RuntimeUnlockObject(object);
  EXPECT_EQ(object->refCount, 1) << "the dictionary holds its key";
}

TEST_F(DictionaryTest, DefinitionEntersItsRows) {
  ObjectDefinition* definition = GetDictionaryClassDefinition();
  RegisterIntrinsicClass(definition);
  RelocEntry* byIndex = LookupRelocEntry(string("dictionaryValueByIndex"));
  ASSERT_NE(byIndex, nullptr);
  EXPECT_EQ(byIndex->code, reinterpret_cast<void*>(&dictionaryValueByIndex));
  RelocEntry* getter = LookupRelocEntry(string("dictionaryValueGetter"));
  ASSERT_NE(getter, nullptr);
  EXPECT_EQ(getter->code, reinterpret_cast<void*>(&dictionaryValueGetter));
  EXPECT_TRUE(Reports().empty()) << "no row bound twice to different functions";
}

}  // namespace
}  // namespace vorn::testing
