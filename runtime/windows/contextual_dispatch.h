// The contextual menu of a right click: the control under the click, its parent controls and
// then its window (and the windows holding that one) are each asked to add items to one menu
// (ConstructContextualMenu); the menu pops up at the click, and the chosen item goes along the
// same chain (ContextualMenuAction) until one object takes it.
#pragma once

#include <cstdint>

#include "objects/runtime_object.h"

namespace vorn {

// target: the control or window under the click; (x, y): the click in the coordinates of the
// window pane it happened in. True when a chosen item was taken by a handler.
bool HandleContextualClick(RuntimeObject* target, int32_t x, int32_t y);

}  // namespace vorn
