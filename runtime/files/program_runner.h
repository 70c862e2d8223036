// Runs external programs with an argument vector, never through a shell, so nothing in a path
// or a parameter is ever read as shell syntax.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

struct ProgramResult {
  bool started = false;   // false: the program could not be started, `error` tells why
  int error = 0;          // errno of a failed start
  int exitStatus = -1;    // the exit status, or -1 when the program ended by a signal
  bool timedOut = false;  // ended by the runner because it ran past its time limit
};

// Looks the program (args[0]) up in the search path, runs it and waits for it to end. A quiet
// program's output and messages go nowhere. With a time limit (milliseconds, 0 for none) the
// program and everything it started are killed once it runs past the limit. The program ends
// with this process's thread as well, whatever ends it: nothing waits on unattended.
ProgramResult RunProgramAndWait(const std::vector<std::string>& args, bool quiet = false,
                                int32_t timeLimitMilliseconds = 0);

// Starts the program file at args[0] (no search) in the background, detached from this process
// so that its end leaves no zombie behind. True once the program is running; false, with errno
// in *error, when it could not be started.
bool StartProgramDetached(const std::vector<std::string>& args, int* error);

}  // namespace vorn
