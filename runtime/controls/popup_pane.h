// The native pane of PopupMenu and ComboBox controls: a GTK combo (an entry with a drop-down
// list) placed in the control's window, with the control's rows. A popup menu's entry is not
// editable; a combo box's is.
//
// The pane tracks the selected row itself, so two rows with equal text stay apart, and rows
// inserted or removed around the selection leave the same row selected. Change is raised from
// `Changed` only: when the user picks a row, when typed text comes to equal a row, when code
// sets the list index, and when the selected row is removed.
#pragma once

#include <string>
#include <vector>

#include "controls/combo_box.h"
#include "windows/sub_pane.h"

struct _GtkWidget;

namespace vorn {

class Window;

// GTK state code the window machinery sends to ask a combo to recheck its selection.
constexpr int32_t kComboStateRecheck = 2000;

class PopupMenu : public ComboBox, public SubPane {
 public:
  PopupMenu(RuntimeObject* owner, ComboBoxEvents* events, const vorn::TextStyle& style, Window* window,
            const Rect& bounds, bool editable);
  ~PopupMenu() override;

  // ComboBox
  void Changed() override;
  bool StripsAmpersands() override { return !mEditable; }
  void AddRow(const string& text, RuntimeObject* tag) override;
  void AddRows(const std::vector<string>& texts) override;
  int32_t GetListIndex() override;
  void SetListIndex(int32_t index, bool notify) override;
  RuntimeObject* GetRowTag(int32_t index) override;
  void SetRowTag(int32_t index, RuntimeObject* tag) override;
  string GetRowText(int32_t index) override;
  void AddSeparator() override;
  void SetRowText(int32_t index, const string& text) override;
  void DeleteAllRows() override;
  void RemoveRow(int32_t index) override;
  void InsertRow(int32_t index, const string& text, RuntimeObject* tag) override;
  int32_t Count() override { return static_cast<int32_t>(mRows.size()); }
  int32_t FindRowTag(RuntimeObject* tag) override;
  void FireGotFocus() override;
  void FireLostFocus() override;
  void ApplyTextStyle() override;
  string GetText() override;
  void SetText(const string& text) override;
  void FireTextChanged() override;
  bool FireKeyDown(uint8_t key) override;
  int32_t GetSelStart() override;
  int32_t GetSelLength() override;
  void SetSelStart(int32_t start) override;
  void SetSelLength(int32_t length) override;
  void SetAutoComplete(bool) override {}

  // SubPane
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseUp(int32_t x, int32_t y) override;
  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override;
  void GotFocus() override;
  void LostFocus() override;
  bool CanFocus() override;
  int32_t ChangeState(int32_t code) override;
  void DrawInto(Graphics* port) override;

  // Text baseline in pane coordinates, from the style's font metrics.
  bool GetBaseline(int32_t* y);
  string GetEntryText();
  void SetEntryText(const string& text);
  bool FireMouseDown(int32_t x, int32_t y);
  bool FireMouseUp(int32_t x, int32_t y);

  bool IsEditable() const { return mEditable; }
  bool HasCustomFont() const { return mCustomFont; }
  int32_t LastIndex() const { return mLastIndex; }
  _GtkWidget* Entry() const;
  _GtkWidget* List() const;
  _GtkWidget* ArrowButton() const;
  _GtkWidget* DropDown() const;

  // GTK signal entry points.
  void EntryChanged();
  void DropDownShown();
  void DropDownHidden();

 private:
  struct Row {
    std::string text;  // UTF-8
    RuntimeObject* tag;
  };

  // The row text as stored: UTF-8, mnemonics stripped on a popup menu.
  std::string StoredText(const string& text);
  // The row the combo shows: the list's selected item when its text is the entry's, else the
  // first row whose text equals the entry text (letter case ignored), else -1.
  int32_t IndexFromCombo();
  void Rebuild();
  // Shows the tracked selection in the combo; with none, a popup menu's entry is emptied and a
  // combo box keeps its typed text.
  void ShowSelection(const std::string& entryText);
  void ApplyItemFonts();
  void Block() { ++mBlocked; }
  void Unblock() { --mBlocked; }
  bool FireLocked(void (ComboBoxEvents::*raise)(RuntimeObject*));
  // TextChanged when a combo box's entry shows a text not yet told of; true when the pane
  // went meanwhile.
  bool TellTextChanged();

  // The combo's parts, each with a reference of the pane's: the window may destroy the combo
  // before the pane goes, and the signal handlers must still be disconnected then.
  enum ComboPart { kEntry, kList, kButton, kDropDown, kPartCount };
  _GtkWidget* mParts[kPartCount] = {};

  bool mEditable;
  std::vector<Row> mRows;
  int32_t mSelected = -1;
  int32_t mBlocked = 0;
  bool mCustomFont = false;
  int32_t mLastIndex = -1;
  std::string mToldText;  // the entry text TextChanged last told of
};

// The font rule: the theme's font stays on the list items for the System font at the default
// size without style.
bool IsCustomComboFont(const TextStyle& style);

}  // namespace vorn
