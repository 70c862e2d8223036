// Fuzzes the decoders of 'CURS' resource records and of the answers private clipboards give:
// the whole input is offered to each of them as it would arrive.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/resource_records.h"
#include "windows/clipboard_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto length = static_cast<uint32_t>(size > 0xFFFFFFFFu ? 0xFFFFFFFFu : size);
  if (std::optional<vorn::CursorRecord> cursor = vorn::DecodeCursorRecord(data, length)) {
    // Bit order reversed twice is the byte as it was.
    for (int i = 0; i < 32; ++i) {
      if (vorn::ReverseBits(cursor->image[i]) != data[i]) __builtin_trap();
    }
  }
  const auto answer = static_cast<int32_t>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size);
  if (std::optional<vorn::PictureClipRecord> picture = vorn::DecodePictureClipRecord(data, answer)) {
    if (picture->width < 0 || picture->height < 0 || int64_t{picture->width} * 3 > picture->stride) __builtin_trap();
    if (vorn::EncodePictureClipRecord(*picture).size() != size) __builtin_trap();
  }
  if (std::optional<vorn::TypedClipRecord> typed = vorn::DecodeTypedClipRecord(data, answer)) {
    if (typed->length < 0 || vorn::EncodeTypedClipRecord(*typed).size() != size) __builtin_trap();
  }
  return 0;
}
