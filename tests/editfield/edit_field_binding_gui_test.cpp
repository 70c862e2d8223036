// An edit field bound to other controls through a string binder: it takes the source's text
// and enabled state, and pushes what the user types back (on each change with LiveUpdate, else
// when the focus leaves).
#include <gtest/gtest.h>

#include <string>

#include "controls/binding_interfaces.h"
#include "controls/popup_class.h"
#include "controls/static_text_class.h"
#include "editfield/edit_field_binding.h"
#include "editfield/support/edit_field_fixture.h"
#include "objects/runtime_object.h"
#include "vorn/control_api.h"
#include "vorn/popup_api.h"
#include "windows/control.h"

namespace vorn {
namespace {

using test::PackedStream;

class EditFieldBindingTest : public test::EditFieldTest {
 protected:
  std::string Caption(RuntimeObject* label) {
    return std::string(string::Share(reinterpret_cast<StaticTextObject*>(label)->text).View());
  }
};

TEST_F(EditFieldBindingTest, AStringBinderFillsTheFieldAndTypingPushesTheTextBack) {
  InstallEditFieldBindingHook();
  RuntimeObject* popup = AddControl(GetPopupMenuClassDefinition(), "Colors", MakeRect(20, 60, 200, 86), host, nullptr);
  PopupMenuCreatePane(popup);
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "old"));
  RuntimeObject* binder = CreateInstanceFromDefinition(GetStringBinderClassDefinition());
  stringBinderBind(binder, popup, field);
  RuntimeUnlockObject(binder);
  EXPECT_EQ(AsEditFieldObject(field)->dataNotifier, popup) << "the binder registers the field with its source";
  EXPECT_EQ(Text(field), "") << "the source's getString fills the field";
  EXPECT_FALSE(AsControl(field)->enabled) << "a source without a selection has no data available";
  controlEnabledSetter(field, 0, 1);

  RuntimeObject* label = AddControl(GetStaticTextClassDefinition(), "Echo", MakeRect(20, 90, 200, 110), host, nullptr);
  MakePane(label);
  EditFieldBindDataNotifier(field, label);
  AsEditFieldObject(field)->liveUpdate = 1;
  ShowAndClick(field);
  Type("x");
  EXPECT_EQ(Caption(label), Text(field)) << "LiveUpdate pushes every change";
  AsEditFieldObject(field)->liveUpdate = 0;
  Type("y");
  EXPECT_NE(Caption(label), Text(field));
  EditFieldBindDataNotifier(field, nullptr);
  EXPECT_EQ(AsEditFieldObject(field)->dataNotifier, nullptr);
}

}  // namespace
}  // namespace vorn
