#include "editfield/edit_router.h"

#include <gdk/gdk.h>

#include "controls/control_support.h"
#include "editfield/edit_control.h"
#include "editfield/edit_field_binding.h"
#include "editfield/edit_field_class.h"
#include "editfield/input_mask.h"
#include "objects/exceptions.h"
#include "objects/event_dispatch.h"
#include "windows/menu_enabling.h"

namespace vorn {

namespace {

void EnableInMenuBar(const char* itemName) { EnableMenuItemsNamed(itemName); }

EditMenuItemEnabler sEnabler = &EnableInMenuBar;

// Keeps the object, and with it this router, alive until the callback returns.
class ObjectHold {
 public:
  explicit ObjectHold(RuntimeObject* object) : mObject(object) { RuntimeLockObject(object); }
  ~ObjectHold() { RuntimeUnlockObject(mObject); }
  ObjectHold(const ObjectHold&) = delete;
  ObjectHold& operator=(const ObjectHold&) = delete;

 private:
  RuntimeObject* mObject;
};

// Fires the object's event of that name with the pane locked; `paneGone` tells whether the
// handler closed the pane.
template <typename R = void, typename... Args>
R Fire(EditControl* pane, RuntimeObject* object, const char* name, bool* paneGone, Args... args) {
  if (paneGone) *paneGone = false;
  void* handler = HandlerByEventName(object, name);
  if (!handler) return R();
  PaneGuard guard(pane);
  if (pane) pane->Lock();
  if constexpr (std::is_void_v<R>) {
    CallEventHandler<void, Args...>(handler, object, args...);
    bool gone = !guard.Get() || (pane && pane->Release());
    if (paneGone) *paneGone = gone;
  } else {
    R result = CallEventHandler<R, Args...>(handler, object, args...);
    bool gone = !guard.Get() || (pane && pane->Release());
    if (paneGone) *paneGone = gone;
    return result;
  }
}

}  // namespace

void SetEditMenuItemEnabler(EditMenuItemEnabler enabler) { sEnabler = enabler ? enabler : &EnableInMenuBar; }

EditMenuState EditMenuStateOf(EditControl* pane) {
  EditMenuState state;
  if (!pane) return state;
  state.hasSelection = pane->HasSelection();
  state.password = pane->IsPassword();
  state.readOnly = pane->IsReadOnly();
  state.clipboardHasText = !state.readOnly && pane->ClipboardHasText();
  return state;
}

bool RuntimeEditRouter::ValidateKey(EditControl* pane, int32_t start, int32_t length, int32_t insertAt,
                                    const string& text, bool selectInserted, int32_t) {
  // Panes call this from native key handling, where no compiled caller would see an exception.
  ExceptionBoundary boundary;
  // Without an input mask every key goes to the widget as typed.
  return ApplyMask(pane, start, length, insertAt, text, selectInserted);
}

bool RuntimeEditRouter::ApplyMask(EditControl* pane, int32_t start, int32_t length, int32_t insertAt,
                                  const string& text, bool selectInserted) {
  EditFieldObject* field = AsEditFieldObject(mObject);
  if (!pane || !field || !field->mask || field->mask->length == 0) return false;
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  string mask = string::Share(field->mask).ToUTF8();
  string current = pane->GetText(kEncodingUTF8);
  string inserted = text.ToUTF8();
  MaskedEdit edit = ProposeMaskedEdit(current.View(), start, length, insertAt, inserted.View(),
                                      pane->GetSelLength() == 0);
  InputMaskMatch match = MatchInputMask(edit.proposed, mask.View(), LocaleInputMaskSeparators());
  if (match.result == InputMaskResult::kInvalidMask) {
    RuntimeRaiseExceptionWithMessage(GetUnsupportedFormatExceptionClassDefinition(),
                                     string("Invalid Mask.  The tilde character (~) is reserved for future use."));
    return true;
  }
  bool isEdit = length > 0 || inserted.Length() > 0;
  bool rejected = match.result == InputMaskResult::kRejected;
  // A refused keystroke leaves the text as it was; cutting it back to the part before the
  // refused character would throw away everything the user typed after it. Only a new mask
  // cuts the text to what it accepts.
  if (!rejected || !isEdit) {
    bool pureDeletion = length > 0 && inserted.Length() == 0;
    std::string shown = match.accepted;
    int32_t advance = 0;
    if (!pureDeletion) {
      shown += match.tail;
      advance = UTF8CharacterCount(match.tail) + UTF8CharacterCount(inserted.View());
    }
    pane->SetText(string(shown, kEncodingUTF8));
    if (selectInserted) {
      pane->SetSelStart(edit.insertAt);
      pane->SetSelLength(advance);
    } else {
      pane->SetSelStart(edit.insertAt + advance);
      pane->SetSelLength(0);
    }
  }
  if (rejected) {
    if (HandlerByEventName(object, "ValidationError")) {
      string proposed(edit.proposed, kEncodingUTF8);
      Fire(pane, object, "ValidationError", nullptr, proposed.Rep(), match.acceptedCharacters + 1);
    } else {
      gdk_beep();
    }
  }
  return true;
}

void RuntimeEditRouter::ApplyMaskToText(EditControl* pane) {
  if (!pane) return;
  // An empty edit at the insertion point.
  int32_t at = pane->GetSelStart();
  ApplyMask(pane, at, 0, at, string("", 0, kEncodingUTF8), false);
}

void RuntimeEditRouter::TextChanged(EditControl* pane) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  EditFieldObject* field = AsEditFieldObject(object);
  if (field) {
    if (field->inTextChange) return;
    field->inTextChange = 1;
  }
  bool gone = false;
  Fire(pane, object, "TextChange", &gone);
  if (field && !gone && field->liveUpdate) PushEditFieldText(field);
  if (field) {
    if (!gone) DisplayEditFormat(field);
    field->inTextChange = 0;
  }
}

void RuntimeEditRouter::SelChanged(EditControl* pane) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  EditFieldObject* field = AsEditFieldObject(object);
  if (field) {
    if (field->inSelChange) return;
    field->inSelChange = 1;
  }
  Fire(pane, object, "SelChange", nullptr);
  if (field) field->inSelChange = 0;
}

bool RuntimeEditRouter::ResetFormatSelection(EditControl*) {
  EditFieldObject* field = AsEditFieldObject(mObject);
  if (!field || !field->format || field->format->length == 0) return false;
  field->savedSelStart = 0;
  field->savedSelEnd = UTF8CharacterCount(string::Share(field->text).View());
  return true;
}

void RuntimeEditRouter::GotFocus(EditControl* pane) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  EditFieldObject* field = AsEditFieldObject(object);
  if (field && pane && field->format && field->format->length > 0) {
    // The text as typed comes back for editing, with the selection it had.
    uint8_t wasGuarded = field->inTextChange;
    field->inTextChange = 1;
    pane->SetText(string::Share(field->text));
    field->formatShown = 0;
    field->inTextChange = wasGuarded;
    pane->SetSelection(field->savedSelStart, field->savedSelEnd);
  }
  Fire(pane, object, "GotFocus", nullptr);
}

void RuntimeEditRouter::LostFocus(EditControl* pane) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  bool gone = false;
  Fire(pane, object, "LostFocus", &gone);
  EditFieldObject* field = AsEditFieldObject(object);
  if (field && !gone) PushEditFieldText(field);
  if (field && !gone) DisplayEditFormat(field);
}

bool RuntimeEditRouter::KeyDownCharacter(EditControl* pane, int32_t character, int32_t modifiers, int32_t) {
  return KeyDown(pane, KeyCharacterString(character), modifiers);
}

bool RuntimeEditRouter::KeyDown(EditControl* pane, const string& key, int32_t) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  return Fire<uint8_t>(pane, object, "KeyDown", nullptr, key.Rep()) != 0;
}

void RuntimeEditRouter::EnableMenuItems(EditControl* pane) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  if (pane) {
    EditMenuState state = EditMenuStateOf(pane);
    for (int32_t i = 0; i <= static_cast<int32_t>(EditMenuItem::kSelectAll); ++i) {
      auto item = static_cast<EditMenuItem>(i);
      if (EditMenuItemEnabled(item, state)) sEnabler(EditMenuItemName(item));
    }
  }
  Fire(pane, object, "EnableMenuItems", nullptr);
}

bool RuntimeEditRouter::DoMenuCommand(EditControl* pane, const string& itemName) {
  EditMenuItem item = EditMenuItemFromName(itemName);
  if (!pane || item == EditMenuItem::kNone) return false;
  if (!EditMenuItemEnabled(item, EditMenuStateOf(pane))) return false;
  switch (item) {
    case EditMenuItem::kCut: pane->Cut(); break;
    case EditMenuItem::kCopy: pane->Copy(); break;
    case EditMenuItem::kClear: pane->Clear(); break;
    case EditMenuItem::kPaste: pane->Paste(); break;
    case EditMenuItem::kSelectAll: pane->SetSelection(0, pane->GetTextLength()); break;
    case EditMenuItem::kNone: return false;
  }
  return true;
}

bool RuntimeEditRouter::FocusNotify(EditControl* pane, int32_t code) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  if (code == kEditFocusGot) Fire(pane, object, "GotFocus", nullptr);
  if (code == kEditFocusLost) Fire(pane, object, "LostFocus", nullptr);
  return false;
}

bool RuntimeEditRouter::MouseDown(EditControl* pane, int32_t x, int32_t y) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  return Fire<uint8_t>(pane, object, "MouseDown", nullptr, x, y) != 0;
}

void RuntimeEditRouter::MouseUp(EditControl* pane, int32_t x, int32_t y) {
  RuntimeObject* object = mObject;
  ObjectHold hold(object);
  Fire(pane, object, "MouseUp", nullptr, x, y);
}

}  // namespace vorn
