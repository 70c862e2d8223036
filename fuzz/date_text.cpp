// Fuzzes ParseDate: the input is the text. A text it accepts must give a real calendar day.
#include <cstddef>
#include <cstdint>

#include "objects/date_class.h"
#include "strings/vstring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorn::string text(data, static_cast<int32_t>(size > 4096 ? 4096 : size), vorn::kEncodingUTF8);
  VornRuntimeObject* date = nullptr;
  if (parseDate(text.Rep(), &date)) {
    int32_t month = dateFieldGetter(date, vorn::kDateMonth);
    int32_t day = dateFieldGetter(date, vorn::kDateDay);
    if (!date || month < 1 || month > 12 || day < 1 || day > 31) __builtin_trap();
    RuntimeUnlockObject(date);
  }
  return 0;
}
