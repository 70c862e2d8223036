#include "strings/text_index.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "strings/char_reader.h"
#include "strings/single_byte_keys.h"

namespace vorn {

namespace {

std::atomic<int64_t> gIndexesAlive{0};

// Image literals have no hidden words and live as long as the program: their indexes live in a
// table by the literal's address, whose slots are made once and never move or go.
std::atomic<TextIndex*>& LiteralSlotOf(const StringRep* rep) {
  // The last slot each thread asked for, so that a loop over one literal takes no lock.
  thread_local const StringRep* lastRep = nullptr;
  thread_local std::atomic<TextIndex*>* lastSlot = nullptr;
  if (lastRep == rep) return *lastSlot;
  static std::mutex lock;
  static auto* slots = new std::unordered_map<const StringRep*, std::atomic<TextIndex*>>();
  std::lock_guard<std::mutex> hold(lock);
  lastSlot = &(*slots)[rep];
  lastRep = rep;
  return *lastSlot;
}

bool CanKeepIndex(const StringRep* rep) {
  return rep && rep->length >= kTextIndexFrom && (string_block::HasHeader(rep) || IsStaticStringRep(rep));
}

std::atomic<TextIndex*>& SlotOf(const StringRep* rep) {
  return string_block::HasHeader(rep) ? string_block::HeaderOf(rep)->textIndex : LiteralSlotOf(rep);
}

bool Fits(const TextIndex* index, const StringRep* rep) {
  return index->length == rep->length && index->encoding == rep->encoding;
}

// Where each kStep-th character of well-formed UTF-8 starts, and how many characters there are:
// every byte but a continuation byte starts one, so eight bytes are counted at a time.
int32_t IndexWellFormedUTF8(const char* bytes, int32_t length, std::vector<int32_t>& starts) {
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  int32_t count = 0;
  int32_t offset = 0;
  auto byByte = [&](int32_t end) {
    for (; offset < end; ++offset) {
      if ((static_cast<uint8_t>(bytes[offset]) & 0xC0) == 0x80) continue;
      if (count % TextIndex::kStep == 0) starts.push_back(offset);
      ++count;
    }
  };
  while (offset + 8 <= length) {
    uint64_t word;
    std::memcpy(&word, bytes + offset, 8);
    // A continuation byte has its top bit set and the next one clear; the multiplication adds
    // up the bytes' flags in the top byte.
    const uint64_t continuing = (word & ~(word << 1) & kHighBits) >> 7;
    const auto begun = static_cast<int32_t>(8 - ((continuing * 0x0101010101010101ull) >> 56));
    const int32_t into = count % TextIndex::kStep;
    if (begun == 0 || (into != 0 && into + begun <= TextIndex::kStep)) {
      count += begun;
      offset += 8;
    } else {
      byByte(offset + 8);
    }
  }
  byByte(length);
  return count;
}

// The places every kStep characters in ISO-2022-JP's own bytes, kept only when they come out
// at as many characters as the readable form has, and it holds no escape character, which a
// piece cut between them could hold and a reader take for the start of an escape.
void PlaceShifts(const string& text, TextIndex& index) {
  if (std::memchr(index.readable.CString(), 0x1B, static_cast<size_t>(index.readable.Length()))) return;
  const char* bytes = text.CString();
  const int32_t length = text.Length();
  ShiftPlace place;
  for (int32_t k = 0; k < index.count; k += TextIndex::kStep) {
    index.shiftPlaces.push_back(place);
    place = StepShifted(bytes, length, place, std::min(TextIndex::kStep, index.count - k));
  }
  AddTextWalkSteps(length);
  index.shiftEnd = place;
  if (StepShifted(bytes, length, place, 1).offset != place.offset) std::vector<ShiftPlace>().swap(index.shiftPlaces);
}

TextIndex* BuildIndex(const string& text) {
  auto* index = new TextIndex;
  index->length = text.Length();
  index->encoding = text.Encoding();
  const char* bytes = text.CString();
  int32_t length = text.Length();
  EncodingCode readEncoding = text.Encoding();
  if (HasShiftStates(text.Encoding())) {
    int32_t replaced = 0;
    index->readable = ConvertTextEncoding(text, kEncodingUTF8, &replaced);
    index->exact = IconvNameForEncoding(text.Encoding()) && index->readable.Encoding() == kEncodingUTF8 && replaced == 0;
    bytes = index->readable.CString();
    length = index->readable.Length();
    readEncoding = index->readable.Encoding();
  }
  index->scheme = SchemeForEncoding(readEncoding);
  if (index->scheme == CharScheme::kSingleByte) {
    index->count = length;
    index->allValid = EveryByteKeyed(SingleByteKeysFor(text.Encoding()), bytes, length);
    return index;
  }
  index->starts.reserve(static_cast<size_t>(length / TextIndex::kStep + 1));
  int32_t count = 0;
  // The readable form is written by a converter: well formed.
  if (HasShiftStates(text.Encoding()) && readEncoding == kEncodingUTF8) {
    count = IndexWellFormedUTF8(bytes, length, index->starts);
  } else {
    for (int32_t offset = 0; offset < length; ++count) {
      if (count % TextIndex::kStep == 0) index->starts.push_back(offset);
      offset = NextCharOffset(bytes, length, offset, index->scheme);
    }
  }
  AddTextWalkSteps(length);
  index->count = count;
  if (HasShiftStates(text.Encoding()) && index->exact) PlaceShifts(text, *index);
  // Text whose every character takes one byte (ASCII in UTF-8, Shift_JIS or EUC-JP) is read
  // by byte offsets.
  if (count == length) {
    index->scheme = CharScheme::kSingleByte;
    std::vector<int32_t>().swap(index->starts);
  } else if (index->starts.capacity() > 2 * index->starts.size()) {
    index->starts.shrink_to_fit();
  }
  return index;
}

}  // namespace

const TextFinder& TextCursor::FinderFor(const string& pattern, EncodingCode textEncoding, bool folded) {
  auto fits = [&](const KeptFinder& f) {
    return f.finder && f.folded == folded && f.encoding == pattern.Encoding() && f.pattern == pattern.View();
  };
  KeptFinder* kept = &finders[0];
  for (KeptFinder& f : finders) {
    if (fits(f)) {
      kept = &f;
      break;
    }
    if (f.used < kept->used) kept = &f;
  }
  if (!fits(*kept)) {
    kept->pattern.assign(pattern.View());
    kept->encoding = pattern.Encoding();
    kept->folded = folded;
    kept->finder = folded ? std::make_unique<TextFinder>(pattern, textEncoding)
                          : std::make_unique<TextFinder>(kept->pattern.data(), static_cast<int32_t>(kept->pattern.size()),
                                                         textEncoding, MatchMode::kIgnoreCase);
  }
  kept->used = ++searches;
  return *kept->finder;
}

TextIndex::TextIndex() { gIndexesAlive.fetch_add(1, std::memory_order_relaxed); }
TextIndex::~TextIndex() { gIndexesAlive.fetch_sub(1, std::memory_order_relaxed); }

int64_t TextIndexesAlive() { return gIndexesAlive.load(std::memory_order_relaxed); }

TextIndex* KeptTextIndex(const string& text) {
  const StringRep* rep = text.Rep();
  if (!CanKeepIndex(rep)) return nullptr;
  TextIndex* index = SlotOf(rep).load(std::memory_order_acquire);
  return index && Fits(index, rep) ? index : nullptr;
}

TextIndex* TextIndexOf(const string& text) {
  const StringRep* rep = text.Rep();
  if (!CanKeepIndex(rep)) return nullptr;
  std::atomic<TextIndex*>& slot = SlotOf(rep);
  TextIndex* kept = slot.load(std::memory_order_acquire);
  if (kept && Fits(kept, rep)) return kept;
  // An index that no longer fits belongs to a record appended to in place, which only one
  // string holds.
  if (kept) ForgetTextPlaces(rep);
  TextIndex* made = BuildIndex(text);
  TextIndex* expected = nullptr;
  if (slot.compare_exchange_strong(expected, made, std::memory_order_acq_rel, std::memory_order_acquire)) return made;
  delete made;  // another thread published one first
  return expected;
}

void ForgetTextPlaces(const StringRep* rep) {
  if (!rep || !string_block::HasHeader(rep)) return;
  std::atomic<TextIndex*>& slot = SlotOf(rep);
  if (!slot.load(std::memory_order_relaxed)) return;
  delete slot.exchange(nullptr, std::memory_order_acq_rel);
}

ReadableText ReadableTextOf(const string& text) {
  if (!HasShiftStates(text.Encoding())) return {text.CString(), text.Length(), true, string()};
  if (const TextIndex* index = TextIndexOf(text)) {
    return {index->readable.CString(), index->readable.Length(), index->exact, string()};
  }
  ReadableText result{nullptr, 0, false, string()};
  result.exact = ConvertsExactly(text, &result.keep);
  result.bytes = result.keep.CString();
  result.length = result.keep.Length();
  return result;
}

}  // namespace vorn
