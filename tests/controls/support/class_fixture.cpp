#include "controls/support/class_fixture.h"

#include <memory>

#include "controls/embedded_window_control.h"
#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "strings/runtime_error.h"
#include "vorn/control_api.h"

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

HostWindowObject* AsHost(RuntimeObject* o) {
  return o && RuntimeObjectIsaDefinition(o, GetHostWindowClass()) ? reinterpret_cast<HostWindowObject*>(o)
                                                                   : nullptr;
}

void HostWindowFinalizer(RuntimeObject* o) {
  HostWindowObject* w = AsHost(o);
  std::unique_ptr<ControlMap> map(w->controls);
  w->controls = nullptr;
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
  w->containing = nullptr;
}

ControlWindowHooks Hooks() {
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
  hooks.nativeWindow = [](RuntimeObject* w) { return AsHost(w) ? AsHost(w)->native : nullptr; };
  hooks.collectWindowControls = [](RuntimeObject* w, std::vector<RuntimeObject*>* out) {
    ControlMap* map = AsHost(w) ? AsHost(w)->controls : nullptr;
    if (!map) return;
    std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
    RuntimeObject* value = nullptr;
    while (it->Next(&value)) out->push_back(value);
  };
  hooks.isEmbeddedWindowControl = [](RuntimeObject* c) { return AsEmbeddedWindowControl(c) != nullptr; };
  hooks.templateWindow = [](RuntimeObject* c) { return EmbeddedTemplateWindow(c); };
  return hooks;
}

bool RecordReport(const std::string& text) {
  ControlClassTest::Reports().push_back(text);
  return true;
}

}  // namespace

ObjectDefinition* GetHostWindowClass() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("HostWindow");
    d->mInstanceSize = static_cast<int32_t>(sizeof(HostWindowObject));
    d->mFinalizer = {Fn(&HostWindowFinalizer), nullptr};
    SetEventList(d, sWindowEvents, static_cast<int32_t>(std::size(sWindowEvents)));
    return d;
  }();
  return definition;
}

// --- packed streams --------------------------------------------------------------------------

void PackedStream::Index(uint16_t index) {
  mBytes.push_back(static_cast<char>(index >> 8));
  mBytes.push_back(static_cast<char>(index & 0xFF));
}

PackedStream& PackedStream::Int(uint16_t index, int32_t value) {
  Index(index);
  auto u = static_cast<uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8) mBytes.push_back(static_cast<char>((u >> shift) & 0xFF));
  return *this;
}

PackedStream& PackedStream::Bool(uint16_t index, bool value) {
  Index(index);
  mBytes.push_back(value ? 1 : 0);
  return *this;
}

PackedStream& PackedStream::Text(uint16_t index, const std::string& value) {
  Index(index);
  auto n = static_cast<uint32_t>(value.size());
  for (int shift = 24; shift >= 0; shift -= 8) mBytes.push_back(static_cast<char>((n >> shift) & 0xFF));
  mBytes += value;
  return *this;
}

PackedStream& PackedStream::Color(uint16_t index, uint32_t rgb) {
  Index(index);
  for (int shift = 16; shift >= 0; shift -= 8) mBytes.push_back(static_cast<char>((rgb >> shift) & 0xFF));
  return *this;
}

void PackedStream::ApplyTo(RuntimeObject* object) const {
  string bytes(mBytes.data(), static_cast<int32_t>(mBytes.size()), kEncodingUnknown);
  RuntimeMassPropertySetter(object, bytes.Rep());
}

// --- the fixture -----------------------------------------------------------------------------

std::vector<std::string>& ControlClassTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

void ControlClassTest::SetUp() {
  ASSERT_TRUE(EnsureDisplay()) << "needs an X display";
  Reports().clear();
  SetRuntimeErrorPresenter(RecordReport);
  SetControlWindowHooks(Hooks());
  GetHostWindowClass();
  mBaseline = LiveObjectCount();
  native = new TestWindow(MakeRect(100, 100, 500, 400));
  host = NewHostWindow(native);
}

void ControlClassTest::TearDown() {
  // The objects go first, as they would before their window's panes in a closing window.
  for (auto it = mWindows.rbegin(); it != mWindows.rend(); ++it) RuntimeUnlockObject(*it);
  mWindows.clear();
  if (native) native->Close();
  RunLoopIteration();
  RuntimeObject* pending = TakePendingException();
  EXPECT_EQ(pending, nullptr) << "an exception was left pending";
  RuntimeUnlockObject(pending);
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects left alive";
  SetControlWindowHooks(ControlWindowHooks());
  SetRuntimeErrorPresenter(nullptr);
}

HostWindowObject* ControlClassTest::NewHostWindow(Window* nativeWindow, RuntimeObject* containing,
                                                  const Rect& bounds) {
  RuntimeObject* o = CreateInstanceFromDefinition(GetHostWindowClass());
  HostWindowObject* w = AsHost(o);
  w->controls = new ControlMap();
  w->containing = containing;
  w->bounds = VornControlBounds{bounds.top, bounds.left, bounds.bottom, bounds.right};
  w->native = nativeWindow;
  mWindows.push_back(o);
  return w;
}

RuntimeObject* ControlClassTest::AddControl(ObjectDefinition* cls, const char* name, const Rect& bounds,
                                            HostWindowObject* window, const PackedStream* stream) {
  RuntimeObject* o = CreateInstanceFromDefinition(cls);
  ControlObject* c = AsControl(o);
  c->name = string(name).GetRetainedRep();
  c->visible = c->enabled = 1;
  c->window = reinterpret_cast<RuntimeObject*>(window);
  SetControlBounds(c, bounds);
  if (stream) stream->ApplyTo(o);
  window->controls->SetEntry(string(name), o);  // the map takes the creation reference
  return o;
}

void ControlClassTest::MakePane(RuntimeObject* control) {
  FireEvent(control, GetControlEventHook(kControlEventCreatePane));
}

void ControlClassTest::Install(RuntimeObject* target, const char* event, void* handler) {
  RuntimeInstallInstanceEventHandler(target, string(event).Rep(), handler);
}

}  // namespace vorn::test
