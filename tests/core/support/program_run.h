// Running the runtime executable with an image on it as a user would, for the acceptance
// tests: its standard error collected, a signal sent once it has said something, a deadline.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorn::programtest {

struct Outcome {
  bool exited = false;
  int status = -1;   // exit status when exited
  std::string log;   // everything written to standard error
};

// A program of the start-up test images in the build tree.
std::string ImagePath(const std::string& name);
std::string ReadFile(const std::string& path);
double Now();

// Runs the program with its standard error in a file. Once the log contains `waitFor`, hands
// the log so far to `beforeSignal` and then sends `signalNumber` when it is set. Kills the
// program when it has not ended 15 s after its start or, once signalled, after the signal.
Outcome RunProgram(const std::string& program, std::vector<std::string> args, int signalNumber = 0,
                   const std::string& waitFor = "",
                   const std::function<void(const std::string&)>& beforeSignal = nullptr);

// The application's own texts in a log: lines of GTK and GLib warnings left out.
std::string EventsOf(const std::string& log);

}  // namespace vorn::programtest
