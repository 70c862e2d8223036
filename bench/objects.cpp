// Object creation and release, event dispatch and interface dispatch.
#include <benchmark/benchmark.h>

#include <cstddef>

#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/class_abi.h"

namespace {

using namespace vorn;

struct Counter {
  RuntimeObject header;
  int32_t value;
};

int32_t sFired = 0;
void Init(RuntimeObject* self) { reinterpret_cast<Counter*>(self)->value = 1; }
void Tick(RuntimeObject* self, int32_t step) { reinterpret_cast<Counter*>(self)->value += step; sFired++; }
int32_t Value(RuntimeObject* self) { return reinterpret_cast<Counter*>(self)->value; }

EventRow sEvents[] = {{0, "Tick", "step As Integer", "", nullptr, 0}};

ObjectDefinition* CounterDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("BenchCounter");
    definition.mInstanceSize = sizeof(Counter);
    definition.mInitializer = {reinterpret_cast<void*>(&Init), nullptr};
    SetEventList(&definition, sEvents, 1);
  }
  return &definition;
}

ObjectDefinition* ValuedDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {{"Value", "i4", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, 0}};
    definition.mName = string("BenchValued");
    definition.mFlags = kDefinitionInterface;
    SetMethodList(&definition, methods, 1);
  }
  return &definition;
}

ObjectDefinition* ImplementerDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {
        {"Other", "i4", nullptr, 0, reinterpret_cast<void*>(&Value), nullptr, nullptr, nullptr, 0, 0},
        {"Value", "i4", nullptr, 0, reinterpret_cast<void*>(&Value), nullptr, nullptr, nullptr, 0, 0}};
    definition.mName = string("BenchImplementer");
    definition.mSuper = CounterDefinition();
    definition.mInstanceSize = sizeof(Counter);
    SetMethodList(&definition, methods, 2);
    definition.AddInterface(ValuedDefinition());
  }
  return &definition;
}

void CreateAndRelease(benchmark::State& state) {
  RuntimeClass* cls = RuntimeClassFromDefinition(CounterDefinition());
  for (auto _ : state) {
    RuntimeObject* object = RuntimeNewObject(cls);
    benchmark::DoNotOptimize(object);
    RuntimeUnlockObject(object);
  }
}
BENCHMARK(CreateAndRelease);

void CreateAndReleaseWithManyAlive(benchmark::State& state) {
  RuntimeClass* cls = RuntimeClassFromDefinition(CounterDefinition());
  std::vector<RuntimeObject*> alive;
  for (int i = 0; i < 100000; ++i) alive.push_back(RuntimeNewObject(cls));
  for (auto _ : state) {
    RuntimeObject* object = RuntimeNewObject(cls);
    benchmark::DoNotOptimize(object);
    RuntimeUnlockObject(object);
  }
  for (RuntimeObject* object : alive) RuntimeUnlockObject(object);
}
BENCHMARK(CreateAndReleaseWithManyAlive);

void LockUnlock(benchmark::State& state) {
  RuntimeObject* object = CreateInstanceFromDefinition(CounterDefinition());
  for (auto _ : state) {
    RuntimeLockObject(object);
    RuntimeUnlockObject(object);
  }
  RuntimeUnlockObject(object);
}
BENCHMARK(LockUnlock);

void EventDispatch(benchmark::State& state) {
  RuntimeObject* object = CreateInstanceFromDefinition(ImplementerDefinition());
  MakePrivateEventTable(object)[sEvents[0].hook->index].handler = reinterpret_cast<void*>(&Tick);
  for (auto _ : state) FireEvent(object, sEvents[0].hook, int32_t{1});
  benchmark::DoNotOptimize(sFired);
  RuntimeUnlockObject(object);
}
BENCHMARK(EventDispatch);

void InterfaceDispatchByVtable(benchmark::State& state) {
  RuntimeObject* object = CreateInstanceFromDefinition(ImplementerDefinition());
  RuntimeClass* iface = RuntimeClassFromDefinition(ValuedDefinition());
  int32_t sum = 0;
  for (auto _ : state) {
    void** vtable = RuntimeLookupInterfaceVtable(object, iface);
    sum += reinterpret_cast<int32_t (*)(RuntimeObject*)>(vtable[0])(object);
  }
  benchmark::DoNotOptimize(sum);
  RuntimeUnlockObject(object);
}
BENCHMARK(InterfaceDispatchByVtable);

void InterfaceDispatchByName(benchmark::State& state) {
  RuntimeObject* object = CreateInstanceFromDefinition(ImplementerDefinition());
  string name("value");
  int32_t sum = 0;
  for (auto _ : state) {
    void* method = LookupInterfaceMethod(object, ValuedDefinition(), name);
    sum += reinterpret_cast<int32_t (*)(RuntimeObject*)>(method)(object);
  }
  benchmark::DoNotOptimize(sum);
  RuntimeUnlockObject(object);
}
BENCHMARK(InterfaceDispatchByName);

}  // namespace

BENCHMARK_MAIN();
