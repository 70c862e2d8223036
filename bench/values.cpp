// Dictionary against std::unordered_map doing the same work, always from an empty table: insert
// 100,000 distinct keys, then look every one of them up; 100,000 absent keys looked up in a table
// just filled; and the common way of building a table, "add if absent" (HasKey, then set).
// Dictionary keys are Variant boxes made beforehand (compiled code hands boxes in); the standard
// maps key by int32_t and by std::string.
// Text keys of Latin-1 and UTF-16 beside the same texts in UTF-8; the slowest single lookup in a
// table of a million keys; then families of keys that a fixed hash would pile onto a few probe
// starts, each beside random keys of the same kind: the counters give the insertion time of
// 100,000 keys and the time of one lookup.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "objects/dictionary.h"
#include "objects/runtime_object.h"
#include "objects/variant.h"
#include "objects/variant_keys.h"

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

void DictionaryInsertLookup(benchmark::State& state, const std::vector<vorn::RuntimeObject*>& keys) {
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

void BM_DictionaryIntegerKeys(benchmark::State& state) { DictionaryInsertLookup(state, Keys(false)); }

// Whole numbers between the keys, none of them a key.
const std::vector<vorn::RuntimeObject*>& AbsentKeys() {
  static std::vector<vorn::RuntimeObject*> absent;
  if (absent.empty()) {
    for (int i = 0; i < kKeyCount; ++i) absent.push_back(intToVariant(i * 7919 + 1));
  }
  return absent;
}

// The first pass of absent keys over a table just filled (keys in step, absent ones between them).
void BM_DictionaryAbsentIntegerKeys(benchmark::State& state) {
  const auto& keys = Keys(false);
  const auto& absent = AbsentKeys();
  vorn::RuntimeObject* value = intToVariant(1);
  for (auto _ : state) {
    state.PauseTiming();
    vorn::RuntimeObject* d = vorn::CreateInstanceFromDefinition(vorn::GetDictionaryClassDefinition());
    for (vorn::RuntimeObject* key : keys) dictionaryValueSetter(d, key, value);
    state.ResumeTiming();
    int found = 0;
    for (vorn::RuntimeObject* key : absent) found += dictionaryHasKey(d, key);
    benchmark::DoNotOptimize(found);
    state.PauseTiming();
    RuntimeUnlockObject(d);
    state.ResumeTiming();
  }
  RuntimeUnlockObject(value);
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}
// "Add if absent" from an empty table: every key asked for first, then set.
void BM_DictionaryAddIfAbsent(benchmark::State& state) {
  const auto& keys = Keys(false);
  vorn::RuntimeObject* value = intToVariant(1);
  for (auto _ : state) {
    vorn::RuntimeObject* d = vorn::CreateInstanceFromDefinition(vorn::GetDictionaryClassDefinition());
    for (vorn::RuntimeObject* key : keys) {
      if (!dictionaryHasKey(d, key)) dictionaryValueSetter(d, key, value);
    }
    RuntimeUnlockObject(d);
  }
  RuntimeUnlockObject(value);
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}
// The same absent keys asked of an empty Dictionary: what the entry point costs before any
// table is read (the call, the box's class and value, the hash), the floor of the line above.
void BM_DictionaryAbsentIntegerKeysOfAnEmptyTable(benchmark::State& state) {
  const auto& absent = AbsentKeys();
  vorn::RuntimeObject* d = vorn::CreateInstanceFromDefinition(vorn::GetDictionaryClassDefinition());
  for (auto _ : state) {
    int found = 0;
    for (vorn::RuntimeObject* key : absent) found += dictionaryHasKey(d, key);
    benchmark::DoNotOptimize(found);
  }
  RuntimeUnlockObject(d);
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}
void BM_DictionaryStringKeys(benchmark::State& state) { DictionaryInsertLookup(state, Keys(true)); }

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
  for (auto _ : state) {
    state.PauseTiming();
    std::unordered_map<int32_t, int32_t> map;
    for (int i = 0; i < kKeyCount; ++i) map[i * 7919] = 1;
    state.ResumeTiming();
    int found = 0;
    for (int i = 0; i < kKeyCount; ++i) found += map.count(i * 7919 + 1);
    benchmark::DoNotOptimize(found);
    state.PauseTiming();
    map = {};
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_UnorderedMapAddIfAbsent(benchmark::State& state) {
  for (auto _ : state) {
    std::unordered_map<int32_t, int32_t> map;
    for (int i = 0; i < kKeyCount; ++i) {
      if (!map.count(i * 7919)) map[i * 7919] = 1;
    }
    benchmark::DoNotOptimize(map.size());
  }
  state.SetItemsProcessed(state.iterations() * kKeyCount);
}

// The same absent keys read from the Dictionary's boxes, the value straight out of each: what
// the row above spares the standard map and the Dictionary cannot spare itself.
void BM_UnorderedMapAbsentIntegerKeysFromBoxes(benchmark::State& state) {
  const auto& absent = AbsentKeys();
  std::unordered_map<int32_t, int32_t> map;
  for (int i = 0; i < kKeyCount; ++i) map[i * 7919] = 1;
  for (auto _ : state) {
    int found = 0;
    for (vorn::RuntimeObject* key : absent) found += map.count(reinterpret_cast<const vorn::IntegerVariantBox*>(key)->value);
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

// The same accented names in UTF-8, Latin-1 and UTF-16, inserted into a fresh table and looked up.
const std::vector<vorn::RuntimeObject*>& AccentedKeys(vorn::EncodingCode encoding) {
  static std::unordered_map<vorn::EncodingCode, std::vector<vorn::RuntimeObject*>> keys;
  std::vector<vorn::RuntimeObject*>& made = keys[encoding];
  if (made.empty()) {
    for (int i = 0; i < kKeyCount; ++i) {
      const vorn::string text("\xc3\xa9toile-" + std::to_string(i * 7919), vorn::kEncodingUTF8);
      made.push_back(stringToVariant(vorn::ConvertTextEncoding(text, encoding).Rep()));
    }
  }
  return made;
}
void BM_DictionaryUTF8AccentedKeys(benchmark::State& state) { DictionaryInsertLookup(state, AccentedKeys(vorn::kEncodingUTF8)); }
void BM_DictionaryLatin1AccentedKeys(benchmark::State& state) { DictionaryInsertLookup(state, AccentedKeys(0x0201)); }
void BM_DictionaryUTF16AccentedKeys(benchmark::State& state) { DictionaryInsertLookup(state, AccentedKeys(vorn::kEncodingUTF16)); }

// Each lookup of a million present and a million absent keys timed alone, in the thread's own
// processor time (a busy machine's preemptions are not the table's), the table filled from empty.
double ThreadMicroseconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}
void SlowestLookup(benchmark::State& state, vorn::RuntimeObject* (*make)(uint64_t)) {
  constexpr int kMillion = 1000000;
  std::mt19937_64 random(7);
  std::vector<vorn::RuntimeObject*> present, absent;
  for (int i = 0; i < kMillion; ++i) {
    present.push_back(make((random() >> 12) & ~1ull));  // even
    absent.push_back(make((random() >> 12) | 1));
  }
  vorn::RuntimeObject* value = intToVariant(1);
  double slowest = 0;
  for (auto _ : state) {
    vorn::RuntimeObject* d = vorn::CreateInstanceFromDefinition(vorn::GetDictionaryClassDefinition());
    for (vorn::RuntimeObject* key : present) dictionaryValueSetter(d, key, value);
    for (const auto* keys : {&present, &absent}) {
      for (vorn::RuntimeObject* key : *keys) {
        const double start = ThreadMicroseconds();
        benchmark::DoNotOptimize(dictionaryHasKey(d, key));
        slowest = std::max(slowest, ThreadMicroseconds() - start);
      }
    }
    RuntimeUnlockObject(d);
  }
  for (vorn::RuntimeObject* key : present) RuntimeUnlockObject(key);
  for (vorn::RuntimeObject* key : absent) RuntimeUnlockObject(key);
  RuntimeUnlockObject(value);
  state.counters["slowest_lookup_us"] = slowest;
}
void BM_SlowestLookupOfAMillionIntegerKeys(benchmark::State& state) {
  SlowestLookup(state, [](uint64_t n) { return intToVariant(static_cast<int32_t>(n)); });
}
void BM_SlowestLookupOfAMillionDoubleKeys(benchmark::State& state) {
  SlowestLookup(state, [](uint64_t n) { return doubleToVariant(static_cast<double>(n)); });
}

using Clock = std::chrono::steady_clock;

// Inserts the keys into a fresh Dictionary and looks each up, timing the two apart.
void DictionaryFamily(benchmark::State& state, const std::vector<vorn::RuntimeObject*>& keys) {
  vorn::RuntimeObject* value = intToVariant(1);
  double insertSeconds = 0, lookupSeconds = 0;
  for (auto _ : state) {
    vorn::RuntimeObject* d = vorn::CreateInstanceFromDefinition(vorn::GetDictionaryClassDefinition());
    auto start = Clock::now();
    for (vorn::RuntimeObject* key : keys) dictionaryValueSetter(d, key, value);
    auto inserted = Clock::now();
    int found = 0;
    for (vorn::RuntimeObject* key : keys) found += dictionaryHasKey(d, key);
    auto looked = Clock::now();
    benchmark::DoNotOptimize(found);
    if (found != static_cast<int>(keys.size())) state.SkipWithError("keys lost");
    insertSeconds += std::chrono::duration<double>(inserted - start).count();
    lookupSeconds += std::chrono::duration<double>(looked - inserted).count();
    RuntimeUnlockObject(d);
  }
  RuntimeUnlockObject(value);
  const auto rounds = static_cast<double>(state.iterations());
  state.counters["insert_ms"] = insertSeconds / rounds * 1e3;
  state.counters["lookup_ns"] = lookupSeconds / rounds / static_cast<double>(keys.size()) * 1e9;
}

// Boxes made once and kept until exit.
template <typename Make>
const std::vector<vorn::RuntimeObject*>& Family(std::vector<vorn::RuntimeObject*>& keys, Make make) {
  if (keys.empty()) {
    for (int i = 0; i < kKeyCount; ++i) keys.push_back(make(i));
  }
  return keys;
}

std::mt19937_64& Random() {
  static std::mt19937_64 random(20250101);
  return random;
}

// Whole numbers a power of two apart: one start for every key under a hash of the low bits.
void BM_FamilyIntegerPowerOfTwoStep(benchmark::State& state) {
  static std::vector<vorn::RuntimeObject*> keys;
  DictionaryFamily(state, Family(keys, [](int i) { return intToVariant(i * 16384); }));
}
void BM_FamilyIntegerRandom(benchmark::State& state) {
  static std::vector<vorn::RuntimeObject*> keys;
  DictionaryFamily(state, Family(keys, [](int) { return intToVariant(static_cast<int32_t>(Random()())); }));
}
// row * 2^32 + col as Doubles: one start for every key under a hash that folds 64 bits to 32.
void BM_FamilyPackedPairs(benchmark::State& state) {
  static std::vector<vorn::RuntimeObject*> keys;
  DictionaryFamily(state, Family(keys, [](int i) { return doubleToVariant((i / 317) * 4294967296.0 + i % 317); }));
}
// h * (2^32 + 1): both halves alike, which a folding hash turns into zero.
void BM_FamilyRepeatedHalves(benchmark::State& state) {
  static std::vector<vorn::RuntimeObject*> keys;
  DictionaryFamily(state, Family(keys, [](int i) { return doubleToVariant(i * 4294967297.0); }));
}
void BM_FamilyWholeDoubleRandom(benchmark::State& state) {
  static std::vector<vorn::RuntimeObject*> keys;
  DictionaryFamily(state, Family(keys, [](int) {
    return doubleToVariant(static_cast<double>(Random()() >> 11));  // whole, below 2^53
  }));
}
// Strings one letter apart at the end of a long common prefix, in mixed case.
void BM_FamilyStringSharedPrefix(benchmark::State& state) {
  static std::vector<vorn::RuntimeObject*> keys;
  DictionaryFamily(state, Family(keys, [](int i) {
    std::string text = "Observatory-Catalogue-Entry-";
    for (int n = i, k = 0; k < 6; ++k, n /= 7) text += "aBcDeFg"[n % 7];
    return stringToVariant(vorn::string(text, vorn::kEncodingUTF8).Rep());
  }));
}
void BM_FamilyStringRandom(benchmark::State& state) {
  static std::vector<vorn::RuntimeObject*> keys;
  DictionaryFamily(state, Family(keys, [](int) {
    std::string text;
    for (int k = 0; k < 34; ++k) text += static_cast<char>('!' + Random()() % 94);
    return stringToVariant(vorn::string(text, vorn::kEncodingUTF8).Rep());
  }));
}

BENCHMARK(BM_DictionaryIntegerKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapIntegerKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryAbsentIntegerKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapAbsentIntegerKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryAddIfAbsent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapAddIfAbsent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapAbsentIntegerKeysFromBoxes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryAbsentIntegerKeysOfAnEmptyTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryStringKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapStringKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryUTF8AccentedKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryLatin1AccentedKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryUTF16AccentedKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SlowestLookupOfAMillionIntegerKeys)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SlowestLookupOfAMillionDoubleKeys)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FamilyIntegerPowerOfTwoStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FamilyIntegerRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FamilyPackedPairs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FamilyRepeatedHalves)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FamilyWholeDoubleRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FamilyStringSharedPrefix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FamilyStringRandom)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
