// Compiled window classes on a real display: the set-up order, implicit windows, closing and
// CancelClose, Paint, the backdrop picture and drawing a window into a picture, the frame
// table, the controls map and the Window class's members.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>

#include "core/run_loop.h"
#include "graphics/picture_object.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "vorn/graphics_api.h"
#include "support/gui_support.h"
#include "vorn/picture_api.h"
#include "vorn/socket_api.h"
#include "vorn/window_api.h"
#include "windows/control_window_hooks.h"
#include "windows/support/compiled_window_fixture.h"
#include "windows/support/test_panes.h"
#include "windows/support/window_test_classes.h"
#include "controls/message_dialog.h"
#include "windows/pane_focus.h"
#include "windows/window_controls.h"

namespace vorn {
namespace {

using test::EventLog;
using test::LogEntries;
using test::Pump;
using test::Script;

class RuntimeWindowGuiTest : public test::CompiledWindowTest {
 protected:
  RuntimeObject* Make() { return Keep(test::NewMainWindow()); }

  static RuntimeObject* Canvas(RuntimeObject* window) {
    return reinterpret_cast<test::TestWindowObject*>(window)->canvas;
  }
};

TEST_F(RuntimeWindowGuiTest, SetUpEventsRunInOrderAndNothingIsShownUntilAsked) {
  RuntimeObject* window = Make();
  std::vector<std::string> expected = {"Layout",        "CreateControls", "AddMenuHandlers:self", "Canvas.CreatePane",
                                       "SetupBindings", "Canvas.Open",    "Open"};
  EXPECT_EQ(EventLog(), expected);
  RuntimeViewWindow* view = View(window);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->Kind(), 8);
  EXPECT_EQ(view->Width(), 300);
  EXPECT_EQ(view->Height(), 200);
  Pump(100);
  EXPECT_FALSE(GTK_WIDGET_VISIBLE(view->GtkWindowWidget()));

  RuntimeShowWindow(window);
  Pump(200);
  EXPECT_TRUE(GTK_WIDGET_VISIBLE(view->GtkWindowWidget()));
  EXPECT_TRUE(WindowVisibleGetter(window, 0));
  // A canvas control got a pane in the window with the control behind it.
  SubPane* pane = ControlPane(AsControl(Canvas(window)));
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->GetWindow(), view);
  EXPECT_EQ(ControlObjectOfPane(pane), Canvas(window));
}

TEST_F(RuntimeWindowGuiTest, ImplicitWindowIsNilThenTheObjectThenNilAfterClose) {
  string name("MainWindow");
  EXPECT_EQ(RuntimeGetImplicitWindow(name.Rep()), nullptr);
  RuntimeObject* window = Make();
  RuntimeObject* implicit = RuntimeGetImplicitWindow(name.Rep());
  EXPECT_EQ(implicit, window);
  RuntimeUnlockObject(implicit);

  // A second window of the class does not take the first one's place.
  RuntimeObject* second = Make();
  implicit = RuntimeGetImplicitWindow(name.Rep());
  EXPECT_EQ(implicit, window);
  RuntimeUnlockObject(implicit);
  RuntimeCloseWindow(second);

  RuntimeCloseWindow(window);
  EXPECT_EQ(View(window), nullptr);
  EXPECT_EQ(RuntimeGetImplicitWindow(name.Rep()), nullptr);
  // The registry's reference went with the close: the compiled code's own one is the last.
  EXPECT_EQ(window->refCount, 1);
}

TEST_F(RuntimeWindowGuiTest, CancelCloseTrueKeepsTheWindowOpen) {
  RuntimeObject* window = Make();
  RuntimeShowWindow(window);
  Pump(100);
  EventLog().clear();
  Script().cancelClose = true;
  RuntimeCloseWindow(window);
  EXPECT_EQ(EventLog(), std::vector<std::string>{"CancelClose:closing"});
  ASSERT_NE(View(window), nullptr);
  EXPECT_FALSE(View(window)->IsClosing());

  // The close box asks the same question, and the answer still holds.
  test::SendDeleteWindowMessage(View(window));
  Pump(200);
  ASSERT_NE(View(window), nullptr);
  EXPECT_EQ(LogEntries("CancelClose").size(), 2u);

  Script().cancelClose = false;
  EventLog().clear();
  test::SendDeleteWindowMessage(View(window));
  Pump(200);
  EXPECT_EQ(View(window), nullptr);
  std::vector<std::string> expected = {"CancelClose:closing", "Canvas.Close", "Close"};
  EXPECT_EQ(EventLog(), expected);
  // The control outlives its pane and no longer points at it.
  EXPECT_EQ(ControlPane(AsControl(Canvas(window))), nullptr);
}

TEST_F(RuntimeWindowGuiTest, PaintReachesTheHandlerWithAGraphicsObjectThatDraws) {
  Script().paintFill = true;
  Script().canvasCount = 0;
  RuntimeObject* window = Make();
  RuntimeShowWindow(window);
  Pump(400);
  formRefresh(window, 1);
  Pump(100);
  ASSERT_FALSE(LogEntries("Paint").empty());
  for (const std::string& entry : LogEntries("Paint")) EXPECT_EQ(entry, "Paint:port");

  GdkWindow* gdkWindow = gtk_widget_get_window(View(window)->GtkWindowWidget());
  ASSERT_NE(gdkWindow, nullptr);
  GdkPixbuf* pixels = gdk_pixbuf_get_from_drawable(nullptr, GDK_DRAWABLE(gdkWindow), nullptr, 150, 100, 0, 0, 1, 1);
  ASSERT_NE(pixels, nullptr);
  const guchar* rgb = gdk_pixbuf_get_pixels(pixels);
  EXPECT_EQ(rgb[0], 0xFF);
  EXPECT_EQ(rgb[1], 0x00);
  EXPECT_EQ(rgb[2], 0x00);
  g_object_unref(pixels);
}

TEST_F(RuntimeWindowGuiTest, FramesOutsideTheTableMakeDocumentWindows) {
  EXPECT_EQ(FrameInfoFor(11).kind, 8);
  EXPECT_EQ(FrameInfoFor(-1).kind, 8);
  EXPECT_EQ(FrameInfoFor(0x7FFFFFFF).placement, 4);
  EXPECT_EQ(FrameInfoFor(3).kind, 1);
  EXPECT_EQ(FrameInfoFor(10).kind, 12);
  Script().frame = 99;
  RuntimeObject* window = Make();
  ASSERT_NE(View(window), nullptr);
  EXPECT_EQ(View(window)->Kind(), 8);
}

TEST_F(RuntimeWindowGuiTest, ControlArraysAreKeyedByNameAndIndex) {
  Script().canvasCount = 3;
  Script().canvasAsArray = true;
  RuntimeObject* window = Make();
  StringMap<RuntimeObject*>* controls = AsWindowFields(window)->controls;
  EXPECT_TRUE(controls->GetEntry(string("Canvas$0")));
  EXPECT_TRUE(controls->GetEntry(string("canvas$2")));
  EXPECT_FALSE(controls->GetEntry(string("Canvas")));
  EXPECT_EQ(windowControlCountGetter(window, 0), 3);

  // Added at run time under an existing array name: the first free index, a pane and Open.
  RuntimeObject* removed = nullptr;
  ASSERT_TRUE(controls->GetEntry(string("Canvas$1"), &removed));
  controls->RemoveEntry(string("Canvas$1"));
  RuntimeUnlockObject(removed);  // the map's reference went with the entry
  RuntimeObject* fresh = test::NewCanvas(window, "Canvas", MakeRect(200, 100, 240, 140));
  EventLog().clear();
  WindowAddControl(window, string("Canvas").Rep(), fresh);
  EXPECT_EQ(AsControl(fresh)->index, 1);
  EXPECT_TRUE(controls->GetEntry(string("Canvas$1")));
  EXPECT_NE(ControlPane(AsControl(fresh)), nullptr);
  std::vector<std::string> expected = {"Canvas.CreatePane", "Canvas.Open"};
  EXPECT_EQ(EventLog(), expected);
  RuntimeUnlockObject(fresh);
}

TEST_F(RuntimeWindowGuiTest, ReplacingAControlReleasesTheOldOne) {
  Script().canvasCount = 0;
  RuntimeObject* window = Make();
  RuntimeObject* first = test::NewCanvas(window, "Slider1", MakeRect(0, 0, 10, 10));
  RuntimeObject* second = test::NewCanvas(window, "Slider1", MakeRect(0, 0, 10, 10));
  AsWindowFields(window)->controlsCreated = 0;  // as during CreateControls
  WindowAddControl(window, string("Slider1").Rep(), first);
  EXPECT_EQ(first->refCount, 2);
  WindowAddControl(window, string("Slider1").Rep(), second);
  EXPECT_EQ(first->refCount, 1);
  EXPECT_EQ(second->refCount, 2);
  // Adding the same object again keeps one reference for the map.
  WindowAddControl(window, string("Slider1").Rep(), second);
  EXPECT_EQ(second->refCount, 2);
  AsWindowFields(window)->controlsCreated = 1;
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
}

TEST_F(RuntimeWindowGuiTest, ClosingKeepsControlsForTheNextNativeWindowAndReleasesThemWithTheWindow) {
  const int32_t liveBefore = LiveObjectCount();
  Script().canvasCount = 0;
  RuntimeObject* window = test::NewMainWindow();
  StringMap<RuntimeObject*>* controls = AsWindowFields(window)->controls;
  RuntimeObject* held = test::NewCanvas(window, "Held", MakeRect(0, 70, 50, 100));
  RuntimeObject* loose = test::NewCanvas(window, "Loose", MakeRect(60, 70, 110, 100));
  WindowAddControl(window, string("Held").Rep(), held);
  WindowAddControl(window, string("Loose").Rep(), loose);
  RuntimeUnlockObject(loose);  // from now on only the window holds it
  EXPECT_TRUE(controls->GetEntry(string("Held$0"))) << "a control added at run time is an array member";

  RuntimeCloseWindow(window);
  EXPECT_EQ(View(window), nullptr);
  RuntimeObject* kept = nullptr;
  ASSERT_TRUE(controls->GetEntry(string("Loose$0"), &kept));
  EXPECT_EQ(kept, loose);
  EXPECT_EQ(loose->refCount, 1) << "the map's own reference keeps the entry valid";
  EXPECT_EQ(ControlPane(AsControl(loose)), nullptr);

  // Shown again: a new native window gives the kept controls panes, without CreateControls or Open.
  EventLog().clear();
  RuntimeShowAsWindow(window);
  ASSERT_NE(View(window), nullptr);
  EXPECT_NE(ControlPane(AsControl(held)), nullptr);
  EXPECT_NE(ControlPane(AsControl(loose)), nullptr);
  std::vector<std::string> expected = {"AddMenuHandlers:self", "Held.CreatePane", "Loose.CreatePane",
                                       "SetupBindings"};
  EXPECT_EQ(EventLog(), expected);

  RuntimeCloseWindow(window);
  RuntimeUnlockObject(held);
  RuntimeUnlockObject(window);
  EXPECT_EQ(LiveObjectCount(), liveBefore) << "window and controls are all gone";
}

TEST_F(RuntimeWindowGuiTest, BackgroundFocusAndPointerMembersActOnTheNativeWindow) {
  Script().canvasCount = 0;
  RuntimeObject* window = Make();
  RuntimeShowWindow(window);
  Pump(200);
  EXPECT_EQ(WindowToWindowPtr(window), static_cast<void*>(View(window)->GtkWindowWidget()));
  // The background colour, then what Paint draws over it.
  windowBackColorSetter(window, 0, 0x0000FF);
  windowHasBackColorSetter(window, 0, 1);
  RuntimeObject* picture = Keep(newPicture(40, 30, 32));
  RuntimeObject* g = pictureGraphicsGetter(picture, 0);
  formDrawBackground(window, g, 0, 0, 40, 30, 0, 0);
  RuntimeObject* surface = Keep(pictureRGBSurfaceGetter(picture, 0));
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 20, 15), 0x0000FFu);
  Script().paintFill = true;
  formDrawBackground(window, g, 0, 0, 40, 30, 0, 0);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 20, 15), 0xFF0000u);
  formDrawBackground(window, nullptr, 0, 0, 40, 30, 0, 0);  // nothing to draw into
  RuntimeUnlockObject(g);
  Script().paintFill = false;

  // SetFocus gives the native window the keyboard focus, as the X server sees it.
  RuntimeObject* other = Make();
  RuntimeShowWindow(other);
  Pump(200);
  formSetFocus(window);
  Pump(200);
  EXPECT_EQ(test::Shell("xdotool getwindowfocus"), std::to_string(test::XidOf(View(window))) + "\n");
  formSetFocus(other);
  Pump(200);
  EXPECT_EQ(test::Shell("xdotool getwindowfocus"), std::to_string(test::XidOf(View(other))) + "\n");
}

TEST_F(RuntimeWindowGuiTest, SocketsTheWindowMadeCloseWithIt) {
  Script().canvasCount = 0;
  RuntimeObject* window = Make();
  RuntimeObject* server = WindowAllocateObject(window, RuntimeClassFromDefinition(LookupIntrinsicClass(string("ServerSocket"))));
  ASSERT_NE(server, nullptr);
  WindowAddControl(window, string("Server").Rep(), server);
  ServerSocketPortSetter(server, 0, 0);
  ServerSocketListen(server);
  ASSERT_EQ(serverSocketIsListening(server, 0), 1);
  RuntimeCloseWindow(window);
  EXPECT_EQ(serverSocketIsListening(server, 0), 0) << "the window's server stopped listening";
  RuntimeUnlockObject(server);
}

TEST_F(RuntimeWindowGuiTest, PropertiesWithoutAndWithANativeWindow) {
  RuntimeObject* window = Make();
  RuntimeViewWindow* view = View(window);
  RuntimeShowWindow(window);
  Pump(200);
  windowPosSetter(window, 2, 360);
  EXPECT_EQ(windowPosGetter(window, 2), 360);
  EXPECT_EQ(view->Width(), 360);
  StringRep* title = windowTitleGetter(window, 0);
  EXPECT_EQ(string::Share(title).View(), "Test window");
  RuntimeUnlockString(title);
  windowTitleSetter(window, 0, string("Renamed").Rep());
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(view->GtkWindowWidget())), "Renamed");

  // Full screen: sizes are left alone meanwhile.
  AsWindowFields(window)->fullScreen = 1;
  windowPosSetter(window, 2, 100);
  EXPECT_EQ(windowPosGetter(window, 2), 360);
  AsWindowFields(window)->fullScreen = 0;

  windowMinMaxWidthHeightSetter(window, 0, 250);
  windowMinMaxWidthHeightSetter(window, 3, 400);
  Rect limits;
  view->GetSizeLimits(&limits);
  EXPECT_EQ(limits.left, 250);
  EXPECT_EQ(limits.bottom, 400);
  EXPECT_EQ(limits.top, 0);

  RuntimeObject* control = windowControl(window, 0);
  EXPECT_EQ(control, Canvas(window));
  RuntimeUnlockObject(control);
  EXPECT_EQ(windowControl(window, 1), nullptr);
  RuntimeObject* raised = TakePendingException();
  EXPECT_TRUE(RuntimeObjectIsaDefinition(raised, GetOutOfBoundsExceptionClassDefinition()));
  RuntimeUnlockObject(raised);

  RuntimeHideWindow(window);
  EXPECT_FALSE(WindowVisibleGetter(window, 0));
  EXPECT_FALSE(GTK_WIDGET_VISIBLE(view->GtkWindowWidget()));
}

TEST_F(RuntimeWindowGuiTest, ShowModalReturnsOnceTheWindowIsHidden) {
  Script().canvasCount = 0;
  RuntimeObject* window = Make();
  Later(300, &RuntimeHideWindow, window);
  gint64 start = g_get_monotonic_time();
  RuntimeShowModal(window);
  EXPECT_GE(g_get_monotonic_time() - start, 250000);
  ASSERT_NE(View(window), nullptr);
  EXPECT_FALSE(View(window)->IsShown());
}

TEST_F(RuntimeWindowGuiTest, ShowModalWithinANilParentActsAsShowModal) {
  Script().canvasCount = 0;
  RuntimeObject* window = Make();
  Later(200, &RuntimeCloseWindow, window);
  RuntimeShowModalWithinWindow(window, nullptr);
  EXPECT_EQ(View(window), nullptr);
  EXPECT_EQ(LogEntries("Close").size(), 1u);
}

TEST_F(RuntimeWindowGuiTest, MouseDownTakenCapturesTheMouseAndKeysReachKeyDown) {
  Script().mouseDownTakes = true;
  RuntimeObject* window = Make();
  RuntimeShowWindow(window);
  Pump(300);
  RuntimeViewWindow* view = View(window);
  EXPECT_TRUE(view->MouseDown(200, 150, 0));
  EXPECT_EQ(LogEntries("MouseDown"), std::vector<std::string>{"MouseDown:200,150"});
  EXPECT_EQ(GetMouseCapturePane(), view);
  ClearMouseCapturePane();

  // The canvas is under the point: it is entered and moved over, relative to its own corner.
  EventLog().clear();
  view->MouseMove(20, 30);
  std::vector<std::string> expected = {"Canvas.MouseEnter", "Canvas.MouseMove:10,20"};
  EXPECT_EQ(EventLog(), expected);
  EventLog().clear();
  view->MouseMove(200, 150);
  EXPECT_EQ(EventLog(), std::vector<std::string>{"Canvas.MouseExit"});

  EventLog().clear();
  EXPECT_TRUE(view->KeyDown('a', 'a', 0));
  EXPECT_TRUE(view->TypeChar(0xE9, 0, 0));
  expected = {"KeyDown:a", "KeyDown:\xC3\xA9"};
  EXPECT_EQ(EventLog(), expected);
}

TEST_F(RuntimeWindowGuiTest, AWindowClosedByItsOwnEventGoesAwayWhenTheEventEnds) {
  Script().closeOnMouseDown = true;
  RuntimeObject* window = Make();
  RuntimeShowWindow(window);
  Pump(200);
  RuntimeViewWindow* view = View(window);
  PaneGuard guard(view);
  EXPECT_TRUE(view->MouseDown(200, 150, 0)) << "a window closed meanwhile counts the press as taken";
  EXPECT_EQ(guard.Get(), nullptr);
  EXPECT_EQ(View(window), nullptr);
  EXPECT_EQ(GetMouseCapturePane(), nullptr);
  std::vector<std::string> expected = {"MouseDown:200,150", "CancelClose:closing", "Canvas.Close", "Close"};
  EXPECT_EQ(std::vector<std::string>(EventLog().end() - 4, EventLog().end()), expected);
}

TEST_F(RuntimeWindowGuiTest, TheWindowLayerJoinsTheRunLoopAndTheReports) {
  EXPECT_EQ(test::PresentersInstalledAtStartUp().runtimeError, &PresentRuntimeErrorDialog);
  EXPECT_EQ(test::PresentersInstalledAtStartUp().unhandledException, &PresentUnhandledExceptionReport);
  EXPECT_FALSE(AnyRuntimeWindowOpen());
  RuntimeObject* window = Make();
  EXPECT_TRUE(AnyRuntimeWindowOpen());
  CloseAllRuntimeWindows();
  EXPECT_EQ(View(window), nullptr);
  EXPECT_FALSE(AnyRuntimeWindowOpen());
}

TEST_F(RuntimeWindowGuiTest, CloseAllWindowsClosesEveryViewWindow) {
  Make();
  Make();
  EXPECT_TRUE(AnyViewWindowOpen());
  CloseAllWindows();
  EXPECT_FALSE(AnyViewWindowOpen());
  EXPECT_EQ(RuntimeViewWindow::FirstView(), nullptr);
  EXPECT_EQ(LogEntries("Close").size(), 2u);
}

// The control layer reaches a window's fields only through these hooks; anything that is not
// a window object answers nothing and takes nothing.
TEST_F(RuntimeWindowGuiTest, ControlWindowHooksAnswerAWindowsFieldsAndNothingForOtherObjects) {
  RuntimeObject* window = Make();
  WindowObject* fields = AsWindowFields(window);
  const ControlWindowHooks& hooks = GetControlWindowHooks();
  ASSERT_NE(fields->controls, nullptr);
  EXPECT_EQ(hooks.controlMap(window), fields->controls);
  EXPECT_EQ(hooks.nativeWindow(window), View(window));
  EXPECT_EQ(hooks.containingWindow(window), nullptr);
  EXPECT_FALSE(hooks.isFullScreen(window));
  fields->fullScreen = 1;
  EXPECT_TRUE(hooks.isFullScreen(window));
  fields->fullScreen = 0;
  hooks.setWindowBounds(window, MakeRect(10, 20, 110, 220));
  const Rect bounds = hooks.windowBounds(window);
  EXPECT_EQ(bounds.left, 10);
  EXPECT_EQ(bounds.top, 20);
  EXPECT_EQ(bounds.right, 110);
  EXPECT_EQ(bounds.bottom, 220);

  ASSERT_NE(Canvas(window), nullptr);
  for (RuntimeObject* other : {Canvas(window), static_cast<RuntimeObject*>(nullptr)}) {
    EXPECT_EQ(hooks.controlMap(other), nullptr);
    EXPECT_EQ(hooks.nativeWindow(other), nullptr);
    EXPECT_EQ(hooks.containingWindow(other), nullptr);
    EXPECT_FALSE(hooks.isFullScreen(other));
    hooks.setWindowBounds(other, MakeRect(1, 2, 3, 4));
    EXPECT_TRUE(hooks.windowBounds(other).IsEmpty());
  }
}

// A picture of the size filled with one colour.
RuntimeObject* SolidPicture(int32_t width, int32_t height, uint32_t color) {
  RuntimeObject* picture = newPicture(width, height, 32);
  RuntimeObject* g = pictureGraphicsGetter(picture, 0);
  graphicsForeColorSetter(g, 0, color);
  RuntimeGraphicsFillRect(g, 0, 0, width, height);
  RuntimeUnlockObject(g);
  return picture;
}

uint32_t ScreenPixel(RuntimeObject* window, int x, int y) {
  GdkWindow* gdkWindow = gtk_widget_get_window(AsWindowFields(window)->view->GtkWindowWidget());
  GdkPixbuf* pixels = gdk_pixbuf_get_from_drawable(nullptr, GDK_DRAWABLE(gdkWindow), nullptr, x, y, 0, 0, 1, 1);
  if (!pixels) return 0xFFFFFFFF;
  const guchar* rgb = gdk_pixbuf_get_pixels(pixels);
  uint32_t value = (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
  g_object_unref(pixels);
  return value;
}

TEST_F(RuntimeWindowGuiTest, TheBackdropIsDrawnBehindThePaintEventAndDrawIntoPlacesTheWindow) {
  Script().canvasCount = 0;
  RuntimeObject* window = Make();
  RuntimeObject* backdrop = Keep(SolidPicture(60, 40, 0x0000FF));
  windowBackdropSetter(window, 0, backdrop);
  RuntimeShowWindow(window);
  Pump(400);
  formRefresh(window, 1);
  Pump(100);
  EXPECT_EQ(ScreenPixel(window, 10, 10), 0x0000FFu) << "the backdrop at the window's corner";
  EXPECT_EQ(ScreenPixel(window, 59, 39), 0x0000FFu);
  EXPECT_NE(ScreenPixel(window, 70, 50), 0x0000FFu) << "only as large as the picture";

  // Into a picture, with the window's corner at (10, 20).
  RuntimeObject* copy = Keep(SolidPicture(120, 100, 0xFFFFFF));
  RuntimeObject* g = pictureGraphicsGetter(copy, 0);
  formDrawInto(window, g, 10, 20, 0);
  RuntimeUnlockObject(g);
  DrawablePane* bitmap = PictureBitmap(copy);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(BitmapPixel(bitmap, 12, 22), 0x0000FFu);
  EXPECT_EQ(BitmapPixel(bitmap, 69, 59), 0x0000FFu);
  EXPECT_EQ(BitmapPixel(bitmap, 5, 5), 0xFFFFFFu) << "above and left of the corner nothing is drawn";
  EXPECT_NE(BitmapPixel(bitmap, 75, 65), 0x0000FFu);

  // The Paint event draws over the backdrop.
  Script().paintFill = true;
  formRefresh(window, 1);
  Pump(100);
  EXPECT_EQ(ScreenPixel(window, 10, 10), 0xFF0000u);
  windowBackdropSetter(window, 0, nullptr);
  RuntimeObject* none = windowBackdropGetter(window, 0);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
}  // namespace vorn
