// Pipes, devices and folders where a file is expected: every call answers at once and refuses,
// instead of waiting for a writer or a reader that never comes. Each call runs in a child
// process, so that one that would wait makes its row fail instead of hanging the test.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>
#include <memory>
#include <string>

#include "files/folder_item_class.h"
#include "files/program_runner.h"
#include "files/support/child_run.h"
#include "files/support/temp_folder.h"
#include "vorn/folder_item_api.h"

namespace vorn::testing {
namespace {

using SpecialFileTest = TempFolderTest;

// "stream" for a stream, else "nil" and the item's LastErrorCode.
std::string Opened(RuntimeObject* item, RuntimeObject* stream) {
  return stream ? "stream" : "nil " + std::to_string(FolderItemGetLastError(item, 0));
}

struct SpecialCase {
  const char* name;
  const char* path;  // inside the test's folder, or absolute
  std::function<std::string(RuntimeObject* item, FolderItemImpUnix* imp)> run;
  std::string answer;
};

TEST_F(SpecialFileTest, CallsOnPipesDevicesAndFoldersAnswerAtOnce) {
  ASSERT_EQ(mkfifo(PathOf("pipe").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(PathOf("pipe.wav").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(PathOf("pipe.png").c_str(), 0600), 0);
  MakeFolder("folder");
  WriteFile("plain", "words");
  const std::string plain = PathOf("plain"), pipe = PathOf("pipe");
  // A row that opens the item through a FolderItem method.
  auto opens = [](RuntimeObject* (*open)(RuntimeObject*)) {
    return [open](RuntimeObject* item, FolderItemImpUnix*) { return Opened(item, open(item)); };
  };
  auto binary = [](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 0); };
  auto binaryToWrite = [](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 1); };
  const SpecialCase cases[] = {
      {"OpenAsTextFile", "pipe", opens(FolderItemOpenTextFile), "nil 29"},
      {"OpenAsBinaryFile", "pipe", opens(binary), "nil 29"},
      {"OpenAsBinaryFile to write", "pipe", opens(binaryToWrite), "nil 29"},
      {"AppendToTextFile", "pipe", opens(FolderItemAppendTextFile), "nil 29"},
      {"CreateTextFile", "pipe", opens(FolderItemCreateTextFile), "nil 29"},
      {"OpenAsBinaryFile on a device", "/dev/null", opens(binary), "nil 29"},
      {"OpenAsBinaryFile on a folder", "folder", opens(binary), "nil 21"},
      {"OpenAsSound", "pipe.wav", opens(FolderItemOpenSound), "nil 29"},
      {"OpenAsPicture", "pipe.png", opens(FolderItemOpenImage), "nil 29"},
      {"CopyFileTo from a pipe", "pipe", [this](RuntimeObject*, FolderItemImpUnix* imp) {
         const bool copied = imp->CopyFileTo(Item(PathOf("copy")).get());
         return std::to_string(copied) + " " + std::to_string(imp->mLastError) + (PathExists("copy") ? " made" : "");
       }, "0 29"},
      {"CopyFileTo onto a pipe", "plain", [pipe](RuntimeObject*, FolderItemImpUnix* imp) {
         const bool copied = imp->CopyFileTo(Item(pipe).get());
         return std::to_string(copied) + " " + std::to_string(imp->mLastError);
       }, "0 29"},
  };
  for (const SpecialCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.path[0] == '/' ? c.path : PathOf(c.path);
    const std::string answer = RunInChild([&] {
      FolderItemImpUnix* imp = Item(path).release();
      RuntimeObject* item = NewFolderItemWithImp(nullptr, imp);
      return c.run(item, imp);
    });
    EXPECT_EQ(answer, c.answer);
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
  std::string pid;
  for (int i = 0; i < 500 && pid.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream(pidFile) >> pid;
  }
  ASSERT_FALSE(pid.empty());
  kill(waiter, SIGKILL);
  waitpid(waiter, nullptr, 0);
  bool ended = false;
  for (int i = 0; i < 500 && !ended; ++i) {
    ended = !ProcessRuns(pid);
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(ended) << "the program " << pid << " still runs";
  if (!ended) kill(std::stoi(pid), SIGKILL);
}

}  // namespace
}  // namespace vorn::testing
