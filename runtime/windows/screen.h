// The display as windows see it. There is one screen: the default GDK screen.
#pragma once

#include <cstdint>

#include "windows/rect.h"

namespace vorn {

struct ScreenInfo {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;
  int32_t availableLeft = 0;
  int32_t availableTop = 0;
  int32_t availableWidth = 0;
  int32_t availableHeight = 0;

  Rect Full() const;
  Rect Available() const;
};

int32_t GetScreenInfoCount();
// False for any index but 0. The available area is the whole screen (panels are not taken off).
bool GetScreenInfo(int32_t index, ScreenInfo* out);

}  // namespace vorn

extern "C" int32_t getScreenCount();
