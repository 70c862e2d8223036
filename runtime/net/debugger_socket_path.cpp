// Where the local debugger link lives. A fixed name in the shared temporary folder would let
// any user connect to a waiting IDE or stand in for it; a folder only the user can enter
// keeps both ends the user's own.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "net/debugger_connection.h"

namespace vorn {
namespace {

// A real folder (not a link to one), owned by the user, closed to group and others.
bool IsPrivateFolder(const std::string& path) {
  struct stat info{};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
         (info.st_mode & 077) == 0;
}

}  // namespace

std::string DebuggerSocketFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && IsPrivateFolder(runtime)) return runtime;
  const char* temporary = std::getenv("TMPDIR");
  std::string base = temporary && temporary[0] == '/' ? temporary : "/tmp";
  std::string folder = base + "/vorn-debug-" + std::to_string(getuid());
  // mkdir refuses an existing name, so a folder someone else made first fails the check below.
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return IsPrivateFolder(folder) ? folder : std::string();
}

std::string DebuggerSocketPath() {
  std::string folder = DebuggerSocketFolder();
  return folder.empty() ? folder : folder + "/" + kDebuggerSocketName;
}

}  // namespace vorn
