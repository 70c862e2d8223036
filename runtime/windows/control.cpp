#include "windows/control.h"

#include <cstring>
#include <iterator>

#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "windows/control_window_hooks.h"

namespace vorn {

static_assert(sizeof(VornControlBounds) == sizeof(Rect), "bounds are a Rect");
static_assert(offsetof(VornControlBounds, top) == offsetof(Rect, top));
static_assert(offsetof(VornControlBounds, left) == offsetof(Rect, left));
static_assert(offsetof(VornControlBounds, bottom) == offsetof(Rect, bottom));
static_assert(offsetof(VornControlBounds, right) == offsetof(Rect, right));
static_assert(offsetof(ControlObject, initialParent) == sizeof(VornRuntimeObject));
// The order of the fields is what compiled code and the property rows rely on.
static_assert(offsetof(ControlObject, pane) < offsetof(ControlObject, name));
static_assert(offsetof(ControlObject, name) < offsetof(ControlObject, index));
static_assert(offsetof(ControlObject, tabPanelIndex) < offsetof(ControlObject, visible));
static_assert(offsetof(ControlObject, lockBottom) < offsetof(ControlObject, bounds));
static_assert(offsetof(ControlObject, bounds) < offsetof(ControlObject, window));
static_assert(offsetof(ControlObject, helpTag) < offsetof(ControlObject, menuHandlers));
static_assert(offsetof(ControlObject, menuHandlers) < offsetof(ControlObject, reference));

namespace {

constexpr const char* kControlSource = "../Common/runctl";

// The pane's view of its control object. One per control, made when the first pane is
// attached and freed with the object; a pane forgets it when it is detached.
class ControlPaneLink final : public ControlObjectLink {
 public:
  explicit ControlPaneLink(ControlObject* ctl) : mControl(ctl) {}
  void StoreBounds(const Rect& bounds) override { SetControlBounds(mControl, bounds); }
  Rect StoredBounds() const override { return GetControlBounds(mControl); }
  uint8_t LockFlags() const override { return ControlLockFlags(mControl); }
  bool OwnEnabled() const override { return mControl->enabled != 0; }
  bool OwnVisible() const override { return mControl->visible != 0; }

 private:
  ControlObject* mControl;
};

ControlPaneLink* LinkOf(ControlObject* ctl) {
  if (!ctl->paneLink) ctl->paneLink = new ControlPaneLink(ctl);
  return static_cast<ControlPaneLink*>(ctl->paneLink);
}

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kControlProperties[] = {
    {0x84, "Name", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     kControlNameOffset, 0},
    {0x84, "Index", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter", kControlIndexOffset, 0},
    {0x41, "TabPanelIndex", "i4", Fn(&intGetter), "intGetter", Fn(&ControlTabPanelIndexSetter),
     "ControlTabPanelIndexSetter", kControlTabPanelOffset, 0},
    {0x01, "PanelIndex", "i4", Fn(&ControlPanelIndexGetter), "ControlPanelIndexGetter",
     Fn(&ControlPanelIndexSetter), "ControlPanelIndexSetter", 0, 0},
    {0x01, "MouseX", "i4", Fn(&controlMouseXGetter), "controlMouseXGetter", nullptr, nullptr, 0, 0},
    {0x01, "MouseY", "i4", Fn(&controlMouseYGetter), "controlMouseYGetter", nullptr, nullptr, 0, 0},
    {0x01, "Window", "o<Window>", Fn(&controlWindowGetter), "controlWindowGetter", nullptr, nullptr, 0, 0},
    {0x01, "Handle", "i4", Fn(&controlMacControlHandleGetter), "controlMacControlHandleGetter", nullptr,
     nullptr, 0, 0},
};

EventRow sControlEvents[] = {
    {0, "CreatePane", "", "", nullptr, 0},
    {0, "Open", "", "", nullptr, 0},
    {0, "Close", "", "", nullptr, 0},
};

const MethodRow kControlMethods[] = {
    {"Close", "", nullptr, 0, Fn(&ControlClose), "ControlClose", nullptr, nullptr, 0, 0},
};

const ParamRow kSetWindowParams[] = {{"owner", "o<Window>", 0, 0}};
const ParamRow kSetIndexParams[] = {{"index", "i4", 0, 0}};
const MethodRow kPaneChildMethods[] = {
    {"_SetWindow", "", kSetWindowParams, 1, nullptr, nullptr, nullptr, nullptr, 0, 0},
    {"Window", "o<Window>", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, 0},
    {"_Index", "i4", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, 0},
    {"_SetIndex", "", kSetIndexParams, 1, nullptr, nullptr, nullptr, nullptr, 0, 0},
};

ObjectDefinition* BuildControlDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Control");
  definition->mInstanceSize = VORN_CONTROL_INSTANCE_SIZE;
  definition->mInitializer = {Fn(&RuntimeControlInitializer), "RuntimeControlInitializer"};
  definition->mFinalizer = {Fn(&RuntimeControlFinalizer), "RuntimeControlFinalizer"};
  definition->SetInstanceVariables(BuildPropertyList(kControlProperties, RowCount(kControlProperties)));
  SetEventList(definition, sControlEvents, RowCount(sControlEvents));
  SetMethodList(definition, kControlMethods, RowCount(kControlMethods));
  return definition;
}

ObjectDefinition* BuildPaneChildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("_PaneChild");
  definition->mFlags = kDefinitionInterface;
  definition->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
  SetMethodList(definition, kPaneChildMethods, RowCount(kPaneChildMethods));
  return definition;
}

}  // namespace

ObjectDefinition* GetObjectClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("Object");
    d->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    return d;
  }();
  return definition;
}

ObjectDefinition* GetControlClassDefinition() {
  static ObjectDefinition* definition = BuildControlDefinition();
  return definition;
}

ObjectDefinition* GetPaneChildInterfaceDefinition() {
  static ObjectDefinition* definition = BuildPaneChildDefinition();
  return definition;
}

ObjectHook* GetControlEventHook(ControlEvent event) {
  GetControlClassDefinition();
  return sControlEvents[event].hook;
}

bool IsControl(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetControlClassDefinition());
}

ControlObject* AsControl(RuntimeObject* object) {
  return IsControl(object) ? reinterpret_cast<ControlObject*>(object) : nullptr;
}

Rect GetControlBounds(const ControlObject* ctl) {
  Rect r;
  if (ctl) r = Rect{ctl->bounds.top, ctl->bounds.left, ctl->bounds.bottom, ctl->bounds.right};
  return r;
}

void SetControlBounds(ControlObject* ctl, const Rect& bounds) {
  if (ctl) ctl->bounds = VornControlBounds{bounds.top, bounds.left, bounds.bottom, bounds.right};
}

uint8_t ControlLockFlags(const ControlObject* ctl) {
  if (!ctl) return 0;
  return static_cast<uint8_t>((ctl->lockLeft ? kLockLeft : 0) | (ctl->lockTop ? kLockTop : 0) |
                              (ctl->lockRight ? kLockRight : 0) | (ctl->lockBottom ? kLockBottom : 0));
}

void AttachControlPane(ControlObject* ctl, SubPane* pane) {
  if (!ctl || !pane) return;
  if (ctl->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  ctl->pane = pane;
  pane->SetRunControl(LinkOf(ctl));
}

SubPane* DetachControlPane(ControlObject* ctl) {
  SubPane* pane = ControlPane(ctl);
  if (!pane) return nullptr;
  ctl->pane = nullptr;
  if (pane->GetRunControl() == ctl->paneLink) pane->DetachRunControl();
  return pane;
}

StringMap<void*>* ControlMenuHandlers(const ControlObject* ctl) {
  return ctl ? static_cast<StringMap<void*>*>(ctl->menuHandlers) : nullptr;
}

void ReportControlAssertion(int32_t line, const char* condition, const char* message) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kControlSource, line, condition, message);
}

void ReportControlMessage(int32_t line, const std::string& message) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kControlSource, line, "0", message.c_str());
}

// Frees what only the native side of a control holds; the containment layer's finalizer
// calls it last.
void FreeControlNativeState(ControlObject* ctl) {
  delete static_cast<ControlPaneLink*>(ctl->paneLink);
  ctl->paneLink = nullptr;
  delete ControlMenuHandlers(ctl);
  ctl->menuHandlers = nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void RuntimeControlInitializer(VornRuntimeObject* ctl) {
  if (ControlObject* c = AsControl(ctl)) c->index = kNotInControlArray;
}

int32_t ControlPanelIndexGetter(VornRuntimeObject* ctl, int32_t) {
  ControlObject* c = AsControl(ctl);
  return c ? c->tabPanelIndex - 1 : 0;
}

void ControlPanelIndexSetter(VornRuntimeObject* ctl, int32_t param, int32_t value) {
  ControlTabPanelIndexSetter(ctl, param, static_cast<int32_t>(static_cast<uint32_t>(value) + 1u));
}

static void MouseInPane(VornRuntimeObject* ctl, int32_t* x, int32_t* y) {
  *x = *y = 0;
  SubPane* pane = ControlPane(AsControl(ctl));
  if (!pane) return;
  pane->GetMouseLocation(x, y);
  *x -= pane->Bounds().left;
  *y -= pane->Bounds().top;
}

int32_t controlMouseXGetter(VornRuntimeObject* ctl, int32_t) {
  int32_t x, y;
  MouseInPane(ctl, &x, &y);
  return x;
}

int32_t controlMouseYGetter(VornRuntimeObject* ctl, int32_t) {
  int32_t x, y;
  MouseInPane(ctl, &x, &y);
  return y;
}

VornRuntimeObject* controlWindowGetter(VornRuntimeObject* ctl, int32_t) {
  ControlObject* c = AsControl(ctl);
  if (!c) return nullptr;
  RuntimeLockObject(c->window);
  return c->window;
}

int32_t controlMacControlHandleGetter(VornRuntimeObject* ctl, int32_t) {
  // Handles are Integers: a pointer would not fit, and most control widgets draw into their
  // parent's X window, so the pane's own number stands for the control.
  SubPane* pane = ControlPane(AsControl(ctl));
  return pane ? pane->HandleNumber() : 0;
}

void NilCreatePane(VornRuntimeObject*) {}

void ControlAddMenuHandler(VornRuntimeObject* ctl, VornStringRecord* name, void* handler) {
  ControlObject* c = AsControl(ctl);
  if (!c) {
    ReportControlAssertion(__LINE__, "self");
    return;
  }
  if (!name) {
    ReportControlAssertion(__LINE__, "name");
    return;
  }
  if (!handler) return;
  if (!c->menuHandlers) c->menuHandlers = new StringMap<void*>(StringMap<void*>::kDefaultBucketCount);
  ControlMenuHandlers(c)->SetEntry(string::Share(name), handler);
}

}  // extern "C"
