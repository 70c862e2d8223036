#include "listbox/list_selection.h"

#include <algorithm>

namespace vorn {

// Sends will-change when the outermost change begins and changed when it ends.
class ListSelection::Bracket {
 public:
  explicit Bracket(ListSelection& selection) : mSelection(selection) {
    if (mSelection.mNesting == 0 && mSelection.mListener) mSelection.mListener->SelectionWillChange();
    ++mSelection.mNesting;
  }
  ~Bracket() {
    if (--mSelection.mNesting == 0 && mSelection.mListener) mSelection.mListener->SelectionChanged();
  }
  Bracket(const Bracket&) = delete;
  Bracket& operator=(const Bracket&) = delete;

 private:
  ListSelection& mSelection;
};

void ListSelection::Redraw(int32_t row) {
  if (mRedrawLock <= 0 && mListener) mListener->RedrawRow(row);
}

void ListSelection::RowsInserted(int32_t at, int32_t count) {
  if (count <= 0) return;
  mRowCount += count;
  std::vector<Range> split;
  for (Range& range : mRanges) {
    if (range.first >= at) {
      range.first += count;
    } else if (at < range.first + range.count) {
      split.push_back({at + count, range.first + range.count - at});
      range.count = at - range.first;
    }
  }
  mRanges.insert(mRanges.end(), split.begin(), split.end());
}

void ListSelection::RowsRemoved(int32_t at, int32_t count) {
  if (count <= 0) return;
  const int32_t end = at + count;
  bool selectedGone = false;
  for (const Range& range : mRanges) {
    if (range.first < end && at < range.first + range.count) selectedGone = true;
  }
  auto adjust = [&] {
    std::vector<Range> kept;
    for (const Range& range : mRanges) {
      const int32_t rangeEnd = range.first + range.count;
      if (rangeEnd <= at) {
        kept.push_back(range);
      } else if (range.first >= end) {
        kept.push_back({range.first - count, range.count});
      } else {
        if (range.first < at) kept.push_back({range.first, at - range.first});
        if (rangeEnd > end) kept.push_back({at, rangeEnd - end});
      }
    }
    mRanges = std::move(kept);
    mRowCount = std::max(mRowCount - count, 0);
  };
  if (selectedGone) {
    Bracket bracket(*this);
    adjust();
  } else {
    adjust();
  }
  if (mAnchor >= mRowCount) mAnchor = -1;
  if (mShiftAnchor >= mRowCount) mShiftAnchor = -1;
}

int32_t ListSelection::GetFirstSelectedRow() const {
  int32_t first = -1;
  for (const Range& range : mRanges) {
    if (first < 0 || range.first < first) first = range.first;
  }
  return first;
}

int32_t ListSelection::GetLastSelectedRow() const {
  int32_t last = -1;
  for (const Range& range : mRanges) last = std::max(last, range.first + range.count - 1);
  return last;
}

int32_t ListSelection::GetSelectedCount() const {
  int32_t count = 0;
  for (const Range& range : mRanges) count += range.count;
  return count;
}

bool ListSelection::IsRowSelected(int32_t row) const {
  return std::any_of(mRanges.begin(), mRanges.end(),
                     [row](const Range& r) { return row >= r.first && row < r.first + r.count; });
}

bool ListSelection::NextSelectedRow(int32_t& row) const {
  if (IsRowSelected(row + 1)) {
    ++row;
    return true;
  }
  int32_t next = -1;
  for (const Range& range : mRanges) {
    if (range.first > row && (next < 0 || range.first < next)) next = range.first;
  }
  if (next < 0) return false;
  row = next;
  return true;
}

void ListSelection::ClearSelection() {
  if (mRanges.empty()) return;
  Bracket bracket(*this);
  const std::vector<Range> old = std::move(mRanges);
  mRanges.clear();
  for (const Range& range : old) {
    for (int32_t row = range.first; row < range.first + range.count; ++row) Redraw(row);
  }
}

void ListSelection::SelectRow(int32_t row, bool scrollIntoView) {
  if (row < 0 || row >= mRowCount) row = -1;
  Bracket bracket(*this);
  ClearSelection();
  if (row < 0) return;
  mRanges.push_back({row, 1});
  Redraw(row);
  if (scrollIntoView && mRedrawLock <= 0 && mListener) mListener->ScrollRowIntoView(row);
}

void ListSelection::SetRowSelected(int32_t row, bool selected) {
  if (row < 0 || row >= mRowCount || IsRowSelected(row) == selected) return;
  Bracket bracket(*this);
  if (selected) {
    auto grows = std::find_if(mRanges.begin(), mRanges.end(), [row](const Range& r) {
      return r.first + r.count == row || r.first == row + 1;
    });
    if (grows == mRanges.end()) {
      mRanges.insert(mRanges.begin(), {row, 1});
    } else {
      if (grows->first == row + 1) grows->first = row;
      ++grows->count;
    }
  } else {
    for (size_t i = 0; i < mRanges.size(); ++i) {
      Range& range = mRanges[i];
      if (row < range.first || row >= range.first + range.count) continue;
      const int32_t end = range.first + range.count;
      if (row == range.first) {
        ++range.first;
        --range.count;
      } else if (row == end - 1) {
        --range.count;
      } else {
        range.count = row - range.first;
        mRanges.push_back({row + 1, end - row - 1});
      }
      if (mRanges[i].count == 0) mRanges.erase(mRanges.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  Redraw(row);
}

void ListSelection::SelectRange(int32_t a, int32_t b) {
  if (a < 0 || a >= mRowCount || b < 0 || b >= mRowCount) {
    SetRowSelected(b, true);
    return;
  }
  Bracket bracket(*this);
  for (int32_t row = std::min(a, b); row <= std::max(a, b); ++row) SetRowSelected(row, true);
}

void ListSelection::SelectAll() {
  if (!mMultiple || mRowCount == 0) return;
  if (mRanges.size() == 1 && mRanges[0].first == 0 && mRanges[0].count == mRowCount) return;
  Bracket bracket(*this);
  ClearSelection();
  mRanges.push_back({0, mRowCount});
  for (int32_t row = 0; row < mRowCount; ++row) Redraw(row);
}

void ListSelection::BeginPress() {
  if (mNesting == 0 && mListener) mListener->SelectionWillChange();
  ++mNesting;
}

void ListSelection::EndPress() {
  if (mNesting <= 0) return;
  if (--mNesting == 0 && mListener) mListener->SelectionChanged();
}

void ListSelection::PressRow(int32_t row, int32_t modifiers) {
  mToggledOff = false;
  if (row < 0 || row >= mRowCount) {
    if (mRequiresSelection) return;
    mAnchor = -1;
    SelectRow(-1, false);
    return;
  }
  const bool shift = (modifiers & kModifierShift) != 0;
  const bool control = (modifiers & kModifierControl) != 0;
  if (mMultiple && GetSelectedCount() > 0 && (shift || control)) {
    if (shift && control) {
      SelectRange(mAnchor, row);
    } else if (control) {
      const bool keepLast = mRequiresSelection && GetSelectedCount() == 1 && IsRowSelected(row);
      if (!keepLast) {
        SetRowSelected(row, !IsRowSelected(row));
        mToggledOff = !IsRowSelected(row);
      }
    } else {
      Bracket bracket(*this);
      ClearSelection();
      SelectRange(mShiftAnchor < 0 ? row : mShiftAnchor, row);
    }
  } else {
    mShiftAnchor = row;
    SelectRow(row, false);
  }
  mKeyboardRow = row;
  mAnchor = row;
}

void ListSelection::DragToRow(int32_t row) {
  if (row < 0 || row >= mRowCount || row == mAnchor) return;
  if (!mMultiple) {
    SelectRow(row, false);
  } else {
    Bracket bracket(*this);
    const int32_t from = mAnchor < 0 ? row : mAnchor;
    for (int32_t r = std::min(from, row); r <= std::max(from, row); ++r) SetRowSelected(r, !mToggledOff);
  }
  mAnchor = row;
  mKeyboardRow = row;
}

void ListSelection::SelectOnlyByKey(int32_t row) {
  SelectRow(row, true);
  mKeyboardRow = row;
}

bool ListSelection::KeyDown(int32_t key, int32_t modifiers, int32_t firstVisible, int32_t lastVisible) {
  if (modifiers & kModifierCommand) return false;
  const int32_t lastRow = mRowCount - 1;
  const int32_t visible = std::max(lastVisible - firstVisible + 1, 1);
  const bool extend = mMultiple && (modifiers & kModifierShift) != 0;
  switch (key) {
    case kKeyHome:
      if (mListener) mListener->SetFirstVisibleRow(0);
      if (mRowCount > 0) SelectOnlyByKey(0);
      return true;
    case kKeyEnd:
      if (mRowCount > 0) SelectOnlyByKey(lastRow);
      return true;
    case kKeyPageUp:
      if (mRowCount == 0) return true;
      if (mKeyboardRow > firstVisible) {
        SelectOnlyByKey(std::min(firstVisible, lastRow));
      } else {
        const int32_t first = std::max(firstVisible - (visible - 1), 0);
        if (mListener) mListener->SetFirstVisibleRow(first);
        SelectOnlyByKey(std::min(first, lastRow));
      }
      return true;
    case kKeyPageDown:
      if (mRowCount == 0) return true;
      if (mKeyboardRow < lastVisible) {
        SelectOnlyByKey(std::min(lastVisible, lastRow));
      } else {
        if (mListener) mListener->SetFirstVisibleRow(std::min(lastVisible, lastRow));
        SelectOnlyByKey(std::min(lastVisible + visible - 1, lastRow));
      }
      return true;
    case kKeyUp: {
      const int32_t first = GetFirstSelectedRow();
      if (extend) {
        if (first > 0) {
          SetRowSelected(first - 1, true);
          if (mListener && mRedrawLock <= 0) mListener->ScrollRowIntoView(first - 1);
          mKeyboardRow = first - 1;
        }
      } else if (GetSelectedCount() > 1) {
        SelectRow(first, true);
        mKeyboardRow = first - 1;
      } else if (first > 0) {
        SelectOnlyByKey(first - 1);
      } else if (first < 0 && mRowCount > 0) {
        SelectOnlyByKey(0);
      }
      return true;
    }
    case kKeyDown: {
      const int32_t last = GetLastSelectedRow();
      if (extend) {
        if (last >= 0 && last < lastRow) {
          SetRowSelected(last + 1, true);
          if (mListener && mRedrawLock <= 0) mListener->ScrollRowIntoView(last + 1);
          mKeyboardRow = last + 1;
        }
      } else if (GetSelectedCount() > 1) {
        SelectOnlyByKey(last);
      } else if (last >= 0 && last < lastRow) {
        SelectOnlyByKey(last + 1);
      } else if (last < 0 && mRowCount > 0) {
        SelectOnlyByKey(0);
      }
      return true;
    }
    case kKeyLeft:
    case kKeyRight:
      return true;
    default:
      return false;
  }
}

}  // namespace vorn
