// The console program with no display at all, as a daemon or a program on a server runs: it
// starts, serves its streams and detaches; windows and message boxes raise an exception.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "support/console_run.h"

namespace {

TEST(ConsoleAppTest, RunsWithoutADisplayAndRefusesWindows) {
  auto run = vorn::consoletest::RunConsoleApp("alpha\r\nbeta\ngamma", false);
  ASSERT_TRUE(run.exited) << "the program did not end; its log: " << run.log;
  EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.log;
  EXPECT_EQ(run.echoed, "alpha\nbeta\n> gamma\n");
  EXPECT_EQ(run.log.find("FAIL"), std::string::npos) << run.log;
  for (const char* check : {"ok:application;", "ok:end of input;", "ok:DoEvents waits;", "ok:key name;",
                            "ok:window refused without a display;", "ok:message box refused without a display;",
                            "daemon;"}) {
    EXPECT_NE(run.log.find(check), std::string::npos) << check << " missing from: " << run.log;
  }
  EXPECT_EQ(run.mark, "detached");
}

}  // namespace
