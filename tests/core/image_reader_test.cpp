#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/image_reader.h"
#include "support/image_test_support.h"

namespace {

using namespace vorn;
using namespace vorn::image;
using vorn::imagetest::ImageBlocks;
using vorn::imagetest::ValidationError;

constexpr uint32_t kDataStart = kDataAlignment;  // one byte of code

TEST(ImageReader, FramedImageSplitsBackIntoItsBlocksWithFileOffsets) {
  ImageBlocks image;
  image.AddResource(kTypeText, 3, {'a', 'b'});
  std::vector<uint8_t> file = {'E', 'L', 'F', '!'};
  std::vector<uint8_t> framed = image.Framed();
  file.insert(file.end(), framed.begin(), framed.end());

  RawImage raw;
  std::string error;
  ASSERT_TRUE(SplitImage(file.data(), file.size(), raw, error)) << error;
  for (int b = 0; b < kBlockCount; ++b) EXPECT_EQ(raw.blocks[b], image.blocks[b]) << kBlockNames[b];
  EXPECT_EQ(raw.fileOffsets[kCodeBlock], 4u + 4u);

  ParsedImage parsed;
  ASSERT_TRUE(ValidateImage(std::move(raw), parsed, error)) << error;
  ASSERT_EQ(parsed.resources.size(), 1u);
  // The resource's bytes sit 14 bytes into the record, and the file offset says where.
  EXPECT_EQ(file[parsed.resources[0].fileOffset], 'a');
  EXPECT_EQ(file[parsed.resources[0].fileOffset + 1], 'b');
}

TEST(ImageReader, DamagedFramingIsReportedNotRead) {
  ImageBlocks image;
  std::vector<uint8_t> framed = image.Framed();
  RawImage raw;
  std::string error;

  EXPECT_FALSE(SplitImage(framed.data(), framed.size() - 1, raw, error));
  EXPECT_HAS(error, "No image");

  // The trailer announces more bytes than precede it.
  std::vector<uint8_t> truncated(framed.begin() + 10, framed.end());
  EXPECT_FALSE(SplitImage(truncated.data(), truncated.size(), raw, error));
  EXPECT_HAS(error, "Truncated image");

  // One block length too large: it runs past the image.
  std::vector<uint8_t> pastEnd = framed;
  WriteU32LE(pastEnd.data() + 4 + 1, 1000);  // the data block's length
  EXPECT_FALSE(SplitImage(pastEnd.data(), pastEnd.size(), raw, error));
  EXPECT_HAS(error, "data block");
  EXPECT_HAS(error, "runs past the end");

  // An image length larger than the blocks: they don't add up.
  std::vector<uint8_t> padded = framed;
  padded.insert(padded.end() - kTrailerSize, 3, 0xAA);
  size_t lengthAt = padded.size() - kTrailerSize;
  WriteU32LE(padded.data() + lengthAt, ReadU32LE(padded.data() + lengthAt) + 3);
  EXPECT_FALSE(SplitImage(padded.data(), padded.size(), raw, error));
  EXPECT_HAS(error, "add up");

  // The image length stops in the middle of the prefixes.
  std::vector<uint8_t> shortImage = framed;
  WriteU32LE(shortImage.data() + shortImage.size() - kTrailerSize, 6);
  EXPECT_FALSE(SplitImage(shortImage.data(), shortImage.size(), raw, error));
  EXPECT_FALSE(error.empty());
}

TEST(ImageReader, ImportNamesMustBeTerminatedShortAndPrintable) {
  ImageBlocks unterminated;
  unterminated.SetImportsHeader(1, 0);
  for (char c : std::string("RuntimeInitialise")) unterminated.blocks[kImportsBlock].push_back(static_cast<uint8_t>(c));
  EXPECT_HAS(ValidationError(unterminated), "unterminated name");

  ImageBlocks overlong;
  overlong.SetImportsHeader(1, 0);
  overlong.AddImport(std::string(kMaxImportNameLength + 1, 'x'), kImportRuntime, kNoSlot);
  EXPECT_HAS(ValidationError(overlong), "longer than 255");

  ImageBlocks longest;
  longest.SetImportsHeader(1, 0);
  longest.AddImport(std::string(kMaxImportNameLength, 'x'), kImportRuntime, kNoSlot);
  EXPECT_EQ(ValidationError(longest), "");

  ImageBlocks empty;
  empty.SetImportsHeader(1, 0);
  empty.AddImport("", kImportRuntime, kNoSlot);
  EXPECT_HAS(ValidationError(empty), "empty name");

  ImageBlocks control;
  control.SetImportsHeader(1, 0);
  control.AddImport("Bad\x01Name", kImportRuntime, kNoSlot);
  EXPECT_HAS(ValidationError(control), "printable");
}

TEST(ImageReader, ImportRecordsAndCountsAreCheckedAgainstTheBlock) {
  ImageBlocks tooMany;
  tooMany.SetImportsHeader(0x10000000, 0);
  tooMany.AddImport("A", kImportRuntime, kNoSlot);
  EXPECT_HAS(ValidationError(tooMany), "announces 268435456 imports");

  ImageBlocks cutShort;
  cutShort.SetImportsHeader(1, 0);
  cutShort.AddImport("RuntimeInit", kImportRuntime, kNoSlot);
  cutShort.blocks[kImportsBlock].resize(cutShort.blocks[kImportsBlock].size() - 2);
  EXPECT_FALSE(ValidationError(cutShort).empty());

  ImageBlocks badKind;
  badKind.SetImportsHeader(1, 0);
  badKind.AddImport("A", 7, kNoSlot);
  EXPECT_HAS(ValidationError(badKind), "unknown kind");

  ImageBlocks fakeHelper;
  fakeHelper.SetImportsHeader(1, 0);
  fakeHelper.AddImport("system", kImportHelper, kNoSlot);
  EXPECT_HAS(ValidationError(fakeHelper), "loader helper");

  ImageBlocks badVersion;
  badVersion.SetImportsHeader(0, 0);
  WriteU32LE(badVersion.blocks[kImportsBlock].data(), 9);
  EXPECT_HAS(ValidationError(badVersion), "version 9");

  ImageBlocks shortHeader;
  shortHeader.blocks[kImportsBlock] = {1, 0, 0};
  EXPECT_HAS(ValidationError(shortHeader), "shorter than its header");

  ImageBlocks hugeZeroFill;
  hugeZeroFill.SetImportsHeader(0, 0, 0xFFFFFFF0u);
  EXPECT_HAS(ValidationError(hugeZeroFill), "memory");
}

TEST(ImageReader, SlotsSitesAndRelocationsMustLieInsideTheirBlocks) {
  ImageBlocks good;
  good.SetImportsHeader(1, 2, 16);
  good.AddImport("RuntimeInit", kImportRuntime, kDataStart + 8, {{kDataStart + 16, 4}});
  good.AddRelocation(kDataStart + 56);  // the last 8 bytes of the data
  good.AddRelocation(kDataStart + 64);  // the zero fill: never initialised, so refused below
  EXPECT_HAS(ValidationError(good), "relocation (image offset 4160)");

  good.blocks[kImportsBlock].resize(good.blocks[kImportsBlock].size() - 4);
  WriteU32LE(good.blocks[kImportsBlock].data() + 8, 1);
  EXPECT_EQ(ValidationError(good), "");

  ImageBlocks straddling;
  straddling.SetImportsHeader(0, 1);
  straddling.AddRelocation(kDataStart + 60);
  EXPECT_HAS(ValidationError(straddling), "outside the code and data");

  ImageBlocks inGap;  // between the code and the page where the data starts
  inGap.SetImportsHeader(0, 1);
  inGap.AddRelocation(16);
  EXPECT_HAS(ValidationError(inGap), "outside");

  ImageBlocks slotOutside;
  slotOutside.SetImportsHeader(1, 0);
  slotOutside.AddImport("A", kImportRuntime, 0);
  EXPECT_HAS(ValidationError(slotOutside), "slot");

  ImageBlocks misaligned;
  misaligned.SetImportsHeader(1, 0);
  misaligned.AddImport("A", kImportRuntime, kDataStart + 4);
  EXPECT_HAS(ValidationError(misaligned), "slot");

  ImageBlocks siteOutside;
  siteOutside.SetImportsHeader(1, 0);
  siteOutside.AddImport("A", kImportRuntime, kNoSlot, {{kDataStart + 60, 0}});
  EXPECT_HAS(ValidationError(siteOutside), "site of import 'A'");

  ImageBlocks strayBytes;
  strayBytes.SetImportsHeader(0, 0);
  strayBytes.blocks[kImportsBlock].push_back(0);
  EXPECT_HAS(ValidationError(strayBytes), "relocations");
}

TEST(ImageReader, ResourceAndOptionRecordsMustFitTheirBlocks) {
  ImageBlocks longer;
  longer.AddResource(kTypeText, 1, {'x', 'y', 'z'});
  longer.blocks[kResourcesBlock].resize(longer.blocks[kResourcesBlock].size() - 1);
  EXPECT_HAS(ValidationError(longer), "'TEXT' 1");
  EXPECT_HAS(ValidationError(longer), "3 bytes long but only 2");

  ImageBlocks cutHeader;
  cutHeader.AddResource(kTypeText, 1, {});
  cutHeader.blocks[kResourcesBlock].resize(10);
  EXPECT_HAS(ValidationError(cutHeader), "cut short");

  ImageBlocks twoRecords;
  twoRecords.AddResource(kTypeText, 1, {});
  twoRecords.AddResource(FourCharCode('B', 'M', 'P', ' '), 2, {1, 2, 3});
  ParsedImage parsed;
  std::string error;
  ASSERT_TRUE(ValidateImage(twoRecords.Raw(), parsed, error)) << error;
  ASSERT_EQ(parsed.resources.size(), 2u);
  EXPECT_EQ(parsed.resources[1].type, 0x424D5020u);
  EXPECT_EQ(parsed.resources[1].id, 2);
  EXPECT_EQ(parsed.resources[1].length, 3u);
  EXPECT_EQ(parsed.resources[1].fileOffset, 0u);  // not read from a file

  ImageBlocks badOption;
  badOption.AddOption(kOptionVersion, {1, 2, 3, 4});
  badOption.blocks[kOptionsBlock].pop_back();
  EXPECT_HAS(ValidationError(badOption), "'VERS'");

  ImageBlocks badPending;
  badPending.AddOption(kOptionPendingWord, {60, 0, 0, 0});  // the word would end past the data
  EXPECT_HAS(ValidationError(badPending), "pending-exception");
  ImageBlocks goodPending;
  goodPending.AddOption(kOptionPendingWord, {56, 0, 0, 0});
  EXPECT_EQ(ValidationError(goodPending), "");
}

TEST(ImageReader, SymbolsMustBeOrderedInsideTheCodeWithTerminatedNames) {
  auto symbols = [](std::vector<std::array<uint32_t, 3>> records, const std::string& names) {
    ImageBlocks image;
    image.blocks[kCodeBlock].assign(100, 0xC3);
    std::vector<uint8_t>& block = image.blocks[kSymbolsBlock];
    AppendU32LE(block, static_cast<uint32_t>(records.size()));
    for (const auto& r : records) {
      for (uint32_t v : r) AppendU32LE(block, v);
    }
    AppendBytes(block, names.data(), names.size());
    return image;
  };
  EXPECT_EQ(ValidationError(symbols({{0, 10, 0}, {10, 90, 2}}, std::string("a\0b\0", 4))), "");
  EXPECT_HAS(ValidationError(symbols({{0, 101, 0}}, std::string("a\0", 2))), "runs past");
  EXPECT_HAS(ValidationError(symbols({{10, 1, 0}, {0, 1, 0}}, std::string("a\0", 2))), "order");
  EXPECT_HAS(ValidationError(symbols({{0, 1, 5}}, std::string("a\0", 2))), "name");
  EXPECT_HAS(ValidationError(symbols({{0, 1, 0}}, "abc")), "NUL");
  ImageBlocks overCounted = symbols({{0, 1, 0}}, std::string("a\0", 2));
  WriteU32LE(overCounted.blocks[kSymbolsBlock].data(), 5);
  EXPECT_HAS(ValidationError(overCounted), "announces 5 symbols");
}

TEST(ImageReader, EmptyCodeHasNoEntry) {
  ImageBlocks image;
  image.blocks[kCodeBlock].clear();
  EXPECT_HAS(ValidationError(image), "empty code block");
}

TEST(ImageReader, EveryTruncationAndByteFlipOfARealImageIsHandled) {
  std::vector<uint8_t> file = vorn::imagetest::ReadBinaryFile(vorn::imagetest::TestImagePath("basic_image"));
  ASSERT_GT(file.size(), kTrailerSize);
  RawImage raw;
  std::string error;
  ASSERT_TRUE(SplitImage(file.data(), file.size(), raw, error)) << error;
  std::vector<uint8_t> blocks[kBlockCount];
  for (int b = 0; b < kBlockCount; ++b) blocks[b] = raw.blocks[b];
  std::vector<uint8_t> framed;
  ASSERT_TRUE(FrameImage(blocks, framed));

  int accepted = 0;
  for (size_t cut = 0; cut < framed.size(); ++cut) {
    std::vector<uint8_t> shorter(framed.begin() + static_cast<std::ptrdiff_t>(cut), framed.end());
    RawImage piece;
    ParsedImage parsed;
    if (SplitImage(shorter.data(), shorter.size(), piece, error) &&
        ValidateImage(std::move(piece), parsed, error)) {
      ++accepted;
    }
  }
  EXPECT_EQ(accepted, 1);  // only the whole image
  // Damage the imports block byte by byte: every outcome is a clean verdict.
  size_t importsAt = framed.size() - kTrailerSize;
  for (int b = kBlockCount - 1; b >= kImportsBlock; --b) importsAt -= 4 + blocks[b].size();
  for (size_t i = 0; i < blocks[kImportsBlock].size(); ++i) {
    std::vector<uint8_t> damaged = framed;
    damaged[importsAt + 4 + i] ^= 0xFF;
    RawImage piece;
    ParsedImage parsed;
    if (SplitImage(damaged.data(), damaged.size(), piece, error) &&
        !ValidateImage(std::move(piece), parsed, error)) {
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(ImageReader, ProjectObjectRecordsAreReadWholeOrRefused) {
  using Bytes = std::vector<uint8_t>;
  // Two entries: picture 0x0180, an object of class "Ab".
  const Bytes good = {2, 0, 0, 0, kProjectPicture, 0x80, 0x01, kProjectObject, 2, 'A', 'b'};
  std::vector<ImageProjectObject> objects;
  std::string error;
  ASSERT_TRUE(ParseProjectObjects(good.data(), good.size(), objects, error)) << error;
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0].resourceId, 0x0180);
  EXPECT_EQ(objects[1].className, "Ab");
  EXPECT_FALSE(ParseProjectObjects(good.data(), good.size() - 1, objects, error)) << "one byte short";
  ImageBlocks twice;
  for (int i = 0; i < 2; ++i) twice.AddOption(kOptionProjectObjects, good);
  EXPECT_HAS(ValidationError(twice), "two project-object tables");

  struct Case {
    Bytes bytes;
    const char* expected;
  } cases[] = {
      {{}, "announces more entries"},
      {{1, 0, 0, 0, kProjectPicture, 0x80}, "Project object 1 is cut short"},
      {{2, 0, 0, 0, kProjectPicture, 1, 0, kProjectObject}, "Project object 2 has an empty class name"},
      {{1, 0, 0, 0, kProjectObject, 3, 'A', 'b'}, "Project object 1 has an empty class name or one longer"},
      {{1, 0, 0, 0, kProjectObject, 0}, "empty class name"},
      {{1, 0, 0, 0, kProjectObject, 2, 'A', ' '}, "not printable"},
      {{1, 0, 0, 0, 3, 0}, "unknown kind 3"},
      {{1, 0, 0, 0, kProjectPicture, 1, 0, 0}, "1 bytes after its last entry"},
      {{0xFF, 0xFF, 0xFF, 0xFF, kProjectPicture, 1, 0}, "announces more entries"},
  };
  for (const Case& c : cases) {
    objects.assign(1, ImageProjectObject());
    EXPECT_FALSE(ParseProjectObjects(c.bytes.data(), c.bytes.size(), objects, error)) << c.expected;
    EXPECT_HAS(error, c.expected);
    EXPECT_TRUE(objects.empty()) << c.expected;
  }
}

TEST(ImageReader, WithoutTrailerTheDatFilesOfTheWorkingDirectoryAreRead) {
  RawImage appended;
  std::string error;
  ASSERT_TRUE(ReadImageFile(vorn::imagetest::TestImagePath("basic_image"), appended, error)) << error;
  EXPECT_FALSE(appended.fromDataFiles);

  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(vorn::imagetest::TestImagePath("basic_dat").c_str()), 0);
  // This test program is a bare executable: nothing follows its own bytes.
  RawImage fromFiles;
  bool read = ReadImageFile("/proc/self/exe", fromFiles, error);
  ASSERT_EQ(::chdir(previous), 0);
  ASSERT_TRUE(read) << error;
  EXPECT_TRUE(fromFiles.fromDataFiles);
  for (int b = 0; b < kBlockCount; ++b) EXPECT_EQ(fromFiles.blocks[b], appended.blocks[b]) << kBlockNames[b];

  // A folder without code.dat has no image at all.
  EXPECT_FALSE(ReadImageDataFiles("/nonexistent-folder", fromFiles, error));
  EXPECT_HAS(error, "code.dat");
  EXPECT_FALSE(ReadImageFile("/nonexistent-file", fromFiles, error));
  EXPECT_HAS(error, "Cannot open");
  EXPECT_FALSE(ReadImageFile("/dev/null", fromFiles, error)) << "no executable";
  EXPECT_HAS(error, "No image");

  // Asked for by name, a folder's files are read even by a program that carries an image.
  ::setenv(kImageFolderVariable, vorn::imagetest::TestImagePath("basic_dat").c_str(), 1);
  read = ReadImageFile(vorn::imagetest::TestImagePath("basic_image"), fromFiles, error);
  ::unsetenv(kImageFolderVariable);
  EXPECT_TRUE(read && fromFiles.fromDataFiles) << error;
}

}  // namespace

namespace {

using namespace vorn;
using namespace vorn::image;
using vorn::imagetest::ImageBlocks;

TEST(ImageChecksum, IsCrc32cAndSealedBlocksPassUntilOneBitChanges) {
  const char* check = "123456789";
  EXPECT_EQ(crc32c::Compute(reinterpret_cast<const uint8_t*>(check), 9), 0xE3069283u);

  ImageBlocks image;
  image.AddResource(kTypeText, 3, {'a', 'b'});
  std::string error;
  EXPECT_FALSE(VerifyImageChecksum(image.Raw(), error));
  EXPECT_HAS(error, "no checksum record");

  SealImage(image.blocks);
  EXPECT_TRUE(VerifyImageChecksum(image.Raw(), error)) << error;
  ParsedImage parsed;
  EXPECT_TRUE(ValidateImage(image.Raw(), parsed, error)) << error;  // an option like any other
  image.blocks[kResourcesBlock][15] ^= 0x10;
  EXPECT_FALSE(VerifyImageChecksum(image.Raw(), error));
  EXPECT_HAS(error, "The image is damaged");
}

// Damaged copies of a real image run by its host: each is refused with a text and status 1
// before any of its code runs (the image prints as soon as it runs).
TEST(ImageChecksum, DamagedCopiesOfARealImageAreRefusedBeforeTheyRun) {
  std::string path = imagetest::TestImagePath("basic_image");
  std::vector<uint8_t> file = imagetest::ReadBinaryFile(path);
  RawImage raw;
  std::string error;
  ASSERT_TRUE(SplitImage(file.data(), file.size(), raw, error)) << error;
  ParsedImage parsed;
  RawImage copy = raw;
  ASSERT_TRUE(ValidateImage(std::move(copy), parsed, error)) << error;
  ASSERT_FALSE(parsed.relocations.empty());
  // The relocation records are the last words of the imports block.
  size_t relocationAt = raw.fileOffsets[kImportsBlock] + raw.blocks[kImportsBlock].size() - 4;

  char folder[] = "/tmp/vorn-damaged-XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  struct Case {
    const char* what;
    size_t at;         // byte whose lowest bit flips, or the length to cut the file to
    bool truncate;
    const char* expected;
  } cases[] = {
      {"code", raw.fileOffsets[kCodeBlock] + 20, false, "The image is damaged"},
      {"relocation", relocationAt, false, "The image is damaged"},
      {"checksum", file.size() - kTrailerSize - 1, false, "The image is damaged"},
      {"record code", file.size() - kTrailerSize - 12, false, "The image is damaged: it carries no checksum record"},
      {"record length", file.size() - kTrailerSize - 8, false, "The image is damaged: it carries no checksum record"},
      {"trailer length", file.size() - kTrailerSize, false, "The image is damaged: "},
      {"magic", file.size() - 1, false, "The image is damaged: "},
      {"cut in the image", file.size() - 100, true, "The image is damaged: "},
      {"one byte after the host", raw.fileOffsets[kCodeBlock] - 3, true, "The image is damaged: "},
      {"the host one byte short", raw.fileOffsets[kCodeBlock] - 5, true, "the executable itself is cut short"},
  };
  // The blocks of the same image planted in the folder: a damaged program must not run them.
  for (const char* name : kBlockFileNames)
    std::filesystem::copy_file(imagetest::TestImagePath("basic_dat") + "/" + name, std::string(folder) + "/" + name);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> damaged = file;
    if (c.truncate) {
      damaged.resize(c.at);
    } else {
      damaged[c.at] ^= 1;
    }
    std::string copyPath = std::string(folder) + "/damaged";
    {
      std::ofstream out(copyPath, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));
    }
    ASSERT_EQ(::chmod(copyPath.c_str(), 0700), 0);
    std::string output;
    int status = imagetest::RunCommand("cd " + std::string(folder) + " && ./damaged", output);
    EXPECT_EQ(status, 1) << c.what;
    EXPECT_HAS(output, c.expected);
    EXPECT_EQ(output.find("int "), std::string::npos) << c.what << ": the image ran";
    ::unlink(copyPath.c_str());
  }
  for (const char* name : kBlockFileNames) ::unlink((std::string(folder) + "/" + name).c_str());
  ::rmdir(folder);
}

}  // namespace
