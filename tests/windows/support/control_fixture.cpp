#include "windows/support/control_fixture.h"

#include <cstddef>
#include <memory>

#include "objects/exceptions.h"
#include "strings/runtime_error.h"
#include "windows/control_containment.h"
#include "windows/rect_control.h"

namespace vorn::test {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Off(size_t offset) { return static_cast<int32_t>(offset); }

TestControlObject* AsTest(RuntimeObject* object) { return reinterpret_cast<TestControlObject*>(object); }

void RatioSetter(RuntimeObject* o, int32_t, float value) {
  AsTest(o)->ratio = value;
  SetterLog().push_back("Ratio " + std::to_string(value));
}
void ColorSetter(RuntimeObject* o, int32_t, int32_t value) {
  AsTest(o)->color = value;
  SetterLog().push_back("FillColor " + std::to_string(value));
}
void CaptionSetter(RuntimeObject* o, int32_t, StringRep* value) {
  stringSetter(o, Off(offsetof(TestControlObject, caption)), value);
  SetterLog().push_back("Caption " + std::string(string::Share(value).View()));
}
void ScaleSetter(RuntimeObject* o, int32_t, double value) {
  AsTest(o)->scale = value;
  SetterLog().push_back("Scale " + std::to_string(value));
}
void RaiserSetter(RuntimeObject*, int32_t, int32_t value) {
  SetterLog().push_back("Raiser " + std::to_string(value));
  RuntimeRaiseOutOfBoundsException();
}
void NativeOpen(RuntimeObject*) { SetterLog().push_back("native Open"); }

const PropertyRow kTestProperties[] = {
    {0, "Minimum", "f8", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr,
     Off(offsetof(TestControlObject, minimum)), 0},
    {0, "Ratio", "f4", DirectFieldMarker(), nullptr, Fn(&RatioSetter), "RatioSetter",
     Off(offsetof(TestControlObject, ratio)), 0},
    {0, "FillColor", "c", DirectFieldMarker(), nullptr, Fn(&ColorSetter), "ColorSetter",
     Off(offsetof(TestControlObject, color)), 0},
    {0, "Small", "i2", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr,
     Off(offsetof(TestControlObject, small)), 0},
    {0, "Caption", "s", Fn(&stringGetter), "stringGetter", Fn(&CaptionSetter), "CaptionSetter",
     Off(offsetof(TestControlObject, caption)), 0},
    {0, "Flag", "b", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr,
     Off(offsetof(TestControlObject, flag)), 0},
    {0, "Weird", "u4", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr,
     Off(offsetof(TestControlObject, weird)), 0},
    {0, "Scale", "f8", DirectFieldMarker(), nullptr, Fn(&ScaleSetter), "ScaleSetter",
     Off(offsetof(TestControlObject, scale)), 0},
    {0, "Raiser", "i4", DirectFieldMarker(), nullptr, Fn(&RaiserSetter), "RaiserSetter", 0, 0},
    {0, "Precise", "d", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr,
     Off(offsetof(TestControlObject, precise)), 0},
};

EventRow sTestEvents[] = {{0, "Action", "", "", nullptr, 0}};
const EventImplRow kTestImplementations[] = {{"Open", Fn(&NativeOpen), nullptr}};

void TestControlFinalizer(RuntimeObject* o) {
  RuntimeUnlockString(AsTest(o)->caption);
  AsTest(o)->caption = nullptr;
  RuntimeUnlockObject(AsTest(o)->templateWindow);
  AsTest(o)->templateWindow = nullptr;
}

HostWindowObject* AsHost(RuntimeObject* o) {
  return RuntimeObjectIsaDefinition(o, GetHostWindowDefinition()) ? reinterpret_cast<HostWindowObject*>(o) : nullptr;
}

void HostWindowFinalizer(RuntimeObject* o) {
  HostWindowObject* w = AsHost(o);
  std::unique_ptr<ControlMap> map(w->controls);
  w->controls = nullptr;  // controls dying now find no map to leave
  std::vector<RuntimeObject*> held;
  std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
  RuntimeObject* value = nullptr;
  while (it->Next(&value)) held.push_back(value);
  it.reset();
  map->Clear();
  for (RuntimeObject* c : held) {
    if (ControlObject* ctl = AsControl(c)) ctl->window = nullptr;
    RuntimeUnlockObject(c);
  }
  RuntimeUnlockObject(w->containing);
}

ControlWindowHooks TestHooks() {
  ControlWindowHooks hooks;
  hooks.controlMap = [](RuntimeObject* w) { return AsHost(w) ? AsHost(w)->controls : nullptr; };
  hooks.containingWindow = [](RuntimeObject* w) { return AsHost(w) ? AsHost(w)->containing : nullptr; };
  hooks.windowBounds = [](RuntimeObject* w) {
    const VornControlBounds& b = AsHost(w)->bounds;
    return Rect{b.top, b.left, b.bottom, b.right};
  };
  hooks.setWindowBounds = [](RuntimeObject* w, const Rect& r) {
    AsHost(w)->bounds = VornControlBounds{r.top, r.left, r.bottom, r.right};
  };
  hooks.windowMove = [](RuntimeObject* w, int32_t l, int32_t t, int32_t width, int32_t height) {
    AsHost(w)->bounds = VornControlBounds{static_cast<int16_t>(t), static_cast<int16_t>(l),
                                          static_cast<int16_t>(t + height), static_cast<int16_t>(l + width)};
    ++AsHost(w)->moves;
  };
  hooks.collectWindowControls = [](RuntimeObject* w, std::vector<RuntimeObject*>* out) {
    ControlMap* map = AsHost(w) ? AsHost(w)->controls : nullptr;
    if (!map) return;
    std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
    RuntimeObject* value = nullptr;
    while (it->Next(&value)) out->push_back(value);
  };
  hooks.isEmbeddedWindowControl = [](RuntimeObject* c) {
    return RuntimeObjectIsaDefinition(c, GetEmbedControlDefinition());
  };
  hooks.templateWindow = [](RuntimeObject* c) {
    return RuntimeObjectIsaDefinition(c, GetEmbedControlDefinition()) ? AsTest(c)->templateWindow : nullptr;
  };
  return hooks;
}

bool RecordReport(const std::string& text) {
  ControlTest::Reports().push_back(text);
  return true;
}

}  // namespace

ObjectDefinition* GetHostWindowDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("HostWindow");
    d->mInstanceSize = static_cast<int32_t>(sizeof(HostWindowObject));
    d->mFinalizer = {Fn(&HostWindowFinalizer), nullptr};
    return d;
  }();
  return definition;
}

ObjectDefinition* GetTestControlDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("TestControl");
    d->mSuper = GetRectControlClassDefinition();
    d->mInstanceSize = static_cast<int32_t>(sizeof(TestControlObject));
    d->mFinalizer = {Fn(&TestControlFinalizer), nullptr};
    d->SetInstanceVariables(BuildPropertyList(kTestProperties, static_cast<int32_t>(std::size(kTestProperties))));
    SetEventList(d, sTestEvents, 1);
    AddEventImplementations(d, kTestImplementations, 1);
    return d;
  }();
  return definition;
}

ObjectDefinition* GetEmbedControlDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("TestEmbedControl");
    d->mSuper = GetTestControlDefinition();
    d->mInstanceSize = static_cast<int32_t>(sizeof(TestControlObject));
    return d;
  }();
  return definition;
}

ObjectHook* TestControlActionHook() {
  GetTestControlDefinition();
  return sTestEvents[0].hook;
}

std::vector<std::string>& SetterLog() {
  static std::vector<std::string> log;
  return log;
}

std::vector<std::string>& ControlTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

void ControlTest::SetUp() {
  Reports().clear();
  SetterLog().clear();
  SetRuntimeErrorPresenter(RecordReport);
  SetControlWindowHooks(TestHooks());
  // Classes are built once and live on; count objects only.
  GetTestControlDefinition();
  GetEmbedControlDefinition();
  GetHostWindowDefinition();
  mBaseline = LiveObjectCount();
  root = new ContainerPane(nullptr, 0, MakeRect(0, 0, 1000, 1000));
}

void ControlTest::TearDown() {
  for (RuntimeObject* o : mOwned) {
    if (ControlObject* c = AsControl(o)) DetachControlPane(c);
  }
  for (RuntimeObject* o : mOwned) RuntimeUnlockObject(o);
  mOwned.clear();
  root->Close();
  EXPECT_EQ(TakePendingClassName(), "");
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects left alive";
  SetControlWindowHooks(ControlWindowHooks());
  SetRuntimeErrorPresenter(nullptr);
}

HostWindowObject* ControlTest::NewWindow(RuntimeObject* containing, int32_t left, int32_t top) {
  RuntimeObject* o = CreateInstanceFromDefinition(GetHostWindowDefinition());
  HostWindowObject* w = AsHost(o);
  w->controls = new ControlMap();
  RuntimeLockObject(containing);
  w->containing = containing;
  w->bounds = VornControlBounds{static_cast<int16_t>(top), static_cast<int16_t>(left),
                                static_cast<int16_t>(top + 300), static_cast<int16_t>(left + 400)};
  mOwned.push_back(o);
  return w;
}

TestControlObject* ControlTest::NewControl(const char* name, int32_t index) {
  RuntimeObject* o = CreateInstanceFromDefinition(GetTestControlDefinition());
  TestControlObject* c = AsTest(o);
  c->base.name = string(name).GetRetainedRep();
  c->base.index = index;
  c->base.visible = c->base.enabled = 1;
  mOwned.push_back(o);
  return c;
}

void ControlTest::AddToWindow(HostWindowObject* window, TestControlObject* ctl) {
  ctl->base.window = Obj(window);
  RuntimeLockObject(Obj(ctl));
  window->controls->SetEntry(ControlMapKey(string::Share(ctl->base.name), ctl->base.index), Obj(ctl));
}

SubPane* ControlTest::GiveControlPane(TestControlObject* ctl, const Rect& bounds, SubPane* parent) {
  auto* pane = new ContainerPane(parent ? parent : root, 0, bounds);
  AttachControlPane(Ctl(ctl), pane);
  SetControlBounds(Ctl(ctl), bounds);
  return pane;
}

std::string ControlTest::TakePendingClassName() {
  RuntimeObject* e = TakePendingException();
  if (!e) return "";
  std::string name(e->classPtr->mName.View());
  RuntimeUnlockObject(e);
  return name;
}

}  // namespace vorn::test
