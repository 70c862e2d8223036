// An image calls the language's value rows by name through the loader, as compiled code does;
// every import binds to the directory and the rows answer what the language gives.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/image_loader.h"
#include "core/image_resolver.h"
#include "base/resource_manager.h"
#include "objects/class_registry.h"
#include "objects/random_class.h"
#include "objects/text_encoding_object.h"
#include "objects/text_functions.h"
#include "support/image_test_support.h"

namespace {

using namespace vorn;

std::map<int32_t, int32_t> gInts;
std::map<int32_t, std::string> gStrings;

void RecordInt(int32_t tag, int32_t value) { gInts[tag] = value; }
void RecordString(int32_t tag, const VornStringRecord* text) {
  gStrings[tag] = text ? std::string(text->buffer + 1, static_cast<size_t>(text->length)) : "<nil>";
}

// The recording functions, then the entry-point directory.
class ValueRowsResolver : public ImportResolver {
 public:
  ValueRowsResolver() {
    mHost.Add("HostRecordInt", reinterpret_cast<void*>(&RecordInt));
    mHost.Add("HostRecordString", reinterpret_cast<void*>(&RecordString));
  }
  void* Resolve(std::string_view name) override {
    void* host = mHost.Find(name);
    return host ? host : mDirectory.Resolve(name);
  }

 private:
  FirstMatchIndex mHost;
  RelocDirectoryResolver mDirectory;
};

TEST(LangValuesImage, EveryFamilyAnswersThroughTheLoader) {
  RegisterIntrinsicClass(GetRandomClassDefinition());
  RawImage raw;
  ParsedImage parsed;
  std::string error;
  ASSERT_TRUE(ReadImageFile(imagetest::TestImagePath("lang_values_image"), raw, error)) << error;
  ASSERT_TRUE(ValidateImage(std::move(raw), parsed, error)) << error;
  ValueRowsResolver resolver;
  ResourceManager resources;
  const LoadedImage* image = MapApplicationImage(std::move(parsed), resolver, resources, error);
  ASSERT_NE(image, nullptr) << error;
  EXPECT_TRUE(image->notExported.empty()) << image->notExported.front();
  RunApplicationImage(*image);
  ClearTextFunctionObjects();
  ClearTextEncodingObjects();

  EXPECT_EQ(gStrings[1], "Gr\xC3\xBC\xC3\x9F" "e, World");
  EXPECT_EQ(gInts[2], 12);  // Len counts characters
  EXPECT_EQ(gInts[3], 12);
  EXPECT_EQ(gInts[4], 8);    // InStr: a character position
  EXPECT_EQ(gInts[32], 10);  // InStrB: a byte position
  EXPECT_EQ(gStrings[33], "world");
  EXPECT_EQ(gStrings[5], "\xC3\xBC\xC3\x9F");
  EXPECT_EQ(gInts[6], 0xFC);
  EXPECT_EQ(gStrings[7], "\xE2\x82\xAC,");
  EXPECT_EQ(gInts[8], 1);
  EXPECT_EQ(gInts[9], 2);
  EXPECT_EQ(gStrings[10], "a-b-c");
  EXPECT_EQ(gInts[20], 1) << "Random repeats from its seed";
  EXPECT_EQ(gInts[21], 1);
  EXPECT_EQ(gInts[22], 1) << "Blowfish vector";
  EXPECT_EQ(gInts[23], 16);
  EXPECT_EQ(gInts[24], 0x0201);
  EXPECT_EQ(gStrings[25], "line\n");
  EXPECT_EQ(gInts[26], 1);
  EXPECT_EQ(gInts[27], 20031231);
  EXPECT_EQ(gStrings[30], "  Gr\xC3\xBC\xC3\x9F" "e, world \t") << "Latin-1 back to UTF-8";
  EXPECT_EQ(gInts[31], 7);
  EXPECT_EQ(gInts[29], 1) << "no exception pending";
}

}  // namespace
