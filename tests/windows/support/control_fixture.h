// Controls in host windows without panes of the runtime window: an embedded-window control
// and a control class with properties of every packed value form.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/host_window.h"
#include "windows/container_pane.h"

namespace vorn::test {

// RectControl with its own properties 26 and up.
struct TestControlObject {
  VornControlObject base;
  double minimum;      // 26 Minimum f8, direct
  float ratio;         // 27 Ratio f4, setter
  int32_t color;       // 28 FillColor c, setter
  int16_t small;       // 29 Small i2, direct
  int16_t guard;       //    must never change
  StringRep* caption;  // 30 Caption s, setter
  uint8_t flag;        // 31 Flag b, direct
  uint32_t weird;      // 32 Weird u4, direct (no packed form)
  double scale;        // 33 Scale f8, setter
  double precise;      // 35 Precise d, direct
  RuntimeObject* templateWindow;  // embedded-window controls only
};

enum TestProperty : uint16_t {
  kPropMinimum = 26,
  kPropRatio,
  kPropFillColor,
  kPropSmall,
  kPropCaption,
  kPropFlag,
  kPropWeird,
  kPropScale,
  kPropRaiser,
  kPropPrecise,
};

ObjectDefinition* GetTestControlDefinition();
ObjectDefinition* GetEmbedControlDefinition();  // a TestControl showing a template window
ObjectHook* TestControlActionHook();            // the event "Action" TestControl declares

// Setter calls of TestControl in order ("Ratio 1.5", "FillColor 1193046", ...).
std::vector<std::string>& SetterLog();

class ControlTest : public HostWindowTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Adds Move of an embedded window and the test's embedding control.
  ControlWindowHooks WindowHooks() override;

  HostWindowObject* NewWindow(RuntimeObject* containing = nullptr, int32_t left = 0, int32_t top = 0);
  TestControlObject* NewControl(const char* name, int32_t index = kNotInControlArray);
  // Files the control under its key and holds it for the map, as adding a control does.
  void AddToWindow(HostWindowObject* window, TestControlObject* ctl);
  // A pane without widget for the control, inside `parent` (nil: the root pane).
  SubPane* GiveControlPane(TestControlObject* ctl, const Rect& bounds, SubPane* parent = nullptr);
  // Releases a window created by NewWindow; its controls go with it.
  void Release(RuntimeObject* object) { RuntimeUnlockObject(object); }

  ContainerPane* root = nullptr;

 private:
  std::vector<RuntimeObject*> mOwned;
};

inline ControlObject* Ctl(TestControlObject* object) { return &object->base; }

}  // namespace vorn::test
