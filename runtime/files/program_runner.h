// Runs external programs with an argument vector, never through a shell, so nothing in a path
// or a parameter is ever read as shell syntax.
#pragma once

#include <string>
#include <vector>

namespace vorn {

struct ProgramResult {
  bool started = false;  // false: the program could not be started, `error` tells why
  int error = 0;         // errno of a failed start
  int exitStatus = -1;   // the exit status, or -1 when the program ended by a signal
};

// Looks the program (args[0]) up in the search path, runs it and waits for it to end. A quiet
// program's output and messages go nowhere.
ProgramResult RunProgramAndWait(const std::vector<std::string>& args, bool quiet = false);

// Starts the program file at args[0] (no search) in the background, detached from this process
// so that its end leaves no zombie behind. True once the program is running; false, with errno
// in *error, when it could not be started.
bool StartProgramDetached(const std::vector<std::string>& args, int* error);

}  // namespace vorn
