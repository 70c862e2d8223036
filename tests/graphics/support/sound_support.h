// Stand-ins for the sound device and the decoder library, and WAVE files built byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "graphics/audio_device.h"
#include "graphics/sndfile_loader.h"
#include "graphics/sound_imp_unix.h"
#include "support/class_test.h"

namespace vorn::test {

// A sound device that keeps what it is asked: the paths opened, the set-up requests of the
// output device with their values, the samples written and the mixer words written.
class FakeAudio : public AudioSystem {
 public:
  static constexpr int kDsp = 40;
  static constexpr int kMixer = 50;

  int Open(const char* path, int flags) override;
  int Control(int descriptor, unsigned long request, int* argument) override;
  ssize_t Write(int descriptor, const void* bytes, size_t count) override;
  int Close(int descriptor) override;

  // What the device has.
  std::vector<std::string> devices = {"/dev/dsp", "/dev/mixer"};
  int32_t mixerWord = 0;
  unsigned long refusedRequest = 0;
  bool refuseWrites = false;
  // At most this many bytes are taken per write.
  size_t writeLimit = 1000;

  std::vector<std::string> opened;
  std::vector<std::pair<unsigned long, int>> requests;
  std::vector<int16_t> samples;
  std::vector<int32_t> mixerWrites;
  std::vector<int> closed;
};

// Routes the device calls to a FakeAudio for its lifetime.
class InstalledAudio {
 public:
  InstalledAudio();
  ~InstalledAudio();
  FakeAudio* operator->() { return &mFake; }
  FakeAudio& operator*() { return mFake; }

 private:
  FakeAudio mFake;
  AudioSystem* mPrevious;
};

// A decoder library that is nowhere to be found, or one whose file opens but lacks a function.
class MissingLibrary : public LibraryLoader {
 public:
  void* Open(const char* file) override;
  void* Find(void* library, const char* name) override;

  const char* openable = nullptr;
  std::string missingFunction;
  std::vector<std::string> tried;
};

// A WAVE file of 16-bit samples (format 1) or 32-bit float samples (format 3), interleaved.
std::vector<uint8_t> PcmWave(int32_t channels, int32_t rate, const std::vector<int16_t>& samples);
std::vector<uint8_t> FloatWave(int32_t channels, int32_t rate, const std::vector<float>& samples);

// Sounds over a FakeAudio device, with the decoder library as this machine has it. Calls to
// an ALSA device are waited for until they are in, which the devices of these tests always are
// at once: each step's outcome shows when it returns, however busy the machine.
class SoundTest : public IntrinsicClassTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the bytes to a file of this process in the temporary folder, deleted when the test
  // ends; answers its path.
  std::string WriteTestFile(const std::vector<uint8_t>& bytes, const std::string& name);
  // A Sound of the file at `path`, its data starting `offset` bytes in.
  RuntimeObject* NewSound(const std::string& path, int32_t offset = 0);
  static SoundImpUnix* Imp(RuntimeObject* sound);
  // One run of the sound's playback task, as the run loop makes it.
  static void Tick(RuntimeObject* sound);
  // Runs the playback until it ends; answers how many runs wrote samples.
  int PlayToEnd(RuntimeObject* sound);

  InstalledAudio audio;
  // ALSA is away unless a test brings it back with SetAlsaLibraryLoader(nullptr).
  MissingLibrary noAlsa;

 private:
  std::vector<std::string> mFiles;
};

// For the tests that decode real files.
#define SKIP_WITHOUT_SNDFILE() \
  if (!LoadSndfile()) GTEST_SKIP() << "libsndfile is not installed"

}  // namespace vorn::test
