// Pipes, devices and folders where a file is expected: every call answers at once and refuses,
// instead of waiting for a writer or a reader that never comes. Each call runs in a child
// process, so that one that would wait makes its row fail instead of hanging the test.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "files/folder_item_class.h"
#include "files/program_runner.h"
#include "files/support/child_run.h"
#include "files/support/temp_folder.h"
#include "vorn/folder_item_api.h"

namespace vorn::testing {
namespace {

using SpecialFileTest = TempFolderTest;

TEST_F(SpecialFileTest, CallsOnPipesDevicesAndFoldersAnswerAtOnce) {
  for (const char* name : {"pipe", "pipe.wav", "pipe.png"}) ASSERT_EQ(mkfifo(PathOf(name).c_str(), 0600), 0);
  MakeFolder("folder");
  WriteFile("plain", "words");
  // "stream" for a stream, else "nil" and the item's LastErrorCode.
  auto opens = [](RuntimeObject* (*open)(RuntimeObject*)) {
    return [open](RuntimeObject* item, FolderItemImpUnix*) {
      return open(item) ? "stream" : "nil " + std::to_string(FolderItemGetLastError(item, 0));
    };
  };
  auto binary = [](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 0); };
  // CopyFileTo from the item to `to`: whether it copied, its error, and whether `to` became a file.
  auto copies = [this](std::string to) {
    return [this, to](RuntimeObject*, FolderItemImpUnix* imp) {
      const bool copied = imp->CopyFileTo(Item(PathOf(to)).get());
      return std::to_string(copied) + " " + std::to_string(imp->mLastError) +
             (std::filesystem::is_regular_file(PathOf(to)) ? " made" : "");
    };
  };
  const struct {
    const char* name;
    const char* path;  // inside the test's folder, or absolute
    std::function<std::string(RuntimeObject* item, FolderItemImpUnix* imp)> run;
    std::string answer;
  } cases[] = {
      {"OpenAsTextFile", "pipe", opens(FolderItemOpenTextFile), "nil 29"},
      {"OpenAsBinaryFile to write", "pipe", opens([](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 1); }), "nil 29"},
      {"AppendToTextFile", "pipe", opens(FolderItemAppendTextFile), "nil 29"},
      {"CreateTextFile", "pipe", opens(FolderItemCreateTextFile), "nil 29"},
      {"OpenAsBinaryFile on a device", "/dev/null", opens(binary), "nil 29"},
      {"OpenAsBinaryFile on a folder", "folder", opens(binary), "nil 21"},
      {"OpenAsSound", "pipe.wav", opens(FolderItemOpenSound), "nil 29"},
      {"OpenAsPicture", "pipe.png", opens(FolderItemOpenImage), "nil 29"},
      {"CopyFileTo from a pipe", "pipe", copies("copy"), "0 29"},
      {"CopyFileTo onto a pipe", "plain", copies("pipe"), "0 29"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.path[0] == '/' ? c.path : PathOf(c.path);
    EXPECT_EQ(RunInChild([&] {
                FolderItemImpUnix* imp = Item(path).release();
                return c.run(NewFolderItemWithImp(nullptr, imp), imp);
              }),
              c.answer);
  }
  EXPECT_EQ(ReadFile("plain"), "words");
}

// A program killed while it waits for cp (or any program the file layer runs) takes that
// program with it, instead of leaving it waiting on, say, a pipe.
TEST_F(SpecialFileTest, AProgramTheFileLayerWaitsForEndsWithTheProgramThatWaits) {
  const std::string pidFile = PathOf("pid");
  const pid_t waiter = fork();
  ASSERT_GE(waiter, 0);
  if (waiter == 0) {
    RunProgramAndWait({"sh", "-c", "echo $$ > " + pidFile + ".part && mv " + pidFile + ".part " + pidFile +
                                       " && exec sleep 60"});
    _exit(0);
  }
  auto within = [](const std::function<bool()>& condition) {  // five seconds at most
    for (int i = 0; i < 500 && !condition(); ++i) usleep(10000);
    return condition();
  };
  std::string pid;
  ASSERT_TRUE(within([&] { return bool(std::ifstream(pidFile) >> pid); }));
  kill(waiter, SIGKILL);
  waitpid(waiter, nullptr, 0);
  const bool ended = within([&] { return !ProcessRuns(pid); });
  EXPECT_TRUE(ended) << "the program " << pid << " still runs";
  if (!ended) kill(std::stoi(pid), SIGKILL);
}

}  // namespace
}  // namespace vorn::testing
