// The language's Screen class: a snapshot of one display's rectangle, depth and the area
// windows may use.
#pragma once

#include <cstddef>
#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

struct ScreenObject {
  RuntimeObject header;
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  int32_t depth;
  int32_t availableLeft;
  int32_t availableTop;
  int32_t availableWidth;
  int32_t availableHeight;
};

// Built once; the same definition on every call.
ObjectDefinition* GetScreenClassDefinition();

}  // namespace vorn
