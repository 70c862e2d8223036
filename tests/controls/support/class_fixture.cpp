#include "controls/support/class_fixture.h"

#include "controls/embedded_window_control.h"
#include "objects/event_dispatch.h"
#include "vorn/control_api.h"

namespace vorn::test {

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

ControlWindowHooks ControlClassTest::WindowHooks() {
  ControlWindowHooks hooks = HostWindowTest::WindowHooks();
  hooks.isEmbeddedWindowControl = [](RuntimeObject* c) { return AsEmbeddedWindowControl(c) != nullptr; };
  hooks.templateWindow = [](RuntimeObject* c) { return EmbeddedTemplateWindow(c); };
  return hooks;
}

void ControlClassTest::SetUp() {
  ASSERT_TRUE(EnsureDisplay()) << "needs an X display";
  HostWindowTest::SetUp();
  native = new TestWindow(MakeRect(100, 100, 500, 400));
  host = NewHostWindow(native);
}

void ControlClassTest::TearDown() {
  // The objects go first, as they would before their window's panes in a closing window.
  for (auto it = mWindows.rbegin(); it != mWindows.rend(); ++it) RuntimeUnlockObject(*it);
  mWindows.clear();
  if (native) native->Close();
  RunLoopIteration();
  HostWindowTest::TearDown();
}

HostWindowObject* ControlClassTest::NewHostWindow(Window* nativeWindow, RuntimeObject* containing,
                                                  const Rect& bounds) {
  // Not held: the containing window outlives the windows embedded in it.
  RuntimeObject* o = NewHostWindowObject(containing, false, bounds, nativeWindow);
  mWindows.push_back(o);
  return AsHostWindow(o);
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
