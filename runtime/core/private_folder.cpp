#include "core/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vorn {

bool IsPrivateFolder(const std::string& path) {
  struct stat info{};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
         (info.st_mode & 077) == 0;
}

std::string MakePrivateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return IsPrivateFolder(path) ? path : std::string();
}

}  // namespace vorn
