// Compiled programs that use threads, run for real: threads handing work around through
// semaphores and critical sections, their schedule, sleeping, suspension, locks left behind by
// a thread that ends, stack overflow, and threads that keep running while the main thread
// shows a modal dialog.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "support/program_run.h"

namespace {

using namespace vorn::programtest;

int NumberAfter(const std::string& events, const std::string& key) {
  size_t at = events.find(key + "=");
  return at == std::string::npos ? -1 : std::stoi(events.substr(at + key.size() + 1));
}

TEST(ThreadsAcceptanceTest, ThreadsShareTheRuntimeAsTheirLocksAndScheduleSay) {
  Outcome outcome = RunProgram(ImagePath("threads_app"), {});
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.status, 0);
  std::string events = EventsOf(outcome.log);
  // The main thread and two others pass a counter round through three semaphores; two threads
  // add under a critical section that each finds taken by the other at times.
  EXPECT_NE(events.find("relay=012012012012,counter=12;section=100;contended=1;priorityKept=5;"),
            std::string::npos) << events;
  // Priority 10 holds twice the slots of priority 5 in every pass.
  double ratio = static_cast<double>(NumberAfter(events, "high")) / NumberAfter(events, "normal");
  EXPECT_NEAR(ratio, 2.0, 0.2) << events;
  // A sleeper is woken by Resume, or early when no other thread can run, well within its
  // minute (the program would hang past the deadline otherwise).
  EXPECT_NE(events.find("sleeping=3;resumed;wokeEarly;ended=4;"), std::string::npos) << events;
  EXPECT_NE(events.find("suspendedTurns=0;suspendedState=2;resumedRuns=1;"), std::string::npos) << events;
  // A thread that ends holding a critical section and a mutex hands both on to their waiter.
  EXPECT_NE(events.find("waiterState=1;waiterGotBoth;"), std::string::npos) << events;
  // Runaway recursion stops at the stack limit with an exception, on a thread and on main.
  EXPECT_NE(events.find("threadOverflow=1;deep=1;mainOverflow=1;"), std::string::npos) << events;
  EXPECT_NE(events.find("freshState=4;runTwice=1;stackWhileRunning=1;stackZero=1;stackHuge=1;"
                        "semaphoreZero=1;releaseTooMany=0;trySignalAtZero=0;sectionNotHeld=2;"
                        "mutexNotHeld=3;End;"),
            std::string::npos)
      << events;
}

// The thread says so after a hundred turns taken while the dialog is up; the signal then ends
// the program from inside the dialog's loop.
TEST(ThreadsAcceptanceTest, AThreadRunsWhileTheMainThreadShowsAMessageDialog) {
  Outcome outcome = RunProgram(ImagePath("message_dialog_thread_app"), {}, SIGTERM, "ThreadRanDuringDialog;");
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(EventsOf(outcome.log), "DialogShowing;ThreadRanDuringDialog;");
}

TEST(ThreadsAcceptanceTest, AThreadRunsAndASignalEndsTheProgramWhileGtkRunsItsOwnDialog) {
  Outcome outcome = RunProgram(ImagePath("color_dialog_thread_app"), {}, SIGTERM, "ThreadRanDuringDialog;");
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(EventsOf(outcome.log), "DialogShowing;ThreadRanDuringDialog;");
}

}  // namespace
