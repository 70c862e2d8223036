// MoviePlayers in a runtime window, built the way compiled code builds them: they take their
// place, take the focus when clicked while shown, show nothing of their own on the screen and
// draw a framed blue box into another port.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "controls/control_support.h"
#include "controls/support/control_test_support.h"
#include "controls/support/runtime_window_controls.h"
#include "graphics/graphics.h"
#include "controls/movie_classes.h"
#include "controls/movie_player_pane.h"
#include "strings/runtime_error.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"
#include "vorn/movie_api.h"
#include "vorn/window_api.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct TheaterWindowObject {
  WindowObject window;
  RuntimeObject* framed;  // held, as compiled code keeps its controls in fields
  RuntimeObject* plain;
  RuntimeObject* hidden;
};

RuntimeClass* sWindowClass = nullptr;
const Rect kFramedBounds = MakeRect(20, 20, 180, 140);
const Rect kPlainBounds = MakeRect(200, 20, 360, 140);

TheaterWindowObject* Theater(RuntimeObject* self) { return reinterpret_cast<TheaterWindowObject*>(self); }
RuntimeClass* PlayerClass() { return RuntimeLookupClass(string("MoviePlayer").Rep()); }

void OnLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 150);
  windowPosSetter(self, 1, 150);
  windowPosSetter(self, 2, 400);
  windowPosSetter(self, 3, 260);
}

void OnCreateControls(VornRuntimeObject* self) {
  test::PackedStream framed;  // AutoPlay, Controller, Looping, Border
  framed.Bool(26, true).Int(28, 1).Bool(29, true).Bool(32, true);
  Theater(self)->framed = test::AddWindowControl(self, PlayerClass(), "Framed", kFramedBounds, framed);
  Theater(self)->plain = test::AddWindowControl(self, PlayerClass(), "Plain", kPlainBounds, test::PackedStream());
  test::PackedStream hidden;
  hidden.Bool(12, false);  // Visible
  Theater(self)->hidden =
      test::AddWindowControl(self, PlayerClass(), "Hidden", MakeRect(20, 160, 180, 240), hidden);
}

void TheaterWindowFinalizer(VornRuntimeObject* self) {
  TheaterWindowObject* w = Theater(self);
  for (RuntimeObject** field : {&w->framed, &w->plain, &w->hidden}) {
    RuntimeUnlockObject(*field);
    *field = nullptr;
  }
}

std::vector<std::string> gReports;
bool CollectReport(const std::string& text) {
  gReports.push_back(text);
  return true;
}

class MoviePlayerGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::EnsureDisplay());
    test::PrepareRuntimeWindows();
    if (!sWindowClass) {
      sWindowClass = test::MakeClass("TheaterWindow", "Window", sizeof(TheaterWindowObject),
                                     {{"#Layout%%o<TheaterWindow>", Fn(&OnLayout), nullptr, 0},
                                      {"#CreateControls%%o<TheaterWindow>", Fn(&OnCreateControls), nullptr, 0}},
                                     {Fn(&TheaterWindowFinalizer), nullptr});
    }
    ASSERT_NE(sWindowClass, nullptr);
    window = RuntimeNewObject(sWindowClass);
    WindowDefaultConstructor(window);
    test::RunLoopIteration();
    native = GetWindowPaneOf(window);
    ASSERT_NE(native, nullptr);
  }
  void TearDown() override {
    if (window) test::CloseAndRelease(window);
  }
  TheaterWindowObject* Fields() { return Theater(window); }
  static RuntimeMedia* Pane(RuntimeObject* player) { return ControlPaneAs<RuntimeMedia>(player); }

  RuntimeObject* window = nullptr;
  Window* native = nullptr;
};

TEST_F(MoviePlayerGuiTest, PlayersTakeTheirPlaceWithTheirStreamedProperties) {
  RuntimeMedia* framed = Pane(Fields()->framed);
  ASSERT_NE(framed, nullptr) << "the window layer made the pane through MediaCreatePane";
  EXPECT_EQ(framed->Player(), Fields()->framed);
  EXPECT_EQ(framed->Bounds(), kFramedBounds);
  EXPECT_EQ(GetControlBounds(AsControl(Fields()->framed)), kFramedBounds);
  auto* fields = reinterpret_cast<MoviePlayerObject*>(Fields()->framed);
  EXPECT_EQ(fields->autoPlay, 1);
  EXPECT_EQ(fields->controller, 1);
  EXPECT_EQ(fields->looping, 1);
  EXPECT_EQ(fields->border, 1);
  EXPECT_TRUE(framed->Shown());
  EXPECT_FALSE(Pane(Fields()->hidden)->Shown()) << "the shown flag follows Visible";

  test::ShowAndSettle(native);
  test::FlushWindowDrawing(native);
  GtkWidget* widget = framed->Widget();
  EXPECT_EQ(widget->allocation.x, kFramedBounds.left);
  EXPECT_EQ(widget->allocation.width, RectWidth(kFramedBounds));
  EXPECT_FALSE(GTK_WIDGET_VISIBLE(Pane(Fields()->hidden)->Widget()));

  // Moving the control moves the pane and its widget.
  ctlPosSetter(Fields()->plain, 0, 220);
  test::FlushWindowDrawing(native);
  RuntimeMedia* plain = Pane(Fields()->plain);
  EXPECT_EQ(plain->Bounds().left, 220);
  EXPECT_EQ(plain->Bounds().right, 380);
  EXPECT_EQ(plain->Widget()->allocation.x, 220);
}

TEST_F(MoviePlayerGuiTest, AClickGivesAShownPlayerTheFocus) {
  test::ShowAndSettle(native);
  test::FlushWindowDrawing(native);
  RuntimeMedia* framed = Pane(Fields()->framed);
  RuntimeMedia* plain = Pane(Fields()->plain);
  EXPECT_TRUE(framed->CanFocus());
  EXPECT_FALSE(Pane(Fields()->hidden)->CanFocus());

  test::ClickAt(native, 100, 80);
  EXPECT_EQ(GetFocusPane(), framed);
  test::ClickAt(native, 280, 80);
  EXPECT_EQ(GetFocusPane(), plain);
  EXPECT_FALSE(plain->KeyDown('a', 0, 0)) << "keys are not taken";

  // Hidden, the player gives up its claim to the focus; shown again, it takes it back.
  ControlVisibleSetter(Fields()->framed, 0, 0);
  EXPECT_FALSE(framed->Shown());
  EXPECT_FALSE(framed->CanFocus());
  ControlVisibleSetter(Fields()->framed, 0, 1);
  EXPECT_TRUE(framed->CanFocus());
}

TEST_F(MoviePlayerGuiTest, OnTheScreenAPlayerShowsNothingOfItsOwn) {
  test::ShowAndSettle(native);
  test::FlushWindowDrawing(native);
  const uint32_t background = test::WindowScreenPixel(native, 190, 200);
  ASSERT_NE(background, 0xFFFFFFFFu);
  for (int32_t h : {20, 21, 100, 179, 200, 280}) {
    EXPECT_EQ(test::WindowScreenPixel(native, h, 80), background) << "at " << h;
  }
  EXPECT_EQ(test::WindowScreenPixel(native, 100, 20), background) << "no frame even with Border set";
  EXPECT_TRUE(test::SaveWindowScreenshot(native, std::string(VORN_BINARY_DIR) + "/movie_players.png"));
}

TEST_F(MoviePlayerGuiTest, ABorderWidensTheRedrawnAreaByOnePixel) {
  Rect framed = Pane(Fields()->framed)->InvalidArea();
  EXPECT_EQ(framed, MakeRect(19, 19, 181, 141));
  EXPECT_EQ(Pane(Fields()->plain)->InvalidArea(), kPlainBounds);
  boolSetter(Fields()->plain, FieldOffset(offsetof(MoviePlayerObject, border)), 1);
  EXPECT_EQ(Pane(Fields()->plain)->InvalidArea(), MakeRect(199, 19, 361, 141));
}

TEST_F(MoviePlayerGuiTest, APaneOutlivingItsPlayerNoLongerReadsIt) {
  RuntimeMedia* framed = Pane(Fields()->framed);
  // What the player's finalizer does when the object goes while the window still has the pane.
  RuntimeMediaDestructor(Fields()->framed);
  EXPECT_EQ(framed->Player(), nullptr);
  EXPECT_EQ(framed->InvalidArea(), kFramedBounds) << "no border is read from a player that is gone";
  framed->Invalidate(true);
}

TEST_F(MoviePlayerGuiTest, DrawnIntoAPortAPlayerIsAFramedBlueBox) {
  test::PixmapPort pixmap(400, 260);
  Graphics* port = pixmap.Port();
  const RGB48 red{0xFFFF, 0, 0};
  port->SetForeColor(red);
  Pane(Fields()->framed)->DrawInto(port);
  EXPECT_EQ(port->ForeColor(), red) << "the port's colour is put back";
  EXPECT_EQ(pixmap.PixelAt(100, 80), 0x2323FFu);
  EXPECT_EQ(pixmap.PixelAt(20, 80), 0x000000u) << "left edge of the frame";
  EXPECT_EQ(pixmap.PixelAt(179, 80), 0x000000u) << "right edge";
  EXPECT_EQ(pixmap.PixelAt(100, 139), 0x000000u) << "bottom edge";
  EXPECT_EQ(pixmap.PixelAt(100, 141), 0xFFFFFFu) << "nothing outside the bounds";

  gReports.clear();
  RuntimeErrorPresenter previous = SetRuntimeErrorPresenter(&CollectReport);
  Pane(Fields()->framed)->DrawInto(nullptr);
  SetRuntimeErrorPresenter(previous);
  ASSERT_EQ(gReports.size(), 1u);
  EXPECT_NE(gReports[0].find("context"), std::string::npos) << gReports[0];
}

}  // namespace
}  // namespace vorn
