// How values travel inside debugger messages: fixed-size values as upper-case hexadecimal
// digits, most significant first, and strings as their encoding code, a colon and their bytes.
//
// The text comes from a peer, so every decoder accepts any input: short text reads as having
// leading zeros, long text keeps its last digits and a character that is not a digit counts
// as 0. The decoders also say what was wrong with the text, for callers that want to refuse it.
#pragma once

#include <cstdint>
#include <string_view>

#include "strings/vstring.h"

namespace vorn {

enum class DebugTextProblem {
  kNone,
  kWrongLength,   // not exactly the digits the value needs
  kNotHexDigit,   // a character other than 0-9 and A-F (lower case included)
  kMissingColon,  // a string without the colon after its encoding
};

// 2n digits for the n bytes at `value`, taking the bytes from the last to the first, so on
// this little-endian machine the value reads in ordinary notation with leading zeros.
string HexEncodeBytes(const void* value, int32_t n);
// Fills n bytes from the text: the last 2n digits (missing ones as leading zeros), each pair
// one byte, high digit first, stored from the last byte to the first.
DebugTextProblem HexDecodeBytes(std::string_view text, void* destination, int32_t n);

// The same for values in ordinary notation, whatever the machine's byte order.
string HexEncode8(uint8_t value);
string HexEncode16(uint16_t value);
string HexEncode32(uint32_t value);
string HexEncode64(uint64_t value);
uint32_t HexDecode32(std::string_view text, DebugTextProblem* problem = nullptr);
uint64_t HexDecode64(std::string_view text, DebugTextProblem* problem = nullptr);

// An address or reference: 8 digits while it fits in 32 bits, else 16. A receiver that
// decodes 8 bytes reads both forms, since short text has leading zeros.
string HexEncodeAddress(uint64_t address);

// The encoding code in 8 digits, ":", then every byte as two digits. A nil string is US-ASCII.
string EncodeDebugString(const string& text);
// The string of the wire form; nil when it carries no bytes.
string DecodeDebugString(std::string_view text, DebugTextProblem* problem = nullptr);

}  // namespace vorn
