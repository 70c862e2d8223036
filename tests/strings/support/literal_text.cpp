#include "strings/support/literal_text.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace vorn::test {

namespace {

constexpr size_t kAreaBytes = 8u << 20;

char* Area() {
  static char* area = [] {
    auto* bytes = static_cast<char*>(std::aligned_alloc(alignof(StringRep), kAreaBytes));
    RegisterStaticStringRange(bytes, bytes + kAreaBytes);
    return bytes;
  }();
  return area;
}

std::atomic<size_t> gUsed{0};

}  // namespace

void PrepareLiterals() { Area(); }

string LiteralOf(const string& text) {
  const auto length = static_cast<size_t>(text.Length());
  const size_t size = (sizeof(StringRep) + length + 2 + alignof(StringRep) - 1) / alignof(StringRep) * alignof(StringRep);
  const size_t at = gUsed.fetch_add(size);
  if (at + size > kAreaBytes) std::abort();
  auto* rep = reinterpret_cast<StringRep*>(Area() + at);
  rep->refCount = 1;
  rep->buffer = reinterpret_cast<char*>(rep + 1);
  rep->bufferSize = static_cast<int32_t>(length + 2);
  rep->length = text.Length();
  rep->encoding = text.Encoding();
  rep->buffer[0] = static_cast<char>(length >= 255 ? 255 : length);
  std::memcpy(rep->buffer + 1, text.CString(), length);
  rep->buffer[1 + length] = '\0';
  return string::Adopt(rep);
}

}  // namespace vorn::test
