// The device layer under sounds: the shared output descriptor and the decoder library loader.
#include <gtest/gtest.h>
#include <linux/soundcard.h>

#include "graphics/audio_device.h"
#include "graphics/sndfile_loader.h"
#include "graphics/support/sound_support.h"

namespace vorn::test {
namespace {

using Requests = std::vector<std::pair<unsigned long, int>>;

const Requests kSetUpStereo44k = {{SNDCTL_DSP_STEREO, 0},  {SNDCTL_DSP_RESET, 0},      {SNDCTL_DSP_SETFMT, AFMT_S16_LE},
                                  {SNDCTL_DSP_CHANNELS, 2}, {SNDCTL_DSP_SPEED, 44100}, {SNDCTL_DSP_SYNC, 0}};

TEST(SoundDeviceTest, OutputIsSetUpOnceAndSharedUntilTheLastUserCloses) {
  InstalledAudio audio;
  EXPECT_EQ(OpenDsp(2, 44100), FakeAudio::kDsp);
  EXPECT_EQ(OpenDsp(1, 8000), FakeAudio::kDsp);
  EXPECT_EQ(DspUseCount(), 2);
  EXPECT_EQ(audio->opened, std::vector<std::string>{"/dev/dsp"});
  EXPECT_EQ(audio->requests, kSetUpStereo44k);

  CloseDsp();
  EXPECT_TRUE(audio->closed.empty());
  CloseDsp();
  CloseDsp();  // one close too many changes nothing
  EXPECT_EQ(audio->closed, std::vector<int>{FakeAudio::kDsp});
  EXPECT_EQ(DspUseCount(), 0);
}

TEST(SoundDeviceTest, OutputFallsBackToTheSecondPathAndFailsWithoutEither) {
  InstalledAudio audio;
  audio->devices = {"/dev/sound/dsp"};
  EXPECT_EQ(OpenDsp(2, 44100), FakeAudio::kDsp);
  EXPECT_EQ(audio->opened, (std::vector<std::string>{"/dev/dsp", "/dev/sound/dsp"}));
  CloseDsp();

  audio->devices = {};
  EXPECT_EQ(OpenDsp(2, 44100), -1);
  EXPECT_EQ(DspUseCount(), 0);
}

TEST(SoundDeviceTest, RefusedSetUpClosesTheDeviceAndLeavesNoUser) {
  InstalledAudio audio;
  audio->refusedRequest = SNDCTL_DSP_SPEED;
  EXPECT_EQ(OpenDsp(2, 44100), -1);
  EXPECT_EQ(audio->requests.size(), 5u);  // nothing after the refused request
  EXPECT_EQ(audio->closed, std::vector<int>{FakeAudio::kDsp});
  EXPECT_EQ(DspUseCount(), 0);

  audio->refusedRequest = 0;
  EXPECT_EQ(OpenDsp(2, 44100), FakeAudio::kDsp);
  CloseDsp();
}

class SndfileLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSndfileLibraryLoader(&library); }
  void TearDown() override { SetSndfileLibraryLoader(nullptr); }
  MissingLibrary library;
};

TEST_F(SndfileLoaderTest, TriesEveryNameOnceAndNeedsEveryFunction) {
  EXPECT_FALSE(LoadSndfile());
  EXPECT_FALSE(LoadSndfile());
  EXPECT_EQ(library.tried,
            (std::vector<std::string>{"libsndfile.so", "/usr/local/lib/libsndfile.so", "/usr/lib/libsndfile.so",
                                      "/usr/local/lib/libsndfile.so.1", "/usr/lib/libsndfile.so.1",
                                      "libsndfile.so.1"}));

  library.openable = "/usr/lib/libsndfile.so";
  library.missingFunction = "sf_seek";
  SetSndfileLibraryLoader(&library);
  EXPECT_FALSE(LoadSndfile());
  library.missingFunction.clear();
  SetSndfileLibraryLoader(&library);
  EXPECT_TRUE(LoadSndfile());
}

}  // namespace
}  // namespace vorn::test
