#include "image_test_support.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace vorn::imagetest {

using namespace image;

std::string TestImagePath(const std::string& name) {
  return std::string(VORN_BINARY_DIR) + "/tests/core/images/" + name;
}

std::vector<uint8_t> ReadBinaryFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ImageBlocks::ImageBlocks() {
  blocks[kCodeBlock] = {0xC3};
  blocks[kDataBlock].assign(64, 0);
}

void ImageBlocks::SetImportsHeader(uint32_t importCount, uint32_t relocationCount, uint32_t zeroFill) {
  std::vector<uint8_t>& block = blocks[kImportsBlock];
  block.clear();
  AppendU32LE(block, kImportsVersion);
  AppendU32LE(block, importCount);
  AppendU32LE(block, relocationCount);
  AppendU32LE(block, zeroFill);
}

void ImageBlocks::AddImport(const std::string& name, uint8_t kind, uint32_t slot,
                            const std::vector<std::pair<uint32_t, int64_t>>& sites) {
  std::vector<uint8_t>& block = blocks[kImportsBlock];
  AppendBytes(block, name.data(), name.size());
  AppendU8(block, 0);
  AppendU8(block, kind);
  AppendU8(block, 0);
  AppendU32LE(block, slot);
  AppendU32LE(block, static_cast<uint32_t>(sites.size()));
  for (const auto& [offset, addend] : sites) {
    AppendU32LE(block, offset);
    AppendU64LE(block, static_cast<uint64_t>(addend));
  }
}

void ImageBlocks::AddRelocation(uint32_t imageOffset) { AppendU32LE(blocks[kImportsBlock], imageOffset); }

void ImageBlocks::AddResource(uint32_t type, uint16_t id, const std::vector<uint8_t>& data) {
  std::vector<uint8_t>& block = blocks[kResourcesBlock];
  AppendU32BE(block, type);
  AppendU16LE(block, id);
  AppendU32LE(block, 0);
  AppendU32LE(block, static_cast<uint32_t>(data.size()));
  AppendBytes(block, data.data(), data.size());
}

void ImageBlocks::AddOption(uint32_t code, const std::vector<uint8_t>& data) {
  std::vector<uint8_t>& block = blocks[kOptionsBlock];
  AppendU32BE(block, code);
  AppendU32LE(block, static_cast<uint32_t>(data.size()));
  AppendBytes(block, data.data(), data.size());
}

std::vector<uint8_t> ImageBlocks::Framed() const {
  std::vector<uint8_t> out;
  FrameImage(blocks, out);
  return out;
}

RawImage ImageBlocks::Raw() const {
  RawImage raw;
  for (int b = 0; b < kBlockCount; ++b) raw.blocks[b] = blocks[b];
  return raw;
}

std::string ValidationError(const ImageBlocks& blocks) {
  ParsedImage parsed;
  std::string error;
  if (ValidateImage(blocks.Raw(), parsed, error)) return {};
  return error.empty() ? "(failed without a text)" : error;
}

}  // namespace vorn::imagetest
