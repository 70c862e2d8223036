// The PrinterSetup class without a display: its members, the page values it reads from the
// print configuration, and printing made unavailable by a missing library.
#include <gtest/gtest.h>

#include <string>

#include "graphics/gtk_print_helper.h"
#include "graphics/print_layer.h"
#include "graphics/print_layer_model.h"
#include "graphics/printer_setup_class.h"
#include "graphics/support/sound_support.h"
#include "objects/class_registry.h"
#include "support/class_test.h"
#include "support/process_locale.h"
#include "vorn/printer_api.h"

namespace vorn {
namespace {

using test::MissingLibrary;

constexpr const char* kPageKeys[] = {kPrintKeyPaperWidth,  kPrintKeyPaperHeight, kPrintKeyMarginLeft,
                                     kPrintKeyMarginTop,   kPrintKeyMarginRight, kPrintKeyMarginBottom,
                                     kPrintKeyDpiX,        kPrintKeyDpiY};

class PrinterSetupTest : public test::IntrinsicClassTest {
 protected:
  void TearDown() override {
    for (const char* key : kPageKeys) SetDefaultPrintSetting(key, "");
    SetPrintLibraryLoader(nullptr);
    IntrinsicClassTest::TearDown();
  }

  void Paper(const char* width, const char* height, const char* left, const char* top, const char* right,
             const char* bottom) {
    SetDefaultPrintSetting(kPrintKeyPaperWidth, width);
    SetDefaultPrintSetting(kPrintKeyPaperHeight, height);
    SetDefaultPrintSetting(kPrintKeyMarginLeft, left);
    SetDefaultPrintSetting(kPrintKeyMarginTop, top);
    SetDefaultPrintSetting(kPrintKeyMarginRight, right);
    SetDefaultPrintSetting(kPrintKeyMarginBottom, bottom);
  }

  // Every value the object's getter answers, by index 0 to 11.
  std::vector<int32_t> Values(RuntimeObject* setup) {
    std::vector<int32_t> values;
    for (int32_t index = 0; index <= 11; ++index) values.push_back(printerSetupInfoGetter(setup, index));
    return values;
  }
};

TEST_F(PrinterSetupTest, TheClassListsItsMembersAndBindsItsEntryPoints) {
  ASSERT_EQ(LookupIntrinsicClass(string("printersetup")), GetPrinterSetupClassDefinition());
  RuntimeClass* cls = RuntimeClassFromDefinition(GetPrinterSetupClassDefinition());
  ASSERT_EQ(cls->PropertyCount(), 13);
  const char* names[] = {"VerticalResolution", "HorizontalResolution", "Left",      "Top",      "Width",
                         "Height",             "PageLeft",             "PageTop",   "PageWidth", "PageHeight",
                         "MaxVerticalResolution", "MaxHorizontalResolution"};
  for (int32_t index = 0; index < 12; ++index) {
    EXPECT_EQ(RepText(cls->mAccessors[index].signature), std::string(names[index]) + "%i4%");
    EXPECT_EQ(cls->mAccessors[index].param, index);
  }
  EXPECT_EQ(RepText(cls->mAccessors[12].signature), "SetupString%s%");
  test::ExpectEntryPointsBound({
      {"RuntimeOpenPrinter", reinterpret_cast<void*>(&RuntimeOpenPrinter)},
      {"RuntimeOpenPrinterDialog", reinterpret_cast<void*>(&RuntimeOpenPrinterDialog)},
      {"PrinterSetupConstructor", reinterpret_cast<void*>(&PrinterSetupConstructor)},
      {"PrinterSetupDestructor", reinterpret_cast<void*>(&PrinterSetupDestructor)},
      {"printerSetupPageSetup", reinterpret_cast<void*>(&printerSetupPageSetup)},
      {"printerSetupInfoGetter", reinterpret_cast<void*>(&printerSetupInfoGetter)},
      {"printerSetupMaxResSetter", reinterpret_cast<void*>(&printerSetupMaxResSetter)},
      {"printerSetupStringGetter", reinterpret_cast<void*>(&printerSetupStringGetter)},
      {"printerSetupStringSetter", reinterpret_cast<void*>(&printerSetupStringSetter)},
  });
}

TEST_F(PrinterSetupTest, LetterPaperWithHalfInchMarginsGivesThePageInDots) {
  Paper("612", "792", "36", "36", "36", "36");
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  EXPECT_EQ(Values(setup), (std::vector<int32_t>{72, 72, 0, 0, 540, 720, -36, -36, 612, 792, 72, 72}));
}

TEST_F(PrinterSetupTest, UnevenMarginsInOtherUnitsAreTruncatedToDots) {
  // 210 x 297 mm is 595.3 x 841.9 points.
  Paper("210mm", "297mm", "1in", "2cm", "0.5in", "10mm");
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  const std::vector<int32_t> values = Values(setup);
  EXPECT_EQ(values[kPagePageWidth], 595);
  EXPECT_EQ(values[kPagePageHeight], 841);
  EXPECT_EQ(values[kPagePageLeft], -72);
  EXPECT_EQ(values[kPagePageTop], -56);
  EXPECT_EQ(values[kPageWidth], 595 - (36 + 72));
  EXPECT_EQ(values[kPageHeight], 841 - (28 + 56));
  EXPECT_EQ(printerSetupInfoGetter(setup, 12), 0);
  EXPECT_EQ(printerSetupInfoGetter(setup, -1), 0);
}

// The print dialog's page setup comes back as settings that read the same in every locale.
TEST_F(PrinterSetupTest, APageSetupGivesSettingsWithThePointsItHolds) {
  print_layer::Config config;
  config.values = {{kPrintKeyPaperWidth, "210mm"}, {kPrintKeyMarginLeft, "0.5in"}};
  GObject* setup = print_layer::PageSetupFromConfig(config);
  for (const std::string& locale : test::RowLocales()) {
    test::ProcessLocale in(locale);
    ASSERT_TRUE(in.Loaded()) << locale;
    print_layer::Config back;
    print_layer::ConfigFromPageSetup(&back, setup);
    EXPECT_EQ(back.values[kPrintKeyMarginLeft], "36.000000pt") << locale;
    EXPECT_NEAR(print_layer::Points(back, kPrintKeyPaperWidth, 0), 595.28, 0.01) << locale;
  }
  g_object_unref(setup);
}

TEST_F(PrinterSetupTest, MaximaAreSetThroughTheObjectAndPageSetupTakesTheHelpersValues) {
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  printerSetupMaxResSetter(setup, kPageMaxVerticalResolution, 300);
  printerSetupMaxResSetter(setup, kPageMaxHorizontalResolution, -1);
  EXPECT_EQ(printerSetupInfoGetter(setup, kPageMaxVerticalResolution), 300);
  EXPECT_EQ(printerSetupInfoGetter(setup, kPageMaxHorizontalResolution), -1);
  EXPECT_EQ(printerSetupPageSetup(setup, nullptr), 0);
  PrinterSetupObject* fields = PrinterSetupFields(setup);
  EXPECT_EQ(fields->verticalResolution, 72);
  EXPECT_EQ(fields->horizontalResolution, 72);
  EXPECT_EQ(fields->maxVerticalResolution, 300);
  EXPECT_EQ(fields->maxHorizontalResolution, -1);
  printerSetupStringSetter(setup, 0, nullptr);
  EXPECT_EQ(printerSetupStringGetter(setup, 0), nullptr);
}

TEST_F(PrinterSetupTest, ANilObjectIsReportedAndReadsZero) {
  EXPECT_EQ(printerSetupInfoGetter(nullptr, kPagePageWidth), 0);
  printerSetupMaxResSetter(nullptr, kPageMaxVerticalResolution, 10);
  ASSERT_EQ(Reports().size(), 2u);
  EXPECT_NE(Reports()[0].find("obj"), std::string::npos);
}

TEST_F(PrinterSetupTest, WithoutTheLibraryNothingPrintsAndNothingIsReported) {
  MissingLibrary nowhere;
  SetPrintLibraryLoader(&nowhere);
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  EXPECT_EQ(Values(setup), std::vector<int32_t>(12, 0));
  EXPECT_EQ(RuntimeOpenPrinter(setup), nullptr);
  EXPECT_EQ(RuntimeOpenPrinter(nullptr), nullptr);
  EXPECT_EQ(RuntimeOpenPrinterDialog(nullptr, nullptr), nullptr);
  EXPECT_EQ(nowhere.tried.size(), 3u);
  EXPECT_EQ(ActivePrintObject(), nullptr);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(PrinterSetupTest, ALibraryLackingOneFunctionIsUnavailable) {
  MissingLibrary partial;
  partial.openable = "/usr/lib/libgnomeprintui-2-2.so";
  partial.missingFunction = "gnome_print_rgbimage";
  SetPrintLibraryLoader(&partial);
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  EXPECT_EQ(printerSetupInfoGetter(setup, kPageVerticalResolution), 0);
  EXPECT_EQ(RuntimeOpenPrinter(setup), nullptr);
  EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace vorn
