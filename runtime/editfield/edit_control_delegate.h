// The receivers of an edit pane: EditControlDelegate hears what happens in the field (the
// runtime's router turns it into the EditField's events), and StyledTextDelegate is what a
// StyledText object edits, either a field's own text or a detached run store.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"
#include "strings/vstring.h"

namespace vorn {

class EditControl;

// Focus codes of FocusNotify.
enum EditFocusCode : int32_t { kEditFocusGot = 52, kEditFocusLost = 53 };

class EditControlDelegate {
 public:
  virtual ~EditControlDelegate() = default;
  // An edit is about to be applied: delete `length` characters at `start`, insert `text` at
  // `insertAt`. True when the delegate applied it itself or refuses it.
  virtual bool ValidateKey(EditControl* pane, int32_t start, int32_t length, int32_t insertAt,
                           const string& text, bool selectInserted, int32_t character);
  virtual void TextChanged(EditControl* pane);
  virtual void SelChanged(EditControl* pane);
  virtual bool ResetFormatSelection(EditControl* pane);
  virtual void GotFocus(EditControl* pane);
  virtual void LostFocus(EditControl* pane);
  virtual bool KeyDownCharacter(EditControl* pane, int32_t character, int32_t modifiers, int32_t extra);
  // By default the key's first byte in the single-byte encoding goes to KeyDownCharacter.
  virtual bool KeyDown(EditControl* pane, const string& key, int32_t modifiers);
  virtual void EnableMenuItems(EditControl* pane);
  // A menu command by its menu item's name; true when handled.
  virtual bool DoMenuCommand(EditControl* pane, const string& itemName);
  virtual bool FocusNotify(EditControl* pane, int32_t code);
  virtual bool MouseDown(EditControl* pane, int32_t x, int32_t y);
  virtual void MouseUp(EditControl* pane, int32_t x, int32_t y);
};

// Start and length are character offsets; `mixed`, when given, tells whether the range holds
// more than one value. Colours are &h00RRGGBB. The base holds no styles: setters do nothing
// and queries answer false, 0, "" or nil.
class StyledTextDelegate {
 public:
  virtual ~StyledTextDelegate() = default;
  virtual void SetBold(int32_t start, int32_t length, bool value);
  virtual void SetItalic(int32_t start, int32_t length, bool value);
  virtual void SetUnderline(int32_t start, int32_t length, bool value);
  virtual void SetFont(int32_t start, int32_t length, const string& font);
  virtual void SetSize(int32_t start, int32_t length, int32_t points);
  virtual void SetColor(int32_t start, int32_t length, uint32_t color);
  virtual bool GetBold(int32_t start, int32_t length, bool* mixed);
  virtual bool GetItalic(int32_t start, int32_t length, bool* mixed);
  virtual bool GetUnderline(int32_t start, int32_t length, bool* mixed);
  virtual string GetFont(int32_t start, int32_t length, bool* mixed);
  virtual int32_t GetSize(int32_t start, int32_t length, bool* mixed);
  virtual uint32_t GetColor(int32_t start, int32_t length, bool* mixed);
  virtual int32_t RunCount();
  // A new StyleRun object, one reference for the caller; nil when there is no such run.
  virtual RuntimeObject* GetRun(int32_t index);
  virtual void InsertRun(RuntimeObject* run, int32_t index);
  virtual void AppendRun(RuntimeObject* run);
  virtual void RemoveRun(int32_t index);
  virtual RuntimeObject* GetRunRange(int32_t index);
  virtual int32_t GetAlignment(int32_t start, int32_t length);
  virtual void SetAlignment(int32_t start, int32_t length, int32_t alignment);
  virtual void StyleChanged();
};

}  // namespace vorn
