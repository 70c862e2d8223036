// The box shapes: a Width x Height box centred on the reference point, its outline for the
// plotter and its hit test.
#include <algorithm>
#include <cmath>

#include "graphics/drawable.h"
#include "graphics/object2d.h"
#include "graphics/picture_object.h"
#include "objects/runtime_object.h"
#include "vorn/shapes_api.h"

namespace vorn {

namespace {

constexpr int32_t kMaxOutlinePoints = 1024;

// The outline point count chosen from the size when Segments does not set it.
int32_t AutomaticSegments(const Object2DFields* shape, double size) {
  const double k = shape->borderWidth >= 2 ? shape->borderWidth / 2 : 1;
  const double n = k * size * shape->scale * 0.2;
  // Sizes beyond the cap (or not numbers at all) must not reach the integer conversion.
  if (!(n >= 0)) return 0;
  return n > kMaxOutlinePoints ? kMaxOutlinePoints : static_cast<int32_t>(n);
}

bool InBox(double w, double h, double x, double y) { return -w / 2 < x && x < w / 2 && -h / 2 < y && y < h / 2; }

bool InOval(double w, double h, double x, double y) {
  if (!InBox(w, h, x, y)) return false;
  const double yy = y * w / h;
  return x * x + yy * yy < (w / 2) * (w / 2);
}

bool InArc(const ArcShapeFields* arc, double x, double y) {
  const double w = arc->oval.rect.width, h = arc->oval.rect.height;
  if (!InOval(w, h, x, y)) return false;
  double t = std::atan2(y * w / h, x);
  if (t < 0) t += 2 * kPi;
  double d = t - arc->startAngle;
  if (arc->arcAngle >= 0) {
    if (d < 0) d += 2 * kPi;
    return d < arc->arcAngle;
  }
  if (d > 0) d -= 2 * kPi;
  return d > arc->arcAngle;
}

bool InRoundRect(const RoundRectShapeFields* shape, double x, double y) {
  const double w = shape->rect.width, h = shape->rect.height;
  if (!(shape->cornerWidth > 0 && shape->cornerHeight > 0)) return InBox(w, h, x, y);
  const double cw = std::min(shape->cornerWidth, w - 0.01), ch = std::min(shape->cornerHeight, h - 0.01);
  if (!InBox(w, h, x, y)) return false;
  const double innerX = w / 2 - cw / 2, innerY = h / 2 - ch / 2;
  if ((-innerX < x && x < innerX) || (-innerY < y && y < innerY)) return true;
  const double dx = x >= 0 ? x - innerX : x + innerX;
  const double dy = (y >= 0 ? y - innerY : y + innerY) * cw / ch;
  return dx * dx + dy * dy < (cw / 2) * (cw / 2);
}

}  // namespace

void RectOutline(const RectShapeFields* shape, PointList* points) {
  const double w = shape->width / 2, h = shape->height / 2;
  *points = {{w, h}, {-w, h}, {-w, -h}, {w, -h}};
  TransformShapePoints(&shape->base, points);
}

void RoundRectOutline(const RoundRectShapeFields* shape, PointList* points) {
  if (!(shape->cornerWidth > 0 && shape->cornerHeight > 0)) {
    RectOutline(&shape->rect, points);
    return;
  }
  const double w = shape->rect.width, h = shape->rect.height;
  const double cw = std::min(shape->cornerWidth, w - 0.01), ch = std::min(shape->cornerHeight, h - 0.01);
  int32_t n = shape->segments;
  if (n < 4) n = std::max(AutomaticSegments(&shape->rect.base, cw + ch), 4);
  n = std::min(n, kMaxOutlinePoints);
  const int32_t q = (n + 3) / 4;
  const double step = 2 * kPi / (4 * q);
  const double cx = (w - cw) / 2, cy = (h - ch) / 2;
  const Point2D centres[4] = {{cx, cy}, {-cx, cy}, {-cx, -cy}, {cx, -cy}};
  points->clear();
  points->reserve(static_cast<size_t>(4 * q + 4));
  for (int k = 0; k < 4; ++k) {
    for (int32_t j = 0; j <= q; ++j) {
      const double t = k * kPi / 2 + j * step;
      points->push_back({centres[k].x + std::cos(t) * cw / 2, centres[k].y + std::sin(t) * ch / 2});
    }
  }
  TransformShapePoints(&shape->rect.base, points);
}

void OvalOutline(const OvalShapeFields* shape, PointList* points) {
  const double w = shape->rect.width, h = shape->rect.height;
  int32_t n = shape->segments;
  if (n < 3) n = std::max(AutomaticSegments(&shape->rect.base, std::fabs(w) + std::fabs(h)), 8);
  n = std::min(n, kMaxOutlinePoints);
  points->clear();
  points->reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    const double t = i * 2 * kPi / n;
    points->push_back({std::cos(t) * w / 2, std::sin(t) * h / 2});
  }
  TransformShapePoints(&shape->rect.base, points);
}

void ArcOutline(const ArcShapeFields* shape, PointList* points) {
  const double w = shape->oval.rect.width, h = shape->oval.rect.height;
  // A turn or more is the whole oval, as the hit test answers, not a remainder of nothing.
  const double a = std::fabs(shape->arcAngle) >= 2 * kPi ? std::copysign(2 * kPi, shape->arcAngle)
                                                         : shape->arcAngle;
  // Computed in double first: a huge Segments must not overflow the conversion.
  const double wanted = std::trunc(shape->oval.segments * a / (2 * kPi));
  int32_t n = wanted > kMaxOutlinePoints ? kMaxOutlinePoints : static_cast<int32_t>(std::max(wanted, 0.0));
  if (n < 1) n = std::max(AutomaticSegments(&shape->oval.rect.base, std::fabs(w) + std::fabs(h)), 8);
  n = std::min(n, kMaxOutlinePoints);
  points->clear();
  points->reserve(static_cast<size_t>(n + 2));
  for (int32_t i = 0; i <= n; ++i) {
    const double t = shape->startAngle + i * (a / n);
    points->push_back({std::cos(t) * w / 2, std::sin(t) * (w / 2) * (h / w)});
  }
  points->push_back({0, 0});
  TransformShapePoints(&shape->oval.rect.base, points);
}

}  // namespace vorn

namespace {

vorn::RectShapeFields* Box(VornRuntimeObject* object, uint32_t tag) {
  auto* fields = reinterpret_cast<vorn::RectShapeFields*>(object);
  if (fields) fields->base.tag = tag;
  return fields;
}

}  // namespace

extern "C" {

void RectShapeConstructor(VornRuntimeObject* object) {
  if (vorn::RectShapeFields* fields = Box(object, vorn::kTagRect)) fields->width = fields->height = 100;
}

void RoundRectShapeConstructor(VornRuntimeObject* object) { Box(object, vorn::kTagRoundRect); }
void OvalShapeConstructor(VornRuntimeObject* object) { Box(object, vorn::kTagOval); }

void ArcShapeConstructor(VornRuntimeObject* object) {
  if (Box(object, vorn::kTagArc)) reinterpret_cast<vorn::ArcShapeFields*>(object)->arcAngle = vorn::kPi / 2;
}

void PixmapShapeConstructor(VornRuntimeObject* object) {
  if (vorn::RectShapeFields* fields = Box(object, vorn::kTagPixmap)) fields->width = fields->height = 0;
}

void PixmapShapeImageCtor(VornRuntimeObject* object, VornRuntimeObject* image) {
  auto* fields = reinterpret_cast<vorn::PixmapShapeFields*>(Box(object, vorn::kTagPixmap));
  if (!fields) return;
  fields->rect.width = fields->rect.height = 0;
  vorn::Drawable* drawable = vorn::PictureDrawable(image);
  if (!drawable) return;
  int32_t w = 0, h = 0;
  drawable->GetSize(&w, &h);
  RuntimeLockUnlockObjects(image, fields->image);
  fields->image = image;
  fields->rect.width = w;
  fields->rect.height = h;
  fields->sourceWidth = w;
  fields->sourceHeight = h;
}

void PixmapShapeDestructor(VornRuntimeObject* object) {
  auto* fields = reinterpret_cast<vorn::PixmapShapeFields*>(object);
  if (!fields) return;
  VornRuntimeObject* image = fields->image;
  fields->image = nullptr;
  RuntimeUnlockObject(image);
}

void ArcStartAngleSetter(VornRuntimeObject* object, int32_t offset, double value) {
  double r = vorn::Remainder2Pi(value);
  if (r < 0) r += 2 * vorn::kPi;
  doubleSetter(object, offset, r);
}

uint8_t RectShapeContains(VornRuntimeObject* shape, double x, double y) {
  vorn::Object2DFields* fields = vorn::Object2DOf(shape);
  if (!fields || !RuntimeObjectIsaDefinition(shape, vorn::GetRectShapeClassDefinition())) return 0;
  vorn::Point2D p{x, y};
  vorn::InverseTransformPoint(fields, &p);
  const auto* box = reinterpret_cast<const vorn::RectShapeFields*>(fields);
  switch (fields->tag) {
    case vorn::kTagOval: return vorn::InOval(box->width, box->height, p.x, p.y);
    case vorn::kTagArc: return vorn::InArc(reinterpret_cast<const vorn::ArcShapeFields*>(fields), p.x, p.y);
    case vorn::kTagRoundRect:
      return vorn::InRoundRect(reinterpret_cast<const vorn::RoundRectShapeFields*>(fields), p.x, p.y);
    default: return vorn::InBox(box->width, box->height, p.x, p.y);
  }
}

}  // extern "C"
