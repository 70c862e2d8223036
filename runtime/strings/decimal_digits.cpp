#include "strings/decimal_digits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "strings/c_number_text.h"

namespace vorn {

namespace {

void Normalise(DecimalDigits& number) {
  size_t first = number.digits.find_first_not_of('0');
  if (first == std::string::npos) {
    number.digits.clear();
    number.point = 0;
    return;
  }
  number.digits.erase(0, first);
  number.point -= static_cast<int32_t>(first);
  size_t last = number.digits.find_last_not_of('0');
  number.digits.erase(last + 1);
}

// Keeps the first `keep` digits and rounds on the next one; keep may be 0 or negative.
void KeepDigits(DecimalDigits& number, int64_t keep) {
  int64_t count = static_cast<int64_t>(number.digits.size());
  if (keep >= count) return;
  if (keep < 0) {
    number.digits.clear();
    number.point = 0;
    return;
  }
  bool roundUp = number.digits[static_cast<size_t>(keep)] >= '5';
  number.digits.resize(static_cast<size_t>(keep));
  if (roundUp) {
    int64_t i = keep - 1;
    for (; i >= 0; --i) {
      char& d = number.digits[static_cast<size_t>(i)];
      if (d == '9') {
        d = '0';
      } else {
        ++d;
        break;
      }
    }
    if (i < 0) {
      number.digits.insert(number.digits.begin(), '1');
      ++number.point;
    }
  }
  Normalise(number);
}

constexpr int32_t kMaxDigits = 40;
// Enough significant digits to write any double exactly.
constexpr int32_t kExactDigits = 780;

// The C rules' "d.ddde+NN" or "ddd.ddd" of a magnitude.
DecimalDigits ParsePrinted(const std::string& text) {
  DecimalDigits number;
  int32_t beforePoint = 0;
  bool sawPoint = false;
  size_t i = 0;
  for (; i < text.size() && text[i] != 'e'; ++i) {
    if (text[i] == '.') {
      sawPoint = true;
    } else if (text[i] >= '0' && text[i] <= '9') {
      number.digits.push_back(text[i]);
      if (!sawPoint) ++beforePoint;
    }
  }
  int32_t exponent = i < text.size() ? std::atoi(text.c_str() + i + 1) : 0;
  number.point = beforePoint + exponent;
  Normalise(number);
  return number;
}

// Whether the digits, as printed with `count` significant digits, end in the 5 of a tie.
bool IsPossibleTie(const DecimalDigits& number, int64_t count) {
  return count > 0 && static_cast<int64_t>(number.digits.size()) == count &&
         number.digits.back() == '5';
}

}  // namespace

int DecimalDigits::DigitAt(int32_t index) const {
  int64_t position = static_cast<int64_t>(point) + index;
  if (position < 0 || position >= static_cast<int64_t>(digits.size())) return 0;
  return digits[static_cast<size_t>(position)] - '0';
}

DecimalDigits ToDecimalDigits(double value, int32_t significant) {
  if (!std::isfinite(value) || value == 0) return {};
  significant = std::clamp(significant, 1, kMaxDigits);
  double magnitude = std::fabs(value);
  // The digits are rounded exactly but to even on a tie; a tie shows as a final 5 one digit further.
  DecimalDigits oneMore = ParsePrinted(WriteCNumber(magnitude, 'e', significant));
  if (IsPossibleTie(oneMore, significant + 1)) {
    DecimalDigits exact = ParsePrinted(WriteCNumber(magnitude, 'e', kExactDigits));
    KeepDigits(exact, significant);
    return exact;
  }
  return ParsePrinted(WriteCNumber(magnitude, 'e', significant - 1));
}

DecimalDigits ToDecimalPlaces(double value, int32_t decimals) {
  if (!std::isfinite(value) || value == 0) return {};
  decimals = std::clamp(decimals, 0, kMaxDigits);
  double magnitude = std::fabs(value);
  DecimalDigits oneMore = ParsePrinted(WriteCNumber(magnitude, 'f', decimals + 1));
  if (IsPossibleTie(oneMore, oneMore.point + decimals + 1)) {
    DecimalDigits exact = ParsePrinted(WriteCNumber(magnitude, 'e', kExactDigits));
    RoundToDecimals(exact, decimals);
    return exact;
  }
  return ParsePrinted(WriteCNumber(magnitude, 'f', decimals));
}

void RoundToDecimals(DecimalDigits& number, int32_t decimals) {
  if (number.IsZero()) return;
  KeepDigits(number, static_cast<int64_t>(number.point) + decimals);
}

void RoundToSignificant(DecimalDigits& number, int32_t significant) {
  if (number.IsZero()) return;
  KeepDigits(number, std::max(significant, 1));
}

std::string IntegerDigits(const DecimalDigits& number) {
  if (number.IsZero() || number.point <= 0) return "0";
  std::string text = number.digits.substr(0, static_cast<size_t>(number.point));
  text.append(static_cast<size_t>(number.point) - text.size(), '0');
  return text;
}

std::string FractionDigits(const DecimalDigits& number, int32_t decimals) {
  std::string text;
  text.reserve(static_cast<size_t>(std::max(decimals, 0)));
  for (int32_t i = 0; i < decimals; ++i) text.push_back(static_cast<char>('0' + number.DigitAt(i)));
  return text;
}

}  // namespace vorn
