// A console program run by the real runtime with its standard streams on pipes, as a shell
// would run it, on a display: it echoes its input, answers a message box the user confirms with
// Return, checks the application, keyboard and desktop services it reaches through the loader,
// and finally becomes a daemon.
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

#include "support/console_run.h"

namespace {

using vorn::consoletest::RunConsoleApp;

TEST(ConsoleAppTest, EchoesItsInputAnswersAMessageBoxAndDetaches) {
  int presses = 0;
  // The message box has no window manager to give it the focus: give it to every window of the
  // program and press Return there, every half second until the answer is logged. A window
  // that closes between the search and the key press is no fault: the next round goes on.
  auto pressReturn = [&presses](pid_t pid, const std::string& log) {
    if (log.find("msgbox;") == std::string::npos || log.find("msgbox=") != std::string::npos) return;
    if (presses++ % 50 != 0) return;
    std::string command = "xdotool search --onlyvisible --pid " + std::to_string(pid) +
                          " 2>/dev/null | while read w; do xdotool windowfocus --sync $w key Return 2>/dev/null; done; true";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "xdotool failed";
  };
  // CR LF, LF and no end at all end a line alike.
  auto run = RunConsoleApp("alpha\r\nbeta\ngamma", true, pressReturn);
  ASSERT_TRUE(run.exited) << "the program did not end; its log: " << run.log;
  // The program that was started ends with 0 once it has handed over to its daemon.
  EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
  EXPECT_EQ(run.echoed, "alpha\nbeta\n> gamma\n");
  EXPECT_EQ(run.log.find("FAIL"), std::string::npos) << run.log;
  for (const char* check : {"ok:application;", "ok:end of input;", "ok:nil streams;", "ok:version text;",
                            "ok:text resource;", "ok:scripts;", "ok:DoEvents waits;", "ok:polled while listed;",
                            "ok:invalidate setter outside the object;", "ok:key name;", "ok:font names;", "ok:theme colours;",
                            "ok:no windows;", "ok:window order;", "ok:windows closed;", "ok:help tags;", "to standard error\n", "msgbox=7;", "daemon;"}) {
    EXPECT_NE(run.log.find(check), std::string::npos) << check << " missing from: " << run.log;
  }
  // The executable's own file, as App.ExecutableFile names it.
  char resolved[PATH_MAX];
  ASSERT_NE(realpath(run.program.c_str(), resolved), nullptr);
  EXPECT_NE(run.log.find(std::string("exe=") + resolved + ";"), std::string::npos) << run.log;
  EXPECT_EQ(run.mark, "detached");
}

}  // namespace
