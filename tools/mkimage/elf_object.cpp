#include "elf_object.h"

#include <elf.h>

#include <fstream>
#include <iterator>

#include "vorn/image_format.h"

namespace vorn::mkimage {

using image::ReadU16LE;
using image::ReadU32LE;
using image::ReadU64LE;

namespace {

bool Fits(const std::vector<uint8_t>& file, uint64_t offset, uint64_t size) {
  return offset <= file.size() && size <= file.size() - offset;
}

std::string NameAt(const std::vector<uint8_t>& file, const ElfSection& table, uint32_t offset) {
  if (offset >= table.size) return {};
  const char* start = reinterpret_cast<const char*>(file.data() + table.offset + offset);
  size_t limit = static_cast<size_t>(table.size - offset);
  size_t length = 0;
  while (length < limit && start[length] != 0) ++length;
  return std::string(start, length);
}

}  // namespace

bool ReadElfObject(const std::string& path, ElfObject& object, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!ParseElfObject(std::move(bytes), object, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

bool ParseElfObject(std::vector<uint8_t> bytes, ElfObject& object, std::string& error) {
  object = ElfObject();
  object.file = std::move(bytes);
  const std::vector<uint8_t>& file = object.file;
  const uint8_t* f = file.data();
  if (file.size() < 64 || f[0] != 0x7F || f[1] != 'E' || f[2] != 'L' || f[3] != 'F') {
    error = "not an ELF file";
    return false;
  }
  if (f[EI_CLASS] != ELFCLASS64 || f[EI_DATA] != ELFDATA2LSB) {
    error = "not a 64-bit little-endian ELF object";
    return false;
  }
  if (ReadU16LE(f + 16) != ET_REL || ReadU16LE(f + 18) != EM_X86_64) {
    error = "not a relocatable x86-64 object (link with ld -r, not into an executable)";
    return false;
  }
  uint64_t sectionTable = ReadU64LE(f + 40);
  uint16_t entrySize = ReadU16LE(f + 58);
  uint16_t count = ReadU16LE(f + 60);
  uint16_t namesIndex = ReadU16LE(f + 62);
  if (entrySize < 64 || !Fits(file, sectionTable, static_cast<uint64_t>(entrySize) * count) ||
      namesIndex >= count) {
    error = "damaged section header table";
    return false;
  }
  object.sections.resize(count);
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* h = f + sectionTable + static_cast<uint64_t>(i) * entrySize;
    ElfSection& s = object.sections[i];
    s.type = ReadU32LE(h + 4);
    s.flags = ReadU64LE(h + 8);
    s.offset = ReadU64LE(h + 24);
    s.size = ReadU64LE(h + 32);
    s.link = ReadU32LE(h + 40);
    s.info = ReadU32LE(h + 44);
    s.alignment = ReadU64LE(h + 48);
    if (s.alignment == 0) s.alignment = 1;
    if (s.type != SHT_NOBITS && s.type != SHT_NULL && !Fits(file, s.offset, s.size)) {
      error = "section " + std::to_string(i) + " runs past the end of the file";
      return false;
    }
  }
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* h = f + sectionTable + static_cast<uint64_t>(i) * entrySize;
    object.sections[i].name = NameAt(file, object.sections[namesIndex], ReadU32LE(h));
  }

  for (uint32_t i = 0; i < count; ++i) {
    const ElfSection& s = object.sections[i];
    if (s.type != SHT_SYMTAB) continue;
    if (!object.symbols.empty()) {
      error = "more than one symbol table";
      return false;
    }
    if (s.link >= count) {
      error = "the symbol table has no string table";
      return false;
    }
    const ElfSection& names = object.sections[s.link];
    size_t symbolCount = static_cast<size_t>(s.size / 24);
    object.symbols.resize(symbolCount);
    for (size_t k = 0; k < symbolCount; ++k) {
      const uint8_t* e = f + s.offset + k * 24;
      ElfSymbol& symbol = object.symbols[k];
      symbol.name = NameAt(file, names, ReadU32LE(e));
      symbol.type = ELF64_ST_TYPE(e[4]);
      symbol.binding = ELF64_ST_BIND(e[4]);
      symbol.section = ReadU16LE(e + 6);
      symbol.value = ReadU64LE(e + 8);
      symbol.size = ReadU64LE(e + 16);
    }
  }
  for (uint32_t i = 0; i < count; ++i) {
    const ElfSection& s = object.sections[i];
    if (s.type == SHT_REL) {
      error = "section " + s.name + " holds relocations without addends, which gcc does not emit for x86-64";
      return false;
    }
    if (s.type != SHT_RELA) continue;
    if (s.info >= count) {
      error = "relocation section " + s.name + " patches no section";
      return false;
    }
    auto& list = object.relocations[s.info];
    size_t relocationCount = static_cast<size_t>(s.size / 24);
    for (size_t k = 0; k < relocationCount; ++k) {
      const uint8_t* e = f + s.offset + k * 24;
      ElfRelocation r;
      r.offset = ReadU64LE(e);
      uint64_t info = ReadU64LE(e + 8);
      r.type = static_cast<uint32_t>(ELF64_R_TYPE(info));
      r.symbol = static_cast<uint32_t>(ELF64_R_SYM(info));
      r.addend = static_cast<int64_t>(ReadU64LE(e + 16));
      if (r.symbol >= object.symbols.size()) {
        error = "a relocation in " + s.name + " names symbol " + std::to_string(r.symbol) +
                ", beyond the symbol table";
        return false;
      }
      list.push_back(r);
    }
  }
  return true;
}

}  // namespace vorn::mkimage
