// What the character-counting text functions remember of a string between calls: the last
// character start they reached, the number of characters, and the last search with where it
// stopped. A loop that steps forward through a text by InStr, Mid, Left or Right then walks the
// text once instead of from its start on every call.
//
// A few strings are remembered, by record. A record is only changed in place while one string
// holds it, and every change and every free goes through ForgetTextPlaces first, so what is
// remembered of a record always describes its current bytes.
#pragma once

#include <cstdint>
#include <memory>

#include "strings/text_chars.h"
#include "strings/text_search.h"
#include "strings/vstring.h"

namespace vorn {

// Drops what is remembered of the record: it is about to change in place or to be freed.
// Cheap enough for every free: a few pointer compares.
void ForgetTextPlaces(const StringRep* rep);

struct TextMemo;

// Takes what is remembered of a text for the time of one text function and hands back what it
// learned when it ends. The positions are those of the text as text functions read it (its
// readable form for ISO-2022-JP).
class TextPlaces {
 public:
  explicit TextPlaces(const string& text);
  ~TextPlaces();
  TextPlaces(const TextPlaces&) = delete;
  TextPlaces& operator=(const TextPlaces&) = delete;

  // The text the positions are in.
  const string& Text() const;
  // The byte offset of character `index` (0-based; the length past the last character).
  int32_t OffsetOf(int64_t index);
  // The number of characters before `offset`, a character start.
  int32_t IndexAt(int32_t offset);
  int32_t Count();
  // The first case-insensitive match of the pattern at or after `start`, a character start;
  // -1 when none (or when the pattern holds a character the text's encoding lacks).
  int32_t Find(const string& pattern, int32_t start);

 private:
  string mText;
  std::unique_ptr<TextMemo> mMemo;
};

}  // namespace vorn
