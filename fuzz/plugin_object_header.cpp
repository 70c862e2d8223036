// Fuzzes the check a plug-in library passes before it is handed to the dynamic loader: the
// input is taken as the whole library file: the header and segment checks, then the dynamic
// section, its tables and every relocation. Nothing is handed to the dynamic loader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/plugin_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string why;
  if (!vorn::IsLoadablePluginObject(data, size, why) && why.empty()) __builtin_trap();
  return 0;
}
