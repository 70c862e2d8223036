// StaticText panes: the settings, the label mapping, mouse events and drawing into a port.
#include "controls/static_text_pane.h"

#include <gtk/gtk.h>

#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "graphics/graphics_state.h"
#include "strings/mnemonics.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"

namespace vorn {

uint16_t DisabledComponent(uint16_t component) {
  return static_cast<uint16_t>((uint32_t{component} + 0x18000u) / 4u);
}

// --- StaticText ----------------------------------------------------------------------------

StaticText::StaticText(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
    : SubPane(parent, tabPanelIndex, bounds) {
  EnsurePanePorts();
}

StaticText::~StaticText() { UnbindDataSource(); }

void StaticText::SetOwner(RuntimeObject* owner, const StaticTextHooks* hooks) {
  mOwner = owner;
  mHooks = hooks;
}

void StaticText::FireAcceleratorKey() {
  if (mOwner && mEnabled && mHooks) FireEvent(mOwner, mHooks->acceleratorKey);
}

void StaticText::BindDataSource() { BindOwner(mOwner, kBoundStaticText); }
void StaticText::UnbindDataSource() { UnbindOwner(mOwner, kBoundStaticText); }

void StaticText::SetAlignment(int32_t alignment) { mAlignment = alignment; }
void StaticText::SetText(const string& caption) { mCaption = caption; }
void StaticText::SetTextStyle(const vorn::TextStyle& style) { mStyle.Assign(style); }
void StaticText::SetMultiLine(bool multiLine) { mMultiLine = multiLine; }
void StaticText::SetTextColor(uint32_t color) { mTextColor = color; }

bool StaticText::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!mOwner || !mEnabled) return false;
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->mouse.mouseDown) : nullptr;
  if (!handler) {
    mMouseTracking = false;
    return false;
  }
  if (!LockHierarchy()) return true;
  uint8_t take = CallEventHandler<uint8_t>(handler, mOwner, x - mBounds.left, y - mBounds.top);
  if (UnlockHierarchy()) return true;
  mMouseTracking = take != 0;
  if (!mMouseTracking) return false;
  SetMouseCapturePane(this);
  return true;
}

void StaticText::MouseDrag(int32_t x, int32_t y) {
  if (!mMouseTracking || !mHooks) return;
  void* handler = OwnerHandler(mOwner, mHooks->mouse.mouseDrag);
  if (!handler) return;
  Lock();
  CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
  Release();
}

void StaticText::MouseUp(int32_t x, int32_t y) {
  if (!mMouseTracking || !mHooks) return;
  if (void* handler = OwnerHandler(mOwner, mHooks->mouse.mouseUp)) {
    CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
  }
}

bool StaticText::GetFocusRingRect(Rect* r) {
  *r = mBounds;
  return true;
}

namespace {

int32_t BaselineIn(Graphics* port, const vorn::TextStyle& style, int32_t height) {
  port->SetTextFontFrom(style);
  return port->FontAscent() + (height - port->TextHeight()) / 2;
}

}  // namespace

int32_t StaticText::GetBaseline() {
  Graphics* port = GetGraphics();
  if (!port) return 0;
  int32_t baseline = BaselineIn(port, mStyle, mHeight);
  DisposePaneGraphics(port);
  return baseline;
}

// --- StaticTextGeneric ---------------------------------------------------------------------

StaticTextGeneric::StaticTextGeneric(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
    : StaticText(parent, tabPanelIndex, bounds) {
  GtkWidget* label = gtk_label_new("");
  SetWidget(label);
  AddPaneToWindow(this, IsDisplayed());
  gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.5f);
}

void StaticTextGeneric::SetText(const string& caption) {
  if (caption.CompareBinary(mCaption) != 0) {
    SetLabelCaption(mWidget, caption, &mStyle);
    ++mLabelUpdates;
  }
  StaticText::SetText(caption);
}

void StaticTextGeneric::SetAlignment(int32_t alignment) {
  StaticText::SetAlignment(alignment);
  if (!mWidget) return;
  float yalign = mMultiLine ? 0.0f : 0.5f;
  float xalign;
  GtkJustification justify;
  switch (alignment) {
    case kStaticAlignLeft: xalign = 0.0f; justify = GTK_JUSTIFY_LEFT; break;
    case kStaticAlignCenter: xalign = 0.5f; justify = GTK_JUSTIFY_CENTER; break;
    case kStaticAlignRight: xalign = 1.0f; justify = GTK_JUSTIFY_RIGHT; break;
    default: return;  // kept for reading back; the label stays as it is
  }
  gtk_misc_set_alignment(GTK_MISC(mWidget), xalign, yalign);
  gtk_label_set_justify(GTK_LABEL(mWidget), justify);
}

void StaticTextGeneric::SetMultiLine(bool multiLine) {
  StaticText::SetMultiLine(multiLine);
  if (mWidget) gtk_label_set_line_wrap(GTK_LABEL(mWidget), multiLine);
  // A wrapped text starts at the top of its bounds.
  SetAlignment(mAlignment);
}

void StaticTextGeneric::SetTextStyle(const vorn::TextStyle& style) {
  bool wasUnderlined = mStyle.mUnderline != 0;
  StaticText::SetTextStyle(style);
  SetWidgetFont(mWidget, mStyle);
  // The underline is a pattern over the label's text: only setting the caption again clears it.
  if (wasUnderlined && !mStyle.mUnderline) SetLabelCaption(mWidget, mCaption, &mStyle);
}

void StaticTextGeneric::SetTextColor(uint32_t color) {
  // The first colour is applied even when it is black, so a black TextColor set at creation
  // replaces the theme's text colour.
  if (mWidget && (!mColorApplied || color != mTextColor)) {
    RGB48 rgb = ColorToRGB48(color);
    GdkColor gdk{0, rgb.red, rgb.green, rgb.blue};
    gtk_widget_modify_fg(mWidget, GTK_STATE_NORMAL, &gdk);
    mColorApplied = true;
  }
  StaticText::SetTextColor(color);
}

void StaticTextGeneric::Draw(Graphics* port) {
  if (!port || !mVisible) return;
  string text = StripAmpersandsCopy(mCaption);
  if (text.IsEmpty()) return;
  int32_t y = mBounds.top + BaselineIn(port, mStyle, mHeight);

  // Inside the pane, and never outside what the caller clipped to.
  Rect area = mBounds;
  if (const Rect* outer = port->GetClipRect()) {
    Rect shifted = *outer;
    OffsetRect(shifted, port->OriginH(), port->OriginV());
    if (!IntersectRect(area, shifted, area)) return;
  }

  RGB48 color = ColorToRGB48(mTextColor);
  if (!mEnabled) {
    color = RGB48{DisabledComponent(color.red), DisabledComponent(color.green),
                  DisabledComponent(color.blue)};
  }
  RGB48 savedColor = port->ForeColor();
  port->SetForeColor(color);
  {
    ClipSaver clip(port);
    port->SetClipRect(area);
    if (mMultiLine) {
      port->DrawWrappedText(text, mBounds, mAlignment);
    } else {
      std::string_view all = text.View();
      size_t start = 0;
      while (start <= all.size()) {
        size_t end = all.find_first_of("\r\n", start);
        size_t stop = end == std::string_view::npos ? all.size() : end;
        if (stop > start) {
          string piece(all.substr(start, stop - start), text.Encoding());
          int32_t x = mBounds.left;
          if (mAlignment == kStaticAlignCenter) {
            x = mBounds.left + (mBounds.Width() - port->StringWidth(piece)) / 2;
          } else if (mAlignment == kStaticAlignRight) {
            x = mBounds.right - port->StringWidth(piece);
          }
          port->DrawText(piece, x, y, 0);
        }
        if (end == std::string_view::npos) break;
        start = end + 1;
        if (all[end] == '\r' && start < all.size() && all[start] == '\n') ++start;
        y += port->TextHeight();
      }
    }
  }
  port->SetForeColor(savedColor);
}

}  // namespace vorn
