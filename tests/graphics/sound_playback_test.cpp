// Playing sound files: what the device receives, tick by tick, decoded by the real library.
#include <gtest/gtest.h>
#include <linux/soundcard.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <numeric>

#include "base/background_task.h"
#include "base/ticks.h"
#include "graphics/sound_background_task.h"
#include "graphics/sound_class.h"
#include "graphics/support/sound_support.h"
#include "vorn/sound_api.h"

namespace vorn::test {
namespace {

constexpr int32_t kBlock = SoundBackgroundTask::kBlockSamples;

// Distinct samples, so that a repeated or skipped block shows.
std::vector<int16_t> Ramp(size_t count) {
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(i * 7 - 20000);
  return samples;
}

class SoundPlaybackTest : public SoundTest {
 protected:
  RuntimeObject* PcmSound(const std::vector<int16_t>& samples, int32_t channels = 2) {
    return NewSound(WriteTestFile(PcmWave(channels, 22050, samples), "pcm.wav"));
  }
};

TEST_F(SoundPlaybackTest, PlaysEveryBlockOnceThenClosesTheDevice) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Ramp(2 * kBlock + 100);
  RuntimeObject* sound = PcmSound(samples);
  soundPlay(sound);
  EXPECT_EQ(soundIsPlaying(sound), 1);
  EXPECT_EQ(audio->requests[3], (std::pair<unsigned long, int>{SNDCTL_DSP_CHANNELS, 2}));
  EXPECT_EQ(audio->requests[4], (std::pair<unsigned long, int>{SNDCTL_DSP_SPEED, 22050}));

  Tick(sound);
  EXPECT_EQ(audio->samples.size(), static_cast<size_t>(kBlock));
  EXPECT_EQ(PlayToEnd(sound), 2);
  EXPECT_EQ(audio->samples, samples);
  EXPECT_EQ(soundIsPlaying(sound), 0);
  EXPECT_EQ(DspUseCount(), 0);
  EXPECT_EQ(audio->closed, std::vector<int>{FakeAudio::kDsp});
}

TEST_F(SoundPlaybackTest, PlayAgainStartsOverFromTheBeginning) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Ramp(3 * kBlock);
  RuntimeObject* sound = PcmSound(samples);
  soundPlay(sound);
  Tick(sound);
  Tick(sound);
  soundPlay(sound);
  EXPECT_EQ(DspUseCount(), 1);
  Tick(sound);
  std::vector<int16_t> expected(samples.begin(), samples.begin() + 2 * kBlock);
  expected.insert(expected.end(), samples.begin(), samples.begin() + kBlock);
  EXPECT_EQ(audio->samples, expected);

  soundStop(sound);
  EXPECT_EQ(soundIsPlaying(sound), 0);
  EXPECT_EQ(DspUseCount(), 0);
}

TEST_F(SoundPlaybackTest, LoopingStartsOverAtTheEndUntilStopped) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = {100, -100, 200, -200};
  RuntimeObject* sound = PcmSound(samples);
  soundPlayLooping(sound);
  for (int i = 0; i < 5; ++i) Tick(sound);  // data, end, data, end, data
  std::vector<int16_t> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), samples.begin(), samples.end());
  EXPECT_EQ(audio->samples, expected);
  EXPECT_EQ(soundIsPlaying(sound), 1);
  soundStop(sound);
  EXPECT_EQ(DspUseCount(), 0);
}

TEST_F(SoundPlaybackTest, FloatSamplesAreScaledByTheFilePeak) {
  SKIP_WITHOUT_SNDFILE();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    std::vector<float> samples;
    std::vector<int16_t> expected;
  };
  const Case cases[] = {
      {{0.5f, -0.25f, 0.125f, 0.0f}, {32700, -16350, 8175, 0}},  // scaled by 65400
      {{0.0f, 0.0f}, {0, 0}},                                      // silence has no peak to scale by
      {{nan, 0.5f, -0.25f, nan}, {0, 32700, -16350, 0}},           // damaged samples play as silence
  };
  for (const Case& c : cases) {
    audio->samples.clear();
    RuntimeObject* sound = NewSound(WriteTestFile(FloatWave(1, 8000, c.samples), "float.wav"));
    soundPlay(sound);
    PlayToEnd(sound);
    EXPECT_EQ(audio->samples, c.expected);
  }
}

TEST_F(SoundPlaybackTest, BlocksHoldWholeFramesOfEveryChannel) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Ramp(3 * 2000);
  RuntimeObject* sound = PcmSound(samples, 3);
  soundPlay(sound);
  Tick(sound);
  EXPECT_EQ(audio->samples.size(), static_cast<size_t>(kBlock - kBlock % 3));
  PlayToEnd(sound);
  EXPECT_EQ(audio->samples, samples);
}

TEST_F(SoundPlaybackTest, SoundStartsAtItsOffsetInTheFile) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Ramp(500);
  std::vector<uint8_t> bytes(1234, 0x5A);
  const std::vector<uint8_t> wave = PcmWave(1, 11025, samples);
  bytes.insert(bytes.end(), wave.begin(), wave.end());
  RuntimeObject* sound = NewSound(WriteTestFile(bytes, "embedded.bin"), 1234);
  soundPlay(sound);
  PlayToEnd(sound);
  EXPECT_EQ(audio->samples, samples);
}

TEST_F(SoundPlaybackTest, SoundsPlayingTogetherShareTheDeviceInItsFormat) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> mono = Ramp(8);
  RuntimeObject* first = PcmSound(Ramp(10));
  RuntimeObject* second = NewSound(WriteTestFile(PcmWave(1, 8000, mono), "second.wav"));
  soundPlay(first);
  soundPlay(second);
  EXPECT_EQ(DspUseCount(), 2);
  EXPECT_EQ(std::count(audio->opened.begin(), audio->opened.end(), "/dev/dsp"), 1);
  PlayToEnd(first);
  EXPECT_EQ(DspUseCount(), 1);
  EXPECT_TRUE(audio->closed.empty());
  PlayToEnd(second);
  EXPECT_EQ(audio->closed, std::vector<int>{FakeAudio::kDsp});
  // The mono 8 kHz sound reaches the stereo 22.05 kHz device as stereo at that rate: each
  // sample on both channels, about 2.76 frames for each of its own.
  const std::vector<int16_t> played(audio->samples.begin() + 10, audio->samples.end());
  ASSERT_EQ(played.size(), 2u * 23u);
  for (size_t frame = 0; frame < 23; ++frame) {
    EXPECT_EQ(played[2 * frame], played[2 * frame + 1]) << frame;
    EXPECT_EQ(played[2 * frame], mono[frame * 8000 / 22050]) << frame;
  }
}

TEST_F(SoundPlaybackTest, ALoopingSoundStopsWhenItsObjectGoes) {
  SKIP_WITHOUT_SNDFILE();
  RuntimeObject* sound = PcmSound(Ramp(kBlock));
  soundPlayLooping(sound);
  Tick(sound);
  ASSERT_EQ(DspUseCount(), 1);
  ReleaseObjects();
  EXPECT_EQ(DspUseCount(), 0);
  EXPECT_EQ(audio->closed, std::vector<int>{FakeAudio::kDsp});
}

TEST_F(SoundPlaybackTest, DestroyedWhilePlayingPlaysToTheEndThenGoes) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Ramp(3 * kBlock);
  const std::string path = WriteTestFile(PcmWave(2, 22050, samples), "orphan.wav");
  RuntimeObject* sound = NewSound(path);
  soundPlay(sound);
  Tick(sound);
  SoundBackgroundTask* task = Imp(sound)->Task();
  RemoveBackgroundTaskTimeout(task);  // so that AnyLoopDrivenBackgroundTask sees it alone
  ReleaseObjects();
  unlink(path.c_str());  // the playback reads what it opened, not the sound's file
  // While a loop-driven task exists it is this one.
  ASSERT_TRUE(AnyLoopDrivenBackgroundTask());
  for (int runs = 0; runs < 10 && AnyLoopDrivenBackgroundTask(); ++runs) RunBackgroundTask(task, CurrentTicks());
  EXPECT_FALSE(AnyLoopDrivenBackgroundTask());
  EXPECT_EQ(audio->samples, samples);
  EXPECT_EQ(DspUseCount(), 0);
}

TEST_F(SoundPlaybackTest, CloneOfAPlayingSoundIsNotPlayingButPlaysTheSameData) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Ramp(50);
  RuntimeObject* sound = PcmSound(samples);
  SoundVolumeSetter(sound, 0, 60);
  SoundPanSetter(sound, 0, -20);
  soundPlay(sound);
  RuntimeObject* copy = Keep(SoundClone(sound));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(soundIsPlaying(copy), 0);
  EXPECT_EQ(SoundVolumeGetter(copy, 0), 60);
  EXPECT_EQ(SoundPanGetter(copy, 0), -20);
  soundStop(sound);

  soundPlay(copy);
  PlayToEnd(copy);
  EXPECT_EQ(audio->samples, samples);
}

TEST_F(SoundPlaybackTest, NothingPlaysWithoutDeviceOrReadableSound) {
  SKIP_WITHOUT_SNDFILE();
  audio->devices = {};
  RuntimeObject* sound = PcmSound(Ramp(10));
  soundPlay(sound);
  EXPECT_EQ(soundIsPlaying(sound), 0);
  Tick(sound);  // an idle task has nothing to do
  audio->devices = {"/dev/dsp"};
  audio->opened.clear();

  std::vector<uint8_t> damaged = PcmWave(2, 22050, Ramp(10));
  damaged.resize(20);
  RuntimeObject* sounds[] = {NewSound(WriteTestFile(damaged, "damaged.wav")),
                             NewSound(::testing::TempDir() + "no-such-file.wav"), New(GetSoundClassDefinition())};
  for (RuntimeObject* other : sounds) {
    soundPlay(other);
    EXPECT_EQ(soundIsPlaying(other), 0);
  }
  EXPECT_EQ(std::count(audio->opened.begin(), audio->opened.end(), "/dev/dsp"), 0);
  EXPECT_TRUE(audio->samples.empty());
}

TEST_F(SoundPlaybackTest, RefusedWriteEndsThePlayback) {
  SKIP_WITHOUT_SNDFILE();
  RuntimeObject* sound = PcmSound(Ramp(3 * kBlock));
  soundPlayLooping(sound);
  audio->refuseWrites = true;
  Tick(sound);
  EXPECT_EQ(soundIsPlaying(sound), 0);
  EXPECT_EQ(DspUseCount(), 0);
}

TEST_F(SoundPlaybackTest, WithoutTheLibraryPlayDoesNothing) {
  MissingLibrary library;
  SetSndfileLibraryLoader(&library);
  RuntimeObject* sound = NewSound(WriteTestFile(PcmWave(1, 8000, Ramp(10)), "nolib.wav"));
  soundPlay(sound);
  soundPlayLooping(sound);
  EXPECT_EQ(soundIsPlaying(sound), 0);
  EXPECT_EQ(Imp(sound)->Task(), nullptr);
  EXPECT_EQ(std::count(audio->opened.begin(), audio->opened.end(), "/dev/dsp"), 0);
}

}  // namespace
}  // namespace vorn::test
