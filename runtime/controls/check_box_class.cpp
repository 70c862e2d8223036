#include "controls/check_box_class.h"

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "objects/accessors.h"
#include "objects/runtime_object.h"
#include "vorn/buttons_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kProperties[] = {
    {0, "Caption", "s", Fn(&checkBoxTitleGetter), "checkBoxTitleGetter", Fn(&checkBoxTitleSetter),
     "checkBoxTitleSetter", 0, 0},
    {0, "Value", "b", Fn(&checkBoxValueGetter), "checkBoxValueGetter", Fn(&checkBoxValueSetter),
     "checkBoxValueSetter", 0, 0},
    {0, "State", "b", Fn(&checkBoxValueGetter), "checkBoxValueGetter", Fn(&checkBoxValueSetter),
     "checkBoxValueSetter", 0, 0},
    {0, "TextFont", "s", Fn(&checkBoxTextFontGetter), "checkBoxTextFontGetter", Fn(&checkBoxTextFontSetter),
     "checkBoxTextFontSetter", 0, 0},
    {0, "TextSize", "i4", Fn(&checkBoxTextSizeGetter), "checkBoxTextSizeGetter", Fn(&checkBoxTextSizeSetter),
     "checkBoxTextSizeSetter", 0, 0},
    {0, "Bold", "b", Fn(&checkBoxBoldGetter), "checkBoxBoldGetter", Fn(&checkBoxBoldSetter), "checkBoxBoldSetter",
     0, 0},
    {0, "Italic", "b", Fn(&checkBoxItalicGetter), "checkBoxItalicGetter", Fn(&checkBoxItalicSetter),
     "checkBoxItalicSetter", 0, 0},
    {0, "Underline", "b", Fn(&checkBoxUnderlineGetter), "checkBoxUnderlineGetter", Fn(&checkBoxUnderlineSetter),
     "checkBoxUnderlineSetter", 0, 0},
    {0, "DataSource", "s", Fn(&CheckBoxDataSourceGetter), "CheckBoxDataSourceGetter",
     Fn(&CheckBoxDataSourceSetter), "CheckBoxDataSourceSetter", 0, 0},
    {0, "DataField", "s", Fn(&stringGetter), "stringGetter", Fn(&CheckBoxDataFieldSetter), "CheckBoxDataFieldSetter",
     FieldOffset(offsetof(CheckBoxObject, dataField)), 0},
};

const ParamRow kBooleanParam[] = {{"value", "b", 0, 0}};
const ParamRow kDataReceiverParam[] = {{"receiver", "o<dataNotificationReceiver>", 0, 0}};
const ParamRow kPartParam[] = {{"v", "s", 0, 0}};
const MethodRow kMethods[] = {
    {"getBoolean", "b", nullptr, 0, Fn(&checkBoxGetBoolean), "checkBoxGetBoolean", nullptr, nullptr, 0, 0},
    {"setBoolean", "", kBooleanParam, 1, Fn(&checkBoxSetBoolean), "checkBoxSetBoolean", nullptr, nullptr, 0, 0},
    {"addDataNotificationReceiver", "", kDataReceiverParam, 1, Fn(&checkBoxAddDataNotificationReceiver),
     "checkBoxAddDataNotificationReceiver", nullptr, nullptr, 0, 0},
    {"removeDataNotificationReceiver", "", kDataReceiverParam, 1, Fn(&checkBoxRemoveDataNotificationReceiver),
     "checkBoxRemoveDataNotificationReceiver", nullptr, nullptr, 0, 0},
    {"getBoundPart", "o<Object>", kPartParam, 1, Fn(&checkBoxGetBoundPart), "checkBoxGetBoundPart", nullptr, nullptr,
     0, 0},
};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&CheckBoxCreatePane), "CheckBoxCreatePane"}};

ButtonHooks sHooks;

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("CheckBox");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(CheckBoxObject));
  definition->mFinalizer = {Fn(&checkBoxDestructor), "checkBoxDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
  sHooks = SetToggleButtonEvents(definition);
  SetMethodList(definition, kMethods, static_cast<int32_t>(std::size(kMethods)));
  AddEventImplementations(definition, kImpl, 1);
  // Listed order BooleanProvider, dataNotifier, bindingPartInterface; AddInterface prepends.
  definition->AddInterface(GetBindingPartInterfaceDefinition());
  definition->AddInterface(GetDataNotifierInterfaceDefinition());
  definition->AddInterface(GetBooleanProviderInterfaceDefinition());
  return definition;
}

CheckBox* PaneOf(CheckBoxObject* object) {
  return object ? dynamic_cast<CheckBox*>(ControlPane(&object->base)) : nullptr;
}

}  // namespace

ObjectDefinition* GetCheckBoxClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

ObjectDefinition* GetCheckBoxActionClassDefinition() {
  static ObjectDefinition* definition = BuildButtonActionClass(
      "Sys$CheckBoxAction", {Fn(&checkBoxActionDestructor), "checkBoxActionDestructor"},
      Fn(&cbaAddActionNotificationReceiver), "cbaAddActionNotificationReceiver",
      Fn(&cbaRemoveActionNotificationReceiver), "cbaRemoveActionNotificationReceiver");
  return definition;
}

CheckBoxObject* AsCheckBoxObject(RuntimeObject* object) {
  return ButtonFieldsOf(object, GetCheckBoxClassDefinition()) ? reinterpret_cast<CheckBoxObject*>(object) : nullptr;
}

void RuntimeCheckBoxRouter::Action(ButtonPane* pane) {
  CheckBoxObject* object = AsCheckBoxObject(mControl);
  auto* box = dynamic_cast<CheckBox*>(pane);
  if (!object || !box) return;
  object->value = box->GetValue() ? 1 : 0;
  // A change made from inside the sequence only refreshes Value.
  if (object->inAction || !ButtonActionMayProceed(mControl)) return;
  RuntimeLockObject(mControl);
  object->inAction = 1;
  SendDataChanged(&object->dataReceivers);
  if (ButtonActionMayProceed(mControl)) {
    FireEvent(mControl, mHooks->action);
    if (ButtonActionMayProceed(mControl)) {
      SendPerformAction(object->value ? &object->actionReceivers.checked : &object->actionReceivers.unchecked);
    }
  }
  // The flag is cleared however the sequence ended: a box left flagged would never act again.
  object->inAction = 0;
  RuntimeUnlockObject(mControl);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VORN_BUTTON_TEXT_ACCESSORS(checkBox, GetCheckBoxClassDefinition)

uint8_t checkBoxValueGetter(VornRuntimeObject* ctl, int32_t) {
  CheckBoxObject* object = AsCheckBoxObject(ctl);
  return object && object->value ? 1 : 0;
}

void checkBoxValueSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  CheckBoxObject* object = AsCheckBoxObject(ctl);
  if (!object) return;
  CheckBox* pane = PaneOf(object);
  if (!pane) {
    object->value = value ? 1 : 0;
    return;
  }
  pane->SetValue(value != 0);
  // The Action handler may have set the box again meanwhile: Value is what the box shows.
  object->value = pane->GetValue() ? 1 : 0;
}

uint8_t checkBoxGetBoolean(VornRuntimeObject* ctl) { return checkBoxValueGetter(ctl, 0); }
void checkBoxSetBoolean(VornRuntimeObject* ctl, uint8_t value) { checkBoxValueSetter(ctl, 0, value); }

VornStringRecord* CheckBoxDataSourceGetter(VornRuntimeObject* ctl, int32_t) {
  CheckBoxObject* object = AsCheckBoxObject(ctl);
  if (!object || !object->dataSource) return nullptr;
  RetainStringRep(object->dataSource);
  return object->dataSource;
}

void CheckBoxDataSourceSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* name) {
  CheckBoxObject* object = AsCheckBoxObject(ctl);
  if (!object) return;
  ReplaceStringRep(object->dataSource, name);
  CheckBox* pane = PaneOf(object);
  if (!pane) return;
  pane->UnbindDataSource();
  pane->SetDataSourceName(string::Share(object->dataSource));
  pane->BindDataSource();
}

void CheckBoxDataFieldSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* name) {
  CheckBoxObject* object = AsCheckBoxObject(ctl);
  if (!object) return;
  ReplaceStringRep(object->dataField, name);
  if (CheckBox* pane = PaneOf(object)) pane->BindDataSource();
}

void checkBoxAddDataNotificationReceiver(VornRuntimeObject* ctl, VornRuntimeObject* receiver) {
  if (CheckBoxObject* object = AsCheckBoxObject(ctl)) AddNotificationReceiver(&object->dataReceivers, receiver);
}

void checkBoxRemoveDataNotificationReceiver(VornRuntimeObject* ctl, VornRuntimeObject* receiver) {
  if (CheckBoxObject* object = AsCheckBoxObject(ctl)) RemoveNotificationReceiver(&object->dataReceivers, receiver);
}

VornRuntimeObject* checkBoxGetBoundPart(VornRuntimeObject* ctl, VornStringRecord* part) {
  CheckBoxObject* object = AsCheckBoxObject(ctl);
  return object ? NewButtonActionPart(GetCheckBoxActionClassDefinition(), ctl, &object->actionReceivers, part)
                : nullptr;
}

void cbaAddActionNotificationReceiver(VornRuntimeObject* action, VornRuntimeObject* receiver) {
  ChangeButtonActionReceivers(action, GetCheckBoxActionClassDefinition(), receiver, true);
}

void cbaRemoveActionNotificationReceiver(VornRuntimeObject* action, VornRuntimeObject* receiver) {
  ChangeButtonActionReceivers(action, GetCheckBoxActionClassDefinition(), receiver, false);
}

void checkBoxActionDestructor(VornRuntimeObject* action) { DestroyButtonAction(action); }

void CheckBoxCreatePane(VornRuntimeObject* ctl) {
  CheckBoxObject* object = AsCheckBoxObject(ctl);
  if (!object) return;
  ControlObject* c = &object->base;
  SubPane* parent = ButtonPaneParent(c, __LINE__);
  if (!parent) return;
  auto* router = InstallButtonRouter<RuntimeCheckBoxRouter>(ctl, &object->button, &sHooks);
  CheckBoxGTK* pane = NewCheckBox(router, ButtonTextStyle(&object->button), parent, c->tabPanelIndex,
                                  GetControlBounds(c), string::Share(object->button.caption), object->value != 0);
  FinishButtonPane(c, pane);
  pane->SetControl(ctl);
  pane->SetDataSourceName(string::Share(object->dataSource));
  pane->BindDataSource();
}

void checkBoxDestructor(VornRuntimeObject* ctl) {
  CheckBoxObject* object = AsCheckBoxObject(ctl);
  if (!object) return;
  if (CheckBox* pane = PaneOf(object)) {
    // The pane stays with its window: it must neither stay registered for this object nor
    // reach it.
    pane->UnbindDataSource();
    pane->SetControl(nullptr);
  }
  RemoveAllNotificationReceivers(&object->dataReceivers);
  ReleaseToggleButton(ctl, &object->button, &object->actionReceivers);
  for (StringRep** field : {&object->dataSource, &object->dataField}) {
    ReleaseStringRep(*field);
    *field = nullptr;
  }
}

}  // extern "C"
