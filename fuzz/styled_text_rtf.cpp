// Fuzzes the reading of styled text files (Rich Text as any program may write it): groups
// left open or closed twice, control words of any length and number, escapes cut short, bytes
// that are no UTF-8. What is read is one record per character, and writes out as a file that
// reads back as the same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editfield/edit_text_model.h"
#include "editfield/styled_text_rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vorn::StyledTextFile file;
  std::string error;
  if (!vorn::ReadStyledTextRTF(bytes, &file, &error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (file.styles.size() != static_cast<size_t>(vorn::UTF8CharacterCount(file.text))) __builtin_trap();
  vorn::StyledTextFile again;
  if (!vorn::ReadStyledTextRTF(vorn::WriteStyledTextRTF(file.text, file.styles), &again, &error)) __builtin_trap();
  if (again.text != file.text || again.styles.size() != file.styles.size()) __builtin_trap();
  for (size_t i = 0; i < file.styles.size(); ++i) {
    const vorn::TextStyleRecord& a = file.styles[i];
    const vorn::TextStyleRecord& b = again.styles[i];
    if (a.bold != b.bold || a.italic != b.italic || a.underline != b.underline || a.size != b.size ||
        a.color != b.color || a.font.View() != b.font.View())
      __builtin_trap();
  }
  return 0;
}
