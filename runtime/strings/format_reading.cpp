#include "strings/format_reading.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "strings/c_number_text.h"
#include "strings/locale_separators.h"
#include "strings/utf8.h"
#include "vorn/runtime_math.h"

namespace vorn {

namespace {

// Bytes of the UTF-8 character starting at text[i] (1 for a stray byte).
size_t CharAt(std::string_view text, size_t i) {
  const auto offset = static_cast<int32_t>(i);
  return static_cast<size_t>(UTF8NextChar(text.data(), static_cast<int32_t>(text.size()), offset) - offset);
}

// The UTF-8 character that ends at text[end - 1].
size_t CharBefore(std::string_view text, size_t end) {
  size_t start = end - 1;
  while (start > 0 && end - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
  return end - start;
}

bool IsSpace(std::string_view c) { return c == " " || c == "\t" || c == "\u00A0" || c == "\u202F"; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the text holds the character.
bool Holds(std::string_view text, std::string_view c) { return !c.empty() && text.find(c) != std::string_view::npos; }

// The number in the separators' writing, all of the text or none, times ten to `shift`: a
// percent comes back as the decimal it was ("12.3%" is 0.123, not 12.3 / 100).
std::optional<double> ReadWrittenNumber(std::string_view text, const NumberSeparators& separators, int32_t shift = 0) {
  const std::string_view point = separators.decimal;
  std::string_view group = separators.thousands == point ? std::string_view() : separators.thousands;
  const bool spaceGroups = !group.empty() && IsSpace(group);
  std::string c;
  bool digits = false;
  size_t i = 0;
  while (i < text.size()) {
    const size_t length = CharAt(text, i);
    const std::string_view ch = text.substr(i, length);
    if (IsDigit(text[i])) {
      c.push_back(text[i]);
      digits = true;
    } else if (!digits || !(ch == group || (spaceGroups && IsSpace(ch)))) {
      break;
    }
    i += length;
  }
  if (!point.empty() && text.substr(i, point.size()) == point) {
    c.push_back('.');
    for (i += point.size(); i < text.size() && IsDigit(text[i]); ++i) {
      c.push_back(text[i]);
      digits = true;
    }
  }
  if (!digits) return std::nullopt;
  int64_t exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    const bool negative = ++i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t first = i;
    // Beyond any double's range already; more digits change nothing.
    for (; i < text.size() && IsDigit(text[i]); ++i) exponent = std::min<int64_t>(exponent * 10 + (text[i] - '0'), 99999);
    if (i == first) return std::nullopt;
    if (negative) exponent = -exponent;
  }
  if (i != text.size()) return std::nullopt;
  c += "e" + std::to_string(exponent + shift);
  return ReadCNumber(c.c_str());
}

}  // namespace

std::optional<double> ReadFormattedNumber(std::string_view text, std::string_view format,
                                          const NumberSeparators& separators) {
  const std::vector<FormatSectionFrame> frames = FormatSectionFrames(format);
  std::string frameText;
  for (const FormatSectionFrame& frame : frames) frameText += frame.before + frame.after;
  const std::string positive = frames.empty() ? std::string() : frames[0].before + frames[0].after;
  const std::string negative = frames.size() < 2 ? std::string() : frames[1].before + frames[1].after;
  bool minus = false, signSeen = false, negativeMark = false, percentSeen = false;
  // Takes one framing character off; only a negative section's own mark counts as a sign.
  auto takeFrame = [&](std::string_view c) {
    if (IsSpace(c)) return true;
    if (IsDigit(c[0]) || !Holds(frameText, c)) return false;
    negativeMark = negativeMark || (Holds(negative, c) && !Holds(positive, c));
    percentSeen = percentSeen || c == "%";
    return true;
  };
  size_t begin = 0, end = text.size();
  while (begin < end) {
    const std::string_view c = text.substr(begin, CharAt(text, begin));
    // A decimal separator before digits starts the number (".5"), whatever the frame holds.
    const bool startsNumber = c == separators.decimal && begin + c.size() < end && IsDigit(text[begin + c.size()]);
    if (!signSeen && (c == "-" || c == "+")) {
      signSeen = true;
      minus = c == "-";
    } else if (startsNumber || !takeFrame(c)) {
      break;
    }
    begin += c.size();
  }
  while (end > begin) {
    const size_t length = CharBefore(text, end);
    if (!takeFrame(text.substr(end - length, length))) break;
    end -= length;
  }
  const FormatSectionFrame* section = frames.empty() ? nullptr : &frames[negativeMark ? 1 : 0];
  const int32_t shift = percentSeen && section ? -2 * section->percents : 0;
  const std::optional<double> value = ReadWrittenNumber(text.substr(begin, end - begin), separators, shift);
  if (!value) return std::nullopt;
  return minus != negativeMark ? -*value : *value;
}

double StringFormattedValue(const string& text, const string& format) {
  string thousands, decimal;
  GetLocaleSeparators(&thousands, &decimal, nullptr, nullptr);
  const string utf8 = text.ToUTF8();
  const std::optional<double> value =
      ReadFormattedNumber(utf8.View(), format.ToUTF8().View(), NumberSeparators{thousands.View(), decimal.View()});
  return value ? *value : runCDbl(utf8.Rep());
}

std::string CNumberInWriting(std::string_view cText, std::string_view decimal) {
  const std::optional<double> whole = ReadWrittenNumber(
      cText.substr(!cText.empty() && (cText[0] == '-' || cText[0] == '+')), NumberSeparators{"", "."});
  const size_t point = cText.find('.');
  if (!whole || point == std::string_view::npos) return std::string(cText);
  return std::string(cText.substr(0, point)) + std::string(decimal) + std::string(cText.substr(point + 1));
}

string CNumberInLocaleWriting(const string& cText) {
  string decimal;
  GetLocaleSeparators(nullptr, &decimal, nullptr, nullptr);
  const string utf8 = cText.ToUTF8();
  const std::string written = CNumberInWriting(utf8.View(), decimal.View());
  return written == utf8.View() ? cText : string(written, kEncodingUTF8);
}

}  // namespace vorn
