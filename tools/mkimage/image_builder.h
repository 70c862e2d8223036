// Turns a relocatable object into the six blocks of an application image: lays out code and
// data, resolves every PC-relative reference at build time, and records what only the loader
// can do (add the load address, bind imports by name).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "elf_object.h"
#include "vorn/image_format.h"

namespace vorn::mkimage {

struct ResourceInput {
  uint32_t type;
  uint16_t id;
  std::vector<uint8_t> data;
};

struct OptionInput {
  uint32_t code;
  std::vector<uint8_t> data;
};

struct BuildSettings {
  std::string entry = "ImageEntry";
  std::string pendingWord;  // a data symbol named by the 'PEND' option, none when empty
  std::vector<ResourceInput> resources;
  std::vector<OptionInput> options;
};

struct BuiltImage {
  std::vector<uint8_t> blocks[image::kBlockCount];
  size_t importCount = 0;
};

bool BuildImage(const ElfObject& object, const BuildSettings& settings, BuiltImage& out,
                std::string& error);

}  // namespace vorn::mkimage
