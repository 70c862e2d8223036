#include "controls/radio_button_class.h"

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "objects/runtime_object.h"
#include "vorn/buttons_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kProperties[] = {
    {0, "Caption", "s", Fn(&radioTitleGetter), "radioTitleGetter", Fn(&radioTitleSetter), "radioTitleSetter", 0, 0},
    {0, "Value", "b", Fn(&radioValueGetter), "radioValueGetter", Fn(&radioValueSetter), "radioValueSetter", 0, 0},
    {0, "TextFont", "s", Fn(&radioTextFontGetter), "radioTextFontGetter", Fn(&radioTextFontSetter),
     "radioTextFontSetter", 0, 0},
    {0, "TextSize", "i4", Fn(&radioTextSizeGetter), "radioTextSizeGetter", Fn(&radioTextSizeSetter),
     "radioTextSizeSetter", 0, 0},
    {0, "Bold", "b", Fn(&radioBoldGetter), "radioBoldGetter", Fn(&radioBoldSetter), "radioBoldSetter", 0, 0},
    {0, "Italic", "b", Fn(&radioItalicGetter), "radioItalicGetter", Fn(&radioItalicSetter), "radioItalicSetter", 0,
     0},
    {0, "Underline", "b", Fn(&radioUnderlineGetter), "radioUnderlineGetter", Fn(&radioUnderlineSetter),
     "radioUnderlineSetter", 0, 0},
};

const ParamRow kPartParam[] = {{"v", "s", 0, 0}};
const MethodRow kMethods[] = {
    {"getBoundPart", "o<Object>", kPartParam, 1, Fn(&radioGetBoundPart), "radioGetBoundPart", nullptr, nullptr, 0, 0},
};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&RadioCreatePane), "RadioCreatePane"}};

ButtonHooks sHooks;

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("RadioButton");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(RadioButtonObject));
  definition->mFinalizer = {Fn(&radioDestructor), "radioDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
  sHooks = SetToggleButtonEvents(definition);
  SetMethodList(definition, kMethods, 1);
  AddEventImplementations(definition, kImpl, 1);
  definition->AddInterface(GetBindingPartInterfaceDefinition());
  return definition;
}

RadioButton* PaneOf(RadioButtonObject* object) {
  return object ? dynamic_cast<RadioButton*>(ControlPane(&object->base)) : nullptr;
}

}  // namespace

ObjectDefinition* GetRadioButtonClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

ObjectDefinition* GetRadioButtonActionClassDefinition() {
  static ObjectDefinition* definition = BuildButtonActionClass(
      "Sys$RadioButtonAction", {Fn(&radioButtonActionDestructor), "radioButtonActionDestructor"},
      Fn(&vnaAddActionNotificationReceiver), "vnaAddActionNotificationReceiver",
      Fn(&vnaRemoveActionNotificationReceiver), "vnaRemoveActionNotificationReceiver");
  return definition;
}

RadioButtonObject* AsRadioButtonObject(RuntimeObject* object) {
  return ButtonFieldsOf(object, GetRadioButtonClassDefinition()) ? reinterpret_cast<RadioButtonObject*>(object)
                                                                 : nullptr;
}

void RuntimeRadioRouter::Selected(ButtonPane* pane) { Notify(pane, mHooks->action, true); }

void RuntimeRadioRouter::Deselected(ButtonPane* pane) { Notify(pane, nullptr, false); }

void RuntimeRadioRouter::Notify(ButtonPane* pane, const ObjectHook* event, bool selected) {
  RadioButtonObject* object = AsRadioButtonObject(mControl);
  auto* radio = dynamic_cast<RadioButton*>(pane);
  if (!object || !radio) return;
  object->value = radio->GetValue() ? 1 : 0;
  if (object->inAction) return;
  RuntimeLockObject(mControl);
  object->inAction = 1;
  if (event) FireEvent(mControl, event);
  SendPerformAction(selected ? &object->actionReceivers.checked : &object->actionReceivers.unchecked);
  object->inAction = 0;
  RuntimeUnlockObject(mControl);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VORN_BUTTON_TEXT_ACCESSORS(radio, GetRadioButtonClassDefinition)

uint8_t radioValueGetter(VornRuntimeObject* ctl, int32_t) {
  RadioButtonObject* object = AsRadioButtonObject(ctl);
  if (!object) return 0;
  if (RadioButton* pane = PaneOf(object)) return pane->GetValue() ? 1 : 0;
  return object->value ? 1 : 0;
}

void radioValueSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  RadioButtonObject* object = AsRadioButtonObject(ctl);
  if (!object) return;
  if (RadioButton* pane = PaneOf(object)) pane->SetValue(value != 0);
  object->value = value ? 1 : 0;
}

VornRuntimeObject* radioGetBoundPart(VornRuntimeObject* ctl, VornStringRecord* part) {
  RadioButtonObject* object = AsRadioButtonObject(ctl);
  return object ? NewButtonActionPart(GetRadioButtonActionClassDefinition(), ctl, &object->actionReceivers, part)
                : nullptr;
}

void vnaAddActionNotificationReceiver(VornRuntimeObject* action, VornRuntimeObject* receiver) {
  ChangeButtonActionReceivers(action, GetRadioButtonActionClassDefinition(), receiver, true);
}

void vnaRemoveActionNotificationReceiver(VornRuntimeObject* action, VornRuntimeObject* receiver) {
  ChangeButtonActionReceivers(action, GetRadioButtonActionClassDefinition(), receiver, false);
}

void radioButtonActionDestructor(VornRuntimeObject* action) { DestroyButtonAction(action); }

void RadioCreatePane(VornRuntimeObject* ctl) {
  RadioButtonObject* object = AsRadioButtonObject(ctl);
  if (!object) return;
  ControlObject* c = &object->base;
  SubPane* parent = ButtonPaneParent(c, __LINE__);
  if (!parent) return;
  auto* router = InstallButtonRouter<RuntimeRadioRouter>(ctl, &object->button, &sHooks);
  RadioButtonGTK* pane = NewRadioButton(router, ButtonTextStyle(&object->button), parent, c->tabPanelIndex,
                                        GetControlBounds(c), string::Share(object->button.caption),
                                        object->value != 0);
  FinishButtonPane(c, pane);
}

void radioDestructor(VornRuntimeObject* ctl) {
  RadioButtonObject* object = AsRadioButtonObject(ctl);
  if (!object) return;
  ReleaseToggleButton(ctl, &object->button, &object->actionReceivers);
}

}  // extern "C"
