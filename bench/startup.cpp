// Start-up cost: from exec to the end of the first run-loop iteration, for a small
// application on the runtime (it quits through AutoQuit after that iteration) and for a plain
// GTK 2 program in C (bench/plain/) that initialises GTK, runs one main-loop iteration and
// exits. Both are whole processes, so exit is included in both. Needs a display (run under
// xvfb-run).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

extern char** environ;

namespace {

std::string OwnPath() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

std::string ApplicationPath() {
  if (const char* path = std::getenv("VORN_STARTUP_IMAGE")) return path;
  std::string own = OwnPath();
  std::string buildDir = own.substr(0, own.rfind('/'));
  buildDir = buildDir.substr(0, buildDir.rfind('/'));
  return buildDir + "/tests/core/startup_images/events_app";
}

// Runs the program to its end with its output discarded; false when it failed.
bool RunToEnd(const std::string& program, const char* extraArg) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string arg0 = program;
  std::string arg1 = extraArg ? extraArg : "";
  char* argv[] = {arg0.data(), extraArg ? arg1.data() : nullptr, nullptr};
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Measure(benchmark::State& state, const std::string& program, const char* extraArg) {
  if (std::getenv("DISPLAY") == nullptr) {
    state.SkipWithError("no display");
    return;
  }
  if (access(program.c_str(), X_OK) != 0) {
    state.SkipWithError(("not built: " + program).c_str());
    return;
  }
  for (auto _ : state) {
    if (!RunToEnd(program, extraArg)) {
      state.SkipWithError(("failed: " + program).c_str());
      return;
    }
  }
}

void BM_RuntimeApplicationToFirstIteration(benchmark::State& state) {
  Measure(state, ApplicationPath(), nullptr);
}
BENCHMARK(BM_RuntimeApplicationToFirstIteration)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_PlainGtkToFirstIteration(benchmark::State& state) {
  std::string own = OwnPath();
  Measure(state, own.substr(0, own.rfind('/')) + "/plain_first_iteration", nullptr);
}
BENCHMARK(BM_PlainGtkToFirstIteration)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
