#include "controls/shape_classes.h"

#include <iterator>

#include "controls/control_hooks.h"
#include "controls/control_support.h"
#include "controls/shape_logic.h"
#include "vorn/object_abi.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "vorn/controls2_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

static_assert(sizeof(LineObject) < 0x400 && sizeof(RectangleObject) < 0x400, "offsets fit in ten bits");

#define COLOR_ROW(Name, Type, member, field)                                                       \
  PropertyRow {                                                                                    \
    0, Name, "c", Fn(&paneIntGetter), "paneIntGetter", Fn(&paneIntSetter), "paneIntSetter",        \
        PaneFieldParam(offsetof(Type, member), field), 0                                           \
  }
#define SIZE_ROW(Name, Type, member, field)                                                        \
  PropertyRow {                                                                                    \
    0, Name, "i4", Fn(&paneShortGetter), "paneShortGetter", Fn(&paneShortSetter), "paneShortSetter", \
        PaneFieldParam(offsetof(Type, member), field), 0                                           \
  }
#define LINE_POS_ROW(Name, member)                                                                 \
  PropertyRow {                                                                                    \
    0, Name, "i4", Fn(&intGetter), "intGetter", Fn(&linePosSetter), "linePosSetter",               \
        static_cast<int32_t>(offsetof(LineObject, member)), 0                                      \
  }

const PropertyRow kRectangleRows[] = {
    COLOR_ROW("FillColor", RectangleObject, fillColor, kShapeFillColor),
    SIZE_ROW("BorderWidth", RectangleObject, borderWidth, kShapeBorderWidth),
    COLOR_ROW("TopLeftColor", RectangleObject, topLeftColor, kShapeTopLeftColor),
    COLOR_ROW("BottomRightColor", RectangleObject, bottomRightColor, kShapeBottomRightColor),
};

const PropertyRow kRoundRectangleRows[] = {
    COLOR_ROW("FillColor", RoundRectangleObject, fillColor, kShapeFillColor),
    SIZE_ROW("BorderWidth", RoundRectangleObject, borderWidth, kShapeBorderWidth),
    COLOR_ROW("BorderColor", RoundRectangleObject, borderColor, kShapeBorderColor),
    SIZE_ROW("OvalWidth", RoundRectangleObject, ovalWidth, kShapeOvalWidth),
    SIZE_ROW("OvalHeight", RoundRectangleObject, ovalHeight, kShapeOvalHeight),
};

const PropertyRow kOvalRows[] = {
    COLOR_ROW("FillColor", OvalObject, fillColor, kShapeFillColor),
    SIZE_ROW("BorderWidth", OvalObject, borderWidth, kShapeBorderWidth),
    COLOR_ROW("BorderColor", OvalObject, borderColor, kShapeBorderColor),
};

const PropertyRow kLineRows[] = {
    LINE_POS_ROW("X1", x1),
    LINE_POS_ROW("X2", x2),
    LINE_POS_ROW("Y1", y1),
    LINE_POS_ROW("Y2", y2),
    SIZE_ROW("BorderWidth", LineObject, borderWidth, kShapeBorderWidth),
    COLOR_ROW("LineColor", LineObject, lineColor, kShapeLineColor),
};

#undef COLOR_ROW
#undef SIZE_ROW
#undef LINE_POS_ROW

// One set of mouse events per class; the hooks are filled when the class is built.
struct ShapeClass {
  EventRow events[3] = {
      {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
      {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
      {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
  };
  ControlMouseHooks hooks;
  ObjectDefinition* definition = nullptr;
  const PropertyRow* rows = nullptr;
  size_t rowCount = 0;
};

ShapeClass sRectangle, sRoundRectangle, sOval, sLine;

ObjectDefinition* Build(ShapeClass& shape, const char* name, size_t size, const PropertyRow* rows, size_t count,
                        const EventImplRow& createPane) {
  auto* definition = new ObjectDefinition();
  definition->mName = string(name);
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(size);
  definition->SetInstanceVariables(BuildPropertyList(rows, static_cast<int32_t>(count)));
  SetEventList(definition, shape.events, 3);
  AddEventImplementations(definition, &createPane, 1);
  shape.hooks = {shape.events[0].hook, shape.events[1].hook, shape.events[2].hook};
  shape.definition = definition;
  shape.rows = rows;
  shape.rowCount = count;
  return definition;
}

// The control of the shape class, ready for its first pane; nil otherwise.
ControlObject* ControlForNewPane(RuntimeObject* ctl, const ShapeClass& shape) {
  if (!ctl || !shape.definition || !RuntimeObjectIsaDefinition(ctl, shape.definition)) return nullptr;
  ControlObject* c = AsControl(ctl);
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return nullptr;
  }
  return ControlParentPane(c) ? c : nullptr;
}

// The common end of the CreatePane implementations: the pane takes every setting the class's
// rows keep for it (read from the object, as the accessors do before a pane exists), joins
// the control and raises the class's mouse events.
void Attach(ControlObject* c, ShapePane* pane, const ShapeClass& shape) {
  RuntimeObject* ctl = AsObject(c);
  for (size_t i = 0; i < shape.rowCount; ++i) {
    const PropertyRow& row = shape.rows[i];
    if (row.getter == Fn(&paneIntGetter) || row.getter == Fn(&paneShortGetter)) {
      auto getter = reinterpret_cast<int32_t (*)(VornRuntimeObject*, int32_t)>(row.getter);
      pane->SetField(PaneParamField(row.param), getter(ctl, row.param));
    }
  }
  AttachControlPane(c, pane);
  pane->Mouse().SetOwner(ctl, &shape.hooks);
}

template <typename PaneClass>
void MakeBoxPane(RuntimeObject* ctl, const ShapeClass& shape) {
  ControlObject* c = ControlForNewPane(ctl, shape);
  if (!c) return;
  Attach(c, new PaneClass(ControlParentPane(c), c->tabPanelIndex, GetControlBounds(c)), shape);
}

}  // namespace

ObjectDefinition* GetRectangleClassDefinition() {
  static ObjectDefinition* d = Build(sRectangle, "Rectangle", sizeof(RectangleObject), kRectangleRows,
                                     std::size(kRectangleRows), {"CreatePane", Fn(&RectCreatePane), "RectCreatePane"});
  return d;
}

ObjectDefinition* GetRoundRectangleClassDefinition() {
  static ObjectDefinition* d =
      Build(sRoundRectangle, "RoundRectangle", sizeof(RoundRectangleObject), kRoundRectangleRows,
            std::size(kRoundRectangleRows), {"CreatePane", Fn(&RoundRectCreatePane), "RoundRectCreatePane"});
  return d;
}

ObjectDefinition* GetOvalClassDefinition() {
  static ObjectDefinition* d = Build(sOval, "Oval", sizeof(OvalObject), kOvalRows, std::size(kOvalRows),
                                     {"CreatePane", Fn(&OvalCreatePane), "OvalCreatePane"});
  return d;
}

ObjectDefinition* GetLineClassDefinition() {
  static ObjectDefinition* d = Build(sLine, "Line", sizeof(LineObject), kLineRows, std::size(kLineRows),
                                     {"CreatePane", Fn(&LineCreatePane), "LineCreatePane"});
  return d;
}

void RegisterShapeClasses() {
  RegisterIntrinsicClass("Rectangle", &GetRectangleClassDefinition);
  RegisterIntrinsicClass("RoundRectangle", &GetRoundRectangleClassDefinition);
  RegisterIntrinsicClass("Oval", &GetOvalClassDefinition);
  RegisterIntrinsicClass("Line", &GetLineClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void RectCreatePane(VornRuntimeObject* ctl) {
  GetRectangleClassDefinition();
  MakeBoxPane<EditRect>(ctl, sRectangle);
}

void RoundRectCreatePane(VornRuntimeObject* ctl) {
  GetRoundRectangleClassDefinition();
  MakeBoxPane<EditRoundRect>(ctl, sRoundRectangle);
}

void OvalCreatePane(VornRuntimeObject* ctl) {
  GetOvalClassDefinition();
  MakeBoxPane<EditOval>(ctl, sOval);
}

void LineCreatePane(VornRuntimeObject* ctl) {
  GetLineClassDefinition();
  ControlObject* c = ControlForNewPane(ctl, sLine);
  if (!c) return;
  auto* o = reinterpret_cast<LineObject*>(ctl);
  Attach(c, new EditLine(ControlParentPane(c), c->tabPanelIndex, o->x1, o->y1, o->x2, o->y2), sLine);
}

void linePosSetter(VornRuntimeObject* ctl, int32_t param, int32_t value) {
  if (!ctl || !RuntimeObjectIsaDefinition(ctl, GetLineClassDefinition())) return;
  auto* object = reinterpret_cast<LineObject*>(ctl);
  // Only the four end-point fields: the parameter comes from compiled code.
  if (param != static_cast<int32_t>(offsetof(LineObject, x1)) && param != static_cast<int32_t>(offsetof(LineObject, x2)) &&
      param != static_cast<int32_t>(offsetof(LineObject, y1)) && param != static_cast<int32_t>(offsetof(LineObject, y2))) {
    return;
  }
  intSetter(ctl, param, value);
  ControlObject* c = &object->base;
  auto* pane = dynamic_cast<EditLine*>(ControlPane(c));
  Rect bounds = LineBoundsWithBorder(object->x1, object->y1, object->x2, object->y2, object->borderWidth);
  // The line leaves its old place: that area is redrawn as well as the new one.
  if (pane) pane->Invalidate(true);
  if (pane) pane->SetEndPoints(object->x1, object->y1, object->x2, object->y2);
  SetControlBounds(c, bounds);
  if (pane) {
    pane->SetBounds(bounds, true);
    pane->Invalidate(true);
  }
}

}  // extern "C"
