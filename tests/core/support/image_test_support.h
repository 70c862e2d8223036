// Helpers shared by the image tests: where the test images are, and small images made in
// memory record by record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/image_reader.h"
#include "vorn/image_format.h"

// Expects `part` somewhere in `text`, and shows the text when it is not.
#define EXPECT_HAS(text, part) \
  EXPECT_NE(std::string(text).find(part), std::string::npos) << "in: " << (text)

namespace vorn::imagetest {

// A file of the test images folder in the build tree.
std::string TestImagePath(const std::string& name);
std::vector<uint8_t> ReadBinaryFile(const std::string& path);
// Runs a command through the shell; answers its exit status and everything it printed.
int RunCommand(const std::string& command, std::string& output);

// Builds the blocks of an image by hand.
struct ImageBlocks {
  std::vector<uint8_t> blocks[image::kBlockCount];

  ImageBlocks();  // one `ret` of code, 64 bytes of data, no records
  void SetImportsHeader(uint32_t importCount, uint32_t relocationCount, uint32_t zeroFill = 0);
  void AddImport(const std::string& name, uint8_t kind, uint32_t slot,
                 const std::vector<std::pair<uint32_t, int64_t>>& sites = {});
  void AddRelocation(uint32_t imageOffset);
  void AddResource(uint32_t type, uint16_t id, const std::vector<uint8_t>& data);
  void AddOption(uint32_t code, const std::vector<uint8_t>& data);

  std::vector<uint8_t> Framed() const;
  RawImage Raw() const;
};

// Checks a hand-made image; answers the error text, empty when it is valid.
std::string ValidationError(const ImageBlocks& blocks);

}  // namespace vorn::imagetest
