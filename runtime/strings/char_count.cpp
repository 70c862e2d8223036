#include "strings/char_count.h"

#include <algorithm>

#include "strings/char_reader.h"
#include "strings/text_chars.h"
#include "strings/text_places.h"
#include "strings/text_search.h"

namespace vorn {

int32_t StringDBCSLen(const string& s) { return TextPlaces(s).Count(); }

string StringDBCSLeft(const string& s, int32_t n) {
  if (n < 1) return string();
  TextPlaces places(s);
  return places.Piece(0, places.OffsetOf(n));
}

string StringDBCSRight(const string& s, int32_t n) {
  if (n < 1) return string();
  TextPlaces places(s);
  const int32_t count = places.Count();
  if (n >= count) return s;
  return places.Piece(places.OffsetOf(count - n), places.Length());
}

string StringDBCSMid2(const string& s, int32_t start) {
  if (start <= 1) return s;
  TextPlaces places(s);
  return places.Piece(places.OffsetOf(start - 1), places.Length());
}

string StringDBCSMid3(const string& s, int32_t start, int32_t count) {
  if (count < 1) return string();
  TextPlaces places(s);
  const int64_t first = std::max(start, 1) - 1;
  const int32_t from = places.OffsetOf(first);
  return places.Piece(from, places.OffsetOf(first + count));
}

// Character positions are the same in the text and in the form a search reads.
int32_t StringDBCSInStr(int32_t start, const string& s, const string& pattern) {
  string converted;
  if (SchemeForEncoding(s.Encoding()) == CharScheme::kSingleByte && !PatternInEncoding(pattern, s.Encoding(), converted)) {
    // A character the encoding lacks may still fold as one it has (Ÿ as ÿ): the text is
    // searched in place, as its UTF-8 form would be, where it converts to UTF-8 exactly.
    TextPlaces places(s);
    string utf8;
    if (places.AllValid()) {
      if (!PatternInEncoding(pattern, kEncodingUTF8, utf8)) return 0;
      return places.FindFolded(utf8, std::max(start, 1) - 1) + 1;
    }
  }
  // The text itself is not copied: a string another thread holds too may be searched.
  string utf8;
  const bool inUTF8 = !HasShiftStates(s.Encoding()) && SearchesInUTF8(s, pattern, &utf8);
  TextPlaces places(inUTF8 ? utf8 : s);
  const int32_t found = places.Find(pattern, start > 1 ? places.OffsetOf(start - 1) : 0);
  return found < 0 ? 0 : places.IndexAt(found) + 1;
}

uint32_t StringAscValue(const string& s) {
  if (s.IsEmpty()) return 0;
  // ISO-2022-JP's first byte may be an escape: its first character is read as its code point,
  // the value Chr makes it from.
  if (HasShiftStates(s.Encoding())) return StringAscValue(ReadableForm(s));
  return DecodeTextChar(s.CString(), s.Length(), 0, SchemeForEncoding(s.Encoding())).value;
}

}  // namespace vorn
