// The language's ScrollBar and Slider classes: control objects that keep their range and
// value in fields until their Scroller pane exists, and in the pane afterwards.
#pragma once

#include "controls/scroller_router.h"
#include "objects/object_definition.h"
#include "windows/control.h"

namespace vorn {

struct ScrollerObject {
  VornControlObject base;
  RuntimeScrollerRouter* router;  // owned; nil until the pane is made
  ScrollerFields fields;
};

// Property selectors of scrollerPropGetter and scrollerPropSetter.
enum ScrollerProperty : int32_t {
  kScrollerMinimum = 0,
  kScrollerValue = 1,
  kScrollerMaximum = 2,
  kScrollerLineStep = 3,
  kScrollerPageStep = 4,
  kScrollerAcceptFocus = 5,
};

ObjectDefinition* GetScrollBarClassDefinition();
ObjectDefinition* GetSliderClassDefinition();
// The events each class's router and pane fire.
const ScrollerEventHooks* ScrollBarEventHooks();
const ScrollerEventHooks* SliderEventHooks();

// The object as a ScrollBar or Slider; nil for anything else.
ScrollerObject* AsScrollerObject(RuntimeObject* object);

}  // namespace vorn
