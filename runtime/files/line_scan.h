// Finding where a line of 8-bit units ends, inline where a line is taken from a buffer: the
// look costs less than a call at lines of tens of bytes.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace vorn::line_scan {

inline constexpr uint8_t kCarriageReturnByte = 0x0D;
inline constexpr uint8_t kLineFeedByte = 0x0A;

// The first CR or LF byte in [at, end), or end: one pass over a line, where looking for each
// byte on its own passes twice and costs two calls a line. A line of up to 64 bytes is found in
// one step, whose branch is then always taken the same way.
inline __attribute__((always_inline)) uint32_t LineBytesIn16(const uint8_t* at) {
  const __m128i piece = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const __m128i lineFeed = _mm_cmpeq_epi8(piece, _mm_set1_epi8(static_cast<char>(kLineFeedByte)));
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(lineFeed, _mm_cmpeq_epi8(piece, _mm_set1_epi8(static_cast<char>(kCarriageReturnByte))))));
}

inline __attribute__((always_inline)) const uint8_t* FindLineByte(const uint8_t* at, const uint8_t* end) {
  for (; end - at >= 64; at += 64) {
    const uint64_t hits = uint64_t{LineBytesIn16(at)} | uint64_t{LineBytesIn16(at + 16)} << 16 |
                          uint64_t{LineBytesIn16(at + 32)} << 32 | uint64_t{LineBytesIn16(at + 48)} << 48;
    if (hits != 0) return at + __builtin_ctzll(hits);
  }
  for (; end - at >= 16; at += 16) {
    if (const uint32_t hits = LineBytesIn16(at)) return at + __builtin_ctz(hits);
  }
  while (at < end && *at != kLineFeedByte && *at != kCarriageReturnByte) ++at;
  return at;
}

}  // namespace vorn::line_scan
