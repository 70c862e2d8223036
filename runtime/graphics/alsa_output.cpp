#include "graphics/alsa_output.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "graphics/device_worker.h"

namespace vorn {

namespace {

constexpr int kStreamPlayback = 0;
constexpr int kOpenNonBlocking = 1;
constexpr int kFormatS16LE = 2;
constexpr int kAccessInterleaved = 3;
constexpr int kStatePrepared = 2;
// Short enough that Stop is heard at once, long enough to ride out a busy run loop.
constexpr unsigned int kLatencyMicroseconds = 100000;
// The device is called on a thread of its own: Play and the run loop wait kAlsaDeviceWait at
// most for a call, and a call that has not come back within this limit has hung the device,
// which then counts as none.
constexpr auto kDeviceGiveUp = std::chrono::milliseconds(500);
std::chrono::milliseconds sDeviceWait = kAlsaDeviceWait;

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

// The stream as the device's thread keeps it: only the calls it runs touch it, and this side
// reads it once a call has run.
struct Stream {
  AlsaFunctions f = {};
  AlsaPcm* pcm = nullptr;
  unsigned long bufferFrames = 0;
};

// What a call on the device did.
struct Outcome {
  bool failed = false;
  long written = 0;    // frames the device took
  long roomAfter = 0;  // its room after them; below 0 when it ran dry
};

struct PendingCall {
  DeviceWorker::Ticket call;
  std::shared_ptr<Outcome> outcome;
  bool opening = false;
};

DeviceWorker* sWorker = nullptr;
// A worker let go while a call of its stream hung: until it ends, there is no device.
DeviceWorker::Watch sHung;
std::shared_ptr<Stream> sStream;
std::optional<PendingCall> sPending;
int32_t sRate = 0;
unsigned long sBufferFrames = 0;
long sRoomAfter = 0;
int32_t sNextSource = 0;
std::map<int32_t, Source> sSources;

// --- on the device's thread ----------------------------------------------------------------

void CloseOnDevice(Stream& stream) {
  if (stream.pcm) stream.f.snd_pcm_close(stream.pcm);
  stream.pcm = nullptr;
}

bool OpenOnDevice(Stream& stream, int32_t rate) {
  const AlsaFunctions& f = stream.f;
  if (f.snd_pcm_open(&stream.pcm, "default", kStreamPlayback, kOpenNonBlocking) < 0) {
    stream.pcm = nullptr;
    return false;
  }
  unsigned long period = 0;
  if (f.snd_pcm_set_params(stream.pcm, kFormatS16LE, kAccessInterleaved, kAlsaChannels, static_cast<unsigned int>(rate),
                           1, kLatencyMicroseconds) < 0 ||
      f.snd_pcm_get_params(stream.pcm, &stream.bufferFrames, &period) < 0) {
    CloseOnDevice(stream);
    return false;
  }
  return true;
}

// Hands the device as many of the frames as it takes now.
void WriteOnDevice(Stream& stream, const std::vector<int16_t>& samples, Outcome* outcome) {
  const AlsaFunctions& f = stream.f;
  AlsaPcm* pcm = stream.pcm;
  outcome->failed = true;
  if (!pcm) return;
  long room = f.snd_pcm_avail_update(pcm);
  if (room < 0) {
    // An underrun (every source was late) or a suspended device: prepare again and go on.
    if (f.snd_pcm_recover(pcm, static_cast<int>(room), 1) < 0) return;
    room = f.snd_pcm_avail_update(pcm);
    if (room < 0) {
      outcome->failed = room != -EAGAIN;
      outcome->roomAfter = room;
      return;
    }
  }
  const unsigned long frames = std::min(static_cast<size_t>(room), samples.size() / kAlsaChannels);
  long written = 0;
  if (frames > 0) {
    written = f.snd_pcm_writei(pcm, samples.data(), frames);
    if (written < 0 && written != -EAGAIN) {
      if (f.snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) return;
      written = f.snd_pcm_writei(pcm, samples.data(), frames);
      if (written < 0 && written != -EAGAIN) return;
    }
    written = std::max(written, 0L);
    // The stream would otherwise wait for a full buffer, and a short sound would never start.
    if (written > 0 && f.snd_pcm_state(pcm) == kStatePrepared) f.snd_pcm_start(pcm);
  }
  outcome->failed = false;
  outcome->written = written;
  outcome->roomAfter = f.snd_pcm_avail_update(pcm);
}

// --- on this side ---------------------------------------------------------------------------

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

// Lets go of a worker that may be stuck in a call; it closes the stream when that returns.
void LetGoOfWorker(bool hung) {
  if (!sWorker) return;
  if (sStream) sWorker->Post([stream = sStream] { CloseOnDevice(*stream); });
  if (hung) sHung = sWorker->WatchEnd();
  delete sWorker;
  sWorker = nullptr;
}

void Forget() {
  sStream.reset();
  sPending.reset();
  sRate = 0;
  sBufferFrames = 0;
  sRoomAfter = 0;
}

void CloseStream() {
  if (sStream && sWorker) {
    auto stream = sStream;
    // A healthy device is closed (its last frames written) before this returns.
    sWorker->Wait(sWorker->Post([stream] { CloseOnDevice(*stream); }), sDeviceWait);
  }
  Forget();
}

// Takes in what the pending call did; false when the stream failed.
bool Settle() {
  const PendingCall pending = *sPending;
  sPending.reset();
  if (pending.outcome->failed) return false;
  if (pending.opening) {
    sBufferFrames = sStream->bufferFrames;
    return true;
  }
  sRoomAfter = pending.outcome->roomAfter;
  const size_t used = static_cast<size_t>(pending.outcome->written) * kAlsaChannels;
  for (auto& [id, source] : sSources) {
    const size_t count = std::min(source.samples.size(), used);
    source.samples.erase(source.samples.begin(), source.samples.begin() + static_cast<std::ptrdiff_t>(count));
  }
  return true;
}

// Posts the call and waits a little for it: it is settled now, or by a later pump.
bool Call(std::function<void()> work, std::shared_ptr<Outcome> outcome, bool opening) {
  sPending = PendingCall{sWorker->Post(std::move(work)), std::move(outcome), opening};
  return !sWorker->Wait(sPending->call, sDeviceWait) || Settle();
}

bool OpenStream(int32_t rate) {
  if (!LoadAlsa() || rate <= 0 || !sHung.Ended()) return false;
  if (!sWorker) sWorker = new DeviceWorker();
  sStream = std::make_shared<Stream>();
  sStream->f = Alsa();
  sRate = rate;
  auto outcome = std::make_shared<Outcome>();
  const bool opened = Call([stream = sStream, outcome, rate] { outcome->failed = !OpenOnDevice(*stream, rate); },
                           outcome, true);
  if (!opened) Forget();
  return opened;
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

void SetAlsaDeviceWait(std::chrono::milliseconds wait) { sDeviceWait = wait; }

LibraryLoader* SetAlsaLibraryLoader(LibraryLoader* loader) {
  LibraryLoader* previous = sLoader;
  sSources.clear();
  // Another library is another device: whatever the last one hangs in is left to it.
  if (sPending) {
    LetGoOfWorker(false);
  } else if (sStream) {
    CloseStream();
  }
  Forget();
  sHung = DeviceWorker::Watch();
  sLoader = loader ? loader : DynamicLibraryLoader();
  sFirstCall = true;
  sAvailable = false;
  sFunctions = {};
  return previous;
}

int32_t OpenAlsaSource(int32_t rate) {
  if (!sStream && !OpenStream(rate)) return -1;
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
  if (!sStream) return false;
  if (sPending) {
    if (!sWorker->Wait(sPending->call, std::chrono::milliseconds(0))) {
      if (DeviceWorker::Age(sPending->call) < kDeviceGiveUp) return true;
      // The device hangs: it is given up, and the sounds on it end as on no device.
      LetGoOfWorker(true);
      Forget();
      return false;
    }
    if (!Settle()) return false;
  }
  const size_t frames = ReadyFrames();
  std::vector<int32_t> mix(frames * kAlsaChannels, 0);
  for (const auto& [id, source] : sSources) {
    const size_t count = std::min(mix.size(), source.samples.size());
    for (size_t i = 0; i < count; ++i) mix[i] += source.samples[i];
  }
  auto samples = std::make_shared<std::vector<int16_t>>(mix.size());
  std::transform(mix.begin(), mix.end(), samples->begin(), Clip);
  auto outcome = std::make_shared<Outcome>();
  return Call([stream = sStream, samples, outcome] { WriteOnDevice(*stream, *samples, outcome.get()); }, outcome,
              false);
}

bool AlsaDrained() {
  if (!sStream) return true;
  if (sPending) return false;
  // Running dry means everything was played.
  return sRoomAfter < 0 || static_cast<unsigned long>(sRoomAfter) >= sBufferFrames;
}

}  // namespace vorn
