// Printed pages go from the server's pixels to the PDF file in buffers that later pages and
// jobs take over: each page must still show exactly its own pixels, to its last row and column.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/print_layer.h"
#include "graphics/printer_setup_class.h"
#include "graphics/support/pdf_reader.h"
#include "graphics/support/pixmap_target.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/graphics_api.h"
#include "vorn/printer_api.h"

namespace vorn {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

class PrintingPagesGuiTest : public test::IntrinsicClassTest {
 protected:
  void SetUp() override {
    IntrinsicClassTest::SetUp();
    if (!testing::EnsureGtk()) GTEST_SKIP() << "no display";
    mOutput = "/tmp/vorn-print-pages-test-" + std::to_string(getpid()) + ".pdf";
    std::remove(mOutput.c_str());
    SetDefaultPrintSetting(kPrintKeyOutputFile, mOutput);
  }
  void TearDown() override {
    SetDefaultPrintSetting(kPrintKeyOutputFile, "");
    std::remove(mOutput.c_str());
    IntrinsicClassTest::TearDown();
  }

  std::string mOutput;
};

TEST_F(PrintingPagesGuiTest, JobsOfDifferentSizesOneAfterAnotherEachShowOnlyTheirOwnPixels) {
  // A smaller page after a larger one, and the same size again: a buffer too small, one
  // read with the wrong row length or one still holding the last job's page would show.
  struct Case {
    int32_t dpi;
    uint32_t color;
  };
  const Case cases[] = {{72, 0xFF0000}, {150, 0x00FF00}, {72, 0x0000FF}, {72, 0x808080}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
    PrinterSetupFields(setup)->horizontalResolution = c.dpi;
    PrinterSetupFields(setup)->verticalResolution = c.dpi;
    RuntimeObject* graphics = RuntimeOpenPrinter(setup);
    ASSERT_NE(graphics, nullptr);
    const int32_t width = graphicsWidthGetter(graphics, 0), height = graphicsHeightGetter(graphics, 0);
    graphicsForeColorSetter(graphics, 0, c.color);
    // The last column and row, and a square that moves from job to job.
    RuntimeGraphicsFillRect(graphics, width - 3, height - 3, 3, 3);
    const int32_t square = 20 + 30 * static_cast<int32_t>(i);
    RuntimeGraphicsFillRect(graphics, square, square, 20, 20);
    RuntimeUnlockObject(graphics);

    const std::vector<testing::PdfImage> images = testing::PdfRgbImages(testing::ReadWholeFile(mOutput));
    ASSERT_EQ(images.size(), 1u);
    const testing::PdfImage& page = images[0];
    EXPECT_EQ(page.width, width);
    EXPECT_EQ(page.height, height);
    EXPECT_EQ(page.PixelAt(width - 1, height - 1), c.color);
    EXPECT_EQ(page.PixelAt(width - 4, height - 4), kWhite);
    EXPECT_EQ(page.PixelAt(square, square), c.color);
    EXPECT_EQ(page.PixelAt(square + 19, square + 19), c.color);
    // Where the jobs before drew.
    for (int32_t earlier = 20; earlier < square; earlier += 30) EXPECT_EQ(page.PixelAt(earlier + 5, earlier + 5), kWhite);
    EXPECT_EQ(page.PixelAt(square - 1, square - 1), kWhite);
    EXPECT_TRUE(Reports().empty());
    std::remove(mOutput.c_str());
  }
}

}  // namespace
}  // namespace vorn
