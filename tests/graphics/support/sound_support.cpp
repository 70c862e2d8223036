#include "graphics/support/sound_support.h"

#include <gtest/gtest.h>
#include <linux/soundcard.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "base/ticks.h"
#include "files/folder_item_imp_unix.h"
#include "files/unix_path_text.h"
#include "graphics/alsa_output.h"
#include "graphics/sound_background_task.h"
#include "graphics/sound_class.h"

namespace vorn::test {

int FakeAudio::Open(const char* path, int) {
  opened.emplace_back(path);
  if (std::find(devices.begin(), devices.end(), path) == devices.end()) {
    errno = ENOENT;
    return -1;
  }
  return std::string(path) == "/dev/mixer" ? kMixer : kDsp;
}

int FakeAudio::Control(int descriptor, unsigned long request, int* argument) {
  if (descriptor == kMixer) {
    if (request == SOUND_MIXER_READ_VOLUME) *argument = mixerWord;
    if (request == SOUND_MIXER_WRITE_VOLUME) mixerWrites.push_back(*argument);
    return 0;
  }
  requests.emplace_back(request, argument ? *argument : 0);
  if (request != refusedRequest) return 0;
  errno = EINVAL;
  return -1;
}

ssize_t FakeAudio::Write(int, const void* bytes, size_t count) {
  if (refuseWrites) {
    errno = EIO;
    return -1;
  }
  count = std::min(count, writeLimit) & ~size_t{1};
  const size_t first = samples.size();
  samples.resize(first + count / 2);
  memcpy(samples.data() + first, bytes, count);
  return static_cast<ssize_t>(count);
}

int FakeAudio::Close(int descriptor) {
  closed.push_back(descriptor);
  return 0;
}

InstalledAudio::InstalledAudio() : mPrevious(SetAudioSystem(&mFake)) {}

InstalledAudio::~InstalledAudio() {
  CloseMixer();
  EXPECT_EQ(DspUseCount(), 0) << "the output device was left open";
  SetAudioSystem(mPrevious);
}

void* MissingLibrary::Open(const char* file) {
  tried.emplace_back(file);
  return openable && tried.back() == openable ? this : nullptr;
}

void* MissingLibrary::Find(void*, const char* name) {
  return missingFunction == name ? nullptr : this;
}

namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

std::vector<uint8_t> Wave(int32_t format, int32_t channels, int32_t rate, int32_t bits, const void* data,
                          size_t size) {
  const uint32_t blockAlign = static_cast<uint32_t>(channels * bits / 8);
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put(out, static_cast<uint32_t>(36 + size), 4);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put(out, 16, 4);
  Put(out, static_cast<uint32_t>(format), 2);
  Put(out, static_cast<uint32_t>(channels), 2);
  Put(out, static_cast<uint32_t>(rate), 4);
  Put(out, static_cast<uint32_t>(rate) * blockAlign, 4);
  Put(out, blockAlign, 2);
  Put(out, static_cast<uint32_t>(bits), 2);
  PutTag(out, "data");
  Put(out, static_cast<uint32_t>(size), 4);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out.insert(out.end(), bytes, bytes + size);
  return out;
}

}  // namespace

std::vector<uint8_t> PcmWave(int32_t channels, int32_t rate, const std::vector<int16_t>& samples) {
  return Wave(1, channels, rate, 16, samples.data(), samples.size() * sizeof(int16_t));
}

std::vector<uint8_t> FloatWave(int32_t channels, int32_t rate, const std::vector<float>& samples) {
  return Wave(3, channels, rate, 32, samples.data(), samples.size() * sizeof(float));
}

void SoundTest::SetUp() {
  IntrinsicClassTest::SetUp();
  SetSndfileLibraryLoader(nullptr);
  SetAlsaLibraryLoader(&noAlsa);
  SetAlsaDeviceWait(std::chrono::seconds(10));
}

void SoundTest::TearDown() {
  IntrinsicClassTest::TearDown();
  for (const std::string& path : mFiles) unlink(path.c_str());
  SetSndfileLibraryLoader(nullptr);
  SetAlsaLibraryLoader(nullptr);
  SetAlsaDeviceWait(kAlsaDeviceWait);
}

std::string SoundTest::WriteTestFile(const std::vector<uint8_t>& bytes, const std::string& name) {
  // Test programs run side by side, each test in a process of its own.
  const std::string path = ::testing::TempDir() + "sound-" + std::to_string(getpid()) + "-" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  mFiles.push_back(path);
  return path;
}

RuntimeObject* SoundTest::NewSound(const std::string& path, int32_t offset) {
  RuntimeObject* sound = New(GetSoundClassDefinition());
  SoundSetData(sound, NewFolderItemImpFromPath(PathString(path, kFileSystemEncoding)), offset);
  return sound;
}

SoundImpUnix* SoundTest::Imp(RuntimeObject* sound) { return static_cast<SoundImpUnix*>(SoundImpOf(sound)); }

void SoundTest::Tick(RuntimeObject* sound) {
  SoundBackgroundTask* task = Imp(sound)->Task();
  ASSERT_NE(task, nullptr);
  RunBackgroundTask(task, CurrentTicks());
}

int SoundTest::PlayToEnd(RuntimeObject* sound) {
  int writing = 0;
  for (int runs = 0; runs < 1000 && Imp(sound)->IsPlaying(); ++runs) {
    const size_t before = audio->samples.size();
    Tick(sound);
    if (audio->samples.size() > before) ++writing;
  }
  EXPECT_FALSE(Imp(sound)->IsPlaying()) << "still playing";
  return writing;
}

}  // namespace vorn::test
