// A canvas's Backdrop picture in a real window: drawn at the canvas's top-left, cropped to
// the canvas, white left out when the picture is transparent; read back from a screenshot.
#include <gtest/gtest.h>

#include <string>

#include "controls/canvas_class.h"
#include "controls/support/class_fixture.h"
#include "vorn/controls_api.h"
#include "vorn/graphics_api.h"
#include "vorn/picture_api.h"

namespace vorn {
namespace {

class CanvasBackdropTest : public test::ControlClassTest {
 protected:
  // w x h, the left `red` columns red, the rest `rest`.
  static RuntimeObject* Picture(int32_t w, int32_t h, int32_t red, uint32_t rest) {
    RuntimeObject* picture = newPicture(w, h, 32);
    RuntimeObject* g = pictureGraphicsGetter(picture, 0);
    graphicsForeColorSetter(g, 0, 0xFF0000);
    RuntimeGraphicsFillRect(g, 0, 0, red, h);
    graphicsForeColorSetter(g, 0, rest);
    RuntimeGraphicsFillRect(g, red, 0, w - red, h);
    RuntimeUnlockObject(g);
    return picture;
  }
  std::string PixelsAt(const std::string& shot, int x, int y) {
    return test::PictureTool("convert " + shot + " -format '%[hex:p{" + std::to_string(x) + "," + std::to_string(y) +
                       "}]' info:")
        .substr(0, 6);
  }
};

TEST_F(CanvasBackdropTest, TheBackdropIsDrawnAtTheCanvasAndCroppedToIt) {
  // Canvas at (20, 20) - (220, 120); a 300 x 50 backdrop, red then blue from column 150.
  RuntimeObject* canvas = AddControl(GetCanvasClassDefinition(), "Backdropped", MakeRect(20, 20, 220, 120), host);
  RuntimeObject* picture = Picture(300, 50, 150, 0x0000FF);
  canvasBackdropSetter(canvas, 0, picture);
  RuntimeUnlockObject(picture);
  // A transparent one on a second canvas: its white half shows the window behind.
  RuntimeObject* clear = AddControl(GetCanvasClassDefinition(), "Clear", MakeRect(20, 140, 60, 180), host);
  RuntimeObject* see = Picture(40, 40, 20, 0xFFFFFF);
  pictureTransparentSetter(see, 0, 1);
  canvasBackdropSetter(clear, 0, see);
  RuntimeUnlockObject(see);
  MakePane(canvas);
  MakePane(clear);
  test::ShowAndSettle(native);
  test::PumpFor(150);

  const std::string shot = std::string(VORN_BINARY_DIR) + "/canvas_backdrop.png";
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + shot);
  EXPECT_EQ(PixelsAt(shot, 20, 20), "FF0000") << "the picture's top-left at the canvas's";
  EXPECT_EQ(PixelsAt(shot, 169, 69), "FF0000");
  EXPECT_EQ(PixelsAt(shot, 170, 30), "0000FF");
  EXPECT_EQ(PixelsAt(shot, 219, 69), "0000FF");
  const std::string background = PixelsAt(shot, 5, 5);
  EXPECT_NE(background, "FFFFFF");
  EXPECT_EQ(PixelsAt(shot, 221, 30), background) << "cropped to the canvas";
  EXPECT_EQ(PixelsAt(shot, 100, 71), background) << "no taller than the picture";

  EXPECT_EQ(PixelsAt(shot, 25, 150), "FF0000");
  EXPECT_EQ(PixelsAt(shot, 50, 150), background) << "white of a transparent backdrop is left out";
}

}  // namespace
}  // namespace vorn
