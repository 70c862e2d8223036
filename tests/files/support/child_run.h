// Runs a piece of a test in a child process, so that a call which never returns makes the test
// fail instead of hanging it, and a call that must meet another process's hold meets one.
#pragma once

#include <functional>
#include <string>

namespace vorn::testing {

// What `body` answered in a child process, or "<still running>" when it had not ended within
// `seconds` (a hang, not a slow machine): the child and every process it started are killed then.
// "<exit N>" when the child exited with N, not 0, without an answer.
std::string RunInChild(const std::function<std::string()>& body, int seconds = 60);

// Whether the process runs: false once it is gone or a zombie (ended, whoever is to reap it).
bool ProcessRuns(const std::string& pid);

}  // namespace vorn::testing
