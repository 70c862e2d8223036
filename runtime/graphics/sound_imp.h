// What a language Sound object holds: one platform's way of playing a sound file.
#pragma once

#include <cstdint>

namespace vorn {

class FolderItemImp;

class SoundImp {
 public:
  SoundImp() = default;
  SoundImp(const SoundImp&) = delete;
  SoundImp& operator=(const SoundImp&) = delete;
  virtual ~SoundImp() = default;

  // A new implementation for the same sound, not playing; owned by the caller.
  virtual SoundImp* Clone() = 0;
  virtual void Play() = 0;
  virtual void PlayLooping() = 0;
  virtual bool IsPlaying() = 0;
  virtual void Stop() = 0;
  virtual void SetVolume(int32_t) {}
  virtual void SetPan(int32_t) {}
  virtual int32_t GetVolume() { return 100; }
  virtual int32_t GetPan() { return 0; }
  // Takes over `file` (which may be nil) in place of the file held so far; the sound's data
  // starts `offset` bytes into it.
  virtual void SetData(FolderItemImp* file, int32_t offset) = 0;
};

}  // namespace vorn
