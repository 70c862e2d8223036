/* A window holding the gauge plug-in's Lamp control (a compiled subclass that handles its
 * Pressed event): says "Shown;" once the window is up and "Pressed;" on every click of the
 * lamp, and runs until a signal ends it. */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"
#include "vorn/window_api.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

uint8_t VORNSetPropValueInt(VornRuntimeObject* object, const char* name, int32_t value);
uint8_t VORNSetPropValueBoolean(VornRuntimeObject* object, const char* name, uint8_t value);
uint8_t VORNSetPropValueString(VornRuntimeObject* object, const char* name, VornStringRecord* value);

VORN_LITERAL(kTitle, "Plug-in Lamp");
VORN_LITERAL(kLampName, "Lamp1");

/* The plug-in's Lamp keeps one colour word after the control's fields. */
typedef struct LampLayout {
  VornControlObject base;
  uint32_t color;
} LampLayout;

static VornRuntimeClass* gMyLamp;

static void OnPressed(VornRuntimeObject* self) {
  (void)self;
  LogText("Pressed;");
}

static const VornClassMember kLampHandlers[] = {{"#Pressed%%o<MyLamp>", (void*)OnPressed, 0, 0}};
static const VornClassRecord kMyLamp = {
    kVornClassRecordVersion, 0, "MyLamp", "Lamp", (int32_t)sizeof(LampLayout),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kLampHandlers, 1, 0, 0};

static void OnLayout(VornRuntimeObject* self) {
  VORNSetPropValueString(self, "Title", VORN_STR(kTitle));
  VORNSetPropValueInt(self, "Left", 100);
  VORNSetPropValueInt(self, "Top", 100);
  VORNSetPropValueInt(self, "Width", 240);
  VORNSetPropValueInt(self, "Height", 160);
  VORNSetPropValueBoolean(self, "Visible", 1);
}

static void OnCreateControls(VornRuntimeObject* self) {
  VornRuntimeObject* lamp = WindowAllocateObject(self, gMyLamp);
  if (!lamp) {
    LogText("NoLamp;");
    return;
  }
  VORNSetPropValueInt(lamp, "Left", 40);
  VORNSetPropValueInt(lamp, "Top", 30);
  VORNSetPropValueInt(lamp, "Width", 80);
  VORNSetPropValueInt(lamp, "Height", 40);
  VORNSetPropValueBoolean(lamp, "Visible", 1);
  VORNSetPropValueBoolean(lamp, "Enabled", 1);
  WindowAddControl(self, VORN_STR(kLampName), lamp);
  RuntimeUnlockObject(lamp);
}

static void OnOpen(VornRuntimeObject* self) {
  (void)self;
  LogText("Shown;");
}

static const VornClassMember kWindowHandlers[] = {
    {"#Layout%%o<LampWindow>", (void*)OnLayout, 0, 0},
    {"#CreateControls%%o<LampWindow>", (void*)OnCreateControls, 0, 0},
    {"#Open%%o<LampWindow>", (void*)OnOpen, 0, 0},
};
static const VornClassRecord kLampWindow = {
    kVornClassRecordVersion, 0, "LampWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kWindowHandlers, 3, 0, 0};

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  RuntimeRegisterAppObject(0);
  gMyLamp = RuntimeNewClass(&kMyLamp);
  VornRuntimeClass* windowClass = RuntimeNewClass(&kLampWindow);
  if (!gMyLamp || !windowClass) {
    LogText("NoClass;");
    RuntimeExit();
    return;
  }
  VornRuntimeObject* window = RuntimeNewObject(windowClass);
  WindowDefaultConstructor(window);
  RuntimeShowWindow(window);
  RuntimeRun();
  RuntimeUnlockObject(window);
  RuntimeExit();
}
