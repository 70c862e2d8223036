#include <gtest/gtest.h>

#include <elf.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/plugin_loader.h"
#include "base/reloc_entry.h"
#include "objects/plugin_object_services.h"
#include "objects/runtime_class.h"
#include "startup/class_registration.h"
#include "strings/vstring.h"
#include "support/hang_limit.h"
#include "support/sanitizer_build.h"
#include "support/wait_limit.h"
#include "vorn/plugin_api.h"

// The plug-in API as plug-ins see it through the resolver.
extern "C" {
VornRuntimeObject* PluginNewInstance(const char* className);
VornRuntimeObject* PluginNewOfSameClass(VornRuntimeObject* object);
uint8_t VORNSetPropValueInt(VornRuntimeObject* object, const char* name, int32_t value);
uint8_t VORNSetPropValueDouble(VornRuntimeObject* object, const char* name, double value);
uint8_t VORNGetPropValueInt(VornRuntimeObject* object, const char* name, int32_t* out);
void* VORNLoadObjectMethod(VornRuntimeObject* object, const char* name);
int32_t VORNCountClassProperties(VornRuntimeClass* cls);
uint8_t VORNGetClassProperty(VornRuntimeClass* cls, int32_t index, VornStringRecord** name, void** getter,
                             void** setter);
int32_t RegisterPluginExports(const VornPluginModuleFunction* exports, int32_t count);
void* RuntimeLookupPluginEntrypoint(const char* name);
VornStringRecord* PluginDefaultControlFont(void);
VornStringRecord* PluginDefaultControlCaption(void);
int32_t PluginDefaultControlFontSize(void);
VornStringRecord* VORNStripAmpersands(VornStringRecord* caption);
}

namespace vorn::testing {
namespace {

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void* Row(const char* name) {
  RelocEntry* entry = LookupRelocEntry(string(name));
  return entry ? entry->code : nullptr;
}

// The files the loader extracted, gathered before the libraries are closed.
std::vector<std::string> ExtractedPaths() {
  std::vector<std::string> paths;
  for (LoadedPlugin* p = LoadedPlugins(); p; p = p->next) paths.push_back(p->path);
  return paths;
}

bool Exists(const std::string& path) { return !path.empty() && std::ifstream(path).good(); }

TEST(PluginLoader, LoadsAPluginThatRegistersAClassAndAModuleThenRemovesItsFile) {
  RuntimeInitExternalClasses();  // the plug-in's control derives from RectControl
  std::vector<uint8_t> bytes = ReadFile(VORN_TEST_GAUGE_PLUGIN);
  ASSERT_FALSE(bytes.empty());
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(LoadPluginFromBytes(128, bytes.data(), bytes.size()));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(std::getenv("VNPLUGINPATH"), nullptr) << "set only while the main function runs";

  EXPECT_NE(Row("Gauge.Level.Get"), nullptr);
  EXPECT_NE(Row("Gauge.Level.Set"), nullptr);
  EXPECT_NE(Row("Gauge.Raise"), nullptr);
  auto twice = reinterpret_cast<int32_t (*)(int32_t)>(Row("GaugeMath.Twice"));
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice(21), 42);
  EXPECT_NE(RuntimeLookupClass(string("gauge").Rep()), nullptr);
  EXPECT_NE(RuntimeLookupClass(string("Lamp").Rep()), nullptr);

  std::vector<std::string> paths = ExtractedPaths();
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_TRUE(Exists(paths[0]));
  UnloadPlugins();
  EXPECT_FALSE(Exists(paths[0]));
  EXPECT_EQ(LoadedPlugins(), nullptr);
}

TEST(PluginLoader, RefusesBadLibrariesNamingThePluginAndGoesOn) {
  std::vector<uint8_t> gauge = ReadFile(VORN_TEST_GAUGE_PLUGIN);
  std::vector<uint8_t> otherMachine = gauge;
  otherMachine[18] ^= 0x40;  // e_machine
  std::vector<uint8_t> executable = gauge;
  executable[16] = 2;  // ET_EXEC
  std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'p', 'l', 'u', 'g', '-', 'i', 'n',
                               ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!'};
  std::vector<uint8_t> truncated(gauge.begin(), gauge.begin() + 600);
  struct Case {
    uint16_t id;
    std::vector<uint8_t> bytes;
    const char* says;
  } cases[] = {
      {200, text, "not a shared object"},
      {201, otherMachine, "another architecture"},
      {202, executable, "not a shared object"},
      {203, ReadFile(VORN_TEST_MAINLESS_PLUGIN), "no VORNPluginMain"},
      {204, ReadFile(VORN_TEST_FAILING_PLUGIN), "failed: VORNPluginMain answered 7"},
      {205, truncated, "damaged shared object"},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadPluginFromBytes(c.id, c.bytes.data(), c.bytes.size())) << c.id;
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("plug-in 'VNPl' " + std::to_string(c.id)), std::string::npos) << said;
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
  }
  std::vector<std::string> paths = ExtractedPaths();
  UnloadPlugins();
  for (const std::string& path : paths) EXPECT_FALSE(Exists(path)) << path;
}

// Places in a copy of a 64-bit plug-in library, found through its headers.
class LibraryCopy {
 public:
  explicit LibraryCopy(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {}
  template <typename T>
  T Get(size_t at) const {
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
  }
  template <typename T>
  void Set(size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
  }
  // File offset of the first program header of the type.
  size_t ProgramHeader(uint32_t type, int skip = 0) const {
    auto phoff = Get<uint64_t>(offsetof(Elf64_Ehdr, e_phoff));
    for (uint16_t i = 0; i < Get<uint16_t>(offsetof(Elf64_Ehdr, e_phnum)); ++i) {
      size_t at = phoff + i * sizeof(Elf64_Phdr);
      if (Get<uint32_t>(at) == type && skip-- == 0) return at;
    }
    ADD_FAILURE() << "no program header of type " << type;
    return 0;
  }
  size_t FileOffset(uint64_t address) const {
    for (int i = 0;; ++i) {
      size_t ph = ProgramHeader(PT_LOAD, i);
      auto vaddr = Get<uint64_t>(ph + offsetof(Elf64_Phdr, p_vaddr));
      if (address >= vaddr && address < vaddr + Get<uint64_t>(ph + offsetof(Elf64_Phdr, p_filesz))) {
        return address - vaddr + Get<uint64_t>(ph + offsetof(Elf64_Phdr, p_offset));
      }
    }
  }
  // File offset of the value of the dynamic entry with the tag.
  size_t Dynamic(int64_t tag) const {
    size_t at = Get<uint64_t>(ProgramHeader(PT_DYNAMIC) + offsetof(Elf64_Phdr, p_offset));
    for (; Get<int64_t>(at) != tag; at += sizeof(Elf64_Dyn)) {
      if (Get<int64_t>(at) == DT_NULL) {
        ADD_FAILURE() << "no dynamic entry " << tag;
        return 0;
      }
    }
    return at + 8;
  }
  // File offset of entry i of the relocation table the tags name.
  size_t Relocation(int64_t tableTag, int i) const {
    return FileOffset(Get<uint64_t>(Dynamic(tableTag))) + i * sizeof(Elf64_Rela);
  }
  // File offsets of the older hash table's bucket or chain word i, after its two counts.
  size_t SysvBucket(uint32_t i) const { return FileOffset(Get<uint64_t>(Dynamic(DT_HASH))) + 4 * (2 + i); }
  size_t SysvChain(uint32_t i) const { return SysvBucket(Get<uint32_t>(SysvBucket(0) - 8) + i); }
  // File offsets of the GNU hash table's header word i, bucket i, and hash word of hashed symbol i.
  size_t GnuHeader(int i) const { return FileOffset(Get<uint64_t>(Dynamic(DT_GNU_HASH))) + 4 * i; }
  size_t GnuBucket(uint32_t i) const { return GnuHeader(4) + 8 * Get<uint32_t>(GnuHeader(2)) + 4 * i; }
  size_t GnuChain(uint32_t i) const { return GnuBucket(Get<uint32_t>(GnuHeader(0)) + i); }
  // File offsets of a field of the first version needed, of its first version, of the first
  // version defined (the one naming the library), and of symbol i's version.
  size_t Needed(size_t field) const { return FileOffset(Get<uint64_t>(Dynamic(DT_VERNEED))) + field; }
  size_t NeededVersion(size_t field) const { return Needed(0) + Get<uint32_t>(Needed(offsetof(Elf64_Verneed, vn_aux))) + field; }
  size_t Defined(size_t field) const { return FileOffset(Get<uint64_t>(Dynamic(DT_VERDEF))) + field; }
  size_t SymbolVersion(uint64_t i) const { return FileOffset(Get<uint64_t>(Dynamic(DT_VERSYM))) + 2 * i; }
  // The first symbol taken from the C library with a version.
  uint64_t VersionedImport() const {
    for (uint64_t i = 1;; ++i) {
      const size_t symbol = FileOffset(Get<uint64_t>(Dynamic(DT_SYMTAB))) + i * sizeof(Elf64_Sym);
      if (Get<uint16_t>(symbol + offsetof(Elf64_Sym, st_shndx)) == SHN_UNDEF && Get<uint16_t>(SymbolVersion(i)) > 1) return i;
    }
  }
  // Whether the byte at `at` is what the loader may read: in a header or in a section that is
  // loaded, but not of the library's own code (a section of instructions).
  bool LoaderMayRead(size_t at) const {
    const uint64_t shoff = Get<uint64_t>(offsetof(Elf64_Ehdr, e_shoff)), shnum = Get<uint16_t>(offsetof(Elf64_Ehdr, e_shnum));
    const bool inHeaders = at < Get<uint64_t>(offsetof(Elf64_Ehdr, e_phoff)) + Get<uint16_t>(offsetof(Elf64_Ehdr, e_phnum)) * sizeof(Elf64_Phdr) ||
                     (at >= shoff && at < shoff + shnum * sizeof(Elf64_Shdr));
    for (uint16_t i = 0; i < shnum; ++i) {
      const size_t sh = shoff + i * sizeof(Elf64_Shdr);
      const auto offset = Get<uint64_t>(sh + offsetof(Elf64_Shdr, sh_offset));
      if (Get<uint32_t>(sh + offsetof(Elf64_Shdr, sh_type)) != SHT_NOBITS && at >= offset &&
          at - offset < Get<uint64_t>(sh + offsetof(Elf64_Shdr, sh_size))) {
        return (Get<uint64_t>(sh + offsetof(Elf64_Shdr, sh_flags)) & (SHF_ALLOC | SHF_EXECINSTR)) == SHF_ALLOC;
      }
    }
    return inHeaders;
  }
  // The `count` words from `first` on: word i becomes value(i).
  void SetWords(size_t first, uint32_t count, const std::function<uint32_t(uint32_t)>& value) {
    for (uint32_t i = 0; i < count; ++i) Set<uint32_t>(first + 4 * i, value(i));
  }
  std::vector<uint8_t> bytes;
};

// Each row is refused and the program goes on: most by the checks before the system loader sees
// the bytes, the rest (kTrial) by the loader itself in a trial load, where they would end a
// program that loaded them.
TEST(PluginLoader, DamagedLibrariesAreRefusedAndTheProgramGoesOn) {
  const LibraryCopy gauge(ReadFile(VORN_TEST_GAUGE_PLUGIN));
  const size_t load0 = gauge.ProgramHeader(PT_LOAD, 0), dynamic = gauge.ProgramHeader(PT_DYNAMIC);
  const uint64_t textAddress = gauge.Get<uint64_t>(gauge.ProgramHeader(PT_LOAD, 1) + offsetof(Elf64_Phdr, p_vaddr));
  const size_t size = gauge.bytes.size();
  size_t data = 0;  // the writable segment's header
  for (int i = 0; !(gauge.Get<uint32_t>((data = gauge.ProgramHeader(PT_LOAD, i)) + offsetof(Elf64_Phdr, p_flags)) & PF_W); ++i) {
  }
  const uint64_t dataEnd = gauge.Get<uint64_t>(data + offsetof(Elf64_Phdr, p_vaddr)) + gauge.Get<uint64_t>(data + offsetof(Elf64_Phdr, p_memsz));
  uint64_t symbols = 0;  // as many as the section of dynamic symbols holds
  for (uint16_t i = 0; i < gauge.Get<uint16_t>(offsetof(Elf64_Ehdr, e_shnum)); ++i) {
    const size_t sh = gauge.Get<uint64_t>(offsetof(Elf64_Ehdr, e_shoff)) + i * sizeof(Elf64_Shdr);
    if (gauge.Get<uint32_t>(sh + offsetof(Elf64_Shdr, sh_type)) == SHT_DYNSYM) symbols = gauge.Get<uint64_t>(sh + offsetof(Elf64_Shdr, sh_size)) / sizeof(Elf64_Sym);
  }
  // Which libraries a row damages: the one with both hash tables, those with one table alone,
  // and the one that defines versions of its own; kTrial: the checks pass it to the trial load.
  enum { kBoth = 1, kOlder = 2, kGnu = 4, kVersioned = 8, kTrial = 16 };
  const auto gnuHeader = [](int word, uint32_t value) { return [=](LibraryCopy& c) { c.Set<uint32_t>(c.GnuHeader(word), value); }; };
  const auto farAway = [](size_t (LibraryCopy::*place)(size_t) const, size_t field) {
    return [=](LibraryCopy& c) { c.Set<uint32_t>((c.*place)(field), 0x7FFFFFF0); };
  };
  struct Case {
    const char* what;
    std::function<void(LibraryCopy&)> damage;
    const char* says;
    int on = kBoth;
  } cases[] = {
      {"segment past the end", [&](LibraryCopy& c) { c.Set<uint64_t>(load0 + offsetof(Elf64_Phdr, p_filesz), size + 1); },
       "headers outside the file"},
      {"segment one byte past", [&](LibraryCopy& c) {
         c.Set<uint64_t>(load0 + offsetof(Elf64_Phdr, p_filesz), size - c.Get<uint64_t>(load0 + offsetof(Elf64_Phdr, p_offset)) + 1);
         c.Set<uint64_t>(load0 + offsetof(Elf64_Phdr, p_memsz), size + 1);
       }, "headers outside the file"},
      {"file bigger than memory", [&](LibraryCopy& c) { c.Set<uint64_t>(load0 + offsetof(Elf64_Phdr, p_memsz), 1); },
       "more of the file than of memory"},
      {"dynamic past the end", [&](LibraryCopy& c) { c.Set<uint64_t>(dynamic + offsetof(Elf64_Phdr, p_offset), size); },
       "dynamic section lies outside"},
      {"dynamic without its end", [&](LibraryCopy& c) { c.Set<uint64_t>(dynamic + offsetof(Elf64_Phdr, p_filesz), 16); },
       "no end entry"},
      {"string table too long", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Dynamic(DT_STRSZ), 1u << 30); }, "string table"},
      {"symbol table far away", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Dynamic(DT_SYMTAB), 0x7FFFFFF0); }, "symbol table"},
      {"hash table far away", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Dynamic(DT_GNU_HASH), 0x7FFFFFF0); }, "hash table"},
      {"relocations too many", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Dynamic(DT_RELASZ), 1u << 30); },
       "RELA relocation table lies outside"},
      {"relocation size cut", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Dynamic(DT_RELASZ), c.Get<uint64_t>(c.Dynamic(DT_RELASZ)) - 1); },
       "damaged size"},
      {"relocation into code", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Relocation(DT_RELA, 0), textAddress); },
       "writes outside the writable segments"},
      {"relocation one byte past the data", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Relocation(DT_RELA, 0), dataEnd - 7); },
       "writes outside the writable segments"},
      {"relocation far away", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Relocation(DT_RELA, 0), 0x7FFFFFF0); },
       "writes outside the writable segments"},
      {"PLT symbol one past the table", [&](LibraryCopy& c) {
         size_t info = c.Relocation(DT_JMPREL, 0) + 8;
         c.Set<uint64_t>(info, (symbols << 32) | (c.Get<uint64_t>(info) & 0xFFFFFFFF));
       }, "relocation names symbol"},
      {"PLT table far away", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Dynamic(DT_JMPREL), 0x7FFFFFF0); },
       "PLT relocation table lies outside"},
      {"library name outside", [&](LibraryCopy& c) { c.Set<uint64_t>(c.Dynamic(DT_NEEDED), 1u << 20); }, "library name"},
      // The loader follows every bucket and chain value into the symbol table, divides by the
      // bucket count and masks by the filter word count less one.
      {"older table: every chain one past the symbols", [](LibraryCopy& c) {
         const uint32_t symbols = c.Get<uint32_t>(c.SysvBucket(0) - 4);
         c.SetWords(c.SysvChain(1), symbols - 1, [&](uint32_t) { return symbols; });
       }, "names a symbol past its end", kBoth | kOlder},
      {"older table: two chains meet", [](LibraryCopy& c) {
         c.SetWords(c.SysvChain(1), c.Get<uint32_t>(c.SysvBucket(0) - 4) - 1, [](uint32_t i) { return i == 0 ? 0u : 1u; });
       }, "meet or loop", kBoth | kOlder},
      {"older table: no buckets", [](LibraryCopy& c) { c.Set<uint32_t>(c.SysvBucket(0) - 8, 0); }, "no buckets", kBoth | kOlder},
      {"older table: symbols past the file", [](LibraryCopy& c) { c.Set<uint32_t>(c.SysvBucket(0) - 4, 1u << 30); },
       "runs past the file", kBoth | kOlder},
      {"GNU table: every bucket below the first symbol it hashes", [](LibraryCopy& c) {
         c.SetWords(c.GnuBucket(0), c.Get<uint32_t>(c.GnuHeader(0)), [&](uint32_t) { return c.Get<uint32_t>(c.GnuHeader(1)) - 1; });
       }, "hash table is damaged", kBoth | kGnu},
      {"GNU table: every bucket far away", [](LibraryCopy& c) {
         c.SetWords(c.GnuBucket(0), c.Get<uint32_t>(c.GnuHeader(0)), [](uint32_t) { return 0x7FFFFFF0u; });
       }, "chain runs past the file", kBoth | kGnu},
      {"GNU table: no buckets", gnuHeader(0, 0), "hash table is damaged", kBoth | kGnu},
      {"GNU table: no filter words", gnuHeader(2, 0), "hash table is damaged", kBoth | kGnu},
      {"GNU table: three filter words", gnuHeader(2, 3), "hash table is damaged", kBoth | kGnu},
      {"GNU table: its last chain runs on past the symbols", [](LibraryCopy& c) {
         uint32_t last = 0;
         for (uint32_t b = 0; b < c.Get<uint32_t>(c.GnuHeader(0)); ++b) last = std::max(last, c.Get<uint32_t>(c.GnuBucket(b)));
         size_t end = c.GnuChain(last - c.Get<uint32_t>(c.GnuHeader(1)));
         c.Set<uint32_t>(end, c.Get<uint32_t>(end) & ~1u);
         c.Set<uint32_t>(end + 4, c.Get<uint32_t>(end + 4) | 1u);
       }, "has a name outside its string table", kBoth | kGnu},
      // The loader reads the dynamic entries at the segment's address, whatever its offset says.
      {"dynamic address 8 bytes past its offset", [&](LibraryCopy& c) { c.Set<uint64_t>(dynamic + offsetof(Elf64_Phdr, p_vaddr), c.Get<uint64_t>(dynamic + offsetof(Elf64_Phdr, p_vaddr)) + 8); },
       "string table"},
      {"version needed: its versions far away", farAway(&LibraryCopy::Needed, offsetof(Elf64_Verneed, vn_aux)), "needed versions", kBoth | kVersioned},
      {"version needed: the next far away", farAway(&LibraryCopy::Needed, offsetof(Elf64_Verneed, vn_next)), "needed versions", kBoth | kVersioned},
      {"version needed: its library's name far away", farAway(&LibraryCopy::Needed, offsetof(Elf64_Verneed, vn_file)), "needed versions"},
      {"version needed: its library named by a version's name", [](LibraryCopy& c) {
         c.Set<uint32_t>(c.Needed(offsetof(Elf64_Verneed, vn_file)), c.Get<uint32_t>(c.NeededVersion(offsetof(Elf64_Vernaux, vna_name))));
       }, "needed versions", kBoth | kVersioned},
      {"version needed: the name far away", farAway(&LibraryCopy::NeededVersion, offsetof(Elf64_Vernaux, vna_name)), "needed versions"},
      {"version needed: the next version far away", farAway(&LibraryCopy::NeededVersion, offsetof(Elf64_Vernaux, vna_next)), "needed versions", kBoth | kVersioned},
      {"version defined: the next far away", farAway(&LibraryCopy::Defined, offsetof(Elf64_Verdef, vd_next)), "defined versions", kVersioned},
      {"version defined: its name far away", farAway(&LibraryCopy::Defined, sizeof(Elf64_Verdef) + offsetof(Elf64_Verdaux, vda_name)), "defined versions", kVersioned},
      // The loader reads a symbol's version in a table as long as the highest index, or in none.
      {"an import's version one past the last", [](LibraryCopy& c) { c.Set<uint16_t>(c.SymbolVersion(c.VersionedImport()), 3); }, "version past the last"},
      {"an import's version far away", [](LibraryCopy& c) { c.Set<uint16_t>(c.SymbolVersion(c.VersionedImport()), 0x7FF0); }, "version past the last", kBoth | kVersioned},
      {"symbol versions without version tables", [](LibraryCopy& c) { c.Set<int64_t>(c.Dynamic(DT_VERNEED) - 8, DT_DEBUG); }, "no version tables"},
      // What the checks leave to the trial load.
      {"more relative relocations counted than lead the table", [](LibraryCopy& c) {
         c.Set<uint64_t>(c.Dynamic(DT_RELACOUNT), c.Get<uint64_t>(c.Dynamic(DT_RELASZ)) / sizeof(Elf64_Rela));
       }, "trial load", kBoth | kVersioned | kTrial},
      {"read-only after relocation far past the segments", [&](LibraryCopy& c) {
         const size_t relro = c.ProgramHeader(PT_GNU_RELRO) + offsetof(Elf64_Phdr, p_vaddr);
         c.Set<uint64_t>(relro, c.Get<uint64_t>(relro) + 0x10000000);
       }, "cannot apply additional memory protection", kBoth | kTrial},
      {"read-only after relocation from the data on far past the segments", [&](LibraryCopy& c) {
         c.Set<uint64_t>(c.ProgramHeader(PT_GNU_RELRO) + offsetof(Elf64_Phdr, p_memsz), 0x10000000);
       }, "trial load", kBoth | kTrial},
  };
  const std::pair<int, LibraryCopy> libraries[] = {
      {kBoth, gauge}, {kOlder, LibraryCopy(ReadFile(VORN_TEST_GAUGE_SYSV_PLUGIN))},
      {kGnu, LibraryCopy(ReadFile(VORN_TEST_GAUGE_GNU_PLUGIN))}, {kVersioned, LibraryCopy(ReadFile(VORN_TEST_GAUGE_VERSIONED_PLUGIN))}};
  uint16_t id = 300;
  size_t tried = 0;
  for (const Case& c : cases) {
    for (const auto& [library, sound] : libraries) {
      if (!(c.on & library)) continue;
      const std::string what = c.what + std::string(library == kBoth ? "" : library == kVersioned ? ", versioned" : ", that table alone");
      LibraryCopy copy = sound;
      tried += (c.on & kTrial) != 0;
      c.damage(copy);
      ::testing::internal::CaptureStderr();
      EXPECT_FALSE(LoadPluginFromBytes(id, copy.bytes.data(), copy.bytes.size())) << what;
      std::string said = ::testing::internal::GetCapturedStderr();
      const std::string refused = (c.on & kTrial) ? ": refused: " : ": refused: a damaged shared object";
      EXPECT_NE(said.find("plug-in 'VNPl' " + std::to_string(id++) + refused), std::string::npos) << what << ": " << said;
      EXPECT_NE(said.find(c.says), std::string::npos) << what << ": " << said;
    }
  }
  const std::vector<std::string> paths = ExtractedPaths();
  EXPECT_EQ(paths.size(), tried) << "only what passed the checks was written out, to be tried";
  UnloadPlugins();
  for (const std::string& path : paths) EXPECT_FALSE(Exists(path)) << path;
  // A dynamic section that ends with its end entry is whole.
  LibraryCopy tight = gauge;
  tight.Set<uint64_t>(dynamic + offsetof(Elf64_Phdr, p_filesz), tight.Dynamic(DT_NULL) + 8 - tight.Get<uint64_t>(dynamic + offsetof(Elf64_Phdr, p_offset)));
  std::string why;
  EXPECT_TRUE(IsLoadablePluginObject(tight.bytes.data(), tight.bytes.size(), why)) << why;
  // Undamaged, a library with either table alone is loadable too.
  for (const auto& [library, sound] : libraries) EXPECT_TRUE(IsLoadablePluginObject(sound.bytes.data(), sound.bytes.size(), why)) << why;
}

// How loading a library ended in a child process: refused, or loaded and its module function
// answered right. A fault once the loader has handed the library over (its main function, the
// function called, whatever they do with damaged data or a damaged entry address) is the
// plug-in's own doing and stands apart from one before, which is the checks' or the loader's.
enum class Ending { kWorked, kRefused, kRanAndFailed, kItsCodeFaulted, kDied };
struct ChildLoad { Ending ending; int status; std::string said; };

volatile sig_atomic_t sCallingThePlugin = 0;

ChildLoad LoadInChild(uint16_t id, const std::vector<uint8_t>& bytes) {
  int ends[2];
  if (pipe(ends) != 0) return {Ending::kDied, -1, "no pipe"};
  const pid_t child = fork();
  if (child == 0) {
    dup2(ends[1], STDERR_FILENO);
    close(ends[0]), close(ends[1]);
    struct sigaction fault {};
    fault.sa_handler = [](int signal) {
      if (sCallingThePlugin || (LoadedPlugins() && LoadedPlugins()->handle)) _exit(3);
      ::signal(signal, SIG_DFL);
      raise(signal);
    };
    for (int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP}) sigaction(signal, &fault, nullptr);
    int answer = 1;
    if (LoadPluginFromBytes(id, bytes.data(), bytes.size())) {
      sCallingThePlugin = 1;
      auto twice = reinterpret_cast<int32_t (*)(int32_t)>(Row("GaugeMath.Twice"));
      answer = twice && twice(21) == 42 ? 0 : 2;
      sCallingThePlugin = 0;
    }
    UnloadPlugins();
    _exit(answer);
  }
  close(ends[1]);
  ChildLoad load{Ending::kDied, -1, ""};
  char buffer[512];
  for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0) load.said.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR) break;
  }
  close(ends[0]);
  while (waitpid(child, &load.status, 0) < 0 && errno == EINTR) {
  }
  // The child's exit code is the ending's number; 1 is a refusal only where the loader said so.
  const int code = WIFEXITED(load.status) ? WEXITSTATUS(load.status) : int(Ending::kDied);
  load.ending = code > 3 ? Ending::kDied : code == 1 && load.said.find(": refused: ") == std::string::npos ? Ending::kRanAndFailed : Ending(code);
  return load;
}

// One byte damaged at random in the headers or any loaded section but the library's own
// instructions (padding and what is not loaded stand for nothing to the loader), which run as they
// are (damaged, they may do anything a plug-in's code may do), in libraries with either hash
// table or both and with versions of their own: no damage ends the program before the loader
// hands the library over.
TEST(PluginLoader, ARandomByteDamagedWhereTheLoaderReadsNeverEndsTheProgram) {
  RuntimeInitExternalClasses();  // the gauge's control derives from RectControl
  const std::pair<const char*, const char*> libraries[] = {
      {"both tables", VORN_TEST_GAUGE_PLUGIN}, {"older table", VORN_TEST_GAUGE_SYSV_PLUGIN},
      {"GNU table", VORN_TEST_GAUGE_GNU_PLUGIN}, {"versioned", VORN_TEST_GAUGE_VERSIONED_PLUGIN}};
  const int perLibrary = test::Rounds(40, 6);
  std::mt19937 random(83);
  int endings[5] = {}, byTrial = 0;
  for (const auto& [name, path] : libraries) {
    const LibraryCopy sound(ReadFile(path));
    const ChildLoad undamaged = LoadInChild(400, sound.bytes);
    ASSERT_EQ(undamaged.ending, Ending::kWorked) << name << ": status " << undamaged.status << ": " << undamaged.said;
    for (int round = 0; round < perLibrary; ++round) {
      std::vector<uint8_t> bytes = sound.bytes;
      size_t at;
      do at = std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random);
      while (!sound.LoaderMayRead(at));
      bytes[at] ^= static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 255)(random));
      test::HangLimit limit(test::kWaitLimitSeconds);
      const ChildLoad load = LoadInChild(401, bytes);
      ++endings[static_cast<int>(load.ending)];
      byTrial += load.said.find("trial load") != std::string::npos || load.said.find("cannot load") != std::string::npos;
      EXPECT_NE(load.ending, Ending::kDied) << name << ": byte " << at << " made " << int(bytes[at]) << ": status "
                                            << load.status << ": " << load.said;
    }
  }
  std::printf("%d damaged libraries: %d refused (%d by the trial load), %d loaded and worked, %d ran and failed, "
              "%d faulted once their code had control, %d ended the program\n",
              4 * perLibrary, endings[1], byTrial, endings[0], endings[2], endings[3], endings[4]);
}

TEST(PluginLoader, ARefusedRegistrationFailsThePluginWhateverItsMainAnswers) {
  std::vector<uint8_t> bytes = ReadFile(VORN_TEST_REFUSING_PLUGIN);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(LoadPluginFromBytes(206, bytes.data(), bytes.size()));
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("plug-in 'VNPl' 206: Refusing: the name Refusing.Speed is taken"), std::string::npos) << said;
  // The name stays with the function that had it first; entering it again with that one was fine.
  auto speed = reinterpret_cast<int32_t (*)()>(Row("Refusing.Speed"));
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(speed(), 1);
  UnloadPlugins();
}

TEST(PluginLoader, AClassRegisteredByDeclarationTextsMatchesItsClassRecordTwin) {
  std::vector<uint8_t> bytes = ReadFile(VORN_TEST_DECLARED_PLUGIN);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(LoadPluginFromBytes(207, bytes.data(), bytes.size()));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  auto* record = RuntimeLookupClass(string("RecordDial").Rep());
  auto* declared = RuntimeLookupClass(string("DeclaredDial").Rep());
  ASSERT_NE(record, nullptr);
  ASSERT_NE(declared, nullptr);
  for (const char* member : {".Level.Get", ".Level.Set", ".Speed", ".Top"}) {
    void* byRecord = Row((std::string("RecordDial") + member).c_str());
    EXPECT_NE(byRecord, nullptr) << member;
    EXPECT_EQ(Row((std::string("DeclaredDial") + member).c_str()), byRecord) << member;
  }
  ASSERT_EQ(declared->mMethodNames, record->mMethodNames);
  EXPECT_EQ(declared->mMethodTable, record->mMethodTable);
  EXPECT_EQ(declared->EventCount(), record->EventCount());
  EXPECT_EQ(VORNCountClassProperties(declared), 1);

  VornRuntimeObject* dial = PluginNewInstance("declareddial");
  ASSERT_NE(dial, nullptr);
  EXPECT_EQ(VORNSetPropValueInt(dial, "Level", 4), 1);
  auto speed = reinterpret_cast<double (*)(VornRuntimeObject*, int32_t)>(VORNLoadObjectMethod(dial, "speed"));
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(speed(dial, 3), 5.0);
  RuntimeUnlockObject(dial);
  EXPECT_EQ(string::Adopt(PluginClassConstant("DECLAREDDIAL", "limit")).View(), "&H10");
  EXPECT_EQ(PluginClassConstant("RecordDial", "Limit"), nullptr);
  UnloadPlugins();

  // One bad text refuses the whole class, naming the text.
  static const VornPluginDeclaration members[] = {
      {"Property Level As Integer", reinterpret_cast<void*>(&std::abort), nullptr, 0},
      {"Function Speed(x As Integr) As", reinterpret_cast<void*>(&std::abort), nullptr, 0},
  };
  VornPluginDeclaredClass broken{"BrokenDial", nullptr, 64, members, 2};
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(PluginRegisterDeclaredClass(&broken), nullptr);
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("BrokenDial: the declaration \"Function Speed(x As Integr) As\" is refused: expected a type"),
            std::string::npos) << said;
  EXPECT_EQ(Row("BrokenDial.Level.Get"), nullptr);
  EXPECT_EQ(RuntimeLookupClass(string("BrokenDial").Rep()), nullptr);
}

TEST(PluginRegistration, RefusesDamagedRecordsWithoutEnteringAnything) {
  static const VornClassMember unnamed[] = {{nullptr, nullptr, nullptr, 0}};
  static const VornClassMember one[] = {{"Go%%o<Broken>", reinterpret_cast<void*>(&std::abort), nullptr, 0}};
  VornClassRecord noName{};
  noName.version = kVornClassRecordVersion;
  VornClassRecord absurd = noName;
  absurd.name = "Broken";
  absurd.methods = one;
  absurd.methodCount = 1 << 30;
  VornClassRecord nullSignature = noName;
  nullSignature.name = "Broken";
  nullSignature.events = unnamed;
  nullSignature.eventCount = 1;
  VornPluginModule nilFunction{"BrokenModule", nullptr, 3};
  static const VornClassMember noCode[] = {one[0], {"Stop%%o<Broken>", nullptr, nullptr, 0}};
  VornClassRecord withoutFunction = noName;
  withoutFunction.name = "Broken";
  withoutFunction.methods = noCode;
  withoutFunction.methodCount = 2;
  VornClassRecord declaredOnly = withoutFunction;  // an interface's methods have no code
  declaredOnly.name = "BrokenStopper";
  declaredOnly.flags = kVornClassIsInterface;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(PluginRegisterClass(&withoutFunction), nullptr);
  EXPECT_NE(PluginRegisterClass(&declaredOnly), nullptr);
  EXPECT_EQ(PluginRegisterClass(nullptr), nullptr);
  EXPECT_EQ(PluginRegisterClass(&noName), nullptr);
  EXPECT_EQ(PluginRegisterClass(&absurd), nullptr);
  EXPECT_EQ(PluginRegisterClass(&nullSignature), nullptr);
  EXPECT_EQ(PluginRegisterModule(&nilFunction), 0);
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("absurd method count"), std::string::npos) << said;
  EXPECT_NE(said.find("event 0 has no name"), std::string::npos) << said;
  EXPECT_NE(said.find("Broken: the method Stop%%o<Broken> has no function"), std::string::npos) << said;
  EXPECT_EQ(Row("Broken.Go"), nullptr);
  EXPECT_EQ(RuntimeLookupClass(string("Broken").Rep()), nullptr);
}

TEST(PluginRegistration, ResolverAndSmallServices) {
  EXPECT_EQ(VornPluginResolve(nullptr), nullptr);
  EXPECT_EQ(VornPluginResolve("NoSuchRuntimeFunction"), nullptr);
  EXPECT_EQ(VornPluginResolve("PluginRegisterClass"), reinterpret_cast<void*>(&PluginRegisterClass));
  EXPECT_EQ(PluginMarkSocketUsage(), nullptr) << "no plug-in is being loaded";
}

}  // namespace
}  // namespace vorn::testing

namespace vorn::testing {
namespace {

struct Meter {
  VornRuntimeObject header;
  int32_t reading;
  double scale;
};

int32_t MeterDouble(VornRuntimeObject* self) { return 2 * reinterpret_cast<Meter*>(self)->reading; }

TEST(PluginServices, MembersByNameSignaturesExportsAndDefaults) {
  static const VornClassProperty properties[] = {
      {"Reading%i4%", VORN_DIRECT_FIELD, nullptr, VORN_DIRECT_FIELD, nullptr, static_cast<int32_t>(offsetof(Meter, reading)), 0},
      {"Scale%f8%", VORN_DIRECT_FIELD, nullptr, nullptr, nullptr, static_cast<int32_t>(offsetof(Meter, scale)), 0},
  };
  static const VornClassMember methods[] = {{"Doubled%i4%o<Meter>", reinterpret_cast<void*>(&MeterDouble), nullptr, 0}};
  VornClassRecord record{};
  record.version = kVornClassRecordVersion;
  record.name = "Meter";
  record.instanceSize = sizeof(Meter);
  record.properties = properties;
  record.propertyCount = 2;
  record.methods = methods;
  record.methodCount = 1;
  ::testing::internal::CaptureStderr();
  VornRuntimeClass* cls = PluginRegisterClass(&record);
  ::testing::internal::GetCapturedStderr();
  ASSERT_NE(cls, nullptr);
  VornRuntimeObject* meter = PluginNewInstance("meter");
  ASSERT_NE(meter, nullptr);
  EXPECT_EQ(VORNSetPropValueInt(meter, "READING", 21), 1);
  EXPECT_EQ(VORNSetPropValueDouble(meter, "Scale", 2.5), 0) << "read-only";
  EXPECT_EQ(VORNSetPropValueInt(meter, "Missing", 1), 0);
  int32_t reading = 0;
  EXPECT_EQ(VORNGetPropValueInt(meter, "reading", &reading), 1);
  EXPECT_EQ(reading, 21);
  auto doubled = reinterpret_cast<int32_t (*)(VornRuntimeObject*)>(VORNLoadObjectMethod(meter, "doubled"));
  ASSERT_NE(doubled, nullptr);
  EXPECT_EQ(doubled(meter), 42);
  EXPECT_EQ(VORNCountClassProperties(cls), 2);
  VornStringRecord* name = nullptr;
  EXPECT_EQ(VORNGetClassProperty(cls, 1, &name, nullptr, nullptr), 1);
  EXPECT_EQ(string::Adopt(name).View(), "Scale");
  EXPECT_EQ(VORNGetClassProperty(cls, 2, nullptr, nullptr, nullptr), 0);
  VornRuntimeObject* twin = PluginNewOfSameClass(meter);
  ASSERT_NE(twin, nullptr);
  EXPECT_EQ(twin->classPtr, cls);
  RuntimeUnlockObject(twin);
  RuntimeUnlockObject(meter);

  struct Split {
    const char* signature;
    const char* name;
    const char* rest;
  } splits[] = {{"Level%i4%", "Level", "i4%"}, {"Plain", "Plain", ""}, {"%s%", "", "s%"}};
  for (const Split& s : splits) {
    string first, rest;
    SplitAtFirstPercent(string(s.signature), &first, &rest);
    EXPECT_EQ(first.View(), s.name) << s.signature;
    EXPECT_EQ(rest.View(), s.rest) << s.signature;
  }

  static const VornPluginModuleFunction exports[] = {{"Meter_Reset", reinterpret_cast<void*>(&MeterDouble)}};
  EXPECT_EQ(RegisterPluginExports(exports, 1), 1);
  EXPECT_EQ(RuntimeLookupPluginEntrypoint("METER_RESET"), reinterpret_cast<void*>(&MeterDouble));
  EXPECT_EQ(RuntimeLookupPluginEntrypoint("Other"), nullptr);

  EXPECT_EQ(string::Adopt(PluginDefaultControlFont()).View(), "System");
  EXPECT_EQ(string::Adopt(PluginDefaultControlCaption()).View(), "Untitled");
  EXPECT_EQ(PluginDefaultControlFontSize(), 12);
  EXPECT_EQ(string::Adopt(VORNStripAmpersands(string("&Open && Save").Rep())).View(), "Open & Save");
}

}  // namespace
}  // namespace vorn::testing
