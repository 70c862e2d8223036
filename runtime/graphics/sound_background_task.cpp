#include "graphics/sound_background_task.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "files/folder_item_imp.h"
#include "files/unix_path_text.h"
#include "graphics/alsa_output.h"
#include "graphics/audio_device.h"

namespace vorn {

namespace {

constexpr int32_t kPeriodTicks = 1;
constexpr double kFloatPeak = 32700.0;
constexpr double kSmallestPeak = 1e-10;

// Every playback runs on the main thread and empties them within one run, so one pair serves
// them all.
int16_t sShortBuffer[SoundBackgroundTask::kBlockSamples];
float sFloatBuffer[SoundBackgroundTask::kBlockSamples];

// A damaged file may hold infinities or NaN; those must not reach the integer conversion.
int16_t ToSample(double value) {
  if (std::isnan(value)) return 0;
  if (value >= std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
  if (value <= std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
  return static_cast<int16_t>(std::lround(value));
}

bool IsFloatSubtype(int32_t subtype) { return subtype == kSndfileFormatFloat || subtype == kSndfileFormatDouble; }

}  // namespace

SoundBackgroundTask::SoundBackgroundTask(FolderItemImp* file, int32_t offset, bool looping, double leftGain,
                                         double rightGain)
    : BackgroundTask(kPeriodTicks), mLooping(looping), mGainLeft(leftGain), mGainRight(rightGain) {
  if (!file) return;
  const std::string path = PathBytes(file->GetAbsolutePath());
  if (path.empty() || HasNulByte(path)) return;
  Open(path, offset);
  // An idle task holds on to nothing.
  if (!mPlaying) Close();
}

SoundBackgroundTask::~SoundBackgroundTask() { Close(); }

void SoundBackgroundTask::Open(const std::string& path, int32_t offset) {
  mStream = fopen(path.c_str(), "rb");
  if (!mStream) return;
  // The decoder takes the descriptor's position as the start of the sound.
  if (fseek(mStream, offset, SEEK_SET) != 0) return;
  SndfileInfo info = {};
  mHandle = Sndfile().sf_open_fd(fileno(mStream), kSndfileModeRead, &info, 0);
  if (!mHandle) return;
  if (info.channels <= 0 || info.channels > kBlockSamples) return;
  mBlockSamples = kBlockSamples - kBlockSamples % info.channels;
  mDsp = OpenDsp(info.channels, info.samplerate);
  mSubtype = info.format & kSndfileSubtypeMask;
  if (mDsp < 0) mAlsaSource = OpenAlsaSource(info.samplerate);
  if (mDsp < 0 && mAlsaSource < 0) return;
  FrameConverter converter(info.channels, info.samplerate, mDsp >= 0 ? DspChannels() : kAlsaChannels,
                           mDsp >= 0 ? DspRate() : AlsaRate());
  if (!converter.Identity()) mConverter = std::make_unique<FrameConverter>(converter);
  if (IsFloatSubtype(mSubtype)) {
    // The peak is the whole file's: reckoned once rather than on every block.
    double peak = 0.0;
    Sndfile().sf_command(mHandle, kSndfileCalcSignalMax, &peak, sizeof peak);
    if (peak >= kSmallestPeak) mFloatScale = kFloatPeak / peak;
  }
  mPlaying = true;
  // The first samples reach the stream now rather than a tick later.
  if (mAlsaSource >= 0) RunAlsa();
}

void SoundBackgroundTask::SetGains(double left, double right) {
  mGainLeft = left;
  mGainRight = right;
}

const int16_t* SoundBackgroundTask::Converted(int64_t count, size_t* converted) {
  *converted = static_cast<size_t>(count);
  if (!mConverter) return sShortBuffer;
  mConverter->Convert(sShortBuffer, count, &mConverted);
  *converted = mConverted.size();
  return mConverted.data();
}

int64_t SoundBackgroundTask::ReadBlock() {
  if (!IsFloatSubtype(mSubtype)) return Sndfile().sf_read_short(mHandle, sShortBuffer, mBlockSamples);
  const int64_t count = Sndfile().sf_read_float(mHandle, sFloatBuffer, mBlockSamples);
  for (int64_t i = 0; i < count; ++i) sShortBuffer[i] = ToSample(sFloatBuffer[i] * mFloatScale);
  return count;
}

void SoundBackgroundTask::Run() {
  if (!mPlaying) return;
  if (mAlsaSource >= 0) {
    RunAlsa();
    return;
  }
  const int64_t count = ReadBlock();
  if (count > 0) {
    size_t written = 0;
    const int16_t* samples = Converted(count, &written);
    if (written > 0 && !WriteDsp(mDsp, samples, written * sizeof(int16_t))) Finish();
    return;
  }
  if (mLooping && count == 0 && Sndfile().sf_seek(mHandle, 0, SEEK_SET) == 0) return;
  Finish();
}

void SoundBackgroundTask::RunAlsa() {
  const size_t enough = static_cast<size_t>(AlsaRate()) / 10;
  // A looping sound without a single frame would otherwise start over for ever.
  bool rewound = false;
  while (!mInputEnded && AlsaPendingFrames(mAlsaSource) < enough) {
    const int64_t count = ReadBlock();
    if (count > 0) {
      rewound = false;
      size_t converted = 0;
      const int16_t* samples = Converted(count, &converted);
      mScaled.resize(converted);
      for (size_t i = 0; i + 1 < converted; i += kAlsaChannels) {
        mScaled[i] = ToSample(samples[i] * mGainLeft);
        mScaled[i + 1] = ToSample(samples[i + 1] * mGainRight);
      }
      QueueAlsaSamples(mAlsaSource, mScaled.data(), converted);
    } else if (mLooping && count == 0 && !rewound && Sndfile().sf_seek(mHandle, 0, SEEK_SET) == 0) {
      rewound = true;
    } else {
      mInputEnded = true;
      EndAlsaSource(mAlsaSource);
    }
  }
  if (!PumpAlsa()) {
    Finish();
    return;
  }
  // The last sound keeps playing until the stream has played its end; one among others ends
  // when its own frames are all handed over.
  if (mInputEnded && AlsaPendingFrames(mAlsaSource) == 0 && (AlsaSourceCount() > 1 || AlsaDrained())) Finish();
}

void SoundBackgroundTask::Close() {
  if (mDsp >= 0) CloseDsp();
  mDsp = -1;
  if (mAlsaSource >= 0) CloseAlsaSource(mAlsaSource);
  mAlsaSource = -1;
  if (mHandle) Sndfile().sf_close(mHandle);
  mHandle = nullptr;
  if (mStream) fclose(mStream);
  mStream = nullptr;
}

void SoundBackgroundTask::Finish() {
  mPlaying = false;
  Close();
  if (mSelfDelete) delete this;
}

}  // namespace vorn
