#include "graphics/sndfile_loader.h"

namespace vorn {

namespace {

LibraryLoader* sLoader = DynamicLibraryLoader();

bool sFirstCall = true;
bool sAvailable = false;
SndfileFunctions sFunctions = {};

template <typename Function>
void Look(void* library, const char* name, Function* function) {
  if (!FindFunction(sLoader, library, name, function)) sAvailable = false;
}

}  // namespace

bool LoadSndfile() {
  if (!sFirstCall) return sAvailable;
  sFirstCall = false;
  // The unversioned names exist only where the library's development files are installed; the
  // last one is the name every installation of the library has.
  void* library = OpenFirstLibrary(
      sLoader, {"libsndfile.so", "/usr/local/lib/libsndfile.so", "/usr/lib/libsndfile.so",
                "/usr/local/lib/libsndfile.so.1", "/usr/lib/libsndfile.so.1", "libsndfile.so.1"});
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
  sLoader = loader ? loader : DynamicLibraryLoader();
  sFirstCall = true;
  sAvailable = false;
  sFunctions = {};
  return previous;
}

}  // namespace vorn
