// The GTK edit pane: making the widgets, the signals it listens to, focus, mouse, keys and the
// Edit menu.
#include "editfield/edit_control_gtk.h"

#include <gtk/gtk.h>

#include "editfield/edit_change_batch.h"
#include "editfield/edit_text_model.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/menu.h"
#include "windows/menu_routing.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn {

namespace {

constexpr int32_t kCharTab = 9;
constexpr int32_t kCharReturn = 13;

void OnChanged(gpointer, gpointer data) {
  auto* pane = static_cast<EditControlGTK*>(data);
  EditChangeBatch::Report(pane);
}

gboolean OnKeyRelease(GtkWidget*, GdkEventKey*, gpointer data) {
  static_cast<EditControlGTK*>(data)->CheckSelectionChanged();
  return FALSE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* pane = static_cast<EditControlGTK*>(data);
  pane->CheckSelectionChanged();
  DeliverMouseUp(pane, *event);
  return FALSE;
}

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  return RoutePanePress(static_cast<SubPane*>(data), *event);
}

void OnPasteClipboard(GtkWidget* widget, gpointer data) {
  if (static_cast<EditControlGTK*>(data)->InterceptPaste()) g_signal_stop_emission_by_name(widget, "paste-clipboard");
}

void OnGrabFocus(GtkWidget* widget, gpointer data) {
  if (GTK_WIDGET_CAN_FOCUS(widget)) SetFocusPane(static_cast<SubPane*>(data));
}

}  // namespace

EditControlGTK::EditControlGTK(EditControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                               const Rect& bounds, bool border, const vorn::TextStyle& style, bool multiLine,
                               bool styled, bool verticalScrollBar, bool horizontalScrollBar)
    : EditControl(parent, tabPanelIndex, bounds) {
  mTextStyle = style;
  mHasHorizontalScrollBar = horizontalScrollBar;
  mHasVerticalScrollBar = verticalScrollBar;
  mHasBorder = border;
  mStyled = styled;
  mEditDelegate = delegate;
  mMultiLine = multiLine;

  if (multiLine) {
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    SetWidget(scrolled);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled),
                                   horizontalScrollBar ? GTK_POLICY_AUTOMATIC : GTK_POLICY_NEVER,
                                   verticalScrollBar ? GTK_POLICY_AUTOMATIC : GTK_POLICY_NEVER);
    GtkWidget* view = gtk_text_view_new();
    mTextView = GTK_TEXT_VIEW(view);
    gtk_widget_show(view);
    mTextBuffer = gtk_text_view_get_buffer(mTextView);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    gtk_text_view_set_left_margin(mTextView, 2);
    gtk_text_view_set_right_margin(mTextView, 2);
    if (!horizontalScrollBar) {
      mWordWrap = true;
      bool newer = gtk_major_version > 2 || (gtk_major_version == 2 && gtk_minor_version > 3);
      gtk_text_view_set_wrap_mode(mTextView, newer ? GTK_WRAP_WORD_CHAR : GTK_WRAP_WORD);
    }
    if (border) gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_ETCHED_IN);
  } else {
    GtkWidget* entry = gtk_entry_new();
    SetWidget(entry);
    gtk_entry_set_has_frame(GTK_ENTRY(entry), border);
  }
  AddPaneToWindow(this, true);
  ConnectSignals();
}

EditControlGTK::~EditControlGTK() = default;

NativeWidget EditControlGTK::TargetWidget() const {
  return mMultiLine ? GTK_WIDGET(mTextView) : mWidget;
}

void EditControlGTK::ConnectSignals() {
  NativeWidget target = TargetWidget();
  if (!target) return;
  SetWidgetFont(target, mTextStyle);
  if (mMultiLine) {
    g_signal_connect(mTextBuffer, "changed", G_CALLBACK(OnChanged), this);
  } else {
    g_signal_connect(target, "changed", G_CALLBACK(OnChanged), this);
  }
  gtk_widget_add_events(target, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_KEY_RELEASE_MASK);
  g_signal_connect(target, "grab-focus", G_CALLBACK(OnGrabFocus), this);
  g_signal_connect(target, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(target, "button-release-event", G_CALLBACK(OnButtonRelease), this);
  g_signal_connect(target, "key-release-event", G_CALLBACK(OnKeyRelease), this);
  g_signal_connect(target, "paste-clipboard", G_CALLBACK(OnPasteClipboard), this);
}

void EditControlGTK::CheckSelectionChanged() {
  if (!mEditDelegate) return;
  int32_t start = GetSelStart();
  int32_t length = GetSelLength();
  if (start == mLastSelStart && length == mLastSelLength) return;
  // Stored first: a handler that moves the selection again is reported on its own.
  mLastSelStart = start;
  mLastSelLength = length;
  mEditDelegate->EnableMenuItems(this);
  mEditDelegate->SelChanged(this);
}

// --- focus and mouse -------------------------------------------------------------------------

void EditControlGTK::GotFocus() {
  if (mMultiLine && mTextView) gtk_widget_grab_focus(GTK_WIDGET(mTextView));
  if (mEditDelegate && !mClosing) mEditDelegate->GotFocus(this);
  if (mClosing) return;
  mLastSelStart = GetSelStart();
  mLastSelLength = GetSelLength();
}

void EditControlGTK::LostFocus() {
  if (mEditDelegate && !mClosing) mEditDelegate->LostFocus(this);
}

bool EditControlGTK::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!mEditDelegate) return false;
  if (!mEditDelegate->MouseDown(this, x - mBounds.left, y - mBounds.top)) return false;
  SetMouseCapturePane(this);
  return true;
}

void EditControlGTK::MouseUp(int32_t x, int32_t y) {
  if (mEditDelegate) mEditDelegate->MouseUp(this, x - mBounds.left, y - mBounds.top);
}

// --- menus -----------------------------------------------------------------------------------

void EditControlGTK::EnableMenuItems() {
  if (mEditDelegate) mEditDelegate->EnableMenuItems(this);
  SubPane::EnableMenuItems();
}

bool EditControlGTK::DoEditMenuCommand(const string& itemName) {
  return mEditDelegate && mEditDelegate->DoMenuCommand(this, itemName);
}

// The menu layer hands panes the item's Index; the Edit menu items are known by their names.
bool EditControlGTK::DoMenuCommand(int32_t command) {
  Menu* menu = MenuOf(MenuItemOfferedToFocus());
  if (menu && DoEditMenuCommand(menu->Name())) return true;
  return SubPane::DoMenuCommand(command);
}

// --- keys ------------------------------------------------------------------------------------

bool EditControlGTK::KeyDown(int32_t character, int32_t, int32_t modifiers) {
  mRunsDirty = true;
  Window* window = GetWindow();
  auto windowClosing = [window] { return window && window->IsClosing(); };
  if (mEditDelegate) {
    PaneGuard guard(this);
    if (mEditDelegate->KeyDownCharacter(this, character, modifiers, 0)) return true;
    if (!guard.Get() || windowClosing() || mClosing) return true;
    CheckSelectionChanged();
    if (!guard.Get()) return true;
  }
  if (windowClosing()) return true;

  // Text the field inserts itself; a read-only field takes none, and leaves the key to its
  // window (default button, focus navigation).
  if ((character == kCharTab && mAcceptTabs) || (character == kCharReturn && mMultiLine)) {
    if (IsReadOnly()) return false;
    InsertOwnText(string(character == kCharTab ? "\t" : "\n", kEncodingUTF8));
    return true;
  }
  if (!mEditDelegate) return false;

  KeyEdit edit = KeyEditFor(character, GetSelStart(), GetSelLength());
  if (edit.passOn) return false;
  return mEditDelegate->ValidateKey(this, edit.start, edit.length, edit.start, edit.text, false, character);
}

// --- factories -------------------------------------------------------------------------------

EditControlGTK* NewEditControl(EditControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                               const Rect& bounds, bool border, const vorn::TextStyle& style) {
  return new EditControlGTK(delegate, parent, tabPanelIndex, bounds, border, style, false, false, false, false);
}

EditControlGTK* NewStyledEditControl(EditControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                     const Rect& bounds, bool border, const vorn::TextStyle& style) {
  return new EditControlGTK(delegate, parent, tabPanelIndex, bounds, border, style, false, true, false, false);
}

EditControlGTK* NewMultilineEditControl(EditControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                        const Rect& bounds, bool border, const vorn::TextStyle& style,
                                        bool verticalScrollBar, bool horizontalScrollBar) {
  return new EditControlGTK(delegate, parent, tabPanelIndex, bounds, border, style, true, false,
                            verticalScrollBar, horizontalScrollBar);
}

EditControlGTK* NewStyledMultilineEditControl(EditControlDelegate* delegate, SubPane* parent,
                                              int32_t tabPanelIndex, const Rect& bounds, bool border,
                                              const vorn::TextStyle& style, bool verticalScrollBar,
                                              bool horizontalScrollBar) {
  return new EditControlGTK(delegate, parent, tabPanelIndex, bounds, border, style, true, true,
                            verticalScrollBar, horizontalScrollBar);
}

}  // namespace vorn
