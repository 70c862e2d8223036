// Text, curve and figure shapes. Curve and figure points are absolute: they are drawn as they
// stand, never through the shape transform.
#include <algorithm>
#include <cmath>

#include "graphics/object2d.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/shapes_api.h"

namespace vorn {

namespace {

constexpr int32_t kMaxCurveSegments = 512;
constexpr int32_t kMaxFigurePoints = 1024;
constexpr double kSamePoint = 1e-12;

bool Same(double a, double b) { return a - b < kSamePoint && a - b > -kSamePoint; }

Point2D Bezier(const CurveShapeFields* c, double t) {
  const double u = 1 - t;
  const double x0 = c->base.x, y0 = c->base.y;
  if (c->order == 1) {
    return {u * u * x0 + 2 * t * u * c->control[0][0] + t * t * c->x2,
            u * u * y0 + 2 * t * u * c->control[0][1] + t * t * c->y2};
  }
  return {u * u * u * x0 + 3 * t * u * u * c->control[0][0] + 3 * t * t * u * c->control[1][0] + t * t * t * c->x2,
          u * u * u * y0 + 3 * t * u * u * c->control[0][1] + 3 * t * t * u * c->control[1][1] + t * t * t * c->y2};
}

double Square(double dx, double dy) { return dx * dx + dy * dy; }

int32_t CurveSegments(const CurveShapeFields* c) {
  int32_t n = c->segments;
  if (n < 3) {
    const double x0 = c->base.x, y0 = c->base.y;
    const double e = c->order >= 2 ? Square(c->control[1][0] - c->x2, c->control[1][1] - c->y2)
                                   : Square(c->control[0][0] - x0, c->control[0][1] - y0);
    const double length =
        Square(c->control[0][0] - x0, c->control[0][1] - y0) + Square(c->x2 - x0, c->y2 - y0) + e;
    const double wanted = std::sqrt(length) * c->base.scale * 0.1;
    n = !(wanted >= 3) ? 3 : wanted > kMaxCurveSegments ? kMaxCurveSegments : static_cast<int32_t>(wanted);
  }
  return std::min(n, kMaxCurveSegments);
}

CurveShapeFields* AsCurve(RuntimeObject* object) {
  return Object2DTag(object) == kTagCurve ? reinterpret_cast<CurveShapeFields*>(object) : nullptr;
}

}  // namespace

void CurvePoints(const CurveShapeFields* c, PointList* points) {
  points->clear();
  const Point2D mid{(c->x2 + c->base.x) / 2, (c->y2 + c->base.y) / 2};
  if (c->order <= 0) {
    *points = {{c->base.x, c->base.y}, {c->x2, c->y2}, mid};
    return;
  }
  const int32_t n = CurveSegments(c);
  points->reserve(static_cast<size_t>(n + 2));
  for (int32_t i = 0; i <= n; ++i) points->push_back(Bezier(c, static_cast<double>(i) / n));
  points->push_back(mid);
}

void FigurePoints(const Group2DFields* figure, PointList* points) {
  points->clear();
  const ObjectList& list = figure->list;
  int32_t curved = 0;
  for (int32_t i = 0; i < list.count; ++i) {
    const CurveShapeFields* c = AsCurve(list.items[i]);
    if (c && c->order >= 1) ++curved;
  }
  const int32_t budget = curved == 0 ? 2 : std::max(kMaxFigurePoints / curved, 2);
  Point2D previous{0, 0};
  const CurveShapeFields* last = nullptr;
  for (int32_t i = 0; i < list.count; ++i) {
    const CurveShapeFields* c = AsCurve(list.items[i]);
    if (!c) continue;
    if (i == 0 || !Same(c->base.x, previous.x) || !Same(c->base.y, previous.y))
      points->push_back({c->base.x, c->base.y});
    if (c->order < 1) {
      points->push_back({c->x2, c->y2});
    } else {
      int32_t m = c->segments;
      if (m < 2 || m > budget) m = budget;
      for (int32_t k = 1; k <= m; ++k) points->push_back(Bezier(c, static_cast<double>(k) / m));
    }
    previous = {c->x2, c->y2};
    last = c;
  }
  // A closed figure: the polygon closes itself, so the repeated start point goes.
  if (points->size() >= 2 && last && Same(points->front().x, last->x2) && Same(points->front().y, last->y2)) {
    points->pop_back();
    points->shrink_to_fit();
  }
}

}  // namespace vorn

namespace {

// The control point's coordinate field, nil (OutOfBoundsException raised) for a bad index.
double* ControlField(VornRuntimeObject* curve, int32_t index, int coordinate) {
  vorn::CurveShapeFields* c = vorn::AsCurve(curve);
  if (!c) return nullptr;
  if (static_cast<uint32_t>(index) > 1) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return &c->control[index][coordinate];
}

}  // namespace

extern "C" {

void StringShapeConstructor(VornRuntimeObject* object) {
  auto* fields = reinterpret_cast<vorn::StringShapeFields*>(object);
  if (!fields) return;
  fields->base.tag = vorn::kTagString;
  fields->textSize = 12;
  fields->text = vorn::string("-").GetRetainedRep();
  fields->textFont = vorn::string("System").GetRetainedRep();
}

void StringShapeDestructor(VornRuntimeObject* object) {
  auto* fields = reinterpret_cast<vorn::StringShapeFields*>(object);
  if (!fields) return;
  vorn::ReplaceStringRep(fields->text, nullptr);
  vorn::ReplaceStringRep(fields->textFont, nullptr);
}

void CurveShapeConstructor(VornRuntimeObject* object) {
  auto* fields = reinterpret_cast<vorn::CurveShapeFields*>(object);
  if (!fields) return;
  fields->base.tag = vorn::kTagCurve;
  fields->base.fill = 0;
  fields->base.border = 1.0;
  fields->x2 = fields->y2 = 100;
}

void CurveOrderSetter(VornRuntimeObject* object, int32_t offset, int32_t value) {
  if (static_cast<uint32_t>(value) > 2) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  intSetter(object, offset, value);
}

double CurveGetControlX(VornRuntimeObject* curve, int32_t index) {
  const double* field = ControlField(curve, index, 0);
  return field ? *field : 0;
}

double CurveGetControlY(VornRuntimeObject* curve, int32_t index) {
  const double* field = ControlField(curve, index, 1);
  return field ? *field : 0;
}

void CurveSetControlX(VornRuntimeObject* curve, int32_t index, double value) {
  if (double* field = ControlField(curve, index, 0)) *field = value;
}

void CurveSetControlY(VornRuntimeObject* curve, int32_t index, double value) {
  if (double* field = ControlField(curve, index, 1)) *field = value;
}

}  // extern "C"
