#include "database/stored_text.h"

#include <string_view>

namespace vorn {
namespace {

constexpr std::string_view kReplacementUTF8 = "\xEF\xBF\xBD";

// How many U+FFFD the text holds as characters of its own: of the runtime's encodings only
// the Unicode ones can, in the machine's (little-endian) order.
size_t HeldReplacements(const string& text) {
  const EncodingCode encoding = text.Encoding();
  const size_t unit = encoding == kEncodingUTF16 ? 2 : encoding == kEncodingUTF32 ? 4 : 0;
  if (unit == 0) return 0;
  const std::string_view bytes = text.View();
  size_t count = 0;
  for (size_t at = 0; at + unit <= bytes.size(); at += unit) {
    const std::string_view code = bytes.substr(at, unit);
    if (code == std::string_view("\xFD\xFF\0\0", unit)) ++count;
  }
  return count;
}

size_t Replacements(std::string_view utf8) {
  size_t count = 0;
  for (size_t at = utf8.find(kReplacementUTF8); at != std::string_view::npos;
       at = utf8.find(kReplacementUTF8, at + kReplacementUTF8.size())) {
    ++count;
  }
  return count;
}

}  // namespace

std::optional<string> StoredText(const string& text) {
  const EncodingCode encoding = text.Encoding();
  if (text.IsEmpty() || encoding == kEncodingUTF8 || encoding == kEncodingUnknown) return text;
  if (IsASCIICompatible(encoding) && IsAllASCII(text.CString(), text.Length())) {
    // The same bytes: an ASCII text is handed on as it is (the NULL edit is told by identity).
    if (encoding == kEncodingASCII) return text;
    string retagged = text;
    retagged.SetEncoding(kEncodingUTF8);
    return retagged;
  }
  // The conversion writes U+FFFD for a byte that is no character; one more of them than the
  // text held is such a byte.
  string utf8 = ConvertTextEncoding(text, kEncodingUTF8);
  if (utf8.Encoding() != kEncodingUTF8 || Replacements(utf8.View()) > HeldReplacements(text)) return std::nullopt;
  return utf8;
}

bool StoredValues::Convert(const dbColumnValue* values) {
  mNodes.clear();
  mTexts.clear();
  for (const dbColumnValue* value = values; value; value = value->next) {
    const string given = string::Share(value->value);
    const bool asItStands = value->type == kVornDbBinary || value->type == kVornDbNull;
    const std::optional<string> column = StoredText(string::Share(value->column));
    const std::optional<string> text = asItStands ? given : StoredText(given);
    if (!column || !text) return false;
    // The records are held here; the strings may move as the vector grows, their records not.
    mTexts.push_back(*column);
    mTexts.push_back(*text);
    mNodes.push_back({nullptr, column->Rep(), text->Rep(), value->type});
  }
  for (size_t i = 0; i + 1 < mNodes.size(); ++i) mNodes[i].next = &mNodes[i + 1];
  return true;
}

}  // namespace vorn
