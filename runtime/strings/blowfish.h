// The Blowfish block cipher: 64-bit blocks, 16 rounds, keys of 1 to 72 bytes (the published
// strength is up to 56; bytes after the 72nd take no part in the key schedule).
#pragma once

#include <cstdint>

namespace vorn {

constexpr int kBlowfishRounds = 16;
extern const uint32_t kBlowfishInitialP[kBlowfishRounds + 2];
extern const uint32_t kBlowfishInitialS[4][256];

class BlowfishCipher {
 public:
  // The schedule of no key yet: the initial subkeys as they stand.
  BlowfishCipher();
  // Schedules the key; an empty key leaves the schedule as it is and answers false.
  bool SetKey(const uint8_t* key, int32_t length);
  void Encipher(uint32_t& left, uint32_t& right) const;
  void Decipher(uint32_t& left, uint32_t& right) const;
  // Every 8-byte block of the bytes, in place; each block's halves are big-endian.
  void EncipherBlocks(uint8_t* bytes, int32_t blockCount) const { RunBlocks(bytes, blockCount, true); }
  void DecipherBlocks(uint8_t* bytes, int32_t blockCount) const { RunBlocks(bytes, blockCount, false); }

 private:
  void RunBlocks(uint8_t* bytes, int32_t blockCount, bool encipher) const;
  uint32_t F(uint32_t x) const;
  uint32_t mP[kBlowfishRounds + 2];
  uint32_t mS[4][256];
};

}  // namespace vorn
