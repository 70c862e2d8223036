// The mouse events of passive panes (progress bars, shapes) on the language object that owns
// them: handlers get the point relative to the pane's top-left corner, and a MouseDown the
// handler takes makes the pane the one that tracks the mouse until the button goes up.
#pragma once

#include <cstdint>

#include "controls/control_hooks.h"
#include "windows/sub_pane.h"

namespace vorn {

class OwnerMouse {
 public:
  void SetOwner(RuntimeObject* owner, const ControlMouseHooks* hooks) {
    mOwner = owner;
    mHooks = hooks;
  }
  RuntimeObject* Owner() const { return mOwner; }

  // True when the owner's handler took the click (or the pane closed meanwhile).
  bool Down(SubPane* pane, int32_t x, int32_t y);
  void Drag(SubPane* pane, int32_t x, int32_t y);
  void Up(SubPane* pane, int32_t x, int32_t y);

 private:
  void* Handler(SubPane* pane, const ObjectHook* ControlMouseHooks::*which) const;

  RuntimeObject* mOwner = nullptr;
  const ControlMouseHooks* mHooks = nullptr;
};

}  // namespace vorn
