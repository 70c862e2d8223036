// What plug-in loading costs at start-up: an image without plug-ins (the calculator) only
// walks its resource list; one plug-in adds extracting it, the dynamic loader and its main
// function, and its removal at quit.
// What the trial load in another process adds: a copy of this executable started (its shared
// libraries mapped and bound, as the runtime executable's are), the library loaded there.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/plugin_loader.h"
#include "core/plugin_trial_load.h"
#include "base/resource_manager.h"

namespace {

// The calculator carries its resources and no plug-in: a 'BMP ' and some text.
void BM_ImageWithoutPlugins(benchmark::State& state) {
  static const uint8_t bytes[16] = {};
  vorn::ResourceManager& resources = vorn::GetResourceManager();
  if (resources.GetResourceCount() == 0) {
    for (uint16_t id = 128; id < 136; ++id) resources.AddResource(0x54455854, id, bytes, sizeof bytes, 0);  // 'TEXT'
  }
  for (auto _ : state) vorn::LoadImagePlugins();
}
BENCHMARK(BM_ImageWithoutPlugins);

// One plug-in whose main function returns at once: extraction, dlopen, main, dlclose, remove.
void BM_OnePluginLoadedAndUnloaded(benchmark::State& state) {
  std::ifstream in(VORN_BENCH_PLUGIN, std::ios::binary);
  std::vector<uint8_t> library{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  int saved = dup(2);
  int null = open("/dev/null", O_WRONLY);
  dup2(null, 2);  // the plug-in reports its failure each time
  for (auto _ : state) {
    vorn::LoadPluginFromBytes(130, library.data(), library.size());
    vorn::UnloadPlugins();
  }
  dup2(saved, 2);
  close(null);
  close(saved);
}
BENCHMARK(BM_OnePluginLoadedAndUnloaded)->Unit(benchmark::kMicrosecond);

// The trial load alone, on the same library file where it lies.
void BM_TrialLoadInAnotherProcess(benchmark::State& state) {
  std::string why;
  for (auto _ : state) {
    if (!vorn::TrialLoadPlugin(VORN_BENCH_PLUGIN, why)) state.SkipWithError(why.c_str());
  }
}
BENCHMARK(BM_TrialLoadInAnotherProcess)->Unit(benchmark::kMicrosecond);

// The yardstick: the dynamic loader alone on the same library file where it lies.
void BM_PlainDlopenAndDlclose(benchmark::State& state) {
  for (auto _ : state) {
    void* handle = dlopen(VORN_BENCH_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    benchmark::DoNotOptimize(handle);
    if (handle) dlclose(handle);
  }
}
BENCHMARK(BM_PlainDlopenAndDlclose)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
