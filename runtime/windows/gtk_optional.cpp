// GTK and GDK functions that not every installed GTK 2 has, looked up when first needed.
#include <dlfcn.h>

#include "windows/gtk_helper.h"

namespace vorn {

namespace {

struct OptionalLibrary {
  const char* names[2];
  void* handle;
  bool tried;
};

OptionalLibrary sLibraries[2] = {
    {{"libgtk-x11-2.0.so", "libgtk-x11-2.0.so.0"}, nullptr, false},
    {{"libgdk-x11-2.0.so", "libgdk-x11-2.0.so.0"}, nullptr, false},
};

}  // namespace

void* GetOptionalGtkSymbol(int32_t library, const char* name) {
  if (library < 0 || library > 1 || !name) return nullptr;
  OptionalLibrary& lib = sLibraries[library];
  if (!lib.tried) {
    lib.tried = true;
    // The development link name first; installations without it still have the versioned one.
    for (const char* file : lib.names) {
      lib.handle = dlopen(file, RTLD_LAZY);
      if (lib.handle) break;
    }
  }
  return lib.handle ? dlsym(lib.handle, name) : nullptr;
}

}  // namespace vorn
