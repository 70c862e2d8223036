#include "strings/c_number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vorn {

namespace {

std::chars_format FormatOf(char form) {
  switch (form) {
    case 'e': return std::chars_format::scientific;
    case 'f': return std::chars_format::fixed;
    default: return std::chars_format::general;
  }
}

}  // namespace

locale_t CNumberLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

double ReadCNumber(const char* text, char** end) {
  const locale_t locale = CNumberLocale();
  return locale ? strtod_l(text, end, locale) : std::strtod(text, end);
}

std::string WriteCNumber(double value, char form, int precision) {
  precision = std::max(precision, 0);
  const std::chars_format format = FormatOf(form);
  // Most numbers fit here; the longest, a fixed 1e308 or an exact expansion, fits the second.
  char small[128];
  auto written = std::to_chars(small, small + sizeof small, value, format, precision);
  if (written.ec == std::errc()) return std::string(small, written.ptr);
  std::string text(static_cast<size_t>(precision) + 400, '\0');
  written = std::to_chars(text.data(), text.data() + text.size(), value, format, precision);
  text.resize(written.ec == std::errc() ? static_cast<size_t>(written.ptr - text.data()) : 0);
  return text;
}

std::string ShortestCNumber(double value) {
  char text[64];
  auto written = std::to_chars(text, text + sizeof text, value);
  return written.ec == std::errc() ? std::string(text, written.ptr) : ExactCNumber(value);
}

std::string PlainCNumber(double value) {
  if (value == 0) return "0";
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-6 && magnitude < 1e21)) return ShortestCNumber(value);
  char text[64];
  auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return written.ec == std::errc() ? std::string(text, written.ptr) : ShortestCNumber(value);
}

}  // namespace vorn
