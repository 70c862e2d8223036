#include "files/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "files/descriptor_wait.h"
#include "files/line_buffer.h"
#include "files/program_terminal.h"

extern char** environ;

namespace vorn {

namespace {

std::vector<char*> ArgumentVector(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

pid_t WaitFor(pid_t pid, int* status) {
  pid_t result;
  do {
    result = waitpid(pid, status, 0);
  } while (result < 0 && errno == EINTR);
  return result;
}

// In a child: tells the parent through the report pipe why it could not go on, and ends.
[[noreturn]] void ReportFailureAndExit(int report, int status) {
  int failure = errno;
  ssize_t ignored = write(report, &failure, sizeof failure);
  (void)ignored;
  _exit(status);
}

// In the parent, once the child's end of the pipe is closed: the errno the child reported, or 0
// when the program started (the exec closed the pipe). Closes the pipe.
int ReadReportedFailure(int report) {
  int failure = 0;
  ssize_t got;
  while (!LookForDescriptor(report, POLLIN)) {
  }
  do {
    got = read(report, &failure, sizeof failure);
  } while (got < 0 && errno == EINTR);
  close(report);
  return got == static_cast<ssize_t>(sizeof failure) ? failure : 0;
}

// Appends what comes through `fd` until its end, then closes it; false, with nothing appended,
// once more came than the longest text (LongestReadableText), of which at most one byte more is
// read. The program's terminal is looked after meanwhile.
bool ReadToEnd(int fd, std::string* output, TerminalLoan* terminal) {
  const size_t start = output->size();
  const auto longest = static_cast<size_t>(LongestReadableText());
  char block[65536];
  bool fits = true;
  while (true) {
    while (!LookForDescriptor(fd, POLLIN)) terminal->KeepLent();
    const size_t room = longest + 1 - (output->size() - start);
    const ssize_t got = read(fd, block, std::min(sizeof block, room));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    output->append(block, static_cast<size_t>(got));
    if (output->size() - start > longest) {
      output->resize(start);
      fits = false;
      break;
    }
  }
  close(fd);
  return fits;
}

// The file a program name stands for, looked up as execvp does: the name itself when it holds
// a "/", else the first executable regular file of that name along PATH. The look-up happens
// before the fork, where the child may call nothing that is not async-signal-safe.
std::string FindProgram(const std::string& name, int* error) {
  if (name.empty()) {
    *error = ENOENT;
    return {};
  }
  if (name.find('/') != std::string::npos) return name;
  const char* searchPath = std::getenv("PATH");
  std::string_view folders = searchPath ? searchPath : "/bin:/usr/bin";
  int failure = ENOENT;
  while (true) {
    const size_t colon = folders.find(':');
    std::string_view folder = folders.substr(0, colon);
    std::string candidate = folder.empty() ? std::string(".") : std::string(folder);
    candidate += '/';
    candidate += name;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
      failure = EACCES;
    }
    if (colon == std::string_view::npos) break;
    folders.remove_prefix(colon + 1);
  }
  *error = failure;
  return {};
}

// What goes when this process exits before it is done with it: the process groups of the
// programs it waits for, and their scratch folders. Once the exit has ended them, nothing new
// is started or made.
struct Listed {
  pid_t group;  // 0: a scratch folder
  std::string folder;
  pid_t owner;  // a process forked meanwhile inherits the list, but not what is on it
};
std::mutex sListedGuard;
pid_t sEndedIn = 0;  // the process whose exit ended what was listed
void (*sStartHook)(pid_t) = nullptr;

std::vector<Listed>& ListedItems() {
  static auto* listed = new std::vector<Listed>;
  return *listed;
}

}  // namespace

void EndListedForExit() {
  // A process forked while another thread held the list finds it held for good.
  std::unique_lock<std::mutex> guard(sListedGuard, std::try_to_lock);
  for (int tries = 0; !guard.owns_lock() && tries < 100; ++tries) {
    usleep(1000);
    guard.try_lock();
  }
  if (!guard.owns_lock()) return;
  sEndedIn = getpid();
  // The programs first: one that is gone writes nothing more into its folder.
  for (const Listed& item : ListedItems()) {
    if (item.owner != getpid() || item.group == 0) continue;
    kill(-item.group, SIGKILL);
    int status;
    waitpid(item.group, &status, 0);
  }
  for (const Listed& item : ListedItems()) {
    std::error_code ignored;
    if (item.owner == getpid() && item.group == 0) std::filesystem::remove_all(item.folder, ignored);
  }
  ListedItems().clear();
}

namespace {

// Whether what is listed now is ended should this process exit: the exit has not ended the
// list yet, and its handler stands (an exit that has run its handlers refuses new ones).
// Called with the guard held.
bool MayListLocked() {
  static const bool registered = std::atexit(&EndListedForExit) == 0;
  return registered && sEndedIn != getpid();
}

// Lists the group or folder unless this process's exit has already ended what was listed.
// Called with the guard held.
bool ListLocked(pid_t group, const std::string& folder) {
  if (!MayListLocked()) return false;
  ListedItems().push_back({group, folder, getpid()});
  return true;
}

void UnlistLocked(pid_t group, const std::string& folder) {
  auto& listed = ListedItems();
  listed.erase(std::remove_if(listed.begin(), listed.end(),
                              [&](const Listed& item) { return item.group == group && item.folder == folder; }),
               listed.end());
}

// Holds a running program's group in the list for as long as it is waited for.
class ListedGroup {
 public:
  explicit ListedGroup(pid_t group) : mGroup(group) {
    std::lock_guard<std::mutex> guard(sListedGuard);
    mListed = ListLocked(group, {});
  }
  ~ListedGroup() {
    std::lock_guard<std::mutex> guard(sListedGuard);
    if (mListed) UnlistLocked(mGroup, {});
  }
  bool Listed() const { return mListed; }
  ListedGroup(const ListedGroup&) = delete;
  ListedGroup& operator=(const ListedGroup&) = delete;

 private:
  pid_t mGroup;
  bool mListed = false;
};

// Waits for the child at most `milliseconds` (0: as long as it runs), carrying out a quit
// signal meanwhile, looking after its terminal and, on a runtime thread, letting the others run:
// its pid once it has ended, 0 when it is still running, -1 when it cannot be waited for.
pid_t WaitWithin(pid_t pid, int32_t milliseconds, int* status, TerminalLoan* terminal) {
  using Clock = std::chrono::steady_clock;
  const bool limited = milliseconds > 0;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  // A descriptor that becomes readable when the child ends; without one (an older kernel),
  // the child is looked at every few milliseconds.
  const int watch = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  pid_t ended = 0;
  while (true) {
    ended = waitpid(pid, status, WNOHANG);
    if (ended != 0 && !(ended < 0 && errno == EINTR)) break;
    const auto left = limited ? std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()
                              : int64_t{kLongestWaitLookMs};
    if (left <= 0) {
      ended = 0;
      break;
    }
    LookForDescriptor(watch, POLLIN, static_cast<int>(std::min<int64_t>(left, watch >= 0 ? kLongestWaitLookMs : 5)));
    terminal->KeepLent();
  }
  if (watch >= 0) close(watch);
  return ended;
}

// This process's environment, with LC_ALL=C in place of any LC_ALL it has; LC_ALL outranks LANG
// and every other LC_ variable.
std::vector<std::string> CLocaleEnvironment() {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    if (std::strncmp(*entry, "LC_ALL=", 7) != 0) environment.emplace_back(*entry);
  }
  environment.emplace_back("LC_ALL=C");
  return environment;
}

}  // namespace

ProgramResult RunProgramAndWait(const std::vector<std::string>& args, bool quiet, int32_t timeLimitMilliseconds,
                                std::string* output, ProgramLocale locale) {
  ProgramResult result;
  if (args.empty()) {
    result.error = EINVAL;
    return result;
  }
  const std::string file = FindProgram(args[0], &result.error);
  if (file.empty()) return result;
  std::vector<char*> argv = ArgumentVector(args);
  std::vector<std::string> cEnvironment;
  if (locale == ProgramLocale::kC) cEnvironment = CLocaleEnvironment();
  std::vector<char*> cEnvp = ArgumentVector(cEnvironment);
  char** const envp = locale == ProgramLocale::kC ? cEnvp.data() : environ;
  // The child reports a failed exec through `report`; a successful exec closes it. It waits
  // for a byte on `go` before it runs anything, so that its group is listed for the exit-time
  // kill before it can start a program of its own.
  int report[2], go[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    result.error = errno;
    return result;
  }
  if (pipe2(go, O_CLOEXEC) != 0) {
    result.error = errno;
    close(report[0]);
    close(report[1]);
    return result;
  }
  // What the program writes on standard output and error, when it is kept.
  int written[2] = {-1, -1};
  if (output && pipe2(written, O_CLOEXEC) != 0) {
    result.error = errno;
    for (int fd : {report[0], report[1], go[0], go[1]}) close(fd);
    return result;
  }
  TerminalLoan terminal;
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    result.error = errno;
    for (int fd : {report[0], report[1], go[0], go[1], written[0], written[1]}) {
      if (fd >= 0) close(fd);
    }
    return result;
  }
  if (pid == 0) {
    // Only async-signal-safe calls from here on: the parent may run other threads.
    close(report[0]);
    close(go[1]);
    // A group of its own, so that a time limit ends whatever the program starts too; and an
    // end together with the thread that waits for it, so that a program killed while it waits
    // leaves nothing running behind.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    char byte;
    ssize_t got;
    do {
      got = read(go[0], &byte, 1);
    } while (got < 0 && errno == EINTR);
    if (got != 1) _exit(127);  // the parent is exiting: nothing may start now
    // The program starts with no signal blocked, whatever the waiting thread blocks.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    terminal.PrepareChild();
    if (output) {
      dup2(written[1], STDOUT_FILENO);
      dup2(STDOUT_FILENO, STDERR_FILENO);
    } else if (quiet) {
      const int nowhere = open("/dev/null", O_WRONLY);
      if (nowhere >= 0) {
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
        if (nowhere > STDERR_FILENO) close(nowhere);
      }
    }
    execve(file.c_str(), argv.data(), envp);
    ReportFailureAndExit(report[1], 127);
  }
  setpgid(pid, pid);  // also here, so that the group stands before it is listed
  terminal.Lend(pid);  // before it runs anything: its first read of the terminal must not stop it
  close(report[1]);
  close(go[0]);
  if (output) close(written[1]);
  ListedGroup listed(pid);
  if (listed.Listed()) {
    const char byte = 1;
    ssize_t ignored = write(go[1], &byte, 1);  // the pipe is empty: one byte always fits
    (void)ignored;
  }
  close(go[1]);
  if (sStartHook) sStartHook(pid);
  int status = 0;
  int failure = ReadReportedFailure(report[0]);
  if (!listed.Listed()) failure = ECANCELED;
  if (failure) {
    if (output) close(written[0]);
    WaitFor(pid, &status);
    result.error = failure;
    return result;
  }
  result.started = true;
  // Output past the longest text ends the program as a time limit would.
  if (output && !ReadToEnd(written[0], output, &terminal)) result.error = EOVERFLOW;
  pid_t ended = result.error ? 0 : WaitWithin(pid, std::max(timeLimitMilliseconds, 0), &status, &terminal);
  if (ended == 0) {
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    result.timedOut = !result.error;
    ended = WaitFor(pid, &status);
  }
  if (ended < 0) {
    result.error = errno;
    return result;
  }
  if (!result.timedOut && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

ScratchFolder::ScratchFolder(const std::string& prefix) : mPath(prefix + "XXXXXX") {
  std::lock_guard<std::mutex> guard(sListedGuard);
  // Made with the list held, so that an exit finds it listed or finds it not made at all; once
  // the exit has begun it is not made even for a moment, since the exit may end this process
  // before it could be taken away again.
  if (!MayListLocked()) {
    mError = ECANCELED;
  } else if (!mkdtemp(mPath.data())) {
    mError = errno;
  } else {
    ListLocked(0, mPath);
  }
  if (mError) mPath.clear();
}

ScratchFolder::~ScratchFolder() {
  if (mPath.empty()) return;
  std::lock_guard<std::mutex> guard(sListedGuard);
  UnlistLocked(0, mPath);
  std::error_code ignored;
  std::filesystem::remove_all(mPath, ignored);
}

void SetProgramStartHookForTests(void (*hook)(pid_t)) { sStartHook = hook; }

bool StartProgramDetached(const std::vector<std::string>& args, int* error) {
  if (args.empty()) {
    if (error) *error = EINVAL;
    return false;
  }
  std::vector<char*> argv = ArgumentVector(args);
  // The grandchild reports a failed exec through this pipe; a successful exec closes it.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    if (error) *error = errno;
    return false;
  }
  pid_t child = fork();
  if (child < 0) {
    if (error) *error = errno;
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    // Only async-signal-safe calls from here on: the parent may run other threads.
    close(report[0]);
    pid_t grandchild = fork();
    if (grandchild < 0) ReportFailureAndExit(report[1], 1);
    if (grandchild == 0) {
      setsid();
      execv(argv[0], argv.data());
      ReportFailureAndExit(report[1], 127);
    }
    // The grandchild is handed to init at once, which reaps it when it ends.
    _exit(0);
  }
  close(report[1]);
  int status = 0;
  WaitFor(child, &status);
  if (int failure = ReadReportedFailure(report[0])) {
    if (error) *error = failure;
    return false;
  }
  return true;
}

}  // namespace vorn
