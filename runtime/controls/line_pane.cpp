#include <gtk/gtk.h>

#include <algorithm>

#include "controls/shape_logic.h"
#include "controls/shape_panes.h"
#include "graphics/graphics.h"
#include "graphics/graphics_state.h"
#include "windows/window.h"

namespace vorn {

EditLine::EditLine(SubPane* parent, int32_t tabPanelIndex, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    : ShapePane(parent, tabPanelIndex, LineEndPointBox(x1, y1, x2, y2)) {
  SetEndPoints(x1, y1, x2, y2);
}

// Window coordinates are 16-bit: end points beyond that are pinned, which also keeps the
// drawing loops short whatever compiled code asked for.
void EditLine::SetEndPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  mX1 = PinToInt16(x1);
  mY1 = PinToInt16(y1);
  mX2 = PinToInt16(x2);
  mY2 = PinToInt16(y2);
}

void EditLine::ShiftEndPoints(int32_t dh, int32_t dv) { SetEndPoints(mX1 + dh, mY1 + dv, mX2 + dh, mY2 + dv); }

Rect EditLine::DrawnArea() const {
  const int32_t w = BorderMagnitude();
  return MakeRect(mBounds.left - w / 2, mBounds.top - w / 2, mBounds.right + w, mBounds.bottom + w);
}

void EditLine::CoverDrawnArea() {
  if (!mWidget) return;
  Window* window = GetWindow();
  NativeWidget fixed = window ? window->Widget() : nullptr;
  if (!fixed || gtk_widget_get_parent(mWidget) != fixed) return;
  const Rect area = DrawnArea();
  const int32_t left = area.left;
  const int32_t top = area.top;
  const int32_t width = std::max(0, area.right - left);
  const int32_t height = std::max(0, area.bottom - top);
  GtkRequisition wanted;
  gtk_widget_get_size_request(mWidget, &wanted.width, &wanted.height);
  if (mWidget->allocation.width == width && mWidget->allocation.height == height && wanted.width == width &&
      wanted.height == height) {
    return;
  }
  gtk_fixed_move(GTK_FIXED(fixed), mWidget, left, top);
  gtk_widget_set_size_request(mWidget, width, height);
}

void EditLine::DrawShape(Graphics* port) {
  const int32_t w = mBorderWidth;
  port->SetPenSize(w, w);
  port->SetForeColor(ColorToRGB48(mLineColor));
  CoverDrawnArea();
  // The pen reaches past the pane's bounds, which the port would clip to.
  ClipSaver clip(port);
  port->SetClipRect(DrawnArea());
  if (w <= 1) {
    port->MoveTo(mX1, mY1);
    port->LineTo(mX2, mY2);
    return;
  }
  // Each point of the line carries a w x w square, half of it above and left of the point.
  const int32_t half = w / 2;
  auto square = [&](int32_t x, int32_t y, int32_t toX, int32_t toY) {
    port->FillRect(MakeRect(x - half, y - half, toX - half + w, toY - half + w));
  };
  if (mX1 == mX2 || mY1 == mY2) {
    square(std::min(mX1, mX2), std::min(mY1, mY2), std::max(mX1, mX2), std::max(mY1, mY2));
    return;
  }
  int32_t x = mX1, y = mY1;
  const int32_t dx = std::abs(mX2 - mX1), dy = -std::abs(mY2 - mY1);
  const int32_t sx = mX1 < mX2 ? 1 : -1, sy = mY1 < mY2 ? 1 : -1;
  int32_t error = dx + dy;
  for (;;) {
    square(x, y, x, y);
    if (x == mX2 && y == mY2) break;
    const int32_t e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

bool EditLine::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!LineHit(mX1, mY1, mX2, mY2, x, y)) return false;
  return mMouse.Down(this, x, y);
}

void EditLine::Invalidate(bool) {
  const int32_t w = BorderMagnitude();
  InvalidateRect(MakeRect(std::min(mX1, mX2) - w, std::min(mY1, mY2) - w, std::max(mX1, mX2) + w + 1,
                          std::max(mY1, mY2) + w + 1));
}

void EditLine::SetBounds(const Rect& r, bool redraw) {
  ShapePane::SetBounds(r, redraw);
  CoverDrawnArea();
}

void EditLine::DrawIntoAt(Graphics* port, int32_t x, int32_t y) {
  const int32_t dh = x - mBounds.left;
  const int32_t dv = y - mBounds.top;
  ShiftEndPoints(dh, dv);
  SubPane::DrawIntoAt(port, x, y);
  ShiftEndPoints(-dh, -dv);
}

}  // namespace vorn
