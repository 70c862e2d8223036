// The selected rows of a list box as ranges of rows, with the rules by which presses, drags,
// keys and row insertions and removals change them. Whoever shows the rows listens: it hears
// before and after every change (one pair for a whole press and drag), redraws rows and
// scrolls them into view.
#pragma once

#include <cstdint>
#include <vector>

#include "windows/sub_pane.h"

namespace vorn {

class ListSelectionListener {
 public:
  virtual ~ListSelectionListener() = default;
  virtual void SelectionWillChange() {}
  virtual void SelectionChanged() {}
  virtual void RedrawRow(int32_t /*row*/) {}
  virtual void ScrollRowIntoView(int32_t /*row*/) {}
  // Page Up and Page Down move the view first.
  virtual void SetFirstVisibleRow(int32_t /*row*/) {}
};

// Presses and keys carry the pane layer's modifier bits (kModifierShift and its sisters).

// Key codes the list answers.
enum ListKey : int32_t {
  kKeyHome = 1,
  kKeyEnd = 4,
  kKeyPageUp = 11,
  kKeyPageDown = 12,
  kKeyLeft = 28,
  kKeyRight = 29,
  kKeyUp = 30,
  kKeyDown = 31,
};

class ListSelection {
 public:
  struct Range {
    int32_t first;
    int32_t count;
  };

  explicit ListSelection(bool multiple) : mMultiple(multiple) {}

  void SetListener(ListSelectionListener* listener) { mListener = listener; }
  bool IsMultiple() const { return mMultiple; }
  void SetMultiple(bool multiple) { mMultiple = multiple; }
  void SetRequiresSelection(bool on) { mRequiresSelection = on; }
  bool RequiresSelection() const { return mRequiresSelection; }
  // While locked, selection changes redraw nothing and scroll nothing.
  void LockRedraw(bool locked) { mRedrawLock += locked ? 1 : -1; }
  // While held, changes send no notifications at all (settings applied while a pane is made).
  void HoldNotifications(bool held) { mNesting += held ? 1 : -1; }

  int32_t RowCount() const { return mRowCount; }
  void RowsInserted(int32_t at, int32_t count);
  void RowsRemoved(int32_t at, int32_t count);

  int32_t GetFirstSelectedRow() const;
  int32_t GetLastSelectedRow() const;
  int32_t GetSelectedCount() const;
  bool IsRowSelected(int32_t row) const;
  // Moves `row` to the next selected row after it; false when there is none.
  bool NextSelectedRow(int32_t& row) const;
  const std::vector<Range>& Ranges() const { return mRanges; }

  // A row outside the list clears the selection.
  void SelectRow(int32_t row, bool scrollIntoView);
  void SetRowSelected(int32_t row, bool selected);
  void SelectRange(int32_t a, int32_t b);
  void SelectAll();
  void ClearSelection();

  // One notification pair spans a press, its drag and its release.
  void BeginPress();
  void EndPress();

  // A press on `row` (-1: below the rows) with the press's modifiers; the anchor and the shift
  // anchor follow; a Control-click that unselects makes the following drag unselect too.
  void PressRow(int32_t row, int32_t modifiers);
  // The pointer dragged onto `row` during a press.
  void DragToRow(int32_t row);
  int32_t AnchorRow() const { return mAnchor; }
  int32_t KeyboardRow() const { return mKeyboardRow; }

  // Answers whether the key was handled. `firstVisible` and `lastVisible` are the rows on
  // screen (the last may lie past the last row).
  bool KeyDown(int32_t key, int32_t modifiers, int32_t firstVisible, int32_t lastVisible);

 private:
  class Bracket;
  void SelectOnlyByKey(int32_t row);
  void Redraw(int32_t row);

  std::vector<Range> mRanges;
  int32_t mRowCount = 0;
  bool mMultiple;
  bool mRequiresSelection = false;
  bool mToggledOff = false;
  int32_t mAnchor = -1;
  int32_t mShiftAnchor = -1;
  int32_t mKeyboardRow = 0;
  int32_t mNesting = 0;
  int32_t mRedrawLock = 0;
  ListSelectionListener* mListener = nullptr;
};

}  // namespace vorn
