// Draws 2D objects through a drawing port: shapes become integer polygons, lines, native
// ovals, text and picture copies. Made on the stack around one port for one draw request.
#pragma once

#include <cstdint>
#include <optional>

#include "graphics/graphics.h"
#include "graphics/object2d.h"

namespace vorn {

class ShapePlotter {
 public:
  explicit ShapePlotter(Graphics* port) : mPort(port) {}
  virtual ~ShapePlotter() = default;

  // Groups nested deeper than depth are left out.
  virtual void Draw(RuntimeObject* object, int32_t depth);
  // Draws the object moved by (x, y) and moves it back.
  virtual void DrawAt(RuntimeObject* object, double x, double y);

  static constexpr int32_t kMaxDepth = 128;

 protected:
  virtual void DrawOpenShape(Object2DFields* object);
  virtual void DrawOvalShape(Object2DFields* object);
  virtual void DrawBoxShape(Object2DFields* object);
  virtual void DrawStringShape(Object2DFields* object);
  virtual void DrawPixmapShape(Object2DFields* object);
  virtual void DrawFigureShape(Object2DFields* object);
  virtual void DrawPolygonShape(Object2DFields* object, const PointList& points);

 private:
  // Whether a fill, text or border of that opacity is drawn; sets the port's opacity if so.
  bool Visible(double opacity);
  void PaneOffset(int32_t* left, int32_t* top) const;
  // Fills the outline by the opacity rule; when a border is to be drawn, sets its colour and
  // answers its width in pixels.
  std::optional<double> FillAndBeginBorder(Object2DFields* object, const PointList& points);
  // A filled polygon of the points, vertices rounded (or truncated for border bands).
  void FillPoints(const PointList& points, bool round);
  struct SourceBox {
    int32_t left, top, width, height;
  };
  void DrawRotatedString(const StringShapeFields* shape, double angle);
  // False when the offscreen squares could not be had: the border is then left out too.
  bool DrawRotatedPixmap(const PixmapShapeFields* shape, Drawable* source, Drawable* sourceMask, const SourceBox& s,
                         int32_t dw, int32_t dh);

  Graphics* mPort;
};

// Truncation toward zero pinned to the 32-bit range, NaN giving 0: shapes may hold any
// double, and converting one beyond the range is undefined.
int32_t TruncPinned(double v);
// Failed assertions of the plotter (code 4).
void ReportPlotterAssertion(int32_t line, const char* condition);

// The box of width x height at (left, top) turned by angle about its centre: the bounds of
// the result, a pixel of margin on each side. Nil pointers are reported.
void RotatedBounds(int32_t* left, int32_t* top, int32_t* width, int32_t* height, double angle);
// Whether each edge of the four corners runs along an axis within the tolerance.
bool IsAxisAlignedBox(const PointList& corners, double tolerance);
// The segment p0-p1 moved sideways by distance.
void OffsetSegment(const Point2D& p0, const Point2D& p1, Point2D* q0, Point2D* q1, double distance);
// Outlines moved sideways by distance, corners mitred.
void OffsetClosedOutline(const PointList& points, PointList* out, double distance);
void OffsetOpenOutline(const PointList& points, PointList* out, double distance);
void OffsetArcOutline(const PointList& points, PointList* out, double distance);

}  // namespace vorn
