// Start-up of the calculator beside the same window written straight on GTK 2 (bench/plain/):
// from exec to the last drawing of the first full frame, and the peak resident memory. Both
// are watched from outside through the X server's damage reports on the root window, so
// neither program carries any measuring code: the frame counts as complete once the screen
// stays quiet for a while after the window was mapped. Needs a display (run under xvfb-run).
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kQuiet = std::chrono::milliseconds(400);
constexpr auto kGiveUp = std::chrono::seconds(15);

std::string BuildDir() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string own = length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
  std::string dir = own.substr(0, own.rfind('/'));  // <build>/bench
  return dir.substr(0, dir.rfind('/'));
}

struct Run {
  bool ok = false;
  double seconds = 0;  // exec to the last damage of the first frame
  double mappedSeconds = 0;  // exec to the first window's MapNotify
  long peakKilobytes = 0;
};

pid_t Spawn(const std::string& program) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string arg0 = program;
  char* argv[] = {arg0.data(), nullptr};
  pid_t pid = 0;
  int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : pid;
}

// Waits for the next event for at most `limit`; false when none came.
bool NextEvent(Display* display, XEvent* event, Clock::duration limit) {
  if (XPending(display) == 0) {
    int fd = ConnectionNumber(display);
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(limit).count();
    timeval timeout{static_cast<time_t>(micros / 1000000), static_cast<suseconds_t>(micros % 1000000)};
    if (select(fd + 1, &set, nullptr, nullptr, &timeout) <= 0 || XPending(display) == 0) return false;
  }
  XNextEvent(display, event);
  return true;
}

Run MeasureOnce(Display* display, int damageEvent, const std::string& program) {
  Run run;
  Window root = DefaultRootWindow(display);
  Damage damage = XDamageCreate(display, root, XDamageReportRawRectangles);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, True);

  Clock::time_point start = Clock::now();
  pid_t pid = Spawn(program);
  if (pid < 0) return run;
  bool mapped = false;
  Clock::time_point last = start;
  for (;;) {
    Clock::time_point now = Clock::now();
    if (now - start > kGiveUp) break;
    if (mapped && now - last > kQuiet) {
      run.ok = true;
      break;
    }
    XEvent event;
    if (!NextEvent(display, &event, mapped ? kQuiet - (now - last) : kGiveUp - (now - start))) continue;
    if (event.type == MapNotify && !mapped) {
      mapped = true;
      run.mappedSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    if (event.type == damageEvent + XDamageNotify) last = Clock::now();
  }
  run.seconds = std::chrono::duration<double>(last - start).count();
  kill(pid, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.peakKilobytes = usage.ru_maxrss;
  XDamageDestroy(display, damage);
  XSelectInput(display, root, NoEventMask);
  XSync(display, True);
  return run;
}

void Measure(benchmark::State& state, const std::string& program) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    state.SkipWithError("no display");
    return;
  }
  int damageEvent = 0, damageError = 0;
  if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
    XCloseDisplay(display);
    state.SkipWithError("the X server has no damage extension");
    return;
  }
  if (access(program.c_str(), X_OK) != 0) {
    XCloseDisplay(display);
    state.SkipWithError(("not built: " + program).c_str());
    return;
  }
  long peak = 0;
  for (auto _ : state) {
    Run run = MeasureOnce(display, damageEvent, program);
    if (!run.ok) {
      state.SkipWithError(("no window from " + program).c_str());
      break;
    }
    state.SetIterationTime(run.seconds);
    peak = std::max(peak, run.peakKilobytes);
  }
  state.counters["peak_rss_MB"] = static_cast<double>(peak) / 1024.0;
  XCloseDisplay(display);
}

void BM_CalculatorToFirstFrame(benchmark::State& state) { Measure(state, BuildDir() + "/calculator"); }
BENCHMARK(BM_CalculatorToFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(12);

void BM_PlainGtkWindowToFirstFrame(benchmark::State& state) {
  Measure(state, BuildDir() + "/bench/plain_calculator_window");
}
BENCHMARK(BM_PlainGtkWindowToFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(12);

// Both programs in turn, so that the load of a shared machine weighs on both alike: the
// counters are the ratios of the median times to the first full frame and to the window's
// mapping (runs that saw no drawing are left out). With
// VORN_BENCH_EARLIER_CALCULATOR naming an earlier build's calculator, that one takes its turn
// too and `earlier_ratio` compares it with the same plain runs: before and after in one run.
void BM_CalculatorOverPlainInTurn(benchmark::State& state) {
  Display* display = XOpenDisplay(nullptr);
  int damageEvent = 0, damageError = 0;
  if (display == nullptr || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
    if (display) XCloseDisplay(display);
    state.SkipWithError("no display with the damage extension");
    return;
  }
  std::vector<std::string> programs = {BuildDir() + "/calculator", BuildDir() + "/bench/plain_calculator_window"};
  if (const char* earlier = std::getenv("VORN_BENCH_EARLIER_CALCULATOR"); earlier && *earlier) {
    programs.push_back(earlier);
  }
  std::vector<std::vector<double>> seconds(programs.size()), mapped(programs.size());
  for (auto _ : state) {
    double all = 0;
    for (size_t p = 0; p < programs.size(); ++p) {
      Run run = MeasureOnce(display, damageEvent, programs[p]);
      if (run.ok && run.seconds > 0) {
        seconds[p].push_back(run.seconds);
        mapped[p].push_back(run.mappedSeconds);
      }
      all += run.seconds;
    }
    state.SetIterationTime(all);
  }
  XCloseDisplay(display);
  auto medians = [](std::vector<std::vector<double>>& all) {
    std::vector<double> median;
    for (std::vector<double>& times : all) {
      if (times.empty()) return std::vector<double>();
      std::sort(times.begin(), times.end());
      median.push_back(times[times.size() / 2]);
    }
    return median;
  };
  std::vector<double> median = medians(seconds), mappedMedian = medians(mapped);
  if (median.empty()) {
    state.SkipWithError("no window drawn");
    return;
  }
  state.counters["calculator_ms"] = median[0] * 1000;
  state.counters["plain_ms"] = median[1] * 1000;
  state.counters["ratio"] = median[0] / median[1];
  // To the window's mapping alone, before anything is drawn in it.
  state.counters["mapped_ratio"] = mappedMedian[0] / mappedMedian[1];
  if (median.size() > 2) {
    state.counters["earlier_ms"] = median[2] * 1000;
    state.counters["earlier_ratio"] = median[2] / median[1];
    state.counters["earlier_mapped_ratio"] = mappedMedian[2] / mappedMedian[1];
  }
}
BENCHMARK(BM_CalculatorOverPlainInTurn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(25);

}  // namespace

BENCHMARK_MAIN();
