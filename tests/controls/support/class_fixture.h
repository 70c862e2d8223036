// The concrete control classes in host windows over a native test window: the fixture makes
// control panes by firing CreatePane as the window layer does, and answers the embedding
// control's template window through the control layer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/support/control_test_support.h"
#include "support/host_window.h"

namespace vorn::test {

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

class ControlClassTest : public HostWindowTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  ControlWindowHooks WindowHooks() override;

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
  std::vector<RuntimeObject*> mWindows;
};

}  // namespace vorn::test
