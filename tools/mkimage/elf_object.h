// A relocatable x86-64 ELF object as the image tool needs it: sections, symbols and the
// relocations of each section. Every field is read byte by byte with bounds checks.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vorn::mkimage {

struct ElfSection {
  std::string name;
  uint32_t type = 0;
  uint64_t flags = 0;
  uint64_t offset = 0;  // in the file
  uint64_t size = 0;
  uint64_t alignment = 1;
  uint32_t link = 0;
  uint32_t info = 0;
};

struct ElfSymbol {
  std::string name;
  uint8_t type = 0;
  uint8_t binding = 0;
  uint16_t section = 0;
  uint64_t value = 0;
  uint64_t size = 0;
};

struct ElfRelocation {
  uint64_t offset = 0;  // in the section it patches
  uint32_t type = 0;
  uint32_t symbol = 0;
  int64_t addend = 0;
};

struct ElfObject {
  std::vector<uint8_t> file;
  std::vector<ElfSection> sections;
  std::vector<ElfSymbol> symbols;
  // Relocations by the index of the section they patch.
  std::map<uint32_t, std::vector<ElfRelocation>> relocations;

  const uint8_t* SectionBytes(uint32_t index) const { return file.data() + sections[index].offset; }
};

bool ReadElfObject(const std::string& path, ElfObject& object, std::string& error);
bool ParseElfObject(std::vector<uint8_t> bytes, ElfObject& object, std::string& error);

}  // namespace vorn::mkimage
