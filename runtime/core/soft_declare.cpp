#include "core/soft_declare.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string_view>

#include "base/core_assert.h"
#include "core/linker_script.h"
#include "files/data_file.h"
#include "objects/runtime_class.h"
#include "strings/int_map.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

const char* const kLibraryFolders[] = {"/usr/local/lib/", "/usr/lib/"};
const char* const kScriptFolders[] = {"", "/usr/local/lib/", "/usr/lib/", "/lib/"};

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

// Follows symbolic links from `name` (or name + ".so"), trying each target; on failure `name`
// is left as the last name looked at, for the linker-script step.
void* LoadThroughLinks(std::string& name) {
  for (int hops = 0; hops < 40; ++hops) {  // a loop of links must end
    struct stat info{};
    if (lstat(name.c_str(), &info) != 0) {
      name += ".so";
      if (lstat(name.c_str(), &info) != 0) return nullptr;
    }
    if (!S_ISLNK(info.st_mode)) return nullptr;
    char target[1024] = {};
    if (readlink(name.c_str(), target, sizeof target - 1) < 0) return nullptr;
    name = target;
    if (void* handle = Load(name)) return handle;
  }
  return nullptr;
}

std::unique_ptr<DataFile> OpenScript(const std::string& name) {
  for (const std::string& base : {name, name + ".so"}) {
    for (const char* folder : kScriptFolders) {
      std::unique_ptr<DataFile> file(NewDataFile());
      if (!file) {
        ReportCoreAssertion("../Universal/SoftDeclare", 364, "df");
        return nullptr;
      }
      if (file->Open((folder + base).c_str(), kDataFileReadPermission)) return file;
    }
  }
  return nullptr;
}

void* LoadThroughLinkerScript(const std::string& name) {
  std::unique_ptr<DataFile> file = OpenScript(name);
  if (!file) return nullptr;
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
  if (void* handle = LoadInFolders(name)) return handle;
  if (void* handle = LoadInFolders(name + ".so")) return handle;
  std::string working = name;
  if (void* handle = LoadThroughLinks(working)) return handle;
  return LoadThroughLinkerScript(working);
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
