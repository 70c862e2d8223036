// Fuzzes the reading of plug-in member declarations: the input, made NUL-terminated, is read
// as one declaration. A refusal must say why; an accepted one must print as a member
// signature that reads back to itself, as the class record path will read it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/plugin_declarations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  vorn::PluginDeclaration parsed;
  std::string why;
  if (!vorn::ParsePluginDeclaration(text.c_str(), "Fuzzed", parsed, why)) {
    if (why.empty()) std::abort();
    return 0;
  }
  std::string printed = vorn::PrintMemberSignature(parsed.signature);
  auto again = vorn::ParseMemberSignature(printed);
  if (!again || !(*again == parsed.signature)) std::abort();
  return 0;
}
