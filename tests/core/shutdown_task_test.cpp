#include "base/shutdown_task.h"

#include <gtest/gtest.h>

#include <string>

namespace vorn {
namespace {

std::string sLog;

class LoggingTask : public runShutdownTask {
 public:
  explicit LoggingTask(std::string name, bool spawn = false)
      : mName(std::move(name)), mSpawn(spawn) {}
  ~LoggingTask() override {
    sLog += mName + ";";
    if (mSpawn) new LoggingTask(mName + "'");
  }

 private:
  std::string mName;
  bool mSpawn;
};

class ShutdownTaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunShutdownTasks();
    sLog.clear();
  }
};

TEST_F(ShutdownTaskTest, TasksRunNewestFirstAndTheListEndsEmpty) {
  new LoggingTask("T1");
  new LoggingTask("T2");
  new LoggingTask("T3");
  EXPECT_TRUE(AnyShutdownTasks());
  RunShutdownTasks();
  EXPECT_EQ(sLog, "T3;T2;T1;");
  EXPECT_FALSE(AnyShutdownTasks());
  RunShutdownTasks();  // a second run finds nothing to do
  EXPECT_EQ(sLog, "T3;T2;T1;");
}

TEST_F(ShutdownTaskTest, RunningWithNoTasksDoesNothing) {
  RunShutdownTasks();
  EXPECT_EQ(sLog, "");
}

TEST_F(ShutdownTaskTest, ATaskCreatedByAnotherTasksDestructorRunsInTheSamePass) {
  new LoggingTask("T1");
  new LoggingTask("T2", true);
  RunShutdownTasks();
  EXPECT_EQ(sLog, "T2;T2';T1;");
  EXPECT_FALSE(AnyShutdownTasks());
}

TEST_F(ShutdownTaskTest, ATaskEndedEarlyByItsOwnerIsUnlinked) {
  new LoggingTask("T1");
  auto* middle = new LoggingTask("T2");
  new LoggingTask("T3");
  delete middle;
  EXPECT_EQ(sLog, "T2;");
  RunShutdownTasks();
  EXPECT_EQ(sLog, "T2;T3;T1;");
}

}  // namespace
}  // namespace vorn
