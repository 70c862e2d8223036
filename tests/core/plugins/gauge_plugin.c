/* A plug-in for the loader's tests: a class with a property, a method and an event, a
 * module function, and a control ("Lamp") that shows red until clicked, then green, and
 * fires its Pressed event on every click; the runtime is reached only through the resolver. */
#include <stdlib.h>

#include "vorn/control_api.h"
#include "vorn/plugin_api.h"

typedef struct Gauge {
  VornRuntimeObject header;
  int32_t level;
} Gauge;

static int32_t GetLevel(VornRuntimeObject *object, int32_t param) {
  (void)param;
  return ((Gauge *)object)->level;
}

static void SetLevel(VornRuntimeObject *object, int32_t param, int32_t value) {
  (void)param;
  ((Gauge *)object)->level = value;
}

static void *(*sEventHandler)(VornRuntimeObject *, const char *);

/* Past 10 the gauge overflows: the Overflow event goes to whoever handles it. */
static void Raise(VornRuntimeObject *object, int32_t by) {
  Gauge *gauge = (Gauge *)object;
  gauge->level += by;
  if (gauge->level <= 10) return;
  void (*handler)(VornRuntimeObject *) = (void (*)(VornRuntimeObject *))sEventHandler(object, "Overflow");
  if (handler) handler(object);
}

static int32_t Twice(int32_t value) { return 2 * value; }

static const VornClassProperty kProperties[] = {
    {"Level%i4%", (void *)&GetLevel, 0, (void *)&SetLevel, 0, 0, 0},
};
static const VornClassMember kMethods[] = {{"Raise%%o<Gauge>i4", (void *)&Raise, 0, 0}};
static const VornClassMember kEvents[] = {{"Overflow%%o<Gauge>", 0, 0, 0}};

static const VornClassRecord kGauge = {
    kVornClassRecordVersion, 0, "Gauge", 0, (int32_t)sizeof(Gauge), {0, 0}, {0, 0},
    kProperties, 1, kMethods, 1, kEvents, 1, 0, 0, 0, 0};

static const VornPluginModuleFunction kMathFunctions[] = {{"Twice%i4%i4", (void *)&Twice}};
static const VornPluginModule kMath = {"GaugeMath", kMathFunctions, 1};

/* --- the Lamp control ------------------------------------------------------------------ */

enum { kLampRed = 0xFF0000, kLampGreen = 0x00C000 };

typedef struct Lamp {
  VornControlObject base;
  uint32_t color;
} Lamp;

static void (*sFillRect)(VornRuntimeObject *, int32_t, int32_t, int32_t, int32_t);
static void (*sSetForeColor)(VornRuntimeObject *, int32_t, uint32_t);
static void (*sInvalidate)(VornRuntimeObject *);

static void LampInit(VornRuntimeObject *control) { ((Lamp *)control)->color = kLampRed; }

/* The pane's widget is the lamp alone: filling far past its edges fills exactly it. */
static void LampRedraw(VornRuntimeObject *control, VornRuntimeObject *g) {
  sSetForeColor(g, 0, ((Lamp *)control)->color);
  sFillRect(g, -4000, -4000, 8000, 8000);
}

static uint8_t LampMouseDown(VornRuntimeObject *control, int32_t x, int32_t y, int32_t modifiers) {
  (void)x, (void)y, (void)modifiers;
  ((Lamp *)control)->color = kLampGreen;
  sInvalidate(control);
  void (*pressed)(VornRuntimeObject *) = (void (*)(VornRuntimeObject *))sEventHandler(control, "Pressed");
  if (pressed) pressed(control);
  return 1;
}

static void *const kLampBehaviour[kVornBehaviourCount] = {
    [kVornBehaviourRedraw] = (void *)&LampRedraw,
    [kVornBehaviourMouseDown] = (void *)&LampMouseDown,
};
static const VornClassMember kLampEvents[] = {{"Pressed%%o<Lamp>", 0, 0, 0}};
static const VornPluginControlDefinition kLamp = {
    8, "Lamp", 0, 0, (int32_t)(sizeof(Lamp) - sizeof(VornControlObject)), 0, 0, 0, 0, kLampEvents, 1, 80, 40,
    &LampInit, kLampBehaviour};

int32_t VORNPluginMain(VornPluginResolver resolve) {
  /* The path names this library only while this function runs. */
  if (getenv("VNPLUGINPATH") == 0) return 10;
  VornRuntimeClass *(*registerClass)(const VornClassRecord *) =
      (VornRuntimeClass * (*)(const VornClassRecord *)) resolve("PluginRegisterClass");
  int32_t (*registerModule)(const VornPluginModule *) =
      (int32_t(*)(const VornPluginModule *))resolve("PluginRegisterModule");
  sEventHandler = (void *(*)(VornRuntimeObject *, const char *))resolve("GetEventInstance");
  if (!registerClass || !registerModule || !sEventHandler || resolve("NoSuchRuntimeFunction") != 0) return 11;
  if (!registerClass(&kGauge)) return 12;
  VornRuntimeClass *(*registerControl)(const VornPluginControlDefinition *) =
      (VornRuntimeClass * (*)(const VornPluginControlDefinition *)) resolve("PluginRegisterControl");
  sFillRect = (void (*)(VornRuntimeObject *, int32_t, int32_t, int32_t, int32_t))resolve("RuntimeGraphicsFillRect");
  sSetForeColor = (void (*)(VornRuntimeObject *, int32_t, uint32_t))resolve("graphicsForeColorSetter");
  sInvalidate = (void (*)(VornRuntimeObject *))resolve("VORNInvalidateControl");
  if (!registerControl || !sFillRect || !sSetForeColor || !sInvalidate || !registerControl(&kLamp)) return 14;
  return registerModule(&kMath) ? 0 : 13;
}
