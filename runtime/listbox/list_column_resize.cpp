// Resizing columns with the mouse: a press within a few pixels of a resizable column's right
// edge in the heading drags that edge, the pointer shows a resize cursor there whose shape
// says which way the column can still go, and the new width goes back into the column model
// (whose width expression is rewritten from it when next read). The heading under the pointer
// is drawn lit while the pointer is not on an edge.
#include <algorithm>

#include "listbox/runtime_listbox.h"
#include "windows/cursor_record.h"
#include "windows/pane_focus.h"

namespace vorn {

namespace {

// How far either side of an edge a press still takes it.
constexpr int32_t kEdgeSlop = 3;

MouseCursor* ResizeCursor(ColumnResizeLimit limit) {
  static MouseCursor* both = NewStockCursorRecord(6601);
  static MouseCursor* shrinkOnly = NewStockCursorRecord(6602);
  static MouseCursor* growOnly = NewStockCursorRecord(6603);
  switch (limit) {
    case kResizeAtMinimum: return growOnly;
    case kResizeAtMaximum: return shrinkOnly;
    default: return both;
  }
}

}  // namespace

int32_t RuntimeListbox::ColumnEdgeAt(int32_t x, int32_t y) const {
  if (!mHasHeading) return -1;
  const Rect heading = HeadingRect();
  if (y < heading.top || y >= heading.bottom + 1 || x >= heading.right + kEdgeSlop) return -1;
  const int32_t count = mColumnModel.ColumnCount();
  for (int32_t column = 0; column < count; ++column) {
    const int32_t edge = mColumnModel.GetColumnRight(column);
    if (x < edge - kEdgeSlop || x >= edge + kEdgeSlop) continue;
    // A collapsed column after this edge can be pulled open again: the edge belongs to the
    // last resizable zero-width column that follows.
    int32_t target = column;
    for (int32_t next = column + 1; next < count && mColumnModel.GetColumnWidth(next) == 0; ++next) {
      if (mColumnModel.IsColumnResizable(next)) target = next;
    }
    if (!mColumnModel.IsColumnResizable(target)) return -1;
    // With star sharing the last column takes what is left and has no edge of its own.
    if (mColumnModel.StarWeightSum() > 0 && target == count - 1) return -1;
    return target;
  }
  return -1;
}

bool RuntimeListbox::AdjustCursor(int32_t x, int32_t y) {
  const int32_t column = mResizeColumn >= 0 ? mResizeColumn : ColumnEdgeAt(x, y);
  if (column < 0) return ContainerPane::AdjustCursor(x, y);
  int32_t width = mColumnModel.GetColumnWidth(column);
  SetCurrentCursorRecord(ResizeCursor(mColumnModel.ClampColumnResize(column, width, x)));
  return true;
}

bool RuntimeListbox::StartColumnResize(int32_t x, int32_t y) {
  const int32_t column = ColumnEdgeAt(x, y);
  if (column < 0) return false;
  mResizeColumn = column;
  SetMouseCapturePane(this);
  return true;
}

void RuntimeListbox::MouseMove(int32_t x, int32_t y) {
  const int32_t h = mBounds.left + x;
  const int32_t v = mBounds.top + y;
  if (mResizeColumn < 0) {
    const Rect heading = HeadingRect();
    const bool over = mHasHeading && v >= heading.top && v < heading.bottom && h < heading.right;
    SetHoveredHeading(over && ColumnEdgeAt(h, v) < 0 ? ColumnAt(h) : -1);
  }
  ContainerPane::MouseMove(x, y);
}

void RuntimeListbox::MouseExit() {
  SetHoveredHeading(-1);
  ContainerPane::MouseExit();
}

void RuntimeListbox::SetHoveredHeading(int32_t column) {
  if (column == mHoveredHeading) return;
  mHoveredHeading = column;
  // The heading is drawn on the window itself: the rows' image stays.
  InvalidateShown();
}

void RuntimeListbox::DragColumnEdge(int32_t x) {
  const int32_t column = mResizeColumn;
  int32_t wanted = mColumnModel.GetColumnWidth(column) - (mColumnModel.GetColumnRight(column) - x);
  const ColumnResizeLimit limit = mColumnModel.ClampColumnResize(column, wanted, x);
  if (wanted != mColumnModel.GetColumnWidth(column)) {
    mColumnModel.SetColumnWidth(column, wanted);
    mColumnModel.UpdateColumnPositions();
    mRangesStale = true;
    PlaceEditor();
    Invalidate(true);
  }
  SetCurrentCursorRecord(ResizeCursor(limit));
}

}  // namespace vorn
