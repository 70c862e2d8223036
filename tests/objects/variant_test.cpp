#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <set>

#include "objects/date_class.h"
#include "objects/runtime_class.h"
#include "objects/support/test_classes.h"
#include "objects/support/value_test.h"
#include "objects/variant.h"

namespace vorn::testing {
namespace {

// Owns one reference to a Variant.
struct V {
  explicit V(RuntimeObject* object) : object(object) {}
  ~V() { RuntimeUnlockObject(object); }
  V(const V&) = delete;
  V& operator=(const V&) = delete;
  RuntimeObject* object;
  operator RuntimeObject*() const { return object; }  // NOLINT(google-explicit-constructor)
};

class VariantTest : public ValueTest {
 protected:
  static RuntimeObject* Str(const char* text) { return stringToVariant(string(text, static_cast<int32_t>(std::strlen(text)), kEncodingUTF8).Rep()); }
  static std::string Text(RuntimeObject* v) { return Take(variantToString(v)); }
};

TEST_F(VariantTest, BoxesCarryTheirHiddenClassesAndVarTypes) {
  V i(intToVariant(5)), d(doubleToVariant(2.5)), s(Str("x")), b(booleanToVariant(1)), c(colorToVariant(0xFF0000));
  V u(NewUIntegerVariant(7));
  EXPECT_EQ(std::string(ClassOf(i)->mName.View()), "Variant(Integer)");
  EXPECT_EQ(std::string(ClassOf(s)->mName.View()), "Variant(String)");
  EXPECT_EQ(std::string(ClassOf(u)->mName.View()), "Variant(UInteger)");
  EXPECT_TRUE(RuntimeObjectIsaDefinition(c, GetVariantClassDefinition()));
  EXPECT_EQ(VarType(nullptr), 0);
  EXPECT_EQ(VarType(i), 2);
  EXPECT_EQ(VarType(d), 5);
  EXPECT_EQ(VarType(b), 11);
  EXPECT_EQ(VarType(s), kVarTypeString);
  EXPECT_EQ(VarType(c), kVarTypeColor);
  RuntimeObject* base = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  V object(objectToVariant(base));
  RuntimeUnlockObject(base);
  EXPECT_EQ(VarType(object), 9);
  V date(DateToVariant(V(NewDateObject())));
  EXPECT_EQ(VarType(date), 7);
  EXPECT_EQ(IsNull(nullptr), 1);
  EXPECT_EQ(IsNull(i), 0);
}

TEST_F(VariantTest, ConversionsAcrossKinds) {
  V numberText(Str("  42.75abc")), trueText(Str("tRUE")), hexText(Str("&h00FF00"));
  EXPECT_EQ(variantToInt(numberText), 42);
  EXPECT_DOUBLE_EQ(variantToDouble(numberText), 42.75);
  EXPECT_EQ(variantToBoolean(trueText), 1);
  EXPECT_EQ(variantToBoolean(V(Str("no"))), 0);
  EXPECT_EQ(variantToColor(hexText), 0x00FF00u);

  EXPECT_EQ(Text(V(intToVariant(-12))), "-12");
  EXPECT_EQ(Text(V(doubleToVariant(0.5))), "0.5");
  EXPECT_EQ(Text(V(booleanToVariant(0))), "False");
  EXPECT_EQ(Text(V(colorToVariant(0x00A0B0C0))), "&h00A0B0C0");
  EXPECT_EQ(Text(V(NewUIntegerVariant(4000000000u))), "4000000000");
  EXPECT_EQ(Text(nullptr), "");

  EXPECT_EQ(variantToInt(V(doubleToVariant(-3.99))), -3) << "toward zero";
  EXPECT_EQ(variantToInt(V(doubleToVariant(1e20))), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(variantToInt(V(doubleToVariant(std::nan("")))), 0);
  EXPECT_EQ(variantToInt(V(booleanToVariant(1))), 1);
  EXPECT_EQ(variantToInt(V(NewUIntegerVariant(0xFFFFFFFFu))), -1) << "same bits";
  EXPECT_EQ(variantToInt(nullptr), 0);
  EXPECT_EQ(variantToBoolean(V(doubleToVariant(0.0))), 0);

  V i(intToVariant(3));
  EXPECT_EQ(variantToObject(i), nullptr) << "a boxed value is no object";
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
}

TEST_F(VariantTest, ObjectsConvertOnlyThroughTheirOwnConverters) {
  RuntimeObject* base = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  EXPECT_EQ(variantToInt(base), 0);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  EXPECT_EQ(Text(base), "");
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  V same(variantToObject(base));
  EXPECT_EQ(same.object, base);
  EXPECT_EQ(base->refCount, 2);
  RuntimeUnlockObject(base);

  // A box's Operator_Convert methods are ordinary methods any caller can find.
  V d(doubleToVariant(7.9));
  void* toInteger = nullptr;
  for (const ObjectMethod& m : GetDoubleVariantClassDefinition()->mMethods)
    if (m.result == "i4") toInteger = m.function;
  ASSERT_NE(toInteger, nullptr);
  EXPECT_EQ(reinterpret_cast<int32_t (*)(RuntimeObject*)>(toInteger)(d), 7);
}

TEST_F(VariantTest, DatesConvertToTextSecondsAndBack) {
  V date(NewDateFromParts(2024, 2, 29, 13, 5, 9));
  EXPECT_EQ(Text(date), "2024-02-29 13:05:09");
  V fromText(VariantToDate(V(Str("2024-02-29 13:05:09"))));
  ASSERT_NE(fromText.object, nullptr);
  EXPECT_EQ(DateCompare(fromText, date), 0);
  V fromSeconds(VariantToDate(V(doubleToVariant(variantToDouble(date)))));
  EXPECT_EQ(DateCompare(fromSeconds, date), 0);
  EXPECT_EQ(VariantToDate(V(Str("yesterday"))), nullptr);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  EXPECT_EQ(VariantToDate(V(booleanToVariant(1))), nullptr);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
}

TEST_F(VariantTest, ComparisonsAcrossKinds) {
  V two(intToVariant(2)), twoAndHalf(doubleToVariant(2.5)), ten(Str("10")), apple(Str("apple")), Apple(Str("APPLE"));
  EXPECT_EQ(VariantCompare(two, twoAndHalf), -1);
  EXPECT_EQ(VariantCompare(ten, two), 1) << "a string against a number compares as its number";
  EXPECT_EQ(VariantCompare(V(Str("9")), ten), 1) << "two strings compare as text";
  EXPECT_EQ(VariantCompare(apple, Apple), 0);
  EXPECT_EQ(VariantCompare(nullptr, two), -1);
  EXPECT_EQ(VariantCompare(two, nullptr), 1);
  EXPECT_EQ(VariantCompare(nullptr, nullptr), 0);
  V nan(doubleToVariant(std::nan("")));
  EXPECT_EQ(VariantCompare(nan, twoAndHalf), 1);
  EXPECT_EQ(VariantCompare(nan, nan), 0);
  V big(NewUIntegerVariant(4000000000u)), minus(intToVariant(-1));
  EXPECT_EQ(VariantCompare(minus, big), -1) << "no unsigned wrap-around";
  VariantCompare(V(booleanToVariant(1)), two);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
}

TEST_F(VariantTest, ArithmeticKeepsIntegersAndPromotes) {
  V a(intToVariant(7)), b(intToVariant(2)), half(doubleToVariant(0.5)), s(Str("3"));
  V sum(VariantAdd(a, b));
  EXPECT_EQ(VarType(sum), 2);
  EXPECT_EQ(variantToInt(sum), 9);
  V mixed(VariantAdd(a, half));
  EXPECT_EQ(VarType(mixed), 5);
  EXPECT_DOUBLE_EQ(variantToDouble(mixed), 7.5);
  V withText(VariantMultiply(a, s));
  EXPECT_DOUBLE_EQ(variantToDouble(withText), 21);
  V joined(VariantAdd(V(Str("ab")), V(Str("cd"))));
  EXPECT_EQ(Text(joined), "abcd");
  EXPECT_DOUBLE_EQ(variantToDouble(V(VariantDivide(a, b))), 3.5);
  EXPECT_EQ(variantToInt(V(VariantIntegerDivide(a, b))), 3);
  EXPECT_EQ(variantToInt(V(VariantModulo(a, b))), 1);
  EXPECT_EQ(variantToInt(V(VariantSubtractRight(a, b))), -5) << "the Right form puts self second";
  EXPECT_DOUBLE_EQ(variantToDouble(V(VariantPowerRight(b, a))), 49);
  EXPECT_EQ(variantToInt(V(VariantNegate(a))), -7);

  V zero(intToVariant(0)), minInt(intToVariant(std::numeric_limits<int32_t>::min())), minusOne(intToVariant(-1));
  EXPECT_EQ(variantToInt(V(VariantIntegerDivide(a, zero))), 0) << "no trap on division by zero";
  EXPECT_EQ(variantToInt(V(VariantModulo(a, zero))), 0);
  EXPECT_EQ(variantToInt(V(VariantIntegerDivide(minInt, minusOne))), std::numeric_limits<int32_t>::min());
  V wrapped(VariantAdd(V(intToVariant(std::numeric_limits<int32_t>::max())), V(intToVariant(1))));
  EXPECT_EQ(variantToInt(wrapped), std::numeric_limits<int32_t>::min()) << "Integers wrap";

  V t(booleanToVariant(1)), f(booleanToVariant(0));
  EXPECT_EQ(variantToBoolean(V(VariantAnd(t, f))), 0);
  EXPECT_EQ(variantToBoolean(V(VariantOr(t, f))), 1);
  EXPECT_EQ(variantToBoolean(V(VariantNot(f))), 1);
  EXPECT_EQ(variantToInt(V(VariantAnd(V(intToVariant(12)), V(intToVariant(10))))), 8);
  EXPECT_EQ(VariantAdd(t, a), nullptr);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  EXPECT_EQ(VariantAnd(t, a), nullptr);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
}

TEST_F(VariantTest, NumericTests) {
  EXPECT_EQ(RuntimeIsNumeric(V(Str(" -1.5e3 "))), 1);
  EXPECT_EQ(RuntimeIsNumeric(V(Str("1.5x"))), 0);
  EXPECT_EQ(RuntimeIsNumeric(V(Str("."))), 0);
  EXPECT_EQ(RuntimeIsNumeric(V(booleanToVariant(1))), 0);
  EXPECT_EQ(RuntimeIsNumeric(V(doubleToVariant(1))), 1);
  EXPECT_EQ(RuntimeTypeOfNumeric(V(Str("17"))), kVarTypeInteger);
  EXPECT_EQ(RuntimeTypeOfNumeric(V(Str("17.0"))), kVarTypeDouble);
  EXPECT_EQ(RuntimeTypeOfNumeric(V(Str("99999999999"))), kVarTypeDouble);
  EXPECT_EQ(RuntimeTypeOfNumeric(V(Str("abc"))), 0);
}

TEST_F(VariantTest, KeyEqualityAndHashAgree) {
  V one(intToVariant(1)), oneReal(doubleToVariant(1.0)), oneAndBit(doubleToVariant(1.0000001));
  EXPECT_TRUE(VariantEqual(one, oneReal));
  EXPECT_EQ(VariantHash(one), VariantHash(oneReal));
  EXPECT_FALSE(VariantEqual(one, oneAndBit));
  V text(Str("Straße")), upper(Str("STRASSE")), mixed(Str("strAße"));
  EXPECT_TRUE(VariantEqual(text, mixed));
  EXPECT_EQ(VariantHash(text), VariantHash(mixed));
  EXPECT_FALSE(VariantEqual(text, upper));
  string latin1("\xE9t\xE9", 3, 0x0201);  // "été" in ISO 8859-1
  V e1(stringToVariant(latin1.Rep())), e2(Str("\xC3\x89T\xC3\x89"));  // "ÉTÉ" in UTF-8
  EXPECT_TRUE(VariantEqual(e1, e2)) << "encodings and case are both ignored";
  EXPECT_EQ(VariantHash(e1), VariantHash(e2));
  EXPECT_FALSE(VariantEqual(V(Str("1")), one)) << "a key's kind matters";
  EXPECT_FALSE(VariantEqual(V(booleanToVariant(1)), one));
  V nan1(doubleToVariant(std::nan(""))), nan2(doubleToVariant(std::nan("")));
  EXPECT_TRUE(VariantEqual(nan1, nan2));
  EXPECT_EQ(VariantHash(nan1), VariantHash(nan2));
  EXPECT_EQ(VariantHash(V(doubleToVariant(-0.0))), VariantHash(V(intToVariant(0))));
}

// Whole numbers packed the ways programs pack them (and a hash that folds 64 bits to 32 cannot
// tell apart) get about as many hashes as there are numbers.
TEST_F(VariantTest, PackedWholeNumbersHashAsManyWaysAsThereAreNumbers) {
  const std::pair<const char*, double (*)(int32_t)> families[] = {
      {"h * (2^32 + 1)", [](int32_t i) { return i * 4294967297.0; }},
      {"row * 2^32 + column", [](int32_t i) { return (i / 32) * 4294967296.0 + i % 32; }},
  };
  for (const auto& [name, number] : families) {
    std::set<int32_t> hashes;
    for (int32_t i = 0; i < 1024; ++i) hashes.insert(VariantHash(V(doubleToVariant(number(i)))));
    EXPECT_GT(hashes.size(), 1000u) << name;
  }
}

}  // namespace
}  // namespace vorn::testing
