// Drawing defaults set at start-up: the default colour table, the default text style and
// the ellipsis that ends cut strings.
#pragma once

#include <cstdint>

#include "graphics/color_types.h"
#include "graphics/text_style.h"
#include "strings/vstring.h"

namespace vorn {

constexpr int32_t kDefaultColorCount = 6;

// Fills the colour table, clears graphicsDefaultsFlag and sets the default text style.
void InitGraphicsDefaults();
// Sets the ellipsis string.
void InitEllipsisString();

// Entry index of the table, 0 <= index < kDefaultColorCount; black for any other index.
RGB48 GetDefaultColor(int32_t index);
const TextStyle& DefaultTextStyle();
// "..." once InitEllipsisString has run.
const string& EllipsisString();

}  // namespace vorn
