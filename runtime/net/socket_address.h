// Address texts of the socket layer: strict dotted IPv4 text, host names resolved to IPv4,
// "host:port" texts and the dotted text of an address value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// Four decimal parts 0..255 separated by "."; the value in network byte order.
bool ParseDottedIPv4(std::string_view text, uint32_t* networkOrder);
// Dotted text first, then the system's resolver (IPv4 only); false when neither answers.
bool ResolveIPv4(const std::string& text, uint32_t* networkOrder);
// The value (network order) as dotted decimal, most significant byte first.
std::string DottedText(uint32_t networkOrder);
// A port of 0..65535 as decimal text; false for anything else (sign, blanks, overflow).
bool ParsePort(std::string_view text, int32_t* port);
// "host:port" with exactly one ":" and a valid port; false otherwise.
bool SplitHostPort(std::string_view text, std::string* host, int32_t* port);
bool IsValidPort(int32_t port);

}  // namespace vorn
