// Drawing of the list box: frame, heading row, rows with their cells, the selection and the
// sort indicator, all through the pane's drawing port.
#include <algorithm>
#include <optional>

#include <gtk/gtk.h>

#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "graphics/drawable.h"
#include "graphics/picture_object.h"
#include "listbox/provider_row.h"
#include "listbox/runtime_listbox.h"

namespace vorn {

namespace {

constexpr uint32_t kFrameColor = 0x808080;
constexpr uint32_t kBackgroundColor = 0xFFFFFF;
constexpr uint32_t kHeadingColor = 0xE4E4E4;
constexpr uint32_t kPressedHeadingColor = 0xC8C8D8;
constexpr uint32_t kHoveredHeadingColor = 0xF4F4F4;
constexpr uint32_t kHeadingLineColor = 0xA0A0A0;
constexpr uint32_t kTextColor = 0x000000;
constexpr uint32_t kFocusRingColor = 0x7094D8;
constexpr int32_t kCellInset = 4;
constexpr int32_t kIndentPerLevel = 12;
// Column 0 of a hierarchical list keeps this much room before its content for the triangle.
constexpr int32_t kTriangleSpace = 16;
constexpr int32_t kTriangleBox = 12;
constexpr int32_t kCheckBoxSpace = 20;
constexpr int32_t kCheckSize = 13;
// A row picture is centred this far right of where the content starts, and takes this room.
constexpr int32_t kPictureCentre = 8;
constexpr int32_t kPictureSpace = 20;

void Fill(Graphics* port, uint32_t color, const Rect& r) {
  port->SetForeColor(ColorToRGB48(color));
  port->FillRect(r);
}

// Where a text of that width starts in [left, right) for the alignment (1 left, 2 centre,
// 3 right; decimal and default read as left).
int32_t AlignedStart(int32_t alignment, int32_t offset, int32_t left, int32_t right, int32_t width) {
  switch (alignment) {
    case 2: return left + (right - left - width) / 2 + offset;
    case 3: return right - width - offset;
    default: return left + offset;
  }
}

}  // namespace

int32_t RuntimeListbox::ContentInset(int32_t row, int32_t column) const {
  if (column != 0 || !IsHierarchical()) return kCellInset;
  return kCellInset + GetRowDepth(row) * kIndentPerLevel + kTriangleSpace;
}

Rect RuntimeListbox::DisclosureBox(int32_t row) {
  const int32_t top = RowTop(row) + (RowHeightOf(row) - kTriangleBox) / 2;
  const int32_t left = mColumnModel.GetColumnLeft(0) + GetRowDepth(row) * kIndentPerLevel + kCellInset;
  return MakeRect(left, top, left + kTriangleBox, top + kTriangleBox);
}

void RuntimeListbox::DrawDisclosureTriangle(Graphics* port, int32_t row, uint32_t color) {
  const Rect box = DisclosureBox(row);
  const int32_t l = box.left;
  const int32_t t = box.top;
  // Element 0 is unused: the points start at index 1.
  const int32_t down[] = {0, l, t + 3, l + 10, t + 3, l + 5, t + 8};
  const int32_t right[] = {0, l + 1, t, l + 6, t + 5, l + 1, t + 10};
  port->SetForeColor(ColorToRGB48(color));
  port->DrawPolygon(IsExpanded(row) ? down : right, 6, true);
}

Rect RuntimeListbox::CheckBoxRect(int32_t row, int32_t column) {
  const int32_t height = RowHeightOf(row);
  const int32_t top = RowTop(row);
  const int32_t left = mColumnModel.GetColumnLeft(column) + ContentInset(row, column);
  const int32_t side = std::min(height, kCheckBoxSpace);
  const int32_t squareTop = top + (height - side) / 2;
  return MakeRect(left, squareTop, left + side, squareTop + side);
}

void RuntimeListbox::DrawCheckBox(Graphics* port, const Rect& square, bool checked) {
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  _GdkDrawable* drawable = gtkPort && mWidget ? PortDrawable(port) : nullptr;
  const int32_t top = (square.top + square.bottom) / 2 - 6;
  const Rect check = MakeRect(square.left, top, square.left + kCheckSize, top + kCheckSize);
  if (!drawable) {
    // Ports without a GTK window (pictures, printing) get a plain box.
    port->SetForeColor(ColorToRGB48(kTextColor));
    port->DrawRect(check);
    if (checked) {
      port->MoveTo(check.left + 3, check.top + 6);
      port->LineTo(check.left + 5, check.top + 9);
      port->LineTo(check.left + 9, check.top + 3);
    }
    return;
  }
  gtk_widget_ensure_style(mWidget);
  const Rect device = gtkPort->ToDeviceRect(check);
  const Rect clip = gtkPort->ToDeviceRect(RowArea());
  GdkRectangle area = {clip.left, clip.top, clip.Width(), clip.Height()};
  gtk_paint_check(gtk_widget_get_style(mWidget), reinterpret_cast<GdkWindow*>(drawable),
                  mEnabled ? GTK_STATE_NORMAL : GTK_STATE_INSENSITIVE, checked ? GTK_SHADOW_IN : GTK_SHADOW_OUT,
                  &area, mWidget, "checkbutton", device.left, device.top, kCheckSize, kCheckSize);
}

void RuntimeListbox::DrawFrame(Graphics* port) {
  Fill(port, kBackgroundColor, mBounds);
  port->SetForeColor(ColorToRGB48(kFrameColor));
  port->DrawRect(mBounds);
}

void RuntimeListbox::DrawHeading(Graphics* port) {
  const Rect area = RowArea();
  const Rect row = MakeRect(area.left, mBounds.top + 1, area.right, area.top);
  Fill(port, kHeadingColor, row);
  port->SetTextFontFrom(mStyle);
  const int32_t baseline = row.top + (row.Height() - port->TextHeight()) / 2 + port->FontAscent();
  for (int32_t column = 0; column < mColumnModel.ColumnCount(); ++column) {
    const int32_t left = std::max<int32_t>(mColumnModel.GetColumnLeft(column), area.left);
    const int32_t right = std::min<int32_t>(mColumnModel.GetColumnRight(column), area.right);
    if (right <= left) continue;
    const Rect cell = MakeRect(left, row.top, right, row.bottom);
    if (column == mPressedHeading) {
      Fill(port, kPressedHeadingColor, cell);
    } else if (column == mHoveredHeading) {
      Fill(port, kHoveredHeadingColor, cell);
    }
    port->SetForeColor(ColorToRGB48(kHeadingLineColor));
    port->MoveTo(right - 1, row.top);
    port->LineTo(right - 1, row.bottom - 1);
    port->MoveTo(left, row.bottom - 1);
    port->LineTo(right - 1, row.bottom - 1);
    ClipSaver clip(port);
    port->SetClipRect(cell);
    port->SetForeColor(ColorToRGB48(kTextColor));
    const string& text = mHeadings[column];
    const int32_t width = port->StringWidth(text);
    port->DrawText(text, AlignedStart(mColumnModel.GetColumnAlignment(column), kCellInset, left, right, width),
                   baseline, 0);
    if (column == mPressedHeading && GetSortDirection(column) != 0) {
      // A small triangle pointing the way the column is sorted.
      const int32_t cx = right - 10;
      const int32_t cy = row.top + row.Height() / 2;
      const bool up = GetSortDirection(column) == 1;
      for (int32_t i = 0; i < 4; ++i) {
        const int32_t y = up ? cy - 2 + i : cy + 1 - i;
        port->MoveTo(cx - i, y);
        port->LineTo(cx + i, y);
      }
    }
  }
}

void RuntimeListbox::DrawRows(Graphics* port, int32_t bandTop, int32_t bandBottom) {
  const Rect area = RowArea();
  // Rows past the end are drawn only for what the owner paints and the grid lines.
  const bool pastEnd = HasCellPaintHandlers() || MayHaveBorders();
  ClipSaver clip(port);
  int32_t top = area.top;
  for (int32_t row = mFirstVisible, height = 0; top < area.bottom && top < bandBottom; ++row, top += height) {
    if (row >= RowCount() && !pastEnd) break;
    height = RowHeightOf(row);
    if (top + height <= bandTop) continue;
    const Rect rowRect = MakeRect(area.left, top, area.right, std::min<int32_t>(top + height, area.bottom));
    const bool selected = row < RowCount() && mSelection.IsRowSelected(row);
    port->SetClipRect(rowRect);
    DrawRowCells(port, row, rowRect, selected && mEnabled);
  }
  port->SetClipRect(area);
  if (top < std::min<int32_t>(area.bottom, bandBottom)) Fill(port, kBackgroundColor, MakeRect(area.left, top, area.right, area.bottom));
}

void RuntimeListbox::DrawRowCells(Graphics* port, int32_t row, const Rect& rowRect, bool selected) {
  const Rect area = RowArea();
  const SelectionColors selection = ThemeSelectionColors();
  const bool painting = HasCellPaintHandlers();
  const bool borders = MayHaveBorders();
  const bool exists = row < RowCount();
  std::optional<ProviderRow> bound;
  if (exists && HasBoundRows()) bound.emplace(mBoundData, row);
  port->SetTextFontFrom(mStyle);
  const int32_t ascent = port->FontAscent();
  const int32_t textHeight = port->TextHeight();
  const int32_t columns = mColumnModel.ColumnCount();
  for (int32_t column = 0; column <= columns; ++column) {
    const bool past = column == columns;
    if (CellIsValid(row, column)) continue;
    const int32_t cellLeft = past ? (columns > 0 ? mColumnModel.GetColumnRight(columns - 1) : area.left)
                                  : mColumnModel.GetColumnLeft(column);
    const int32_t cellRight = past ? std::max<int32_t>(area.right, cellLeft) : mColumnModel.GetColumnRight(column);
    const Rect cellRect = MakeRect(cellLeft, rowRect.top, cellRight, rowRect.bottom);
    const int32_t left = std::max<int32_t>(cellLeft, area.left);
    const int32_t right = std::min<int32_t>(cellRight, area.right);
    if (right <= left) continue;
    const Rect visible = MakeRect(left, rowRect.top, right, rowRect.bottom);
    port->SetClipRect(visible);
    if (selected) {
      port->SetForeColor(selection.background);
      port->FillRect(visible);
    } else {
      Fill(port, kBackgroundColor, visible);
    }
    if (past && !painting) break;
    if (painting && !FireCellBackgroundPaint(port, cellRect, row, column) && selected) {
      port->SetForeColor(selection.background);
      port->FillRect(visible);
    }
    if (!exists || past) {
      if (borders && !past) DrawCellBorders(port, cellRect, row, column);
      continue;
    }
    // Bound rows have their fields' texts and no settings.
    const CellAttributes* cell = bound ? nullptr : FindCell(row, column, false);
    const string text = bound ? bound->Field(column) : CellText(row, column);
    const RGB48 textColor = selected ? selection.text : ColorToRGB48(kTextColor);
    if (column == 0 && IsFolderRow(row)) DrawDisclosureTriangle(port, row, selected ? 0xFFFFFF : kTextColor);
    int32_t contentSpace = 0;
    if (!bound && GetCellType(row, column) == kCellTypeCheckBox) {
      DrawCheckBox(port, CheckBoxRect(row, column), cell && cell->mCheckState != 0);
      contentSpace = kCheckBoxSpace;
    }
    if (column == 0 && cell && cell->mPicture) {
      DrawRowPicture(port, cell->mPicture, cellLeft + ContentInset(row, column) + contentSpace + kPictureCentre,
                     (rowRect.top + rowRect.bottom) / 2);
      contentSpace += kPictureSpace;
    }
    // The edit field lies over the edited cell and shows its text.
    if (!text.IsEmpty() && !(row == mEditRow && column == mEditColumn)) {
      port->SetTextStyle(static_cast<uint8_t>(mStyle.GetStyleBits() | (cell ? cell->mStyle : 0)));
      const int32_t size = GetCellTextSize(row, column);
      if (size > 0) port->SetTextSize(size);
      port->SetForeColor(textColor);
      const string line = FirstLine(text);
      const int32_t width = port->StringWidth(line);
      const int32_t boxLeft = cellLeft + ContentInset(row, column) + contentSpace;
      const int32_t offset = std::max(GetCellAlignmentOffset(row, column), -kCellInset);
      const int32_t boxRight = cellRight - 5;
      const int32_t alignment = GetCellAlignment(row, column);
      int32_t start = alignment == 4 ? DecimalStart(port, line, offset, boxRight)
                                     : AlignedStart(alignment, offset, boxLeft, boxRight, width);
      start = std::max(start, boxLeft - kCellInset);
      const int32_t baseline = rowRect.top + (rowRect.Height() - textHeight) / 2 + ascent;
      if (!FireCellTextPaint(port, cellRect, row, column, start, baseline)) {
        if (start + width <= boxRight || alignment != 0) {
          port->DrawText(line, start, baseline, 0);
        } else {
          DrawCondensedString(port, line, start, baseline, boxRight - start, string("..."), 0);
        }
      }
      port->SetTextFontFrom(mStyle);
    }
    if (borders) DrawCellBorders(port, cellRect, row, column);
    port->SetClipRect(visible);
  }
}

void RuntimeListbox::DrawRowPicture(Graphics* port, RuntimeObject* picture, int32_t centreX, int32_t centreY) {
  Drawable* drawable = PictureDrawable(picture);
  if (!drawable) return;
  int32_t width = 0, height = 0;
  drawable->GetSize(&width, &height);
  const Rect where = MakeRect(centreX - width / 2, centreY - height / 2, centreX - width / 2 + width,
                              centreY - height / 2 + height);
  drawable->DrawWhole(port, where, true);
}

void RuntimeListbox::Draw(Graphics* port) {
  if (!port || !IsDisplayed()) return;
  if (mRangesStale) UpdateScrollBars();
  GraphicsState state;
  state.Save(port);
  port->SetClipRect(mBounds);
  DrawFrame(port);
  if (mHasHeading) DrawHeading(port);
  DrawRowArea(port);
  port->SetClipRect(mBounds);
  DrawInsertionLine(port);
  if (IsVerticalScrollBarVisible() && IsHorizontalScrollBarVisible()) {
    // The square the two bars leave free at the lower right corner.
    const Rect bar = HorizontalBarRect();
    Fill(port, kHeadingColor, MakeRect(bar.right, bar.top, mBounds.right - 1, mBounds.bottom - 1));
  }
  if (mHasFocus && mUseFocusRing) {
    port->SetForeColor(ColorToRGB48(kFocusRingColor));
    port->DrawRect(mBounds);
    port->DrawRect(MakeRect(mBounds.left + 1, mBounds.top + 1, mBounds.right - 1, mBounds.bottom - 1));
  }
  state.Restore();
}

void RuntimeListbox::SetUseFocusRing(bool on) {
  mUseFocusRing = on;
  Invalidate(true);
}

void RuntimeListbox::DrawInto(Graphics* port) { Draw(port); }

}  // namespace vorn
