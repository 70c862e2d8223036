// The language's 2D objects: one record layout per kind, told apart by a four-character tag
// that every operation branches on (the objects have no virtual methods of their own). Box
// shapes are centred on (X, Y); curves and figures hold absolute points; groups push their
// moves, turns and scalings into their members when they are set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/vstring.h"

namespace vorn {

constexpr uint32_t FourCharCode(const char (&code)[5]) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) | static_cast<uint8_t>(code[3]);
}

constexpr uint32_t kTagObject2D = FourCharCode("ob2D");
constexpr uint32_t kTagRect = FourCharCode("rect");
constexpr uint32_t kTagRoundRect = FourCharCode("roun");
constexpr uint32_t kTagOval = FourCharCode("oval");
constexpr uint32_t kTagArc = FourCharCode("arc ");
constexpr uint32_t kTagPixmap = FourCharCode("pix ");
constexpr uint32_t kTagString = FourCharCode("strn");
constexpr uint32_t kTagCurve = FourCharCode("curv");
constexpr uint32_t kTagGroup = FourCharCode("grup");
constexpr uint32_t kTagFigure = FourCharCode("figr");

struct Object2DFields {
  RuntimeObject header;
  uint32_t tag;
  uint32_t fillColor;    // &h00RRGGBB, fills and text
  uint32_t borderColor;  // &h00RRGGBB
  double x;              // reference point; y grows downwards
  double y;
  double rotation;  // radians, clockwise on screen
  double scale;
  double fill;    // opacity fractions: 1.0 is opaque
  double border;
  double borderWidth;  // pixels before scaling
};

struct RectShapeFields {
  Object2DFields base;
  double width;
  double height;
};

struct RoundRectShapeFields {
  RectShapeFields rect;
  double cornerWidth;
  double cornerHeight;
  int32_t segments;  // 0: chosen from the size
};

struct OvalShapeFields {
  RectShapeFields rect;
  int32_t segments;
};

struct ArcShapeFields {
  OvalShapeFields oval;
  double startAngle;  // kept in [0, 2 pi)
  double arcAngle;
};

struct PixmapShapeFields {
  RectShapeFields rect;
  RuntimeObject* image;  // a Picture, one reference held
  int32_t sourceLeft;
  int32_t sourceTop;
  int32_t sourceWidth;
  int32_t sourceHeight;
};

struct StringShapeFields {
  Object2DFields base;
  double textSize;
  StringRep* text;  // one reference each
  StringRep* textFont;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
};

struct CurveShapeFields {
  Object2DFields base;  // (x, y) is the start point
  double x2;
  double y2;
  double control[2][2];  // (x, y) of control points 0 and 1
  int32_t order;         // 0 line, 1 quadratic, 2 cubic
  int32_t segments;
};

// The member list of groups and figures; each item holds one reference.
struct ObjectList {
  int32_t step;
  RuntimeObject** items;
  int32_t count;
  int32_t capacity;
};

struct Group2DFields {
  Object2DFields base;
  ObjectList list;
};

struct Point2D {
  double x;
  double y;
};
using PointList = std::vector<Point2D>;

ObjectDefinition* GetObject2DClassDefinition();
ObjectDefinition* GetRectShapeClassDefinition();
ObjectDefinition* GetRoundRectShapeClassDefinition();
ObjectDefinition* GetOvalShapeClassDefinition();
ObjectDefinition* GetArcShapeClassDefinition();
ObjectDefinition* GetPixmapShapeClassDefinition();
ObjectDefinition* GetStringShapeClassDefinition();
ObjectDefinition* GetCurveShapeClassDefinition();
ObjectDefinition* GetGroup2DClassDefinition();
ObjectDefinition* GetFigureShapeClassDefinition();
// Enters the ten classes in the intrinsic class map, base classes first.
void RegisterShapes2DClasses();

// The 2D fields of an object, nil for nil or an object of another class.
Object2DFields* Object2DOf(RuntimeObject* object);
// The tag of a 2D object; 0 for anything else.
uint32_t Object2DTag(RuntimeObject* object);
bool IsGroupTag(uint32_t tag);

// What setting X/Y, Rotation and Scale does (groups and curves carry their members along).
void MoveObjectTo(Object2DFields* object, double x, double y);
void SetObjectRotation(Object2DFields* object, double angle);
void SetObjectScale(Object2DFields* object, double factor);

// Points relative to the reference point to port coordinates: rotated, scaled, moved.
void TransformShapePoints(const Object2DFields* object, PointList* points);
// The reverse, for hit tests; a nil point is reported.
void InverseTransformPoint(const Object2DFields* object, Point2D* point);

// The member list: append, insert (false when out of range), remove at index.
void ObjectListAppend(ObjectList* list, RuntimeObject* object);
bool ObjectListInsert(ObjectList* list, int32_t index, RuntimeObject* object);
void ObjectListRemoveAt(ObjectList* list, int32_t index);
// Gives back capacity after removals, by the list's growth step.
void ObjectListShrink(ObjectList* list);

// Outlines in port coordinates (already transformed) for the plotter.
void RectOutline(const RectShapeFields* shape, PointList* points);
void RoundRectOutline(const RoundRectShapeFields* shape, PointList* points);
void OvalOutline(const OvalShapeFields* shape, PointList* points);
// The arc points and then the centre.
void ArcOutline(const ArcShapeFields* shape, PointList* points);
// The curve points and then the chord's midpoint.
void CurvePoints(const CurveShapeFields* curve, PointList* points);
// All member curves as one polygon.
void FigurePoints(const Group2DFields* figure, PointList* points);

// x modulo 2 pi with the sign of x.
double Remainder2Pi(double x);

inline constexpr const char* kShapesSource = "../Common/Graphics2D/Object2D";
inline constexpr double kPi = 3.14159265358979323846;

}  // namespace vorn
