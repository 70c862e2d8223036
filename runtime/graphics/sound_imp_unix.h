// Sounds on this platform: a file and the byte offset of the sound in it, played by a
// background task. Volume and pan scale the sound's own samples; where the OSS device plays,
// they are its mixer's levels instead.
#pragma once

#include <cstdint>

#include "graphics/sound_imp.h"

namespace vorn {

class SoundBackgroundTask;

class SoundImpUnix : public SoundImp {
 public:
  // Not playing, without a file; the volume is the mixer's current one.
  SoundImpUnix();
  // A task still playing is left to finish and delete itself.
  ~SoundImpUnix() override;

  SoundImp* Clone() override;
  // Both do nothing without the decoder library.
  void Play() override;
  void PlayLooping() override;
  bool IsPlaying() override;
  void Stop() override;
  void SetVolume(int32_t volume) override;
  void SetPan(int32_t pan) override;
  int32_t GetVolume() override { return mVolume; }
  int32_t GetPan() override { return mPan; }
  void SetData(FolderItemImp* file, int32_t offset) override;

  // The current playback, finished or not; nil when none.
  SoundBackgroundTask* Task() const { return mTask; }

 private:
  SoundImpUnix(FolderItemImp* file, int32_t offset, int32_t pan, int32_t volume);
  void Start(bool looping);
  // Volume and pan reach the playing samples, or the OSS mixer where that device plays.
  void Apply();

  FolderItemImp* mFile = nullptr;
  int32_t mOffset = 0;
  int32_t mPan = 0;
  int32_t mVolume = 0;
  SoundBackgroundTask* mTask = nullptr;
};

}  // namespace vorn
