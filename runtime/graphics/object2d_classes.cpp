// The class tables of the 2D object classes, in the order the language declares their
// members. Each getter builds its definition once, its superclass's first.
#include "graphics/object2d.h"
#include "objects/class_registry.h"
#include "vorn/shapes_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

template <typename Fields>
constexpr int32_t Offset(size_t offset) {
  static_assert(sizeof(Fields) < 0x10000, "offsets fit the parameter word");
  return static_cast<int32_t>(offset);
}

#define VORN_ROW(name, type, getter, setter, Fields, member) \
  {0, name, type, Fn(&getter), #getter, Fn(&setter), #setter, Offset<Fields>(offsetof(Fields, member)), 0}

const PropertyRow kObject2DRows[] = {
    VORN_ROW("X", "f8", doubleGetter, Object2DDoubleSetter, Object2DFields, x),
    VORN_ROW("Y", "f8", doubleGetter, Object2DDoubleSetter, Object2DFields, y),
    VORN_ROW("Rotation", "f8", doubleGetter, Object2DDoubleSetter, Object2DFields, rotation),
    VORN_ROW("Scale", "f8", doubleGetter, Object2DDoubleSetter, Object2DFields, scale),
    VORN_ROW("Fill", "f8", doublePercentGetter, doublePercentSetter, Object2DFields, fill),
    VORN_ROW("FillColor", "c", intGetter, intSetter, Object2DFields, fillColor),
    VORN_ROW("Border", "f8", doublePercentGetter, doublePercentSetter, Object2DFields, border),
    VORN_ROW("BorderColor", "c", intGetter, intSetter, Object2DFields, borderColor),
    VORN_ROW("BorderWidth", "f8", doubleGetter, doubleSetter, Object2DFields, borderWidth),
};

const PropertyRow kRectRows[] = {
    VORN_ROW("Width", "f8", doubleGetter, doubleSetter, RectShapeFields, width),
    VORN_ROW("Height", "f8", doubleGetter, doubleSetter, RectShapeFields, height),
};

const PropertyRow kRoundRectRows[] = {
    VORN_ROW("CornerWidth", "f8", doubleGetter, doubleSetter, RoundRectShapeFields, cornerWidth),
    VORN_ROW("CornerHeight", "f8", doubleGetter, doubleSetter, RoundRectShapeFields, cornerHeight),
    VORN_ROW("Segments", "i4", intGetter, intSetter, RoundRectShapeFields, segments),
};

const PropertyRow kOvalRows[] = {
    VORN_ROW("Segments", "i4", intGetter, intSetter, OvalShapeFields, segments),
};

const PropertyRow kArcRows[] = {
    VORN_ROW("StartAngle", "f8", doubleGetter, ArcStartAngleSetter, ArcShapeFields, startAngle),
    VORN_ROW("ArcAngle", "f8", doubleGetter, doubleSetter, ArcShapeFields, arcAngle),
};

const PropertyRow kPixmapRows[] = {
    VORN_ROW("Image", "o<Picture>", objGetter, objSetter, PixmapShapeFields, image),
    VORN_ROW("SourceLeft", "i4", intGetter, intSetter, PixmapShapeFields, sourceLeft),
    VORN_ROW("SourceTop", "i4", intGetter, intSetter, PixmapShapeFields, sourceTop),
    VORN_ROW("SourceWidth", "i4", intGetter, intSetter, PixmapShapeFields, sourceWidth),
    VORN_ROW("SourceHeight", "i4", intGetter, intSetter, PixmapShapeFields, sourceHeight),
};

const PropertyRow kStringRows[] = {
    VORN_ROW("TextSize", "f8", doubleGetter, doubleSetter, StringShapeFields, textSize),
    VORN_ROW("Text", "s", stringGetter, stringSetter, StringShapeFields, text),
    VORN_ROW("TextFont", "s", stringGetter, stringSetter, StringShapeFields, textFont),
    VORN_ROW("Bold", "b", boolGetter, boolSetter, StringShapeFields, bold),
    VORN_ROW("Italic", "b", boolGetter, boolSetter, StringShapeFields, italic),
    VORN_ROW("Underline", "b", boolGetter, boolSetter, StringShapeFields, underline),
};

const PropertyRow kCurveRows[] = {
    VORN_ROW("X2", "f8", doubleGetter, doubleSetter, CurveShapeFields, x2),
    VORN_ROW("Y2", "f8", doubleGetter, doubleSetter, CurveShapeFields, y2),
    VORN_ROW("Order", "i4", intGetter, CurveOrderSetter, CurveShapeFields, order),
    VORN_ROW("Segments", "i4", intGetter, intSetter, CurveShapeFields, segments),
};

const PropertyRow kGroupRows[] = {
    {0, "Count", "i4", Fn(&Group2DCount), "Group2DCount", nullptr, nullptr, 0, 0},
};

#undef VORN_ROW

constexpr ParamRow kPointParams[] = {{"x", "f8", 0, 0}, {"y", "f8", 0, 0}};
constexpr ParamRow kIndexParams[] = {{"index", "i4", 0, 0}};
constexpr ParamRow kImageParams[] = {{"image", "o<Picture>", 0, 0}};

const MethodRow kRectMethods[] = {
    {"Contains", "b", kPointParams, 2, Fn(&RectShapeContains), "RectShapeContains", nullptr, nullptr, 0, 0},
};

const MethodRow kPixmapMethods[] = {
    {"Constructor", "", kImageParams, 1, Fn(&PixmapShapeImageCtor), "PixmapShapeImageCtor", nullptr, nullptr, 0, 0},
};

const MethodRow kCurveMethods[] = {
    {"ControlX", "f8", kIndexParams, 1, Fn(&CurveGetControlX), "CurveGetControlX", Fn(&CurveSetControlX),
     "CurveSetControlX", 0, 0},
    {"ControlY", "f8", kIndexParams, 1, Fn(&CurveGetControlY), "CurveGetControlY", Fn(&CurveSetControlY),
     "CurveSetControlY", 0, 0},
};

// The member methods of Group2D and FigureShape differ only in the member class's name.
struct MemberParams {
  ParamRow object[1];
  ParamRow indexed[2];
};

constexpr MemberParams kGroupParams = {{{"object2D", "o<Object2D>", 0, 0}},
                                       {{"index", "i4", 0, 0}, {"object2D", "o<Object2D>", 0, 0}}};
constexpr MemberParams kFigureParams = {{{"curveShape", "o<CurveShape>", 0, 0}},
                                        {{"index", "i4", 0, 0}, {"curveShape", "o<CurveShape>", 0, 0}}};

#define VORN_MEMBER_METHODS(params, memberType)                                                                    \
  {"Append", "", params.object, 1, Fn(&Group2DAppend), "Group2DAppend", nullptr, nullptr, 0, 0},                  \
      {"Insert", "", params.indexed, 2, Fn(&Group2DInsert), "Group2DInsert", nullptr, nullptr, 0, 0},              \
      {"Item", memberType, kIndexParams, 1, Fn(&Group2DGetItem), "Group2DGetItem", Fn(&Group2DSetItem),            \
       "Group2DSetItem", 0, 0},                                                                                     \
      {"Remove", "", params.object, 1, Fn(&Group2DRemoveByObject), "Group2DRemoveByObject", nullptr, nullptr, 0,   \
       0},                                                                                                          \
      {"Remove", "", kIndexParams, 1, Fn(&Group2DRemoveByIndex), "Group2DRemoveByIndex", nullptr, nullptr, 0, 0}

const MethodRow kGroupMethods[] = {VORN_MEMBER_METHODS(kGroupParams, "o<Object2D>")};

constexpr ParamRow kLineParams[] = {{"x1", "f4", 0, 0}, {"y1", "f4", 0, 0}, {"x2", "f4", 0, 0}, {"y2", "f4", 0, 0}};
constexpr ParamRow kQuadParams[] = {{"x1", "f4", 0, 0}, {"y1", "f4", 0, 0}, {"x2", "f4", 0, 0},
                                    {"y2", "f4", 0, 0}, {"cx1", "f4", 0, 0}, {"cy1", "f4", 0, 0}};
constexpr ParamRow kCubicParams[] = {{"x1", "f4", 0, 0},  {"y1", "f4", 0, 0},  {"x2", "f4", 0, 0},
                                     {"y2", "f4", 0, 0},  {"cx1", "f4", 0, 0}, {"cy1", "f4", 0, 0},
                                     {"cx2", "f4", 0, 0}, {"cy2", "f4", 0, 0}};

const MethodRow kFigureMethods[] = {
    VORN_MEMBER_METHODS(kFigureParams, "o<CurveShape>"),
    {"AddLine", "", kLineParams, 4, Fn(&FigureShapeAddLine), "FigureShapeAddLine", nullptr, nullptr, 0, 0},
    {"AddQuad", "", kQuadParams, 6, Fn(&FigureShapeAddQuad), "FigureShapeAddQuad", nullptr, nullptr, 0, 0},
    {"AddCubic", "", kCubicParams, 8, Fn(&FigureShapeAddCubic), "FigureShapeAddCubic", nullptr, nullptr, 0, 0},
};

#undef VORN_MEMBER_METHODS

struct ClassSpec {
  const char* name;
  ObjectDefinition* super;
  size_t size;
  ProcEntry constructor;
  ProcEntry destructor;
  const PropertyRow* properties;
  int32_t propertyCount;
  const MethodRow* methods;
  int32_t methodCount;
};

void Build(ObjectDefinition* definition, const ClassSpec& spec) {
  BeginClassDefinition(definition, nullptr, 0);
  definition->mSuper = spec.super;
  definition->mInstanceSize = static_cast<int32_t>(spec.size);
  definition->mInitializer = spec.constructor;
  definition->mFinalizer = spec.destructor;
  if (spec.properties) definition->SetInstanceVariables(BuildPropertyList(spec.properties, spec.propertyCount));
  // Method signatures name the class, so the name comes first; it also marks the definition
  // as built.
  definition->mName = string(spec.name);
  if (spec.methods) SetMethodList(definition, spec.methods, spec.methodCount);
}

#define VORN_PROC(function) ProcEntry{Fn(&function), #function}

}  // namespace

ObjectDefinition* GetObject2DClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"Object2D", nullptr, sizeof(Object2DFields), VORN_PROC(Object2DConstructor), {}, kObject2DRows,
                        RowCount(kObject2DRows), nullptr, 0});
  return &definition;
}

ObjectDefinition* GetRectShapeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"RectShape", GetObject2DClassDefinition(), sizeof(RectShapeFields),
                        VORN_PROC(RectShapeConstructor), {}, kRectRows, RowCount(kRectRows), kRectMethods,
                        RowCount(kRectMethods)});
  return &definition;
}

ObjectDefinition* GetRoundRectShapeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"RoundRectShape", GetRectShapeClassDefinition(), sizeof(RoundRectShapeFields),
                        VORN_PROC(RoundRectShapeConstructor), {}, kRoundRectRows, RowCount(kRoundRectRows), nullptr,
                        0});
  return &definition;
}

ObjectDefinition* GetOvalShapeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"OvalShape", GetRectShapeClassDefinition(), sizeof(OvalShapeFields),
                        VORN_PROC(OvalShapeConstructor), {}, kOvalRows, RowCount(kOvalRows), nullptr, 0});
  return &definition;
}

ObjectDefinition* GetArcShapeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"ArcShape", GetOvalShapeClassDefinition(), sizeof(ArcShapeFields),
                        VORN_PROC(ArcShapeConstructor), {}, kArcRows, RowCount(kArcRows), nullptr, 0});
  return &definition;
}

ObjectDefinition* GetPixmapShapeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"PixmapShape", GetRectShapeClassDefinition(), sizeof(PixmapShapeFields),
                        VORN_PROC(PixmapShapeConstructor), VORN_PROC(PixmapShapeDestructor), kPixmapRows,
                        RowCount(kPixmapRows), kPixmapMethods, RowCount(kPixmapMethods)});
  return &definition;
}

ObjectDefinition* GetStringShapeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"StringShape", GetObject2DClassDefinition(), sizeof(StringShapeFields),
                        VORN_PROC(StringShapeConstructor), VORN_PROC(StringShapeDestructor), kStringRows,
                        RowCount(kStringRows), nullptr, 0});
  return &definition;
}

ObjectDefinition* GetCurveShapeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"CurveShape", GetObject2DClassDefinition(), sizeof(CurveShapeFields),
                        VORN_PROC(CurveShapeConstructor), {}, kCurveRows, RowCount(kCurveRows), kCurveMethods,
                        RowCount(kCurveMethods)});
  return &definition;
}

ObjectDefinition* GetGroup2DClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"Group2D", GetObject2DClassDefinition(), sizeof(Group2DFields),
                        VORN_PROC(Group2DConstructor), VORN_PROC(Group2DDestructor), kGroupRows,
                        RowCount(kGroupRows), kGroupMethods, RowCount(kGroupMethods)});
  return &definition;
}

ObjectDefinition* GetFigureShapeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty())
    Build(&definition, {"FigureShape", GetObject2DClassDefinition(), sizeof(Group2DFields),
                        VORN_PROC(FigureShapeConstructor), VORN_PROC(FigureShapeDestructor), kGroupRows,
                        RowCount(kGroupRows), kFigureMethods, RowCount(kFigureMethods)});
  return &definition;
}

void RegisterShapes2DClasses() {
  RegisterIntrinsicClassList({
      {"Object2D", GetObject2DClassDefinition},
      {"RectShape", GetRectShapeClassDefinition},
      {"RoundRectShape", GetRoundRectShapeClassDefinition},
      {"OvalShape", GetOvalShapeClassDefinition},
      {"ArcShape", GetArcShapeClassDefinition},
      {"PixmapShape", GetPixmapShapeClassDefinition},
      {"StringShape", GetStringShapeClassDefinition},
      {"CurveShape", GetCurveShapeClassDefinition},
      {"Group2D", GetGroup2DClassDefinition},
      {"FigureShape", GetFigureShapeClassDefinition},
  });
}

}  // namespace vorn
