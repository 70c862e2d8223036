#include "graphics/sound_imp_unix.h"

#include <algorithm>

#include "files/folder_item_imp.h"
#include "graphics/audio_device.h"
#include "graphics/sndfile_loader.h"
#include "graphics/sound_background_task.h"

namespace vorn {

namespace {

constexpr int32_t kMaxVolume = 100;
constexpr int32_t kMaxPan = 100;

// Each channel's level runs from 0 to 100 in its byte of the mixer word.
int32_t MixerWord(int32_t left, int32_t right) { return left + right * 256; }

// The OSS mixer only where the OSS device is what plays: elsewhere the mixer, if any, is the
// whole machine's, and a program's sound has no business with it.
int OssMixer() { return DspMissing() ? -1 : OpenMixer(); }

int32_t CurrentMixerVolume() {
  const int mixer = OssMixer();
  // Without the mixer volume is applied to the samples, and a new sound is heard in full.
  if (mixer < 0) return kMaxVolume;
  int32_t word = 0;
  if (!ReadMixerVolume(mixer, &word)) return 0;
  const int32_t left = word & 0xFF;
  const int32_t right = (word >> 8) & 0xFF;
  return std::min(std::max(left, right), kMaxVolume);
}

// Volume and pan as the factors of the two channels: pan lowers the far channel only.
double Gain(int32_t volume, int32_t pan, bool left) {
  const int32_t side = left ? std::max(pan, 0) : -std::min(pan, 0);
  return volume / 100.0 * (kMaxPan - side) / kMaxPan;
}

}  // namespace

SoundImpUnix::SoundImpUnix() : mVolume(CurrentMixerVolume()) {}

SoundImpUnix::SoundImpUnix(FolderItemImp* file, int32_t offset, int32_t pan, int32_t volume)
    : mFile(file), mOffset(offset), mPan(pan), mVolume(volume) {}

SoundImpUnix::~SoundImpUnix() {
  // A sound played once may finish on its own; a looping one would play on with nothing left
  // that could stop it, so it stops with its object.
  if (mTask && mTask->IsPlaying() && !mTask->IsLooping()) {
    mTask->SetSelfDelete();
  } else {
    delete mTask;
  }
  delete mFile;
}

SoundImp* SoundImpUnix::Clone() {
  return new SoundImpUnix(mFile ? mFile->Clone() : nullptr, mOffset, mPan, mVolume);
}

void SoundImpUnix::Start(bool looping) {
  if (!LoadSndfile()) return;
  Stop();
  mTask = new SoundBackgroundTask(mFile, mOffset, looping, Gain(mVolume, mPan, true), Gain(mVolume, mPan, false));
}

void SoundImpUnix::Apply() {
  if (mTask) mTask->SetGains(Gain(mVolume, mPan, true), Gain(mVolume, mPan, false));
  const int mixer = OssMixer();
  if (mixer < 0) return;
  WriteMixerVolume(mixer, MixerWord(static_cast<int32_t>(Gain(mVolume, mPan, true) * kMaxVolume + 0.5),
                                    static_cast<int32_t>(Gain(mVolume, mPan, false) * kMaxVolume + 0.5)));
  CloseMixer();
}

void SoundImpUnix::Play() { Start(false); }

void SoundImpUnix::PlayLooping() { Start(true); }

bool SoundImpUnix::IsPlaying() { return mTask && mTask->IsPlaying(); }

void SoundImpUnix::Stop() {
  delete mTask;
  mTask = nullptr;
}

void SoundImpUnix::SetVolume(int32_t volume) {
  // Nothing below 0 either: a negative channel would spill into the other one's byte.
  mVolume = std::clamp(volume, 0, kMaxVolume);
  Apply();
}

void SoundImpUnix::SetPan(int32_t pan) {
  mPan = std::clamp(pan, -kMaxPan, kMaxPan);
  Apply();
}

void SoundImpUnix::SetData(FolderItemImp* file, int32_t offset) {
  if (file != mFile) delete mFile;
  mFile = file;
  mOffset = offset;
}

}  // namespace vorn
