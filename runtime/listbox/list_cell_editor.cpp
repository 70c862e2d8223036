// In-place editing of list box cells: the list's own edit field is laid over the cell, its
// callbacks become the Cell events of the list's owner, and the text goes back into the cell
// when the edit ends.
#include <algorithm>
#include <utility>

#include "base/ticks.h"
#include "editfield/edit_control_gtk.h"
#include "editfield/edit_field_class.h"
#include "editfield/edit_router.h"
#include "listbox/runtime_listbox.h"
#include "windows/pane_disposal.h"
#include "windows/pane_focus.h"

namespace vorn {

namespace {

constexpr uint8_t kKeyEscape = 27;
constexpr uint8_t kKeyReturn = 13;
constexpr uint8_t kKeyEnter = 3;
const Rect kOutOfSight = MakeRect(-10, -10, -10, -10);

}  // namespace

// The edit field has no language object of its own: its events are the owner's Cell events.
class ListCellRouter : public RuntimeEditRouter {
 public:
  explicit ListCellRouter(RuntimeListbox* list) : RuntimeEditRouter(nullptr), mList(list) {}

  void TextChanged(EditControl* pane) override {
    RuntimeEditRouter::TextChanged(pane);
    if (mList->IsEditing()) mList->FireCellEvent(&ListboxHooks::cellTextChange);
  }

  void GotFocus(EditControl* pane) override {
    if (!mList->IsEditing()) return;
    RuntimeEditRouter::GotFocus(pane);
    mList->FireCellEvent(&ListboxHooks::cellGotFocus);
  }

  void LostFocus(EditControl* pane) override {
    RuntimeEditRouter::LostFocus(pane);
    mList->EndEdit(true);
  }

  bool KeyDown(EditControl* pane, const string& key, int32_t modifiers) override {
    RuntimeListbox* list = mList;
    if (!list->IsEditing()) return RuntimeEditRouter::KeyDown(pane, key, modifiers);
    const int32_t row = list->mEditRow;
    list->ScrollRowIntoView(row);
    if (RuntimeEditRouter::KeyDown(pane, key, modifiers)) return true;
    list->Lock();
    uint8_t handled = 0;
    if (void* handler = list->OwnerHandler(&ListboxHooks::cellKeyDown)) {
      handled = CallEventHandler<uint8_t>(handler, list->mOwner, row, list->mEditColumn, key.Rep());
    }
    if (list->Release()) return true;
    if (handled != 0 || !list->IsEditing() || key.IsEmpty()) return handled != 0;
    const auto first = static_cast<uint8_t>(key.View()[0]);
    if (first != kKeyEscape && first != kKeyReturn && first != kKeyEnter) return false;
    list->Lock();
    list->EndEdit(first != kKeyEscape);
    if (list->Release()) return true;
    if (list->CanFocus()) list->SetFocus();
    list->Selection().SelectRow(row, true);
    return true;
  }

 private:
  RuntimeListbox* mList;  // owns this router
};

void RuntimeListbox::FireCellEvent(const ObjectHook* ListboxHooks::*hook) {
  if (void* handler = OwnerHandler(hook)) CallEventHandler(handler, mOwner, mEditRow, mEditColumn);
}

Rect RuntimeListbox::CellRect(int32_t row, int32_t column) {
  const Rect area = RowArea();
  const int32_t height = RowHeightOf(row);
  const int32_t top = RowTop(row);
  const int32_t left = std::max<int32_t>(mColumnModel.GetColumnLeft(column), area.left);
  const int32_t right = std::min<int32_t>(mColumnModel.GetColumnRight(column), area.right);
  if (row < mFirstVisible || top + height > area.bottom || right <= left) return Rect{};
  return MakeRect(left, top, right, top + height);
}

void RuntimeListbox::PlaceEditor() {
  if (!mEditor || !mEditorGuard->Get()) return;
  const Rect cell = IsEditing() ? CellRect(mEditRow, mEditColumn) : Rect{};
  mEditor->SetBounds(cell.Width() > 0 ? cell : kOutOfSight, false);
}

// A column wider than the row area shows its left part, where typing starts.
void RuntimeListbox::ScrollColumnIntoView(int32_t column) {
  const Rect area = RowArea();
  const int32_t left = mColumnModel.GetColumnLeft(column);
  const int32_t right = mColumnModel.GetColumnRight(column);
  int32_t shift = 0;
  if (right > area.right) shift = right - area.right;
  if (left - shift < area.left) shift = left - area.left;
  if (shift != 0) SetScrollPositionX(ScrollPositionX() + shift);
}

void RuntimeListbox::EditCell(int32_t row, int32_t column) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= mColumnModel.ColumnCount()) return;
  // Rows of a data provider have no cells to take the text.
  if (HasBoundRows()) return;
  EndEdit(true);
  ScrollRowIntoView(row);
  ScrollColumnIntoView(column);
  mSelection.SelectRow(row, true);
  CellAttributes* cell = FindCell(row, column, true);
  if (!cell) return;
  if (!mEditor || !mEditorGuard->Get()) {
    DeleteAfterDispatch(std::exchange(mEditRouter, new ListCellRouter(this)));
    mEditor = NewEditControl(mEditRouter, this, TabPanelIndex(), kOutOfSight, true, mStyle);
    mEditorGuard = std::make_unique<PaneGuard>(mEditor);
    ForgetEditObject();
  }
  mSavedCellType = cell->mType;
  vorn::TextStyle style;
  style.Assign(mStyle);
  style.AddStyleBits(cell->mStyle);
  if (const int32_t size = GetCellTextSize(row, column); size > 0) style.mSize = static_cast<int16_t>(size);
  mEditor->SetTextStyle(style);
  mEditor->SetText(CellText(row, column));
  cell->mType = kCellTypeEditable;
  const int32_t alignment = GetCellAlignment(row, column);
  mEditor->SetAlignment(alignment == 3 || alignment == 4 ? kEditAlignRight : kEditAlignLeft);
  mEditRow = row;
  mEditColumn = column;
  mEditor->ChangeState(kPaneStateShow);
  PlaceEditor();
  mEditor->SetSelection(0, mEditor->GetTextLength());
  mEditor->SetFocus();
  InvalidateCell(row, column);
}

void RuntimeListbox::EndEdit(bool save) {
  if (!IsEditing() || mEndingEdit) return;
  mEndingEdit = true;
  const int32_t row = mEditRow;
  const int32_t column = mEditColumn;
  if (save && mEditor && mEditorGuard->Get()) StoreCellText(row, column, mEditor->GetText(kEncodingUTF8));
  if (CellAttributes* cell = FindCell(row, column, true)) cell->mType = mSavedCellType;
  const RowEntry* entry = GetRowEntry(row);
  const uint32_t id = entry ? entry->mId : 0;
  // The handlers may close the list: it is held until the edit is wound up.
  Lock();
  if (save) FireCellEvent(&ListboxHooks::cellAction);
  // A CellAction handler that closed the window took the field along.
  if (mEditor && mEditorGuard->Get() && !IsClosing()) {
    mEditor->ChangeState(kPaneStateHide);
    mEditor->SetBounds(kOutOfSight, false);
  }
  InvalidateCell(row, column);
  FireCellEvent(&ListboxHooks::cellLostFocus);
  // They may have moved the edited row or taken it away: it is selected where it now is.
  const int32_t now = entry ? FindRowId(id, row) : row;
  if (now >= 0 && now < RowCount()) mSelection.SelectRow(now, false);
  mEditRow = -1;
  mEditColumn = -1;
  mEndingEdit = false;
  Release();
}

RuntimeObject* RuntimeListbox::EditObject() {
  if (!IsEditing() || !mEditor || !mEditorGuard->Get()) return nullptr;
  if (!mEditObject) {
    mEditObject = CreateInstanceFromDefinition(GetEditFieldClassDefinition());
    // The object speaks for the list's own field without owning it: no link back, no router.
    if (EditFieldObject* field = AsEditFieldObject(mEditObject)) field->base.pane = mEditor;
  }
  return mEditObject;
}

void RuntimeListbox::ForgetEditObject() {
  RuntimeObject* object = mEditObject;
  mEditObject = nullptr;
  if (EditFieldObject* field = AsEditFieldObject(object)) field->base.pane = nullptr;
  RuntimeUnlockObject(object);
}

void RuntimeListbox::Close() {
  // The edit ends with its events while the owner can still hear them.
  if (IsEditing()) EndEdit(true);
  // The owner loses its pane: its data control must not keep it through this one.
  UnbindDataSource();
  ContainerPane::Close();
}

// The list is going: the field, which dies with it, must not call back into a half-destroyed
// list or its owner.
void RuntimeListbox::DropEditor() {
  ForgetEditObject();
  if (mEditor && mEditorGuard->Get()) mEditor->SetDelegate(nullptr);
  mEditRow = mEditColumn = -1;
  DeleteAfterDispatch(std::exchange(mEditRouter, nullptr));
}

bool RuntimeListbox::ClickCheckBox(int32_t x, int32_t y, int32_t row, int32_t column) {
  // The hit area is as wide as the drawn check, not the whole square.
  constexpr int32_t kCheckHitWidth = 16;
  if (row < 0 || column < 0 || HasBoundRows() || GetCellType(row, column) != kCellTypeCheckBox) return false;
  const Rect square = CheckBoxRect(row, column);
  if (x < square.left || x >= square.left + kCheckHitWidth || y < square.top || y >= square.bottom) return false;
  CellAttributes* cell = FindCell(row, column, true);
  if (!cell) return false;
  cell->mCheckState = cell->mCheckState != 0 ? 0 : 1;
  InvalidateCell(row, column);
  Lock();
  if (void* handler = OwnerHandler(&ListboxHooks::cellAction)) CallEventHandler(handler, mOwner, row, column);
  Release();
  return true;
}

bool RuntimeListbox::ClickEditableCell(int32_t row, int32_t column) {
  static uint32_t sLastEditClick = 0;
  if (row < 0 || column < 0 || GetCellType(row, column) != kCellTypeEditable) return false;
  const uint32_t now = CurrentTicks();
  const bool start = row == mSelection.GetFirstSelectedRow() && now - sLastEditClick > ListDoubleClickTicks();
  sLastEditClick = now;
  if (!start) return false;
  EditCell(row, column);
  return true;
}

}  // namespace vorn
