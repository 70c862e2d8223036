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

}  // namespace

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

ControlWindowHooks ControlTest::WindowHooks() {
  ControlWindowHooks hooks = HostWindowTest::WindowHooks();
  hooks.windowMove = [](RuntimeObject* w, int32_t l, int32_t t, int32_t width, int32_t height) {
    AsHostWindow(w)->bounds = VornControlBounds{static_cast<int16_t>(t), static_cast<int16_t>(l),
                                                static_cast<int16_t>(t + height), static_cast<int16_t>(l + width)};
  };
  hooks.isEmbeddedWindowControl = [](RuntimeObject* c) {
    return RuntimeObjectIsaDefinition(c, GetEmbedControlDefinition());
  };
  hooks.templateWindow = [](RuntimeObject* c) {
    return RuntimeObjectIsaDefinition(c, GetEmbedControlDefinition()) ? AsTest(c)->templateWindow : nullptr;
  };
  return hooks;
}

void ControlTest::SetUp() {
  SetterLog().clear();
  GetTestControlDefinition();
  GetEmbedControlDefinition();
  HostWindowTest::SetUp();
  root = new ContainerPane(nullptr, 0, MakeRect(0, 0, 1000, 1000));
}

void ControlTest::TearDown() {
  for (RuntimeObject* o : mOwned) {
    if (ControlObject* c = AsControl(o)) DetachControlPane(c);
  }
  for (RuntimeObject* o : mOwned) RuntimeUnlockObject(o);
  mOwned.clear();
  root->Close();
  HostWindowTest::TearDown();
}

HostWindowObject* ControlTest::NewWindow(RuntimeObject* containing, int32_t left, int32_t top) {
  RuntimeObject* o = NewHostWindowObject(containing, true, MakeRect(left, top, left + 400, top + 300), nullptr);
  mOwned.push_back(o);
  return AsHostWindow(o);
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

}  // namespace vorn::test
