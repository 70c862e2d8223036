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
constexpr int32_t kMixerChannelMax = 255;

int32_t MixerWord(int32_t left, int32_t right) { return left + right * 256; }

int32_t CurrentMixerVolume() {
  const int mixer = OpenMixer();
  int32_t word = 0;
  if (mixer < 0 || !ReadMixerVolume(mixer, &word)) return 0;
  const int32_t left = word & 0xFF;
  const int32_t right = (word >> 8) & 0xFF;
  return std::max(left, right) * kMaxVolume / kMixerChannelMax;
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
  mTask = new SoundBackgroundTask(mFile, mOffset, looping);
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
  const int mixer = OpenMixer();
  if (mixer < 0) return;
  const auto channel = static_cast<int32_t>(mVolume / 100.0 * kMixerChannelMax);
  WriteMixerVolume(mixer, MixerWord(channel, channel));
  CloseMixer();
}

void SoundImpUnix::SetPan(int32_t pan) {
  mPan = std::clamp(pan, -kMaxPan, kMaxPan);
  const int mixer = OpenMixer();
  if (mixer < 0) return;
  const int32_t both = mVolume * 2;
  int32_t left = both;
  int32_t right = both;
  if (mPan < 0) {
    right = (mPan + kMaxPan) * both / kMaxPan;
  } else {
    left = both * (kMaxPan - mPan) / kMaxPan;
  }
  WriteMixerVolume(mixer, MixerWord(left, right));
  CloseMixer();
}

void SoundImpUnix::SetData(FolderItemImp* file, int32_t offset) {
  if (file != mFile) delete mFile;
  mFile = file;
  mOffset = offset;
}

}  // namespace vorn
