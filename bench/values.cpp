// Dictionary against std::unordered_map doing the same work: insert 100,000 distinct keys into a
// fresh table, then look every one of them up; and 100,000 absent keys looked up in a full one.
// Dictionary keys are Variant boxes made beforehand (compiled code hands boxes in); the standard
// maps key by int32_t and by std::string.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "objects/dictionary.h"
#include "objects/runtime_object.h"
#include "objects/variant.h"

namespace {

constexpr int kKeyCount = 100000;

std::vector<std::string> MakeNames() {
  std::vector<std::string> names;
  for (int i = 0; i < kKeyCount; ++i) names.push_back("star" + std::to_string(i * 7919));
  return names;
}

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = MakeNames();
  return names;
}

// Boxes live until exit.
const std::vector<vorn::RuntimeObject*>& Keys(bool text) {
  static std::vector<vorn::RuntimeObject*> numbers, strings;
  std::vector<vorn::RuntimeObject*>& keys = text ? strings : numbers;
  if (keys.empty()) {
    for (int i = 0; i < kKeyCount; ++i)
      keys.push_back(text ? stringToVariant(vorn::string(Names()[i], vorn::kEncodingUTF8).Rep())
                          : intToVariant(i * 7919));
  }
  return keys;
}

void DictionaryInsertLookup(benchmark::State& state, bool text) {
  const auto& keys = Keys(text);
  vorn::RuntimeObject* value = intToVariant(1);
  for (auto _ : state) {
    vorn::RuntimeObject* d = vorn::CreateInstanceFromDefinition(vorn::GetDictionaryClassDefinition());
    for (vorn::RuntimeObject* key : keys) dictionaryValueSetter(d, key, value);
    int found = 0;
    for (vorn::RuntimeObject* key : keys) {
      vorn::RuntimeObject* v = DictionaryLookup(d, key, nullptr);
      found += v != nullptr;
      RuntimeUnlockObject(v);
    }
    benchmark::DoNotOptimize(found);
    RuntimeUnlockObject(d);
  }
  RuntimeUnlockObject(value);
  state.SetItemsProcessed(state.iterations() * kKeyCount * 2);
}

void BM_DictionaryIntegerKeys(benchmark::State& state) { DictionaryInsertLookup(state, false); }

// Keys in step are laid out in step; absent keys between them must still be told apart at once,
// not after a walk along a run of taken slots.
void BM_DictionaryAbsentIntegerKeys(benchmark::State& state) {
  const auto& keys = Keys(false);
  static std::vector<vorn::RuntimeObject*> absent;
  if (absent.empty()) {
    for (int i = 0; i < kKeyCount; ++i) absent.push_back(intToVariant(i * 7919 + 1));
  }
  vorn::RuntimeObject* value = intToVariant(1);
  vorn::RuntimeObject* d = vorn::CreateInstanceFromDefinition(vorn::GetDictionaryClassDefinition());
  for (vorn::RuntimeObject* key : keys) dictionaryValueSetter(d, key, value);
  for (auto _ : state) {
    int found = 0;
    for (vorn::RuntimeObject* key : absent) found += dictionaryHasKey(d, key);
    benchmark::DoNotOptimize(found);
  }
  RuntimeUnlockObject(d);
  RuntimeUnlockObject(value);
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}
void BM_DictionaryStringKeys(benchmark::State& state) { DictionaryInsertLookup(state, true); }

void BM_UnorderedMapIntegerKeys(benchmark::State& state) {
  for (auto _ : state) {
    std::unordered_map<int32_t, int32_t> map;
    for (int i = 0; i < kKeyCount; ++i) map[i * 7919] = 1;
    int found = 0;
    for (int i = 0; i < kKeyCount; ++i) found += map.count(i * 7919);
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount * 2);
}

void BM_UnorderedMapAbsentIntegerKeys(benchmark::State& state) {
  std::unordered_map<int32_t, int32_t> map;
  for (int i = 0; i < kKeyCount; ++i) map[i * 7919] = 1;
  for (auto _ : state) {
    int found = 0;
    for (int i = 0; i < kKeyCount; ++i) found += map.count(i * 7919 + 1);
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_UnorderedMapStringKeys(benchmark::State& state) {
  const auto& names = Names();
  for (auto _ : state) {
    std::unordered_map<std::string, int32_t> map;
    for (const std::string& name : names) map[name] = 1;
    int found = 0;
    for (const std::string& name : names) found += map.count(name);
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount * 2);
}

BENCHMARK(BM_DictionaryIntegerKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapIntegerKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryAbsentIntegerKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapAbsentIntegerKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryStringKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapStringKeys)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
