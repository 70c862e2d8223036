// Sounds through ALSA where there is no OSS device: a private configuration whose default PCM
// is the file plug-in writing the raw stream, read back after the sounds end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "graphics/alsa_output.h"
#include "graphics/sound_background_task.h"
#include "graphics/sound_class.h"
#include "graphics/support/pdf_reader.h"
#include "graphics/support/sound_support.h"
#include "vorn/sound_api.h"

namespace vorn::test {
namespace {

constexpr int32_t kRate = 8000;

class SoundAlsaTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    const std::string base = ::testing::TempDir() + "alsa-" + std::to_string(getpid());
    mConfig = base + ".conf";
    mRaw = base + ".raw";
    std::ofstream(mConfig) << "pcm.!default { type file slave.pcm { type null } file \"" << mRaw
                           << "\" format \"raw\" }\n";
    setenv("ALSA_CONFIG_PATH", mConfig.c_str(), 1);
    SetAlsaLibraryLoader(nullptr);
    if (!LoadAlsa()) GTEST_SKIP() << "libasound is not installed";
    // No OSS device: the sounds go to ALSA.
    audio->devices = {};
  }
  void TearDown() override {
    SoundTest::TearDown();
    unlink(mConfig.c_str());
    unlink(mRaw.c_str());
  }

  // Interleaved left and right samples of everything the stream was given.
  std::vector<int16_t> Written() {
    const std::string bytes = testing::ReadWholeFile(mRaw);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
      samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    }
    return samples;
  }

  RuntimeObject* Stereo(const std::vector<int16_t>& samples) {
    return NewSound(WriteTestFile(PcmWave(2, kRate, samples), std::to_string(++mFiles) + ".wav"));
  }

  std::string mConfig, mRaw;
  int mFiles = 0;
};

// Left and right apart, each frame's own, so a lost, repeated or swapped frame shows.
std::vector<int16_t> Frames(size_t count) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < count; ++i) {
    samples.push_back(static_cast<int16_t>(1000 + i * 3));
    samples.push_back(static_cast<int16_t>(-1000 - static_cast<int>(i) * 5));
  }
  return samples;
}

TEST_F(SoundAlsaTest, ASoundReachesTheDefaultPcmWholeAndTheStreamClosesAfterIt) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Frames(3 * SoundBackgroundTask::kBlockSamples + 7);
  RuntimeObject* sound = Stereo(samples);
  soundPlay(sound);
  ASSERT_EQ(soundIsPlaying(sound), 1);
  // The first samples are handed over by Play itself.
  EXPECT_GT(AlsaSourceCount(), 0);
  PlayToEnd(sound);
  EXPECT_EQ(AlsaSourceCount(), 0);
  EXPECT_EQ(Written(), samples);
}

TEST_F(SoundAlsaTest, VolumeAndPanScaleTheSoundsOwnSamples) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Frames(5000);
  RuntimeObject* sound = Stereo(samples);
  SoundVolumeSetter(sound, 0, 50);
  SoundPanSetter(sound, 0, -100);
  soundPlay(sound);
  PlayToEnd(sound);
  const std::vector<int16_t> written = Written();
  ASSERT_EQ(written.size(), samples.size());
  for (size_t i = 0; i < samples.size(); i += 2) {
    ASSERT_NEAR(written[i], samples[i] / 2.0, 0.5) << i;
    ASSERT_EQ(written[i + 1], 0) << i;
  }
  EXPECT_TRUE(audio->mixerWrites.empty());
}

TEST_F(SoundAlsaTest, OverlappingSoundsAreMixedIntoOneStream) {
  SKIP_WITHOUT_SNDFILE();
  // A long low sound and a short high one started while the first plays; their sum is clipped.
  RuntimeObject* low = Stereo(std::vector<int16_t>(2 * 6000, 1000));
  RuntimeObject* high = Stereo(std::vector<int16_t>(2 * 2000, 32000));
  soundPlay(low);
  Tick(low);
  soundPlay(high);
  for (int runs = 0; runs < 1000 && (soundIsPlaying(low) || soundIsPlaying(high)); ++runs) {
    if (soundIsPlaying(low)) Tick(low);
    if (soundIsPlaying(high)) Tick(high);
  }
  ASSERT_FALSE(soundIsPlaying(low) || soundIsPlaying(high));
  const std::vector<int16_t> written = Written();
  // The long sound sets the length: nothing of either is lost or played twice.
  ASSERT_EQ(written.size(), 2u * 6000);
  size_t together = 0;
  for (int16_t sample : written) {
    ASSERT_TRUE(sample == 1000 || sample == 32767) << sample;
    together += sample == 32767;
  }
  EXPECT_EQ(together, 2u * 2000);
}

TEST_F(SoundAlsaTest, StopSilencesALoopingSoundAndNeitherDeviceLeavesSoundsSilent) {
  SKIP_WITHOUT_SNDFILE();
  RuntimeObject* sound = Stereo(Frames(100));
  soundPlayLooping(sound);
  for (int i = 0; i < 20; ++i) Tick(sound);
  EXPECT_EQ(soundIsPlaying(sound), 1);
  const size_t before = Written().size();
  EXPECT_GT(before, 2u * 100 * 3);
  soundStop(sound);
  EXPECT_EQ(AlsaSourceCount(), 0);

  // A default PCM that cannot be opened: the sound is silent and nothing is reported.
  std::ofstream(mConfig) << "pcm.!default { type hw card 99 }\n";
  SetAlsaLibraryLoader(nullptr);
  soundPlay(sound);
  EXPECT_EQ(soundIsPlaying(sound), 0);
  EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace vorn::test
