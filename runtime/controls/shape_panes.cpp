#include "controls/shape_panes.h"

#include <gtk/gtk.h>

#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "windows/gtk_pane_support.h"

namespace vorn {

ShapePane::ShapePane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
    : SubPane(parent, tabPanelIndex, bounds) {
  EnsurePanePorts();
  SetWidget(gtk_fixed_new());
  AddPaneToWindow(this, true);
  ConnectExposeHandler(this);
}

int32_t ShapePane::GetField(int32_t selector) const {
  switch (selector) {
    case kShapeFillColor: return static_cast<int32_t>(mFillColor);
    case kShapeTopLeftColor: return static_cast<int32_t>(mTopLeftColor);
    case kShapeBottomRightColor: return static_cast<int32_t>(mBottomRightColor);
    case kShapeBorderColor: return static_cast<int32_t>(mBorderColor);
    case kShapeLineColor: return static_cast<int32_t>(mLineColor);
    case kShapeBorderWidth: return mBorderWidth;
    case kShapeOvalWidth: return mOvalWidth;
    case kShapeOvalHeight: return mOvalHeight;
    default: return 0;
  }
}

void ShapePane::SetField(int32_t selector, int32_t value) {
  auto color = static_cast<LanguageColor>(value);
  auto size = static_cast<int16_t>(value);
  switch (selector) {
    case kShapeFillColor: mFillColor = color; break;
    case kShapeTopLeftColor: mTopLeftColor = color; break;
    case kShapeBottomRightColor: mBottomRightColor = color; break;
    case kShapeBorderColor: mBorderColor = color; break;
    case kShapeLineColor: mLineColor = color; break;
    case kShapeBorderWidth: mBorderWidth = size; break;
    case kShapeOvalWidth: mOvalWidth = size; break;
    case kShapeOvalHeight: mOvalHeight = size; break;
    default: break;
  }
}

void ShapePane::Draw(Graphics* port) {
  if (!port || !IsDisplayed()) return;
  RGB48 saved = port->ForeColor();
  DrawShape(port);
  port->SetForeColor(saved);
  port->ResetPenSize();
}

bool ShapePane::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!mEnabled) return false;
  return mMouse.Down(this, x, y);
}

void ShapePane::MouseDrag(int32_t x, int32_t y) { mMouse.Drag(this, x, y); }
void ShapePane::MouseUp(int32_t x, int32_t y) { mMouse.Up(this, x, y); }

void EditRect::DrawShape(Graphics* port) {
  const int32_t bw = BorderMagnitude();
  const Rect& b = mBounds;
  port->SetForeColor(ColorToRGB48(mFillColor));
  port->FillRect(MakeRect(b.left + bw, b.top + bw, b.right - bw, b.bottom - bw));
  if (bw <= 0) return;
  port->SetForeColor(ColorToRGB48(mTopLeftColor));
  for (int32_t i = 0; i < bw; ++i) {
    port->MoveTo(b.left + i, b.bottom - i - 1);
    port->LineTo(b.left + i, b.top + i);
    port->LineTo(b.right - i - 1, b.top + i);
  }
  port->SetForeColor(ColorToRGB48(mBottomRightColor));
  for (int32_t i = 0; i < bw; ++i) {
    port->MoveTo(b.left + i + 1, b.bottom - i - 1);
    port->LineTo(b.right - i - 1, b.bottom - i - 1);
    port->LineTo(b.right - i - 1, b.top + i + 1);
  }
}

void EditRoundRect::DrawShape(Graphics* port) {
  const int32_t bw = BorderMagnitude();
  port->SetForeColor(ColorToRGB48(mFillColor));
  port->FillRoundRect(mBounds, mOvalWidth, mOvalHeight);
  if (bw <= 0) return;
  port->SetForeColor(ColorToRGB48(mBorderColor));
  port->SetPenSize(bw, bw);
  port->DrawRoundRect(mBounds, mOvalWidth, mOvalHeight);
  port->ResetPenSize();
}

void EditOval::DrawShape(Graphics* port) {
  const int32_t bw = BorderMagnitude();
  port->SetForeColor(ColorToRGB48(mFillColor));
  port->FillOval(mBounds);
  if (bw <= 0) return;
  port->SetForeColor(ColorToRGB48(mBorderColor));
  port->SetPenSize(bw, bw);
  port->DrawOval(mBounds);
  port->ResetPenSize();
}

}  // namespace vorn
