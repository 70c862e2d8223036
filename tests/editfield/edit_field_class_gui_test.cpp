// The EditField class over real panes without typing: text and selection in both kinds of
// field, lines, AppendText, Format display, the Edit menu, guards against re-entry, and the
// settings kept before the pane exists.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

#include "editfield/support/edit_field_fixture.h"
#include "files/folder_item_imp_unix.h"
#include "support/process_locale.h"
#include "vorn/editfield_api.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

using test::Events;
using test::PackedStream;

class EditFieldClassTest : public test::EditFieldTest {
 protected:
  RuntimeObject* NewMultiLine(const std::string& text, bool horizontalScrollBar = true) {
    return NewField(PackedStream()
                        .Text(test::kEfText, text)
                        .Bool(test::kEfMultiLine, true)
                        .Bool(test::kEfScrollBarVertical, true)
                        .Bool(test::kEfScrollBarHorizontal, horizontalScrollBar),
                    MakeRect(20, 20, 220, 120));
  }
};

TEST_F(EditFieldClassTest, SettingsStoredBeforeThePaneReachItAndCreationFiresNoEvents) {
  RuntimeObject* field = AddControl(GetEditFieldClassDefinition(), "Early", MakeRect(20, 20, 220, 46), host,
                                    nullptr);
  SetText(field, "early");
  editReadOnlySetter(field, 0, 1);
  editLimitTextSetter(field, 0, 8);
  editSelStartSetter(field, 0, 3);  // nothing to select yet: ignored
  EXPECT_EQ(Text(field), "early");
  EXPECT_EQ(editSelStartGetter(field, 0), 0);
  EXPECT_EQ(PaneOf(field), nullptr);
  MakePane(field);
  EditControlGTK* pane = PaneOf(field);
  ASSERT_NE(pane, nullptr);
  EXPECT_FALSE(pane->IsMultiline());
  EXPECT_EQ(pane->TextBuffer(), nullptr);
  EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(pane->Widget()))), "early");
  EXPECT_TRUE(pane->IsReadOnly());
  EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(pane->Widget())), 8);
  EXPECT_FALSE(gtk_entry_get_has_frame(GTK_ENTRY(pane->Widget()))) << "no Border asked for";
  EXPECT_EQ(static_cast<uint32_t>(intGetter(field, static_cast<int32_t>(offsetof(EditFieldObject, backColor)))),
            0xFFFFFFu) << "white unless told otherwise";
  GtkStyle* style = gtk_widget_get_style(pane->Widget());
  EXPECT_EQ(style->base[GTK_STATE_NORMAL].red, 0xFFFF);
  EXPECT_EQ(Events().textChanges + Events().selChanges, 0);
}

TEST_F(EditFieldClassTest, SelectionReadsAndWritesInCharactersInBothKindsOfField) {
  for (bool multi : {false, true}) {
    SCOPED_TRACE(multi ? "multi-line" : "single-line");
    RuntimeObject* field = multi ? NewMultiLine("") : NewField(PackedStream());
    SetText(field, "abc");
    editSelStartSetter(field, 0, 1);
    editSelLengthSetter(field, 0, 2);
    EXPECT_EQ(editSelStartGetter(field, 0), 1);
    EXPECT_EQ(PaneOf(field)->GetSelEnd(), 3);
    EXPECT_EQ(editSelLengthGetter(field, 0), 2);
    EXPECT_EQ(SelText(field), "bc");
    editSelStartSetter(field, 0, 2);
    EXPECT_EQ(editSelStartGetter(field, 0), 2);
    EXPECT_EQ(PaneOf(field)->GetSelEnd(), 2);
    EXPECT_EQ(editSelLengthGetter(field, 0), 0);
    EXPECT_EQ(SelText(field), "");

    // Three two-byte characters: offsets 0 to 3.
    SetText(field, "\xC3\xA4\xC3\xB6\xC3\xBC");
    EXPECT_EQ(PaneOf(field)->GetTextLength(), 3);
    PaneOf(field)->SetSelection(1, 2);
    EXPECT_EQ(SelText(field), "\xC3\xB6");
    editSelTextSetter(field, 0, string("xy").Rep());
    EXPECT_EQ(Text(field), "\xC3\xA4xy\xC3\xBC");

    // Out of range: clamped, never read as "the end".
    editSelStartSetter(field, 0, -3);
    EXPECT_EQ(editSelStartGetter(field, 0), 0);
    editSelLengthSetter(field, 0, 99);
    EXPECT_EQ(editSelLengthGetter(field, 0), 4);
    editSelLengthSetter(field, 0, -2);
    EXPECT_EQ(editSelLengthGetter(field, 0), 0);
    editSelStartSetter(field, 0, 50);
    EXPECT_EQ(editSelStartGetter(field, 0), 4);
    editSelectAll(field);
    EXPECT_EQ(SelText(field), "\xC3\xA4xy\xC3\xBC");
  }
}

TEST_F(EditFieldClassTest, SelTextLeavesTheCursorBeforeInASingleLineFieldAndAfterInAMultiLineOne) {
  RuntimeObject* single = NewField(PackedStream().Text(test::kEfText, "ad"));
  editSelStartSetter(single, 0, 1);
  editSelTextSetter(single, 0, string("bc").Rep());
  EXPECT_EQ(Text(single), "abcd");
  EXPECT_EQ(editSelStartGetter(single, 0), 1);
  RuntimeObject* multi = NewMultiLine("ad");
  editSelStartSetter(multi, 0, 1);
  int before = Events().textChanges;
  editSelTextSetter(multi, 0, string("bc").Rep());
  EXPECT_EQ(Text(multi), "abcd");
  EXPECT_EQ(editSelStartGetter(multi, 0), 3);
  EXPECT_EQ(Events().textChanges, before + 1) << "one replacement, one TextChange";
}

TEST_F(EditFieldClassTest, AssigningTextFiresOneTextChangeAndAHandlerSettingTextDoesNotRecurse) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "old"));
  SetText(field, "new");
  EXPECT_EQ(Events().textChanges, 1);
  EXPECT_EQ((Events().textsSeen), (std::vector<std::string>{"new"}));
  Events().textToSetInChange = "rewritten";
  SetText(field, "again");
  EXPECT_EQ(Events().textChanges, 2);
  EXPECT_EQ(Text(field), "rewritten");
  editSetString(field, string("by binder").Rep());
  EXPECT_EQ(Events().textChanges, 3);
}

TEST_F(EditFieldClassTest, LinesCountFromZeroAndLineStartsFromOne) {
  RuntimeObject* field = NewMultiLine("ab\ncd\n\nef");
  EXPECT_FALSE(PaneOf(field)->WrapsWords());
  EXPECT_EQ(editLineNumAtCharPos(field, 0), 0);
  EXPECT_EQ(editLineNumAtCharPos(field, 2), 0);
  EXPECT_EQ(editLineNumAtCharPos(field, 3), 1);
  EXPECT_EQ(editLineNumAtCharPos(field, 6), 2);
  EXPECT_EQ(editLineNumAtCharPos(field, 7), 3);
  EXPECT_EQ(editLineNumAtCharPos(field, 500), 3);
  EXPECT_EQ(editCharPosAtLineNum(field, 0), 1);
  EXPECT_EQ(editCharPosAtLineNum(field, 1), 4);
  EXPECT_EQ(editCharPosAtLineNum(field, 3), 8);
  EXPECT_EQ(editCharPosAtLineNum(field, 4), 10) << "past the last line: the character count + 1";
  RuntimeObject* single = NewField(PackedStream().Text(test::kEfText, "a\nb"), MakeRect(20, 150, 220, 176), "S");
  EXPECT_EQ(editLineNumAtCharPos(single, 2), 0);
  EXPECT_EQ(editCharPosAtLineNum(single, 1), 1);
}

TEST_F(EditFieldClassTest, AWrappedFieldCountsDisplayLinesAndScrolls) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\n";
  RuntimeObject* field = NewMultiLine(text, false);
  EXPECT_TRUE(PaneOf(field)->WrapsWords());
  test::ShowAndSettle(native);
  EXPECT_EQ(editLineNumAtCharPos(field, 0), 0);
  EXPECT_EQ(editLineNumAtCharPos(field, 7), 1);
  EXPECT_EQ(editScrollPositionGetter(field), 0);
  EXPECT_TRUE(PaneOf(field)->IsEndVisible() == false);
  editScrollPositionSetter(field, 30);
  test::PumpFor(150);
  int32_t top = editScrollPositionGetter(field);
  EXPECT_GT(top, 20);
  EXPECT_LE(top, 30);
  // The character at the top left of the visible area starts the first visible line.
  int32_t first = editCharPosAtXY(field, 3, 1);
  EXPECT_EQ(editLineNumAtCharPos(field, first), top);
  EXPECT_TRUE(HostWindowTest::Reports().empty());
}

TEST_F(EditFieldClassTest, AppendTextDropsTheOldestCharactersBeyondTheLimitAndKeepsTheSelection) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "12345678").Int(test::kEfLimitText, 10));
  PaneOf(field)->SetSelection(4, 6);
  editAppendText(field, string("abcde").Rep());
  EXPECT_EQ(Text(field), "45678abcde");
  EXPECT_EQ(SelText(field), "56") << "the selection moves with its characters";
  editAppendText(field, string("0123456789XYZ").Rep());
  EXPECT_EQ(Text(field), "3456789XYZ") << "never longer than the limit";
  EXPECT_EQ(editSelLengthGetter(field, 0), 0);
}

TEST_F(EditFieldClassTest, AppendTextFollowsTheEndOfAMultiLineFieldWhoseEndIsShown) {
  RuntimeObject* log = NewMultiLine("first\n");
  test::ShowAndSettle(native);
  PaneOf(log)->SetSelection(1, 3);
  editAppendText(log, string("second\n").Rep());
  EXPECT_EQ(Text(log), "first\nsecond\n");
  EXPECT_EQ(editSelStartGetter(log, 0), 13);
  EXPECT_EQ(editSelLengthGetter(log, 0), 0);
  // Scrolled away from the end, the reader keeps the place and the selection.
  std::string many;
  for (int i = 0; i < 40; ++i) many += "row\n";
  editAppendText(log, string(many.c_str()).Rep());
  editScrollPositionSetter(log, 0);
  test::PumpFor(100);
  ASSERT_FALSE(PaneOf(log)->IsEndVisible());
  PaneOf(log)->SetSelection(1, 3);
  editAppendText(log, string("tail").Rep());
  EXPECT_EQ(SelText(log), "ir");
  EXPECT_EQ(editScrollPositionGetter(log), 0);
}

TEST_F(EditFieldClassTest, AFormatShowsWhileTheFieldHasNoFocusAndTheTypedTextComesBackWithIt) {
  RuntimeObject* other = NewField(PackedStream(), MakeRect(20, 150, 220, 176), "Other");
  // The number is typed and shown with the locale's decimal point; Text keeps what was typed.
  const std::string typed = test::InLocaleSeparators("3.14159");
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfFormat, "-0.00").Text(test::kEfText, typed));
  EditControlGTK* pane = PaneOf(field);
  const std::string shown = test::InLocaleSeparators("3.14");
  EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(pane->Widget()))), shown);
  StringRep* formatted = stringGetter(field, static_cast<int32_t>(offsetof(EditFieldObject, formattedText)));
  EXPECT_EQ(RepText(formatted), shown);
  RuntimeUnlockString(formatted);
  EXPECT_EQ(Text(field), typed) << "Text is the number as typed";
  test::ShowAndSettle(native);
  Click(field, 5, 10);
  ASSERT_EQ(GetFocusPane(), pane);
  EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(pane->Widget()))), typed);
  Click(other, 5, 10);
  EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(pane->Widget()))), shown);

  // The typed text is read with the separators the format writes.
  RuntimeObject* grouped = NewField(PackedStream().Text(test::kEfFormat, "#,##0.00"), MakeRect(20, 80, 220, 106));
  // The field's own text reads back as its number.
  const struct {
    const char *locale, *typed, *shown, *format = "#,##0.00";
  } rows[] = {
      {"C", "1,234.5", "1,234.50"},
      {"de_DE.UTF-8", "3,14159", "3,14"},
      {"de_DE.UTF-8", "1.234,50", "1.234,50"},
      {"de_DE.UTF-8", "1234,5", "1.234,50"},
      {"de_DE.UTF-8", "-0,5", "-0,50"},
      {"fr_FR.UTF-8", "1\u202F234,50", "1\u202F234,50"},
      {"fr_FR.UTF-8", "1234,5", "1\u202F234,50"},
      {"de_DE.UTF-8", "12,5%", "12,5%", "0.0%"},
      {"de_DE.UTF-8", "($1.234,50)", "($1.234,50)", "$#,##0.00;($#,##0.00)"},
      {"fr_FR.UTF-8", "-5", "($5,00)", "$#,##0.00;($#,##0.00)"},
      {"C", "12 apples", "$12.00", "$#,##0.00;($#,##0.00)"},  // the leading number, as before
      {"de_DE.UTF-8", "1.234,50-", "1.234,50-", "#,##0.00;#,##0.00-"},
      {"C", "-5", "5", "0;0"},  // the shown form tells no sign: the field keeps the number
  };
  for (const auto& row : rows) {
    test::ProcessLocale locale(row.locale);
    ASSERT_TRUE(locale.Loaded()) << row.locale;
    stringSetter(grouped, static_cast<int32_t>(offsetof(EditFieldObject, format)), string(row.format).Rep());
    SetText(grouped, row.typed);
    EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(PaneOf(grouped)->Widget()))), row.shown)
        << row.locale << " " << row.typed;
    EXPECT_EQ(Text(grouped), row.typed) << row.locale;
  }
}

TEST_F(EditFieldClassTest, EditMenuItemsOfAReadOnlyFieldWithASelection) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "copy me").Bool(test::kEfReadOnly, true));
  EditControlGTK* pane = PaneOf(field);
  pane->EnableMenuItems();
  EXPECT_EQ((Events().enabledItems), (std::vector<std::string>{"EditSelectAll"}));
  Events().enabledItems.clear();
  EXPECT_TRUE(pane->DoEditMenuCommand(string("EditSelectAll")));
  EXPECT_EQ(SelText(field), "copy me");
  pane->EnableMenuItems();
  EXPECT_EQ((Events().enabledItems), (std::vector<std::string>{"EditCopy", "EditSelectAll"}));
  EXPECT_FALSE(pane->DoEditMenuCommand(string("EditCut")));
  EXPECT_FALSE(pane->DoEditMenuCommand(string("FileQuit")));
  EXPECT_TRUE(pane->DoEditMenuCommand(string("EditCopy")));

  // The copied text pastes into a writable field.
  RuntimeObject* target = NewMultiLine("");
  test::PumpFor(100);
  EXPECT_TRUE(PaneOf(target)->DoEditMenuCommand(string("EditPaste")));
  test::PumpFor(100);
  EXPECT_EQ(Text(target), "copy me");
}

TEST_F(EditFieldClassTest, PlainFieldsAnswerTheirOneStyle) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "abc").Int(test::kEfTextSize, 12));
  StringRep* data = editTextStyleDataGetter(field, 0);
  EXPECT_EQ(std::string(RepText(data)), std::string("\x00\x0C\x00\x0C\x00\x0C", 6));
  RuntimeUnlockString(data);
  editSelectAll(field);
  editSelBoldSetter(field, 0, 1);
  EXPECT_EQ(editSelBoldGetter(field, 0), 0) << "a plain field keeps no bold part";
  editToggleSelectionBold(field);
  EXPECT_EQ(editSelBoldGetter(field, 0), 0);
  EXPECT_EQ(editSelTextSizeGetter(field, 0), 12);
  EXPECT_EQ(editSelTextColorGetter(field, 0), 0u);
  editTextSizeSetter(field, 0, 18);
  EXPECT_EQ(editSelTextSizeGetter(field, 0), 18);
  EXPECT_EQ(PaneOf(field)->GetTextStyle().mSize, 18);
  editSetTextAndStyle(field, string("xyz").Rep(), string("\x01\x0C").Rep());
  EXPECT_EQ(Text(field), "xyz");
}

TEST_F(EditFieldClassTest, AFieldSavesItsTextToAFileAndLoadsItBack) {
  std::string path = std::string(VORN_BINARY_DIR) + "/edit_field_text.txt";
  std::remove(path.c_str());
  RuntimeObject* multi = NewMultiLine("line one\nzwei \xC3\xBC");
  RuntimeObject* single = NewField(PackedStream(), MakeRect(20, 150, 220, 176), "S");
  FolderItemImpUnix file{string(path.c_str())};
  PaneOf(multi)->SaveToFile(&file);
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char bytes[64] = {};
  size_t n = std::fread(bytes, 1, sizeof bytes, f);
  std::fclose(f);
  EXPECT_EQ(std::string(bytes, n), "line one\nzwei \xC3\xBC") << "the UTF-8 bytes, nothing added";
  SetText(multi, "");
  PaneOf(multi)->LoadFromFile(&file);
  EXPECT_EQ(Text(multi), "line one\nzwei \xC3\xBC");
  PaneOf(single)->LoadFromFile(&file);
  EXPECT_EQ(Text(single), "line one\nzwei \xC3\xBC");
  // Nothing to read, or more than a string holds: the text stays and the item tells why.
  const std::string big = path + ".big";
  std::ofstream{big};
  std::filesystem::resize_file(big, 3ull << 30);
  const std::pair<std::string, int32_t> unreadable[] = {{path + ".missing", ENOENT}, {big, EOVERFLOW}};
  for (const auto& [name, error] : unreadable) {
    FolderItemImpUnix item{string(name.c_str())};
    EXPECT_FALSE(PaneOf(single)->LoadFromFile(&item)) << name;
    EXPECT_EQ(item.mLastError, error) << name;
    EXPECT_EQ(Text(single), "line one\nzwei \xC3\xBC") << name;
  }
  std::remove(big.c_str());
  std::remove(path.c_str());
}

TEST_F(EditFieldClassTest, ChangingMultiLineAfterCreationKeepsTheWidgets) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "one"));
  editMultiLineSetter(field, 0, 1);
  EXPECT_EQ(editMultiLineGetter(field, 0), 1);
  EXPECT_FALSE(PaneOf(field)->IsMultiline());
  SetText(field, "two");
  EXPECT_EQ(Text(field), "two");
}

}  // namespace
}  // namespace vorn
