#include <cmath>

#include "objects/blowfish_entry_points.h"
#include "objects/date_class.h"
#include "objects/random_class.h"
#include "objects/support/value_test.h"
#include "objects/text_functions.h"
#include "support/process_locale.h"

namespace vorn::testing {
namespace {

class TextFunctionsTest : public ValueTest {
 protected:
  void TearDown() override {
    ClearTextFunctionObjects();
    ValueTest::TearDown();
  }
  static string UTF8(const char* text) { return string(std::string_view(text), kEncodingUTF8); }
};

TEST_F(TextFunctionsTest, EncodingsOfStrings) {
  RuntimeObject* utf8 = getInternetTextEncoding(UTF8("utf-8").Rep());
  RuntimeObject* latin1 = getTextEncoding(0x0201, 0, 0);
  RuntimeObject* windows = getInternetTextEncoding(UTF8("Windows-1252").Rep());
  EXPECT_EQ(GetEncodingFromTEObject(utf8), kEncodingUTF8);
  EXPECT_EQ(GetEncodingFromTEObject(latin1), 0x0201u);
  EXPECT_EQ(GetEncodingFromTEObject(windows), 0x0500u);
  EXPECT_EQ(getInternetTextEncoding(UTF8("no-such-set").Rep()), nullptr);
  EXPECT_EQ(getTextEncoding(0x10000, 0, 0), nullptr) << "base outside 16 bits";
  EXPECT_EQ(getTextEncoding(-1, 0, 0), nullptr);
  EXPECT_EQ(getTextEncoding(0xFFFF, 0, 0), nullptr) << "the unknown encoding";

  string cafe = UTF8("caf\xC3\xA9");
  string inLatin1 = string::Adopt(StringConvertEncoding(cafe.Rep(), latin1));
  EXPECT_EQ(inLatin1.Encoding(), 0x0201u);
  EXPECT_EQ(std::string(inLatin1.View()), "caf\xE9");
  RuntimeObject* got = StringGetEncoding(inLatin1.Rep());
  EXPECT_EQ(got, latin1);
  RuntimeUnlockObject(got);
  EXPECT_EQ(StringGetEncoding(nullptr), nullptr);

  string retagged = string::Adopt(StringSetEncoding(inLatin1.Rep(), utf8));
  EXPECT_EQ(retagged.Encoding(), kEncodingUTF8);
  EXPECT_EQ(std::string(retagged.View()), "caf\xE9") << "DefineEncoding keeps the bytes";
  EXPECT_EQ(string::Adopt(StringSetEncoding(cafe.Rep(), nullptr)).Encoding(), kEncodingUnknown);

  string unchanged = string::Adopt(StringConvertEncoding(cafe.Rep(), nullptr));
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(unchanged.Rep(), cafe.Rep());

  RuntimeObject* converter = getTextConverter(latin1, utf8);
  EXPECT_EQ(Take(textConverterConvert(converter, string("caf\xE9", 4, kEncodingUnknown).Rep())), "caf\xC3\xA9");
  textConverterClear(converter);
  RuntimeUnlockObject(converter);
  // An emoji ISO-2022-JP lacks is one "?" in ASCII, never two bytes inside the kanji set.
  RuntimeObject* utf16 = getTextEncoding(kEncodingUTF16, 0, 0);
  RuntimeObject* jis = getInternetTextEncoding(UTF8("ISO-2022-JP").Rep());
  converter = getTextConverter(utf16, jis);
  EXPECT_EQ(Take(textConverterConvert(converter, string("\x22\x6F\x3D\xD8\x00\xDE" "a\0", 8, kEncodingUTF16).Rep())),
            "\x1B$B4A\x1B(B?a");
  for (RuntimeObject* o : {converter, utf16, jis}) RuntimeUnlockObject(o);

  RuntimeObject* encodings = GetEncodingsObject();
  RuntimeObject* viaModule = EncodingsGetter(encodings, 0x0201);
  EXPECT_EQ(viaModule, latin1);
  RuntimeUnlockObject(viaModule);
  viaModule = EncodingsGetFromCode(encodings, static_cast<int32_t>(kEncodingUTF8));
  EXPECT_EQ(viaModule, utf8);
  RuntimeUnlockObject(viaModule);
  RuntimeUnlockObject(encodings);
  for (RuntimeObject* o : {utf8, latin1, windows}) RuntimeUnlockObject(o);
}

TEST_F(TextFunctionsTest, GuessJapaneseEncoding) {
  struct {
    std::string bytes;
    uint32_t expected;
  } cases[] = {
      {"", kEncodingASCII},
      {"plain", kEncodingASCII},
      {"\x1B$B$3$s\x1B(B", 0x0820},                         // ISO-2022-JP
      {"\xE3\x81\x93\xE3\x82\x93", kEncodingUTF8},          // こん
      {"\x82\xB1\x82\xF1\x93\xFA\x96\x7B", 0x0A01},        // こん日本 in Shift_JIS
      {"\xA4\xB3\xA4\xF3\xC6\xFC\xCB\xDC", 0x0920},        // the same in EUC-JP
      {"abc\x82\xA0", 0x0A01},                                // ASCII, then a Shift_JIS hiragana
  };
  for (const auto& c : cases) {
    string text(c.bytes.data(), static_cast<int32_t>(c.bytes.size()), kEncodingUnknown);
    RuntimeObject* guessed = guessJapaneseEncoding(text.Rep());
    EXPECT_EQ(GetEncodingFromTEObject(guessed), c.expected) << c.bytes;
    RuntimeUnlockObject(guessed);
  }
}

TEST_F(TextFunctionsTest, EndOfLineObject) {
  RuntimeObject* eol = RuntimeGetEndOfLineObject();
  ASSERT_NE(eol, nullptr);
  string x = UTF8("x");
  EXPECT_EQ(Take(RuntimeEndOfLineAdd(eol, x.Rep())), "\nx");
  EXPECT_EQ(Take(RuntimeEndOfLineAddRight(eol, x.Rep())), "x\n");
  EXPECT_EQ(Take(RuntimeEndOfLineAdd(eol, nullptr)), "\n");
  EXPECT_EQ(RuntimeEndOfLineCompare(eol, UTF8("\n").Rep()), 0);
  EXPECT_NE(RuntimeEndOfLineCompare(eol, UTF8("\r\n").Rep()), 0);
  RuntimeUnlockObject(eol);
}

TEST_F(TextFunctionsTest, SplitAndJoin) {
  struct {
    const char* source;
    const char* delimiter;
    bool bytes;
    int32_t upperBound;
    std::string joined;  // the pieces joined with "|"
  } cases[] = {
      {"a,b,,c", ",", false, 3, "a|b||c"},
      {"", ",", false, -1, ""},
      {"aXbxc", "x", false, 2, "a|b|c"},
      {"aXbxc", "x", true, 1, "aXb|c"},
      {"abc", "", false, 0, "abc"},
      {"\xC3\xA9\xE2\x82\xAC\xC3\xA9", "\xE2\x82\xAC", false, 1, "\xC3\xA9|\xC3\xA9"},
  };
  string bar = UTF8("|");
  for (const auto& c : cases) {
    string source = UTF8(c.source), delimiter = UTF8(c.delimiter);
    VornArray* pieces = c.bytes ? StringSplitB(source.Rep(), delimiter.Rep()) : StringSplit(source.Rep(), delimiter.Rep());
    ASSERT_NE(pieces, nullptr) << c.source;
    EXPECT_EQ(pieces->upperBound[0], c.upperBound) << c.source;
    EXPECT_EQ(Take(StringJoin(pieces, bar.Rep())), c.joined) << c.source;
    RuntimeUnlockArray(pieces);
  }
  EXPECT_EQ(StringJoin(nullptr, bar.Rep()), nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  VornArray* numbers = CreateArray(kVornArrayInteger, 1, 2);
  EXPECT_EQ(StringJoin(numbers, bar.Rep()), nullptr);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  RuntimeUnlockArray(numbers);
}

TEST_F(TextFunctionsTest, RandomIsReproducibleFromItsSeed) {
  RuntimeObject* a = CreateInstance(GetRandomClassDefinition());
  RuntimeObject* b = CreateInstanceFromDefinition(GetRandomClassDefinition());
  RandomSeedSetter(a, 0, 12345);
  RandomSeedSetter(b, 0, 12345);
  for (int i = 0; i < 20; ++i) {
    double x = RandomNumber(a);
    EXPECT_EQ(x, RandomNumber(b));
    EXPECT_GE(x, 0.0);
    EXPECT_LT(x, 1.0);
    int32_t n = RandomNumberInRangeMinMax(a, -3, 3);
    EXPECT_EQ(n, RandomNumberInRangeMinMax(b, -3, 3));
    EXPECT_GE(n, -3);
    EXPECT_LE(n, 3);
    int32_t below = RandomNumberLessThan(a, 10);
    EXPECT_EQ(below, RandomNumberLessThan(b, 10));
    EXPECT_GE(below, 0);
    EXPECT_LT(below, 10);
    double g = RandomGaussian(a);
    EXPECT_EQ(g, RandomGaussian(b));
    EXPECT_TRUE(std::isfinite(g));
  }
  // The span of the widest range does not fit an Integer.
  EXPECT_GE(RandomNumberInRangeMinMax(a, INT32_MAX - 1, INT32_MAX), INT32_MAX - 1);
  EXPECT_LE(RandomNumberInRangeMinMax(a, INT32_MIN, INT32_MIN + 1), INT32_MIN + 1);
  RandomSeedSetter(a, 0, -12345);
  RandomSeedSetter(b, 0, 12345);
  EXPECT_EQ(RandomNumber(a), RandomNumber(b)) << "a negative seed counts by its magnitude";

  EXPECT_EQ(RandomNumberLessThan(a, 0), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(RandomNumberInRangeMinMax(a, 5, 4), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(RandomNumber(nullptr), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(RandomGaussian(nullptr), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");

  // Gaussian numbers have mean about 0 and spread about 1.
  double sum = 0, squares = 0;
  for (int i = 0; i < 4000; ++i) {
    double g = RandomGaussian(a);
    sum += g;
    squares += g * g;
  }
  EXPECT_NEAR(sum / 4000, 0.0, 0.1);
  EXPECT_NEAR(squares / 4000, 1.0, 0.15);
  RuntimeUnlockObject(a);
  RuntimeUnlockObject(b);
}

TEST_F(TextFunctionsTest, BlowfishRows) {
  BlowfishInitialize(string("abcdefghijklmnopqrstuvwxyz").Rep());
  uint32_t left = 0x424C4F57, right = 0x46495348;  // "BLOWFISH"
  BlowfishEncipher(&left, &right);
  EXPECT_EQ(left, 0x324ED0FEu);
  EXPECT_EQ(right, 0xF413A203u);
  BlowfishDecipher(&left, &right);
  EXPECT_EQ(left, 0x424C4F57u);

  string sealed = string::Adopt(BlowfishEncipherByBlock(string("BLOWFISH!").Rep()));
  ASSERT_EQ(sealed.Length(), 16) << "a partial block is padded";
  EXPECT_EQ(sealed.Encoding(), kEncodingUnknown);
  EXPECT_EQ(static_cast<uint8_t>(sealed.CString()[0]), 0x32);
  std::string opened = Take(BlowfishDecipherByBlock(sealed.Rep()));
  EXPECT_EQ(opened, std::string("BLOWFISH!\0\0\0\0\0\0\0", 16));
  EXPECT_EQ(BlowfishEncipherByBlock(nullptr), nullptr);

  BlowfishInitialize(nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  BlowfishEncipher(nullptr, &right);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

TEST_F(TextFunctionsTest, ParseDate) {
  // A short date is read in the locale's order; a year of one or two digits with the pivot of
  // "%y" in every locale, never as the years 0-99.
  struct {
    const char* locale;
    const char* text;
    bool parses;
    int32_t year, month, day, hour, minute;
  } cases[] = {
      {"C", "2003-12-31", true, 2003, 12, 31, 0, 0},
      {"C", "2003-12-31 10:20:30", true, 2003, 12, 31, 10, 20},
      {"C", "0024-03-05", true, 24, 3, 5, 0, 0},  // the SQL form's four digits as written
      {"C", "12/31/03", true, 2003, 12, 31, 0, 0},  // the C locale's short date
      {"C", "12/31/2003 08:05", true, 2003, 12, 31, 8, 5},
      {"C", "Wednesday, December 31, 2003", true, 2003, 12, 31, 0, 0},
      {"C", "Feb 29, 2004", true, 2004, 2, 29, 0, 0},
      {"C", "Feb 29, 04", true, 2004, 2, 29, 0, 0},
      {"C", "Feb 29, 2003", false, 0, 0, 0, 0, 0},
      {"C", "2003-13-01", false, 0, 0, 0, 0, 0},
      {"C", "2003-12-31 and more", false, 0, 0, 0, 0, 0},
      {"C", "05-03-24", false, 0, 0, 0, 0, 0},  // no SQL form with a short year
      {"C", "", false, 0, 0, 0, 0, 0},
      {"C", "\xC3\xA9", false, 0, 0, 0, 0, 0},
      {"de_DE.UTF-8", "05.03.24", true, 2024, 3, 5, 0, 0},
      {"de_DE.UTF-8", "31.12.99 10:20", true, 1999, 12, 31, 10, 20},
      {"de_DE.UTF-8", "01.01.69", true, 1969, 1, 1, 0, 0},
      {"de_DE.UTF-8", "29.02.00", true, 2000, 2, 29, 0, 0},
      {"de_DE.UTF-8", "05.03.2024", true, 2024, 3, 5, 0, 0},
      {"de_DE.UTF-8", "05-03-24", false, 0, 0, 0, 0, 0},
      {"tr_TR.UTF-8", "05-03-24", true, 2024, 3, 5, 0, 0},
      {"tr_TR.UTF-8", "05-03-2024", true, 2024, 3, 5, 0, 0},
      {"tr_TR.UTF-8", "2024-03-05", true, 2024, 3, 5, 0, 0},
      {"fr_FR.UTF-8", "05/03/24", true, 2024, 3, 5, 0, 0},
      {"fr_FR.UTF-8", "31/12/1999", true, 1999, 12, 31, 0, 0},
      {"de_DE.UTF-8", "5.3.24", true, 2024, 3, 5, 0, 0},  // typed, the pivot as ever
      {"de_DE.UTF-8", "05.03.0024", true, 24, 3, 5, 0, 0},
      {"de_DE.UTF-8", "05.03.20245:07", false, 0, 0, 0, 0, 0},  // the year's digits run into the time
      {"C", "03/05/245:07", false, 0, 0, 0, 0, 0},
      {"ar_EG.UTF-8", "05 \xD9\x85\xD8\xA7\xD8\xB1, 1999  02:07:09 \xD9\x85", true, 1999, 3, 5, 14, 7},
      {"fa_IR.UTF-8", "\xDB\xB9\xDB\xB9/\xDB\xB0\xDB\xB3/\xDB\xB0\xDB\xB5", true, 1999, 3, 5, 0, 0},
      {"de_DE.ISO-8859-1", "Dienstag, M\xC3\xA4rz 05, 2024", true, 2024, 3, 5, 0, 0},  // typed in UTF-8
  };
  for (const auto& c : cases) {
    test::ProcessLocale locale(c.locale);
    ASSERT_TRUE(locale.Loaded()) << c.locale;
    RuntimeObject* date = nullptr;
    EXPECT_EQ(parseDate(UTF8(c.text).Rep(), &date), c.parses ? 1 : 0) << c.locale << " " << c.text;
    if (!c.parses) {
      EXPECT_EQ(date, nullptr) << c.text;
      continue;
    }
    ASSERT_NE(date, nullptr) << c.text;
    int32_t got[] = {dateFieldGetter(date, kDateYear), dateFieldGetter(date, kDateMonth),
                     dateFieldGetter(date, kDateDay), dateFieldGetter(date, kDateHour),
                     dateFieldGetter(date, kDateMinute)};
    int32_t expected[] = {c.year, c.month, c.day, c.hour, c.minute};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(got[i], expected[i]) << c.locale << " " << c.text << " field " << i;
    RuntimeUnlockObject(date);
  }
  RuntimeObject* kept = NewDateFromParts(2000, 1, 2, 0, 0, 0);
  RuntimeObject* variable = kept;
  EXPECT_EQ(parseDate(UTF8("not a date").Rep(), &variable), 0);
  EXPECT_EQ(variable, kept);
  EXPECT_EQ(parseDate(UTF8("2001-02-03").Rep(), &variable), 1);
  EXPECT_NE(variable, kept) << "the old Date was released, a new one stored";
  RuntimeUnlockObject(variable);
  EXPECT_EQ(parseDate(nullptr, nullptr), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

}  // namespace
}  // namespace vorn::testing
