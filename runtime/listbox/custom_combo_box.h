// The composite combo box: the ComboBox row list built from the runtime's own panes instead of
// a GTK combo. An edit control holds the text, a bevel button with a down arrow sits at its
// right end, and a one-column list box in a hidden borderless window drops down under the
// edit. No control class makes it; code that wants it constructs it directly.
#pragma once

#include <string>

#include "controls/bevel_button.h"
#include "controls/combo_box.h"
#include "editfield/edit_control_delegate.h"
#include "windows/container_pane.h"

namespace vorn {

class EditControlGTK;
class RuntimeListbox;
class Window;

class CustomComboBox : public ComboBox,
                       public ContainerPane,
                       public EditControlDelegate,
                       public BevelButtonDelegate {
 public:
  // How the parts share the pane's width: the button's width, how far short of the pane's right
  // edge the edit ends (it runs under the button's left edge), and the margin of the list in
  // the drop-down window.
  struct Geometry {
    int32_t buttonWidth;
    int32_t editRightInset;
    int32_t listInset;
  };
  static constexpr int32_t kButtonHeight = 22;  // also the least height of the edit
  static constexpr Geometry kDefaultGeometry{22, 18, 1};
  // The alternative appearance: a wider button the edit reaches further under, and a list that
  // fills its window.
  static constexpr Geometry kAlternativeGeometry{23, 17, 0};

  CustomComboBox(RuntimeObject* owner, ComboBoxEvents* events, const vorn::TextStyle& style, Window* window,
                 const Rect& bounds);
  ~CustomComboBox() override;

  // ComboBox
  void Changed() override;
  bool StripsAmpersands() override { return false; }
  void AddRow(const string& text, RuntimeObject* tag) override;
  void AddRows(const std::vector<string>& texts) override;
  int32_t GetListIndex() override;
  void SetListIndex(int32_t index, bool notify) override;
  RuntimeObject* GetRowTag(int32_t index) override;
  void SetRowTag(int32_t index, RuntimeObject* tag) override;
  string GetRowText(int32_t index) override;
  void AddSeparator() override { AddRow(string("-"), nullptr); }
  void SetRowText(int32_t index, const string& text) override;
  void DeleteAllRows() override;
  void RemoveRow(int32_t index) override;
  void InsertRow(int32_t index, const string& text, RuntimeObject* tag) override;
  int32_t Count() override;
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
  void SetAutoComplete(bool value) override { mAutoComplete = value; }

  // The bases' other calls of the same names stay callable beside the ones taken here.
  using EditControlDelegate::MouseDown;
  using BevelButtonDelegate::MouseDown;
  using EditControlDelegate::MouseUp;
  using ContainerPane::LostFocus;

  // SubPane
  // MouseDown is raised first; a click it leaves goes to the edit or the button.
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseUp(int32_t x, int32_t y) override;
  bool CanFocus() override;
  void GotFocus() override;
  void SetBounds(const Rect& r, bool redraw) override;
  // The bounds grown by 4 pixels on every side, so that an invalidation covers a focus ring.
  bool GetFocusRingRect(Rect* r) override;
  void Close() override;

  // Text baseline in pane coordinates, from the style's font metrics.
  bool GetBaseline(int32_t* y);

  // Lays the edit and the button out again in the alternative geometry, or back in the default.
  void SetAlternativeAppearance(bool on);

  // EditControlDelegate
  void TextChanged(EditControl* pane) override;
  bool KeyDownCharacter(EditControl* pane, int32_t character, int32_t modifiers, int32_t extra) override;
  void GotFocus(EditControl* pane) override;
  void LostFocus(EditControl* pane) override;

  // BevelButtonDelegate: the button toggles the drop-down.
  void Clicked(SubPane* button) override;

  // From the drop-down list.
  void ListSelectionChanged();
  // True when the key was taken; else the list handles it and then calls ListKeyDone.
  bool ListKey(int32_t character);
  void ListKeyDone();
  void ListLostFocus();

  void OpenDropDown();
  void CloseDropDown();
  bool IsDroppedDown() const;

  EditControlGTK* Edit() const { return mEdit; }
  BevelButton* Button() const { return mButton; }
  RuntimeListbox* List() const { return mList; }
  Window* DropDown() const { return mDropDown; }

 private:
  Rect EditBounds(const Rect& bounds) const;
  Rect ButtonBounds(const Rect& bounds) const;
  // The list's place in a drop-down window of that size.
  Rect ListBounds(int32_t width, int32_t height) const;
  bool FireLocked(void (ComboBoxEvents::*raise)(RuntimeObject*));
  void SelectListRow(int32_t row);
  static int CompleteTyping(void* data);
  // Completes the typed text from the first row it begins (letter case ignored) and selects
  // what was added.
  void CompleteFromRows();

  const Geometry* mGeometry = &kDefaultGeometry;
  EditControlGTK* mEdit = nullptr;
  BevelButton* mButton = nullptr;
  Window* mDropDown = nullptr;
  RuntimeListbox* mList = nullptr;
  bool mAutoComplete = false;
  bool mFocusMoving = false;
  bool mOpeningOrClosing = false;
  bool mNavigating = false;
  bool mBackspaceTyped = false;
  bool mCompletionPending = false;
};

}  // namespace vorn
