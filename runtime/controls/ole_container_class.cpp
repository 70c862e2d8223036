#include "controls/ole_container_class.h"

#include <cstddef>

#include "controls/button_class_support.h"
#include "controls/control_support.h"
#include "controls/ole_container_pane.h"
#include "core/ole_object_class.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "windows/control.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

EventRow sEvents[] = {
    {0, "ShowObject", "", "", nullptr, 0},
    {0, "EventTriggered", "eventName as string, parameters() as variant", "variant", nullptr, 0},
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
};

const PropertyRow kProperties[] = {
    {0, "ProgramID", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     Offset(offsetof(VornOLEContainerObject, programID)), 0},
    {0, "Content", "o<OLEObject>", Fn(&OLEContainerContentGetter), "OLEContainerContentGetter", nullptr, nullptr, 0,
     0},
    {64, "LicenseKey", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     Offset(offsetof(VornOLEContainerObject, licenseKey)), 0},
    {64, "DesignMode", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     Offset(offsetof(VornOLEContainerObject, designMode)), 0},
};

const MethodRow kMethods[] = {
    {"Create", "b", nullptr, 0, Fn(&OLEContainerCreateObject), "OLEContainerCreateObject", nullptr, nullptr, 0, 0},
    {"Destroy", "", nullptr, 0, Fn(&OLEContainerDestroyObject), "OLEContainerDestroyObject", nullptr, nullptr, 0, 0},
    {"ShowPropertyPages", "", nullptr, 0, Fn(&OLEContainerShowPropertyPages), "OLEContainerShowPropertyPages",
     nullptr, nullptr, 0, 0},
};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&OLEContainerCreatePane), "OLEContainerCreatePane"}};

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("OLEContainer");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(VornOLEContainerObject));
  definition->mFinalizer = {Fn(&OLEContainerDestructor), "OLEContainerDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetEventList(definition, sEvents, RowCount(sEvents));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  AddEventImplementations(definition, kImpl, 1);
  return definition;
}

// Hands what an embedded object would report to the control's events of the same names.
class RuntimeOLEContainerDelegate : public OLEContainerDelegate {
 public:
  explicit RuntimeOLEContainerDelegate(RuntimeObject* control) : mControl(control) {}
  RuntimeObject* EventTriggered(OLEContainer*, const string& eventName, RuntimeObject* parameters) override {
    return FireEvent<RuntimeObject*>(mControl, sEvents[1].hook, eventName.Rep(), parameters);
  }
  void ShowObject(OLEContainer*) override { FireEvent(mControl, sEvents[0].hook); }
  void GotFocus(OLEContainer*) override { FireEvent(mControl, sEvents[2].hook); }
  void LostFocus(OLEContainer*) override { FireEvent(mControl, sEvents[3].hook); }

 private:
  RuntimeObject* mControl;  // the control owns the pane, which owns this
};

OLEContainer* PaneOf(RuntimeObject* ctl) {
  VornOLEContainerObject* object = AsOLEContainerObject(ctl);
  return object ? dynamic_cast<OLEContainer*>(ControlPane(AsControl(ctl))) : nullptr;
}

}  // namespace

ObjectDefinition* GetOLEContainerClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

VornOLEContainerObject* AsOLEContainerObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetOLEContainerClassDefinition())
             ? reinterpret_cast<VornOLEContainerObject*>(object)
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void OLEContainerCreatePane(VornRuntimeObject* ctl) {
  VornOLEContainerObject* object = AsOLEContainerObject(ctl);
  if (!object) return;
  ControlObject* c = AsControl(ctl);
  if (ControlPane(c)) return;
  auto* delegate = new RuntimeOLEContainerDelegate(ctl);
  auto* pane = new OLEContainer(ControlParentPane(c), c->tabPanelIndex, GetControlBounds(c), ctl, delegate);
  FinishButtonPane(c, pane);
  OLEContainerCreateObject(ctl);
}

uint8_t OLEContainerCreateObject(VornRuntimeObject* ctl) {
  OLEContainer* pane = PaneOf(ctl);
  VornOLEContainerObject* object = AsOLEContainerObject(ctl);
  if (!pane || !object->programID || object->programID->length == 0) return 0;
  const bool created = pane->CreateObject(string::Share(object->programID));
  if (!object->licenseKey || object->licenseKey->length == 0) ReplaceStringRep(object->licenseKey, pane->ProgramID().Rep());
  return created ? 1 : 0;
}

void OLEContainerDestroyObject(VornRuntimeObject* ctl) {
  if (OLEContainer* pane = PaneOf(ctl)) pane->DiscardObject();
}

void OLEContainerShowPropertyPages(VornRuntimeObject*) {}

VornRuntimeObject* OLEContainerContentGetter(VornRuntimeObject* ctl, int32_t) {
  OLEContainer* pane = PaneOf(ctl);
  return pane ? pane->Content() : nullptr;
}

void OLEContainerDestructor(VornRuntimeObject* ctl) {
  VornOLEContainerObject* object = AsOLEContainerObject(ctl);
  if (!object) return;
  RuntimeUnlockString(object->programID);
  RuntimeUnlockString(object->licenseKey);
  object->programID = nullptr;
  object->licenseKey = nullptr;
}

}  // extern "C"
