// Finding one string in another: byte for byte, or without regard to case the way the
// language compares strings (string::Compare).
//
// The case-insensitive search compares characters of the text's own encoding as its reader
// (char_reader.h) sees them: by upper-cased code point, a single-byte encoding's through a key
// table made once. It matches only at
// character starts, and an invalid byte or unit only matches the same invalid byte or unit, so
// no match ever begins or ends inside a character. An empty pattern is never found: a search
// loop that steps past each match always ends.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "strings/char_reader.h"
#include "strings/text_chars.h"
#include "strings/vstring.h"

namespace vorn {

struct TextMatch {
  int32_t offset;  // -1 when there is none
  int32_t length;  // bytes of the text the match covers (may differ from the pattern's length
                   // when case folding pairs characters of different sizes)
  bool Found() const { return offset >= 0; }
};

enum class MatchMode : uint8_t { kBytes, kIgnoreCase };

struct SingleByteKeys;

// A pattern prepared once for repeated searches. The pattern bytes must stay alive and already
// be in the encoding of the texts searched.
class TextFinder {
 public:
  TextFinder(const char* pattern, int32_t patternLength, EncodingCode encoding, MatchMode mode);
  // Without regard to case, a pattern of characters a single-byte encoding may lack, given in
  // UTF-8, in text of that encoding: its bytes match where their characters fold as the
  // pattern's do (ÿ where the pattern has Ÿ), as in the text's UTF-8 form. Finds nothing when
  // the pattern is not valid UTF-8.
  TextFinder(const string& utf8Pattern, EncodingCode singleByteEncoding);

  // The first match at or after byte offset `start` (below 0 counts as 0) in text[0, length).
  // `atCharStart` tells that `start` is known to begin a character, so a search that reads
  // characters need not walk to it from the text's start.
  TextMatch Find(const char* text, int32_t length, int32_t start, bool atCharStart = false) const;

  // The pattern's one byte when a plain byte scan finds exactly what Find does, else -1:
  // callers looping over many matches (fields) scan for it directly.
  int32_t PlainByte() const {
    return mStrategy == Strategy::kBytes && mPatternLength == 1 ? static_cast<uint8_t>(mPattern[0]) : -1;
  }

 private:
  enum class Strategy : uint8_t { kNone, kBytes, kUnitBytes, kCandidateBytes, kWalk };

  // Lists the first few candidate bytes of mCandidate; how many there are.
  int32_t TakeCandidates();
  TextMatch FindBytes(const char* text, int32_t length, int32_t start) const;
  TextMatch FindFromCandidates(const char* text, int32_t length, int32_t start) const;
  TextMatch FindByWalking(const char* text, int32_t length, int32_t start, bool atCharStart) const;
  TextMatch FindUnits(const char* text, int32_t length, int32_t start) const;
  // End offset of a match of the whole pattern at i, or -1.
  int32_t MatchAt(const char* text, int32_t length, int32_t i) const;
  bool IsCharStart(const char* text, int32_t length, int32_t i) const;
  // A character as the search folds it: a single-byte encoding's by its byte (through mBytes),
  // every other one's by its code point.
  TextChar ReadChar(const char* text, int32_t length, int32_t i) const {
    return mBytes ? DecodeTextChar(text, length, i, mScheme) : mReader.Read(text, length, i);
  }

  const char* mPattern;
  int32_t mPatternLength;
  CharScheme mScheme;
  CharReader mReader;
  const SingleByteKeys* mBytes;  // for a single-byte encoding
  Strategy mStrategy = Strategy::kNone;
  std::vector<uint32_t> mKeys;          // folded characters of the pattern
  std::array<bool, 256> mCandidate{};   // bytes that can start a match
  std::array<uint8_t, 4> mFewCandidates{};
  int32_t mFewCandidateCount = 0;       // 1..4 when the candidates are that few, else 0
  // Where the last match in this text ended: a character start from which the next search
  // walks, so that stepping over every match reads the text once.
  mutable const char* mWalkedText = nullptr;
  mutable int32_t mWalkedLength = 0;
  mutable int32_t mWalkedTo = 0;
  // The last answer: the first match at or after mAnswerFrom in the same text, which is the
  // answer from any start up to it too (a loop that searches two patterns in turn from the
  // same places asks for it again and again).
  mutable const char* mAnswerText = nullptr;
  mutable int32_t mAnswerLength = 0;
  mutable int32_t mAnswerFrom = 0;
  mutable TextMatch mAnswer{-1, 0};
};

// Bytes that searches and character walks have passed over on this thread: tests bound them,
// where a clock would be no guard under load.
uint64_t TextWalkSteps();
void AddTextWalkSteps(int64_t bytes);

// The pattern in the encoding `target`, in `out`. False when it holds characters that the
// target can't represent (so it can't occur in a text of that encoding). No conversion happens
// when either encoding is unknown, when they are equal, or for ASCII text.
bool PatternInEncoding(const string& pattern, EncodingCode target, string& out);

// 0-based offset of the first occurrence of the pattern's bytes at or after start (a negative
// start counts as 0), -1 when none, when start is past the end, or when the pattern is empty.
int32_t FindBytesInString(int32_t start, const string& text, const string& pattern);

// 0-based offset of the first case-insensitive occurrence at or after start, -1 when none.
// The pattern is first brought to the text's encoding.
int32_t StringFind(int32_t start, const string& text, const string& pattern);
inline int32_t StringFind(const string& text, const string& pattern) { return StringFind(0, text, pattern); }

// The language's InStr: the 1-based byte position of the first case-insensitive occurrence at
// or after the 1-based position start (below 1 counts as 1), 0 when absent or the pattern is
// empty. StringInStrB compares bytes and leaves the encodings alone.
int32_t StringInStr(int32_t start, const string& text, const string& pattern);
int32_t StringInStrB(int32_t start, const string& text, const string& pattern);

// The text a case-insensitive search for the pattern reads: its UTF-8 form when its own
// encoding has shift states, or lacks a character of the pattern (whose case partner the text
// may hold); otherwise the text itself.
string SearchableText(const string& text, const string& pattern);
// Whether that is the UTF-8 form of a text without shift states, given in `utf8`.
bool SearchesInUTF8(const string& text, const string& pattern, string* utf8);

}  // namespace vorn
