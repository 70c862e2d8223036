// What every control class of this folder shares: where a new pane goes, the text style a
// control keeps in five fields, handlers looked up by event name on objects whose class this
// code does not know (template windows), and the pane of a control as its own pane class.
#pragma once

#include <cstdint>

#include "graphics/text_style.h"
#include "windows/control.h"

namespace vorn {

// The pane a control's new pane is made in: the native window of the control's window, or of
// the window that window is embedded in. Nil when there is none yet.
SubPane* ControlParentPane(ControlObject* ctl);

// Puts the control's new pane inside the pane of its initial parent when that parent has one
// already in the same window (a control made over a group box after the box's pane).
void JoinInitialParentPane(ControlObject* ctl, SubPane* pane);

// The five text-style fields of a control, wherever its class keeps them.
struct ControlStyleFields {
  StringRep** font;
  int16_t* size;
  uint8_t* bold;
  uint8_t* italic;
  uint8_t* underline;
};

// A TextStyle with the control's font, size, bold, italic and underline.
TextStyle GetControlTextStyle(const ControlStyleFields& fields);

// The handler the object has for the event of that name (letter case ignored, the most
// derived event first); nil when it has none.
void* HandlerByEventName(RuntimeObject* object, const char* eventName);

// The control's pane when it is of that pane class; nil otherwise.
template <typename PaneClass>
PaneClass* ControlPaneAs(RuntimeObject* object) {
  return dynamic_cast<PaneClass*>(ControlPane(AsControl(object)));
}

}  // namespace vorn
