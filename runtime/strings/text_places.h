// Character positions of a text for the character-counting text functions. A short text is
// walked from its start; a long one from the nearest place its record keeps (text_index.h), so
// that a loop through a text by InStr, Mid, Left or Right, forwards, backwards or in step with
// other texts, walks each text about once.
#pragma once

#include <cstdint>
#include <vector>

#include "strings/text_index.h"

namespace vorn {

// The positions of one text for the time of one text function, which keeps the text alive.
// They are those of the text as text functions read it (its readable form for ISO-2022-JP).
class TextPlaces {
 public:
  explicit TextPlaces(const string& text);
  ~TextPlaces();
  TextPlaces(const TextPlaces&) = delete;
  TextPlaces& operator=(const TextPlaces&) = delete;

  // The bytes read, and their encoding (UTF-8 for ISO-2022-JP).
  const char* Bytes() const { return mBytes; }
  int32_t Length() const { return mLength; }
  EncodingCode ReadEncoding() const { return mEncoding; }
  // The record's cursor, while this call holds it (a long text the other threads aren't
  // reading just now), else null.
  TextCursor* HeldCursor() {
    UseIndex();
    return mCursor;
  }
  // Bytes [from, to) of the text read, in the text's own encoding.
  string Piece(int32_t from, int32_t to);
  // The byte offset of character `index` (0-based; the length past the last character).
  int32_t OffsetOf(int64_t index);
  // The number of characters before `offset`, a character start.
  int32_t IndexAt(int32_t offset);
  int32_t Count();
  // The first case-insensitive match of the pattern at or after `start`, a character start;
  // -1 when none (or when the pattern holds a character the text's encoding lacks).
  int32_t Find(const string& pattern, int32_t start);
  // The same for a UTF-8 pattern of characters a single-byte text's encoding lacks, matched by
  // how they fold (see TextFinder).
  int32_t FindFolded(const string& utf8Pattern, int32_t start);
  // Whether every byte of a single-byte text is a character that converts to UTF-8 exactly (a
  // long text's index keeps the answer).
  bool AllValid();

 private:
  // The record's index, made when the text is long enough; takes its cursor when free.
  bool UseIndex();
  TextPlace Walk(TextPlace from, bool byIndex, int64_t target) const;
  TextPlace WalkFromKnown(bool byIndex, int64_t target);
  const std::vector<uint16_t>& DecodedStep(int32_t step);

  const string& mText;
  string mReadable;  // a short ISO-2022-JP text's readable form
  const char* mBytes;
  int32_t mLength;
  EncodingCode mEncoding;  // of the text read
  CharScheme mScheme;
  TextIndex* mIndex = nullptr;
  TextCursor* mCursor = nullptr;  // the index's, while this call holds it
  TextPlace mLast;                // the last place reached, when the call has no cursor
};

}  // namespace vorn
