// Message dialogs on a real display, driven from inside their modal run: the layout of the
// buttons, the default and cancel buttons, the close box, and the runtime's reports.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "objects/accessors.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "vorn/desktop_api.h"
#include "vorn/window_api.h"
#include "controls/message_dialog.h"
#include "windows/pane_focus.h"
#include "windows/screen.h"
#include "windows/support/test_panes.h"
#include "windows/support/window_test_classes.h"

namespace vorn {
namespace {

std::function<void(MessageDialogImp*)>& OnShown() {
  static std::function<void(MessageDialogImp*)> handler;
  return handler;
}

void CallOnShown(MessageDialogImp* imp) {
  if (OnShown()) OnShown()(imp);
}

// Keys as the window's key handler gets them from GTK.
constexpr uint32_t kKeyReturn = 0xFF0D;
constexpr uint32_t kKeyEscape = 0xFF1B;

struct Seen {
  std::string action, cancel, alternate;
  int actionLeft = -1, cancelLeft = -1, alternateLeft = -1;
  int actionCentre = 0, windowWidth = 0, windowHeight = 0;
  bool actionIsDefault = false, actionHasFocus = false;
  bool anyDefault = false;
};

Seen Inspect(MessageDialogImp* imp) {
  Seen seen;
  seen.windowWidth = imp->Width();
  seen.windowHeight = imp->Height();
  if (PushButtonGTK* b = imp->ActionButton()) {
    seen.action = std::string(b->Caption().View());
    seen.actionLeft = b->Bounds().left;
    seen.actionCentre = (b->Bounds().left + b->Bounds().right) / 2;
    seen.actionIsDefault = b->IsDefault();
    seen.actionHasFocus = GetFocusPane() == b;
  }
  if (PushButtonGTK* b = imp->CancelButton()) {
    seen.cancel = std::string(b->Caption().View());
    seen.cancelLeft = b->Bounds().left;
  }
  if (PushButtonGTK* b = imp->AlternateButton()) {
    seen.alternate = std::string(b->Caption().View());
    seen.alternateLeft = b->Bounds().left;
  }
  seen.anyDefault = imp->FindDefaultButton() != nullptr;
  return seen;
}

class MessageDialogGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs an X display";
    test::EnsureTestClasses();
    SetMessageDialogShownHook(&CallOnShown);
  }

  void SetUp() override {
    dialog = CreateInstanceFromDefinition(GetMessageDialogClassDefinition());
    ASSERT_NE(dialog, nullptr);
  }

  void TearDown() override {
    OnShown() = nullptr;
    RuntimeUnlockObject(dialog);
    test::Pump(20);
  }

  MessageDialogObject* Fields() { return reinterpret_cast<MessageDialogObject*>(dialog); }

  void SetText(size_t offset, const char* text) {
    stringSetter(dialog, static_cast<int32_t>(offset), string(text).Rep());
  }

  RuntimeObject* ButtonObject(int32_t index) {
    RuntimeObject* button = MDButtonGetter(dialog, index);
    RuntimeUnlockObject(button);  // the dialog keeps it
    return button;
  }

  // Runs the dialog; answers the button object it returned (the reference is dropped).
  RuntimeObject* Run(bool within = false) {
    RuntimeObject* button = within ? MessageDialogShowModalWithin(dialog, nullptr) : MessageDialogShowModal(dialog);
    RuntimeUnlockObject(button);
    return button;
  }

  RuntimeObject* dialog = nullptr;
};

TEST_F(MessageDialogGuiTest, MessageOnlyShowsOneCentredDefaultOK) {
  SetText(offsetof(MessageDialogObject, message), "The telescope is ready.");
  Seen seen;
  OnShown() = [&](MessageDialogImp* imp) {
    test::Pump(200);
    seen = Inspect(imp);
    test::PictureTool("import -window root " VORN_BINARY_DIR "/message_dialog_ok.png");
    imp->HandleKeyPress(kKeyReturn, 0);
  };
  RuntimeObject* chosen = Run();
  EXPECT_EQ(seen.action, "OK");
  EXPECT_EQ(seen.cancel, "");
  EXPECT_EQ(seen.alternate, "");
  EXPECT_TRUE(seen.actionIsDefault);
  EXPECT_TRUE(seen.actionHasFocus);
  EXPECT_LE(std::abs(seen.actionCentre - seen.windowWidth / 2), 1);
  EXPECT_EQ(chosen, ButtonObject(kDialogActionButton));
  // The default caption went back into the dialog.
  StringRep* caption = MDBCaptionGetter(ButtonObject(kDialogActionButton), 0);
  EXPECT_EQ(string::Share(caption).View(), "OK");
  RuntimeUnlockString(caption);
}

TEST_F(MessageDialogGuiTest, SaveCancelDiscardAppearAsSaveDiscardCancel) {
  SetText(offsetof(MessageDialogObject, message), "Save the changes to the observing log?");
  SetText(offsetof(MessageDialogObject, explanation), "Your changes are lost if you do not save them.");
  MDBCaptionSetter(ButtonObject(kDialogActionButton), 0, string("Save").Rep());
  MDBCaptionSetter(ButtonObject(kDialogCancelButton), 0, string("Cancel").Rep());
  MDBCaptionSetter(ButtonObject(kDialogAlternateButton), 0, string("&Discard").Rep());
  MDBBooleanSetter(ButtonObject(kDialogCancelButton), 0, 1);
  MDBBooleanSetter(ButtonObject(kDialogAlternateButton), 0, 1);
  Seen seen;
  OnShown() = [&](MessageDialogImp* imp) {
    test::Pump(200);
    seen = Inspect(imp);
    test::PictureTool("import -window root " VORN_BINARY_DIR "/message_dialog_three.png");
    imp->HandleKeyPress(kKeyEscape, 0);
  };
  RuntimeObject* chosen = Run();
  EXPECT_EQ(seen.action, "Save");
  EXPECT_EQ(seen.alternate, "&Discard");
  EXPECT_EQ(seen.cancel, "Cancel");
  EXPECT_LT(seen.actionLeft, seen.alternateLeft);
  EXPECT_LT(seen.alternateLeft, seen.cancelLeft);
  EXPECT_EQ(chosen, ButtonObject(kDialogCancelButton));
}

TEST_F(MessageDialogGuiTest, TheCloseBoxReturnsTheCancelButtonEvenWhenItIsNotShown) {
  SetText(offsetof(MessageDialogObject, message), "Closing from the title bar");
  Seen seen;
  OnShown() = [&](MessageDialogImp* imp) {
    test::Pump(100);
    seen = Inspect(imp);
    test::SendDeleteWindowMessage(imp);
  };
  // A nil parent shows the ordinary modal dialog.
  RuntimeObject* chosen = Run(/*within=*/true);
  EXPECT_EQ(seen.cancel, "");
  EXPECT_EQ(chosen, ButtonObject(kDialogCancelButton));
}

TEST_F(MessageDialogGuiTest, WithoutADefaultButtonReturnPressesNothing) {
  SetText(offsetof(MessageDialogObject, message), "No default");
  MDBBooleanSetter(ButtonObject(kDialogCancelButton), 1, 0);  // Default false on any button
  EXPECT_EQ(Fields()->defaultIndex, kDialogNoButton);
  Seen seen;
  bool stillShown = false;
  OnShown() = [&](MessageDialogImp* imp) {
    test::Pump(100);
    seen = Inspect(imp);
    imp->HandleKeyPress(kKeyReturn, 0);
    test::Pump(50);
    stillShown = imp->IsShown();
    imp->ActionButton()->Press();
  };
  RuntimeObject* chosen = Run();
  EXPECT_FALSE(seen.anyDefault);
  EXPECT_TRUE(stillShown);
  EXPECT_EQ(chosen, ButtonObject(kDialogActionButton));
}

TEST_F(MessageDialogGuiTest, ALongMessageWrapsWithinFourFifthsOfTheScreen) {
  std::string longText;
  for (int i = 0; i < 60; ++i) longText += "The faintest star visible depends on aperture and sky. ";
  SetText(offsetof(MessageDialogObject, message), longText.c_str());
  Seen seen;
  OnShown() = [&](MessageDialogImp* imp) {
    seen = Inspect(imp);
    imp->ActionButton()->Press();
  };
  Run();
  ScreenInfo screen;
  ASSERT_TRUE(GetScreenInfo(0, &screen));
  EXPECT_LE(seen.windowWidth, static_cast<int>(screen.availableWidth * 0.8 + 0.5));
  EXPECT_GT(seen.windowWidth, screen.availableWidth / 2);
  EXPECT_GT(seen.windowHeight, 32 + 68) << "the text wraps onto several lines";
}

TEST_F(MessageDialogGuiTest, AnInvalidDefaultIndexIsReportedAndGivesNoDefault) {
  static std::vector<std::string> reports;
  reports.clear();
  RuntimeErrorPresenter previous = SetRuntimeErrorPresenter([](const std::string& text) {
    reports.push_back(text);
    return true;
  });
  SetText(offsetof(MessageDialogObject, message), "Bad index");
  Fields()->defaultIndex = 7;
  Seen seen;
  OnShown() = [&](MessageDialogImp* imp) {
    seen = Inspect(imp);
    imp->ActionButton()->Press();
  };
  Run();
  SetRuntimeErrorPresenter(previous);
  EXPECT_FALSE(seen.anyDefault);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("default button behavior was assigned to an invalid button index"), std::string::npos);
}

TEST_F(MessageDialogGuiTest, RuntimeErrorReportsGoOnWithOKAndStopWithCancel) {
  std::string message;
  OnShown() = [&](MessageDialogImp* imp) {
    message = imp->Title().IsEmpty() ? "untitled" : "titled";
    imp->ActionButton()->Press();
  };
  EXPECT_TRUE(PresentRuntimeErrorDialog("A failed assertion"));
  EXPECT_EQ(message, "untitled");
  OnShown() = [&](MessageDialogImp* imp) {
    ASSERT_NE(imp->CancelButton(), nullptr);
    imp->CancelButton()->Press();
  };
  EXPECT_FALSE(PresentRuntimeErrorDialog("A failed assertion"));
}

TEST_F(MessageDialogGuiTest, UnhandledExceptionReportShowsItsTextsWithOneButton) {
  Seen seen;
  OnShown() = [&](MessageDialogImp* imp) {
    test::Pump(200);
    seen = Inspect(imp);
    test::PictureTool("import -window root " VORN_BINARY_DIR "/message_dialog_exception.png");
    imp->HandleKeyPress(kKeyReturn, 0);
  };
  PresentUnhandledExceptionReport(
      string("An exception of class NilObjectException was not handled.  The application must shut down."),
      string("Exception Message: no window"));
  EXPECT_EQ(seen.action, "OK");
  EXPECT_EQ(seen.cancel, "");
  EXPECT_TRUE(seen.actionIsDefault);
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

// MsgBox's style picks the buttons, the default one and the icon; the answer names the button.
TEST_F(MessageDialogGuiTest, MsgBoxStylesShowTheirButtonsAndAnswerWithTheirCodes) {
  struct Case {
    int32_t style;
    const char *action, *alternate, *cancel, *byDefault;
    int press;  // 0 Return, 1 the close box, 2 the alternate button
    int32_t answer;
  };
  const Case cases[] = {
      {0, "OK", "", "", "OK", 0, 1},
      {1 + 256, "OK", "", "Cancel", "Cancel", 0, 2},
      {2 + 512, "Abort", "Retry", "Ignore", "Ignore", 2, 4},
      {3 + 32, "Yes", "No", "Cancel", "Yes", 1, 2},
      {4 + 256, "Yes", "No", "", "No", 1, 7},
      {5 + 16, "Retry", "", "Cancel", "Retry", 0, 4},
      {7 + 1024, "OK", "", "", "OK", 1, 1},  // unknown sets and default buttons give OK
  };
  for (const Case& c : cases) {
    std::string action, alternate, cancel, byDefault;
    OnShown() = [&](MessageDialogImp* imp) {
      action = imp->ActionButton() ? std::string(imp->ActionButton()->Caption().View()) : "";
      alternate = imp->AlternateButton() ? std::string(imp->AlternateButton()->Caption().View()) : "";
      cancel = imp->CancelButton() ? std::string(imp->CancelButton()->Caption().View()) : "";
      byDefault = imp->DefaultButton() ? std::string(imp->DefaultButton()->Caption().View()) : "";
      if (c.style == 3 + 32) {
        test::Pump(200);
        test::PictureTool("import -window root " VORN_BINARY_DIR "/msgbox_yes_no_cancel.png");
      }
      if (c.press == 0) imp->HandleKeyPress(kKeyReturn, 0);
      if (c.press == 2) imp->AlternateButton()->Press();
      if (c.press == 1) {
        test::Pump(50);
        test::SendDeleteWindowMessage(imp);
      }
    };
    EXPECT_EQ(VB_RuntimeMsgBox(string("Go on?").Rep(), c.style, nullptr), c.answer) << c.style;
    EXPECT_EQ(action, c.action) << c.style;
    EXPECT_EQ(alternate, c.alternate) << c.style;
    EXPECT_EQ(cancel, c.cancel) << c.style;
    EXPECT_EQ(byDefault, c.byDefault) << c.style;
  }
}

}  // namespace
}  // namespace vorn
