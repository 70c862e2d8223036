// Typing into edit fields with a Mask under Xvfb: literals appear as they fall due, refused
// characters fire ValidationError and leave the text alone, deletions add no literals, and a
// case mode converts what is typed.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "support/gui_support.h"

#include "editfield/support/edit_field_fixture.h"
#include "objects/exceptions.h"
#include "vorn/editfield_api.h"

namespace vorn {
namespace {

using test::PackedStream;

struct ValidationErrors {
  std::vector<std::string> texts;
  std::vector<int32_t> positions;
};
ValidationErrors& Errors() {
  static ValidationErrors errors;
  return errors;
}

void OnValidationError(RuntimeObject*, StringRep* text, int32_t position) {
  Errors().texts.emplace_back(RepText(text));
  Errors().positions.push_back(position);
}

class EditFieldMaskTest : public test::EditFieldTest {
 protected:
  RuntimeObject* MaskedField(const char* mask, bool withHandler = true) {
    Errors() = ValidationErrors();
    RuntimeObject* field = NewField(PackedStream());
    if (withHandler) Install(field, "ValidationError", reinterpret_cast<void*>(&OnValidationError));
    EditMaskSetter(field, 0, string(mask, kEncodingUTF8).Rep());
    return field;
  }

  // The clipboard's text arrives when the main loop gets to it.
  static bool PasteAndWait(RuntimeObject* field, const char* clipboard, const std::string& expected) {
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), clipboard, -1);
    size_t errors = Errors().texts.size();
    editPasteFromClipboard(field);
    for (int i = 0; i < 500; ++i) {
      if (Text(field) == expected && (Errors().texts.size() > errors || expected != "")) return true;
      test::PumpFor(10);
    }
    return false;
  }
};

TEST_F(EditFieldMaskTest, APhoneMaskFillsInItsLiteralsAndRefusesLetters) {
  RuntimeObject* field = MaskedField("(###) ###-####");
  EXPECT_EQ(Text(field), "(") << "the first literal shows as soon as the mask is set";
  ShowAndClick(field, 150);
  Type("555");
  EXPECT_EQ(Text(field), "(555) ");
  EXPECT_EQ(editSelStartGetter(field, 0), 6);
  Type("12x");
  EXPECT_EQ(Text(field), "(555) 12") << "the letter is kept out";
  ASSERT_EQ(Errors().texts.size(), 1u);
  EXPECT_EQ(Errors().texts[0], "(555) 12x");
  EXPECT_EQ(Errors().positions[0], 9);
  Type("3");
  EXPECT_EQ(Text(field), "(555) 123-");
  Keys("BackSpace BackSpace");
  EXPECT_EQ(Text(field), "(555) 12") << "deleting adds no literal again";
  Keys("Home Right");
  Type("x");
  EXPECT_EQ(Text(field), "(555) 12") << "a refused character in the middle loses nothing";
  EXPECT_EQ(Errors().texts.back(), "(x555) 12");
  EXPECT_EQ(Errors().positions.back(), 2);
}

TEST_F(EditFieldMaskTest, AnUpperCaseMaskConvertsEverythingTyped) {
  RuntimeObject* field = MaskedField(">");
  ShowAndClick(field);
  Type("abc def");
  EXPECT_EQ(Text(field), "ABC DEF");
  EXPECT_TRUE(Errors().texts.empty());
}

TEST_F(EditFieldMaskTest, ANewMaskCutsTheTextToWhatItAcceptsAndTheTildeIsRefused) {
  Errors() = ValidationErrors();
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "12ab"));
  Install(field, "ValidationError", reinterpret_cast<void*>(&OnValidationError));
  EditMaskSetter(field, 0, string("##-", kEncodingUTF8).Rep());
  EXPECT_EQ(Text(field), "12");
  ASSERT_EQ(Errors().positions.size(), 1u);
  EXPECT_EQ(Errors().texts[0], "12ab");
  EXPECT_EQ(Errors().positions[0], 3);
  EditMaskSetter(field, 0, string("#~", kEncodingUTF8).Rep());
  RuntimeObject* pending = TakePendingException();
  ASSERT_NE(pending, nullptr) << "the mask reaches its reserved character at the second character";
  EXPECT_TRUE(RuntimeObjectIsaDefinition(pending, GetUnsupportedFormatExceptionClassDefinition()));
  RuntimeUnlockObject(pending);
  EXPECT_EQ(Text(field), "12");
  EditMaskSetter(field, 0, string("", kEncodingUTF8).Rep());
  ShowAndClick(field);
  Keys("End");
  Type("x~");
  EXPECT_EQ(Text(field), "12x~") << "without a mask the field takes every key";
}

TEST_F(EditFieldMaskTest, PastedTextIsMatchedAgainstTheMaskLikeTypedText) {
  RuntimeObject* field = MaskedField("###-");
  ShowAndClick(field);
  EXPECT_TRUE(PasteAndWait(field, "1a2", "")) << Text(field);
  ASSERT_FALSE(Errors().texts.empty()) << "the letter is refused";
  EXPECT_EQ(Errors().texts.back(), "1a2");
  EXPECT_TRUE(PasteAndWait(field, "12", "12")) << Text(field);
  EXPECT_TRUE(PasteAndWait(field, "3", "123-")) << Text(field);
}

TEST_F(EditFieldMaskTest, TabsAndReturnsTheFieldInsertsAreMatchedToo) {
  Errors() = ValidationErrors();
  RuntimeObject* field = NewField(PackedStream()
                                      .Bool(test::kEfMultiLine, true)
                                      .Bool(test::kEfAcceptTabs, true)
                                      .Text(test::kEfMask, "##"),
                                  MakeRect(20, 20, 220, 100));
  Install(field, "ValidationError", reinterpret_cast<void*>(&OnValidationError));
  ShowAndClick(field);
  Type("1");
  Keys("Return Tab");
  EXPECT_EQ(Text(field), "1");
  EXPECT_EQ(Errors().texts.size(), 2u);
}

TEST_F(EditFieldMaskTest, AMaskSetBeforeThePaneHoldsFromTheStart) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "12ab").Text(test::kEfMask, "##"));
  EXPECT_EQ(Text(field), "12");
}

}  // namespace
}  // namespace vorn
