#include "support/host_window.h"

#include <memory>

#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "strings/runtime_error.h"

namespace vorn::test {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

EventRow sWindowEvents[] = {
    {0, "Moved", "", "", nullptr, 0},
    {0, "Resized", "", "", nullptr, 0},
    {0, "Resizing", "", "", nullptr, 0},
    {0, "Close", "", "", nullptr, 0},
    {0, "KeyDown", "Key As String", "Boolean", nullptr, 0},
    {0, "Paint", "g As Graphics", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "Activate", "", "", nullptr, 0},
    {0, "Deactivate", "", "", nullptr, 0},
    {0, "EnableMenuItems", "", "", nullptr, 0},
};

void ForEachControl(ControlMap* map, std::vector<RuntimeObject*>* out) {
  if (!map) return;
  std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
  RuntimeObject* value = nullptr;
  while (it->Next(&value)) out->push_back(value);
}

void HostWindowFinalizer(RuntimeObject* o) {
  HostWindowObject* w = AsHostWindow(o);
  std::unique_ptr<ControlMap> map(w->controls);
  w->controls = nullptr;  // controls dying now find no map to leave
  std::vector<RuntimeObject*> held;
  ForEachControl(map.get(), &held);
  map->Clear();
  for (RuntimeObject* c : held) {
    if (ControlObject* ctl = AsControl(c)) ctl->window = nullptr;
    RuntimeUnlockObject(c);
  }
  if (w->holdsContaining) RuntimeUnlockObject(w->containing);
  w->containing = nullptr;
}

bool RecordReport(const std::string& text) {
  HostWindowTest::Reports().push_back(text);
  return true;
}

}  // namespace

ObjectDefinition* GetHostWindowClass() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("HostWindow");
    d->mInstanceSize = static_cast<int32_t>(sizeof(HostWindowObject));
    d->mFinalizer = {Fn(&HostWindowFinalizer), nullptr};
    SetEventList(d, sWindowEvents, RowCount(sWindowEvents));
    return d;
  }();
  return definition;
}

HostWindowObject* AsHostWindow(RuntimeObject* o) {
  return o && RuntimeObjectIsaDefinition(o, GetHostWindowClass()) ? reinterpret_cast<HostWindowObject*>(o)
                                                                   : nullptr;
}

std::vector<std::string>& HostWindowTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

ControlWindowHooks HostWindowTest::WindowHooks() {
  ControlWindowHooks hooks;
  hooks.controlMap = [](RuntimeObject* w) { return AsHostWindow(w) ? AsHostWindow(w)->controls : nullptr; };
  hooks.containingWindow = [](RuntimeObject* w) { return AsHostWindow(w) ? AsHostWindow(w)->containing : nullptr; };
  hooks.windowBounds = [](RuntimeObject* w) {
    const VornControlBounds& b = AsHostWindow(w)->bounds;
    return Rect{b.top, b.left, b.bottom, b.right};
  };
  hooks.setWindowBounds = [](RuntimeObject* w, const Rect& r) {
    AsHostWindow(w)->bounds = VornControlBounds{r.top, r.left, r.bottom, r.right};
  };
  hooks.nativeWindow = [](RuntimeObject* w) { return AsHostWindow(w) ? AsHostWindow(w)->native : nullptr; };
  hooks.collectWindowControls = [](RuntimeObject* w, std::vector<RuntimeObject*>* out) {
    ForEachControl(AsHostWindow(w) ? AsHostWindow(w)->controls : nullptr, out);
  };
  return hooks;
}

void HostWindowTest::SetUp() {
  Reports().clear();
  SetRuntimeErrorPresenter(RecordReport);
  SetControlWindowHooks(WindowHooks());
  GetHostWindowClass();  // classes are built once and live on; count objects only
  mBaseline = LiveObjectCount();
}

void HostWindowTest::TearDown() {
  EXPECT_EQ(TakePendingClassName(), "") << "an exception was left pending";
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects left alive";
  SetControlWindowHooks(ControlWindowHooks());
  SetRuntimeErrorPresenter(nullptr);
}

RuntimeObject* HostWindowTest::NewHostWindowObject(RuntimeObject* containing, bool hold, const Rect& bounds,
                                                   Window* native) {
  RuntimeObject* o = CreateInstanceFromDefinition(GetHostWindowClass());
  HostWindowObject* w = AsHostWindow(o);
  w->controls = new ControlMap();
  if (hold) RuntimeLockObject(containing);
  w->containing = containing;
  w->holdsContaining = hold ? 1 : 0;
  w->bounds = VornControlBounds{bounds.top, bounds.left, bounds.bottom, bounds.right};
  w->native = native;
  return o;
}

std::string HostWindowTest::TakePendingClassName() {
  RuntimeObject* e = TakePendingException();
  if (!e) return "";
  std::string name(e->classPtr->mName.View());
  RuntimeUnlockObject(e);
  return name;
}

}  // namespace vorn::test
