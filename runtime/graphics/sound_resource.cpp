// Sounds from the application's 'WAVE' resources.
#include <memory>
#include <optional>

#include "base/resource_manager.h"
#include "files/folder_item_imp_unix.h"
#include "files/random_access_mechanism.h"
#include "files/temporary_items.h"
#include "graphics/sound_class.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

// A temporary file (deleted when the program ends) holding the bytes; nil when none can be
// written.
FolderItemImp* TemporaryCopy(const uint8_t* data, uint32_t length) {
  if (length > 0x7FFFFFFFu) return nullptr;
  std::unique_ptr<FolderItemImp> item(NewTemporaryItemImp());
  if (!item) return nullptr;
  std::unique_ptr<RandomAccessMechanism> store(item->CreateStream(string("WAVE")));
  if (!store) return nullptr;
  const bool written = store->Write(data, static_cast<int32_t>(length));
  if (!store->Close() || !written) return nullptr;
  return item.release();
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" VornRuntimeObject* RuntimeGetSoundFromResourceManager(int32_t id) {
  std::optional<SoundSource> source = GetResourceManager().GetSoundResource(static_cast<uint16_t>(id));
  if (!source) return nullptr;
  RuntimeObject* sound = CreateInstanceFromDefinition(GetSoundClassDefinition());
  if (!sound) return nullptr;
  if (FolderItemImp* copy = TemporaryCopy(source->data, source->length)) {
    SoundSetData(sound, copy, 0);
  } else {
    // The bytes are in the executable too, where the loader found them.
    SoundSetData(sound, NewApplicationFolderItemImp(), static_cast<int32_t>(source->fileOffset));
  }
  return sound;
}
