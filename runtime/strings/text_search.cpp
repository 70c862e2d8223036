#include "strings/text_search.h"

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "strings/case_table.h"
#include "strings/char_reader.h"
#include "strings/single_byte_keys.h"
#include "strings/utf8.h"

namespace vorn {

namespace {

// `bytes` folds a single-byte encoding's text.
uint32_t FoldedKey(const TextChar& c, CharScheme scheme, const SingleByteKeys* bytes) {
  if (!c.valid) return kInvalidKey | c.value;
  if (scheme == CharScheme::kSingleByte) return bytes->key[c.value & 0xFF];
  if (c.value < 0x80) return kUpperCaseTable[c.value];
  return g_unichar_toupper(c.value);
}

// For each ASCII upper-case key, the UTF-8 lead bytes of non-ASCII characters that fold to it
// (dotless i to I, long s to S). Only the basic plane has such characters.
struct AsciiFoldLeads {
  std::array<std::array<bool, 256>, 128> leads{};
  AsciiFoldLeads() {
    for (gunichar c = 0x80; c < 0x10000; ++c) {
      gunichar upper = g_unichar_toupper(c);
      if (upper >= 0x80) continue;
      char bytes[4];
      EncodeUTF8(c, bytes);
      leads[upper][static_cast<uint8_t>(bytes[0])] = true;
    }
  }
};

const AsciiFoldLeads& FoldLeads() {
  static const AsciiFoldLeads table;
  return table;
}

// Bytes that equal no other byte through the upper-case table.
bool IsASCIILetter(uint8_t byte) { return (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z'; }

// Whether a plain byte search finds exactly what the case-insensitive search would.
bool BytesMatchLikeText(const char* pattern, int32_t length, CharScheme scheme, const SingleByteKeys* bytes) {
  for (int32_t i = 0; i < length; ++i) {
    auto byte = static_cast<uint8_t>(pattern[i]);
    switch (scheme) {
      case CharScheme::kSingleByte:
        if (!bytes->alone[byte]) return false;
        break;
      case CharScheme::kUTF8:
      case CharScheme::kEUCJP:
        // Bytes of ASCII characters can't sit inside another character in these encodings.
        if (byte >= 0x80 || IsASCIILetter(byte)) return false;
        break;
      case CharScheme::kShiftJIS:
        // A trail byte is 0x40 or above.
        if (byte >= 0x40) return false;
        break;
      default: return false;
    }
  }
  return true;
}

int32_t UnitSize(CharScheme scheme) {
  return scheme == CharScheme::kUTF16 ? 2 : scheme == CharScheme::kUTF32 ? 4 : 1;
}

// UTF-16 or UTF-32 units of ASCII characters that are no letters: found by their bytes, at a
// unit's start (such a unit is never part of a surrogate pair).
bool UnitsMatchLikeText(const char* pattern, int32_t length, CharScheme scheme) {
  const int32_t unit = UnitSize(scheme);
  if (unit == 1 || length % unit != 0) return false;
  for (int32_t i = 0; i < length; i += unit) {
    auto byte = static_cast<uint8_t>(pattern[i]);
    if (byte >= 0x80 || IsASCIILetter(byte)) return false;
    for (int32_t k = 1; k < unit; ++k) {
      if (pattern[i + k] != 0) return false;
    }
  }
  return true;
}

}  // namespace

TextFinder::TextFinder(const char* pattern, int32_t patternLength, EncodingCode encoding, MatchMode mode)
    : mPattern(pattern), mPatternLength(pattern ? std::max(patternLength, 0) : 0),
      mScheme(SchemeForEncoding(encoding)), mReader(encoding),
      mBytes(mScheme == CharScheme::kSingleByte ? &SingleByteKeysFor(encoding) : nullptr) {
  if (mPatternLength == 0) return;
  if (mode == MatchMode::kBytes || BytesMatchLikeText(mPattern, mPatternLength, mScheme, mBytes)) {
    mStrategy = Strategy::kBytes;
    return;
  }
  if (UnitsMatchLikeText(mPattern, mPatternLength, mScheme)) {
    mStrategy = Strategy::kUnitBytes;
    return;
  }
  for (int32_t i = 0; i < mPatternLength;) {
    TextChar c = ReadChar(mPattern, mPatternLength, i);
    mKeys.push_back(FoldedKey(c, mScheme, mBytes));
    i += c.size;
  }
  if (mScheme != CharScheme::kSingleByte && mScheme != CharScheme::kUTF8) {
    mStrategy = Strategy::kWalk;
    return;
  }
  mStrategy = Strategy::kCandidateBytes;
  uint32_t first = mKeys.front();
  if (mScheme == CharScheme::kSingleByte) {
    for (int b = 0; b < 256; ++b) mCandidate[b] = mBytes->key[b] == first;
  } else if (first & kInvalidKey) {
    mCandidate[first & 0xFF] = true;
  } else if (first < 0x80) {
    for (int b = 0; b < 0x80; ++b) mCandidate[b] = kUpperCaseTable[b] == first;
    const auto& leads = FoldLeads().leads[first];
    for (int b = 0x80; b < 256; ++b) mCandidate[b] = leads[b];
  } else {
    for (int b = 0xC2; b <= 0xF4; ++b) mCandidate[b] = true;
  }
  TakeCandidates();
}

TextFinder::TextFinder(const string& utf8Pattern, EncodingCode singleByteEncoding)
    : mPattern(nullptr), mPatternLength(0), mScheme(CharScheme::kSingleByte), mReader(singleByteEncoding),
      mBytes(&SingleByteKeysFor(singleByteEncoding)) {
  const char* bytes = utf8Pattern.CString();
  const int32_t length = utf8Pattern.Length();
  for (int32_t i = 0; i < length;) {
    const UTF8Char c = UTF8DecodeChar(bytes, length, i);
    if (!c.valid) return;
    mKeys.push_back(FoldedKey(TextChar{c.codePoint, c.size, true}, CharScheme::kUTF8, nullptr));
    i += c.size;
  }
  if (mKeys.empty()) return;
  for (int b = 0; b < 256; ++b) mCandidate[b] = mBytes->key[b] == mKeys.front();
  // No byte of the encoding folds as the pattern's first character: it is never found.
  if (TakeCandidates() > 0) mStrategy = Strategy::kCandidateBytes;
}

int32_t TextFinder::TakeCandidates() {
  int32_t count = 0;
  for (int b = 0; b < 256; ++b) {
    if (!mCandidate[b]) continue;
    if (count < 4) mFewCandidates[count] = static_cast<uint8_t>(b);
    ++count;
  }
  mFewCandidateCount = count <= 4 ? count : 0;
  return count;
}

namespace {
thread_local uint64_t tWalkSteps = 0;
}  // namespace

uint64_t TextWalkSteps() { return tWalkSteps; }

void AddTextWalkSteps(int64_t bytes) { tWalkSteps += static_cast<uint64_t>(bytes); }

TextMatch TextFinder::Find(const char* text, int32_t length, int32_t start, bool atCharStart) const {
  if (start < 0) start = 0;
  if (!text || start >= length || mStrategy == Strategy::kNone) return {-1, 0};
  if (text == mAnswerText && length == mAnswerLength && start >= mAnswerFrom &&
      (!mAnswer.Found() || start <= mAnswer.offset)) {
    return mAnswer;
  }
  TextMatch match{-1, 0};
  switch (mStrategy) {
    case Strategy::kBytes: match = FindBytes(text, length, start); break;
    case Strategy::kUnitBytes: match = FindUnits(text, length, start); break;
    case Strategy::kCandidateBytes: match = FindFromCandidates(text, length, start); break;
    case Strategy::kWalk: match = FindByWalking(text, length, start, atCharStart); break;
    case Strategy::kNone: break;
  }
  mAnswerText = text;
  mAnswerLength = length;
  mAnswerFrom = start;
  mAnswer = match;
  return match;
}

TextMatch TextFinder::FindBytes(const char* text, int32_t length, int32_t start) const {
  // Jump between occurrences of the first byte (memchr is the fastest scan there is) and
  // compare the rest; when that keeps failing, as with repetitive texts, hand the rest to
  // memmem, whose time is linear whatever the text.
  const char* end = text + length;
  const char* p = text + start;
  auto first = static_cast<unsigned char>(mPattern[0]);
  if (mPatternLength == 1) {
    const auto* hit = static_cast<const char*>(memchr(p, first, static_cast<size_t>(end - p)));
    AddTextWalkSteps((hit ? hit : end) - p);
    return hit ? TextMatch{static_cast<int32_t>(hit - text), 1} : TextMatch{-1, 0};
  }
  size_t rest = static_cast<size_t>(mPatternLength - 1);
  size_t wasted = 0;
  auto reached = [&](const char* at) {
    AddTextWalkSteps(at - (text + start));
    return static_cast<int32_t>(at - text);
  };
  auto none = [&] {
    reached(end);
    return TextMatch{-1, 0};
  };
  while (end - p >= mPatternLength) {
    const auto* hit = static_cast<const char*>(memchr(p, first, static_cast<size_t>(end - p) - rest));
    if (!hit) return none();
    if (std::memcmp(hit + 1, mPattern + 1, rest) == 0) return {reached(hit), mPatternLength};
    p = hit + 1;
    wasted += rest + 16;
    if (wasted > static_cast<size_t>(p - text - start) + 4096) {
      const void* found = memmem(p, static_cast<size_t>(end - p), mPattern, static_cast<size_t>(mPatternLength));
      if (!found) return none();
      return {reached(static_cast<const char*>(found)), mPatternLength};
    }
  }
  return none();
}

int32_t TextFinder::MatchAt(const char* text, int32_t length, int32_t i) const {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text);
  // At a character start a byte below 0x80 is a whole character, except in UTF-16 and UTF-32.
  bool asciiIsChar = mScheme != CharScheme::kUTF16 && mScheme != CharScheme::kUTF32;
  for (uint32_t key : mKeys) {
    if (i >= length) return -1;
    uint8_t byte = bytes[i];
    if ((byte < 0x80 && asciiIsChar) || mBytes) {
      if ((mBytes ? mBytes->key[byte] : kUpperCaseTable[byte]) != key) return -1;
      ++i;
      continue;
    }
    TextChar c = ReadChar(text, length, i);
    if (FoldedKey(c, mScheme, mBytes) != key) return -1;
    i += c.size;
  }
  return i;
}

bool TextFinder::IsCharStart(const char* text, int32_t length, int32_t i) const {
  if (mScheme != CharScheme::kUTF8 || (static_cast<uint8_t>(text[i]) & 0xC0) != 0x80) return true;
  for (int32_t back = 1; back <= 3 && i - back >= 0; ++back) {
    UTF8Char c = UTF8DecodeChar(text, length, i - back);
    if (c.valid && c.size > back) return false;
  }
  return true;
}

TextMatch TextFinder::FindFromCandidates(const char* text, int32_t length, int32_t start) const {
  auto tryAt = [&](int32_t i) -> TextMatch {
    if (!IsCharStart(text, length, i)) return {-1, 0};
    int32_t end = MatchAt(text, length, i);
    return end < 0 ? TextMatch{-1, 0} : TextMatch{i, end - i};
  };
  if (mFewCandidateCount > 0) {
    // The first place any candidate byte occurs is all a search needs: each byte is sought a
    // block at a time, never past the nearest place another one was found, so that a byte the
    // text lacks (the capital of a word written in small letters) costs no scan to the end.
    // A block is as long as the stretch the byte was sought in already: the scans stay within
    // twice the distance to the match, in few calls.
    constexpr int64_t kFirstBlock = 16, kLongestBlock = 1 << 16;
    const int count = mFewCandidateCount;
    // Candidate k occurs at to[k] when hit[k]; no match begins with it before to[k].
    std::array<int32_t, 4> to;
    std::array<bool, 4> hit{};
    to.fill(start);
    for (;;) {
      int32_t nearest = length;
      for (int k = 0; k < count; ++k) {
        if (hit[k]) nearest = std::min(nearest, to[k]);
      }
      for (;;) {
        int lag = -1;
        for (int k = 0; k < count; ++k) {
          if (!hit[k] && to[k] < nearest && (lag < 0 || to[k] < to[lag])) lag = k;
        }
        if (lag < 0) break;
        const int64_t block = std::clamp<int64_t>(to[lag] - start, kFirstBlock, kLongestBlock);
        const int32_t limit = static_cast<int32_t>(std::min<int64_t>(nearest, to[lag] + block));
        const auto* found = static_cast<const char*>(
            memchr(text + to[lag], mFewCandidates[lag], static_cast<size_t>(limit - to[lag])));
        const int32_t reached = found ? static_cast<int32_t>(found - text) : limit;
        AddTextWalkSteps(reached - to[lag]);
        to[lag] = reached;
        if (found) {
          hit[lag] = true;
          nearest = reached;
        }
      }
      if (nearest == length) return {-1, 0};
      TextMatch match = tryAt(nearest);
      if (match.Found()) return match;
      for (int k = 0; k < count; ++k) {
        if (hit[k] && to[k] == nearest) {
          hit[k] = false;
          to[k] = nearest + 1;
        }
      }
    }
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(text);
  for (int32_t i = start; i < length; ++i) {
    if (!mCandidate[bytes[i]]) continue;
    TextMatch match = tryAt(i);
    if (match.Found()) {
      AddTextWalkSteps(i - start);
      return match;
    }
  }
  AddTextWalkSteps(length - start);
  return {-1, 0};
}

TextMatch TextFinder::FindUnits(const char* text, int32_t length, int32_t start) const {
  const int32_t unit = UnitSize(mScheme);
  start += (unit - start % unit) % unit;
  while (start < length) {
    TextMatch match = FindBytes(text, length, start);
    if (!match.Found() || match.offset % unit == 0) return match;
    start = match.offset + unit - match.offset % unit;
  }
  return {-1, 0};
}

TextMatch TextFinder::FindByWalking(const char* text, int32_t length, int32_t start, bool atCharStart) const {
  // Character starts are only known from the beginning in these encodings, from the end of the
  // last match in the same text, or from the caller.
  int32_t i = 0;
  if (atCharStart) {
    i = start;
  } else if (text == mWalkedText && length == mWalkedLength && mWalkedTo <= start) {
    i = mWalkedTo;
  }
  const int32_t from = i;
  // A byte below 0x80 is a whole ASCII character in Shift_JIS and EUC-JP, which folds to no
  // other character's key.
  const bool skipASCII = (mScheme == CharScheme::kShiftJIS || mScheme == CharScheme::kEUCJP) && mKeys.front() >= 0x80;
  while (i < length) {
    if (skipASCII && static_cast<uint8_t>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    TextChar c = ReadChar(text, length, i);
    if (i >= start && FoldedKey(c, mScheme, mBytes) == mKeys.front()) {
      int32_t end = MatchAt(text, length, i);
      if (end >= 0) {
        mWalkedText = text;
        mWalkedLength = length;
        mWalkedTo = end;
        AddTextWalkSteps(i - from);
        return {i, end - i};
      }
    }
    i += c.size;
  }
  AddTextWalkSteps(i - from);
  return {-1, 0};
}

bool PatternInEncoding(const string& pattern, EncodingCode target, string& out) {
  EncodingCode source = pattern.Encoding();
  if (pattern.IsEmpty() || source == target || source == kEncodingUnknown || target == kEncodingUnknown ||
      (IsASCIICompatible(target) && IsASCIICompatible(source) && IsAllASCII(pattern.CString(), pattern.Length()))) {
    out = pattern;
    return true;
  }
  // A loop searches for the same few patterns again and again: each thread keeps its last
  // conversions (as bytes, so that no record is shared), which cost more than a search step.
  struct Conversion {
    std::string from;
    EncodingCode source = kEncodingUnknown, target = kEncodingUnknown;
    std::string to;
    EncodingCode toEncoding = kEncodingUnknown;
    bool exact = false;
  };
  thread_local std::array<Conversion, 4> recent;
  thread_local size_t oldest = 0;
  for (const Conversion& c : recent) {
    if (c.source == source && c.target == target && c.from == pattern.View()) {
      out = string(std::string_view(c.to), c.toEncoding);
      return c.exact;
    }
  }
  out = ConvertTextEncoding(pattern, target);
  bool exact = true;  // without a converter the bytes are compared as they are
  if (out.Encoding() == target) {
    string back = ConvertTextEncoding(out, source);
    exact = back.View() == pattern.View();
  }
  Conversion& kept = recent[oldest++ % recent.size()];
  kept = {std::string(pattern.View()), source, target, std::string(out.View()), out.Encoding(), exact};
  return exact;
}

int32_t FindBytesInString(int32_t start, const string& text, const string& pattern) {
  TextFinder finder(pattern.CString(), pattern.Length(), text.Encoding(), MatchMode::kBytes);
  return finder.Find(text.CString(), text.Length(), start).offset;
}

int32_t StringFind(int32_t start, const string& text, const string& pattern) {
  string converted;
  if (!PatternInEncoding(pattern, text.Encoding(), converted)) return -1;
  TextFinder finder(converted.CString(), converted.Length(), text.Encoding(), MatchMode::kIgnoreCase);
  return finder.Find(text.CString(), text.Length(), start).offset;
}

int32_t StringInStr(int32_t start, const string& text, const string& pattern) {
  return StringFind(std::max(start, 1) - 1, text, pattern) + 1;
}

bool SearchesInUTF8(const string& text, const string& pattern, string* utf8) {
  string converted;
  if (PatternInEncoding(pattern, text.Encoding(), converted) || !AllCharactersValid(text)) return false;
  return ConvertsExactly(text, utf8);
}

string SearchableText(const string& text, const string& pattern) {
  if (HasShiftStates(text.Encoding())) return ReadableForm(text);
  string utf8;
  return SearchesInUTF8(text, pattern, &utf8) ? utf8 : text;
}

int32_t StringInStrB(int32_t start, const string& text, const string& pattern) {
  return FindBytesInString(std::max(start, 1) - 1, text, pattern) + 1;
}

}  // namespace vorn
