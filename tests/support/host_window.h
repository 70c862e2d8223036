// Controls in a window without the runtime window layer: a small window class that holds a
// control map and, for an embedded window, the window it sits in. The fixture registers the
// control-window hooks for it, records error reports and checks that every test leaves no
// object alive and no exception pending.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/runtime_object.h"
#include "windows/control.h"
#include "windows/control_window_hooks.h"

namespace vorn::test {

struct HostWindowObject {
  RuntimeObject header;
  ControlMap* controls;
  // The window an embedded one sits in. Held only when asked: a window whose embedding
  // control is held by the containing window must not hold that window back.
  RuntimeObject* containing;
  uint8_t holdsContaining;
  VornControlBounds bounds;  // inside the containing window for an embedded one
  Window* native;            // nil for an embedded window
};

// Its events: Moved, Resized, Resizing, Close, KeyDown, Paint, MouseDown, Activate,
// Deactivate, EnableMenuItems (the window events container controls forward to).
ObjectDefinition* GetHostWindowClass();
HostWindowObject* AsHostWindow(RuntimeObject* object);

inline RuntimeObject* Obj(void* object) { return static_cast<RuntimeObject*>(object); }

class HostWindowTest : public ::testing::Test {
 public:
  static std::vector<std::string>& Reports();

 protected:
  // Call after the classes a test uses are built: the object count starts here.
  void SetUp() override;
  void TearDown() override;
  // The hooks over host windows; fixtures add what their embedding controls answer.
  virtual ControlWindowHooks WindowHooks();

  // A host window, one reference for the caller; `containing` is held when `hold` says so.
  RuntimeObject* NewHostWindowObject(RuntimeObject* containing, bool hold, const Rect& bounds, Window* native);
  // The class name of the pending exception, taken; empty when there is none.
  std::string TakePendingClassName();

 private:
  int32_t mBaseline = 0;
};

}  // namespace vorn::test
