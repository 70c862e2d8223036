#include "controls/bevel_button.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <array>

#include "controls/bevel_button_logic.h"
#include "windows/pane_port.h"
#include "graphics/drawable.h"
#include "graphics/graphics.h"
#include "graphics/graphics_defaults.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"

namespace vorn {

BevelButton::BevelButton(BevelButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                         int32_t tabPanelIndex, const Rect& bounds, const string& caption, int32_t tag)
    : SubPane(parent, tabPanelIndex, bounds), mButtonDelegate(delegate), mCaption(caption), mTag(tag) {
  EnsurePanePorts();
  SetWidget(gtk_fixed_new());
  AddPaneToWindow(this, true);
  ConnectExposeHandler(this);
  SetTextStyle(style);
  if (parent) SetParent(parent);
}

BevelButton::~BevelButton() {
  Drawable* icon = mIcon;
  mIcon = nullptr;
  if (icon) icon->Release();
}

void BevelButton::SetIcon(Drawable* icon) {
  Drawable* old = mIcon;
  mIcon = icon;
  if (old && old != icon) old->Release();
  if (IsVisible() && IsDisplayed()) Invalidate();
}

void BevelButton::SetCaption(const string& caption) {
  mCaption = caption;
  Invalidate();
}

void BevelButton::SetValue(int32_t value) {
  mSortDirection = BevelSortDirectionAfter(mValue, value, mSortDirection);
  mValue = value;
  if (IsDisplayed()) Invalidate();
}

void BevelButton::SetCaptionAlignment(int32_t alignment, int32_t offset) {
  mAlignment = alignment;
  mOffset = offset;
  Invalidate();
}

void BevelButton::SetTextStyle(const vorn::TextStyle& style) {
  SetTextFont(style.mFontName);
  SetTextSize(style.mSize);
  Pane::SetTextStyle(style.GetStyleBits());
  if (IsDisplayed()) Invalidate();
}

// --- mouse ---------------------------------------------------------------------------------

bool BevelButton::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!mEnabled || !PointInRect(x, y, mBounds)) return false;
  mPressed = true;
  SetCurrentPane(this);
  Redraw();
  if (mButtonDelegate) {
    if (!LockHierarchy()) return true;
    mButtonDelegate->MouseDown(this);
    if (UnlockHierarchy()) return true;
  }
  SetMouseCapturePane(this);
  return true;
}

void BevelButton::MouseDrag(int32_t x, int32_t y) {
  if (!mEnabled) return;
  SetCurrentPane(this);
  const bool inside = PointInRect(x, y, mBounds);
  if (inside != mPressed) {
    mPressed = inside;
    Redraw();
  }
  if (mButtonDelegate) mButtonDelegate->MouseDrag(this, x, y);
}

void BevelButton::MouseUp(int32_t, int32_t) {
  if (!mEnabled || !mPressed) return;
  mPressed = false;
  Redraw();
  if (mButtonDelegate) mButtonDelegate->Clicked(this);
}

void BevelButton::MouseMove(int32_t x, int32_t y) {
  if (!mEnabled || !mButtonDelegate) return;
  mButtonDelegate->MouseMove(this, x + mBounds.left, y + mBounds.top);
  mButtonDelegate->MouseOver(this, x + mBounds.left, y + mBounds.top);
}

void BevelButton::MouseEnter() {
  mHover = true;
  Invalidate();
}

void BevelButton::MouseExit() {
  mHover = false;
  Invalidate();
}

int32_t BevelButton::ChangeState(int32_t code) {
  if (code != kBevelProgrammaticClick) return SubPane::ChangeState(code);
  if (mButtonDelegate && LockHierarchy()) {
    mButtonDelegate->Clicked(this);
    UnlockHierarchy();
  }
  return 0;
}

void BevelButton::SetEnabled(bool enabled, bool redraw) {
  if (enabled == mEnabled) return;
  SubPane::SetEnabled(enabled, redraw);
  if (IsDisplayed()) Redraw();
}

// --- drawing -------------------------------------------------------------------------------

void BevelButton::Redraw() {
  if (mButtonDelegate && mButtonDelegate->Redraw(this)) return;
  SubPane::Redraw();
}

void BevelButton::Draw(Graphics* port) {
  if (!port) return;
  Rect frame = mBounds;
  if (!mDrawingInto && !GetFrameBounds(&frame)) return;
  GraphicsState state;
  state.Save(port);
  PaintButton(port, frame);
  DrawIcon(port);
  DrawSortTriangle(port, frame);
  state.Restore();
}

void BevelButton::DrawInto(Graphics* port) {
  mDrawingInto = true;
  Draw(port);
  mDrawingInto = false;
}

void BevelButton::PaintButton(Graphics* port, const Rect& frame) {
  if (!mWidget) return;
  if (!GTK_WIDGET_REALIZED(mWidget)) {
    GtkWidget* top = gtk_widget_get_toplevel(mWidget);
    if (top && GTK_WIDGET_TOPLEVEL(top)) gtk_widget_realize(mWidget);
  }
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  auto* target = gtkPort ? reinterpret_cast<GdkWindow*>(gtkPort->GetGdkDrawable()) : nullptr;
  if (!gtk_widget_get_window(mWidget) || !target) return;
  Rect device = gtkPort->ToDeviceRect(frame);
  if (device.Width() < 1 || device.Height() < 1) return;
  const GtkShadowType shadow = mValue != 0 || mPressed ? GTK_SHADOW_IN : GTK_SHADOW_OUT;
  gtk_paint_box(gtk_widget_get_style(mWidget), target, GTK_STATE_NORMAL, shadow, nullptr, mWidget, "button",
                device.left, device.top, device.Width(), device.Height());
  DrawCaption(port, frame);
}

void BevelButton::DrawCaption(Graphics* port, const Rect& frame) {
  if (mCaption.IsEmpty()) return;
  port->SetTextFont(mTextFont);
  port->SetTextSize(mTextSize);
  port->SetTextStyle(mTextStyle);
  const int32_t width = frame.Width();
  const GdkColor text = gtk_widget_get_style(mWidget)->fg[GTK_STATE_NORMAL];
  port->SetForeColor(mPressed ? kWhite48 : RGB48{text.red, text.green, text.blue});
  const int32_t baseline = frame.top + (port->FontAscent() + frame.Height()) / 2 - 1;
  const int32_t reserved = mValue != 0 && mSortDirection != 0 ? kBevelTriangleRoom : 0;
  const int32_t x = BevelCaptionX(mAlignment, mOffset, frame.left, width, port->StringWidth(mCaption), reserved);
  DrawCondensedString(port, mCaption, x, baseline, width - 10, EllipsisString(), 0);
}

void BevelButton::DrawIcon(Graphics* port) {
  if (!mIcon) return;
  int32_t width = 0, height = 0;
  mIcon->GetSize(&width, &height);
  if (width <= 0 || height <= 0) return;
  // Centred in the bounds; pictures go to window positions in every port, as the caption does.
  const int32_t left = mBounds.left + (mBounds.Width() - width) / 2;
  const int32_t top = mBounds.top + (mBounds.Height() - height) / 2;
  mIcon->DrawInto(port, MakeRect(0, 0, width, height), MakeRect(left, top, left + width, top + height), true);
}

void BevelButton::DrawSortTriangle(Graphics* port, const Rect& frame) {
  port->SetTextFont(mTextFont);
  port->SetTextSize(mTextSize);
  port->SetTextStyle(mTextStyle);
  const int32_t captionWidth = mCaption.IsEmpty() ? 0 : port->StringWidth(mCaption);
  if (!BevelShowsTriangle(mValue, mSortDirection, captionWidth, frame.Width())) return;
  // A pane's own port takes polygon points relative to the pane; a port drawn into takes them
  // as they are.
  const int32_t dh = mDrawingInto ? 0 : mBounds.left;
  const int32_t dv = mDrawingInto ? 0 : mBounds.top;
  std::array<int32_t, 6> corners =
      BevelTrianglePoints(frame.left - dh, frame.top - dv, frame.Width(), frame.Height(), mSortDirection);
  int32_t points[7] = {0};  // counted from 1, as the language's polygons are
  std::copy(corners.begin(), corners.end(), points + 1);
  port->SetForeColor(kBlack48);
  port->DrawPolygon(points, 6, true);
}

}  // namespace vorn
