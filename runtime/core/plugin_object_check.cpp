#include "core/plugin_object_check.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace vorn {

namespace {

// What the dynamic loader reads of the loaded segments, located in the file: a virtual address
// range is readable when it lies in the file-backed part of one PT_LOAD segment.
class LoadedView {
 public:
  LoadedView(const uint8_t* bytes, uint8_t data, bool wide) : mBytes(bytes), mData(data), mWide(wide) {}

  uint64_t Word(const uint8_t* p) const { return Read(p, mWide ? 8 : 4); }
  uint64_t Read(const uint8_t* p, int size) const {
    uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
      int shift = mData == ELFDATA2LSB ? 8 * i : 8 * (size - 1 - i);
      value |= static_cast<uint64_t>(p[i]) << shift;
    }
    return value;
  }

  struct Segment {
    uint64_t vaddr, memsz, offset, filesz;
    bool writable;
  };
  std::vector<Segment> segments;

  // The bytes at [address, address + size) of the loaded image, nil when any of them is not
  // backed by the file.
  const uint8_t* At(uint64_t address, uint64_t size) const {
    for (const Segment& s : segments) {
      if (address >= s.vaddr && address - s.vaddr <= s.filesz && size <= s.filesz - (address - s.vaddr)) {
        return mBytes + s.offset + (address - s.vaddr);
      }
    }
    return nullptr;
  }
  bool InWritable(uint64_t address, uint64_t size) const {
    for (const Segment& s : segments) {
      if (s.writable && address >= s.vaddr && address - s.vaddr <= s.memsz &&
          size <= s.memsz - (address - s.vaddr)) {
        return true;
      }
    }
    return false;
  }
  bool wide() const { return mWide; }

 private:
  const uint8_t* mBytes;
  uint8_t mData;
  bool mWide;
};

struct DynamicValues {
  uint64_t value[40] = {};  // by tag, for the tags below 40
  bool has[40] = {};
  uint64_t gnuHash = 0, verSym = 0, verNeed = 0, verDef = 0, relr = 0, relrSize = 0, relrEnt = 0;
  bool hasGnuHash = false;
  std::vector<uint64_t> strings;  // string-table offsets of DT_NEEDED, DT_SONAME, DT_RPATH, DT_RUNPATH
  std::vector<uint64_t> needed;   // of DT_NEEDED alone
};

// The older hash table: every bucket and chain value is a symbol index the loader follows into
// the chains and the symbol table, so each must be below nchain, and each symbol may lie on one
// chain only, or a lookup that meets it again never ends. The table counts every symbol.
bool CheckSysvHash(const LoadedView& view, uint64_t address, uint64_t& count, std::string& why) {
  const uint8_t* hash = view.At(address, 8);
  if (!hash) return why = "its symbol hash table lies outside the file", false;
  const uint64_t buckets = view.Read(hash, 4), chains = view.Read(hash + 4, 4);
  const uint8_t* table = view.At(address, 8 + 4 * (buckets + chains));
  if (!table) return why = "its symbol hash table runs past the file", false;
  if (buckets == 0) return why = "its symbol hash table has no buckets", false;
  const uint8_t* chain = table + 8 + 4 * buckets;
  std::vector<bool> met(chains);
  for (uint64_t b = 0; b < buckets; ++b) {
    for (uint64_t symbol = view.Read(table + 8 + 4 * b, 4); symbol != 0; symbol = view.Read(chain + 4 * symbol, 4)) {
      if (symbol >= chains) return why = "its symbol hash table names a symbol past its end", false;
      if (met[symbol]) return why = "its symbol hash chains meet or loop", false;
      met[symbol] = true;
    }
  }
  count = chains;
  return true;
}

// The GNU hash table: a power-of-two count of filter words, then buckets holding the first hashed
// symbol of their chain (none below the first the table hashes), then one hash word per hashed
// symbol, whose low bit ends a chain. The loader walks from a bucket until that bit, so the last
// chain's end counts the symbols.
bool CheckGnuHash(const LoadedView& view, uint64_t address, uint64_t& count, std::string& why) {
  const uint8_t* header = view.At(address, 16);
  if (!header) return why = "its symbol hash table lies outside the file", false;
  const uint64_t buckets = view.Read(header, 4), first = view.Read(header + 4, 4), blooms = view.Read(header + 8, 4);
  if (buckets == 0 || blooms == 0 || (blooms & (blooms - 1)) != 0) return why = "its symbol hash table is damaged", false;
  const uint64_t bucketOffset = 16 + blooms * (view.wide() ? 8 : 4), chainOffset = bucketOffset + 4 * buckets;
  const uint8_t* table = view.At(address, chainOffset);
  if (!table) return why = "its symbol hash table runs past the file", false;
  uint64_t last = 0;
  for (uint64_t i = 0; i < buckets; ++i) {
    const uint64_t symbol = view.Read(table + bucketOffset + 4 * i, 4);
    if (symbol != 0 && symbol < first) return why = "its symbol hash table is damaged", false;
    last = std::max(last, symbol);
  }
  count = first;
  if (last == 0) return true;
  // Every other chain ends at or before the one that starts last.
  for (count = last;; ++count) {
    const uint8_t* link = view.At(address + chainOffset + 4 * (count - first), 4);
    if (!link) return why = "its symbol hash chain runs past the file", false;
    if (view.Read(link, 4) & 1) break;
  }
  ++count;
  return true;
}

// The number of dynamic symbols: as many as either hash table reaches. The system loader reads
// the GNU table when there is one and the older table otherwise; other tools may read either.
bool SymbolCount(const LoadedView& view, const DynamicValues& d, uint64_t& count, std::string& why) {
  if (!d.has[DT_HASH] && !d.hasGnuHash) return why = "it has no symbol hash table", false;
  uint64_t older = 0, gnu = 0;
  if (d.has[DT_HASH] && !CheckSysvHash(view, d.value[DT_HASH], older, why)) return false;
  if (d.hasGnuHash && !CheckGnuHash(view, d.gnuHash, gnu, why)) return false;
  count = std::max(older, gnu);
  return true;
}

// Every entry of one relocation table: inside a writable segment, naming a symbol that exists.
bool CheckRelocations(const LoadedView& view, uint64_t address, uint64_t size, uint64_t entrySize,
                      uint64_t symbols, const char* table, std::string& why) {
  const uint64_t minimum = view.wide() ? 16 : 8;
  const uint8_t* entries = view.At(address, size);
  if (!entries) return why = std::string("its ") + table + " relocation table lies outside the file", false;
  if (entrySize < minimum || size % entrySize != 0) {
    return why = std::string("its ") + table + " relocation entries have a damaged size", false;
  }
  const uint64_t word = view.wide() ? 8 : 4;
  for (uint64_t at = 0; at < size; at += entrySize) {
    uint64_t offset = view.Word(entries + at);
    uint64_t info = view.Word(entries + at + word);
    uint64_t symbol = view.wide() ? info >> 32 : info >> 8;
    if (!view.InWritable(offset, word)) {
      return why = std::string("a ") + table + " relocation writes outside the writable segments", false;
    }
    if (symbol >= symbols) {
      return why = std::string("a ") + table + " relocation names symbol " + std::to_string(symbol) +
                   " of " + std::to_string(symbols), false;
    }
  }
  return true;
}

// Packed relative relocations: even words are addresses, odd ones bitmaps of the words after.
bool CheckPackedRelocations(const LoadedView& view, const DynamicValues& d, std::string& why) {
  const uint64_t word = view.wide() ? 8 : 4;
  const uint8_t* entries = view.At(d.relr, d.relrSize);
  if (!entries || d.relrEnt != word || d.relrSize % word != 0) {
    return why = "its packed relocation table is damaged or lies outside the file", false;
  }
  uint64_t base = 0;
  for (uint64_t at = 0; at < d.relrSize; at += word) {
    uint64_t entry = view.Word(entries + at);
    if ((entry & 1) == 0) {
      if (!view.InWritable(entry, word)) return why = "a packed relocation writes outside the writable segments", false;
      base = entry + word;
      continue;
    }
    for (uint64_t bit = 1; bit < 8 * word; ++bit) {
      if (((entry >> bit) & 1) && !view.InWritable(base + (bit - 1) * word, word)) {
        return why = "a packed relocation writes outside the writable segments", false;
      }
    }
    base += (8 * word - 1) * word;
  }
  return true;
}

// The loader reads the entries where the segment puts them, at p_vaddr; p_offset may say otherwise.
// The version tables. The loader follows each chain until a link of zero, whatever the counts say;
// it finds the library each needed version names among this one's libraries (or stops on an
// assertion), and indexes its table of versions, as long as the highest index the chains give,
// by each symbol's version. Without version tables it has no such table at all.
bool CheckVersions(const LoadedView& view, const DynamicValues& d, const uint8_t* strings, uint64_t symbols,
                   std::string& why) {
  const uint64_t strsz = d.value[DT_STRSZ];
  const auto name = [&](uint64_t offset) {  // empty unless a whole string of the table
    const void* end = offset < strsz ? std::memchr(strings + offset, 0, strsz - offset) : nullptr;
    return end ? std::string_view(reinterpret_cast<const char*>(strings + offset),
                                  static_cast<const uint8_t*>(end) - (strings + offset))
               : std::string_view();
  };
  // Calls `entry` on each entry of a chain; every link moves forward, so a chain ends or leaves the file.
  const auto chain = [&](uint64_t at, uint64_t size, size_t linkField, auto entry) {
    for (;;) {
      const uint8_t* p = view.At(at, size);
      if (!p || !entry(at, p)) return false;
      const uint64_t link = view.Read(p + linkField, 4);
      if (link == 0) return true;
      at += link;
    }
  };
  uint64_t highest = 0;
  const bool defined = !d.verDef || chain(d.verDef, sizeof(Elf64_Verdef), offsetof(Elf64_Verdef, vd_next), [&](uint64_t at, const uint8_t* def) {
    highest = std::max<uint64_t>(highest, view.Read(def + offsetof(Elf64_Verdef, vd_ndx), 2) & 0x7FFF);
    return chain(at + view.Read(def + offsetof(Elf64_Verdef, vd_aux), 4), sizeof(Elf64_Verdaux), offsetof(Elf64_Verdaux, vda_next),
                 [&](uint64_t, const uint8_t* aux) { return !name(view.Read(aux, 4)).empty(); });
  });
  if (!defined) return why = "its table of defined versions is damaged", false;
  const bool needed = !d.verNeed || chain(d.verNeed, sizeof(Elf64_Verneed), offsetof(Elf64_Verneed, vn_next), [&](uint64_t at, const uint8_t* need) {
    const std::string_view file = name(view.Read(need + offsetof(Elf64_Verneed, vn_file), 4));
    if (std::none_of(d.needed.begin(), d.needed.end(), [&](uint64_t library) { return !file.empty() && name(library) == file; })) return false;
    return chain(at + view.Read(need + offsetof(Elf64_Verneed, vn_aux), 4), sizeof(Elf64_Vernaux), offsetof(Elf64_Vernaux, vna_next),
                 [&](uint64_t, const uint8_t* aux) {
                   highest = std::max<uint64_t>(highest, view.Read(aux + offsetof(Elf64_Vernaux, vna_other), 2) & 0x7FFF);
                   return !name(view.Read(aux + offsetof(Elf64_Vernaux, vna_name), 4)).empty();
                 });
  });
  if (!needed) return why = "its table of needed versions is damaged", false;
  if (!d.verSym) return true;
  const uint8_t* versions = view.At(d.verSym, 2 * symbols);
  if (!versions || highest == 0) return why = "its symbol versions lie outside the file or have no version tables", false;
  for (uint64_t i = 0; i < symbols; ++i) {
    if ((view.Read(versions + 2 * i, 2) & 0x7FFF) > highest) {
      return why = "symbol " + std::to_string(i) + " has a version past the last", false;
    }
  }
  return true;
}

bool ReadDynamicEntries(const LoadedView& view, uint64_t address, uint64_t size, DynamicValues& d,
                        std::string& why) {
  const uint64_t word = view.wide() ? 8 : 4;
  const uint8_t* entries = view.At(address, size);
  if (!entries) return why = "its dynamic section lies outside the loaded segments", false;
  for (uint64_t at = 0; at + 2 * word <= size; at += 2 * word) {
    uint64_t tag = view.Word(entries + at), value = view.Word(entries + at + word);
    if (tag == DT_NULL) return true;
    if (tag < 40) d.value[tag] = value, d.has[tag] = true;
    switch (tag) {
      case DT_NEEDED: d.needed.push_back(value), d.strings.push_back(value); break;
      case DT_SONAME: case DT_RPATH: case DT_RUNPATH: d.strings.push_back(value); break;
      case DT_GNU_HASH: d.gnuHash = value, d.hasGnuHash = true; break;
      case DT_VERSYM: d.verSym = value; break;
      case DT_VERNEED: d.verNeed = value; break;
      case DT_VERDEF: d.verDef = value; break;
#ifdef DT_RELR
      case DT_RELR: d.relr = value; break;
      case DT_RELRSZ: d.relrSize = value; break;
      case DT_RELRENT: d.relrEnt = value; break;
#endif
      default: break;
    }
  }
  return why = "its dynamic section has no end entry", false;
}

}  // namespace

bool CheckPluginDynamicSection(const uint8_t* bytes, size_t length, std::string& why) {
  const bool wide = bytes[EI_CLASS] == ELFCLASS64;
  LoadedView view(bytes, bytes[EI_DATA], wide);
  const uint64_t phoff = view.Word(bytes + (wide ? 32 : 28));
  const uint64_t phentsize = view.Read(bytes + (wide ? 54 : 42), 2), phnum = view.Read(bytes + (wide ? 56 : 44), 2);
  uint64_t dynamicOffset = 0, dynamicSize = 0, dynamicAddress = 0;
  bool hasDynamic = false;
  for (uint64_t i = 0; i < phnum; ++i) {
    const uint8_t* ph = bytes + phoff + i * phentsize;
    uint64_t type = view.Read(ph, 4);
    uint64_t flags = view.Read(ph + (wide ? 4 : 24), 4);
    LoadedView::Segment s{view.Word(ph + (wide ? 16 : 8)), view.Word(ph + (wide ? 40 : 20)),
                          view.Word(ph + (wide ? 8 : 4)), view.Word(ph + (wide ? 32 : 16)), (flags & PF_W) != 0};
    if (type == PT_LOAD) {
      if (s.filesz > s.memsz) return why = "a loadable segment holds more of the file than of memory", false;
      view.segments.push_back(s);
    } else if (type == PT_DYNAMIC) {
      hasDynamic = true;
      dynamicOffset = s.offset, dynamicSize = s.filesz, dynamicAddress = s.vaddr;
    }
  }
  if (!hasDynamic) return why = "it has no dynamic section", false;
  if (dynamicOffset > length || dynamicSize > length - dynamicOffset) return why = "its dynamic section lies outside the file", false;
  DynamicValues d;
  if (!ReadDynamicEntries(view, dynamicAddress, dynamicSize, d, why)) return false;

  const uint64_t word = wide ? 8 : 4;
  if (!d.has[DT_STRTAB] || !d.has[DT_SYMTAB] || !view.At(d.value[DT_STRTAB], d.value[DT_STRSZ])) {
    return why = "its dynamic string table lies outside the file", false;
  }
  for (uint64_t name : d.strings) {
    if (name >= d.value[DT_STRSZ]) return why = "a library name lies outside its string table", false;
  }
  uint64_t symbols = 0;
  if (!SymbolCount(view, d, symbols, why)) return false;
  const uint64_t symbolSize = wide ? sizeof(Elf64_Sym) : sizeof(Elf32_Sym);
  if ((d.has[DT_SYMENT] && d.value[DT_SYMENT] != symbolSize) || symbols > length / symbolSize ||
      !view.At(d.value[DT_SYMTAB], symbols * symbolSize)) {
    return why = "its symbol table lies outside the file", false;
  }
  const uint8_t* symbolTable = view.At(d.value[DT_SYMTAB], symbols * symbolSize);
  for (uint64_t i = 0; i < symbols; ++i) {
    if (view.Read(symbolTable + i * symbolSize, 4) >= d.value[DT_STRSZ]) {
      return why = "symbol " + std::to_string(i) + " has a name outside its string table", false;
    }
  }
  if (!CheckVersions(view, d, view.At(d.value[DT_STRTAB], d.value[DT_STRSZ]), symbols, why)) return false;
  for (auto [address, size] : {std::pair{DT_INIT_ARRAY, DT_INIT_ARRAYSZ}, std::pair{DT_FINI_ARRAY, DT_FINI_ARRAYSZ},
                               std::pair{DT_PREINIT_ARRAY, DT_PREINIT_ARRAYSZ}}) {
    if (d.has[address] && (!view.At(d.value[address], d.value[size]) || d.value[size] % word != 0)) {
      return why = "its constructor or destructor table lies outside the file", false;
    }
  }
  if (d.has[DT_RELA] && !CheckRelocations(view, d.value[DT_RELA], d.value[DT_RELASZ], d.value[DT_RELAENT], symbols, "RELA", why)) {
    return false;
  }
  if (d.has[DT_REL] && !CheckRelocations(view, d.value[DT_REL], d.value[DT_RELSZ], d.value[DT_RELENT], symbols, "REL", why)) {
    return false;
  }
  if (d.has[DT_JMPREL]) {
    bool rela = !d.has[DT_PLTREL] || d.value[DT_PLTREL] == DT_RELA;
    uint64_t entrySize = rela ? (wide ? sizeof(Elf64_Rela) : sizeof(Elf32_Rela)) : (wide ? sizeof(Elf64_Rel) : sizeof(Elf32_Rel));
    if (d.has[DT_PLTREL] && d.value[DT_PLTREL] != DT_RELA && d.value[DT_PLTREL] != DT_REL) {
      return why = "its PLT relocations have an unknown kind", false;
    }
    if (!CheckRelocations(view, d.value[DT_JMPREL], d.value[DT_PLTRELSZ], entrySize, symbols, "PLT", why)) return false;
  }
  if (d.relrSize && !CheckPackedRelocations(view, d, why)) return false;
  return true;
}

}  // namespace vorn
