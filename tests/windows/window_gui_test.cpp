// Windows on a real X display (run under Xvfb): mapping at the next run-loop iteration, the
// widget tree, clicks, tab navigation, the default button, the close box, moves, held keys.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/gtk_window_order.h"
#include "windows/pane_focus.h"
#include "windows/support/test_panes.h"

namespace vorn {
namespace {

using test::PumpFor;
using test::RunLoopIteration;
using test::PictureTool;
using test::Shell;
using test::TestButton;
using test::TestClickPane;
using test::TestEntry;
using test::TestWindow;
using test::XidOf;

class GroupPane : public ContainerPane {
 public:
  GroupPane(SubPane* parent, const Rect& r) : ContainerPane(parent, 0, r) {
    SetWidget(gtk_frame_new("Group"));
    AddPaneToWindow(this, true);
  }
};

class WindowGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs an X display";
    static bool helperReady = false;
    if (!helperReady) InitGTKHelper();
    helperReady = true;
  }

  // A window with three focusable panes (two fields and the default button) and a click area.
  void MakeDialog(int left = 100, int top = 100) {
    window = new TestWindow(MakeRect(left, top, left + 400, top + 300));
    first = new TestEntry(window, MakeRect(20, 20, 220, 46));
    second = new TestEntry(window, MakeRect(20, 60, 220, 86));
    ok = new TestButton(window, MakeRect(300, 250, 380, 282), "OK", true);
    area = new TestClickPane(window, MakeRect(20, 120, 220, 220));
  }

  void ShowAndFocus() {
    window->Show();
    RunLoopIteration();
    PumpFor(150);
    Shell("xdotool windowfocus --sync " + std::to_string(XidOf(window)));
    PumpFor(150);
    RunLoopIteration();
  }

  void TearDown() override {
    if (window) window->Close();
    window = nullptr;
    RunLoopIteration();
  }

  // Pane coordinates of the window's content on the screen.
  void ScreenPoint(int h, int v, int* x, int* y) {
    Rect r;
    window->GetScreenBounds(&r);
    *x = r.left + h;
    *y = r.top + v;
  }

  void Key(const char* keys) {
    Shell(std::string("xdotool key --delay 30 ") + keys);
    PumpFor(150);
  }

  SubPane* GtkFocusPane() {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window->GtkWindowWidget()));
    for (SubPane* p : {static_cast<SubPane*>(first), static_cast<SubPane*>(second), static_cast<SubPane*>(ok)}) {
      if (p->Widget() == focus) return p;
    }
    return nullptr;
  }

  TestWindow* window = nullptr;
  TestEntry* first = nullptr;
  TestEntry* second = nullptr;
  TestButton* ok = nullptr;
  TestClickPane* area = nullptr;
};

TEST_F(WindowGuiTest, WindowIsMappedAtTheNextRunLoopIterationOnly) {
  MakeDialog();
  window->Show();
  PumpFor(200);
  EXPECT_FALSE(GTK_WIDGET_MAPPED(window->GtkWindowWidget()));
  EXPECT_EQ(XidOf(window), 0u);  // not even realised yet

  RunLoopIteration();
  PumpFor(100);
  EXPECT_TRUE(GTK_WIDGET_MAPPED(window->GtkWindowWidget()));
  std::string info = Shell("xwininfo -id " + std::to_string(XidOf(window)));
  EXPECT_NE(info.find("Map State: IsViewable"), std::string::npos) << info;
  EXPECT_NE(info.find("Width: 400"), std::string::npos) << info;
  EXPECT_NE(info.find("Height: 300"), std::string::npos) << info;
  // The first focusable pane got the focus when the window was shown.
  EXPECT_EQ(window->FocusPaneField(), first);
}

TEST_F(WindowGuiTest, EveryControlWidgetSitsInTheWindowsFixed) {
  MakeDialog();
  auto* group = new GroupPane(window, MakeRect(240, 20, 390, 200));
  auto* inGroup = new TestButton(window, MakeRect(250, 40, 380, 70), "Inside");
  EXPECT_EQ(inGroup->GetParent(), group);
  EXPECT_EQ(ok->GetParent(), window);
  GtkWidget* fixed = window->Widget();
  ASSERT_TRUE(GTK_IS_FIXED(fixed));
  EXPECT_EQ(gtk_widget_get_parent(fixed), window->VBoxWidget());
  EXPECT_TRUE(GTK_IS_VBOX(window->VBoxWidget()));
  EXPECT_EQ(gtk_widget_get_parent(window->VBoxWidget()), window->GtkWindowWidget());
  for (SubPane* pane : window->Panes()) {
    if (pane->Widget()) {
      EXPECT_EQ(gtk_widget_get_parent(pane->Widget()), fixed);
    }
  }
  EXPECT_EQ(window->Panes().size(), 6u);

  window->Show();
  RunLoopIteration();
  PumpFor(300);
  // Each widget is allocated at its pane's bounds.
  for (SubPane* pane : window->Panes()) {
    if (!pane->Widget()) continue;
    GtkAllocation a = pane->Widget()->allocation;
    EXPECT_EQ(a.x, pane->Bounds().left);
    EXPECT_EQ(a.y, pane->Bounds().top);
    EXPECT_EQ(a.width, pane->Width());
    EXPECT_EQ(a.height, pane->Height());
  }
  const char* shot = getenv("VORN_SCREENSHOT");
  if (shot) PictureTool(std::string("import -window root ") + shot);
}

TEST_F(WindowGuiTest, AClickReachesMouseDownOnceInWindowCoordinates) {
  MakeDialog();
  ShowAndFocus();
  int x, y;
  ScreenPoint(57, 143, &x, &y);
  test::ClickScreenPoint(x, y);
  test::PumpUntil([&] { return !area->clicks.empty(); });
  ASSERT_EQ(area->clicks.size(), 1u);
  EXPECT_EQ(area->clicks[0].x, 57);
  EXPECT_EQ(area->clicks[0].y, 143);
  EXPECT_EQ(area->clicks[0].modifiers, 0);
  EXPECT_EQ(window->mouseDowns, 1);

  Shell("xdotool keydown shift click 1 keyup shift");
  test::PumpUntil([&] { return area->clicks.size() > 1; });
  ASSERT_EQ(area->clicks.size(), 2u);
  EXPECT_EQ(area->clicks[1].modifiers, kModifierShift);

  // The press on a button goes to its widget and reaches the window once.
  ScreenPoint(320, 260, &x, &y);
  test::ClickScreenPoint(x, y);
  test::PumpUntil([&] { return ok->mouseDowns > 0; });
  EXPECT_EQ(ok->mouseDowns, 1);
  EXPECT_EQ(window->NativeClickPane(), ok);
}

TEST_F(WindowGuiTest, WheelUpAndDownGiveDeltasSidewaysGivesNone) {
  MakeDialog();
  ShowAndFocus();
  int x, y;
  ScreenPoint(60, 150, &x, &y);
  // The first button's click behind them says when all have arrived.
  test::MovePointer(x, y, "click 4 click 5 click 6 click 7 click 1");
  test::PumpUntil([&] { return !area->clicks.empty(); });
  EXPECT_EQ(area->wheel, (std::vector<int32_t>{-3, 3}));

  // A pane made over a disabled group box lies in it, enabled itself: it hears no wheel.
  auto* group = new GroupPane(window, MakeRect(240, 20, 380, 200));
  group->SetEnabled(false, true);
  auto* deaf = new TestClickPane(window, MakeRect(250, 40, 370, 190));
  ScreenPoint(300, 100, &x, &y);
  const int downs = window->mouseDowns;
  test::MovePointer(x, y, "click 5 click 1");
  test::PumpUntil([&] { return window->mouseDowns > downs; });
  EXPECT_EQ(deaf->GetParent(), group);
  EXPECT_TRUE(deaf->wheel.empty());
}

// A field made over a disabled group box is enabled itself and can hold the focus, yet lies in
// a pane that hears nothing: neither its KeyDown nor its widget takes the typing.
TEST_F(WindowGuiTest, AFocusedFieldInADisabledGroupTakesNoTyping) {
  MakeDialog();
  auto* group = new GroupPane(window, MakeRect(240, 20, 380, 200));
  group->SetEnabled(false, true);
  auto* deaf = new TestEntry(window, MakeRect(250, 40, 370, 66));
  ShowAndFocus();
  ASSERT_EQ(deaf->GetParent(), group);
  deaf->SetFocus();
  ASSERT_EQ(GetFocusPane(), deaf);
  Key("x y");
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(deaf->Widget())), "");
  Key("Tab");  // the window's own keys still work
  EXPECT_NE(GetFocusPane(), deaf);
}

TEST_F(WindowGuiTest, TabAndShiftTabCycleTheFocusInPaneOrder) {
  MakeDialog();
  ShowAndFocus();
  ASSERT_EQ(GetFocusPane(), first);
  Key("Tab");
  EXPECT_EQ(GetFocusPane(), second);
  EXPECT_EQ(GtkFocusPane(), second);
  Key("Tab");
  EXPECT_EQ(GetFocusPane(), ok);
  Key("Tab");  // past the end, round to the start
  EXPECT_EQ(GetFocusPane(), first);
  Key("shift+Tab");  // before the start, round to the end
  EXPECT_EQ(GetFocusPane(), ok);
  EXPECT_EQ(GtkFocusPane(), ok);
  Key("shift+Tab");
  EXPECT_EQ(GetFocusPane(), second);
  EXPECT_EQ(second->gotFocus, 2);

  // A disabled pane is skipped.
  ok->SetEnabled(false, true);
  Key("Tab");
  EXPECT_EQ(GetFocusPane(), first);
}

TEST_F(WindowGuiTest, ReturnPressesTheDefaultButtonUnlessAFieldTakesIt) {
  MakeDialog();
  ShowAndFocus();
  ASSERT_EQ(GetFocusPane(), first);
  Key("Return");  // an editable field keeps its keys
  EXPECT_EQ(ok->presses, 0);
  first->readOnly = true;
  Key("Return");
  EXPECT_EQ(ok->presses, 1);
  Key("KP_Enter");
  EXPECT_EQ(ok->presses, 2);
  Key("Escape");  // no cancel button
  EXPECT_EQ(ok->presses, 2);
}

TEST_F(WindowGuiTest, AFieldThatAcceptsTabKeepsIt) {
  MakeDialog();
  ShowAndFocus();
  ASSERT_EQ(GetFocusPane(), first);
  first->acceptsTab = true;
  EXPECT_FALSE(window->HandleKeyPress(0xFF09, 0));  // left to the field's widget
  EXPECT_EQ(GetFocusPane(), first);
  first->acceptsTab = false;
  EXPECT_TRUE(window->HandleKeyPress(0xFF09, 0));
  EXPECT_EQ(GetFocusPane(), second);
  // Keys other than Tab always stay with an editable field.
  EXPECT_FALSE(window->HandleKeyPress(0xFF1B, 0));
}

TEST_F(WindowGuiTest, TheCloseBoxAsksTheWindow) {
  MakeDialog();
  ShowAndFocus();
  test::SendDeleteWindowMessage(window);
  PumpFor(200);
  EXPECT_EQ(window->closeBoxClicks, 1);
  // Answering true kept the window.
  EXPECT_TRUE(GTK_WIDGET_MAPPED(window->GtkWindowWidget()));
}

TEST_F(WindowGuiTest, AMoveIsReportedAtTheNextIteration) {
  MakeDialog();
  ShowAndFocus();
  RunLoopIteration();
  int movedBefore = window->moved;
  RunLoopIteration();
  EXPECT_EQ(window->moved, movedBefore);  // an unchanged window reports nothing
  Shell("xdotool windowmove --sync " + std::to_string(XidOf(window)) + " 300 220");
  PumpFor(200);
  EXPECT_EQ(window->moved, movedBefore);  // not before the run loop has looked
  RunLoopIteration();
  EXPECT_EQ(window->moved, movedBefore + 1);
  Rect r;
  window->GetScreenBounds(&r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 220);
  RunLoopIteration();
  EXPECT_EQ(window->moved, movedBefore + 1);
  EXPECT_EQ(window->resized, 0);
}

TEST_F(WindowGuiTest, HeldKeysFollowTheKeyboard) {
  MakeDialog();
  ShowAndFocus();
  Shell("xdotool keydown Escape");
  PumpFor(150);
  EXPECT_TRUE(IsMacKeyDown(53));
  Shell("xdotool keyup Escape");
  PumpFor(150);
  EXPECT_FALSE(IsMacKeyDown(53));
  // Pressed without Shift, released with it: still released.
  Shell("xdotool keydown a keydown shift keyup a keyup shift");
  PumpFor(150);
  EXPECT_EQ(HeldKeyCount(), 0);
}

TEST_F(WindowGuiTest, WindowKindsSetModalityAndFrames) {
  MakeDialog();
  ShowAndFocus();
  TestWindow plain(MakeRect(10, 10, 110, 110), 4);
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(plain.GtkWindowWidget())));
  EXPECT_FALSE(plain.IsModal());
  EXPECT_FALSE(gtk_window_get_decorated(GTK_WINDOW(plain.GtkWindowWidget())));
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(plain.GtkWindowWidget())),
            GTK_WINDOW(window->GtkWindowWidget()));
  TestWindow sheet(MakeRect(10, 10, 110, 110), 5);
  EXPECT_TRUE(sheet.IsModal());
  TestWindow document(MakeRect(10, 10, 110, 110), 0);
  EXPECT_FALSE(gtk_window_get_modal(GTK_WINDOW(document.GtkWindowWidget())));
  EXPECT_TRUE(gtk_window_get_decorated(GTK_WINDOW(document.GtkWindowWidget())));
  TestWindow floating(MakeRect(10, 10, 110, 110), 11);
  EXPECT_EQ(floating.Kind(), 8);
  EXPECT_EQ(GetFrontWindowPane(), &floating);
}

TEST_F(WindowGuiTest, DropTargetsOfferFilesAndTextTogether) {
  MakeDialog();
  first->AcceptFileDrop(string("special/any"));
  first->AcceptDrop(string("TEXT"));
  first->AcceptFileDrop(string("special/any"));
  GtkTargetList* list = gtk_drag_dest_get_target_list(first->Widget());
  ASSERT_NE(list, nullptr);
  guint info = 99;
  EXPECT_TRUE(gtk_target_list_find(list, gdk_atom_intern("text/uri-list", FALSE), &info));
  EXPECT_EQ(info, 0u);
  EXPECT_TRUE(gtk_target_list_find(list, gdk_atom_intern("text/plain", FALSE), &info));
  EXPECT_EQ(info, 1u);
  EXPECT_TRUE(gtk_target_list_find(list, gdk_atom_intern("STRING", FALSE), &info));
  EXPECT_EQ(info, 2u);
  EXPECT_EQ(first->FileTypes().size(), 1u);
  EXPECT_TRUE(first->AcceptsDropType(string("text")));
}

TEST_F(WindowGuiTest, HidingMovesTheWindowToTheBackAndClosingRemovesIt) {
  MakeDialog();
  ShowAndFocus();
  auto* other = new TestWindow(MakeRect(600, 100, 800, 300));
  other->Show();
  RunLoopIteration();
  EXPECT_EQ(GetFrontWindowPane(), other);
  other->Hide();
  EXPECT_EQ(GetWindowOrderItem(GetWindowOrderCount() - 1), other);
  EXPECT_FALSE(GTK_WIDGET_VISIBLE(other->GtkWindowWidget()));
  int count = GetWindowOrderCount();
  other->Close();
  EXPECT_EQ(GetWindowOrderCount(), count - 1);
  EXPECT_FALSE(Window::IsInWindowList(other));
}

TEST_F(WindowGuiTest, DesktopSettingsAreRead) {
  EXPECT_FALSE(GetDefaultFontName().IsEmpty());
  EXPECT_GT(GetDefaultFontSize(), 0);
  SystemColor background = GetSystemColor(2);
  EXPECT_GT(background.red + background.green + background.blue, 0);
  SystemColor none = GetSystemColor(7);
  EXPECT_EQ(none.red + none.green + none.blue, 0);

  int32_t count = GetFontFamilyCount();
  ASSERT_GT(count, 1);
  EXPECT_EQ(std::string(GetFontFamilyName(0).View()), "System");
  EXPECT_FALSE(GetFontFamilyName(count - 1).IsEmpty());
  EXPECT_TRUE(GetFontFamilyName(count).IsEmpty());
  EXPECT_TRUE(GetFontFamilyName(-1).IsEmpty());

  TextStyle style;
  style.mFontName = string("System");
  style.mSize = 14;
  style.mBold = 1;
  PangoFontDescription* d = MakeFontDescription(style);
  EXPECT_EQ(pango_font_description_get_size(d), 12 * PANGO_SCALE);
  EXPECT_EQ(pango_font_description_get_weight(d), PANGO_WEIGHT_BOLD);
  pango_font_description_free(d);

  EXPECT_NE(GetOptionalGtkSymbol(0, "gtk_window_fullscreen"), nullptr);
  EXPECT_EQ(GetOptionalGtkSymbol(0, "no_such_function_anywhere"), nullptr);
  EXPECT_EQ(GetOptionalGtkSymbol(2, "gtk_window_fullscreen"), nullptr);
  EXPECT_GT(GetDefaultScreenDepth(), 0);
  EXPECT_NE(GetClipboard(), nullptr);
  EXPECT_NE(GetNamedClipboard(string("vorn-made"), true), nullptr);

  GtkWidget* label = gtk_label_new("");
  g_object_ref_sink(label);
  SetLabelCaption(label, string("&File"), nullptr);
  EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(label)), static_cast<guint>('f'));
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), "File");
  gtk_widget_destroy(label);
  g_object_unref(label);
}

}  // namespace
}  // namespace vorn
