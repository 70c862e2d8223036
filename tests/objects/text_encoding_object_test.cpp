#include "objects/support/value_test.h"
#include "objects/text_encoding_object.h"

namespace vorn::testing {
namespace {

using TextEncodingObjectTest = ValueTest;

TEST_F(TextEncodingObjectTest, OneSharedObjectPerCode) {
  RuntimeObject* utf8 = GetTEObjectFromEncoding(kEncodingUTF8);
  RuntimeObject* again = GetTEObjectFromEncoding(kEncodingUTF8);
  RuntimeObject* latin1 = GetTEObjectFromEncoding(0x0201);
  ASSERT_NE(utf8, nullptr);
  EXPECT_EQ(utf8, again);
  EXPECT_NE(utf8, latin1);
  EXPECT_EQ(GetTEObjectFromEncoding(kEncodingUnknown), nullptr);
  EXPECT_EQ(GetEncodingFromTEObject(utf8), kEncodingUTF8);
  EXPECT_EQ(GetEncodingFromTEObject(nullptr), kEncodingUnknown);
  EXPECT_EQ(TextEncodingEquals(utf8, again), 1);
  EXPECT_EQ(TextEncodingEquals(utf8, latin1), 0);
  EXPECT_EQ(TextEncodingEquals(utf8, nullptr), 0);
  RuntimeUnlockObject(again);
  RuntimeUnlockObject(utf8);
  RuntimeUnlockObject(latin1);
  EXPECT_EQ(utf8->refCount, 1) << "the cache keeps the object";
  RuntimeObject* third = GetTEObjectFromEncoding(kEncodingUTF8);
  EXPECT_EQ(third, utf8);
  RuntimeUnlockObject(third);
}

TEST_F(TextEncodingObjectTest, PartsNamesAndCharacters) {
  RuntimeObject* utf8 = GetTEObjectFromEncoding(kEncodingUTF8);
  EXPECT_EQ(textEncodingBaseGetter(utf8, 0), 0x100);
  EXPECT_EQ(textEncodingVariantGetter(utf8, 0), 0);
  EXPECT_EQ(textEncodingFormatGetter(utf8, 0), 2);
  EXPECT_EQ(Take(textEncodingInternetName(utf8, 0)), "UTF-8");
  StringRep* e = TextEncodingChr(utf8, 0xE9);
  EXPECT_EQ(e->encoding, kEncodingUTF8);
  EXPECT_EQ(Take(e), "\xC3\xA9");
  RuntimeUnlockObject(utf8);
  RuntimeObject* windows = GetTEObjectFromEncoding(0x0500);
  EXPECT_EQ(Take(textEncodingInternetName(windows, 0)), "windows-1252");
  StringRep* euro = TextEncodingChr(windows, 0x20AC);
  EXPECT_EQ(Take(euro), "\x80");
  RuntimeUnlockObject(windows);
  EXPECT_EQ(textEncodingBaseGetter(nullptr, 0), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

}  // namespace
}  // namespace vorn::testing
