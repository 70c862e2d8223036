#include "core/soft_declare.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string_view>
#include <vector>

#include "base/core_assert.h"
#include "core/linker_script.h"
#include "files/data_file.h"
#include "objects/runtime_class.h"
#include "strings/int_map.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

const char* const kLibraryFolders[] = {"/usr/local/lib/", "/usr/lib/"};
// Where the steps that read the file system themselves (links and linker scripts) look.
const char* const kSearchFolders[] = {"/usr/local/lib/", "/usr/lib/", "/lib/"};

struct CachedFunction {
  void* address;
  StringRep* library;  // the library record it was found through
};

// The caches hold a reference to every record they are keyed by: a record that could be freed
// would let a new string at the same address find another declaration's entry.
struct SoftDeclareCaches {
  IntMap<void*> libraries;
  IntMap<CachedFunction> functions;

  ~SoftDeclareCaches() { Clear(); }
  void Clear() {
    libraries.ForEach([](intptr_t key, void*) { ReleaseStringRep(reinterpret_cast<StringRep*>(key)); });
    functions.ForEach([](intptr_t key, const CachedFunction& f) {
      ReleaseStringRep(reinterpret_cast<StringRep*>(key));
      ReleaseStringRep(f.library);
    });
    libraries.Clear();
    functions.Clear();
  }
};

SoftDeclareCaches& Caches() {
  static SoftDeclareCaches caches;
  return caches;
}

intptr_t Key(StringRep* rep) { return reinterpret_cast<intptr_t>(rep); }

std::string Text(StringRep* rep) { return std::string(RepText(rep)); }

void* Load(const std::string& path) { return path.empty() ? nullptr : dlopen(path.c_str(), RTLD_LAZY); }

void* LoadInFolders(const std::string& name) {
  if (void* handle = Load(name)) return handle;
  for (const char* folder : kLibraryFolders) {
    if (void* handle = Load(folder + name)) return handle;
  }
  return nullptr;
}

// The files the link and linker-script steps look at, in order: a name with a slash as given, a
// bare name in the standard folders only, each also with ".so". A bare name is never read
// relative to the working folder: a link or a script planted in the folder the program was
// started from would otherwise be loaded and run.
std::vector<std::string> Candidates(const std::string& name) {
  std::vector<std::string> candidates;
  for (const std::string& base : {name, name + ".so"}) {
    if (base.find('/') != std::string::npos) {
      candidates.push_back(base);
      continue;
    }
    for (const char* folder : kSearchFolders) candidates.push_back(folder + base);
  }
  return candidates;
}

// A relative link target is relative to the link's own folder, not to the working folder.
std::string TargetPath(const std::string& link, const char* target) {
  if (target[0] == '/') return target;
  size_t slash = link.rfind('/');
  return slash == std::string::npos ? std::string(target) : link.substr(0, slash + 1) + target;
}

// Follows the chain of links from `path`, trying each target; `path` is left at the last entry
// looked at, for the linker-script step.
void* LoadThroughLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {  // a loop of links must end
    struct stat info{};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return nullptr;
    char target[1024] = {};
    if (readlink(path.c_str(), target, sizeof target - 1) <= 0) return nullptr;
    path = TargetPath(path, target);
    if (void* handle = Load(path)) return handle;
  }
  return nullptr;
}

// Only a regular file is read as a script: opening a FIFO or a device would wait or worse.
bool IsRegularFile(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void* LoadThroughLinkerScript(const std::string& path) {
  if (!IsRegularFile(path)) return nullptr;
  std::unique_ptr<DataFile> file(NewDataFile());
  if (!file) {
    ReportCoreAssertion("../Universal/SoftDeclare", 364, "df");
    return nullptr;
  }
  if (!file->Open(path.c_str(), kDataFileReadPermission)) return nullptr;
  std::string text(kLinkerScriptReadLimit, '\0');
  int32_t count = 0;
  file->Read(text.data(), static_cast<int32_t>(text.size()), &count);
  file->Close();
  text.resize(count > 0 ? static_cast<size_t>(count) : 0);
  for (const std::string& piece : LinkerScriptPieces(text)) {
    if (void* handle = Load(piece)) return handle;
  }
  return nullptr;
}

}  // namespace

void* OpenSoftLibrary(const std::string& name) {
  if (name.empty()) return nullptr;
  // A bare name goes to the dynamic loader's own search (LD_LIBRARY_PATH, whose empty element is
  // the working folder, then the system's folders); the steps below read only standard folders.
  if (void* handle = LoadInFolders(name)) return handle;
  if (void* handle = LoadInFolders(name + ".so")) return handle;
  for (std::string path : Candidates(name)) {
    if (void* handle = LoadThroughLinks(path)) return handle;
    if (void* handle = LoadThroughLinkerScript(path)) return handle;
  }
  return nullptr;
}

void ClearSoftDeclareCaches() { Caches().Clear(); }

}  // namespace vorn

using namespace vorn;

extern "C" {

void* LoadFunctionPointerFromLibrary(VornStringRecord* functionName, VornStringRecord* libraryName) {
  SoftDeclareCaches& caches = Caches();
  void* handle = nullptr;
  if (!caches.libraries.GetEntry(Key(libraryName), &handle)) {
    handle = OpenSoftLibrary(Text(libraryName));
    RetainStringRep(libraryName);
    caches.libraries.SetEntry(Key(libraryName), handle);
  }
  if (!handle) return nullptr;
  CachedFunction cached{};
  const bool known = caches.functions.GetEntry(Key(functionName), &cached);
  // One function name may be declared in several libraries; an entry answers only for its own.
  if (known && cached.library == libraryName) return cached.address;
  void* address = dlsym(handle, Text(functionName).c_str());
  RetainStringRep(libraryName);
  if (known) {
    ReleaseStringRep(cached.library);  // the entry is replaced; its name record stays held
  } else {
    RetainStringRep(functionName);
  }
  caches.functions.SetEntry(Key(functionName), CachedFunction{address, libraryName});
  return address;
}

uint8_t IsFunctionAvailable(VornRuntimeObject*, VornStringRecord* functionName, VornStringRecord* libraryName) {
  return LoadFunctionPointerFromLibrary(functionName, libraryName) != nullptr ? 1 : 0;
}

}  // extern "C"
