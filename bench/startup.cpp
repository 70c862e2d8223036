// Start-up cost: from exec to the end of the first run-loop iteration, for a small
// application on the runtime (it quits through AutoQuit after that iteration) and for a plain
// GTK 2 program that initialises GTK, runs one main-loop iteration and exits. Both are whole
// processes, so exit is included in both. Needs a display (run under xvfb-run).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <gtk/gtk.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace {

constexpr const char* kPlainGtkFlag = "--plain-gtk-start";

// The plain program: nothing but GTK's own calls.
int PlainGtkStart(int argc, char** argv) {
  gtk_set_locale();
  gtk_init(&argc, &argv);
  gtk_main_iteration_do(FALSE);
  return 0;
}

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
  Measure(state, OwnPath(), kPlainGtkFlag);
}
BENCHMARK(BM_PlainGtkToFirstIteration)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], kPlainGtkFlag) == 0) return PlainGtkStart(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
