#include "listbox/width_expression.h"

#include <algorithm>

#include "objects/exceptions.h"
#include "strings/number_parse.h"

namespace vorn {

WidthExpression ReadWidthExpression(const string& text) {
  WidthExpression result;
  const int32_t length = text.Length();
  if (length == 0) {
    result.kind = kWidthStar;
    result.value = 1.0;
    return result;
  }
  const char last = text.CString()[length - 1];
  if (last >= '0' && last <= '9') {
    result.kind = kWidthPixels;
  } else if (last == '%') {
    result.kind = kWidthPercent;
  } else if (last == '*') {
    result.kind = kWidthStar;
  } else {
    return result;
  }
  if (result.kind == kWidthStar && length == 1) {
    result.value = 1.0;
    return result;
  }
  double value = StringVal(text);
  // NaN compares false everywhere, so it is tested before clamping.
  if (!(value > 0.0)) value = 0.0;
  result.value = std::min(value, kMaxWidthExpressionValue);
  return result;
}

int32_t WidthExpressionPixels(const WidthExpression& expression, int32_t areaWidth) {
  switch (expression.kind) {
    case kWidthPixels:
      return static_cast<int32_t>(expression.value);
    case kWidthPercent:
      return static_cast<int32_t>(static_cast<double>(areaWidth) * expression.value / 100.0);
    default:
      return 0;
  }
}

void RaiseUnrecognizedWidthExpression(const string& text) {
  RuntimeRaiseExceptionWithMessage(GetUnsupportedFormatExceptionClassDefinition(),
                                   string("Unrecognized expression '") + text + string("'"), 0);
}

int32_t EvaluateWidthExpression(const string& text, int32_t& remaining, int32_t areaWidth,
                                int32_t columnsLeft, double& starSum) {
  int32_t fallback = columnsLeft > 0 ? remaining / columnsLeft : 0;
  if (fallback < 0) fallback = 0;
  const WidthExpression expression = ReadWidthExpression(text);
  int32_t result = 0;
  switch (expression.kind) {
    case kWidthPixels:
    case kWidthPercent:
      result = WidthExpressionPixels(expression, areaWidth);
      break;
    case kWidthStar:
      starSum += expression.value;
      break;
    case kWidthUnrecognized:
      result = fallback;
      break;
  }
  remaining -= result;
  return result;
}

}  // namespace vorn
