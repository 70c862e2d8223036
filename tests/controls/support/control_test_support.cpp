#include "controls/support/control_test_support.h"

#include "objects/object_definition.h"

namespace vorn::test {

namespace {

EventRow sEvents[] = {
    {0, "ValueChanged", "", "", nullptr, 0},
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseWheel", "X As Integer, Y As Integer, Delta as Integer", "Boolean", nullptr, 0},
    {0, "Paint", "g As Graphics", "", nullptr, 0},
    {0, "KeyDown", "Key As String", "Boolean", nullptr, 0},
    {0, "EnableMenuItems", "", "", nullptr, 0},
    {0, "AcceleratorKey", "", "", nullptr, 0},
};

ScrollerEventHooks sScrollerHooks;
StaticTextHooks sStaticTextHooks;
CanvasHooks sCanvasHooks;
ControlMouseHooks sMouseHooks;

const ObjectHook* Hook(TestEvent e) { return sEvents[e].hook; }

}  // namespace

ObjectDefinition* GetTestControlClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("TestControl");
    definition.mInstanceSize = sizeof(TestControlObject);
    SetEventList(&definition, sEvents, kEvCount);
    sMouseHooks = {Hook(kEvMouseDown), Hook(kEvMouseDrag), Hook(kEvMouseUp)};
    sScrollerHooks = {Hook(kEvValueChanged), Hook(kEvGotFocus), Hook(kEvLostFocus), sMouseHooks};
    sStaticTextHooks = {sMouseHooks, Hook(kEvAcceleratorKey)};
    sCanvasHooks = {Hook(kEvPaint), Hook(kEvGotFocus), Hook(kEvLostFocus), Hook(kEvKeyDown),
                    sMouseHooks, Hook(kEvEnableMenuItems)};
  }
  return &definition;
}

const ScrollerEventHooks* TestScrollerHooks() {
  GetTestControlClassDefinition();
  return &sScrollerHooks;
}
const StaticTextHooks* TestStaticTextHooks() {
  GetTestControlClassDefinition();
  return &sStaticTextHooks;
}
const CanvasHooks* TestCanvasHooks() {
  GetTestControlClassDefinition();
  return &sCanvasHooks;
}
const ControlMouseHooks* TestMouseHooks() {
  GetTestControlClassDefinition();
  return &sMouseHooks;
}

RuntimeObject* NewTestControl() { return CreateInstanceFromDefinition(GetTestControlClassDefinition()); }

void SetHandler(RuntimeObject* object, TestEvent event, void* function) {
  MakePrivateEventTable(object)[sEvents[event].hook->index].handler = function;
}

}  // namespace vorn::test
