#include "strings/format_number.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "strings/decimal_digits.h"
#include "strings/locale_separators.h"
#include "strings/number_text.h"

namespace vorn {

namespace {

// Formats count digits from the first 15 significant ones, as a person reading the number
// expects: 2.675 shows as 2.68 with two decimals.
constexpr int32_t kSignificantDigits = 15;

enum class TokenKind { IntegerDigit, FractionDigit, Point, Sign, Percent, Exponent, Text };

struct Token {
  TokenKind kind;
  std::string text;       // Text: what is shown; Exponent: "E" or "e"
  bool plus = false;      // Sign and Exponent: "+" shown for non-negative values
  int32_t minDigits = 1;  // Exponent: digits at least
};

struct Section {
  std::vector<Token> tokens;
  int32_t integerPlaces = 0;
  int32_t minIntegerDigits = 0;
  int32_t fractionPlaces = 0;
  int32_t minFractionDigits = 0;
  int32_t percents = 0;
  bool grouping = false;
  bool hasSign = false;
  bool scientific = false;

  bool HasDigits() const { return integerPlaces + fractionPlaces > 0; }
};

// Bytes of the UTF-8 character starting at text[i] (1 for a stray byte).
size_t CharLength(std::string_view text, size_t i) {
  auto lead = static_cast<unsigned char>(text[i]);
  size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  size_t end = i + 1;
  while (end < text.size() && end < i + length &&
         (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
    ++end;
  }
  return end - i;
}

std::vector<std::string_view> SplitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (quoted) {
      quoted = c != '"';
    } else if (c == '"') {
      quoted = true;
    } else if (c == '\\') {
      if (i + 1 < format.size()) i += CharLength(format, i + 1);
    } else if (c == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  return sections;
}

void AddText(Section& section, std::string_view text) {
  if (text.empty()) return;
  if (!section.tokens.empty() && section.tokens.back().kind == TokenKind::Text) {
    section.tokens.back().text.append(text);
  } else {
    section.tokens.push_back({TokenKind::Text, std::string(text)});
  }
}

Section ParseSection(std::string_view text) {
  Section section;
  bool afterPoint = false;
  int32_t firstIntegerZero = -1;
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '\\') {
      ++i;
      if (i < text.size()) {
        size_t length = CharLength(text, i);
        AddText(section, text.substr(i, length));
        i += length;
      }
      continue;
    }
    if (c == '"') {
      size_t end = text.find('"', i + 1);
      if (end == std::string_view::npos) end = text.size();
      AddText(section, text.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    if ((c == 'E' || c == 'e') && !section.scientific && i + 1 < text.size() &&
        (text[i + 1] == '+' || text[i + 1] == '-' || text[i + 1] == '0')) {
      Token exponent{TokenKind::Exponent, std::string(1, c)};
      size_t j = i + 1;
      if (text[j] == '+' || text[j] == '-') exponent.plus = text[j++] == '+';
      int32_t zeros = 0;
      while (j < text.size() && (text[j] == '0' || text[j] == '#')) zeros += text[j++] == '0';
      exponent.minDigits = std::max(zeros, 1);
      section.tokens.push_back(exponent);
      section.scientific = true;
      i = j;
      continue;
    }
    switch (c) {
      case '0':
      case '#':
        if (afterPoint) {
          ++section.fractionPlaces;
          if (c == '0') section.minFractionDigits = section.fractionPlaces;
          section.tokens.push_back({TokenKind::FractionDigit, {}});
        } else {
          if (c == '0' && firstIntegerZero < 0) firstIntegerZero = section.integerPlaces;
          ++section.integerPlaces;
          section.tokens.push_back({TokenKind::IntegerDigit, {}});
        }
        break;
      case '.':
        if (afterPoint) {
          AddText(section, ".");
        } else {
          afterPoint = true;
          section.tokens.push_back({TokenKind::Point, {}});
        }
        break;
      case ',':
        if (!afterPoint) section.grouping = true;
        break;
      case '%':
        ++section.percents;
        section.tokens.push_back({TokenKind::Percent, "%"});
        break;
      case '+':
      case '-':
        section.hasSign = true;
        section.tokens.push_back({TokenKind::Sign, {}, c == '+'});
        break;
      default: {
        size_t length = CharLength(text, i);
        AddText(section, text.substr(i, length));
        i += length;
        continue;
      }
    }
    ++i;
  }
  if (firstIntegerZero >= 0) section.minIntegerDigits = section.integerPlaces - firstIntegerZero;
  return section;
}

// The magnitude rounded as the section shows it; `exponent` receives the scientific exponent.
DecimalDigits RoundForSection(const Section& section, DecimalDigits number, int32_t& exponent) {
  exponent = 0;
  if (!section.scientific) {
    RoundToDecimals(number, section.fractionPlaces);
    return number;
  }
  if (number.IsZero()) return number;
  int32_t mantissaDigits = std::max(section.minIntegerDigits, 1);
  RoundToSignificant(number, mantissaDigits + section.fractionPlaces);
  exponent = number.point - mantissaDigits;
  number.point = mantissaDigits;
  return number;
}

class SectionWriter {
 public:
  SectionWriter(const Section& section, const NumberSeparators& separators)
      : mSection(section), mSeparators(separators) {}

  std::string Write(const DecimalDigits& number, int32_t exponent, bool negative,
                    bool implicitMinus) {
    mInteger = number.IsZero() || number.point <= 0 ? std::string() : IntegerDigits(number);
    if (static_cast<int32_t>(mInteger.size()) < mSection.minIntegerDigits) {
      mInteger.insert(0, static_cast<size_t>(mSection.minIntegerDigits) - mInteger.size(), '0');
    }
    mFraction = FractionDigits(number, mSection.fractionPlaces);
    size_t keep = mFraction.find_last_not_of('0');
    keep = keep == std::string::npos ? 0 : keep + 1;
    mFraction.resize(std::max(keep, static_cast<size_t>(mSection.minFractionDigits)));

    std::string out;
    if (implicitMinus) out.push_back('-');
    int32_t integerIndex = 0;
    int32_t fractionIndex = 0;
    bool integerWritten = false;
    for (const Token& token : mSection.tokens) {
      switch (token.kind) {
        case TokenKind::IntegerDigit:
          WriteIntegerPlace(out, integerIndex++);
          integerWritten = true;
          break;
        case TokenKind::FractionDigit:
          if (fractionIndex < static_cast<int32_t>(mFraction.size()))
            out.push_back(mFraction[fractionIndex]);
          ++fractionIndex;
          break;
        case TokenKind::Point:
          if (!integerWritten) {
            // ".00" still shows the integer digits of 12.5.
            WriteIntegerDigits(out, 0, mInteger.size());
            integerWritten = true;
          }
          if (!mFraction.empty()) out.append(mSeparators.decimal);
          break;
        case TokenKind::Sign:
          if (negative) {
            out.push_back('-');
          } else if (token.plus) {
            out.push_back('+');
          }
          break;
        case TokenKind::Percent:
        case TokenKind::Text:
          out.append(token.text);
          break;
        case TokenKind::Exponent: {
          out.append(token.text);
          if (exponent < 0) {
            out.push_back('-');
          } else if (token.plus) {
            out.push_back('+');
          }
          std::string digits =
              std::to_string(exponent < 0 ? -static_cast<int64_t>(exponent) : exponent);
          if (static_cast<int32_t>(digits.size()) < token.minDigits) {
            out.append(static_cast<size_t>(token.minDigits) - digits.size(), '0');
          }
          out.append(digits);
          break;
        }
      }
    }
    return out;
  }

 private:
  // Integer places are filled from the right; the first place also takes any digits that have
  // no place of their own.
  void WriteIntegerPlace(std::string& out, int32_t index) {
    size_t length = mInteger.size();
    size_t places = static_cast<size_t>(mSection.integerPlaces);
    size_t fromRight = places - 1 - static_cast<size_t>(index);
    if (index == 0 && length > places) {
      WriteIntegerDigits(out, 0, length - places);
    }
    if (fromRight < length) {
      size_t at = length - 1 - fromRight;
      WriteIntegerDigits(out, at, at + 1);
    }
  }

  void WriteIntegerDigits(std::string& out, size_t begin, size_t end) {
    size_t length = mInteger.size();
    for (size_t i = begin; i < end; ++i) {
      out.push_back(mInteger[i]);
      size_t fromRight = length - 1 - i;
      if (mSection.grouping && fromRight > 0 && fromRight % 3 == 0)
        out.append(mSeparators.thousands);
    }
  }

  const Section& mSection;
  const NumberSeparators& mSeparators;
  std::string mInteger;
  std::string mFraction;
};

std::string WriteSection(const Section& section, const DecimalDigits& magnitude, bool negative,
                         bool implicitMinus, const NumberSeparators& separators) {
  DecimalDigits scaled = magnitude;
  if (!scaled.IsZero()) scaled.point += 2 * section.percents;
  int32_t exponent = 0;
  DecimalDigits rounded = RoundForSection(section, scaled, exponent);
  return SectionWriter(section, separators).Write(rounded, exponent, negative, implicitMinus);
}

bool RoundsToZero(const Section& section, DecimalDigits magnitude) {
  if (magnitude.IsZero()) return true;
  magnitude.point += 2 * section.percents;
  int32_t exponent = 0;
  return RoundForSection(section, magnitude, exponent).IsZero();
}

}  // namespace

std::string FormatNumber(double value, std::string_view format,
                         const NumberSeparators& separators) {
  if (!std::isfinite(value)) return DoubleToText(value, kDoubleAutomatic, 7);
  if (format.empty()) return DoubleToText(value, kDoubleAutomatic, 7);

  std::vector<std::string_view> texts = SplitSections(format);
  std::vector<Section> sections;
  for (size_t i = 0; i < texts.size() && i < 3; ++i) sections.push_back(ParseSection(texts[i]));
  const Section& positive = sections[0];
  const bool hasNegative = sections.size() >= 2 && !texts[1].empty();
  const bool hasZero = sections.size() >= 3 && !texts[2].empty();

  DecimalDigits magnitude = ToDecimalDigits(value, kSignificantDigits);
  bool negative = value < 0;
  bool ownNegativeSection = negative && hasNegative;
  const Section* section = ownNegativeSection ? &sections[1] : &positive;
  if (RoundsToZero(*section, magnitude)) {
    // Zero, also a number too small to show, never carries a sign.
    magnitude = DecimalDigits();
    negative = false;
    ownNegativeSection = false;
    section = hasZero ? &sections[2] : &positive;
  }
  // A negative section shows the magnitude; its own "+" or "-" still show the sign.
  bool implicitMinus = negative && !ownNegativeSection && !section->hasSign && section->HasDigits();
  return WriteSection(*section, magnitude, negative, implicitMinus, separators);
}

std::vector<FormatSectionFrame> FormatSectionFrames(std::string_view format) {
  std::vector<std::string_view> texts = SplitSections(format);
  std::vector<FormatSectionFrame> frames;
  for (size_t i = 0; i < texts.size() && i < 3; ++i) {
    const Section section = ParseSection(texts[i]);
    FormatSectionFrame frame;
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
    frames.push_back(std::move(frame));
  }
  return frames;
}

string StringFormat(double value, const string& format) {
  string thousands;
  string decimal;
  GetLocaleSeparators(&thousands, &decimal, nullptr, nullptr);
  NumberSeparators separators{thousands.View(), decimal.View()};
  std::string text = FormatNumber(value, format.ToUTF8().View(), separators);
  return string(text, kEncodingUTF8);
}

}  // namespace vorn
