// How a library the runtime looks up at run time is opened and its functions found, so that
// tests and in-process stand-ins can take the dynamic loader's place.
#pragma once

#include <initializer_list>

namespace vorn {

class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // A handle for the library file, nil when it cannot be opened.
  virtual void* Open(const char* file) = 0;
  // The function of that name in the opened library, nil when it has none.
  virtual void* Find(void* library, const char* name) = 0;
};

// dlopen (lazy binding) and dlsym.
LibraryLoader* DynamicLibraryLoader();

// The first of the names the loader opens; nil when none does.
void* OpenFirstLibrary(LibraryLoader* loader, std::initializer_list<const char*> names);

// Stores the function of that name; false when the library has none.
template <typename Function>
bool FindFunction(LibraryLoader* loader, void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(loader->Find(library, name));
  return *function != nullptr;
}

}  // namespace vorn
