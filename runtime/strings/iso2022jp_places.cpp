#include "strings/iso2022jp_places.h"

#include <cstring>

#include "strings/system_encoding.h"

namespace vorn {

namespace {

constexpr uint8_t kEscape = 0x1B;

// Past the known escapes at the place: where the next character's bytes start, in its set.
ShiftPlace SkipEscapes(const uint8_t* p, int32_t length, ShiftPlace place) {
  while (place.offset + 2 < length && p[place.offset] == kEscape) {
    const uint8_t kind = p[place.offset + 1], set = p[place.offset + 2];
    if (kind == '(' && (set == 'B' || set == 'J')) {
      place.set = set == 'B' ? ShiftSet::kASCII : ShiftSet::kRoman;
    } else if (kind == '$' && (set == '@' || set == 'B')) {
      place.set = ShiftSet::kKanji;
    } else {
      break;  // an escape character of its own
    }
    place.offset += 3;
  }
  return place;
}

}  // namespace

ShiftPlace StepShifted(const char* bytes, int32_t length, ShiftPlace place, int32_t chars) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes);
  for (; chars > 0; --chars) {
    const ShiftPlace at = SkipEscapes(p, length, place);
    if (at.offset >= length) break;
    // A pair in JIS X 0208; any other byte (a control character there) alone.
    const bool pair = at.set == ShiftSet::kKanji && p[at.offset] >= 0x21 && p[at.offset] <= 0x7E;
    place = {at.offset + (pair ? 2 : 1), at.set};
  }
  return place;
}

string CutShifted(const char* bytes, int32_t length, ShiftPlace from, ShiftPlace to) {
  from = SkipEscapes(reinterpret_cast<const uint8_t*>(bytes), length, from);
  if (from.offset >= to.offset) return string();
  static const char* const kInto[] = {"", "\x1B(J", "\x1B$B"};
  const auto lead = static_cast<int32_t>(std::strlen(kInto[static_cast<int>(from.set)]));
  const int32_t tail = to.set == ShiftSet::kASCII ? 0 : 3;
  const int32_t body = to.offset - from.offset;
  string piece(nullptr, lead + body + tail, kEncodingISO2022JP);
  char* out = piece.MutableBytes();
  std::memcpy(out, kInto[static_cast<int>(from.set)], static_cast<size_t>(lead));
  std::memcpy(out + lead, bytes + from.offset, static_cast<size_t>(body));
  std::memcpy(out + lead + body, "\x1B(B", static_cast<size_t>(tail));
  return piece;
}

}  // namespace vorn
