// Container controls: a canvas showing a template window that holds a Slider and four
// StaticTexts, as the calculator's composite slider controls do. Moving the container moves
// its controls and tells the template Moved, not Resized; events go on to the template.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/embedded_window_control.h"
#include "controls/scroller_class.h"
#include "controls/static_text_class.h"
#include "controls/support/class_fixture.h"
#include "vorn/controls_api.h"

namespace vorn {
namespace {

using test::HostWindowObject;
using test::PackedStream;

struct Seen {
  int moved = 0;
  int resized = 0;
  int resizing = 0;
  int keys = 0;
  uint8_t keyAnswer = 0;
};
Seen gSeen;

extern "C" void TemplateMoved(VornRuntimeObject*) { ++gSeen.moved; }
extern "C" void TemplateResized(VornRuntimeObject*) { ++gSeen.resized; }
extern "C" void TemplateResizing(VornRuntimeObject*) { ++gSeen.resizing; }
extern "C" uint8_t TemplateKeyDown(VornRuntimeObject*, VornStringRecord*) {
  ++gSeen.keys;
  return gSeen.keyAnswer;
}

bool TemplateBackColor(RuntimeObject*, uint32_t* color) {
  *color = 0xE0C040;
  return true;
}

class EmbeddedWindowTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    ControlClassTest::SetUp();
    gSeen = Seen();
    SetTemplateWindowServices(TemplateWindowServices());
  }
  void TearDown() override {
    ControlClassTest::TearDown();
    SetTemplateWindowServices(TemplateWindowServices());
  }

  // The composite slider control: a container at (20, 150) holding its template window.
  void Build() {
    container = AddControl(GetEmbeddedWindowControlClassDefinition(), "Aperture", MakeRect(20, 150, 320, 210), host);
    templ = NewHostWindow(nullptr, reinterpret_cast<RuntimeObject*>(host), MakeRect(20, 150, 320, 210));
    RuntimeObject* t = reinterpret_cast<RuntimeObject*>(templ);
    Install(t, "Moved", reinterpret_cast<void*>(&TemplateMoved));
    Install(t, "Resized", reinterpret_cast<void*>(&TemplateResized));
    Install(t, "Resizing", reinterpret_cast<void*>(&TemplateResizing));
    SetEmbeddedTemplateWindow(container, t);

    PackedStream range;
    range.Int(26, 0).Int(28, 100).Int(29, 1).Int(30, 20).Int(27, 50);
    slider = AddControl(GetSliderClassDefinition(), "Slider1", MakeRect(30, 155, 230, 180), templ, &range);
    const char* names[] = {"Title", "Minimum", "Maximum", "Reading"};
    const Rect places[] = {MakeRect(30, 185, 130, 205), MakeRect(140, 185, 180, 205),
                           MakeRect(190, 185, 230, 205), MakeRect(240, 158, 310, 178)};
    for (int i = 0; i < 4; ++i) {
      PackedStream caption;
      caption.Text(26, names[i]);
      texts.push_back(AddControl(GetStaticTextClassDefinition(), names[i], places[i], templ, &caption));
    }
    MakePane(container);
    MakePane(slider);
    for (RuntimeObject* text : texts) MakePane(text);
  }

  SubPane* PaneOf(RuntimeObject* control) { return ControlPane(AsControl(control)); }

  RuntimeObject* container = nullptr;
  HostWindowObject* templ = nullptr;
  RuntimeObject* slider = nullptr;
  std::vector<RuntimeObject*> texts;
};

TEST_F(EmbeddedWindowTest, TheContainerTakesItsTemplatesSizeAndHoldsItsControls) {
  Build();
  auto* canvas = dynamic_cast<RuntimeCanvas*>(PaneOf(container));
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(canvas->Bounds().Width(), 300);
  EXPECT_EQ(canvas->Bounds().Height(), 60);
  EXPECT_EQ(PaneOf(slider)->GetParent(), canvas);
  for (RuntimeObject* text : texts) EXPECT_EQ(PaneOf(text)->GetParent(), canvas);
  EXPECT_TRUE(AsControl(container)->enabled) << "the initializer enables the container";
  test::ShowAndSettle(native);
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR +
              "/embedded_window_built.png");
}

TEST_F(EmbeddedWindowTest, MovingTheContainerFiresMovedAndNotResized) {
  Build();
  test::ShowAndSettle(native);
  ctlPosSetter(container, 0, 60);
  ctlPosSetter(container, 1, 170);
  test::PumpFor(100);
  EXPECT_EQ(gSeen.moved, 2);
  EXPECT_EQ(gSeen.resized, 0);
  EXPECT_EQ(gSeen.resizing, 0);
  EXPECT_EQ(PaneOf(slider)->Bounds().left, 70);
  EXPECT_EQ(PaneOf(slider)->Bounds().top, 175);
  EXPECT_EQ(PaneOf(texts[3])->Bounds().left, 280);
  EXPECT_EQ(templ->bounds.left, 60);
  EXPECT_EQ(templ->bounds.top, 170);
  EXPECT_EQ(templ->bounds.right - templ->bounds.left, 300) << "the template keeps its size";
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerValue), 50);
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR +
              "/embedded_window_moved.png");

  // A move made through the pane's live path is still only a move.
  SubPane* canvas = PaneOf(container);
  Rect r = canvas->Bounds();
  OffsetRect(&r, -10, 0);
  canvas->MoveTo(r, true);
  EXPECT_EQ(gSeen.moved, 3);
  EXPECT_EQ(gSeen.resized, 0);

  ctlPosSetter(container, 2, 340);
  EXPECT_EQ(gSeen.resized, 1) << "a new width is a resize";
  EXPECT_EQ(gSeen.moved, 3);
  EXPECT_EQ(templ->bounds.right - templ->bounds.left, 340);
}

TEST_F(EmbeddedWindowTest, KeysGoToTheTemplateAndUnansweredOnesGoOn) {
  Build();
  auto* canvas = dynamic_cast<RuntimeCanvas*>(PaneOf(container));
  EXPECT_FALSE(canvas->KeyDown('a', 0, 0)) << "no KeyDown handler: the key goes on";
  Install(reinterpret_cast<RuntimeObject*>(templ), "KeyDown", reinterpret_cast<void*>(&TemplateKeyDown));
  EXPECT_FALSE(canvas->KeyDown('a', 0, 0));
  EXPECT_EQ(gSeen.keys, 1);
  gSeen.keyAnswer = 1;
  EXPECT_TRUE(canvas->KeyDown('b', 0, 0));
  EXPECT_EQ(gSeen.keys, 2);
}

TEST_F(EmbeddedWindowTest, ATemplateBackColourPaintsUnderTheControls) {
  TemplateWindowServices services;
  services.backColor = &TemplateBackColor;
  SetTemplateWindowServices(services);
  Build();
  test::ShowAndSettle(native);
  test::PumpFor(100);
  std::string shot = std::string(VORN_BINARY_DIR) + "/embedded_window_backcolor.png";
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + shot);
  std::string pixel = test::PictureTool("convert " + shot + " -format '%[hex:p{315,205}]' info:");
  EXPECT_EQ(pixel.substr(0, 6), "E0C040");
}

TEST_F(EmbeddedWindowTest, ControlsOutlivingTheContainerForgetItsTemplate) {
  Build();
  // The container goes while a control of its template is still held elsewhere (a closing
  // window's panes hold theirs until they are closed, after the container's own pane).
  RuntimeObject* kept = texts[0];
  RuntimeLockObject(kept);
  ASSERT_TRUE(host->controls->RemoveEntry(string("Aperture")));
  RuntimeUnlockObject(container);
  container = nullptr;
  EXPECT_EQ(AsControl(kept)->window, nullptr) << "the template's map let it go";
  EXPECT_EQ(templ->controls->Count(), 0);
  RuntimeUnlockObject(kept);
}

TEST_F(EmbeddedWindowTest, AForwarderWithoutTemplateIsReportedAndAnswersFalse) {
  container = AddControl(GetEmbeddedWindowControlClassDefinition(), "Lonely", MakeRect(20, 20, 120, 60), host);
  MakePane(container);
  EXPECT_EQ(Reports().size(), 1u) << "the pane is made at the control's own size";
  auto* canvas = dynamic_cast<RuntimeCanvas*>(PaneOf(container));
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(canvas->Bounds().Width(), 100);
  EXPECT_FALSE(canvas->KeyDown('a', 0, 0));
  ASSERT_EQ(Reports().size(), 2u);
  EXPECT_NE(Reports().back().find("embeddedWindowControl->mTemplateWindow"), std::string::npos);
}

}  // namespace
}  // namespace vorn
