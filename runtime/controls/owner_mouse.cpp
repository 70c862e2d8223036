#include "controls/owner_mouse.h"

#include "windows/pane_focus.h"

namespace vorn {

// A pane whose object let it go (the object died or closed it) raises nothing: its owner
// pointer may be stale.
void* OwnerMouse::Handler(SubPane* pane, const ObjectHook* ControlMouseHooks::*which) const {
  if (!mHooks || !pane->GetRunControl()) return nullptr;
  return OwnerHandler(mOwner, mHooks->*which);
}

bool OwnerMouse::Down(SubPane* pane, int32_t x, int32_t y) {
  void* handler = Handler(pane, &ControlMouseHooks::mouseDown);
  if (!handler) return false;
  const Rect& bounds = pane->Bounds();
  pane->Lock();
  uint8_t take = CallEventHandler<uint8_t>(handler, mOwner, x - bounds.left, y - bounds.top);
  if (pane->Release()) return true;
  if (!take) return false;
  SetMouseCapturePane(pane);
  return true;
}

void OwnerMouse::Drag(SubPane* pane, int32_t x, int32_t y) {
  void* handler = Handler(pane, &ControlMouseHooks::mouseDrag);
  if (!handler) return;
  const Rect& bounds = pane->Bounds();
  pane->Lock();
  CallEventHandler(handler, mOwner, x - bounds.left, y - bounds.top);
  pane->Release();
}

void OwnerMouse::Up(SubPane* pane, int32_t x, int32_t y) {
  void* handler = Handler(pane, &ControlMouseHooks::mouseUp);
  if (!handler) return;
  const Rect& bounds = pane->Bounds();
  pane->Lock();
  CallEventHandler(handler, mOwner, x - bounds.left, y - bounds.top);
  pane->Release();
}

}  // namespace vorn
