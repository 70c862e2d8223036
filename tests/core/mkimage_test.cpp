#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/image_reader.h"
#include "support/image_test_support.h"

namespace {

using namespace vorn;
using namespace vorn::image;

std::string Tool() { return std::string(VORN_BINARY_DIR) + "/mkimage"; }

std::string ObjectOf(const std::string& target) {
  return imagetest::TestImagePath(target + ".image/" + target + ".o");
}

TEST(ImageTool, RefusesWhatAnImageCannotRepresentNamingTheCulprit) {
  struct Case {
    const char* target;
    const char* expected;
  } cases[] = {
      {"test_object_data_import", "'SomeRuntimeVariable' is used as data"},
      {"test_object_constructor", "section .init_array holds static constructors"},
      {"test_object_thread_local", "thread-local"},
      {"test_object_absolute32", "R_X86_64_32 against 'gTarget' in section .data"},
  };
  for (const Case& c : cases) {
    std::string output;
    int status = imagetest::RunCommand(Tool() + " " + ObjectOf(c.target) + " -o /dev/null", output);
    EXPECT_EQ(status, 1) << c.target;
    EXPECT_HAS(output, c.expected);
  }
  std::string output;
  EXPECT_NE(imagetest::RunCommand(Tool() + " " + ObjectOf("test_image_basic") + " -o /dev/null --entry Missing", output), 0);
  EXPECT_HAS(output, "no function named 'Missing'");
  EXPECT_NE(imagetest::RunCommand(Tool() + " " + std::string(VORN_SOURCE_DIR) + "/README.md -o /dev/null", output), 0);
  EXPECT_HAS(output, "not an ELF file");
  EXPECT_NE(imagetest::RunCommand(Tool() + " " + ObjectOf("test_image_basic") + " -o /dev/null --resource TEXT:70000:x", output), 0);
  EXPECT_HAS(output, "TYPE:ID:FILE");
  EXPECT_NE(imagetest::RunCommand(Tool() + " " + ObjectOf("test_image_basic") + " -o /dev/null --option CSUM:/dev/null", output), 0);
  EXPECT_HAS(output, "checksum the tool writes itself");
  for (const char* refused : {"--project-object 'picture 70000'", "--project-object object",
                              "--project-object 'sound 1'", "--option POBJ:/dev/null"}) {
    EXPECT_NE(imagetest::RunCommand(Tool() + " " + ObjectOf("test_image_basic") + " -o /dev/null " + refused, output), 0)
        << refused;
    EXPECT_HAS(output, "project");
  }
}

TEST(ImageTool, ImportsAreTheObjectsUndefinedFunctionsOnceEach) {
  RawImage raw;
  ParsedImage parsed;
  std::string error;
  ASSERT_TRUE(ReadImageFile(imagetest::TestImagePath("basic_image"), raw, error)) << error;
  ASSERT_TRUE(ValidateImage(std::move(raw), parsed, error)) << error;
  std::vector<std::string> names;
  for (const ImageImport& import : parsed.imports) {
    names.push_back(import.name);
    EXPECT_EQ(import.kind, import.name == "memcpy" ? kImportHelper : kImportRuntime) << import.name;
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected = {"AlsoMissingDouble", "HostAdd",       "HostNegate",
                                       "HostRecordDouble",  "HostRecordInt", "HostRecordString",
                                       "NotExportedAnywhere", "hostadd",     "memcpy"};
  EXPECT_EQ(names, expected);
  // HostNegate is only stored in a data table: it has a site and needs no slot.
  for (const ImageImport& import : parsed.imports) {
    if (import.name == "HostNegate") {
      EXPECT_EQ(import.sites.size(), 1u);
      EXPECT_EQ(import.slot, kNoSlot);
    }
  }
  // Three literal records and two local function pointers need the load address added.
  EXPECT_GE(parsed.relocations.size(), 5u);
  EXPECT_TRUE(parsed.hasPendingWord);
  EXPECT_GT(parsed.layout.zeroFillLength, 0u);
}

}  // namespace
