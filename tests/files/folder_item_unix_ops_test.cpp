#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <chrono>
#include <memory>
#include <thread>

#include "files/folder_item_imp_unix.h"
#include "files/random_access_mechanism.h"
#include "files/support/temp_folder.h"
#include "controls/movie_classes.h"
#include "objects/runtime_object.h"

namespace vorn::testing {
namespace {

using FolderItemUnixOpsTest = TempFolderTest;

// Waits up to two seconds for a file a background program writes.
std::string AwaitFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && info.st_size > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      FILE* f = std::fopen(path.c_str(), "rb");
      std::string text;
      char buffer[256];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
      std::fclose(f);
      return text;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "<none>";
}

TEST_F(FolderItemUnixOpsTest, EscapingMarksTheSevenShellBytes) {
  EXPECT_EQ(Text(EscapeShellPath(string("/tmp/a b&c"))), "/tmp/a\\ b\\&c");
  EXPECT_EQ(Text(EscapeShellPath(string("\\\"'()"))), "\\\\\\\"\\'\\(\\)");
  EXPECT_EQ(Text(EscapeShellPath(string("$;|`"))), "$;|`");
  EXPECT_EQ(EscapeShellPath(string()).Encoding(), kFileSystemEncoding);
  EXPECT_EQ(EscapeShellPath(string("x y", kEncodingUTF8)).Encoding(), kEncodingUTF8);
}

TEST_F(FolderItemUnixOpsTest, CopyAndMoveTakeShellBytesLiterally) {
  const std::string nasty = "a b&c;$(x)";
  const std::string worse = "q`touch pwned`\n'\";|*";
  WriteFile(nasty, "first");
  WriteFile(worse, "second");
  MakeFolder("out");
  ASSERT_EQ(chdir(Root().c_str()), 0);

  auto source = Item(PathOf(nasty));
  auto target = Item(PathOf("out/" + nasty));
  EXPECT_TRUE(source->CopyFileTo(target.get()));
  EXPECT_EQ(ReadFile("out/" + nasty), "first");
  EXPECT_EQ(ReadFile(nasty), "first");

  auto other = Item(PathOf(worse));
  auto moved = Item(PathOf("out/" + worse));
  EXPECT_TRUE(other->MoveFileTo(moved.get()));
  EXPECT_EQ(ReadFile("out/" + worse), "second");
  EXPECT_FALSE(PathExists(worse));
  EXPECT_EQ(Text(other->mPath), PathOf(worse)) << "a moved item keeps naming the old place";

  EXPECT_FALSE(PathExists("pwned"));
  EXPECT_FALSE(PathExists("x"));
  ASSERT_EQ(chdir("/"), 0);
}

TEST_F(FolderItemUnixOpsTest, CopyFailuresAnswerFalse) {
  MakeFolder("dir");
  auto folder = Item(PathOf("dir"));
  auto into = Item(PathOf("dir2"));
  EXPECT_FALSE(folder->CopyFileTo(into.get())) << "folders are not copied";
  EXPECT_FALSE(PathExists("dir2"));

  auto missing = Item(PathOf("missing"));
  EXPECT_FALSE(missing->CopyFileTo(into.get()));
  EXPECT_EQ(missing->mLastError, 2);

  EXPECT_FALSE(missing->CopyFileTo(nullptr));
  EXPECT_FALSE(missing->MoveFileTo(nullptr));
  EXPECT_EQ(Reports().size(), 2u);
}

TEST_F(FolderItemUnixOpsTest, LaunchPassesOneArgumentAndLeavesNoZombie) {
  WriteFile("prog", "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$0.out\"\n");
  auto prog = Item(PathOf("prog"));
  prog->MakeExecutable();
  struct stat info;
  ASSERT_EQ(stat(PathOf("prog").c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);

  EXPECT_TRUE(prog->Launch(string("-v x;$(y)"), true));
  EXPECT_EQ(AwaitFile(PathOf("prog.out")), "1|-v x;$(y)");
  ASSERT_EQ(unlink(PathOf("prog.out").c_str()), 0);
  EXPECT_TRUE(prog->Launch(string(), false));
  EXPECT_EQ(AwaitFile(PathOf("prog.out")), "0|");
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours is left to reap";
  EXPECT_EQ(errno, ECHILD);

  WriteFile("data", "not a program");
  auto data = Item(PathOf("data"));
  EXPECT_FALSE(data->Launch(string(), true));
  EXPECT_EQ(data->mLastError, EACCES);
}

TEST_F(FolderItemUnixOpsTest, RenamingFoldersFilesAndMereReferences) {
  MakeFolder("d");
  auto folder = Item(PathOf("d"));
  EXPECT_TRUE(folder->SetName(string("e")));
  EXPECT_EQ(Text(folder->mPath), PathOf("e/"));
  EXPECT_TRUE(PathExists("e"));

  auto ghost = Item(PathOf("ghost"));
  EXPECT_TRUE(ghost->SetName(string("spirit")));
  EXPECT_EQ(Text(ghost->mPath), PathOf("spirit"));
  EXPECT_FALSE(PathExists("spirit"));

  WriteFile("f", "1");
  auto file = Item(PathOf("f"));
  for (const char* bad : {"", ".", "..", "../escape", "a/b"}) {
    EXPECT_FALSE(file->SetName(string(bad))) << bad;
    EXPECT_EQ(file->mLastError, EINVAL);
  }
  EXPECT_EQ(Text(file->mPath), PathOf("f"));
  EXPECT_TRUE(PathExists("f"));

  auto blocked = Item(PathOf("e"));
  WriteFile("e/inner", "");
  EXPECT_FALSE(file->SetName(string("e")));
  EXPECT_EQ(Text(file->mPath), PathOf("f")) << "a failed rename keeps the path";
}

TEST_F(FolderItemUnixOpsTest, CreatingFoldersAndStreams) {
  MakeFolder("exists");
  auto folder = Item(PathOf("exists"));
  EXPECT_FALSE(folder->CreateAsFolder());
  EXPECT_EQ(folder->mLastError, 17);
  EXPECT_EQ(Text(folder->mPath), PathOf("exists/"));

  auto fresh = Item(PathOf("fresh"));
  EXPECT_TRUE(fresh->CreateAsFolder());
  EXPECT_EQ(Text(fresh->mPath), PathOf("fresh/"));

  auto named = FolderItemImpUnix::WithExactPath(string(PathOf("file/").c_str()));
  std::unique_ptr<RandomAccessMechanism> store(named->CreateStream(string("text")));
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(Text(named->mPath), PathOf("file"));
  ASSERT_TRUE(WriteText(*store, "abc"));
  store.reset();
  EXPECT_EQ(ReadFile("file"), "abc");
  store.reset(named->CreateStream(string()));
  store.reset();
  EXPECT_EQ(ReadFile("file"), "") << "creating empties an existing file";
  delete named;

  auto missing = Item(PathOf("missing"));
  EXPECT_EQ(missing->OpenStream(true, true), nullptr);
  EXPECT_EQ(missing->mLastError, 2);
}

TEST_F(FolderItemUnixOpsTest, StreamsOpenReadOnlyUnlessBothFlagsAsk) {
  WriteFile("f", "data");
  auto item = Item(PathOf("f"));
  std::unique_ptr<RandomAccessMechanism> reading(item->OpenStream(true, false));
  ASSERT_NE(reading, nullptr);
  bool wrote = WriteText(*reading, "XX");
  EXPECT_FALSE(reading->Close() && wrote);
  std::unique_ptr<RandomAccessMechanism> both(item->OpenStream(true, true));
  ASSERT_NE(both, nullptr);
  EXPECT_TRUE(WriteText(*both, "XX"));
  EXPECT_TRUE(both->Close());
  EXPECT_EQ(ReadFile("f"), "XXta");
}

TEST_F(FolderItemUnixOpsTest, DeletingFilesFoldersAndLinks) {
  MakeFolder("full");
  WriteFile("full/x", "");
  auto full = Item(PathOf("full"));
  EXPECT_FALSE(full->Delete());
  EXPECT_EQ(full->mLastError, 39);
  MakeFolder("target");
  ASSERT_EQ(symlink(PathOf("target").c_str(), PathOf("link").c_str()), 0);
  EXPECT_TRUE(Item(PathOf("link"))->Delete()) << "the link goes, not what it names";
  EXPECT_FALSE(PathExists("link"));
  EXPECT_TRUE(PathExists("target"));

  auto file = Item(PathOf("full/x"));
  EXPECT_TRUE(file->Delete());
  EXPECT_TRUE(full->Delete());
  EXPECT_FALSE(PathExists("full"));
}

TEST_F(FolderItemUnixOpsTest, LengthsAndTheTwoGigabyteLimit) {
  WriteFile("f", "12345");
  auto item = Item(PathOf("f"));
  EXPECT_EQ(item->GetLength(), 5);
  EXPECT_TRUE(item->SetLength(2));
  EXPECT_EQ(ReadFile("f"), "12");
  ASSERT_EQ(truncate(PathOf("f").c_str(), int64_t{1} << 31), 0);
  EXPECT_EQ(item->GetLength(), 0);
  EXPECT_EQ(item->mLastError, 75);
  EXPECT_TRUE(item->SetLength(0));
  EXPECT_EQ(Item(PathOf("missing"))->GetLength(), 0);
}

TEST_F(FolderItemUnixOpsTest, PermissionsOwnerAndGroup) {
  WriteFile("f", "");
  auto item = Item(PathOf("f"));
  EXPECT_TRUE(item->SetPermissions(06741));
  EXPECT_EQ(item->GetPermissions(), 06741);
  EXPECT_TRUE(item->SetPermissions(0644));
  EXPECT_EQ(item->GetPermissions(), 0644);
  auto missing = Item(PathOf("missing"));
  missing->mLastError = 0;
  EXPECT_EQ(missing->GetPermissions(), 0);
  EXPECT_EQ(missing->mLastError, 0);
  EXPECT_FALSE(missing->SetPermissions(0644));
  EXPECT_EQ(missing->mLastError, 2);

  EXPECT_EQ(Text(Item("/etc/passwd")->GetOwner()), "root");
  EXPECT_FALSE(Text(Item("/etc/passwd")->GetGroup()).empty());
  EXPECT_EQ(Text(missing->GetOwner()), "");
  EXPECT_FALSE(item->SetOwner(string("no-such-user-here")));
  EXPECT_FALSE(item->SetGroup(string("no-such-group-here")));
  std::string owner = Text(item->GetOwner());
  EXPECT_TRUE(item->SetOwner(string(owner.c_str())));
}

TEST_F(FolderItemUnixOpsTest, ModificationDatesRoundTripToTheSecond) {
  WriteFile("f", "");
  auto item = Item(PathOf("f"));
  double now = item->GetModificationDate();
  EXPECT_GT(now, 3.0e9) << "the date scale counts from long before the system clock";
  double earlier = now - 86400.0 * 400 - 12345.0;
  EXPECT_TRUE(item->SetModificationDate(earlier));
  EXPECT_DOUBLE_EQ(item->GetModificationDate(), earlier);
  struct stat info;
  ASSERT_EQ(stat(PathOf("f").c_str(), &info), 0);
  EXPECT_NEAR(static_cast<double>(time(nullptr) - info.st_mtime), 86400.0 * 400 + 12345.0, 2.0);
  EXPECT_FALSE(item->SetCreationDate(earlier));
  EXPECT_FALSE(item->SetModificationDate(std::numeric_limits<double>::quiet_NaN()));

  auto missing = Item(PathOf("missing"));
  EXPECT_EQ(missing->GetModificationDate(), 0.0);
  EXPECT_FALSE(missing->SetModificationDate(earlier));
}

TEST_F(FolderItemUnixOpsTest, ReadableWriteableAndLocked) {
  WriteFile("f", "x");
  auto item = Item(PathOf("f"));
  EXPECT_TRUE(item->IsReadable());
  EXPECT_TRUE(item->IsWriteable());
  EXPECT_FALSE(item->IsLocked());
  EXPECT_FALSE(item->SetLocked(true));
  EXPECT_FALSE(Item(PathOf("missing"))->IsReadable());
  EXPECT_TRUE(Item(PathOf("missing"))->IsWriteable()) << "it could be created";
  if (geteuid() == 0) GTEST_SKIP() << "permission refusals do not apply to the superuser";
  ASSERT_EQ(chmod(PathOf("f").c_str(), 0444), 0);
  EXPECT_TRUE(item->IsLocked());
  ASSERT_EQ(chmod(PathOf("f").c_str(), 0200), 0);
  EXPECT_FALSE(item->IsReadable());
}

TEST_F(FolderItemUnixOpsTest, AFileOpensAsAMovieNamingItAndAFolderDoesNot) {
  GetMovieClassDefinition();  // the Movie class takes the file's path through its hook
  WriteFile("clip.mov", "moov");
  MakeFolder("clips");
  auto file = Item(PathOf("clip.mov"));
  RuntimeObject* movie = file->OpenAsMovie();
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(std::string(string::Share(reinterpret_cast<MovieObject*>(movie)->source).View()), PathOf("clip.mov"));
  RuntimeUnlockObject(movie);
  auto folder = Item(PathOf("clips"));
  EXPECT_EQ(folder->OpenAsMovie(), nullptr);
  EXPECT_EQ(folder->mLastError, EISDIR);
  auto missing = Item(PathOf("none.mov"));
  EXPECT_EQ(missing->OpenAsMovie(), nullptr);
  EXPECT_EQ(missing->mLastError, ENOENT);
}

}  // namespace
}  // namespace vorn::testing
