#include "strings/locale_separators.h"

#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstring>
#include <string>

namespace vorn {

namespace {

// The locale's text in UTF-8, or the fallback when it is empty or cannot be converted.
string LocaleTextAsUTF8(const char* text, const char* fallback) {
  if (!text || !*text) return string(std::string_view(fallback), kEncodingUTF8);
  size_t length = std::strlen(text);
  if (IsAllASCII(text, static_cast<int32_t>(length))) {
    return string(std::string_view(text, length), kEncodingUTF8);
  }
  const char* codeset = nl_langinfo(CODESET);
  if (codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0)) {
    return string(std::string_view(text, length), kEncodingUTF8);
  }
  iconv_t converter = iconv_open("UTF-8", codeset ? codeset : "");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    return string(std::string_view(fallback), kEncodingUTF8);
  }
  std::string input(text, length);
  char output[64];
  char* in = input.data();
  size_t inLeft = length;
  char* out = output;
  size_t outLeft = sizeof output;
  size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1) || inLeft != 0) {
    return string(std::string_view(fallback), kEncodingUTF8);
  }
  return string(std::string_view(output, sizeof output - outLeft), kEncodingUTF8);
}

}  // namespace

void GetLocaleSeparators(string* thousands, string* decimal, string* date, string* time) {
  if (thousands || decimal) {
    const struct lconv* conventions = std::localeconv();
    if (thousands) *thousands = LocaleTextAsUTF8(conventions->thousands_sep, ",");
    if (decimal) *decimal = LocaleTextAsUTF8(conventions->decimal_point, ".");
  }
  if (date) *date = string(std::string_view("/"), kEncodingUTF8);
  if (time) *time = string(std::string_view(":"), kEncodingUTF8);
}

}  // namespace vorn
