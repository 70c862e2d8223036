// The job the printing tests print: two pages with a square each, so that a lost, swapped or
// misplaced page shows.
#pragma once

#include <cstdint>

#include "objects/runtime_object.h"

namespace vorn::testing {

constexpr uint32_t kFirstPageColor = 0xFF0000;
constexpr uint32_t kSecondPageColor = 0x0000FF;

// A red 50-dot square at the top left of the first page, a blue one at (100, 100) on the
// second; then the job ends with its Graphics object.
void PrintTwoPages(RuntimeObject* graphics);

}  // namespace vorn::testing
