// Per-instance event handlers: a window's code implementing an event of one control placed on
// it. The control gets a private copy of its class's event table, and the handler, entered
// with the control as its object, swaps "self" and "me" so that "me" is the control and
// "self" the window (or enclosing object) whose code it is.
#pragma once

#include "objects/runtime_class.h"

namespace vorn {

// Nesting followed by the container-chain walk at most; deeper chains are malformed.
constexpr int32_t kMaxContainerChain = 256;

}  // namespace vorn
