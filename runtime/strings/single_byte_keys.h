// How case-insensitive search folds the bytes of a single-byte encoding.
#pragma once

#include <array>
#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// Marks a key of a byte that is no character of its encoding: equal only to itself.
constexpr uint32_t kInvalidKey = 0x80000000u;

struct SingleByteKeys {
  std::array<uint32_t, 256> key;  // the capital of each byte's character, as code points fold
  std::array<bool, 256> alone;    // no other byte has the same key
  bool everyByteKeyed;            // no byte has an invalid key
};

// Whether every byte of the text has a valid key: a character that converts to UTF-8 and back
// unchanged, as ConvertsExactly tells of the whole text.
bool EveryByteKeyed(const SingleByteKeys& keys, const char* bytes, int32_t length);

// Made once per encoding. Encodings without a converter fold through the 8-bit table.
const SingleByteKeys& SingleByteKeysFor(EncodingCode encoding);

}  // namespace vorn
