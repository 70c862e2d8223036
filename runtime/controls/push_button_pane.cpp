#include "controls/push_button_pane.h"

#include <gtk/gtk.h>

#include "windows/pane_focus.h"

namespace vorn {

void PushButtonDelegate::Action(ButtonPane*) {}

namespace {

void OnActivate(GtkButton*, gpointer data) { static_cast<PushButtonGTK*>(data)->HandleActivate(); }

}  // namespace

PushButtonGTK::PushButtonGTK(PushButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                             int32_t tabPanelIndex, const Rect& bounds, const string& caption)
    : PushButton(delegate, parent, tabPanelIndex, bounds) {
  GtkWidget* button = gtk_button_new_with_label("");
  InstallWidget(button, style, caption);
  g_signal_connect(button, "activate", G_CALLBACK(OnActivate), this);
}

void PushButtonGTK::SetDefault(bool value) {
  if (mWidget) {
    if (value) {
      GTK_WIDGET_SET_FLAGS(mWidget, GTK_CAN_DEFAULT);
      gtk_widget_grab_default(mWidget);
    } else {
      GTK_WIDGET_UNSET_FLAGS(mWidget, GTK_CAN_DEFAULT);
    }
  }
  mDefault = value;
}

void PushButtonGTK::SetCancel(bool value) { mCancel = value; }

void PushButtonGTK::Push() {
  if (PushButtonDelegate* delegate = ActionDelegate()) delegate->Action(this);
}

void PushButtonGTK::HandleActivate() {
  if (!mClosing) Push();
}

SubPane* PushButtonGTK::FindDefaultButton() {
  return mDefault && mEnabled && IsDisplayed() ? this : nullptr;
}

SubPane* PushButtonGTK::FindCancelButton() {
  return mCancel && mEnabled && IsDisplayed() ? this : nullptr;
}

bool PushButtonGTK::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!mEnabled || !mDelegate) return false;
  mTracking = mDelegate->MouseDown(this, x - mBounds.left, y - mBounds.top);
  // The release comes here either way: it decides whether the press was a push.
  SetMouseCapturePane(this);
  return mTracking;
}

void PushButtonGTK::MouseUp(int32_t x, int32_t y) {
  bool tracking = mTracking;
  mTracking = false;
  if (!mDelegate) return;
  if (tracking) {
    mDelegate->MouseUp(this, x - mBounds.left, y - mBounds.top);
  } else if (PointInRect(x, y, mBounds)) {
    Push();
  }
}

void PushButtonGTK::DrawInto(Graphics* port) {
  Rect device;
  if (_GdkDrawable* drawable = PrepareNativePaint(port, &device)) {
    auto state = static_cast<GtkStateType>(GTK_WIDGET_STATE(mWidget));
    gtk_paint_box(gtk_widget_get_style(mWidget), reinterpret_cast<GdkWindow*>(drawable), state, GTK_SHADOW_OUT,
                  nullptr, mWidget, nullptr, device.left, device.top, device.Width(), device.Height());
  }
  DrawCaptionAndChildren(port, -1);
}

PushButtonGTK* NewPushButton(PushButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                          int32_t tabPanelIndex, const Rect& bounds, const string& caption) {
  return new PushButtonGTK(delegate, style, parent, tabPanelIndex, bounds, caption);
}

}  // namespace vorn
