// The language's questions to the desktop that belong to no window: the bell, the contextual
// click, the theme's colours, the open windows in front-to-back order, the control's window
// and whether help tags show.
#pragma once

#include <cstdint>

#include "vorn/object_abi.h"

extern "C" {
// Beep: the display's bell; nothing without a display.
void RuntimeBeep(void);
// IsContextualClick: whether the event being handled is a press of the contextual-menu (right)
// mouse button.
uint8_t IsCMMClick(void);

// The theme's colours as &h00RRGGBB; black before the theme has been read.
uint32_t getFillColor(void);
uint32_t getFrameColor(void);
uint32_t getTextColor(void);
uint32_t getHilightColor(void);
uint32_t getLightTingeColor(void);
uint32_t getDarkTingeColor(void);
uint32_t getLightBevelColor(void);
uint32_t getDarkBevelColor(void);
uint32_t GetDisabledTextColor(void);

// WindowCount and Window (index): the open windows of the program, index 0 the front one;
// nil for an index outside. The window carries one reference for the caller.
int32_t getWindowCount(void);
VornRuntimeObject* getWindow(int32_t index);
// The window a control is on (one reference for the caller); nil for nil.
VornRuntimeObject* getControlWindow(VornRuntimeObject* control);

// App.BalloonHelpVisible: whether help tags show when the pointer rests on a control.
uint8_t AppBalloonHelpVisibleGetter(VornRuntimeObject* app, int32_t param);
void AppBalloonHelpVisibleSetter(VornRuntimeObject* app, int32_t param, uint8_t visible);
}
