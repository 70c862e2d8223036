#include "strings/c_text.h"

#include <cstring>

#include "strings/case_table.h"

namespace vorn {

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

template <typename Fold>
int CompareFolded(const char* a, const char* b, Fold fold) {
  if (!a || !b) return (a != nullptr) - (b != nullptr);
  const auto* x = reinterpret_cast<const uint8_t*>(a);
  const auto* y = reinterpret_cast<const uint8_t*>(b);
  for (;; ++x, ++y) {
    int difference = fold(*x) - fold(*y);
    if (difference != 0) return Sign(difference);
    if (*x == 0) return 0;
  }
}

}  // namespace

void StringFromCString(string& destination, const char* text) { destination = string(text); }

int CStringCompare(const char* a, const char* b) {
  return CompareFolded(a, b, [](uint8_t byte) { return static_cast<int>(byte); });
}

int CStringCompareNoCase(const char* a, const char* b) {
  return CompareFolded(a, b, [](uint8_t byte) { return static_cast<int>(kUpperCaseTable[byte]); });
}

int32_t CStringLength(const char* text) {
  if (!text) return 0;
  return static_cast<int32_t>(std::strlen(text));
}

char* CStringCopy(char* destination, const char* source) {
  if (!destination) return destination;
  if (!source) {
    destination[0] = '\0';
    return destination;
  }
  std::memmove(destination, source, std::strlen(source) + 1);
  return destination;
}

}  // namespace vorn
