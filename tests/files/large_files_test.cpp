// Files of 2 GiB and more, made sparse so that they cost no disk: streams read them, append at
// their end and never write where the program did not ask; a value that a 32-bit Integer
// cannot hold fails the call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "files/binary_stream.h"
#include "files/data_file.h"
#include "files/folder_item_class.h"
#include "files/support/temp_folder.h"
#include "files/text_input_stream.h"
#include "files/stream_objects.h"
#include "files/text_output_stream.h"
#include "objects/text_encoding_object.h"
#include "vorn/folder_item_api.h"

namespace vorn::testing {
namespace {

constexpr int64_t kTailOffset = int64_t{3} << 30;
const std::string kHead = "first\nsecond\n";
const std::string kTail = "last line\n";
const int64_t kBigLength = kTailOffset + static_cast<int64_t>(kTail.size());

class LargeFileTest : public TempFolderTest {
 protected:
  // Reading text makes shared encoding objects that outlive any one test.
  void TearDown() override {
    ClearTextEncodingObjects();
    TempFolderTest::TearDown();
  }
  // "big": the head, 3 GiB of nothing, the tail.
  void MakeBigFile() {
    WriteFile("big", kHead);
    std::filesystem::resize_file(PathOf("big"), kTailOffset);
    std::ofstream(PathOf("big"), std::ios::binary | std::ios::app) << kTail;
  }
  std::string BytesAt(int64_t offset, size_t count) const {
    std::ifstream in(PathOf("big"), std::ios::binary);
    std::string bytes(count, '\0');
    in.seekg(offset).read(bytes.data(), static_cast<std::streamsize>(count));
    return bytes.substr(0, static_cast<size_t>(in.gcount()));
  }
};

std::string Take(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

// What the stream opened on "big" answers, and what the file holds from the tail's offset on
// afterwards.
TEST_F(LargeFileTest, StreamsReadAndAppendPastTwoGigabytesAndNeverWriteAtAGuess) {
  using std::to_string;
  const struct {
    const char* name;
    RuntimeObject* (*open)(RuntimeObject* item);
    std::function<std::string(RuntimeObject* stream)> use;
    std::string answer;
    std::string tail;
  } cases[] = {
      {"AppendToTextFile writes at the end", FolderItemAppendTextFile,
       [](RuntimeObject* out) {
         TextOutputStreamWrite(out, string("more").Rep());
         TextOutputStreamClose(out);
         return to_string(TextOutputStreamLastErrorGetter(out));
       },
       "0", kTail + "more"},
      {"Position = Length on a read-write BinaryStream fails, and so does the write after it",
       [](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 1); },
       [](RuntimeObject* stream) {
         const int32_t length = BinaryStreamGetLength(stream);
         std::string errors = to_string(length) + " " + to_string(BinaryStreamLastErrorGetter(stream));
         BinaryStreamSetPosition(stream, 0, length);
         BinaryStreamWriteByte(stream, 'X');
         BinaryStreamClose(stream);
         return errors + " " + to_string(BinaryStreamLastErrorGetter(stream));
       },
       "-1 75 22", kTail},
      {"ReadLine reads the first lines, PositionB tells where", FolderItemOpenTextFile,
       [](RuntimeObject* in) {
         std::string lines = Take(TextInputStreamReadLine(in, nullptr));
         lines += "|" + Take(TextInputStreamReadLine(in, nullptr));
         return lines + "|" + to_string(TextInputStreamGetPosition(in)) + "|" + to_string(TextInputStreamEOF(in));
       },
       "first|second|13|0", kTail},
      {"BinaryStream.Read takes its bytes from the start",
       [](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 0); },
       [](RuntimeObject* stream) {
         const std::string bytes = Take(BinaryStreamRead(stream, 5, nullptr));
         return bytes + "|" + to_string(BinaryStreamEOF(stream));
       },
       "first|0", kTail},
      {"ReadAll fails: no string holds 3 GiB", FolderItemOpenTextFile,
       [](RuntimeObject* in) {
         const std::string all = Take(TextInputStreamReadAll(in, nullptr));
         return all + "|" + to_string(TextInputStreamLastErrorGetter(in));
       },
       "|75", kTail},
      {"ReadLine fails on a line past 2 GiB and steps over it, here to the end", FolderItemOpenTextFile,
       [](RuntimeObject* in) {
         std::string lines;
         for (int i = 0; i < 3; ++i) lines += Take(TextInputStreamReadLine(in, nullptr)) + "|";
         lines += to_string(TextInputStreamLastErrorGetter(in));
         return lines + "|" + to_string(TextInputStreamGetPosition(in)) + "|" + to_string(TextInputStreamEOF(in));
       },
       "first|second||75|-1|1", kTail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MakeBigFile();
    RuntimeObject* item = NewFolderItemWithImp(nullptr, Item(PathOf("big")).release());
    RuntimeObject* stream = c.open(item);
    EXPECT_EQ(stream ? c.use(stream) : "nil", c.answer);
    if (stream) RuntimeUnlockObject(stream);
    RuntimeUnlockObject(item);
    EXPECT_EQ(BytesAt(0, kHead.size()), kHead) << "the start of the file stays as it was";
    EXPECT_EQ(BytesAt(kTailOffset, 64), c.tail);
    EXPECT_EQ(std::filesystem::file_size(PathOf("big")), kTailOffset + c.tail.size());
  }
}

// "first", `length` bytes of "x", "next" (UTF-16 when `unitSize` is 2), made up as read, in odd
// pieces; past a little more than it holds it fails, so gathering the long line fails cheaply.
class MadeUpLines : public RandomAccessMechanism {
 public:
  MadeUpLines(int64_t length, int32_t unitSize)
      : mUnit(unitSize), mBodyEnd(6 * unitSize + length), mLength(mBodyEnd + 6 * unitSize), mBudget(mLength + (1 << 20)) {}
  bool Read(void* buffer, int32_t count, int32_t* outCount) override {
    if (outCount) *outCount = 0;
    const int64_t n = std::min<int64_t>(count <= 1024 ? std::min(count, 1023) : count, mLength - mPosition);
    if (n <= 0 || (mBudget -= n) < 0) return false;
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 'x', static_cast<size_t>(n));
    for (int64_t at = mPosition; at < std::min(mPosition + n, int64_t{6} * mUnit); ++at) out[at - mPosition] = ByteAt(at);
    for (int64_t at = std::max(mPosition, mBodyEnd); at < mPosition + n; ++at) out[at - mPosition] = ByteAt(at);
    mPosition += n;
    if (outCount) *outCount = static_cast<int32_t>(n);
    return true;
  }
  bool Write(const void*, int32_t) override { return false; }
  bool Close() override { return true; }
  bool IsEOF() override { return mPosition >= mLength; }
  bool SetPosition(int32_t position) override { return SetPosition64(position); }
  int32_t GetLength() override { return Answer32(mLength); }
  bool SetLength(int32_t) override { return false; }
  int32_t GetPosition() override { return Answer32(mPosition); }
  int64_t GetLength64() override { return mLength; }
  int64_t GetPosition64() override { return mPosition; }
  bool SetPosition64(int64_t position) override {
    mPosition = std::clamp<int64_t>(position, 0, mLength);
    return position >= 0;
  }

 private:
  uint8_t ByteAt(int64_t at) const {
    if (at % mUnit) return 0;
    return static_cast<uint8_t>(at < mBodyEnd ? "first\n"[at / mUnit] : "\nnext\n"[(at - mBodyEnd) / mUnit]);
  }
  const int32_t mUnit;
  const int64_t mBodyEnd, mLength;
  int64_t mBudget, mPosition = 0;
};

// A line too long for a string is refused ungathered and stepped over: a While Not EOF loop ends.
TEST_F(LargeFileTest, ALineTooLongForAStringIsSteppedOverUngathered) {
  const struct { int64_t length; int32_t unitSize; const char* answer; } cases[] = {
      {kLongestStringBytes, 1, "first|gathered"},
      {kLongestStringBytes + 1, 1, "first||75|next|1"},
      {INT32_MAX + 1LL, 1, "first||75|next|1"},
      {INT32_MAX + 60 * 1024LL, 1, "first||75|next|1"},
      {kLongestStringBytes - 1, 2, "first|gathered"},
      {kLongestStringBytes + 1, 2, "first||75|next|1"},
      {INT32_MAX + 1LL, 2, "first||75|next|1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + " bytes in units of " + std::to_string(c.unitSize));
    RuntimeObject* in = NewTextInputStreamObject(new MadeUpLines(c.length, c.unitSize));
    RuntimeObject* encoding = c.unitSize == 2 ? GetTEObjectFromEncoding(kEncodingUTF16) : nullptr;
    auto line = [&] {
      std::string text = Take(TextInputStreamReadLine(in, encoding));
      std::erase(text, '\0');  // the high bytes of UTF-16 units: every character here is ASCII
      return text.size() > 8 ? std::string("gathered") : text;
    };
    std::string answer = line() + "|";
    answer += line();
    if (answer == "first|") {
      answer += "|" + std::to_string(TextInputStreamLastErrorGetter(in)) + "|" + line();
      answer += "|" + std::to_string(TextInputStreamEOF(in));
    }
    EXPECT_EQ(answer, c.answer);
    RuntimeUnlockObject(encoding);
    RuntimeUnlockObject(in);
  }
}

TEST_F(LargeFileTest, APositionPastTwoGigabytesIsNeverAnsweredAsAnotherOne) {
  MakeBigFile();
  std::unique_ptr<DataFile> file(NewDataFile());
  ASSERT_TRUE(file->Open(PathOf("big").c_str(), kDataFileReadWritePermission));
  ASSERT_TRUE(file->SetPosition64(kBigLength));
  EXPECT_EQ(file->GetPosition(), -1) << "not 0, which a program would take for the start";
  EXPECT_EQ(file->mLastError, EOVERFLOW);
  EXPECT_TRUE(WriteText(*file, "!"));
  EXPECT_EQ(file->GetLength64(), kBigLength + 1) << "bytes still buffered count";
}

TEST_F(LargeFileTest, AFailedSeekLeavesNoPlaceToReadOrWriteUntilOneSucceeds) {
  WriteFile("small", "abcdef");
  std::unique_ptr<DataFile> file(NewDataFile());
  ASSERT_TRUE(file->Open(PathOf("small").c_str(), kDataFileReadWritePermission));
  ASSERT_TRUE(file->SetPosition(3));
  EXPECT_FALSE(file->SetPosition(-1));
  EXPECT_FALSE(WriteText(*file, "XY"));
  EXPECT_EQ(file->mLastError, EINVAL);
  EXPECT_EQ(ReadText(*file, 1), "<failed>");
  EXPECT_EQ(file->GetPosition(), -1);
  ASSERT_TRUE(file->SetPosition(4));
  EXPECT_TRUE(WriteText(*file, "XY"));
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(ReadFile("small"), "abcdXY");
}

}  // namespace
}  // namespace vorn::testing
