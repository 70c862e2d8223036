// Name and address lookups, the system's IPv4 interfaces, and Wake-on-LAN. An interface index
// counts only IPv4 interfaces other than 127.0.0.1, from 0; -1 means the first one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// The first IPv4 address of the name as text, else the last other address, else the name;
// empty when the lookup fails.
std::string LookupHostAddress(const std::string& name);
// The canonical name; the input when there is none; empty when the lookup fails.
std::string LookupCanonicalName(const std::string& name);

int32_t GetNetworkInterfaceCount();
// Network byte order; 0 when the index finds nothing.
uint32_t GetNetworkInterfaceIPAddress(int32_t index);
uint32_t GetNetworkInterfaceSubnetMask(int32_t index);
uint32_t GetNetworkInterfaceBroadcast(int32_t index);
// Six upper-case hexadecimal pairs joined by ":"; empty when not found.
std::string GetNetworkInterfaceMACAddress(int32_t index);

// A MAC text with "-", ":" or "." separators (groups may lack their leading zero), or twelve
// plain hexadecimal digits; false for anything else.
bool ParseMACAddress(std::string_view text, uint8_t mac[6]);
// The 102-byte magic packet: six 0xFF bytes, then the address sixteen times.
std::string BuildWakeOnLANPacket(const uint8_t mac[6]);
// Sends the packet to UDP port 9 of the address; false when the MAC text is malformed or the
// send failed.
bool SendWakeOnLANPacket(const std::string& address, const std::string& macText);

}  // namespace vorn
