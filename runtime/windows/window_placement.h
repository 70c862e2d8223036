// Where new windows go on the screen, and keeping window rectangles on a screen.

#pragma once

#include <cstdint>
#include <vector>

#include "windows/rect.h"
#include "windows/screen.h"

namespace vorn {

// Index of the screen whose full rectangle overlaps the rectangle most; without overlap the
// one whose top-left corner is nearest; 0 when there are no screens.
int32_t BestScreenForRect(const Rect& r, const std::vector<ScreenInfo>& screens);

// Fits a window rectangle on a screen's available area. Modes 0 and 1 keep the size and move
// the rectangle inside (mode 1 then shrinks it to fit), mode 2 clamps the bottom, mode 3 keeps
// the top below the screen's top.
void PlaceRectOnScreens(Rect* r, int32_t mode, const std::vector<ScreenInfo>& screens);

// Placement of a new window relative to a reference rectangle (the front window of the same
// layer, or nil): 0 offset by (4, 100), 1 centred on the reference and 30 below its top,
// 2 main screen, 3 and 5 the reference's screen, 4 staggered by 20 from the reference.
void PositionRect(Rect* r, int32_t placement, const Rect* reference,
                  const std::vector<ScreenInfo>& screens);

// The same on the real screens, with the front window of the kind's layer as reference.
void PositionNewWindow(Rect* r, int32_t placement, int32_t kind);
void PlaceWindowOnScreen(Rect* r, int32_t mode);

std::vector<ScreenInfo> CurrentScreens();

}  // namespace vorn
