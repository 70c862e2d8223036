#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "core/image_loader.h"
#include "core/image_resolver.h"
#include "base/resource_manager.h"
#include "strings/runtime_error.h"
#include "strings/vstring.h"
#include "support/image_test_support.h"

namespace {

using namespace vorn;

// What the basic test image passed to the recording functions, by tag.
struct Records {
  std::map<int32_t, int32_t> ints;
  std::map<int32_t, double> doubles;
  std::map<int32_t, const VornStringRecord*> strings;
  int firstAddCalls = 0;
  int secondAddCalls = 0;
  int shutdownCalls = 0;
  std::vector<std::string> reports;
};
Records gRecords;

void RecordInt(int32_t tag, int32_t value) { gRecords.ints[tag] = value; }
void RecordDouble(int32_t tag, double value) { gRecords.doubles[tag] = value; }
void RecordString(int32_t tag, const VornStringRecord* text) { gRecords.strings[tag] = text; }
int32_t FirstAdd(int32_t a, int32_t b) {
  ++gRecords.firstAddCalls;
  return a + b;
}
int32_t SecondAdd(int32_t a, int32_t b) {
  ++gRecords.secondAddCalls;
  return a - b;
}
int32_t Negate(int32_t x) { return -x; }
void CountShutdown() { ++gRecords.shutdownCalls; }
bool CollectReport(const std::string& text) {
  gRecords.reports.push_back(text);
  return true;
}

// Rows as the directory would hold them: an upper-case HOSTADD before the exact spelling.
class RecordingResolver : public ImportResolver {
 public:
  RecordingResolver() {
    mIndex.Add("HostRecordInt", reinterpret_cast<void*>(&RecordInt));
    mIndex.Add("HostRecordDouble", reinterpret_cast<void*>(&RecordDouble));
    mIndex.Add("HostRecordString", reinterpret_cast<void*>(&RecordString));
    mIndex.Add("HOSTADD", reinterpret_cast<void*>(&FirstAdd));
    mIndex.Add("HostAdd", reinterpret_cast<void*>(&SecondAdd));
    mIndex.Add("hostnegate", reinterpret_cast<void*>(&Negate));
  }
  void* Resolve(std::string_view name) override {
    asked.emplace_back(name);
    return mIndex.Find(name);
  }
  std::vector<std::string> asked;

 private:
  FirstMatchIndex mIndex;
};

class ImageLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gRecords = Records();
    mPreviousHook = SetImageShutdownHook(&CountShutdown);
    mPreviousPresenter = SetRuntimeErrorPresenter(&CollectReport);
  }
  void TearDown() override {
    SetImageShutdownHook(mPreviousHook);
    SetRuntimeErrorPresenter(mPreviousPresenter);
  }

  const LoadedImage* Map(const std::string& name, RecordingResolver& resolver, std::string& stderrText) {
    RawImage raw;
    ParsedImage parsed;
    std::string error;
    EXPECT_TRUE(ReadImageFile(imagetest::TestImagePath(name), raw, error)) << error;
    EXPECT_TRUE(ValidateImage(std::move(raw), parsed, error)) << error;
    ::testing::internal::CaptureStderr();
    const LoadedImage* image = MapApplicationImage(std::move(parsed), resolver, mResources, error);
    stderrText = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(image, nullptr) << error;
    return image;
  }

  ResourceManager mResources;
  ImageShutdownHook mPreviousHook = nullptr;
  RuntimeErrorPresenter mPreviousPresenter = nullptr;
};

TEST_F(ImageLoaderTest, ImportsBindCaseInsensitivelyToTheFirstMatchingRow) {
  RecordingResolver resolver;
  std::string stderrText;
  const LoadedImage* image = Map("basic_image", resolver, stderrText);
  ASSERT_NE(image, nullptr);
  RunApplicationImage(*image);

  // HostAdd, hostadd and a call through a function pointer all reach the first row.
  EXPECT_EQ(gRecords.ints[1], 5);
  EXPECT_EQ(gRecords.ints[2], 42);
  EXPECT_EQ(gRecords.ints[3], 30);
  EXPECT_EQ(gRecords.firstAddCalls, 3);
  EXPECT_EQ(gRecords.secondAddCalls, 0);
  // Helpers are bound by the loader itself, never looked up in the directory.
  for (const std::string& name : resolver.asked) EXPECT_NE(name, "memcpy");
  EXPECT_EQ(gRecords.ints[7], 1);
  EXPECT_EQ(gRecords.shutdownCalls, 1);
}

TEST_F(ImageLoaderTest, AMissingNameIsReportedAndItsCallsReturnZero) {
  RecordingResolver resolver;
  std::string stderrText;
  const LoadedImage* image = Map("basic_image", resolver, stderrText);
  ASSERT_NE(image, nullptr);
  EXPECT_HAS(stderrText, "Function 'NotExportedAnywhere' was not exported\n");
  EXPECT_HAS(stderrText, "Function 'AlsoMissingDouble' was not exported\n");
  EXPECT_EQ(image->notExported.size(), 2u);

  RunApplicationImage(*image);
  EXPECT_EQ(gRecords.ints.count(4), 1u);
  EXPECT_EQ(gRecords.ints[4], 0);
  EXPECT_EQ(gRecords.doubles.count(5), 1u);
  EXPECT_EQ(gRecords.doubles[5], 0.0);
  ASSERT_EQ(gRecords.reports.size(), 2u);
  EXPECT_HAS(gRecords.reports[0], "Function 'NotExportedAnywhere' was not exported");
  EXPECT_HAS(gRecords.reports[1], "Function 'AlsoMissingDouble' was not exported");
  // The program went on after both calls.
  EXPECT_EQ(gRecords.ints[8], 1);
}

TEST_F(ImageLoaderTest, LiteralRecordsPointAtTheirOwnBuffersAndAreStatic) {
  RecordingResolver resolver;
  std::string stderrText;
  const LoadedImage* image = Map("basic_image", resolver, stderrText);
  ASSERT_NE(image, nullptr);
  RunApplicationImage(*image);

  const char* expected[] = {"Hello, image", "", "Gr\xC3\xBC\xC3\x9F\x65"};
  for (int i = 0; i < 3; ++i) {
    const VornStringRecord* record = gRecords.strings[10 + i];
    ASSERT_NE(record, nullptr);
    const auto* recordBytes = reinterpret_cast<const uint8_t*>(record);
    EXPECT_GE(recordBytes, image->DataBase());
    EXPECT_LT(recordBytes, image->DataBase() + image->parsed.layout.dataLength);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(record->buffer), recordBytes + sizeof(VornStringRecord));
    EXPECT_EQ(record->refCount, 1);
    EXPECT_EQ(record->encoding, kEncodingUTF8);
    EXPECT_EQ(record->length, static_cast<int32_t>(std::strlen(expected[i])));
    EXPECT_EQ(record->bufferSize, record->length + 2);
    EXPECT_EQ(static_cast<uint8_t>(record->buffer[0]), record->length);
    EXPECT_STREQ(record->buffer + 1, expected[i]);
    EXPECT_TRUE(IsStaticStringRep(record));

    // Releasing an image literal never frees it.
    string shared = string::Share(const_cast<VornStringRecord*>(record));
    EXPECT_EQ(shared.View(), expected[i]);
  }
}

TEST_F(ImageLoaderTest, StaticFunctionTablesAndVariablesAreRelocated) {
  RecordingResolver resolver;
  std::string stderrText;
  const LoadedImage* image = Map("basic_image", resolver, stderrText);
  ASSERT_NE(image, nullptr);
  RunApplicationImage(*image);
  EXPECT_EQ(gRecords.ints[20], 14);  // Twice(7), local
  EXPECT_EQ(gRecords.ints[21], 49);  // Square(7), local
  EXPECT_EQ(gRecords.ints[22], -7);  // HostNegate(7), an import stored in data
  EXPECT_EQ(gRecords.ints[6], 1);    // a zero-filled counter, incremented once
}

TEST_F(ImageLoaderTest, DataBaseSymbolsAndPendingWordDescribeTheCurrentImage) {
  RecordingResolver resolver;
  std::string stderrText;
  const LoadedImage* image = Map("basic_image", resolver, stderrText);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(GetDataBase(), image->DataBase());

  const ImageSymbol* entry = nullptr;
  for (const ImageSymbol& symbol : image->parsed.symbols) {
    if (symbol.name == "ImageEntry") entry = &symbol;
  }
  ASSERT_NE(entry, nullptr);
  ASSERT_GT(entry->size, 3u);
  std::string name;
  uint32_t offset = 0;
  EXPECT_TRUE(LookupSymbolForAddress(image->CodeBase() + entry->codeOffset + 3, name, offset));
  EXPECT_EQ(name, "ImageEntry");
  EXPECT_EQ(offset, 3u);
  EXPECT_FALSE(LookupSymbolForAddress(image->CodeBase() + 2, name, offset));  // the entry jump
  EXPECT_FALSE(LookupSymbolForAddress(image->DataBase(), name, offset));

  void** pending = GetImagePendingWord();
  ASSERT_NE(pending, nullptr);
  EXPECT_GE(reinterpret_cast<uint8_t*>(pending), image->DataBase());
  EXPECT_EQ(*pending, nullptr);
}

TEST_F(ImageLoaderTest, AnUnreadableImageRunsNothing) {
  RecordingResolver resolver;
  std::string error;
  EXPECT_FALSE(LoadApplicationImage("/nonexistent-executable", resolver, mResources, error));
  EXPECT_HAS(error, "Cannot open");
  EXPECT_EQ(gRecords.shutdownCalls, 0);
}

TEST(ImageHost, TheAppendedImageRunsInsideItsHostExecutable) {
  std::string output;
  int status = imagetest::RunCommand(imagetest::TestImagePath("basic_image"), output);
  EXPECT_EQ(status, 0) << output;
  EXPECT_HAS(output, "int 1 5\n");
  EXPECT_HAS(output, "string 10 [Hello, image] 12\n");
  EXPECT_HAS(output, "int 22 -7\n");
  EXPECT_HAS(output, "Function 'NotExportedAnywhere' was not exported\n");
  EXPECT_HAS(output, "int 8 1\n");
  EXPECT_HAS(output, "shutdown\n");

  status = imagetest::RunCommand(imagetest::TestImagePath("resources_image"), output);
  EXPECT_EQ(status, 0) << output;
  EXPECT_HAS(output, "int 100 1\n");
  EXPECT_HAS(output, "resources 8\n");
}

}  // namespace
