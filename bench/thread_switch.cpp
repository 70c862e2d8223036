// A thread switch: the main thread yields to another ready runtime thread, which yields straight
// back; beside it the same round trip between two POSIX threads over a mutex and condition
// variables, the least any hand-over between blocked threads costs.
#include <benchmark/benchmark.h>
#include <pthread.h>

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

VornRuntimeClass* YielderClass() {
  static const VornClassMember kHandlers[] = {{"#Run%%o<BenchYielder>", reinterpret_cast<void*>(&YieldBack), 0, 0}};
  static VornRuntimeClass* cls = [] {
    RuntimeInitExternalClasses();
    VornClassRecord record{};
    record.version = kVornClassRecordVersion;
    record.name = "BenchYielder";
    record.superName = "Thread";
    record.instanceSize = sizeof(VornThreadObject);
    record.eventImplementations = kHandlers;
    record.eventImplementationCount = 1;
    return RuntimeNewClass(&record);
  }();
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
