#include "controls/push_button_class.h"

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "objects/runtime_object.h"
#include "vorn/buttons_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kProperties[] = {
    {0, "Caption", "s", Fn(&pushButtonTitleGetter), "pushButtonTitleGetter", Fn(&pushButtonTitleSetter),
     "pushButtonTitleSetter", 0, 0},
    {0, "Default", "b", Fn(&pushButtonDefaultGetter), "pushButtonDefaultGetter", Fn(&pushButtonDefaultSetter),
     "pushButtonDefaultSetter", 0, 0},
    {0, "Cancel", "b", Fn(&pushButtonCancelGetter), "pushButtonCancelGetter", Fn(&pushButtonCancelSetter),
     "pushButtonCancelSetter", 0, 0},
    {0, "TextFont", "s", Fn(&pushButtonTextFontGetter), "pushButtonTextFontGetter", Fn(&pushButtonTextFontSetter),
     "pushButtonTextFontSetter", 0, 0},
    {0, "TextSize", "i4", Fn(&pushButtonTextSizeGetter), "pushButtonTextSizeGetter", Fn(&pushButtonTextSizeSetter),
     "pushButtonTextSizeSetter", 0, 0},
    {0, "Bold", "b", Fn(&pushButtonBoldGetter), "pushButtonBoldGetter", Fn(&pushButtonBoldSetter),
     "pushButtonBoldSetter", 0, 0},
    {0, "Italic", "b", Fn(&pushButtonItalicGetter), "pushButtonItalicGetter", Fn(&pushButtonItalicSetter),
     "pushButtonItalicSetter", 0, 0},
    {0, "Underline", "b", Fn(&pushButtonUnderlineGetter), "pushButtonUnderlineGetter",
     Fn(&pushButtonUnderlineSetter), "pushButtonUnderlineSetter", 0, 0},
};

EventRow sEvents[] = {
    {0, "Action", "", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
};

const ParamRow kReceiverParam[] = {{"receiver", "o<actionNotificationReceiver>", 0, 0}};
const MethodRow kMethods[] = {
    {"addActionNotificationReceiver", "", kReceiverParam, 1, Fn(&pbAddActionNotificationReceiver),
     "pbAddActionNotificationReceiver", nullptr, nullptr, 0, 0},
    {"removeActionNotificationReceiver", "", kReceiverParam, 1, Fn(&pbRemoveActionNotificationReceiver),
     "pbRemoveActionNotificationReceiver", nullptr, nullptr, 0, 0},
    {"Push", "", nullptr, 0, Fn(&pushButtonPush), "pushButtonPush", nullptr, nullptr, 0, 0},
};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&PushButtonCreatePane), "PushButtonCreatePane"}};

ButtonHooks sHooks;

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("PushButton");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(PushButtonObject));
  definition->mFinalizer = {Fn(&PushButtonDestructor), "PushButtonDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
  SetEventList(definition, sEvents, static_cast<int32_t>(std::size(sEvents)));
  SetMethodList(definition, kMethods, static_cast<int32_t>(std::size(kMethods)));
  AddEventImplementations(definition, kImpl, 1);
  definition->AddInterface(GetActionSourceInterfaceDefinition());
  sHooks = {sEvents[0].hook, sEvents[1].hook, sEvents[2].hook, sEvents[3].hook, sEvents[4].hook};
  return definition;
}

PushButton* PaneOf(PushButtonObject* object) {
  return object ? dynamic_cast<PushButton*>(ControlPane(&object->base)) : nullptr;
}

}  // namespace

ObjectDefinition* GetPushButtonClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

PushButtonObject* AsPushButtonObject(RuntimeObject* object) {
  return ButtonFieldsOf(object, GetPushButtonClassDefinition()) ? reinterpret_cast<PushButtonObject*>(object)
                                                                 : nullptr;
}

void RuntimeButtonRouter::Action(ButtonPane*) {
  PushButtonObject* object = AsPushButtonObject(mControl);
  if (!object) return;
  // Held for the sends: a receiver or the handler may drop the last other reference.
  RuntimeLockObject(mControl);
  SendPerformAction(&object->actionReceivers);
  FireEvent(mControl, mHooks->action);
  RuntimeUnlockObject(mControl);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VORN_BUTTON_TEXT_ACCESSORS(pushButton, GetPushButtonClassDefinition)

uint8_t pushButtonDefaultGetter(VornRuntimeObject* ctl, int32_t) {
  PushButtonObject* object = AsPushButtonObject(ctl);
  return object && object->isDefault ? 1 : 0;
}

void pushButtonDefaultSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  PushButtonObject* object = AsPushButtonObject(ctl);
  if (!object) return;
  if (PushButton* pane = PaneOf(object)) pane->SetDefault(value != 0);
  object->isDefault = value ? 1 : 0;
}

uint8_t pushButtonCancelGetter(VornRuntimeObject* ctl, int32_t) {
  PushButtonObject* object = AsPushButtonObject(ctl);
  return object && object->cancel ? 1 : 0;
}

void pushButtonCancelSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  PushButtonObject* object = AsPushButtonObject(ctl);
  if (!object) return;
  if (PushButton* pane = PaneOf(object)) pane->SetCancel(value != 0);
  object->cancel = value ? 1 : 0;
}

void pushButtonPush(VornRuntimeObject* ctl) {
  if (PushButton* pane = PaneOf(AsPushButtonObject(ctl))) pane->Push();
}

void pbAddActionNotificationReceiver(VornRuntimeObject* ctl, VornRuntimeObject* receiver) {
  if (PushButtonObject* object = AsPushButtonObject(ctl)) AddNotificationReceiver(&object->actionReceivers, receiver);
}

void pbRemoveActionNotificationReceiver(VornRuntimeObject* ctl, VornRuntimeObject* receiver) {
  if (PushButtonObject* object = AsPushButtonObject(ctl)) {
    RemoveNotificationReceiver(&object->actionReceivers, receiver);
  }
}

void PushButtonCreatePane(VornRuntimeObject* ctl) {
  PushButtonObject* object = AsPushButtonObject(ctl);
  if (!object) return;
  ControlObject* c = &object->base;
  SubPane* parent = ButtonPaneParent(c, __LINE__);
  if (!parent) return;
  auto* router = InstallButtonRouter<RuntimeButtonRouter>(ctl, &object->button, &sHooks);
  PushButtonGTK* pane = NewPushButton(router, ButtonTextStyle(&object->button), parent, c->tabPanelIndex,
                                      GetControlBounds(c), string::Share(object->button.caption));
  FinishButtonPane(c, pane);
  pane->SetDefault(object->isDefault != 0);
  pane->SetCancel(object->cancel != 0);
}

void PushButtonDestructor(VornRuntimeObject* ctl) {
  PushButtonObject* object = AsPushButtonObject(ctl);
  if (!object) return;
  RemoveAllNotificationReceivers(&object->actionReceivers);
  DropButtonRouter(ctl, &object->button);
  ReleaseButtonStrings(&object->button);
}

}  // extern "C"
