// The language's GroupBox class: a titled frame (GroupBox pane) around other controls, with
// the caption and text style kept in the object.
#pragma once

#include "controls/group_box_pane.h"
#include "objects/object_definition.h"
#include "windows/control.h"

namespace vorn {

struct GroupBoxObject {
  VornControlObject base;
  StringRep* textFont;
  int16_t textSize;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
  StringRep* caption;
};

ObjectDefinition* GetGroupBoxClassDefinition();
const ControlMouseHooks* GroupBoxEventHooks();
// The object as a GroupBox; nil for anything else.
GroupBoxObject* AsGroupBoxObject(RuntimeObject* object);

}  // namespace vorn
