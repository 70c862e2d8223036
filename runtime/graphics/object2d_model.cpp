// Properties shared by every 2D object and the transform from a shape's own frame to the
// port. A group's position, rotation and scale are never applied when drawing: setting them
// moves the members instead, and a curve's points are absolute, so they move with it.
#include <cmath>
#include <vector>

#include "graphics/object2d.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "vorn/shapes_api.h"

namespace vorn {

namespace {

constexpr double kRotationEpsilon = 1e-5;

bool Rotates(double angle) { return angle >= kRotationEpsilon || angle <= -kRotationEpsilon; }

// (x, y) turned by angle about (cx, cy).
void RotateAbout(double cx, double cy, double angle, double* x, double* y) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double dx = *x - cx, dy = *y - cy;
  *x = cx + dx * c - dy * s;
  *y = cy + dx * s + dy * c;
}

// The curve's points other than the start point, which is (X, Y) itself.
template <typename Change>
void ForEachCurvePoint(CurveShapeFields* curve, Change change) {
  change(&curve->x2, &curve->y2);
  change(&curve->control[0][0], &curve->control[0][1]);
  change(&curve->control[1][0], &curve->control[1][1]);
}

}  // namespace

Object2DFields* Object2DOf(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetObject2DClassDefinition())) return nullptr;
  return reinterpret_cast<Object2DFields*>(object);
}

uint32_t Object2DTag(RuntimeObject* object) {
  const Object2DFields* fields = Object2DOf(object);
  return fields ? fields->tag : 0;
}

bool IsGroupTag(uint32_t tag) { return tag == kTagGroup || tag == kTagFigure; }

double Remainder2Pi(double x) { return std::fmod(x, 2 * kPi); }

// A group's move, turn or scale is a rigid change of everything below it: each member, and each
// of theirs, takes the same change about the group's reference point, once for every place it
// stands in. The walk keeps its own stack, as nesting is limited only by memory.
template <typename Change>
void ForEachMemberBelow(Object2DFields* group, Change change) {
  std::vector<Object2DFields*> pending{group};
  while (!pending.empty()) {
    Object2DFields* node = pending.back();
    pending.pop_back();
    if (node != group) change(node);
    if (!IsGroupTag(node->tag)) continue;
    const ObjectList& list = reinterpret_cast<Group2DFields*>(node)->list;
    for (int32_t i = list.count - 1; i >= 0; --i)
      if (Object2DFields* member = Object2DOf(list.items[i])) pending.push_back(member);
  }
}

void MoveObjectTo(Object2DFields* object, double x, double y) {
  const double dx = x - object->x, dy = y - object->y;
  auto shift = [dx, dy](double* px, double* py) {
    *px += dx;
    *py += dy;
  };
  auto move = [&](Object2DFields* node) {
    if (node->tag == kTagCurve) ForEachCurvePoint(reinterpret_cast<CurveShapeFields*>(node), shift);
  };
  ForEachMemberBelow(object, [&](Object2DFields* node) {
    shift(&node->x, &node->y);
    move(node);
  });
  move(object);
  object->x = x;
  object->y = y;
}

void SetObjectRotation(Object2DFields* object, double angle) {
  const double d = angle - object->rotation;
  const double cx = object->x, cy = object->y;
  auto turn = [&](double* px, double* py) { RotateAbout(cx, cy, d, px, py); };
  auto turnPoints = [&](Object2DFields* node) {
    if (node->tag == kTagCurve) ForEachCurvePoint(reinterpret_cast<CurveShapeFields*>(node), turn);
  };
  ForEachMemberBelow(object, [&](Object2DFields* node) {
    turn(&node->x, &node->y);
    turnPoints(node);
    node->rotation += d;
  });
  turnPoints(object);
  object->rotation = angle;
}

// Whether a scale of 0 or less is ignored: shapes that carry their members or points along.
bool CarriesScale(const Object2DFields* object) { return IsGroupTag(object->tag) || object->tag == kTagCurve; }

void SetObjectScale(Object2DFields* object, double factor) {
  if (!CarriesScale(object)) {
    object->scale = factor;
    return;
  }
  // Scaling by zero could never be undone: the members would collapse onto the pivot.
  if (!(factor > 0)) return;
  const double k = factor / object->scale;
  const double cx = object->x, cy = object->y;
  auto stretch = [&](double* px, double* py) {
    *px = cx + (*px - cx) * k;
    *py = cy + (*py - cy) * k;
  };
  auto stretchPoints = [&](Object2DFields* node) {
    if (node->tag == kTagCurve) ForEachCurvePoint(reinterpret_cast<CurveShapeFields*>(node), stretch);
  };
  ForEachMemberBelow(object, [&](Object2DFields* node) {
    stretch(&node->x, &node->y);
    stretchPoints(node);
    const double scale = k * node->scale;
    if (scale > 0 || !CarriesScale(node)) node->scale = scale;
  });
  stretchPoints(object);
  object->scale = factor;
}

void TransformShapePoints(const Object2DFields* object, PointList* points) {
  const bool rotates = Rotates(object->rotation);
  const double c = std::cos(object->rotation), s = std::sin(object->rotation);
  for (Point2D& p : *points) {
    double x = p.x, y = p.y;
    if (rotates) {
      x = p.x * c - p.y * s;
      y = p.x * s + p.y * c;
    }
    p.x = object->x + x * object->scale;
    p.y = object->y + y * object->scale;
  }
}

void InverseTransformPoint(const Object2DFields* object, Point2D* point) {
  if (!point) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kShapesSource, __LINE__, "pt", "");
    return;
  }
  double x = point->x - object->x, y = point->y - object->y;
  if (Rotates(object->rotation)) {
    const double c = std::cos(-object->rotation), s = std::sin(-object->rotation);
    const double rx = x * c - y * s;
    y = x * s + y * c;
    x = rx;
  }
  point->x = x * (1 / object->scale);
  point->y = y * (1 / object->scale);
}

}  // namespace vorn

extern "C" {

void Object2DConstructor(VornRuntimeObject* object) {
  auto* fields = reinterpret_cast<vorn::Object2DFields*>(object);
  if (!fields) return;
  fields->tag = vorn::kTagObject2D;
  fields->fillColor = 0;
  fields->borderColor = 0;
  fields->x = fields->y = fields->rotation = 0;
  fields->scale = 1.0;
  fields->fill = 1.0;
  fields->border = 0;
  fields->borderWidth = 1.0;
}

void Object2DDoubleSetter(VornRuntimeObject* object, int32_t offset, double value) {
  vorn::Object2DFields* fields = vorn::Object2DOf(object);
  if (!fields) return;
  switch (offset) {
    case offsetof(vorn::Object2DFields, x): vorn::MoveObjectTo(fields, value, fields->y); break;
    case offsetof(vorn::Object2DFields, y): vorn::MoveObjectTo(fields, fields->x, value); break;
    case offsetof(vorn::Object2DFields, rotation): vorn::SetObjectRotation(fields, value); break;
    case offsetof(vorn::Object2DFields, scale): vorn::SetObjectScale(fields, value); break;
    default: doubleSetter(object, offset, value); break;
  }
}

double doublePercentGetter(VornRuntimeObject* object, int32_t offset) {
  return 100.0 * doubleGetter(object, offset);
}

void doublePercentSetter(VornRuntimeObject* object, int32_t offset, double value) {
  doubleSetter(object, offset, 0.01 * value);
}

}  // extern "C"
