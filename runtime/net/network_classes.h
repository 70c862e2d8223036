// NetworkInterface and Network: the System module's window on the socket layer's interface
// list, name lookups and wake-on-LAN. Registered at start-up just before the System module.
#pragma once

#include <cstdint>
#include <string>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

ObjectDefinition* GetNetworkInterfaceClassDefinition();
ObjectDefinition* GetNetworkClassDefinition();
// Enters NetworkInterface and Network in the intrinsic registries.
void RegisterNetworkClasses();

// The interface index a NetworkInterface holds; false for nil and for other objects.
bool NetworkInterfaceIndexOf(RuntimeObject* object, int32_t* index);
// An address in network byte order as four decimals, the first byte of the address first.
std::string DottedAddressText(uint32_t networkOrder);
// The host name that Network.IsConnected asks the reachability test about.
inline constexpr const char* kReachabilityProbeHost = "www.debian.org";
// Whether the host answers; no probe is made, so it answers false.
bool IsHostReachable(const char* host);

}  // namespace vorn
