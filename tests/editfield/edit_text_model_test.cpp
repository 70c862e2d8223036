// The edit field's arithmetic without a widget: characters of UTF-8 text, selection clamping,
// the range a typed key replaces, appending to a limited text, Edit menu enabling and
// TextStyleData.
#include <gtest/gtest.h>

#include <string>

#include "editfield/edit_text_model.h"

namespace vorn {
namespace {

TEST(EditTextModel, CharactersAreCountedNotBytes) {
  EXPECT_EQ(UTF8CharacterCount(""), 0);
  EXPECT_EQ(UTF8CharacterCount("abc"), 3);
  EXPECT_EQ(UTF8CharacterCount("\xC3\xA4\xC3\xB6\xC3\xBC"), 3) << "three two-byte characters";
  EXPECT_EQ(UTF8CharacterCount("a\xE2\x82\xAC" "b"), 3);
  // A stray continuation byte and a cut-off sequence count one character each.
  EXPECT_EQ(UTF8CharacterCount("\x80" "a\xC3"), 3);
  std::string_view text = "\xC3\xA4" "b\xE2\x82\xAC";
  EXPECT_EQ(UTF8ByteOffsetOfCharacter(text, 0), 0);
  EXPECT_EQ(UTF8ByteOffsetOfCharacter(text, 1), 2);
  EXPECT_EQ(UTF8ByteOffsetOfCharacter(text, 2), 3);
  EXPECT_EQ(UTF8ByteOffsetOfCharacter(text, 3), 6);
  EXPECT_EQ(UTF8ByteOffsetOfCharacter(text, 9), 6) << "past the end stops at the end";
  EXPECT_EQ(UTF8ByteOffsetOfCharacter(text, -2), 0);
}

TEST(EditTextModel, SelectionsStayInsideTheTextWithTheEndNotBeforeTheStart) {
  auto check = [](int32_t start, int32_t end, int32_t length, int32_t wantStart, int32_t wantEnd) {
    EditSelection s = ClampSelection(start, end, length);
    EXPECT_EQ(s.start, wantStart) << start << ", " << end << " in " << length;
    EXPECT_EQ(s.end, wantEnd) << start << ", " << end << " in " << length;
  };
  check(1, 3, 5, 1, 3);
  check(-4, 2, 5, 0, 2);
  check(2, 99, 5, 2, 5);
  check(4, 1, 5, 4, 4);   // a negative length selects nothing
  check(9, 12, 5, 5, 5);  // past the end: an insertion point at the end
  check(0, 0x7FFFFFFF, 0, 0, 0);
  check(3, 3, -1, 0, 0);
  EXPECT_EQ(ClampSelection(1, 4, 6).Length(), 3);
}

TEST(EditTextModel, BackspaceAndDeleteWidenAnEmptySelectionAndControlCodesPassOn) {
  KeyEdit backspace = KeyEditFor(8, 3, 0);
  EXPECT_FALSE(backspace.passOn);
  EXPECT_EQ(backspace.start, 2);
  EXPECT_EQ(backspace.length, 1);
  EXPECT_TRUE(backspace.text.IsEmpty());
  KeyEdit atStart = KeyEditFor(8, 0, 0);
  EXPECT_EQ(atStart.start, -1) << "the delegate decides about a range before the text";
  KeyEdit del = KeyEditFor(127, 3, 0);
  EXPECT_EQ(del.start, 3);
  EXPECT_EQ(del.length, 1);
  KeyEdit overSelection = KeyEditFor(8, 1, 4);
  EXPECT_EQ(overSelection.start, 1);
  EXPECT_EQ(overSelection.length, 4);

  for (int32_t code : {9, 13, 3, 27, 28, 31}) EXPECT_TRUE(KeyEditFor(code, 0, 0).passOn) << code;

  KeyEdit letter = KeyEditFor('q', 2, 1);
  EXPECT_FALSE(letter.passOn);
  EXPECT_EQ(letter.start, 2);
  EXPECT_EQ(letter.length, 1);
  EXPECT_EQ(letter.text.View(), "q");
  EXPECT_EQ(letter.text.Encoding(), kEncodingUTF8);
  // A Latin-1 key types its character, never a lone byte that is no UTF-8.
  KeyEdit umlaut = KeyEditFor(0xE4, 0, 0);
  EXPECT_EQ(umlaut.text.View(), "\xC3\xA4");
  EXPECT_EQ(KeyCharacterString('a').Encoding(), kEncodingASCII);
  EXPECT_EQ(KeyCharacterString(0xE9).View(), "\xC3\xA9");
}

TEST(EditTextModel, AppendingToALimitedTextDropsTheOldestCharactersAndMovesTheSelection) {
  // Ten allowed, eight held, five appended: the first three go.
  AppendPlan plan = PlanAppend(8, 5, 2, 10, 5);
  EXPECT_EQ(plan.dropFromText, 3);
  EXPECT_EQ(plan.dropFromAppend, 0);
  EXPECT_TRUE(plan.restoreSelection);
  EXPECT_EQ(plan.selStart, 2);
  EXPECT_EQ(plan.selLength, 2);

  // A selection reaching into the dropped part keeps what is left of it.
  plan = PlanAppend(8, 1, 4, 10, 5);
  EXPECT_EQ(plan.selStart, 0);
  EXPECT_EQ(plan.selLength, 2);
  plan = PlanAppend(8, 0, 2, 10, 5);
  EXPECT_EQ(plan.selStart, 0);
  EXPECT_EQ(plan.selLength, 0);

  // An insertion point at the end follows the appended text.
  plan = PlanAppend(8, 8, 0, 0, 5);
  EXPECT_EQ(plan.dropFromText, 0);
  EXPECT_FALSE(plan.restoreSelection);
  plan = PlanAppend(8, 8, 0, 10, 5);
  EXPECT_FALSE(plan.restoreSelection);

  // Within the limit nothing goes.
  plan = PlanAppend(3, 1, 1, 10, 5);
  EXPECT_EQ(plan.dropFromText, 0);
  EXPECT_TRUE(plan.restoreSelection);
  EXPECT_EQ(plan.selStart, 1);

  // An appended text longer than the limit keeps its last characters only.
  plan = PlanAppend(4, 0, 0, 5, 8);
  EXPECT_EQ(plan.dropFromText, 4);
  EXPECT_EQ(plan.dropFromAppend, 3);
  EXPECT_FALSE(plan.restoreSelection);
}

TEST(EditTextModel, EditMenuItemsFollowSelectionPasswordAndReadOnly) {
  EXPECT_EQ(EditMenuItemFromName(string("editcopy")), EditMenuItem::kCopy);
  EXPECT_EQ(EditMenuItemFromName(string("EditSelectAll")), EditMenuItem::kSelectAll);
  EXPECT_EQ(EditMenuItemFromName(string("EditUndo")), EditMenuItem::kNone);
  EXPECT_STREQ(EditMenuItemName(EditMenuItem::kPaste), "EditPaste");

  auto enabled = [](const EditMenuState& s) {
    std::string out;
    for (int32_t i = 0; i < 5; ++i) {
      auto item = static_cast<EditMenuItem>(i);
      if (EditMenuItemEnabled(item, s)) out += std::string(EditMenuItemName(item)) + " ";
    }
    return out;
  };
  EXPECT_EQ(enabled({true, false, false, true}), "EditCut EditCopy EditClear EditPaste EditSelectAll ");
  EXPECT_EQ(enabled({true, false, true, true}), "EditCopy EditSelectAll ") << "read-only with a selection";
  EXPECT_EQ(enabled({true, true, false, false}), "EditClear EditSelectAll ") << "password";
  EXPECT_EQ(enabled({false, false, false, false}), "EditSelectAll ");
  EXPECT_EQ(enabled({false, false, false, true}), "EditPaste EditSelectAll ");
}

TEST(EditTextModel, WrappedLinesAndColours) {
  EXPECT_EQ(DisplayLineAt(0, 17), 0);
  EXPECT_EQ(DisplayLineAt(50, 17), 2);
  EXPECT_EQ(DisplayLineAt(50, 0), 0) << "no division by a zero height";
  EXPECT_EQ(DisplayLineAt(50, -3), 0);
  EXPECT_EQ(ColorFromComponents(0xFFFF, 0x8080, 0), 0xFF8000u);
  EXPECT_EQ(ColorFromComponents(0x1234, 0, 0x0101), 0x120001u);
}

TEST(EditTextModel, PlainStyleDataHasOneRecordPerCharacter) {
  string data = PlainTextStyleData(3, string("System"), 12);
  EXPECT_EQ(std::string(data.View()), std::string("\x00\x0C\x00\x0C\x00\x0C", 6));
  data = PlainTextStyleData(2, string("Serif"), 200);
  EXPECT_EQ(std::string(data.View()), std::string("\x08\x05Serif\x7F\x00\x7F", 10)) << "font once, size capped";
  EXPECT_TRUE(PlainTextStyleData(0, string("Serif"), 12).IsEmpty());
  std::string longName(140, 'x');
  data = PlainTextStyleData(1, string(longName.c_str()), 10);
  ASSERT_EQ(data.Length(), 2 + 127 + 1);
  EXPECT_EQ(data.Byte(1), 127);
}

TEST(EditTextModel, StyleDataRecordsReadBackAsWrittenAndCutShortDataStopsTheReading) {
  std::vector<TextStyleRecord> records(3);
  records[0].bold = true;
  records[0].font = string("System");
  records[0].size = 12;
  records[1].italic = records[1].underline = true;
  records[1].font = string("Serif");
  records[1].color = 0x102030;
  records[1].size = 24;
  records[2].font = string("Serif");
  records[2].size = 12;
  string data = WriteTextStyleData(records);
  EXPECT_EQ(std::string(data.View()), std::string("\x01\x0C\x1E\x05Serif\x10\x20\x30\x18\x00\x0C", 15));

  std::vector<TextStyleRecord> read = ReadTextStyleData(data.View(), 10);
  ASSERT_EQ(read.size(), 3u) << "no more records than the data holds";
  EXPECT_TRUE(read[0].bold);
  EXPECT_TRUE(read[0].font.IsEmpty()) << "no font read yet";
  EXPECT_TRUE(read[1].italic && read[1].underline && read[1].hasColor);
  EXPECT_EQ(read[1].color, 0x102030u);
  EXPECT_EQ(read[1].size, 24);
  EXPECT_EQ(std::string(read[2].font.View()), "Serif") << "a record without a font keeps the one before";
  EXPECT_FALSE(read[2].hasColor);
  EXPECT_EQ(ReadTextStyleData(data.View(), 1).size(), 1u) << "surplus records are ignored";

  // Records cut short, a font longer than the data, a negative font length, a negative size.
  for (size_t cut = 0; cut < static_cast<size_t>(data.Length()); ++cut) {
    EXPECT_LE(ReadTextStyleData(data.View().substr(0, cut), 3).size(), 2u);
  }
  EXPECT_TRUE(ReadTextStyleData(std::string_view("\x08\x40" "ab\x0C", 5), 3).empty());
  EXPECT_TRUE(ReadTextStyleData(std::string_view("\x08\xF0" "ab\x0C", 5), 3).empty());
  read = ReadTextStyleData(std::string_view("\x00\xF0", 2), 1);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].size, 0);
}

}  // namespace
}  // namespace vorn
