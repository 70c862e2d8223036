// The events a control pane fires on the language object that owns it. A control class fills
// one table of hooks per class; the pane keeps the owner and a pointer to its class's table,
// and looks each handler up when the event happens (so per-instance handlers set later count).
#pragma once

#include <cstdint>

#include "objects/event_dispatch.h"

namespace vorn {

struct ControlMouseHooks {
  const ObjectHook* mouseDown = nullptr;  // (X, Y) As Boolean
  const ObjectHook* mouseDrag = nullptr;  // (X, Y)
  const ObjectHook* mouseUp = nullptr;    // (X, Y)
};

// The handler for a hook of the owner; nil for a nil owner or table entry.
inline void* OwnerHandler(RuntimeObject* owner, const ObjectHook* hook) {
  return owner && hook ? RuntimeGetHookHandler(owner, hook) : nullptr;
}

}  // namespace vorn
