// Bounded readers and writers of byte formats with an explicit byte order. A read or write that
// would cross the end of the buffer does nothing, yields 0 and makes the reader fail for good,
// so a parser can check once at the end of a record instead of before every field.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorn {

class ByteReader {
 public:
  ByteReader(const void* data, size_t size);

  size_t Position() const { return mPosition; }
  size_t Size() const { return mSize; }
  size_t Remaining() const { return mSize - mPosition; }
  bool Failed() const { return mFailed; }
  // Moves to an absolute position; a position past the end fails.
  bool Seek(size_t position);
  bool Skip(size_t count);

  uint8_t ReadU8();
  uint16_t ReadU16BE();
  uint16_t ReadU16LE();
  uint32_t ReadU32BE();
  uint32_t ReadU32LE();
  uint64_t ReadU64BE();
  uint64_t ReadU64LE();
  double ReadDoubleBE();
  double ReadDoubleLE();
  // Copies count bytes; on failure the destination is left untouched.
  bool ReadBytes(void* destination, size_t count);
  // The next count bytes in place, advancing past them; nil (and failed) when fewer remain.
  const uint8_t* Take(size_t count);

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPosition = 0;
  bool mFailed = false;
};

class ByteWriter {
 public:
  ByteWriter(void* data, size_t size);

  size_t Position() const { return mPosition; }
  size_t Remaining() const { return mSize - mPosition; }
  bool Failed() const { return mFailed; }

  bool WriteU8(uint8_t value);
  bool WriteU16BE(uint16_t value);
  bool WriteU16LE(uint16_t value);
  bool WriteU32BE(uint32_t value);
  bool WriteU32LE(uint32_t value);
  bool WriteDoubleBE(double value);
  bool WriteDoubleLE(double value);
  bool WriteBytes(const void* source, size_t count);

 private:
  bool WriteUnsigned(uint64_t value, int byteCount, bool bigEndian);

  uint8_t* mData;
  size_t mSize;
  size_t mPosition = 0;
  bool mFailed = false;
};

}  // namespace vorn
