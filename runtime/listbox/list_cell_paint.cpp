// The owner's own drawing of cells (CellBackgroundPaint and CellTextPaint, each given a
// Graphics in cell coordinates), the theme's selection colours, cell borders and grid lines,
// and the placing of a cell's first text line.
#include <gtk/gtk.h>

#include <algorithm>

#include "graphics/graphics.h"
#include "graphics/graphics_object.h"
#include "graphics/graphics_state.h"
#include "listbox/runtime_listbox.h"
#include "strings/locale_separators.h"

namespace vorn {

namespace {

enum BorderKind : int32_t { kBorderNone = 1, kBorderThinDotted = 2, kBorderThinSolid = 3, kBorderThick = 4,
                            kBorderDouble = 5 };

RGB48 FromGdk(const GdkColor& color) { return RGB48{color.red, color.green, color.blue}; }

int32_t LineWidth(int32_t kind) {
  switch (kind) {
    case kBorderThinDotted:
    case kBorderThinSolid: return 1;
    case kBorderThick: return 2;
    case kBorderDouble: return 3;
    default: return 0;
  }
}

// A horizontal (vertical false) or vertical line of the kind whose far edge is `edge`.
void DrawBorderLine(Graphics* port, int32_t kind, bool vertical, int32_t edge, int32_t from, int32_t to) {
  const int32_t width = LineWidth(kind);
  if (width == 0 || to <= from) return;
  const int32_t at = edge - std::max(1, (width + 1) / 2);
  auto line = [&](int32_t offset) {
    if (kind == kBorderThinDotted) {
      // Dots on even coordinates, so that the dots of neighbouring cells line up.
      for (int32_t p = from + ((from & 1) != 0 ? 1 : 0); p < to; p += 2) {
        const Rect dot = vertical ? MakeRect(at + offset, p, at + offset + 1, p + 1)
                                  : MakeRect(p, at + offset, p + 1, at + offset + 1);
        port->FillRect(dot);
      }
      return;
    }
    const Rect r = vertical ? MakeRect(at + offset, from, at + offset + 1, to) : MakeRect(from, at + offset, to, at + offset + 1);
    port->FillRect(r);
  };
  if (kind == kBorderDouble) {
    // Both strokes inside the cell: the row's clip would cut the outer one off.
    line(-1);
    line(1);
  } else {
    for (int32_t i = 0; i < width; ++i) line(i);
  }
}

}  // namespace

// While it lives, the port draws in the cell's coordinates, clipped to the cell within the row
// area, through a Graphics object compiled code is handed; it gives the port back at the end.
class CellPaintContext {
 public:
  CellPaintContext(Graphics* port, const Rect& cell, const Rect& rowArea) : mClip(port) {
    mState.Save(port);
    Rect clip;
    if (!IntersectRect(cell, rowArea, &clip)) clip = Rect{};
    port->SetClipRect(clip);
    port->SetOrigin(port->OriginH() - cell.left, port->OriginV() - cell.top);
    mGraphics = NewGraphicsObject(port);
  }
  ~CellPaintContext() {
    if (mGraphics) {
      DetachGraphicsObjectPort(mGraphics);
      RuntimeUnlockObject(mGraphics);
    }
    mState.Restore();
  }
  CellPaintContext(const CellPaintContext&) = delete;
  CellPaintContext& operator=(const CellPaintContext&) = delete;
  RuntimeObject* GraphicsObject() const { return mGraphics; }

 private:
  ClipSaver mClip;
  GraphicsState mState;
  RuntimeObject* mGraphics = nullptr;
};

bool RuntimeListbox::FireCellBackgroundPaint(Graphics* port, const Rect& cell, int32_t row, int32_t column) {
  void* handler = OwnerHandler(&ListboxHooks::cellBackgroundPaint);
  if (!handler) return false;
  CellPaintContext context(port, cell, RowArea());
  if (!context.GraphicsObject()) return false;
  return CallEventHandler<uint8_t>(handler, mOwner, context.GraphicsObject(), row, column) != 0;
}

bool RuntimeListbox::FireCellTextPaint(Graphics* port, const Rect& cell, int32_t row, int32_t column, int32_t x,
                                       int32_t y) {
  void* handler = OwnerHandler(&ListboxHooks::cellTextPaint);
  if (!handler) return false;
  CellPaintContext context(port, cell, RowArea());
  if (!context.GraphicsObject()) return false;
  return CallEventHandler<uint8_t>(handler, mOwner, context.GraphicsObject(), row, column, x - cell.left,
                                   y - cell.top) != 0;
}

bool RuntimeListbox::HasCellPaintHandlers() const {
  return OwnerHandler(&ListboxHooks::cellBackgroundPaint) || OwnerHandler(&ListboxHooks::cellTextPaint);
}

RuntimeListbox::SelectionColors RuntimeListbox::ThemeSelectionColors() const {
  SelectionColors colors;
  GtkStyle* style = mWidget ? gtk_widget_get_style(mWidget) : nullptr;
  if (!style) return colors;
  const GtkStateType state = mHasFocus ? GTK_STATE_SELECTED : GTK_STATE_ACTIVE;
  colors.background = FromGdk(style->base[state]);
  colors.text = FromGdk(style->text[state]);
  return colors;
}

void RuntimeListbox::DrawCellBorders(Graphics* port, const Rect& cell, int32_t row, int32_t column) {
  const int32_t top = GetCellBorder(kBorderTop, row, column, true);
  const int32_t left = GetCellBorder(kBorderLeft, row, column, true);
  const int32_t bottom = GetCellBorder(kBorderBottom, row, column, true);
  const int32_t right = GetCellBorder(kBorderRight, row, column, true);
  if (std::max({top, left, bottom, right}) < kBorderThinDotted) return;
  GraphicsState state;
  state.Save(port);
  port->SetForeColor(RGB48{});
  // Each edge is drawn by the cell on its far side (bottom, right), the first row's top and
  // the first column's left only when nothing lies before them.
  if (row > 0 && row - 1 < mFirstVisible) DrawBorderLine(port, top, false, cell.top + 1, cell.left, cell.right);
  if (column == 0 && ScrollPositionX() < 0) DrawBorderLine(port, left, true, cell.left + 1, cell.top, cell.bottom);
  DrawBorderLine(port, bottom, false, cell.bottom, cell.left, cell.right);
  DrawBorderLine(port, right, true, cell.right, cell.top, cell.bottom);
  state.Restore();
}

int32_t RuntimeListbox::DecimalStart(Graphics* port, const string& line, int32_t offset, int32_t right) {
  // The decimal separator lines up at the right edge less the offset.
  string thousands, decimal, date, time;
  GetLocaleSeparators(&thousands, &decimal, &date, &time);
  const std::string_view text = line.View();
  const size_t at = decimal.IsEmpty() ? std::string_view::npos : text.find(decimal.View());
  const int32_t before =
      at == std::string_view::npos ? port->StringWidth(line) : port->StringWidth(string(text.substr(0, at), kEncodingUTF8));
  return right - offset - before;
}

string RuntimeListbox::FirstLine(const string& text) {
  const std::string_view view = text.View();
  size_t cut = view.find('\r');
  cut = std::min(cut, view.find('\n'));
  if (cut == std::string_view::npos) return text;
  return string(view.substr(0, cut), kEncodingUTF8);
}

}  // namespace vorn
