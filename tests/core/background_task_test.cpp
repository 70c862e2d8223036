#include "base/background_task.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/ticks.h"

namespace vorn {
namespace {

std::string sLog;
uint32_t sNow = 1000;
uint32_t FakeTicks() { return sNow; }

class LoggingTask : public BackgroundTask {
 public:
  LoggingTask(char name, int32_t period, bool loopDriven = true)
      : BackgroundTask(period), mName(name) {
    if (loopDriven) RemoveBackgroundTaskTimeout(this);
  }
  void Run() override {
    sLog += mName;
    ++mRuns;
    if (mOnRun) mOnRun(this);
  }
  char mName;
  int mRuns = 0;
  void (*mOnRun)(LoggingTask*) = nullptr;
};

class BackgroundTaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sLog.clear();
    sNow = 1000;
    mPrevious = SetTickSource(&FakeTicks);
  }
  void TearDown() override { SetTickSource(mPrevious); }
  TickSource mPrevious = nullptr;
};

TEST_F(BackgroundTaskTest, ATaskIsDueOncePeriodTicksHaveElapsedSinceItsLastRun) {
  LoggingTask task('a', 10);
  RunBackgroundTasks(true);
  EXPECT_EQ(task.mRuns, 0);
  sNow += 9;
  RunBackgroundTasks(true);
  EXPECT_EQ(task.mRuns, 0);
  sNow += 1;
  RunBackgroundTasks(true);
  EXPECT_EQ(task.mRuns, 1);
  EXPECT_EQ(task.LastRun(), 1010u);
  RunBackgroundTasks(true);  // same tick: not due again
  EXPECT_EQ(task.mRuns, 1);
  sNow += 25;  // a late run restarts the period from the run, not from the schedule
  RunBackgroundTasks(true);
  sNow += 9;
  RunBackgroundTasks(true);
  EXPECT_EQ(task.mRuns, 2);
}

TEST_F(BackgroundTaskTest, DueTasksRunFromTheLastRegisteredToTheFirst) {
  LoggingTask first('1', 5), second('2', 20), third('3', 5);
  sNow += 5;
  RunBackgroundTasks(true);
  EXPECT_EQ(sLog, "31");
  sNow += 20;
  RunBackgroundTasks(true);
  EXPECT_EQ(sLog, "31321");
}

TEST_F(BackgroundTaskTest, PeriodsAreMeasuredAcrossTheWrapOfTheTickCount) {
  sNow = 0xFFFFFFF8u;
  LoggingTask task('w', 16);
  sNow = 0x7;  // 15 ticks later
  RunBackgroundTasks(true);
  EXPECT_EQ(task.mRuns, 0);
  sNow = 0x8;
  RunBackgroundTasks(true);
  EXPECT_EQ(task.mRuns, 1);
}

TEST_F(BackgroundTaskTest, TheLoopRunsOnlyTasksWithoutATimeoutOfTheirOwn) {
  LoggingTask timed('t', 1, false);
  LoggingTask loopDriven('l', 1);
  EXPECT_TRUE(timed.HasTimeout());
  EXPECT_FALSE(loopDriven.HasTimeout());
  sNow += 1;
  RunBackgroundTasks(true);
  EXPECT_EQ(sLog, "l");
  sNow += 1;
  RunBackgroundTasks(false);
  EXPECT_EQ(sLog, "llt");
}

TEST_F(BackgroundTaskTest, AnyLoopDrivenTaskFollowsRegistration) {
  EXPECT_FALSE(AnyLoopDrivenBackgroundTask());
  {
    LoggingTask timed('t', 1, false);
    EXPECT_FALSE(AnyLoopDrivenBackgroundTask());
    {
      LoggingTask loopDriven('l', 1);
      EXPECT_TRUE(AnyLoopDrivenBackgroundTask());
    }
    EXPECT_FALSE(AnyLoopDrivenBackgroundTask());
    RemoveBackgroundTaskTimeout(&timed);
    EXPECT_TRUE(AnyLoopDrivenBackgroundTask());
  }
  EXPECT_FALSE(AnyLoopDrivenBackgroundTask());
}

TEST_F(BackgroundTaskTest, ATaskMayDeleteItselfAndOthersWhileTheTasksRun) {
  auto* a = new LoggingTask('a', 1);
  auto* b = new LoggingTask('b', 1);
  auto* c = new LoggingTask('c', 1);
  (void)a;
  (void)c;
  // b deletes a (not yet run in this pass) and itself.
  b->mOnRun = [](LoggingTask* self) {
    sLog += '!';
    struct Peer {
      static void Delete(LoggingTask* task) { delete task; }
    };
    Peer::Delete(self);
  };
  sNow += 1;
  RunBackgroundTasks(true);
  EXPECT_EQ(sLog, "cb!a");
  sNow += 1;
  RunBackgroundTasks(true);
  EXPECT_EQ(sLog, "cb!aca");
  delete a;
  delete c;
  EXPECT_FALSE(AnyLoopDrivenBackgroundTask());
}

TEST_F(BackgroundTaskTest, ATimedTaskRunsFromItsOwnTimeoutWithoutTheLoop) {
  SetTickSource(mPrevious);  // the real clock: GLib waits real time
  LoggingTask timed('t', 3, false);  // 50 ms
  gint64 deadline = g_get_monotonic_time() + 2 * G_USEC_PER_SEC;
  while (timed.mRuns < 2 && g_get_monotonic_time() < deadline) g_main_context_iteration(nullptr, TRUE);
  EXPECT_EQ(timed.mRuns, 2);
  EXPECT_EQ(sLog, "tt");
}

TEST_F(BackgroundTaskTest, ATimedTaskDeletingItselfInsideItsTimeoutIsNotRunAgain) {
  SetTickSource(mPrevious);
  auto* task = new LoggingTask('d', 1, false);
  task->mOnRun = [](LoggingTask* self) { delete self; };
  LoggingTask witness('w', 6, false);  // 100 ms
  gint64 deadline = g_get_monotonic_time() + 2 * G_USEC_PER_SEC;
  while (witness.mRuns < 1 && g_get_monotonic_time() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
  }
  EXPECT_EQ(sLog, "dw");
}

TEST_F(BackgroundTaskTest, CompiledCodeLoopsRunDueTasksEveryFiftiethCall) {
  LoggingTask timed('t', 1, false);
  LoggingTask loopDriven('l', 1);
  int ranAfter = 0;
  for (int call = 1; call <= 200 && ranAfter == 0; ++call) {
    sNow += 1;
    RuntimeBackgroundTask();
    if (!sLog.empty()) ranAfter = call;
  }
  ASSERT_GT(ranAfter, 0);
  EXPECT_LE(ranAfter, 50);
  EXPECT_EQ(sLog, "lt") << "both kinds run: timeouts cannot fire while compiled code runs";
  // The next 49 calls leave the tasks alone, however much time passes.
  for (int call = 1; call < 50; ++call) {
    sNow += 1;
    RuntimeBackgroundTask();
  }
  EXPECT_EQ(sLog, "lt");
  sNow += 1;
  RuntimeBackgroundTask();
  EXPECT_EQ(sLog, "ltlt");
}

TEST_F(BackgroundTaskTest, CompiledCodeLoopsSkipTheTasksWhileTheTickCountStands) {
  LoggingTask loopDriven('l', 0);
  for (int call = 0; call < 200; ++call) RuntimeBackgroundTask();
  EXPECT_EQ(sLog, "l") << "only the first 50th call after the tick changed runs them";
}

}  // namespace
}  // namespace vorn
