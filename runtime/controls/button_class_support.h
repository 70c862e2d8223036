// The language side the PushButton, CheckBox and RadioButton classes share: the fields every
// one keeps right after the control fields (caption, router, text style), their accessors,
// the routers' mouse and focus events, and the hidden action-source objects check boxes and
// radio buttons hand out for "getCheckedAction" and "getUncheckedAction".
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "controls/binding_receivers.h"
#include "controls/button_pane.h"
#include "controls/control_hooks.h"
#include "objects/object_definition.h"
#include "windows/control.h"
#include "windows/pane_disposal.h"

namespace vorn {

struct ButtonFields {
  StringRep* caption;  // "&" marks the mnemonic
  ButtonDelegate* router;  // made by CreatePane, owned
  // The text style in the order of the five style properties.
  StringRep* textFont;
  int16_t textSize;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
};

// Every button object: the control, then the button fields, then the class's own.
struct ButtonObjectHead {
  VornControlObject base;
  ButtonFields button;
};

// The events a router fires, looked up when they happen.
struct ButtonHooks {
  const ObjectHook* action = nullptr;
  const ObjectHook* mouseDown = nullptr;
  const ObjectHook* mouseUp = nullptr;
  const ObjectHook* gotFocus = nullptr;
  const ObjectHook* lostFocus = nullptr;
};

// The button fields of an object of the class (or a subclass); nil for anything else.
ButtonFields* ButtonFieldsOf(RuntimeObject* object, ObjectDefinition* definition);
// The object's pane as a button pane; nil before CreatePane and after Close.
ButtonPane* ButtonPaneOf(RuntimeObject* object);
TextStyle ButtonTextStyle(ButtonFields* fields);
// Fills in the CreatePane steps every button shares: the pane joins the parent control's pane
// when that has one, and a control designed invisible hides it.
void FinishButtonPane(ControlObject* ctl, SubPane* pane);
// Takes the router away from the pane and lets it go; the pane stays with its window.
void DropButtonRouter(RuntimeObject* object, ButtonFields* fields);
// Releases the caption and font strings.
void ReleaseButtonStrings(ButtonFields* fields);

// The CreatePane steps before the pane is made: the pane's parent, or nil (reported when the
// control has a pane already) when no pane is to be made.
SubPane* ButtonPaneParent(ControlObject* ctl, int32_t line);

// Gives the control a new router of its class in place of any earlier one, which may be
// running: an Action that closed the window and showed it again made this pane.
template <typename Router>
Router* InstallButtonRouter(RuntimeObject* control, ButtonFields* fields, const ButtonHooks* hooks) {
  auto* router = new Router(control, hooks);
  DeleteAfterDispatch(std::exchange(fields->router, router));
  return router;
}

// Whether an Action sequence may go on: the control still has its window and its pane's
// parent is not closing.
bool ButtonActionMayProceed(RuntimeObject* object);

// The mouse and focus events every router fires: MouseDown and MouseUp answer their handler's
// Boolean (false without one); the focus events run with the pane locked.
template <typename Delegate>
class ButtonRouterBase : public Delegate {
 public:
  ButtonRouterBase(RuntimeObject* control, const ButtonHooks* hooks) : mControl(control), mHooks(hooks) {}
  bool MouseDown(ButtonPane*, int32_t x, int32_t y) override {
    return FireEvent<uint8_t>(mControl, mHooks->mouseDown, x, y) != 0;
  }
  bool MouseUp(ButtonPane*, int32_t x, int32_t y) override {
    return FireEvent<uint8_t>(mControl, mHooks->mouseUp, x, y) != 0;
  }
  void GotFocus(ButtonPane* pane) override { FireLocked(pane, mHooks->gotFocus); }
  void LostFocus(ButtonPane* pane) override { FireLocked(pane, mHooks->lostFocus); }
  RuntimeObject* Control() const { return mControl; }

 protected:
  void FireLocked(ButtonPane* pane, const ObjectHook* hook) {
    pane->Lock();
    FireEvent(mControl, hook);
    pane->Release();
  }
  RuntimeObject* mControl;  // not held: the control owns the router
  const ButtonHooks* mHooks;
};

// The receivers a check box or radio button notifies when it turns on and when it turns off.
struct ToggleReceiverLists {
  NotificationReceiverList checked;
  NotificationReceiverList unchecked;
};

// Lists the events of check boxes and radio buttons on the definition in their declared order
// (Action, GotFocus, LostFocus, MouseDown, MouseUp) and answers the hooks their routers fire.
ButtonHooks SetToggleButtonEvents(ObjectDefinition* definition);
// What a check box or radio button gives up when it goes: its receivers, router and strings.
void ReleaseToggleButton(RuntimeObject* object, ButtonFields* fields, ToggleReceiverLists* lists);

// "Sys$CheckBoxAction" and "Sys$RadioButtonAction": an action source over one of the two
// receiver lists of its button, which it holds.
struct ButtonActionObject {
  RuntimeObject header;
  RuntimeObject* button;
  int32_t checked;  // 1: the checked list, 0: the unchecked one
  ToggleReceiverLists* lists;  // inside the button
};

// A new action object over the button's lists for "getCheckedAction" / "getUncheckedAction"
// (letter case ignored); nil for any other part name.
RuntimeObject* NewButtonActionPart(ObjectDefinition* actionClass, RuntimeObject* button, ToggleReceiverLists* lists,
                                   StringRep* part);
void DestroyButtonAction(RuntimeObject* action);
// Adds or removes a receiver on the list an action object of the class stands for.
void ChangeButtonActionReceivers(RuntimeObject* action, ObjectDefinition* actionClass, RuntimeObject* receiver,
                                 bool add);
// An action class: its name, destructor and the two receiver methods bound to the functions.
ObjectDefinition* BuildButtonActionClass(const char* name, const ProcEntry& destructor, void* add,
                                         const char* addName, void* remove, const char* removeName);

}  // namespace vorn

// The twelve caption and text-style accessors of one button family, each checking that the
// object is of the family's class.
#define VORN_BUTTON_TEXT_ACCESSORS(prefix, definition)                                                 \
  VornStringRecord* prefix##TitleGetter(VornRuntimeObject* c, int32_t) {                              \
    return vorn::ButtonStringGetter(c, definition(), &vorn::ButtonFields::caption);                    \
  }                                                                                                    \
  void prefix##TitleSetter(VornRuntimeObject* c, int32_t, VornStringRecord* v) {                      \
    vorn::ButtonCaptionSetter(c, definition(), v);                                                     \
  }                                                                                                    \
  VornStringRecord* prefix##TextFontGetter(VornRuntimeObject* c, int32_t) {                           \
    return vorn::ButtonStringGetter(c, definition(), &vorn::ButtonFields::textFont);                   \
  }                                                                                                    \
  void prefix##TextFontSetter(VornRuntimeObject* c, int32_t, VornStringRecord* v) {                   \
    vorn::ButtonFontSetter(c, definition(), v);                                                        \
  }                                                                                                    \
  int32_t prefix##TextSizeGetter(VornRuntimeObject* c, int32_t) {                                     \
    return vorn::ButtonTextSizeGetter(c, definition());                                                \
  }                                                                                                    \
  void prefix##TextSizeSetter(VornRuntimeObject* c, int32_t, int32_t v) {                             \
    vorn::ButtonTextSizeSetter(c, definition(), v);                                                    \
  }                                                                                                    \
  uint8_t prefix##BoldGetter(VornRuntimeObject* c, int32_t) {                                         \
    return vorn::ButtonFlagGetter(c, definition(), &vorn::ButtonFields::bold);                         \
  }                                                                                                    \
  void prefix##BoldSetter(VornRuntimeObject* c, int32_t, uint8_t v) {                                 \
    vorn::ButtonFlagSetter(c, definition(), &vorn::ButtonFields::bold, v);                             \
  }                                                                                                    \
  uint8_t prefix##ItalicGetter(VornRuntimeObject* c, int32_t) {                                       \
    return vorn::ButtonFlagGetter(c, definition(), &vorn::ButtonFields::italic);                       \
  }                                                                                                    \
  void prefix##ItalicSetter(VornRuntimeObject* c, int32_t, uint8_t v) {                               \
    vorn::ButtonFlagSetter(c, definition(), &vorn::ButtonFields::italic, v);                           \
  }                                                                                                    \
  uint8_t prefix##UnderlineGetter(VornRuntimeObject* c, int32_t) {                                    \
    return vorn::ButtonFlagGetter(c, definition(), &vorn::ButtonFields::underline);                   \
  }                                                                                                    \
  void prefix##UnderlineSetter(VornRuntimeObject* c, int32_t, uint8_t v) {                            \
    vorn::ButtonFlagSetter(c, definition(), &vorn::ButtonFields::underline, v);                        \
  }

namespace vorn {

StringRep* ButtonStringGetter(RuntimeObject* object, ObjectDefinition* definition, StringRep* ButtonFields::*field);
void ButtonCaptionSetter(RuntimeObject* object, ObjectDefinition* definition, StringRep* caption);
void ButtonFontSetter(RuntimeObject* object, ObjectDefinition* definition, StringRep* font);
int32_t ButtonTextSizeGetter(RuntimeObject* object, ObjectDefinition* definition);
void ButtonTextSizeSetter(RuntimeObject* object, ObjectDefinition* definition, int32_t size);
uint8_t ButtonFlagGetter(RuntimeObject* object, ObjectDefinition* definition, uint8_t ButtonFields::*field);
void ButtonFlagSetter(RuntimeObject* object, ObjectDefinition* definition, uint8_t ButtonFields::*field,
                      uint8_t value);

}  // namespace vorn
