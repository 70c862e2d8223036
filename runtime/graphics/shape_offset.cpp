// Outlines moved sideways for thick borders: each segment moves by the distance along its
// normal and neighbouring segments meet where their lines cross (mitre joins).
#include <cmath>

#include "graphics/shape_plotter.h"

namespace vorn {

namespace {

struct Segment {
  Point2D p0;
  Point2D p1;
};

Segment Offset(const Point2D& p0, const Point2D& p1, double distance) {
  Segment s;
  OffsetSegment(p0, p1, &s.p0, &s.p1, distance);
  return s;
}

// Where the lines of a (the previous segment) and b cross; b's end for parallel lines.
Point2D Joint(const Segment& a, const Segment& b) {
  const double ax = a.p1.x - a.p0.x, ay = a.p1.y - a.p0.y;
  const double bx = b.p1.x - b.p0.x, by = b.p1.y - b.p0.y;
  const double c = ax * by - ay * bx;
  if (c > -1e-10 && c < 1e-10) return b.p1;
  const double s = ((b.p0.x - a.p0.x) * by - (b.p0.y - a.p0.y) * bx) / c;
  return {a.p0.x + ax * s, a.p0.y + ay * s};
}

}  // namespace

void OffsetSegment(const Point2D& p0, const Point2D& p1, Point2D* q0, Point2D* q1, double distance) {
  const double dx = p1.x - p0.x, dy = p1.y - p0.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  // A segment of no length has no direction: it stays where it is.
  const double ux = length > 0 ? dy / length : 0, uy = length > 0 ? -dx / length : 0;
  *q0 = {p0.x + distance * ux, p0.y + distance * uy};
  *q1 = {p1.x + distance * ux, p1.y + distance * uy};
}

void OffsetClosedOutline(const PointList& p, PointList* out, double distance) {
  const size_t n = p.size();
  out->assign(n, {0, 0});
  if (n == 0) return;
  Segment previous = Offset(p[n - 1], p[0], distance);
  for (size_t i = 0; i < n; ++i) {
    const Segment current = Offset(p[i], p[(i + 1) % n], distance);
    (*out)[i] = Joint(previous, current);
    previous = current;
  }
}

void OffsetOpenOutline(const PointList& p, PointList* out, double distance) {
  const size_t n = p.size();
  *out = p;
  if (n < 3) return;
  (*out)[0] = Offset(p[0], p[1], distance).p0;
  for (size_t i = 1; i < n - 2; ++i) (*out)[i] = Joint(Offset(p[i - 1], p[i], distance), Offset(p[i], p[i + 1], distance));
  (*out)[n - 2] = Offset(p[n - 3], p[n - 2], distance).p1;
  (*out)[n - 1] = p[n - 1];
}

void OffsetArcOutline(const PointList& p, PointList* out, double distance) {
  const size_t n = p.size();
  out->assign(n, {0, 0});
  if (n < 2) {
    *out = p;
    return;
  }
  const Point2D centre = p[n - 1];
  // The band's ends are cut along the radii, which are not moved.
  Segment previous{centre, p[0]};
  for (size_t i = 0; i < n; ++i) {
    const Segment current = i + 2 < n ? Offset(p[i], p[i + 1], distance) : Segment{p[i], centre};
    (*out)[i] = Joint(previous, current);
    previous = current;
  }
}

}  // namespace vorn
