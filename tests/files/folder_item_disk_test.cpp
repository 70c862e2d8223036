// FolderItem over real files and folders in a fresh temporary folder.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/binary_stream.h"
#include "files/folder_item_class.h"
#include "files/permissions_class.h"
#include "files/support/folder_item_test.h"
#include "files/text_output_stream.h"

namespace vorn::testing {
namespace {

class FolderItemDiskTest : public FolderItemTest {
 protected:
  void SetUp() override {
    FolderItemTest::SetUp();
    char folder[] = "/tmp/vorn_folder_item_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    mFolder = folder;
  }
  void TearDown() override {
    std::system(("rm -rf '" + mFolder + "'").c_str());
    FolderItemTest::TearDown();
  }

  std::string In(const std::string& name) const { return mFolder + "/" + name; }
  void WriteFile(const std::string& name, const std::string& bytes) const { std::ofstream(In(name)) << bytes; }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(In(name));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static RuntimeObject* Get(const std::string& path, int32_t mode = 0) {
    return RuntimeGetFolderItem(Text(path).Rep(), mode);
  }

  std::string mFolder;
};

TEST_F(FolderItemDiskTest, ThePathModesNameTheSameFolderAndRefuseWhatTheyCannotTake) {
  RuntimeObject* native = Get(mFolder);
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(PathOf(native), mFolder + "/") << "an existing folder's path ends with a slash";
  EXPECT_TRUE(fileDirectoryGetter(native, 0));
  RuntimeObject* shell = Get(mFolder, kVornPathModeShell);
  RuntimeObject* url = Get("file://" + mFolder, kVornPathModeURL);
  EXPECT_EQ(PathOf(shell), mFolder + "/");
  EXPECT_EQ(PathOf(url), mFolder + "/");
  EXPECT_EQ(Get(mFolder, 7), nullptr);
  EXPECT_EQ(Get("http://host" + mFolder, kVornPathModeURL), nullptr);

  EXPECT_EQ(Get("relative/x", kVornPathModeShell), nullptr);
  EXPECT_EQ(TakePendingMessage(), "Passing non-absolute shell paths is not currently supported");
  EXPECT_EQ(Get(mFolder + std::string("/a\0b", 4)), nullptr);
  EXPECT_EQ(Get("file://" + mFolder + "/a%00b", kVornPathModeURL), nullptr) << "a decoded NUL is refused too";
  WriteFile("plain", "x");
  EXPECT_EQ(Get(In("plain/below")), nullptr) << "a path through a file is refused";
  EXPECT_EQ(TakePendingClassName(), "") << "GetFolderItem answers nil quietly";
  for (RuntimeObject* item : {native, shell, url}) RuntimeUnlockObject(item);
}

TEST_F(FolderItemDiskTest, TheConstructorsRaiseForRefusedPathsAndTakeGoodOnes) {
  RuntimeObject* item = CreateInstanceFromDefinition(GetFolderItemClassDefinition());
  FolderItemPathCtor(item, Text(In("plain/x")).Rep(), 0);
  WriteFile("plain", "x");
  FolderItemPathCtor(item, Text(In("plain/x")).Rep(), 0);
  EXPECT_EQ(TakePendingMessage(), "The path passed into new FolderItem was invalid");
  FolderItemPathCtor(item, Text(std::string("/tmp/a\0b", 8)).Rep(), 0);
  EXPECT_EQ(TakePendingMessage(), "The path passed into new FolderItem was invalid");
  FolderItemPathCtor(item, Text("x").Rep(), kVornPathModeShell);
  EXPECT_EQ(TakePendingMessage(), "Passing non-absolute shell paths is not currently supported")
      << "one exception, with the reason";
  EXPECT_EQ(PathOf(item), In("plain/x")) << "a refused path leaves the location as it was";

  FolderItemPathCtor(item, Text(In("plain")).Rep(), 0);
  EXPECT_EQ(PathOf(item), In("plain"));
  RuntimeObject* copy = CreateInstanceFromDefinition(GetFolderItemClassDefinition());
  FolderItemCopyCtor(copy, item);
  EXPECT_EQ(PathOf(copy), In("plain"));
  EXPECT_NE(FolderItemGetImp(copy), FolderItemGetImp(item));

  RuntimeObject* here = CreateInstanceFromDefinition(GetFolderItemClassDefinition());
  FolderItemPathCtorNoParams(here);
  std::string application = PathOf(here);
  EXPECT_FALSE(application.empty());
  EXPECT_EQ(application.back(), '/') << "the application's folder";
  for (RuntimeObject* object : {item, copy, here}) RuntimeUnlockObject(object);
}

TEST_F(FolderItemDiskTest, OnlyTheTrueFormsKeepASymbolicLink) {
  WriteFile("target", "t");
  ASSERT_EQ(symlink("target", In("link").c_str()), 0);
  RuntimeObject* resolved = Get(In("link"));
  RuntimeObject* link = RuntimeGetTrueFolderItem(Text(In("link")).Rep(), 0);
  EXPECT_EQ(PathOf(resolved), In("target"));
  EXPECT_EQ(PathOf(link), In("link"));
  EXPECT_TRUE(fileAliasGetter(link, 0));
  EXPECT_FALSE(fileAliasGetter(resolved, 0));
  RuntimeObject* plugin = FolderItemFromPath(In("link").c_str());
  EXPECT_EQ(PathOf(plugin), In("target"));
  EXPECT_EQ(FolderItemFromPath(nullptr), nullptr);
  for (RuntimeObject* item : {resolved, link, plugin}) RuntimeUnlockObject(item);
}

TEST_F(FolderItemDiskTest, AMissingChildIsCreatedAsFolderAndListedAsItemOne) {
  RuntimeObject* folder = Get(mFolder);
  RuntimeObject* child = FolderChild(folder, Text("sub").Rep());
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(fileExistsGetter(child, 0));
  EXPECT_EQ(fileCountGetter(folder, 0), 0);
  FolderItemCreateAsFolder(child);
  EXPECT_TRUE(fileDirectoryGetter(child, 0));
  EXPECT_EQ(fileCountGetter(folder, 0), 1);
  RuntimeObject* first = FolderItemItem(folder, 1);
  EXPECT_EQ(Take(fileNameGetter(first, 0)), "sub");
  EXPECT_EQ(FolderItemItem(folder, 2), nullptr);
  RuntimeObject* parent = folderParentGetter(first, 0);
  EXPECT_EQ(PathOf(parent), mFolder + "/");

  FolderItemCreateAsFolder(child);
  EXPECT_EQ(FolderItemGetLastError(child, 0), 17) << "the system's own code: it exists";
  FolderItemSetLastError(child, 0, 0);
  EXPECT_EQ(FolderItemGetLastError(child, 0), 0);
  FolderItemDelete(child);
  EXPECT_FALSE(fileExistsGetter(child, 0));
  for (RuntimeObject* item : {folder, child, first, parent}) RuntimeUnlockObject(item);
}

TEST_F(FolderItemDiskTest, StreamsWriteReadAndAppendRealFiles) {
  RuntimeObject* item = Get(In("data.bin"));
  RuntimeObject* created = FolderItemCreateBinaryFile(item, Text("").Rep());
  ASSERT_NE(created, nullptr);
  BinaryStreamWrite(created, Text("hello").Rep());
  BinaryStreamClose(created);
  RuntimeUnlockObject(created);
  EXPECT_EQ(fileSizeGetter(item, 0), 5);

  RuntimeObject* appending = FolderItemAppendTextFile(item);
  ASSERT_NE(appending, nullptr);
  TextOutputStreamWrite(appending, Text(" world").Rep());
  TextOutputStreamClose(appending);
  RuntimeUnlockObject(appending);
  EXPECT_EQ(ReadFile("data.bin"), "hello world");
  // Two appending at once, as two programs may: each write lands where the file ends then, also
  // when the file was not there and the first of them made it.
  RuntimeObject* missing = Get(In("new.txt"));
  EXPECT_EQ(FolderItemOpenTextFile(missing), nullptr);
  EXPECT_EQ(FolderItemGetLastError(missing, 0), 2);
  for (RuntimeObject* on : {item, missing}) {
    RuntimeObject* outs[] = {FolderItemAppendTextFile(on), FolderItemAppendTextFile(on)};
    ASSERT_TRUE(outs[0] && outs[1]);
    for (const char* piece : {"a1", "b1", "a2", "b2"}) {
      TextOutputStreamWrite(outs[piece[0] - 'a'], Text(piece).Rep()), TextOutputStreamFlush(outs[piece[0] - 'a']);
    }
    for (RuntimeObject* out : outs) RuntimeUnlockObject(out);
  }
  EXPECT_EQ(ReadFile("data.bin"), "hello worlda1b1a2b2");
  EXPECT_EQ(ReadFile("new.txt"), "a1b1a2b2");

  RuntimeObject* reading = FolderItemOpenBinaryFile(item, 0);
  ASSERT_NE(reading, nullptr);
  EXPECT_EQ(Take(BinaryStreamRead(reading, 5, nullptr)), "hello");
  RuntimeUnlockObject(reading);

  RuntimeUnlockObject(missing);
  RuntimeUnlockObject(item);
}

// Programs that start appending at the same moment to a log none of them made each keep their
// line. The same eight programs go at once on a new log each round, many rounds, since the
// moment that loses a line is short.
TEST_F(FolderItemDiskTest, ProgramsAppendingAtOnceToALogNoneMadeKeepEveryLine) {
  constexpr int kPrograms = 8, kRounds = 2000;
  int go[kPrograms][2], done[2];  // a byte on its go names a program's log; the go's end ends it
  ASSERT_EQ(pipe(done), 0);
  std::vector<pid_t> programs;
  for (int program = 0; program < kPrograms; ++program) {
    ASSERT_EQ(pipe(go[program]), 0);
    programs.push_back(fork());
    if (programs.back() == 0) {
      close(go[program][1]);
      for (char name; read(go[program][0], &name, 1) == 1;) {
        RuntimeObject* item = Get(In("log" + std::to_string(name)));
        RuntimeObject* out = FolderItemAppendTextFile(item);
        TextOutputStreamWriteLine(out, Text("line " + std::to_string(program)).Rep());
        TextOutputStreamClose(out);
        RuntimeUnlockObject(out);
        RuntimeUnlockObject(item);
        if (write(done[1], &name, 1) != 1) _exit(2);
      }
      _exit(0);
    }
    close(go[program][0]);
  }
  close(done[1]);
  for (int round = 0; round < kRounds && !HasFailure(); ++round) {
    const char name = static_cast<char>('a' + round % 16);
    char ended;
    for (const auto& pipe : go) EXPECT_EQ(write(pipe[1], &name, 1), 1);
    for (int left = kPrograms; left > 0 && read(done[0], &ended, 1) == 1;) --left;
    const std::string log = "log" + std::to_string(name), kept = ReadFile(log);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), kPrograms) << "round " << round << ":\n" << kept;
    unlink(In(log).c_str());
  }
  for (const auto& pipe : go) close(pipe[1]);
  close(done[0]);
  for (const pid_t pid : programs) waitpid(pid, nullptr, 0);
}

TEST_F(FolderItemDiskTest, RenamingPermissionsAndSaveInfoActOnTheFileSystem) {
  WriteFile("a.txt", "a");
  RuntimeObject* item = Get(In("a.txt"));
  fileNameSetter(item, 0, Text("b.txt").Rep());
  EXPECT_EQ(PathOf(item), In("b.txt"));
  EXPECT_EQ(ReadFile("b.txt"), "a");
  fileNameSetter(item, 0, Text(std::string("c\0d", 3)).Rep());
  EXPECT_EQ(PathOf(item), In("b.txt")) << "a name with a NUL is not used";

  RuntimeObject* permissions = NewPermissionsObject(0640);
  FolderItemSetPermissionsClass(item, permissions);
  struct stat status {};
  ASSERT_EQ(stat(In("b.txt").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(FolderItemGetPermissions(item), 0640);
  FolderItemSetPermissionsInteger(item, 0600);
  EXPECT_EQ(FolderItemGetPermissions(item), 0600);

  RuntimeObject* base = Get(mFolder);
  StringRep* info = FolderItemGetSaveInfo(item, base, 0);
  RuntimeObject* again = FolderItemGetRelative(base, info);
  EXPECT_EQ(PathOf(again), In("b.txt"));
  RuntimeObject* fromGlobal = RuntimeGetFolderItem(info, 0);
  EXPECT_EQ(PathOf(fromGlobal), In("b.txt")) << "SaveInfo data passes for a path";
  RuntimeUnlockString(info);
  for (RuntimeObject* object : {item, permissions, base, again, fromGlobal}) RuntimeUnlockObject(object);
}

TEST_F(FolderItemDiskTest, DocumentArgumentsAreCompletedFromTheWorkingFolder) {
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(mFolder.c_str()), 0);
  RuntimeObject* relative = NewDocumentFolderItem(Text("doc.txt"));
  RuntimeObject* nested = NewDocumentFolderItem(Text("sub/../doc.txt"));
  ASSERT_EQ(chdir(previous), 0);
  RuntimeObject* absolute = NewDocumentFolderItem(Text(In("x.txt")));
  EXPECT_EQ(PathOf(relative), In("doc.txt"));
  EXPECT_EQ(PathOf(nested), In("sub/../doc.txt")) << "the path is kept as the user wrote it";
  EXPECT_EQ(PathOf(absolute), In("x.txt"));
  EXPECT_EQ(NewDocumentFolderItem(string()), nullptr);
  for (RuntimeObject* item : {relative, nested, absolute}) RuntimeUnlockObject(item);
}

}  // namespace
}  // namespace vorn::testing
