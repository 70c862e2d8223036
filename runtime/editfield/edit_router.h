// RuntimeEditRouter turns an edit pane's callbacks into the events of the runtime object it
// was made for, looked up by event name, so that list boxes and combo boxes can drive the
// same router for objects of their own classes. EditField objects also get their guards,
// formats and Edit menu handling.
#pragma once

#include "editfield/edit_control_delegate.h"
#include "editfield/edit_text_model.h"

namespace vorn {

class RuntimeEditRouter : public EditControlDelegate {
 public:
  explicit RuntimeEditRouter(RuntimeObject* object) : mObject(object) {}

  bool ValidateKey(EditControl* pane, int32_t start, int32_t length, int32_t insertAt, const string& text,
                   bool selectInserted, int32_t character) override;
  void TextChanged(EditControl* pane) override;
  void SelChanged(EditControl* pane) override;
  bool ResetFormatSelection(EditControl* pane) override;
  void GotFocus(EditControl* pane) override;
  void LostFocus(EditControl* pane) override;
  bool KeyDownCharacter(EditControl* pane, int32_t character, int32_t modifiers, int32_t extra) override;
  bool KeyDown(EditControl* pane, const string& key, int32_t modifiers) override;
  void EnableMenuItems(EditControl* pane) override;
  bool DoMenuCommand(EditControl* pane, const string& itemName) override;
  bool FocusNotify(EditControl* pane, int32_t code) override;
  bool MouseDown(EditControl* pane, int32_t x, int32_t y) override;
  void MouseUp(EditControl* pane, int32_t x, int32_t y) override;

  // Applies an edit to a field with a Mask itself: the text as far as the mask takes it, plus
  // the mask's next literals, goes into the pane, and a mismatch fires ValidationError. A mask
  // that reaches its reserved character raises UnsupportedFormatException for the caller.
  // False when the object is no EditField or has no Mask: nothing is done.
  bool ApplyMask(EditControl* pane, int32_t start, int32_t length, int32_t insertAt, const string& text,
                 bool selectInserted);
  // Matches the pane's whole text against the Mask as it stands (a new mask, a new pane).
  void ApplyMaskToText(EditControl* pane);

  RuntimeObject* Object() const { return mObject; }

 private:
  RuntimeObject* mObject;  // not held: the object owns the router
};

// How the router enables one Edit menu item by name: by default the item of that name in the
// menu bar being enabled; nil restores the default.
using EditMenuItemEnabler = void (*)(const char* itemName);
void SetEditMenuItemEnabler(EditMenuItemEnabler enabler);

// The state the Edit menu items of a field depend on.
EditMenuState EditMenuStateOf(EditControl* pane);

}  // namespace vorn
