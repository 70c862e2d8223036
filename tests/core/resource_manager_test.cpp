#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/image_loader.h"
#include "core/image_resolver.h"
#include "base/resource_manager.h"
#include "strings/runtime_error.h"
#include "support/image_test_support.h"
#include "vorn/image_format.h"

namespace {

using namespace vorn;
using namespace vorn::image;

class NothingResolver : public ImportResolver {
 public:
  void* Resolve(std::string_view) override { return nullptr; }
};

std::vector<std::string> gReports;
bool CollectReport(const std::string& text) {
  gReports.push_back(text);
  return true;
}

TEST(ResourceManager, TheLoaderRegistersEveryRecordAndTheVersionOption) {
  std::string path = imagetest::TestImagePath("resources_image");
  RawImage raw;
  ParsedImage parsed;
  std::string error;
  ASSERT_TRUE(ReadImageFile(path, raw, error)) << error;
  ASSERT_TRUE(ValidateImage(std::move(raw), parsed, error)) << error;
  NothingResolver resolver;
  ResourceManager resources;
  ::testing::internal::CaptureStderr();
  ASSERT_NE(MapApplicationImage(std::move(parsed), resolver, resources, error), nullptr) << error;
  ::testing::internal::GetCapturedStderr();

  ASSERT_EQ(resources.GetResourceCount(), 8);
  // Two 'TEXT' 128 records: the first registered wins.
  EXPECT_EQ(resources.GetTextResource(128, kEncodingUTF8).View(), "Notes of the test image.\n");
  EXPECT_EQ(resources.GetTextResource(128, kEncodingUTF8).Encoding(), kEncodingUTF8);
  EXPECT_TRUE(resources.GetTextResource(129, kEncodingUTF8).IsEmpty());
  EXPECT_EQ(resources.GetTextResource(999, kEncodingUTF8).Rep(), nullptr);

  std::optional<CursorRecord> cursor = resources.GetCursorResource(5);
  ASSERT_TRUE(cursor.has_value());
  EXPECT_EQ(cursor->hotSpotV, 3);
  EXPECT_EQ(cursor->hotSpotH, 5);
  EXPECT_EQ(cursor->image[0], 0x01);  // 0x80 in the file: the leftmost pixel
  EXPECT_EQ(cursor->mask[1], 0x80);   // 0x01 in the file
  EXPECT_FALSE(resources.GetCursorResource(6).has_value());  // 40 bytes, not a whole record

  std::optional<DatabaseResource> database = resources.GetDatabaseResource(1);
  ASSERT_TRUE(database.has_value());
  EXPECT_EQ(database->engineName, "builtin");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(database->data), database->length), "DBDATA-0123456789");

  // A sound can be read from the executable at its file offset.
  std::optional<SoundSource> sound = resources.GetSoundResource(7);
  ASSERT_TRUE(sound.has_value());
  std::vector<uint8_t> file = imagetest::ReadBinaryFile(path);
  ASSERT_GT(sound->fileOffset, 0u);
  ASSERT_LE(sound->fileOffset + sound->length, file.size());
  EXPECT_EQ(std::memcmp(file.data() + sound->fileOffset, "RIFF", 4), 0);
  EXPECT_EQ(std::memcmp(file.data() + sound->fileOffset, sound->data, sound->length), 0);

  const VersionRecord* version = resources.GetVersionResource();
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->Number(0), 1u);
  EXPECT_EQ(version->Number(2), 3u);
  EXPECT_EQ(version->Number(3), 5u);  // numbers 3 and 4 are record words 4 and 3
  EXPECT_EQ(version->Number(4), 4u);
  EXPECT_EQ(version->Number(5), 6u);
  EXPECT_EQ(version->String(0), "1.2");
  EXPECT_EQ(version->String(1), "Test image 1.2");
  EXPECT_EQ(version->String(2), "(c) the vorn project");
  EXPECT_EQ(resources.GetVersionResource(), version);  // built once
  ResourceEntry versionEntry = resources.FindResource(kTypeVersion, 0);
  EXPECT_EQ(versionEntry.fileOffset, 0u);
}

TEST(ResourceManager, ABadIndexIsReportedAndAnswersAnEmptyEntry) {
  gReports.clear();
  RuntimeErrorPresenter previous = SetRuntimeErrorPresenter(&CollectReport);
  ResourceManager resources;
  uint8_t bytes[] = {1, 2, 3};
  EXPECT_EQ(resources.AddResource(kTypeText, 1, bytes, 3, 0), 1);
  EXPECT_EQ(resources.GetResourceByIndex(0).data, bytes);
  ResourceEntry outside = resources.GetResourceByIndex(1);
  ResourceEntry negative = resources.GetResourceByIndex(-1);
  SetRuntimeErrorPresenter(previous);
  EXPECT_EQ(outside.data, nullptr);
  EXPECT_EQ(outside.type, 0u);
  EXPECT_EQ(negative.data, nullptr);
  ASSERT_EQ(gReports.size(), 2u);
  EXPECT_HAS(gReports[0], "index < GetCount()");
  EXPECT_FALSE(resources.FindResource(kTypeText, 2).data);
}

TEST(ResourceRecords, DatabaseLengthsAreCheckedAgainstTheRecord) {
  std::vector<uint8_t> record;
  AppendU32LE(record, 3);
  AppendBytes(record, "sql", 3);
  AppendU32LE(record, 2);
  AppendBytes(record, "db", 2);
  auto size = static_cast<uint32_t>(record.size());
  ASSERT_TRUE(DecodeDatabaseResource(record.data(), size).has_value());
  EXPECT_FALSE(DecodeDatabaseResource(record.data(), size - 1).has_value());  // database cut short
  EXPECT_FALSE(DecodeDatabaseResource(record.data(), 9).has_value());         // no database length
  EXPECT_FALSE(DecodeDatabaseResource(record.data(), 3).has_value());
  std::vector<uint8_t> hugeName = record;
  WriteU32LE(hugeName.data(), 0xFFFFFFFFu);
  EXPECT_FALSE(DecodeDatabaseResource(hugeName.data(), size).has_value());
  std::vector<uint8_t> hugeData = record;
  WriteU32LE(hugeData.data() + 7, 0xFFFFFFF0u);
  EXPECT_FALSE(DecodeDatabaseResource(hugeData.data(), size).has_value());
  EXPECT_FALSE(DecodeDatabaseResource(nullptr, 0).has_value());
}

TEST(ResourceRecords, VersionStringsMustFitTheRecord) {
  std::vector<uint8_t> record;
  for (uint32_t i = 0; i < 6; ++i) AppendU32LE(record, i);
  for (const char* text : {"a", "bc", ""}) {
    record.push_back(static_cast<uint8_t>(std::strlen(text)));
    AppendBytes(record, text, std::strlen(text));
  }
  auto size = static_cast<uint32_t>(record.size());
  std::optional<VersionRecord> version = DecodeVersionRecord(record.data(), size);
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->String(1), "bc");
  EXPECT_EQ(version->Number(6), 0u);
  EXPECT_EQ(version->String(3), "");
  for (uint32_t cut = 0; cut < size; ++cut) {
    EXPECT_FALSE(DecodeVersionRecord(record.data(), cut).has_value()) << cut;
  }
  std::vector<uint8_t> longString = record;
  longString[24] = 200;
  EXPECT_FALSE(DecodeVersionRecord(longString.data(), size).has_value());
}

TEST(ResourceRecords, CursorBitsAreReversedAndShortRecordsRefused) {
  EXPECT_EQ(ReverseBits(0x80), 0x01);
  EXPECT_EQ(ReverseBits(0x01), 0x80);
  EXPECT_EQ(ReverseBits(0xC4), 0x23);
  std::vector<uint8_t> record(68, 0);
  record[64] = 0xFF;
  record[65] = 0xFE;  // -2: big-endian and signed
  record[67] = 9;
  std::optional<CursorRecord> cursor = DecodeCursorRecord(record.data(), 68);
  ASSERT_TRUE(cursor.has_value());
  EXPECT_EQ(cursor->hotSpotV, -2);
  EXPECT_EQ(cursor->hotSpotH, 9);
  EXPECT_FALSE(DecodeCursorRecord(record.data(), 67).has_value());
}

TEST(ResourceRecords, AMalformedVersionResourceGivesNoVersion) {
  ResourceManager resources;
  uint8_t shortRecord[10] = {};
  resources.AddResource(kTypeVersion, 0, shortRecord, sizeof shortRecord, 0);
  EXPECT_EQ(resources.GetVersionResource(), nullptr);
}

}  // namespace
