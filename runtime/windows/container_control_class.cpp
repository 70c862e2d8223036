// The language's ContainerControl class: a Window subclass whose control-like properties pass
// through to the embedding control, and the EmbedWithin methods.
#include <cstddef>
#include <cstring>

#include "objects/accessors.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/control_api.h"
#include "vorn/controls2_api.h"
#include "vorn/window_api.h"
#include "windows/container_control.h"
#include "windows/control_containment.h"
#include "windows/pane_assert.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

constexpr const char* kContainerSource = "../Common/ClassLib/ContainerControl";

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The embedding control of a template window; nil without one.
RuntimeObject* Embedding(RuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields && AsControl(fields->embeddedWindowControl) ? fields->embeddedWindowControl : nullptr;
}

// The pass-through parameter as a field of the control: the control-object offsets directly,
// the canvas fields (negative selectors) through the control layer's offsets. Nil when the
// field does not lie inside the control object.
uint8_t* PassThroughField(RuntimeObject* control, int32_t param, size_t width) {
  if (!control) return nullptr;
  int32_t offset = param;
  if (param < 0) {
    const int32_t which = -1 - param;
    if (which >= kEmbeddingCanvasFieldCount) return nullptr;
    offset = GetEmbeddingControlServices().canvasFieldOffsets[which];
    if (offset <= 0) return nullptr;
  }
  const RuntimeClass* cls = ClassOf(control);
  const int64_t size = cls ? cls->mInstanceSize : 0;
  if (offset < static_cast<int32_t>(sizeof(RuntimeObject)) || offset + static_cast<int64_t>(width) > size) {
    return nullptr;
  }
  return reinterpret_cast<uint8_t*>(control) + offset;
}

#define VORN_ACCESSOR(name) Fn(&name), #name

constexpr int32_t kTabPanelParam = FieldOffset(offsetof(ControlObject, tabPanelIndex));

// A control property passed through to the embedding control: read by the pass-through
// getter of its type, written by `setter`.
#define VORN_PASS_THROUGH(flags, name, type, getter, setter, param) \
  {flags, name, type, VORN_ACCESSOR(getter), VORN_ACCESSOR(setter), param, 0}
#define VORN_BOOL_PASS_THROUGH(name, setter, param) \
  VORN_PASS_THROUGH(0, name, "b", eWindowBoolPassThroughGetter, setter, param)
#define VORN_STRING_PASS_THROUGH(name, setter, param) \
  VORN_PASS_THROUGH(0, name, "s", eWindowStringPassThroughGetter, setter, param)
// A Window property redeclared without accessors.
#define VORN_HIDDEN(flags, name, type) {flags, name, type, nullptr, nullptr, nullptr, nullptr, 0, 0}

const PropertyRow kContainerProperties[] = {
    {64, "InitialParent", "s", nullptr, nullptr, VORN_ACCESSOR(eWindowInitialParentSetter), 0, 0},
    VORN_PASS_THROUGH(65, "TabPanelIndex", "i4", eWindowIntPassThroughGetter, eWindowTabPanelIndexSetter,
                      kTabPanelParam),
    {1, "Parent", "o<RectControl>", VORN_ACCESSOR(eWindowParentGetter), VORN_ACCESSOR(eWindowParentSetter), 0, 0},
    {1, "Window", "o<Window>", VORN_ACCESSOR(eWindowContainingWindowGettter), nullptr, nullptr, 0, 0},
    {65, "_Control", "o<RectControl>", VORN_ACCESSOR(eWindowControlGetter), nullptr, nullptr, 0, 0},
    VORN_BOOL_PASS_THROUGH("LockLeft", eWindowBoolPassThroughSetter, kControlLockLeftOffset),
    VORN_BOOL_PASS_THROUGH("LockTop", eWindowBoolPassThroughSetter, kControlLockTopOffset),
    VORN_BOOL_PASS_THROUGH("LockRight", eWindowBoolPassThroughSetter, kControlLockRightOffset),
    VORN_BOOL_PASS_THROUGH("LockBottom", eWindowBoolPassThroughSetter, kControlLockBottomOffset),
    VORN_BOOL_PASS_THROUGH("Enabled", eWindowEnabledSetter, kControlEnabledOffset),
    VORN_BOOL_PASS_THROUGH("AutoDeactivate", eWindowAutoDeactivateSetter, kControlAutoDeactivateOffset),
    VORN_BOOL_PASS_THROUGH("AcceptFocus", eWindowBoolPassThroughSetter, kEmbeddingAcceptFocusParam),
    VORN_BOOL_PASS_THROUGH("AcceptTabs", eWindowBoolPassThroughSetter, kEmbeddingAcceptTabsParam),
    VORN_BOOL_PASS_THROUGH("UseFocusRing", eWindowBoolPassThroughSetter, kEmbeddingUseFocusRingParam),
    VORN_STRING_PASS_THROUGH("HelpTag", eWindowHelpTagSetter, kControlHelpTagOffset),
    VORN_STRING_PASS_THROUGH("DisabledBalloonHelp", eWindowDisabledBalloonHelpSetter,
                             kControlDisabledBalloonHelpOffset),
    VORN_BOOL_PASS_THROUGH("EraseBackground", eWindowBoolPassThroughSetter, kEmbeddingEraseBackgroundParam),
    // Window properties that mean nothing for a window shown as a control, declared again
    // without accessors so that compiled code cannot reach them through this class.
    VORN_HIDDEN(0x14040, "Placement", "i4"),
    VORN_HIDDEN(0x14040, "Title", "s"),
    VORN_HIDDEN(0x14040, "FullScreen", "b"),
    VORN_HIDDEN(0x14040, "MenuBarVisible", "b"),
    VORN_HIDDEN(0x1C040, "CloseBox", "b"),
    VORN_HIDDEN(0x14040, "CloseButton", "b"),
    VORN_HIDDEN(0x1C040, "GrowIcon", "b"),
    VORN_HIDDEN(0x14040, "Resizeable", "b"),
    VORN_HIDDEN(0x1C040, "ZoomIcon", "b"),
    VORN_HIDDEN(0x14040, "MaximizeButton", "b"),
    VORN_HIDDEN(0x14040, "MinimizeButton", "b"),
    VORN_HIDDEN(0x14040, "Frame", "i4"),
    VORN_HIDDEN(0x14042, "Composite", "b"),
    VORN_HIDDEN(0x14040, "LiveResize", "b"),
    VORN_HIDDEN(0x14040, "MacProcId", "i4"),
    VORN_HIDDEN(0x14040, "FloaterProcess", "s"),
    VORN_HIDDEN(0x1C040, "MacWindowPtr", "i4"),
    VORN_HIDDEN(0x1C040, "WinHWND", "i4"),
    VORN_HIDDEN(0x14041, "DockItem", "o<DockItem>"),
    VORN_HIDDEN(0x14040, "MenuBar", "o<MenuBar>"),
};

#undef VORN_HIDDEN
#undef VORN_STRING_PASS_THROUGH
#undef VORN_BOOL_PASS_THROUGH
#undef VORN_PASS_THROUGH

// Where the template goes: every EmbedWithin variant ends with these, the size -1 for "as
// designed".
#define VORN_PLACEMENT_PARAMS                                                                    \
  {"left", "i4", kParamHasDefault, 0}, {"top", "i4", kParamHasDefault, 0},                    \
      {"width", "i4", kParamHasDefault, -1}, {"height", "i4", kParamHasDefault, -1}

const ParamRow kEmbedWindowParams[] = {{"containingWindow", "o<Window>", 0, 0}, VORN_PLACEMENT_PARAMS};
const ParamRow kEmbedControlParams[] = {{"containingControl", "o<RectControl>", 0, 0}, VORN_PLACEMENT_PARAMS};
const ParamRow kEmbedPanelParams[] = {{"containingPanel", "o<PagePanel>", 0, 0}, {"page", "i4", 0, 0},
                                      VORN_PLACEMENT_PARAMS};

#undef VORN_PLACEMENT_PARAMS

const ParamRow kShowWithinParams[] = {{"parentWindow", "o<Window>", 0, 0},
                                      {"facing", "i4", kParamHasDefault, -1}};
const ParamRow kParentParam[] = {{"parentWindow", "o<Window>", 0, 0}};
const ParamRow kDrawIntoParams[] = {{"g", "o<Graphics>", 0, 0}, {"x", "i4", 0, 0}, {"y", "i4", 0, 0},
                                    {"_asActive", "b", kParamHasDefault, 0}};

constexpr uint32_t kRedeclared = 0x14000;

#define VORN_METHOD(name, params, count, function, flags) \
  {name, "", params, count, Fn(&function), #function, nullptr, nullptr, flags, 0}

const MethodRow kContainerMethods[] = {
    VORN_METHOD("EmbedWithin", kEmbedWindowParams, 5, EmbedWithin, 0),
    VORN_METHOD("EmbedWithin", kEmbedControlParams, 5, EmbedWithinControl, 0),
    VORN_METHOD("EmbedWithinPanel", kEmbedPanelParams, 6, EmbedWithinPanel, 0),
    VORN_METHOD("Show", nullptr, 0, RuntimeShowWindow, kRedeclared),
    VORN_METHOD("ShowWithin", kShowWithinParams, 2, RuntimeShowWithinWindow, kRedeclared),
    VORN_METHOD("ShowModalWithin", kParentParam, 1, RuntimeShowModalWithinWindow, kRedeclared),
    VORN_METHOD("Hide", nullptr, 0, RuntimeHideWindow, kRedeclared),
    VORN_METHOD("Maximize", nullptr, 0, WindowMaximize, kRedeclared),
    VORN_METHOD("Minimize", nullptr, 0, WindowMinimize, kRedeclared),
    VORN_METHOD("Restore", nullptr, 0, WindowRestore, kRedeclared),
    // Drawing a window into a Graphics object belongs to a layer not built yet.
    {"DrawInto", "", kDrawIntoParams, 4, Fn(&formDrawInto), "formDrawInto", nullptr, nullptr, kRedeclared, 0},
    VORN_METHOD("UpdateNow", nullptr, 0, WindowForceUpdateFrontBuffer, kRedeclared),
};

#undef VORN_METHOD
#undef VORN_ACCESSOR

}  // namespace

ObjectDefinition* GetContainerControlClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    BeginClassDefinition(&definition, nullptr, 0);
    definition.mName = string("ContainerControl");
    definition.mSuper = GetWindowClassDefinition();
    // Window's initializer, constructor and finalizer serve, with their container branches.
    definition.mInstanceSize = static_cast<int32_t>(sizeof(WindowObject));
    definition.SetInstanceVariables(BuildPropertyList(kContainerProperties, RowCount(kContainerProperties)));
    SetMethodList(&definition, kContainerMethods, RowCount(kContainerMethods));
  }
  return &definition;
}

void RegisterContainerControlClass() {
  RegisterIntrinsicClass("ContainerControl", &GetContainerControlClassDefinition);
}

}  // namespace vorn

using namespace vorn;

void EmbedWithin(VornRuntimeObject* templateWindow, VornRuntimeObject* window, int32_t left, int32_t top,
                 int32_t width, int32_t height) {
  RuntimeObject* control = Embedding(templateWindow);
  if (!WindowFieldsOf(templateWindow)) {
    ReportPaneAssertion(kContainerSource, __LINE__, "templateWindow");
    return;
  }
  // Embedding again is refused by EmbedWindow; the current place must stay as it is.
  if (AsWindowFields(templateWindow)->containingWindow) {
    EmbedWindow(templateWindow, window, left, top, width, height, false);
    return;
  }
  // The designed position does not count: the container goes where it is asked to go.
  Rect& bounds = AsWindowFields(templateWindow)->bounds;
  OffsetRect(&bounds, -bounds.left, -bounds.top);
  if (ControlObject* ctl = AsControl(control)) {
    Rect r = GetControlBounds(ctl);
    OffsetRect(&r, -r.left, -r.top);
    SetControlBounds(ctl, r);
  }
  EmbedWindow(templateWindow, window, left, top, width, height, false);
}

void EmbedWithinControl(VornRuntimeObject* templateWindow, VornRuntimeObject* control, int32_t left, int32_t top,
                        int32_t width, int32_t height) {
  if (!WindowFieldsOf(templateWindow)) {
    ReportPaneAssertion(kContainerSource, __LINE__, "templateWindow");
    return;
  }
  ControlObject* ctl = AsControl(control);
  if (!ctl) {
    RuntimeRaiseNilObjectException();
    return;
  }
  // Put in a page panel without a page, the container goes on the page shown now.
  RuntimeObject* embedding = Embedding(templateWindow);
  if (embedding && IsPagePanel(control) &&
      AsControl(embedding)->tabPanelIndex == 0) {
    ControlTabPanelIndexSetter(embedding, 0,
                               static_cast<int32_t>(static_cast<uint32_t>(PagePanelValueGetter(control, 0)) + 1u));
  }
  if (!ctl->window) {
    RuntimeRaiseExceptionWithMessage(GetInvalidParentExceptionClassDefinition(), string());
    return;
  }
  RuntimeLockObject(control);
  StringRep* old = AsWindowFields(templateWindow)->embeddingName;
  RuntimeLockString(ctl->name);
  AsWindowFields(templateWindow)->embeddingName = ctl->name;
  RuntimeUnlockString(old);
  const int64_t l = int64_t{left} + ctlPosGetter(control, 0);
  const int64_t t = int64_t{top} + ctlPosGetter(control, 1);
  EmbedWithin(templateWindow, ctl->window, static_cast<int32_t>(l), static_cast<int32_t>(t), width, height);
  RuntimeUnlockObject(control);
}

void EmbedWithinPanel(VornRuntimeObject* templateWindow, VornRuntimeObject* panel, int32_t page, int32_t left,
                      int32_t top, int32_t width, int32_t height) {
  RuntimeObject* control = Embedding(templateWindow);
  if (!control) {
    ReportPaneAssertion(kContainerSource, __LINE__, "templateWindow and templateWindow->mEmbeddedWindowControl");
    return;
  }
  ControlTabPanelIndexSetter(control, 0, static_cast<int32_t>(static_cast<uint32_t>(page) + 1u));
  EmbedWithinControl(templateWindow, panel, left, top, width, height);
}

int32_t eWindowIntPassThroughGetter(VornRuntimeObject* window, int32_t param) {
  uint8_t* field = PassThroughField(Embedding(window), param, sizeof(int32_t));
  int32_t value = 0;
  if (field) memcpy(&value, field, sizeof value);
  return value;
}

uint8_t eWindowBoolPassThroughGetter(VornRuntimeObject* window, int32_t param) {
  uint8_t* field = PassThroughField(Embedding(window), param, 1);
  return field ? *field : 0;
}

void eWindowBoolPassThroughSetter(VornRuntimeObject* window, int32_t param, uint8_t value) {
  if (uint8_t* field = PassThroughField(Embedding(window), param, 1)) *field = value;
}

VornStringRecord* eWindowStringPassThroughGetter(VornRuntimeObject* window, int32_t param) {
  RuntimeObject* control = Embedding(window);
  if (!PassThroughField(control, param, sizeof(StringRep*)) || param < 0) return nullptr;
  return stringGetter(control, param);
}

void eWindowInitialParentSetter(VornRuntimeObject* window, int32_t, VornStringRecord* name) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  RuntimeLockString(name);
  RuntimeUnlockString(fields->embeddingName);
  fields->embeddingName = name;
}

void eWindowTabPanelIndexSetter(VornRuntimeObject* window, int32_t param, int32_t value) {
  if (RuntimeObject* control = Embedding(window)) ControlTabPanelIndexSetter(control, param, value);
}

VornRuntimeObject* eWindowParentGetter(VornRuntimeObject* window, int32_t param) {
  RuntimeObject* control = Embedding(window);
  return control ? ControlParentGetter(control, param) : nullptr;
}

void eWindowParentSetter(VornRuntimeObject* window, int32_t param, VornRuntimeObject* parent) {
  if (RuntimeObject* control = Embedding(window)) ControlParentSetter(control, param, parent);
}

VornRuntimeObject* eWindowContainingWindowGettter(VornRuntimeObject* window, int32_t param) {
  RuntimeObject* control = Embedding(window);
  return control ? controlWindowGetter(control, param) : nullptr;
}

VornRuntimeObject* eWindowControlGetter(VornRuntimeObject* window, int32_t) {
  RuntimeObject* control = Embedding(window);
  RuntimeLockObject(control);
  return control;
}

void eWindowEnabledSetter(VornRuntimeObject* window, int32_t param, uint8_t value) {
  if (RuntimeObject* control = Embedding(window)) controlEnabledSetter(control, param, value);
}

void eWindowAutoDeactivateSetter(VornRuntimeObject* window, int32_t param, uint8_t value) {
  if (RuntimeObject* control = Embedding(window)) controlAutoDeactivateSetter(control, param, value);
}

void eWindowHelpTagSetter(VornRuntimeObject* window, int32_t param, VornStringRecord* value) {
  if (RuntimeObject* control = Embedding(window)) controlHelpTagSetter(control, param, value);
}

void eWindowDisabledBalloonHelpSetter(VornRuntimeObject* window, int32_t param, VornStringRecord* value) {
  if (RuntimeObject* control = Embedding(window)) controlDisabledBalloonHelpSetter(control, param, value);
}
