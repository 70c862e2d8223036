/* A plug-in that registers one class twice over: "RecordDial" with the class record of
 * compiled code and "DeclaredDial" with declaration texts, the same members both ways. */
#include "vorn/plugin_api.h"

typedef struct Dial {
  VornRuntimeObject header;
  int32_t level;
} Dial;

static int32_t GetLevel(VornRuntimeObject *object, int32_t param) { return ((Dial *)object)->level + param; }
static void SetLevel(VornRuntimeObject *object, int32_t param, int32_t value) { ((Dial *)object)->level = value - param; }
static double Speed(VornRuntimeObject *object, int32_t x) { return ((Dial *)object)->level * 0.5 + x; }
static void SetTop(VornRuntimeObject *object, int32_t value) { ((Dial *)object)->level = 100 * value; }

static const VornClassProperty kProperties[] = {{"Level%i4%", (void *)&GetLevel, 0, (void *)&SetLevel, 0, 0, 0}};
static const VornClassMember kMethods[] = {{"Speed%f8%o<RecordDial>i4", (void *)&Speed, 0, 0},
                                           {"=Top%%o<RecordDial>i4", (void *)&SetTop, 0, 0}};
static const VornClassMember kEvents[] = {{"Turned%%o<RecordDial>i4s", 0, 0, 0}};
static const VornClassRecord kRecordDial = {
    kVornClassRecordVersion, 0, "RecordDial", 0, (int32_t)sizeof(Dial), {0, 0}, {0, 0},
    kProperties, 1, kMethods, 2, kEvents, 1, 0, 0, 0, 0};

static const VornPluginDeclaration kDeclarations[] = {
    {"Property Level As Integer", (void *)&GetLevel, (void *)&SetLevel, 0},
    {"Function Speed(x As Integer) As Double", (void *)&Speed, 0, 0},
    {"Sub Top(Assigns value As Integer)", (void *)&SetTop, 0, 0},
    {"Event Turned(steps As Integer, why As String)", 0, 0, 0},
    {"Const Limit = &H10  ' the highest level", 0, 0, 0},
};
static const VornPluginDeclaredClass kDeclaredDial = {"DeclaredDial", 0, (int32_t)sizeof(Dial), kDeclarations, 5};

int32_t VORNPluginMain(VornPluginResolver resolve) {
  VornRuntimeClass *(*registerClass)(const VornClassRecord *) =
      (VornRuntimeClass * (*)(const VornClassRecord *)) resolve("PluginRegisterClass");
  VornRuntimeClass *(*registerDeclared)(const VornPluginDeclaredClass *) =
      (VornRuntimeClass * (*)(const VornPluginDeclaredClass *)) resolve("PluginRegisterDeclaredClass");
  if (!registerClass || !registerDeclared) return 1;
  if (!registerClass(&kRecordDial)) return 2;
  if (!registerDeclared(&kDeclaredDial)) return 3;
  return 0;
}
