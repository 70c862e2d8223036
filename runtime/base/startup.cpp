#include "base/startup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace vorn {

int32_t gArgc = 0;
char** gArgv = nullptr;

namespace {

string& DialogFontName() {
  static auto* name = new string();
  return *name;
}

int16_t sDialogFontSize = 0;

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

std::string KernelExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  std::string path(buffer, static_cast<size_t>(length));
  // A file replaced while running is reported with " (deleted)" and cannot be read back.
  return IsExecutableFile(path) ? path : std::string();
}

}  // namespace

void StoreCommandLine(int argc, char** argv) {
  gArgc = argc;
  gArgv = argv;
}

void InitDialogFont() {
  DialogFontName() = string("System");
  sDialogFontSize = 12;
}

const string& GetDialogFontName() { return DialogFontName(); }
int16_t GetDialogFontSize() { return sDialogFontSize; }

std::string SearchPathForCommand(const char* command, const char* searchPath) {
  if (command == nullptr || *command == '\0' || std::strchr(command, '/')) return {};
  std::string_view dirs = searchPath ? searchPath : "";
  while (true) {
    size_t colon = dirs.find(':');
    std::string_view dir = dirs.substr(0, colon);
    std::string candidate = dir.empty() ? std::string(".") : std::string(dir);
    candidate += '/';
    candidate += command;
    if (IsExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) return {};
    dirs.remove_prefix(colon + 1);
  }
}

std::string FindExecutablePath(const char* argv0) {
  std::string path = KernelExecutablePath();
  if (!path.empty()) return path;
  if (argv0 && std::strchr(argv0, '/')) return argv0;
  return SearchPathForCommand(argv0, std::getenv("PATH"));
}

}  // namespace vorn
