// Reading what a window shows on the screen, for GUI tests that check drawing as a user would
// see it; gui_support.h clicks into it.
#pragma once

#include <cstdint>
#include <string>

#include "windows/window.h"

namespace vorn::test {

// The colour (&hRRGGBB) the screen shows at a point of the window's content; 0xFFFFFFFF when
// it cannot be read.
uint32_t WindowScreenPixel(Window* window, int32_t h, int32_t v);
// Saves what the screen shows of the window's content as a PNG file; false when it cannot.
bool SaveWindowScreenshot(Window* window, const std::string& path);
// Lets pending exposes of the window draw, so the screen shows its current state.
void FlushWindowDrawing(Window* window);

}  // namespace vorn::test
