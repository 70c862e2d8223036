#include "listbox/custom_combo_box.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "editfield/edit_control_gtk.h"
#include "listbox/list_cells.h"
#include "listbox/runtime_listbox.h"
#include "objects/exceptions.h"
#include "windows/pane_assert.h"
#include "windows/pane_focus.h"
#include "windows/window.h"
#include "windows/window_placement.h"

namespace vorn {

namespace {

constexpr int32_t kComboBackspace = 0x08;
constexpr int32_t kComboTab = 0x09;
constexpr int32_t kComboReturn = 0x0D;
constexpr int32_t kComboEscape = 0x1B;
constexpr int32_t kComboUp = 0x1E;
constexpr int32_t kComboDown = 0x1F;
constexpr int32_t kLeastRowsBelow = 4;
constexpr int32_t kLargestCoordinate = 32767;
// Window placement modes that keep the edge at the edit and cut the far one at the screen.
constexpr int32_t kClipBottom = 2;
constexpr int32_t kClipTop = 3;

// The drop-down's list: its picks, keys and focus loss go to the combo box first.
class DropList : public RuntimeListbox {
 public:
  DropList(CustomComboBox* combo, SubPane* parent, const Rect& bounds)
      : RuntimeListbox(parent, 0, bounds, false), mCombo(combo) {}
  void ForgetCombo() { mCombo = nullptr; }

  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override {
    if (!mCombo) return RuntimeListbox::KeyDown(character, keyCode, modifiers);
    if (mCombo->ListKey(character)) return true;
    // An arrow key moves the selection without a choice only while the list carries it out:
    // a click afterwards chooses as ever.
    PaneGuard combo(static_cast<ContainerPane*>(mCombo));
    const bool handled = RuntimeListbox::KeyDown(character, keyCode, modifiers);
    if (combo.Get() && mCombo) mCombo->ListKeyDone();
    return handled;
  }
  // A press below the last row picks nothing: the choice and the text stay as they were.
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override {
    if (mCombo && RowAt(x, y) < 0) return true;
    return RuntimeListbox::MouseDown(x, y, modifiers);
  }
  void LostFocus() override {
    RuntimeListbox::LostFocus();
    if (mCombo) mCombo->ListLostFocus();
  }

 protected:
  void SelectionChanged() override {
    RuntimeListbox::SelectionChanged();
    if (mCombo) mCombo->ListSelectionChanged();
  }

 private:
  CustomComboBox* mCombo;
};

// Whether `text` begins with `typed`, letter case ignored.
bool BeginsWith(const std::string& text, const std::string& typed) {
  if (typed.size() > text.size()) return false;
  return std::equal(typed.begin(), typed.end(), text.begin(),
                    [](char a, char b) { return g_ascii_tolower(a) == g_ascii_tolower(b); });
}

}  // namespace

CustomComboBox::CustomComboBox(RuntimeObject* owner, ComboBoxEvents* events, const vorn::TextStyle& style, Window* window,
                               const Rect& bounds)
    : ComboBox(owner, events, style), ContainerPane(window, 0, bounds) {
  BecomeCurrent();
  mEdit = NewEditControl(this, this, 0, EditBounds(bounds), true, mStyle);
  mButton = new BevelButton(this, mStyle, this, 0, ButtonBounds(bounds), string("\xE2\x96\xBC", kEncodingUTF8), 0);
  mDropDown = new Window(string(), MakeRect(0, 0, bounds.Width(), 100), 0, 0, false, kPlainBoxDefinition);
  mList = new DropList(this, mDropDown, ListBounds(bounds.Width(), 100));
  mList->SetVerticalScrollBarWanted(true);
  mList->SetHorizontalScrollBarWanted(false);
  ApplyTextStyle();
}

CustomComboBox::~CustomComboBox() = default;

Rect CustomComboBox::EditBounds(const Rect& bounds) const {
  const int32_t height = std::max<int32_t>(kButtonHeight, mStyle.mSize + 9);
  return MakeRect(bounds.left, bounds.top, bounds.right - mGeometry->editRightInset, bounds.top + height);
}

Rect CustomComboBox::ButtonBounds(const Rect& bounds) const {
  return MakeRect(bounds.right - mGeometry->buttonWidth, bounds.top, bounds.right, bounds.top + kButtonHeight);
}

Rect CustomComboBox::ListBounds(int32_t width, int32_t height) const {
  const int32_t inset = mGeometry->listInset;
  return MakeRect(inset, inset, width - inset, height - inset);
}

void CustomComboBox::SetAlternativeAppearance(bool on) {
  mGeometry = on ? &kAlternativeGeometry : &kDefaultGeometry;
  SetBounds(mBounds, true);
}

bool CustomComboBox::FireLocked(void (ComboBoxEvents::*raise)(RuntimeObject*)) {
  if (!mOwner || !mEvents) return false;
  Lock();
  (mEvents->*raise)(mOwner);
  return Release();
}

// --- Change and the list ---------------------------------------------------------------------

void CustomComboBox::Changed() {
  if (!mEdit || !mList) return;
  const int32_t row = GetListIndex();
  const string text = row >= 0 ? mList->CellText(row, 0) : string();
  PaneGuard guard(this);
  if (mEdit->GetText(kEncodingUTF8).View() != text.View()) mEdit->SetText(text);
  if (!guard.Get()) return;
  if (mNavigating) {
    Invalidate();
    return;
  }
  CloseDropDown();
  RaiseChangeOnce(this);
}

void CustomComboBox::ListSelectionChanged() { Changed(); }

bool CustomComboBox::ListKey(int32_t character) {
  switch (character) {
    case kComboUp:
    case kComboDown:
      mNavigating = true;
      return false;  // the list moves; the edit follows without a Change
    case kComboEscape:
      mNavigating = false;
      CloseDropDown();
      return true;
    case kComboReturn:
    case kComboTab:
      mNavigating = false;
      // With no row chosen there is nothing to put in the edit: what was typed stays.
      if (GetListIndex() >= 0) Changed();
      CloseDropDown();
      return true;
    default:
      return false;
  }
}

void CustomComboBox::ListKeyDone() { mNavigating = false; }

void CustomComboBox::ListLostFocus() {
  if (!mOpeningOrClosing) CloseDropDown();
}

void CustomComboBox::SelectListRow(int32_t row) {
  ListSelection& selection = mList->Selection();
  selection.ClearSelection();
  if (row >= 0 && row < Count()) selection.SelectRow(row, true);
}

// --- the drop-down ---------------------------------------------------------------------------

bool CustomComboBox::IsDroppedDown() const { return mDropDown && mDropDown->IsShown(); }

void CustomComboBox::OpenDropDown() {
  Window* window = GetWindow();
  if (!mDropDown || !mList || !window || IsDroppedDown()) return;
  mOpeningOrClosing = true;
  Rect windowBounds;
  window->GetScreenBounds(&windowBounds);
  const Rect edit = mEdit ? mEdit->Bounds() : mBounds;
  // Every row whole, inside the list's own frame and the window's inset.
  const int32_t listHeight =
      mList->RowHeight() * mList->RowCount() + mList->RowAreaInset() + 2 * mGeometry->listInset;
  const int32_t left = windowBounds.left + mBounds.left;
  const int32_t width = mBounds.right - mBounds.left;
  const int32_t below = windowBounds.top + edit.bottom;
  const int32_t above = windowBounds.top + edit.top;
  Rect r = MakeRect(left, below, left + width, std::min(below + listHeight, kLargestCoordinate));
  // Too few rows fit below the edit: above it, when there is more room there. Either way the
  // window ends at the screen's edge and the list scrolls inside it.
  const int32_t screenHeight = gdk_screen_height();
  const int32_t roomBelow = screenHeight - below, roomAbove = above;
  if (roomBelow < kLeastRowsBelow * mList->RowHeight() && roomAbove > roomBelow) {
    r = MakeRect(left, std::max(0, above - listHeight), left + width, above);
    PlaceWindowOnScreen(&r, kClipTop);
  } else {
    PlaceWindowOnScreen(&r, kClipBottom);
  }
  mDropDown->MoveWindow(r.left, r.top, false);
  mDropDown->SetWindowBounds(r.Width(), r.Height(), false);
  mList->SetBounds(ListBounds(r.Width(), r.Height()), false);
  mDropDown->Show();
  if (GtkWidget* top = mDropDown->GtkWindowWidget()) gtk_window_present(GTK_WINDOW(top));
  SetFocusPane(mList);
  mOpeningOrClosing = false;
}

void CustomComboBox::CloseDropDown() {
  if (!IsDroppedDown()) return;
  mOpeningOrClosing = true;
  mDropDown->Hide();
  if (Window* window = GetWindow(); window && window->GtkWindowWidget())
    gtk_window_present(GTK_WINDOW(window->GtkWindowWidget()));
  if (mEdit) SetFocusPane(mEdit);
  mOpeningOrClosing = false;
  Invalidate();
}

void CustomComboBox::Clicked(SubPane*) {
  if (!mDropDown) {
    ReportPaneAssertion("Common/runpopup", 2344, "There should be a window here");
    return;
  }
  if (IsDroppedDown()) {
    CloseDropDown();
    return;
  }
  if (vorn::GetFocusPane() != mEdit) SetFocusPane(this);
  OpenDropDown();
}

// --- rows ------------------------------------------------------------------------------------

void CustomComboBox::AddRow(const string& text, RuntimeObject* tag) {
  if (!mList) return;
  const int32_t row = mList->AddTextRow(text, kPlainRow);
  SetRowTag(row, tag);
}

void CustomComboBox::AddRows(const std::vector<string>& texts) {
  for (const string& text : texts) AddRow(text, nullptr);
}

int32_t CustomComboBox::GetListIndex() { return mList ? mList->Selection().GetFirstSelectedRow() : -1; }

void CustomComboBox::SetListIndex(int32_t index, bool notify) {
  if (!mList) return;
  const bool navigating = mNavigating;
  if (!notify) mNavigating = true;
  PaneGuard guard(this);
  SelectListRow(index);
  if (guard.Get()) mNavigating = navigating;
}

RuntimeObject* CustomComboBox::GetRowTag(int32_t index) {
  CellAttributes* cell = mList && index >= 0 && index < Count() ? mList->FindCell(index, 0, false) : nullptr;
  return cell ? cell->mTag : nullptr;
}

void CustomComboBox::SetRowTag(int32_t index, RuntimeObject* tag) {
  if (!mList || index < 0 || index >= Count()) return;
  if (CellAttributes* cell = mList->FindCell(index, 0, tag != nullptr)) cell->SetTag(tag);
}

string CustomComboBox::GetRowText(int32_t index) {
  return mList && index >= 0 && index < Count() ? mList->CellText(index, 0) : string();
}

void CustomComboBox::SetRowText(int32_t index, const string& text) {
  if (mList && index >= 0 && index < Count()) mList->SetCellText(index, 0, text, false);
}

void CustomComboBox::DeleteAllRows() {
  if (mList) mList->DeleteAllRows();
}

void CustomComboBox::RemoveRow(int32_t index) {
  if (mList && index >= 0 && index < Count()) mList->RemoveRow(index);
}

void CustomComboBox::InsertRow(int32_t index, const string& text, RuntimeObject* tag) {
  if (!mList) return;
  if (index < 0 || index > Count()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  const int32_t row = mList->InsertRow(index, text.ToUTF8(), 0, kPlainRow);
  SetRowTag(row, tag);
}

int32_t CustomComboBox::Count() { return mList ? mList->RowCount() : -1; }

int32_t CustomComboBox::FindRowTag(RuntimeObject* tag) {
  for (int32_t row = 0, n = Count(); row < n; ++row)
    if (GetRowTag(row) == tag) return row;
  return -1;
}

// --- text, keys and focus ----------------------------------------------------------------------

string CustomComboBox::GetText() { return mEdit ? mEdit->GetText(kEncodingUTF8) : string(); }

void CustomComboBox::SetText(const string& text) {
  if (mEdit) mEdit->SetText(text);
}

int32_t CustomComboBox::GetSelStart() { return mEdit ? mEdit->GetSelStart() : 0; }
int32_t CustomComboBox::GetSelLength() { return mEdit ? mEdit->GetSelLength() : 0; }
void CustomComboBox::SetSelStart(int32_t start) {
  if (mEdit) mEdit->SetSelStart(start);
}
void CustomComboBox::SetSelLength(int32_t length) {
  if (mEdit) mEdit->SetSelLength(length);
}

void CustomComboBox::FireTextChanged() { FireLocked(&ComboBoxEvents::RaiseTextChanged); }
void CustomComboBox::FireGotFocus() { FireLocked(&ComboBoxEvents::RaiseGotFocus); }
void CustomComboBox::FireLostFocus() { FireLocked(&ComboBoxEvents::RaiseLostFocus); }

bool CustomComboBox::FireKeyDown(uint8_t key) {
  if (!mOwner || !mEvents) return false;
  string text(&key, 1, key < 0x80 ? kEncodingASCII : kEncodingUnknown);
  Lock();
  const bool handled = mEvents->RaiseKeyDown(mOwner, text);
  return Release() || handled;
}

void CustomComboBox::TextChanged(EditControl*) {
  if (mNavigating) return;
  mNavigating = true;
  PaneGuard guard(this);
  FireTextChanged();
  if (!guard.Get()) return;
  mNavigating = false;
  // A typed key replacing a selection reaches here twice, the deletion first: completion
  // waits until the key is in, and runs before the next key is read.
  if (mAutoComplete && !mCompletionPending) {
    mCompletionPending = true;
    Lock();
    g_idle_add_full(G_PRIORITY_HIGH, &CompleteTyping, static_cast<SubPane*>(this), nullptr);
  }
}

gboolean CustomComboBox::CompleteTyping(gpointer data) {
  auto* combo = dynamic_cast<CustomComboBox*>(static_cast<SubPane*>(data));
  if (!combo) return FALSE;
  combo->mCompletionPending = false;
  if (!combo->mClosing && combo->mEdit) combo->CompleteFromRows();
  combo->Release();
  return FALSE;
}

void CustomComboBox::CompleteFromRows() {
  const string typed = GetText();
  const bool backspace = mBackspaceTyped;
  mBackspaceTyped = false;
  if (backspace || typed.IsEmpty()) return;
  for (int32_t row = 0, n = Count(); row < n; ++row) {
    if (!BeginsWith(std::string(GetRowText(row).View()), std::string(typed.View()))) continue;
    PaneGuard guard(this);
    mNavigating = true;
    SelectListRow(row);  // fills the edit with the row's text
    if (!guard.Get()) return;
    mNavigating = false;
    SetSelStart(typed.Length());
    SetSelLength(GetText().Length() - typed.Length());
    return;
  }
}

bool CustomComboBox::KeyDownCharacter(EditControl*, int32_t character, int32_t, int32_t) {
  if (FireKeyDown(static_cast<uint8_t>(character))) return true;
  if (character == kComboTab) {
    mFocusMoving = true;
    SetFocusPane(this);
    mFocusMoving = false;
    return false;
  }
  if (character == kComboDown) {
    OpenDropDown();
    return true;
  }
  if (character == kComboBackspace) mBackspaceTyped = true;
  return false;
}

bool CustomComboBox::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  if (!mEnabled) return false;
  if (mOwner && mEvents && mEvents->RaiseMouseDown(mOwner, x - mBounds.left, y - mBounds.top)) {
    SetMouseCapturePane(this);
    return true;
  }
  if (mEdit && x < mEdit->Bounds().right) {
    SetFocusPane(this);
    return mEdit->MouseDown(x, y, modifiers);
  }
  return mButton && mButton->MouseDown(x, y, modifiers);
}

void CustomComboBox::MouseUp(int32_t x, int32_t y) {
  if (mOwner && mEvents) mEvents->RaiseMouseUp(mOwner, x - mBounds.left, y - mBounds.top);
}

bool CustomComboBox::CanFocus() { return mEnabled && IsDisplayed() && mEdit; }

void CustomComboBox::GotFocus() {
  if (mEdit && !mFocusMoving) SetFocusPane(mEdit);
}

void CustomComboBox::GotFocus(EditControl*) {
  if (mOwner && mEvents && mEvents->UseFocusRing(mOwner)) SetCurrentPane(this);
  if (!mOpeningOrClosing) FireGotFocus();
}

void CustomComboBox::LostFocus(EditControl*) {
  if (!mOpeningOrClosing) FireLostFocus();
}

void CustomComboBox::ApplyTextStyle() {
  if (mList) {
    mList->SetListTextStyle(mStyle);
    mList->Invalidate();
  }
  if (mEdit) mEdit->SetTextStyle(mStyle);
  Invalidate();
}

void CustomComboBox::SetBounds(const Rect& r, bool redraw) {
  CloseDropDown();
  ContainerPane::SetBounds(r, redraw);
  if (mEdit) mEdit->SetBounds(EditBounds(r), redraw);
  if (mButton) mButton->SetBounds(ButtonBounds(r), redraw);
}

bool CustomComboBox::GetFocusRingRect(Rect* r) {
  *r = mBounds;
  InsetRect(*r, -4, -4);
  return true;
}

bool CustomComboBox::GetBaseline(int32_t* y) { return CentredBaseline(this, y); }

void CustomComboBox::Close() {
  if (mClosing) return;
  CloseDropDown();
  RuntimeListbox* list = mList;
  if (list) static_cast<DropList*>(list)->ForgetCombo();
  Window* dropDown = mDropDown;
  BevelButton* button = mButton;
  EditControlGTK* edit = mEdit;
  mDropDown = nullptr;
  mList = nullptr;
  mButton = nullptr;
  mEdit = nullptr;
  if (list) list->Close();
  if (dropDown) dropDown->Close();
  if (button) button->Close();
  if (edit) edit->Close();
  SubPane::Close();
}

}  // namespace vorn
