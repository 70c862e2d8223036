// What a long text keeps of its characters with its own record: where every 256th character
// starts, how many there are and, for ISO-2022-JP, its readable form. Built the first time a
// text function needs a character far from the start, so that any later position costs a walk
// of at most one step of it, in any number of texts at once; dropped when the record changes in
// place and freed with it.
//
// A record shared by several threads never changes, and its index is published once by a
// compare-exchange. The cursor (the last place reached, a decoded step, the last search) is the
// one mutable part; a text function holds it while it runs, and one that finds it held works
// from the index alone.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "strings/iso2022jp_places.h"
#include "strings/text_chars.h"
#include "strings/text_search.h"
#include "strings/vstring.h"

namespace vorn {

// Walking a text shorter than this from its start costs less than keeping anything for it.
constexpr int32_t kTextIndexFrom = 4096;

struct TextPlace {
  int32_t index = 0, offset = 0;  // character `index` begins at byte `offset`
};

struct TextCursor {
  TextPlace last;  // the last character start reached
  // Where each character of one step starts, from the step's first: for the encodings whose
  // characters can't be read backwards. -1 while no step is decoded.
  int32_t step = -1;
  std::vector<uint16_t> inStep;
  // The last few searches' patterns (each its own copy, in the text's encoding) and their
  // finders, which remember where they got to in this text: a loop may search several patterns
  // in turn. The one least recently used makes room for a new one.
  struct KeptFinder {
    std::string pattern;
    EncodingCode encoding = kEncodingUnknown;
    bool folded = false;
    std::unique_ptr<TextFinder> finder;
    uint64_t used = 0;
  };
  static constexpr size_t kKeptFinders = 8;
  std::array<KeptFinder, kKeptFinders> finders;
  uint64_t searches = 0;
  // The finder kept for the pattern, made now when there is none.
  // `folded`: a UTF-8 pattern of characters a single-byte text's encoding lacks (see TextFinder).
  const TextFinder& FinderFor(const string& pattern, EncodingCode textEncoding, bool folded = false);
  // ISO-2022-JP's own bytes: the place before each character of one step (-1 while none).
  int32_t shiftStep = -1;
  std::vector<ShiftPlace> inShiftStep;
  // The last field NthField took: its number and where it begins, for a delimiter (its own
  // copy, in the encoding read) found one way, so that a loop over the fields walks on from it.
  struct LastField {
    std::string delimiter;
    EncodingCode encoding = kEncodingUnknown;
    MatchMode mode = MatchMode::kBytes;
    int32_t number = 0;  // none while 0
    int32_t offset = 0;
  } field;
};

struct TextIndex {
  static constexpr int32_t kStep = 256;

  TextIndex();
  ~TextIndex();
  TextIndex(const TextIndex&) = delete;
  TextIndex& operator=(const TextIndex&) = delete;

  // The record as it was when the index was made: an append in place changes its length.
  int32_t length = 0;
  EncodingCode encoding = kEncodingUnknown;
  // ISO-2022-JP in UTF-8, and whether it converts without loss; never copied out, so that no
  // other thread touches its reference count.
  string readable;
  bool exact = true;
  // Of the text as text functions read it (the readable form for ISO-2022-JP): the scheme,
  // single-byte when every character takes one byte, the number of characters and where
  // character k * kStep starts (none for single-byte text).
  CharScheme scheme = CharScheme::kSingleByte;
  int32_t count = 0;
  std::vector<int32_t> starts;
  // ISO-2022-JP that reads without a fault and holds no escape character: the place before
  // character k * kStep in the text's own bytes, from which pieces are cut (none otherwise).
  std::vector<ShiftPlace> shiftPlaces;
  ShiftPlace shiftEnd;  // after the last character
  // Whether every byte converts to UTF-8 exactly: only told for single-byte text.
  bool allValid = true;

  std::atomic<bool> busy{false};
  TextCursor cursor;
};

// The record's index, made now when it has none that fits; null for a text shorter than
// kTextIndexFrom or a record that can't keep one (one that is neither made by NewStringRep nor
// an image literal). An image literal's index lives as long as the literal: for good.
TextIndex* TextIndexOf(const string& text);
// The index the record already has, or null.
TextIndex* KeptTextIndex(const string& text);

// How many indexes exist in the process: each one made is freed with its record.
int64_t TextIndexesAlive();

// Drops the record's index: the record is about to change in place or to be freed. One load
// when it has none.
void ForgetTextPlaces(const StringRep* rep);

// ISO-2022-JP text in UTF-8 (kept with a long text's record), with whether it converts without
// loss (when not, the bytes may be anything); any other text as it is.
struct ReadableText {
  const char* bytes;
  int32_t length;
  bool exact;
  string keep;  // a short text's conversion
};
ReadableText ReadableTextOf(const string& text);

}  // namespace vorn
