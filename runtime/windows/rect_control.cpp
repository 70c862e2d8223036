#include "windows/rect_control.h"

#include "graphics/graphics_object.h"
#include "graphics/graphics_target.h"
#include "objects/runtime_object.h"
#include "vorn/drag_item_api.h"
#include "windows/control_window_hooks.h"
#include "windows/mouse_cursor_class.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kRectControlProperties[] = {
    {0, "HelpTag", "s", Fn(&stringGetter), "stringGetter", Fn(&controlHelpTagSetter), "controlHelpTagSetter",
     kControlHelpTagOffset, 0},
    {0, "BalloonHelp", "s", Fn(&stringGetter), "stringGetter", Fn(&controlBalloonHelpSetter),
     "controlBalloonHelpSetter", kControlBalloonHelpOffset, 0},
    {0, "DisabledBalloonHelp", "s", Fn(&stringGetter), "stringGetter", Fn(&controlDisabledBalloonHelpSetter),
     "controlDisabledBalloonHelpSetter", kControlDisabledBalloonHelpOffset, 0},
    {0x01, "MouseCursor", "o<MouseCursor>", Fn(&objGetter), "objGetter", Fn(&controlMouseCursorSetter),
     "controlMouseCursorSetter", kControlMouseCursorOffset, 0},
    {0, "Visible", "b", Fn(&controlVisibleGetter), "controlVisibleGetter", Fn(&ControlVisibleSetter),
     "ControlVisibleSetter", 0, 0},
    {0, "Left", "i4", Fn(&ctlPosGetter), "ctlPosGetter", Fn(&ctlPosSetter), "ctlPosSetter", 0, 0},
    {0, "Top", "i4", Fn(&ctlPosGetter), "ctlPosGetter", Fn(&ctlPosSetter), "ctlPosSetter", 1, 0},
    {0, "Width", "i4", Fn(&ctlPosGetter), "ctlPosGetter", Fn(&ctlPosSetter), "ctlPosSetter", 2, 0},
    {0, "Height", "i4", Fn(&ctlPosGetter), "ctlPosGetter", Fn(&ctlPosSetter), "ctlPosSetter", 3, 0},
    {0, "Enabled", "b", Fn(&controlEnabledGetter), "controlEnabledGetter", Fn(&controlEnabledSetter),
     "controlEnabledSetter", 0, 0},
    {0, "Active", "b", Fn(&controlActiveGetter), "controlActiveGetter", nullptr, nullptr, 0, 0},
    {0, "AutoDeactivate", "b", Fn(&controlAutoDeactivateGetter), "controlAutoDeactivateGetter",
     Fn(&controlAutoDeactivateSetter), "controlAutoDeactivateSetter", 0, 0},
    {0, "LockLeft", "b", Fn(&controlLockLeftGetter), "controlLockLeftGetter", Fn(&controlLockLeftSetter),
     "controlLockLeftSetter", 0, 0},
    {0, "LockTop", "b", Fn(&controlLockTopGetter), "controlLockTopGetter", Fn(&controlLockTopSetter),
     "controlLockTopSetter", 0, 0},
    {0, "LockRight", "b", Fn(&controlLockRightGetter), "controlLockRightGetter", Fn(&controlLockRightSetter),
     "controlLockRightSetter", 0, 0},
    {0, "LockBottom", "b", Fn(&controlLockBottomGetter), "controlLockBottomGetter",
     Fn(&controlLockBottomSetter), "controlLockBottomSetter", 0, 0},
    {0x01, "Parent", "o<RectControl>", Fn(&ControlParentGetter), "ControlParentGetter",
     Fn(&ControlParentSetter), "ControlParentSetter", 0, 0},
    {0x40, "InitialParent", "s", nullptr, nullptr, Fn(&ControlInitialParentSetter),
     "ControlInitialParentSetter", 0, 0},
};

EventRow sRectControlEvents[] = {
    {0, "MouseMove", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseEnter", "", "", nullptr, 0},
    {0, "MouseExit", "", "", nullptr, 0},
    {0, "DropObject", "obj As DragItem", "", nullptr, 0},
    {0, "MouseWheel", "X As Integer, Y As Integer, Delta as Integer", "Boolean", nullptr, 0},
    {0, "ConstructContextualMenu", "base as MenuItem, x as Integer, y as Integer", "Boolean", nullptr, 0},
    {0, "ContextualMenuAction", "hitItem as MenuItem", "Boolean", nullptr, 0},
};

const ParamRow kDrawIntoParams[] = {{"graphics", "o<Graphics>", 0, 0}, {"left", "i4", 0, 0}, {"top", "i4", 0, 0}};
const ParamRow kRefreshParams[] = {{"eraseBackground", "b", kParamHasDefault, 1}};
const ParamRow kRefreshRectParams[] = {{"x", "i4", 0, 0},
                                       {"y", "i4", 0, 0},
                                       {"width", "i4", 0, 0},
                                       {"height", "i4", 0, 0},
                                       {"eraseBackground", "b", kParamHasDefault, 1}};
const ParamRow kTypeParams[] = {{"type", "s", 0, 0}};
const ParamRow kRectParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}, {"width", "i4", 0, 0}, {"height", "i4", 0, 0}};
const ParamRow kMenuHandlerParams[] = {{"name", "s", 0, 0}, {"handler", "p", 0, 0}};
const ParamRow kMoveParams[] = {
    {"left", "i4", 0, 0}, {"top", "i4", 0, 0}, {"width", "i4", 0, 0}, {"height", "i4", 0, 0}};

const MethodRow kRectControlMethods[] = {
    {"DrawInto", "", kDrawIntoParams, 3, Fn(&RuntimeControlDrawInto), "RuntimeControlDrawInto", nullptr, nullptr, 0, 0},
    {"Refresh", "", kRefreshParams, 1, Fn(&RuntimeControlRefresh), "RuntimeControlRefresh", nullptr, nullptr, 0, 0},
    {"RefreshRect", "", kRefreshRectParams, 5, Fn(&RuntimeControlRefreshRect), "RuntimeControlRefreshRect",
     nullptr, nullptr, 0, 0},
    {"SetFocus", "", nullptr, 0, Fn(&RuntimeSetFocus), "RuntimeSetFocus", nullptr, nullptr, 0, 0},
    {"AcceptTextDrop", "", nullptr, 0, Fn(&controlAcceptTextDrop), "controlAcceptTextDrop", nullptr, nullptr, 0, 0},
    {"AcceptPictureDrop", "", nullptr, 0, Fn(&controlAcceptPictureDrop), "controlAcceptPictureDrop", nullptr,
     nullptr, 0, 0},
    {"AcceptFileDrop", "", kTypeParams, 1, Fn(&controlAcceptFileDrop), "controlAcceptFileDrop", nullptr, nullptr,
     0, 0},
    {"AcceptMacDataDrop", "", kTypeParams, 1, Fn(&controlAcceptMacDataDrop), "controlAcceptMacDataDrop",
     nullptr, nullptr, 0, 0},
    {"AcceptRawDataDrop", "", kTypeParams, 1, Fn(&controlAcceptMacDataDrop), "controlAcceptMacDataDrop",
     nullptr, nullptr, 0, 0},
    {"NewDragItem", "o<DragItem>", kRectParams, 4, Fn(&controlNewDragItem), "controlNewDragItem", nullptr, nullptr,
     0, 0},
    {"_AddMenuHandler", "", kMenuHandlerParams, 2, Fn(&ControlAddMenuHandler), "ControlAddMenuHandler", nullptr,
     nullptr, 0, 0},
    {"RectControl", "", nullptr, 0, Fn(&RectControlDefaultConstructor), "RectControlDefaultConstructor", nullptr,
     nullptr, 0, 0},
    {"_Move", "", kMoveParams, 4, Fn(&RuntimeControlMove), "RuntimeControlMove", nullptr, nullptr, 0, 0},
};

ObjectDefinition* BuildRectControlDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("RectControl");
  definition->mSuper = GetControlClassDefinition();
  definition->mInstanceSize = VORN_CONTROL_INSTANCE_SIZE;
  definition->SetInstanceVariables(BuildPropertyList(kRectControlProperties, RowCount(kRectControlProperties)));
  SetEventList(definition, sRectControlEvents, RowCount(sRectControlEvents));
  SetMethodList(definition, kRectControlMethods, RowCount(kRectControlMethods));
  return definition;
}

SubPane* PaneOf(RuntimeObject* ctl) { return ControlPane(AsControl(ctl)); }

// Stores the text as the shared string setter does, then hands it to the pane.
void SetHelpText(RuntimeObject* ctl, int32_t offset, StringRep* value, void (SubPane::*apply)(const string&)) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  stringSetter(ctl, offset, value);
  if (SubPane* pane = ControlPane(c)) (pane->*apply)(string::Share(value));
}

uint8_t& LockByte(ControlObject* c, int32_t which) {
  switch (which) {
    case 0: return c->lockLeft;
    case 1: return c->lockTop;
    case 2: return c->lockRight;
    default: return c->lockBottom;
  }
}

uint8_t GetLock(RuntimeObject* ctl, int32_t which) {
  ControlObject* c = AsControl(ctl);
  return c ? LockByte(c, which) : 0;
}

void SetLock(RuntimeObject* ctl, int32_t which, uint8_t value) {
  if (ControlObject* c = AsControl(ctl)) LockByte(c, which) = value ? 1 : 0;
}

}  // namespace

ObjectDefinition* GetRectControlClassDefinition() {
  static ObjectDefinition* definition = BuildRectControlDefinition();
  return definition;
}

ObjectHook* GetRectControlEventHook(RectControlEvent event) {
  GetRectControlClassDefinition();
  return sRectControlEvents[event].hook;
}

bool IsRectControl(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetRectControlClassDefinition());
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void controlHelpTagSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* value) {
  SetHelpText(ctl, kControlHelpTagOffset, value, &SubPane::SetHelpTag);
}

void controlBalloonHelpSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* value) {
  SetHelpText(ctl, kControlBalloonHelpOffset, value, &SubPane::SetBalloonHelp);
}

void controlDisabledBalloonHelpSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* value) {
  SetHelpText(ctl, kControlDisabledBalloonHelpOffset, value, &SubPane::SetDisabledBalloonHelp);
}

void controlMouseCursorSetter(VornRuntimeObject* ctl, int32_t, VornRuntimeObject* cursor) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  objSetter(ctl, kControlMouseCursorOffset, cursor);
  SubPane* pane = ControlPane(c);
  if (!pane) return;
  pane->SetCursor(MouseCursorRecordOf(cursor));
}

uint8_t controlVisibleGetter(VornRuntimeObject* ctl, int32_t) {
  ControlObject* c = AsControl(ctl);
  return c ? c->visible : 0;
}

uint8_t controlEnabledGetter(VornRuntimeObject* ctl, int32_t) {
  ControlObject* c = AsControl(ctl);
  return c ? c->enabled : 0;
}

uint8_t controlActiveGetter(VornRuntimeObject* ctl, int32_t) {
  SubPane* pane = PaneOf(ctl);
  return pane && pane->IsActive() ? 1 : 0;
}

uint8_t controlAutoDeactivateGetter(VornRuntimeObject* ctl, int32_t) {
  ControlObject* c = AsControl(ctl);
  return c ? c->autoDeactivate : 0;
}

void controlAutoDeactivateSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  c->autoDeactivate = value ? 1 : 0;
  if (SubPane* pane = ControlPane(c)) pane->SetAutoDeactivate(value != 0);
}

uint8_t controlLockLeftGetter(VornRuntimeObject* ctl, int32_t) { return GetLock(ctl, 0); }
uint8_t controlLockTopGetter(VornRuntimeObject* ctl, int32_t) { return GetLock(ctl, 1); }
uint8_t controlLockRightGetter(VornRuntimeObject* ctl, int32_t) { return GetLock(ctl, 2); }
uint8_t controlLockBottomGetter(VornRuntimeObject* ctl, int32_t) { return GetLock(ctl, 3); }
void controlLockLeftSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) { SetLock(ctl, 0, value); }
void controlLockTopSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) { SetLock(ctl, 1, value); }
void controlLockRightSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) { SetLock(ctl, 2, value); }
void controlLockBottomSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) { SetLock(ctl, 3, value); }

void RuntimeControlRefresh(VornRuntimeObject* ctl, uint8_t eraseBackground) {
  ControlObject* c = AsControl(ctl);
  SubPane* pane = ControlPane(c);
  if (!c || !c->visible || !pane || !pane->IsDisplayed()) return;
  pane->Invalidate(eraseBackground != 0);
  pane->UpdateNow();
}

void RuntimeControlRefreshRect(VornRuntimeObject* ctl, int32_t x, int32_t y, int32_t width, int32_t height,
                               uint8_t) {
  SubPane* pane = PaneOf(ctl);
  if (!pane) return;
  // 64-bit sums: coordinates from compiled code are not trusted to stay in range.
  int64_t left = int64_t{x} + pane->Bounds().left;
  int64_t top = int64_t{y} + pane->Bounds().top;
  auto clamp = [](int64_t v) { return static_cast<int32_t>(v < INT16_MIN ? INT16_MIN : v > INT16_MAX ? INT16_MAX : v); };
  pane->InvalidateArea(clamp(left), clamp(top), clamp(left + width), clamp(top + height));
  pane->UpdateNow();
}

void RuntimeSetFocus(VornRuntimeObject* ctl) {
  if (SubPane* pane = PaneOf(ctl)) pane->SetFocus();
}

void controlAcceptTextDrop(VornRuntimeObject* ctl) {
  SubPane* pane = PaneOf(ctl);
  if (!pane) return;
  pane->AcceptDrop(string("utxt"));
  pane->AcceptDrop(string("TEXT"));
}

void controlAcceptPictureDrop(VornRuntimeObject* ctl) {
  if (SubPane* pane = PaneOf(ctl)) pane->AcceptDrop(string("PICT"));
}

void controlAcceptFileDrop(VornRuntimeObject* ctl, VornStringRecord* type) {
  if (SubPane* pane = PaneOf(ctl)) pane->AcceptFileDrop(string::Share(type));
}

void controlAcceptMacDataDrop(VornRuntimeObject* ctl, VornStringRecord* type) {
  if (SubPane* pane = PaneOf(ctl)) pane->AcceptDrop(string::Share(type));
}

void RectControlDefaultConstructor(VornRuntimeObject*) {}

void RuntimeControlDrawInto(VornRuntimeObject* ctl, VornRuntimeObject* graphics, int32_t left, int32_t top) {
  SubPane* pane = PaneOf(ctl);
  Graphics* port = GraphicsObjectPort(graphics);
  if (!pane || !port) return;
  // The port draws in the coordinates of its own pane; the control draws at window positions.
  if (GraphicsTarget* target = port->Target()) {
    Rect origin = target->GetPaneBounds();
    left = static_cast<int32_t>(static_cast<uint32_t>(left) + static_cast<uint32_t>(origin.left));
    top = static_cast<int32_t>(static_cast<uint32_t>(top) + static_cast<uint32_t>(origin.top));
  }
  pane->DrawIntoAt(port, left, top);
}

}  // extern "C"
