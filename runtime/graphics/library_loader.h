// How a library the runtime looks up at run time is opened and its functions found, so that
// tests and in-process stand-ins can take the dynamic loader's place.
#pragma once

namespace vorn {

class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // A handle for the library file, nil when it cannot be opened.
  virtual void* Open(const char* file) = 0;
  // The function of that name in the opened library, nil when it has none.
  virtual void* Find(void* library, const char* name) = 0;
};

}  // namespace vorn
