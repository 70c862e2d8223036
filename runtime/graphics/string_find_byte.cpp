#include "graphics/string_find_byte.h"

#include <cstring>

namespace vorn {

int32_t StringFindByte(int32_t start, const string& text, uint8_t value) {
  const int32_t length = text.Length();
  if (start < 0) start = 0;
  if (length == 0 || start >= length) return -1;
  const char* bytes = text.CString();
  const void* found = std::memchr(bytes + start, value, static_cast<size_t>(length - start));
  return found ? static_cast<int32_t>(static_cast<const char*>(found) - bytes) : -1;
}

}  // namespace vorn
