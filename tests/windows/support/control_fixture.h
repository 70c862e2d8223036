// Controls without the runtime window: a small window class holding a control map, an
// embedded-window control, and a control class with properties of every packed value form.
// The fixture registers the window hooks for them, collects error reports and checks that
// every test leaves no object alive and no exception pending.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/runtime_object.h"
#include "windows/container_pane.h"
#include "windows/control.h"
#include "windows/control_window_hooks.h"

namespace vorn::test {

struct HostWindowObject {
  RuntimeObject header;
  ControlMap* controls;
  RuntimeObject* containing;  // held
  VornControlBounds bounds;
  int32_t moves;
};

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

ObjectDefinition* GetHostWindowDefinition();
ObjectDefinition* GetTestControlDefinition();
ObjectDefinition* GetEmbedControlDefinition();  // a TestControl showing a template window
ObjectHook* TestControlActionHook();            // the event "Action" TestControl declares

// Setter calls of TestControl in order ("Ratio 1.5", "FillColor 1193046", ...).
std::vector<std::string>& SetterLog();

class ControlTest : public ::testing::Test {
 public:
  static std::vector<std::string>& Reports();

 protected:
  void SetUp() override;
  void TearDown() override;

  HostWindowObject* NewWindow(RuntimeObject* containing = nullptr, int32_t left = 0, int32_t top = 0);
  TestControlObject* NewControl(const char* name, int32_t index = kNotInControlArray);
  // Files the control under its key and holds it for the map, as adding a control does.
  void AddToWindow(HostWindowObject* window, TestControlObject* ctl);
  // A pane without widget for the control, inside `parent` (nil: the root pane).
  SubPane* GiveControlPane(TestControlObject* ctl, const Rect& bounds, SubPane* parent = nullptr);
  // Releases a window created by NewWindow; its controls go with it.
  void Release(RuntimeObject* object) { RuntimeUnlockObject(object); }
  std::string TakePendingClassName();

  ContainerPane* root = nullptr;

 private:
  int32_t mBaseline = 0;
  std::vector<RuntimeObject*> mOwned;
};

inline RuntimeObject* Obj(void* object) { return static_cast<RuntimeObject*>(object); }
inline ControlObject* Ctl(TestControlObject* object) { return &object->base; }

}  // namespace vorn::test
