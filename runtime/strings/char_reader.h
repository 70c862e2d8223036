// One reader per encoding: the characters of a text read in place as Unicode code points, the
// way every text function sees them.
//
// UTF-8, UTF-16 and UTF-32 decode as text_chars.h does. A single-byte encoding reads each byte
// through a table made once from the system's converter; Shift_JIS and EUC-JP read a lead byte
// with its trail bytes through such tables too, and their bytes below 0x80 are ASCII. A byte or
// sequence that is no character of its encoding, or one whose character would not convert back
// to the same bytes, is invalid: it equals only itself. ISO-2022-JP switches character sets
// with escapes, so none of its bytes can be read without reading all before it: text functions
// bring it to UTF-8, work there and bring the result back (ReadableForm, InEncodingOf).
#pragma once

#include <cstdint>

#include "strings/text_chars.h"
#include "strings/vstring.h"

namespace vorn {

// The order key of an invalid character: above every code point, told apart by its bytes.
constexpr uint32_t kNoCharacterKey = 0x80000000u;

class CharReader {
 public:
  explicit CharReader(EncodingCode encoding);

  CharScheme Scheme() const { return mScheme; }
  // A single-byte encoding with a character for every byte: no text of it is invalid.
  bool EveryByteValid() const { return mSingle && !(mSingle[256] & kNoCharacterKey); }

  // The character at bytes[i], inside the text: its code point when valid, else its bytes as
  // DecodeTextChar gives them.
  TextChar Read(const char* bytes, int32_t length, int32_t i) const {
    if (mSingle) {
      const uint32_t value = mSingle[static_cast<uint8_t>(bytes[i])];
      return value & kNoCharacterKey ? TextChar{value & 0xFF, 1, false} : TextChar{value, 1, true};
    }
    return ReadSlowly(bytes, length, i);
  }

  // The character's place in the order: its code point (upper-cased when case is ignored), or
  // kNoCharacterKey and its bytes.
  static uint32_t Key(const TextChar& c, bool ignoreCase);

  // Whether every character from `from` (a character start) to the end is valid.
  bool ValidFrom(const char* bytes, int32_t length, int32_t from) const;
  // Shift_JIS and EUC-JP: the size of the character at bytes[i] when it is ASCII or a valid
  // pair, else 0 (read it).
  int32_t QuickValidSize(const char* bytes, int32_t length, int32_t i) const;

 private:
  TextChar ReadSlowly(const char* bytes, int32_t length, int32_t i) const;

  CharScheme mScheme;
  friend int CompareInEncoding(const string& a, const string& b, bool ignoreCase, bool* sawInvalid);
  friend bool AllCharactersValid(const string& text);

  // A single-byte encoding's code points by byte (an invalid one as its key), then
  // kNoCharacterKey when one of them is invalid, then each byte's key with case ignored.
  const uint32_t* mSingle = nullptr;
  const struct DoubleByteTable* mDouble = nullptr;
};

// -1/0/1 comparing two texts of one encoding (not ISO-2022-JP) character by character, as their
// UTF-8 forms compare. `sawInvalid` tells whether either text holds an invalid character, when
// the caller asks.
int CompareInEncoding(const string& a, const string& b, bool ignoreCase, bool* sawInvalid);

// Whether every character of the text is valid in its encoding (not for ISO-2022-JP).
bool AllCharactersValid(const string& text);

// Whether text of the encoding holds shift states (ISO-2022-JP): read only from its start.
bool HasShiftStates(EncodingCode encoding);

// The text as text functions read it: ISO-2022-JP brought to UTF-8, any other text as it is.
string ReadableForm(const string& text);

// A result worked out in `text`'s readable form, brought back to `text`'s own encoding when
// that holds it exactly; otherwise left in UTF-8, as joining leaves text no encoding of its
// parts holds.
string InEncodingOf(const string& result, const string& text);

}  // namespace vorn
