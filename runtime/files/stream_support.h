// What the three stream classes share: their failed-check report, the end of a store's life
// and the rule that a failure is never left looking like success.
#pragma once

#include <cstdint>
#include <string_view>

#include "files/random_access_mechanism.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace vorn {

// The store's code for a write or close that failed without the store naming a reason (a
// read-only or memory store); it reads as "cannot write".
inline constexpr int32_t kStreamWriteFailedError = 100;

void ReportFileAccessAssertion(int32_t line, const char* condition, const char* message = "");

// Pushes out what the store buffers, closes it and destroys it; answers the error code to keep
// for LastErrorCode. A close that fails with no code of its own answers
// kStreamWriteFailedError, so that data lost at the end does not pass unnoticed. A store that
// another thread waits in (a Close during its wait) stays the stream's, closed once that thread
// is back; the stream goes with it later, that thread holding it meanwhile (StreamHold).
int32_t CloseAndDestroyStore(RandomAccessMechanism*& store);

// Writes the bytes; a refused write that left no code in the store leaves
// kStreamWriteFailedError there.
bool WriteToStore(RandomAccessMechanism* store, const void* bytes, int32_t count);

// Holds the stream for the length of a call that may wait in its store (a pipe, a device): the
// waiting thread gives the runtime away, and another may meanwhile let go of the stream's last
// reference. The stream then goes when the call is over, with its store.
class StreamHold {
 public:
  explicit StreamHold(RuntimeObject* stream) : mStream(stream) { RetainObject(stream); }
  ~StreamHold() { ReleaseObject(mStream); }
  StreamHold(const StreamHold&) = delete;
  StreamHold& operator=(const StreamHold&) = delete;

 private:
  RuntimeObject* mStream;
};

// A new record of the bytes with one reference for the caller; nil for none.
inline StringRep* HandOutBytes(std::string_view bytes, EncodingCode encoding) {
  if (bytes.empty()) return nullptr;
  return NewStringRep(bytes.data(), RecordLength(static_cast<int64_t>(bytes.size())), encoding);
}

// The record a read filled, `length` bytes of it, tagged with `encoding` (room reserved for an
// empty string comes tagged US-ASCII), with one reference for the caller; nil for none.
StringRep* HandOutFilled(string& record, int32_t length, EncodingCode encoding);

// A new record of the next `count` bytes of the store (more than 0), read straight into it
// instead of through a copy: a file of a gigabyte is not held twice. Fewer bytes than asked for
// come in a record of their own length; nil for none.
StringRep* ReadIntoRecord(RandomAccessMechanism* store, int32_t count, EncodingCode encoding);

}  // namespace vorn
