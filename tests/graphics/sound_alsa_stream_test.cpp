// The shared ALSA stream over a stand-in library: a device that takes nothing, part of a
// block, or fails with an underrun must neither block the run loop nor lose or repeat frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/alsa_output.h"
#include "graphics/sound_background_task.h"
#include "graphics/support/sound_support.h"
#include "vorn/sound_api.h"

namespace vorn::test {
namespace {

constexpr unsigned long kBufferFrames = 800;

// What the stand-in device does and has been given.
struct FakePcm {
  long room = kBufferFrames;     // frames the device says it takes now
  long takesAtMost = kBufferFrames;  // frames one write takes, however many there is room for
  int failNextWrite = 0;         // a negative error for the next write, once
  bool writesFail = false;       // every write fails
  int recoverResult = 0;
  std::vector<int16_t> frames;   // interleaved stereo samples written
  int recovered = 0;
  int started = 0;
  bool open = false;
};

FakePcm& Pcm() {
  static FakePcm pcm;
  return pcm;
}

AlsaPcm* Handle() { return reinterpret_cast<AlsaPcm*>(&Pcm()); }

int Open(AlsaPcm** pcm, const char*, int, int) {
  Pcm().open = true;
  *pcm = Handle();
  return 0;
}
int SetParams(AlsaPcm*, int, int, unsigned int, unsigned int, int, unsigned int) { return 0; }
int GetParams(AlsaPcm*, unsigned long* buffer, unsigned long* period) {
  *buffer = kBufferFrames;
  *period = kBufferFrames / 4;
  return 0;
}
long Write(AlsaPcm*, const void* data, unsigned long count) {
  if (Pcm().writesFail) return -EIO;
  if (Pcm().failNextWrite) {
    const int error = Pcm().failNextWrite;
    Pcm().failNextWrite = 0;
    return error;
  }
  const auto taken = std::min<long>({static_cast<long>(count), Pcm().room, Pcm().takesAtMost});
  if (taken == 0) return -EAGAIN;
  const auto* samples = static_cast<const int16_t*>(data);
  Pcm().frames.insert(Pcm().frames.end(), samples, samples + taken * 2);
  Pcm().room -= taken;
  return taken;
}
long Avail(AlsaPcm*) { return Pcm().room; }
int Recover(AlsaPcm*, int, int) {
  ++Pcm().recovered;
  return Pcm().recoverResult;
}
int State(AlsaPcm*) { return 2; }
int Start(AlsaPcm*) {
  ++Pcm().started;
  return 0;
}
int Close(AlsaPcm*) {
  Pcm().open = false;
  return 0;
}

class FakeAlsaLibrary : public LibraryLoader {
 public:
  void* Open(const char* file) override { return std::string(file) == "libasound.so.2" ? this : nullptr; }
  void* Find(void*, const char* name) override {
    const struct {
      const char* name;
      void* function;
    } table[] = {{"snd_pcm_open", reinterpret_cast<void*>(&vorn::test::Open)},
                 {"snd_pcm_set_params", reinterpret_cast<void*>(&SetParams)},
                 {"snd_pcm_get_params", reinterpret_cast<void*>(&GetParams)},
                 {"snd_pcm_writei", reinterpret_cast<void*>(&Write)},
                 {"snd_pcm_avail_update", reinterpret_cast<void*>(&Avail)},
                 {"snd_pcm_recover", reinterpret_cast<void*>(&Recover)},
                 {"snd_pcm_state", reinterpret_cast<void*>(&State)},
                 {"snd_pcm_start", reinterpret_cast<void*>(&Start)},
                 {"snd_pcm_close", reinterpret_cast<void*>(&Close)}};
    for (const auto& entry : table) {
      if (std::strcmp(entry.name, name) == 0) return entry.function;
    }
    return nullptr;
  }
};

class SoundAlsaStreamTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    Pcm() = FakePcm();
    SetAlsaLibraryLoader(&mLibrary);
    audio->devices = {};
  }

  FakeAlsaLibrary mLibrary;
};

// Frame i holds i on the left and -i on the right.
std::vector<int16_t> Counting(int frames) {
  std::vector<int16_t> samples;
  for (int i = 0; i < frames; ++i) {
    samples.push_back(static_cast<int16_t>(i));
    samples.push_back(static_cast<int16_t>(-i));
  }
  return samples;
}

TEST_F(SoundAlsaStreamTest, AFullDeviceTakesNothingAndTheQueueStaysBounded) {
  SKIP_WITHOUT_SNDFILE();
  RuntimeObject* sound = NewSound(WriteTestFile(PcmWave(2, 8000, Counting(20000)), "long.wav"));
  Pcm().room = 0;
  soundPlay(sound);
  for (int i = 0; i < 50; ++i) Tick(sound);
  EXPECT_TRUE(Pcm().frames.empty());
  EXPECT_EQ(soundIsPlaying(sound), 1);
  // When the device takes all it is given, a tenth of a second is waiting, and at most one
  // block more: nothing piled up while it took nothing.
  Pcm().room = 100000;
  Tick(sound);
  EXPECT_GE(Pcm().frames.size(), 2u * 800);
  EXPECT_LE(Pcm().frames.size(), 2u * 800 + SoundBackgroundTask::kBlockSamples);
  soundStop(sound);
  EXPECT_FALSE(Pcm().open);
}

// A device with little room, and one that takes less than it said it had room for.
TEST_F(SoundAlsaStreamTest, PartWritesAndAnUnderrunLoseAndRepeatNoFrame) {
  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = Counting(3000);
  // The room each tick, until the sound has handed over everything, and what a write takes.
  for (const auto& [room, takesAtMost] : {std::pair{250L, long{kBufferFrames}}, {long{kBufferFrames}, 100L}}) {
    SCOPED_TRACE(takesAtMost);
    Pcm() = FakePcm();
    Pcm().room = 123;
    Pcm().takesAtMost = takesAtMost;
    RuntimeObject* sound = NewSound(WriteTestFile(PcmWave(2, 8000, samples), std::to_string(room) + ".wav"));
    soundPlay(sound);
    EXPECT_EQ(Pcm().frames.size(), 2u * std::min(123L, takesAtMost));
    EXPECT_GE(Pcm().started, 1);
    // The device underruns: the next write fails once and the stream is prepared again.
    Pcm().failNextWrite = -EPIPE;
    for (int i = 0; i < 200 && soundIsPlaying(sound); ++i) {
      Pcm().room = Pcm().frames.size() == samples.size() ? kBufferFrames : room;
      Tick(sound);
    }
    EXPECT_EQ(Pcm().recovered, 1);
    EXPECT_EQ(soundIsPlaying(sound), 0);
    EXPECT_EQ(Pcm().frames, samples);
    EXPECT_FALSE(Pcm().open);
  }
}

TEST_F(SoundAlsaStreamTest, ALoopingSoundOfNoFramesEndsInsteadOfStartingOverForEver) {
  SKIP_WITHOUT_SNDFILE();
  RuntimeObject* sound = NewSound(WriteTestFile(PcmWave(2, 8000, {}), "empty.wav"));
  soundPlayLooping(sound);
  EXPECT_EQ(soundIsPlaying(sound), 0);
  EXPECT_TRUE(Pcm().frames.empty());
}

// A device the stream cannot bring back stops the sound at once instead of dropping its frames.
TEST_F(SoundAlsaStreamTest, ADeviceThatStaysBrokenStopsTheSound) {
  SKIP_WITHOUT_SNDFILE();
  for (int broken : {0, 1}) {  // its room cannot be read, or no write takes after a recovery
    Pcm() = FakePcm();
    Pcm().room = broken == 0 ? -ESTRPIPE : kBufferFrames;
    Pcm().recoverResult = broken == 0 ? -ENODEV : 0;
    Pcm().writesFail = broken == 1;
    RuntimeObject* sound = NewSound(WriteTestFile(PcmWave(2, 8000, Counting(3000)), std::to_string(broken) + ".wav"));
    soundPlay(sound);
    EXPECT_EQ(soundIsPlaying(sound), 0) << broken;
    EXPECT_FALSE(Pcm().open) << broken;
  }
}

}  // namespace
}  // namespace vorn::test
