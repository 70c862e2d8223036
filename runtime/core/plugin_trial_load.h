// A plug-in library is loaded first by another process: a new copy of this executable that
// does nothing else. The system loader trusts what it reads (program headers, relocations,
// version and hash tables, constructor tables); whatever damage makes it fault or stop ends
// only that copy, and the library is refused instead of ending the program.
#pragma once

#include <string>

namespace vorn {

// Whether a separate process loaded the library at `path` with all its relocations bound
// (RTLD_NOW), ran its constructors, found VORNPluginMain, then closed it and ran its
// destructors. False with the reason in `why`: what the loader said when it answered, or how
// the process ended when it did not; a library is refused too when no such process can start.
bool TrialLoadPlugin(const std::string& path, std::string& why);

}  // namespace vorn
