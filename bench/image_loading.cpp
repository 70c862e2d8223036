// Loading and binding an image of 2,000 imports against a directory of 2,154 rows, the size of
// the runtime's fixed entry-point directory. The goal is under 2 ms a load.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/image_loader.h"
#include "core/image_reader.h"
#include "core/image_resolver.h"
#include "base/reloc_entry.h"
#include "base/resource_manager.h"
#include "vorn/image_format.h"

namespace {

using namespace vorn;
using namespace vorn::image;

constexpr int kImports = 2000;

void Nothing() {}

std::vector<std::string> RowNames() {
  std::vector<std::string> names;
  for (int i = 0; i < kFixedRelocEntryCount; ++i) names.push_back("RuntimeEntryPoint" + std::to_string(i));
  return names;
}

// Code: one `ret`. Data: one slot per import, then a literal-like pointer per import that the
// loader relocates. Imports spelt in another case than the rows, every tenth one missing.
std::vector<uint8_t> MakeImage() {
  std::vector<uint8_t> blocks[kBlockCount];
  blocks[kCodeBlock] = {0xC3};
  uint32_t dataStart = static_cast<uint32_t>(DataStartFor(1));
  blocks[kDataBlock].assign(static_cast<size_t>(kImports) * 16, 0);
  std::vector<uint8_t>& imports = blocks[kImportsBlock];
  AppendU32LE(imports, kImportsVersion);
  AppendU32LE(imports, kImports);
  AppendU32LE(imports, kImports);
  AppendU32LE(imports, 0);
  for (int i = 0; i < kImports; ++i) {
    std::string name = (i % 10 == 9 ? "MissingEntryPoint" : "runtimeentrypoint") + std::to_string(i);
    AppendBytes(imports, name.data(), name.size());
    AppendU8(imports, 0);
    AppendU8(imports, kImportRuntime);
    AppendU8(imports, 0);
    AppendU32LE(imports, dataStart + 8 * static_cast<uint32_t>(i));
    AppendU32LE(imports, 0);
  }
  for (int i = 0; i < kImports; ++i) AppendU32LE(imports, dataStart + 8 * (kImports + static_cast<uint32_t>(i)));
  SealImage(blocks);
  std::vector<uint8_t> framed;
  FrameImage(blocks, framed);
  return framed;
}

// The directory's rows through the same index the runtime's resolver builds.
class TableResolver : public ImportResolver {
 public:
  explicit TableResolver(const std::vector<std::string>& names) {
    for (const std::string& name : names) mIndex.Add(name.c_str(), reinterpret_cast<void*>(&Nothing));
  }
  void* Resolve(std::string_view name) override { return mIndex.Find(name); }

 private:
  FirstMatchIndex mIndex;
};

void BM_LoadAndBind2000Imports(benchmark::State& state) {
  std::vector<uint8_t> file = MakeImage();
  std::vector<std::string> names = RowNames();
  // Every tenth import is missing and reported on standard error; keep that off the screen.
  if (!std::freopen("/dev/null", "w", stderr)) state.SkipWithError("cannot silence standard error");
  for (auto _ : state) {
    RawImage raw;
    ParsedImage parsed;
    std::string error;
    ResourceManager resources;
    // A new resolver each time: building the index from the rows is part of every load.
    TableResolver resolver(names);
    if (!SplitImage(file.data(), file.size(), raw, error) || !VerifyImageChecksum(raw, error) ||
        !ValidateImage(std::move(raw), parsed, error) ||
        !MapApplicationImage(std::move(parsed), resolver, resources, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
}
BENCHMARK(BM_LoadAndBind2000Imports)->Unit(benchmark::kMicrosecond);

// The checksum every load computes over the whole image, per MiB.
void BM_ImageChecksumPerMiB(benchmark::State& state) {
  std::vector<uint8_t> blocks[kBlockCount];
  blocks[kCodeBlock].resize(size_t{1} << 20);
  for (size_t i = 0; i < blocks[kCodeBlock].size(); ++i) blocks[kCodeBlock][i] = static_cast<uint8_t>(i * 131);
  for (auto _ : state) benchmark::DoNotOptimize(ImageChecksum(blocks));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (int64_t{1} << 20));
}
BENCHMARK(BM_ImageChecksumPerMiB)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
