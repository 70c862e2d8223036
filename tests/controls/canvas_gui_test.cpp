// Canvases on a real display: Paint on every expose, the kept Graphics object, hiding, keys,
// focus, clicks that pass through, scrolling, drawing into a port, and the template window
// of a container control.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "controls/canvas_pane.h"
#include "controls/scroller.h"
#include "controls/static_text_pane.h"
#include "controls/support/control_test_support.h"
#include "graphics/graphics.h"
#include "graphics/graphics_object.h"
#include "vorn/graphics_api.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

using test::NewTestControl;
using test::PumpFor;
using test::SetHandler;

struct Seen {
  int paints = 0;
  std::vector<std::string> keys;
  uint8_t keyAnswer = 1;
  int mouseDowns = 0;
  int32_t downX = -1, downY = -1;
  uint8_t takeMouse = 0;
};
Seen gSeen;

// Draws a red block at the canvas's top-left, as compiled code does through the language's
// Graphics: coordinates are made relative to the pane the port draws into.
extern "C" void TestPaint(RuntimeObject*, RuntimeObject* g) {
  ++gSeen.paints;
  Graphics* port = test::TestGraphicsPort(g);
  ASSERT_NE(port, nullptr);
  Rect b = port->Target()->GetPaneBounds();
  port->SetForeColor(RGB48{0xFFFF, 0, 0});
  port->FillRect(MakeRect(b.left, b.top, b.left + 50, b.top + 30));
}

extern "C" uint8_t TestKeyDown(RuntimeObject*, StringRep* key) {
  gSeen.keys.push_back(std::string(string::Share(key).View()));
  return gSeen.keyAnswer;
}

extern "C" uint8_t TestCanvasMouseDown(RuntimeObject*, int32_t x, int32_t y) {
  ++gSeen.mouseDowns;
  gSeen.downX = x;
  gSeen.downY = y;
  return gSeen.takeMouse;
}

// The same through the language's own Graphics class, as the compiled chart draws.
extern "C" void CompiledPaint(RuntimeObject*, RuntimeObject* g) {
  ++gSeen.paints;
  graphicsForeColorSetter(g, 0, 0x0000FF);
  RuntimeGraphicsFillRect(g, 10, 10, 40, 20);
}

class RecordingTemplate : public CanvasTemplate {
 public:
  bool HasBackColor() override { return backColor != 0; }
  uint32_t BackColor() override { return backColor; }
  void FollowBounds(const Rect& bounds) override { followed = bounds; }
  void Moved() override { ++moved; }
  void Resized(bool live) override { live ? ++resizing : ++resized; }
  void Activate() override { ++activations; }
  void Deactivate() override { ++deactivations; }
  uint32_t backColor = 0;
  Rect followed;
  int moved = 0, resized = 0, resizing = 0, activations = 0, deactivations = 0;
};

class CanvasGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::EnsureDisplay()) << "needs an X display";
    test::InstallTestGraphicsServices();
    gSeen = Seen();
    window = new test::TestWindow(MakeRect(150, 150, 550, 450));
    control = NewTestControl();
    fields = &reinterpret_cast<test::TestControlObject*>(control)->canvas;
  }

  void TearDown() override {
    window->Close();
    test::RunLoopIteration();
    RuntimeUnlockObject(fields->graphics);
    fields->graphics = nullptr;
    RuntimeUnlockObject(control);
  }

  RuntimeCanvas* MakeCanvas(const Rect& bounds) {
    auto* canvas = new RuntimeCanvas(window, 0, bounds, true);
    canvas->SetOwner(control, test::TestCanvasHooks(), fields);
    return canvas;
  }

  uint32_t ScreenPixel(int32_t h, int32_t v) {
    int32_t x, y;
    test::ScreenPoint(window, h, v, &x, &y);
    GdkWindow* root = gdk_get_default_root_window();
    GdkPixbuf* pixbuf = gdk_pixbuf_get_from_drawable(nullptr, root, nullptr, x, y, 0, 0, 1, 1);
    if (!pixbuf) return 0xFFFFFFFF;
    const guchar* p = gdk_pixbuf_get_pixels(pixbuf);
    uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    g_object_unref(pixbuf);
    return rgb;
  }

  test::TestWindow* window = nullptr;
  RuntimeObject* control = nullptr;
  CanvasFields* fields = nullptr;
};

TEST_F(CanvasGuiTest, EveryExposeFiresPaintOnceAndTheHandlerDrawsIntoTheWindow) {
  SetHandler(control, test::kEvPaint, reinterpret_cast<void*>(&TestPaint));
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  test::ShowAndSettle(window);
  EXPECT_GE(gSeen.paints, 1);
  EXPECT_EQ(ScreenPixel(45, 45), 0xFF0000u);
  EXPECT_NE(ScreenPixel(100, 100), 0xFF0000u) << "the handler drew only its block";

  gSeen.paints = 0;
  canvas->Invalidate(true);
  PumpFor(200);
  EXPECT_EQ(gSeen.paints, 1);
  EXPECT_EQ(test::LiveTestGraphicsObjects(), 0) << "each Paint's Graphics object is released";
  test::PictureTool("import -window root " + std::string(VORN_BINARY_DIR) + "/canvas_paint.png");
}

TEST_F(CanvasGuiTest, ACompiledPaintHandlerDrawsThroughTheLanguageGraphicsClass) {
  SetCanvasGraphicsServices(CanvasGraphicsServices{&NewGraphicsObject, &DetachGraphicsObjectPort,
                                                   &GraphicsObjectPort, nullptr});
  SetHandler(control, test::kEvPaint, reinterpret_cast<void*>(&CompiledPaint));
  MakeCanvas(MakeRect(40, 40, 240, 190));
  test::ShowAndSettle(window);
  EXPECT_GE(gSeen.paints, 1);
  EXPECT_EQ(ScreenPixel(55, 55), 0x0000FFu) << "canvas coordinates (10, 10) on";
  EXPECT_NE(ScreenPixel(45, 45), 0x0000FFu);
}

TEST_F(CanvasGuiTest, AHiddenCanvasPaintsNothingUntilShownAgain) {
  SetHandler(control, test::kEvPaint, reinterpret_cast<void*>(&TestPaint));
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  test::ShowAndSettle(window);
  canvas->ChangeState(kPaneStateHide);
  EXPECT_FALSE(canvas->Shown());
  PumpFor(150);
  gSeen.paints = 0;
  window->Invalidate(true);
  PumpFor(150);
  EXPECT_EQ(gSeen.paints, 0);
  canvas->ChangeState(kPaneStateShow);
  PumpFor(200);
  EXPECT_GE(gSeen.paints, 1);
}

TEST_F(CanvasGuiTest, TheGraphicsPropertyIsOneObjectKeptForTheCanvas) {
  EXPECT_EQ(CanvasGraphicsObject(nullptr, fields), nullptr) << "no pane, no Graphics";
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  RuntimeObject* first = CanvasGraphicsObject(canvas, fields);
  RuntimeObject* second = CanvasGraphicsObject(canvas, fields);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->refCount, 3) << "the canvas's reference and one for each caller";
  const Rect* clip = test::TestGraphicsPort(first)->GetClipRect();
  ASSERT_NE(clip, nullptr);
  EXPECT_TRUE(EqualRect(*clip, canvas->Bounds()));
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
}

TEST_F(CanvasGuiTest, TabMovesTheFocusUnlessTheCanvasAcceptsTabs) {
  SetHandler(control, test::kEvKeyDown, reinterpret_cast<void*>(&TestKeyDown));
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  EXPECT_FALSE(canvas->KeyDown(9, 0, 0));
  EXPECT_TRUE(gSeen.keys.empty());
  fields->acceptTabs = 1;
  EXPECT_TRUE(canvas->KeyDown(9, 0, 0));
  EXPECT_TRUE(canvas->KeyDown('a', 0, 0));
  gSeen.keyAnswer = 0;
  EXPECT_FALSE(canvas->TypeChar(0xE9, 0, 0));
  ASSERT_EQ(gSeen.keys.size(), 3u);
  EXPECT_EQ(gSeen.keys[0], "\t");
  EXPECT_EQ(gSeen.keys[1], "a");
  EXPECT_EQ(gSeen.keys[2], "\xC3\xA9") << "characters past ASCII arrive as UTF-8";
}

TEST_F(CanvasGuiTest, FocusFollowsAcceptFocus) {
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  EXPECT_FALSE(canvas->CanFocus());
  fields->acceptFocus = 1;
  EXPECT_TRUE(canvas->CanFocus());
  canvas->SetEnabled(false, true);
  EXPECT_FALSE(canvas->CanFocus());
  Rect ring;
  ASSERT_TRUE(canvas->GetFocusRingRect(&ring));
  EXPECT_TRUE(EqualRect(ring, MakeRect(37, 37, 243, 193)));
}

TEST_F(CanvasGuiTest, ARefusedClickGoesOnToThePaneBeneath) {
  auto* beneath = new test::ClickCounter(window, MakeRect(0, 0, 400, 300));
  SetHandler(control, test::kEvMouseDown, reinterpret_cast<void*>(&TestCanvasMouseDown));
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  EXPECT_TRUE(window->MouseDown(50, 60, 0));
  EXPECT_EQ(gSeen.mouseDowns, 1);
  EXPECT_EQ(gSeen.downX, 10);
  EXPECT_EQ(gSeen.downY, 20);
  EXPECT_EQ(beneath->clicks, 1);

  gSeen.takeMouse = 1;
  EXPECT_TRUE(window->MouseDown(50, 60, 0));
  EXPECT_EQ(beneath->clicks, 1);
  EXPECT_EQ(GetMouseCapturePane(), canvas);
  ClearMouseCapturePane();

  EXPECT_FALSE(IsContextualClickInProgress());
  EXPECT_TRUE(canvas->ContextualClick(50, 60, 0));
  EXPECT_EQ(gSeen.mouseDowns, 3);
  ClearMouseCapturePane();
}

TEST_F(CanvasGuiTest, ScrollingMovesTheChildPanesUnlessBothDistancesAreZero) {
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  auto* child = new test::ClickCounter(window, MakeRect(60, 60, 100, 80));
  ASSERT_EQ(child->GetParent(), canvas) << "a pane made over a canvas joins it";
  test::ShowAndSettle(window);
  canvas->Scroll(0, 0, 0, 0, -10000, -10000, true);
  EXPECT_TRUE(EqualRect(child->Bounds(), MakeRect(60, 60, 100, 80)));
  canvas->Scroll(5, -7, 0, 0, -10000, -10000, true);
  EXPECT_TRUE(EqualRect(child->Bounds(), MakeRect(65, 53, 105, 73)));
  canvas->Scroll(5, 5, 0, 0, -10000, -10000, false);
  EXPECT_TRUE(EqualRect(child->Bounds(), MakeRect(65, 53, 105, 73)));
}

TEST_F(CanvasGuiTest, PaintDrawsInCanvasCoordinatesIntoAnotherPort) {
  SetHandler(control, test::kEvPaint, reinterpret_cast<void*>(&TestPaint));
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  test::PixmapPort pixmap(300, 220);
  canvas->DrawInto(pixmap.Port());
  EXPECT_EQ(gSeen.paints, 1);
  EXPECT_EQ(pixmap.PixelAt(45, 45), 0xFF0000u);
  EXPECT_EQ(pixmap.PixelAt(35, 35), 0xFFFFFFu);
  EXPECT_EQ(pixmap.Port()->OriginH(), 0) << "the origin is given back";
  EXPECT_EQ(test::LiveTestGraphicsObjects(), 0);
}

TEST_F(CanvasGuiTest, AContainerMovedWithoutResizingTellsItsTemplateMovedOnly) {
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(40, 40, 240, 190));
  RecordingTemplate templ;
  templ.backColor = 0x0000FF;
  canvas->SetTemplate(&templ);
  test::ShowAndSettle(window);
  EXPECT_EQ(ScreenPixel(100, 100), 0x0000FFu) << "the template's back colour under the controls";

  canvas->MoveTo(MakeRect(60, 50, 260, 200), true);
  EXPECT_EQ(templ.moved, 1);
  EXPECT_EQ(templ.resized + templ.resizing, 0);
  EXPECT_TRUE(EqualRect(templ.followed, MakeRect(60, 50, 260, 200)));

  canvas->MoveTo(MakeRect(60, 50, 300, 220), false);
  EXPECT_EQ(templ.resized, 1);
  EXPECT_TRUE(EqualRect(templ.followed, MakeRect(60, 50, 300, 220)));
  canvas->Deactivate();
  canvas->Activate();
  EXPECT_EQ(templ.deactivations, 1);
  EXPECT_EQ(templ.activations, 1);
  canvas->SetTemplate(nullptr);
}

TEST_F(CanvasGuiTest, AComposedSliderControlMovesWithItsContentsAndIsNotResized) {
  // A container control like the calculator's: a slider with a title, two limit captions
  // and a value caption.
  RuntimeCanvas* canvas = MakeCanvas(MakeRect(20, 20, 320, 100));
  RecordingTemplate templ;
  canvas->SetTemplate(&templ);
  Scroller* slider = Scroller::NewSlider(nullptr, window, 0, MakeRect(30, 45, 310, 70), true);
  slider->SetValue(35);
  const char* texts[] = {"Aperture (mm)", "50", "400", "152"};
  const Rect places[] = {MakeRect(30, 24, 200, 42), MakeRect(30, 72, 80, 92),
                         MakeRect(260, 72, 310, 92), MakeRect(230, 24, 310, 42)};
  StaticTextGeneric* captions[4];
  for (int i = 0; i < 4; ++i) {
    captions[i] = new StaticTextGeneric(window, 0, places[i]);
    captions[i]->SetText(string(texts[i]));
    ASSERT_EQ(captions[i]->GetParent(), canvas);
  }
  captions[2]->SetAlignment(kStaticAlignRight);
  captions[3]->SetAlignment(kStaticAlignRight);
  ASSERT_EQ(slider->GetParent(), canvas);
  test::ShowAndSettle(window);
  int32_t resizedBefore = window->resized;

  canvas->MoveTo(MakeRect(40, 120, 340, 200), true);
  test::PumpFor(200);
  test::RunLoopIteration();
  EXPECT_EQ(templ.moved, 1);
  EXPECT_EQ(templ.resized + templ.resizing, 0);
  EXPECT_EQ(window->resized, resizedBefore);
  EXPECT_TRUE(EqualRect(slider->Bounds(), MakeRect(50, 145, 330, 170)));
  EXPECT_TRUE(EqualRect(captions[3]->Bounds(), MakeRect(250, 124, 330, 142)));
  GtkAllocation a = slider->Widget()->allocation;
  EXPECT_EQ(a.x, 50);
  EXPECT_EQ(a.y, 145);
  EXPECT_EQ(slider->GetValue(), 35);
  test::PictureTool("import -window root " + std::string(VORN_BINARY_DIR) + "/composed_slider.png");
  canvas->SetTemplate(nullptr);
}

}  // namespace
}  // namespace vorn
