#include "controls/group_box_pane.h"

#include <gtk/gtk.h>

#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "strings/mnemonics.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"

namespace vorn {

GroupBox::GroupBox(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, const string& caption,
                   const vorn::TextStyle& style)
    : ContainerPane(parent, tabPanelIndex, bounds) {
  EnsurePanePorts();
  GtkWidget* frame = gtk_frame_new("");
  SetWidget(frame);
  AddPaneToWindow(this, true);
  SetTextStyle(style);
  SetCaption(caption);
}

void GroupBox::SetOwner(RuntimeObject* owner, const ControlMouseHooks* hooks) {
  mOwner = owner;
  mHooks = hooks;
}

NativeWidget GroupBox::LabelWidget() const {
  return mWidget ? gtk_frame_get_label_widget(GTK_FRAME(mWidget)) : nullptr;
}

string GroupBox::GetCaption() {
  const char* text = mWidget ? gtk_frame_get_label(GTK_FRAME(mWidget)) : nullptr;
  // GTK's text is UTF-8 and is tagged so.
  return text ? string(std::string_view(text), kEncodingUTF8) : string();
}

void GroupBox::SetCaption(const string& caption) {
  mCaption = caption;
  SetLabelCaption(LabelWidget(), caption, &mStyle);
}

void GroupBox::SetTextStyle(const vorn::TextStyle& style) {
  bool wasUnderlined = mStyle.mUnderline != 0;
  mStyle.Assign(style);
  SetWidgetFont(LabelWidget(), mStyle);
  if (wasUnderlined && !mStyle.mUnderline) SetLabelCaption(LabelWidget(), mCaption, &mStyle);
}

bool GroupBox::MouseDown(int32_t x, int32_t y, int32_t) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->mouseDown) : nullptr;
  if (!handler) return false;
  Lock();
  uint8_t take = CallEventHandler<uint8_t>(handler, mOwner, x - mBounds.left, y - mBounds.top);
  if (Release()) return true;
  if (!take) return false;
  SetMouseCapturePane(this);
  return true;
}

// A right click is offered to the MouseDown handler as a left one is: taken, it is the box's,
// and no control beneath hears it.
bool GroupBox::ContextualClick(int32_t x, int32_t y, int32_t modifiers) {
  if (ContainerPane::ContextualClick(x, y, modifiers)) return true;
  return PointInRect(x, y, AdjustedBounds()) && MouseDown(x, y, modifiers);
}

void GroupBox::MouseDrag(int32_t x, int32_t y) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->mouseDrag) : nullptr;
  if (!handler) return;
  Lock();
  CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
  Release();
}

void GroupBox::MouseUp(int32_t x, int32_t y) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->mouseUp) : nullptr;
  if (!handler) return;
  Lock();
  CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
  Release();
}

void GroupBox::DrawInto(Graphics* port) {
  if (!port) return;
  if (mWidget && !GTK_WIDGET_REALIZED(mWidget)) {
    GtkWidget* top = gtk_widget_get_toplevel(mWidget);
    if (top && GTK_WIDGET_TOPLEVEL(top)) gtk_widget_realize(mWidget);
  }
  port->SetTextFontFrom(mStyle);
  string caption = StripAmpersandsCopy(mCaption);
  int32_t captionWidth = caption.IsEmpty() ? 0 : port->StringWidth(caption);
  int32_t lineHeight = port->TextHeight();
  int32_t ascent = port->FontAscent();
  int32_t halfLine = lineHeight / 2;

  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  GdkDrawable* drawable = gtkPort ? gtkPort->GetGdkDrawable() : nullptr;
  if (drawable && mWidget && GTK_WIDGET_REALIZED(mWidget)) {
    Rect frame = gtkPort->ToDeviceRect(MakeRect(mBounds.left, mBounds.top + halfLine, mBounds.right,
                                                mBounds.bottom));
    gtk_paint_box_gap(gtk_widget_get_style(mWidget), reinterpret_cast<GdkWindow*>(drawable),
                      GTK_STATE_NORMAL, GTK_SHADOW_ETCHED_IN, nullptr, mWidget, "frame", frame.left,
                      frame.top, frame.Width(), frame.Height(), GTK_POS_TOP, 4, captionWidth + 2);
  }
  if (!caption.IsEmpty()) {
    RGB48 saved = port->ForeColor();
    {
      ClipSaver clip(port);
      port->SetClipRect(mBounds);
      port->DrawText(caption, mBounds.left + 5, mBounds.top + ascent, 0);
    }
    port->SetForeColor(saved);
  }
  SubPane::DrawInto(port);
}

}  // namespace vorn
