// Cursor bitmaps from 'CURS' records and from the built-in pixel art, the MouseCursor class
// and the cursors module without a display, and the records of the private clipboards.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/resource_records.h"
#include "objects/runtime_class.h"
#include "objects/runtime_object.h"
#include "vorn/cursor_api.h"
#include "windows/clipboard_records.h"
#include "windows/cursor_record.h"
#include "windows/mouse_cursor_class.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

// A hand-made record: a frame with a diagonal, the mask the frame's inside; hot spot (x 5, y 3).
const CursorArt kHandMade = {{
    "XXXXXXXXXXXXXXXX",
    "XX.............X",
    "XoX............X",
    "XooX...........X",
    "XoooX..........X",
    "XooooX.........X",
    "XoooooX........X",
    "XooooooX.......X",
    "XoooooooX......X",
    "XooooooooX.....X",
    "XoooooooooX....X",
    "XooooooooooX...X",
    "XoooooooooooX..X",
    "XooooooooooooX.X",
    "XoooooooooooooXX",
    "XXXXXXXXXXXXXXXX",
}, 5, 3};

// The art written out the classic way: rows of two bytes, leftmost pixel in the top bit.
std::vector<uint8_t> ClassicRecord(const CursorArt& art) {
  std::vector<uint8_t> record(68, 0);
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      const char pixel = art.rows[row][column];
      const auto bit = static_cast<uint8_t>(0x80 >> (column % 8));
      if (pixel == 'X') record[row * 2 + column / 8] |= bit;
      if (pixel == 'X' || pixel == 'o') record[32 + row * 2 + column / 8] |= bit;
    }
  }
  record[64] = static_cast<uint8_t>(art.hotSpotY >> 8);
  record[65] = static_cast<uint8_t>(art.hotSpotY);
  record[66] = static_cast<uint8_t>(art.hotSpotX >> 8);
  record[67] = static_cast<uint8_t>(art.hotSpotX);
  return record;
}

bool Pixel(const uint8_t* plane, int x, int y) { return (plane[y * 2 + x / 8] >> (x % 8)) & 1; }

TEST(CursorBits, AResourceRecordAndTheSamePictureDrawnAsArtGiveTheSameBitmaps) {
  std::vector<uint8_t> record = ClassicRecord(kHandMade);
  EXPECT_EQ(record[0], 0xFF);   // the top row: all black
  EXPECT_EQ(record[2], 0xC0);   // "XX......": leftmost pixels in the top bits
  EXPECT_EQ(record[3], 0x01);   // "...X" at the right end of the row
  EXPECT_EQ(record[34], 0xC0);  // row 1 of the mask: "XX" then outside
  std::optional<CursorRecord> decoded = DecodeCursorRecord(record.data(), 68);
  ASSERT_TRUE(decoded.has_value());
  const CursorRecord drawn = CursorBitsFromArt(kHandMade);
  EXPECT_EQ(std::memcmp(decoded->image, drawn.image, 32), 0);
  EXPECT_EQ(std::memcmp(decoded->mask, drawn.mask, 32), 0);
  EXPECT_EQ(decoded->image[2], 0x03);  // GDK order: the leftmost pixel in the lowest bit
  EXPECT_EQ(decoded->hotSpotH, 5);
  EXPECT_EQ(decoded->hotSpotV, 3);
  EXPECT_EQ(drawn.hotSpotH, 5);
  EXPECT_EQ(drawn.hotSpotV, 3);
  // Pixel by pixel: black where the art says X, in the mask wherever it says X or o.
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const char pixel = kHandMade.rows[y][x];
      EXPECT_EQ(Pixel(drawn.image, x, y), pixel == 'X') << x << "," << y;
      EXPECT_EQ(Pixel(drawn.mask, x, y), pixel != '.') << x << "," << y;
    }
  }
}

TEST(CursorBits, RecordsOfTheWrongLengthAreRefusedAndLongerOnesReadTheFirst68Bytes) {
  std::vector<uint8_t> record = ClassicRecord(kHandMade);
  EXPECT_FALSE(DecodeCursorRecord(nullptr, 68).has_value());
  EXPECT_FALSE(DecodeCursorRecord(record.data(), 0).has_value());
  EXPECT_FALSE(DecodeCursorRecord(record.data(), 67).has_value());
  record.resize(80, 0xFF);
  std::optional<CursorRecord> longer = DecodeCursorRecord(record.data(), 80);
  ASSERT_TRUE(longer.has_value());
  EXPECT_EQ(longer->hotSpotH, 5);
  EXPECT_EQ(longer->hotSpotV, 3);
}

TEST(CursorBits, EveryBuiltInPictureIsWholeAndItsHotSpotSitsOnIt) {
  const int withArt[] = {0, 1, 2, 3, 4, 5, 10, 11, 12};
  for (int index : withArt) {
    const CursorArt* art = BuiltInCursorArt(index);
    ASSERT_NE(art, nullptr) << index;
    for (const char* row : art->rows) {
      ASSERT_EQ(std::strlen(row), 16u) << index;
      EXPECT_EQ(std::strspn(row, "Xo."), 16u) << index << ": " << row;
    }
    const CursorRecord bits = CursorBitsFromArt(*art);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(bits.image[i] & ~bits.mask[i], 0) << index;
    ASSERT_GE(bits.hotSpotH, 0);
    ASSERT_LT(bits.hotSpotH, 16);
    ASSERT_GE(bits.hotSpotV, 0);
    ASSERT_LT(bits.hotSpotV, 16);
    // The arrows' and splitters' hot spots are black pixels of the picture; the hands grip
    // around theirs.
    if (index >= 2) {
      EXPECT_TRUE(Pixel(bits.image, bits.hotSpotH, bits.hotSpotV)) << index;
    }
  }
  // The finger pointer points with its fingertip at x 7 on the top row.
  const CursorArt* finger = BuiltInCursorArt(12);
  EXPECT_EQ(finger->hotSpotX, 7);
  EXPECT_EQ(finger->hotSpotY, 0);
  EXPECT_EQ(finger->rows[0][7], 'X');
  for (int index : {6, 7, 8, 9, 13, -1}) EXPECT_EQ(BuiltInCursorArt(index), nullptr) << index;
}

class MouseCursorClass : public ::testing::Test {
 protected:
  void SetUp() override { mBaseline = LiveObjectCount(); }
  void TearDown() override {
    appMouseCursorSetter(nullptr, 0, nullptr);
    SetCurrentCursorRecord(nullptr);
    // The module and its cursors stay until exit once made; nothing else may.
    EXPECT_LE(LiveObjectCount(), mBaseline + 2);
  }
  int32_t mBaseline = 0;
};

TEST_F(MouseCursorClass, TheModulesCursorsAreMadeOnceAndTheFreeStandingOnesEveryTime) {
  ObjectDefinition* definition = GetMouseCursorClassDefinition();
  EXPECT_EQ(std::string(definition->mName.View()), "MouseCursor");
  EXPECT_EQ(std::string(definition->mFinalizer.entryName), "mouseCursorDestructor");
  ObjectDefinition* module = GetCursorsModuleDefinition();
  EXPECT_TRUE(module->IsModule());
  ASSERT_EQ(module->mInstanceVariables.size(), 13u);
  EXPECT_EQ(module->mInstanceVariables[0].Signature(), "HandOpen%o<MouseCursor>%");
  EXPECT_EQ(module->mInstanceVariables[12].Signature(), "Wait%o<MouseCursor>%");
  EXPECT_EQ(module->mInstanceVariables[12].setter, nullptr);

  RuntimeObject* cursors = GetCursorsClass();
  RuntimeObject* again = GetCursorsClass();
  EXPECT_EQ(cursors, again);
  RuntimeUnlockObject(again);
  // StandardPointer needs no display: it is the default arrow, an empty record.
  RuntimeObject* standard = GetStandardPointerCursor(cursors, 0);
  RuntimeObject* standardAgain = GetStandardPointerCursor(cursors, 0);
  EXPECT_EQ(standard, standardAgain);
  ASSERT_NE(MouseCursorRecordOf(standard), nullptr);
  EXPECT_EQ(MouseCursorRecordOf(standard)->cursor, nullptr);
  RuntimeUnlockObject(standardAgain);
  RuntimeUnlockObject(standard);
  RuntimeUnlockObject(cursors);

  RuntimeObject* arrow = getArrowCursor();
  RuntimeObject* arrow2 = getArrowCursor();
  EXPECT_NE(arrow, arrow2);
  ASSERT_NE(MouseCursorRecordOf(arrow), nullptr);
  EXPECT_EQ(MouseCursorRecordOf(arrow)->cursor, nullptr);
  EXPECT_EQ(MouseCursorRecordOf(nullptr), nullptr);
  RuntimeObject* notACursor = CreateInstanceFromDefinition(GetCursorsModuleDefinition());
  EXPECT_EQ(MouseCursorRecordOf(notACursor), nullptr);
  RuntimeUnlockObject(notACursor);
  RuntimeUnlockObject(arrow);
  RuntimeUnlockObject(arrow2);
}

TEST_F(MouseCursorClass, TheApplicationHoldsItsCursorUntilReplaced) {
  RuntimeObject* arrow = getArrowCursor();
  appMouseCursorSetter(nullptr, 0, arrow);
  EXPECT_EQ(GetApplicationCursor(), arrow);
  RuntimeUnlockObject(arrow);
  EXPECT_EQ(MouseCursorRecordOf(GetApplicationCursor())->cursor, nullptr);  // still alive
  const int32_t before = LiveObjectCount();
  appMouseCursorSetter(nullptr, 0, nullptr);
  EXPECT_EQ(GetApplicationCursor(), nullptr);
  EXPECT_EQ(LiveObjectCount(), before - 1);
}

TEST_F(MouseCursorClass, TheCurrentCursorKeepsItsOwnCopyAndNilOrAnEmptyRecordClearIt) {
  MouseCursor* empty = NewEmptyCursorRecord();
  SetCurrentCursorRecord(empty);
  EXPECT_EQ(GetCurrentCursorRecord(), nullptr);  // the default cursor: nothing current
  DeleteCursorRecord(empty);
  ResetCurrentCursor();
  EXPECT_EQ(GetCurrentCursorRecord(), nullptr);
  SetCurrentCursorRecord(nullptr);
  EXPECT_EQ(GetCurrentCursorRecord(), nullptr);
  EXPECT_EQ(NewStockCursorRecord(6600), nullptr);
  EXPECT_EQ(NewStockCursorRecord(6604), nullptr);
  EXPECT_EQ(CopyCursorRecord(nullptr), nullptr);
}

TEST(ClipboardRecords, RecordsRoundTripInLittleEndianOrder) {
  std::vector<uint8_t> bytes = EncodePictureClipRecord({36, 5, 12, 0x01020304});
  ASSERT_EQ(bytes.size(), PictureClipRecord::kLength);
  EXPECT_EQ(bytes[0], 36);
  EXPECT_EQ(bytes[12], 0x04);
  EXPECT_EQ(bytes[15], 0x01);
  std::optional<PictureClipRecord> picture = DecodePictureClipRecord(bytes.data(), 16);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->stride, 36);
  EXPECT_EQ(picture->height, 5);
  EXPECT_EQ(picture->width, 12);
  EXPECT_EQ(picture->serial, 0x01020304u);

  bytes = EncodeTypedClipRecord({0x08000100, 7, 9});
  ASSERT_EQ(bytes.size(), TypedClipRecord::kLength);
  std::optional<TypedClipRecord> typed = DecodeTypedClipRecord(bytes.data(), 12);
  ASSERT_TRUE(typed.has_value());
  EXPECT_EQ(typed->encoding, 0x08000100u);
  EXPECT_EQ(typed->length, 7);
  EXPECT_EQ(typed->serial, 9u);
}

TEST(ClipboardRecords, AnswersOfAnotherLengthOrImpossibleSizesAreIgnored) {
  std::vector<uint8_t> picture = EncodePictureClipRecord({30, 10, 10, 1});
  EXPECT_FALSE(DecodePictureClipRecord(picture.data(), 15).has_value());
  EXPECT_FALSE(DecodePictureClipRecord(picture.data(), 17).has_value());
  EXPECT_FALSE(DecodePictureClipRecord(nullptr, 16).has_value());
  std::vector<uint8_t> narrow = EncodePictureClipRecord({29, 10, 10, 1});  // rows too short
  EXPECT_FALSE(DecodePictureClipRecord(narrow.data(), 16).has_value());
  std::vector<uint8_t> negative = EncodePictureClipRecord({30, -1, 10, 1});
  EXPECT_FALSE(DecodePictureClipRecord(negative.data(), 16).has_value());
  std::vector<uint8_t> typed = EncodeTypedClipRecord({0x600, -5, 1});
  EXPECT_FALSE(DecodeTypedClipRecord(typed.data(), 12).has_value());
  typed = EncodeTypedClipRecord({0x600, 5, 1});
  EXPECT_FALSE(DecodeTypedClipRecord(typed.data(), 16).has_value());
}

TEST(ClipboardRecords, LineEndsBecomeSingleLineFeeds) {
  auto convert = [](const char* text) {
    return std::string(ConvertClipboardLineEnds(string(text)).View());
  };
  EXPECT_EQ(convert("a\r\nb"), "a\nb");
  EXPECT_EQ(convert("a\n\nb"), "a\nb");
  EXPECT_EQ(convert("a\rb"), "a\nb");
  EXPECT_EQ(convert("a\n\n\nb"), "a\n\nb");  // one pass: three line feeds leave two
  EXPECT_EQ(convert("plain"), "plain");
  EXPECT_EQ(convert(""), "");
}

}  // namespace
}  // namespace vorn
