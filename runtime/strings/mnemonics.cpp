#include "strings/mnemonics.h"

#include <string>

#include "strings/text_chars.h"

namespace vorn {

void StripAmpersands(string& caption, string* mnemonic) {
  if (mnemonic) *mnemonic = string();
  const char* bytes = caption.CString();
  int32_t length = caption.Length();
  CharScheme scheme = SchemeForEncoding(caption.Encoding());
  auto isAmpersand = [](const TextChar& c) { return c.valid && c.value == '&'; };

  std::string out;
  bool changed = false;
  bool foundMnemonic = false;
  for (int32_t i = 0; i < length;) {
    TextChar c = DecodeTextChar(bytes, length, i, scheme);
    if (!isAmpersand(c)) {
      out.append(bytes + i, static_cast<size_t>(c.size));
      i += c.size;
      continue;
    }
    changed = true;
    i += c.size;  // the marker itself is dropped
    if (i >= length) break;
    TextChar next = DecodeTextChar(bytes, length, i, scheme);
    out.append(bytes + i, static_cast<size_t>(next.size));
    if (!isAmpersand(next) && !foundMnemonic) {
      foundMnemonic = true;
      if (mnemonic) *mnemonic = string(bytes + i, next.size, caption.Encoding());
    }
    i += next.size;
  }
  if (changed) caption = string(out, caption.Encoding());
}

string StripAmpersandsCopy(const string& caption) {
  string copy = caption;
  StripAmpersands(copy, nullptr);
  return copy;
}

}  // namespace vorn
