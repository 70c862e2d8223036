// Fuzzes finding and checking an image: the input is taken as a whole executable file, and
// also as each kind of block on its own. Nothing is mapped or run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/image_reader.h"
#include "core/resource_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  std::string error;
  RawImage raw;
  if (data && SplitImage(data, size, raw, error)) {
    ParsedImage parsed;
    ValidateImage(std::move(raw), parsed, error);
  }

  std::vector<uint8_t> block(data, data + size);
  ImageLayout layout;
  layout.codeLength = 4096;
  layout.dataLength = 4096;
  std::vector<ImageImport> imports;
  std::vector<uint32_t> relocations;
  ParseImportsBlock(block, layout, imports, relocations, error);
  std::vector<ImageSymbol> symbols;
  ParseSymbolsBlock(block, layout, symbols, error);
  std::vector<ImageResource> resources;
  ParseResourcesBlock(block, 1000, resources, error);
  std::vector<ImageOption> options;
  ParseOptionsBlock(block, options, error);

  auto length = static_cast<uint32_t>(size);
  const uint8_t* bytes = size ? block.data() : nullptr;
  DecodeDatabaseResource(bytes, length);
  DecodeVersionRecord(bytes, length);
  DecodeCursorRecord(bytes, length);
  return 0;
}
