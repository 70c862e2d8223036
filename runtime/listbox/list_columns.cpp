#include "listbox/list_columns.h"

#include <algorithm>

#include "listbox/width_expression.h"
#include "objects/exceptions.h"
#include "strings/number_parse.h"
#include "strings/number_text.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

bool ValidColumn(int32_t column) { return column >= 0 && column < kMaxListColumns; }

string FormatRatio(double value, const char* suffix) {
  return DoubleToString(value, kDoubleAutomatic, 7) + string(suffix);
}

// Minimum and maximum expressions: pixels or percent only.
bool ReadLimitExpression(const string& text, int32_t areaWidth, const char* what, int32_t& pixels) {
  const WidthExpression expression = ReadWidthExpression(text);
  if (expression.kind == kWidthUnrecognized) {
    RaiseUnrecognizedWidthExpression(text);
    return false;
  }
  if (expression.kind == kWidthStar) {
    RuntimeRaiseExceptionWithMessage(
        GetUnsupportedFormatExceptionClassDefinition(),
        string(what) + string(" doesn't support the Asterisk ('*') format."), 0);
    return false;
  }
  pixels = WidthExpressionPixels(expression, areaWidth);
  return true;
}

}  // namespace

ListColumns::ListColumns(int32_t initialWidth) { mColumns[0].width = initialWidth; }

void ListColumns::SetRowArea(int32_t left, int32_t width) {
  mAreaLeft = left;
  mAreaWidth = std::max(width, 0);
}

void ListColumns::SetColumnCount(int32_t count) {
  mColumnCount = std::clamp(count, 0, kMaxListColumns);
}

bool ListColumns::SetColumnAlignment(int32_t column, int32_t alignment, int32_t offset) {
  if (!ValidColumn(column)) return false;
  mColumns[column].alignment = alignment;
  mColumns[column].alignmentOffset = offset;
  return true;
}

void ListColumns::SetColumnMinWidth(int32_t column, int32_t pixels) {
  mColumns[column].minWidth = pixels;
  mColumns[column].minStale = true;
}

void ListColumns::SetColumnMaxWidth(int32_t column, int32_t pixels) {
  mColumns[column].maxWidth = pixels;
  mColumns[column].maxStale = true;
}

void ListColumns::SetAllColumnsResizable(bool resizable) {
  for (ListColumnRecord& record : mColumns) record.userResizable = resizable;
}

void ListColumns::SetColumnResizable(int32_t column, bool resizable) {
  if (ValidColumn(column)) mColumns[column].userResizable = resizable;
}

string ListColumns::RewriteExpression(const string& expression, int32_t pixels, bool& stale) {
  if (!stale) return expression;
  stale = false;
  switch (ReadWidthExpression(expression).kind) {
    case kWidthPercent:
      // A row area of no width gives no percentage to express; the old text stays.
      if (mAreaWidth <= 0) return expression;
      return FormatRatio(static_cast<double>(pixels) * 100.0 / mAreaWidth, "%");
    case kWidthPixels:
      return LongToString(pixels);
    case kWidthStar:
      ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/CommonListbox", __LINE__,
                         "kind != kStar", "a star width can't be rewritten from pixels");
      return expression;
    default:
      return expression;
  }
}

string ListColumns::GetWidthExpression(int32_t column) {
  ListColumnRecord& record = mColumns[column];
  record.widthExpression = RewriteExpression(record.widthExpression, record.width, record.widthStale);
  return record.widthExpression;
}

string ListColumns::GetMinWidthExpression(int32_t column) {
  ListColumnRecord& record = mColumns[column];
  record.minWidthExpression = RewriteExpression(record.minWidthExpression, record.minWidth, record.minStale);
  return record.minWidthExpression;
}

string ListColumns::GetMaxWidthExpression(int32_t column) {
  ListColumnRecord& record = mColumns[column];
  record.maxWidthExpression = RewriteExpression(record.maxWidthExpression, record.maxWidth, record.maxStale);
  return record.maxWidthExpression;
}

bool ListColumns::SetWidthExpression(int32_t column, const string& text) {
  const WidthExpression expression = ReadWidthExpression(text);
  if (expression.kind == kWidthUnrecognized) {
    RaiseUnrecognizedWidthExpression(text);
    return false;
  }
  const WidthExpression old = ReadWidthExpression(GetWidthExpression(column));
  if (old.kind == kWidthStar) mStarWeightSum = std::max(mStarWeightSum - old.value, 0.0);
  ListColumnRecord& record = mColumns[column];
  if (expression.kind == kWidthStar) {
    mStarWeightSum += expression.value;
  } else {
    record.width = WidthExpressionPixels(expression, mAreaWidth);
  }
  record.widthExpression = text;
  record.widthStale = false;
  if (mStarWeightSum > 0.0) LayoutColumns();
  return true;
}

bool ListColumns::SetMinWidthExpression(int32_t column, const string& text) {
  int32_t pixels = 0;
  if (!ReadLimitExpression(text, mAreaWidth, "MinWidthExpression", pixels)) return false;
  mColumns[column].minWidth = pixels;
  mColumns[column].minWidthExpression = text;
  mColumns[column].minStale = false;
  return true;
}

bool ListColumns::SetMaxWidthExpression(int32_t column, const string& text) {
  int32_t pixels = 0;
  if (!ReadLimitExpression(text, mAreaWidth, "MaxWidthExpression", pixels)) return false;
  mColumns[column].maxWidth = StringVal(text) < 0 ? -1 : pixels;
  mColumns[column].maxWidthExpression = text;
  mColumns[column].maxStale = false;
  return true;
}

void ListColumns::LayoutColumns() {
  const int32_t area = mAreaWidth;
  int32_t widthLeft = area;
  int32_t minLeft = area;
  int32_t maxLeft = area;
  double starSum = 0.0;
  double limitStars = 0.0;  // stars in limits are refused when set; summed apart, unused
  for (int32_t i = 0; i < mColumnCount; ++i) {
    const int32_t columnsLeft = mColumnCount - i;
    ListColumnRecord& record = mColumns[i];
    record.width = EvaluateWidthExpression(GetWidthExpression(i), widthLeft, area, columnsLeft, starSum);
    record.minWidth = EvaluateWidthExpression(GetMinWidthExpression(i), minLeft, area, columnsLeft, limitStars);
    const string maxText = GetMaxWidthExpression(i);
    record.maxWidth = StringVal(maxText) < 0
                          ? -1
                          : EvaluateWidthExpression(maxText, maxLeft, area, columnsLeft, limitStars);
  }
  mStarWeightSum = starSum;
  // Only a star last column has a star width apart from its width; any other keeps the two equal
  // so a drag on the edge before it never takes more than the column holds.
  mLastColumnStarWidth = mColumnCount > 0 ? mColumns[mColumnCount - 1].width : 0;
  if (starSum != 0.0) {
    int32_t remaining = std::max(widthLeft, 0);
    const double share = remaining / starSum;
    for (int32_t i = 0; i < mColumnCount; ++i) {
      if (remaining < 0) remaining = 0;
      const WidthExpression expression = ReadWidthExpression(GetWidthExpression(i));
      if (expression.kind != kWidthStar) continue;
      const int32_t piece = static_cast<int32_t>(share * expression.value);
      if (i == mColumnCount - 1) {
        mLastColumnStarWidth = piece;
        mColumns[i].width = remaining;  // truncation losses end up here
      } else {
        mColumns[i].width = piece;
      }
      remaining -= piece;
    }
  }
  UpdateColumnPositions();
}

void ListColumns::UpdateColumnPositions() {
  if (mColumnCount == 0) return;
  // Edges are pane coordinates, which are 16 bits wide.
  auto x = static_cast<int16_t>(mAreaLeft - static_cast<int16_t>(mScrollOffset));
  for (ListColumnRecord& record : mColumns) {
    record.left = x;
    x = static_cast<int16_t>(x + record.width);
    record.right = x;
  }
  if (mListener) mListener->ColumnEdgesChanged();
}

int32_t ListColumns::NextWidth(int32_t column) const {
  return column + 1 == mColumnCount - 1 ? mLastColumnStarWidth : mColumns[column + 1].width;
}

void ListColumns::RewriteStarWeights() {
  const int32_t last = mColumnCount - 1;
  auto starWidth = [&](int32_t i) { return i == last ? mLastColumnStarWidth : mColumns[i].width; };
  int32_t base = 0;
  for (int32_t i = 0; i < mColumnCount; ++i) {
    if (ReadWidthExpression(mColumns[i].widthExpression).kind != kWidthStar) continue;
    const int32_t w = starWidth(i);
    if (w > 0 && (base == 0 || w < base)) base = w;
  }
  if (base == 0) base = 1;
  double sum = 0.0;
  for (int32_t i = 0; i < mColumnCount; ++i) {
    if (ReadWidthExpression(mColumns[i].widthExpression).kind != kWidthStar) continue;
    mColumns[i].widthExpression = FormatRatio(static_cast<double>(starWidth(i)) / base, "*");
    sum += ReadWidthExpression(mColumns[i].widthExpression).value;
  }
  mStarWeightSum = sum;
}

void ListColumns::SetColumnWidth(int32_t column, int32_t pixels) {
  if (!ValidColumn(column)) return;
  // A width below 0 would turn the column's edges around.
  pixels = std::max(pixels, 0);
  if (mStarWeightSum == 0.0) {
    mColumns[column].width = pixels;
    mColumns[column].widthStale = true;
  } else {
    if (column >= mColumnCount - 1) return;
    // The next column gives up the width, but never more than it has.
    const int32_t nextHas = std::min(NextWidth(column), mColumns[column + 1].width);
    pixels = std::min(pixels, mColumns[column].width + std::max(nextHas, 0));
    const int32_t delta = pixels - mColumns[column].width;
    mColumns[column].width = pixels;
    mColumns[column + 1].width -= delta;
    if (column + 1 == mColumnCount - 1) mLastColumnStarWidth -= delta;
    bool anyStar = false;
    for (int32_t i : {column, column + 1}) {
      if (ReadWidthExpression(mColumns[i].widthExpression).kind == kWidthStar) {
        anyStar = true;
      } else {
        mColumns[i].widthStale = true;
      }
    }
    if (anyStar) RewriteStarWeights();
  }
  UpdateColumnPositions();
  if (mListener) mListener->ColumnWidthChanged(column);
}

ColumnResizeLimit ListColumns::ClampColumnResize(int32_t column, int32_t& width, int32_t pointerX) const {
  const ListColumnRecord& record = mColumns[column];
  int32_t lo = width;
  int32_t hi = width;
  ColumnResizeLimit result = kResizeFree;
  if (width <= record.minWidth) {
    lo = record.minWidth;
    result = kResizeAtMinimum;
  } else if (record.maxWidth != -1 && width >= record.maxWidth) {
    hi = record.maxWidth;
    result = kResizeAtMaximum;
  }
  if (mStarWeightSum != 0.0 && column + 1 < mColumnCount) {
    const ListColumnRecord& next = mColumns[column + 1];
    const int32_t n = NextWidth(column);
    const int32_t nextWanted = n + (record.width - width);
    if (nextWanted < 1 || nextWanted <= next.minWidth) {
      const int32_t h2 = record.width + n - next.minWidth + (column + 1 == mColumnCount - 1 ? 1 : 0);
      result = kResizeAtMaximum;
      if (h2 < hi) hi = h2;
    } else if (next.maxWidth != -1 && nextWanted >= next.maxWidth) {
      const int32_t l2 = record.width + n - next.maxWidth;
      result = kResizeAtMinimum;
      if (lo < l2) lo = l2;
    }
    const int32_t areaRight = mAreaLeft + mAreaWidth;
    if (pointerX <= mAreaLeft) {
      width += mAreaLeft - pointerX;
      result = kResizeAtMinimum;
    } else if (pointerX > areaRight) {
      width += areaRight - pointerX + 1;
      result = kResizeAtMaximum;
    }
  }
  if (result == kResizeAtMinimum && width <= lo) width = lo;
  if (result == kResizeAtMaximum && width >= hi) width = hi;
  return result;
}

}  // namespace vorn
