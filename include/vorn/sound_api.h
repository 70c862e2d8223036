/*
 * The language's Sound class as compiled code calls it.
 *
 * Every entry point does nothing, or answers 0, false or nil, for a Sound without an
 * implementation. Property accessors take (object, parameter word[, value]); the parameter
 * word is not read. Volume and Pan are the sound device's master volume, shared by all
 * sounds.
 */
#ifndef VORN_SOUND_API_H
#define VORN_SOUND_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A Sound holds its platform implementation in the first field after the header. */
typedef struct VornSoundObject {
  VornRuntimeObject header;
  void *implementation;
} VornSoundObject;

void RuntimeSoundConstructor(VornRuntimeObject *sound);
void RuntimeSoundDestructor(VornRuntimeObject *sound);

/* A new Play or PlayLooping starts the sound over from its beginning. */
void soundPlay(VornRuntimeObject *sound);
void soundStop(VornRuntimeObject *sound);
void soundPlayLooping(VornRuntimeObject *sound);
uint8_t soundIsPlaying(VornRuntimeObject *sound);
/* A new Sound of the same data, volume and pan, not playing. */
VornRuntimeObject *SoundClone(VornRuntimeObject *sound);

/* Pan -100 (left) to 100 (right), Volume 0 to 100; values beyond are taken as the nearest
   end. */
int32_t SoundPanGetter(VornRuntimeObject *sound, int32_t param);
void SoundPanSetter(VornRuntimeObject *sound, int32_t param, int32_t pan);
int32_t SoundVolumeGetter(VornRuntimeObject *sound, int32_t param);
void SoundVolumeSetter(VornRuntimeObject *sound, int32_t param, int32_t volume);

/* The 'WAVE' resource of that id (taken as 16 bits) as a new Sound; nil when missing. */
VornRuntimeObject *RuntimeGetSoundFromResourceManager(int32_t id);

#ifdef __cplusplus
}
#endif

#endif
