// Sound files: told by their first four bytes and handed to the Sound class (a hook of the
// graphics room).
#include <cstring>
#include <memory>

#include "files/folder_item_hooks.h"
#include "files/folder_item_imp_unix.h"
#include "files/random_access_mechanism.h"

namespace vorn {

namespace {

// Whether the file starts as a RIFF (WAVE) or IFF (AIFF) file does.
bool IsSoundFile(FolderItemImpUnix* item) {
  std::unique_ptr<RandomAccessMechanism> store(item->OpenStream(false, false));
  char magic[4];
  int32_t got = 0;
  if (!store || !store->Read(magic, sizeof magic, &got) || got != sizeof magic) return false;
  return memcmp(magic, "RIFF", 4) == 0 || memcmp(magic, "FORM", 4) == 0;
}

}  // namespace

VornRuntimeObject* FolderItemImpUnix::OpenAsSound() {
  // The sound layer opens the file itself and reads it whole.
  if (!IsReadableFile() || !IsSoundFile(this)) return nullptr;
  return SoundFromFile(this);
}

}  // namespace vorn
