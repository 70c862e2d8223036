// The language's Canvas class: a RuntimeCanvas pane whose Paint event compiled code draws
// in, with a backdrop picture, a persistent Graphics object, scrolling, keys and focus.
#pragma once

#include "controls/canvas_pane.h"
#include "objects/object_definition.h"
#include "windows/control.h"

namespace vorn {

struct CanvasObject {
  VornControlObject base;
  CanvasFields fields;
};

ObjectDefinition* GetCanvasClassDefinition();
const CanvasHooks* CanvasEventHooks();
// The object as a Canvas (container controls included); nil for anything else.
CanvasObject* AsCanvasObject(RuntimeObject* object);

}  // namespace vorn
