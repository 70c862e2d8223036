#include "strings/char_count.h"

#include "strings/char_reader.h"
#include "strings/text_chars.h"
#include "strings/text_search.h"

namespace vorn {

namespace {

// ASCII text has one character per byte in every encoding whose scheme is not a wide one, so
// the common case skips decoding.
CharScheme SchemeOf(const string& s) {
  CharScheme scheme = SchemeForEncoding(s.Encoding());
  if (scheme == CharScheme::kSingleByte || scheme == CharScheme::kUTF16 || scheme == CharScheme::kUTF32) return scheme;
  return IsAllASCII(s.CString(), s.Length()) ? CharScheme::kSingleByte : scheme;
}

}  // namespace

int32_t StringDBCSLen(const string& s) {
  const string text = ReadableForm(s);
  return CountChars(text.CString(), text.Length(), SchemeOf(text));
}

string StringDBCSLeft(const string& s, int32_t n) {
  if (n < 1) return string();
  if (HasShiftStates(s.Encoding())) return InEncodingOf(StringDBCSLeft(ReadableForm(s), n), s);
  return s.Left(OffsetOfChar(s.CString(), s.Length(), n, SchemeOf(s)));
}

string StringDBCSRight(const string& s, int32_t n) {
  if (n < 1) return string();
  if (HasShiftStates(s.Encoding())) return InEncodingOf(StringDBCSRight(ReadableForm(s), n), s);
  CharScheme scheme = SchemeOf(s);
  int32_t count = CountChars(s.CString(), s.Length(), scheme);
  if (n >= count) return s;
  return s.MidToEnd(OffsetOfChar(s.CString(), s.Length(), count - n, scheme));
}

string StringDBCSMid2(const string& s, int32_t start) {
  if (start <= 1) return s;
  if (HasShiftStates(s.Encoding())) return InEncodingOf(StringDBCSMid2(ReadableForm(s), start), s);
  return s.MidToEnd(OffsetOfChar(s.CString(), s.Length(), start - 1, SchemeOf(s)));
}

string StringDBCSMid3(const string& s, int32_t start, int32_t count) {
  if (count < 1) return string();
  if (HasShiftStates(s.Encoding())) return InEncodingOf(StringDBCSMid3(ReadableForm(s), start, count), s);
  string tail = StringDBCSMid2(s, start);
  return tail.Left(OffsetOfChar(tail.CString(), tail.Length(), count, SchemeOf(tail)));
}

// Character positions are the same in the text and in the form a search reads.
int32_t StringDBCSInStr(int32_t start, const string& s, const string& pattern) {
  const string text = SearchableText(s, pattern);
  CharScheme scheme = SchemeOf(text);
  const char* bytes = text.CString();
  int32_t from = start > 1 ? OffsetOfChar(bytes, text.Length(), start - 1, scheme) : 0;
  int32_t found = StringInStr(from + 1, text, pattern);
  return found == 0 ? 0 : CountChars(bytes, found - 1, scheme) + 1;
}

uint32_t StringAscValue(const string& s) {
  if (s.IsEmpty()) return 0;
  // ISO-2022-JP's first byte may be an escape: its first character is read as its code point,
  // the value Chr makes it from.
  if (HasShiftStates(s.Encoding())) return StringAscValue(ReadableForm(s));
  return DecodeTextChar(s.CString(), s.Length(), 0, SchemeOf(s)).value;
}

}  // namespace vorn
