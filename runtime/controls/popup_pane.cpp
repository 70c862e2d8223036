// The popup pane's rows, selection and Change rules.
#include "controls/popup_pane.h"

#include <gtk/gtk.h>

#include <cstring>

#include "windows/pane_port.h"
#include "objects/runtime_object.h"
#include "strings/case_table.h"
#include "strings/mnemonics.h"
#include "strings/pinned_int.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn {

namespace {

GtkCombo* ComboOf(NativeWidget widget) { return GTK_COMBO(widget); }

bool SameText(const std::string& a, const char* b) {
  return CompareUTF8NoCase(a.data(), static_cast<int32_t>(a.size()), b, static_cast<int32_t>(strlen(b))) == 0;
}

void OnEntryChanged(GtkEditable*, gpointer data) { static_cast<PopupMenu*>(data)->EntryChanged(); }
void OnDropDownShow(GtkWidget*, gpointer data) { static_cast<PopupMenu*>(data)->DropDownShown(); }
void OnDropDownHide(GtkWidget*, gpointer data) { static_cast<PopupMenu*>(data)->DropDownHidden(); }

// Every handler gets the PopupMenu itself; its SubPane part lies elsewhere in the object.
SubPane* PaneOf(gpointer data) { return static_cast<PopupMenu*>(data); }

gboolean OnEntryPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  return RoutePanePress(PaneOf(data), *event);
}
gboolean OnEntryRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  DeliverMouseUp(PaneOf(data), *event);
  return FALSE;
}
void OnEntryGrabFocus(GtkWidget* widget, gpointer data) {
  if (GTK_WIDGET_CAN_FOCUS(widget)) SetFocusPane(PaneOf(data));
}

}  // namespace

bool IsCustomComboFont(const TextStyle& style) {
  bool systemFont = style.mFontName.IsEmpty() || SameName(style.mFontName.View(), "System");
  bool defaultSize = style.mSize == 0 || style.mSize == 12;
  return !(systemFont && defaultSize && !style.mBold && !style.mItalic && !style.mUnderline);
}

PopupMenu::PopupMenu(RuntimeObject* owner, ComboBoxEvents* events, const vorn::TextStyle& style, Window* window,
                     const Rect& bounds, bool editable)
    : ComboBox(owner, events, style), SubPane(window, 0, bounds), mEditable(editable) {
  EnsurePanePorts();
  SetTextFont(mStyle.mFontName);
  SetTextSize(mStyle.mSize);
  Pane::SetTextStyle(mStyle.GetStyleBits());
  SetWidget(gtk_combo_new());
  // The combo would otherwise rewrite typed text in another letter case to the row's text,
  // changing the entry a second time; rows are matched without regard to case here.
  gtk_combo_set_case_sensitive(ComboOf(mWidget), TRUE);
  GtkCombo* combo = ComboOf(mWidget);
  mParts[kEntry] = combo->entry;
  mParts[kList] = combo->list;
  mParts[kButton] = combo->button;
  mParts[kDropDown] = combo->popwin;
  for (GtkWidget* part : mParts) g_object_ref(part);
  mCustomFont = IsCustomComboFont(mStyle);
  AddPaneToWindow(this, true);

  GtkWidget* entry = Entry();
  SetWidgetFont(entry, mStyle);
  gtk_editable_set_editable(GTK_EDITABLE(entry), editable);
  g_signal_connect(entry, "changed", G_CALLBACK(OnEntryChanged), this);
  g_signal_connect(entry, "grab-focus", G_CALLBACK(OnEntryGrabFocus), this);
  gtk_widget_add_events(entry, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  g_signal_connect(entry, "button-press-event", G_CALLBACK(OnEntryPress), this);
  g_signal_connect(entry, "button-release-event", G_CALLBACK(OnEntryRelease), this);
  GtkWidget* dropDown = mParts[kDropDown];
  g_signal_connect(dropDown, "show", G_CALLBACK(OnDropDownShow), this);
  g_signal_connect(dropDown, "hide", G_CALLBACK(OnDropDownHide), this);
}

PopupMenu::~PopupMenu() {
  for (GtkWidget*& part : mParts) {
    g_signal_handlers_disconnect_matched(part, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    g_object_unref(part);
    part = nullptr;
  }
  UnbindDataSource();
  for (Row& row : mRows) RuntimeUnlockObject(row.tag);
  mRows.clear();
}

GtkWidget* PopupMenu::Entry() const { return mParts[kEntry]; }
GtkWidget* PopupMenu::List() const { return mParts[kList]; }
GtkWidget* PopupMenu::ArrowButton() const { return mParts[kButton]; }
GtkWidget* PopupMenu::DropDown() const { return mParts[kDropDown]; }

// --- Change ---------------------------------------------------------------------------------

void PopupMenu::Changed() {
  if (RaiseChangeOnce(this)) return;
  if (mOwner) mLastIndex = GetListIndex();
}

bool PopupMenu::TellTextChanged() {
  if (!mEditable || !mOwner) return false;
  const char* now = gtk_entry_get_text(GTK_ENTRY(Entry()));
  if (!now || mToldText == now) return false;
  mToldText = now;
  return FireLocked(&ComboBoxEvents::RaiseTextChanged);
}

void PopupMenu::EntryChanged() {
  // While the pane rebuilds or shows a row it changes the entry in steps; what the entry
  // ends up showing is told once the pane is done.
  if (mBlocked) return;
  if (TellTextChanged()) return;
  mSelected = IndexFromCombo();
  if (mSelected != -1) Changed();
}

void PopupMenu::DropDownShown() {
  // The combo selects the first row matching the entry's text when it drops down; the row
  // actually selected may be a later one with the same text.
  if (mBlocked || mSelected < 0) return;
  Block();
  gtk_list_select_item(GTK_LIST(List()), mSelected);
  Unblock();
}

void PopupMenu::DropDownHidden() {
  if (mBlocked) return;
  // A pick of a row whose text equals the selected row's leaves the entry unchanged.
  int32_t index = IndexFromCombo();
  if (index != -1 && index != mSelected) {
    mSelected = index;
    Changed();
  }
}

// --- selection ------------------------------------------------------------------------------

int32_t PopupMenu::IndexFromCombo() {
  const char* text = gtk_entry_get_text(GTK_ENTRY(Entry()));
  if (!text) return -1;
  GtkList* list = GTK_LIST(List());
  if (list->selection) {
    gint position = gtk_list_child_position(list, GTK_WIDGET(list->selection->data));
    if (position >= 0 && position < Count() && SameText(mRows[static_cast<size_t>(position)].text, text))
      return position;
  }
  for (size_t i = 0; i < mRows.size(); ++i)
    if (SameText(mRows[i].text, text)) return static_cast<int32_t>(i);
  return -1;
}

int32_t PopupMenu::GetListIndex() { return mSelected >= 0 && mSelected < Count() ? mSelected : -1; }

void PopupMenu::SetListIndex(int32_t index, bool notify) {
  if (index == -1) {
    // None: the selection goes, and Change tells of it only when there was one.
    const bool had = GetListIndex() != -1;
    Block();
    mSelected = -1;
    ShowSelection(mEditable ? std::string(gtk_entry_get_text(GTK_ENTRY(Entry()))) : std::string());
    Unblock();
    if (notify && had) Changed();
    return;
  }
  if (index >= 0 && index < Count()) {
    Block();
    mSelected = index;
    ShowSelection(std::string());
    Unblock();
    if (TellTextChanged()) return;
  }
  if (notify) Changed();
}

void PopupMenu::ShowSelection(const std::string& entryText) {
  GtkWidget* entry = Entry();
  if (mSelected >= 0 && mSelected < Count()) {
    gtk_list_select_item(GTK_LIST(List()), mSelected);
    const std::string& text = mRows[static_cast<size_t>(mSelected)].text;
    if (text != gtk_entry_get_text(GTK_ENTRY(entry))) gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
    return;
  }
  mSelected = -1;
  gtk_list_unselect_all(GTK_LIST(List()));
  const std::string& keep = mEditable ? entryText : std::string();
  if (keep != gtk_entry_get_text(GTK_ENTRY(entry))) gtk_entry_set_text(GTK_ENTRY(entry), keep.c_str());
}

// --- rows -----------------------------------------------------------------------------------

std::string PopupMenu::StoredText(const string& text) {
  string utf8 = text.ToUTF8();
  if (StripsAmpersands()) StripAmpersands(utf8, nullptr);
  return std::string(utf8.View());
}

void PopupMenu::Rebuild() {
  Block();
  std::string entryText = gtk_entry_get_text(GTK_ENTRY(Entry()));
  if (mRows.empty()) {
    gtk_list_clear_items(GTK_LIST(List()), 0, -1);
  } else {
    GList* strings = nullptr;
    for (const Row& row : mRows) strings = g_list_append(strings, const_cast<char*>(row.text.c_str()));
    gtk_combo_set_popdown_strings(ComboOf(mWidget), strings);
    g_list_free(strings);
    if (mCustomFont) ApplyItemFonts();
  }
  ShowSelection(entryText);
  Unblock();
}

void PopupMenu::ApplyItemFonts() {
  GList* items = gtk_container_get_children(GTK_CONTAINER(List()));
  for (GList* item = items; item; item = item->next) {
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(item->data));
    if (label) SetWidgetFont(label, mStyle);
  }
  g_list_free(items);
}

void PopupMenu::AddRow(const string& text, RuntimeObject* tag) {
  RuntimeLockObject(tag);
  mRows.push_back({StoredText(text), tag});
  Rebuild();
}

void PopupMenu::AddRows(const std::vector<string>& texts) {
  // Rows given in a window's design keep their ampersands.
  for (const string& text : texts) mRows.push_back({std::string(text.ToUTF8().View()), nullptr});
  Rebuild();
}

void PopupMenu::AddSeparator() { AddRow(string("-"), nullptr); }

void PopupMenu::InsertRow(int32_t index, const string& text, RuntimeObject* tag) {
  // Past the end (or negative) appends.
  size_t at = index >= 0 && index < Count() ? static_cast<size_t>(index) : mRows.size();
  RuntimeLockObject(tag);
  mRows.insert(mRows.begin() + static_cast<ptrdiff_t>(at), Row{StoredText(text), tag});
  // The selected row stays selected: only its number moves.
  if (mSelected >= 0 && static_cast<size_t>(mSelected) >= at) ++mSelected;
  Rebuild();
}

void PopupMenu::RemoveRow(int32_t index) {
  if (index < 0 || index >= Count()) return;
  RuntimeObject* tag = mRows[static_cast<size_t>(index)].tag;
  mRows.erase(mRows.begin() + index);
  bool selectionGone = mSelected == index;
  if (selectionGone) {
    mSelected = -1;
  } else if (mSelected > index) {
    --mSelected;
  }
  Rebuild();
  RuntimeUnlockObject(tag);
  if (selectionGone) Changed();
}

void PopupMenu::DeleteAllRows() {
  std::vector<Row> rows;
  rows.swap(mRows);
  mSelected = -1;
  Rebuild();
  for (Row& row : rows) RuntimeUnlockObject(row.tag);
}

void PopupMenu::SetRowText(int32_t index, const string& text) {
  if (index < 0 || index >= Count()) return;
  mRows[static_cast<size_t>(index)].text = StoredText(text);
  Rebuild();
}

string PopupMenu::GetRowText(int32_t index) {
  if (index < 0 || index >= Count()) return string();
  const std::string& text = mRows[static_cast<size_t>(index)].text;
  return string(text, kEncodingUTF8);
}

RuntimeObject* PopupMenu::GetRowTag(int32_t index) {
  if (index < 0 || index >= Count()) return nullptr;
  return mRows[static_cast<size_t>(index)].tag;
}

void PopupMenu::SetRowTag(int32_t index, RuntimeObject* tag) {
  if (index < 0 || index >= Count()) return;
  RuntimeObject*& slot = mRows[static_cast<size_t>(index)].tag;
  RuntimeObject* old = slot;
  RuntimeLockObject(tag);
  slot = tag;
  RuntimeUnlockObject(old);
}

int32_t PopupMenu::FindRowTag(RuntimeObject* tag) {
  for (size_t i = 0; i < mRows.size(); ++i)
    if (mRows[i].tag == tag) return static_cast<int32_t>(i);
  return -1;
}

// --- text -----------------------------------------------------------------------------------

string PopupMenu::GetEntryText() {
  const char* text = gtk_entry_get_text(GTK_ENTRY(Entry()));
  return string(text ? text : "", static_cast<int32_t>(text ? strlen(text) : 0), kEncodingUTF8);
}

void PopupMenu::SetEntryText(const string& text) {
  string utf8 = text.ToUTF8();
  gtk_entry_set_text(GTK_ENTRY(Entry()), utf8.CString());
}

string PopupMenu::GetText() { return mEditable ? GetEntryText() : GetRowText(GetListIndex()); }

void PopupMenu::SetText(const string& text) {
  if (mEditable) SetEntryText(text);
}

int32_t PopupMenu::GetSelStart() {
  gint start = 0, end = 0;
  if (gtk_editable_get_selection_bounds(GTK_EDITABLE(Entry()), &start, &end)) return start;
  return gtk_editable_get_position(GTK_EDITABLE(Entry()));
}

int32_t PopupMenu::GetSelLength() {
  gint start = 0, end = 0;
  if (gtk_editable_get_selection_bounds(GTK_EDITABLE(Entry()), &start, &end)) return end - start;
  return 0;
}

void PopupMenu::SetSelStart(int32_t start) { gtk_editable_set_position(GTK_EDITABLE(Entry()), start); }

void PopupMenu::SetSelLength(int32_t length) {
  int32_t start = GetSelStart();
  gtk_editable_select_region(GTK_EDITABLE(Entry()), start, AddPinned(start, length));
}

void PopupMenu::ApplyTextStyle() {
  mCustomFont = IsCustomComboFont(mStyle);
  SetTextFont(mStyle.mFontName);
  SetTextSize(mStyle.mSize);
  Pane::SetTextStyle(mStyle.GetStyleBits());
  ApplyItemFonts();
  SetWidgetFont(Entry(), mStyle);
}

}  // namespace vorn
