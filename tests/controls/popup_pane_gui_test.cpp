// The popup pane on a real display: rows, the tracked selection, the Change rules, tags,
// the editable combo box, and choosing rows with the mouse and keyboard through xdotool.
#include <gtk/gtk.h>

#include "controls/support/binding_fakes.h"
#include "controls/support/control_test_support.h"
#include "controls/support/popup_gui_support.h"
#include "objects/runtime_object.h"

namespace vorn::testing {
namespace {

const std::vector<string> kCurves = Strings({"None", "Aperture", "Obstruction", "Magnification", "Seeing",
                                             "Transmission", "Sky brightness", "Zenith distance", "Age",
                                             "Experience", "Pupil", "Extinction"});

std::string EntryText(PopupMenu* pane) { return gtk_entry_get_text(GTK_ENTRY(pane->Entry())); }
std::string RowText(PopupMenu* pane, int32_t index) { return std::string(pane->GetRowText(index).View()); }

int ListItemCount(PopupMenu* pane) {
  GList* items = gtk_container_get_children(GTK_CONTAINER(pane->List()));
  int count = static_cast<int>(g_list_length(items));
  g_list_free(items);
  return count;
}

TEST_F(PopupGuiTest, AnEmptyPopupHasNoRowsNoSelectionAndNoText) {
  PopupMenu* pane = MakePopup();
  EXPECT_EQ(pane->Count(), 0);
  EXPECT_EQ(pane->GetListIndex(), -1);
  EXPECT_EQ(pane->GetText().Length(), 0);
  EXPECT_EQ(pane->GetRowTag(0), nullptr);
  EXPECT_EQ(pane->GetRowText(5).Length(), 0);
  pane->RemoveRow(0);
  pane->SetRowText(0, string("x"));
  EXPECT_EQ(pane->Count(), 0);
  EXPECT_EQ(events.changes, 0);
}

TEST_F(PopupGuiTest, RowsFromTheDesignSelectTheirFirstRowWithoutChange) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(kCurves);
  EXPECT_EQ(pane->GetListIndex(), -1);  // nothing chosen yet: the entry stays empty
  EXPECT_EQ(EntryText(pane), "");
  pane->SetListIndex(0, false);
  EXPECT_EQ(pane->Count(), 12);
  EXPECT_EQ(ListItemCount(pane), 12);
  EXPECT_EQ(pane->GetListIndex(), 0);
  EXPECT_EQ(std::string(pane->GetText().View()), "None");
  EXPECT_EQ(EntryText(pane), "None");
  EXPECT_EQ(events.changes, 0);
}

TEST_F(PopupGuiTest, SettingTheListIndexRaisesChangeOnceEachTime) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(kCurves);
  pane->SetListIndex(4, true);
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(events.dataChanged, 1);
  EXPECT_EQ(events.indexAtChange, std::vector<int32_t>{4});
  EXPECT_EQ(EntryText(pane), "Seeing");
  EXPECT_EQ(pane->LastIndex(), 4);

  pane->SetListIndex(4, true);  // the same index again
  EXPECT_EQ(events.changes, 2);
  pane->SetListIndex(12, true);  // out of range: nothing selected, still one Change
  EXPECT_EQ(events.changes, 3);
  EXPECT_EQ(pane->GetListIndex(), 4);
  EXPECT_EQ(EntryText(pane), "Seeing");
  // -1 deselects, with one Change for the selection that went and none when there was none.
  pane->SetListIndex(-1, true);
  EXPECT_EQ(pane->GetListIndex(), -1);
  EXPECT_EQ(EntryText(pane), "");
  EXPECT_EQ(events.changes, 4);
  pane->SetListIndex(-1, true);
  EXPECT_EQ(events.changes, 4);
}

TEST_F(PopupGuiTest, APopupNoWiderThanItsButtonPaintsOnlyItsOwnPlace) {
  std::vector<PopupMenu*> panes;
  for (int16_t width : {20, 21, 60})
    panes.push_back(new PopupMenu(owner, &events, vorn::TextStyle(), window, Rect{20, 20, 46, int16_t(20 + width)}, false));
  ShowWindow();  // the theme draws with the window's style
  for (PopupMenu* pane : panes) {
    const int32_t width = pane->Width();
    test::PixmapPort pixmap(200, 80);
    pane->DrawInto(pixmap.Port());
    EXPECT_GT(pixmap.InkIn(MakeRect(20, 20, 20 + width, 46)), 0) << width;
    EXPECT_EQ(pixmap.InkIn(MakeRect(20 + width, 0, 200, 80)), 0) << width;
    EXPECT_EQ(pixmap.InkIn(MakeRect(0, 50, 200, 80)), 0) << width;
  }
}

TEST_F(PopupGuiTest, AChangeHandlerSettingTheIndexAgainRaisesNoSecondChange) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(kCurves);
  events.onChange = [&] { pane->SetListIndex(2, true); };
  pane->SetListIndex(7, true);
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(events.dataChanged, 1);
  EXPECT_EQ(pane->GetListIndex(), 2);
  EXPECT_FALSE(events.inChange);
}

TEST_F(PopupGuiTest, RowsWithEqualTextKeepTheirOwnIndex) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(Strings({"Aperture", "aperture", "Focal length", "Aperture"}));
  pane->SetListIndex(1, false);
  EXPECT_EQ(pane->GetListIndex(), 1);
  pane->SetListIndex(3, false);
  EXPECT_EQ(pane->GetListIndex(), 3);
  EXPECT_EQ(std::string(pane->GetText().View()), "Aperture");
}

TEST_F(PopupGuiTest, InsertingRowsKeepsTheSelectedRowWithoutChange) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(Strings({"Seeing", "Age", "Pupil"}));
  pane->SetListIndex(1, false);
  pane->InsertRow(0, string("Aperture"), nullptr);
  EXPECT_EQ(pane->GetListIndex(), 2);
  EXPECT_EQ(std::string(pane->GetText().View()), "Age");
  pane->InsertRow(3, string("Extinction"), nullptr);
  EXPECT_EQ(pane->GetListIndex(), 2);
  pane->InsertRow(40, string("Last"), nullptr);  // past the end appends
  pane->InsertRow(-1, string("After last"), nullptr);
  EXPECT_EQ(RowText(pane, 5), "Last");
  EXPECT_EQ(RowText(pane, 6), "After last");
  EXPECT_EQ(ListItemCount(pane), 7);
  EXPECT_EQ(EntryText(pane), "Age");
  EXPECT_EQ(events.changes, 0);
}

TEST_F(PopupGuiTest, RemovingRowsRaisesChangeOnlyWhenTheSelectedRowGoes) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(Strings({"Aperture", "Seeing", "Age", "Pupil"}));
  pane->SetListIndex(2, false);
  pane->RemoveRow(0);
  EXPECT_EQ(pane->GetListIndex(), 1);
  EXPECT_EQ(std::string(pane->GetText().View()), "Age");
  pane->RemoveRow(2);
  EXPECT_EQ(pane->GetListIndex(), 1);
  EXPECT_EQ(events.changes, 0);

  pane->RemoveRow(1);  // the selected row
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(events.indexAtChange, std::vector<int32_t>{-1});
  EXPECT_EQ(pane->GetListIndex(), -1);
  EXPECT_EQ(EntryText(pane), "");
  pane->RemoveRow(0);
  EXPECT_EQ(pane->Count(), 0);
  EXPECT_EQ(ListItemCount(pane), 0);
  EXPECT_EQ(events.changes, 1);
}

TEST_F(PopupGuiTest, AddRowAndDeleteAllRowsNeverRaiseChange) {
  PopupMenu* pane = MakePopup();
  pane->AddRow(string("Aperture"), nullptr);
  pane->AddSeparator();
  pane->SetListIndex(0, false);
  pane->DeleteAllRows();
  EXPECT_EQ(pane->Count(), 0);
  EXPECT_EQ(pane->GetListIndex(), -1);
  EXPECT_EQ(ListItemCount(pane), 0);
  pane->AddRow(string("Seeing"), nullptr);
  EXPECT_EQ(RowText(pane, 0), "Seeing");
  EXPECT_EQ(events.changes, 0);
}

TEST_F(PopupGuiTest, APopupMenuStripsMnemonicsFromAddedRowsOnly) {
  PopupMenu* pane = MakePopup();
  pane->AddRow(string("&Open && Save"), nullptr);
  pane->AddRows(Strings({"&Design"}));
  pane->InsertRow(0, string("Sa&ve"), nullptr);
  pane->SetRowText(2, string("Re&name"));
  EXPECT_EQ(RowText(pane, 0), "Save");
  EXPECT_EQ(RowText(pane, 1), "Open & Save");
  EXPECT_EQ(RowText(pane, 2), "Rename");

  PopupMenu* combo = MakePopup(true);
  combo->AddRow(string("&Open && Save"), nullptr);
  EXPECT_EQ(RowText(combo, 0), "&Open && Save");
}

TEST_F(PopupGuiTest, TagsAreCountedAndMoveWithTheirRows) {
  PopupMenu* pane = MakePopup();
  RuntimeObject* tag = NewLogReceiver(1);
  RuntimeObject* other = NewLogReceiver(2);
  pane->AddRows(Strings({"Aperture", "Seeing", "Age"}));
  pane->SetRowTag(1, tag);
  EXPECT_EQ(tag->refCount, 2);
  pane->SetRowTag(1, tag);  // the same tag again holds one reference
  EXPECT_EQ(tag->refCount, 2);
  pane->InsertRow(0, string("None"), nullptr);
  EXPECT_EQ(pane->GetRowTag(2), tag);
  EXPECT_EQ(pane->FindRowTag(tag), 2);
  pane->RemoveRow(0);
  EXPECT_EQ(pane->GetRowTag(1), tag);
  pane->SetRowTag(1, other);
  EXPECT_EQ(tag->refCount, 1);
  pane->SetRowTag(7, tag);  // no such row: nothing stored
  EXPECT_EQ(tag->refCount, 1);
  pane->SetRowTag(2, tag);
  EXPECT_EQ(pane->FindRowTag(nullptr), 0);
  EXPECT_EQ(pane->FindRowTag(owner), -1);

  CloseWindow();  // the pane releases the tags it held
  EXPECT_EQ(tag->refCount, 1);
  EXPECT_EQ(other->refCount, 1);
  RuntimeUnlockObject(tag);
  RuntimeUnlockObject(other);
}

TEST_F(PopupGuiTest, AComboBoxFollowsTypedTextThatEqualsARow) {
  PopupMenu* combo = MakePopup(true);
  combo->AddRows(Strings({"Aperture", "Seeing"}));
  combo->SetText(string("seeing"));
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(combo->GetListIndex(), 1);
  EXPECT_EQ(std::string(combo->GetText().View()), "seeing");
  combo->SetText(string("Seeing at dusk"));
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(combo->GetListIndex(), -1);
  // Rebuilding the rows keeps typed text that is no row.
  combo->AddRow(string("Age"), nullptr);
  EXPECT_EQ(std::string(combo->GetText().View()), "Seeing at dusk");

  combo->SetSelStart(2);
  combo->SetSelLength(4);
  EXPECT_EQ(combo->GetSelStart(), 2);
  EXPECT_EQ(combo->GetSelLength(), 4);

  PopupMenu* pane = MakePopup();
  pane->AddRows(Strings({"Aperture"}));
  pane->SetText(string("Aperture"));  // a popup menu's text is its row's
  EXPECT_EQ(pane->GetListIndex(), -1);
  EXPECT_EQ(events.changes, 1);
}

TEST_F(PopupGuiTest, TheRecheckStateRaisesChangeOnlyWhenTheIndexMoved) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(kCurves);
  pane->SetListIndex(3, true);
  EXPECT_EQ(pane->ChangeState(kComboStateRecheck), 1);
  EXPECT_EQ(events.changes, 1);
  pane->SetListIndex(5, false);
  pane->ChangeState(kComboStateRecheck);
  EXPECT_EQ(events.changes, 2);
}

TEST_F(PopupGuiTest, AChangeHandlerMayCloseTheWindow) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(kCurves);
  ShowWindow();
  events.onChange = [&] { CloseWindow(); };
  pane->SetListIndex(2, true);  // the pane is deleted when the handler returns
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(window, nullptr);
}

TEST_F(PopupGuiTest, WithoutOwnerNoEventIsRaised) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(kCurves);
  pane->ClearOwner();
  pane->SetListIndex(1, true);
  pane->FireGotFocus();
  EXPECT_EQ(events.changes, 0);
  EXPECT_EQ(events.gotFocus, 0);
  EXPECT_EQ(pane->GetListIndex(), 1);
}

TEST_F(PopupGuiTest, TheFontRuleKeepsTheThemeFontForTheDefaultStyle) {
  vorn::TextStyle style;
  style.mFontName = string("system");
  EXPECT_FALSE(IsCustomComboFont(style));
  style.mSize = 0;
  EXPECT_FALSE(IsCustomComboFont(style));
  style.mSize = 10;
  EXPECT_TRUE(IsCustomComboFont(style));
  style.mSize = 12;
  style.mItalic = 1;
  EXPECT_TRUE(IsCustomComboFont(style));
  style.mItalic = 0;
  style.mFontName = string("Serif");
  EXPECT_TRUE(IsCustomComboFont(style));

  style.mSize = 10;
  PopupMenu* pane = MakePopup(false, style);
  EXPECT_TRUE(pane->HasCustomFont());
  pane->AddRows(Strings({"Aperture"}));
  pane->Style().mSize = 12;
  pane->Style().mFontName = string("System");
  pane->ApplyTextStyle();
  EXPECT_FALSE(pane->HasCustomFont());
}

// --- on the display ---------------------------------------------------------------------

class PopupDisplayTest : public PopupGuiTest {
 protected:
  PopupMenu* ShownPopup() {
    PopupMenu* pane = MakePopup();
    pane->AddRows(kCurves);
    pane->SetListIndex(0, false);
    ShowWindow();
    Shell("xdotool windowactivate --sync $(xdotool search --name '^Popups$' | head -1) 2>/dev/null");
    PumpFor(200);
    return pane;
  }

  void OpenDropDown(PopupMenu* pane) {
    int x, y;
    GtkWidget* button = pane->ArrowButton();
    WidgetScreenPoint(button, button->allocation.width / 2, button->allocation.height / 2, &x, &y);
    ClickAt(x, y);
    PumpFor(300);
  }
};

TEST_F(PopupDisplayTest, ChoosingARowWithTheMouseRaisesChangeOnce) {
  PopupMenu* pane = ShownPopup();
  Screenshot("popup_closed");
  OpenDropDown(pane);
  GtkWidget* dropDown = pane->DropDown();
  ASSERT_TRUE(GTK_WIDGET_VISIBLE(dropDown));
  Screenshot("popup_open");

  GList* items = gtk_container_get_children(GTK_CONTAINER(pane->List()));
  GtkWidget* item = GTK_WIDGET(g_list_nth_data(items, 4));
  g_list_free(items);
  int x, y;
  WidgetScreenPoint(item, item->allocation.width / 2, item->allocation.height / 2, &x, &y);
  ClickAt(x, y);
  PumpFor(300);
  Screenshot("popup_chosen");

  EXPECT_FALSE(GTK_WIDGET_VISIBLE(dropDown));
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(pane->GetListIndex(), 4);
  EXPECT_EQ(events.indexAtChange, std::vector<int32_t>{4});
  EXPECT_EQ(EntryText(pane), "Seeing");
}

TEST_F(PopupDisplayTest, ChoosingARowWithTheKeyboardRaisesChangeOnce) {
  PopupMenu* pane = ShownPopup();
  OpenDropDown(pane);
  Shell("xdotool key --delay 60 Down Down Return");
  PumpFor(400);
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(pane->GetListIndex(), 2);
  EXPECT_EQ(EntryText(pane), "Obstruction");
}

TEST_F(PopupDisplayTest, ClosingTheDropDownWithoutAChoiceRaisesNothing) {
  PopupMenu* pane = ShownPopup();
  pane->SetListIndex(3, false);
  OpenDropDown(pane);
  Shell("xdotool key Escape");
  PumpFor(300);
  EXPECT_EQ(events.changes, 0);
  EXPECT_EQ(pane->GetListIndex(), 3);
}

TEST_F(PopupDisplayTest, PickingTheTwinOfTheSelectedRowRaisesChange) {
  PopupMenu* pane = MakePopup();
  pane->AddRows(Strings({"Aperture", "Seeing", "Aperture"}));
  pane->SetListIndex(0, false);
  ShowWindow();
  OpenDropDown(pane);
  GList* items = gtk_container_get_children(GTK_CONTAINER(pane->List()));
  GtkWidget* item = GTK_WIDGET(g_list_nth_data(items, 2));
  g_list_free(items);
  int x, y;
  WidgetScreenPoint(item, item->allocation.width / 2, item->allocation.height / 2, &x, &y);
  ClickAt(x, y);
  PumpFor(300);
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(pane->GetListIndex(), 2);
}

}  // namespace
}  // namespace vorn::testing
