#include "net/socket_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace vorn {

bool IsValidPort(int32_t port) { return port >= 0 && port <= 0xFFFF; }

bool ParsePort(std::string_view text, int32_t* port) {
  if (text.empty() || text.size() > 5) return false;
  int32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (!IsValidPort(value)) return false;
  *port = value;
  return true;
}

bool ParseDottedIPv4(std::string_view text, uint32_t* networkOrder) {
  uint32_t value = 0;
  int parts = 0;
  size_t i = 0;
  while (parts < 4) {
    size_t start = i;
    uint32_t part = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
      part = part * 10 + static_cast<uint32_t>(text[i] - '0');
      ++i;
    }
    if (i == start || part > 255) return false;
    value = (value << 8) | part;
    ++parts;
    if (parts < 4) {
      if (i >= text.size() || text[i] != '.') return false;
      ++i;
    }
  }
  if (i != text.size()) return false;
  *networkOrder = htonl(value);
  return true;
}

bool ResolveIPv4(const std::string& text, uint32_t* networkOrder) {
  if (ParseDottedIPv4(text, networkOrder)) return true;
  if (text.empty() || text.find('\0') != std::string::npos) return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* results = nullptr;
  if (getaddrinfo(text.c_str(), nullptr, &hints, &results) != 0 || !results) return false;
  bool found = false;
  for (addrinfo* entry = results; entry && !found; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || !entry->ai_addr) continue;
    *networkOrder = reinterpret_cast<sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
    found = true;
  }
  freeaddrinfo(results);
  return found;
}

std::string DottedText(uint32_t networkOrder) {
  uint32_t host = ntohl(networkOrder);
  return std::to_string(host >> 24) + "." + std::to_string((host >> 16) & 0xFF) + "." +
         std::to_string((host >> 8) & 0xFF) + "." + std::to_string(host & 0xFF);
}

bool SplitHostPort(std::string_view text, std::string* host, int32_t* port) {
  size_t colon = text.find(':');
  if (colon == std::string_view::npos || text.find(':', colon + 1) != std::string_view::npos) return false;
  if (!ParsePort(text.substr(colon + 1), port)) return false;
  host->assign(text.substr(0, colon));
  return true;
}

}  // namespace vorn
