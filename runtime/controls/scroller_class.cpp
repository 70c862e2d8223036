#include "controls/scroller_class.h"

#include <cstddef>
#include <utility>

#include "controls/control_support.h"
#include "objects/runtime_object.h"
#include "vorn/controls_api.h"
#include "windows/rect_control.h"
#include "windows/pane_disposal.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr int32_t kLiveScrollOffset =
    FieldOffset(offsetof(ScrollerObject, fields) + offsetof(ScrollerFields, liveScroll));

// The range rows both classes start with, in this order.
#define SCROLLER_RANGE_ROW(name, selector)                                                  \
  {0, name, "i4", Fn(&scrollerPropGetter), "scrollerPropGetter", Fn(&scrollerPropSetter), \
   "scrollerPropSetter", selector, 0}
#define SCROLLER_RANGE_ROWS                                                               \
  SCROLLER_RANGE_ROW("Minimum", kScrollerMinimum), SCROLLER_RANGE_ROW("Value", kScrollerValue), \
      SCROLLER_RANGE_ROW("Maximum", kScrollerMaximum),                                    \
      SCROLLER_RANGE_ROW("LineStep", kScrollerLineStep),                                  \
      SCROLLER_RANGE_ROW("PageStep", kScrollerPageStep)

const PropertyRow kScrollBarProperties[] = {
    SCROLLER_RANGE_ROWS,
    {0, "LiveScroll", "b", Fn(&boolGetter), "boolGetter", Fn(&ScrollerLiveScrollSetter),
     "ScrollerLiveScrollSetter", kLiveScrollOffset, 0},
    {0, "AcceptFocus", "b", Fn(&scrollerPropGetter), "scrollerPropGetter", Fn(&scrollerPropSetter),
     "scrollerPropSetter", kScrollerAcceptFocus, 0},
};

const PropertyRow kSliderProperties[] = {
    SCROLLER_RANGE_ROWS,
    {0, "LiveScroll", "b", Fn(&boolGetter), "boolGetter", Fn(&SliderLiveScrollSetter), "SliderLiveScrollSetter",
     kLiveScrollOffset, 0},
};

// Each class numbers its own copy of the rows.
#define SCROLLER_EVENT_ROWS                                                   \
  {0, "ValueChanged", "", "", nullptr, 0}, {0, "GotFocus", "", "", nullptr, 0}, \
      {0, "LostFocus", "", "", nullptr, 0},                                     \
      {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},    \
      {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},           \
      {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0}

EventRow sScrollBarEvents[] = {SCROLLER_EVENT_ROWS};
EventRow sSliderEvents[] = {SCROLLER_EVENT_ROWS};
#undef SCROLLER_EVENT_ROWS

enum ScrollerEvent { kEvValueChanged, kEvGotFocus, kEvLostFocus, kEvMouseDown, kEvMouseDrag, kEvMouseUp };

const EventImplRow kScrollBarImpl[] = {{"CreatePane", Fn(&ScrollBarCreatePane), "ScrollBarCreatePane"}};
const EventImplRow kSliderImpl[] = {{"CreatePane", Fn(&SliderCreatePane), "SliderCreatePane"}};

ScrollerEventHooks sScrollBarHooks;
ScrollerEventHooks sSliderHooks;

ScrollerEventHooks HooksFrom(EventRow* rows) {
  ScrollerEventHooks hooks;
  hooks.valueChanged = rows[kEvValueChanged].hook;
  hooks.gotFocus = rows[kEvGotFocus].hook;
  hooks.lostFocus = rows[kEvLostFocus].hook;
  hooks.mouse = {rows[kEvMouseDown].hook, rows[kEvMouseDrag].hook, rows[kEvMouseUp].hook};
  return hooks;
}

ObjectDefinition* BuildDefinition(const char* name, const PropertyRow* properties, int32_t propertyCount,
                                   EventRow* events, const EventImplRow* impl, void* destructor,
                                   const char* destructorName, ScrollerEventHooks* hooks) {
  auto* definition = new ObjectDefinition();
  definition->mName = string(name);
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ScrollerObject));
  definition->mFinalizer = {destructor, destructorName};
  definition->SetInstanceVariables(BuildPropertyList(properties, propertyCount));
  SetEventList(definition, events, 6);
  AddEventImplementations(definition, impl, 1);
  *hooks = HooksFrom(events);
  return definition;
}

Scroller* PaneOf(ScrollerObject* object) {
  return object ? dynamic_cast<Scroller*>(ControlPane(&object->base)) : nullptr;
}

void CreatePane(RuntimeObject* ctl, bool slider) {
  ScrollerObject* object = AsScrollerObject(ctl);
  if (!object) return;
  ControlObject* c = &object->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  const ScrollerEventHooks* hooks = slider ? SliderEventHooks() : ScrollBarEventHooks();
  // A control whose pane was closed makes a new one with the router it has.
  if (!object->router) {
    object->router = slider ? new RuntimeSliderRouter(ctl, hooks) : new RuntimeScrollerRouter(ctl, hooks);
  }
  SubPane* parent = ControlParentPane(c);
  Rect bounds = GetControlBounds(c);
  bool live = object->fields.liveScroll != 0;
  Scroller* pane = slider ? Scroller::NewSlider(object->router, parent, c->tabPanelIndex, bounds, live)
                          : Scroller::NewScrollBar(object->router, parent, c->tabPanelIndex, bounds, live);
  AttachControlPane(c, pane);
  pane->SetOwner(ctl, &hooks->mouse);
  FillScrollerPane(pane, object->router, object->fields);
}

void Destroy(RuntimeObject* ctl) {
  ScrollerObject* object = AsScrollerObject(ctl);
  if (!object) return;
  if (Scroller* pane = PaneOf(object)) {
    // The pane may outlive the object in its window; it must not reach either again.
    pane->SetScrollerDelegate(nullptr);
    pane->SetOwner(nullptr, nullptr);
  }
  DeleteAfterDispatch(std::exchange(object->router, nullptr));
}

void SetLiveScroll(RuntimeObject* ctl, uint8_t value) {
  ScrollerObject* object = AsScrollerObject(ctl);
  if (!object) return;
  object->fields.liveScroll = value ? 1 : 0;
  if (Scroller* pane = PaneOf(object)) pane->SetLiveScroll(value != 0);
}

}  // namespace

ObjectDefinition* GetScrollBarClassDefinition() {
  static ObjectDefinition* definition =
      BuildDefinition("ScrollBar", kScrollBarProperties, RowCount(kScrollBarProperties), sScrollBarEvents,
                      kScrollBarImpl, Fn(&scrollBarDestructor), "scrollBarDestructor", &sScrollBarHooks);
  return definition;
}

ObjectDefinition* GetSliderClassDefinition() {
  static ObjectDefinition* definition =
      BuildDefinition("Slider", kSliderProperties, RowCount(kSliderProperties), sSliderEvents, kSliderImpl,
                      Fn(&sliderDestructor), "sliderDestructor", &sSliderHooks);
  return definition;
}

const ScrollerEventHooks* ScrollBarEventHooks() {
  GetScrollBarClassDefinition();
  return &sScrollBarHooks;
}

const ScrollerEventHooks* SliderEventHooks() {
  GetSliderClassDefinition();
  return &sSliderHooks;
}

ScrollerObject* AsScrollerObject(RuntimeObject* object) {
  if (!object) return nullptr;
  if (!RuntimeObjectIsaDefinition(object, GetSliderClassDefinition()) &&
      !RuntimeObjectIsaDefinition(object, GetScrollBarClassDefinition())) {
    return nullptr;
  }
  return reinterpret_cast<ScrollerObject*>(object);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

int32_t scrollerPropGetter(VornRuntimeObject* ctl, int32_t index) {
  ScrollerObject* object = AsScrollerObject(ctl);
  if (!object) return 0;
  const ScrollerFields& f = object->fields;
  Scroller* pane = PaneOf(object);
  switch (index) {
    case kScrollerMinimum: return pane ? pane->GetMinimum() : f.minimum;
    case kScrollerValue: return pane ? pane->GetValue() : f.value;
    case kScrollerMaximum: return pane ? pane->GetMaximum() : f.maximum;
    case kScrollerLineStep: return pane ? pane->GetLineStep() : f.lineStep;
    case kScrollerPageStep: return pane ? pane->GetPageStep() : f.pageStep;
    case kScrollerAcceptFocus: return pane ? (pane->AcceptFocus() ? 1 : 0) : f.acceptFocus;
    default: return 0;
  }
}

void scrollerPropSetter(VornRuntimeObject* ctl, int32_t index, int32_t value) {
  ScrollerObject* object = AsScrollerObject(ctl);
  if (!object) return;
  ScrollerFields& f = object->fields;
  Scroller* pane = PaneOf(object);
  switch (index) {
    case kScrollerMinimum:
      if (pane) pane->SetMinimum(value);
      f.minimum = value;
      break;
    case kScrollerValue:
      if (pane) pane->SetValue(value);
      f.value = value;
      break;
    case kScrollerMaximum:
      if (pane) pane->SetMaximum(value);
      f.maximum = value;
      break;
    case kScrollerLineStep:
      if (pane) pane->SetLineStep(value);
      f.lineStep = value;
      break;
    case kScrollerPageStep:
      if (pane) pane->SetPageStep(value);
      f.pageStep = value;
      break;
    case kScrollerAcceptFocus: {
      // A Boolean property: only the low byte is the caller's.
      bool accept = (value & 0xFF) != 0;
      if (pane) pane->SetAcceptFocus(accept);
      f.acceptFocus = accept ? 1 : 0;
      break;
    }
    default: break;
  }
}

void ScrollerLiveScrollSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) { SetLiveScroll(ctl, value); }
void SliderLiveScrollSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) { SetLiveScroll(ctl, value); }

void ScrollBarCreatePane(VornRuntimeObject* ctl) { CreatePane(ctl, false); }
void SliderCreatePane(VornRuntimeObject* ctl) { CreatePane(ctl, true); }

void scrollBarDestructor(VornRuntimeObject* ctl) { Destroy(ctl); }
void sliderDestructor(VornRuntimeObject* ctl) { Destroy(ctl); }

}  // extern "C"
