#include "image_builder.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace vorn::mkimage {

using namespace image;

namespace {

enum class Place { None, Code, Data, Zero };

struct Placement {
  Place place = Place::None;
  uint64_t offset = 0;  // image offset
};

struct Import {
  std::string name;
  bool needsStub = false;
  bool needsSlot = false;
  uint32_t stub = 0;
  uint32_t slot = kNoSlot;
  std::vector<std::pair<uint32_t, int64_t>> sites;
};

const char* RelocationName(uint32_t type) {
  switch (type) {
    case R_X86_64_NONE: return "R_X86_64_NONE";
    case R_X86_64_64: return "R_X86_64_64";
    case R_X86_64_PC32: return "R_X86_64_PC32";
    case R_X86_64_GOT32: return "R_X86_64_GOT32";
    case R_X86_64_PLT32: return "R_X86_64_PLT32";
    case R_X86_64_GOTPCREL: return "R_X86_64_GOTPCREL";
    case R_X86_64_32: return "R_X86_64_32";
    case R_X86_64_32S: return "R_X86_64_32S";
    case R_X86_64_16: return "R_X86_64_16";
    case R_X86_64_PC16: return "R_X86_64_PC16";
    case R_X86_64_8: return "R_X86_64_8";
    case R_X86_64_PC8: return "R_X86_64_PC8";
    case R_X86_64_DTPMOD64: return "R_X86_64_DTPMOD64";
    case R_X86_64_DTPOFF64: return "R_X86_64_DTPOFF64";
    case R_X86_64_TPOFF64: return "R_X86_64_TPOFF64";
    case R_X86_64_TLSGD: return "R_X86_64_TLSGD";
    case R_X86_64_TLSLD: return "R_X86_64_TLSLD";
    case R_X86_64_DTPOFF32: return "R_X86_64_DTPOFF32";
    case R_X86_64_GOTTPOFF: return "R_X86_64_GOTTPOFF";
    case R_X86_64_TPOFF32: return "R_X86_64_TPOFF32";
    case R_X86_64_PC64: return "R_X86_64_PC64";
    case R_X86_64_GOTOFF64: return "R_X86_64_GOTOFF64";
    case R_X86_64_GOTPC32: return "R_X86_64_GOTPC32";
    case R_X86_64_GOTPCRELX: return "R_X86_64_GOTPCRELX";
    case R_X86_64_REX_GOTPCRELX: return "R_X86_64_REX_GOTPCRELX";
    default: return nullptr;
  }
}

std::string RelocationText(uint32_t type) {
  const char* name = RelocationName(type);
  return name ? name : "relocation type " + std::to_string(type);
}

bool IsGotKind(uint32_t type) {
  return type == R_X86_64_GOTPCREL || type == R_X86_64_GOTPCRELX || type == R_X86_64_REX_GOTPCRELX;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

uint64_t AlignUp(uint64_t value, uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

bool IsHelper(const std::string& name) {
  for (const char* helper : kHelperImportNames) {
    if (name == helper) return true;
  }
  return false;
}

class Builder {
 public:
  Builder(const ElfObject& object, const BuildSettings& settings, BuiltImage& out, std::string& error)
      : mObject(object), mSettings(settings), mOut(out), mError(error) {}

  bool Run() {
    return ClassifySections() && CheckSymbols() && CollectImports() && LayOut() && CopyContents() &&
           WriteEntryAndStubs() && ApplyRelocations() && WriteImports() && WriteSymbols() &&
           WriteResourcesAndOptions();
  }

 private:
  bool Fail(std::string text) {
    mError = std::move(text);
    return false;
  }

  std::string SymbolText(const ElfSymbol& symbol) const {
    if (symbol.type == STT_SECTION && symbol.section < mObject.sections.size()) {
      return "section " + mObject.sections[symbol.section].name;
    }
    return "'" + symbol.name + "'";
  }

  bool ClassifySections() {
    const auto& sections = mObject.sections;
    mPlacement.resize(sections.size());
    for (size_t i = 0; i < sections.size(); ++i) {
      const ElfSection& s = sections[i];
      if (s.flags & SHF_TLS) {
        return Fail("section " + s.name + " is thread-local storage, which an image cannot hold");
      }
      if (s.type == SHT_INIT_ARRAY || s.type == SHT_FINI_ARRAY || s.type == SHT_PREINIT_ARRAY ||
          StartsWith(s.name, ".init_array") || StartsWith(s.name, ".fini_array") ||
          StartsWith(s.name, ".preinit_array") || StartsWith(s.name, ".ctors") ||
          StartsWith(s.name, ".dtors")) {
        return Fail("section " + s.name +
                    " holds static constructors or destructors, which an image never runs; call "
                    "initialisers from the entry instead");
      }
      if (!(s.flags & SHF_ALLOC) || s.type == SHT_GROUP || s.name == ".eh_frame" ||
          StartsWith(s.name, ".note")) {
        continue;
      }
      if (s.alignment > kDataAlignment) {
        return Fail("section " + s.name + " asks for an alignment of " + std::to_string(s.alignment) +
                    " bytes, more than " + std::to_string(kDataAlignment));
      }
      mPlacement[i].place = (s.flags & SHF_EXECINSTR) ? Place::Code
                            : s.type == SHT_NOBITS    ? Place::Zero
                                                      : Place::Data;
    }
    return true;
  }

  bool CheckSymbols() {
    for (const ElfSymbol& symbol : mObject.symbols) {
      if (symbol.section == SHN_COMMON) {
        return Fail("symbol '" + symbol.name + "' is a common symbol; compile with -fno-common");
      }
      if (symbol.type == STT_TLS) {
        return Fail("symbol '" + symbol.name + "' is thread-local, which an image cannot hold");
      }
    }
    return true;
  }

  bool CollectImports() {
    for (const auto& [target, list] : mObject.relocations) {
      if (target >= mPlacement.size() || mPlacement[target].place == Place::None) continue;
      for (const ElfRelocation& r : list) {
        if (r.type == R_X86_64_NONE) continue;
        const ElfSymbol& symbol = mObject.symbols[r.symbol];
        if (r.symbol == 0) {
          return Fail("a " + RelocationText(r.type) + " in section " + mObject.sections[target].name +
                      " names no symbol");
        }
        if (symbol.section != SHN_UNDEF) {
          if (IsGotKind(r.type) && !mLocalSlots.count(r.symbol)) mLocalSlots[r.symbol] = 0;
          continue;
        }
        Import& import = ImportNamed(symbol.name);
        if (r.type == R_X86_64_PLT32) {
          import.needsStub = import.needsSlot = true;
        } else if (IsGotKind(r.type)) {
          import.needsSlot = true;
        } else if (r.type == R_X86_64_PC32) {
          return Fail("'" + symbol.name + "' is used as data in section " + mObject.sections[target].name +
                      " (" + RelocationText(r.type) + "): an image can import functions only");
        } else if (r.type != R_X86_64_64) {
          return Fail(RelocationText(r.type) + " against '" + symbol.name + "' in section " +
                      mObject.sections[target].name + " cannot be represented in an image");
        }
      }
    }
    for (const Import& import : mImports) {
      if (import.name.size() > kMaxImportNameLength) {
        return Fail("the import name '" + import.name.substr(0, 40) + "...' is longer than " +
                    std::to_string(kMaxImportNameLength) + " bytes");
      }
      for (char c : import.name) {
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
          return Fail("the import name '" + import.name + "' is not printable ASCII");
        }
      }
    }
    return true;
  }

  Import& ImportNamed(const std::string& name) {
    auto found = mImportIndex.find(name);
    if (found != mImportIndex.end()) return mImports[found->second];
    mImportIndex[name] = mImports.size();
    Import import;
    import.name = name;
    mImports.push_back(std::move(import));
    return mImports.back();
  }

  bool LayOut() {
    const auto& sections = mObject.sections;
    uint64_t at = kEntryJumpSize;
    for (size_t i = 0; i < sections.size(); ++i) {
      if (mPlacement[i].place != Place::Code) continue;
      at = AlignUp(at, sections[i].alignment);
      mPlacement[i].offset = at;
      at += sections[i].size;
    }
    at = AlignUp(at, 8);
    for (Import& import : mImports) {
      if (!import.needsStub) continue;
      import.stub = static_cast<uint32_t>(at);
      at += kStubSize;
    }
    mCodeLength = at;
    mDataStart = DataStartFor(mCodeLength);
    at = mDataStart;
    for (size_t i = 0; i < sections.size(); ++i) {
      if (mPlacement[i].place != Place::Data) continue;
      at = AlignUp(at, sections[i].alignment);
      mPlacement[i].offset = at;
      at += sections[i].size;
    }
    at = AlignUp(at, 8);
    for (Import& import : mImports) {
      if (!import.needsSlot) continue;
      import.slot = static_cast<uint32_t>(at);
      at += 8;
    }
    for (auto& [symbol, slot] : mLocalSlots) {
      slot = at;
      at += 8;
    }
    mDataEnd = at;
    for (size_t i = 0; i < sections.size(); ++i) {
      if (mPlacement[i].place != Place::Zero) continue;
      at = AlignUp(at, sections[i].alignment);
      mPlacement[i].offset = at;
      at += sections[i].size;
    }
    mZeroEnd = at;
    if (mZeroEnd > 0x40000000u) return Fail("the image would need more than 1 GiB of memory");
    return true;
  }

  bool CopyContents() {
    std::vector<uint8_t>& code = mOut.blocks[kCodeBlock];
    std::vector<uint8_t>& data = mOut.blocks[kDataBlock];
    code.assign(mCodeLength, 0xCC);
    data.assign(mDataEnd - mDataStart, 0);
    for (size_t i = 0; i < mObject.sections.size(); ++i) {
      const ElfSection& s = mObject.sections[i];
      if (s.size == 0) continue;
      if (mPlacement[i].place == Place::Code) {
        std::memcpy(code.data() + mPlacement[i].offset, mObject.SectionBytes(static_cast<uint32_t>(i)), s.size);
      } else if (mPlacement[i].place == Place::Data) {
        std::memcpy(data.data() + (mPlacement[i].offset - mDataStart),
                    mObject.SectionBytes(static_cast<uint32_t>(i)), s.size);
      }
    }
    return true;
  }

  // The bytes at an image offset, nil unless `size` of them lie in the code or the data.
  uint8_t* At(uint64_t offset, uint64_t size) {
    if (offset + size <= mCodeLength) return mOut.blocks[kCodeBlock].data() + offset;
    if (offset >= mDataStart && offset + size <= mDataEnd) {
      return mOut.blocks[kDataBlock].data() + (offset - mDataStart);
    }
    return nullptr;
  }

  bool FindSymbol(const std::string& name, Place wanted1, Place wanted2, uint64_t& offset, const char* what) {
    const ElfSymbol* best = nullptr;
    for (const ElfSymbol& symbol : mObject.symbols) {
      if (symbol.name != name || symbol.section == SHN_UNDEF || symbol.section >= mPlacement.size()) continue;
      if (!best || (best->binding == STB_LOCAL && symbol.binding != STB_LOCAL)) best = &symbol;
    }
    if (!best) return Fail("the object defines no " + std::string(what) + " named '" + name + "'");
    Place place = mPlacement[best->section].place;
    if (place != wanted1 && place != wanted2) {
      return Fail("'" + name + "' is not a " + std::string(what));
    }
    offset = mPlacement[best->section].offset + best->value;
    return true;
  }

  bool WriteEntryAndStubs() {
    uint64_t entry = 0;
    if (!FindSymbol(mSettings.entry, Place::Code, Place::Code, entry, "function")) {
      mError += " (the image's entry; choose another with --entry)";
      return false;
    }
    uint8_t* jump = mOut.blocks[kCodeBlock].data();
    jump[0] = 0xE9;
    WriteU32LE(jump + 1, static_cast<uint32_t>(static_cast<int32_t>(entry - 5)));
    for (const Import& import : mImports) {
      if (!import.needsStub) continue;
      uint8_t* stub = mOut.blocks[kCodeBlock].data() + import.stub;
      stub[0] = 0xFF;  // jmp *slot(%rip)
      stub[1] = 0x25;
      WriteU32LE(stub + 2, static_cast<uint32_t>(static_cast<int32_t>(
                               static_cast<int64_t>(import.slot) - static_cast<int64_t>(import.stub + 6))));
    }
    return true;
  }

  bool ApplyRelocations() {
    for (const auto& [target, list] : mObject.relocations) {
      if (target >= mPlacement.size() || mPlacement[target].place == Place::None) continue;
      const ElfSection& section = mObject.sections[target];
      if (mPlacement[target].place == Place::Zero) {
        return Fail("section " + section.name + " has no contents but relocations");
      }
      for (const ElfRelocation& r : list) {
        if (r.type == R_X86_64_NONE) continue;
        const ElfSymbol& symbol = mObject.symbols[r.symbol];
        uint64_t width = r.type == R_X86_64_64 ? 8 : 4;
        if (r.offset > section.size || width > section.size - r.offset) {
          return Fail("a relocation against " + SymbolText(symbol) + " lies outside section " + section.name);
        }
        uint64_t place = mPlacement[target].offset + r.offset;
        uint8_t* bytes = At(place, width);
        bool undefined = symbol.section == SHN_UNDEF;
        uint64_t value = 0;
        if (undefined) {
          Import& import = ImportNamed(symbol.name);
          if (r.type == R_X86_64_64) {
            import.sites.emplace_back(static_cast<uint32_t>(place), r.addend);
            WriteU64LE(bytes, 0);
            continue;
          }
          value = r.type == R_X86_64_PLT32 ? import.stub : import.slot;
        } else {
          if (symbol.section == SHN_ABS || symbol.section >= mPlacement.size() ||
              mPlacement[symbol.section].place == Place::None) {
            return Fail(RelocationText(r.type) + " in section " + section.name + " refers to " +
                        SymbolText(symbol) + ", which is not part of the image");
          }
          value = mPlacement[symbol.section].offset + symbol.value;
          if (IsGotKind(r.type)) value = mLocalSlots.at(r.symbol);
        }
        switch (r.type) {
          case R_X86_64_PC32:
          case R_X86_64_PLT32:
          case R_X86_64_GOTPCREL:
          case R_X86_64_GOTPCRELX:
          case R_X86_64_REX_GOTPCRELX: {
            int64_t distance = static_cast<int64_t>(value) + r.addend - static_cast<int64_t>(place);
            if (distance < INT32_MIN || distance > INT32_MAX) {
              return Fail("a reference to " + SymbolText(symbol) + " from section " + section.name +
                          " is out of 32-bit reach");
            }
            WriteU32LE(bytes, static_cast<uint32_t>(static_cast<int32_t>(distance)));
            break;
          }
          case R_X86_64_64:
            WriteU64LE(bytes, value + static_cast<uint64_t>(r.addend));
            mRelocations.push_back(static_cast<uint32_t>(place));
            break;
          default:
            return Fail(RelocationText(r.type) + " against " + SymbolText(symbol) + " in section " +
                        section.name + " cannot be represented in an image");
        }
      }
    }
    for (const auto& [symbolIndex, slot] : mLocalSlots) {
      const ElfSymbol& symbol = mObject.symbols[symbolIndex];
      WriteU64LE(At(slot, 8), mPlacement[symbol.section].offset + symbol.value);
      mRelocations.push_back(static_cast<uint32_t>(slot));
    }
    std::sort(mRelocations.begin(), mRelocations.end());
    return true;
  }

  bool WriteImports() {
    std::vector<uint8_t>& block = mOut.blocks[kImportsBlock];
    AppendU32LE(block, kImportsVersion);
    AppendU32LE(block, static_cast<uint32_t>(mImports.size()));
    AppendU32LE(block, static_cast<uint32_t>(mRelocations.size()));
    AppendU32LE(block, static_cast<uint32_t>(mZeroEnd - mDataEnd));
    for (const Import& import : mImports) {
      AppendBytes(block, import.name.data(), import.name.size());
      AppendU8(block, 0);
      AppendU8(block, IsHelper(import.name) ? kImportHelper : kImportRuntime);
      AppendU8(block, 0);
      AppendU32LE(block, import.slot);
      AppendU32LE(block, static_cast<uint32_t>(import.sites.size()));
      for (const auto& [offset, addend] : import.sites) {
        AppendU32LE(block, offset);
        AppendU64LE(block, static_cast<uint64_t>(addend));
      }
    }
    for (uint32_t offset : mRelocations) AppendU32LE(block, offset);
    mOut.importCount = mImports.size();
    return true;
  }

  bool WriteSymbols() {
    struct Entry {
      uint64_t offset;
      uint64_t size;
      const std::string* name;
    };
    std::vector<Entry> functions;
    for (const ElfSymbol& symbol : mObject.symbols) {
      if (symbol.type != STT_FUNC || symbol.section == SHN_UNDEF || symbol.section >= mPlacement.size() ||
          mPlacement[symbol.section].place != Place::Code) {
        continue;
      }
      functions.push_back({mPlacement[symbol.section].offset + symbol.value, symbol.size, &symbol.name});
    }
    std::stable_sort(functions.begin(), functions.end(),
                     [](const Entry& a, const Entry& b) { return a.offset < b.offset; });
    std::vector<uint8_t>& block = mOut.blocks[kSymbolsBlock];
    std::vector<uint8_t> names;
    AppendU32LE(block, static_cast<uint32_t>(functions.size()));
    for (const Entry& f : functions) {
      AppendU32LE(block, static_cast<uint32_t>(f.offset));
      AppendU32LE(block, static_cast<uint32_t>(f.size));
      AppendU32LE(block, static_cast<uint32_t>(names.size()));
      AppendBytes(names, f.name->data(), f.name->size());
      names.push_back(0);
    }
    AppendBytes(block, names.data(), names.size());
    return true;
  }

  bool WriteResourcesAndOptions() {
    std::vector<uint8_t>& resources = mOut.blocks[kResourcesBlock];
    for (const ResourceInput& r : mSettings.resources) {
      AppendU32BE(resources, r.type);
      AppendU16LE(resources, r.id);
      AppendU32LE(resources, 0);
      AppendU32LE(resources, static_cast<uint32_t>(r.data.size()));
      AppendBytes(resources, r.data.data(), r.data.size());
    }
    std::vector<uint8_t>& options = mOut.blocks[kOptionsBlock];
    auto addOption = [&options](uint32_t code, const std::vector<uint8_t>& data) {
      AppendU32BE(options, code);
      AppendU32LE(options, static_cast<uint32_t>(data.size()));
      AppendBytes(options, data.data(), data.size());
    };
    for (const OptionInput& o : mSettings.options) addOption(o.code, o.data);
    if (!mSettings.pendingWord.empty()) {
      uint64_t offset = 0;
      if (!FindSymbol(mSettings.pendingWord, Place::Data, Place::Zero, offset, "variable")) return false;
      if (offset % 8 != 0) return Fail("the pending-exception word '" + mSettings.pendingWord + "' is not 8-byte aligned");
      std::vector<uint8_t> data;
      AppendU32LE(data, static_cast<uint32_t>(offset - mDataStart));
      addOption(kOptionPendingWord, data);
    }
    return true;
  }

  static constexpr uint64_t kEntryJumpSize = 16;
  static constexpr uint64_t kStubSize = 8;

  const ElfObject& mObject;
  const BuildSettings& mSettings;
  BuiltImage& mOut;
  std::string& mError;
  std::vector<Placement> mPlacement;
  std::vector<Import> mImports;
  std::map<std::string, size_t> mImportIndex;
  std::map<uint32_t, uint64_t> mLocalSlots;  // symbol index -> slot image offset
  std::vector<uint32_t> mRelocations;
  uint64_t mCodeLength = 0;
  uint64_t mDataStart = 0;
  uint64_t mDataEnd = 0;
  uint64_t mZeroEnd = 0;
};

}  // namespace

bool BuildImage(const ElfObject& object, const BuildSettings& settings, BuiltImage& out, std::string& error) {
  out = BuiltImage();
  if (!Builder(object, settings, out, error).Run()) return false;
  SealImage(out.blocks);
  return true;
}

}  // namespace vorn::mkimage
