// The row-list interface that the PopupMenu and ComboBox control classes drive, and what such
// a pane needs of its owner object.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/data_aware.h"
#include "graphics/text_style.h"
#include "objects/runtime_class.h"
#include "strings/vstring.h"

namespace vorn {

class SubPane;

// The events a combo pane raises on its owner object, implemented by the control class layer.
// The owner's in-Change flag lives in the owner; the pane keeps the guard rules.
class ComboBoxEvents {
 public:
  virtual ~ComboBoxEvents() = default;
  virtual bool InChange(RuntimeObject* owner) = 0;
  virtual void SetInChange(RuntimeObject* owner, bool value) = 0;
  virtual void RaiseChange(RuntimeObject* owner) = 0;
  // Sends DataChanged to the owner's data-notification receivers.
  virtual void NotifyDataChanged(RuntimeObject* owner) = 0;
  virtual bool RaiseMouseDown(RuntimeObject* owner, int32_t x, int32_t y) = 0;
  virtual bool RaiseMouseUp(RuntimeObject* owner, int32_t x, int32_t y) = 0;
  virtual void RaiseGotFocus(RuntimeObject* owner) = 0;
  virtual void RaiseLostFocus(RuntimeObject* owner) = 0;
  virtual void RaiseTextChanged(RuntimeObject* owner) = 0;
  virtual bool RaiseKeyDown(RuntimeObject* owner, const string& key) = 0;
  // The owner's UseFocusRing.
  virtual bool UseFocusRing(RuntimeObject* owner) = 0;
};

// The row list of a popup menu or combo box. Row texts are UTF-8; every stored tag holds one
// reference. Rows are numbered from 0; out-of-range indexes read as empty and change nothing.
class ComboBox : public DataAwareClass {
 public:
  ComboBox(RuntimeObject* owner, ComboBoxEvents* events, const TextStyle& style);
  ~ComboBox() override;

  void BindDataSource() override;
  void UnbindDataSource() override;

  virtual void Changed() = 0;
  virtual bool StripsAmpersands() = 0;
  virtual void AddRow(const string& text, RuntimeObject* tag) = 0;
  virtual void AddRows(const std::vector<string>& texts) = 0;
  virtual int32_t GetListIndex() = 0;
  virtual void SetListIndex(int32_t index, bool notify) = 0;
  // Borrowed: the caller retains it to keep it.
  virtual RuntimeObject* GetRowTag(int32_t index) = 0;
  virtual void SetRowTag(int32_t index, RuntimeObject* tag) = 0;
  virtual string GetRowText(int32_t index) = 0;
  virtual void AddSeparator() = 0;
  virtual void SetRowText(int32_t index, const string& text) = 0;
  virtual void DeleteAllRows() = 0;
  virtual void RemoveRow(int32_t index) = 0;
  virtual void InsertRow(int32_t index, const string& text, RuntimeObject* tag) = 0;
  virtual int32_t Count() = 0;
  virtual int32_t FindRowTag(RuntimeObject* tag) = 0;
  virtual void FireGotFocus() = 0;
  virtual void FireLostFocus() = 0;
  virtual void ApplyTextStyle() = 0;
  virtual string GetText() = 0;
  virtual void SetText(const string& text) = 0;
  virtual void FireTextChanged() = 0;
  virtual bool FireKeyDown(uint8_t key) = 0;
  virtual int32_t GetSelStart() = 0;
  virtual int32_t GetSelLength() = 0;
  virtual void SetSelStart(int32_t start) = 0;
  virtual void SetSelLength(int32_t length) = 0;
  virtual void SetAutoComplete(bool value) = 0;

  RuntimeObject* Owner() const { return mOwner; }
  // The owner is going away: no event is raised after this.
  void ClearOwner() { mOwner = nullptr; }
  TextStyle& Style() { return mStyle; }

 protected:
  // Change and then DataChanged to the owner's receivers, unless a Change is running already;
  // true when `pane` (this combo's pane) went meanwhile.
  bool RaiseChangeOnce(SubPane* pane);
  // The baseline of one line in the text style, centred in `pane`'s height (pane
  // coordinates); false, with 0, when the pane has no port.
  bool CentredBaseline(SubPane* pane, int32_t* y);

  RuntimeObject* mOwner;
  ComboBoxEvents* mEvents;
  TextStyle mStyle;
};

}  // namespace vorn
