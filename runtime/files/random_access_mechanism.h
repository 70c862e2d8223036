// The byte store behind every stream: a position, a length, raw reads and writes, the byte-order
// switches the typed values follow and an optional running-XOR scrambling. Files on disk,
// memory handles, strings, MemoryBlocks and files inside virtual volumes all sit behind it, so
// the streams, the volume engine and the database never know which one they hold.
//
// Sizes and positions are signed 32-bit byte counts; files on disk also answer in 64 bits, since
// they may hold more than 32 bits can count. A bool result is true on success.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

class RandomAccessMechanism {
 public:
  RandomAccessMechanism() = default;
  RandomAccessMechanism(const RandomAccessMechanism&) = delete;
  RandomAccessMechanism& operator=(const RandomAccessMechanism&) = delete;
  virtual ~RandomAccessMechanism() = default;

  // Copies up to count bytes from the position into the buffer and advances the position. The
  // out count, when given, is set to 0 first and then to the number of bytes copied.
  virtual bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) = 0;
  // Writes count bytes at the position, growing the store past its end, and advances.
  virtual bool Write(const void* buffer, int32_t count) = 0;
  virtual bool Close() = 0;
  // Whether a read would find nothing more: for a store whose length tells, the position is at or
  // past it; a file on disk and a store read in order look at what comes next instead, waiting
  // for it where a read would. (The C library owns the name EOF as a macro.)
  virtual bool IsEOF() = 0;
  virtual bool SetPosition(int32_t position) = 0;
  virtual int32_t GetLength() = 0;
  virtual bool SetLength(int32_t length) = 0;
  virtual int32_t GetPosition() = 0;
  // The same in 64 bits. Only a store that can grow past 2 GiB answers beyond the 32-bit range;
  // every other one answers its 32-bit values, and clamps a position as its SetPosition does.
  virtual int64_t GetLength64() { return GetLength(); }
  virtual int64_t GetPosition64() { return GetPosition(); }
  virtual bool SetPosition64(int64_t position);
  virtual void Flush() {}
  // Holds the medium under the store against every other opening that asks for it the same
  // way, until the store is closed: one holder alone when exclusive, any number of shared ones.
  // False, with EBUSY, while another holds it. A store no other opening can reach holds it
  // already.
  virtual bool Lock(bool /*exclusive*/) { return true; }
  // Whether the store is read and written in order only (a pipe, a terminal, a device): it has
  // no length and no position, a read gives what has arrived, and IsEOF waits for the next byte
  // or the end.
  virtual bool IsSequential() { return false; }
  // Whether the length is only what the system tells of the medium (a file on disk: /proc and
  // /sys tell 0 or a page, and another program may be writing it): a read in order goes on until
  // the system answers the end, while positions and Length keep the length told.
  virtual bool LengthIsHint() { return false; }
  // Between the pieces of a long read: pending work (a quit signal) is carried out and, on a
  // runtime thread, the others have their turn. False once another thread closed the store
  // meanwhile (EBADF then).
  virtual bool HandOn() { return true; }
  // Whether a thread waits in the store (for a pipe, say) without the runtime: it comes back to
  // the store, so the store must not go meanwhile. Its Close then ends that wait and closes the
  // medium once the waiter is back; every other read or write fails with EBUSY until then.
  bool WaitedIn() const { return mWaitedIn; }
  virtual void SetByteSwap() { mSwapBytes = 1; }
  virtual void ClearByteSwap() { mSwapBytes = 0; }

  // Reads until `count` bytes came or a read gives nothing; the number read. A store read in
  // order gives what has arrived, so one read may take only the front of a value.
  int32_t ReadWhole(void* buffer, int32_t count);
  // The bytes from the position to the end; 0 at or past the end or when either is unknown.
  int64_t BytesLeft();
  // How much a read of `count` bytes should ask for: never more than the store still holds, so
  // that a wild count allocates nothing; a piece of at most 64 KiB from a store read in order,
  // and from a store whose length is a hint what it tells or a piece of 64 KiB if more.
  int32_t ReadableCount(int32_t count);
  // A 64-bit length or position as a 32-bit answer: -1, with EOVERFLOW, when it does not fit.
  int32_t Answer32(int64_t value);

  // Answers the previous setting. Switching on from off restarts the key at 255; switching on
  // while on keeps the running key, and switching off leaves it where it is.
  bool SetScramble(bool on);

  // Typed values: 16- and 32-bit values are little-endian, big-endian while mSwapBytes is set;
  // doubles are big-endian only while mSwapDoubles is set as well. A read is true only when it
  // got every byte, and leaves its target alone otherwise.
  bool WriteByte(uint8_t value);
  bool WriteShort(int16_t value);
  bool WriteLong(int32_t value);
  bool WriteDouble(double value);
  bool ReadByte(uint8_t* value);
  bool ReadShort(int16_t* value);
  bool ReadLong(int32_t* value);
  bool ReadDouble(double* value);

  // A length byte and at most the first 255 bytes of the text.
  bool WritePString(const string& text);
  // Empties the target, then reads a length byte and up to that many bytes; the target keeps
  // only the bytes that arrived. False only when the length byte cannot be read.
  bool ReadPString(string* text);
  // The text's bytes as they are, then a line feed, in one write.
  bool WriteLine(const string& text);
  // A signed 32-bit value in 1 to 5 bytes: six bits and the sign in the first, seven bits in
  // each further one, bit 7 telling that another byte follows.
  bool WriteCompactInteger(int32_t value);
  // False, the target unchanged, when a byte is missing or the value runs past five bytes.
  bool ReadCompactInteger(int32_t* value);

  int32_t mLastError = 0;  // 0, an errno value of a data file, or a store's own code
  uint8_t mScramble = 0;
  uint8_t mScrambleUsed = 0;  // set by every switch-on, never cleared
  uint32_t mScrambleKey = 0;  // the running key, always a byte value
  uint32_t mSwapBytes = 0;
  uint8_t mSwapDoubles = 0;

 protected:
  // Set by a store whose reads wait (see WaitedIn) while a thread waits in it; asked of every
  // line a stream takes from its buffer, so not behind a virtual call.
  bool mWaitedIn = false;
  // While scrambling is on: each plain byte p is stored as p ^ k, and the key becomes k ^ p.
  void ScrambleInPlace(uint8_t* bytes, int32_t count);
  // The inverse, sharing the one running key: each stored byte c gives p = c ^ k, then k ^= p.
  void DescrambleInPlace(uint8_t* bytes, int32_t count);

  // The read of every memory store over `length` bytes at `data`: clamps to what is left after
  // *position, descrambles into the caller's buffer and advances *position. A short read
  // succeeds; a read at the end, a negative count or a missing buffer fails.
  bool ReadFromBytes(const uint8_t* data, int32_t length, int32_t* position, void* buffer, int32_t count,
                     int32_t* outCount);
};

// A requested position clamped into 0..length, the rule of every memory store.
inline int32_t ClampPosition(int32_t position, int32_t length) {
  return position < 0 ? 0 : (position > length ? length : position);
}

}  // namespace vorn
