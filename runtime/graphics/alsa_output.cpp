#include "graphics/alsa_output.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <limits>
#include <map>
#include <vector>

namespace vorn {

namespace {

constexpr int kStreamPlayback = 0;
constexpr int kOpenNonBlocking = 1;
constexpr int kFormatS16LE = 2;
constexpr int kAccessInterleaved = 3;
constexpr int kStatePrepared = 2;
// Short enough that Stop is heard at once, long enough to ride out a busy run loop.
constexpr unsigned int kLatencyMicroseconds = 100000;

LibraryLoader* sLoader = DynamicLibraryLoader();
bool sFirstCall = true;
bool sAvailable = false;
AlsaFunctions sFunctions = {};

template <typename Function>
void Look(void* library, const char* name, Function* function) {
  if (!FindFunction(sLoader, library, name, function)) sAvailable = false;
}

struct Source {
  std::deque<int16_t> samples;
  bool ended = false;
};

AlsaPcm* sPcm = nullptr;
int32_t sRate = 0;
unsigned long sBufferFrames = 0;
int32_t sNextSource = 0;
std::map<int32_t, Source> sSources;
std::vector<int32_t> sMix;
std::vector<int16_t> sOut;

void CloseStream() {
  if (sPcm) Alsa().snd_pcm_close(sPcm);
  sPcm = nullptr;
  sRate = 0;
  sBufferFrames = 0;
}

bool OpenStream(int32_t rate) {
  if (!LoadAlsa() || rate <= 0) return false;
  const AlsaFunctions& f = Alsa();
  if (f.snd_pcm_open(&sPcm, "default", kStreamPlayback, kOpenNonBlocking) < 0) {
    sPcm = nullptr;
    return false;
  }
  unsigned long period = 0;
  if (f.snd_pcm_set_params(sPcm, kFormatS16LE, kAccessInterleaved, kAlsaChannels, static_cast<unsigned int>(rate),
                           1, kLatencyMicroseconds) < 0 ||
      f.snd_pcm_get_params(sPcm, &sBufferFrames, &period) < 0) {
    CloseStream();
    return false;
  }
  sRate = rate;
  return true;
}

// Frames the sources can give together: a source still playing holds the others back until
// it has queued more, so that its frames are never mixed later than the others'.
size_t ReadyFrames() {
  size_t live = std::numeric_limits<size_t>::max();
  size_t most = 0;
  for (const auto& [id, source] : sSources) {
    const size_t frames = source.samples.size() / kAlsaChannels;
    most = std::max(most, frames);
    if (!source.ended) live = std::min(live, frames);
  }
  return std::min(live, most);
}

int16_t Clip(int32_t value) {
  return static_cast<int16_t>(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

}  // namespace

bool LoadAlsa() {
  if (!sFirstCall) return sAvailable;
  sFirstCall = false;
  void* library = OpenFirstLibrary(sLoader, {"libasound.so.2", "libasound.so"});
  if (!library) return false;
  sAvailable = true;
  Look(library, "snd_pcm_open", &sFunctions.snd_pcm_open);
  Look(library, "snd_pcm_set_params", &sFunctions.snd_pcm_set_params);
  Look(library, "snd_pcm_get_params", &sFunctions.snd_pcm_get_params);
  Look(library, "snd_pcm_writei", &sFunctions.snd_pcm_writei);
  Look(library, "snd_pcm_avail_update", &sFunctions.snd_pcm_avail_update);
  Look(library, "snd_pcm_recover", &sFunctions.snd_pcm_recover);
  Look(library, "snd_pcm_state", &sFunctions.snd_pcm_state);
  Look(library, "snd_pcm_start", &sFunctions.snd_pcm_start);
  Look(library, "snd_pcm_close", &sFunctions.snd_pcm_close);
  return sAvailable;
}

const AlsaFunctions& Alsa() { return sFunctions; }

LibraryLoader* SetAlsaLibraryLoader(LibraryLoader* loader) {
  LibraryLoader* previous = sLoader;
  sSources.clear();
  if (sPcm && sAvailable) CloseStream();
  sLoader = loader ? loader : DynamicLibraryLoader();
  sFirstCall = true;
  sAvailable = false;
  sFunctions = {};
  sPcm = nullptr;
  return previous;
}

int32_t OpenAlsaSource(int32_t rate) {
  if (!sPcm && !OpenStream(rate)) return -1;
  const int32_t id = sNextSource++;
  sSources[id] = Source();
  return id;
}

void CloseAlsaSource(int32_t source) {
  if (sSources.erase(source) == 0) return;
  if (sSources.empty()) CloseStream();
}

int32_t AlsaSourceCount() { return static_cast<int32_t>(sSources.size()); }
int32_t AlsaRate() { return sRate; }

size_t AlsaPendingFrames(int32_t source) {
  auto found = sSources.find(source);
  return found == sSources.end() ? 0 : found->second.samples.size() / kAlsaChannels;
}

void QueueAlsaSamples(int32_t source, const int16_t* samples, size_t count) {
  auto found = sSources.find(source);
  if (found == sSources.end()) return;
  count -= count % kAlsaChannels;
  found->second.samples.insert(found->second.samples.end(), samples, samples + count);
}

void EndAlsaSource(int32_t source) {
  auto found = sSources.find(source);
  if (found != sSources.end()) found->second.ended = true;
}

bool PumpAlsa() {
  if (!sPcm) return false;
  const AlsaFunctions& f = Alsa();
  long room = f.snd_pcm_avail_update(sPcm);
  if (room < 0) {
    // An underrun (every source was late) or a suspended device: prepare again and go on.
    if (f.snd_pcm_recover(sPcm, static_cast<int>(room), 1) < 0) return false;
    room = f.snd_pcm_avail_update(sPcm);
    if (room < 0) return room == -EAGAIN;
  }
  const size_t frames = std::min(static_cast<size_t>(room), ReadyFrames());
  if (frames == 0) return true;
  sMix.assign(frames * kAlsaChannels, 0);
  for (const auto& [id, source] : sSources) {
    const size_t count = std::min(sMix.size(), source.samples.size());
    for (size_t i = 0; i < count; ++i) sMix[i] += source.samples[i];
  }
  sOut.resize(sMix.size());
  std::transform(sMix.begin(), sMix.end(), sOut.begin(), Clip);
  long written = f.snd_pcm_writei(sPcm, sOut.data(), frames);
  if (written == -EAGAIN) return true;
  if (written < 0) {
    if (f.snd_pcm_recover(sPcm, static_cast<int>(written), 1) < 0) return false;
    written = f.snd_pcm_writei(sPcm, sOut.data(), frames);
    if (written == -EAGAIN) return true;
    if (written < 0) return false;
  }
  for (auto& [id, source] : sSources) {
    const size_t used = std::min(source.samples.size(), static_cast<size_t>(written) * kAlsaChannels);
    source.samples.erase(source.samples.begin(), source.samples.begin() + static_cast<std::ptrdiff_t>(used));
  }
  // The stream would otherwise wait for a full buffer, and a short sound would never start.
  if (written > 0 && f.snd_pcm_state(sPcm) == kStatePrepared) f.snd_pcm_start(sPcm);
  return true;
}

bool AlsaDrained() {
  if (!sPcm) return true;
  const long room = Alsa().snd_pcm_avail_update(sPcm);
  // An underrun means the stream ran dry: everything was played.
  return room < 0 || static_cast<unsigned long>(room) >= sBufferFrames;
}

}  // namespace vorn
