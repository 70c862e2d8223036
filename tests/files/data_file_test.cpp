#include "files/data_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "base/shutdown_task.h"
#include "files/support/temp_folder.h"

namespace vorn::testing {
namespace {

class DataFileTest : public TempFolderTest {
 protected:
  std::unique_ptr<DataFile> Opened(const std::string& relative, const std::string& contents,
                                   int32_t permission = kDataFileReadWritePermission) {
    WriteFile(relative, contents);
    std::unique_ptr<DataFile> file(NewDataFile());
    EXPECT_TRUE(file->Open(PathOf(relative).c_str(), permission));
    return file;
  }
};

TEST_F(DataFileTest, ReadsShortAtTheEndAndFailsPastIt) {
  auto file = Opened("f", "0123456789abcd");
  ASSERT_TRUE(file->SetPosition(10));
  EXPECT_EQ(ReadText(*file, 10), "abcd");
  EXPECT_EQ(ReadText(*file, 1), "<failed>");
  EXPECT_TRUE(file->IsEOF());
  int32_t got = -1;
  char byte;
  EXPECT_TRUE(file->Read(&byte, 0, &got));
  EXPECT_EQ(got, 0);
  EXPECT_EQ(file->mLastError, 0);
}

TEST_F(DataFileTest, LengthLeavesThePositionAndSetLengthKeepsIt) {
  auto file = Opened("f", "hello world");
  ASSERT_TRUE(file->SetPosition(3));
  EXPECT_EQ(file->GetLength(), 11);
  EXPECT_EQ(file->GetPosition(), 3);
  EXPECT_TRUE(file->SetLength(5));
  EXPECT_EQ(file->GetPosition(), 3);
  EXPECT_EQ(file->GetLength(), 5);
  EXPECT_TRUE(file->SetLength(8));
  EXPECT_EQ(ReadText(*file, 10), std::string("lo\0\0\0", 5));
  // Cut short behind bytes just written, past the new end.
  ASSERT_TRUE(file->SetPosition(0));
  ASSERT_TRUE(WriteText(*file, "written"));
  EXPECT_EQ(file->GetLength(), 8) << "buffered bytes inside the file";
  EXPECT_TRUE(file->SetLength(2));
  EXPECT_EQ(file->GetLength(), 2);
  EXPECT_EQ(file->GetPosition(), 7);
}

TEST_F(DataFileTest, ReadingAfterWritingSeesTheWrittenBytes) {
  std::unique_ptr<DataFile> file(NewDataFile());
  ASSERT_TRUE(file->Create(PathOf("w").c_str()));
  ASSERT_TRUE(WriteText(*file, "abcdef"));
  ASSERT_TRUE(file->SetPosition(2));
  EXPECT_EQ(ReadText(*file, 2), "cd");
  // Writing straight after a read, and reading straight after a write, without a seek.
  ASSERT_TRUE(WriteText(*file, "XY"));
  ASSERT_TRUE(file->SetPosition(0));
  EXPECT_EQ(ReadText(*file, 3), "abc");
  ASSERT_TRUE(WriteText(*file, "Q"));
  EXPECT_EQ(ReadText(*file, 10), "XY");
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(ReadFile("w"), "abcQXY");
}

TEST_F(DataFileTest, CloseAnswersOnceAndNeverOpenedFails) {
  std::unique_ptr<DataFile> never(NewDataFile());
  EXPECT_FALSE(never->Close());
  auto file = Opened("f", "x");
  EXPECT_TRUE(file->Close());
  EXPECT_FALSE(file->Close());
  EXPECT_EQ(ReadText(*file, 1), "<failed>");
  EXPECT_FALSE(WriteText(*file, "y"));
}

TEST_F(DataFileTest, ReadOnlyRefusesWritesAndBadPermissionIsReported) {
  auto file = Opened("f", "abc", kDataFileReadPermission);
  // The stream may take the bytes into its buffer; closing must then tell of the failure.
  bool written = WriteText(*file, "zz");
  written = file->Close() && written;
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile("f"), "abc");

  std::unique_ptr<DataFile> other(NewDataFile());
  EXPECT_FALSE(other->Open(PathOf("f").c_str(), 2));
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("Invalid permissions passed in to UnixDataFile::Open"), std::string::npos);
  EXPECT_FALSE(other->Close());
}

TEST_F(DataFileTest, MissingFileKeepsErrno) {
  std::unique_ptr<DataFile> file(NewDataFile());
  EXPECT_FALSE(file->Open(PathOf("nothing").c_str(), kDataFileReadPermission));
  EXPECT_EQ(file->mLastError, 2);
  EXPECT_FALSE(file->Create(PathOf("no/such/folder").c_str()));
  EXPECT_EQ(file->mLastError, 2);
}

TEST_F(DataFileTest, TemporaryFiles) {
  std::unique_ptr<DataFile> anonymous(NewDataFile());
  ASSERT_TRUE(anonymous->CreateTemporary(""));
  EXPECT_TRUE(WriteText(*anonymous, "scratch"));
  EXPECT_EQ(anonymous->GetLength(), 7);
  EXPECT_TRUE(anonymous->Close());

  // Named ones: link_safety_test (a new private file in the user's temporary folder).
}

TEST_F(DataFileTest, ScrambledBytesRoundTripThroughTheFile) {
  std::unique_ptr<DataFile> file(NewDataFile());
  ASSERT_TRUE(file->Create(PathOf("s").c_str()));
  file->SetScramble(true);
  const char plain[] = {0x41, 0x42};
  ASSERT_TRUE(file->Write(plain, 2));
  EXPECT_EQ(plain[0], 0x41) << "the caller's buffer stays as it was";
  ASSERT_TRUE(file->Close());
  EXPECT_EQ(ReadFile("s"), "\xBE\xFC");

  std::unique_ptr<DataFile> back(NewDataFile());
  ASSERT_TRUE(back->Open(PathOf("s").c_str(), kDataFileReadPermission));
  back->SetScramble(true);
  EXPECT_EQ(ReadText(*back, 2), "AB");
}

TEST_F(DataFileTest, CleanerClosesAtShutdownAndGoesWithAnEarlyClose) {
  ASSERT_FALSE(AnyShutdownTasks());
  auto file = Opened("f", "");
  new DataFileCleaner(file.get());
  ASSERT_TRUE(WriteText(*file, "buffered"));
  RunShutdownTasks();
  EXPECT_EQ(file->mCleaner, nullptr);
  EXPECT_EQ(ReadFile("f"), "buffered") << "the shutdown closed and flushed the file";
  EXPECT_FALSE(file->Close());

  auto early = Opened("g", "");
  new DataFileCleaner(early.get());
  EXPECT_TRUE(early->Close());
  EXPECT_FALSE(AnyShutdownTasks());

  auto destroyed = Opened("h", "");
  new DataFileCleaner(destroyed.get());
  destroyed.reset();
  EXPECT_FALSE(AnyShutdownTasks()) << "a destroyed file takes its cleaner along";
  RunShutdownTasks();
}

}  // namespace
}  // namespace vorn::testing
