// The column model of a list box: up to 64 column records with their width expressions,
// measured widths and edges, and the layout that turns the expressions into widths across the
// row area. The pane that owns it tells it where the row area lies and hears about changes.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

constexpr int32_t kMaxListColumns = 64;

struct ListColumnRecord {
  bool widthStale = false;  // the width changed directly; rewrite the expression before reading
  bool minStale = false;
  bool maxStale = false;
  bool userResizable = false;
  string widthExpression;
  string minWidthExpression{"0"};
  string maxWidthExpression{"-1"};
  int32_t width = 0;
  int32_t minWidth = 0;
  int32_t maxWidth = -1;  // -1: no maximum
  int32_t left = 0;
  int32_t right = 0;
  int32_t alignment = 0;
  int32_t alignmentOffset = 0;
};

// What a column-model change means to the pane around it.
class ListColumnsListener {
 public:
  virtual ~ListColumnsListener() = default;
  // Edges moved: the heading row follows.
  virtual void ColumnEdgesChanged() {}
  virtual void ColumnWidthChanged(int32_t /*column*/) {}
};

// Results of ClampColumnResize.
enum ColumnResizeLimit : int32_t { kResizeFree = 0, kResizeAtMinimum = 1, kResizeAtMaximum = 2 };

class ListColumns {
 public:
  explicit ListColumns(int32_t initialWidth);

  void SetListener(ListColumnsListener* listener) { mListener = listener; }
  // The row area's left edge and width, in pane coordinates.
  void SetRowArea(int32_t left, int32_t width);
  int32_t RowAreaLeft() const { return mAreaLeft; }
  int32_t RowAreaWidth() const { return mAreaWidth; }

  int32_t ColumnCount() const { return mColumnCount; }
  void SetColumnCount(int32_t count);  // 0 to 64

  const ListColumnRecord& Record(int32_t column) const { return mColumns[column]; }
  int32_t GetColumnWidth(int32_t column) const { return mColumns[column].width; }
  int32_t GetColumnMinWidth(int32_t column) const { return mColumns[column].minWidth; }
  int32_t GetColumnMaxWidth(int32_t column) const { return mColumns[column].maxWidth; }
  int32_t GetColumnLeft(int32_t column) const { return mColumns[column].left; }
  int32_t GetColumnRight(int32_t column) const { return mColumns[column].right; }
  int32_t GetColumnAlignment(int32_t column) const { return mColumns[column].alignment; }
  int32_t GetColumnAlignmentOffset(int32_t column) const { return mColumns[column].alignmentOffset; }
  bool IsColumnResizable(int32_t column) const { return mColumns[column].userResizable; }

  // Columns outside 0 to 63 are ignored; answer whether something was stored.
  bool SetColumnAlignment(int32_t column, int32_t alignment, int32_t offset);
  void SetColumnMinWidth(int32_t column, int32_t pixels);
  void SetColumnMaxWidth(int32_t column, int32_t pixels);
  void SetAllColumnsResizable(bool resizable);
  void SetColumnResizable(int32_t column, bool resizable);

  double StarWeightSum() const { return mStarWeightSum; }
  int32_t LastColumnStarWidth() const { return mLastColumnStarWidth; }
  int32_t HorizontalScrollOffset() const { return mScrollOffset; }
  void SetHorizontalScrollOffset(int32_t offset) { mScrollOffset = offset; }

  // The expressions, rewritten from the measured value first when it was changed directly.
  string GetWidthExpression(int32_t column);
  string GetMinWidthExpression(int32_t column);
  string GetMaxWidthExpression(int32_t column);
  // An unrecognized text (or a star for minimum and maximum) raises UnsupportedFormatException
  // and stores nothing; answer whether the text was taken.
  bool SetWidthExpression(int32_t column, const string& text);
  bool SetMinWidthExpression(int32_t column, const string& text);
  bool SetMaxWidthExpression(int32_t column, const string& text);

  void LayoutColumns();
  void UpdateColumnPositions();
  // A width changed by dragging a heading edge or by code.
  void SetColumnWidth(int32_t column, int32_t pixels);
  // Limits a dragged width; `pointerX` is held inside the row area when the next column takes
  // up the change.
  ColumnResizeLimit ClampColumnResize(int32_t column, int32_t& width, int32_t pointerX) const;

 private:
  string RewriteExpression(const string& expression, int32_t pixels, bool& stale);
  void RewriteStarWeights();
  int32_t NextWidth(int32_t column) const;

  ListColumnRecord mColumns[kMaxListColumns];
  int32_t mColumnCount = 1;
  int32_t mAreaLeft = 0;
  int32_t mAreaWidth = 0;
  int32_t mScrollOffset = 0;
  int32_t mLastColumnStarWidth = 0;
  double mStarWeightSum = 0.0;
  ListColumnsListener* mListener = nullptr;
};

}  // namespace vorn
