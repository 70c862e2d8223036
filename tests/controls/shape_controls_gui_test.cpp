// The shape controls on a real display: each draws at its bounds with its colours and border
// widths, settings made later redraw it, and clicks near a Line reach its MouseDown.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "controls/control_support.h"
#include "controls/shape_classes.h"
#include "controls/support/class_fixture.h"
#include "controls/support/mouse_down_recorder.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "vorn/controls2_api.h"

namespace vorn {
namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kBlack = 0x000000;

class ShapeControlsGuiTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    test::ControlClassTest::SetUp();
    test::ResetRecordedMouseDowns();
  }
  uint32_t Pixel(int32_t h, int32_t v) { return test::WindowScreenPixel(native, h, v); }
  void Show() {
    test::ShowAndSettle(native);
    test::FlushWindowDrawing(native);
  }
  RuntimeObject* AddRectangle(const char* name, const Rect& bounds, int32_t border) {
    test::PackedStream stream;
    stream.Color(26, kRed).Int(27, border).Color(28, kGreen).Color(29, kBlue);
    RuntimeObject* rect = AddControl(GetRectangleClassDefinition(), name, bounds, host, &stream);
    MakePane(rect);
    return rect;
  }
  RuntimeObject* AddLine(const char* name, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t border) {
    test::PackedStream stream;
    stream.Int(26, x1).Int(27, x2).Int(28, y1).Int(29, y2).Int(30, border).Color(31, kBlue);
    RuntimeObject* line = AddControl(GetLineClassDefinition(), name, MakeRect(0, 0, 1, 1), host, &stream);
    MakePane(line);
    return line;
  }
};

TEST_F(ShapeControlsGuiTest, RectangleFillsInsideItsBevelledBorder) {
  AddRectangle("Box", MakeRect(20, 20, 120, 80), 2);
  AddRectangle("Negative", MakeRect(140, 20, 240, 80), -2);
  Show();
  for (int32_t dx : {0, 120}) {
    SCOPED_TRACE(dx == 0 ? "width 2" : "width -2 draws as 2");
    EXPECT_EQ(Pixel(70 + dx, 50), kRed) << "fill";
    EXPECT_EQ(Pixel(20 + dx, 50), kGreen) << "left edge, outer line";
    EXPECT_EQ(Pixel(21 + dx, 50), kGreen) << "left edge, inner line";
    EXPECT_EQ(Pixel(22 + dx, 50), kRed) << "fill starts inside the border";
    EXPECT_EQ(Pixel(70 + dx, 20), kGreen) << "top edge";
    EXPECT_EQ(Pixel(119 + dx, 50), kBlue) << "right edge";
    EXPECT_EQ(Pixel(118 + dx, 50), kBlue);
    EXPECT_EQ(Pixel(70 + dx, 79), kBlue) << "bottom edge";
    EXPECT_NE(Pixel(70 + dx, 81), kBlue) << "nothing below the bounds";
  }
}

TEST_F(ShapeControlsGuiTest, LaterSettingsRedrawTheShape) {
  RuntimeObject* rect = AddRectangle("Box", MakeRect(20, 100, 120, 160), 1);
  Show();
  EXPECT_EQ(Pixel(22, 130), kRed);
  paneIntSetter(rect, PaneFieldParam(offsetof(RectangleObject, fillColor), kShapeFillColor), kYellow);
  paneShortSetter(rect, PaneFieldParam(offsetof(RectangleObject, borderWidth), kShapeBorderWidth), 4);
  test::FlushWindowDrawing(native);
  EXPECT_EQ(Pixel(70, 130), kYellow);
  EXPECT_EQ(Pixel(22, 130), kGreen) << "the wider border covers what was fill";
  EXPECT_EQ(paneShortGetter(rect, PaneFieldParam(offsetof(RectangleObject, borderWidth), kShapeBorderWidth)), 4);
}

TEST_F(ShapeControlsGuiTest, OvalAndRoundRectangleFillTheirShapeOnly) {
  test::PackedStream oval;
  oval.Color(26, kYellow).Int(27, 3).Color(28, kBlack);
  RuntimeObject* o = AddControl(GetOvalClassDefinition(), "Oval", MakeRect(20, 180, 140, 260), host, &oval);
  MakePane(o);
  test::PackedStream round;
  round.Color(26, kGreen).Int(27, 0).Color(28, kBlack).Int(29, 30).Int(30, 30);
  RuntimeObject* r = AddControl(GetRoundRectangleClassDefinition(), "Round", MakeRect(160, 180, 280, 260), host, &round);
  MakePane(r);
  Show();
  const uint32_t background = Pixel(150, 170);
  EXPECT_EQ(Pixel(80, 220), kYellow) << "oval centre";
  EXPECT_EQ(Pixel(21, 181), background) << "the oval leaves its corners";
  EXPECT_EQ(Pixel(20, 220), kBlack) << "border on the oval's left";
  EXPECT_EQ(Pixel(220, 220), kGreen) << "round rectangle centre";
  EXPECT_EQ(Pixel(220, 181), kGreen) << "top edge between the corners";
  EXPECT_EQ(Pixel(161, 181), background) << "rounded corner";
  EXPECT_NE(Pixel(161, 220), kBlack) << "border width 0 draws no border";
}

TEST_F(ShapeControlsGuiTest, WideLineIsDrawnAlongItsEndPoints) {
  AddLine("Wide", 40, 300, 240, 300, 3);
  AddLine("Thin", 300, 40, 300, 200, 1);
  AddLine("Slanted", 320, 40, 380, 200, 4);
  AddRectangle("Box", MakeRect(20, 20, 120, 80), 3);
  Show();
  EXPECT_EQ(Pixel(140, 299), kBlue);
  EXPECT_EQ(Pixel(140, 300), kBlue);
  EXPECT_EQ(Pixel(140, 301), kBlue);
  EXPECT_NE(Pixel(140, 303), kBlue);
  EXPECT_NE(Pixel(140, 297), kBlue);
  EXPECT_EQ(Pixel(300, 120), kBlue) << "a thin vertical line";
  EXPECT_NE(Pixel(302, 120), kBlue);
  EXPECT_TRUE(test::SaveWindowScreenshot(native, std::string(VORN_BINARY_DIR) + "/shape_controls.png"));
}

TEST_F(ShapeControlsGuiTest, ClicksNearALineReachItsMouseDown) {
  RuntimeObject* line = AddLine("Slanted", 40, 100, 240, 140, 1);
  Install(line, "MouseDown", reinterpret_cast<void*>(&RecordMouseDown));
  Show();
  // The pane is the box of the end points; clicks inside it but away from the line miss.
  test::ClickAt(native, 140, 120);
  EXPECT_EQ(test::RecordedMouseDowns().count, 1);
  EXPECT_EQ(test::RecordedMouseDowns().x, 100);
  EXPECT_EQ(test::RecordedMouseDowns().y, 20);
  test::ClickAt(native, 60, 135);
  EXPECT_EQ(test::RecordedMouseDowns().count, 1) << "far from the line";
  // Moving X1 moves the pane with the end points.
  linePosSetter(line, static_cast<int32_t>(offsetof(LineObject, x1)), 140);
  Rect bounds = ControlPane(AsControl(line))->Bounds();
  EXPECT_EQ(bounds.left, 140);
  EXPECT_EQ(bounds.right, 241);
}

TEST_F(ShapeControlsGuiTest, DisabledRectangleRaisesNoMouseDown) {
  RuntimeObject* rect = AddRectangle("Box", MakeRect(20, 20, 120, 80), 1);
  Install(rect, "MouseDown", reinterpret_cast<void*>(&RecordMouseDown));
  Show();
  test::ClickAt(native, 50, 50);
  EXPECT_EQ(test::RecordedMouseDowns().count, 1);
  EXPECT_EQ(test::RecordedMouseDowns().x, 30);
  controlEnabledSetter(rect, 0, 0);
  test::ClickAt(native, 50, 50);
  EXPECT_EQ(test::RecordedMouseDowns().count, 1);
}

}  // namespace
}  // namespace vorn
