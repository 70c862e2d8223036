#include "strings/line_endings.h"

#include <string>

#include "strings/text_chars.h"

namespace vorn {

namespace {

int32_t UnitSize(EncodingCode encoding) {
  if (encoding == kEncodingUTF16) return 2;
  if (encoding == kEncodingUTF32) return 4;
  return 1;
}

// The unit at i when a whole one is there, else a value no line ending has.
uint32_t UnitAt(const uint8_t* bytes, int32_t length, int32_t i, int32_t unit) {
  if (i + unit > length) return 0xFFFFFFFF;
  uint32_t value = 0;
  for (int32_t k = unit - 1; k >= 0; --k) value = (value << 8) | bytes[i + k];
  return value;
}

}  // namespace

string RuntimeEndOfLine() {
  static const string kLineFeed("\n");
  return kLineFeed;
}

string getMacEndOfLine() {
  static const string kCarriageReturn("\r");
  return kCarriageReturn;
}

string getWin32EndOfLine() {
  static const string kCarriageReturnLineFeed("\r\n");
  return kCarriageReturnLineFeed;
}

string getUNIXEndOfLine() { return RuntimeEndOfLine(); }

string RuntimeReplaceLineEndings(const string& text, const string& ending) {
  if (text.IsEmpty()) return text;
  string converted = text.Encoding() == kEncodingUnknown ? ending : ConvertTextEncoding(ending, text.Encoding());
  int32_t unit = UnitSize(text.Encoding());
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.CString());
  int32_t length = text.Length();

  std::string out;
  bool changed = false;
  int32_t copiedTo = 0;
  for (int32_t i = 0; i < length;) {
    uint32_t value = UnitAt(bytes, length, i, unit);
    if (value != '\r' && value != '\n') {
      i += unit;
      continue;
    }
    int32_t endingSize = unit;
    if (value == '\r' && UnitAt(bytes, length, i + unit, unit) == '\n') endingSize = 2 * unit;
    if (!changed) out.reserve(static_cast<size_t>(length) + 16);
    changed = true;
    out.append(text.CString() + copiedTo, static_cast<size_t>(i - copiedTo));
    out.append(converted.CString(), static_cast<size_t>(converted.Length()));
    i += endingSize;
    copiedTo = i;
  }
  if (!changed) return text;
  if (copiedTo < length) out.append(text.CString() + copiedTo, static_cast<size_t>(length - copiedTo));
  return string(out, text.Encoding());
}

}  // namespace vorn
