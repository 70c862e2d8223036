// Texts laid out as a loaded image's string literals: a record and its buffer in memory
// registered as static, never freed or written again. The first call registers the area: make
// it before threads start.
#pragma once

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "strings/vstring.h"

namespace vorn::test {

inline string LiteralOf(const string& text) {
  constexpr size_t kArea = 8u << 20;
  static char* area = [] {
    auto* bytes = static_cast<char*>(std::aligned_alloc(alignof(StringRep), kArea));
    RegisterStaticStringRange(bytes, bytes + kArea);
    return bytes;
  }();
  static std::atomic<size_t> used{0};
  const auto length = static_cast<size_t>(text.Length());
  const size_t at = used.fetch_add((sizeof(StringRep) + length + 2 + 15) / 16 * 16);  // each literal new room
  auto* rep = reinterpret_cast<StringRep*>(area + at);
  if (at + sizeof(StringRep) + length + 2 > kArea) std::abort();
  *rep = {1, reinterpret_cast<char*>(rep + 1), text.Length() + 2, text.Length(), text.Encoding()};
  rep->buffer[0] = static_cast<char>(length >= 255 ? 255 : length);
  std::memcpy(rep->buffer + 1, text.CString(), length + 1);
  return string::Adopt(rep);
}

}  // namespace vorn::test
