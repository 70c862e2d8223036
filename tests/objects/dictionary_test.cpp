#include <functional>
#include <list>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/reloc_entry.h"
#include "objects/class_registry.h"
#include "objects/dictionary.h"
#include "objects/support/test_classes.h"
#include "objects/support/value_test.h"
#include "objects/variant.h"
#include "objects/variant_keys.h"
#include "strings/case_table.h"

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
  static RuntimeObject* Text(const string& text) { return stringToVariant(text.Rep()); }
  static RuntimeObject* Kept(RuntimeObject* object) { return RuntimeLockObject(object), object; }
  bool Has(RuntimeObject* key) {  // lets the key go
    const bool has = dictionaryHasKey(mDictionary, key) != 0;
    return RuntimeUnlockObject(key), has;
  }

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
// same size gave back knows none of that table's keys. Scattered keys, so that in some tables
// a run of keys passes the last slot and goes on from the first.
TEST_F(DictionaryTest, KeysSurviveGrowthBoundariesAndReusedStorage) {
  std::mt19937 random(7);
  for (int32_t count : {7, 8, 9, 15, 16, 17, 31, 32, 33}) {
    for (int32_t set = 0; set < 40; ++set) {
      SCOPED_TRACE(::testing::Message() << count << " keys, set " << set);
      std::vector<int32_t> keys;  // distinct by their low bits
      for (int32_t i = 0; i <= count + 1; ++i) keys.push_back(static_cast<int32_t>((random() & ~63u) | i));
      for (int32_t i = 0; i < count; ++i) Set(intToVariant(keys[i]), intToVariant(i + 100));
      RuntimeObject* first = intToVariant(keys[0]);
      dictionaryRemove(mDictionary, first);
      RuntimeUnlockObject(first);
      Set(intToVariant(keys[count]), intToVariant(count + 100));
      ASSERT_EQ(dictionaryCount(mDictionary), count);
      for (int32_t i = 1; i <= count; ++i) ASSERT_TRUE(Has(intToVariant(keys[i])) && IntAt(intToVariant(keys[i])) == i + 100) << i;
      RuntimeObject* oldest = dictionaryKey(mDictionary, 0);
      EXPECT_EQ(variantToInt(oldest), keys[1]);
      RuntimeUnlockObject(oldest);
      RuntimeUnlockObject(mDictionary);  // gives its storage back
      mDictionary = CreateInstanceFromDefinition(GetDictionaryClassDefinition());
      Set(intToVariant(keys[count + 1]), intToVariant(1));
      for (int32_t i = 0; i <= count; ++i) EXPECT_FALSE(Has(intToVariant(keys[i]))) << i;
      dictionaryRemoveAll(mDictionary);
    }
  }
}

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
// past 32 bits, and the ones that share their low 32 bits must each find themselves alone, also
// after absent keys were asked over and over.
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
    std::mt19937 random(11);
    for (int32_t i = 0; i < 20000; ++i) ASSERT_FALSE(Has(intToVariant(static_cast<int32_t>(random() | (1u << 24)))));
    EXPECT_EQ(dictionaryHasKey(mDictionary, c.asked), c.same ? 1 : 0) << "after absent keys";
    for (int32_t i = 0; i < 100; ++i) ASSERT_TRUE(Has(doubleToVariant(i * 3 + 1000))) << i;
    RuntimeUnlockObject(c.asked);
    dictionaryRemoveAll(mDictionary);
  }
}

// Against std::unordered_map as the model, through seeded random insertions, removals and
// lookups, over families of keys that a fixed hash piles onto a few probe starts. A family makes,
// from a number below 3000 and a random bit, a box and the model's key for it.
TEST_F(DictionaryTest, AgreesWithAModelOverEveryFamilyOfKeys) {
  using Made = std::pair<RuntimeObject*, std::string>;
  auto whole = [](int64_t n, bool asDouble) {
    return Made{asDouble ? doubleToVariant(static_cast<double>(n)) : intToVariant(static_cast<int32_t>(n)), std::to_string(n)};
  };
  std::vector<int64_t> oneHome;  // hashes ending in twelve ones: up to 4096 slots all start at the last
  for (int32_t n = 0; oneHome.size() < 3000; ++n) {
    if ((WholeNumberHash(n) & 0xfff) == 0xfff) oneHome.push_back(n);
  }
  const std::function<Made(uint64_t, bool)> families[] = {
      [&](uint64_t r, bool alt) { return whole(oneHome[r], alt); },
      [&](uint64_t r, bool alt) { return whole(static_cast<int32_t>(r * 0x9e3779b9u), alt); },
      [&](uint64_t r, bool alt) { return whole(static_cast<int64_t>(r) * 16384, alt); },
      [&](uint64_t r, bool) { return whole(static_cast<int64_t>(r / 60) * 4294967296LL + r % 60, true); },
      [&](uint64_t r, bool) { return whole(static_cast<int64_t>(r) * 4294967297LL, true); },
      [&](uint64_t r, bool alt) { return Made{Key((alt ? "ENTRY" : "Entry") + std::to_string(r)), "ENTRY" + std::to_string(r)}; },
      [&](uint64_t r, bool) {  // ASCII-tagged bytes above 0x7f, folded by the 8-bit table
        const char bytes[] = {'A', static_cast<char>(0x80 + r % 128), static_cast<char>(0x80 + r / 128)};
        std::string key;
        for (char c : bytes) key += static_cast<char>(UpperCaseByte(static_cast<uint8_t>(c)));
        return Made{Text(string(bytes, 3, kEncodingASCII)), key};
      },
  };
  for (size_t family = 0; family < std::size(families); ++family) {
    std::mt19937_64 random(42);
    std::unordered_map<std::string, int32_t> model;
    for (int32_t step = 0; step < 12000; ++step) {
      const uint64_t r = random() % 3000;
      const auto [box, key] = families[family](r, random() % 2);
      const auto found = model.find(key);
      const bool known = found != model.end();
      const uint64_t action = random() % 4;
      if (action < 2) {
        Set(Kept(box), intToVariant(step));
        model[key] = step;
      } else if (action == 2) {
        dictionaryRemove(mDictionary, box);
        ASSERT_EQ(TakePendingClassName(), known ? "" : "KeyNotFoundException") << family << " " << step;
        if (known) model.erase(found);
      } else {
        ASSERT_EQ(Has(Kept(box)), known) << family << " " << step;
        ASSERT_TRUE(!known || IntAt(Kept(box)) == found->second) << family << " " << step;
      }
      RuntimeUnlockObject(box);
      ASSERT_EQ(dictionaryCount(mDictionary), static_cast<int32_t>(model.size())) << family << " " << step;
    }
    dictionaryRemoveAll(mDictionary);
  }
}

// A key of the differential below from r, in one of its spellings (number box, NaN sign, case,
// encoding), with the model's name for it.
std::pair<RuntimeObject*, std::string> ModelKey(uint32_t r, uint32_t spelling) {
  const uint32_t n = r / 4, s = spelling % 3;
  const std::string digits = std::to_string(n);
  switch (r % 4) {
    case 0:
      return {s == 0 ? intToVariant(static_cast<int32_t>(n * 3)) : s == 1 ? NewUIntegerVariant(n * 3) : doubleToVariant(n * 3.0),
              "n" + digits};
    case 1:
      if (n % 64 == 0) return {doubleToVariant(s ? std::nan("") : -std::nan("")), "nan"};
      return {doubleToVariant(n + 0.5), "d" + digits};
    case 2:
      return {stringToVariant((s == 2 ? string("\xe9toile" + digits, 0x0201)  // Latin-1
                                      : string((s ? "\xc3\x89TOILE" : "\xc3\xa9toile") + digits, kEncodingUTF8))
                                  .Rep()),
              "s" + digits};
    default:
      return {n % 3 ? booleanToVariant(n % 3 == 2) : nullptr, n % 3 ? (n % 3 == 2 ? "true" : "false") : "nil"};
  }
}

// A value whose destructor looks its key up in the Dictionary, which must by then agree with the
// model as it stands after the call that runs the destructor.
struct ProberObject { RuntimeObject header; uint32_t r; int32_t step; };
struct Held { int32_t step; std::list<std::string>::iterator place; };
RuntimeObject* sProbed = nullptr;
std::unordered_map<std::string, Held> sModel;
bool sProbesAgreed = true;

void ProberFinal(RuntimeObject* self) {
  auto [key, name] = ModelKey(reinterpret_cast<ProberObject*>(self)->r, 0);
  RuntimeObject* value = DictionaryLookup(sProbed, key, nullptr);
  sProbesAgreed &= (value != nullptr) == (sModel.count(name) == 1) && dictionaryCount(sProbed) == static_cast<int32_t>(sModel.size());
  RuntimeUnlockObject(value);
  RuntimeUnlockObject(key);
}

RuntimeObject* NewProber(uint32_t r, int32_t step) {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("DictionaryProber");
    definition.mInstanceSize = sizeof(ProberObject);
    definition.mFinalizer = {reinterpret_cast<void*>(&ProberFinal), nullptr};
  }
  auto* prober = reinterpret_cast<ProberObject*>(CreateInstanceFromDefinition(&definition));
  prober->r = r;
  prober->step = step;
  return &prober->header;
}

// Against a model (a map and the insertion order) through seeded Set, Lookup, HasKey, Remove and
// re-adding, Clear, walks by position and absent whole numbers, from 16 slots to 2^20.
TEST_F(DictionaryTest, AgreesWithAModelThroughRemovalsClearsAndDestructors) {
  struct Row { uint32_t fill, keys, steps; int32_t reachedBins; } rows[] = {
      {1, 24, 6000, 16}, {4000, 32000, 30000, 1 << 13}, {66000, 528000, 3000, 1 << 18}, {263000, 2104000, 1500, 1 << 20}};
  sProbed = mDictionary;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reachedBins);
    std::mt19937 random(row.keys);
    std::list<std::string> order;
    auto set = [&](uint32_t r, int32_t step) {
      auto [key, name] = ModelKey(r, random());
      if (!sModel.count(name)) sModel[name].place = order.insert(order.end(), name);
      sModel[name].step = step;
      Set(key, random() % 6 ? intToVariant(step) : NewProber(r, step));
    };
    auto stepOf = [](RuntimeObject* v) { return !v ? -2 : AsIntegerBox(v) ? variantToInt(v) : reinterpret_cast<ProberObject*>(v)->step; };
    for (uint32_t n = 0; n < row.fill; ++n) set(n * 4, static_cast<int32_t>(n));
    EXPECT_GE(dictionaryGetBins(mDictionary, 0), row.reachedBins);
    for (uint32_t step = 0; step < row.steps; ++step) {
      const uint32_t r = random() % row.keys, action = step + 1 < row.steps ? random() % 100 : 99;  // ends cleared
      auto [key, name] = ModelKey(r, random());
      const auto found = sModel.find(name);
      const bool known = found != sModel.end();
      if (action < 35) {
        set(r, static_cast<int32_t>(step));
      } else if (action < 70) {
        RuntimeObject* value = DictionaryLookup(mDictionary, key, nullptr);
        ASSERT_EQ(stepOf(value), known ? found->second.step : -2) << name;
        ASSERT_EQ(dictionaryHasKey(mDictionary, key), known ? 1 : 0) << name;
        RuntimeUnlockObject(value);
        for (uint32_t k = 0; k < 32; ++k)  // absent whole numbers in step with the present ones
          ASSERT_FALSE(Has(intToVariant(static_cast<int32_t>((row.keys / 4 + (step * 32 + k) % row.keys) * 3))));
      } else if (action < 97) {
        if (known) order.erase(found->second.place), sModel.erase(found);
        dictionaryRemove(mDictionary, key);
        ASSERT_EQ(TakePendingClassName(), known ? "" : "KeyNotFoundException") << name;
        if (known && random() % 2) set(r, -1);  // back in, now last
      } else if (action < 99) {
        auto entry = order.begin();
        for (int32_t index = 0; entry != order.end() && index < 200; ++entry, ++index) {  // the start is enough
          RuntimeObject* value = dictionaryValueByIndex(mDictionary, index);
          ASSERT_TRUE(stepOf(value) == sModel.at(*entry).step && Has(dictionaryKey(mDictionary, index))) << *entry << " at " << index;
          RuntimeUnlockObject(value);
        }
      } else {
        sModel.clear();
        order.clear();
        dictionaryRemoveAll(mDictionary);
        for (uint32_t kind = 0; kind < 12; ++kind) ASSERT_FALSE(Has(ModelKey(kind * 5, kind).first)) << kind;
      }
      RuntimeUnlockObject(key);
      ASSERT_EQ(dictionaryCount(mDictionary), static_cast<int32_t>(sModel.size())) << step;
      ASSERT_TRUE(sProbesAgreed) << step;
    }
  }
}

// A text key is the key of every text the language's comparison finds equal to it, and of no
// other: case folds (by code point in UTF-8, UTF-16 and UTF-32, through the 8-bit table in any
// other one encoding), encodings meet where converting is exact, and bytes that convert to
// nothing stay apart, also from the same bytes of another encoding.
TEST_F(DictionaryTest, TextsAreOneKeyExactlyWhenTheLanguageComparesThemEqual) {
  const EncodingCode latin1 = 0x0201, windows1252 = 0x0500, shiftJIS = 0x0A01;
  const string sjisPath("C:\\Users\\\x8e\x52\x93\x63", 13, shiftJIS);
  struct Case {
    string stored, asked;
    bool same;
  } cases[] = {
      {string("A\x80", 2, kEncodingASCII), string("A\x81", 2, kEncodingASCII), false},
      {string("a\xe9", 2, kEncodingASCII), string("A\xc9", 2, kEncodingASCII), true},
      {string("\xc3\xa9", 2, kEncodingUnknown), string("\xc3\x89", 2, kEncodingUnknown), false},
      {string("\x00\xd8", 2, kEncodingUTF16), string("\x01\xd8", 2, kEncodingUTF16), false},  // lone surrogates
      {string("\x9a", 1, windows1252), string("\x8a", 1, windows1252), true},  // š / Š: letters the table leaves
      {string("A\x80", 2, kEncodingUTF8), string("A\x81", 2, kEncodingUTF8), false},
      {string("\xe9t\xe9", 3, latin1), string("\xc3\x89T\xc3\x89", 5, kEncodingUTF8), true},
      {string("abc", 3, kEncodingASCII), string("A\0B\0C\0", 6, kEncodingUTF16), true},
      {string("\xe9\0t\0\xe9\0", 6, kEncodingUTF16), string("\xc3\x89T\xc3\x89", 5, kEncodingUTF8), true},
      {string("x\0\x3d\xd8\x01\xde", 6, kEncodingUTF16), string("X\xf0\x9f\x98\x81", 5, kEncodingUTF8), true},  // a pair
      {string("\xe9\0\0\0\0\x04\x01\0", 8, kEncodingUTF32), string("\xc3\x89\xf0\x90\x90\x80", 6, kEncodingUTF8), true},
      {string("a\0\0\xd8", 4, kEncodingUTF16), string("A\0\0\xd8", 4, kEncodingUTF16), true},  // a lone surrogate
      {string("\x61\x4e", 2, kEncodingUTF16), string("\xe4\xb9\xa1", 3, kEncodingUTF8), true},  // the table folds "aN" to "AN"
      {string("\x61\x4e", 2, kEncodingUTF16), string("\x41\x4e", 2, kEncodingUTF16), false},
      // Raw texts of two encodings with the same table-folded bytes: cœur / cúur, žš / ûö, ヂ / ƒA.
      {string("c\x9cur", 4, windows1252), string("c\x9cur", 4, kEncodingMacRoman), false},
      {string("\x9e\x9a", 2, windows1252), string("\x9e\x9a", 2, kEncodingMacRoman), false},
      {string("\x83\x61", 2, shiftJIS), string("\x83\x41", 2, windows1252), false},
      {string("\x9a", 1, windows1252), string("\xc5\xa0", 2, kEncodingUTF8), true},
      {string("\x8e", 1, kEncodingMacRoman), string("\x83", 1, kEncodingMacRoman), true},
      // Raw texts (0x81 is no character in either) with the same bytes: \x81Ã / \x81Ă.
      {string("\x81\xc3", 2, windows1252), string("\x81\xc3", 2, 0x0501), false},
      {string("\x82\xa0\x82\xa9", 4, shiftJIS), string("\xe3\x81\x82\xe3\x81\x8b", 6, kEncodingUTF8), true},
      {string("\xa4\xa2" "A", 3, 0x0920), string("\x82\xa0\x61", 3, shiftJIS), true},  // あA / あa
      {string("\x82\x60", 2, shiftJIS), string("\x82\x81", 2, shiftJIS), true},  // full-width Ａ / ａ
      // Shift_JIS C:\Users\山田 is found by its own UTF-8 form, and not by the one with yen signs.
      {sjisPath, ConvertTextEncoding(sjisPath, kEncodingUTF8), true},
      {sjisPath, string("C:\xc2\xa5Users\xc2\xa5\xe5\xb1\xb1\xe7\x94\xb0", 17, kEncodingUTF8), false},
      // ISO-2022-JP spelt with ESC $ @ and a repeated escape, against UTF-8 and ESC $ B.
      {string("\x1b$@4A\x1b$@;z\x1b(B", 13, 0x0820), string("\xe6\xbc\xa2\xe5\xad\x97", 6, kEncodingUTF8), true},
      {string("\x1b$@4A\x1b(B", 8, 0x0820), string("\x1b$B4A\x1b(B", 8, 0x0820), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stored.View()) + " / " + std::string(c.asked.View()));
    ASSERT_EQ(c.stored.Compare(c.asked) == 0, c.same) << "the row says what the language says";
    Set(Text(c.stored), intToVariant(1));
    EXPECT_EQ(Has(Text(c.asked)), c.same);
    Set(Text(c.asked), intToVariant(2));
    EXPECT_EQ(dictionaryCount(mDictionary), c.same ? 1 : 2);
    EXPECT_EQ(IntAt(Text(c.stored)), c.same ? 2 : 1) << "an unequal key overwrote the first";
    dictionaryRemoveAll(mDictionary);
  }
}

// BinCount is a hint: any size keeps every key and none asks for more than the cap; a negative
// one is refused.
TEST_F(DictionaryTest, BinCountHintsAreCappedAndKeepTheKeys) {
  for (int32_t hint : {2147483647, (1 << 30) + 1, (1 << 20) + 1, 0, -1, INT32_MIN}) {
    SCOPED_TRACE(hint);
    for (int32_t i = 0; i < 40; ++i) Set(intToVariant(i), intToVariant(i + 1));
    dictionarySetBins(mDictionary, 0, hint);
    EXPECT_EQ(TakePendingClassName(), hint < 0 ? "OutOfBoundsException" : "");
    const int32_t bins = dictionaryGetBins(mDictionary, 0);
    EXPECT_TRUE(bins >= 80 && bins <= static_cast<int32_t>(VariantTable::kMostHintedSlots)) << bins;
    Set(intToVariant(40), intToVariant(41));
    for (int32_t i = 0; i <= 40; ++i) ASSERT_EQ(IntAt(intToVariant(i)), i + 1) << i;
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
