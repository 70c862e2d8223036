// Styled text files: what a styled field writes reads back with every style, Rich Text other
// programs write is read for what a field keeps, and a damaged file is refused whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editfield/styled_text_rtf.h"

namespace vorn {
namespace {

TextStyleRecord Style(bool bold, const char* font, int32_t size, uint32_t color = 0, bool italic = false) {
  TextStyleRecord r;
  r.bold = bold;
  r.italic = italic;
  r.font = string(font, kEncodingUTF8);
  r.size = size;
  r.color = color;
  r.hasColor = color != 0;
  return r;
}

std::string Describe(const StyledTextFile& file) {
  std::string out;
  for (const TextStyleRecord& r : file.styles)
    out += std::string(r.bold ? "B" : "") + (r.italic ? "I" : "") + (r.underline ? "U" : "") + std::string(r.font.View()) +
           "/" + std::to_string(r.size) + "/" + std::to_string(r.color) + " ";
  return out;
}

TEST(StyledTextRTF, WhatIsWrittenReadsBackWithEveryStyle) {
  std::string text = "a{b}\\\n\tz\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  std::vector<TextStyleRecord> styles = {Style(true, "Courier", 18, 0xFF0000),
                                         Style(true, "Courier", 18, 0xFF0000),
                                         Style(false, "System", 12),
                                         Style(false, "Sans;{odd}", 9, 0, true),
                                         Style(false, "System", 12),
                                         Style(false, "System", 12),
                                         Style(false, "System", 12),
                                         Style(false, "System", 12),
                                         Style(false, "System", 12, 0x0000FF),
                                         Style(false, "System", 12),
                                         Style(true, "System", 72)};
  std::string rtf = WriteStyledTextRTF(text, styles);
  EXPECT_TRUE(LooksLikeRTF(rtf));
  StyledTextFile read;
  std::string error;
  ASSERT_TRUE(ReadStyledTextRTF(rtf, &read, &error)) << error;
  EXPECT_EQ(read.text, text);
  StyledTextFile expected{text, styles};
  EXPECT_EQ(Describe(read), Describe(expected));
}

TEST(StyledTextRTF, ForeignRichTextKeepsWhatAFieldKnows) {
  const char* rtf =
      "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman Times;}{\\f1 Helvetica;}}"
      "{\\colortbl;\\red0\\green128\\blue0;}{\\stylesheet{\\s0 Normal;}}{\\*\\unknown hidden}"
      "{\\pict\\bin4 }{\\}}"
      "\\pard\\qc caf\\'e9 {\\b\\fs32\\cf1 grand}\\line \\f0 \\uc0\\u8364 x\\~y}";
  StyledTextFile read;
  std::string error;
  ASSERT_TRUE(ReadStyledTextRTF(rtf, &read, &error)) << error;
  EXPECT_EQ(read.text, "caf\xC3\xA9 grand\n\xE2\x82\xAC" "x\xC2\xA0y");
  ASSERT_EQ(read.styles.size(), 15u);
  EXPECT_EQ(std::string(read.styles[0].font.View()), "Helvetica") << "the default font";
  EXPECT_TRUE(read.styles[5].bold);
  EXPECT_EQ(read.styles[5].size, 16);
  EXPECT_EQ(read.styles[5].color, 0x008000u);
  EXPECT_FALSE(read.styles[10].bold) << "the group's style ends with it";
  EXPECT_EQ(std::string(read.styles[11].font.View()), "Times");
}

TEST(StyledTextRTF, DamagedFilesAreRefusedWithAReason) {
  const char* damaged[] = {"{\\rtf1 {\\b open", "{\\rtf1 }}", "{\\rtf1 \\'4", "{\\rtf1 \\'zz}", "{\\rtf1 \\",
                           "{\\rtf1 \\fs99999999999}", "plain text", ""};
  for (const char* data : damaged) {
    StyledTextFile read{"kept", {}};
    std::string error;
    EXPECT_FALSE(ReadStyledTextRTF(data, &read, &error)) << data;
    EXPECT_FALSE(error.empty()) << data;
    EXPECT_EQ(read.text, "kept") << "nothing half-read is handed back";
  }
  std::string deep = "{\\rtf1 " + std::string(100000, '{');
  StyledTextFile read;
  std::string error;
  EXPECT_FALSE(ReadStyledTextRTF(deep, &read, &error));
  EXPECT_EQ(error, "groups nested too deeply");
}

}  // namespace
}  // namespace vorn
