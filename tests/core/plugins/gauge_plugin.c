/* A plug-in for the loader's tests: a class with a property, a method and an event, and a
 * module function, all reached only through the resolver. */
#include <stdlib.h>

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
  return registerModule(&kMath) ? 0 : 13;
}
