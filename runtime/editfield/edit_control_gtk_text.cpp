// The GTK edit pane's text, selection, clipboard, lines, scrolling and files. Offsets are
// characters in both widgets; text crosses as UTF-8.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "editfield/edit_change_batch.h"
#include "editfield/edit_control_gtk.h"
#include "editfield/edit_text_model.h"
#include "files/folder_item_imp.h"
#include "files/random_access_mechanism.h"
#include "strings/pinned_int.h"
#include "strings/runtime_error.h"
#include "windows/gtk_helper.h"

namespace vorn {

namespace {

constexpr const char* kEditSource = "../Common/Linux/EditControlGTK";

string FromWidget(const char* utf8, EncodingCode encoding) {
  string text(utf8 ? utf8 : "", static_cast<int32_t>(utf8 ? strlen(utf8) : 0), kEncodingUTF8);
  return encoding == kEncodingUTF8 ? text : ConvertTextEncoding(text, encoding);
}

GtkTextIter IterAt(GtkTextBuffer* buffer, int32_t offset) {
  GtkTextIter iter;
  gtk_text_buffer_get_iter_at_offset(buffer, &iter, offset);
  return iter;
}

}  // namespace

// --- text ------------------------------------------------------------------------------------

string EditControlGTK::GetText(EncodingCode encoding) {
  if (mMultiLine) {
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(mTextBuffer, &start, &end);
    gchar* text = gtk_text_buffer_get_text(mTextBuffer, &start, &end, FALSE);
    string result = FromWidget(text, encoding);
    g_free(text);
    return result;
  }
  return FromWidget(gtk_entry_get_text(GTK_ENTRY(mWidget)), encoding);
}

void EditControlGTK::SetText(const string& text) {
  string utf8 = text.ToUTF8();
  EditChangeBatch batch(this);
  mRunsDirty = true;
  if (mMultiLine) {
    gtk_text_buffer_set_text(mTextBuffer, utf8.CString(), utf8.Length());
  } else {
    // The entry takes a NUL-terminated text: a NUL inside ends it there.
    gtk_entry_set_text(GTK_ENTRY(mWidget), utf8.CString());
  }
}

// --- selection -------------------------------------------------------------------------------

bool EditControlGTK::HasSelection() {
  if (mMultiLine) return gtk_text_buffer_get_selection_bounds(mTextBuffer, nullptr, nullptr);
  return gtk_editable_get_selection_bounds(GTK_EDITABLE(mWidget), nullptr, nullptr);
}

int32_t EditControlGTK::GetSelStart() {
  if (mMultiLine) {
    GtkTextIter start, end;
    gtk_text_buffer_get_selection_bounds(mTextBuffer, &start, &end);
    return gtk_text_iter_get_offset(&start);
  }
  gint start = 0, end = 0;
  if (gtk_editable_get_selection_bounds(GTK_EDITABLE(mWidget), &start, &end)) return start;
  return gtk_editable_get_position(GTK_EDITABLE(mWidget));
}

int32_t EditControlGTK::GetSelEnd() {
  if (mMultiLine) {
    GtkTextIter start, end;
    gtk_text_buffer_get_selection_bounds(mTextBuffer, &start, &end);
    return gtk_text_iter_get_offset(&end);
  }
  gint start = 0, end = 0;
  if (gtk_editable_get_selection_bounds(GTK_EDITABLE(mWidget), &start, &end)) return end;
  return gtk_editable_get_position(GTK_EDITABLE(mWidget));
}

int32_t EditControlGTK::GetSelLength() { return GetSelEnd() - GetSelStart(); }

void EditControlGTK::SetSelection(int32_t start, int32_t end) {
  // Both widgets read a negative offset as the end of the text.
  EditSelection s = ClampSelection(start, end, GetTextLength());
  if (mMultiLine) {
    GtkTextIter at = IterAt(mTextBuffer, s.start);
    gtk_text_buffer_place_cursor(mTextBuffer, &at);
    GtkTextIter bound = IterAt(mTextBuffer, s.end);
    gtk_text_buffer_move_mark_by_name(mTextBuffer, "selection_bound", &bound);
  } else {
    gtk_editable_select_region(GTK_EDITABLE(mWidget), s.start, s.end);
  }
}

void EditControlGTK::SetSelStart(int32_t offset) {
  EditSelection s = ClampSelection(offset, offset, GetTextLength());
  if (mMultiLine) {
    GtkTextIter at = IterAt(mTextBuffer, s.start);
    gtk_text_buffer_place_cursor(mTextBuffer, &at);
  } else {
    gtk_editable_set_position(GTK_EDITABLE(mWidget), s.start);
  }
}

void EditControlGTK::SetSelLength(int32_t count) {
  // A count past the end (2147483647 from the start) selects to the end.
  int32_t start = GetSelStart();
  SetSelection(start, AddPinned(start, count));
}

string EditControlGTK::GetSelText(EncodingCode encoding) {
  if (mMultiLine) {
    GtkTextIter start, end;
    gtk_text_buffer_get_selection_bounds(mTextBuffer, &start, &end);
    gchar* text = gtk_text_buffer_get_text(mTextBuffer, &start, &end, FALSE);
    string result = FromWidget(text, encoding);
    g_free(text);
    return result;
  }
  gint start = 0, end = 0;
  if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(mWidget), &start, &end)) return FromWidget("", encoding);
  gchar* text = gtk_editable_get_chars(GTK_EDITABLE(mWidget), start, end);
  string result = FromWidget(text, encoding);
  g_free(text);
  return result;
}

void EditControlGTK::SetSelText(const string& text) {
  string utf8 = text.ToUTF8();
  EditChangeBatch batch(this);
  mRunsDirty = true;
  Clear();
  if (mMultiLine) {
    gtk_text_buffer_insert_at_cursor(mTextBuffer, utf8.CString(), utf8.Length());
    ScrollToSelectionStart();
  } else {
    GtkEditable* editable = GTK_EDITABLE(mWidget);
    gint position = gtk_editable_get_position(editable);
    gtk_editable_insert_text(editable, utf8.CString(), utf8.Length(), &position);
  }
}

// --- clipboard -------------------------------------------------------------------------------

namespace {

// Whether the clipboard offers text, as last heard. Asking and waiting would run a nested main
// loop inside key and menu handling, where it lets later key presses overtake the one being
// handled; the answer is kept up to date as the clipboard changes hands instead.
bool sClipboardHasText = false;
bool sWatchingClipboard = false;

void OnClipboardTargets(GtkClipboard*, GdkAtom* atoms, gint count, gpointer) {
  sClipboardHasText = atoms && gtk_targets_include_text(atoms, count);
}

void AskClipboardTargets(GtkClipboard* clipboard) {
  if (clipboard) gtk_clipboard_request_targets(clipboard, OnClipboardTargets, nullptr);
}

void OnClipboardOwnerChange(GtkClipboard* clipboard, GdkEvent*, gpointer) { AskClipboardTargets(clipboard); }

void WatchClipboard() {
  if (sWatchingClipboard) return;
  GtkClipboard* clipboard = GetClipboard();
  if (!clipboard) return;
  sWatchingClipboard = true;
  g_signal_connect(clipboard, "owner-change", G_CALLBACK(OnClipboardOwnerChange), nullptr);
  AskClipboardTargets(clipboard);
}

}  // namespace


void EditControlGTK::Cut() {
  mRunsDirty = true;
  if (mMultiLine) {
    gtk_text_buffer_cut_clipboard(mTextBuffer, GetClipboard(), TRUE);
  } else {
    gtk_editable_cut_clipboard(GTK_EDITABLE(mWidget));
  }
  WatchClipboard();
  AskClipboardTargets(GetClipboard());
}

void EditControlGTK::Copy() {
  if (mMultiLine) {
    gtk_text_buffer_copy_clipboard(mTextBuffer, GetClipboard());
  } else {
    gtk_editable_copy_clipboard(GTK_EDITABLE(mWidget));
  }
  WatchClipboard();
  AskClipboardTargets(GetClipboard());
}

void EditControlGTK::Paste() {
  mRunsDirty = true;
  // Through the widget's own signal, so that a paste from the menu and one from the keyboard
  // take the same way.
  g_signal_emit_by_name(TargetWidget(), "paste-clipboard");
}

namespace {

// A paste waiting for the clipboard's text; the guard notices a pane that went meanwhile.
struct PendingPaste {
  explicit PendingPaste(SubPane* pane) : guard(pane) {}
  PaneGuard guard;
};

void OnPasteText(GtkClipboard*, const gchar* text, gpointer data) {
  std::unique_ptr<PendingPaste> pending(static_cast<PendingPaste*>(data));
  auto* pane = static_cast<EditControlGTK*>(pending->guard.Get());
  if (!pane || !text || !*text || pane->IsReadOnly()) return;
  pane->InsertOwnText(string(text, static_cast<int32_t>(std::strlen(text)), kEncodingUTF8));
}

}  // namespace

bool EditControlGTK::InterceptPaste() {
  if (!mEditDelegate) return false;
  gtk_clipboard_request_text(GetClipboard(), OnPasteText, new PendingPaste(this));
  return true;
}

void EditControlGTK::InsertOwnText(const string& text) {
  mRunsDirty = true;
  int32_t start = GetSelStart();
  int32_t length = GetSelLength();
  if (mEditDelegate) {
    PaneGuard guard(this);
    if (mEditDelegate->ValidateKey(this, start, length, start, text, false, 0) || !guard.Get()) return;
  }
  string utf8 = text.ToUTF8();
  EditChangeBatch batch(this);
  Clear();
  if (mMultiLine) {
    gtk_text_buffer_insert_at_cursor(mTextBuffer, utf8.CString(), utf8.Length());
    ScrollToSelectionStart();
  } else {
    GtkEditable* editable = GTK_EDITABLE(mWidget);
    gint position = gtk_editable_get_position(editable);
    gtk_editable_insert_text(editable, utf8.CString(), utf8.Length(), &position);
    gtk_editable_set_position(editable, position);
  }
}

bool EditControlGTK::ClipboardHasText() {
  WatchClipboard();
  return sClipboardHasText;
}

void EditControlGTK::Clear() {
  mRunsDirty = true;
  if (mMultiLine) {
    gtk_text_buffer_delete_selection(mTextBuffer, FALSE, TRUE);
  } else {
    gtk_editable_delete_selection(GTK_EDITABLE(mWidget));
  }
}

void EditControlGTK::SetLimitText(int32_t count) {
  // A multi-line field has no native limit; AppendText keeps to it.
  if (!mMultiLine) gtk_entry_set_max_length(GTK_ENTRY(mWidget), count > 0 ? count : 0);
}

// --- lines and positions ---------------------------------------------------------------------

void EditControlGTK::EnsureRealized() {
  if (mWidget && !GTK_WIDGET_REALIZED(mWidget)) gtk_widget_realize(mWidget);
  if (mTextView && !GTK_WIDGET_REALIZED(GTK_WIDGET(mTextView))) gtk_widget_realize(GTK_WIDGET(mTextView));
}

int32_t EditControlGTK::LineHeightAt(int32_t offset, int32_t line, const char* condition) {
  EnsureRealized();
  GtkTextIter iter = IterAt(mTextBuffer, offset);
  GdkRectangle location;
  gtk_text_view_get_iter_location(mTextView, &iter, &location);
  if (location.height <= 0) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kEditSource, line, condition, "");
  }
  return location.height;
}

void EditControlGTK::ScrollToSelectionStart() {
  GtkTextIter start, end;
  gtk_text_buffer_get_selection_bounds(mTextBuffer, &start, &end);
  GtkTextMark* mark = gtk_text_buffer_create_mark(mTextBuffer, nullptr, &start, TRUE);
  gtk_text_view_scroll_to_mark(mTextView, mark, 0.0, FALSE, 0.0, 0.0);
  gtk_text_buffer_delete_mark(mTextBuffer, mark);
}

int32_t EditControlGTK::LineNumAtCharPos(int32_t offset) {
  if (!mMultiLine) return 0;
  GtkTextIter iter = IterAt(mTextBuffer, std::max(offset, 0));
  if (!mWordWrap) return gtk_text_iter_get_line(&iter);
  EnsureRealized();
  GdkRectangle location;
  gtk_text_view_get_iter_location(mTextView, &iter, &location);
  if (location.height <= 0) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kEditSource, 1172, "iterLocation.height > 0", "");
  }
  return DisplayLineAt(location.y, location.height);
}

int32_t EditControlGTK::CharPosAtLineNum(int32_t line) {
  if (!mMultiLine) return 1;
  if (!mWordWrap) {
    if (line < 0) line = 0;
    if (line + 1 > gtk_text_buffer_get_line_count(mTextBuffer)) return gtk_text_buffer_get_char_count(mTextBuffer) + 1;
    GtkTextIter iter;
    gtk_text_buffer_get_iter_at_line(mTextBuffer, &iter, line);
    return gtk_text_iter_get_offset(&iter) + 1;
  }
  int32_t height = LineHeightAt(0, 1172, "iterLocation.height > 0");
  GtkTextIter iter;
  gtk_text_view_get_iter_at_location(mTextView, &iter, 0, std::max(line, 0) * std::max(height, 0));
  return gtk_text_iter_get_offset(&iter) + 1;
}

int32_t EditControlGTK::CharPosAtXY(int32_t x, int32_t y) {
  if (!mMultiLine) return 1;
  EnsureRealized();
  GdkRectangle visible;
  gtk_text_view_get_visible_rect(mTextView, &visible);
  GtkTextIter iter;
  gtk_text_view_get_iter_at_location(mTextView, &iter, x + visible.x, y + visible.y);
  return gtk_text_iter_get_offset(&iter);
}

int32_t EditControlGTK::InsertionPosAtXY(int32_t x, int32_t y) { return mMultiLine ? CharPosAtXY(x, y) : 1; }

int32_t EditControlGTK::GetScrollPosition() {
  if (!mMultiLine) return 0;
  EnsureRealized();
  GdkRectangle visible;
  gtk_text_view_get_visible_rect(mTextView, &visible);
  GtkTextIter iter;
  if (!mWordWrap) {
    gtk_text_view_get_line_at_y(mTextView, &iter, visible.y, nullptr);
    return gtk_text_iter_get_line(&iter);
  }
  gtk_text_view_get_iter_at_location(mTextView, &iter, 0, visible.y);
  GdkRectangle location;
  gtk_text_view_get_iter_location(mTextView, &iter, &location);
  if (location.height <= 0) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kEditSource, 541, "iterLocation.height > 0", "");
  }
  return DisplayLineAt(visible.y, location.height);
}

void EditControlGTK::SetScrollPosition(int32_t line) {
  if (!mMultiLine) return;
  GtkTextIter iter;
  gtk_text_buffer_get_start_iter(mTextBuffer, &iter);
  if (!mWordWrap) {
    gtk_text_iter_set_line(&iter, std::max(line, 0));
  } else {
    int32_t height = LineHeightAt(0, 541, "iterLocation.height > 0");
    gtk_text_view_get_iter_at_location(mTextView, &iter, 0, std::max(line, 0) * std::max(height, 0));
  }
  GtkTextMark* mark = gtk_text_buffer_create_mark(mTextBuffer, nullptr, &iter, TRUE);
  gtk_text_view_scroll_to_mark(mTextView, mark, 0.0, FALSE, 0.0, 0.0);
  gtk_text_buffer_delete_mark(mTextBuffer, mark);
}

int32_t EditControlGTK::GetScrollPositionX() {
  if (!mMultiLine) return 0;
  GtkAdjustment* h = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(mWidget));
  return h ? static_cast<int32_t>(gtk_adjustment_get_value(h)) : 0;
}

void EditControlGTK::SetScrollPositionX(int32_t pixels) {
  if (!mMultiLine) return;
  if (GtkAdjustment* h = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(mWidget))) {
    gtk_adjustment_set_value(h, pixels);
  }
}

bool EditControlGTK::IsEndVisible() {
  if (!mMultiLine) return false;
  EnsureRealized();
  GdkRectangle visible, location;
  gtk_text_view_get_visible_rect(mTextView, &visible);
  GtkTextIter end;
  gtk_text_buffer_get_end_iter(mTextBuffer, &end);
  gtk_text_view_get_iter_location(mTextView, &end, &location);
  return location.y + location.height <= visible.y + visible.height;
}

// --- files -----------------------------------------------------------------------------------

}  // namespace vorn
