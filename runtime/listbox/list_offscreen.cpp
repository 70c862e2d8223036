// The list's rows are drawn into an offscreen image of the row area and copied to the window.
// The image keeps, as a rectangle of rows and columns, which cells are still current in it:
// an expose only copies, a scroll moves the image and draws the rows it uncovers, and a changed
// cell costs the redraw of its row or column side of the rectangle, not the whole list.
// Vertically the image is a ring: the area's top line lies at image line mRingTop and the lines
// below it wrap round, so a vertical scroll turns the ring instead of copying the image.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>

#include "windows/pane_port.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "listbox/runtime_listbox.h"

namespace vorn {

void RuntimeListbox::Invalidate(bool flag) {
  ForgetValidCells();
  ContainerPane::Invalidate(flag);
}

void RuntimeListbox::InvalidateShown() { ContainerPane::Invalidate(true); }

void RuntimeListbox::ForgetValidCells() { mValid = ValidCells(); }

bool RuntimeListbox::CellIsValid(int32_t row, int32_t column) const {
  return mValid.firstRow >= 0 && row >= mValid.firstRow && row <= mValid.lastRow && column >= mValid.firstColumn &&
         column <= mValid.lastColumn;
}

// Takes the cell's row or column (or, with -1, every cell of the row or column) out of the
// valid rectangle, keeping its larger side.
void RuntimeListbox::ShrinkValidCells(int32_t row, int32_t column) {
  ValidCells& v = mValid;
  if (v.firstRow < 0) return;
  if (row == -1 && column == -1) return ForgetValidCells();
  if ((row >= 0 && (row < v.firstRow || row > v.lastRow)) ||
      (column >= 0 && (column < v.firstColumn || column > v.lastColumn))) {
    return;
  }
  const int32_t h = v.lastRow - v.firstRow + 1;
  const int32_t w = v.lastColumn - v.firstColumn + 1;
  const int32_t centreRow = v.firstRow + h / 2;
  const int32_t centreColumn = v.firstColumn + w / 2;
  bool cutRow = column < 0;
  if (row >= 0 && column >= 0) cutRow = w * std::abs(row - centreRow + 1) < h * std::abs(column - centreColumn + 1);
  if (cutRow) {
    if (row >= centreRow) {
      v.lastRow = row - 1;
    } else {
      v.firstRow = row + 1;
    }
  } else if (column >= centreColumn) {
    v.lastColumn = column - 1;
  } else {
    v.firstColumn = column + 1;
  }
  if (v.firstRow > v.lastRow || v.firstColumn > v.lastColumn) ForgetValidCells();
}

void RuntimeListbox::RowsChanged(int32_t row) {
  if (mValid.firstRow < 0) return;
  if (row <= mValid.firstRow) {
    ForgetValidCells();
  } else if (row <= mValid.lastRow) {
    mValid.lastRow = row - 1;
  }
}

void RuntimeListbox::DropOffscreen() {
  ForgetValidCells();
  mRingTop = 0;
  DisposeGraphics(mOffscreenPort);
  mOffscreenPort = nullptr;
  if (mCopyGC) g_object_unref(mCopyGC);
  mCopyGC = nullptr;
  if (mOffscreen) mOffscreen->Release();
  mOffscreen = nullptr;
}

bool RuntimeListbox::EnsureOffscreen(const Rect& area) {
  if (mOffscreen && (mOffscreen->Width() != area.Width() || mOffscreen->Height() != area.Height())) DropOffscreen();
  if (!mOffscreen && area.Width() > 0 && area.Height() > 0) {
    for (int32_t depth : {32, 16, 8}) {
      if ((mOffscreen = NewDrawablePane(area.Width(), area.Height(), depth))) break;
    }
    mOffscreenPort = mOffscreen ? mOffscreen->NewGraphics() : nullptr;
    if (!mOffscreenPort) {
      DropOffscreen();
      return false;
    }
    mCopyGC = gdk_gc_new(mOffscreen->Pixmap());
    mRingTop = 0;
  }
  return mOffscreenPort != nullptr;
}

// The one or two bands of the row area that lie unbroken in the ring, each with the pane line
// that lands on the image's top line. Drawing outside a band's lines falls off the image.
int32_t RuntimeListbox::RingBands(const Rect& area, RingBand bands[2]) const {
  const int32_t split = area.bottom - mRingTop;
  bands[0] = RingBand{area.top, split, area.top - mRingTop};
  if (mRingTop == 0) return 1;
  bands[1] = RingBand{split, area.bottom, split};
  return 2;
}

// Moves what the image shows to where the rows and columns now are.
void RuntimeListbox::FollowScroll(const Rect& area) {
  const int32_t dx = mDrawnOffset - ScrollPositionX();
  if (mValid.firstRow < 0 || (mDrawnFirstRow == mFirstVisible && dx == 0)) return;
  const int64_t dy = static_cast<int64_t>(mDrawnFirstRow - mFirstVisible) * std::max(RowHeight(), 1);
  if (RowsVaryInHeight() || std::abs(dy) >= area.Height() || std::abs(dx) >= area.Width()) {
    ForgetValidCells();
    return;
  }
  // Rows and columns the area cut off show more of themselves once moved: only whole ones stay.
  if (mWholeValid.firstRow < 0) return ForgetValidCells();
  mValid.firstRow = std::max(mValid.firstRow, mWholeValid.firstRow);
  mValid.lastRow = std::min(mValid.lastRow, mWholeValid.lastRow);
  mValid.firstColumn = std::max(mValid.firstColumn, mWholeValid.firstColumn);
  mValid.lastColumn = std::min(mValid.lastColumn, mWholeValid.lastColumn);
  if (mValid.firstRow > mValid.lastRow || mValid.firstColumn > mValid.lastColumn) return ForgetValidCells();
  // Rows keep their image lines: the area's top moves along the ring.
  const int32_t h = area.Height();
  mRingTop = static_cast<int32_t>(((mRingTop - dy) % h + h) % h);
  if (dx != 0) {
    GdkDrawable* pixmap = mOffscreen->Pixmap();
    gdk_draw_drawable(pixmap, mCopyGC, pixmap, std::max(-dx, 0), 0, std::max(dx, 0), 0, area.Width() - std::abs(dx), h);
  }
}

void RuntimeListbox::RecordValidCells(const Rect& area) {
  const int32_t whole = std::min(mFirstVisible + VisibleRowCount(), RowCount()) - 1;
  int32_t shown = mFirstVisible - 1;
  for (int32_t row = mFirstVisible, top = area.top; row < RowCount() && top < area.bottom; ++row) {
    top += RowHeightOf(row);
    shown = row;
  }
  ValidCells columns, wholeColumns;
  for (int32_t column = 0; column < mColumnModel.ColumnCount(); ++column) {
    const int32_t left = mColumnModel.GetColumnLeft(column), right = mColumnModel.GetColumnRight(column);
    if (right <= area.left || left >= area.right || right <= left) continue;
    if (columns.firstColumn < 0) columns.firstColumn = column;
    columns.lastColumn = column;
    if (left < area.left || right > area.right) continue;
    if (wholeColumns.firstColumn < 0) wholeColumns.firstColumn = column;
    wholeColumns.lastColumn = column;
  }
  mValid = mWholeValid = ValidCells();
  if (shown >= mFirstVisible && columns.firstColumn >= 0) {
    mValid = ValidCells{mFirstVisible, shown, columns.firstColumn, columns.lastColumn};
  }
  if (whole >= mFirstVisible && wholeColumns.firstColumn >= 0) {
    mWholeValid = ValidCells{mFirstVisible, whole, wholeColumns.firstColumn, wholeColumns.lastColumn};
  }
  mDrawnFirstRow = mFirstVisible;
  mDrawnOffset = ScrollPositionX();
}

void RuntimeListbox::CopyOffscreen(Graphics* windowPort, const Rect& strip) {
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(windowPort);
  GdkDrawable* window = gtkPort ? gtkPort->GetGdkDrawable() : nullptr;
  if (!window) return;
  const Rect area = RowArea();
  RingBand bands[2];
  for (int32_t i = 0, n = RingBands(area, bands); i < n; ++i) {
    const int32_t top = std::max<int32_t>(strip.top, bands[i].top);
    const int32_t bottom = std::min<int32_t>(strip.bottom, bands[i].bottom);
    if (top >= bottom) continue;
    const Rect device = gtkPort->ToDeviceRect(MakeRect(strip.left, top, strip.right, bottom));
    gdk_draw_drawable(window, mCopyGC, mOffscreen->Pixmap(), strip.left - area.left, top - bands[i].origin, device.left,
                      device.top, strip.Width(), bottom - top);
  }
}

void RuntimeListbox::DrawRowArea(Graphics* port) {
  const Rect area = RowArea();
  // Ports that are no window (pictures, printing) get the rows drawn straight in.
  if (!dynamic_cast<GraphicsGTK*>(port) || port->IsPrinting() || !PortDrawable(port) || !EnsureOffscreen(area)) {
    ForgetValidCells();
    DrawRows(port);
    return;
  }
  UpdateOffscreen(area);
  CopyOffscreen(port, area);
}

// Brings the image up to date: it follows the scroll and the cells no longer valid are drawn.
void RuntimeListbox::UpdateOffscreen(const Rect& area) {
  FollowScroll(area);
  // Nothing kept: the ring starts again at the top, so the rows are drawn in one pass.
  if (mValid.firstRow < 0) mRingTop = 0;
  mOffscreenPort->SetTextFontFrom(mStyle);
  RingBand bands[2];
  for (int32_t i = 0, n = RingBands(area, bands); i < n; ++i) {
    mOffscreenPort->SetOrigin(area.left, bands[i].origin);
    DrawRows(mOffscreenPort, bands[i].top, bands[i].bottom);
  }
  RecordValidCells(area);
}

// After a scroll moved the rows on screen, the strips it uncovered are drawn into the image and
// copied to the window at once, without the window's redraw (and its double buffer) going
// over them again; false when the image cannot serve, and the caller has them redrawn.
bool RuntimeListbox::DrawStripsNow(const Rect* strips, int32_t count) {
  if (!mOffscreenPort || !IsDisplayed() || !mWidget || !mWidget->window) return false;
  const Rect area = RowArea();
  if (mOffscreen->Width() != area.Width() || mOffscreen->Height() != area.Height()) return false;
  Graphics* port = GetGraphics();
  if (!port) return false;
  UpdateOffscreen(area);
  for (int32_t i = 0; i < count; ++i) {
    port->SetClipRect(strips[i]);
    CopyOffscreen(port, strips[i]);
    ValidateRect(strips[i]);
  }
  DisposePaneGraphics(port);
  return true;
}

bool RuntimeListbox::DrawRowNow(int32_t row) {
  if (!mOffscreenPort || !IsDisplayed() || !mWidget || !mWidget->window || mDrawnFirstRow != mFirstVisible ||
      mDrawnOffset != ScrollPositionX() || row < mFirstVisible || row >= mFirstVisible + VisibleRowCount()) {
    return false;
  }
  const Rect area = RowArea();
  if (mOffscreen->Width() != area.Width() || mOffscreen->Height() != area.Height()) return false;
  Graphics* port = GetGraphics();
  if (!port) return false;
  // The row is current again once drawn: what the image held valid stays so.
  const ValidCells kept = mValid;
  mValid = ValidCells();
  const Rect rowRect = MakeRect(area.left, RowTop(row), area.right, std::min<int32_t>(RowTop(row) + RowHeightOf(row), area.bottom));
  mOffscreenPort->SetTextFontFrom(mStyle);
  RingBand bands[2];
  for (int32_t i = 0, n = RingBands(area, bands); i < n; ++i) {
    if (rowRect.top >= bands[i].bottom || rowRect.bottom <= bands[i].top) continue;
    mOffscreenPort->SetOrigin(area.left, bands[i].origin);
    ClipSaver clip(mOffscreenPort);
    mOffscreenPort->SetClipRect(rowRect);
    DrawRowCells(mOffscreenPort, row, rowRect, mSelection.IsRowSelected(row) && mEnabled);
  }
  mValid = kept;
  port->SetClipRect(area);
  CopyOffscreen(port, rowRect);
  DisposePaneGraphics(port);
  return true;
}

}  // namespace vorn
