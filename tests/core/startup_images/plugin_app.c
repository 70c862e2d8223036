/* Uses what the gauge plug-in adds: a subclass of its Gauge class that handles the Overflow
 * event, the Level property through its directory rows and by name, the Raise method and the
 * module function GaugeMath.Twice. Says "Level(n);", "Overflow;", "Twice(n);" on the log. */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

void* VORNLoadGlobalMethod(const char* name);
void* VORNLoadObjectMethod(VornRuntimeObject* object, const char* name);
uint8_t VORNGetPropValueInt(VornRuntimeObject* object, const char* name, int32_t* out);

static void OnOverflow(VornRuntimeObject* self) {
  (void)self;
  LogText("Overflow;");
}

static const VornClassMember kHandlers[] = {{"#Overflow%%o<MyGauge>", (void*)OnOverflow, 0, 0}};

/* The subclass adds no field: its size is the plug-in's Gauge (the header and one Integer). */
static const VornClassRecord kMyGauge = {
    kVornClassRecordVersion, 0, "MyGauge", "Gauge", VORN_OBJECT_HEADER_SIZE + 8,
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kHandlers, 1, 0, 0};

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  VornRuntimeClass* cls = RuntimeNewClass(&kMyGauge);
  if (!cls) {
    LogText("NoClass;");
    RuntimeExit();
    return;
  }
  VornRuntimeObject* gauge = RuntimeNewObject(cls);
  void (*setLevel)(VornRuntimeObject*, int32_t, int32_t) =
      (void (*)(VornRuntimeObject*, int32_t, int32_t))VORNLoadGlobalMethod("Gauge.Level.Set");
  int32_t (*getLevel)(VornRuntimeObject*, int32_t) =
      (int32_t(*)(VornRuntimeObject*, int32_t))VORNLoadGlobalMethod("Gauge.Level.Get");
  void (*raise)(VornRuntimeObject*, int32_t) =
      (void (*)(VornRuntimeObject*, int32_t))VORNLoadObjectMethod(gauge, "Raise");
  int32_t (*twice)(int32_t) = (int32_t(*)(int32_t))VORNLoadGlobalMethod("GaugeMath.Twice");
  if (!setLevel || !getLevel || !raise || !twice) {
    LogText("NoMembers;");
  } else {
    setLevel(gauge, 0, 5);
    raise(gauge, 3);
    LogText("Level(");
    LogNumber(getLevel(gauge, 0));
    LogText(");");
    raise(gauge, 4);
    int32_t level = 0;
    if (VORNGetPropValueInt(gauge, "level", &level)) {
      LogText("Level(");
      LogNumber(level);
      LogText(");");
    }
    LogText("Twice(");
    LogNumber(twice(21));
    LogText(");");
  }
  RuntimeUnlockObject(gauge);
  RuntimeExit();
}
