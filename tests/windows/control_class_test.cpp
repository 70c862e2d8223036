// The Control and RectControl classes: the property index every control class starts with,
// the object layout the rows point into, and the accessors of a control with and without pane.
#include <gtest/gtest.h>

#include <string>

#include "objects/runtime_object.h"
#include "windows/rect_control.h"
#include "windows/support/control_fixture.h"

namespace vorn::test {
namespace {

using ControlClassTest = ControlTest;

TEST_F(ControlClassTest, EveryControlClassStartsWithTheSameTwentySixProperties) {
  const char* expected[] = {"Name%s%", "Index%i4%", "TabPanelIndex%i4%", "PanelIndex%i4%", "MouseX%i4%",
                            "MouseY%i4%", "Window%o<Window>%", "Handle%i4%", "HelpTag%s%", "BalloonHelp%s%",
                            "DisabledBalloonHelp%s%", "MouseCursor%o<MouseCursor>%", "Visible%b%", "Left%i4%",
                            "Top%i4%", "Width%i4%", "Height%i4%", "Enabled%b%", "Active%b%",
                            "AutoDeactivate%b%", "LockLeft%b%", "LockTop%b%", "LockRight%b%", "LockBottom%b%",
                            "Parent%o<RectControl>%", "InitialParent%s%"};
  RuntimeClass* cls = RuntimeClassFromDefinition(GetTestControlDefinition());
  ASSERT_GE(cls->PropertyCount(), 26);
  for (int i = 0; i < 26; ++i) EXPECT_EQ(RepText(cls->mAccessors[i].signature), expected[i]) << i;
  EXPECT_EQ(RepText(cls->mAccessors[kPropMinimum].signature), "Minimum%f8%");
  EXPECT_EQ(RuntimeClassFromDefinition(GetControlClassDefinition())->PropertyCount(), 8);
  // Read-only and write-only rows.
  for (int i : {4, 5, 6, 7, 18}) EXPECT_EQ(cls->mAccessors[i].setter, nullptr) << i;
  EXPECT_EQ(cls->mAccessors[25].getter, nullptr);
}

TEST_F(ControlClassTest, FieldRowsPointIntoTheLayoutCompiledCodeSees) {
  RuntimeClass* cls = RuntimeClassFromDefinition(GetRectControlClassDefinition());
  EXPECT_EQ(cls->mInstanceSize, VORN_CONTROL_INSTANCE_SIZE);
  EXPECT_EQ(RuntimeClassFromDefinition(GetControlClassDefinition())->mInstanceSize, VORN_CONTROL_INSTANCE_SIZE);
  EXPECT_EQ(cls->mAccessors[0].param, static_cast<int32_t>(offsetof(VornControlObject, name)));
  EXPECT_EQ(cls->mAccessors[1].param, static_cast<int32_t>(offsetof(VornControlObject, index)));
  EXPECT_EQ(cls->mAccessors[2].param, static_cast<int32_t>(offsetof(VornControlObject, tabPanelIndex)));
  EXPECT_EQ(cls->mAccessors[8].param, static_cast<int32_t>(offsetof(VornControlObject, helpTag)));
  EXPECT_EQ(cls->mAccessors[11].param, static_cast<int32_t>(offsetof(VornControlObject, mouseCursor)));
  for (int which = 0; which < 4; ++which) EXPECT_EQ(cls->mAccessors[13 + which].param, which);
  // Control's three events come first in every control's table.
  EXPECT_EQ(GetControlEventHook(kControlEventClose)->index, 2);
  EXPECT_EQ(GetRectControlEventHook(kRectEventMouseMove)->index, 3);
  EXPECT_EQ(TestControlActionHook()->index, 10);
}

TEST_F(ControlClassTest, NewControlIsNoArrayMemberAndOnNoTabPanel) {
  RuntimeObject* ctl = CreateInstanceFromDefinition(GetRectControlClassDefinition());
  EXPECT_EQ(intGetter(ctl, kControlIndexOffset), kNotInControlArray);
  EXPECT_EQ(ControlPanelIndexGetter(ctl, 0), -1);
  ControlPanelIndexSetter(ctl, 0, 2);
  EXPECT_EQ(intGetter(ctl, kControlTabPanelOffset), 3);
  EXPECT_EQ(ControlPanelIndexGetter(ctl, 0), 2);
  RuntimeUnlockObject(ctl);
}

TEST_F(ControlClassTest, WithoutPaneAccessorsAnswerZeroAndSettersOnlyStore) {
  TestControlObject* ctl = NewControl("Lone");
  EXPECT_EQ(controlMouseXGetter(Obj(ctl), 0), 0);
  EXPECT_EQ(controlMouseYGetter(Obj(ctl), 0), 0);
  EXPECT_EQ(controlMacControlHandleGetter(Obj(ctl), 0), 0);
  EXPECT_EQ(controlActiveGetter(Obj(ctl), 0), 0);
  EXPECT_EQ(controlWindowGetter(Obj(ctl), 0), nullptr);
  controlHelpTagSetter(Obj(ctl), 0, string("tip").Rep());
  controlAutoDeactivateSetter(Obj(ctl), 0, 5);
  controlLockRightSetter(Obj(ctl), 0, 1);
  controlEnabledSetter(Obj(ctl), 0, 0);
  RuntimeControlRefresh(Obj(ctl), 1);
  controlAcceptTextDrop(Obj(ctl));
  EXPECT_EQ(string::Share(ctl->base.helpTag).View(), "tip");
  EXPECT_EQ(controlAutoDeactivateGetter(Obj(ctl), 0), 1);
  EXPECT_EQ(ControlLockFlags(Ctl(ctl)), kLockRight);
  EXPECT_EQ(controlEnabledGetter(Obj(ctl), 0), 0);
}

TEST_F(ControlClassTest, WithPaneSettersReachThePane) {
  TestControlObject* ctl = NewControl("Knob");
  SubPane* pane = GiveControlPane(ctl, MakeRect(10, 10, 60, 40));
  controlHelpTagSetter(Obj(ctl), 0, string("Aperture").Rep());
  EXPECT_EQ(pane->HelpTag().View(), "Aperture");
  controlAutoDeactivateSetter(Obj(ctl), 0, 0);
  EXPECT_FALSE(pane->AutoDeactivate());
  controlAcceptMacDataDrop(Obj(ctl), string("DATA").Rep());
  controlAcceptTextDrop(Obj(ctl));
  EXPECT_TRUE(pane->AcceptsDropType(string("DATA")));
  EXPECT_TRUE(pane->AcceptsDropType(string("TEXT")));
  EXPECT_TRUE(pane->AcceptsDropType(string("utxt")));
  // The pane stores bounds and reads lock bytes through the object.
  controlLockLeftSetter(Obj(ctl), 0, 1);
  EXPECT_EQ(pane->GetRunControl()->LockFlags(), kLockLeft);
  pane->SetBounds(MakeRect(20, 25, 70, 55), false);
  EXPECT_EQ(GetControlBounds(Ctl(ctl)).left, 20);
  EXPECT_EQ(GetControlBounds(Ctl(ctl)).top, 25);
}

TEST_F(ControlClassTest, MenuHandlersAreMadeOnFirstUseAndReplacedByName) {
  TestControlObject* ctl = NewControl("Menuish");
  int a = 0, b = 0;
  ControlAddMenuHandler(Obj(ctl), string("FileQuit").Rep(), nullptr);
  EXPECT_EQ(ControlMenuHandlers(Ctl(ctl)), nullptr);
  ControlAddMenuHandler(Obj(ctl), string("FileQuit").Rep(), &a);
  ControlAddMenuHandler(Obj(ctl), string("filequit").Rep(), &b);
  void* found = nullptr;
  ASSERT_NE(ControlMenuHandlers(Ctl(ctl)), nullptr);
  EXPECT_TRUE(ControlMenuHandlers(Ctl(ctl))->GetEntry(string("FILEQUIT"), &found));
  EXPECT_EQ(found, &b);
  EXPECT_EQ(ControlMenuHandlers(Ctl(ctl))->Count(), 1);
  ControlAddMenuHandler(Obj(ctl), nullptr, &a);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("name"), std::string::npos);
}

}  // namespace
}  // namespace vorn::test
