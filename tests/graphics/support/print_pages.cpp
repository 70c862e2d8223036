#include "graphics/support/print_pages.h"

#include "vorn/graphics_api.h"

namespace vorn::testing {

void PrintTwoPages(RuntimeObject* graphics) {
  graphicsForeColorSetter(graphics, 0, kFirstPageColor);
  RuntimeGraphicsFillRect(graphics, 0, 0, 50, 50);
  RuntimeGraphicsNextPage(graphics);
  graphicsForeColorSetter(graphics, 0, kSecondPageColor);
  RuntimeGraphicsFillRect(graphics, 100, 100, 50, 50);
  RuntimeUnlockObject(graphics);
}

}  // namespace vorn::testing
