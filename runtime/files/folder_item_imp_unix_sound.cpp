// Sound files: told by their first four bytes and handed to the Sound class (a hook of the
// graphics room).
#include <cstdio>
#include <cstring>
#include <string>

#include "files/folder_item_hooks.h"
#include "files/folder_item_imp_unix.h"

namespace vorn {

namespace {

// Whether the file starts as a RIFF (WAVE) or IFF (AIFF) file does.
bool IsSoundFile(const std::string& path) {
  if (path.empty()) return false;
  FILE* stream = fopen(path.c_str(), "rb");
  if (!stream) return false;
  char magic[4];
  const bool whole = fread(magic, 1, sizeof magic, stream) == sizeof magic;
  fclose(stream);
  return whole && (memcmp(magic, "RIFF", 4) == 0 || memcmp(magic, "FORM", 4) == 0);
}

}  // namespace

VornRuntimeObject* FolderItemImpUnix::OpenAsSound() {
  if (!IsSoundFile(SysPath())) return nullptr;
  return SoundFromFile(this);
}

}  // namespace vorn
