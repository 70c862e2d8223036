// The concrete control classes in a window without the runtime window layer: a small window
// class that holds a control map, a native test window and, for container controls, the
// window it is embedded in. The fixture registers the control-window hooks for it, makes
// control panes by firing CreatePane as the window layer does, records error reports and
// checks that every test leaves no object alive.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/support/control_test_support.h"
#include "objects/runtime_object.h"
#include "windows/control.h"
#include "windows/control_window_hooks.h"

namespace vorn::test {

struct HostWindowObject {
  RuntimeObject header;
  ControlMap* controls;
  RuntimeObject* containing;  // not held: it outlives the windows embedded in it
  VornControlBounds bounds;   // inside the containing window for an embedded one
  Window* native;             // nil for an embedded window
};

// Its events: Moved, Resized, Resizing, Close, KeyDown, Paint, MouseDown, Activate,
// Deactivate, EnableMenuItems (the window events container controls forward to).
ObjectDefinition* GetHostWindowClass();

// Packed property records: a big-endian index and the value in its packed form.
class PackedStream {
 public:
  PackedStream& Int(uint16_t index, int32_t value);
  PackedStream& Bool(uint16_t index, bool value);
  PackedStream& Text(uint16_t index, const std::string& value);
  PackedStream& Color(uint16_t index, uint32_t rgb);
  void ApplyTo(RuntimeObject* object) const;

 private:
  void Index(uint16_t index);
  std::string mBytes;
};

class ControlClassTest : public ::testing::Test {
 public:
  static std::vector<std::string>& Reports();

 protected:
  void SetUp() override;
  void TearDown() override;

  // A window object of its own over `native`, or one embedded in `containing` at bounds.
  HostWindowObject* NewHostWindow(Window* native, RuntimeObject* containing = nullptr,
                                  const Rect& bounds = Rect());
  // A control of the class filed in the window's map (the map holds it), with bounds in the
  // outermost window's coordinates; the stream's properties are applied before the pane.
  RuntimeObject* AddControl(ObjectDefinition* cls, const char* name, const Rect& bounds,
                            HostWindowObject* window, const PackedStream* stream = nullptr);
  // Fires CreatePane as the window layer does when the window gets its controls.
  void MakePane(RuntimeObject* control);
  void Install(RuntimeObject* target, const char* event, void* handler);

  TestWindow* native = nullptr;
  HostWindowObject* host = nullptr;

 private:
  int32_t mBaseline = 0;
  std::vector<RuntimeObject*> mWindows;
};

}  // namespace vorn::test
