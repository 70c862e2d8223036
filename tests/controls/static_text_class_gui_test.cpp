// The StaticText class: properties stored before the pane and applied at its creation,
// captions with mnemonics, alignment codes outside the three, and style setters.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "controls/static_text_class.h"
#include "controls/support/class_fixture.h"
#include "vorn/controls_api.h"

namespace vorn {
namespace {

using test::PackedStream;

enum : uint16_t { kText = 26, kCaption, kTextAlign, kTextColor, kTextFont, kTextSize, kBold, kItalic,
                  kUnderline, kMultiLine };

class StaticTextClassTest : public test::ControlClassTest {
 protected:
  RuntimeObject* NewStatic(const PackedStream& stream, const Rect& bounds = MakeRect(20, 20, 220, 44)) {
    RuntimeObject* text = AddControl(GetStaticTextClassDefinition(), "Label1", bounds, host, &stream);
    MakePane(text);
    return text;
  }
  static StaticTextGeneric* PaneOf(RuntimeObject* text) {
    return dynamic_cast<StaticTextGeneric*>(ControlPane(AsControl(text)));
  }
  static std::string LabelText(StaticText* pane) { return gtk_label_get_text(GTK_LABEL(pane->Widget())); }
  static std::string Text(RuntimeObject* text) {
    StringRep* rep = stringGetter(text, static_cast<int32_t>(offsetof(StaticTextObject, text)));
    std::string out(RepText(rep));
    RuntimeUnlockString(rep);
    return out;
  }
};

TEST_F(StaticTextClassTest, ADoubledAmpersandShowsOneAndASingleOneMarksTheMnemonic) {
  RuntimeObject* text = NewStatic(PackedStream().Text(kCaption, "Limit && Seeing"));
  StaticTextGeneric* pane = PaneOf(text);
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(LabelText(pane), "Limit & Seeing");
  staticCaptionSetter(text, 0, string("&Aperture").Rep());
  EXPECT_EQ(LabelText(pane), "Aperture");
  EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(pane->Widget())), gdk_keyval_from_name("a"));
  EXPECT_EQ(Text(text), "&Aperture") << "Text keeps the caption as given";
  test::ShowAndSettle(native);
  staticCaptionSetter(text, 0, string("Magnitude && more").Rep());
  test::PumpFor(100);
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR +
              "/static_text_ampersand.png");
}

TEST_F(StaticTextClassTest, TheStreamsSettingsReachThePaneAndTheSameTextLeavesTheLabelAlone) {
  PackedStream stream;
  stream.Text(kText, "13.2").Int(kTextAlign, 2).Color(kTextColor, 0xFF0000).Int(kTextSize, 14).Bool(kBold, true);
  RuntimeObject* text = NewStatic(stream);
  StaticTextGeneric* pane = PaneOf(text);
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->Caption().View(), "13.2");
  EXPECT_EQ(pane->Alignment(), 2);
  EXPECT_EQ(pane->TextColor(), 0xFF0000u);
  EXPECT_EQ(pane->Style().mSize, 14);
  EXPECT_EQ(pane->Style().mBold, 1);
  int32_t updates = pane->LabelUpdates();
  staticCaptionSetter(text, 0, string("13.2").Rep());
  EXPECT_EQ(pane->LabelUpdates(), updates);
  StaticTextSetString(text, string("14.0").Rep());
  EXPECT_EQ(pane->LabelUpdates(), updates + 1);
  EXPECT_EQ(LabelText(pane), "14.0");
}

TEST_F(StaticTextClassTest, AnUnknownAlignmentIsKeptButChangesNothing) {
  RuntimeObject* text = NewStatic(PackedStream().Text(kText, "x").Int(kTextAlign, 1));
  StaticTextGeneric* pane = PaneOf(text);
  ASSERT_NE(pane, nullptr);
  staticTextAlignSetter(text, 0, 3);
  EXPECT_EQ(shortGetter(text, static_cast<int32_t>(offsetof(StaticTextObject, textAlign))), 3);
  gfloat x = 0, y = 0;
  gtk_misc_get_alignment(GTK_MISC(pane->Widget()), &x, &y);
  EXPECT_FLOAT_EQ(x, 0.5f);
  StaticTextMultilineSetter(text, 0, 1);
  EXPECT_TRUE(gtk_label_get_line_wrap(GTK_LABEL(pane->Widget())));
  staticTextAlignSetter(text, 0, 0);
  gtk_misc_get_alignment(GTK_MISC(pane->Widget()), &x, &y);
  EXPECT_FLOAT_EQ(x, 0.0f);
  EXPECT_FLOAT_EQ(y, 0.0f) << "a wrapped text sits at the top";
}

TEST_F(StaticTextClassTest, StyleSettersStoreBeforeThePaneAndPushAfter) {
  RuntimeObject* text = AddControl(GetStaticTextClassDefinition(), "Label1", MakeRect(20, 20, 220, 44), host);
  string font("Serif");
  staticTextFontSetter(text, 0, font.Rep());
  staticAttributeSetter(text, static_cast<int32_t>(offsetof(StaticTextObject, italic)), 1);
  // A word that names no style byte writes nothing.
  staticAttributeSetter(text, static_cast<int32_t>(offsetof(StaticTextObject, text)), 1);
  EXPECT_EQ(Text(text), "");
  MakePane(text);
  StaticTextGeneric* pane = PaneOf(text);
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->Style().mFontName.View(), "Serif");
  EXPECT_EQ(pane->Style().mItalic, 1);
  EXPECT_EQ(pane->Style().mBold, 0);
  // The font the control already holds, set again, stays valid.
  StringRep* held = stringGetter(text, static_cast<int32_t>(offsetof(StaticTextObject, textFont)));
  staticTextFontSetter(text, 0, held);
  RuntimeUnlockString(held);
  EXPECT_EQ(pane->Style().mFontName.View(), "Serif");
  staticAttributeSetter(text, static_cast<int32_t>(offsetof(StaticTextObject, underline)), 1);
  EXPECT_EQ(pane->Style().mUnderline, 1);
}

TEST_F(StaticTextClassTest, ADataSourceNamingNoControlLeavesTheTextUnbound) {
  RuntimeObject* text = NewStatic(PackedStream().Text(kText, "unbound"));
  StaticTextDataSourceSetter(text, 0, string("NoSuchControl").Rep());
  StaticTextDataFieldSetter(text, 0, string("Magnitude").Rep());
  StaticTextGeneric* pane = PaneOf(text);
  EXPECT_EQ(pane->DataSourceName().View(), "NoSuchControl");
  EXPECT_EQ(pane->BoundDataControl(), nullptr);
  StringRep* source = StaticTextDataSourceGetter(text, 0);
  EXPECT_EQ(RepText(source), "NoSuchControl");
  RuntimeUnlockString(source);
  EXPECT_EQ(Text(text), "unbound");
}

}  // namespace
}  // namespace vorn
