// Drawing edit fields into a port: background, text, frame and the scroll bars a multi-line
// field shows, which meet at a corner left empty.
#include <gtest/gtest.h>

#include "controls/support/control_test_support.h"
#include "editfield/support/edit_field_fixture.h"
#include "support/gui_support.h"

namespace vorn {
namespace {

using test::PackedStream;

class EditFieldDrawTest : public test::EditFieldTest {};

TEST_F(EditFieldDrawTest, AMultiLineFieldDrawsItsTextFrameAndBothScrollBarsApartAtTheCorner) {
  RuntimeObject* field = NewField(PackedStream()
                                      .Bool(test::kEfMultiLine, true)
                                      .Bool(test::kEfBorder, true)
                                      .Bool(test::kEfScrollBarVertical, true)
                                      .Bool(test::kEfScrollBarHorizontal, true),
                                  MakeRect(20, 20, 220, 140));
  test::ShowAndSettle(native);
  Rect inside{24, 24, 44, 150};
  {
    test::PixmapPort empty(260, 170);
    PaneOf(field)->DrawInto(empty.Port());
    EXPECT_EQ(empty.InkIn(inside), 0);
  }
  SetText(field, "Hello world");
  test::PixmapPort pixmap(260, 170);
  PaneOf(field)->DrawInto(pixmap.Port());
  EXPECT_GT(pixmap.InkIn(inside), 20) << "the text";
  EXPECT_GT(pixmap.InkIn(Rect{22, 205, 118, 219}), 0) << "the vertical bar";
  EXPECT_GT(pixmap.InkIn(Rect{125, 22, 139, 198}), 0) << "the horizontal bar";
  EXPECT_EQ(pixmap.InkIn(Rect{122, 202, 139, 219}), 0) << "both bars end 20 pixels before the corner";
  EXPECT_EQ(pixmap.InkIn(Rect{142, 0, 170, 260}), 0) << "nothing outside the field";
}

TEST_F(EditFieldDrawTest, ASingleLineFieldDrawsItsTextWithoutScrollBars) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "Typed").Bool(test::kEfBorder, true),
                                  MakeRect(20, 20, 220, 46));
  test::ShowAndSettle(native);
  test::PixmapPort pixmap(260, 80);
  PaneOf(field)->DrawInto(pixmap.Port());
  EXPECT_GT(pixmap.InkIn(Rect{23, 23, 43, 80}), 20);
  EXPECT_EQ(pixmap.InkIn(Rect{23, 120, 43, 215}), 0) << "no text past the word";
  EXPECT_EQ(pixmap.InkIn(Rect{50, 0, 80, 260}), 0);
}

TEST_F(EditFieldDrawTest, APasswordFieldDrawsTheBulletsItShowsNeverItsText) {
  auto inkOf = [this](const char* text) {
    RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, text).Bool(test::kEfPassword, true),
                                    MakeRect(20, 20, 220, 46));
    test::ShowAndSettle(native);
    test::PixmapPort pixmap(260, 80);
    PaneOf(field)->DrawInto(pixmap.Port());
    return pixmap.InkIn(Rect{23, 23, 43, 215});
  };
  int32_t narrow = inkOf("iiiiii");
  EXPECT_GT(narrow, 20) << "six bullets";
  EXPECT_EQ(inkOf("WWWWWW"), narrow) << "the same six bullets, whatever the letters";
  EXPECT_LT(inkOf("WWW"), narrow);
}

}  // namespace
}  // namespace vorn
