// The runtime executable run for real on small applications: start-up, opening, the run loop,
// timers, quitting and termination signals, as a user of the program sees them.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/program_run.h"

namespace {

using namespace vorn::programtest;

TEST(StartupAcceptanceTest, WithoutArgumentsOpenThenNewDocumentAndAutoQuitEndsTheLoop) {
  Outcome outcome = RunProgram(ImagePath("events_app"), {});
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.status, 0);
  // No window is open and AutoQuit is set: the first iteration quits; a second RuntimeRun
  // returns at once.
  EXPECT_EQ(EventsOf(outcome.log), "Open;NewDocument;Run;CancelClose;Close;RunReturned;SecondRunReturned;");
}

// A document argument names a file where the user started the program; a relative one is
// completed from that working folder, not from the program's own folder.
TEST(StartupAcceptanceTest, EachPathOnTheCommandLineOpensADocumentItemOfItsAbsolutePath) {
  char folder[] = "/tmp/vorn_documents_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string first = std::string(folder) + "/first.dat";
  std::ofstream(first) << "x";
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(folder), 0);
  Outcome outcome = RunProgram(ImagePath("events_app"), {first, "second.dat"});
  EXPECT_EQ(chdir(previous), 0);
  std::remove(first.c_str());
  rmdir(folder);
  EXPECT_EQ(outcome.status, 0);
  std::string events = EventsOf(outcome.log);
  EXPECT_EQ(events.substr(0, events.find("Run;")),
            "Open;OpenDocument(" + first + ");OpenDocument(" + std::string(folder) + "/second.dat);");
  EXPECT_EQ(events.find("NewDocument"), std::string::npos);
}

// GTK takes its own options out of the command line; what is left names no document.
TEST(StartupAcceptanceTest, OnlyGtkOptionsOnTheCommandLineFireNewDocument) {
  Outcome outcome = RunProgram(ImagePath("events_app"), {"--g-fatal-warnings"});
  EXPECT_EQ(outcome.status, 0);
  std::string events = EventsOf(outcome.log);
  EXPECT_EQ(events.substr(0, events.find("Run;")), "Open;NewDocument;");
}

TEST(StartupAcceptanceTest, ASingleTimerFiresOnceAfterItsPeriodAndThenReadsModeZero) {
  Outcome outcome = RunProgram(ImagePath("timer_app"), {});
  EXPECT_EQ(outcome.status, 0);
  std::string events = EventsOf(outcome.log);
  size_t action = events.find("Action(mode=0,ticks=");
  ASSERT_NE(action, std::string::npos) << events;
  int ticks = std::stoi(events.substr(action + 20));
  EXPECT_GE(ticks, 29);  // 500 ms are 30 ticks
  EXPECT_LE(ticks, 60);
  EXPECT_EQ(events.find("Action", action + 1), std::string::npos) << "fired twice: " << events;
  EXPECT_NE(events.find("Quit;End(mode=0);"), std::string::npos) << events;
}

TEST(StartupAcceptanceTest, SigtermRunsCancelCloseAndCloseAndExitsWithStatusZero) {
  Outcome outcome = RunProgram(ImagePath("waiting_app"), {}, SIGTERM, "Waiting;");
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.status, 0);
  // The process ends from the loop: the image's RuntimeRun never returns.
  EXPECT_EQ(EventsOf(outcome.log), "Waiting;CancelClose;Close;");
}

TEST(StartupAcceptanceTest, SigquitActsAsSigterm) {
  Outcome outcome = RunProgram(ImagePath("waiting_app"), {}, SIGQUIT, "Waiting;");
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(EventsOf(outcome.log), "Waiting;CancelClose;Close;");
}

TEST(StartupAcceptanceTest, SighupSkipsTheQuitSequenceButStillExitsWithStatusZero) {
  Outcome outcome = RunProgram(ImagePath("waiting_app"), {}, SIGHUP, "Waiting;");
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(EventsOf(outcome.log), "Waiting;");
}

// A temporary item lives while the program runs and is gone once it has ended.
TEST(StartupAcceptanceTest, ATemporaryItemIsRemovedWhenTheProgramEnds) {
  std::string path;
  std::string contentsWhileRunning = "<not looked at>";
  Outcome outcome = RunProgram(ImagePath("temp_item_app"), {}, SIGTERM, "Waiting;", [&](const std::string& log) {
    std::string events = EventsOf(log);
    size_t start = events.find("Path(");
    size_t end = events.find(");", start);
    if (start == std::string::npos || end == std::string::npos) return;
    path = events.substr(start + 5, end - start - 5);
    contentsWhileRunning = access(path.c_str(), F_OK) == 0 ? ReadFile(path) : "<missing>";
  });
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.status, 0);
  ASSERT_EQ(path.rfind("/tmp/", 0), 0u) << EventsOf(outcome.log);
  EXPECT_EQ(contentsWhileRunning, "limiting magnitude 6.5\n");
  EXPECT_NE(access(path.c_str(), F_OK), 0) << path << " is still there";
  if (access(path.c_str(), F_OK) == 0) std::remove(path.c_str());
}

TEST(StartupAcceptanceTest, TheRuntimeAloneSaysThatItHoldsNoApplication) {
  Outcome outcome = RunProgram(std::string(VORN_BINARY_DIR) + "/vorn", {});
  EXPECT_TRUE(outcome.exited);
  EXPECT_NE(outcome.status, 0);
  EXPECT_NE(outcome.log.find("vorn: "), std::string::npos) << outcome.log;
}

}  // namespace
