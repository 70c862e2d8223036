// Runs external programs with an argument vector, never through a shell, so nothing in a path
// or a parameter is ever read as shell syntax.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

struct ProgramResult {
  bool started = false;   // false: the program could not be started, `error` tells why
  int error = 0;          // errno of a failed start, or EOVERFLOW for output past the longest text
  int exitStatus = -1;    // the exit status, or -1 when the program ended by a signal
  bool timedOut = false;  // ended by the runner because it ran past its time limit
};

// Looks the program (args[0]) up in the search path, runs it in a process group of its own and
// waits for it to end. A quiet program's output and messages go nowhere. With a time limit
// (milliseconds, 0 for none) the group is killed once the program runs past the limit. It waits
// through the file layer's wait (files/descriptor_wait.h): a quit signal that comes meanwhile is
// carried out, and a runtime thread lets the others run. Should this process exit while
// the program runs (a quit signal, exit on any thread), the whole group is killed; the group is
// listed for that before the program runs anything. Killed outright (SIGKILL), this process can
// run nothing: the program itself then ends with it (PR_SET_PDEATHSIG), but what the program
// started lives on. With `output`, what the program writes on standard output and error is
// appended there, and the time limit counts from when that output ends; output longer than the
// longest text (files/line_buffer.h) ends the group at once, appends nothing and leaves EOVERFLOW
// in `error`. A program may read and set this process's terminal (files/program_terminal.h).
// A tool whose arguments name formats ("PICT:", "BMP3:") runs in the C locale: under the user's
// own, its case rules may read them as other names (a Turkish "pict" upper-cases to "PİCT").
enum class ProgramLocale { kInherited, kC };
ProgramResult RunProgramAndWait(const std::vector<std::string>& args, bool quiet = false,
                                int32_t timeLimitMilliseconds = 0, std::string* output = nullptr,
                                ProgramLocale locale = ProgramLocale::kInherited);

// A fresh folder named `prefix` and six more characters, only this user may use, for a program's
// output: removed with what it holds when the object goes, or when this process exits first
// (after the programs it waits for are killed). Path() is empty when it could not be made,
// Error() tells why.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return mPath; }
  int Error() const { return mError; }

 private:
  std::string mPath;
  int mError = 0;
};

// For tests: called on the thread that waits, with the program's process id, once the program
// may run and before its start is confirmed.
void SetProgramStartHookForTests(void (*hook)(pid_t));

// What this process's exit runs (registered as the first program or folder is listed): kills
// the groups of the programs waited for and removes the scratch folders; from then on no program
// starts and no folder is made. Tests call it in a process of their own.
void EndListedForExit();

// Starts the program file at args[0] (no search) in the background, detached from this process
// so that its end leaves no zombie behind. True once the program is running; false, with errno
// in *error, when it could not be started.
bool StartProgramDetached(const std::vector<std::string>& args, int* error);

}  // namespace vorn
