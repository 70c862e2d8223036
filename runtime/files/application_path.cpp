// Where the application lives, worked out once from the command line as start-up stored it.
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "base/startup.h"
#include "files/folder_item_imp_unix.h"
#include "files/unix_path_text.h"
#include "strings/text_fields.h"

namespace vorn {

namespace {

std::string WorkingFolder() {
  std::vector<char> buffer(4096);
  if (!getcwd(buffer.data(), buffer.size())) return std::string();
  return std::string(buffer.data());
}

}  // namespace

string ApplicationPathFromArgv0(const char* argv0) {
  if (!argv0) return string();
  std::string_view text(argv0);
  if (!text.empty() && text.front() == '/') return PathString(text, kFileSystemEncoding);
  std::string cwd = WorkingFolder();
  if (cwd.empty()) return string();

  std::unique_ptr<FolderItemImp> item(new FolderItemImpUnix(PathString(cwd, kFileSystemEncoding)));
  std::vector<string> pieces = SplitStringAtChar(PathString(text, kFileSystemEncoding), '/');
  size_t next = 0;
  for (; next < pieces.size(); ++next) {
    std::unique_ptr<FolderItemImp> child(item->GetChild(pieces[next], kResolveAliasFlag));
    if (!child) break;
    item = std::move(child);
  }
  std::string path = PathBytes(item->GetAbsolutePath());
  // A piece that could not be stepped into (its folder is a file, or was moved since) is
  // kept as text, so the path still says what the command line said.
  for (; next < pieces.size(); ++next) {
    if (path.empty() || path.back() != '/') path += '/';
    path += PathBytes(pieces[next]);
  }
  return PathString(path, kFileSystemEncoding);
}

string ApplicationFolderOfPath(const string& applicationPath) {
  std::string bytes = PathBytes(applicationPath);
  if (bytes.empty() || bytes.front() != '/') {
    // Without a path of its own the application lives in the working folder.
    bytes = WorkingFolder();
    if (bytes.empty()) return string("/");
    if (bytes.back() != '/') bytes += '/';
    return PathString(bytes, kFileSystemEncoding);
  }
  FolderItemImpUnix item(applicationPath);
  if (item.IsDirectory()) return item.GetAbsolutePath();
  std::unique_ptr<FolderItemImp> parent(item.GetParent());
  if (!parent) return string("/");
  return parent->GetAbsolutePath();
}

string GetApplicationPath(bool folder) {
  static bool sPathKnown = false;
  static string sPath;
  static bool sFolderKnown = false;
  static string sFolder;
  if (!sPathKnown) {
    sPathKnown = true;
    sPath = ApplicationPathFromArgv0(gArgc > 0 && gArgv ? gArgv[0] : nullptr);
  }
  if (!folder) return sPath;
  if (!sFolderKnown) {
    sFolderKnown = true;
    sFolder = ApplicationFolderOfPath(sPath);
  }
  return sFolder;
}

}  // namespace vorn
