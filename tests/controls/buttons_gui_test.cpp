// Push buttons, check boxes and radio buttons on a real display, driven as a user would with
// xdotool: clicks, Space on the focused button, Return and Escape for the default and cancel
// buttons, and captions with mnemonics.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "controls/check_box_class.h"
#include "controls/group_box_class.h"
#include "controls/push_button_class.h"
#include "controls/radio_button_class.h"
#include "controls/support/binding_fakes.h"
#include "controls/support/class_fixture.h"
#include "controls/support/control_test_support.h"
#include "vorn/buttons_api.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

using test::PackedStream;

enum : uint16_t { kCaption = 26 };
enum : uint16_t { kPushDefault = 27, kPushCancel = 28 };
enum : uint16_t { kBoxValue = 27 };
enum : uint16_t { kRadioValue = 27 };

// What the handlers saw, by control name.
struct Seen {
  std::vector<std::string> actions;
  std::vector<std::string> mouseUps;
  std::vector<int> valuesInAction;
  std::vector<std::string> focused;
  bool takeMouseDown = false;
  bool setValueInAction = false;
};
Seen gSeen;

std::string NameOf(RuntimeObject* self) { return std::string(RepText(AsControl(self)->name)); }

void OnAction(RuntimeObject* self) {
  gSeen.actions.push_back(NameOf(self));
  testing::ReceiverLog().push_back("Action");
}

void OnBoxAction(RuntimeObject* self) {
  OnAction(self);
  gSeen.valuesInAction.push_back(checkBoxValueGetter(self, 0));
  if (gSeen.setValueInAction) checkBoxValueSetter(self, 0, checkBoxValueGetter(self, 0) ? 0 : 1);
}

void OnGotFocus(RuntimeObject* self) { gSeen.focused.push_back(NameOf(self)); }

uint8_t OnMouseDown(RuntimeObject*, int32_t, int32_t) { return gSeen.takeMouseDown ? 1 : 0; }

uint8_t OnMouseUp(RuntimeObject* self, int32_t, int32_t) {
  gSeen.mouseUps.push_back(NameOf(self));
  return 0;
}

class ButtonsGuiTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    gSeen = Seen();
    testing::ReceiverLog().clear();
    test::ControlClassTest::SetUp();
  }

  RuntimeObject* Make(ObjectDefinition* cls, const char* name, const Rect& bounds, const PackedStream& stream,
                      void (*action)(RuntimeObject*) = &OnAction) {
    RuntimeObject* control = AddControl(cls, name, bounds, host, &stream);
    Install(control, "Action", reinterpret_cast<void*>(action));
    Install(control, "MouseDown", reinterpret_cast<void*>(&OnMouseDown));
    Install(control, "MouseUp", reinterpret_cast<void*>(&OnMouseUp));
    Install(control, "GotFocus", reinterpret_cast<void*>(&OnGotFocus));
    MakePane(control);
    return control;
  }
  static ButtonPane* Pane(RuntimeObject* control) { return ButtonPaneOf(control); }
  static std::string LabelText(RuntimeObject* control) {
    return gtk_label_get_text(GTK_LABEL(Pane(control)->LabelWidget()));
  }
  void Click(RuntimeObject* control) {
    const Rect& b = Pane(control)->Bounds();
    test::ClickAt(native, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
  }
  void Focus(RuntimeObject* control) {
    Pane(control)->SetFocus();
    test::PumpFor(100);
  }
  static bool Active(RuntimeObject* control) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Pane(control)->Widget()));
  }
  static std::vector<std::string> Names(std::initializer_list<const char*> names) {
    return std::vector<std::string>(names.begin(), names.end());
  }
};

// --- push buttons ------------------------------------------------------------------------------

TEST_F(ButtonsGuiTest, AClickPushesOnceAndReceiversHearBeforeTheHandlerButNotWhenDisabled) {
  RuntimeObject* ok = Make(GetPushButtonClassDefinition(), "OK", MakeRect(20, 20, 120, 50),
                           PackedStream().Text(kCaption, "OK"));
  RuntimeObject* receiver = testing::NewLogReceiver(7);
  pbAddActionNotificationReceiver(ok, receiver);
  test::ShowAndSettle(native);
  Click(ok);
  EXPECT_EQ(gSeen.actions, Names({"OK"}));
  EXPECT_EQ(testing::ReceiverLog(), Names({"7.PerformAction", "Action"}));

  controlEnabledSetter(ok, 0, 0);
  test::PumpFor(50);
  Click(ok);
  EXPECT_EQ(gSeen.actions.size(), 1u) << "a disabled button takes no click";
  pushButtonPush(ok);
  EXPECT_EQ(gSeen.actions.size(), 2u) << "Push acts even on a disabled button";
  pbRemoveActionNotificationReceiver(ok, receiver);
  RuntimeUnlockObject(receiver);
}

TEST_F(ButtonsGuiTest, AMouseDownThatTakesThePressGetsTheReleaseInsteadOfAnAction) {
  RuntimeObject* ok = Make(GetPushButtonClassDefinition(), "OK", MakeRect(20, 20, 120, 50),
                           PackedStream().Text(kCaption, "OK"));
  test::ShowAndSettle(native);
  gSeen.takeMouseDown = true;
  Click(ok);
  EXPECT_TRUE(gSeen.actions.empty());
  EXPECT_EQ(gSeen.mouseUps, Names({"OK"}));
  EXPECT_FALSE(static_cast<PushButtonGTK*>(Pane(ok))->MouseTracking());

  // A press it refuses, released outside the button, is no push either.
  gSeen.takeMouseDown = false;
  test::PressAndDrag(native, 70, 35, 30, 5);
  test::ReleaseMouse();
  test::PumpFor(150);
  EXPECT_TRUE(gSeen.actions.empty());
  Click(ok);
  EXPECT_EQ(gSeen.actions, Names({"OK"}));
  EXPECT_EQ(gSeen.mouseUps.size(), 1u);
}

TEST_F(ButtonsGuiTest, ReturnPushesTheFirstShownDefaultButtonAndEscapeTheCancelButton) {
  RuntimeObject* hidden = Make(GetPushButtonClassDefinition(), "Hidden", MakeRect(20, 20, 120, 50),
                               PackedStream().Text(kCaption, "Hidden").Bool(kPushDefault, true));
  RuntimeObject* first = Make(GetPushButtonClassDefinition(), "First", MakeRect(20, 60, 120, 90),
                              PackedStream().Text(kCaption, "First").Bool(kPushDefault, true));
  Make(GetPushButtonClassDefinition(), "Second", MakeRect(20, 100, 120, 130),
       PackedStream().Text(kCaption, "Second").Bool(kPushDefault, true));
  Make(GetPushButtonClassDefinition(), "Cancel", MakeRect(140, 100, 240, 130),
       PackedStream().Text(kCaption, "Cancel").Bool(kPushCancel, true));
  ControlVisibleSetter(hidden, 0, 0);
  EXPECT_TRUE(GTK_WIDGET_CAN_DEFAULT(Pane(first)->Widget()));
  test::ShowAndSettle(native);
  test::PressKeys("Return");
  EXPECT_EQ(gSeen.actions, Names({"First"}));
  test::PressKeys("Escape");
  EXPECT_EQ(gSeen.actions, Names({"First", "Cancel"}));

  controlEnabledSetter(first, 0, 0);
  test::PumpFor(50);
  test::PressKeys("Return");
  EXPECT_EQ(gSeen.actions.back(), "Second") << "a disabled default button is passed over";

  pushButtonDefaultSetter(first, 0, 0);
  EXPECT_FALSE(GTK_WIDGET_CAN_DEFAULT(Pane(first)->Widget()));
  EXPECT_EQ(pushButtonDefaultGetter(first, 0), 0);
}

TEST_F(ButtonsGuiTest, SpaceActivatesTheFocusedButton) {
  RuntimeObject* ok = Make(GetPushButtonClassDefinition(), "OK", MakeRect(20, 20, 120, 50),
                           PackedStream().Text(kCaption, "OK"));
  RuntimeObject* box = Make(GetCheckBoxClassDefinition(), "Box", MakeRect(20, 60, 220, 84),
                            PackedStream().Text(kCaption, "Clean optics"), &OnBoxAction);
  test::ShowAndSettle(native);
  gSeen.focused.clear();
  Focus(box);
  EXPECT_EQ(gSeen.focused, Names({"Box"}));
  test::PressKeys("space");
  EXPECT_EQ(gSeen.actions, Names({"Box"}));
  gSeen.focused.clear();
  Focus(ok);
  EXPECT_EQ(gSeen.focused, Names({"OK"}));
  test::PressKeys("space");
  EXPECT_EQ(gSeen.actions, Names({"Box", "OK"}));
  EXPECT_EQ(checkBoxValueGetter(box, 0), 1);
}

// --- check boxes -------------------------------------------------------------------------------

TEST_F(ButtonsGuiTest, ClickingACheckBoxTogglesValueAndActsWithTheNewValue) {
  RuntimeObject* box = Make(GetCheckBoxClassDefinition(), "Box", MakeRect(20, 20, 220, 44),
                            PackedStream().Text(kCaption, "Refractor").Bool(kBoxValue, true), &OnBoxAction);
  EXPECT_TRUE(Active(box));
  EXPECT_TRUE(gSeen.actions.empty()) << "creating a checked box fires nothing";
  test::ShowAndSettle(native);
  Click(box);
  EXPECT_FALSE(Active(box));
  EXPECT_EQ(checkBoxValueGetter(box, 0), 0);
  Click(box);
  EXPECT_EQ(checkBoxValueGetter(box, 0), 1);
  EXPECT_EQ(gSeen.actions, Names({"Box", "Box"}));
  EXPECT_EQ(gSeen.valuesInAction, (std::vector<int>{0, 1}));

  gSeen.takeMouseDown = true;
  Click(box);
  EXPECT_EQ(checkBoxValueGetter(box, 0), 1) << "a press MouseDown takes does not toggle";
  EXPECT_EQ(gSeen.mouseUps, Names({"Box"}));
  EXPECT_EQ(gSeen.actions.size(), 2u);
}

TEST_F(ButtonsGuiTest, SettingValueActsOnlyOnAChangeAndNeverInsideItsOwnAction) {
  RuntimeObject* box = Make(GetCheckBoxClassDefinition(), "Box", MakeRect(20, 20, 220, 44),
                            PackedStream().Text(kCaption, "Seeing"), &OnBoxAction);
  RuntimeObject* checkedPart = checkBoxGetBoundPart(box, string("getCheckedAction").Rep());
  RuntimeObject* uncheckedPart = checkBoxGetBoundPart(box, string("getUncheckedAction").Rep());
  RuntimeObject* onChecked = testing::NewLogReceiver(1);
  RuntimeObject* onUnchecked = testing::NewLogReceiver(2);
  RuntimeObject* onData = testing::NewLogReceiver(3);
  cbaAddActionNotificationReceiver(checkedPart, onChecked);
  cbaAddActionNotificationReceiver(uncheckedPart, onUnchecked);
  checkBoxAddDataNotificationReceiver(box, onData);

  checkBoxValueSetter(box, 0, 1);
  EXPECT_EQ(gSeen.valuesInAction, (std::vector<int>{1}));
  EXPECT_EQ(testing::ReceiverLog(), Names({"3.DataChanged", "Action", "1.PerformAction"}));
  checkBoxValueSetter(box, 0, 1);
  EXPECT_EQ(gSeen.actions.size(), 1u) << "the same value again fires nothing";

  testing::ReceiverLog().clear();
  gSeen.setValueInAction = true;
  checkBoxSetBoolean(box, 0);
  // The handler turned the box on again: Value follows, but nobody hears of it twice.
  EXPECT_EQ(gSeen.actions.size(), 2u);
  EXPECT_TRUE(Active(box));
  EXPECT_EQ(checkBoxGetBoolean(box), 1);
  EXPECT_EQ(testing::ReceiverLog(), Names({"3.DataChanged", "Action", "1.PerformAction"}));

  checkBoxRemoveDataNotificationReceiver(box, onData);
  for (RuntimeObject* o : {checkedPart, uncheckedPart, onChecked, onUnchecked, onData}) RuntimeUnlockObject(o);
}

TEST_F(ButtonsGuiTest, ADataSourceNamingNoControlLeavesTheBoxUnbound) {
  RuntimeObject* box = Make(GetCheckBoxClassDefinition(), "Box", MakeRect(20, 20, 220, 44),
                            PackedStream().Text(kCaption, "Bound"));
  CheckBoxDataSourceSetter(box, 0, string("NoSuchControl").Rep());
  CheckBoxDataFieldSetter(box, 0, string("Clean").Rep());
  auto* pane = dynamic_cast<CheckBox*>(Pane(box));
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->DataSourceName().View(), "NoSuchControl");
  EXPECT_EQ(pane->BoundDataControl(), nullptr);
  StringRep* source = CheckBoxDataSourceGetter(box, 0);
  EXPECT_EQ(RepText(source), "NoSuchControl");
  RuntimeUnlockString(source);
  CheckBoxDataSourceSetter(box, 0, nullptr);
  EXPECT_TRUE(pane->DataSourceName().IsEmpty());
}

// --- radio buttons -----------------------------------------------------------------------------

TEST_F(ButtonsGuiTest, ClickingOneRadioButtonClearsTheOthersAndOnlyItActs) {
  RuntimeObject* a = Make(GetRadioButtonClassDefinition(), "A", MakeRect(20, 20, 200, 44),
                          PackedStream().Text(kCaption, "Refractor").Bool(kRadioValue, true));
  RuntimeObject* b = Make(GetRadioButtonClassDefinition(), "B", MakeRect(20, 50, 200, 74),
                          PackedStream().Text(kCaption, "Reflector"));
  RuntimeObject* c = Make(GetRadioButtonClassDefinition(), "C", MakeRect(20, 80, 200, 104),
                          PackedStream().Text(kCaption, "SCT"));
  EXPECT_TRUE(gSeen.actions.empty()) << "creation fires nothing";
  // The button losing the selection tells its unchecked receivers, the new one its checked.
  RuntimeObject* aUnchecked = radioGetBoundPart(a, string("getUncheckedAction").Rep());
  RuntimeObject* bChecked = radioGetBoundPart(b, string("getCheckedAction").Rep());
  RuntimeObject* onUnchecked = testing::NewLogReceiver(2);
  RuntimeObject* onChecked = testing::NewLogReceiver(1);
  vnaAddActionNotificationReceiver(aUnchecked, onUnchecked);
  vnaAddActionNotificationReceiver(bChecked, onChecked);
  testing::ReceiverLog().clear();
  test::ShowAndSettle(native);
  Click(b);
  EXPECT_EQ(radioValueGetter(a, 0), 0);
  EXPECT_EQ(radioValueGetter(b, 0), 1);
  EXPECT_EQ(radioValueGetter(c, 0), 0);
  EXPECT_EQ(gSeen.actions, Names({"B"}));
  EXPECT_EQ(testing::ReceiverLog(), Names({"2.PerformAction", "Action", "1.PerformAction"}));
  for (RuntimeObject* o : {aUnchecked, bChecked, onUnchecked, onChecked}) RuntimeUnlockObject(o);
  Click(b);
  EXPECT_EQ(gSeen.actions.size(), 1u) << "selecting the selected button again fires nothing";

  radioValueSetter(c, 0, 1);
  EXPECT_EQ(gSeen.actions, Names({"B", "C"}));
  EXPECT_EQ(radioValueGetter(b, 0), 0);
  radioValueSetter(c, 0, 0);
  EXPECT_EQ(radioValueGetter(a, 0) + radioValueGetter(b, 0) + radioValueGetter(c, 0), 0)
      << "false on the selected button leaves the group off";
  EXPECT_EQ(gSeen.actions.size(), 2u);
  EXPECT_FALSE(Pane(c)->CanFocus()) << "only a selected radio button takes the focus";
  Click(a);
  EXPECT_TRUE(Pane(a)->CanFocus());
}

TEST_F(ButtonsGuiTest, GroupBoxesAndPagesMakeSeparateGroupsAndMovingChangesTheGroup) {
  MakePane(AddControl(GetGroupBoxClassDefinition(), "Frame", MakeRect(10, 120, 300, 220), host));
  RuntimeObject* outer = Make(GetRadioButtonClassDefinition(), "Outer", MakeRect(20, 20, 200, 44),
                              PackedStream().Text(kCaption, "Outer").Bool(kRadioValue, true));
  RuntimeObject* inner = Make(GetRadioButtonClassDefinition(), "Inner", MakeRect(20, 140, 200, 164),
                              PackedStream().Text(kCaption, "Inner").Bool(kRadioValue, true));
  RuntimeObject* inner2 = Make(GetRadioButtonClassDefinition(), "Inner2", MakeRect(20, 170, 200, 194),
                               PackedStream().Text(kCaption, "Inner2"));
  EXPECT_EQ(radioValueGetter(outer, 0), 1);
  EXPECT_EQ(radioValueGetter(inner, 0), 1) << "the group box's buttons are a group of their own";
  auto* innerPane = static_cast<RadioButtonGTK*>(Pane(inner));
  EXPECT_EQ(innerPane->Group(), static_cast<RadioButtonGTK*>(Pane(inner2))->Group());
  EXPECT_NE(innerPane->Group(), static_cast<RadioButtonGTK*>(Pane(outer))->Group());

  // Moved out into the window, it joins the window's group keeping its selection, which turns
  // the outer one off; nothing was chosen, so nothing acts.
  innerPane->SetParent(native);
  EXPECT_EQ(innerPane->Group(), static_cast<RadioButtonGTK*>(Pane(outer))->Group());
  EXPECT_EQ(radioValueGetter(inner, 0), 1);
  EXPECT_EQ(radioValueGetter(outer, 0), 0);
  EXPECT_EQ(radioValueGetter(inner2, 0), 0);
  EXPECT_TRUE(gSeen.actions.empty());
  test::ShowAndSettle(native);
  Click(inner2);
  EXPECT_EQ(radioValueGetter(inner2, 0), 1) << "the group left behind still works";
  EXPECT_EQ(radioValueGetter(inner, 0), 1);
}

// --- captions ----------------------------------------------------------------------------------

TEST_F(ButtonsGuiTest, CaptionsShowTheirMnemonicUnderlinedAndADoubledAmpersandOnce) {
  RuntimeObject* ok = Make(GetPushButtonClassDefinition(), "OK", MakeRect(20, 20, 160, 50),
                           PackedStream().Text(kCaption, "&Compute"));
  RuntimeObject* box = Make(GetCheckBoxClassDefinition(), "Box", MakeRect(20, 60, 260, 84),
                            PackedStream().Text(kCaption, "Fish && Chips"));
  RuntimeObject* radio = Make(GetRadioButtonClassDefinition(), "Radio", MakeRect(20, 90, 260, 114),
                              PackedStream().Text(kCaption, "Re&flector"));
  EXPECT_EQ(LabelText(ok), "Compute");
  EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(Pane(ok)->LabelWidget())), gdk_keyval_from_name("c"));
  EXPECT_EQ(LabelText(box), "Fish & Chips");
  EXPECT_EQ(LabelText(radio), "Reflector");
  EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(Pane(radio)->LabelWidget())), gdk_keyval_from_name("f"));
  StringRep* caption = pushButtonTitleGetter(ok, 0);
  EXPECT_EQ(RepText(caption), "&Compute") << "Caption keeps the text as given";
  RuntimeUnlockString(caption);

  radioTitleSetter(radio, 0, string("&SCT").Rep());
  checkBoxBoldSetter(box, 0, 1);
  EXPECT_EQ(LabelText(radio), "SCT");
  EXPECT_EQ(Pane(box)->Style().mBold, 1);
  test::ShowAndSettle(native);
  test::PumpFor(100);
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR +
              "/buttons_captions.png");
}

// --- drawing into a port ---------------------------------------------------------------------

TEST_F(ButtonsGuiTest, ButtonsDrawTheirFrameOrIndicatorAndCaptionIntoAPort) {
  RuntimeObject* ok = Make(GetPushButtonClassDefinition(), "OK", MakeRect(20, 20, 120, 50),
                           PackedStream().Text(kCaption, "&OK"));
  RuntimeObject* on = Make(GetCheckBoxClassDefinition(), "On", MakeRect(20, 60, 220, 84),
                           PackedStream().Text(kCaption, "Checked").Bool(kBoxValue, true));
  RuntimeObject* off = Make(GetCheckBoxClassDefinition(), "Off", MakeRect(20, 90, 220, 114),
                            PackedStream().Text(kCaption, "Checked"));
  RuntimeObject* radio = Make(GetRadioButtonClassDefinition(), "Radio", MakeRect(20, 120, 220, 144),
                              PackedStream().Text(kCaption, "Option").Bool(kRadioValue, true));
  test::ShowAndSettle(native);
  test::PixmapPort pixmap(260, 160);
  for (RuntimeObject* control : {ok, on, off, radio}) Pane(control)->DrawInto(pixmap.Port());
  pixmap.SavePNG(std::string(VORN_BINARY_DIR) + "/buttons_paint.png");
  EXPECT_GT(pixmap.InkIn(MakeRect(20, 20, 120, 22)), 50) << "the button's frame";
  EXPECT_GT(pixmap.InkIn(MakeRect(55, 27, 85, 43)), 20) << "the caption, centred";
  EXPECT_GT(pixmap.InkIn(MakeRect(20, 60, 38, 84)), 20) << "the check indicator";
  EXPECT_GT(pixmap.InkIn(MakeRect(40, 60, 110, 84)), 20) << "the caption beside it";
  // The same box checked and unchecked differs only in its indicator.
  int32_t differ = 0;
  for (int32_t y = 0; y < 24; ++y) {
    for (int32_t x = 20; x < 220; ++x) {
      if (pixmap.PixelAt(x, 60 + y) != pixmap.PixelAt(x, 90 + y)) {
        ++differ;
        EXPECT_LT(x, 38) << "at " << x << "," << y;
      }
    }
  }
  EXPECT_GT(differ, 0);
  EXPECT_GT(pixmap.InkIn(MakeRect(20, 120, 38, 144)), 20) << "the radio indicator";
  EXPECT_EQ(pixmap.InkIn(MakeRect(230, 0, 260, 160)), 0) << "nothing right of the buttons";
}

}  // namespace
}  // namespace vorn
