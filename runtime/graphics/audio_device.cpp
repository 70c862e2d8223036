#include "graphics/audio_device.h"

#include <fcntl.h>
#include <linux/soundcard.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace vorn {

namespace {

class SystemAudio : public AudioSystem {
 public:
  int Open(const char* path, int flags) override { return open(path, flags); }
  int Control(int descriptor, unsigned long request, int* argument) override {
    return ioctl(descriptor, request, argument);
  }
  ssize_t Write(int descriptor, const void* bytes, size_t count) override { return write(descriptor, bytes, count); }
  int Close(int descriptor) override { return close(descriptor); }
};

SystemAudio sRealSystem;
AudioSystem* sSystem = &sRealSystem;

AudioSystem& System() { return *sSystem; }

int sDsp = -1;
int32_t sDspUsers = 0;
int32_t sDspChannels = 0;
int32_t sDspRate = 0;
int sMixer = -1;
bool sDspMissing = false;

int OpenDspDevice() {
  int descriptor = System().Open("/dev/dsp", O_WRONLY);
  if (descriptor < 0) descriptor = System().Open("/dev/sound/dsp", O_WRONLY);
  sDspMissing = descriptor < 0 && (errno == ENOENT || errno == ENODEV || errno == ENXIO);
  return descriptor;
}

bool SetUp(int descriptor, int32_t channels, int32_t rate) {
  int stereo = 0;
  int format = AFMT_S16_LE;
  int channelCount = channels;
  int speed = rate;
  const bool done = System().Control(descriptor, SNDCTL_DSP_STEREO, &stereo) != -1 &&
                    System().Control(descriptor, SNDCTL_DSP_RESET, nullptr) != -1 &&
                    System().Control(descriptor, SNDCTL_DSP_SETFMT, &format) != -1 &&
                    System().Control(descriptor, SNDCTL_DSP_CHANNELS, &channelCount) != -1 &&
                    System().Control(descriptor, SNDCTL_DSP_SPEED, &speed) != -1 &&
                    System().Control(descriptor, SNDCTL_DSP_SYNC, nullptr) != -1;
  // The device answers what it took, which may differ from what was asked.
  sDspChannels = channelCount > 0 ? channelCount : channels;
  sDspRate = speed > 0 ? speed : rate;
  return done;
}

}  // namespace

AudioSystem* SetAudioSystem(AudioSystem* system) {
  AudioSystem* previous = sSystem;
  sSystem = system ? system : &sRealSystem;
  sDspMissing = false;
  return previous;
}

int OpenDsp(int32_t channels, int32_t rate) {
  if (sDsp >= 0) {
    ++sDspUsers;
    return sDsp;
  }
  int descriptor = OpenDspDevice();
  if (descriptor < 0) return -1;
  if (!SetUp(descriptor, channels, rate)) {
    // Nobody counts as its user, so nobody would ever close it.
    System().Close(descriptor);
    return -1;
  }
  sDsp = descriptor;
  ++sDspUsers;
  return sDsp;
}

void CloseDsp() {
  if (sDspUsers <= 0) return;
  if (--sDspUsers == 0) {
    System().Close(sDsp);
    sDsp = -1;
  }
}

int32_t DspUseCount() { return sDspUsers; }

bool DspMissing() { return sDspMissing; }
int32_t DspChannels() { return sDsp >= 0 ? sDspChannels : 0; }
int32_t DspRate() { return sDsp >= 0 ? sDspRate : 0; }

bool WriteDsp(int descriptor, const void* bytes, size_t count) {
  const auto* next = static_cast<const char*>(bytes);
  while (count > 0) {
    ssize_t written = System().Write(descriptor, next, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    next += written;
    count -= static_cast<size_t>(written);
  }
  return true;
}

int OpenMixer() {
  if (sMixer < 0) sMixer = System().Open("/dev/mixer", O_RDWR);
  return sMixer;
}

void CloseMixer() {
  if (sMixer < 0) return;
  System().Close(sMixer);
  sMixer = -1;
}

bool ReadMixerVolume(int mixer, int32_t* word) {
  int value = 0;
  if (System().Control(mixer, SOUND_MIXER_READ_VOLUME, &value) == -1) return false;
  *word = value;
  return true;
}

void WriteMixerVolume(int mixer, int32_t word) {
  int value = word;
  System().Control(mixer, SOUND_MIXER_WRITE_VOLUME, &value);
}

}  // namespace vorn
