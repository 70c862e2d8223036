#include "core/termination.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "base/background_task.h"
#include "core/run_loop.h"
#include "base/shutdown_task.h"
#include "vorn/thread_api.h"

namespace vorn {
namespace {

void Log(const char* text) { std::fprintf(stderr, "%s;", text); }

class LoggingTask : public runShutdownTask {
 public:
  explicit LoggingTask(const char* name) : mName(name) {}
  ~LoggingTask() override { Log(mName); }
  const char* mName;
};

bool sWindowOpen = true;

void InstallFakeApplication() {
  ApplicationHooks app;
  app.autoQuit = [] { return false; };
  app.quit = [] {
    Log("CancelClose");
    Log("Close");
    RequestQuit();
  };
  app.release = [] { Log("release"); };
  SetApplicationHooks(app);
  WindowListHooks windows;
  windows.anyWindowOpen = [] { return sWindowOpen; };
  windows.closeAllWindows = [] {
    if (sWindowOpen) Log("closeWindows");
    sWindowOpen = false;
  };
  SetWindowListHooks(windows);
  new LoggingTask("T1");
  new LoggingTask("T2");
  InstallTerminationHandlers();
}

// Sends the signal from another thread while the main thread waits in the loop with nothing
// else to wake it.
void* SignalLater(void* signalNumber) {
  usleep(100 * 1000);
  kill(getpid(), static_cast<int>(reinterpret_cast<intptr_t>(signalNumber)));
  return nullptr;
}

void WaitInTheLoopFor(int signalNumber) {
  alarm(10);  // a lost wake-up fails the test instead of hanging it
  InstallFakeApplication();
  pthread_t thread;
  pthread_create(&thread, nullptr, &SignalLater, reinterpret_cast<void*>(intptr_t{signalNumber}));
  RuntimeRun();
  Log("RuntimeRun returned");
  std::exit(3);
}

class TerminationDeathTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(TerminationDeathTest, SigtermRunsTheQuitSequenceThenShutsDownWithStatusZero) {
  EXPECT_EXIT(WaitInTheLoopFor(SIGTERM), ::testing::ExitedWithCode(0),
              "^CancelClose;Close;closeWindows;release;T2;T1;$");
}

TEST_F(TerminationDeathTest, SigquitRunsTheQuitSequenceToo) {
  EXPECT_EXIT(WaitInTheLoopFor(SIGQUIT), ::testing::ExitedWithCode(0),
              "^CancelClose;Close;closeWindows;release;T2;T1;$");
}

TEST_F(TerminationDeathTest, SighupSkipsTheQuitSequenceButStillShutsDown) {
  EXPECT_EXIT(WaitInTheLoopFor(SIGHUP), ::testing::ExitedWithCode(0),
              "^closeWindows;release;T2;T1;$");
}

// A parent that blocks the signals hands its mask down to the program and every thread it
// starts.
TEST_F(TerminationDeathTest, SigtermEndsTheProgramEvenWhenItStartedBlocked) {
  EXPECT_EXIT(
      {
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        WaitInTheLoopFor(SIGTERM);
      },
      ::testing::ExitedWithCode(0), "^CancelClose;Close;closeWindows;release;T2;T1;$");
}

TEST_F(TerminationDeathTest, ASignalBeforeTheLoopIsCarriedOutAtTheFirstPump) {
  EXPECT_EXIT(
      {
        InstallFakeApplication();
        raise(SIGTERM);
        Log("handler returned");
        RuntimeDoEvents();
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "^handler returned;CancelClose;Close;closeWindows;release;T2;T1;$");
}

TEST_F(TerminationDeathTest, CompiledCodeInALongLoopStillEndsOnASignal) {
  EXPECT_EXIT(
      {
        InstallFakeApplication();
        raise(SIGHUP);
        for (int i = 0; i < 1000; ++i) RuntimeBackgroundTask();
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "^closeWindows;release;T2;T1;$");
}

// A dialog that GTK runs itself spins a main loop of its own that never comes back to the run
// loop while the dialog is open.
TEST_F(TerminationDeathTest, ASignalEndsTheProgramWhileADialogRunsItsOwnLoop) {
  EXPECT_EXIT(
      {
        alarm(10);
        InstallFakeApplication();
        pthread_t thread;
        pthread_create(&thread, nullptr, &SignalLater, reinterpret_cast<void*>(intptr_t{SIGTERM}));
        GMainLoop* dialogLoop = g_main_loop_new(nullptr, FALSE);
        g_main_loop_run(dialogLoop);
        Log("dialog closed");
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "^CancelClose;Close;closeWindows;release;T2;T1;$");
}

// The main thread alone in a long Sleep: the sleep passes as time, and a signal cuts it short.
TEST_F(TerminationDeathTest, ASignalEndsALongSleepOfTheMainThread) {
  EXPECT_EXIT(
      {
        alarm(10);
        InstallFakeApplication();
        pthread_t thread;
        pthread_create(&thread, nullptr, &SignalLater, reinterpret_cast<void*>(intptr_t{SIGTERM}));
        AppSleepCurrentThread(nullptr, 30000);
        Log("slept");
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "^CancelClose;Close;closeWindows;release;T2;T1;$");
}

TEST_F(TerminationDeathTest, TheHandlerOnlyRecordsTheSignal) {
  // Called directly, not through a signal: it must leave everything else untouched, and
  // nothing happens until the loop's next turn.
  EXPECT_EXIT(
      {
        InstallFakeApplication();
        if (PendingTerminationSignal() != 0) std::exit(4);
        HandlePendingTermination();  // nothing recorded: nothing happens
        errno = 1234;
        HandleTerminationSignal(SIGHUP);
        HandleTerminationSignal(SIGTERM);
        if (errno != 1234) std::exit(5);
        if (PendingTerminationSignal() != SIGHUP) std::exit(6);  // the first signal decides
        Log("recorded");
        HandlePendingTermination();
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "^recorded;closeWindows;release;T2;T1;$");
}

}  // namespace
}  // namespace vorn
