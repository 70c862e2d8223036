// The StyledText a styled edit field hands out: only styled fields have one, assigning one to
// a plain field changes nothing, and once the field's pane closes the object answers nothing.
#include <gtest/gtest.h>

#include "editfield/styled_text_class.h"
#include "editfield/support/edit_field_fixture.h"
#include "vorn/editfield_api.h"
#include "vorn/styled_text_api.h"

namespace vorn {
namespace {

using test::PackedStream;

class EditFieldStyledTextTest : public test::EditFieldTest {};

TEST_F(EditFieldStyledTextTest, AStyledFieldHandsOutAStyledTextThatThePaneClosingDetaches) {
  RuntimeObject* plain = NewField(PackedStream().Text(test::kEfText, "plain"));
  EXPECT_EQ(StyledTextObjectGetter(plain, 0), nullptr);

  RuntimeObject* styled = NewField(PackedStream().Bool(test::kEfStyled, true).Bool(test::kEfMultiLine, true),
                                   MakeRect(20, 60, 260, 200));
  RuntimeObject* handed = StyledTextObjectGetter(styled, 0);
  ASSERT_NE(handed, nullptr);
  StyledTextObject* fields = AsStyledTextObject(handed);
  ASSERT_NE(fields, nullptr);
  EXPECT_EQ(fields->delegate, static_cast<StyledTextDelegate*>(PaneOf(styled)));
  EXPECT_EQ(fields->ownsDelegate, 0);

  // A detached StyledText of its own, assigned to the plain field: nothing changes.
  RuntimeObject* own = CreateInstanceFromDefinition(GetStyledTextClassDefinition());
  StyledTextSetter(own, 0, string("styled").Rep());
  StyledTextObjectSetter(plain, 0, own);
  EXPECT_EQ(Text(plain), "plain");
  EXPECT_EQ(StyledTextObjectGetter(plain, 0), nullptr);

  if (SubPane* pane = DetachControlPane(AsControl(styled))) pane->Close();
  EXPECT_EQ(fields->delegate, nullptr) << "the closed pane is out of its reach";
  StringRep* text = StyledTextGetter(handed, 0);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(StyledTextRunCountGetter(handed, 0), 0);
  StyledTextSetBold(handed, 0, 1, 1);
  RuntimeUnlockObject(own);
  RuntimeUnlockObject(handed);
}

}  // namespace
}  // namespace vorn
