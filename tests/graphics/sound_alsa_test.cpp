// Sounds through ALSA where there is no OSS device: a private configuration whose default PCM
// is the file plug-in writing the raw stream, read back after the sounds end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

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
    alarm(0);
    SoundTest::TearDown();
    unlink(mConfig.c_str());
    unlink(mRaw.c_str());
  }

  // Interleaved left and right samples of everything the stream was given; the device closes
  // on its own thread, so this waits (a while at most) for `expected` samples.
  std::vector<int16_t> Written(size_t expected = 0) {
    std::string bytes;
    for (int tries = 0; (bytes = testing::ReadWholeFile(mRaw)).size() < 2 * expected && tries < 500; ++tries)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
  EXPECT_EQ(Written(samples.size()), samples);
}

TEST_F(SoundAlsaTest, VolumeAndPanScaleTheSoundsOwnSamples) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Frames(5000);
  RuntimeObject* sound = Stereo(samples);
  SoundVolumeSetter(sound, 0, 50);
  SoundPanSetter(sound, 0, -100);
  soundPlay(sound);
  PlayToEnd(sound);
  const std::vector<int16_t> written = Written(samples.size());
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
  const std::vector<int16_t> written = Written(2u * 6000);
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

// The default device is the file plug-in on a FIFO that nobody reads, or whose reader never
// reads: Play and each step of the run loop come back at once all the same, the sound ends as
// on no device, and so does one played while the device still hangs. Once the FIFO is read,
// the device is let go, closed, and sounds play again.
TEST_F(SoundAlsaTest, ADeviceThatBlocksHoldsNeitherPlayNorTheRunLoop) {
  SKIP_WITHOUT_SNDFILE();
  // A writer left with a reader that went is told so, not killed.
  void (*previousPipe)(int) = signal(SIGPIPE, SIG_IGN);
  alarm(30);  // a device that hangs the test ends the program instead of holding it
  SetAlsaDeviceWait(kAlsaDeviceWait);  // the wait a program has
  const std::vector<int16_t> samples = Frames(10 * kRate);  // longer than the FIFO holds
  // Far longer than Play or a step may take, far shorter than a hang.
  const auto quick = [](const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300);
  };
  for (bool reader : {false, true}) {
    SCOPED_TRACE(reader ? "a reader that never reads" : "no reader");
    const std::string fifo = mRaw + (reader ? ".reader" : ".fifo"), config = fifo + ".conf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A configuration file of its own: the library reads one again only when its name, inode
    // or time in whole seconds changed.
    std::ofstream(config) << "pcm.!default { type file slave.pcm { type null } file \"" << fifo
                          << "\" format \"raw\" }\n";
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    SetAlsaLibraryLoader(nullptr);
    int fd = reader ? open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    RuntimeObject* sound = Stereo(samples);
    EXPECT_TRUE(quick([&] { soundPlay(sound); }));
    for (int i = 0; i < 200 && soundIsPlaying(sound); ++i) {
      EXPECT_TRUE(quick([&] { Tick(sound); }));
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(soundIsPlaying(sound), 0);
    RuntimeObject* next = Stereo(samples);
    soundPlay(next);
    EXPECT_EQ(soundIsPlaying(next), 0);

    // Read what comes until the call the device hung in returns: the device given up on is
    // closed then, and the FIFO, without a writer, reads as ended.
    if (fd < 0) fd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    char bytes[65536];
    ssize_t got = -1;
    for (int i = 0; i < 500 && got != 0; ++i) {
      while ((got = read(fd, bytes, sizeof bytes)) > 0) {
      }
      if (got != 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(got, 0) << "the device given up on is still open";
    // A sound finds the device again.
    for (int i = 0; i < 500 && !soundIsPlaying(next); ++i) {
      while (read(fd, bytes, sizeof bytes) > 0) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      soundPlay(next);
    }
    EXPECT_EQ(soundIsPlaying(next), 1);
    soundStop(next);
    close(fd);
    unlink(config.c_str());
    unlink(fifo.c_str());
  }
  signal(SIGPIPE, previousPipe);
}

}  // namespace
}  // namespace vorn::test
