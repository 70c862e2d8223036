#include "base/resource_records.h"

#include "vorn/image_format.h"

namespace vorn {

using image::ReadI16BE;
using image::ReadU32LE;

uint8_t ReverseBits(uint8_t byte) {
  uint8_t result = 0;
  for (int i = 0; i < 8; ++i) {
    result = static_cast<uint8_t>((result << 1) | ((byte >> i) & 1));
  }
  return result;
}

std::optional<CursorRecord> DecodeCursorRecord(const uint8_t* data, uint32_t length) {
  if (!data || length < CursorRecord::kRecordLength) return std::nullopt;
  CursorRecord cursor;
  for (int i = 0; i < 32; ++i) {
    cursor.image[i] = ReverseBits(data[i]);
    cursor.mask[i] = ReverseBits(data[32 + i]);
  }
  cursor.hotSpotV = ReadI16BE(data + 64);
  cursor.hotSpotH = ReadI16BE(data + 66);
  return cursor;
}

std::optional<DatabaseResource> DecodeDatabaseResource(const uint8_t* data, uint32_t length) {
  if (!data || length < 4) return std::nullopt;
  uint32_t nameLength = ReadU32LE(data);
  uint32_t rest = length - 4;
  if (nameLength > rest || rest - nameLength < 4) return std::nullopt;
  rest -= nameLength + 4;
  uint32_t databaseLength = ReadU32LE(data + 4 + nameLength);
  if (databaseLength > rest) return std::nullopt;
  return DatabaseResource{
      std::string_view(reinterpret_cast<const char*>(data + 4), nameLength),
      data + 8 + nameLength, databaseLength};
}

std::optional<VersionRecord> DecodeVersionRecord(const uint8_t* data, uint32_t length) {
  if (!data || length < 24) return std::nullopt;
  VersionRecord record;
  for (int i = 0; i < 6; ++i) record.words[i] = ReadU32LE(data + 4 * i);
  uint32_t position = 24;
  for (std::string& text : record.strings) {
    if (position >= length) return std::nullopt;
    uint32_t textLength = data[position++];
    if (textLength > length - position) return std::nullopt;
    text.assign(reinterpret_cast<const char*>(data + position), textLength);
    position += textLength;
  }
  return record;
}

uint32_t VersionRecord::Number(int32_t i) const {
  if (i < 0 || i > 5) return 0;
  if (i == 3) return words[4];
  if (i == 4) return words[3];
  return words[i];
}

const std::string& VersionRecord::String(int32_t j) const {
  static const std::string kEmpty;
  return j >= 0 && j < 3 ? strings[j] : kEmpty;
}

}  // namespace vorn
