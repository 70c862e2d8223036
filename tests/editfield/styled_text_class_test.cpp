// The StyledText, StyleRun, Range and Paragraph classes over a detached run store: text and
// runs, attribute ranges, paragraphs by line endings, nil and out-of-range arguments.
#include <gtest/gtest.h>

#include <string>

#include "editfield/styled_text_class.h"
#include "base/reloc_entry.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "support/class_test.h"
#include "vorn/editfield_api.h"
#include "vorn/styled_text_api.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

std::string Held(StringRep* rep) {
  std::string out(RepText(rep));
  RuntimeUnlockString(rep);
  return out;
}

class StyledTextClassTest : public test::IntrinsicClassTest {
 protected:
  RuntimeObject* NewText(const std::string& text) {
    RuntimeObject* styled = New(GetStyledTextClassDefinition());
    StyledTextSetter(styled, 0, string(text, kEncodingUTF8).Rep());
    return styled;
  }
  static std::string Text(RuntimeObject* styled) { return Held(StyledTextGetter(styled, 0)); }
  std::string RunText(RuntimeObject* styled, int32_t index) {
    RuntimeObject* run = Keep(StyledTextRunGetter(styled, index));
    StyleRunObject* fields = AsStyleRunObject(run);
    return fields ? std::string(RepText(fields->text)) : "<nil>";
  }
  // "start-end/length@alignment"
  std::string DescribeParagraph(RuntimeObject* styled, int32_t index) {
    RuntimeObject* p = Keep(StyledTextParagraphGetter(styled, index));
    if (!p) return "<nil>";
    auto* fields = reinterpret_cast<ParagraphObject*>(p);
    return std::to_string(fields->range.startPos) + "-" + std::to_string(fields->range.endPos) + "/" +
           std::to_string(fields->range.length) + "@" + std::to_string(fields->alignment);
  }
  static bool TakeException(ObjectDefinition* kind) {
    RuntimeObject* pending = TakePendingException();
    bool matches = pending && RuntimeObjectIsaDefinition(pending, kind);
    RuntimeUnlockObject(pending);
    return matches;
  }
};

TEST_F(StyledTextClassTest, TheClassesAreRegisteredAndTheirEntryPointsBound) {
  for (const char* name : {"StyledText", "StyleRun", "Paragraph", "Range"}) {
    EXPECT_NE(LookupIntrinsicClass(string(name)), nullptr) << name;
  }
  test::ExpectEntryPointsBound({
      {"StyledTextClassInitializer", Fn(&StyledTextClassInitializer)},
      {"StyledTextClassFinalizer", Fn(&StyledTextClassFinalizer)},
      {"StyledTextGetter", Fn(&StyledTextGetter)},
      {"StyledTextSetter", Fn(&StyledTextSetter)},
      {"StyledTextGetBold", Fn(&StyledTextGetBold)},
      {"StyledTextSetBold", Fn(&StyledTextSetBold)},
      {"StyledTextGetItalic", Fn(&StyledTextGetItalic)},
      {"StyledTextSetItalic", Fn(&StyledTextSetItalic)},
      {"StyledTextGetUnderline", Fn(&StyledTextGetUnderline)},
      {"StyledTextSetUnderline", Fn(&StyledTextSetUnderline)},
      {"StyledTextGetFont", Fn(&StyledTextGetFont)},
      {"StyledTextSetFont", Fn(&StyledTextSetFont)},
      {"StyledTextGetSize", Fn(&StyledTextGetSize)},
      {"StyledTextSetSize", Fn(&StyledTextSetSize)},
      {"StyledTextGetColor", Fn(&StyledTextGetColor)},
      {"StyledTextSetColor", Fn(&StyledTextSetColor)},
      {"StyledTextRunCountGetter", Fn(&StyledTextRunCountGetter)},
      {"StyledTextRunGetter", Fn(&StyledTextRunGetter)},
      {"TextRangeGetter", Fn(&TextRangeGetter)},
      {"InsertStyledTextRun", Fn(&InsertStyledTextRun)},
      {"AppendStyledTextRun", Fn(&AppendStyledTextRun)},
      {"RemoveStyledTextRun", Fn(&RemoveStyledTextRun)},
      {"StyledTextParagraphCountGetter", Fn(&StyledTextParagraphCountGetter)},
      {"StyledTextParagraphGetter", Fn(&StyledTextParagraphGetter)},
      {"StyledTextSetAlignment", Fn(&StyledTextSetAlignment)},
      {"StyleRunVNConstructor", Fn(&StyleRunVNConstructor)},
      {"RangeEndPosGetter", Fn(&RangeEndPosGetter)},
      {"StyledTextObjectGetter", Fn(&StyledTextObjectGetter)},
      {"StyledTextObjectSetter", Fn(&StyledTextObjectSetter)},
  });
}

TEST_F(StyledTextClassTest, StylingPartOfTheTextSplitsItIntoRuns) {
  RuntimeObject* fresh = New(GetStyledTextClassDefinition());
  EXPECT_EQ(Text(fresh), "");
  EXPECT_EQ(StyledTextRunCountGetter(fresh, 0), 1);

  RuntimeObject* styled = NewText("abc\xC3\xA4" "ef");
  StyledTextSetBold(styled, 0, 3, 1);
  EXPECT_EQ(StyledTextRunCountGetter(styled, 0), 2);
  EXPECT_EQ(RunText(styled, 0), "abc");
  EXPECT_EQ(RunText(styled, 1), "\xC3\xA4" "ef");
  EXPECT_EQ(StyledTextGetBold(styled, 2, 1), 1) << "Bold(2) reads one character";
  EXPECT_EQ(StyledTextGetBold(styled, 3, 1), 0);
  EXPECT_EQ(Text(styled), "abc\xC3\xA4" "ef") << "the runs joined";

  RuntimeObject* range = Keep(TextRangeGetter(styled, 1));
  ASSERT_NE(range, nullptr);
  auto* r = reinterpret_cast<RangeObject*>(range);
  EXPECT_EQ(r->startPos, 3);
  EXPECT_EQ(r->length, 3);
  r->length = 2;
  EXPECT_EQ(RangeEndPosGetter(range, 0), 5) << "EndPos follows StartPos and Length";

  StyledTextSetFont(styled, 1, 4, string("Serif").Rep());
  StyledTextSetSize(styled, 0, 6, 14);
  StyledTextSetColor(styled, 5, 1, 0xFF0000);
  EXPECT_EQ(Held(StyledTextGetFont(styled, 1, 4)), "Serif");
  EXPECT_EQ(Held(StyledTextGetFont(styled, 0, 2)), "") << "mixed fonts";
  EXPECT_EQ(StyledTextGetSize(styled, 0, 6), 14);
  EXPECT_EQ(StyledTextGetColor(styled, 5, 1), 0xFF0000u);
  StyledTextSetter(styled, 0, string("plain").Rep());
  EXPECT_EQ(StyledTextRunCountGetter(styled, 0), 1);
  EXPECT_EQ(StyledTextGetBold(styled, 0, 5), 0) << "new text is one plain run";
}

TEST_F(StyledTextClassTest, RunsGoInAndOutAsCopies) {
  RuntimeObject* styled = NewText("middle");
  RuntimeObject* run = New(GetStyleRunClassDefinition());
  StyleRunVNConstructor(run, string("first ").Rep());
  AsStyleRunObject(run)->bold = 1;
  InsertStyledTextRun(styled, run, 0);
  StyleRunVNConstructor(run, string(" last").Rep());
  AppendStyledTextRun(styled, run);
  EXPECT_EQ(Text(styled), "first middle last") << "a run added is copied, not shared";
  EXPECT_EQ(StyledTextGetBold(styled, 0, 6), 1);
  RuntimeObject* copy = Keep(StyledTextRunGetter(styled, 0));
  EXPECT_NE(copy, run);
  RemoveStyledTextRun(styled, 1);
  EXPECT_EQ(Text(styled), "first  last");

  InsertStyledTextRun(styled, nullptr, 0);
  EXPECT_TRUE(TakeException(GetNilObjectExceptionClassDefinition()));
  AppendStyledTextRun(styled, nullptr);
  EXPECT_TRUE(TakeException(GetNilObjectExceptionClassDefinition()));
  EXPECT_EQ(Text(styled), "first  last") << "a nil run changes nothing";

  EXPECT_EQ(StyledTextRunGetter(styled, 9), nullptr);
  EXPECT_TRUE(TakeException(GetOutOfBoundsExceptionClassDefinition()));
  EXPECT_EQ(TextRangeGetter(styled, -1), nullptr);
  EXPECT_TRUE(TakeException(GetOutOfBoundsExceptionClassDefinition()));
}

TEST_F(StyledTextClassTest, ParagraphsAreSeparatedByRunsOfLineEndings) {
  for (const char* text : {"ab\rcd", "ab\ncd", "ab\r\ncd"}) {
    RuntimeObject* styled = NewText(text);
    EXPECT_EQ(StyledTextParagraphCountGetter(styled, 0), 2) << text;
    EXPECT_EQ(DescribeParagraph(styled, 0), "0-2/2@0") << text;
    EXPECT_EQ(DescribeParagraph(styled, 1), "3-5/2@0") << text << ": positions in the converted text";
    EXPECT_EQ(DescribeParagraph(styled, 7), "3-5/2@0") << "an index past the last gives the last";
  }
  EXPECT_EQ(StyledTextParagraphCountGetter(NewText("a\r\rb"), 0), 2);
  EXPECT_EQ(DescribeParagraph(NewText("a\r\rb"), 1), "3-4/1@0");
  EXPECT_EQ(StyledTextParagraphCountGetter(NewText("ab\r"), 0), 1);
  EXPECT_EQ(StyledTextParagraphCountGetter(NewText(""), 0), 1);
  EXPECT_EQ(DescribeParagraph(NewText(""), 0), "0-0/0@0");
  RuntimeObject* leading = NewText("\rab");
  EXPECT_EQ(StyledTextParagraphCountGetter(leading, 0), 2);
  EXPECT_EQ(DescribeParagraph(leading, 0), "0-0/0@0") << "an empty first paragraph is empty";
  EXPECT_EQ(DescribeParagraph(NewText("\xC3\xA4\xC3\xB6\rx"), 1), "3-4/1@0") << "characters, not bytes";
}

TEST_F(StyledTextClassTest, ParagraphAlignmentIsKeptWithTheRunsOfTheParagraph) {
  RuntimeObject* styled = NewText("ab\rcd");
  StyledTextSetBold(styled, 0, 2, 1);
  StyledTextSetAlignment(styled, 1, 3);
  EXPECT_EQ(DescribeParagraph(styled, 1), "3-5/2@3");
  EXPECT_EQ(DescribeParagraph(styled, 0), "0-2/2@0");
}

TEST_F(StyledTextClassTest, AnythingButAStyledTextIsReportedAndAnswersNothing) {
  RuntimeObject* run = New(GetStyleRunClassDefinition());
  EXPECT_EQ(StyledTextGetter(run, 0), nullptr);
  EXPECT_EQ(StyledTextRunCountGetter(nullptr, 0), 0);
  StyledTextSetBold(nullptr, 0, 1, 1);
  ASSERT_EQ(Reports().size(), 3u);
  EXPECT_NE(Reports()[0].find("std"), std::string::npos);
}

TEST_F(StyledTextClassTest, ADetachedStyledTextAnswersNothingAndIgnoresChanges) {
  StyledTextBaseImp store;
  store.AppendRunData(StyleRunData{false, false, false, 0, string("Sans"), 12, string("kept")});
  RuntimeObject* styled = Keep(NewAttachedStyledText(&store));
  EXPECT_EQ(Text(styled), "kept");
  DetachStyledText(styled);
  EXPECT_EQ(Text(styled), "");
  EXPECT_EQ(StyledTextRunCountGetter(styled, 0), 0);
  EXPECT_EQ(StyledTextParagraphCountGetter(styled, 0), 0);
  EXPECT_EQ(StyledTextParagraphGetter(styled, 0), nullptr);
  StyledTextSetter(styled, 0, string("lost").Rep());
  StyledTextSetBold(styled, 0, 4, 1);
  EXPECT_EQ(store.RunCount(), 1);
  EXPECT_FALSE(store.GetBold(0, 4, nullptr)) << "the store it spoke for is left alone";
  EXPECT_TRUE(Reports().empty());
}

TEST(StyledTextPrinterRows, TheClassAndTheFieldsMethodAreBound) {
  for (const char* name : {"editStyleTextPrinter", "StyledTextDestructor", "styledPrinterDrawBlock",
                           "styledPrinterEOF", "styledPrinterWidthSetter"}) {
    RelocEntry* entry = LookupRelocEntry(string(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_NE(entry->code, nullptr) << name;
  }
  EXPECT_EQ(editStyleTextPrinter(nullptr, nullptr, 100), nullptr) << "no field, no printer";
  EXPECT_TRUE(styledPrinterEOF(nullptr, 0));
}

}  // namespace
}  // namespace vorn
