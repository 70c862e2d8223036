// The System module's class table, its one instance, the members kept for other platforms
// that answer with neutral values here, and the _QuicktimeInstallStatus class.
#include "core/system_module.h"

#include <iterator>

#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "core/soft_declare.h"
#include "graphics/movie_layer.h"
#include "vorn/cursor_api.h"
#include "vorn/serial_api.h"
#include "vorn/socket_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const ConstantRow kSystemConstants[] = {
    {"PPPNoConnection", "0"},      {"PPPConnectionClosing", "3"}, {"PPPConnectionOpening", "4"},
    {"PPPConnected", "5"},         {"PenTypeNone", "0"},          {"PenTypeTip", "1"},
    {"PenTypeEraser", "2"},        {"LogLevelEmergency", "1000"}, {"LogLevelAlert", "1001"},
    {"LogLevelCritical", "1002"},  {"LogLevelError", "1003"},     {"LogLevelWarning", "1004"},
    {"LogLevelNotice", "1005"},    {"LogLevelInformation", "1006"}, {"LogLevelDebug", "1007"},
    {"LogLevelSuccess", "1008"},
};

#define METHOD(name, result, params, function) \
  {name, result, params, RowCount(params), Fn(&function), #function, nullptr, nullptr, 0, 0}
#define METHOD0(name, result, function) {name, result, nullptr, 0, Fn(&function), #function, nullptr, nullptr, 0, 0}
#define GETTER(name, type, getter) {0, name, type, Fn(&getter), #getter, nullptr, nullptr, 0, 0}
#define PROPERTY(name, type, getter, setter) {0, name, type, Fn(&getter), #getter, Fn(&setter), #setter, 0, 0}

// ByRef Integer parameters reach the entry point as a pointer to the caller's Integer: their
// rows carry the pointer type code.
const ParamRow kSerialIndexParams[] = {{"Index", "i4", 0, 0}};
const ParamRow kSerialPathParams[] = {{"path", "s", 0, 0}};
const ParamRow kSoftDeclareParams[] = {{"functionName", "s", 0, 0}, {"libraryName", "s", 0, 0}};
const ParamRow kGestaltParams[] = {{"code", "s", 0, 0}, {"result", "p", 0, 0}};
const ParamRow kPixelParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}};
const ParamRow kPPPConnectParams[] = {{"UserInteraction", "b", kParamHasDefault, 0}};
const ParamRow kInterfaceParams[] = {{"Index", "i4", kParamHasDefault, -1}};
const ParamRow kPenButtonParams[] = {{"Index", "i4", 0, 0}};
const ParamRow kEnvironmentParams[] = {{"Name", "s", 0, 0}};
const ParamRow kLogParams[] = {{"level", "i4", 0, 0}, {"msg", "s", 0, 0}};
const ParamRow kDebugLogParams[] = {{"msg", "s", 0, 0}};
const ParamRow kDrawWindowParams[] = {
    {"title", "s", 0, 0},        {"width", "i4", 0, 0},          {"height", "i4", 0, 0},
    {"frameType", "i4", 0, 0},   {"minBox", "b", 0, 0},          {"maxBox", "b", 0, 0},
    {"closeBox", "b", 0, 0},     {"growBox", "b", 0, 0},         {"backDrop", "o<Picture>", 0, 0},
    {"stretchBackDrop", "b", 0, 0}, {"pictureFillColor", "c", 0, 0},
};
const ParamRow kWindowMetricsParams[] = {
    {"frameType", "i4", 0, 0},
    {"captionHeight", "p", 0, 0},
    {"borderWidth", "p", 0, 0},
    {"borderHeight", "p", 0, 0},
};

const MethodRow kSystemMethods[] = {
    METHOD("SerialPort", "o<SerialPort>", kSerialIndexParams, getSerialPort),
    METHOD("SerialPort", "o<SerialPort>", kSerialPathParams, getSerialPortByPath),
    METHOD("Gestalt", "b", kGestaltParams, systemGestalt),
    METHOD("Pixel", "c", kPixelParams, systemPixel),
    METHOD("PPPConnect", "", kPPPConnectParams, socketPPPConnect),
    METHOD0("PPPDisconnect", "", socketPPPDisconnect),
    METHOD("GetNetworkInterface", "o<NetworkInterface>", kInterfaceParams, GetNetworkInterfaceObject),
    METHOD("PenButtonPushed", "b", kPenButtonParams, SystemGetPenButton),
    {"EnvironmentVariable", "s", kEnvironmentParams, RowCount(kEnvironmentParams), Fn(&SystemGetEnvVariable),
     "SystemGetEnvVariable", Fn(&SystemSetEnvVariable), "SystemSetEnvVariable", 0, 0},
    METHOD("Log", "", kLogParams, SystemLogger),
    METHOD("DebugLog", "", kDebugLogParams, SystemDebugLogger),
    METHOD("IsFunctionAvailable", "b", kSoftDeclareParams, IsFunctionAvailable),
    METHOD("_DrawWindow", "o<Picture>", kDrawWindowParams, SystemDrawWindow),
    METHOD("_GetWindowMetrics", "", kWindowMetricsParams, SystemGetWindowMetrics),
};

const PropertyRow kSystemProperties[] = {
    GETTER("CommandLine", "s", SystemGetCommandLine),
    GETTER("SerialPortCount", "i4", getSerialPortCount),
    GETTER("MouseX", "i4", getMouseX),
    GETTER("MouseY", "i4", getMouseY),
    GETTER("MouseDown", "b", getMouseDown),
    PROPERTY("KeyScript", "i4", systemGetKeyScript, systemSetKeyScript),
    GETTER("PPPStatus", "i4", socketPPPStatus),
    GETTER("Quicktime", "o<_QuicktimeInstallStatus>", systemGetQTInstallStatus),
    PROPERTY("KeyChain", "o<KeyChain>", systemGetDefaultKeyChain, systemSetDefaultKeyChain),
    GETTER("KeyChainCount", "i4", systemGetKeyChainCount),
    GETTER("Cursors", "o<_Cursors>", GetCursorsClass),
    GETTER("NetworkInterfaceCount", "i4", SystemGetNetworkInterfaceCount),
    GETTER("PenPressure", "f8", SystemGetPenPressure),
    GETTER("PenType", "i4", SystemGetPenType),
    GETTER("Network", "o<Network>", SystemGetNetwork),
};

const PropertyRow kQuicktimeProperties[] = {
    GETTER("Installed", "b", QTInstalledGetter),
};

#undef PROPERTY
#undef GETTER
#undef METHOD0
#undef METHOD

ObjectDefinition* BuildSystemModuleDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("_SystemClass");
  definition->mFlags = kDefinitionModule;
  definition->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
  BeginClassDefinition(definition, kSystemConstants, RowCount(kSystemConstants));
  definition->SetInstanceVariables(BuildPropertyList(kSystemProperties, RowCount(kSystemProperties)));
  SetMethodList(definition, kSystemMethods, RowCount(kSystemMethods));
  return definition;
}

ObjectDefinition* BuildQuicktimeInstallStatusDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("_QuicktimeInstallStatus");
  definition->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
  definition->SetInstanceVariables(BuildPropertyList(kQuicktimeProperties, RowCount(kQuicktimeProperties)));
  return definition;
}

}  // namespace

ObjectDefinition* GetSystemModuleDefinition() {
  static ObjectDefinition* definition = BuildSystemModuleDefinition();
  return definition;
}

ObjectDefinition* GetQuicktimeInstallStatusClassDefinition() {
  static ObjectDefinition* definition = BuildQuicktimeInstallStatusDefinition();
  return definition;
}

void RegisterSystemClasses() {
  RegisterIntrinsicClass("_QuicktimeInstallStatus", &GetQuicktimeInstallStatusClassDefinition);
  RegisterIntrinsicClass(GetSystemModuleDefinition());
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* getSystemObject() {
  // Made once and kept until exit, like the cursors module.
  static RuntimeObject* sModule = CreateInstanceFromDefinition(GetSystemModuleDefinition());
  RuntimeLockObject(sModule);
  return sModule;
}

uint8_t systemGestalt(VornRuntimeObject*, VornStringRecord*, int32_t* result) {
  if (result) *result = 0;
  return 0;
}

uint8_t SystemGetPenButton(VornRuntimeObject*, int32_t index) {
  // Bit `index` of the pen-button word, which is always 0 here. An index outside 0-31 names
  // no bit (shifting by it would be undefined) and answers false.
  constexpr uint32_t kPenButtons = 0;
  if (index < 0 || index > 31) return 0;
  return (kPenButtons >> index) & 1u;
}

void SystemGetWindowMetrics(VornRuntimeObject*, int32_t, int32_t* captionHeight, int32_t* borderWidth,
                            int32_t* borderHeight) {
  if (captionHeight) *captionHeight = 0;
  if (borderWidth) *borderWidth = 0;
  if (borderHeight) *borderHeight = 0;
}

int32_t systemGetKeyScript(VornRuntimeObject*, int32_t) { return 0; }
void systemSetKeyScript(VornRuntimeObject*, int32_t, int32_t) {}

double SystemGetPenPressure(VornRuntimeObject*, int32_t) { return 0.0; }
int32_t SystemGetPenType(VornRuntimeObject*, int32_t) { return 0; }

VornRuntimeObject* systemGetQTInstallStatus(VornRuntimeObject*, int32_t) {
  return CreateInstanceFromDefinition(GetQuicktimeInstallStatusClassDefinition());
}

uint8_t QTInstalledGetter(VornRuntimeObject*, int32_t) { return QuickTimeIsAvailable(false) ? 1 : 0; }

}  // extern "C"
