// Sounds through ALSA's default PCM where the machine has no OSS device. The library is
// looked up at run time, as the decoder is: without it sounds stay silent. All sounds playing
// at once share one stereo stream (16-bit, at the rate of the sound that opened it): each
// sound is a source with its own queue of frames, and the stream is fed the sum of the
// sources. The device is called on a thread of its own and waited for briefly at most: one
// that hangs is given up and counts as none until its call returns.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "graphics/library_loader.h"

namespace vorn {

struct AlsaPcm;

// The library's binary interface, as far as it is used.
struct AlsaFunctions {
  int (*snd_pcm_open)(AlsaPcm** pcm, const char* name, int stream, int mode);
  int (*snd_pcm_set_params)(AlsaPcm* pcm, int format, int access, unsigned int channels, unsigned int rate,
                            int softResample, unsigned int latencyMicroseconds);
  int (*snd_pcm_get_params)(AlsaPcm* pcm, unsigned long* bufferFrames, unsigned long* periodFrames);
  long (*snd_pcm_writei)(AlsaPcm* pcm, const void* frames, unsigned long count);
  long (*snd_pcm_avail_update)(AlsaPcm* pcm);
  int (*snd_pcm_recover)(AlsaPcm* pcm, int error, int silent);
  int (*snd_pcm_state)(AlsaPcm* pcm);
  int (*snd_pcm_start)(AlsaPcm* pcm);
  int (*snd_pcm_close)(AlsaPcm* pcm);
};

// The stream's channels: left and right.
constexpr int32_t kAlsaChannels = 2;

// Looks the library up on the first call; later calls answer the same.
bool LoadAlsa();
const AlsaFunctions& Alsa();
// How long Play and the run loop wait at most for a call to the device, by default.
inline constexpr std::chrono::milliseconds kAlsaDeviceWait{10};
// Changes that wait: tests whose stand-in device never blocks wait long enough that each call
// is in before the step that made it returns, however busy the machine.
void SetAlsaDeviceWait(std::chrono::milliseconds wait);
// Looks up through `loader` from now on (nil: the dynamic loader) and forgets what earlier
// loads found; answers the previous loader.
LibraryLoader* SetAlsaLibraryLoader(LibraryLoader* loader);

// A new source of the shared stream, opening the stream for `rate` when it is closed; -1
// when there is no library, the default PCM cannot be opened, or it still hangs in a call.
// A stream whose opening takes longer goes on opening while the sources queue.
int32_t OpenAlsaSource(int32_t rate);
// The source and its waiting frames go; the last one closes the stream at once.
void CloseAlsaSource(int32_t source);
int32_t AlsaSourceCount();
int32_t AlsaRate();
// Stereo frames of the source still waiting for the stream.
size_t AlsaPendingFrames(int32_t source);
// Appends whole stereo frames (`count` samples) to the source's queue.
void QueueAlsaSamples(int32_t source, const int16_t* samples, size_t count);
// The source will queue nothing more: its shortness no longer holds the others back.
void EndAlsaSource(int32_t source);
// Hands the stream as many mixed frames as it takes now; false when it failed for good or
// hung past the limit.
bool PumpAlsa();
// Whether the stream has played everything handed to it (as of the last call that came back).
bool AlsaDrained();

}  // namespace vorn
