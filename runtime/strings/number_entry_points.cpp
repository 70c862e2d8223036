// Entry points of compiled code that turn numbers into text and text into numbers.
#include <string>

#include "strings/format_number.h"
#include "strings/locale_separators.h"
#include "strings/number_parse.h"
#include "strings/number_text.h"
#include "vorn/runtime_math.h"

namespace vorn {

namespace {

// The text with the locale's thousands separators taken out and its decimal separator made ".".
std::string WithPlainSeparators(const string& text) {
  string thousands;
  string decimal;
  GetLocaleSeparators(&thousands, &decimal, nullptr, nullptr);
  string utf8 = text.ToUTF8();
  std::string_view in = utf8.View();
  std::string_view group = thousands.View();
  std::string_view point = decimal.View();
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size();) {
    if (!point.empty() && in.substr(i, point.size()) == point) {
      out.push_back('.');
      i += point.size();
    } else if (!group.empty() && group != point && in.substr(i, group.size()) == group) {
      i += group.size();
    } else {
      out.push_back(in[i++]);
    }
  }
  return out;
}

}  // namespace

}  // namespace vorn

extern "C" {

VornStringRecord* StringStr(double value) {
  return vorn::DoubleToString(value, vorn::kDoubleAutomatic, 7).GetRetainedRep();
}

double StringVal(VornStringRecord* text) { return vorn::StringVal(vorn::string::Share(text)); }

double runCDbl(VornStringRecord* text) {
  return vorn::ScanDecimalNumber(vorn::WithPlainSeparators(vorn::string::Share(text)));
}

VornStringRecord* StringFormat(double value, VornStringRecord* format) {
  return vorn::StringFormat(value, vorn::string::Share(format)).GetRetainedRep();
}

VornStringRecord* RuntimeHex(uint32_t value) { return vorn::HexString(value).GetRetainedRep(); }
VornStringRecord* RuntimeOct(uint32_t value) { return vorn::OctalString(value).GetRetainedRep(); }
VornStringRecord* RuntimeBin(uint32_t value) { return vorn::BinaryString(value).GetRetainedRep(); }

}  // extern "C"
