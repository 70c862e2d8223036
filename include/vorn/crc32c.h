// CRC-32C (the Castagnoli polynomial, reflected 0x82F63B78, initial value and final xor
// 0xFFFFFFFF), as the image tool and the loader compute it over an image. The check value of
// the nine bytes "123456789" is 0xE3069283.
//
// Eight bytes are folded per step through eight tables ("slicing by 8"), each byte taken on
// its own, so the result does not depend on the machine's byte order or alignment.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorn::crc32c {

namespace detail {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
  Tables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t crc = i;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0x82F63B78u & (0u - (crc & 1u)));
    tables[0][i] = crc;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    for (size_t t = 1; t < 8; ++t) tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFFu];
  }
  return tables;
}

inline constexpr Tables kTables = MakeTables();

}  // namespace detail

constexpr uint32_t kInitial = 0xFFFFFFFFu;

// Folds `size` bytes into a running value that started at kInitial.
inline uint32_t Update(uint32_t crc, const uint8_t* bytes, size_t size) {
  const auto& t = detail::kTables;
  while (size >= 8) {
    uint32_t low = crc ^ (static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                          (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
    crc = t[7][low & 0xFFu] ^ t[6][(low >> 8) & 0xFFu] ^ t[5][(low >> 16) & 0xFFu] ^ t[4][low >> 24] ^
          t[3][bytes[4]] ^ t[2][bytes[5]] ^ t[1][bytes[6]] ^ t[0][bytes[7]];
    bytes += 8;
    size -= 8;
  }
  while (size-- > 0) crc = (crc >> 8) ^ t[0][(crc ^ *bytes++) & 0xFFu];
  return crc;
}

inline uint32_t Finish(uint32_t crc) { return crc ^ 0xFFFFFFFFu; }

inline uint32_t Compute(const uint8_t* bytes, size_t size) { return Finish(Update(kInitial, bytes, size)); }

}  // namespace vorn::crc32c
