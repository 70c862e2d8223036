#include "strings/vstring.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

#include "strings/case_table.h"
#include "strings/char_reader.h"
#include "strings/memory.h"
#include "strings/record_limit.h"
#include "strings/system_encoding.h"
#include "strings/text_chars.h"
#include "strings/text_index.h"

namespace vorn {

namespace {

struct StaticRange {
  const char* begin;
  const char* end;
};

// Constant-initialised (no start-up order question) and read whenever a record lies inside the
// static span, so it is a plain global rather than a function-local static behind a guard.
std::vector<StaticRange> gStaticRanges;

std::vector<StaticRange>& StaticRanges() { return gStaticRanges; }

using string_block::Capacity;
using string_block::CapacityOf;
using string_block::kHeaderSize;

char* InlineBuffer(StringRep* rep) { return reinterpret_cast<char*>(rep + 1); }

constexpr size_t BlockSizeFor(int64_t length) {
  return kHeaderSize + sizeof(StringRep) + static_cast<size_t>(length) + 2;
}

void* BlockOf(StringRep* rep) { return reinterpret_cast<char*>(rep) - kHeaderSize; }

// A block that moved kept the words it had; what was learned of its text was dropped before.
StringRep* RepInBlock(void* block, Capacity capacity) {
  auto* header = static_cast<string_block::Header*>(block);
  new (&header->textIndex) std::atomic<TextIndex*>(nullptr);
  header->capacity = capacity;
  return reinterpret_cast<StringRep*>(static_cast<char*>(block) + kHeaderSize);
}

void SetLengthFields(StringRep* rep, int32_t length) {
  rep->length = length;
  rep->bufferSize = length + 2;
  rep->buffer[0] = static_cast<char>(length >= 255 ? 255 : length);
  rep->buffer[1 + length] = '\0';
}

bool OwnsInlineBuffer(const StringRep* rep) { return string_block::HasHeader(rep); }

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

// --- records -------------------------------------------------------------------------------

namespace {

// Records of short texts are made and dropped by the million (a line read, a field, a number in
// words): a dropped block of one of a few sizes waits on its thread for the next record that
// fits it, instead of going back to malloc and coming out again. The blocks stay malloc's, so
// one may still grow in place or be freed as any other. A sanitizer build frees at once, so
// that a record used after its release is still seen.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepDroppedBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kKeepDroppedBlocks = false;
#else
constexpr bool kKeepDroppedBlocks = true;
#endif
#else
constexpr bool kKeepDroppedBlocks = true;
#endif

constexpr Capacity CapacityOfBlock(size_t block) { return static_cast<Capacity>(block - BlockSizeFor(0)); }
// Every block of a record whose room is at most one of these is made that large (a record keeps
// the room it asked for: its filled length is never let past that), so the room tells which
// shelf a dropped block goes to.
constexpr Capacity kKeptCapacities[] = {CapacityOfBlock(64), CapacityOfBlock(96), CapacityOfBlock(128),
                                        CapacityOfBlock(192), CapacityOfBlock(256)};
constexpr int kShelves = static_cast<int>(std::size(kKeptCapacities));
constexpr int kKeptPerShelf = 32;

// The smallest kept size that holds `capacity`, or -1.
int ShelfFor(Capacity capacity) {
  if (!kKeepDroppedBlocks) return -1;
  for (int shelf = 0; shelf < kShelves; ++shelf) {
    if (capacity <= kKeptCapacities[shelf]) return shelf;
  }
  return -1;
}

size_t BlockSizeForRoom(Capacity capacity) {
  const int shelf = ShelfFor(capacity);
  return BlockSizeFor(shelf < 0 ? capacity : kKeptCapacities[shelf]);
}

// A thread's shelves: constant-initialised and with nothing to destroy, so that reaching them
// costs no check of whether the thread has made them yet. A sweeper, made on the thread's
// first keep, gives the blocks back to malloc when the thread ends.
struct KeptBlocks {
  struct Shelf {
    void* blocks[kKeptPerShelf];
    int count;
  };
  enum State : uint8_t {
    kUnswept,  // no sweeper made yet: the first keep makes it
    kOpen,
    kGone,  // swept: what is dropped later (by destructors run after it) goes to malloc
  };
  Shelf shelves[kShelves];
  State state;
};
// At an offset fixed when the program starts (the runtime is never loaded late): in
// position-independent code the general model makes each reach look like a call, around which a
// record's making and end would keep their values on the stack.
__attribute__((tls_model("initial-exec"))) thread_local constinit KeptBlocks tKeptBlocks{};

struct KeptBlockSweeper {
  ~KeptBlockSweeper() {
    for (KeptBlocks::Shelf& shelf : tKeptBlocks.shelves) {
      while (shelf.count > 0) FreeMemory(shelf.blocks[--shelf.count]);
    }
    tKeptBlocks.state = KeptBlocks::kGone;
  }
};

inline void* TakeKeptBlock(int shelf) {
  KeptBlocks::Shelf& kept = tKeptBlocks.shelves[shelf];
  return kept.count > 0 ? kept.blocks[--kept.count] : nullptr;
}

// PutBlockBack where the block cannot go straight on its shelf: on the thread's first keep,
// with the shelf full, as the thread ends, or with no shelf for its size.
__attribute__((noinline)) void PutBlockBackSlowly(void* block, int shelf) {
  KeptBlocks& kept = tKeptBlocks;
  if (shelf >= 0 && kept.state == KeptBlocks::kUnswept) {
    thread_local KeptBlockSweeper sweeper;
    (void)&sweeper;
    kept.state = KeptBlocks::kOpen;
  }
  if (shelf >= 0 && kept.state == KeptBlocks::kOpen && kept.shelves[shelf].count < kKeptPerShelf) {
    KeptBlocks::Shelf& onShelf = kept.shelves[shelf];
    onShelf.blocks[onShelf.count++] = block;
    return;
  }
  FreeMemory(block);
}

// The block of a record that went, with room for `capacity`: on its thread's shelf for the
// next record of its size, or back to malloc.
inline void PutBlockBack(void* block, Capacity capacity) {
  const int shelf = ShelfFor(capacity);
  KeptBlocks& kept = tKeptBlocks;
  if (__builtin_expect(shelf >= 0 && kept.state == KeptBlocks::kOpen && kept.shelves[shelf].count < kKeptPerShelf, 1)) {
    KeptBlocks::Shelf& onShelf = kept.shelves[shelf];
    onShelf.blocks[onShelf.count++] = block;
    return;
  }
  PutBlockBackSlowly(block, shelf);
}

// A block from malloc for a record with room for `capacity`: apart from the making of short
// records, which mostly find one kept.
__attribute__((noinline)) void* NewBlock(Capacity capacity) {
  if (capacity > kLongestStringBytes) ExitOutOfMemory(BlockSizeFor(capacity));
  return AllocMemory(BlockSizeForRoom(capacity));
}

// A record of `length` bytes in the block, with room for `capacity`, whose bytes the caller fills.
inline StringRep* UnfilledRepIn(void* block, Capacity capacity, int32_t length, EncodingCode encoding) {
  StringRep* rep = RepInBlock(block, capacity);
  rep->refCount = 1;
  rep->buffer = InlineBuffer(rep);
  rep->encoding = encoding;
  SetLengthFields(rep, length);
  return rep;
}

// A kept block for a record with room for `capacity`, or nil.
inline void* KeptBlockFor(Capacity capacity) {
  const int shelf = ShelfFor(capacity);
  return shelf < 0 ? nullptr : TakeKeptBlock(shelf);
}

// Fills the record with a copy of `length` bytes, or zeros when `bytes` is null.
__attribute__((noinline)) StringRep* FillWithCalls(StringRep* rep, const void* bytes, int32_t length) {
  if (bytes) {
    std::memcpy(rep->buffer + 1, bytes, static_cast<size_t>(length));
  } else {
    std::memset(rep->buffer + 1, 0, static_cast<size_t>(length));
  }
  return rep;
}

// A short text is copied inline, so that making its record calls nothing.
inline StringRep* FilledRepIn(void* block, const void* bytes, int32_t length, EncodingCode encoding) {
  StringRep* rep = UnfilledRepIn(block, length, length, encoding);
  if (__builtin_expect(!bytes || static_cast<uint32_t>(length) > 64, 0)) return FillWithCalls(rep, bytes, length);
  string_block::CopyBytes(rep->buffer + 1, static_cast<const char*>(bytes), static_cast<size_t>(length));
  return rep;
}

// NewStringRep where no kept block fits.
__attribute__((noinline)) StringRep* NewStringRepInNewBlock(const void* bytes, int32_t length, EncodingCode encoding) {
  return FilledRepIn(NewBlock(length), bytes, length, encoding);
}

// A record of length 0 with room for `capacity` bytes that are not cleared.
StringRep* NewEmptyRep(Capacity capacity, EncodingCode encoding) {
  void* block = KeptBlockFor(capacity);
  return UnfilledRepIn(block ? block : NewBlock(capacity), capacity, 0, encoding);
}

}  // namespace

namespace string_block {
int32_t gLongestRecordLength = kLongestStringBytes;
void ExitRecordTooLong(int64_t length) { ExitOutOfMemory(BlockSizeFor(length)); }
}  // namespace string_block

void SetLongestRecordLengthForTests(int32_t bytes) {
  string_block::gLongestRecordLength = bytes > 0 ? std::min(bytes, kLongestStringBytes) : kLongestStringBytes;
}

StringRep* NewStringRep(const void* bytes, int32_t length, EncodingCode encoding) {
  if (length < 0) length = 0;
  // Made apart from where a block is allocated, a short record costs no more than its filling.
  void* block = KeptBlockFor(length);
  if (__builtin_expect(!block, 0)) return NewStringRepInNewBlock(bytes, length, encoding);
  return FilledRepIn(block, bytes, length, encoding);
}

void RetainStringRep(StringRep* rep) {
  if (rep) ++rep->refCount;
}

namespace {

// A record whose last reference went, but for the plain ones ReleaseStringRep puts back itself.
__attribute__((noinline)) void DropRecord(StringRep* rep) {
  if (string_block::MaybeStatic(rep) && IsStaticStringRep(rep)) {
    // An unbalanced release of an image literal: keep it alive for good.
    rep->refCount = 1;
    return;
  }
  if (rep->buffer != InlineBuffer(rep)) {
    FreeMemory(rep->buffer);
    FreeMemory(rep);
    return;
  }
  ForgetTextPlaces(rep);
  PutBlockBack(BlockOf(rep), CapacityOf(rep));
}

}  // namespace

void ReleaseStringRep(StringRep* rep) {
  if (!rep || --rep->refCount > 0) return;
  // Most records end as a block of their own with the text inline and nothing learned of it,
  // which goes back without a call. (Only such a record has a header to read.)
  if (__builtin_expect(!string_block::MaybeStatic(rep) && rep->buffer == InlineBuffer(rep) &&
                           !string_block::HeaderOf(rep)->textIndex.load(std::memory_order_relaxed),
                       1)) {
    PutBlockBack(BlockOf(rep), CapacityOf(rep));
    return;
  }
  DropRecord(rep);
}

namespace string_block {
uintptr_t gStaticSpanBegin = 0;
uintptr_t gStaticSpanLength = 0;
}  // namespace string_block

void RegisterStaticStringRange(const void* begin, const void* end) {
  StaticRanges().push_back({static_cast<const char*>(begin), static_cast<const char*>(end)});
  uintptr_t low = reinterpret_cast<uintptr_t>(begin);
  uintptr_t high = reinterpret_cast<uintptr_t>(end);
  if (string_block::gStaticSpanLength != 0) {
    low = std::min(low, string_block::gStaticSpanBegin);
    high = std::max(high, string_block::gStaticSpanBegin + string_block::gStaticSpanLength);
  }
  if (high <= low) return;
  string_block::gStaticSpanBegin = low;
  string_block::gStaticSpanLength = high - low;
}

bool IsStaticStringRep(const StringRep* rep) {
  if (!string_block::MaybeStatic(rep)) return false;
  const auto* p = reinterpret_cast<const char*>(rep);
  for (const StaticRange& range : StaticRanges()) {
    if (p >= range.begin && p < range.end) return true;
  }
  return false;
}

// --- construction --------------------------------------------------------------------------

string::string(const char* cText) {
  if (cText && *cText) {
    mRep = NewStringRep(cText, RecordLength(static_cast<int64_t>(std::strlen(cText))), kEncodingASCII);
  }
}

string::string(const void* bytes, int32_t length, EncodingCode encoding) {
  if (length > 0) mRep = NewStringRep(bytes, length, encoding);
}

string::string(std::string_view text, EncodingCode encoding)
    : string(text.data(), RecordLength(static_cast<int64_t>(text.size())), encoding) {}

string::string(const string& other) : mRep(other.mRep) { RetainStringRep(mRep); }

string::string(string&& other) noexcept : mRep(other.mRep) { other.mRep = nullptr; }

string::~string() { ReleaseStringRep(mRep); }

string& string::operator=(const string& other) {
  RetainStringRep(other.mRep);
  ReleaseStringRep(mRep);
  mRep = other.mRep;
  return *this;
}

string& string::operator=(string&& other) noexcept {
  if (this != &other) {
    ReleaseStringRep(mRep);
    mRep = other.mRep;
    other.mRep = nullptr;
  }
  return *this;
}

string string::Adopt(StringRep* rep) { return string(rep); }

string string::Share(StringRep* rep) {
  RetainStringRep(rep);
  return string(rep);
}

StringRep* string::GetRetainedRep() const {
  RetainStringRep(mRep);
  return mRep;
}

const char* string::CString() const {
  static const char kEmpty[1] = {'\0'};
  return mRep ? mRep->buffer + 1 : kEmpty;
}

// --- changing in place ---------------------------------------------------------------------

void string::MakeUnique(int32_t capacityHint) {
  // What text functions remember of a record this string alone holds no longer holds once it
  // changes in place or moves; a shared one is copied and stays as it is.
  if (mRep && mRep->refCount == 1) ForgetTextPlaces(mRep);
  if (!mRep) {
    mRep = NewStringRep(nullptr, 0, kEncodingASCII);
  } else if (mRep->refCount != 1 || !OwnsInlineBuffer(mRep)) {
    StringRep* copy = NewStringRep(mRep->buffer + 1, mRep->length, mRep->encoding);
    ReleaseStringRep(mRep);
    mRep = copy;
  }
  if (CapacityOf(mRep) < capacityHint) {
    RecordLength(capacityHint);
    // Grow by half again so that repeated appends stay linear.
    Capacity grown = std::max<Capacity>(capacityHint, static_cast<Capacity>(mRep->length) * 3 / 2 + 16);
    grown = std::min<Capacity>(grown, kLongestStringBytes);
    mRep = RepInBlock(ReallocMemory(BlockOf(mRep), BlockSizeForRoom(grown)), grown);
    mRep->buffer = InlineBuffer(mRep);
  }
}

char* string::MutableBytes() {
  MakeUnique(Length());
  return mRep->buffer + 1;
}

void string::Reserve(int32_t capacity) {
  if (!mRep && capacity > 0) mRep = NewEmptyRep(capacity, kEncodingASCII);
  else MakeUnique(std::max(capacity, Length()));
}

void string::SetFilledLength(int32_t length) {
  MakeUnique(Length());
  // Never past the room: bytes nobody wrote must not become text.
  SetLengthFields(mRep, static_cast<int32_t>(std::clamp<Capacity>(length, 0, CapacityOf(mRep))));
}

void string::SetEncoding(EncodingCode encoding) {
  if (!mRep || mRep->encoding == encoding) return;
  MakeUnique(Length());
  mRep->encoding = encoding;
}

void string::SetBytes(const void* bytes, int32_t n) {
  *this = string(bytes, n, kEncodingASCII);
}

void string::AppendSlowly(const string& other) {
  if (other.IsEmpty()) return;
  if (IsEmpty() || Encoding() != other.Encoding()) {
    *this = *this + other;
    return;
  }
  int32_t oldLength = Length();
  int32_t newLength = RecordLength(int64_t{oldLength} + other.Length());
  if (other.mRep == mRep) {
    // Appending a string to itself: take its bytes before the record can move.
    string keep = other;
    MakeUnique(newLength);
    std::memcpy(mRep->buffer + 1 + oldLength, keep.CString(), static_cast<size_t>(keep.Length()));
  } else {
    // `other` holds its own reference, so its record stays put while this one grows.
    MakeUnique(newLength);
    std::memcpy(mRep->buffer + 1 + oldLength, other.CString(), static_cast<size_t>(other.Length()));
  }
  SetLengthFields(mRep, newLength);
}

void string::AppendCString(const char* text) {
  if (!text || !*text) return;
  const int32_t extra = RecordLength(static_cast<int64_t>(std::strlen(text)));
  EncodingCode encoding = Encoding();
  int32_t oldLength = Length();
  const int32_t newLength = RecordLength(int64_t{oldLength} + extra);
  MakeUnique(newLength);
  std::memcpy(mRep->buffer + 1 + oldLength, text, static_cast<size_t>(extra));
  SetLengthFields(mRep, newLength);
  mRep->encoding = encoding;
}

string string::ConcatByte(uint8_t byte) const {
  EncodingCode byteEncoding = byte < 0x80 ? kEncodingASCII : kEncodingUnknown;
  return *this + string(&byte, 1, byteEncoding);
}

// --- pieces --------------------------------------------------------------------------------

string string::Left(int32_t n) const {
  if (n < 1) return string();
  if (n >= Length()) return *this;
  return string(CString(), n, Encoding());
}

string string::Right(int32_t n) const {
  if (n < 1 || IsEmpty()) return string();
  if (n >= Length()) return *this;
  return string(CString() + Length() - n, n, Encoding());
}

string string::Mid(int32_t start, int32_t count) const {
  if (start < 0) start = 0;
  if (count < 1 || start >= Length()) return string();
  int32_t available = Length() - start;
  if (start == 0 && count >= available) return *this;
  return string(CString() + start, std::min(count, available), Encoding());
}

string string::MidToEnd(int32_t start) const {
  if (start <= 0) return *this;
  if (start >= Length()) return string();
  return string(CString() + start, Length() - start, Encoding());
}

string string::TrimEnds(bool leading, bool trailing) const {
  if (HasShiftStates(Encoding())) return InEncodingOf(ReadableForm(*this).TrimEnds(leading, trailing), *this);
  // A blank is one byte in every other encoding but UTF-16 and UTF-32, where it is a whole unit
  // (no blank byte sits inside another character there); a cut-off unit at the end is no blank.
  const CharScheme scheme = SchemeForEncoding(Encoding());
  const int32_t unit = scheme == CharScheme::kUTF16 ? 2 : scheme == CharScheme::kUTF32 ? 4 : 1;
  const char* text = CString();
  auto isBlank = [&](int32_t at) {
    if (text[at] != ' ' && text[at] != '\t') return false;
    for (int32_t k = 1; k < unit; ++k) {
      if (text[at + k] != 0) return false;
    }
    return true;
  };
  int32_t begin = 0;
  int32_t end = Length();
  while (leading && end - begin >= unit && isBlank(begin)) begin += unit;
  if (end % unit == 0) {
    while (trailing && end - begin >= unit && isBlank(end - unit)) end -= unit;
  }
  return begin == 0 && end == Length() ? *this : Mid(begin, end - begin);
}

// --- comparing -----------------------------------------------------------------------------

namespace {

bool IsUnicode(EncodingCode e) { return e == kEncodingUTF8 || e == kEncodingUTF16 || e == kEncodingUTF32; }

// ASCII text that reads the same in the common encoding: ASCII-tagged text, or all-ASCII bytes of
// an encoding where ASCII is ASCII (never UTF-16 or UTF-32, whose "a" is two or four bytes).
bool ReadsAsASCIIIn(const string& s, EncodingCode common) {
  if (!IsASCIICompatible(common)) return false;
  EncodingCode e = s.Encoding();
  return e == kEncodingASCII || (IsASCIICompatible(e) && IsAllASCII(s.CString(), s.Length()));
}

// Brings both strings to their common encoding (no conversion when one side is unknown).
bool NeedsConversion(const string& s, EncodingCode common) {
  EncodingCode e = s.Encoding();
  if (e == common || e == kEncodingUnknown || common == kEncodingUnknown || s.IsEmpty()) return false;
  return !ReadsAsASCIIIn(s, common);
}

EncodingCode Reconcile(const string& a, const string& b, string& outA, string& outB) {
  EncodingCode common = CommonEncoding(a, b);
  outA = NeedsConversion(a, common) ? ConvertTextEncoding(a, common) : a;
  outB = NeedsConversion(b, common) ? ConvertTextEncoding(b, common) : b;
  return common;
}

int CompareBytes(const char* a, int32_t aLength, const char* b, int32_t bLength) {
  int32_t shorter = std::min(aLength, bLength);
  int result = std::memcmp(a, b, static_cast<size_t>(shorter));
  if (result != 0) return Sign(result);
  return Sign(aLength - bLength);
}

// One side of a comparison across encodings as the characters of its common-encoding form: UTF-16
// and UTF-32 in place (a broken unit stays itself), text the common encoding holds as it is read
// as UTF-8, anything else converted to UTF-8 (`keep` holds the conversion).
UnicodeSpan CommonForm(const string& s, EncodingCode common, string& keep) {
  EncodingCode e = s.Encoding();
  if (IsUnicode(e)) return {s.CString(), s.Length(), SchemeForEncoding(e)};
  if (NeedsConversion(s, common)) {
    keep = ConvertTextEncoding(s, kEncodingUTF8);
  } else if (common == kEncodingUTF8 || (IsASCIICompatible(e) && IsAllASCII(s.CString(), s.Length()))) {
    keep = s;
  } else {
    keep = s;  // bytes of the common 8-bit encoding, ASCII-tagged ones read as joining reads them
    keep.SetEncoding(common);
    keep = ConvertTextEncoding(keep, kEncodingUTF8);
  }
  return {keep.CString(), keep.Length(), CharScheme::kUTF8};
}

// Two known encodings that differ meet in their common form, whichever side comes first.
int CompareAcross(const string& a, const string& b, bool ignoreCase) {
  EncodingCode common = CommonEncoding(a, b);
  if (common == kEncodingUnknown) {
    // Nothing is converted: the bytes as they are, read as UTF-8 when either side is UTF-8.
    if (!ignoreCase) return CompareBytes(a.CString(), a.Length(), b.CString(), b.Length());
    if (a.Encoding() == kEncodingUTF8 || b.Encoding() == kEncodingUTF8) {
      return CompareUTF8NoCase(a.CString(), a.Length(), b.CString(), b.Length());
    }
    return CompareBytesNoCase(a.CString(), a.Length(), b.CString(), b.Length());
  }
  string keepA, keepB;
  UnicodeSpan x = CommonForm(a, common, keepA), y = CommonForm(b, common, keepB);
  if (x.scheme == CharScheme::kUTF8 && y.scheme == CharScheme::kUTF8) {
    if (ignoreCase) return CompareUTF8NoCase(x.bytes, x.length, y.bytes, y.length);
    return CompareBytes(x.bytes, x.length, y.bytes, y.length);
  }
  return CompareUnicode(x, y, ignoreCase);
}

// Text of one encoding compares as its characters, read in place. ASCII-tagged and unknown text
// folds through the 8-bit table. Where a byte or sequence is no character of the encoding, the
// texts compare by their table-folded bytes, and when these agree, text that has such bytes
// stays apart from text that has none.
int CompareOneEncoding(const string& a, const string& b, bool ignoreCase) {
  const EncodingCode e = a.Encoding();
  const char* x = a.CString();
  const char* y = b.CString();
  if (e == kEncodingASCII || e == kEncodingUnknown) {
    return ignoreCase ? CompareBytesNoCase(x, a.Length(), y, b.Length()) : CompareBytes(x, a.Length(), y, b.Length());
  }
  bool exactA, exactB;
  int result;
  if (HasShiftStates(e)) {
    const ReadableText u = ReadableTextOf(a), v = ReadableTextOf(b);
    exactA = u.exact;
    exactB = v.exact;
    result = ignoreCase ? CompareUTF8NoCase(u.bytes, u.length, v.bytes, v.length)
                        : CompareBytes(u.bytes, u.length, v.bytes, v.length);
  } else {
    bool sawInvalid = false;
    result = CompareInEncoding(a, b, ignoreCase, &sawInvalid);
    if (!sawInvalid) return result;
    exactA = AllCharactersValid(a);
    exactB = AllCharactersValid(b);
  }
  if (exactA && exactB) return result;
  if (!ignoreCase) return CompareBytes(x, a.Length(), y, b.Length());
  const int folded = CompareBytesNoCase(x, a.Length(), y, b.Length());
  if (folded != 0 || exactA == exactB) return folded;
  return CompareBytes(x, a.Length(), y, b.Length());
}

}  // namespace

int string::CompareBinary(const string& other) const {
  EncodingCode e = Encoding();
  if (e != other.Encoding()) return CompareAcross(*this, other, false);
  if (e == kEncodingUTF8) return CompareBytes(CString(), Length(), other.CString(), other.Length());
  if (e == kEncodingUTF16 || e == kEncodingUTF32) return CompareInEncoding(*this, other, false, nullptr);
  return CompareOneEncoding(*this, other, false);
}

int string::Compare(const string& other) const {
  if (mRep == other.mRep) return 0;
  EncodingCode e = Encoding();
  if (e != other.Encoding()) return CompareAcross(*this, other, true);
  if (e == kEncodingUTF8) return CompareUTF8NoCase(CString(), Length(), other.CString(), other.Length());
  if (e == kEncodingUTF16 || e == kEncodingUTF32) return CompareInEncoding(*this, other, true, nullptr);
  return CompareOneEncoding(*this, other, true);
}

// --- joining -------------------------------------------------------------------------------

string operator+(const string& a, const string& b) {
  if (b.IsEmpty()) return a;
  if (a.IsEmpty()) return b;
  if (a.Encoding() != b.Encoding()) {
    string x, y;
    EncodingCode common = Reconcile(a, b, x, y);
    string joined(nullptr, RecordLength(int64_t{x.Length()} + y.Length()), common);
    char* out = joined.MutableBytes();
    std::memcpy(out, x.CString(), static_cast<size_t>(x.Length()));
    std::memcpy(out + x.Length(), y.CString(), static_cast<size_t>(y.Length()));
    return joined;
  }
  string joined(nullptr, RecordLength(int64_t{a.Length()} + b.Length()), a.Encoding());
  char* out = joined.mRep->buffer + 1;
  std::memcpy(out, a.CString(), static_cast<size_t>(a.Length()));
  std::memcpy(out + a.Length(), b.CString(), static_cast<size_t>(b.Length()));
  return joined;
}

// --- encodings -----------------------------------------------------------------------------

bool IsAllASCII(const char* bytes, int32_t length) {
  for (int32_t i = 0; i < length; ++i) {
    if (static_cast<uint8_t>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

bool IsASCIICompatible(EncodingCode encoding) {
  return encoding != kEncodingUTF16 && encoding != kEncodingUTF32 && encoding != kEncodingISO2022JP;
}

EncodingCode CommonEncoding(const string& a, const string& b) {
  EncodingCode ea = a.Encoding();
  EncodingCode eb = b.Encoding();
  if (ea == eb) return ea;
  if (ea == kEncodingUnknown || eb == kEncodingUnknown) return kEncodingUnknown;
  // An empty string takes on the other side's encoding, and so does plain ASCII text.
  if (a.IsEmpty()) return eb;
  if (b.IsEmpty()) return ea;
  if (ea == kEncodingASCII) return eb;
  if (eb == kEncodingASCII) return ea;
  // ASCII bytes meet the other side's encoding only where both read ASCII alike.
  if (!IsASCIICompatible(ea) || !IsASCIICompatible(eb)) return kEncodingUTF8;
  if (IsAllASCII(a.CString(), a.Length())) return eb;
  if (IsAllASCII(b.CString(), b.Length())) return ea;
  return kEncodingUTF8;
}

}  // namespace vorn

extern "C" {

void RuntimeLockString(VornStringRecord* rep) { vorn::RetainStringRep(rep); }

void RuntimeUnlockString(VornStringRecord* rep) { vorn::ReleaseStringRep(rep); }

}
