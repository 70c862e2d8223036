#include "net/network_utilities.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "net/udp_socket.h"

namespace vorn {
namespace {

struct IPv4InterfaceEntry {
  std::string name;
  uint32_t address = 0;
  uint32_t netmask = 0;
  uint32_t broadcast = 0;
};

uint32_t IPv4Of(const sockaddr* address) {
  if (!address || address->sa_family != AF_INET) return 0;
  return reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr;
}

// Walks the IPv4 interfaces other than 127.0.0.1; copies out the one at the index. Answers
// the number counted, -1 when the system gives no list.
int32_t WalkInterfaces(int32_t index, IPv4InterfaceEntry* entry, bool* found) {
  *found = false;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return -1;
  if (index < 0) index = 0;
  int32_t count = 0;
  for (ifaddrs* item = list; item; item = item->ifa_next) {
    if (!item->ifa_addr || item->ifa_addr->sa_family != AF_INET) continue;
    if (IPv4Of(item->ifa_addr) == htonl(INADDR_LOOPBACK)) continue;
    if (count == index && !*found) {
      entry->name = item->ifa_name ? item->ifa_name : "";
      entry->address = IPv4Of(item->ifa_addr);
      entry->netmask = IPv4Of(item->ifa_netmask);
      entry->broadcast = (item->ifa_flags & IFF_BROADCAST) ? IPv4Of(item->ifa_broadaddr) : 0;
      *found = true;
    }
    ++count;
  }
  freeifaddrs(list);
  return count;
}

IPv4InterfaceEntry FindInterface(int32_t index) {
  IPv4InterfaceEntry entry;
  bool found = false;
  WalkInterfaces(index, &entry, &found);
  return found ? entry : IPv4InterfaceEntry{};
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string LookupHostAddress(const std::string& name) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* results = nullptr;
  if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &results) != 0) return {};
  std::string answer = name;
  for (addrinfo* entry = results; entry; entry = entry->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* address = nullptr;
    if (entry->ai_family == AF_INET) address = &reinterpret_cast<sockaddr_in*>(entry->ai_addr)->sin_addr;
    else if (entry->ai_family == AF_INET6) address = &reinterpret_cast<sockaddr_in6*>(entry->ai_addr)->sin6_addr;
    if (address && inet_ntop(entry->ai_family, address, text, sizeof text)) answer = text;
    if (entry->ai_family == AF_INET) break;
  }
  freeaddrinfo(results);
  return answer;
}

std::string LookupCanonicalName(const std::string& name) {
  addrinfo hints{};
  hints.ai_flags = AI_PASSIVE | AI_CANONNAME;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* results = nullptr;
  if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &results) != 0) return {};
  std::string answer = name;
  for (addrinfo* entry = results; entry; entry = entry->ai_next) {
    if (entry->ai_canonname) {
      answer = entry->ai_canonname;
      break;
    }
  }
  freeaddrinfo(results);
  return answer;
}

int32_t GetNetworkInterfaceCount() {
  IPv4InterfaceEntry entry;
  bool found = false;
  int32_t count = WalkInterfaces(0x7FFFFFFF, &entry, &found);
  return count < 0 ? 0 : count;
}

uint32_t GetNetworkInterfaceIPAddress(int32_t index) { return FindInterface(index).address; }
uint32_t GetNetworkInterfaceSubnetMask(int32_t index) { return FindInterface(index).netmask; }
uint32_t GetNetworkInterfaceBroadcast(int32_t index) { return FindInterface(index).broadcast; }

std::string GetNetworkInterfaceMACAddress(int32_t index) {
  IPv4InterfaceEntry entry;
  bool found = false;
  WalkInterfaces(index, &entry, &found);
  if (!found || entry.name.size() >= IFNAMSIZ) return {};
  int descriptor = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (descriptor < 0) return {};
  ifreq request{};
  std::memcpy(request.ifr_name, entry.name.data(), entry.name.size());
  std::string text;
  if (ioctl(descriptor, SIOCGIFHWADDR, &request) == 0) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < 6; ++i) {
      auto byte = static_cast<uint8_t>(request.ifr_hwaddr.sa_data[i]);
      if (i) text += ':';
      text += kDigits[byte >> 4];
      text += kDigits[byte & 15];
    }
  }
  close(descriptor);
  return text;
}

bool ParseMACAddress(std::string_view text, uint8_t mac[6]) {
  std::string digits;
  bool separated = text.find_first_of("-:.") != std::string_view::npos;
  if (separated) {
    int groups = 0;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find_first_of("-:.", start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view group = text.substr(start, end - start);
      if (group.empty() || group.size() > 2 || ++groups > 6) return false;
      if (group.size() == 1) digits += '0';
      digits.append(group);
      start = end + 1;
    }
    if (groups != 6) return false;
  } else {
    digits.assign(text);
  }
  if (digits.size() != 12) return false;
  for (int i = 0; i < 6; ++i) {
    int high = HexValue(digits[2 * i]);
    int low = HexValue(digits[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    mac[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return true;
}

std::string BuildWakeOnLANPacket(const uint8_t mac[6]) {
  std::string packet(6, '\xFF');
  for (int i = 0; i < 16; ++i) packet.append(reinterpret_cast<const char*>(mac), 6);
  return packet;
}

bool SendWakeOnLANPacket(const std::string& address, const std::string& macText) {
  uint8_t mac[6];
  if (!ParseMACAddress(macText, mac)) return false;
  UDPSocket socket(nullptr, nullptr);
  socket.Bind(0);
  socket.WriteDatagram({address, 9, BuildWakeOnLANPacket(mac)});
  while (socket.PacketsLeftToSend() > 0 && socket.LastError() == 0) socket.Poll();
  return socket.LastError() == 0;
}

}  // namespace vorn
