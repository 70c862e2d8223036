#include "strings/text_places.h"

#include <algorithm>
#include <cstring>

#include "strings/char_reader.h"
#include "strings/iso2022jp_codec.h"
#include "strings/single_byte_keys.h"

namespace vorn {

namespace {

constexpr int32_t kStep = TextIndex::kStep;
// A long text is walked from its start this far before its record is asked for an index.
constexpr int32_t kNearChars = 64;

// Characters of these schemes can be read backwards from a character start.
bool Reversible(CharScheme scheme) {
  return scheme == CharScheme::kUTF8 || scheme == CharScheme::kUTF16 || scheme == CharScheme::kUTF32;
}

int32_t UnitOf(CharScheme scheme) {
  return scheme == CharScheme::kUTF16 ? 2 : scheme == CharScheme::kUTF32 ? 4 : 1;
}

// The start of the character before the one at `offset`. A character that ends there is the
// longest one whose decoding, from a unit boundary, takes exactly the bytes between: a lead
// byte or high surrogate is never inside another character, and every other byte or unit
// that is no part of one counts alone.
int32_t PreviousStart(const char* bytes, int32_t length, int32_t offset, CharScheme scheme) {
  if (scheme == CharScheme::kUTF8) {
    // Only the nearest byte before that is no continuation byte can lead the character.
    auto continues = [&](int32_t at) { return (static_cast<uint8_t>(bytes[at]) & 0xC0) == 0x80; };
    int32_t lead = offset - 1;
    while (lead > 0 && lead > offset - 4 && continues(lead)) --lead;
    return lead < offset - 1 && DecodeTextChar(bytes, length, lead, scheme).size == offset - lead ? lead : offset - 1;
  }
  const int32_t unit = UnitOf(scheme);
  for (int32_t back = 4; back >= 1; --back) {
    const int32_t from = offset - back;
    if (from < 0 || from % unit != 0) continue;
    if (DecodeTextChar(bytes, length, from, scheme).size == back) return from;
  }
  return std::max(offset - unit, 0);
}

int64_t Distance(const TextPlace& place, bool byIndex, int64_t target) {
  const int64_t at = byIndex ? place.index : place.offset;
  return at > target ? at - target : target - at;
}

}  // namespace

TextPlaces::TextPlaces(const string& text)
    : mText(text), mBytes(text.CString()), mLength(text.Length()), mEncoding(text.Encoding()),
      mScheme(SchemeForEncoding(text.Encoding())) {
  // ISO-2022-JP is only read through its readable form, which a long text keeps.
  if (KeptTextIndex(text) || HasShiftStates(text.Encoding())) UseIndex();
  if (!mIndex && HasShiftStates(text.Encoding())) {
    mReadable = ReadableForm(text);
    mBytes = mReadable.CString();
    mLength = mReadable.Length();
    mEncoding = mReadable.Encoding();
    mScheme = SchemeForEncoding(mEncoding);
  }
}

TextPlaces::~TextPlaces() {
  if (mCursor) mIndex->busy.store(false, std::memory_order_release);
}

bool TextPlaces::UseIndex() {
  if (mIndex) return true;
  mIndex = TextIndexOf(mText);
  if (!mIndex) return false;
  if (HasShiftStates(mText.Encoding())) {
    mBytes = mIndex->readable.CString();
    mLength = mIndex->readable.Length();
    mEncoding = mIndex->readable.Encoding();
  }
  mScheme = mIndex->scheme;
  if (!mIndex->busy.exchange(true, std::memory_order_acquire)) mCursor = &mIndex->cursor;
  return true;
}

string TextPlaces::Piece(int32_t from, int32_t to) {
  if (!HasShiftStates(mText.Encoding())) return from == 0 && to >= mLength ? mText : mText.Mid(from, to - from);
  if (from >= to) return string();
  const char* piece = mBytes + from;
  // A long piece of a text that reads without a fault is cut from its own bytes, between the
  // places of its characters (a short one is written again for less).
  constexpr int32_t kCutFrom = 64;
  if (to - from >= kCutFrom && mIndex && !mIndex->shiftPlaces.empty()) {
    // Read forwards from the start of the character's step: a call holding the cursor reads the
    // whole step once, so that a loop through the text in any order reads it about once.
    const std::vector<ShiftPlace>& places = mIndex->shiftPlaces;
    auto placeOf = [&](int32_t offset) {
      if (offset <= 0 || offset >= mLength) return offset <= 0 ? places.front() : mIndex->shiftEnd;
      const int32_t index = IndexAt(offset);
      const auto step = std::min(static_cast<size_t>(index / kStep), places.size() - 1);
      const int32_t into = index - static_cast<int32_t>(step) * kStep;
      const char* bytes = mText.CString();
      const int32_t length = mText.Length();
      if (!mCursor) {
        const ShiftPlace place = StepShifted(bytes, length, places[step], into);
        AddTextWalkSteps(place.offset - places[step].offset);
        return place;
      }
      std::vector<ShiftPlace>& inStep = mCursor->inShiftStep;
      if (mCursor->shiftStep != static_cast<int32_t>(step)) {
        inStep.assign(1, places[step]);
        const int32_t last = std::min(kStep, mIndex->count - static_cast<int32_t>(step) * kStep);
        while (static_cast<int32_t>(inStep.size()) < last) inStep.push_back(StepShifted(bytes, length, inStep.back(), 1));
        AddTextWalkSteps(inStep.back().offset - places[step].offset);
        mCursor->shiftStep = static_cast<int32_t>(step);
      }
      return inStep[static_cast<size_t>(into)];
    };
    const ShiftPlace start = placeOf(from);
    return CutShifted(mText.CString(), mText.Length(), start, placeOf(to));
  }
  // Written back straight from the readable form, as InEncodingOf would bring it back: a piece
  // with an escape character or a replaced byte, which ISO-2022-JP can't hold, takes its way.
  AddTextWalkSteps(to - from);
  string back;
  int32_t replaced = 0;
  if (mEncoding == kEncodingUTF8 && !std::memchr(piece, 0x1B, static_cast<size_t>(to - from)) &&
      EncodeISO2022JP(piece, to - from, &back, &replaced) && replaced == 0) {
    return back;
  }
  return InEncodingOf(string(piece, to - from, mEncoding), mText);
}

// Steps from a character start towards the target (a character index, or a byte offset, when it
// ends at the first start at or after it) and counts the bytes passed.
TextPlace TextPlaces::Walk(TextPlace from, bool byIndex, int64_t target) const {
  TextPlace p = from;
  auto at = [&] { return byIndex ? p.index : p.offset; };
  while (at() > target && p.offset > 0) {
    p.offset = PreviousStart(mBytes, mLength, p.offset, mScheme);
    --p.index;
  }
  const bool utf8 = mScheme == CharScheme::kUTF8;
  while (at() < target && p.offset < mLength) {
    const bool ascii = utf8 && static_cast<uint8_t>(mBytes[p.offset]) < 0x80;
    p.offset = ascii ? p.offset + 1 : NextCharOffset(mBytes, mLength, p.offset, mScheme);
    ++p.index;
  }
  AddTextWalkSteps(p.offset > from.offset ? p.offset - from.offset : from.offset - p.offset);
  return p;
}

const std::vector<uint16_t>& TextPlaces::DecodedStep(int32_t step) {
  std::vector<uint16_t>& starts = mCursor->inStep;
  if (mCursor->step == step) return starts;
  const int32_t first = mIndex->starts[static_cast<size_t>(step)];
  starts.clear();
  for (int32_t k = 0, offset = first; k < kStep && offset < mLength; ++k) {
    starts.push_back(static_cast<uint16_t>(offset - first));
    offset = NextCharOffset(mBytes, mLength, offset, mScheme);
  }
  AddTextWalkSteps((step + 1 < static_cast<int32_t>(mIndex->starts.size()) ? mIndex->starts[step + 1] : mLength) - first);
  mCursor->step = step;
  return starts;
}

// From the nearest place known: the start of the target's step, the next step's start or the
// text's end (backwards where characters read backwards), or the last place reached.
TextPlace TextPlaces::WalkFromKnown(bool byIndex, int64_t target) {
  const TextIndex& index = *mIndex;
  const std::vector<int32_t>& starts = index.starts;
  int32_t step;
  if (byIndex) {
    step = static_cast<int32_t>(target / kStep);
  } else {
    step = static_cast<int32_t>(std::upper_bound(starts.begin(), starts.end(), target) - starts.begin()) - 1;
  }
  const TextPlace stepStart{step * kStep, starts[static_cast<size_t>(step)]};
  if (!Reversible(mScheme)) {
    if (!mCursor) return Walk(stepStart, byIndex, target);
    const std::vector<uint16_t>& inStep = DecodedStep(step);
    if (byIndex) return {static_cast<int32_t>(target), stepStart.offset + inStep[target - stepStart.index]};
    const auto at = std::lower_bound(inStep.begin(), inStep.end(), target - stepStart.offset) - inStep.begin();
    if (at == static_cast<int64_t>(inStep.size())) {
      const size_t next = static_cast<size_t>(step) + 1;
      return {stepStart.index + static_cast<int32_t>(at), next < starts.size() ? starts[next] : mLength};
    }
    return {stepStart.index + static_cast<int32_t>(at), stepStart.offset + inStep[static_cast<size_t>(at)]};
  }
  TextPlace from = stepStart;
  const size_t next = static_cast<size_t>(step) + 1;
  const TextPlace after = next < starts.size() ? TextPlace{static_cast<int32_t>(next) * kStep, starts[next]}
                                               : TextPlace{index.count, mLength};
  if (Distance(after, byIndex, target) < Distance(from, byIndex, target)) from = after;
  TextPlace& last = mCursor ? mCursor->last : mLast;
  if (Distance(last, byIndex, target) < Distance(from, byIndex, target)) from = last;
  last = Walk(from, byIndex, target);
  return last;
}

int32_t TextPlaces::OffsetOf(int64_t index) {
  if (index <= 0) return 0;
  if (!mIndex && index > kNearChars) UseIndex();
  if (mScheme == CharScheme::kSingleByte) return static_cast<int32_t>(std::min<int64_t>(index, mLength));
  if (!mIndex) {
    mLast = Walk(mLast.index <= index ? mLast : TextPlace{}, true, index);
    return mLast.offset;
  }
  if (index >= mIndex->count) return mLength;
  return WalkFromKnown(true, index).offset;
}

int32_t TextPlaces::IndexAt(int32_t offset) {
  if (!mIndex && offset > kNearChars) UseIndex();
  if (mScheme == CharScheme::kSingleByte) return std::min(offset, mLength);
  if (!mIndex) {
    mLast = Walk(mLast.offset <= offset ? mLast : TextPlace{}, false, offset);
    return mLast.index;
  }
  if (offset >= mLength) return mIndex->count;
  return WalkFromKnown(false, offset).index;
}

int32_t TextPlaces::Count() {
  UseIndex();
  if (mScheme == CharScheme::kSingleByte) return mLength;
  if (mIndex) return mIndex->count;
  AddTextWalkSteps(mLength);
  return CountChars(mBytes, mLength, mScheme);
}

int32_t TextPlaces::Find(const string& pattern, int32_t start) {
  string converted;
  if (!PatternInEncoding(pattern, mEncoding, converted)) return -1;
  if (mLength >= kTextIndexFrom) UseIndex();
  if (!mCursor) {
    const TextFinder finder(converted.CString(), converted.Length(), mEncoding, MatchMode::kIgnoreCase);
    return finder.Find(mBytes, mLength, start, true).offset;
  }
  return mCursor->FinderFor(converted, mEncoding).Find(mBytes, mLength, start, true).offset;
}

int32_t TextPlaces::FindFolded(const string& utf8Pattern, int32_t start) {
  if (mLength >= kTextIndexFrom) UseIndex();
  if (!mCursor) return TextFinder(utf8Pattern, mEncoding).Find(mBytes, mLength, start, true).offset;
  return mCursor->FinderFor(utf8Pattern, mEncoding, true).Find(mBytes, mLength, start, true).offset;
}

bool TextPlaces::AllValid() {
  const SingleByteKeys& keys = SingleByteKeysFor(mEncoding);
  if (keys.everyByteKeyed) return true;
  if (mLength >= kTextIndexFrom) UseIndex();
  return mIndex ? mIndex->allValid : EveryByteKeyed(keys, mBytes, mLength);
}

}  // namespace vorn
