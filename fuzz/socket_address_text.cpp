// Fuzzes the address texts sockets take from programs: dotted IPv4 text, "host:port" texts
// and MAC texts. Parsing only; no lookup or network traffic.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/network_utilities.h"
#include "net/socket_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  uint32_t address = 0;
  if (vorn::ParseDottedIPv4(text, &address)) {
    // Accepted text reads back as the same value.
    uint32_t again = 0;
    if (!vorn::ParseDottedIPv4(vorn::DottedText(address), &again) || again != address) __builtin_trap();
  }
  std::string host;
  int32_t port = -1;
  if (vorn::SplitHostPort(text, &host, &port) && (port < 0 || port > 0xFFFF || host.size() >= size))
    __builtin_trap();
  uint8_t mac[6];
  if (vorn::ParseMACAddress(text, mac) && vorn::BuildWakeOnLANPacket(mac).size() != 102) __builtin_trap();
  return 0;
}
