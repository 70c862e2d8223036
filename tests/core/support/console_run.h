// Running the console test program as a shell would: standard input and output on pipes,
// standard error in a file, with or without a display.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace vorn::consoletest {

struct ConsoleRun {
  bool exited = false;
  int status = -1;       // as waitpid gives it
  std::string echoed;    // everything written to standard output
  std::string log;       // everything written to standard error
  std::string program;   // the executable's path
  std::string mark;      // what the daemon wrote into its mark file
};

// Runs tests/core/startup_images/console_app with `input` on its standard input, DISPLAY
// removed when `withDisplay` is false. `whileRunning` sees the program and its log so far.
ConsoleRun RunConsoleApp(const std::string& input, bool withDisplay,
                         const std::function<void(pid_t, const std::string&)>& whileRunning = nullptr);

}  // namespace vorn::consoletest
