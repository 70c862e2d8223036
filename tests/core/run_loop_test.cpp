#include "core/run_loop.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/background_task.h"
#include "core/pollable.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {
namespace {

std::string sLog;

bool LogStage(void* letter) {
  sLog += *static_cast<const char*>(letter);
  return false;
}

class LogPollable : public Pollable {
 public:
  void Poll() override { sLog += 'P'; }
};

class LogTask : public BackgroundTask {
 public:
  LogTask() : BackgroundTask(0) { RemoveBackgroundTaskTimeout(this); }
  void Run() override { sLog += 'T'; }
};

gint64 MillisecondsSince(gint64 start) { return (g_get_monotonic_time() - start) / 1000; }

gboolean Never(gpointer) { return G_SOURCE_REMOVE; }

class RunLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sLog.clear();
    // Nothing left over from another test may be ready.
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
  }
};

const char kB = 'B', kC = 'C', kE = 'E', kA = 'A';

TEST_F(RunLoopTest, AnIterationGivesEveryServiceItsTurnInOrder) {
  AddRunLoopHook(RunLoopStage::kBeforeEvents, &LogStage, const_cast<char*>(&kB));
  AddRunLoopHook(RunLoopStage::kMouseCapture, &LogStage, const_cast<char*>(&kC));
  AddRunLoopHook(RunLoopStage::kAfterEvents, &LogStage, const_cast<char*>(&kE));
  AddRunLoopHook(RunLoopStage::kAfterPollables, &LogStage, const_cast<char*>(&kA));
  LogPollable pollable;
  AddPollable(&pollable);
  {
    LogTask task;
    RunMainLoopOnce(false);
    EXPECT_EQ(sLog, "BCEPAT");
  }
  RemovePollable(&pollable);
  RemoveRunLoopHook(RunLoopStage::kBeforeEvents, &LogStage, const_cast<char*>(&kB));
  RemoveRunLoopHook(RunLoopStage::kMouseCapture, &LogStage, const_cast<char*>(&kC));
  RemoveRunLoopHook(RunLoopStage::kAfterEvents, &LogStage, const_cast<char*>(&kE));
  RemoveRunLoopHook(RunLoopStage::kAfterPollables, &LogStage, const_cast<char*>(&kA));
  RunMainLoopOnce(false);
  EXPECT_EQ(sLog, "BCEPAT");
}

// Each link of the chain schedules the next one, so one GLib iteration runs one link.
gboolean ChainLink(gpointer remaining) {
  sLog += 'i';
  intptr_t left = reinterpret_cast<intptr_t>(remaining) - 1;
  if (left > 0) g_idle_add(&ChainLink, reinterpret_cast<gpointer>(left));
  return G_SOURCE_REMOVE;
}

bool ServeDrag(void*) {
  sLog += 'd';
  return true;
}

TEST_F(RunLoopTest, WhileAPaneTracksTheMouseEveryPendingEventIsDrained) {
  g_idle_add(&ChainLink, reinterpret_cast<gpointer>(3));
  RunMainLoopOnce(false);
  EXPECT_EQ(sLog, "i") << "an ordinary iteration dispatches one batch";
  sLog.clear();
  AddRunLoopHook(RunLoopStage::kMouseCapture, &ServeDrag, nullptr);
  RunMainLoopOnce(true);  // draining never waits, even when blocking is allowed
  RemoveRunLoopHook(RunLoopStage::kMouseCapture, &ServeDrag, nullptr);
  EXPECT_EQ(sLog, "dii");
}

TEST_F(RunLoopTest, TheNonBlockingPumpReturnsAtOnceAndLeavesTheLoopBlocking) {
  guint timeout = g_timeout_add(150, &Never, nullptr);
  gint64 start = g_get_monotonic_time();
  RunMainLoopOnce(false);
  EXPECT_LT(MillisecondsSince(start), 100);
  // The plain iteration may block again: it waits for the timeout.
  MainLoopIteration();
  EXPECT_GE(MillisecondsSince(start), 140);
  EXPECT_EQ(g_main_context_find_source_by_id(nullptr, timeout), nullptr);
}

TEST_F(RunLoopTest, ALoopDrivenTaskKeepsTheLoopFromBlocking) {
  guint timeout = g_timeout_add(300, &Never, nullptr);
  gint64 start = g_get_monotonic_time();
  {
    LogTask task;
    RunMainLoopOnce(true);
    RunMainLoopOnce(true);
  }
  EXPECT_LT(MillisecondsSince(start), 150);
  EXPECT_EQ(sLog, "TT");
  g_source_remove(timeout);
}

TEST_F(RunLoopTest, AHookMayRemoveItselfWhileTheHooksRun) {
  static RunLoopHook once = [](void* letter) {
    sLog += *static_cast<const char*>(letter);
    RemoveRunLoopHook(RunLoopStage::kAfterEvents, once, letter);
    return false;
  };
  AddRunLoopHook(RunLoopStage::kAfterEvents, once, const_cast<char*>(&kE));
  RunMainLoopOnce(false);
  RunMainLoopOnce(false);
  EXPECT_EQ(sLog, "E");
}

bool AlwaysAutoQuit() {
  sLog += "auto;";
  return true;
}
void LogQuit() { sLog += "quit;"; }

TEST_F(RunLoopTest, AutoQuitWaitsForRuntimeRun) {
  ApplicationHooks hooks;
  hooks.autoQuit = &AlwaysAutoQuit;
  hooks.quit = &LogQuit;
  SetApplicationHooks(hooks);
  RunMainLoopOnce(false);
  SetApplicationHooks({});
  EXPECT_FALSE(RunLoopStarted());
  EXPECT_EQ(sLog.find("quit"), std::string::npos);
}


TEST_F(RunLoopTest, AnExceptionLeftPendingByNativeCodeIsUnhandledAtTheIterationsEnd) {
  ExceptionCallback previous = SetUnhandledExceptionHook([](RuntimeObject* exception) {
    sLog += std::string(ClassOf(exception)->mName.View()) + ";";
  });
  RuntimeRaiseOutOfBoundsException();
  RunMainLoopOnce(false);
  SetUnhandledExceptionHook(previous);
  EXPECT_EQ(sLog, "OutOfBoundsException;");
  EXPECT_EQ(PendingException(), nullptr);
  RunMainLoopOnce(false);  // reported once only
  EXPECT_EQ(sLog, "OutOfBoundsException;");
}

TEST_F(RunLoopTest, NoKeyIsTheCancelKey) {
  EXPECT_FALSE(IsCancelKeyEvent(27, 0x35, 0));
  EXPECT_FALSE(IsCancelKeyEvent('.', 0, 0x100));
}

// --- RuntimeRun runs once per process: each case runs in a child process of its own. -------

int sWindowsOpen = 0;
int sIteration = 0;

bool CountIteration(void*) {
  ++sIteration;
  std::fprintf(stderr, "it%d;", sIteration);
  return false;
}
bool AnyWindow() { return sWindowsOpen > 0; }
void CloseWindows() {
  std::fprintf(stderr, "close%d;", sWindowsOpen);
  sWindowsOpen = 0;
}
bool AutoQuitOn() { return true; }
void QuitNow() {
  std::fprintf(stderr, "quit;");
  RequestQuit();
}
void Release() { std::fprintf(stderr, "release;"); }
bool LoopEnded(void*) {
  std::fprintf(stderr, "ended;");
  return false;
}
gboolean KeepAwake(gpointer) { return G_SOURCE_CONTINUE; }

void InstallFakeApplication() {
  ApplicationHooks app;
  app.autoQuit = &AutoQuitOn;
  app.quit = &QuitNow;
  app.release = &Release;
  SetApplicationHooks(app);
  WindowListHooks windows;
  windows.anyWindowOpen = &AnyWindow;
  windows.closeAllWindows = &CloseWindows;
  SetWindowListHooks(windows);
  AddRunLoopHook(RunLoopStage::kBeforeEvents, &CountIteration, nullptr);
  AddRunLoopHook(RunLoopStage::kLoopEnded, &LoopEnded, nullptr);
  g_timeout_add(5, &KeepAwake, nullptr);
}

using RuntimeRunDeathTest = RunLoopTest;

TEST_F(RuntimeRunDeathTest, AutoQuitWithNoWindowEndsAfterTheFirstIteration) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        alarm(10);
        InstallFakeApplication();
        RuntimeRun();
        std::fprintf(stderr, "returned;");
        RuntimeRun();  // the loop runs once per process
        std::fprintf(stderr, "again;");
        std::exit(GetQuitFlag() && RunLoopStarted() && !InRunLoop() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "^it1;quit;close0;release;ended;returned;again;$");
}

bool CloseLastWindowOnThird(void*) {
  if (sIteration == 3) sWindowsOpen = 0;
  return false;
}

TEST_F(RuntimeRunDeathTest, ClosingTheLastWindowQuitsAtTheEndOfThatIteration) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        alarm(10);
        sWindowsOpen = 1;
        InstallFakeApplication();
        AddRunLoopHook(RunLoopStage::kAfterEvents, &CloseLastWindowOnThird, nullptr);
        RuntimeRun();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "^it1;it2;it3;quit;close0;release;ended;$");
}

bool NestedRun(void*) {
  if (sIteration == 2) {
    RuntimeRun();  // from inside an event: returns at once
    std::fprintf(stderr, "nested;");
    RequestQuit();
  }
  return false;
}

TEST_F(RuntimeRunDeathTest, ASecondRunFromInsideTheLoopReturnsAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        alarm(10);
        sWindowsOpen = 1;
        InstallFakeApplication();
        AddRunLoopHook(RunLoopStage::kAfterEvents, &NestedRun, nullptr);
        RuntimeRun();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "^it1;it2;nested;close1;release;ended;$");
}

}  // namespace
}  // namespace vorn
