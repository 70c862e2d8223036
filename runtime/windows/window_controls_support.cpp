#include "windows/window_controls_support.h"

#include <gtk/gtk.h>

#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/window.h"

namespace vorn {

// --- push buttons ------------------------------------------------------------------------

namespace {

void OnClicked(GtkButton*, gpointer data) { static_cast<PushButtonPane*>(data)->HandleClicked(); }

}  // namespace

PushButtonPane::PushButtonPane(PushButtonDelegate* delegate, const vorn::TextStyle& style, Window* parent,
                               const Rect& bounds, const string& caption)
    : ContainerPane(parent, 0, bounds), mButtonDelegate(delegate), mCaption(caption) {
  GtkWidget* button = gtk_button_new_with_mnemonic(ConvertMnemonicCaption(caption).CString());
  SetWidget(button);
  SetWidgetFont(button, style);
  GTK_WIDGET_SET_FLAGS(button, GTK_CAN_DEFAULT);
  g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), this);
  ConnectGrabFocusHandler(this);
  AddPaneToWindow(this, true);
}

void PushButtonPane::SetDefault(bool value) {
  mDefault = value;
  if (value && mWidget) gtk_widget_grab_default(mWidget);
}

void PushButtonPane::SetCancel(bool value) { mCancel = value; }

SubPane* PushButtonPane::FindDefaultButton() { return mDefault && IsDisplayed() && IsEnabled() ? this : nullptr; }
SubPane* PushButtonPane::FindCancelButton() { return mCancel && IsDisplayed() && IsEnabled() ? this : nullptr; }

void PushButtonPane::Press() {
  if (mWidget) {
    gtk_button_clicked(GTK_BUTTON(mWidget));
  } else {
    HandleClicked();
  }
}

bool PushButtonPane::CanFocus() { return IsDisplayed() && IsEnabled(); }

// The widget itself takes the press and answers with "clicked".
bool PushButtonPane::MouseDown(int32_t, int32_t, int32_t) { return false; }

void PushButtonPane::HandleClicked() {
  if (mClosing || !mButtonDelegate) return;
  PaneGuard guard(this);
  if (!LockHierarchy()) return;
  mButtonDelegate->Action(this);
  if (guard.Get()) UnlockHierarchy();
}

PushButtonPane* NewPushButton(PushButtonDelegate* delegate, const TextStyle& style, Window* parent, int32_t,
                              const Rect& bounds, const string& caption) {
  return new PushButtonPane(delegate, style, parent, bounds, caption);
}

}  // namespace vorn
