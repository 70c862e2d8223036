#include "strings/format_number.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "strings/decimal_digits.h"
#include "strings/format_sections.h"
#include "strings/locale_separators.h"
#include "strings/number_text.h"

namespace vorn {

namespace {

// Formats count digits from the first 15 significant ones, as a person reading the number
// expects: 2.675 shows as 2.68 with two decimals.
constexpr int32_t kSignificantDigits = 15;

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

  const FormatSections parsed = ParseFormatSections(format);
  const std::vector<Section>& sections = parsed.sections;
  const Section& positive = sections[0];
  const bool hasNegative = parsed.hasNegative;
  const bool hasZero = parsed.hasZero;

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

string StringFormat(double value, const string& format) {
  string thousands;
  string decimal;
  GetLocaleSeparators(&thousands, &decimal, nullptr, nullptr);
  NumberSeparators separators{thousands.View(), decimal.View()};
  std::string text = FormatNumber(value, format.ToUTF8().View(), separators);
  return string(text, kEncodingUTF8);
}

}  // namespace vorn
