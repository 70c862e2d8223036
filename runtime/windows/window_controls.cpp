#include "windows/window_controls.h"

#include <string>
#include <utility>

#include "objects/event_dispatch.h"
#include "objects/runtime_class.h"
#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "windows/menu_routing.h"
#include "windows/pane_assert.h"
#include "windows/runtime_window.h"
#include "windows/sub_pane.h"
#include "windows/control_containment.h"
#include "windows/drag_item.h"
#include "windows/gtk_drops.h"
#include "windows/mouse_cursor_class.h"
#include "windows/pane_disposal.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

constexpr const char* kControlsSource = "../Common/ClassLib/window";

using GetIndexFunction = int32_t (*)(RuntimeObject*);
using SetIndexFunction = void (*)(RuntimeObject*, int32_t);
using SetWindowFunction = void (*)(RuntimeObject*, RuntimeObject*);

bool IsPaneChild(RuntimeObject* object) {
  return ObjectIsaDefinition(object, GetPaneChildInterfaceDefinition());
}

void* PaneChildMethod(RuntimeObject* object, const char* name, const char* assertion) {
  void* function = LookupInterfaceMethod(object, GetPaneChildInterfaceDefinition(), string(name));
  if (!function) ReportPaneAssertion(kControlsSource, __LINE__, assertion);
  return function;
}

void FireControlEvent(RuntimeObject* control, ControlEvent event) {
  FireEvent(control, GetControlEventHook(event));
}

// New members of a control array go beside the existing ones, not inside them, even when a
// member's rectangle encloses the new pane.
void MakeSiblingOfArrayMembers(WindowObject* window, RuntimeObject* control, SubPane* pane) {
  StringMapIterator<RuntimeObject*>* it = window->controls->NewIterator();
  RuntimeObject* entry = nullptr;
  while (it->Next(&entry)) {
    if (entry == control || !IsControl(entry) || ClassOf(entry) != ClassOf(control)) continue;
    SubPane* member = ControlPane(AsControl(entry));
    if (!member || pane->GetParent() != member) continue;
    SubPane* outer = member->GetParent();
    if (!outer) continue;
    member->RemoveSubPane(pane);
    outer->AddSubPane(pane);
  }
  delete it;
}

}  // namespace

// --- the delegate ------------------------------------------------------------------------

RuntimePaneDelegate::RuntimePaneDelegate(RuntimeObject* control) : mControl(control) {
  RuntimeLockObject(control);
}

RuntimePaneDelegate::~RuntimePaneDelegate() { RuntimeUnlockObject(mControl); }

void RuntimePaneDelegate::PaneDied(Pane* pane) {
  if (!pane || pane->GetDelegate() != this) {
    ReportPaneAssertion(kControlsSource, __LINE__, "ctl->mDelegate == this");
    return;
  }
  // The control outlives its pane and must not keep pointing at it.
  ControlObject* ctl = AsControl(mControl);
  if (ctl && ControlPane(ctl) == pane) DetachControlPane(ctl);
  pane->ClearDelegate();
  // The pane may be freed only after the event that closed it: until then the control, with
  // the router and delegate the pane points into, stays.
  if (auto* sub = dynamic_cast<SubPane*>(pane)) sub->KeepUntilDestroyed(std::exchange(mControl, nullptr));
  // One of this delegate's own calls (a drop) may be what closed the pane.
  DeleteAfterDispatch(this);
}

void RuntimePaneDelegate::DropObject(Pane*, DragItem*, int32_t, int32_t) {
  DragItem* item = GetCurrentDragItem();
  if (item) FireEvent(mControl, GetRectControlEventHook(kRectEventDropObject), DragItemObjectOf(item));
}

bool RuntimePaneDelegate::BecomeCurrent() {
  SubPane* pane = ControlPane(AsControl(mControl));
  SubPane* parent = pane ? pane->GetParent() : nullptr;
  if (!parent) return false;
  parent->BecomeCurrent();
  return true;
}

bool RuntimePaneDelegate::ResignCurrent() {
  SubPane* pane = ControlPane(AsControl(mControl));
  SubPane* parent = pane ? pane->GetParent() : nullptr;
  if (!parent) return false;
  parent->ResignCurrent();
  return true;
}

RuntimeObject* ControlObjectOfPane(Pane* pane) {
  auto* delegate = pane ? dynamic_cast<RuntimePaneDelegate*>(pane->GetDelegate()) : nullptr;
  return delegate ? delegate->Control() : nullptr;
}

// --- panes -------------------------------------------------------------------------------

void MakeControlPane(RuntimeObject* control) {
  if (!control) {
    ReportPaneAssertion(kControlsSource, __LINE__, "ctl", "We weren't passed in a control, we got nil.");
    return;
  }
  ControlObject* fields = AsControl(control);
  if (!fields) return;
  FireControlEvent(control, kControlEventCreatePane);
  SubPane* pane = ControlPane(fields);
  if (!pane) return;
  pane->SetTabPanelIndex(fields->tabPanelIndex);
  // A pane inside a disabled or hidden pane starts so too.
  SettleControlState(fields, pane);
  pane->SetBalloonHelp(string::Share(fields->balloonHelp));
  pane->SetDisabledBalloonHelp(string::Share(fields->disabledBalloonHelp));
  pane->SetHelpTag(string::Share(fields->helpTag));
  // A cursor set before the pane existed (by the packed properties, say) takes effect now.
  if (fields->mouseCursor) pane->SetCursor(MouseCursorRecordOf(fields->mouseCursor));
  pane->SetAutoDeactivate(fields->autoDeactivate != 0);
  pane->SetDelegate(new RuntimePaneDelegate(control));
}

}  // namespace vorn

using namespace vorn;

VornRuntimeObject* WindowAllocateObject(VornRuntimeObject* window, VornRuntimeClass* cls) {
  RuntimeObject* object = RuntimeNewObject(cls);
  if (!object) return nullptr;
  if (ControlObject* ctl = AsControl(object)) {
    ctl->window = window;
    ctl->allocatedByWindow = 1;
  } else if (IsPaneChild(object)) {
    if (auto setWindow = reinterpret_cast<SetWindowFunction>(PaneChildMethod(object, "_SetWindow", "fp"))) {
      setWindow(object, window);
    }
    if (auto setIndex = reinterpret_cast<SetIndexFunction>(PaneChildMethod(object, "_SetIndex", "fp2"))) {
      setIndex(object, kNotInControlArray);
    }
  } else if (ObjectIsaDefinition(object, GetMenuBarInstallerClassDefinition())) {
    // Implemented as the interface, or inherited from the class and overridden.
    using InstallFunction = void (*)(RuntimeObject*, RuntimeObject*);
    void* function = LookupInterfaceMethod(object, GetMenuBarInstallerClassDefinition(), string("_Install"));
    const int32_t slot = function ? -1 : FindMethodSlot(object->classPtr, "_Install");
    if (slot >= 0) function = object->methodTable[slot];
    auto install = reinterpret_cast<InstallFunction>(function);
    if (!install) {
      ReportPaneAssertion(kControlsSource, __LINE__, "fp");
    } else {
      install(object, AsWindowFields(window)->menuBar);
    }
  }
  return object;
}

void WindowAddControl(VornRuntimeObject* window, VornStringRecord* nameRep, VornRuntimeObject* object) {
  if (!window) {
    ReportPaneAssertion(kControlsSource, __LINE__, "self");
    return;
  }
  if (!object || !IsWindowObject(window)) return;
  WindowObject* fields = AsWindowFields(window);
  if (!fields->controls) return;
  ControlObject* ctl = AsControl(object);
  const bool isControl = ctl != nullptr;
  const bool isPaneChild = !isControl && IsPaneChild(object);
  const string name = string::Share(nameRep);
  RuntimeLockObject(object);  // held through the call, whatever Open does

  int32_t index = kNotInControlArray;
  if (fields->controlsCreated) {
    index = 0;
    while (fields->controls->GetEntry(ControlMapKey(name, index))) ++index;
    if (isControl) {
      ctl->index = index;
    } else if (isPaneChild) {
      if (auto setIndex = reinterpret_cast<SetIndexFunction>(PaneChildMethod(object, "_SetIndex", "fp2"))) {
        setIndex(object, index);
      }
    }
  } else if (isControl) {
    index = ctl->index;
  } else if (isPaneChild) {
    if (auto getIndex = reinterpret_cast<GetIndexFunction>(PaneChildMethod(object, "_Index", "fp"))) {
      index = getIndex(object);
    }
  }

  if (isControl) {
    ctl->window = window;
    // An embedded window's controls live in the native window of the window holding it.
    RuntimeObject* outer = window;
    while (RuntimeObject* up = ContainingWindowOf(outer)) outer = up;
    ctl->windowPane = GetWindowPaneOf(outer);
    if (ctl->name == nullptr || ctl->name->length == 0) {
      StringRep* old = ctl->name;
      ctl->name = name.GetRetainedRep();
      RuntimeUnlockString(old);
    }
  }

  // A replaced entry gives up the map's reference to its object.
  const string key = ControlMapKey(name, index);
  RuntimeObject* previous = nullptr;
  fields->controls->GetEntry(key, &previous);
  fields->controls->SetEntry(key, object);
  RuntimeLockObject(object);
  if (previous) RuntimeUnlockObject(previous);

  if (isControl && fields->controlsCreated && !IsEmbeddedWindowControl(object)) {
    MakeControlPane(object);
    if (SubPane* pane = ControlPane(ctl)) {
      if (fields->controls) MakeSiblingOfArrayMembers(fields, object, pane);
      if (SubPane* parent = pane->GetParent()) parent->SetShownByContainer(parent->ShownByContainer());
      FireControlEvent(object, kControlEventOpen);
      if (SubPane* still = ControlPane(ctl)) still->Invalidate();
    }
  }
  RuntimeUnlockObject(object);
}
