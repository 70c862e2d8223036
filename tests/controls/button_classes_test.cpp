// The button controls without a display: radio-group bookkeeping, the property order packed
// streams rely on, entry points bound by name, and the accessors and action parts working on
// stored fields before a pane exists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/check_box_class.h"
#include "controls/push_button_class.h"
#include "controls/radio_button_class.h"
#include "controls/radio_group.h"
#include "controls/binding_interfaces.h"
#include "controls/support/binding_fakes.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "support/class_test.h"
#include "vorn/buttons_api.h"

namespace vorn {
namespace {

// --- radio groups ----------------------------------------------------------------------------

std::vector<int> gHidden;  // hidden buttons alive, by number
int gNextHidden = 0;

void* NewHidden() {
  gHidden.push_back(++gNextHidden);
  return reinterpret_cast<void*>(static_cast<intptr_t>(gNextHidden));
}

void DestroyHidden(void* button) {
  int n = static_cast<int>(reinterpret_cast<intptr_t>(button));
  std::erase(gHidden, n);
}

class RadioGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gHidden.clear();
    gNextHidden = 0;
  }
  RadioGroupRegistry groups{{&NewHidden, &DestroyHidden}};
  const int parentA = 0;
  const int parentB = 0;
};

TEST_F(RadioGroupTest, ButtonsOfOneParentAndPageShareAGroupAndItsHiddenButton) {
  RadioGroupRecord* first = groups.Join(nullptr, &parentA, 0);
  RadioGroupRecord* second = groups.Join(nullptr, &parentA, 0);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->members, 2);
  EXPECT_EQ(gHidden.size(), 1u);
  // Another page of the same parent, or another parent, is a group of its own.
  RadioGroupRecord* page2 = groups.Join(nullptr, &parentA, 2);
  RadioGroupRecord* other = groups.Join(nullptr, &parentB, 0);
  EXPECT_NE(page2, first);
  EXPECT_NE(other, first);
  EXPECT_NE(other, page2);
  EXPECT_EQ(groups.GroupCount(), 3);
  EXPECT_EQ(gHidden.size(), 3u);
  EXPECT_EQ(groups.Find(&parentA, 2), page2);
  EXPECT_EQ(groups.Find(&parentB, 2), nullptr);
}

TEST_F(RadioGroupTest, TheLastMemberLeavingTakesTheGroupAndItsHiddenButtonAway) {
  RadioGroupRecord* group = groups.Join(nullptr, &parentA, 0);
  groups.Join(nullptr, &parentA, 0);
  groups.Leave(group);
  EXPECT_EQ(groups.GroupCount(), 1);
  EXPECT_EQ(gHidden.size(), 1u);
  groups.Leave(group);
  EXPECT_EQ(groups.GroupCount(), 0);
  EXPECT_TRUE(gHidden.empty());
  // A new group for the same key starts afresh.
  RadioGroupRecord* again = groups.Join(nullptr, &parentA, 0);
  EXPECT_EQ(again->members, 1);
  EXPECT_EQ(gHidden.size(), 1u);
}

TEST_F(RadioGroupTest, MovingToAnotherParentLeavesTheOldGroupAndRejoiningTheSameIsNoChange) {
  RadioGroupRecord* stay = groups.Join(nullptr, &parentA, 0);
  RadioGroupRecord* mover = groups.Join(nullptr, &parentA, 0);
  RadioGroupRecord* moved = groups.Join(mover, &parentB, 0);
  EXPECT_NE(moved, stay);
  EXPECT_EQ(stay->members, 1);
  EXPECT_EQ(moved->members, 1);
  EXPECT_EQ(groups.Join(moved, &parentB, 0), moved);
  EXPECT_EQ(moved->members, 1) << "joining the group it is in counts it once";
  // The only member of a group moving away ends that group.
  groups.Join(moved, &parentA, 0);
  EXPECT_EQ(groups.Find(&parentB, 0), nullptr);
  EXPECT_EQ(stay->members, 2);
  EXPECT_EQ(gHidden.size(), 1u);
}

TEST_F(RadioGroupTest, LeavingAGroupTheRegistryDoesNotKnowChangesNothing) {
  RadioGroupRecord* group = groups.Join(nullptr, &parentA, 0);
  RadioGroupRecord stranger{nullptr, &parentA, 0, 1};
  groups.Leave(&stranger);
  groups.Leave(nullptr);
  EXPECT_EQ(group->members, 1);
  EXPECT_EQ(groups.GroupCount(), 1);
}

// --- the classes -----------------------------------------------------------------------------

class ButtonClassesTest : public test::IntrinsicClassTest {
 protected:
  void TearDown() override {
    IntrinsicClassTest::TearDown();
    EXPECT_TRUE(Reports().empty());
  }
  static std::string Taken(StringRep* rep) {
    std::string text(RepText(rep));
    RuntimeUnlockString(rep);
    return text;
  }
};

TEST_F(ButtonClassesTest, OwnPropertiesStartAt26InTheOrderPackedStreamsUse) {
  EXPECT_EQ(OwnProperties(GetPushButtonClassDefinition()),
            (std::vector<std::string>{"Caption%s%", "Default%b%", "Cancel%b%", "TextFont%s%", "TextSize%i4%",
                                      "Bold%b%", "Italic%b%", "Underline%b%"}));
  EXPECT_EQ(OwnProperties(GetCheckBoxClassDefinition()),
            (std::vector<std::string>{"Caption%s%", "Value%b%", "State%b%", "TextFont%s%", "TextSize%i4%",
                                      "Bold%b%", "Italic%b%", "Underline%b%", "DataSource%s%", "DataField%s%"}));
  EXPECT_EQ(OwnProperties(GetRadioButtonClassDefinition()),
            (std::vector<std::string>{"Caption%s%", "Value%b%", "TextFont%s%", "TextSize%i4%", "Bold%b%",
                                      "Italic%b%", "Underline%b%"}));
}

TEST_F(ButtonClassesTest, ClassesAreRegisteredWithTheirInterfacesAndEntryPointsBoundByName) {
  for (const char* name : {"PushButton", "CheckBox", "RadioButton", "Sys$CheckBoxAction", "Sys$RadioButtonAction"}) {
    EXPECT_NE(LookupIntrinsicClass(string(name)), nullptr) << name;
  }
  RuntimeObject* button = New(GetPushButtonClassDefinition());
  EXPECT_EQ(button->eventTable[kControlEventCreatePane].handler, reinterpret_cast<void*>(&PushButtonCreatePane));
  RuntimeObject* box = New(GetCheckBoxClassDefinition());
  EXPECT_NE(LookupInterfaceMethod(box, GetBooleanProviderInterfaceDefinition(), string("getBoolean")), nullptr);
  EXPECT_NE(LookupInterfaceMethod(box, GetBindingPartInterfaceDefinition(), string("getBoundPart")), nullptr);
  EXPECT_NE(LookupInterfaceMethod(button, GetActionSourceInterfaceDefinition(),
                                  string("addActionNotificationReceiver")),
            nullptr);
  test::ExpectEntryPointsBound({
      {"PushButtonCreatePane", reinterpret_cast<void*>(&PushButtonCreatePane)},
      {"CheckBoxCreatePane", reinterpret_cast<void*>(&CheckBoxCreatePane)},
      {"RadioCreatePane", reinterpret_cast<void*>(&RadioCreatePane)},
      {"pushButtonTitleSetter", reinterpret_cast<void*>(&pushButtonTitleSetter)},
      {"pushButtonPush", reinterpret_cast<void*>(&pushButtonPush)},
      {"pbAddActionNotificationReceiver", reinterpret_cast<void*>(&pbAddActionNotificationReceiver)},
      {"checkBoxValueSetter", reinterpret_cast<void*>(&checkBoxValueSetter)},
      {"checkBoxGetBoundPart", reinterpret_cast<void*>(&checkBoxGetBoundPart)},
      {"cbaRemoveActionNotificationReceiver", reinterpret_cast<void*>(&cbaRemoveActionNotificationReceiver)},
      {"CheckBoxDataFieldSetter", reinterpret_cast<void*>(&CheckBoxDataFieldSetter)},
      {"radioUnderlineGetter", reinterpret_cast<void*>(&radioUnderlineGetter)},
      {"radioValueSetter", reinterpret_cast<void*>(&radioValueSetter)},
      {"vnaAddActionNotificationReceiver", reinterpret_cast<void*>(&vnaAddActionNotificationReceiver)},
  });
}

TEST_F(ButtonClassesTest, AccessorsWorkOnStoredFieldsBeforeThePaneAndRefuseOtherClasses) {
  RuntimeObject* button = New(GetPushButtonClassDefinition());
  EXPECT_EQ(pushButtonTitleGetter(button, 0), nullptr) << "an empty caption reads as nil";
  pushButtonTitleSetter(button, 0, string("&OK").Rep());
  EXPECT_EQ(Taken(pushButtonTitleGetter(button, 0)), "&OK");
  pushButtonDefaultSetter(button, 0, 7);
  EXPECT_EQ(pushButtonDefaultGetter(button, 0), 1);
  EXPECT_EQ(pushButtonCancelGetter(button, 0), 0);
  pushButtonTextSizeSetter(button, 0, -3);
  EXPECT_EQ(pushButtonTextSizeGetter(button, 0), -3) << "the 16-bit size widens with its sign";
  pushButtonTextSizeSetter(button, 0, 70000);
  EXPECT_EQ(pushButtonTextSizeGetter(button, 0), static_cast<int16_t>(70000));
  pushButtonPush(button);  // no pane: nothing happens

  // The font the control holds, set again while only the caller's reference keeps it too.
  pushButtonTextFontSetter(button, 0, string("Serif").Rep());
  StringRep* held = pushButtonTextFontGetter(button, 0);
  pushButtonTextFontSetter(button, 0, held);
  RuntimeUnlockString(held);
  EXPECT_EQ(Taken(pushButtonTextFontGetter(button, 0)), "Serif");

  // A family's accessors on another family's object neither read nor write.
  RuntimeObject* box = New(GetCheckBoxClassDefinition());
  pushButtonTitleSetter(box, 0, string("wrong").Rep());
  pushButtonBoldSetter(box, 0, 1);
  EXPECT_EQ(checkBoxTitleGetter(box, 0), nullptr);
  EXPECT_EQ(checkBoxBoldGetter(box, 0), 0);
  checkBoxItalicSetter(box, 0, 1);
  EXPECT_EQ(checkBoxItalicGetter(box, 0), 1);
  EXPECT_EQ(radioItalicGetter(box, 0), 0);

  checkBoxValueSetter(box, 0, 1);
  EXPECT_EQ(checkBoxValueGetter(box, 0), 1);
  checkBoxSetBoolean(box, 0);
  EXPECT_EQ(checkBoxGetBoolean(box), 0);

  RuntimeObject* radio = New(GetRadioButtonClassDefinition());
  radioValueSetter(radio, 0, 1);
  EXPECT_EQ(radioValueGetter(radio, 0), 1);
  radioTitleSetter(radio, 0, string("Reflector").Rep());
  EXPECT_EQ(Taken(radioTitleGetter(radio, 0)), "Reflector");
}

TEST_F(ButtonClassesTest, BoundPartsNameTheirListInAnyCaseAndHoldTheirButton) {
  RuntimeObject* box = New(GetCheckBoxClassDefinition());
  EXPECT_EQ(checkBoxGetBoundPart(box, string("getOtherAction").Rep()), nullptr);
  EXPECT_EQ(checkBoxGetBoundPart(box, nullptr), nullptr);
  RuntimeObject* checked = Keep(checkBoxGetBoundPart(box, string("GETCHECKEDACTION").Rep()));
  RuntimeObject* unchecked = Keep(checkBoxGetBoundPart(box, string("getuncheckedaction").Rep()));
  ASSERT_NE(checked, nullptr);
  ASSERT_NE(unchecked, nullptr);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(checked, GetCheckBoxActionClassDefinition()));
  EXPECT_NE(LookupInterfaceMethod(checked, GetActionSourceInterfaceDefinition(),
                                  string("addActionNotificationReceiver")),
            nullptr);

  RuntimeObject* receiver = Keep(testing::NewLogReceiver(1));
  cbaAddActionNotificationReceiver(checked, receiver);
  CheckBoxObject* object = AsCheckBoxObject(box);
  EXPECT_EQ(CountNotificationReceivers(&object->actionReceivers.checked), 1);
  EXPECT_EQ(CountNotificationReceivers(&object->actionReceivers.unchecked), 0);
  cbaRemoveActionNotificationReceiver(unchecked, receiver);
  EXPECT_EQ(CountNotificationReceivers(&object->actionReceivers.checked), 1) << "the other list is not touched";
  cbaRemoveActionNotificationReceiver(checked, receiver);
  EXPECT_EQ(CountNotificationReceivers(&object->actionReceivers.checked), 0);

  RuntimeObject* radio = New(GetRadioButtonClassDefinition());
  RuntimeObject* radioPart = Keep(radioGetBoundPart(radio, string("getUncheckedAction").Rep()));
  ASSERT_NE(radioPart, nullptr);
  vnaAddActionNotificationReceiver(radioPart, receiver);
  EXPECT_EQ(CountNotificationReceivers(&AsRadioButtonObject(radio)->actionReceivers.unchecked), 1);
  // A radio button's part on a check box's entry point finds no list of its kind.
  cbaAddActionNotificationReceiver(radioPart, receiver);
  EXPECT_EQ(CountNotificationReceivers(&object->actionReceivers.checked), 0);
  EXPECT_EQ(radioGetBoundPart(box, string("getCheckedAction").Rep()), nullptr) << "not a radio button";
}

TEST_F(ButtonClassesTest, AnActionPartKeepsItsCheckBoxAliveUntilItGoes) {
  RuntimeObject* box = CreateInstanceFromDefinition(GetCheckBoxClassDefinition());
  RuntimeObject* part = checkBoxGetBoundPart(box, string("getCheckedAction").Rep());
  ASSERT_NE(part, nullptr);
  int32_t alive = LiveObjectCount();
  RuntimeUnlockObject(box);
  EXPECT_EQ(LiveObjectCount(), alive) << "the part holds the box";
  RuntimeUnlockObject(part);
  EXPECT_EQ(LiveObjectCount(), alive - 2);
}

}  // namespace
}  // namespace vorn
