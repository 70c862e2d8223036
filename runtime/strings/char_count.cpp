#include "strings/char_count.h"

#include "strings/text_chars.h"

namespace vorn {

int32_t StringDBCSLen(const string& s) {
  return CountChars(s.CString(), s.Length(), SchemeForEncoding(s.Encoding()));
}

string StringDBCSLeft(const string& s, int32_t n) {
  if (n < 1) return string();
  return s.Left(OffsetOfChar(s.CString(), s.Length(), n, SchemeForEncoding(s.Encoding())));
}

string StringDBCSRight(const string& s, int32_t n) {
  if (n < 1) return string();
  CharScheme scheme = SchemeForEncoding(s.Encoding());
  int32_t count = CountChars(s.CString(), s.Length(), scheme);
  if (n >= count) return s;
  return s.MidToEnd(OffsetOfChar(s.CString(), s.Length(), count - n, scheme));
}

string StringDBCSMid2(const string& s, int32_t start) {
  if (start <= 1) return s;
  return s.MidToEnd(OffsetOfChar(s.CString(), s.Length(), start - 1, SchemeForEncoding(s.Encoding())));
}

}  // namespace vorn
