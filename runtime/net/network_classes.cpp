// NetworkInterface and Network: the System module's window on the socket layer's interface
// list, name lookups and wake-on-LAN.
#include "net/network_classes.h"

#include <arpa/inet.h>

#include <string>

#include "base/core_assert.h"
#include "core/system_module.h"
#include "net/network_utilities.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"
#include "vorn/socket_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// Network has one field of its own, unused.
struct NetworkObject {
  RuntimeObject header;
  int32_t reserved;
};

#define GETTER(name, type, getter) {0, name, type, Fn(&getter), #getter, nullptr, nullptr, 0, 0}
#define METHOD(name, result, params, function) \
  {name, result, params, RowCount(params), Fn(&function), #function, nullptr, nullptr, 0, 0}

const PropertyRow kInterfaceProperties[] = {
    GETTER("MACAddress", "s", SystemGetMACAddress),
    GETTER("IPAddress", "s", SystemGetIPAddress),
    GETTER("SubnetMask", "s", SystemGetSubnetMask),
};

const MethodRow kInterfaceMethods[] = {
    {"NetworkInterface", "", nullptr, 0, Fn(&NetworkInterfaceCtor), "NetworkInterfaceCtor", nullptr, nullptr, 0, 0},
};

const ParamRow kLookupIPParams[] = {{"DNSAddress", "s", 0, 0}};
const ParamRow kLookupDNSParams[] = {{"IPAddress", "s", 0, 0}};
const ParamRow kWakeOnLANParams[] = {{"Address", "s", 0, 0}, {"MACAddress", "s", 0, 0}};

const MethodRow kNetworkMethods[] = {
    {"IsConnected", "b", nullptr, 0, Fn(&NetworkSafeToConnect), "NetworkSafeToConnect", nullptr, nullptr, 0, 0},
    METHOD("LookupIPAddress", "s", kLookupIPParams, NetworkLookupIPAddress),
    METHOD("LookupDNSAddress", "s", kLookupDNSParams, NetworkLookupDNSAddress),
    METHOD("WakeOnLAN", "", kWakeOnLANParams, NetworkWakeOnLAN),
};

#undef METHOD
#undef GETTER

ObjectDefinition* NewDefinition(const char* name, size_t size) {
  auto* definition = new ObjectDefinition();
  definition->mName = string(name);
  definition->mInstanceSize = static_cast<int32_t>(size);
  return definition;
}

// The index of a NetworkInterface object; a nil or foreign object is the failed assertion
// "networkInterfaceObject".
bool InterfaceIndex(RuntimeObject* object, int32_t line, int32_t* index) {
  if (NetworkInterfaceIndexOf(object, index)) return true;
  ReportCoreAssertion(kSystemModuleSource, line, "networkInterfaceObject");
  return false;
}

// Indexes that name an interface: -1 (the first) and up. Anything below -1 is no interface
// and never reaches the socket layer, which would take it for the first.
bool NamesAnInterface(int32_t index) { return index >= -1; }

VornStringRecord* HandOutASCII(const std::string& text) {
  if (text.empty()) return nullptr;
  return string(text, kEncodingASCII).GetRetainedRep();
}

}  // namespace

ObjectDefinition* GetNetworkInterfaceClassDefinition() {
  static ObjectDefinition* definition = [] {
    ObjectDefinition* d = NewDefinition("NetworkInterface", sizeof(VornNetworkInterfaceObject));
    d->SetInstanceVariables(BuildPropertyList(kInterfaceProperties, RowCount(kInterfaceProperties)));
    SetMethodList(d, kInterfaceMethods, RowCount(kInterfaceMethods));
    return d;
  }();
  return definition;
}

ObjectDefinition* GetNetworkClassDefinition() {
  static ObjectDefinition* definition = [] {
    ObjectDefinition* d = NewDefinition("Network", sizeof(NetworkObject));
    SetMethodList(d, kNetworkMethods, RowCount(kNetworkMethods));
    return d;
  }();
  return definition;
}

void RegisterNetworkClasses() {
  RegisterIntrinsicClass("NetworkInterface", &GetNetworkInterfaceClassDefinition);
  RegisterIntrinsicClass("Network", &GetNetworkClassDefinition);
}

bool IsHostReachable(const char*) { return false; }

bool NetworkInterfaceIndexOf(RuntimeObject* object, int32_t* index) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetNetworkInterfaceClassDefinition())) return false;
  *index = reinterpret_cast<VornNetworkInterfaceObject*>(object)->index;
  return true;
}

std::string DottedAddressText(uint32_t networkOrder) {
  // The socket layer keeps addresses in network order: taken to host order, the most
  // significant byte is the address's first.
  const uint32_t value = ntohl(networkOrder);
  return std::to_string(value >> 24) + "." + std::to_string((value >> 16) & 0xFF) + "." +
         std::to_string((value >> 8) & 0xFF) + "." + std::to_string(value & 0xFF);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

// --- System members ----------------------------------------------------------------------

VornRuntimeObject* GetNetworkInterfaceObject(VornRuntimeObject*, int32_t index) {
  if (index < -1 || index > GetNetworkInterfaceCount() - 1) return nullptr;
  RuntimeObject* object = CreateInstanceFromDefinition(GetNetworkInterfaceClassDefinition());
  if (object) reinterpret_cast<VornNetworkInterfaceObject*>(object)->index = index;
  return object;
}

int32_t SystemGetNetworkInterfaceCount(VornRuntimeObject*, int32_t) { return GetNetworkInterfaceCount(); }

VornRuntimeObject* SystemGetNetwork(VornRuntimeObject*, int32_t) {
  return CreateInstanceFromDefinition(GetNetworkClassDefinition());
}

// --- NetworkInterface --------------------------------------------------------------------

void NetworkInterfaceCtor(VornRuntimeObject*) {}

VornStringRecord* SystemGetMACAddress(VornRuntimeObject* networkInterface, int32_t) {
  int32_t index = 0;
  if (!InterfaceIndex(networkInterface, __LINE__, &index) || !NamesAnInterface(index)) return nullptr;
  return HandOutASCII(GetNetworkInterfaceMACAddress(index));
}

VornStringRecord* SystemGetIPAddress(VornRuntimeObject* networkInterface, int32_t) {
  int32_t index = 0;
  if (!InterfaceIndex(networkInterface, __LINE__, &index)) return nullptr;
  return HandOutASCII(DottedAddressText(NamesAnInterface(index) ? GetNetworkInterfaceIPAddress(index) : 0));
}

VornStringRecord* SystemGetSubnetMask(VornRuntimeObject* networkInterface, int32_t) {
  int32_t index = 0;
  if (!InterfaceIndex(networkInterface, __LINE__, &index)) return nullptr;
  return HandOutASCII(DottedAddressText(NamesAnInterface(index) ? GetNetworkInterfaceSubnetMask(index) : 0));
}

// --- Network -----------------------------------------------------------------------------

uint8_t NetworkSafeToConnect(VornRuntimeObject*) {
  const string host(kReachabilityProbeHost);
  return IsHostReachable(host.CString()) ? 1 : 0;
}

void NetworkWakeOnLAN(VornRuntimeObject*, VornStringRecord* address, VornStringRecord* macAddress) {
  SendWakeOnLANPacket(SystemText(address), SystemText(macAddress));
}

}  // extern "C"
