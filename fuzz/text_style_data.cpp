// Fuzzes the reading of TextStyleData, the per-character style records a program hands an edit
// field: records cut short, font names of any length, sizes of any sign. What is read must
// write out again and read back as the same records.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "editfield/edit_text_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int32_t characters = data[0];
  std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<vorn::TextStyleRecord> records = vorn::ReadTextStyleData(bytes, characters);
  if (records.size() > static_cast<size_t>(characters)) __builtin_trap();
  for (const vorn::TextStyleRecord& record : records) {
    if (record.size < 0) __builtin_trap();
  }
  const vorn::string written = vorn::WriteTextStyleData(records);
  std::vector<vorn::TextStyleRecord> again =
      vorn::ReadTextStyleData(written.View(), static_cast<int32_t>(records.size()));
  if (again.size() != records.size()) __builtin_trap();
  return 0;
}
