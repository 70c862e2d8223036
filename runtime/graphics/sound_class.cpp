#include "graphics/sound_class.h"

#include <algorithm>

#include "files/folder_item_imp.h"
#include "graphics/sound_imp_unix.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

using SoundObject = VornSoundObject;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define SOUND_METHOD(name, result, function) \
  {name, result, nullptr, 0, Fn(&function), #function, nullptr, nullptr, 0, 0}
#define SOUND_PROPERTY(name, getter, setter) \
  {0, name, "i4", Fn(&getter), #getter, Fn(&setter), #setter, 0, 0}

const PropertyRow kSoundProperties[] = {
    SOUND_PROPERTY("Pan", SoundPanGetter, SoundPanSetter),
    SOUND_PROPERTY("Volume", SoundVolumeGetter, SoundVolumeSetter),
};

const MethodRow kSoundMethods[] = {
    SOUND_METHOD("Play", "", soundPlay),
    SOUND_METHOD("Stop", "", soundStop),
    SOUND_METHOD("PlayLooping", "", soundPlayLooping),
    SOUND_METHOD("IsPlaying", "b", soundIsPlaying),
    SOUND_METHOD("Clone", "o<Sound>", SoundClone),
};

#undef SOUND_METHOD
#undef SOUND_PROPERTY

ObjectDefinition* BuildSoundDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Sound");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(SoundObject));
  definition->mInitializer = {Fn(&RuntimeSoundConstructor), "RuntimeSoundConstructor"};
  definition->mFinalizer = {Fn(&RuntimeSoundDestructor), "RuntimeSoundDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kSoundProperties, RowCount(kSoundProperties)));
  SetMethodList(definition, kSoundMethods, RowCount(kSoundMethods));
  return definition;
}

SoundImp*& ImplementationField(RuntimeObject* sound) {
  return reinterpret_cast<SoundImp*&>(reinterpret_cast<SoundObject*>(sound)->implementation);
}

SoundImp* Imp(RuntimeObject* sound) { return sound ? ImplementationField(sound) : nullptr; }

}  // namespace

ObjectDefinition* GetSoundClassDefinition() {
  static ObjectDefinition* definition = BuildSoundDefinition();
  return definition;
}

SoundImp* SoundImpOf(RuntimeObject* sound) {
  if (!sound || !RuntimeObjectIsaDefinition(sound, GetSoundClassDefinition())) return nullptr;
  return ImplementationField(sound);
}

void SoundSetData(RuntimeObject* sound, FolderItemImp* file, int32_t offset) {
  SoundImp* imp = SoundImpOf(sound);
  if (!imp) {
    delete file;
    return;
  }
  imp->SetData(file, offset);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void RuntimeSoundConstructor(VornRuntimeObject* sound) {
  if (sound) ImplementationField(sound) = new SoundImpUnix();
}

void RuntimeSoundDestructor(VornRuntimeObject* sound) {
  if (!sound) return;
  delete ImplementationField(sound);
  ImplementationField(sound) = nullptr;
}

void soundPlay(VornRuntimeObject* sound) {
  if (SoundImp* imp = Imp(sound)) imp->Play();
}

void soundStop(VornRuntimeObject* sound) {
  if (SoundImp* imp = Imp(sound)) imp->Stop();
}

void soundPlayLooping(VornRuntimeObject* sound) {
  if (SoundImp* imp = Imp(sound)) imp->PlayLooping();
}

uint8_t soundIsPlaying(VornRuntimeObject* sound) {
  SoundImp* imp = Imp(sound);
  return imp && imp->IsPlaying() ? 1 : 0;
}

VornRuntimeObject* SoundClone(VornRuntimeObject* sound) {
  SoundImp* imp = Imp(sound);
  if (!imp) return nullptr;
  RuntimeObject* copy = CreateInstanceFromDefinition(GetSoundClassDefinition());
  if (!copy) return nullptr;
  delete ImplementationField(copy);
  ImplementationField(copy) = imp->Clone();
  return copy;
}

int32_t SoundPanGetter(VornRuntimeObject* sound, int32_t) {
  SoundImp* imp = Imp(sound);
  return imp ? imp->GetPan() : 0;
}

void SoundPanSetter(VornRuntimeObject* sound, int32_t, int32_t pan) {
  if (SoundImp* imp = Imp(sound)) imp->SetPan(std::clamp(pan, -100, 100));
}

int32_t SoundVolumeGetter(VornRuntimeObject* sound, int32_t) {
  SoundImp* imp = Imp(sound);
  return imp ? imp->GetVolume() : 0;
}

void SoundVolumeSetter(VornRuntimeObject* sound, int32_t, int32_t volume) {
  if (SoundImp* imp = Imp(sound)) imp->SetVolume(std::clamp(volume, 0, 100));
}

}  // extern "C"
