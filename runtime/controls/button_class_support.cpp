#include "controls/button_class_support.h"

#include <iterator>
#include <utility>

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "objects/runtime_object.h"

namespace vorn {

static_assert(offsetof(ButtonObjectHead, button) == sizeof(VornControlObject));

ButtonFields* ButtonFieldsOf(RuntimeObject* object, ObjectDefinition* definition) {
  if (!object || !RuntimeObjectIsaDefinition(object, definition)) return nullptr;
  return &reinterpret_cast<ButtonObjectHead*>(object)->button;
}

ButtonPane* ButtonPaneOf(RuntimeObject* object) {
  return dynamic_cast<ButtonPane*>(ControlPane(AsControl(object)));
}

TextStyle ButtonTextStyle(ButtonFields* f) {
  return GetControlTextStyle({&f->textFont, &f->textSize, &f->bold, &f->italic, &f->underline});
}

void FinishButtonPane(ControlObject* ctl, SubPane* pane) {
  AttachControlPane(ctl, pane);
  JoinInitialParentPane(ctl, pane);
  if (!ctl->enabled) pane->ChangeState(kPaneStateDisable);
  if (!ctl->visible) pane->ChangeState(kPaneStateHide);
}

void DropButtonRouter(RuntimeObject* object, ButtonFields* fields) {
  if (ButtonPane* pane = ButtonPaneOf(object)) pane->ClearDelegate();
  DeleteAfterDispatch(std::exchange(fields->router, nullptr));
}

void ReleaseButtonStrings(ButtonFields* fields) {
  ReleaseStringRep(fields->caption);
  fields->caption = nullptr;
  ReleaseStringRep(fields->textFont);
  fields->textFont = nullptr;
}

SubPane* ButtonPaneParent(ControlObject* ctl, int32_t line) {
  if (ctl->pane) {
    ReportControlAssertion(line, "ctl->m_view == nil");
    return nullptr;
  }
  return ControlParentPane(ctl);
}

bool ButtonActionMayProceed(RuntimeObject* object) {
  ControlObject* ctl = AsControl(object);
  if (!ctl || !ctl->window) return false;
  SubPane* pane = ControlPane(ctl);
  SubPane* parent = pane ? pane->GetParent() : nullptr;
  return !parent || !parent->IsClosing();
}

// --- accessors ---------------------------------------------------------------------------

namespace {

void PushStyle(RuntimeObject* object, ButtonFields* fields) {
  if (ButtonPane* pane = ButtonPaneOf(object)) pane->SetTextStyle(ButtonTextStyle(fields));
}

}  // namespace

StringRep* ButtonStringGetter(RuntimeObject* object, ObjectDefinition* definition, StringRep* ButtonFields::*field) {
  ButtonFields* fields = ButtonFieldsOf(object, definition);
  StringRep* rep = fields ? fields->*field : nullptr;
  if (!rep || rep->length == 0) return nullptr;
  RetainStringRep(rep);
  return rep;
}

void ButtonCaptionSetter(RuntimeObject* object, ObjectDefinition* definition, StringRep* caption) {
  ButtonFields* fields = ButtonFieldsOf(object, definition);
  if (!fields) return;
  ReplaceStringRep(fields->caption, caption);
  if (ButtonPane* pane = ButtonPaneOf(object)) pane->SetCaption(string::Share(fields->caption));
}

void ButtonFontSetter(RuntimeObject* object, ObjectDefinition* definition, StringRep* font) {
  ButtonFields* fields = ButtonFieldsOf(object, definition);
  if (!fields) return;
  ReplaceStringRep(fields->textFont, font);
  PushStyle(object, fields);
}

int32_t ButtonTextSizeGetter(RuntimeObject* object, ObjectDefinition* definition) {
  ButtonFields* fields = ButtonFieldsOf(object, definition);
  return fields ? fields->textSize : 0;
}

void ButtonTextSizeSetter(RuntimeObject* object, ObjectDefinition* definition, int32_t size) {
  ButtonFields* fields = ButtonFieldsOf(object, definition);
  if (!fields) return;
  fields->textSize = static_cast<int16_t>(size);
  PushStyle(object, fields);
}

uint8_t ButtonFlagGetter(RuntimeObject* object, ObjectDefinition* definition, uint8_t ButtonFields::*field) {
  ButtonFields* fields = ButtonFieldsOf(object, definition);
  return fields && fields->*field ? 1 : 0;
}

void ButtonFlagSetter(RuntimeObject* object, ObjectDefinition* definition, uint8_t ButtonFields::*field,
                      uint8_t value) {
  ButtonFields* fields = ButtonFieldsOf(object, definition);
  if (!fields) return;
  fields->*field = value ? 1 : 0;
  PushStyle(object, fields);
}

// --- action parts ------------------------------------------------------------------------

ButtonHooks SetToggleButtonEvents(ObjectDefinition* definition) {
  EventRow rows[] = {
      {0, "Action", "", "", nullptr, 0},
      {0, "GotFocus", "", "", nullptr, 0},
      {0, "LostFocus", "", "", nullptr, 0},
      {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
      {0, "MouseUp", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
  };
  SetEventList(definition, rows, static_cast<int32_t>(std::size(rows)));
  return {rows[0].hook, rows[3].hook, rows[4].hook, rows[1].hook, rows[2].hook};
}

void ReleaseToggleButton(RuntimeObject* object, ButtonFields* fields, ToggleReceiverLists* lists) {
  RemoveAllNotificationReceivers(&lists->checked);
  RemoveAllNotificationReceivers(&lists->unchecked);
  DropButtonRouter(object, fields);
  ReleaseButtonStrings(fields);
}

RuntimeObject* NewButtonActionPart(ObjectDefinition* actionClass, RuntimeObject* button, ToggleReceiverLists* lists,
                                   StringRep* part) {
  if (!button || !lists) return nullptr;
  std::string_view name = RepText(part);
  int32_t checked;
  if (SameName(name, "getCheckedAction")) {
    checked = 1;
  } else if (SameName(name, "getUncheckedAction")) {
    checked = 0;
  } else {
    return nullptr;
  }
  RuntimeObject* action = CreateInstanceFromDefinition(actionClass);
  if (!action) return nullptr;
  auto* self = reinterpret_cast<ButtonActionObject*>(action);
  RuntimeLockObject(button);
  self->button = button;
  self->checked = checked;
  self->lists = lists;
  return action;
}

void DestroyButtonAction(RuntimeObject* action) {
  if (!action) return;
  auto* self = reinterpret_cast<ButtonActionObject*>(action);
  RuntimeObject* button = self->button;
  self->button = nullptr;
  self->lists = nullptr;
  RuntimeUnlockObject(button);
}

void ChangeButtonActionReceivers(RuntimeObject* action, ObjectDefinition* actionClass, RuntimeObject* receiver,
                                 bool add) {
  if (!action || !RuntimeObjectIsaDefinition(action, actionClass)) return;
  auto* self = reinterpret_cast<ButtonActionObject*>(action);
  if (!self->lists) return;
  NotificationReceiverList* list = self->checked ? &self->lists->checked : &self->lists->unchecked;
  if (add) {
    AddNotificationReceiver(list, receiver);
  } else {
    RemoveNotificationReceiver(list, receiver);
  }
}

ObjectDefinition* BuildButtonActionClass(const char* name, const ProcEntry& destructor, void* add,
                                         const char* addName, void* remove, const char* removeName) {
  static const ParamRow kReceiver[] = {{"receiver", "o<actionNotificationReceiver>", 0, 0}};
  auto* definition = new ObjectDefinition();
  definition->mName = string(name);
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ButtonActionObject));
  definition->mFinalizer = destructor;
  const MethodRow methods[] = {
      {"addActionNotificationReceiver", "", kReceiver, 1, add, addName, nullptr, nullptr, 0, 0},
      {"removeActionNotificationReceiver", "", kReceiver, 1, remove, removeName, nullptr, nullptr, 0, 0},
  };
  SetMethodList(definition, methods, 2);
  definition->AddInterface(GetActionSourceInterfaceDefinition());
  return definition;
}

}  // namespace vorn
