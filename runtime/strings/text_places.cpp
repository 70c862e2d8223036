#include "strings/text_places.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "strings/char_reader.h"

namespace vorn {

struct TextMemo {
  // The record's bytes as they were when remembered.
  const char* buffer = nullptr;
  int32_t length = 0;
  EncodingCode encoding = kEncodingUnknown;
  string readable;  // ISO-2022-JP text in UTF-8; empty for every other text
  CharScheme scheme = CharScheme::kSingleByte;
  // Two character starts: character `index` begins at byte `offset`. The last one reached and
  // the one before, so that a piece's start stays at hand after its end is found.
  struct Place {
    int32_t index = 0, offset = 0;
  } last, before;
  int32_t count = -1;  // -1 until counted
  string pattern;      // the last search's pattern in the text's encoding, and its finder
  std::unique_ptr<TextFinder> finder;
};

namespace {

// Walking a short text costs less than taking a lock.
constexpr int32_t kWorthRemembering = 256;
constexpr int kSlots = 4;

// A slot's record, read on every free without a lock; the rest of a slot is only touched under
// the lock. A slot whose record is null holds nothing valid.
std::atomic<const StringRep*> gSlotReps[kSlots];

struct Slots {
  std::mutex lock;
  TextMemo memos[kSlots];
  unsigned next = 0;
};

// Never destroyed: strings released at exit still look at the slots.
Slots& TheSlots() {
  static auto* slots = new Slots;
  return *slots;
}

bool WorthRemembering(const StringRep* rep) { return rep && rep->length >= kWorthRemembering; }

// ASCII text has one character per byte in every encoding whose scheme is not a wide one.
CharScheme SchemeOf(const string& s) {
  CharScheme scheme = SchemeForEncoding(s.Encoding());
  if (scheme == CharScheme::kSingleByte || scheme == CharScheme::kUTF16 || scheme == CharScheme::kUTF32) return scheme;
  return IsAllASCII(s.CString(), s.Length()) ? CharScheme::kSingleByte : scheme;
}

}  // namespace

void ForgetTextPlaces(const StringRep* rep) {
  for (std::atomic<const StringRep*>& slot : gSlotReps) {
    const StringRep* expected = rep;
    if (slot.load(std::memory_order_relaxed) == rep) slot.compare_exchange_strong(expected, nullptr);
  }
}

TextPlaces::TextPlaces(const string& text) : mText(text), mMemo(std::make_unique<TextMemo>()) {
  const StringRep* rep = text.Rep();
  if (WorthRemembering(rep)) {
    Slots& slots = TheSlots();
    std::lock_guard<std::mutex> hold(slots.lock);
    for (int k = 0; k < kSlots; ++k) {
      // A forgotten slot lets go of the copies and patterns it held.
      if (!gSlotReps[k].load()) slots.memos[k] = TextMemo();
    }
    for (int k = 0; k < kSlots; ++k) {
      const TextMemo& memo = slots.memos[k];
      if (gSlotReps[k].load() != rep || memo.buffer != rep->buffer || memo.length != rep->length ||
          memo.encoding != rep->encoding) {
        continue;
      }
      *mMemo = std::move(slots.memos[k]);
      gSlotReps[k].store(nullptr);
      return;
    }
  }
  mMemo->buffer = rep ? rep->buffer : nullptr;
  mMemo->length = text.Length();
  mMemo->encoding = text.Encoding();
  if (HasShiftStates(text.Encoding())) mMemo->readable = ReadableForm(text);
  mMemo->scheme = SchemeOf(Text());
}

TextPlaces::~TextPlaces() {
  const StringRep* rep = mText.Rep();
  if (!WorthRemembering(rep)) return;
  Slots& slots = TheSlots();
  std::lock_guard<std::mutex> hold(slots.lock);
  int k = 0;
  while (k < kSlots && gSlotReps[k].load() != nullptr) ++k;
  if (k == kSlots) k = static_cast<int>(slots.next++ % kSlots);
  gSlotReps[k].store(nullptr);
  slots.memos[k] = std::move(*mMemo);
  gSlotReps[k].store(rep);
}

const string& TextPlaces::Text() const { return HasShiftStates(mText.Encoding()) ? mMemo->readable : mText; }

namespace {

// Walks from the nearest known character start at or before the one asked for (by index when
// `byIndex`, else by offset) and remembers where it ends.
TextMemo::Place Walk(TextMemo& m, const string& text, bool byIndex, int64_t target) {
  TextMemo::Place from{};
  for (const TextMemo::Place& known : {m.last, m.before}) {
    const int64_t at = byIndex ? known.index : known.offset;
    if (at <= target && at >= (byIndex ? from.index : from.offset)) from = known;
  }
  TextMemo::Place p = from;
  while ((byIndex ? p.index : p.offset) < target && p.offset < text.Length()) {
    p.offset = NextCharOffset(text.CString(), text.Length(), p.offset, m.scheme);
    ++p.index;
  }
  AddTextWalkSteps(p.offset - from.offset);
  if (p.offset >= text.Length()) m.count = p.index;
  if (p.index != m.last.index) m.before = m.last;
  m.last = p;
  return p;
}

}  // namespace

int32_t TextPlaces::OffsetOf(int64_t index) {
  if (index <= 0) return 0;
  if (mMemo->scheme == CharScheme::kSingleByte) return static_cast<int32_t>(std::min<int64_t>(index, Text().Length()));
  return Walk(*mMemo, Text(), true, index).offset;
}

int32_t TextPlaces::IndexAt(int32_t offset) {
  if (mMemo->scheme == CharScheme::kSingleByte) return offset;
  return Walk(*mMemo, Text(), false, offset).index;
}

int32_t TextPlaces::Count() {
  const string& text = Text();
  TextMemo& m = *mMemo;
  if (m.count < 0) {
    m.count = m.last.index + CountChars(text.CString() + m.last.offset, text.Length() - m.last.offset, m.scheme);
    AddTextWalkSteps(text.Length() - m.last.offset);
  }
  return m.count;
}

int32_t TextPlaces::Find(const string& pattern, int32_t start) {
  const string& text = Text();
  string converted;
  if (!PatternInEncoding(pattern, text.Encoding(), converted)) return -1;
  TextMemo& m = *mMemo;
  if (!m.finder || m.pattern.Encoding() != converted.Encoding() || m.pattern.View() != converted.View()) {
    m.pattern = converted;
    m.finder = std::make_unique<TextFinder>(m.pattern.CString(), m.pattern.Length(), text.Encoding(),
                                            MatchMode::kIgnoreCase);
  }
  return m.finder->Find(text.CString(), text.Length(), start, true).offset;
}

}  // namespace vorn
