// Runs a command line through "/bin/bash -c": the feature for code that means a shell command.
// Nothing that carries a path or other outside text should be pasted into a command line; run
// such programs with an argument vector (files/program_runner.h) instead.
#pragma once

#include <string>
#include <vector>

#include "strings/vstring.h"

namespace vorn {

// With `capture`, waits for the command and answers everything it wrote on standard output and
// standard error; it runs as RunProgramAndWait runs a program (files/program_runner.h), so a
// command that closes its output and runs on holds nothing of the runtime's while it is waited
// for. Without, starts it in the background with its output discarded and answers "" at once.
// "" as well when the shell cannot be started, or when the output runs past the longest text
// (the command is ended then); `error` then tells why (EOVERFLOW for the output), else 0.
string RunShellCommand(const string& commandLine, bool capture, int* error = nullptr);

// The bytes a program wrote on standard output and standard error until it ended; args[0] is
// looked up in the search path. Empty, with the reason in `error`, when it cannot be started or
// its output runs past the longest text.
std::string RunProgramCapturingOutput(const std::vector<std::string>& args, int* error = nullptr);

}  // namespace vorn
