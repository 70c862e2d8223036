#include "graphics/sound_background_task.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "files/folder_item_imp.h"
#include "files/unix_path_text.h"
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

SoundBackgroundTask::SoundBackgroundTask(FolderItemImp* file, int32_t offset, bool looping)
    : BackgroundTask(kPeriodTicks), mLooping(looping) {
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
  if (mDsp < 0) return;
  FrameConverter converter(info.channels, info.samplerate, DspChannels(), DspRate());
  if (!converter.Identity()) mConverter = std::make_unique<FrameConverter>(converter);
  if (IsFloatSubtype(mSubtype)) {
    // The peak is the whole file's: reckoned once rather than on every block.
    double peak = 0.0;
    Sndfile().sf_command(mHandle, kSndfileCalcSignalMax, &peak, sizeof peak);
    if (peak >= kSmallestPeak) mFloatScale = kFloatPeak / peak;
  }
  mPlaying = true;
}

int64_t SoundBackgroundTask::ReadBlock() {
  if (!IsFloatSubtype(mSubtype)) return Sndfile().sf_read_short(mHandle, sShortBuffer, mBlockSamples);
  const int64_t count = Sndfile().sf_read_float(mHandle, sFloatBuffer, mBlockSamples);
  for (int64_t i = 0; i < count; ++i) sShortBuffer[i] = ToSample(sFloatBuffer[i] * mFloatScale);
  return count;
}

void SoundBackgroundTask::Run() {
  if (!mPlaying) return;
  const int64_t count = ReadBlock();
  if (count > 0) {
    const int16_t* samples = sShortBuffer;
    size_t written = static_cast<size_t>(count);
    if (mConverter) {
      mConverter->Convert(sShortBuffer, count, &mConverted);
      samples = mConverted.data();
      written = mConverted.size();
    }
    if (written > 0 && !WriteDsp(mDsp, samples, written * sizeof(int16_t))) Finish();
    return;
  }
  if (mLooping && count == 0 && Sndfile().sf_seek(mHandle, 0, SEEK_SET) == 0) return;
  Finish();
}

void SoundBackgroundTask::Close() {
  if (mDsp >= 0) CloseDsp();
  mDsp = -1;
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
