// The small records the private clipboards carry. What travels between clipboard owner and
// requester names an offer of this process by serial number instead of carrying the pixels or
// bytes: the data never leaves the process, and an answer from anyone else never names an
// offer the requester holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "strings/vstring.h"

namespace vorn {

// A picture on offer: 8-bit RGB rows without alpha.
struct PictureClipRecord {
  static constexpr uint32_t kLength = 16;
  int32_t stride = 0;
  int32_t height = 0;
  int32_t width = 0;
  uint32_t serial = 0;
};

// Typed data on offer: the string's encoding and length.
struct TypedClipRecord {
  static constexpr uint32_t kLength = 12;
  uint32_t encoding = 0;
  int32_t length = 0;
  uint32_t serial = 0;
};

// Little-endian words, in field order.
std::vector<uint8_t> EncodePictureClipRecord(const PictureClipRecord& record);
std::vector<uint8_t> EncodeTypedClipRecord(const TypedClipRecord& record);
// Nothing unless exactly a record's length arrived, with sizes that are not negative and
// describe no more bytes than a row stride and height can hold.
std::optional<PictureClipRecord> DecodePictureClipRecord(const uint8_t* data, int32_t length);
std::optional<TypedClipRecord> DecodeTypedClipRecord(const uint8_t* data, int32_t length);

// The text prepared for the clipboard the edit field's way: every carriage return becomes a
// line feed, then every pair of line feeds one line feed (one pass each).
string ConvertClipboardLineEnds(const string& text);

}  // namespace vorn
