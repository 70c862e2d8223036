// One playback of a sound: decodes the file a block at a time and hands the samples to the
// audio device, one block every tick. Where there is no OSS device it plays through ALSA's
// shared stream instead, keeping about a tenth of a second queued and never waiting.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/background_task.h"
#include "graphics/sndfile_loader.h"
#include "graphics/sound_convert.h"

namespace vorn {

class FolderItemImp;

class SoundBackgroundTask : public BackgroundTask {
 public:
  // Samples handed to the device per tick, all channels together.
  static constexpr int32_t kBlockSamples = 4096;

  // Opens the file (nil: none) from `offset` on and the device; when one of them fails the
  // task stays idle and never plays. The task keeps nothing of `file` but what it opened. The
  // gains are those of SetGains, given here for the first samples.
  SoundBackgroundTask(FolderItemImp* file, int32_t offset, bool looping, double leftGain = 1.0,
                      double rightGain = 1.0);
  ~SoundBackgroundTask() override;

  void Run() override;

  bool IsPlaying() const { return mPlaying; }
  // Whether the samples go to ALSA's stream (and volume and pan are applied to them here).
  bool PlaysThroughAlsa() const { return mAlsaSource >= 0; }
  // What each channel of the sound is multiplied by on its way to ALSA's stream.
  void SetGains(double left, double right);
  bool IsLooping() const { return mLooping; }
  // The task deletes itself when the playback ends.
  void SetSelfDelete() { mSelfDelete = true; }

 private:
  void Open(const std::string& path, int32_t offset);
  // Samples of the next block in the transfer buffer of 16-bit samples; 0 at the end.
  int64_t ReadBlock();
  void Close();
  // Ends the playback; the task may be gone afterwards.
  void Finish();
  // Queues blocks until a tenth of a second waits, then feeds the stream.
  void RunAlsa();
  // Samples of the block just read, in the output's format.
  const int16_t* Converted(int64_t count, size_t* converted);

  int mDsp = -1;
  bool mSelfDelete = false;
  FILE* mStream = nullptr;
  bool mPlaying = false;
  bool mLooping;
  SndfileHandle* mHandle = nullptr;
  int32_t mSubtype = 0;
  // Whole frames per block, so that every read asks for a whole number of frames.
  int64_t mBlockSamples = kBlockSamples;
  // Brings floating-point samples to the 16-bit range, from the file's peak.
  double mFloatScale = 1.0;
  // Present when the device was set up by another sound for another format.
  std::unique_ptr<FrameConverter> mConverter;
  std::vector<int16_t> mConverted;
  std::vector<int16_t> mScaled;
  int32_t mAlsaSource = -1;
  double mGainLeft = 1.0;
  double mGainRight = 1.0;
  bool mInputEnded = false;
};

}  // namespace vorn
