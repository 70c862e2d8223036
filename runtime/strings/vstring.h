// The runtime string: one pointer to a shared, reference-counted record (VornStringRecord),
// null meaning the empty string. Every record carries its text encoding; joining or comparing
// two strings first brings them to a common encoding, and the unknown encoding (0xFFFF)
// never forces a conversion.
//
// A record is changed in place only while this string holds its one reference; otherwise a
// change copies it first. Records that live inside a loaded image (string literals of compiled
// code) are never changed or freed.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "vorn/image_abi.h"

namespace vorn {

using StringRep = VornStringRecord;
using EncodingCode = uint32_t;

constexpr EncodingCode kEncodingMacRoman = kVornEncodingMacRoman;
constexpr EncodingCode kEncodingUTF16 = kVornEncodingUTF16;
constexpr EncodingCode kEncodingASCII = kVornEncodingASCII;
constexpr EncodingCode kEncodingUnknown = kVornEncodingUnknown;
constexpr EncodingCode kEncodingUTF8 = kVornEncodingUTF8;
constexpr EncodingCode kEncodingUTF32 = kVornEncodingUTF32;

// --- records -------------------------------------------------------------------------------

// The longest text a record holds: its buffer, the length byte, the text and the NUL behind it,
// is counted in 32 bits.
constexpr int32_t kLongestStringBytes = INT32_MAX - 2;

// A text length counted in 64 bits, as a record's length: a text longer than a record holds
// ends the program as memory exhausted, as every allocation the runtime cannot make does, never
// a record whose counts wrapped around. A negative length counts as 0.
namespace string_block {
extern int32_t gLongestRecordLength;  // kLongestStringBytes but where a test lowers it
[[noreturn]] void ExitRecordTooLong(int64_t length);
}  // namespace string_block
inline int32_t RecordLength(int64_t length) {
  if (__builtin_expect(length > string_block::gLongestRecordLength, 0)) string_block::ExitRecordTooLong(length);
  return length > 0 ? static_cast<int32_t>(length) : 0;
}

// A new record with one reference holding a copy of `length` bytes (zeros when `bytes` is
// null, for the caller to fill in). A negative length counts as 0; one past
// kLongestStringBytes ends the program as memory exhausted.
StringRep* NewStringRep(const void* bytes, int32_t length, EncodingCode encoding);
void RetainStringRep(StringRep* rep);   // nil allowed
void ReleaseStringRep(StringRep* rep);  // nil allowed; frees with the last reference

// Stores a record in a field that holds one reference of it: the new record is held before
// the old one is released, so storing the record the field already holds keeps it alive.
inline void ReplaceStringRep(StringRep*& field, StringRep* value) {
  RetainStringRep(value);
  StringRep* old = field;
  field = value;
  ReleaseStringRep(old);
}

// Records inside [begin, end) are static (image literals): never freed, never changed in place.
void RegisterStaticStringRange(const void* begin, const void* end);
bool IsStaticStringRep(const StringRep* rep);

// --- the string value ----------------------------------------------------------------------

class string {
 public:
  string() = default;
  // C text, tagged US-ASCII; nil gives the empty string.
  string(const char* cText);  // NOLINT(google-explicit-constructor): literals read naturally
  string(const void* bytes, int32_t length, EncodingCode encoding);
  string(std::string_view text, EncodingCode encoding);
  string(const string& other);
  string(string&& other) noexcept;
  ~string();
  string& operator=(const string& other);  // shares the record
  string& operator=(string&& other) noexcept;

  // Takes over one reference the caller owns (e.g. a record handed out by compiled code).
  static string Adopt(StringRep* rep);
  // Shares a record without taking the caller's reference.
  static string Share(StringRep* rep);

  StringRep* Rep() const { return mRep; }
  // Hands the string out with one reference for the receiver.
  StringRep* GetRetainedRep() const;

  int32_t Length() const { return mRep ? mRep->length : 0; }
  bool IsEmpty() const { return Length() == 0; }
  EncodingCode Encoding() const { return mRep ? mRep->encoding : kEncodingASCII; }
  const char* CString() const;
  const char* GetCString() const { return CString(); }
  std::string_view View() const { return {CString(), static_cast<size_t>(Length())}; }
  uint8_t Byte(int32_t index) const { return static_cast<uint8_t>(CString()[index]); }

  // Writable bytes of a record this string alone holds (copied first when shared).
  char* MutableBytes();
  // Room for `capacity` bytes behind MutableBytes(), left as it is (not cleared): for a caller
  // that writes the bytes itself (a receive) and then sets how many it wrote.
  void Reserve(int32_t capacity);
  // The length after bytes were written into reserved room; at most the room reserved.
  void SetFilledLength(int32_t length);
  // Retags without converting.
  void SetEncoding(EncodingCode encoding);
  // Replaces the contents by a copy of n bytes (encoding US-ASCII).
  void SetBytes(const void* bytes, int32_t n);

  string ToUTF8() const;

  string Left(int32_t n) const;
  string Right(int32_t n) const;
  string Mid(int32_t start, int32_t count) const;  // 0-based start
  string MidToEnd(int32_t start) const;            // 0-based start; negative counts as 0
  string Trim() const { return TrimEnds(true, true); }  // blanks and tabs at both ends
  string TrimLeft() const { return TrimEnds(true, false); }
  string TrimRight() const { return TrimEnds(false, true); }

  int Compare(const string& other) const;        // -1/0/1 without regard to case
  int CompareBinary(const string& other) const;  // -1/0/1 byte for byte

  // Inline so that building a text piece by piece costs no call while the record has room;
  // everything else (no room, shared, static, another encoding, empty) goes to AppendSlowly.
  void Append(const string& other);
  void AppendCString(const char* text);  // keeps this string's encoding
  string ConcatByte(uint8_t byte) const;

  friend string operator+(const string& a, const string& b);

 private:
  explicit string(StringRep* rep) : mRep(rep) {}
  void MakeUnique(int32_t capacityHint);
  string TrimEnds(bool leading, bool trailing) const;
  void AppendSlowly(const string& other);

  StringRep* mRep = nullptr;
};

struct TextIndex;

namespace string_block {

// Records made by NewStringRep keep their text right behind the record in the same block, and
// the block starts with two hidden words: what text functions learned of the text's characters
// (text_index.h; null until a long text is asked for a far character), and how many bytes of
// text the block has room for. Image literals have the same record-then-buffer shape but no
// such words, so they are told apart by address.
using Capacity = int64_t;
struct Header {
  std::atomic<TextIndex*> textIndex;
  Capacity capacity;
};
constexpr size_t kHeaderSize = sizeof(Header);
static_assert(kHeaderSize % alignof(StringRep) == 0);

inline Header* HeaderOf(const StringRep* rep) {
  return reinterpret_cast<Header*>(const_cast<char*>(reinterpret_cast<const char*>(rep) - kHeaderSize));
}

inline Capacity CapacityOf(const StringRep* rep) { return HeaderOf(rep)->capacity; }

// Whether the record has the hidden words: NewStringRep made it.
inline bool HasHeader(const StringRep* rep) {
  return rep->buffer == reinterpret_cast<const char*>(rep + 1) && !IsStaticStringRep(rep);
}

// One span around every registered static range: a record outside it is not static, which
// settles almost every question without walking the ranges.
extern uintptr_t gStaticSpanBegin;
extern uintptr_t gStaticSpanLength;  // 0 while no range is registered

// Copies n bytes, between one Piece's size and two, as two pieces that may overlap.
template <typename Piece>
inline void CopyEnds(char* to, const char* from, size_t n) {
  Piece head, tail;
  __builtin_memcpy(&head, from, sizeof(Piece));
  __builtin_memcpy(&tail, from + n - sizeof(Piece), sizeof(Piece));
  __builtin_memcpy(to, &head, sizeof(Piece));
  __builtin_memcpy(to + n - sizeof(Piece), &tail, sizeof(Piece));
}

// Appends and new records are mostly short texts (a line, a field), for which a call to memcpy
// costs more than the copy. A text of up to 64 bytes takes at most four pieces of 16.
inline void CopyBytes(char* to, const char* from, size_t n) {
  using Piece16 = char __attribute__((vector_size(16)));
  if (n < 4) {
    for (size_t i = 0; i < n; ++i) to[i] = from[i];
  } else if (n < 8) {
    CopyEnds<uint32_t>(to, from, n);
  } else if (n < 16) {
    CopyEnds<uint64_t>(to, from, n);
  } else if (n <= 32) {
    CopyEnds<Piece16>(to, from, n);
  } else if (n <= 64) {
    CopyEnds<Piece16>(to, from, 32);
    CopyEnds<Piece16>(to + n - 32, from + n - 32, 32);
  } else {
    __builtin_memcpy(to, from, n);
  }
}

inline bool MaybeStatic(const StringRep* rep) {
  return reinterpret_cast<uintptr_t>(rep) - gStaticSpanBegin < gStaticSpanLength;
}

}  // namespace string_block

inline void string::Append(const string& other) {
  StringRep* rep = mRep;
  const StringRep* add = other.mRep;
  // An empty string of another encoding takes the other's, and text of another encoding is
  // converted: both in AppendSlowly. Appending a string to itself copies bytes that do not
  // overlap the room they go to.
  if (__builtin_expect(rep && add && rep->refCount == 1 && rep->encoding == add->encoding, 1)) {
    // Every field is read before the first byte is written, which the compiler must otherwise
    // assume may have changed them.
    int32_t length = rep->length;
    int32_t extra = add->length;
    char* text = rep->buffer;
    const char* from = add->buffer + 1;
    if (__builtin_expect(string_block::CapacityOf(rep) - length >= extra &&
                             text == reinterpret_cast<char*>(rep + 1) &&
                             !string_block::MaybeStatic(rep),
                         1)) {
      int32_t total = length + extra;
      rep->length = total;
      rep->bufferSize = total + 2;
      string_block::CopyBytes(text + 1 + length, from, static_cast<size_t>(extra));
      if (length < 255) text[0] = static_cast<char>(total >= 255 ? 255 : total);
      text[1 + total] = '\0';
      return;
    }
  }
  AppendSlowly(other);
}

// --- encodings -----------------------------------------------------------------------------

bool IsAllASCII(const char* bytes, int32_t length);
// Whether the encoding keeps ASCII characters as single ASCII bytes, and its bytes below 0x80
// are always ASCII characters (not so in ISO-2022-JP, where an escape turns them into kanji).
bool IsASCIICompatible(EncodingCode encoding);
// The encoding two strings are brought to before they are joined or compared.
EncodingCode CommonEncoding(const string& a, const string& b);

// The text converted to the encoding. Shared unchanged when either encoding is unknown or they
// are equal; ASCII-only text is only retagged unless the target is UTF-16 or UTF-32. Bytes that
// are invalid in the source or have no equivalent in the target become "?" (U+FFFD for a
// Unicode target); conversion never fails and never reads outside the source.
string ConvertTextEncoding(const string& text, EncodingCode target);
// The same, adding to `replaced` the characters written as a replacement.
string ConvertTextEncoding(const string& text, EncodingCode target, int32_t* replaced);
// True, with the text in UTF-8 in `utf8`, when converting it loses nothing (converting back
// gives the same bytes).
bool ConvertsExactly(const string& text, string* utf8);

// The iconv name of an encoding code, or null when the runtime does not know it.
const char* IconvNameForEncoding(EncodingCode encoding);
// The encoding a character-set name stands for, without regard to case ("UTF-8",
// "windows-1252", "macintosh", "Shift_JIS", "UTF-16"); unknown (0xFFFF) for any other name.
EncodingCode EncodingForName(std::string_view name);

}  // namespace vorn

extern "C" {
void RuntimeLockString(VornStringRecord* rep);
void RuntimeUnlockString(VornStringRecord* rep);
}
