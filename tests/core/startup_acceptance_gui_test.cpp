// The runtime executable run for real on small applications: start-up, opening, the run loop,
// timers, quitting and termination signals, as a user of the program sees them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Outcome {
  bool exited = false;
  int status = -1;      // exit status when exited
  std::string log;      // everything written to standard error
};

std::string ImagePath(const std::string& name) {
  return std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// Runs the program with its standard error in a file. When `signalNumber` is set, sends it once
// the log contains `waitFor`, after handing the log so far to `beforeSignal`. Kills the program
// after 15 s.
Outcome RunProgram(const std::string& program, std::vector<std::string> args, int signalNumber = 0,
            const std::string& waitFor = "",
            const std::function<void(const std::string&)>& beforeSignal = nullptr) {
  char logPath[] = "/tmp/vorn_startup_log_XXXXXX";
  int logFile = mkstemp(logPath);
  EXPECT_GE(logFile, 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, logFile, 2);
  std::vector<char*> argv;
  args.insert(args.begin(), program);
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(logFile);
  Outcome outcome;
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << program;
    unlink(logPath);
    return outcome;
  }
  bool signalled = signalNumber == 0;
  double deadline = Now() + 15;
  int status = 0;
  while (true) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (!signalled && ReadFile(logPath).find(waitFor) != std::string::npos) {
      if (beforeSignal) beforeSignal(ReadFile(logPath));
      kill(pid, signalNumber);
      signalled = true;
    }
    if (Now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << program << " did not end; its log: " << ReadFile(logPath);
      break;
    }
    usleep(10 * 1000);
  }
  outcome.exited = WIFEXITED(status);
  outcome.status = outcome.exited ? WEXITSTATUS(status) : -1;
  outcome.log = ReadFile(logPath);
  unlink(logPath);
  return outcome;
}

// GTK and GLib may warn on standard error; the tests look at the application's own texts.
std::string EventsOf(const std::string& log) {
  std::string events;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("Gtk-") != std::string::npos || line.find("GLib") != std::string::npos ||
        line.empty() || line[0] == '(') {
      continue;
    }
    events += line;
  }
  return events;
}

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
