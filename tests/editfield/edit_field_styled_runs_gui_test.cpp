// Styles of a styled multi-line field's own characters: set through the selection and through
// the field's StyledText, read back as selection styles, as runs, as TextStyleData and as the
// pixels the field draws.
#include <gtest/gtest.h>

#include <string>

#include "editfield/styled_text_class.h"
#include "editfield/support/edit_field_fixture.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "vorn/editfield_api.h"
#include "vorn/styled_text_api.h"

namespace vorn {
namespace {

using test::PackedStream;

constexpr uint32_t kRed = 0xFF0000;

class EditFieldStyledRunsTest : public test::EditFieldTest {
 protected:
  RuntimeObject* NewStyledField(const char* text, bool styled = true) {
    return NewField(PackedStream()
                        .Text(test::kEfText, text)
                        .Bool(test::kEfStyled, styled)
                        .Bool(test::kEfMultiLine, true)
                        .Int(test::kEfTextSize, 12),
                    MakeRect(20, 20, 320, 140));
  }

  static std::string RunText(RuntimeObject* run) {
    StyleRunObject* fields = AsStyleRunObject(run);
    return fields && fields->text ? std::string(string::Share(fields->text).View()) : std::string();
  }

  // Pixels of the field's first line that are clearly red.
  int32_t RedPixels() {
    test::FlushWindowDrawing(native);
    int32_t count = 0;
    for (int32_t v = 22; v < 70; ++v) {
      for (int32_t h = 22; h < 318; ++h) {
        uint32_t p = test::WindowScreenPixel(native, h, v);
        if (p != 0xFFFFFFFF && (p >> 16 & 0xFF) > 160 && (p >> 8 & 0xFF) < 90 && (p & 0xFF) < 90) ++count;
      }
    }
    return count;
  }
};

TEST_F(EditFieldStyledRunsTest, SelectionStylesOnlyTouchSelectedCharactersOfAStyledField) {
  RuntimeObject* field = NewStyledField("abcdef");
  EditControlGTK* pane = PaneOf(field);

  pane->SetSelection(2, 2);
  editSelBoldSetter(field, 0, 1);
  EXPECT_FALSE(pane->GetBold(0, 6, nullptr)) << "nothing selected: nothing changes";

  pane->SetSelection(1, 3);
  editSelBoldSetter(field, 0, 1);
  editSelTextColorSetter(field, 0, kRed);
  EXPECT_TRUE(editSelBoldGetter(field, 0));
  EXPECT_EQ(editSelTextColorGetter(field, 0), kRed);

  pane->SetSelection(1, 4);
  EXPECT_FALSE(editSelBoldGetter(field, 0)) << "the last selected character is not bold";
  EXPECT_EQ(editSelTextColorGetter(field, 0), 0u) << "red followed by uncoloured characters is mixed";
  pane->SetSelection(0, 2);
  EXPECT_EQ(editSelTextColorGetter(field, 0), 0u) << "uncoloured followed by red is mixed too";
  pane->SetSelection(1, 1);
  EXPECT_TRUE(editSelBoldGetter(field, 0)) << "the character after the insertion point is bold";

  bool mixed = false;
  EXPECT_FALSE(pane->GetBold(0, 6, &mixed));
  EXPECT_TRUE(mixed);
  EXPECT_TRUE(pane->GetBold(1, 2, &mixed));
  EXPECT_FALSE(mixed);

  pane->SetSelection(0, 2);
  editToggleSelectionBold(field);
  EXPECT_TRUE(pane->GetBold(0, 3, nullptr)) << "a partly bold selection toggles to bold";
  editToggleSelectionBold(field);
  EXPECT_FALSE(pane->GetBold(0, 1, nullptr));
  EXPECT_TRUE(pane->GetBold(2, 1, nullptr)) << "outside the selection";

  pane->SetSelection(0, 6);
  editSelPlainSetter(field, 0, 1);
  EXPECT_FALSE(pane->GetBold(1, 2, nullptr)) << "Plain takes bold away";
  EXPECT_EQ(pane->GetColor(1, 2, nullptr), kRed) << "and leaves the colour";

  // A plain multi-line field keeps one style.
  RuntimeObject* plain = NewStyledField("abc", false);
  PaneOf(plain)->SetSelection(0, 2);
  editSelBoldSetter(plain, 0, 1);
  EXPECT_FALSE(editSelBoldGetter(plain, 0));
  EXPECT_EQ(PaneOf(plain)->RunCount(), 0);
}

TEST_F(EditFieldStyledRunsTest, FontsAndSizesAreCommonOnlyWhenEveryCharacterSharesThem) {
  RuntimeObject* field = NewStyledField("abcdef");
  EditControlGTK* pane = PaneOf(field);
  pane->SetFont(0, 3, string("Serif"));
  pane->SetFont(3, 3, string("Monospace"));
  EXPECT_EQ(std::string(pane->GetFont(0, 3, nullptr).View()), "Serif");
  bool mixed = false;
  EXPECT_EQ(std::string(pane->GetFont(0, 6, &mixed).View()), "");
  EXPECT_TRUE(mixed);
  pane->SetFont(2, 1, string("Serif"));
  pane->SetFont(1, 1, string("Monospace"));
  EXPECT_EQ(std::string(pane->GetFont(0, 3, nullptr).View()), "") << "A, B, A is mixed";

  pane->SetFont(0, 1, string("serif"));
  pane->SetFont(1, 1, string("SERIF"));
  EXPECT_EQ(std::string(pane->GetFont(0, 2, nullptr).View()), "SERIF") << "letter case does not count";

  EXPECT_EQ(pane->GetSize(0, 6, nullptr), 12) << "untagged characters have the field's size";
  pane->SetSize(0, 2, 24);
  EXPECT_EQ(pane->GetSize(0, 2, nullptr), 24);
  EXPECT_EQ(pane->GetSize(0, 6, nullptr), 0);
  EXPECT_EQ(pane->GetSize(2, 4, nullptr), 12);
  pane->SetSelection(0, 2);
  EXPECT_EQ(editSelTextSizeGetter(field, 0), 24);
  editSelTextSizeSetter(field, 0, 18);
  EXPECT_EQ(pane->GetSize(0, 2, nullptr), 18) << "the new size replaces the old one";

  // Ranges reaching past the text are clipped to it.
  pane->SetBold(4, 100, true);
  EXPECT_TRUE(pane->GetBold(4, 2, nullptr));
  EXPECT_FALSE(pane->GetBold(-5, 3, nullptr));
}

TEST_F(EditFieldStyledRunsTest, RunsFollowTheTagsAndEditTheFieldInPlace) {
  RuntimeObject* field = NewStyledField("");
  EditControlGTK* pane = PaneOf(field);
  ASSERT_EQ(pane->RunCount(), 1) << "an empty field has one empty run";
  RuntimeObject* run = pane->GetRun(0);
  EXPECT_EQ(RunText(run), "");
  RuntimeUnlockObject(run);

  StyleRunData bold;
  bold.bold = true;
  bold.text = string("xy");
  RuntimeObject* boldRun = NewStyleRunObject(bold);
  pane->AppendRun(boldRun);
  EXPECT_EQ(Text(field), "xy");
  ASSERT_EQ(pane->RunCount(), 1);
  run = pane->GetRun(0);
  ASSERT_NE(AsStyleRunObject(run), nullptr);
  EXPECT_TRUE(AsStyleRunObject(run)->bold);
  EXPECT_EQ(RunText(run), "xy");
  RuntimeUnlockObject(run);

  StyleRunData red;
  red.color = kRed;
  red.font = string("Serif");
  red.size = 20;
  red.text = string(std::string_view("\xC3\xA4" "b"), kEncodingUTF8);
  RuntimeObject* redRun = NewStyleRunObject(red);
  pane->InsertRun(redRun, 0);
  EXPECT_EQ(Text(field), "\xC3\xA4" "bxy") << "index 0 inserts at the start";
  ASSERT_EQ(pane->RunCount(), 2);
  run = pane->GetRun(0);
  EXPECT_EQ(AsStyleRunObject(run)->textColor, kRed);
  EXPECT_EQ(AsStyleRunObject(run)->size, 20);
  EXPECT_FALSE(AsStyleRunObject(run)->bold);
  RuntimeUnlockObject(run);

  RuntimeObject* range = pane->GetRunRange(1);
  ASSERT_NE(range, nullptr);
  auto* r = reinterpret_cast<RangeObject*>(range);
  EXPECT_EQ(r->startPos, 2) << "characters, not bytes";
  EXPECT_EQ(r->length, 2);
  RuntimeUnlockObject(range);

  pane->RemoveRun(0);
  EXPECT_EQ(Text(field), "xy");
  EXPECT_EQ(pane->RunCount(), 1);
  EXPECT_EQ(pane->GetRun(5), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  pane->RemoveRun(5);
  pane->InsertRun(nullptr, 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(Text(field), "xy") << "bad indices and a nil run change nothing";
  RuntimeUnlockObject(boldRun);
  RuntimeUnlockObject(redRun);
}

TEST_F(EditFieldStyledRunsTest, AStyledTextAssignedToAFieldReadsBackTheSameAndDrawsItsColour) {
  RuntimeObject* field = NewStyledField("");
  RuntimeObject* given = CreateInstanceFromDefinition(GetStyledTextClassDefinition());
  StyledTextSetter(given, 0, string("WWW MMM").Rep());
  StyledTextSetColor(given, 0, 3, kRed);
  StyledTextSetSize(given, 0, 7, 28);
  StyledTextSetBold(given, 4, 3, 1);

  test::ShowAndSettle(native);
  StyledTextObjectSetter(field, 0, given);
  RuntimeUnlockObject(given);
  EXPECT_EQ(Text(field), "WWW MMM");

  RuntimeObject* own = StyledTextObjectGetter(field, 0);
  EXPECT_EQ(std::string(string::Adopt(StyledTextGetter(own, 0)).View()), "WWW MMM");
  ASSERT_EQ(StyledTextRunCountGetter(own, 0), 3);
  EXPECT_EQ(StyledTextGetColor(own, 0, 3), kRed);
  EXPECT_EQ(StyledTextGetSize(own, 4, 3), 28);
  EXPECT_TRUE(StyledTextGetBold(own, 4, 3));
  EXPECT_FALSE(StyledTextGetBold(own, 3, 1));
  RuntimeUnlockObject(own);

  EXPECT_GT(RedPixels(), 20) << "the red run draws red";
  PaneOf(field)->SetColor(0, 3, 0x000000);
  EXPECT_EQ(RedPixels(), 0);
}

TEST_F(EditFieldStyledRunsTest, TypingInsideARunGrowsIt) {
  RuntimeObject* field = NewStyledField("abcd");
  EditControlGTK* pane = PaneOf(field);
  pane->SetBold(1, 2, true);
  pane->SetColor(1, 2, kRed);
  ShowAndClick(field);
  pane->SetSelection(2, 2);
  Type("xy");
  EXPECT_EQ(Text(field), "abxycd");
  ASSERT_EQ(pane->RunCount(), 3);
  RuntimeObject* run = pane->GetRun(1);
  EXPECT_EQ(RunText(run), "bxyc");
  EXPECT_TRUE(AsStyleRunObject(run)->bold);
  EXPECT_EQ(AsStyleRunObject(run)->textColor, kRed);
  RuntimeUnlockObject(run);
}

TEST_F(EditFieldStyledRunsTest, TextStyleDataRoundTripsThroughAStyledField) {
  RuntimeObject* field = NewStyledField("abc");
  EditControlGTK* pane = PaneOf(field);
  EXPECT_EQ(std::string(pane->GetTextStyleData().View()), std::string("\x00\x0C\x00\x0C\x00\x0C", 6))
      << "plain characters in the default font";

  pane->SetBold(0, 1, true);
  pane->SetItalic(1, 1, true);
  pane->SetColor(1, 2, 0x102030);
  pane->SetFont(2, 1, string("Serif"));
  pane->SetSize(2, 1, 20);
  string data = pane->GetTextStyleData();
  EXPECT_EQ(std::string(data.View()),
            std::string("\x01\x0C" "\x12\x10\x20\x30\x0C" "\x18\x05Serif\x10\x20\x30\x14", 18));

  RuntimeObject* copy = NewStyledField("");
  PaneOf(copy)->SetTextAndStyle(string("abc"), data);
  EXPECT_EQ(Text(copy), "abc");
  EXPECT_EQ(std::string(PaneOf(copy)->GetTextStyleData().View()), std::string(data.View()));

  // Too few records leave the rest plain; surplus records are ignored.
  PaneOf(copy)->SetTextAndStyle(string("abcd"), string("\x01\x0C", 2));
  EXPECT_TRUE(PaneOf(copy)->GetBold(0, 1, nullptr));
  EXPECT_FALSE(PaneOf(copy)->GetBold(1, 3, nullptr));
  PaneOf(copy)->SetTextAndStyle(string("a"), string("\x01\x0C\x01\x0C\x01\x0C", 6));
  EXPECT_EQ(Text(copy), "a");
  EXPECT_TRUE(PaneOf(copy)->GetBold(0, 1, nullptr));
}

}  // namespace
}  // namespace vorn
