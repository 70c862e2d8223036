// Dragging rows: a press on a row of a list that allows dragging waits for the mouse to move,
// then offers the row to DragRow and runs the drag. A reordering drag makes the list its own
// drop target: while it is over the list an insertion line shows where the rows would go, and
// the drop asks DragReorderRows before moving the rows there itself.
#include <algorithm>

#include "graphics/graphics.h"
#include "listbox/runtime_listbox.h"
#include "objects/event_dispatch.h"
#include "windows/drag_item.h"
#include "windows/gtk_drag_tracking.h"

namespace vorn {

namespace {

// Dragging within this many pixels of the top or bottom edge scrolls.
constexpr int32_t kDragScrollTop = 4;
constexpr int32_t kDragScrollBottom = 3;
constexpr uint32_t kAllowedLineColor = 0x000000;
constexpr uint32_t kRefusedLineColor = 0x888888;
// A level of depth indents this much; a row's content starts this far after its indentation.
constexpr int32_t kDropIndent = 12;
constexpr int32_t kDropContent = 20;

}  // namespace

bool RuntimeListbox::StartRowDrag(int32_t row) {
  if (!WaitForDrag()) return false;
  mDragging = mEnableDragReorder;
  mDraggedRows.clear();
  mDropRow = -1;
  mDropDepth = 0;
  if (mDragging) {
    for (int32_t r = 0; r < RowCount(); ++r) {
      if (mSelection.IsRowSelected(r)) mDraggedRows.push_back(r);
    }
  }
  const Rect area = RowArea();
  RuntimeObject* item = mEnableDrag ? NewDragItemForRect(area.left, RowTop(row), area.Width(), RowHeightOf(row))
                                    : NewDragItemForRect(0, 0, 0, 0);
  Lock();
  bool run = mDragging;
  if (void* handler = OwnerHandler(&ListboxHooks::dragRow)) {
    run = CallEventHandler<uint8_t>(handler, mOwner, item, row) != 0 || run;
  }
  if (item && run && !IsClosing()) TrackDrag(item);
  mDragging = false;
  mDraggedRows.clear();
  mDropRow = -1;
  RuntimeUnlockObject(item);
  Invalidate(true);
  Release();
  return true;
}

SubPane* RuntimeListbox::FindDropTarget(int32_t x, int32_t y, DragItem* item) {
  if (mDragging && PointInRect(x, y, mBounds)) return this;
  return ContainerPane::FindDropTarget(x, y, item);
}

bool RuntimeListbox::TrackDragOver(int32_t x, int32_t y, DragItem* item) {
  if (VerticalScrollBar()) {
    if (y < kDragScrollTop) {
      SetFirstVisibleRow(mFirstVisible - 1);
    } else if (y >= mBounds.Height() - kDragScrollBottom) {
      SetFirstVisibleRow(mFirstVisible + 1);
    }
  }
  if (mDragging) {
    const Rect area = RowArea();
    const int32_t py = std::clamp<int32_t>(y + mBounds.top, area.top, area.bottom - 1);
    const int32_t under = RowAt(area.left, py);
    // The lower half of a row drops after it.
    const int32_t drop = under < 0 ? RowCount() : under + (py - RowTop(under) >= RowHeightOf(under) / 2 ? 1 : 0);
    const int32_t depth = DropDepthAt(drop, x + mBounds.left);
    if (drop != mDropRow || depth != mDropDepth) {
      mDropRow = drop;
      mDropDepth = depth;
      InvalidateShown();
    }
  }
  return ContainerPane::TrackDragOver(x, y, item);
}

// In a hierarchical list the rows may go into the folder above the drop row or out to the
// drop row's level: between the two, the pointer's x picks the depth.
int32_t RuntimeListbox::DropDepthAt(int32_t drop, int32_t x) const {
  if (!IsHierarchical() || drop < 0) return 0;
  const int32_t smallest = drop < RowCount() ? GetRowDepth(drop) : 0;
  int32_t largest = drop > 0 ? GetRowDepth(drop - 1) + (IsFolderRow(drop - 1) ? 1 : 0) : 0;
  largest = std::max(largest, smallest);
  if (largest == smallest) return smallest;
  const int32_t x0 = mColumnModel.GetColumnLeft(0) + smallest * kDropIndent + kDropContent;
  const int32_t step = kDropIndent;
  const int32_t steps = x < x0 ? 0 : (x - x0 + step / 2) / step;
  return std::clamp(smallest + steps, smallest, largest);
}

// The nearest row above the drop row that is shallower than the drop depth; -1 at the top level.
int32_t RuntimeListbox::DropParentRow() const {
  if (!IsHierarchical()) return -1;
  for (int32_t r = mDropRow - 1; r >= 0; --r) {
    if (GetRowDepth(r) < mDropDepth) return r;
  }
  return -1;
}

bool RuntimeListbox::DropAllowed() const {
  if (mDropRow < 0) return false;
  const int32_t parent = DropParentRow();
  for (int32_t row : mDraggedRows) {
    // Not onto a dragged row, nor into what a dragged folder holds: just below a folder's last
    // child, a deep enough drop would make the folder its own parent.
    const int32_t next = GetNextSiblingRow(row);
    if (mDropRow == row || (mDropRow > row && mDropRow < next)) return false;
    if (parent >= row && parent < next) return false;
  }
  return true;
}

void RuntimeListbox::DropObject(DragItem* item, int32_t x, int32_t y) {
  if (mDragging && DropAllowed() && !mDraggedRows.empty()) {
    const int32_t drop = mDropRow;
    const auto above = static_cast<int32_t>(
        std::count_if(mDraggedRows.begin(), mDraggedRows.end(), [drop](int32_t r) { return r < drop; }));
    const int32_t position = drop - above;
    int32_t parent = DropParentRow();
    if (parent >= 0) {
      parent -= static_cast<int32_t>(
          std::count_if(mDraggedRows.begin(), mDraggedRows.end(), [parent](int32_t d) { return d < parent; }));
    }
    bool handled = false;
    Lock();
    if (void* handler = OwnerHandler(&ListboxHooks::dragReorderRows)) {
      handled = (mHooks->reorderTakesPosition ? CallEventHandler<uint8_t>(handler, mOwner, position)
                                              : CallEventHandler<uint8_t>(handler, mOwner, position, parent)) != 0;
    }
    if (!handled && !IsHierarchical() && !HasBoundRows()) {
      const std::vector<int32_t> moved = mDraggedRows;
      mSelection.ClearSelection();
      MoveRowsTo(moved, position);
      for (int32_t i = 0; i < static_cast<int32_t>(moved.size()); ++i) mSelection.SetRowSelected(position + i, true);
      ScrollRowIntoView(position);
    }
    Release();
  }
  ContainerPane::DropObject(item, x, y);
}

void RuntimeListbox::DrawInsertionLine(Graphics* port) {
  if (!mDragging || mDropRow < 0) return;
  const Rect area = RowArea();
  const int32_t y = RowTop(mDropRow);
  if (y < area.top || y > area.bottom) return;
  const int32_t left = mColumnModel.GetColumnLeft(0) +
                       (IsHierarchical() ? mDropDepth * kDropIndent + kDropContent : ContentInset(mDropRow, 0));
  const int32_t right = area.right - 2;
  port->SetForeColor(ColorToRGB48(DropAllowed() ? kAllowedLineColor : kRefusedLineColor));
  port->FillRect(MakeRect(left, y - 1, right, y + 1));
  port->FillRect(MakeRect(left, y - 3, left + 1, y + 3));
  port->FillRect(MakeRect(right - 1, y - 3, right, y + 3));
}

}  // namespace vorn
