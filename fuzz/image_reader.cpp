// Fuzzes finding and checking an image: the input is taken as a whole executable file, as
// the code of an image that is sealed and then damaged by one bit, and as each kind of block
// on its own (the project-object table too). Nothing is mapped or run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/image_reader.h"
#include "base/resource_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  std::string error;
  RawImage raw;
  if (data && SplitImage(data, size, raw, error)) {
    VerifyImageChecksum(raw, error);
    // The records are checked past the checksum too, so that the fuzzer reaches them.
    ParsedImage parsed;
    ValidateImage(std::move(raw), parsed, error);
  }

  // The input as a code block: sealed it passes the checksum, and with any one bit flipped
  // it does not.
  if (data) {
    std::vector<uint8_t> blocks[image::kBlockCount];
    blocks[image::kCodeBlock].assign(data, data + size);
    image::SealImage(blocks);
    std::vector<uint8_t> framed;
    image::FrameImage(blocks, framed);
    RawImage sealed;
    if (!SplitImage(framed.data(), framed.size(), sealed, error) || !VerifyImageChecksum(sealed, error)) {
      __builtin_trap();
    }
    size_t bit = size > 0 ? (data[0] * 8u + size) % ((framed.size() - image::kTrailerSize) * 8) : 0;
    framed[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    RawImage damaged;
    if (SplitImage(framed.data(), framed.size(), damaged, error) && VerifyImageChecksum(damaged, error)) {
      __builtin_trap();
    }
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
  std::vector<ImageProjectObject> projectObjects;
  error.clear();
  if (!ParseProjectObjects(block.data(), block.size(), projectObjects, error) &&
      (error.empty() || !projectObjects.empty())) {
    __builtin_trap();
  }

  auto length = static_cast<uint32_t>(size);
  const uint8_t* bytes = size ? block.data() : nullptr;
  DecodeDatabaseResource(bytes, length);
  DecodeVersionRecord(bytes, length);
  DecodeCursorRecord(bytes, length);
  return 0;
}
