#include "core/plugin_trial_load.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace vorn {

namespace {

// The copy is asked through its environment: it must answer before anything of the program
// starts, where no command line has been read yet.
constexpr char kTrialVariable[] = "VORN_PLUGIN_TRIAL_LOAD";
constexpr int kReportDescriptor = 3;
constexpr size_t kReportLimit = 1024;  // far below a pipe's buffer: the copy never blocks on it

void Report(const char* text) {
  size_t length = strnlen(text, kReportLimit);
  while (length > 0) {
    ssize_t n = write(kReportDescriptor, text, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text += n;
    length -= static_cast<size_t>(n);
  }
}

// In the copy: runs before the program's other constructors and its main, and ends the copy.
// The destructors run here too (the library is closed without RTLD_NODELETE), as a damaged
// destructor table would otherwise end the real program at its exit.
__attribute__((constructor(101))) void TrialLoadWhenAsked() {
  // Both or nothing: a variable left in the environment of a program started otherwise does not
  // make it a trial load.
  const char* asked = std::getenv(kTrialVariable);
  struct stat report {};
  if (asked == nullptr || fstat(kReportDescriptor, &report) != 0 || !S_ISFIFO(report.st_mode)) return;
  char path[4096];
  std::strncpy(path, asked, sizeof path - 1);
  path[sizeof path - 1] = '\0';
  unsetenv(kTrialVariable);  // programs the library's constructors start are no trial loads
  fcntl(kReportDescriptor, F_SETFD, FD_CLOEXEC);
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    Report("cannot load: ");
    Report(error ? error : "unknown error");
    _exit(1);
  }
  const bool hasMain = dlsym(handle, "VORNPluginMain") != nullptr;
  dlclose(handle);
  Report(hasMain ? "loaded" : "it has no VORNPluginMain");
  _exit(hasMain ? 0 : 1);
}

std::string ReadReport(int descriptor) {
  std::string report;
  char buffer[256];
  for (ssize_t n; report.size() < kReportLimit;) {
    n = read(descriptor, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    report.append(buffer, static_cast<size_t>(n));
  }
  return report;
}

// The copy's environment: this one's, with the library to try.
std::vector<std::string> TrialEnvironment(const std::string& path) {
  std::vector<std::string> entries;
  const size_t nameLength = sizeof kTrialVariable - 1;
  for (char** entry = environ; entry && *entry; ++entry) {
    if (std::strncmp(*entry, kTrialVariable, nameLength) != 0 || (*entry)[nameLength] != '=') entries.emplace_back(*entry);
  }
  entries.push_back(std::string(kTrialVariable) + "=" + path);
  return entries;
}

bool Spawn(const std::string& path, int reportEnd, pid_t& pid, std::string& why) {
  std::vector<std::string> environment = TrialEnvironment(path);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  char name[] = "vorn-plugin-trial";
  char* argv[] = {name, nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_adddup2(&actions, reportEnd, kReportDescriptor);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  // The copy faults with the default actions whatever this process blocks or ignores.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  int error = posix_spawn(&pid, "/proc/self/exe", &actions, &attributes, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) why = "cannot try it in a separate process: " + std::string(std::strerror(error));
  return error == 0;
}

}  // namespace

bool TrialLoadPlugin(const std::string& path, std::string& why) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    why = "cannot try it in a separate process: " + std::string(std::strerror(errno));
    return false;
  }
  // dup2 onto the same number would keep close-on-exec set.
  if (ends[1] == kReportDescriptor) {
    int moved = fcntl(ends[1], F_DUPFD_CLOEXEC, kReportDescriptor + 1);
    close(ends[1]);
    ends[1] = moved;
  }
  pid_t pid = -1;
  const bool started = ends[1] >= 0 && Spawn(path, ends[1], pid, why);
  if (ends[1] >= 0) close(ends[1]);
  if (!started) {
    if (why.empty()) why = "cannot try it in a separate process: " + std::string(std::strerror(errno));
    close(ends[0]);
    return false;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  // The report waits in the pipe; a process the library's constructors left running may
  // still hold its end, so only what is there is read.
  fcntl(ends[0], F_SETFL, O_NONBLOCK);
  const std::string report = ReadReport(ends[0]);
  close(ends[0]);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && report == "loaded") return true;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 1 && !report.empty() && report != "loaded") {
    why = report;
  } else if (WIFSIGNALED(status)) {
    why = "a damaged shared object (a trial load ended with signal " + std::to_string(WTERMSIG(status)) + ")";
  } else {
    why = "a damaged shared object (a trial load ended with exit status " +
          std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
  }
  return false;
}

}  // namespace vorn
