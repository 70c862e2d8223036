#include "controls/canvas_class.h"

#include <cstddef>

#include "controls/control_assert.h"
#include "controls/control_support.h"
#include "controls/embedded_window_control.h"
#include "objects/runtime_object.h"
#include "vorn/controls_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define CANVAS_FIELD(member) FieldOffset(offsetof(CanvasObject, fields) + offsetof(CanvasFields, member))
constexpr int32_t kBackdropOffset = CANVAS_FIELD(backdrop);
constexpr int32_t kAcceptFocusOffset = CANVAS_FIELD(acceptFocus);
constexpr int32_t kAcceptTabsOffset = CANVAS_FIELD(acceptTabs);
constexpr int32_t kUseFocusRingOffset = CANVAS_FIELD(useFocusRing);
constexpr int32_t kEraseBackgroundOffset = CANVAS_FIELD(eraseBackground);
#undef CANVAS_FIELD

constexpr int32_t kDefaultExtent = -10000;

const PropertyRow kProperties[] = {
    {0, "Graphics", "o<Graphics>", Fn(&canvasGraphicsGetter), "canvasGraphicsGetter", nullptr, nullptr, 0, 0},
    {0, "Backdrop", "o<Picture>", Fn(&objGetter), "objGetter", Fn(&canvasBackdropSetter), "canvasBackdropSetter",
     kBackdropOffset, 0},
    {0, "AcceptFocus", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter", kAcceptFocusOffset, 0},
    {0, "AcceptTabs", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter", kAcceptTabsOffset, 0},
    {0, "UseFocusRing", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter", kUseFocusRingOffset, 0},
    {0, "EraseBackground", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     kEraseBackgroundOffset, 0},
};

EventRow sEvents[] = {
    {0, "Paint", "g As Graphics", "", nullptr, 0},
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
    {0, "KeyDown", "Key As String", "Boolean", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "EnableMenuItems", "", "", nullptr, 0},
};

const ParamRow kScrollParams[] = {
    {"dx", "i4", 0, 0},
    {"dy", "i4", 0, 0},
    {"x", "i4", kParamHasDefault, 0},
    {"y", "i4", kParamHasDefault, 0},
    {"width", "i4", kParamHasDefault, kDefaultExtent},
    {"height", "i4", kParamHasDefault, kDefaultExtent},
    {"moveControls", "b", kParamHasDefault, 1},
};
const MethodRow kMethods[] = {
    {"Scroll", "", kScrollParams, 7, Fn(&canvasScroll), "canvasScroll", nullptr, nullptr, 0, 0},
};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&CanvasCreatePane), "CanvasCreatePane"}};

CanvasHooks sHooks;

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Canvas");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(CanvasObject));
  definition->mInitializer = {Fn(&RuntimeCanvasInitializer), "RuntimeCanvasInitializer"};
  definition->mFinalizer = {Fn(&RuntimeCanvasDestructor), "RuntimeCanvasDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetEventList(definition, sEvents, RowCount(sEvents));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  AddEventImplementations(definition, kImpl, RowCount(kImpl));
  sHooks.paint = sEvents[0].hook;
  sHooks.gotFocus = sEvents[1].hook;
  sHooks.lostFocus = sEvents[2].hook;
  sHooks.keyDown = sEvents[3].hook;
  sHooks.mouse = {sEvents[4].hook, sEvents[5].hook, sEvents[6].hook};
  sHooks.enableMenuItems = sEvents[7].hook;
  return definition;
}

RuntimeCanvas* PaneOf(CanvasObject* object) {
  return object ? dynamic_cast<RuntimeCanvas*>(ControlPane(&object->base)) : nullptr;
}

}  // namespace

ObjectDefinition* GetCanvasClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

const CanvasHooks* CanvasEventHooks() {
  GetCanvasClassDefinition();
  return &sHooks;
}

CanvasObject* AsCanvasObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetCanvasClassDefinition())
             ? reinterpret_cast<CanvasObject*>(object)
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* canvasGraphicsGetter(VornRuntimeObject* canvas, int32_t) {
  CanvasObject* object = AsCanvasObject(canvas);
  return object ? CanvasGraphicsObject(PaneOf(object), &object->fields) : nullptr;
}

void canvasBackdropSetter(VornRuntimeObject* canvas, int32_t, VornRuntimeObject* picture) {
  CanvasObject* object = AsCanvasObject(canvas);
  if (!object) return;
  RuntimeLockObject(picture);
  RuntimeObject* old = object->fields.backdrop;
  object->fields.backdrop = picture;
  RuntimeUnlockObject(old);
  if (RuntimeCanvas* pane = PaneOf(object)) pane->Invalidate(true);
}

void canvasScroll(VornRuntimeObject* canvas, int32_t dx, int32_t dy, int32_t x, int32_t y, int32_t width,
                  int32_t height, uint8_t moveControls) {
  if (RuntimeCanvas* pane = PaneOf(AsCanvasObject(canvas))) {
    pane->Scroll(dx, dy, x, y, width, height, moveControls != 0);
  }
}

void CanvasCreatePane(VornRuntimeObject* canvas) {
  CanvasObject* object = AsCanvasObject(canvas);
  if (!object) return;
  ControlObject* c = &object->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  Rect bounds = GetControlBounds(c);
  if (AsEmbeddedWindowControl(canvas)) {
    // A container is as large as its template window was designed.
    int32_t width = 0, height = 0;
    if (EmbeddedTemplateSize(canvas, &width, &height)) {
      bounds.right = static_cast<int16_t>(bounds.left + width);
      bounds.bottom = static_cast<int16_t>(bounds.top + height);
    } else {
      ReportControlAssertion(kCanvasSource, __LINE__, "tw");
    }
  }
  auto* pane = new RuntimeCanvas(ControlParentPane(c), c->tabPanelIndex, bounds, c->visible != 0);
  AttachControlPane(c, pane);
  pane->SetOwner(canvas, CanvasEventHooks(), &object->fields);
  pane->SetTemplate(EmbeddedTemplateLink(canvas));
}

void RuntimeCanvasInitializer(VornRuntimeObject*) {}

void RuntimeCanvasDestructor(VornRuntimeObject* canvas) {
  CanvasObject* object = AsCanvasObject(canvas);
  if (!object) return;
  if (RuntimeCanvas* pane = PaneOf(object)) {
    // The pane may stay in its window a while; it must not reach this object's fields.
    pane->SetOwner(nullptr, nullptr, nullptr);
    pane->SetTemplate(nullptr);
  }
  RuntimeObject* graphics = object->fields.graphics;
  RuntimeObject* backdrop = object->fields.backdrop;
  object->fields.graphics = nullptr;
  object->fields.backdrop = nullptr;
  RuntimeUnlockObject(graphics);
  RuntimeUnlockObject(backdrop);
}

}  // extern "C"
