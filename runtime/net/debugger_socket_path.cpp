// Where the local debugger link lives. A fixed name in the shared temporary folder would let
// any user connect to a waiting IDE or stand in for it; a folder only the user can enter
// keeps both ends the user's own.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/private_folder.h"
#include "net/debugger_connection.h"

namespace vorn {

std::string DebuggerSocketFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && IsPrivateFolder(runtime)) return runtime;
  const char* temporary = std::getenv("TMPDIR");
  std::string base = temporary && temporary[0] == '/' ? temporary : "/tmp";
  return MakePrivateFolder(base + "/vorn-debug-" + std::to_string(getuid()));
}

std::string DebuggerSocketPath() {
  std::string folder = DebuggerSocketFolder();
  return folder.empty() ? folder : folder + "/" + kDebuggerSocketName;
}

}  // namespace vorn
