#include "graphics/shape_plotter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "graphics/color_types.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics_state.h"
#include "graphics/picture_object.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr const char* kPlotterSource = "../Common/Graphics2D/ShapePlotter";
constexpr double kThickBorder = 1.5;

int32_t Round(double v) { return TruncPinned(v + 0.5); }

RGB48 Color(uint32_t color) { return ColorToRGB48(color & 0xFFFFFF); }

// Band of a thick closed outline: the inner ring and the outer ring backwards, joined at
// vertex 0.
PointList ClosedBand(const PointList& points, double half) {
  PointList a, b;
  OffsetClosedOutline(points, &a, half);
  OffsetClosedOutline(points, &b, -half);
  PointList band(b);
  band.push_back(b[0]);
  band.push_back(a[0]);
  for (size_t i = a.size() - 1; i >= 1; --i) band.push_back(a[i]);
  band.push_back(a[0]);
  return band;
}

// Band of a thick open line (the extra last point left out).
PointList OpenBand(const PointList& a, const PointList& b) {
  const size_t m = a.size() - 1;
  PointList band(b.begin(), b.begin() + static_cast<ptrdiff_t>(m));
  for (size_t i = m; i-- > 0;) band.push_back(a[i]);
  return band;
}

}  // namespace

int32_t TruncPinned(double v) {
  if (!(v == v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

void ReportPlotterAssertion(int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kPlotterSource, line, condition, "");
}

void RotatedBounds(int32_t* left, int32_t* top, int32_t* width, int32_t* height, double angle) {
  if (!left || !top || !width || !height) {
    ReportPlotterAssertion(__LINE__, "left and top and width and height");
    return;
  }
  const double w = *width, h = *height;
  const double cx = *left + w / 2, cy = *top + h / 2;
  const double c = std::cos(angle), s = std::sin(angle);
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (const Point2D corner : {Point2D{w / 2, h / 2}, {-w / 2, h / 2}, {-w / 2, -h / 2}, {w / 2, -h / 2}}) {
    const double x = corner.x * c - corner.y * s, y = corner.x * s + corner.y * c;
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  *left = std::max(0, TruncPinned(cx + minX - 1));
  *top = std::max(0, TruncPinned(cy + minY - 1));
  *width = TruncPinned(maxX - minX + 3);
  *height = TruncPinned(maxY - minY + 3);
}

bool IsAxisAlignedBox(const PointList& corners, double tolerance) {
  if (corners.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    const double dx = corners[(i + 1) % 4].x - corners[i].x, dy = corners[(i + 1) % 4].y - corners[i].y;
    const bool alongY = -tolerance <= dx && dx <= tolerance;
    const bool alongX = -tolerance <= dy && dy <= tolerance;
    if (!alongY && !alongX) return false;
  }
  return true;
}

bool ShapePlotter::Visible(double opacity) {
  if (!(opacity >= 0.5) && !mPort->SupportsTranslucency()) return false;
  mPort->SetOpacity(static_cast<float>(opacity));
  return true;
}

void ShapePlotter::PaneOffset(int32_t* left, int32_t* top) const {
  *left = *top = 0;
  if (GraphicsTarget* target = mPort->Target()) {
    const Rect bounds = target->GetPaneBounds();
    *left = bounds.left;
    *top = bounds.top;
  }
}

void ShapePlotter::Draw(RuntimeObject* object, int32_t depth) {
  Object2DFields* fields = Object2DOf(object);
  if (!fields || !mPort) return;
  GraphicsState state;
  state.Save(mPort);
  mPort->SetPenSize(1, 1);
  switch (fields->tag) {
    case kTagString: DrawStringShape(fields); break;
    case kTagFigure: DrawFigureShape(fields); break;
    case kTagOval: DrawOvalShape(fields); break;
    case kTagArc:
    case kTagCurve: DrawOpenShape(fields); break;
    case kTagPixmap: DrawPixmapShape(fields); break;
    case kTagRoundRect:
    case kTagRect: DrawBoxShape(fields); break;
    case kTagGroup: {
      if (depth < 1) break;
      const ObjectList& list = reinterpret_cast<Group2DFields*>(fields)->list;
      for (int32_t i = 0; i < list.count; ++i) Draw(list.items[i], depth - 1);
      break;
    }
    default: break;
  }
  state.Restore();
}

void ShapePlotter::DrawAt(RuntimeObject* object, double x, double y) {
  Object2DFields* fields = Object2DOf(object);
  if (!fields) return;
  if (x == 0 && y == 0) {
    Draw(object, kMaxDepth);
    return;
  }
  const double oldX = fields->x, oldY = fields->y;
  MoveObjectTo(fields, oldX + x, oldY + y);
  Draw(object, kMaxDepth);
  MoveObjectTo(fields, oldX, oldY);
}

void ShapePlotter::FillPoints(const PointList& points, bool round) {
  if (points.empty()) return;
  // The port's polygon layout: element 0 unused, then x and y of each vertex.
  std::vector<int32_t> elements(2 * points.size() + 1, 0);
  for (size_t i = 0; i < points.size(); ++i) {
    elements[2 * i + 1] = round ? Round(points[i].x) : TruncPinned(points[i].x);
    elements[2 * i + 2] = round ? Round(points[i].y) : TruncPinned(points[i].y);
  }
  mPort->DrawPolygon(elements.data(), static_cast<int32_t>(2 * points.size()), true);
}

std::optional<double> ShapePlotter::FillAndBeginBorder(Object2DFields* object, const PointList& points) {
  if (Visible(object->fill)) {
    mPort->SetForeColor(Color(object->fillColor));
    FillPoints(points, true);
  }
  if (!(object->borderWidth > 0) || !Visible(object->border)) return std::nullopt;
  mPort->SetForeColor(Color(object->borderColor));
  return object->scale * object->borderWidth;
}

void ShapePlotter::DrawPolygonShape(Object2DFields* object, const PointList& points) {
  if (points.empty()) return;
  const std::optional<double> border = FillAndBeginBorder(object, points);
  if (!border) return;
  const double w = *border;
  if (w >= kThickBorder) {
    FillPoints(ClosedBand(points, w / 2), false);
    return;
  }
  int32_t left, top;
  PaneOffset(&left, &top);
  mPort->MoveTo(Round(left + points.back().x), Round(top + points.back().y));
  for (const Point2D& p : points) mPort->LineTo(Round(left + p.x), Round(top + p.y));
}

void ShapePlotter::DrawBoxShape(Object2DFields* object) {
  if (!object) {
    ReportPlotterAssertion(__LINE__, "obj");
    return;
  }
  PointList points;
  switch (object->tag) {
    case kTagOval: OvalOutline(reinterpret_cast<OvalShapeFields*>(object), &points); break;
    case kTagRoundRect: RoundRectOutline(reinterpret_cast<RoundRectShapeFields*>(object), &points); break;
    default: RectOutline(reinterpret_cast<RectShapeFields*>(object), &points); break;
  }
  DrawPolygonShape(object, points);
}

void ShapePlotter::DrawFigureShape(Object2DFields* object) {
  PointList points;
  FigurePoints(reinterpret_cast<Group2DFields*>(object), &points);
  DrawPolygonShape(object, points);
}

void ShapePlotter::DrawOvalShape(Object2DFields* object) {
  auto* oval = reinterpret_cast<OvalShapeFields*>(object);
  PointList corners;
  RectOutline(&oval->rect, &corners);
  const double tolerance = (oval->rect.width + oval->rect.height) * object->scale * 0.01;
  if (!IsAxisAlignedBox(corners, tolerance)) {
    DrawBoxShape(object);
    return;
  }
  int32_t left, top;
  PaneOffset(&left, &top);
  // Placed in 64 bits and pinned once, so an oval far off the port stays off it.
  auto place = [](double v, int32_t offset) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{TruncPinned(v)} + offset, INT32_MIN, INT32_MAX));
  };
  Rect r = MakeRect(place(std::min(corners[0].x, corners[2].x), left), place(std::min(corners[0].y, corners[2].y), top),
                    place(std::max(corners[0].x, corners[2].x), left), place(std::max(corners[0].y, corners[2].y), top));
  if (Visible(object->fill)) {
    mPort->SetForeColor(Color(object->fillColor));
    mPort->FillOval(r);
  }
  if (!(object->borderWidth > 0) || !Visible(object->border)) return;
  mPort->SetForeColor(Color(object->borderColor));
  int32_t p = TruncPinned(object->scale * object->borderWidth);
  if (p > 1) {
    r = MakeRect(r.left - p / 2, r.top - p / 2, r.right + p / 2, r.bottom + p / 2);
  } else {
    p = 1;
  }
  mPort->SetPenSize(p, p);
  mPort->DrawOval(r);
  mPort->ResetPenSize();
}

void ShapePlotter::DrawOpenShape(Object2DFields* object) {
  PointList points;
  if (object->tag == kTagArc) {
    ArcOutline(reinterpret_cast<ArcShapeFields*>(object), &points);
  } else if (object->tag == kTagCurve) {
    CurvePoints(reinterpret_cast<CurveShapeFields*>(object), &points);
  } else {
    ReportPlotterAssertion(__LINE__, "0");
    return;
  }
  if (points.size() < 2) return;
  const std::optional<double> border = FillAndBeginBorder(object, points);
  if (!border) return;
  const double w = *border;
  if (w >= kThickBorder) {
    PointList a, b;
    if (object->tag == kTagArc) {
      OffsetArcOutline(points, &a, w / 2);
      OffsetArcOutline(points, &b, -w / 2);
    } else {
      OffsetOpenOutline(points, &a, w / 2);
      OffsetOpenOutline(points, &b, -w / 2);
    }
    FillPoints(OpenBand(a, b), false);
    return;
  }
  // The extra last point (centre or chord midpoint) closes the fill only.
  int32_t left, top;
  PaneOffset(&left, &top);
  mPort->MoveTo(Round(left + points[0].x), Round(top + points[0].y));
  for (size_t i = 1; i + 1 < points.size(); ++i) mPort->LineTo(Round(left + points[i].x), Round(top + points[i].y));
}

}  // namespace vorn
