// The language's Sound class over its platform implementation.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/sound_api.h"

namespace vorn {

class FolderItemImp;
class SoundImp;

ObjectDefinition* GetSoundClassDefinition();

// The implementation a Sound holds; nil for nil, for other objects and after destruction.
SoundImp* SoundImpOf(RuntimeObject* sound);
// Hands the Sound its data: `file` (owned by the sound from now on, deleted when the sound
// cannot take it) and the byte offset of the sound in it.
void SoundSetData(RuntimeObject* sound, FolderItemImp* file, int32_t offset);

}  // namespace vorn
