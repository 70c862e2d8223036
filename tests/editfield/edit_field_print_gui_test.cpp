// A styled field printed through its StyledTextPrinter: block by block into the pages of a print
// job, which the print layer writes as a PDF file; the pages break where the text no longer
// fits, and the styles show in the printed pixels.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editfield/styled_text_printer.h"
#include "editfield/support/edit_field_fixture.h"
#include "graphics/print_layer.h"
#include "graphics/print_library.h"
#include "graphics/support/pdf_reader.h"
#include "objects/exceptions.h"
#include "support/gui_support.h"
#include "vorn/editfield_api.h"
#include "vorn/graphics_api.h"
#include "vorn/printer_api.h"
#include "vorn/styled_text_api.h"

namespace vorn {
namespace {

using test::PackedStream;

class EditFieldPrintTest : public test::EditFieldTest {
 protected:
  void SetUp() override {
    EditFieldTest::SetUp();
    char folder[] = "/tmp/vorn-field-print-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    mFolder = folder;
    SetDefaultPrintSetting(kPrintKeyOutputFile, mFolder + "/job.pdf");
    for (const char* key : {kPrintKeyMarginLeft, kPrintKeyMarginTop, kPrintKeyMarginRight, kPrintKeyMarginBottom})
      SetDefaultPrintSetting(key, "36pt");
    SetDefaultPrintSetting(kPrintKeyPaperWidth, "612pt");
    SetDefaultPrintSetting(kPrintKeyPaperHeight, "792pt");
  }
  void TearDown() override {
    SetDefaultPrintSetting(kPrintKeyOutputFile, "");
    test::Shell("rm -rf '" + mFolder + "'");
    EditFieldTest::TearDown();
  }

  static int32_t RedIn(const testing::PdfImage& page) {
    int32_t red = 0;
    for (int32_t y = 0; y < page.height; ++y)
      for (int32_t x = 0; x < page.width; ++x) {
        uint32_t p = page.PixelAt(x, y);
        if ((p >> 16 & 0xFF) > 160 && (p >> 8 & 0xFF) < 90 && (p & 0xFF) < 90) ++red;
      }
    return red;
  }
  static int32_t InkIn(const testing::PdfImage& page, int32_t top, int32_t bottom) {
    int32_t ink = 0;
    for (int32_t y = top; y < bottom && y < page.height; ++y)
      for (int32_t x = 0; x < page.width; ++x) ink += page.PixelAt(x, y) != 0xFFFFFF;
    return ink;
  }

  std::string mFolder;
};

TEST_F(EditFieldPrintTest, AStyledFieldPrintsOnAsManyPagesAsItsTextNeedsInItsStyles) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Line " + std::to_string(i) + " of the printed field\n";
  text += "The last words";
  RuntimeObject* field = NewField(PackedStream()
                                      .Text(test::kEfText, text.c_str())
                                      .Bool(test::kEfStyled, true)
                                      .Bool(test::kEfMultiLine, true)
                                      .Int(test::kEfTextSize, 12),
                                  MakeRect(20, 20, 320, 140));
  EditControlGTK* pane = PaneOf(field);
  int32_t length = pane->GetTextLength();
  pane->SetSize(0, length, 24);
  pane->SetColor(length - 14, 8, 0xFF0000);  // "The last" on the last line only
  pane->SetBold(length - 14, 8, true);

  RuntimeObject* graphics = RuntimeOpenPrinter(nullptr);
  ASSERT_NE(graphics, nullptr);
  RuntimeObject* printer = editStyleTextPrinter(field, graphics, 540);
  ASSERT_NE(printer, nullptr);
  EXPECT_FALSE(styledPrinterEOF(printer, 0));
  int pages = 1;
  for (;;) {
    styledPrinterDrawBlock(printer, 0, 0, 720);
    if (styledPrinterEOF(printer, 0) || pages > 10) break;
    RuntimeGraphicsNextPage(graphics);
    RuntimeGraphicsClearRect(graphics, 0, 0, 540, 720);  // the page bitmap keeps what was drawn
    ++pages;
  }
  EXPECT_GE(pages, 2) << "41 lines of 24 points do not fit one 720-point page";
  RuntimeUnlockObject(printer);
  RuntimeUnlockObject(graphics);

  const std::string pdf = testing::ReadWholeFile(mFolder + "/job.pdf");
  ASSERT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
  EXPECT_EQ(testing::CountPdfPages(pdf), pages);
  std::vector<testing::PdfImage> images = testing::PdfRgbImages(pdf);
  ASSERT_EQ(images.size(), static_cast<size_t>(pages));
  EXPECT_GT(InkIn(images[0], 0, 40), 200) << "the first line at the top of the first page";
  EXPECT_GT(InkIn(images[0], 640, 720), 200) << "the first page is full";
  for (int i = 0; i + 1 < pages; ++i) EXPECT_EQ(RedIn(images[static_cast<size_t>(i)]), 0) << i;
  EXPECT_GT(RedIn(images.back()), 100) << "the red bold words of the last line";
  EXPECT_EQ(InkIn(images.back(), 680, 720), 0) << "the last page ends where the text does";
}

// A loop that prints until EOF ends even when its blocks are lower than a line: each call
// takes one line and shows only what falls inside the block.
TEST_F(EditFieldPrintTest, ABlockLowerThanALineTakesOneLineCutToTheBlock) {
  RuntimeObject* field = NewField(PackedStream()
                                      .Text(test::kEfText, "One\nTwo\nThree")
                                      .Bool(test::kEfStyled, true)
                                      .Bool(test::kEfMultiLine, true)
                                      .Int(test::kEfTextSize, 24),
                                  MakeRect(20, 20, 320, 140));
  RuntimeObject* graphics = RuntimeOpenPrinter(nullptr);
  ASSERT_NE(graphics, nullptr);
  RuntimeObject* printer = editStyleTextPrinter(field, graphics, 540);
  ASSERT_NE(printer, nullptr);
  int calls = 0;
  for (; !styledPrinterEOF(printer, 0) && calls < 10; ++calls) styledPrinterDrawBlock(printer, 0, 100 * calls + 10, 16);
  EXPECT_EQ(calls, 3) << "one line a call";
  styledPrinterDrawBlock(printer, 0, 0, 0);
  EXPECT_EQ(TakePendingException(), nullptr) << "drawing past the end is no error";
  RuntimeUnlockObject(printer);
  RuntimeUnlockObject(graphics);

  std::vector<testing::PdfImage> images = testing::PdfRgbImages(testing::ReadWholeFile(mFolder + "/job.pdf"));
  ASSERT_EQ(images.size(), 1u);
  for (int32_t k = 0; k < 3; ++k) {
    EXPECT_GT(InkIn(images[0], 100 * k + 10, 100 * k + 26), 20) << "line " << k << " shows inside its block";
    EXPECT_EQ(InkIn(images[0], 100 * k + 26, 100 * k + 110), 0) << "and nothing of it below";
  }
}

}  // namespace
}  // namespace vorn
