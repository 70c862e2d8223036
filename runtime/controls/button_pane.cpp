#include "controls/button_pane.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "strings/mnemonics.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"

namespace vorn {

bool ButtonDelegate::MouseDown(ButtonPane*, int32_t, int32_t) { return false; }
bool ButtonDelegate::MouseUp(ButtonPane*, int32_t, int32_t) { return false; }
void ButtonDelegate::GotFocus(ButtonPane*) {}
void ButtonDelegate::LostFocus(ButtonPane*) {}

namespace {

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  DeliverMouseUp(static_cast<ButtonPane*>(data), *event);
  return FALSE;
}

}  // namespace

ButtonPane::ButtonPane(ButtonDelegate* delegate, SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
    : ContainerPane(parent, tabPanelIndex, bounds), mDelegate(delegate) {
  EnsurePanePorts();
}

void ButtonPane::InstallWidget(NativeWidget widget, const vorn::TextStyle& style, const string& caption) {
  SetWidget(widget);
  AddPaneToWindow(this, IsDisplayed());
  SetTextStyle(style);
  SetCaption(caption);
  ConnectButtonPressHandler(this);
  gtk_widget_add_events(widget, GDK_BUTTON_RELEASE_MASK);
  g_signal_connect(widget, "button-release-event", G_CALLBACK(OnButtonRelease), this);
  ConnectGrabFocusHandler(this);
}

NativeWidget ButtonPane::LabelWidget() const {
  if (!mWidget || !GTK_IS_BIN(mWidget)) return nullptr;
  GtkWidget* child = gtk_bin_get_child(GTK_BIN(mWidget));
  return child && GTK_IS_LABEL(child) ? child : nullptr;
}

void ButtonPane::SetCaption(const string& caption) {
  SetLabelCaption(LabelWidget(), caption, &mStyle);
  mCaption = caption;
}

void ButtonPane::SetTextStyle(const vorn::TextStyle& style) {
  bool wasUnderlined = mStyle.mUnderline != 0;
  mStyle.Assign(style);
  if (NativeWidget label = LabelWidget()) {
    SetWidgetFont(label, mStyle);
    // The underline lives in the label's pattern: only a fresh caption takes it away.
    if (wasUnderlined != (mStyle.mUnderline != 0)) SetLabelCaption(label, mCaption, &mStyle);
  }
}

bool ButtonPane::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!mEnabled || !mDelegate) return false;
  if (!mDelegate->MouseDown(this, x - mBounds.left, y - mBounds.top)) return false;
  SetMouseCapturePane(this);
  return true;
}

void ButtonPane::MouseUp(int32_t x, int32_t y) {
  if (mDelegate) mDelegate->MouseUp(this, x - mBounds.left, y - mBounds.top);
}

void ButtonPane::GotFocus() {
  if (mDelegate && !mClosing) mDelegate->GotFocus(this);
}

void ButtonPane::LostFocus() {
  if (mDelegate && !mClosing) mDelegate->LostFocus(this);
}

_GdkDrawable* ButtonPane::PrepareNativePaint(Graphics* port, Rect* device) {
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  if (!gtkPort || !mWidget) return nullptr;
  if (!GTK_WIDGET_REALIZED(mWidget)) {
    GtkWidget* top = gtk_widget_get_toplevel(mWidget);
    if (top && GTK_WIDGET_TOPLEVEL(top)) gtk_widget_realize(mWidget);
  }
  gtk_widget_ensure_style(mWidget);
  *device = gtkPort->ToDeviceRect(mBounds);
  return PortDrawable(port);
}

void ButtonPane::DrawIndicatorInto(Graphics* port, bool option, bool on) {
  // The indicator's width and the caption's distance from the left edge.
  constexpr int32_t kIndicatorWidth = 18;
  constexpr int32_t kCaptionLeft = 20;
  Rect device;
  if (_GdkDrawable* drawable = PrepareNativePaint(port, &device)) {
    auto paint = option ? &gtk_paint_option : &gtk_paint_check;
    paint(gtk_widget_get_style(mWidget), reinterpret_cast<GdkWindow*>(drawable),
          mEnabled ? GTK_STATE_NORMAL : GTK_STATE_INSENSITIVE, on ? GTK_SHADOW_IN : GTK_SHADOW_OUT, nullptr, mWidget,
          "checkbox", device.left, device.top, kIndicatorWidth, device.Height());
  }
  DrawCaptionAndChildren(port, kCaptionLeft);
}

void ButtonPane::DrawCaptionAndChildren(Graphics* port, int32_t textLeft) {
  if (!port) return;
  string text = StripAmpersandsCopy(mCaption);
  if (!text.IsEmpty()) {
    port->SetTextFontFrom(mStyle);
    int32_t width = port->StringWidth(text);
    int32_t x = textLeft >= 0 ? mBounds.left + textLeft : mBounds.left + std::max(0, (Width() - width) / 2);
    int32_t y = mBounds.top + (Height() - port->TextHeight()) / 2 + port->FontAscent();
    RGB48 saved = port->ForeColor();
    port->SetForeColor(mEnabled ? kBlack48 : RGB48{0x8000, 0x8000, 0x8000});
    {
      ClipSaver clip(port);
      port->SetClipRect(mBounds);
      port->DrawText(text, x, y, 0);
    }
    port->SetForeColor(saved);
  }
  SubPane::DrawInto(port);
}

}  // namespace vorn
