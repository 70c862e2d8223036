#include "windows/window_controls.h"

#include <string>

#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "windows/pane_assert.h"
#include "windows/runtime_window.h"
#include "windows/sub_pane.h"
#include "windows/window_controls_support.h"

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
  FireEvent(control, ControlEventHook(event));
}

// New members of a control array go beside the existing ones, not inside them, even when a
// member's rectangle encloses the new pane.
void MakeSiblingOfArrayMembers(WindowObject* window, RuntimeObject* control, SubPane* pane) {
  StringMapIterator<RuntimeObject*>* it = window->controls->NewIterator();
  RuntimeObject* entry = nullptr;
  while (it->Next(&entry)) {
    if (entry == control || !IsControlObject(entry) || ClassOf(entry) != ClassOf(control)) continue;
    SubPane* member = AsControlFields(entry)->pane;
    if (!member || pane->GetParent() != member) continue;
    SubPane* outer = member->GetParent();
    if (!outer) continue;
    member->RemoveSubPane(pane);
    outer->AddSubPane(pane);
  }
  delete it;
}

}  // namespace

string ControlMapKey(const string& name, int32_t index) {
  if (index < 0) return name;
  string key = name;
  key.AppendCString(("$" + std::to_string(index)).c_str());
  return key;
}

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
  ControlObject* fields = AsControlFields(mControl);
  if (fields->pane == pane) fields->pane = nullptr;
  pane->ClearDelegate();
  delete this;
}

bool RuntimePaneDelegate::BecomeCurrent() {
  SubPane* pane = AsControlFields(mControl)->pane;
  SubPane* parent = pane ? pane->GetParent() : nullptr;
  if (!parent) return false;
  parent->BecomeCurrent();
  return true;
}

bool RuntimePaneDelegate::ResignCurrent() {
  SubPane* pane = AsControlFields(mControl)->pane;
  SubPane* parent = pane ? pane->GetParent() : nullptr;
  if (!parent) return false;
  parent->ResignCurrent();
  return true;
}

void RuntimePaneDelegate::AdjustBounds(Pane*, Rect* bounds) {
  SubPane* pane = AsControlFields(mControl)->pane;
  SubPane* parent = pane ? pane->GetParent() : nullptr;
  if (parent) IntersectRect(*bounds, parent->Bounds(), *bounds);
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
  ControlObject* fields = AsControlFields(control);
  FireControlEvent(control, kControlCreatePane);
  SubPane* pane = fields->pane;
  if (!pane) return;
  pane->SetTabPanelIndex(fields->tabPanelIndex);
  if (!fields->visible) pane->ChangeState(kPaneStateHide);
  if (!fields->enabled) pane->ChangeState(kPaneStateDisable);

  WindowObject* window = fields->window ? AsWindowFields(fields->window) : nullptr;
  if (window && window->controls) {
    StringMapIterator<RuntimeObject*>* it = window->controls->NewIterator();
    RuntimeObject* entry = nullptr;
    while (it->Next(&entry)) {
      if (entry == control || !IsControlObject(entry)) continue;
      SubPane* container = AsControlFields(entry)->pane;
      if (!container || !container->ContainsSubPane(pane, true)) continue;
      if (!container->IsEnabled() && pane->IsEnabled()) pane->ChangeState(kPaneStateDisable);
      if (!container->IsVisible() && pane->IsVisible()) pane->ChangeState(kPaneStateHide);
    }
    delete it;
  }
  pane->SetBalloonHelp(string::Share(fields->balloonHelp));
  pane->SetDisabledBalloonHelp(string::Share(fields->disabledBalloonHelp));
  pane->SetHelpTag(string::Share(fields->helpTag));
  pane->SetAutoDeactivate(fields->autoDeactivate != 0);
  pane->SetDelegate(new RuntimePaneDelegate(control));
}

}  // namespace vorn

using namespace vorn;

VornRuntimeObject* WindowAllocateObject(VornRuntimeObject* window, VornRuntimeClass* cls) {
  RuntimeObject* object = RuntimeNewObject(cls);
  if (!object) return nullptr;
  if (IsControlObject(object)) {
    AsControlFields(object)->window = window;
  } else if (IsPaneChild(object)) {
    if (auto setWindow = reinterpret_cast<SetWindowFunction>(PaneChildMethod(object, "_SetWindow", "fp"))) {
      setWindow(object, window);
    }
    if (auto setIndex = reinterpret_cast<SetIndexFunction>(PaneChildMethod(object, "_SetIndex", "fp2"))) {
      setIndex(object, kNoControlIndex);
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
  const bool isControl = IsControlObject(object);
  const bool isPaneChild = !isControl && IsPaneChild(object);
  const string name = string::Share(nameRep);
  RuntimeLockObject(object);  // held through the call, whatever Open does

  int32_t index = kNoControlIndex;
  if (fields->controlsCreated) {
    index = 0;
    while (fields->controls->GetEntry(ControlMapKey(name, index))) ++index;
    if (isControl) {
      AsControlFields(object)->index = index;
    } else if (isPaneChild) {
      if (auto setIndex = reinterpret_cast<SetIndexFunction>(PaneChildMethod(object, "_SetIndex", "fp2"))) {
        setIndex(object, index);
      }
    }
  } else if (isControl) {
    index = AsControlFields(object)->index;
  } else if (isPaneChild) {
    if (auto getIndex = reinterpret_cast<GetIndexFunction>(PaneChildMethod(object, "_Index", "fp"))) {
      index = getIndex(object);
    }
  }

  if (isControl) {
    ControlObject* control = AsControlFields(object);
    control->window = window;
    if (control->name == nullptr || control->name->length == 0) {
      StringRep* old = control->name;
      control->name = name.GetRetainedRep();
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

  if (isControl && fields->controlsCreated) {
    MakeControlPane(object);
    if (SubPane* pane = AsControlFields(object)->pane) {
      if (fields->controls) MakeSiblingOfArrayMembers(fields, object, pane);
      if (SubPane* parent = pane->GetParent()) parent->SetShownByContainer(parent->ShownByContainer());
      FireControlEvent(object, kControlOpen);
      if (SubPane* still = AsControlFields(object)->pane) still->Invalidate();
    }
  }
  RuntimeUnlockObject(object);
}
