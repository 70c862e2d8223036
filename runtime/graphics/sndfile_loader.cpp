#include "graphics/sndfile_loader.h"

#include <dlfcn.h>

namespace vorn {

namespace {

class DynamicLoader : public LibraryLoader {
 public:
  void* Open(const char* file) override { return dlopen(file, RTLD_LAZY); }
  void* Find(void* library, const char* name) override { return dlsym(library, name); }
};

DynamicLoader sDynamicLoader;
LibraryLoader* sLoader = &sDynamicLoader;

bool sFirstCall = true;
bool sAvailable = false;
SndfileFunctions sFunctions = {};

// The unversioned names exist only where the library's development files are installed; the
// last one is the name every installation of the library has.
constexpr const char* kLibraryNames[] = {
    "libsndfile.so",           "/usr/local/lib/libsndfile.so",   "/usr/lib/libsndfile.so",
    "/usr/local/lib/libsndfile.so.1", "/usr/lib/libsndfile.so.1", "libsndfile.so.1",
};

template <typename Function>
void Look(void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(sLoader->Find(library, name));
  if (!*function) sAvailable = false;
}

}  // namespace

bool LoadSndfile() {
  if (!sFirstCall) return sAvailable;
  sFirstCall = false;
  void* library = nullptr;
  for (const char* name : kLibraryNames) {
    library = sLoader->Open(name);
    if (library) break;
  }
  if (!library) return false;
  sAvailable = true;
  Look(library, "sf_open_fd", &sFunctions.sf_open_fd);
  Look(library, "sf_close", &sFunctions.sf_close);
  Look(library, "sf_command", &sFunctions.sf_command);
  Look(library, "sf_seek", &sFunctions.sf_seek);
  Look(library, "sf_read_float", &sFunctions.sf_read_float);
  Look(library, "sf_read_short", &sFunctions.sf_read_short);
  return sAvailable;
}

const SndfileFunctions& Sndfile() { return sFunctions; }

LibraryLoader* SetSndfileLibraryLoader(LibraryLoader* loader) {
  LibraryLoader* previous = sLoader;
  sLoader = loader ? loader : &sDynamicLoader;
  sFirstCall = true;
  sAvailable = false;
  sFunctions = {};
  return previous;
}

}  // namespace vorn
