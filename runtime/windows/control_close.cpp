// Closing a control with everything it encloses, and the Control finalizer.
#include <algorithm>
#include <memory>

#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "windows/control_containment.h"
#include "windows/pane_focus.h"

namespace vorn {

void FreeControlNativeState(ControlObject* ctl);

namespace {

struct CloseList {
  std::vector<ControlObject*> order;    // closed from the last to the first
  std::vector<ControlObject*> visited;  // every control reached, to collect each once

  bool Visit(ControlObject* c) {
    if (std::find(visited.begin(), visited.end(), c) != visited.end()) return false;
    visited.push_back(c);
    return true;
  }
  bool Contains(ControlObject* c) const { return std::find(order.begin(), order.end(), c) != order.end(); }
  void PushFront(ControlObject* c) {
    if (!Contains(c)) order.insert(order.begin(), c);
  }
};

// Enclosed controls first, then the control itself at the front: processed backwards, the
// innermost close first.
void CollectEnclosedControls(ControlObject* ctl, CloseList* list, int32_t depth) {
  if (!list->Visit(ctl)) return;
  if (depth <= kMaxControlNesting) {
    for (ControlObject* c : EnclosedControls(ctl)) CollectEnclosedControls(c, list, depth + 1);
  }
  list->PushFront(ctl);
}

void ClearFocusOn(SubPane* pane) {
  if (pane && GetFocusPane() == pane) ClearFocusPane();
}

// Takes the control out of its window's map, closing the gap in its control array. Answers
// whether an entry held it.
bool RemoveFromControlMap(ControlMap* map, ControlObject* c) {
  RuntimeObject* object = AsObject(c);
  string name = string::Share(c->name);
  string key = ControlMapKey(name, c->index);
  RuntimeObject* found = nullptr;
  if (map->GetEntry(key, &found) && found == object) {
    map->RemoveEntry(key);
    if (c->index >= 0) {
      for (int64_t n = int64_t{c->index} + 1; n <= INT32_MAX; ++n) {
        string nextKey = ControlMapKey(name, static_cast<int32_t>(n));
        RuntimeObject* member = nullptr;
        if (!map->GetEntry(nextKey, &member)) break;
        map->RemoveEntry(nextKey);
        if (ControlObject* m = AsControl(member)) m->index = static_cast<int32_t>(n - 1);
        map->SetEntry(ControlMapKey(name, static_cast<int32_t>(n - 1)), member);
      }
    }
    return true;
  }
  std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
  RuntimeObject* value = nullptr;
  while (it->Next(&value)) {
    if (value == object) return it->RemoveCurrent();
  }
  return false;
}

void CloseOne(ControlObject* c, bool isTarget) {
  // A Close handler that ran earlier in this pass may have closed it already.
  if (!isTarget && !c->window && !ControlPane(c)) return;
  ClearFocusOn(ControlPane(c));
  FireEvent(AsObject(c), GetControlEventHook(kControlEventClose));
  if (SubPane* pane = DetachControlPane(c)) {
    pane->Detach();
    pane->SetVisible(false);
    pane->Close();
  }
  if (!c->window) {
    if (isTarget) ReportControlAssertion(__LINE__, "ctl->m_view");
    return;
  }
  ControlMap* map = WindowControlMap(c->window);
  bool held = map && RemoveFromControlMap(map, c);
  c->window = nullptr;
  // Only a reference the window's map really held is given back.
  if (held) RuntimeUnlockObject(AsObject(c));
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

void ControlClose(VornRuntimeObject* ctl) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  ClearFocusOn(ControlPane(c));
  CloseList list;
  if (IsEmbeddedWindowControl(ctl)) {
    RuntimeObject* templateWindow = TemplateWindowOf(ctl);
    if (!templateWindow) {
      ReportControlAssertion(__LINE__, "templateWindow");
    } else if (auto collect = GetControlWindowHooks().collectWindowControls) {
      std::vector<RuntimeObject*> controls;
      collect(templateWindow, &controls);
      for (RuntimeObject* object : controls) {
        if (ControlObject* member = AsControl(object); member && member != c) list.order.push_back(member);
      }
    }
  }
  CollectEnclosedControls(c, &list, 0);
  // Close events run compiled code, which may close or drop controls of the list itself.
  for (ControlObject* member : list.order) RuntimeLockObject(AsObject(member));
  for (auto it = list.order.rbegin(); it != list.order.rend(); ++it) CloseOne(*it, *it == c);
  for (ControlObject* member : list.order) RuntimeUnlockObject(AsObject(member));
}

void RuntimeControlFinalizer(VornRuntimeObject* ctl) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  if (ControlMap* map = WindowControlMap(c->window)) {
    std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
    RuntimeObject* value = nullptr;
    while (it->Next(&value)) {
      if (value == ctl) {
        it->RemoveCurrent();
        continue;
      }
      if (ControlObject* other = AsControl(value); other && other->reference == ctl) other->reference = nullptr;
    }
  }
  DetachControlPane(c);
  RuntimeUnlockString(c->name);
  RuntimeUnlockString(c->balloonHelp);
  RuntimeUnlockString(c->disabledBalloonHelp);
  RuntimeUnlockString(c->helpTag);
  RuntimeUnlockObject(c->mouseCursor);
  c->name = c->balloonHelp = c->disabledBalloonHelp = c->helpTag = nullptr;
  c->mouseCursor = nullptr;
  FreeControlNativeState(c);
  c->window = nullptr;
  c->reference = nullptr;
}

}  // extern "C"
