// The desktop's font setting as the window layer reads it at start-up ("gtk-font-name").
// Ports resolve the logical font name "System" and sizes below 1 with it.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// The window layer calls this once at start-up; until then the font is "Sans" at 10 points.
void SetSystemFont(const string& name, int32_t size);
const string& SystemFontName();
int32_t SystemFontSize();

}  // namespace vorn
