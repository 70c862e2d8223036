#include "windows/clipboard_records.h"

#include "strings/text_replace.h"
#include "vorn/image_format.h"

namespace vorn {

namespace {

void PutU32LE(std::vector<uint8_t>* out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

int32_t I32At(const uint8_t* data, int index) { return static_cast<int32_t>(image::ReadU32LE(data + 4 * index)); }

}  // namespace

std::vector<uint8_t> EncodePictureClipRecord(const PictureClipRecord& record) {
  std::vector<uint8_t> out;
  PutU32LE(&out, static_cast<uint32_t>(record.stride));
  PutU32LE(&out, static_cast<uint32_t>(record.height));
  PutU32LE(&out, static_cast<uint32_t>(record.width));
  PutU32LE(&out, record.serial);
  return out;
}

std::vector<uint8_t> EncodeTypedClipRecord(const TypedClipRecord& record) {
  std::vector<uint8_t> out;
  PutU32LE(&out, record.encoding);
  PutU32LE(&out, static_cast<uint32_t>(record.length));
  PutU32LE(&out, record.serial);
  return out;
}

std::optional<PictureClipRecord> DecodePictureClipRecord(const uint8_t* data, int32_t length) {
  if (!data || length != static_cast<int32_t>(PictureClipRecord::kLength)) return std::nullopt;
  PictureClipRecord record;
  record.stride = I32At(data, 0);
  record.height = I32At(data, 1);
  record.width = I32At(data, 2);
  record.serial = image::ReadU32LE(data + 12);
  if (record.width < 0 || record.height < 0 || record.stride < 0) return std::nullopt;
  if (static_cast<int64_t>(record.width) * 3 > record.stride) return std::nullopt;
  return record;
}

std::optional<TypedClipRecord> DecodeTypedClipRecord(const uint8_t* data, int32_t length) {
  if (!data || length != static_cast<int32_t>(TypedClipRecord::kLength)) return std::nullopt;
  TypedClipRecord record;
  record.encoding = image::ReadU32LE(data);
  record.length = I32At(data, 1);
  record.serial = image::ReadU32LE(data + 8);
  if (record.length < 0) return std::nullopt;
  return record;
}

string ConvertClipboardLineEnds(const string& text) {
  const string lineFeed("\n");
  return ReplaceAllB(ReplaceAllB(text, string("\r"), lineFeed), string("\n\n"), lineFeed);
}

}  // namespace vorn
