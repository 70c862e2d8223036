// A thread switch: the main thread yields to another ready runtime thread, which yields straight
// back; beside it the same round trip between two POSIX threads over a mutex and condition
// variables, the least any hand-over between blocked threads costs.
#include <benchmark/benchmark.h>
#include <glib.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "base/background_task.h"
#include "startup/class_registration.h"
#include "core/thread_scheduler.h"
#include "objects/runtime_object.h"
#include "vorn/class_abi.h"
#include "vorn/thread_api.h"

namespace {

using namespace vorn;

bool sStop = false;

void YieldBack(VornRuntimeObject*) {
  while (!sStop) YieldToNextThread();
}

// A subclass of Thread whose Run is the one handler given.
VornRuntimeClass* NewThreadClass(const char* name, const VornClassMember* run) {
  RuntimeInitExternalClasses();
  VornClassRecord record{};
  record.version = kVornClassRecordVersion;
  record.name = name;
  record.superName = "Thread";
  record.instanceSize = sizeof(VornThreadObject);
  record.eventImplementations = run;
  record.eventImplementationCount = 1;
  return RuntimeNewClass(&record);
}

VornRuntimeClass* YielderClass() {
  static const VornClassMember kRun[] = {{"#Run%%o<BenchYielder>", reinterpret_cast<void*>(&YieldBack), 0, 0}};
  static VornRuntimeClass* cls = NewThreadClass("BenchYielder", kRun);
  return cls;
}

void BM_RuntimeYieldRoundTrip(benchmark::State& state) {
  // One slot each, so that every yield goes to the other thread.
  SetThreadSlots(nullptr, 1);
  VornRuntimeObject* thread = RuntimeNewObject(YielderClass());
  ThreadSetPriority(thread, 0, 1);
  sStop = false;
  threadRun(thread);
  for (auto _ : state) YieldToNextThread();
  sStop = true;
  while (ThreadRecordCount() > 1) YieldToNextThread();
  RuntimeUnlockObject(thread);
  SetThreadSlots(nullptr, 5);
}
BENCHMARK(BM_RuntimeYieldRoundTrip);

// Threads that compute and yield every ~20 us, as compiled loops with a yield in them do, while
// the main thread turns its loop as the run loop does (without a display): the work the threads
// get done per second, and the longest the main thread's loop waited for its next iteration.
std::atomic<int64_t> sWorkDone{0};
int64_t sWorkPerUnit = 1;

void WorkAndYield(VornRuntimeObject*) {
  while (!sStop) {
    for (int64_t i = 0; i < sWorkPerUnit; ++i) {
      benchmark::DoNotOptimize(i);
    }
    sWorkDone.fetch_add(1, std::memory_order_relaxed);
    YieldToNextThread();
  }
}

VornRuntimeClass* WorkerClass() {
  static const VornClassMember kRun[] = {{"#Run%%o<BenchWorker>", reinterpret_cast<void*>(&WorkAndYield), 0, 0}};
  static VornRuntimeClass* cls = NewThreadClass("BenchWorker", kRun);
  return cls;
}

// The loop's count for about 20 us of work on this machine.
int64_t WorkFor20Microseconds() {
  constexpr int64_t kProbe = 2000000;
  const auto start = std::chrono::steady_clock::now();
  for (int64_t i = 0; i < kProbe; ++i) {
    benchmark::DoNotOptimize(i);
  }
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  return std::max<int64_t>(1, static_cast<int64_t>(kProbe * 20 / us));
}

void BM_YieldingThreadsBesideTheLoop(benchmark::State& state) {
  sWorkPerUnit = WorkFor20Microseconds();
  sStop = false;
  sWorkDone = 0;
  std::vector<VornRuntimeObject*> threads;
  for (int64_t i = 0; i < state.range(0); ++i) {
    threads.push_back(RuntimeNewObject(WorkerClass()));
    threadRun(threads.back());
  }
  double longestGap = 0;
  const auto begin = std::chrono::steady_clock::now();
  auto last = begin;
  for (auto _ : state) {
    g_main_context_iteration(nullptr, TRUE);
    RunBackgroundTasks(true);
    const auto now = std::chrono::steady_clock::now();
    longestGap = std::max(longestGap, std::chrono::duration<double, std::micro>(now - last).count());
    last = now;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  state.counters["work_per_s"] = static_cast<double>(sWorkDone.load()) / seconds;
  state.counters["longest_gap_us"] = longestGap;
  sStop = true;
  while (ThreadRecordCount() > 1) YieldToNextThread();
  for (VornRuntimeObject* thread : threads) RuntimeUnlockObject(thread);
}
BENCHMARK(BM_YieldingThreadsBesideTheLoop)->Arg(2)->Arg(6)->UseRealTime()->MinTime(2.0);

struct PingPong {
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t mainTurn = PTHREAD_COND_INITIALIZER;
  pthread_cond_t otherTurn = PTHREAD_COND_INITIALIZER;
  int turn = 0;  // 0 main, 1 the other thread
  bool stop = false;
};

void* PongBack(void* data) {
  auto* game = static_cast<PingPong*>(data);
  pthread_mutex_lock(&game->mutex);
  while (true) {
    while (game->turn != 1 && !game->stop) pthread_cond_wait(&game->otherTurn, &game->mutex);
    if (game->stop) break;
    game->turn = 0;
    pthread_cond_signal(&game->mainTurn);
  }
  pthread_mutex_unlock(&game->mutex);
  return nullptr;
}

void BM_PthreadConditionPingPong(benchmark::State& state) {
  PingPong game;
  pthread_t other;
  pthread_create(&other, nullptr, &PongBack, &game);
  pthread_mutex_lock(&game.mutex);
  for (auto _ : state) {
    game.turn = 1;
    pthread_cond_signal(&game.otherTurn);
    while (game.turn != 0) pthread_cond_wait(&game.mainTurn, &game.mutex);
  }
  game.stop = true;
  pthread_cond_signal(&game.otherTurn);
  pthread_mutex_unlock(&game.mutex);
  pthread_join(other, nullptr);
}
BENCHMARK(BM_PthreadConditionPingPong);

}  // namespace

BENCHMARK_MAIN();
