// The DataControl's pane: a bar with first/previous buttons at the left, next/last at the
// right and a framed caption between, standing on one row of its query's RecordSet. After every
// move it shows the row in the bound controls and tells the owner.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "datacontrols/data_control_object.h"
#include "windows/sub_pane.h"

namespace vorn {

class DataControl : public SubPane {
 public:
  DataControl(DataControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex, const Rect& bounds);
  ~DataControl() override;

  // --- the cursor and moves (row numbers 0-based) ---
  void OpenCursor();
  void Requery();
  int32_t GetRecordCount();
  void SetPosition(int32_t row);
  void MoveFirst();
  void MovePrevious();
  void MoveNext();
  void MoveLast();
  using SubPane::MoveTo;
  void MoveTo(int32_t row);
  void ResetButtons();
  void BeginEdit();
  void EndEdit();

  // --- the bound controls and record editing (bound_controls.cpp) ---
  void LoadBoundControls();
  bool IsRecordChanged();
  // False when an edit was there to write and the row did not take it (no row, or the
  // database refused it).
  bool SaveRecord();
  // Saves before a move; false when the move must not go on (no cursor, an edit the row did
  // not take, or a handler closed the window).
  bool SaveBeforeMove();
  void InsertRecord();
  void DeleteRecord();
  void NewRecord();
  void ClearBoundControls();
  bool IsRecordLocked();
  void LoadFieldNames();
  // The current row's text of the field; `missing` tells that the cursor has no such field.
  string GetFieldText(const string& field, bool* missing);

  // --- drawing and the mouse ---
  void Draw(Graphics* port) override;
  void DrawInto(Graphics* port) override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseMove(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  void MouseExit() override;
  void SetEnabled(bool enabled, bool redraw) override;
  bool GetFocusRingRect(Rect* r) override;
  bool BecomeCurrent() override { return true; }
  bool ResignCurrent() override { return true; }

  DataControlDelegate* mDelegate;
  int32_t mRecordCount = 0;
  int32_t mPressedButton = 0;
  int32_t mHoverButton = 0;
  bool mCanMoveBack = false;
  bool mCanMoveForward = false;
  RuntimeObject* mOwner = nullptr;  // not held: the owner holds the pane
  string mCaption;
  string mTableName;
  string mSQLQuery;
  RuntimeObject* mDatabase = nullptr;  // borrowed from the owner
  string mFontName;
  uint8_t mStyleBits = 0;  // bold 1, italic 2, underline 4
  int32_t mFontSize = 0;
  std::vector<string> mFieldNames;
  bool mFieldNamesLoaded = false;
  RuntimeObject* mCursor = nullptr;  // held
  int32_t mRow = 0;
  int32_t mTextAlign = 0;
  uint32_t mTextColor = 0;

 private:
  DataControlObject* Owner() const { return AsDataControlObject(mOwner); }
  bool OwnerReadOnly() const;
  // The cursor stands on a row of its result (not past its end, not in an empty result).
  bool OnRow() const;
  void CloseCursor();
  int32_t HitButton(int32_t x, int32_t y) const;
  bool ButtonPossible(int32_t button) const;
  void InvalidateButton(int32_t button);
  void InvalidatePair(bool left);
  void ClearHover();
  void PaintButton(Graphics* port, int32_t button);
  void DrawCaption(Graphics* port);

  // Whether the control's text differs from what this pane last showed in it or saved from it:
  // only typing since is the user's edit (after a Rollback the row may hold other values).
  bool TypedSinceShown(RuntimeObject* control, const string& text) const;
  void NoteShown(RuntimeObject* control, const string& text);

  bool mDrawingInto = false;
  // The text each bound control held when the row was last shown or saved; the controls are
  // compared by identity only, never reached through this list.
  std::vector<std::pair<const RuntimeObject*, string>> mShownTexts;
};

}  // namespace vorn
