#include "strings/text_case.h"

#include <glib.h>

#include <array>
#include <map>
#include <mutex>
#include <string>

#include "strings/char_reader.h"
#include "strings/text_chars.h"
#include "strings/utf8.h"

namespace vorn {

namespace {

enum class Direction { kUpper, kLower };

using ByteTable = std::array<uint8_t, 256>;

uint8_t ASCIICase(uint8_t byte, Direction direction) {
  if (direction == Direction::kUpper) return byte >= 'a' && byte <= 'z' ? byte - 32 : byte;
  return byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
}

uint32_t UnicodeCase(uint32_t codePoint, Direction direction) {
  if (codePoint < 0x80) return ASCIICase(static_cast<uint8_t>(codePoint), direction);
  return direction == Direction::kUpper ? g_unichar_toupper(codePoint) : g_unichar_tolower(codePoint);
}

// The byte table of a single-byte encoding, found by converting each byte to Unicode, mapping
// it, and keeping the result only when it converts back to exactly one byte.
ByteTable BuildByteTable(EncodingCode encoding, Direction direction) {
  ByteTable table;
  for (int b = 0; b < 256; ++b) table[b] = ASCIICase(static_cast<uint8_t>(b), direction);
  if (!IconvNameForEncoding(encoding)) return table;
  for (int b = 0x80; b < 256; ++b) {
    char byte = static_cast<char>(b);
    string utf8 = ConvertTextEncoding(string(&byte, 1, encoding), kEncodingUTF8);
    if (utf8.Encoding() != kEncodingUTF8) continue;
    UTF8Char c = UTF8DecodeChar(utf8.CString(), utf8.Length(), 0);
    if (!c.valid || c.size != utf8.Length() || c.codePoint == kReplacementCharacter) continue;
    uint32_t mapped = UnicodeCase(c.codePoint, direction);
    if (mapped == c.codePoint) continue;
    char bytes[4];
    string back = ConvertTextEncoding(string(bytes, EncodeUTF8(mapped, bytes), kEncodingUTF8), encoding);
    if (back.Encoding() == encoding && back.Length() == 1 && back.CString()[0] != '?') {
      table[b] = static_cast<uint8_t>(back.CString()[0]);
    }
  }
  return table;
}

const ByteTable& ByteTableFor(EncodingCode encoding, Direction direction) {
  // Made once for every thread; a table, once made, never moves.
  static std::mutex lock;
  static std::map<std::pair<EncodingCode, Direction>, ByteTable> tables;
  std::lock_guard<std::mutex> hold(lock);
  auto key = std::make_pair(encoding, direction);
  auto found = tables.find(key);
  if (found == tables.end()) found = tables.emplace(key, BuildByteTable(encoding, direction)).first;
  return found->second;
}

string MapBytes(const string& s, const ByteTable& table) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.CString());
  int32_t length = s.Length();
  int32_t first = 0;
  while (first < length && table[bytes[first]] == bytes[first]) ++first;
  if (first == length) return s;
  string result(s.CString(), length, s.Encoding());
  auto* out = reinterpret_cast<uint8_t*>(result.MutableBytes());
  for (int32_t i = first; i < length; ++i) out[i] = table[bytes[i]];
  return result;
}

// Shift_JIS and EUC-JP: each character read as its code point and mapped where the encoding
// holds the other case (Cyrillic, Greek and full-width Latin letters as well as ASCII).
string MapDoubleByte(const string& s, Direction direction) {
  const CharReader reader(s.Encoding());
  const char* bytes = s.CString();
  int32_t length = s.Length();
  std::string out;
  bool changed = false;
  for (int32_t i = 0; i < length;) {
    const TextChar c = reader.Read(bytes, length, i);
    const uint32_t mapped = c.valid ? UnicodeCase(c.value, direction) : c.value;
    string other;
    if (mapped != c.value) {
      char utf8[4];
      string back;
      other = ConvertTextEncoding(string(utf8, EncodeUTF8(mapped, utf8), kEncodingUTF8), s.Encoding());
      if (!ConvertsExactly(other, &back) || back.View() != std::string_view(utf8, EncodeUTF8(mapped, utf8))) {
        other = string();
      }
    }
    if (other.IsEmpty()) {
      out.append(bytes + i, static_cast<size_t>(c.size));
    } else {
      out.append(other.CString(), static_cast<size_t>(other.Length()));
      changed = true;
    }
    i += c.size;
  }
  return changed ? string(out, s.Encoding()) : s;
}

string MapUnicode(const string& s, CharScheme scheme, Direction direction) {
  const char* bytes = s.CString();
  int32_t length = s.Length();
  std::string out;
  out.reserve(static_cast<size_t>(length));
  bool changed = false;
  for (int32_t i = 0; i < length;) {
    auto byte = static_cast<uint8_t>(bytes[i]);
    if (scheme == CharScheme::kUTF8 && byte < 0x80) {
      uint8_t mapped = ASCIICase(byte, direction);
      changed |= mapped != byte;
      out.push_back(static_cast<char>(mapped));
      ++i;
      continue;
    }
    TextChar c = DecodeTextChar(bytes, length, i, scheme);
    uint32_t mapped = c.valid ? UnicodeCase(c.value, direction) : c.value;
    if (!c.valid || mapped == c.value) {
      out.append(bytes + i, static_cast<size_t>(c.size));
    } else {
      char encoded[4];
      out.append(encoded, static_cast<size_t>(EncodeCodePoint(mapped, scheme, encoded)));
      changed = true;
    }
    i += c.size;
  }
  return changed ? string(out, s.Encoding()) : s;
}

string MapCase(const string& s, Direction direction) {
  if (s.IsEmpty()) return s;
  EncodingCode encoding = s.Encoding();
  if (HasShiftStates(encoding)) {
    const string mapped = MapCase(ReadableForm(s), direction);
    return mapped.View() == ReadableForm(s).View() ? s : InEncodingOf(mapped, s);
  }
  CharScheme scheme = SchemeForEncoding(encoding);
  switch (scheme) {
    case CharScheme::kUTF8:
    case CharScheme::kUTF16:
    case CharScheme::kUTF32: return MapUnicode(s, scheme, direction);
    case CharScheme::kShiftJIS:
    case CharScheme::kEUCJP: return MapDoubleByte(s, direction);
    case CharScheme::kSingleByte: break;
  }
  if (encoding == kEncodingASCII || encoding == kEncodingUnknown) {
    static const ByteTable asciiUpper = BuildByteTable(kEncodingUnknown, Direction::kUpper);
    static const ByteTable asciiLower = BuildByteTable(kEncodingUnknown, Direction::kLower);
    return MapBytes(s, direction == Direction::kUpper ? asciiUpper : asciiLower);
  }
  return MapBytes(s, ByteTableFor(encoding, direction));
}

// Letters and digits make words, and so does the apostrophe ("don't" is one word). Characters
// beyond ASCII count as letters unless Unicode says otherwise.
bool IsWordChar(const TextChar& c, CharScheme scheme) {
  if (c.value < 0x80) return g_ascii_isalnum(static_cast<char>(c.value)) || c.value == '\'';
  bool unicode = scheme == CharScheme::kUTF8 || scheme == CharScheme::kUTF16 || scheme == CharScheme::kUTF32;
  return !unicode || (c.valid && g_unichar_isalnum(c.value));
}

}  // namespace

string StringUCase(const string& s) { return MapCase(s, Direction::kUpper); }

string StringLCase(const string& s) { return MapCase(s, Direction::kLower); }

string StringTitleCase(const string& s) {
  if (HasShiftStates(s.Encoding())) return InEncodingOf(StringTitleCase(ReadableForm(s)), s);
  string lower = MapCase(s, Direction::kLower);
  CharScheme scheme = SchemeForEncoding(lower.Encoding());
  const char* bytes = lower.CString();
  int32_t length = lower.Length();
  std::string out;
  out.reserve(static_cast<size_t>(length));
  bool inWord = false;
  for (int32_t i = 0; i < length;) {
    TextChar c = DecodeTextChar(bytes, length, i, scheme);
    bool wordChar = IsWordChar(c, scheme);
    if (wordChar && !inWord) {
      string upper = MapCase(lower.Mid(i, c.size), Direction::kUpper);
      out.append(upper.CString(), static_cast<size_t>(upper.Length()));
    } else {
      out.append(bytes + i, static_cast<size_t>(c.size));
    }
    inWord = wordChar;
    i += c.size;
  }
  return string(out, lower.Encoding());
}

}  // namespace vorn
