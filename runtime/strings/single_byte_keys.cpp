#include "strings/single_byte_keys.h"

#include <glib.h>

#include <map>
#include <memory>
#include <mutex>

#include "strings/case_table.h"
#include "strings/utf8.h"

namespace vorn {

namespace {

// An encoding's letters above ASCII are where its own table puts them (MacRoman's É is 0x83,
// Windows-1252's Š is 0x8A), not where Latin-1 has them, so each byte's key comes from its
// character.
SingleByteKeys MakeKeys(EncodingCode encoding) {
  SingleByteKeys keys{};
  const bool known = IconvNameForEncoding(encoding) != nullptr && IsASCIICompatible(encoding);
  for (int b = 0; b < 256; ++b) {
    keys.key[b] = kUpperCaseTable[b];
    if (b < 0x80 || !known) continue;
    const char byte = static_cast<char>(b);
    string utf8;
    const bool exact = ConvertsExactly(string(&byte, 1, encoding), &utf8);
    const UTF8Char c = exact ? UTF8DecodeChar(utf8.CString(), utf8.Length(), 0) : UTF8Char{};
    keys.key[b] = c.valid && c.size == utf8.Length() ? g_unichar_toupper(c.codePoint) : kInvalidKey | b;
  }
  std::map<uint32_t, int> sharing;
  for (uint32_t key : keys.key) ++sharing[key];
  keys.everyByteKeyed = true;
  for (int b = 0; b < 256; ++b) {
    keys.alone[b] = sharing[keys.key[b]] == 1;
    keys.everyByteKeyed &= !(keys.key[b] & kInvalidKey);
  }
  return keys;
}

}  // namespace

bool EveryByteKeyed(const SingleByteKeys& keys, const char* bytes, int32_t length) {
  if (keys.everyByteKeyed) return true;
  for (int32_t i = 0; i < length; ++i) {
    if (keys.key[static_cast<uint8_t>(bytes[i])] & kInvalidKey) return false;
  }
  return true;
}

const SingleByteKeys& SingleByteKeysFor(EncodingCode encoding) {
  static std::mutex lock;
  static auto* made = new std::map<EncodingCode, std::unique_ptr<SingleByteKeys>>();
  std::lock_guard<std::mutex> hold(lock);
  auto& keys = (*made)[encoding];
  if (!keys) keys = std::make_unique<SingleByteKeys>(MakeKeys(encoding));
  return *keys;
}

}  // namespace vorn
