#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "startup/class_registration.h"
#include "files/data_file.h"
#include "files/line_buffer.h"
#include "files/stream_objects.h"
#include "files/support/stream_object_test.h"
#include "files/text_input_stream.h"
#include "files/text_output_stream.h"
#include "objects/runtime_object.h"
#include "objects/stream_interfaces.h"
#include "objects/text_encoding_object.h"

namespace vorn::testing {
namespace {

class TextStreamsTest : public StreamObjectTest {
 protected:
  static void SetUpTestSuite() { RegisterIntrinsicClasses(); }

  // Every line until EOF (at most 50, so a stream that never ends fails instead of hanging).
  static std::vector<std::string> AllLines(RuntimeObject* stream, RuntimeObject* encoding = nullptr) {
    std::vector<std::string> lines;
    while (!TextInputStreamEOF(stream) && lines.size() < 50)
      lines.push_back(Take(TextInputStreamReadLine(stream, encoding)));
    return lines;
  }
  static std::string Utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
  }
};

using Lines = std::vector<std::string>;

TEST_F(TextStreamsTest, LinesEndAtEveryConventionAndTheLastNeedsNone) {
  RuntimeObject* stream = NewTextInputStreamObject(StoreWith("a\r\nb\rc\nd"));
  EXPECT_EQ(AllLines(stream), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(TextInputStreamEOF(stream), 1);
  RuntimeUnlockObject(stream);

  stream = NewTextInputStreamObject(StoreWith(""));
  EXPECT_EQ(Take(TextInputStreamReadLine(stream, nullptr)), "");
  EXPECT_EQ(TextInputStreamEOF(stream), 1);
  RuntimeUnlockObject(stream);
}

TEST_F(TextStreamsTest, PairSplitAcrossTheBufferIsOneBreak) {
  // The first fill ends at the CR, behind a line that lies whole in it.
  const std::string first(kFirstFill - 4, 'x'), longer(2 * kTextInputBufferSize + 3, 'y');
  RuntimeObject* stream = NewTextInputStreamObject(StoreWith("ab\n" + first + "\r\nnext\n" + longer + "\r\n"));
  EXPECT_EQ(AllLines(stream), (Lines{"ab", first, "next", longer})) << "a line longer than the buffer comes whole";
  RuntimeUnlockObject(stream);
}

// A program that jumps about and reads a line at each place reads about a page for each, and one
// that reads on reads ahead further with each fill, up to the whole buffer.
TEST_F(TextStreamsTest, AJumpReadsAPageAndReadingOnReadsFurtherAhead) {
  std::string bytes;
  for (int i = 0; bytes.size() < 1024 * 1024; ++i) bytes += std::string(63, static_cast<char>('a' + i % 26)) + "\n";
  auto* store = new FailingStore();
  store->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  int32_t reads = 0;
  int64_t read = 0;
  store->readCount = &reads;
  store->bytesRead = &read;
  RuntimeObject* stream = NewTextInputStreamObject(store);
  for (const int32_t line : {0, 7000, 1, 16383, 42}) {
    read = 0;
    TextInputStreamSetPosition(stream, 0, line * 64);
    EXPECT_EQ(Take(TextInputStreamReadLine(stream, nullptr)), bytes.substr(static_cast<size_t>(line) * 64, 63)) << line;
    EXPECT_LE(read, kFirstFill) << "line " << line;
  }
  // 256 KiB on from line 42.
  TextInputStreamSetPosition(stream, 0, 42 * 64);
  read = reads = 0;
  for (int line = 42; line < 42 + 4096; ++line) {
    ASSERT_EQ(Take(TextInputStreamReadLine(stream, nullptr)), bytes.substr(static_cast<size_t>(line) * 64, 63));
  }
  EXPECT_LE(read, 256 * 1024 + kTextInputBufferSize);
  EXPECT_LE(reads, 9) << "4, 8, 16, 32 KiB, then the whole buffer each time";
  RuntimeUnlockObject(stream);
}

// A temporary file on disk holding the bytes, positioned at 0.
RandomAccessMechanism* FileWith(const std::string& bytes) {
  auto* file = new UnixDataFile();
  if (file->CreateTemporary("") && file->Write(bytes.data(), static_cast<int32_t>(bytes.size())) && file->SetPosition(0)) return file;
  delete file;
  return nullptr;
}

// Seeded programs of ReadLine, Read, a jump, EOF and ReadAll over text of short and long lines
// across several fills, against the text itself: each answer and the position after it. Lines of
// every length around the scan's 16- and 64-byte steps come at every offset, and a file on disk
// answers EOF by reading ahead into the stream's buffer.
TEST_F(TextStreamsTest, RandomReadsAnswerAsTheTextSays) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < 200 * 1024) {
      const int kind = int(random() % 8);
      text += kind == 0 ? "\r" : kind == 1 ? "\r\n" : kind == 2 ? "\n" : std::string(random() % (kind == 3 ? 5000 : 90), char('a' + kind));
    }
    RandomAccessMechanism* store = seed % 2 ? static_cast<RandomAccessMechanism*>(StoreWith(text)) : FileWith(text);
    ASSERT_NE(store, nullptr);
    RuntimeObject* stream = NewTextInputStreamObject(store);
    size_t at = 0;
    for (int step = 0; step < 400; ++step) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step));
      switch (random() % 8) {
        case 0: {
          at = random() % (text.size() + 1);
          TextInputStreamSetPosition(stream, 0, static_cast<int32_t>(at));
          break;
        }
        case 1: {
          const size_t count = 1 + random() % 70000;
          ASSERT_EQ(Take(TextInputStreamRead(stream, static_cast<int32_t>(count), nullptr)), text.substr(at, count));
          at = std::min(text.size(), at + count);
          break;
        }
        case 2:
          if (random() % 10 == 0) {
            ASSERT_EQ(Take(TextInputStreamReadAll(stream, nullptr)), text.substr(at));
            at = text.size();
          }
          break;
        default: {
          const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
          ASSERT_EQ(Take(TextInputStreamReadLine(stream, nullptr)), text.substr(at, end - at));
          at = end + (end < text.size()) + (text.compare(end, 2, "\r\n") == 0);
        }
      }
      ASSERT_EQ(TextInputStreamGetPosition(stream), static_cast<int32_t>(at));
      ASSERT_EQ(TextInputStreamEOF(stream) != 0, at == text.size());
    }
    RuntimeUnlockObject(stream);
  }
}

TEST_F(TextStreamsTest, LinesAreTaggedWithTheArgumentOrTheStreamsEncoding) {
  RuntimeObject* stream = NewTextInputStreamObject(StoreWith("one\ntwo\nthree\n"));
  RuntimeObject* latin1 = GetTEObjectFromEncoding(0x0201);
  EXPECT_EQ(TakeTagged(TextInputStreamReadLine(stream, nullptr)), "0x8000100:one") << "UTF-8 by default";
  EXPECT_EQ(TakeTagged(TextInputStreamReadLine(stream, latin1)), "0x201:two");
  objSetter(stream, offsetof(TextInputStreamObject, encoding), latin1);
  EXPECT_EQ(TakeTagged(TextInputStreamReadAll(stream, nullptr)), "0x201:three\n");
  RuntimeUnlockObject(latin1);
  RuntimeUnlockObject(stream);
}

TEST_F(TextStreamsTest, Utf16LinesEndAtWholeUnitsOnly) {
  // 0x0A00 holds a line-feed byte but is not a line feed; a lone byte at the end ends the line.
  std::string bytes = std::string(1, '\0') + std::string("\x0A", 1) + Utf16("b\r\nc") + "\x0D";
  RuntimeObject* stream = NewTextInputStreamObject(StoreWith(std::string(1023, 'p') + bytes));
  RuntimeObject* utf16 = GetTEObjectFromEncoding(kEncodingUTF16);
  TextInputStreamSetPosition(stream, 0, 1023);
  Lines lines = AllLines(stream, utf16);
  EXPECT_EQ(lines, (Lines{std::string("\0\x0A", 2) + Utf16("b"), Utf16("c") + "\x0D"}));
  RuntimeUnlockObject(utf16);
  RuntimeUnlockObject(stream);
}

TEST_F(TextStreamsTest, Utf16UnitCutByTheBufferEndIsJoinedWithItsOtherHalf) {
  const std::string across(kTextInputBufferSize / 2 + 100, 'a');
  std::string bytes = "Z" + Utf16(across) + Utf16("\nend");
  RuntimeObject* stream = NewTextInputStreamObject(StoreWith(bytes));
  RuntimeObject* utf16 = GetTEObjectFromEncoding(kEncodingUTF16);
  TextInputStreamSetPosition(stream, 0, 0);
  EXPECT_EQ(Take(TextInputStreamRead(stream, 1, nullptr)), "Z") << "leaves the buffer at an odd byte";
  EXPECT_EQ(AllLines(stream, utf16), (Lines{Utf16(across), Utf16("end")}));
  RuntimeUnlockObject(utf16);
  RuntimeUnlockObject(stream);
}

TEST_F(TextStreamsTest, BlocksComeFromTheBufferFirstAndPositionCountsWhatWasHandedOut) {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>('a' + i % 26);
  RuntimeObject* stream = NewTextInputStreamObject(StoreWith(bytes));
  EXPECT_EQ(Take(TextInputStreamReadLine(stream, nullptr)).size(), 3000u);
  TextInputStreamSetPosition(stream, 0, 10);
  EXPECT_EQ(TextInputStreamGetPosition(stream), 10);
  EXPECT_EQ(Take(TextInputStreamRead(stream, 5, nullptr)), bytes.substr(10, 5));
  EXPECT_EQ(TextInputStreamGetPosition(stream), 15);
  EXPECT_EQ(Take(TextInputStreamRead(stream, 2000, nullptr)), bytes.substr(15, 2000)) << "past the buffer";
  EXPECT_EQ(TextInputStreamGetPosition(stream), 2015);
  EXPECT_EQ(Take(TextInputStreamRead(stream, 0, nullptr)), "");
  EXPECT_EQ(Take(TextInputStreamRead(stream, -4, nullptr)), "");
  EXPECT_EQ(Take(TextInputStreamReadAll(stream, nullptr)), bytes.substr(2015));
  EXPECT_EQ(TextInputStreamEOF(stream), 1);
  TextInputStreamSetPosition(stream, 0, -3);
  EXPECT_EQ(TextInputStreamGetPosition(stream), 0);
  EXPECT_EQ(TextInputStreamEOF(stream), 0) << "the buffer was refilled at once";
  EXPECT_EQ(Take(TextInputStreamRead(stream, 0x7FFFFFFF, nullptr)), bytes) << "a wild count reads what is there";
  RuntimeUnlockObject(stream);
}

TEST_F(TextStreamsTest, ClosedInputKeepsItsErrorAndIsAtItsEnd) {
  auto* store = new FailingStore();
  store->Write("abc\n", 4);
  store->SetPosition(0);
  store->mLastError = 5;
  RuntimeObject* stream = NewTextInputStreamObject(store);
  EXPECT_EQ(TextInputStreamLastErrorGetter(stream), 5);
  TextInputStreamClose(stream);
  EXPECT_EQ(TextInputStreamLastErrorGetter(stream), 5);
  EXPECT_EQ(TextInputStreamErrorFlag(stream), 1);
  EXPECT_EQ(Take(TextInputStreamReadLine(stream, nullptr)), "");
  EXPECT_EQ(Take(TextInputStreamRead(stream, 3, nullptr)), "");
  EXPECT_EQ(TextInputStreamEOF(stream), 1) << "a reading loop over a closed stream must end";
  EXPECT_EQ(TextInputStreamGetPosition(stream), 0);
  TextInputStreamClose(stream);
  RuntimeUnlockObject(stream);
  EXPECT_EQ(TextInputStreamLastErrorGetter(nullptr), 0);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("obj"), std::string::npos);
}

TEST_F(TextStreamsTest, ReadLineOverAStarvingStoreReturns) {
  auto* store = new FailingStore();
  store->Write("no end in sight", 15);
  store->SetPosition(0);
  store->starveReads = true;
  RuntimeObject* stream = NewTextInputStreamObject(store);
  EXPECT_EQ(Take(TextInputStreamReadLine(stream, nullptr)), "");
  RuntimeUnlockObject(stream);
}

TEST_F(TextStreamsTest, WriteLineEndsWithTheDelimiterInTheLinesEncoding) {
  auto* store = new FileHandle();
  RuntimeObject* stream = NewTextOutputStreamObject(store);
  TextOutputStreamWriteLine(stream, string("x").Rep());
  string semicolon(";");
  stringSetter(stream, offsetof(TextOutputStreamObject, delimiter), semicolon.Rep());
  TextOutputStreamWriteLine(stream, string("x").Rep());
  TextOutputStreamWrite(stream, string("plain").Rep());
  TextOutputStreamWrite(stream, nullptr);
  TextOutputStreamWriteLine(stream, nullptr);
  EXPECT_EQ(Contents(store), "x\nx;plain;");

  string utf16Line = ConvertTextEncoding(string("hi"), kEncodingUTF16);
  TextOutputStreamWriteLine(stream, utf16Line.Rep());
  EXPECT_EQ(Contents(store).substr(10), Utf16("hi;")) << "the delimiter follows the line into UTF-16";
  string unknownDelimiter(std::string_view("|"), kEncodingUnknown);
  stringSetter(stream, offsetof(TextOutputStreamObject, delimiter), unknownDelimiter.Rep());
  TextOutputStreamWriteLine(stream, utf16Line.Rep());
  EXPECT_EQ(Contents(store).substr(16), Utf16("hi") + "|") << "a delimiter of unknown encoding goes as it is";
  stringSetter(stream, offsetof(TextOutputStreamObject, delimiter), nullptr);
  TextOutputStreamWriteLine(stream, utf16Line.Rep());
  EXPECT_EQ(Contents(store).substr(21), Utf16("hi\n")) << "the end of line is always converted";
  RuntimeUnlockObject(stream);
}

TEST_F(TextStreamsTest, OutputFailuresReachWriteErrorAndSurviveClose) {
  auto* store = new FailingStore();
  RuntimeObject* stream = NewTextOutputStreamObject(store);
  TextOutputStreamWrite(stream, string("ok").Rep());
  EXPECT_EQ(TextOutputStreamErrorFlag(stream), 0);
  store->refuseWrites = true;
  TextOutputStreamWriteLine(stream, string("lost").Rep());
  EXPECT_EQ(TextOutputStreamErrorFlag(stream), 1);
  store->mLastError = 0;
  store->failClose = true;
  TextOutputStreamClose(stream);
  EXPECT_NE(TextOutputStreamLastErrorGetter(stream), 0) << "a close that lost data does not read as success";
  TextOutputStreamFlush(stream);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("obj->mechanism"), std::string::npos);
  TextOutputStreamWriteLine(stream, string("after").Rep());
  RuntimeUnlockObject(stream);
}

TEST_F(TextStreamsTest, EachStoreIsClosedAndDestroyedExactlyOnce) {
  for (bool closeFirst : {false, true}) {
    int32_t closes = 0, destroyed = 0;
    auto* out = new FailingStore();
    out->closeCount = &closes;
    out->destroyCount = &destroyed;
    RuntimeObject* stream = NewTextOutputStreamObject(out);
    if (closeFirst) TextOutputStreamClose(stream);
    RuntimeUnlockObject(stream);
    EXPECT_EQ(closes, 1) << closeFirst;
    EXPECT_EQ(destroyed, 1) << closeFirst;
  }
  int32_t closes = 0, destroyed = 0;
  auto* in = new FailingStore();
  in->closeCount = &closes;
  in->destroyCount = &destroyed;
  RuntimeUnlockObject(NewTextInputStreamObject(in));
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(destroyed, 1);
}

TEST_F(TextStreamsTest, ClassesImplementTheirInterfaces) {
  RuntimeObject* input = NewTextInputStreamObject(StoreWith("abc"));
  RuntimeObject* output = NewTextOutputStreamObject(new FileHandle());
  EXPECT_TRUE(ObjectIsaDefinition(input, GetReadableInterfaceDefinition()));
  EXPECT_FALSE(ObjectIsaDefinition(input, GetWriteableInterfaceDefinition()));
  EXPECT_TRUE(ObjectIsaDefinition(output, GetWriteableInterfaceDefinition()));
  EXPECT_EQ(LookupInterfaceMethod(input, GetReadableInterfaceDefinition(), string("eof")),
            reinterpret_cast<void*>(&TextInputStreamEOF));
  EXPECT_EQ(LookupInterfaceMethod(output, GetWriteableInterfaceDefinition(), string("Flush")),
            reinterpret_cast<void*>(&TextOutputStreamFlush));
  RuntimeUnlockObject(input);
  RuntimeUnlockObject(output);
}

}  // namespace
}  // namespace vorn::testing
