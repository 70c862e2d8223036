// A user typing into edit fields under Xvfb: text and TextChange, read-only and password
// fields, Return in a multi-line field, Tab leaving a single-line one, the length limit and a
// KeyDown handler that keeps a key out.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>

#include "editfield/support/edit_field_fixture.h"
#include "vorn/editfield_api.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

using test::Events;
using test::PackedStream;

class EditFieldTypingTest : public test::EditFieldTest {};

TEST_F(EditFieldTypingTest, TypingChangesTheTextAndFiresTextChangeForEachCharacter) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "\xC3\xA4\xC3\xB6").Bool(test::kEfBorder, true));
  EXPECT_EQ(Events().textChanges, 0) << "making the pane reports no change";
  ShowAndClick(field);
  ASSERT_EQ(GetFocusPane(), PaneOf(field));
  EXPECT_GE(Events().gotFocus, 1);
  Keys("End");
  int selChanges = Events().selChanges;
  Type("ab");
  EXPECT_EQ(Text(field), "\xC3\xA4\xC3\xB6" "ab");
  EXPECT_EQ(Events().textChanges, 2);
  EXPECT_EQ((Events().textsSeen), (std::vector<std::string>{"\xC3\xA4\xC3\xB6" "a", "\xC3\xA4\xC3\xB6" "ab"}));
  EXPECT_EQ(editSelStartGetter(field, 0), 4) << "offsets count characters, not bytes";
  EXPECT_EQ(Events().selChanges, selChanges + 2) << "each typed character moves the insertion point";
  Keys("BackSpace Home Delete");
  EXPECT_EQ(Text(field), "\xC3\xB6" "a");
  EXPECT_EQ(Events().textChanges, 4);
  EXPECT_EQ(Events().keys.size(), 6u) << "KeyDown heard every key";
}

TEST_F(EditFieldTypingTest, TakingTheFocusByAClickFiresGotFocusButNoSelChange) {
  RuntimeObject* first = NewField(PackedStream().Text(test::kEfText, ""));
  RuntimeObject* second = NewField(PackedStream().Text(test::kEfText, ""), MakeRect(20, 60, 220, 86));
  ShowAndClick(first);
  ASSERT_EQ(GetFocusPane(), PaneOf(first));
  int got = Events().gotFocus;
  int lost = Events().lostFocus;
  Click(second, 10, 10);
  EXPECT_EQ(GetFocusPane(), PaneOf(second));
  EXPECT_EQ(Events().gotFocus, got + 1);
  EXPECT_EQ(Events().lostFocus, lost + 1);
  EXPECT_EQ(Events().selChanges, 0);
}

TEST_F(EditFieldTypingTest, AKeyDownHandlerThatAnswersTrueKeepsTheKeyOut) {
  RuntimeObject* field = NewField(PackedStream());
  Events().refusedKey = "x";
  ShowAndClick(field);
  Type("axbx");
  EXPECT_EQ(Text(field), "ab");
  EXPECT_EQ(Events().textChanges, 2);
  EXPECT_EQ((Events().keys), (std::vector<std::string>{"a", "x", "b", "x"}));
}

TEST_F(EditFieldTypingTest, AReadOnlyFieldRefusesTypingButCanBeSelected) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "fixed").Bool(test::kEfReadOnly, true));
  EXPECT_EQ(editReadOnlyGetter(field, 0), 1);
  ShowAndClick(field);
  Type("zz");
  Keys("BackSpace Delete");
  EXPECT_EQ(Text(field), "fixed");
  EXPECT_EQ(Events().textChanges, 0);
  editReadOnlySetter(field, 0, 0);
  Keys("End");
  Type("!");
  EXPECT_EQ(Text(field), "fixed!");
}

TEST_F(EditFieldTypingTest, APasswordFieldHidesWhatIsTypedAndKeepsItFromTheClipboard) {
  RuntimeObject* field = NewField(PackedStream().Bool(test::kEfPassword, true));
  EditControlGTK* pane = PaneOf(field);
  EXPECT_FALSE(gtk_entry_get_visibility(GTK_ENTRY(pane->Widget())));
  ShowAndClick(field);
  Type("secret");
  EXPECT_EQ(Text(field), "secret");
  // What the entry draws is one invisible character per character typed, never the text.
  PangoLayout* layout = gtk_entry_get_layout(GTK_ENTRY(pane->Widget()));
  std::string shown = pango_layout_get_text(layout);
  EXPECT_EQ(shown.find("secret"), std::string::npos);
  EXPECT_EQ(g_utf8_strlen(shown.c_str(), -1), 6);
  editSelectAll(field);
  pane->EnableMenuItems();
  auto& items = Events().enabledItems;
  auto has = [&items](const char* name) { return std::find(items.begin(), items.end(), name) != items.end(); };
  EXPECT_TRUE(has("EditClear"));
  EXPECT_TRUE(has("EditSelectAll"));
  EXPECT_FALSE(has("EditCopy"));
  EXPECT_FALSE(has("EditCut"));
  EXPECT_FALSE(pane->DoEditMenuCommand(string("EditCopy")));
  EXPECT_TRUE(pane->DoEditMenuCommand(string("editclear")));
  EXPECT_EQ(Text(field), "");
}

TEST_F(EditFieldTypingTest, ReturnInAMultiLineFieldInsertsALineAndTabLeavesASingleLineField) {
  RuntimeObject* single = NewField(PackedStream(), MakeRect(20, 20, 220, 46), "Single");
  RuntimeObject* multi = NewField(PackedStream().Bool(test::kEfMultiLine, true).Bool(test::kEfScrollBarVertical, true),
                                  MakeRect(20, 60, 260, 200), "Multi");
  EXPECT_TRUE(PaneOf(multi)->IsMultiline());
  ShowAndClick(single);
  Type("one");
  Keys("Return");
  EXPECT_EQ(Text(single), "one") << "a single-line field takes no line";
  int lost = Events().lostFocus;
  Keys("Tab");
  EXPECT_EQ(GetFocusPane(), PaneOf(multi)) << "Tab moves the focus on";
  EXPECT_EQ(Text(single), "one");
  EXPECT_EQ(Events().lostFocus, lost + 1);
  Type("ab");
  Keys("Return");
  Type("cd");
  EXPECT_EQ(Text(multi), "ab\ncd");
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR + "/edit_fields.png");
  EXPECT_EQ(editLineNumAtCharPos(multi, 4), 1);
  EXPECT_EQ(editCharPosAtLineNum(multi, 1), 4);
  Keys("Tab");
  EXPECT_NE(GetFocusPane(), PaneOf(multi)) << "without AcceptTabs a multi-line field lets Tab go too";
  EXPECT_EQ(Text(multi), "ab\ncd");
}

TEST_F(EditFieldTypingTest, WithAcceptTabsTabIsTyped) {
  RuntimeObject* field = NewField(PackedStream().Bool(test::kEfAcceptTabs, true), MakeRect(20, 20, 220, 46), "A");
  NewField(PackedStream(), MakeRect(20, 60, 220, 86), "B");
  EXPECT_TRUE(PaneOf(field)->AcceptsTab());
  ShowAndClick(field);
  Type("a");
  Keys("Tab");
  Type("b");
  EXPECT_EQ(Text(field), "a\tb");
  EXPECT_EQ(GetFocusPane(), PaneOf(field));
}

TEST_F(EditFieldTypingTest, LimitTextStopsTypingAtTheLimit) {
  RuntimeObject* field = NewField(PackedStream().Int(test::kEfLimitText, 4));
  EXPECT_EQ(editLimitTextGetter(field, 0), 4);
  ShowAndClick(field);
  Type("abcdef");
  EXPECT_EQ(Text(field), "abcd");
  editLimitTextSetter(field, 0, 0);
  Type("ef");
  EXPECT_EQ(Text(field), "abcdef") << "0 removes the limit";
}

TEST_F(EditFieldTypingTest, SelectingWithTheKeyboardFiresSelChange) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "hello"));
  ShowAndClick(field);
  Keys("End");
  int before = Events().selChanges;
  Keys("shift+Left shift+Left");
  EXPECT_EQ(SelText(field), "lo");
  EXPECT_EQ(editSelStartGetter(field, 0), 3);
  EXPECT_EQ(editSelLengthGetter(field, 0), 2);
  EXPECT_EQ(Events().selChanges, before + 2);
}

int gMouseUps = 0;
uint8_t TakeTheClick(RuntimeObject*, int32_t, int32_t) { return 1; }
void CountMouseUp(RuntimeObject*, int32_t, int32_t) { ++gMouseUps; }

TEST_F(EditFieldTypingTest, AClickTheMouseDownHandlerTakesLeavesTheCaretAndStillReachesMouseUp) {
  RuntimeObject* field = NewField(PackedStream().Text(test::kEfText, "hello world"));
  ShowAndClick(field);
  Keys("End");
  ASSERT_EQ(editSelStartGetter(field, 0), 11);
  Install(field, "MouseDown", reinterpret_cast<void*>(&TakeTheClick));
  Install(field, "MouseUp", reinterpret_cast<void*>(&CountMouseUp));
  gMouseUps = 0;
  Click(field, 6, 10);
  EXPECT_EQ(editSelStartGetter(field, 0), 11) << "the caret stays where it was";
  EXPECT_EQ(gMouseUps, 1);
  Install(field, "MouseDown", nullptr);
  Click(field, 6, 10);
  EXPECT_LT(editSelStartGetter(field, 0), 11) << "without the handler the click places the caret";
  EXPECT_EQ(gMouseUps, 1);
}

}  // namespace
}  // namespace vorn
