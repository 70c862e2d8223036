// StringMap against std::unordered_map<std::string, ...> doing the same work: insert 100,000
// distinct keys into a fresh map, then look every one of them up.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "strings/string_map.h"
#include "strings/vstring.h"

namespace {

constexpr int kKeyCount = 100000;

// Identifier-like names, as the runtime's maps hold.
std::vector<std::string> MakeNames() {
  std::vector<std::string> names;
  names.reserve(kKeyCount);
  for (int i = 0; i < kKeyCount; ++i) names.push_back("controlName" + std::to_string(i * 7919));
  return names;
}

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = MakeNames();
  return names;
}

std::vector<vorn::string> MakeVornKeys() {
  std::vector<vorn::string> out;
  for (const std::string& name : Names()) out.emplace_back(name, vorn::kEncodingASCII);
  return out;
}

const std::vector<vorn::string>& VornKeys() {
  static const std::vector<vorn::string> keys = MakeVornKeys();
  return keys;
}

// Records of their own, so that a lookup compares the text and not just the record pointer.
const std::vector<vorn::string>& VornProbes() {
  static const std::vector<vorn::string> keys = MakeVornKeys();
  return keys;
}

void BM_StringMapInsert(benchmark::State& state) {
  const auto& keys = VornKeys();
  for (auto _ : state) {
    vorn::StringMap<int32_t> map(256);
    for (int32_t i = 0; i < kKeyCount; ++i) map.SetEntry(keys[static_cast<size_t>(i)], i);
    benchmark::DoNotOptimize(map.Count());
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_UnorderedMapInsert(benchmark::State& state) {
  const auto& keys = Names();
  for (auto _ : state) {
    std::unordered_map<std::string, int32_t> map;
    for (int32_t i = 0; i < kKeyCount; ++i) map[keys[static_cast<size_t>(i)]] = i;
    benchmark::DoNotOptimize(map.size());
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_StringMapLookup(benchmark::State& state) {
  const auto& keys = VornKeys();
  vorn::StringMap<int32_t> map(256);
  for (int32_t i = 0; i < kKeyCount; ++i) map.SetEntry(keys[static_cast<size_t>(i)], i);
  for (auto _ : state) {
    int64_t sum = 0;
    for (const vorn::string& key : VornProbes()) {
      int32_t value = 0;
      map.GetEntry(key, &value);
      sum += value;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_UnorderedMapLookup(benchmark::State& state) {
  const auto& keys = Names();
  std::unordered_map<std::string, int32_t> map;
  for (int32_t i = 0; i < kKeyCount; ++i) map[keys[static_cast<size_t>(i)]] = i;
  for (auto _ : state) {
    int64_t sum = 0;
    for (const std::string& key : keys) {
      auto found = map.find(key);
      if (found != map.end()) sum += found->second;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}

BENCHMARK(BM_StringMapInsert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapInsert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringMapLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapLookup)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
