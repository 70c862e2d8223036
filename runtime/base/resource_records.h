// Decoded contents of the resource kinds whose bytes have a structure. Decoding checks every
// length against the bytes it was given and answers nothing for an incomplete record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

// A classic 16 x 16 cursor: image and mask rows of two bytes, top row first, already in GDK's
// bit order (the leftmost pixel in the least significant bit).
struct CursorRecord {
  static constexpr uint32_t kRecordLength = 68;
  uint8_t image[32];
  uint8_t mask[32];
  int16_t hotSpotV;
  int16_t hotSpotH;
};

// Where a sound's bytes are: in the loaded image, and at fileOffset in the executable when it
// is not 0.
struct SoundSource {
  const uint8_t* data;
  uint32_t length;
  uint32_t fileOffset;
};

// An embedded database: the engine that opens it and its bytes.
struct DatabaseResource {
  std::string_view engineName;
  const uint8_t* data;
  uint32_t length;
};

// The version record: six numbers and three UTF-8 strings.
struct VersionRecord {
  uint32_t words[6] = {};
  std::string strings[3];

  // Number i (0 to 5) as the Application's getters count them: numbers 3 and 4 are record
  // words 4 and 3. 0 outside.
  uint32_t Number(int32_t i) const;
  // String j (0 to 2); empty outside.
  const std::string& String(int32_t j) const;
};

std::optional<CursorRecord> DecodeCursorRecord(const uint8_t* data, uint32_t length);
std::optional<DatabaseResource> DecodeDatabaseResource(const uint8_t* data, uint32_t length);
std::optional<VersionRecord> DecodeVersionRecord(const uint8_t* data, uint32_t length);

// The byte with its bit order reversed (0x80 becomes 0x01).
uint8_t ReverseBits(uint8_t byte);

}  // namespace vorn
