#include "controls/progress_bar_class.h"

#include <iterator>

#include "controls/control_support.h"
#include "controls/progress_bar_pane.h"
#include "objects/runtime_object.h"
#include "vorn/controls2_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kProperties[] = {
    {0, "Value", "i4", Fn(&progressValueGetter), "progressValueGetter", Fn(&progressValueSetter),
     "progressValueSetter", 0, 0},
    {0, "Maximum", "i4", Fn(&progressMaximumGetter), "progressMaximumGetter", Fn(&progressMaximumSetter),
     "progressMaximumSetter", 0, 0},
};

EventRow sEvents[] = {
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&ProgressBarCreatePane), "ProgressBarCreatePane"}};

ControlMouseHooks sHooks;

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("ProgressBar");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ProgressBarObject));
  definition->SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
  SetEventList(definition, sEvents, static_cast<int32_t>(std::size(sEvents)));
  AddEventImplementations(definition, kImpl, 1);
  sHooks = {sEvents[0].hook, sEvents[1].hook, sEvents[2].hook};
  return definition;
}

}  // namespace

ObjectDefinition* GetProgressBarClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

ProgressBarObject* AsProgressBarObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetProgressBarClassDefinition())
             ? reinterpret_cast<ProgressBarObject*>(object)
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

int32_t progressValueGetter(VornRuntimeObject* ctl, int32_t) {
  ProgressBarObject* object = AsProgressBarObject(ctl);
  return object ? object->value : 0;
}

int32_t progressMaximumGetter(VornRuntimeObject* ctl, int32_t) {
  ProgressBarObject* object = AsProgressBarObject(ctl);
  return object ? object->maximum : 0;
}

void progressValueSetter(VornRuntimeObject* ctl, int32_t, int32_t value) {
  ProgressBarObject* object = AsProgressBarObject(ctl);
  if (!object) return;
  if (auto* pane = ControlPaneAs<ProgressBar>(ctl)) pane->SetValue(value);
  object->value = value;
}

void progressMaximumSetter(VornRuntimeObject* ctl, int32_t, int32_t maximum) {
  ProgressBarObject* object = AsProgressBarObject(ctl);
  if (!object) return;
  if (auto* pane = ControlPaneAs<ProgressBar>(ctl)) pane->SetMaximum(maximum);
  object->maximum = maximum;
}

void ProgressBarCreatePane(VornRuntimeObject* ctl) {
  ProgressBarObject* object = AsProgressBarObject(ctl);
  if (!object) return;
  ControlObject* c = &object->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  SubPane* parent = ControlParentPane(c);
  if (!parent) return;
  GetProgressBarClassDefinition();
  auto* pane = new ProgressBar(parent, c->tabPanelIndex, GetControlBounds(c), object->value, object->maximum);
  AttachControlPane(c, pane);
  pane->Mouse().SetOwner(ctl, &sHooks);
}

}  // extern "C"
