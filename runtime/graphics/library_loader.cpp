#include "graphics/library_loader.h"

#include <dlfcn.h>

namespace vorn {

namespace {

class DynamicLoader : public LibraryLoader {
 public:
  void* Open(const char* file) override { return dlopen(file, RTLD_LAZY); }
  void* Find(void* library, const char* name) override { return dlsym(library, name); }
};

}  // namespace

LibraryLoader* DynamicLibraryLoader() {
  static DynamicLoader loader;
  return &loader;
}

void* OpenFirstLibrary(LibraryLoader* loader, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (void* library = loader->Open(name)) return library;
  }
  return nullptr;
}

}  // namespace vorn
