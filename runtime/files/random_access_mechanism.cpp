#include "files/random_access_mechanism.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "strings/pinned_int.h"

namespace vorn {

bool RandomAccessMechanism::SetPosition64(int64_t position) { return SetPosition(PinToInt32(position)); }

int32_t RandomAccessMechanism::ReadWhole(void* buffer, int32_t count) {
  int32_t total = 0;
  for (int32_t got = 0; total < count && Read(static_cast<uint8_t*>(buffer) + total, count - total, &got) && got > 0;) {
    total += got;
  }
  return total;
}

int64_t RandomAccessMechanism::BytesLeft() {
  const int64_t length = GetLength64();
  const int64_t position = GetPosition64();
  if (length < 0 || position < 0 || position >= length) return 0;
  return length - position;
}

int32_t RandomAccessMechanism::ReadableCount(int32_t count) {
  constexpr int32_t kPiece = 64 * 1024;
  if (IsSequential()) return std::min(count, kPiece);
  const int64_t left = BytesLeft();
  return static_cast<int32_t>(std::min<int64_t>(count, LengthIsHint() ? std::max<int64_t>(left, kPiece) : left));
}

int32_t RandomAccessMechanism::Answer32(int64_t value) {
  if (value > INT32_MAX) {
    mLastError = EOVERFLOW;
    return -1;
  }
  return static_cast<int32_t>(value);
}

bool RandomAccessMechanism::SetScramble(bool on) {
  bool previous = mScramble != 0;
  if (on) {
    mScrambleUsed = 1;
    if (!previous) mScrambleKey = 255;
  }
  mScramble = on ? 1 : 0;
  return previous;
}

void RandomAccessMechanism::ScrambleInPlace(uint8_t* bytes, int32_t count) {
  if (!mScramble) return;
  uint8_t key = static_cast<uint8_t>(mScrambleKey);
  for (int32_t i = 0; i < count; ++i) {
    uint8_t plain = bytes[i];
    bytes[i] = static_cast<uint8_t>(plain ^ key);
    key ^= plain;
  }
  mScrambleKey = key;
}

void RandomAccessMechanism::DescrambleInPlace(uint8_t* bytes, int32_t count) {
  if (!mScramble) return;
  uint8_t key = static_cast<uint8_t>(mScrambleKey);
  for (int32_t i = 0; i < count; ++i) {
    uint8_t plain = static_cast<uint8_t>(bytes[i] ^ key);
    bytes[i] = plain;
    key ^= plain;
  }
  mScrambleKey = key;
}

bool RandomAccessMechanism::ReadFromBytes(const uint8_t* data, int32_t length, int32_t* position, void* buffer,
                                          int32_t count, int32_t* outCount) {
  if (outCount) *outCount = 0;
  if (count == 0) return true;
  if (count < 0 || !buffer) return false;
  if (*position < 0) *position = 0;
  if (!data || *position >= length) return false;
  int32_t available = length - *position;
  int32_t copied = count < available ? count : available;
  std::memcpy(buffer, data + *position, static_cast<size_t>(copied));
  DescrambleInPlace(static_cast<uint8_t*>(buffer), copied);
  *position += copied;
  if (outCount) *outCount = copied;
  return true;
}

}  // namespace vorn
