#include "windows/control_containment.h"

#include <algorithm>
#include <memory>
#include <string>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "windows/rect_control.h"
#include "windows/window.h"

namespace vorn {

namespace {

std::vector<RuntimeObject*> MapValues(ControlMap* map) {
  std::vector<RuntimeObject*> values;
  if (!map) return values;
  std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
  RuntimeObject* value = nullptr;
  while (it->Next(&value)) values.push_back(value);
  return values;
}

void Propagate(ControlObject* ctl, int32_t code, int32_t depth) {
  if (depth > kMaxControlNesting) return;
  if (code < kPaneStateEnable || code > kPaneStateHide) {
    ReportControlMessage(__LINE__, "Not prepared to deal with this action " + std::to_string(code));
    return;
  }
  // The panes a control's pane contains follow it by ChangeState; an embedded window's controls
  // are reached through its template window's map.
  ControlMapView view = GetControlMap(ctl);
  if (!view.allEnclosed) return;
  for (RuntimeObject* object : MapValues(view.map)) {
    ControlObject* c = AsControl(object);
    if (!c || c == ctl || !ControlPane(c) || !ControlEncloses(ctl, view, c)) continue;
    bool enabling = code == kPaneStateEnable || code == kPaneStateDisable;
    bool own = enabling ? c->enabled : c->visible;
    int32_t applied = own ? code : (enabling ? kPaneStateDisable : kPaneStateHide);
    ControlPane(c)->ChangeState(applied);
    if (IsEmbeddedWindowControl(object)) Propagate(c, code, depth + 1);
  }
}

void SetTabPanelIndexTree(ControlObject* ctl, int32_t value, int32_t depth, std::vector<ControlObject*>* told) {
  ctl->tabPanelIndex = value;
  if (std::find(told->begin(), told->end(), ctl) == told->end()) told->push_back(ctl);
  if (depth > kMaxControlNesting) return;
  ControlMapView view = GetControlMap(ctl);
  for (RuntimeObject* object : MapValues(view.map)) {
    ControlObject* c = AsControl(object);
    if (!c || c == ctl || !ControlPane(c) || !ControlEncloses(ctl, view, c)) continue;
    SetTabPanelIndexTree(c, value, depth + 1, told);
  }
}

}  // namespace

ControlMapView GetControlMap(ControlObject* ctl) {
  ControlMapView view;
  if (!ctl) return view;
  if (IsEmbeddedWindowControl(AsObject(ctl))) {
    view.map = WindowControlMap(TemplateWindowOf(AsObject(ctl)));
    view.allEnclosed = true;
  } else {
    view.map = WindowControlMap(ctl->window);
  }
  return view;
}

bool ControlEncloses(ControlObject* ctl, const ControlMapView& view, ControlObject* other) {
  if (!ctl || !other || other == ctl) return false;
  if (view.allEnclosed) return true;
  SubPane* pane = ControlPane(ctl);
  SubPane* otherPane = ControlPane(other);
  return pane && otherPane && pane->ContainsSubPane(otherPane, true);
}

std::vector<ControlObject*> EnclosedControls(ControlObject* ctl) {
  std::vector<ControlObject*> result;
  ControlMapView view = GetControlMap(ctl);
  for (RuntimeObject* object : MapValues(view.map)) {
    ControlObject* c = AsControl(object);
    if (c && ControlPane(c) && ControlEncloses(ctl, view, c)) result.push_back(c);
  }
  return result;
}

void PropagateControlState(ControlObject* ctl, int32_t code) { Propagate(ctl, code, 0); }

void SettleControlState(ControlObject* ctl, SubPane* pane) {
  SubPane* parent = pane->GetParent();
  bool parentHears = true, parentShows = true;
  for (SubPane* p = parent; p && !p->IsWindow(); p = p->GetParent()) parentShows = parentShows && p->IsVisible();
  if (parent && !parent->IsWindow()) parentHears = parent->HearsInput();
  const bool enable = ctl->enabled && parentHears, show = ctl->visible && parentShows;
  // Below a pane whose state holds, every pane is already as its own wish and that state make it.
  if (pane->IsEnabled() != enable) {
    const int32_t code = enable ? kPaneStateEnable : kPaneStateDisable;
    pane->ChangeState(code);
    PropagateControlState(ctl, code);
  }
  if (pane->IsVisible() != show) {
    const int32_t code = show ? kPaneStateShow : kPaneStateHide;
    pane->ChangeState(code);
    PropagateControlState(ctl, code);
  }
}

void EmbeddedWindowOffset(RuntimeObject* window, int32_t* left, int32_t* top) {
  *left = *top = 0;
  auto bounds = GetControlWindowHooks().windowBounds;
  int32_t depth = 0;
  for (RuntimeObject* w = window; w && depth < kMaxControlNesting; w = ContainingWindowOf(w), ++depth) {
    if (!ContainingWindowOf(w) || !bounds) continue;
    Rect r = bounds(w);
    *left += r.left;
    *top += r.top;
  }
}

string ControlMapKey(const string& name, int32_t index) {
  if (index < 0) return name;
  string key = name;
  key.AppendCString(("$" + std::to_string(index)).c_str());
  return key;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void ControlVisibleSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  c->visible = value ? 1 : 0;
  int32_t code = value ? kPaneStateShow : kPaneStateHide;
  if (SubPane* pane = ControlPane(c)) pane->ChangeState(code);
  PropagateControlState(c, code);
}

void controlEnabledSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  c->enabled = value ? 1 : 0;
  int32_t code = value ? kPaneStateEnable : kPaneStateDisable;
  if (SubPane* pane = ControlPane(c)) pane->ChangeState(code);
  PropagateControlState(c, code);
}

void ControlTabPanelIndexSetter(VornRuntimeObject* ctl, int32_t, int32_t value) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  std::vector<ControlObject*> told;
  SetTabPanelIndexTree(c, value, 0, &told);
  SubPane* pane = ControlPane(c);
  if (!pane) return;
  pane->SetTabPanelIndex(value);
  // A page number can carry the control into a panel or out of one, as a new Parent does, and
  // each control it encloses finds its pane by its bounds again, maybe in another container.
  // Settling may take the focus away, and a LostFocus handler may close any of them.
  for (ControlObject* each : told) RuntimeLockObject(AsObject(each));
  for (ControlObject* each : told) {
    if (SubPane* moved = ControlPane(each)) SettleControlState(each, moved);
  }
  for (ControlObject* each : told) RuntimeUnlockObject(AsObject(each));
}

VornRuntimeObject* ControlParentGetter(VornRuntimeObject* ctl, int32_t) {
  ControlObject* c = AsControl(ctl);
  SubPane* pane = ControlPane(c);
  if (!pane || !c->window) return nullptr;
  for (RuntimeObject* object : MapValues(WindowControlMap(c->window))) {
    ControlObject* candidate = AsControl(object);
    if (!candidate || candidate == c || !ControlPane(candidate)) continue;
    if (ControlPane(candidate)->ContainsSubPane(pane, false)) {
      RuntimeLockObject(object);
      return object;
    }
  }
  return nullptr;
}

void ControlParentSetter(VornRuntimeObject* ctl, int32_t, VornRuntimeObject* parent) {
  ControlObject* c = AsControl(ctl);
  SubPane* pane = ControlPane(c);
  if (!pane) return;
  ControlObject* p = AsControl(parent);
  SubPane* parentPane = ControlPane(p);
  if (!parentPane) {
    Window* window = pane->GetWindow();
    if (!window || pane->GetParent() == window) return;
    pane->SetParent(window);
    SettleControlState(c, pane);
    return;
  }
  // A pane cannot go into itself or into one of the panes it contains: the tree would loop.
  if (parentPane->GetWindow() != pane->GetWindow() || parentPane == pane ||
      pane->ContainsSubPane(parentPane, true)) {
    RuntimeRaiseExceptionWithMessage(GetInvalidParentExceptionClassDefinition(), string());
    return;
  }
  pane->SetParent(parentPane);
  SettleControlState(c, pane);
}

void ControlInitialParentSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* name) {
  ControlObject* c = AsControl(ctl);
  if (!c || !name || !c->window) return;
  string wanted = string::Share(name);
  for (RuntimeObject* object : MapValues(WindowControlMap(c->window))) {
    ControlObject* candidate = AsControl(object);
    if (candidate && string::Share(candidate->name).Compare(wanted) == 0) {
      c->initialParent = object;
      return;
    }
  }
}

}  // extern "C"
