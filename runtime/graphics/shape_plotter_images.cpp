// Text and picture shapes. Unrotated ones go straight to the port; rotated ones are drawn
// into offscreen squares, turned with RotateDrawable and copied through a mask.
#include <cmath>

#include "graphics/color_types.h"
#include "graphics/drawable_pane.h"
#include "graphics/picture_object.h"
#include "graphics/picture_rotation.h"
#include "graphics/shape_plotter.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr double kUnrotated = 0.001;
constexpr int32_t kOffscreenDepth = 32;

void SetShapeTextStyle(Graphics* port, const StringShapeFields* shape) {
  port->SetTextFont(string::Share(shape->textFont));
  port->SetTextSize(TruncPinned(shape->base.scale * shape->textSize));
  port->SetTextStyle(
      static_cast<uint8_t>((shape->bold ? 1 : 0) | (shape->italic ? 2 : 0) | (shape->underline ? 4 : 0)));
  port->SetForeColor(ColorToRGB48(shape->base.fillColor & 0xFFFFFF));
}

// Two offscreen squares for one rotated drawing, released however the drawing ends.
struct Squares {
  DrawablePane* a = nullptr;
  DrawablePane* b = nullptr;
  explicit Squares(int32_t side)
      : a(NewDrawablePane(side, side, kOffscreenDepth)), b(NewDrawablePane(side, side, kOffscreenDepth)) {}
  ~Squares() {
    if (b) b->Release();
    if (a) a->Release();
  }
  bool Ready() const { return a && b; }
};

// Runs draw on a new port of the pane and disposes of the port; a pane without one is
// reported.
template <typename Drawing>
bool DrawInto(DrawablePane* pane, int32_t line, Drawing draw) {
  Graphics* port = pane ? pane->NewGraphics() : nullptr;
  if (!port) {
    ReportPlotterAssertion(line, "g");
    return false;
  }
  draw(port);
  DisposeGraphics(port);
  return true;
}

}  // namespace

void ShapePlotter::DrawStringShape(Object2DFields* object) {
  auto* shape = reinterpret_cast<StringShapeFields*>(object);
  if (!Visible(object->fill)) return;
  SetShapeTextStyle(mPort, shape);
  const string text = string::Share(shape->text);
  const int32_t w = mPort->StringWidth(text);
  const double r = Remainder2Pi(object->rotation);
  if (-kUnrotated < r && r < kUnrotated) {
    int32_t left, top;
    PaneOffset(&left, &top);
    mPort->DrawText(text, TruncPinned(left + object->x - w / 2), TruncPinned(top + object->y), 0);
    return;
  }
  DrawRotatedString(shape, r);
}

void ShapePlotter::DrawRotatedString(const StringShapeFields* shape, double angle) {
  const string text = string::Share(shape->text);
  const int32_t w = mPort->StringWidth(text);
  const int32_t ascent = mPort->FontAscent();
  int32_t side = 2 * ascent + w + 4;
  if (side % 2) ++side;
  if (side < 1) return;
  const int32_t tx = TruncPinned((side - w) * 0.5), ty = TruncPinned(side * 0.5);
  Squares squares(side);
  if (!squares.Ready()) return;
  // A: a square of the text colour; B: the text in black, turned into A's mask.
  if (!DrawInto(squares.a, __LINE__, [&](Graphics* port) {
        SetShapeTextStyle(port, shape);
        port->PaintRect(MakeRect(0, 0, side, side));
      }))
    return;
  DrawablePane* mask = squares.a->GetMask();
  if (!mask) return;
  if (!DrawInto(squares.b, __LINE__, [&](Graphics* port) {
        SetShapeTextStyle(port, shape);
        port->SetForeColor(kBlack48);
        port->DrawText(text, tx, ty, 0);
      }))
    return;
  RotateDrawable(squares.b, mask, -angle, kRotateFillWhite);
  int32_t l = tx - 1, t = ty - ascent - 1, bw = side - 2 * (tx - 1), bh = side - 2 * (ty - ascent - 1);
  RotatedBounds(&l, &t, &bw, &bh, angle);
  int32_t left, top;
  PaneOffset(&left, &top);
  mPort->DrawPicturePart(TruncPinned(shape->base.x - bw / 2) + left, TruncPinned(shape->base.y - bh / 2) + top, squares.a, l, t,
                         bw, bh, false);
}

void ShapePlotter::DrawPixmapShape(Object2DFields* object) {
  if (!object) {
    ReportPlotterAssertion(__LINE__, "pic");
    return;
  }
  auto* shape = reinterpret_cast<PixmapShapeFields*>(object);
  Drawable* source = PictureDrawable(shape->image);
  bool bordered = true;
  if (source && Visible(object->fill)) {
    int32_t pw = 0, ph = 0;
    source->GetSize(&pw, &ph);
    int64_t dw = TruncPinned(object->scale * shape->rect.width), dh = TruncPinned(object->scale * shape->rect.height);
    int64_t sl = shape->sourceLeft, st = shape->sourceTop, sw = shape->sourceWidth, sh = shape->sourceHeight;
    int64_t x0 = TruncPinned(object->x - static_cast<double>(dw / 2)), y0 = TruncPinned(object->y - static_cast<double>(dh / 2));
    // Sizes of 0 or less draw nothing (and would divide by zero when clipping).
    if (dw > 0 && dh > 0 && sw > 0 && sh > 0) {
      ClipSpan(&x0, &dw, &sl, &sw, pw);
      ClipSpan(&y0, &dh, &st, &sh, ph);
    }
    if (dw > 0 && dh > 0 && sw > 0 && sh > 0) {
      const PictureObject* picture = PictureFields(shape->image);
      const bool hasMask = picture && picture->mask;
      const double r = object->rotation;
      if (-kUnrotated <= r && r <= kUnrotated) {
        int32_t left, top;
        PaneOffset(&left, &top);
        mPort->DrawPicture(static_cast<int32_t>(x0) + left, static_cast<int32_t>(y0) + top, static_cast<int32_t>(dw),
                           static_cast<int32_t>(dh), source, static_cast<int32_t>(sl), static_cast<int32_t>(st),
                           static_cast<int32_t>(sw), static_cast<int32_t>(sh), hasMask);
      } else {
        bordered = DrawRotatedPixmap(shape, source, hasMask ? PictureDrawable(picture->mask) : nullptr,
                                     {static_cast<int32_t>(sl), static_cast<int32_t>(st), static_cast<int32_t>(sw),
                                      static_cast<int32_t>(sh)},
                                     static_cast<int32_t>(dw), static_cast<int32_t>(dh));
      }
    }
  }
  if (!bordered || !(object->border >= 0.5) || !(object->borderWidth > 0)) return;
  // The border is the rectangle's, without its fill.
  const double fill = object->fill;
  object->fill = 0;
  DrawBoxShape(object);
  object->fill = fill;
}

bool ShapePlotter::DrawRotatedPixmap(const PixmapShapeFields* shape, Drawable* source, Drawable* sourceMask,
                                     const SourceBox& s, int32_t dw, int32_t dh) {
  int32_t side = dw + dh;
  if (side % 2) ++side;
  const int32_t cx = TruncPinned((side - dw) * 0.5), cy = TruncPinned((side - dh) * 0.5);
  Squares squares(side);
  if (!squares.Ready()) return false;
  // The picture with a one-pixel rim copied from its own edges, so that the turned edges
  // blend with the picture rather than with white.
  if (!DrawInto(squares.a, __LINE__, [&](Graphics* port) {
        port->DrawPicture(cx, cy, dw, dh, source, s.left, s.top, s.width, s.height, false);
        port->DrawPicture(cx, cy - 1, dw, 1, source, s.left, s.top, s.width, 1, false);
        port->DrawPicture(cx, cy + dh, dw, 1, source, s.left, s.top + s.height - 1, s.width, 1, false);
        port->DrawPicture(cx - 1, cy, 1, dh, source, s.left, s.top, 1, s.height, false);
        port->DrawPicture(cx + dw, cy, 1, dh, source, s.left + s.width - 1, s.top, 1, s.height, false);
      }))
    return false;
  const double angle = shape->rect.base.rotation;
  RotateDrawable(squares.a, squares.b, -angle, kRotateBlendEdges);
  DrawablePane* maskA = squares.a->GetMask();
  DrawablePane* maskB = squares.b->GetMask();
  if (!maskA || !maskB) {
    ReportPlotterAssertion(__LINE__, "srcMask and dstMask");
    return false;
  }
  if (!DrawInto(maskA, __LINE__, [&](Graphics* port) {
        if (sourceMask) {
          port->DrawPicture(cx, cy, dw, dh, sourceMask, s.left, s.top, s.width, s.height, false);
        } else {
          port->PaintRect(MakeRect(cx, cy, cx + dw, cy + dh));
        }
      }))
    return false;
  RotateDrawable(maskA, maskB, -angle, kRotateFillWhite);
  int32_t l = cx, t = cy, bw = dw, bh = dh;
  RotatedBounds(&l, &t, &bw, &bh, angle);
  int32_t left, top;
  PaneOffset(&left, &top);
  mPort->DrawPicturePart(TruncPinned(shape->rect.base.x - side / 2) + left + l, TruncPinned(shape->rect.base.y - side / 2) + top + t,
                         squares.b, l, t, bw, bh, false);
  return true;
}

}  // namespace vorn
