#include "strings/format_reading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "strings/c_number_text.h"
#include "strings/format_sections.h"
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

// Digits beyond the largest double read as the largest double: a format shows that one rounded
// up to its first 15 digits ("179,769,313,486,232,000,..."), which must read back as a number.
double SaturatedCNumber(const std::string& digits) {
  const double value = ReadCNumber(digits.c_str());
  return std::isinf(value) ? std::copysign(std::numeric_limits<double>::max(), value) : value;
}

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
  return SaturatedCNumber(c);
}

// What one section of a format shows around its number: its text (and each "%") before the
// first digit place and after the last one, and how many times it multiplies by 100.
struct SectionFrame {
  std::string before;
  std::string after;
  int32_t percents = 0;
};

SectionFrame FrameOf(const Section& section) {
  SectionFrame frame;
  frame.percents = section.percents;
  bool numberSeen = false;
  for (const Token& token : section.tokens) {
    if (token.kind == TokenKind::Text || token.kind == TokenKind::Percent) {
      (numberSeen ? frame.after : frame.before) += token.text;
    } else if (token.kind != TokenKind::Sign) {
      // Text between digit places is no frame: only what follows the last one is.
      numberSeen = true;
      frame.after.clear();
    }
  }
  return frame;
}

// One part of what a section writes, in order: a run of integer digits (grouped), the decimal
// separator (written only before fraction digits), a run of fraction digits, a sign place
// ("-", "+" or nothing), text as it stands, an exponent.
enum class PartKind { Integer, Point, Fraction, Sign, Literal, Exponent };
struct Part {
  PartKind kind;
  std::string text;  // Literal: the text; Exponent: its letter
};

std::vector<Part> PartsOf(const Section& section) {
  std::vector<Part> parts;
  bool integerSeen = false;
  auto add = [&](PartKind kind, const std::string& text = std::string()) {
    if (!parts.empty() && parts.back().kind == kind && (kind == PartKind::Integer || kind == PartKind::Fraction)) return;
    if (!parts.empty() && parts.back().kind == kind && kind == PartKind::Literal) {
      parts.back().text += text;
      return;
    }
    parts.push_back({kind, text});
  };
  for (const Token& token : section.tokens) {
    switch (token.kind) {
      case TokenKind::IntegerDigit: add(PartKind::Integer), integerSeen = true; break;
      case TokenKind::FractionDigit: add(PartKind::Fraction); break;
      case TokenKind::Point:
        // ".00" writes the integer digits at its point.
        if (!integerSeen) add(PartKind::Integer), integerSeen = true;
        add(PartKind::Point);
        break;
      case TokenKind::Sign: add(PartKind::Sign); break;
      case TokenKind::Percent:
      case TokenKind::Text: add(PartKind::Literal, token.text); break;
      case TokenKind::Exponent: add(PartKind::Exponent, token.text); break;
    }
  }
  return parts;
}

// What a section's writing holds, taken back part by part.
struct SectionReading {
  std::string integer, fraction;  // the digits
  bool point = false;
  bool minus = false;  // a "-" in a sign place, or before a section that writes none
  int64_t exponent = 0;
};

// Takes a text back through the parts of one section, exactly as the writer lays them out,
// except that the grouping separators are optional and the digit runs take any number of
// digits (a typed "1234.567" reads through "#,##0.00"). Text inside the frame may hold digits,
// signs or separators of its own, so each run tries every length, longest first; a budget
// bounds the search over hostile text.
class SectionMatcher {
 public:
  SectionMatcher(const Section& section, const NumberSeparators& separators, std::string_view text)
      : mSection(section), mParts(PartsOf(section)), mText(text), mPoint(separators.decimal) {
    mGroup = separators.thousands == separators.decimal ? std::string_view() : separators.thousands;
    mSpaceGroups = !mGroup.empty() && IsSpace(mGroup);
  }

  // Whether a reading of the whole text that `accept` takes is there; the first is handed to it.
  template <typename Accept>
  bool Read(bool leadingMinus, Accept accept) {
    SectionReading reading;
    size_t at = 0;
    if (leadingMinus) {
      if (mText.substr(0, 1) != "-") return false;
      reading.minus = true;
      at = 1;
    }
    mAccept = accept;
    return Match(0, at, reading);
  }

 private:
  bool Match(size_t part, size_t at, SectionReading reading) {
    if (--mBudget < 0) return false;
    if (part == mParts.size()) return at == mText.size() && Complete(reading) && mAccept(reading);
    const Part& p = mParts[part];
    switch (p.kind) {
      case PartKind::Literal:
        return mText.substr(at, p.text.size()) == p.text && Match(part + 1, at + p.text.size(), reading);
      case PartKind::Sign:
        for (const char sign : {'-', '+'}) {
          if (at < mText.size() && mText[at] == sign) {
            SectionReading withSign = reading;
            withSign.minus = sign == '-';
            if (Match(part + 1, at + 1, withSign)) return true;
          }
        }
        return Match(part + 1, at, reading);
      case PartKind::Point:
        if (!mPoint.empty() && mText.substr(at, mPoint.size()) == mPoint) {
          SectionReading pointed = reading;
          pointed.point = true;
          if (Match(part + 1, at + mPoint.size(), pointed)) return true;
        }
        return Match(part + 1, at, reading);
      case PartKind::Integer:
      case PartKind::Fraction: {
        const bool integer = p.kind == PartKind::Integer;
        if (!integer && !reading.point) return Match(part + 1, at, reading);
        // The run's digits, and the ends it may stop at: after each digit, groups only between
        // digits.
        std::string digits;
        std::vector<size_t> ends{at};
        for (size_t i = at; i < mText.size();) {
          if (IsDigit(mText[i])) {
            digits.push_back(mText[i++]);
            ends.push_back(i);
            continue;
          }
          const size_t group = integer && !digits.empty() ? GroupAt(i) : 0;
          if (group == 0 || i + group >= mText.size() || !IsDigit(mText[i + group])) break;
          i += group;
        }
        for (size_t count = digits.size() + 1; count-- > 0;) {
          SectionReading taken = reading;
          (integer ? taken.integer : taken.fraction).append(digits, 0, count);
          if (Match(part + 1, ends[count], taken)) return true;
        }
        return false;
      }
      case PartKind::Exponent: {
        if (at >= mText.size() || (mText[at] | 0x20) != (p.text[0] | 0x20)) return false;
        size_t i = at + 1;
        const bool negative = i < mText.size() && mText[i] == '-';
        if (i < mText.size() && (mText[i] == '-' || mText[i] == '+')) ++i;
        int64_t exponent = 0;
        std::vector<std::pair<size_t, int64_t>> ends;
        // Beyond any double's range already; more digits change nothing.
        for (; i < mText.size() && IsDigit(mText[i]); ++i) {
          exponent = std::min<int64_t>(exponent * 10 + (mText[i] - '0'), 99999);
          ends.emplace_back(i + 1, exponent);
        }
        for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
          SectionReading taken = reading;
          taken.exponent = negative ? -end->second : end->second;
          if (Match(part + 1, end->first, taken)) return true;
        }
        return false;
      }
    }
    return false;
  }

  // Bytes of a grouping separator at text[i]; 0 when none stands there.
  size_t GroupAt(size_t i) const {
    if (mGroup.empty()) return 0;
    if (mText.substr(i, mGroup.size()) == mGroup) return mGroup.size();
    const size_t length = CharAt(mText, i);
    return mSpaceGroups && IsSpace(mText.substr(i, length)) ? length : 0;
  }

  // As many digits as the section always writes; a section with digit places shows one at least.
  bool Complete(const SectionReading& reading) const {
    if (static_cast<int32_t>(reading.integer.size()) < mSection.minIntegerDigits) return false;
    if (static_cast<int32_t>(reading.fraction.size()) < mSection.minFractionDigits) return false;
    return !mSection.HasDigits() || !reading.integer.empty() || !reading.fraction.empty() ||
           mSection.minIntegerDigits + mSection.minFractionDigits == 0;
  }

  const Section& mSection;
  std::vector<Part> mParts;
  std::string_view mText;
  std::string_view mPoint;
  std::string_view mGroup;
  bool mSpaceGroups = false;
  int mBudget = 4000;
  std::function<bool(const SectionReading&)> mAccept;
};

// The magnitude a section's reading holds, the percents divided back out.
double MagnitudeOf(const SectionReading& reading, const Section& section) {
  std::string c = reading.integer.empty() ? std::string("0") : reading.integer;
  if (!reading.fraction.empty()) c += "." + reading.fraction;
  c += "e" + std::to_string(reading.exponent - 2 * static_cast<int64_t>(section.percents));
  return SaturatedCNumber(c);
}

// The number a text shows when it is what one of the format's sections writes (up to grouping
// and the number of digits): the positive section first, then the negative one (its number is
// negative whatever its signs show), then the zero section. A reading that the writer turns into
// this very text wins over one that only fits the section's shape, so that "5.50" under
// "0.0#;0.00" is the negative section's -5.5. A negative section without a sign or text of its
// own writes what the positive one writes: that reads positive.
std::optional<double> ReadSectionWriting(std::string_view text, std::string_view format,
                                         const NumberSeparators& separators) {
  const FormatSections parsed = ParseFormatSections(format);
  const std::vector<Section>& sections = parsed.sections;
  enum class Role { Positive, Negative, Zero };
  struct Way {
    const Section* section;
    Role role;
    bool leadingMinus;  // a section without a sign of its own writes a negative number's "-" first
  };
  std::vector<Way> ways;
  if (sections[0].HasDigits()) {
    ways.push_back({&sections[0], Role::Positive, false});
    if (!parsed.hasNegative && !sections[0].hasSign) ways.push_back({&sections[0], Role::Positive, true});
  }
  if (parsed.hasNegative && sections[1].HasDigits()) ways.push_back({&sections[1], Role::Negative, false});
  if (parsed.hasZero) ways.push_back({&sections[2], Role::Zero, false});
  for (const bool exact : {true, false}) {
    for (const Way& way : ways) {
      std::optional<double> found;
      SectionMatcher(*way.section, separators, text).Read(way.leadingMinus, [&](const SectionReading& reading) {
        const double magnitude = way.section->HasDigits() ? MagnitudeOf(reading, *way.section) : 0.0;
        const bool negative = way.role == Role::Negative || (way.role == Role::Positive && reading.minus);
        const double value = negative && magnitude != 0 ? -magnitude : magnitude;
        if (exact && FormatNumber(value, format, separators) != text) return false;
        found = value;
        return true;
      });
      if (found) return found;
    }
  }
  return std::nullopt;
}

// The number as typed: the frames a format writes around its number (a currency sign, "%",
// parentheses, spaces) may stand at either end, and a "+" or "-" before or after the digits.
std::optional<double> ReadTypedNumber(std::string_view text, std::string_view format,
                                      const NumberSeparators& separators) {
  const FormatSections parsed = ParseFormatSections(format);
  std::vector<SectionFrame> frames;
  for (const Section& section : parsed.sections) frames.push_back(FrameOf(section));
  std::string frameText;
  for (const SectionFrame& frame : frames) frameText += frame.before + frame.after;
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
  auto takeSign = [&](std::string_view c) {
    if (signSeen || (c != "-" && c != "+")) return false;
    signSeen = true;
    minus = c == "-";
    return true;
  };
  size_t begin = 0, end = text.size();
  while (begin < end) {
    const std::string_view c = text.substr(begin, CharAt(text, begin));
    // A decimal separator before digits starts the number (".5"), whatever the frame holds.
    const bool startsNumber = c == separators.decimal && begin + c.size() < end && IsDigit(text[begin + c.size()]);
    if (!takeSign(c) && (startsNumber || !takeFrame(c))) break;
    begin += c.size();
  }
  while (end > begin) {
    const size_t length = CharBefore(text, end);
    const std::string_view c = text.substr(end - length, length);
    if (!takeFrame(c) && !takeSign(c)) break;
    end -= length;
  }
  const SectionFrame* section = frames.empty() ? nullptr : &frames[negativeMark ? 1 : 0];
  const int32_t shift = percentSeen && section ? -2 * section->percents : 0;
  const std::optional<double> value = ReadWrittenNumber(text.substr(begin, end - begin), separators, shift);
  if (!value) return std::nullopt;
  return minus != negativeMark ? -*value : *value;
}

}  // namespace

std::optional<double> ReadFormattedNumber(std::string_view text, std::string_view format,
                                          const NumberSeparators& separators) {
  if (!format.empty()) {
    if (const std::optional<double> written = ReadSectionWriting(text, format, separators)) return written;
  }
  return ReadTypedNumber(text, format, separators);
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
