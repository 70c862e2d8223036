#include "core/plugin_loader.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/resource_manager.h"
#include "base/shutdown_task.h"
#include "core/plugin_declared_class.h"
#include "core/plugin_object_check.h"
#include "core/plugin_trial_load.h"
#include "vorn/plugin_api.h"

namespace vorn {

namespace {

LoadedPlugin* sLoaded = nullptr;
std::string sPrivateFolder;  // made on the first extraction

#if defined(__x86_64__)
constexpr uint16_t kHostMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr uint16_t kHostMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr uint16_t kHostMachine = EM_386;
#else
#error "plug-in loading needs the ELF machine code of this architecture"
#endif
constexpr uint8_t kHostClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr uint8_t kHostData = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;

uint16_t ReadHalf(const uint8_t* p, uint8_t data) {
  return data == ELFDATA2LSB ? static_cast<uint16_t>(p[0] | (p[1] << 8))
                             : static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint64_t ReadWord(const uint8_t* p, uint8_t data, int size) {
  uint64_t value = 0;
  for (int i = 0; i < size; ++i) {
    int shift = data == ELFDATA2LSB ? 8 * i : 8 * (size - 1 - i);
    value |= static_cast<uint64_t>(p[i]) << shift;
  }
  return value;
}

bool WithinFile(uint64_t offset, uint64_t size, size_t length) {
  return offset <= length && size <= length - offset;
}

// The loader maps what the program headers name: a range past the end of the file would be
// mapped beyond it and fault on first touch, so every range must lie inside the bytes.
bool SegmentsWithinFile(const uint8_t* bytes, size_t length, uint8_t data, std::string& why) {
  const bool wide = bytes[EI_CLASS] == ELFCLASS64;
  const int word = wide ? 8 : 4;
  const size_t headerSize = wide ? sizeof(Elf64_Ehdr) : sizeof(Elf32_Ehdr);
  why = "a damaged shared object (headers outside the file)";
  if (length < headerSize) return false;
  uint64_t phoff = ReadWord(bytes + (wide ? 32 : 28), data, word);
  uint64_t shoff = ReadWord(bytes + (wide ? 40 : 32), data, word);
  size_t halves = wide ? 54 : 42;  // e_phentsize, e_phnum, e_shentsize, e_shnum
  uint64_t phentsize = ReadHalf(bytes + halves, data);
  uint64_t phnum = ReadHalf(bytes + halves + 2, data);
  uint64_t shentsize = ReadHalf(bytes + halves + 4, data);
  uint64_t shnum = ReadHalf(bytes + halves + 6, data);
  const uint64_t minimumEntry = wide ? sizeof(Elf64_Phdr) : sizeof(Elf32_Phdr);
  if (phnum == 0 || phentsize < minimumEntry || !WithinFile(phoff, phentsize * phnum, length)) return false;
  if (shnum != 0 && !WithinFile(shoff, shentsize * shnum, length)) return false;
  for (uint64_t i = 0; i < phnum; ++i) {
    const uint8_t* ph = bytes + phoff + i * phentsize;
    uint64_t offset = ReadWord(ph + (wide ? 8 : 4), data, word);
    uint64_t fileSize = ReadWord(ph + (wide ? 32 : 16), data, word);
    if (ReadWord(ph, data, 4) == PT_LOAD && !WithinFile(offset, fileSize, length)) return false;
  }
  return true;
}

class PluginShutDownTask : public runShutdownTask {
 public:
  ~PluginShutDownTask() override { UnloadPlugins(); }
};

// A folder only this user can reach; its files get unpredictable names from mkstemp.
bool EnsurePrivateFolder(std::string& why) {
  if (!sPrivateFolder.empty()) return true;
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/vorn-plugins-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    why = "cannot make a private folder: " + std::string(std::strerror(errno));
    return false;
  }
  sPrivateFolder = pattern;
  return true;
}

bool WriteAll(int fd, const uint8_t* bytes, size_t length) {
  while (length > 0) {
    ssize_t n = write(fd, bytes, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

bool Extract(const uint8_t* bytes, size_t length, std::string& path, std::string& why) {
  if (!EnsurePrivateFolder(why)) return false;
  std::string pattern = sPrivateFolder + "/plugin-XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) {
    why = "cannot create its file: " + std::string(std::strerror(errno));
    return false;
  }
  bool written = WriteAll(fd, bytes, length);
  if (close(fd) != 0) written = false;
  if (!written) {
    std::remove(pattern.c_str());
    why = "cannot write its file";
    return false;
  }
  path = pattern;
  return true;
}

// VNPLUGINPATH names the library only while its main function runs; an earlier value comes back.
class PluginPathScope {
 public:
  explicit PluginPathScope(const std::string& path) {
    if (const char* old = std::getenv("VNPLUGINPATH")) mOld = old, mHadOld = true;
    setenv("VNPLUGINPATH", path.c_str(), 1);
  }
  ~PluginPathScope() {
    if (mHadOld) setenv("VNPLUGINPATH", mOld.c_str(), 1);
    else unsetenv("VNPLUGINPATH");
  }

 private:
  std::string mOld;
  bool mHadOld = false;
};

}  // namespace

bool IsLoadablePluginObject(const uint8_t* bytes, size_t length, std::string& why) {
  if (bytes == nullptr || length < EI_NIDENT + 4 || std::memcmp(bytes, ELFMAG, SELFMAG) != 0) {
    why = "not a shared object";
    return false;
  }
  uint8_t data = bytes[EI_DATA];
  if (bytes[EI_CLASS] != kHostClass || data != kHostData) {
    why = "built for another architecture (ELF class or byte order)";
    return false;
  }
  // e_type and e_machine follow the identification bytes in both ELF classes.
  uint16_t type = ReadHalf(bytes + EI_NIDENT, data);
  uint16_t machine = ReadHalf(bytes + EI_NIDENT + 2, data);
  if (machine != kHostMachine) {
    why = "built for another architecture (machine " + std::to_string(machine) + ")";
    return false;
  }
  if (type != ET_DYN) {
    why = "not a shared object (ELF type " + std::to_string(type) + ")";
    return false;
  }
  if (!SegmentsWithinFile(bytes, length, data, why)) return false;
  if (!CheckPluginDynamicSection(bytes, length, why)) {
    why = "a damaged shared object (" + why + ")";
    return false;
  }
  return true;
}

bool LoadPluginFromBytes(uint16_t resourceId, const uint8_t* bytes, size_t length) {
  std::string why;
  if (!IsLoadablePluginObject(bytes, length, why)) {
    ReportPluginProblem(resourceId, "refused: " + why);
    return false;
  }
  if (sLoaded == nullptr) new PluginShutDownTask();  // one task closes them all
  auto* plugin = new LoadedPlugin();
  plugin->resourceId = resourceId;
  plugin->next = sLoaded;
  sLoaded = plugin;
  if (!Extract(bytes, length, plugin->path, why)) {
    ReportPluginProblem(resourceId, "refused: " + why);
    return false;
  }
  // The checks above refuse most damage quickly and say where it lies; whatever they miss is
  // met by the system loader in another process, whose failure costs this one nothing.
  if (!TrialLoadPlugin(plugin->path, why)) {
    ReportPluginProblem(resourceId, "refused: " + why);
    return false;
  }
  // RTLD_NODELETE: closing the handle at quit must never unmap code that an object of a
  // plug-in class still alive in exit-time clean-up would run.
  plugin->handle = dlopen(plugin->path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (plugin->handle == nullptr) {
    const char* error = dlerror();
    ReportPluginProblem(resourceId, std::string("refused: cannot load: ") + (error ? error : "unknown error"));
    return false;
  }
  auto main = reinterpret_cast<VornPluginMainFunction>(dlsym(plugin->handle, "VORNPluginMain"));
  if (main == nullptr) {
    ReportPluginProblem(resourceId, "refused: it has no VORNPluginMain");
    return false;
  }
  EnterDeclaredClassRows();
  int32_t result;
  {
    PluginPathScope path(plugin->path);
    SetPluginBeingLoaded(plugin);
    result = main(&VornPluginResolve);
    SetPluginBeingLoaded(nullptr);
  }
  if (result != 0) {
    ReportPluginProblem(resourceId, "failed: VORNPluginMain answered " + std::to_string(result));
    return false;
  }
  return plugin->refusedRegistrations == 0;
}

void LoadImagePlugins() {
  ResourceManager& resources = GetResourceManager();
  int32_t count = resources.GetResourceCount();
  for (int32_t i = 0; i < count; ++i) {
    ResourceEntry entry = resources.GetResourceByIndex(i);
    if (entry.type == kPluginResourceType) LoadPluginFromBytes(entry.id, entry.data, entry.length);
  }
}

LoadedPlugin* LoadedPlugins() { return sLoaded; }

void UnloadPlugins() {
  while (LoadedPlugin* plugin = sLoaded) {
    sLoaded = plugin->next;
    if (plugin->handle) dlclose(plugin->handle);
    // A library that failed to load still leaves its extracted file to delete.
    if (!plugin->path.empty()) std::remove(plugin->path.c_str());
    delete plugin;
  }
  if (!sPrivateFolder.empty()) {
    rmdir(sPrivateFolder.c_str());
    sPrivateFolder.clear();
  }
}

}  // namespace vorn

