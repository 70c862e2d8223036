// Column width expressions: a number of pixels ("100"), a percentage of the row area ("50%")
// or a star weight ("2*", "*", or the empty text) that shares out what the other columns leave.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

enum WidthExpressionKind : int32_t {
  kWidthPixels = 0,
  kWidthPercent = 1,
  kWidthStar = 2,
  kWidthUnrecognized = 3,
};

// Widths and weights are held to this, so that truncation to integers and the 16-bit column
// edges never overflow whatever number a text spells.
constexpr double kMaxWidthExpressionValue = 32767.0;

struct WidthExpression {
  WidthExpressionKind kind = kWidthUnrecognized;
  double value = 0.0;  // never negative; a star weight for kWidthStar
};

// Reads an expression without raising anything.
WidthExpression ReadWidthExpression(const string& text);

// The pixels an expression of kind pixels or percent stands for in a row area `areaWidth`
// wide (0 for the other kinds).
int32_t WidthExpressionPixels(const WidthExpression& expression, int32_t areaWidth);

// Raises UnsupportedFormatException "Unrecognized expression '<text>'".
void RaiseUnrecognizedWidthExpression(const string& text);

// Evaluates one expression of a layout pass: pixels and percent take their width from
// `remaining`; a star takes 0 now and adds its weight to `starSum`; an unrecognized text takes
// an even share of what remains among `columnsLeft`.
int32_t EvaluateWidthExpression(const string& text, int32_t& remaining, int32_t areaWidth,
                                int32_t columnsLeft, double& starSum);

}  // namespace vorn
