// Integers at the ends of their range handed to controls and drawing go as far as they can and
// (in the sanitizer build) compute nothing that overflows on the way.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "controls/canvas_class.h"
#include "controls/popup_class.h"
#include "controls/static_text_class.h"
#include "editfield/support/edit_field_fixture.h"
#include "graphics/drawable_pane.h"
#include "graphics/picture_object.h"
#include "vorn/controls_api.h"
#include "vorn/editfield_api.h"
#include "vorn/graphics_api.h"
#include "vorn/picture_api.h"
#include "vorn/popup_api.h"
#include "support/window_pixels.h"
#include "windows/control.h"

namespace vorn {
namespace {

using test::kEfText;
using test::PackedStream;

class EdgeArithmeticTest : public test::EditFieldTest {
 protected:
  std::string SelectedAfter(int32_t start, int32_t length) {
    RuntimeObject* field = NewField(PackedStream().Text(kEfText, "abcdef"));
    editSelStartSetter(field, 0, start);
    editSelLengthSetter(field, 0, length);
    return SelText(field);
  }
  int32_t ComboSelectionAfter(int32_t start, int32_t length) {
    RuntimeObject* combo = AddControl(GetComboBoxClassDefinition(), NextName().c_str(), MakeRect(20, 60, 220, 90), host);
    AsControl(combo)->windowPane = native;
    PopupMenuCreatePane(combo);
    RuntimeComboBoxTextSetter(combo, 0, string("abcdef").Rep());
    RuntimeComboBoxSelStartSetter(combo, 0, start);
    RuntimeComboBoxSelLengthSetter(combo, 0, length);
    return RuntimeComboBoxSelLengthGetter(combo, 0);
  }
  // The canvas's Graphics measuring three short words.
  int32_t HeightAt(int32_t wrapWidth) {
    RuntimeObject* g = canvasGraphicsGetter(Canvas(), 0);
    const int32_t height = RuntimeGraphicsStringHeight(g, string("one two three").Rep(), wrapWidth);
    RuntimeUnlockObject(g);
    return height;
  }
  // Scrolls the canvas and answers where its child label ends up: its left, width and height.
  std::string ChildAfterScroll(int32_t dx, int32_t x, int32_t width, bool moveControls) {
    RuntimeObject* label = AddControl(GetStaticTextClassDefinition(), NextName().c_str(), MakeRect(40, 140, 140, 160), host);
    MakePane(label);
    canvasScroll(Canvas(), dx, 0, x, 0, width, 100, moveControls ? 1 : 0);
    const Rect r = ControlPane(AsControl(label))->Bounds();
    return std::to_string(r.left) + " " + std::to_string(r.Width()) + "x" + std::to_string(r.Height());
  }
  // Where a red column at the canvas's x 100 shows after the scroll, inside the area and below it.
  std::string RedColumnAfterScroll(int32_t dx, int32_t x, int32_t width) {
    test::ShowAndSettle(native);
    RuntimeObject* g = canvasGraphicsGetter(Canvas(), 0);
    graphicsForeColorSetter(g, 0, 0xFFFFFF);
    RuntimeGraphicsFillRect(g, 0, 0, 300, 200);
    graphicsForeColorSetter(g, 0, 0xFF0000);
    RuntimeGraphicsFillRect(g, 100, 0, 1, 200);
    RuntimeUnlockObject(g);
    test::FlushWindowDrawing(native);
    canvasScroll(Canvas(), dx, 0, x, 0, width, 100, 0);
    test::FlushWindowDrawing(native);
    const auto redAt = [&](int32_t v) {
      int32_t at = -1;
      for (int32_t h = 0; h < 300; ++h) at = test::WindowScreenPixel(native, 20 + h, 100 + v) == 0xFF0000 ? h : at;
      return std::to_string(at);
    };
    return redAt(50) + " " + redAt(150);
  }
  // Red pixels in a white 20 x 20 picture after a 4 x 4 red one is drawn at (x, y).
  int32_t RedPixelsAfterDrawingAt(int32_t x, int32_t y, int32_t width = -10000) {
    RuntimeObject* target = newPicture(20, 20, 32);  // white, as every new picture
    RuntimeObject* red = newPicture(4, 4, 32);
    for (int32_t v = 0; v < 4; ++v)
      for (int32_t h = 0; h < 4; ++h) PictureBitmap(red)->SetPixel(h, v, 0xFF0000);
    RuntimeObject* g = pictureGraphicsGetter(target, 0);
    RuntimeGraphicsDrawPicture(g, red, x, y, width, -10000, 0, 0, -10000, -10000);
    RuntimeUnlockObject(g);
    int32_t count = 0;
    for (int32_t v = 0; v < 20; ++v)
      for (int32_t h = 0; h < 20; ++h) count += BitmapPixel(PictureBitmap(target), h, v) == 0xFF0000 ? 1 : 0;
    RuntimeUnlockObject(red);
    RuntimeUnlockObject(target);
    return count;
  }

 private:
  // The window's map holds its controls by name.
  std::string NextName() { return "Control" + std::to_string(++mControls); }
  RuntimeObject* Canvas() {
    if (!mCanvas) {
      mCanvas = AddControl(GetCanvasClassDefinition(), NextName().c_str(), MakeRect(20, 100, 320, 300), host);
      MakePane(mCanvas);
    }
    return mCanvas;
  }
  RuntimeObject* mCanvas = nullptr;
  int mControls = 0;
};

TEST_F(EdgeArithmeticTest, CallsAtTheEndsOfTheIntegerRangeGoAsFarAsTheyCan) {
  auto text = [](int32_t value) { return std::to_string(value); };
  const std::string oneLine = text(HeightAt(0));
  const struct {
    const char* name;
    std::function<std::string()> call;
    std::string expected;
  } cases[] = {
      {"SelLength 2147483647 from 1 selects to the end", [&] { return SelectedAfter(1, INT_MAX); }, "bcdef"},
      {"SelLength -2147483648 from 3 selects nothing", [&] { return SelectedAfter(3, INT_MIN); }, ""},
      {"a combo box's SelLength 2147483647 from 1", [&] { return text(ComboSelectionAfter(1, INT_MAX)); }, "5"},
      {"StringHeight wraps nothing at 4,194,305", [&] { return text(HeightAt(4194305)); }, oneLine},
      {"StringHeight at 2,097,152, one past what Pango counts", [&] { return text(HeightAt(2097152)); }, oneLine},
      {"StringHeight at 2,097,151, the widest Pango counts", [&] { return text(HeightAt(2097151)); }, oneLine},
      {"canvasScroll of an area at x 2147483640", [&] { return ChildAfterScroll(3, INT_MAX - 7, 100, false); }, "40 100x20"},
      {"canvasScroll of an area 2147483647 wide", [&] { return ChildAfterScroll(3, 10, INT_MAX, false); }, "40 100x20"},
      {"pixels of an area at x 2147483640", [&] { return RedColumnAfterScroll(3, INT_MAX - 7, 100); }, "100 100"},
      {"pixels of an area 2147483647 wide", [&] { return RedColumnAfterScroll(3, 10, INT_MAX); }, "103 100"},
      {"children moved by 2147483647 keep their size", [&] { return ChildAfterScroll(INT_MAX, 0, -10000, true); },
       "32667 100x20"},
      {"children moved by -2147483648 keep their size", [&] { return ChildAfterScroll(INT_MIN, 0, -10000, true); },
       "-32768 100x20"},
      {"DrawPicture at x 2147483645 draws nothing", [&] { return text(RedPixelsAfterDrawingAt(INT_MAX - 2, 0)); }, "0"},
      {"DrawPicture at y 2147483645 draws nothing", [&] { return text(RedPixelsAfterDrawingAt(0, INT_MAX - 2)); }, "0"},
      {"DrawPicture 2147483647 wide from x -2147483648",
       [&] { return text(RedPixelsAfterDrawingAt(INT_MIN, 0, INT_MAX)); }, "0"},
      {"DrawPicture at the last whole place, (16, 16)", [&] { return text(RedPixelsAfterDrawingAt(16, 16)); }, "16"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), c.expected);
  }
}

}  // namespace
}  // namespace vorn
