// The language's StaticText class: a caption with alignment, colour, wrapping and text style,
// kept in the object and applied to its StaticTextGeneric pane, and bindable to a data
// control by name.
#pragma once

#include "controls/static_text_pane.h"
#include "objects/object_definition.h"
#include "windows/control.h"

namespace vorn {

struct StaticTextObject {
  VornControlObject base;
  // The text style in the order of a TextStyle record.
  StringRep* textFont;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
  int16_t textSize;
  StringRep* text;  // Text and Caption
  int16_t textAlign;
  uint32_t textColor;
  uint8_t multiLine;
  StringRep* dataSource;
  StringRep* dataField;
};

ObjectDefinition* GetStaticTextClassDefinition();
const StaticTextHooks* StaticTextEventHooks();
// The object as a StaticText; nil for anything else.
StaticTextObject* AsStaticTextObject(RuntimeObject* object);

}  // namespace vorn
