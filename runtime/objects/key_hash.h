// Seeded hashes for Dictionary keys. A program's peer may choose the keys (names read from a
// socket, numbers packed from coordinates), so every hash depends on a secret drawn once per
// process: no set of keys chosen beforehand can share a probe start. Nothing stores a hash,
// so they may differ from one run to the next.
#pragma once

#include <cstdint>

namespace vorn {

struct KeyHashSeed {
  uint64_t sip0, sip1;  // the text hash's key
  uint64_t mix;         // the number mixer's key
};

// From the system's random source at first use (a mix of clock and addresses when it fails).
KeyHashSeed DrawKeyHashSeed();

inline const KeyHashSeed& KeySeed() {
  static const KeyHashSeed seed = DrawKeyHashSeed();
  return seed;
}

// All 64 bits through a keyed multiply-xorshift finaliser; the high half of the result.
inline uint32_t MixKeyBits(uint64_t x) {
  x ^= KeySeed().mix;
  x ^= x >> 27;
  x *= 0x3c79ac492ba7b653ull;
  x ^= x >> 33;
  x *= 0x1c69b3f74ac4ae35ull;
  x ^= x >> 27;
  return static_cast<uint32_t>(x >> 32);
}

// SipHash-1-3 over a byte stream fed a byte or an aligned eight at a time.
class TextKeyHasher {
 public:
  TextKeyHasher() {
    const KeyHashSeed& seed = KeySeed();
    v0 = seed.sip0 ^ 0x736f6d6570736575ull;
    v1 = seed.sip1 ^ 0x646f72616e646f6dull;
    v2 = seed.sip0 ^ 0x6c7967656e657261ull;
    v3 = seed.sip1 ^ 0x7465646279746573ull;
  }

  void Byte(uint8_t byte) {
    mTail |= static_cast<uint64_t>(byte) << (8 * (mLength & 7));
    if ((++mLength & 7) == 0) {
      Word(mTail);
      mTail = 0;
    }
  }
  bool Aligned() const { return (mLength & 7) == 0; }
  // Eight bytes, the first in the low bits; only when Aligned().
  void Eight(uint64_t bytes) {
    Word(bytes);
    mLength += 8;
  }

  uint32_t Finish() {
    Word(mTail | (mLength << 56));
    v2 ^= 0xff;
    Round();
    Round();
    Round();
    return static_cast<uint32_t>((v0 ^ v1 ^ v2 ^ v3) >> 32);
  }

 private:
  static uint64_t Rotate(uint64_t x, int n) { return (x << n) | (x >> (64 - n)); }
  void Round() {
    v0 += v1;
    v1 = Rotate(v1, 13) ^ v0;
    v0 = Rotate(v0, 32);
    v2 += v3;
    v3 = Rotate(v3, 16) ^ v2;
    v0 += v3;
    v3 = Rotate(v3, 21) ^ v0;
    v2 += v1;
    v1 = Rotate(v1, 17) ^ v2;
    v2 = Rotate(v2, 32);
  }
  void Word(uint64_t m) {
    v3 ^= m;
    Round();
    v0 ^= m;
  }

  uint64_t v0, v1, v2, v3;
  uint64_t mTail = 0;
  uint64_t mLength = 0;
};

}  // namespace vorn
