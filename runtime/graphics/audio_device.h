// The audio device behind sounds: one output descriptor that all playbacks share, and the
// mixer whose master volume the sounds' Volume and Pan set. Every system call goes through a
// replaceable AudioSystem, so the layer above runs the same where there is no device at all.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace vorn {

// open(2), an ioctl(2) whose argument is one int (nil for the requests that take none),
// write(2) and close(2), answering as they do (-1 and errno on failure).
class AudioSystem {
 public:
  virtual ~AudioSystem() = default;
  virtual int Open(const char* path, int flags) = 0;
  virtual int Control(int descriptor, unsigned long request, int* argument) = 0;
  virtual ssize_t Write(int descriptor, const void* bytes, size_t count) = 0;
  virtual int Close(int descriptor) = 0;
};

// Routes the device calls to `system` from now on (nil: the real ones) and answers the
// previous one; the caller keeps ownership.
AudioSystem* SetAudioSystem(AudioSystem* system);

// The shared output descriptor set up for signed 16-bit little-endian samples. Opening it
// again while it is open only counts one more user (the first opener's channels and rate
// stay). -1 when there is no device or it refuses the set-up.
int OpenDsp(int32_t channels, int32_t rate);
// One user fewer; the last one closes the device.
void CloseDsp();
int32_t DspUseCount();
// Whether the last attempt to open the output found no device at all (not merely a busy one).
bool DspMissing();
// The channels and rate the open device was set up with (0 while it is closed): every sound
// played at the same time is written in this format.
int32_t DspChannels();
int32_t DspRate();
// Writes all the bytes, waiting as the device drains; false when the device refuses them.
bool WriteDsp(int descriptor, const void* bytes, size_t count);

// The mixer descriptor, opened on first use and kept until CloseMixer; -1 without a mixer.
int OpenMixer();
void CloseMixer();
// The master volume word: left channel in the low byte, right in the next one.
bool ReadMixerVolume(int mixer, int32_t* word);
void WriteMixerVolume(int mixer, int32_t word);

}  // namespace vorn
