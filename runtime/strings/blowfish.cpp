#include "strings/blowfish.h"

#include <cstring>
#include <utility>

namespace vorn {

namespace {

uint32_t ReadBig(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

void WriteBig(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value >> 24);
  p[1] = static_cast<uint8_t>(value >> 16);
  p[2] = static_cast<uint8_t>(value >> 8);
  p[3] = static_cast<uint8_t>(value);
}

}  // namespace

BlowfishCipher::BlowfishCipher() {
  std::memcpy(mP, kBlowfishInitialP, sizeof mP);
  std::memcpy(mS, kBlowfishInitialS, sizeof mS);
}

uint32_t BlowfishCipher::F(uint32_t x) const {
  return ((mS[0][x >> 24] + mS[1][(x >> 16) & 0xFF]) ^ mS[2][(x >> 8) & 0xFF]) + mS[3][x & 0xFF];
}

void BlowfishCipher::Encipher(uint32_t& left, uint32_t& right) const {
  uint32_t l = left, r = right;
  for (int i = 0; i < kBlowfishRounds; ++i) {
    l ^= mP[i];
    r ^= F(l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= mP[kBlowfishRounds];
  l ^= mP[kBlowfishRounds + 1];
  left = l;
  right = r;
}

void BlowfishCipher::Decipher(uint32_t& left, uint32_t& right) const {
  uint32_t l = left, r = right;
  for (int i = kBlowfishRounds + 1; i > 1; --i) {
    l ^= mP[i];
    r ^= F(l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= mP[1];
  l ^= mP[0];
  left = l;
  right = r;
}

bool BlowfishCipher::SetKey(const uint8_t* key, int32_t length) {
  if (!key || length < 1) return false;
  *this = BlowfishCipher();
  int32_t at = 0;
  for (uint32_t& subkey : mP) {
    uint32_t word = 0;
    for (int b = 0; b < 4; ++b) {
      word = word << 8 | key[at];
      at = (at + 1) % length;
    }
    subkey ^= word;
  }
  uint32_t l = 0, r = 0;
  for (int i = 0; i < kBlowfishRounds + 2; i += 2) {
    Encipher(l, r);
    mP[i] = l;
    mP[i + 1] = r;
  }
  for (auto& box : mS) {
    for (int i = 0; i < 256; i += 2) {
      Encipher(l, r);
      box[i] = l;
      box[i + 1] = r;
    }
  }
  return true;
}

void BlowfishCipher::RunBlocks(uint8_t* bytes, int32_t blockCount, bool encipher) const {
  for (int32_t i = 0; i < blockCount; ++i, bytes += 8) {
    uint32_t l = ReadBig(bytes), r = ReadBig(bytes + 4);
    if (encipher) {
      Encipher(l, r);
    } else {
      Decipher(l, r);
    }
    WriteBig(bytes, l);
    WriteBig(bytes + 4, r);
  }
}

}  // namespace vorn
