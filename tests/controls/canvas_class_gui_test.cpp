// The Canvas class: Paint once per expose through a C handler drawing with the language's
// Graphics object, the persistent Graphics property, and scrolling child controls.
#include <gtest/gtest.h>

#include <string>

#include "controls/canvas_class.h"
#include "controls/static_text_class.h"
#include "controls/support/class_fixture.h"
#include "vorn/controls_api.h"
#include "vorn/graphics_api.h"
#include "windows/rect_control.h"

namespace vorn {
namespace {

struct Seen {
  int paints = 0;
  RuntimeObject* lastGraphics = nullptr;
};
Seen gSeen;

extern "C" void CanvasPaint(VornRuntimeObject*, VornRuntimeObject* g) {
  ++gSeen.paints;
  gSeen.lastGraphics = g;
  graphicsForeColorSetter(g, 0, 0x2040C0);
  RuntimeGraphicsFillRect(g, 10, 10, 100, 50);
}

class CanvasClassTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    ControlClassTest::SetUp();
    gSeen = Seen();
  }
  RuntimeObject* NewCanvas() {
    RuntimeObject* canvas = AddControl(GetCanvasClassDefinition(), "Chart", MakeRect(20, 20, 220, 120), host);
    Install(canvas, "Paint", reinterpret_cast<void*>(&CanvasPaint));
    return canvas;
  }
  static RuntimeCanvas* PaneOf(RuntimeObject* canvas) {
    return dynamic_cast<RuntimeCanvas*>(ControlPane(AsControl(canvas)));
  }
};

TEST_F(CanvasClassTest, AnExposeFiresPaintOnceAndTheHandlerDraws) {
  RuntimeObject* canvas = NewCanvas();
  MakePane(canvas);
  ASSERT_NE(PaneOf(canvas), nullptr);
  test::ShowAndSettle(native);
  test::PumpFor(100);
  EXPECT_GE(gSeen.paints, 1) << "showing the window exposes the canvas";
  gSeen.paints = 0;
  RuntimeControlRefresh(canvas, 1);
  test::PumpFor(100);
  EXPECT_EQ(gSeen.paints, 1);
  std::string shot = std::string(VORN_BINARY_DIR) + "/canvas_class_paint.png";
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + shot);
  std::string pixel = test::PictureTool("convert " + shot + " -format '%[hex:p{80,50}]' info:");
  EXPECT_EQ(pixel.substr(0, 6), "2040C0") << "the fill lies at (10, 10) of the canvas";
  std::string outside = test::PictureTool("convert " + shot + " -format '%[hex:p{140,50}]' info:");
  EXPECT_NE(outside.substr(0, 6), "2040C0");
}

TEST_F(CanvasClassTest, TheGraphicsPropertyIsOneObjectAndNilBeforeThePane) {
  RuntimeObject* canvas = NewCanvas();
  EXPECT_EQ(canvasGraphicsGetter(canvas, 0), nullptr);
  MakePane(canvas);
  RuntimeObject* first = canvasGraphicsGetter(canvas, 0);
  RuntimeObject* second = canvasGraphicsGetter(canvas, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->classPtr->mName.View(), "Graphics");
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
  // The canvas keeps its own reference: the object outlives the caller's.
  RuntimeObject* third = canvasGraphicsGetter(canvas, 0);
  EXPECT_EQ(third, first);
  RuntimeUnlockObject(third);
}

TEST_F(CanvasClassTest, ScrollingMovesChildControlsOnlyWhenAsked) {
  RuntimeObject* canvas = NewCanvas();
  MakePane(canvas);
  RuntimeObject* label =
      AddControl(GetStaticTextClassDefinition(), "Inside", MakeRect(40, 40, 140, 60), host);
  MakePane(label);
  SubPane* labelPane = ControlPane(AsControl(label));
  ASSERT_EQ(labelPane->GetParent(), PaneOf(canvas)) << "a control over the canvas lies inside it";
  canvasScroll(canvas, 0, 0, 0, 0, -10000, -10000, 1);
  EXPECT_EQ(labelPane->Bounds().left, 40);
  canvasScroll(canvas, 0, 12, 0, 0, -10000, -10000, 0);
  EXPECT_EQ(labelPane->Bounds().top, 40);
  canvasScroll(canvas, 5, 12, 0, 0, -10000, -10000, 1);
  EXPECT_EQ(labelPane->Bounds().left, 45);
  EXPECT_EQ(labelPane->Bounds().top, 52);
}

TEST_F(CanvasClassTest, TheBooleanPropertiesDecideFocusAndTabs) {
  test::PackedStream stream;
  stream.Bool(28, true).Bool(29, false);  // AcceptFocus, AcceptTabs
  RuntimeObject* canvas = AddControl(GetCanvasClassDefinition(), "Chart", MakeRect(20, 20, 220, 120), host, &stream);
  MakePane(canvas);
  RuntimeCanvas* pane = PaneOf(canvas);
  EXPECT_TRUE(pane->CanFocus());
  EXPECT_FALSE(pane->KeyDown(9, 0, 0)) << "Tab moves the focus on";
  boolSetter(canvas, static_cast<int32_t>(offsetof(CanvasObject, fields) + offsetof(CanvasFields, acceptFocus)), 0);
  EXPECT_FALSE(pane->CanFocus());
}

}  // namespace
}  // namespace vorn
