// The MessageDialog class without a display: its buttons' properties, the icon range and the
// lifetime of button objects the program keeps.
#include <gtest/gtest.h>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "controls/message_dialog.h"

namespace vorn {
namespace {

class MessageDialogClassTest : public ::testing::Test {
 protected:
  void SetUp() override { dialog = CreateInstanceFromDefinition(GetMessageDialogClassDefinition()); }
  void TearDown() override {
    RuntimeUnlockObject(dialog);
    RuntimeUnlockObject(TakePendingException());
  }

  MessageDialogObject* Fields() { return reinterpret_cast<MessageDialogObject*>(dialog); }
  RuntimeObject* ButtonAt(int32_t index) {
    RuntimeObject* button = MDButtonGetter(dialog, index);
    RuntimeUnlockObject(button);
    return button;
  }

  RuntimeObject* dialog = nullptr;
};

TEST_F(MessageDialogClassTest, ANewDialogHasItsThreeButtonsAndTheInitialRoles) {
  ASSERT_NE(dialog, nullptr);
  RuntimeObject* action = ButtonAt(kDialogActionButton);
  RuntimeObject* cancel = ButtonAt(kDialogCancelButton);
  RuntimeObject* alternate = ButtonAt(kDialogAlternateButton);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(action, GetActionButtonClassDefinition()));
  EXPECT_TRUE(RuntimeObjectIsaDefinition(cancel, GetCancelButtonClassDefinition()));
  EXPECT_TRUE(RuntimeObjectIsaDefinition(alternate, GetAlternateActionButtonClassDefinition()));
  EXPECT_EQ(MDButtonGetter(dialog, 3), nullptr);

  EXPECT_TRUE(MDBBooleanGetter(action, 0));
  EXPECT_FALSE(MDBBooleanGetter(cancel, 0));
  EXPECT_TRUE(MDBBooleanGetter(action, 1)) << "the action button is the default";
  EXPECT_TRUE(MDBBooleanGetter(cancel, 2)) << "the cancel button cancels";
  EXPECT_EQ(Fields()->icon, kDialogIconInformation);
}

TEST_F(MessageDialogClassTest, RolesMoveBetweenButtonsAndTheActionButtonStaysVisible) {
  RuntimeObject* action = ButtonAt(kDialogActionButton);
  RuntimeObject* alternate = ButtonAt(kDialogAlternateButton);
  MDBBooleanSetter(alternate, 1, 1);
  EXPECT_EQ(Fields()->defaultIndex, kDialogAlternateButton);
  EXPECT_FALSE(MDBBooleanGetter(action, 1));
  MDBBooleanSetter(action, 1, 0);  // false on any button clears the role
  EXPECT_EQ(Fields()->defaultIndex, kDialogNoButton);
  MDBBooleanSetter(action, 2, 1);
  EXPECT_EQ(Fields()->cancelIndex, kDialogActionButton);
  MDBBooleanSetter(action, 0, 0);
  EXPECT_TRUE(MDBBooleanGetter(action, 0));
  MDBBooleanSetter(alternate, 0, 1);
  EXPECT_EQ(Fields()->alternateVisible, 1);

  MDBCaptionSetter(alternate, 0, string("Don't Save").Rep());
  StringRep* caption = MDBCaptionGetter(alternate, 0);
  EXPECT_EQ(string::Share(caption).View(), "Don't Save");
  RuntimeUnlockString(caption);
}

TEST_F(MessageDialogClassTest, AnIconOutsideTheRangeRaisesAndKeepsTheOldOne) {
  MDIconSetter(dialog, 0, kDialogIconQuestion);
  EXPECT_EQ(Fields()->icon, kDialogIconQuestion);
  MDIconSetter(dialog, 0, 4);
  EXPECT_EQ(Fields()->icon, kDialogIconQuestion);
  RuntimeObject* raised = TakePendingException();
  ASSERT_TRUE(RuntimeObjectIsaDefinition(raised, GetOutOfBoundsExceptionClassDefinition()));
  EXPECT_EQ(ExceptionMessage(raised).View(),
            "The integer value 4 is not in the range of enumerated icons for the MessageDialog class.");
  RuntimeUnlockObject(raised);
  MDIconSetter(dialog, 0, kDialogIconNone);
  EXPECT_EQ(Fields()->icon, kDialogIconNone);
}

TEST_F(MessageDialogClassTest, AButtonKeptByTheProgramOutlivesItsDialogSafely) {
  RuntimeObject* cancel = MDButtonGetter(dialog, kDialogCancelButton);
  RuntimeUnlockObject(dialog);
  dialog = nullptr;
  EXPECT_FALSE(MDBBooleanGetter(cancel, 2));
  MDBBooleanSetter(cancel, 0, 1);
  EXPECT_EQ(MDBCaptionGetter(cancel, 0), nullptr);
  RuntimeUnlockObject(cancel);
}

}  // namespace
}  // namespace vorn
