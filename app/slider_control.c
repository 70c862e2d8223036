#include "slider_control.h"

#include <stddef.h>

#include "calculator_parameters.h"
#include "image_log.h"
#include "packed_stream.h"
#include "vorn/runtime_math.h"

VORN_LITERAL(kSliderClassName, "Slider");
VORN_LITERAL(kStaticTextClassName, "StaticText");
VORN_LITERAL(kSliderName, "Slider");
VORN_LITERAL(kTitleName, "TitleLabel");
VORN_LITERAL(kValueName, "ValueLabel");
VORN_LITERAL(kMinimumName, "MinimumLabel");
VORN_LITERAL(kMaximumName, "MaximumLabel");
VORN_LITERAL(kValueChanged, "ValueChanged");
VORN_LITERAL(kBar, "|");
VORN_LITERAL(kDefaultFormat, "0");

/* The event Changed: the first event after ContainerControl's. */
enum { kChangedEvent = kWindowEventCount };

static VornRuntimeClass *gSliderClass;
static VornRuntimeClass *gStaticTextClass;
static PackedStream gStream;

static SliderControlObject *Fields(VornRuntimeObject *object) { return (SliderControlObject *)object; }

/* Design values arrive as singles; every step of the calculator has at most six decimals. */
static double Quantize(double value) {
  if (!(value == value)) return 0.0;
  return RuntimeRound(value * 1e6) / 1e6;
}

static CalculatorParameter RangeOf(const SliderControlObject *fields) {
  CalculatorParameter range = {0, 0, 0, 0, fields->minimum, fields->maximum, fields->step, 0};
  return range;
}

static int32_t HasRange(const SliderControlObject *fields) {
  return fields->step > 0.0 && fields->maximum > fields->minimum;
}

/* The text of a value: its name when the control has names, else the number formatted. One
 * reference for the caller. */
static VornStringRecord *ValueText(SliderControlObject *fields, double value) {
  if (fields->names && HasRange(fields)) {
    CalculatorParameter range = RangeOf(fields);
    return StringNthField(fields->names, VORN_STR(kBar), ParameterPositionOf(&range, value) + 1);
  }
  return StringFormat(value, fields->format ? fields->format : VORN_STR(kDefaultFormat));
}

static void SetLabel(VornRuntimeObject *self, VornStringRecord *name, VornStringRecord *text) {
  VornRuntimeObject *label = RuntimeControlReference(self, name);
  if (!label) return;
  staticCaptionSetter(label, 0, text);
  RuntimeUnlockObject(label);
}

static void ShowValue(VornRuntimeObject *self, VornStringRecord *labelName, double value) {
  VornStringRecord *text = ValueText(Fields(self), value);
  SetLabel(self, labelName, text);
  RuntimeUnlockString(text);
}

/* Brings the slider and the captions in line with Minimum, Maximum, Step and Value. */
static void Synchronize(VornRuntimeObject *self) {
  SliderControlObject *fields = Fields(self);
  if (!HasRange(fields)) return;
  CalculatorParameter range = RangeOf(fields);
  int32_t count = ParameterPositionCount(&range);
  int32_t position = ParameterPositionOf(&range, fields->value);
  fields->value = ParameterValueAt(&range, position);
  VornRuntimeObject *slider = RuntimeControlReference(self, VORN_STR(kSliderName));
  if (slider) {
    scrollerPropSetter(slider, 0, 0);
    scrollerPropSetter(slider, 2, count);
    scrollerPropSetter(slider, 3, 1);
    scrollerPropSetter(slider, 4, count >= 20 ? count / 10 : 1);
    scrollerPropSetter(slider, 1, position);
    RuntimeUnlockObject(slider);
  }
  ShowValue(self, VORN_STR(kMinimumName), fields->minimum);
  ShowValue(self, VORN_STR(kMaximumName), fields->maximum);
  ShowValue(self, VORN_STR(kValueName), fields->value);
}

static void RaiseChanged(VornRuntimeObject *self) {
  void *handler = self->eventTable[kChangedEvent].handler;
  if (handler) ((void (*)(VornRuntimeObject *))handler)(self);
}

/* --- property setters -------------------------------------------------------------------- */

static void SetMinimum(VornRuntimeObject *self, int32_t param, double value) {
  (void)param;
  Fields(self)->minimum = Quantize(value);
  Synchronize(self);
}

static void SetMaximum(VornRuntimeObject *self, int32_t param, double value) {
  (void)param;
  Fields(self)->maximum = Quantize(value);
  Synchronize(self);
}

static void SetStep(VornRuntimeObject *self, int32_t param, double value) {
  (void)param;
  Fields(self)->step = Quantize(value);
  Synchronize(self);
}

static void SetValue(VornRuntimeObject *self, int32_t param, double value) {
  (void)param;
  double before = Fields(self)->value;
  Fields(self)->value = Quantize(value);
  Synchronize(self);
  if (Fields(self)->value != before) RaiseChanged(self);
}

static void SetNames(VornRuntimeObject *self, int32_t param, VornStringRecord *names) {
  stringSetter(self, param, names);
  Synchronize(self);
}

static void SetCaption(VornRuntimeObject *self, int32_t param, VornStringRecord *caption) {
  stringSetter(self, param, caption);
  SetLabel(self, VORN_STR(kTitleName), caption);
}

static void SetFormat(VornRuntimeObject *self, int32_t param, VornStringRecord *format) {
  stringSetter(self, param, format);
  Synchronize(self);
}

double SliderControlValue(VornRuntimeObject *control) { return control ? Fields(control)->value : 0.0; }

/* --- events ------------------------------------------------------------------------------ */

/* The Slider's ValueChanged, implemented in the container's code: "me" is the slider. */
static void OnSliderValueChanged(VornRuntimeObject *slider, int32_t previous) {
  (void)previous;
  VornRuntimeObject *self = slider, *me = 0;
  RuntimeExchangeSelfAndMe(&self, &me);
  if (!self || VORN_FAILED()) return;
  SliderControlObject *fields = Fields(self);
  if (HasRange(fields)) {
    CalculatorParameter range = RangeOf(fields);
    double value = ParameterValueAt(&range, scrollerPropGetter(me, 1));
    if (value != fields->value) {
      fields->value = value;
      ShowValue(self, VORN_STR(kValueName), value);
      RaiseChanged(self);
    }
  }
  RuntimeUnlockObject(self);
}

static void OnLayout(VornRuntimeObject *self) {
  PackedBegin(&gStream);
  PackedInteger(&gStream, kPropWindowWidth, kSliderControlWidth);
  PackedInteger(&gStream, kPropWindowHeight, kSliderControlHeight);
  RuntimeMassPropertySetter(self, PackedRecord(&gStream));
}

static void AddControl(VornRuntimeObject *self, VornRuntimeObject *control, VornStringRecord *name) {
  RuntimeMassPropertySetter(control, PackedRecord(&gStream));
  WindowAddControl(self, name, control);
  RuntimeUnlockObject(control);
}

static void BeginControl(int32_t left, int32_t top, int32_t width, int32_t height) {
  PackedBegin(&gStream);
  PackedInteger(&gStream, kPropControlIndex, (int32_t)0x80000000);
  PackedInteger(&gStream, kPropControlLeft, left);
  PackedInteger(&gStream, kPropControlTop, top);
  PackedInteger(&gStream, kPropControlWidth, width);
  PackedInteger(&gStream, kPropControlHeight, height);
  /* A control starts hidden and disabled; the designed state is part of every stream. */
  PackedBoolean(&gStream, kPropControlVisible, 1);
  PackedBoolean(&gStream, kPropControlEnabled, 1);
}

static void AddLabel(VornRuntimeObject *self, VornStringRecord *name, int32_t left, int32_t top,
                     int32_t width, int32_t height, int32_t align, int32_t bold, int32_t size) {
  VornRuntimeObject *label = WindowAllocateObject(self, gStaticTextClass);
  if (!label) return;
  BeginControl(left, top, width, height);
  PackedInteger(&gStream, kPropStaticTextAlign, align);
  if (size) PackedInteger(&gStream, kPropStaticTextSize, size);
  if (bold) PackedBoolean(&gStream, kPropStaticBold, 1);
  AddControl(self, label, name);
}

static void OnCreateControls(VornRuntimeObject *self) {
  const int32_t w = kSliderControlWidth;
  AddLabel(self, VORN_STR(kTitleName), 0, 0, w - 90, 18, kAlignLeft, 1, 0);
  AddLabel(self, VORN_STR(kValueName), w - 90, 0, 90, 18, kAlignRight, 1, 0);
  VornRuntimeObject *slider = WindowAllocateObject(self, gSliderClass);
  if (slider) {
    BeginControl(0, 18, w, 22);
    PackedBoolean(&gStream, kPropSliderLiveScroll, 1);
    RuntimeMassPropertySetter(slider, PackedRecord(&gStream));
    RuntimeInstallInstanceEventHandler(slider, VORN_STR(kValueChanged), (void *)OnSliderValueChanged);
    WindowAddControl(self, VORN_STR(kSliderName), slider);
    RuntimeUnlockObject(slider);
  }
  AddLabel(self, VORN_STR(kMinimumName), 0, 40, w / 2, 16, kAlignLeft, 0, 9);
  AddLabel(self, VORN_STR(kMaximumName), w / 2, 40, w / 2, 16, kAlignRight, 0, 9);
}

static void Finalize(VornRuntimeObject *self) {
  SliderControlObject *fields = Fields(self);
  RuntimeUnlockString(fields->names);
  RuntimeUnlockString(fields->caption);
  RuntimeUnlockString(fields->format);
  fields->names = fields->caption = fields->format = 0;
}

/* --- class ------------------------------------------------------------------------------- */

#define FIELD(name) ((int32_t)offsetof(SliderControlObject, name))

static const VornClassProperty kProperties[] = {
    {"Minimum%f8%", VORN_DIRECT_FIELD, 0, (void *)SetMinimum, 0, FIELD(minimum), 0},
    {"Maximum%f8%", VORN_DIRECT_FIELD, 0, (void *)SetMaximum, 0, FIELD(maximum), 0},
    {"Step%f8%", VORN_DIRECT_FIELD, 0, (void *)SetStep, 0, FIELD(step), 0},
    {"Value%f8%", VORN_DIRECT_FIELD, 0, (void *)SetValue, 0, FIELD(value), 0},
    {"Names%s%", VORN_DIRECT_FIELD, 0, (void *)SetNames, 0, FIELD(names), 0},
    {"Caption%s%", VORN_DIRECT_FIELD, 0, (void *)SetCaption, 0, FIELD(caption), 0},
    {"Format%s%", VORN_DIRECT_FIELD, 0, (void *)SetFormat, 0, FIELD(format), 0},
};

static const VornClassMember kEvents[] = {{"Changed%%o<SliderControl>", 0, 0, 0}};

static const VornClassMember kHandlers[] = {
    {"#Layout%%o<SliderControl>", (void *)OnLayout, 0, 0},
    {"#CreateControls%%o<SliderControl>", (void *)OnCreateControls, 0, 0},
};

static const VornClassRecord kSliderControlClass = {
    kVornClassRecordVersion, 0, "SliderControl", "ContainerControl", (int32_t)sizeof(SliderControlObject),
    {0, 0}, {(void *)Finalize, 0},
    kProperties, (int32_t)(sizeof kProperties / sizeof kProperties[0]),
    0, 0,
    kEvents, 1,
    kHandlers, (int32_t)(sizeof kHandlers / sizeof kHandlers[0]),
    0, 0};

VornRuntimeClass *RegisterSliderControlClass(void) {
  gSliderClass = RuntimeLookupClass(VORN_STR(kSliderClassName));
  gStaticTextClass = RuntimeLookupClass(VORN_STR(kStaticTextClassName));
  if (!gSliderClass) ImageLog("calculator: the runtime has no class Slider\n");
  if (!gStaticTextClass) ImageLog("calculator: the runtime has no class StaticText\n");
  VornRuntimeClass *cls = RuntimeNewClass(&kSliderControlClass);
  return gSliderClass && gStaticTextClass ? cls : 0;
}
