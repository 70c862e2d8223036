// RectControl: the visual control class (position, size, visibility, enabling, anchoring,
// help texts, cursor, drops, redrawing) every concrete control derives from.
#pragma once

#include "objects/object_definition.h"
#include "windows/control.h"

namespace vorn {

// RectControl events, numbered after Control's three.
enum RectControlEvent : int32_t {
  kRectEventMouseMove,
  kRectEventMouseEnter,
  kRectEventMouseExit,
  kRectEventDropObject,
  kRectEventMouseWheel,
  kRectEventConstructContextualMenu,
  kRectEventContextualMenuAction,
};

ObjectDefinition* GetRectControlClassDefinition();
ObjectHook* GetRectControlEventHook(RectControlEvent event);

bool IsRectControl(RuntimeObject* object);

}  // namespace vorn
