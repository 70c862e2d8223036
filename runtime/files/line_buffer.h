// Reading lines and byte runs through a read-ahead buffer that the caller owns (a line reader
// keeps 128 bytes, a TextInputStream object 64 KiB). CR LF, a lone CR and a lone LF
// each end one line, also when the pair is split between two fills of the buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "files/line_scan.h"
#include "files/random_access_mechanism.h"

namespace vorn {

// The longest text a read of a line or of everything hands out: what a string holds
// (kLongestStringBytes), or less where a test asks, so that a small store can be read past it.
namespace line_limit {
extern int32_t gLongestReadableText;
}  // namespace line_limit
inline int32_t LongestReadableText() { return line_limit::gLongestReadableText; }
// 0 or less restores what a string holds.
void SetLongestReadableTextForTests(int32_t bytes);

// What a buffer that grows its reads asks for first, after it is made or the store's position
// is set: a program that jumps about reading a line at each place reads a page, not the buffer.
inline constexpr int32_t kFirstFill = 4096;

struct LineBuffer {
  uint8_t* bytes;
  int32_t capacity;
  int32_t* position;  // the next byte to hand out
  int32_t* count;     // valid bytes
  // How much the next fill asks for, doubled by each fill up to the capacity; nil: all the room.
  int32_t* nextFill = nullptr;

  int32_t Buffered() const { return *count - *position; }
  // Keeps the bytes not handed out yet at the front and reads behind them; false when the store
  // gave nothing more.
  bool Refill(RandomAccessMechanism* store);
  // Empties the buffer and fills it afresh from the store's position, from kFirstFill again.
  void Reload(RandomAccessMechanism* store);
  // The bytes of the next line without its terminator. With two-byte units (UTF-16 in the host's
  // order) the terminators are the units 0x000D and 0x000A. A line longer than a string can
  // hold (LongestReadableText) gives "" with the store's mLastError EOVERFLOW, and a store with positions
  // is left at the next line. Where its length shows that a line may be that long, the line's
  // end is looked for first, a piece at a time, and only a line that fits is gathered.
  std::string ReadLine(RandomAccessMechanism* store, int32_t unitSize);
  // The next line as ReadLine gives it, when the buffer holds it whole with its terminator (and
  // after a CR the unit behind it): its bytes in the buffer, which moves past it. False, nothing
  // moved, when the store must be read for it.
  __attribute__((always_inline)) bool TakeBufferedLine(int32_t unitSize, std::string_view* line) {
    if (unitSize != 1) return TakeBufferedUnitsLine(unitSize, line);
    const uint8_t* from = bytes + *position;
    const uint8_t* end = bytes + *count;
    const uint8_t* stop = line_scan::FindLineByte(from, end);
    if (stop == end || stop - from > LongestReadableText()) return false;
    const uint8_t* next = stop + 1;
    if (*stop == line_scan::kCarriageReturnByte) {
      if (next == end) return false;
      if (*next == line_scan::kLineFeedByte) ++next;
    }
    *line = std::string_view(reinterpret_cast<const char*>(from), static_cast<size_t>(stop - from));
    *position = static_cast<int32_t>(next - bytes);
    return true;
  }
  // Up to `count` bytes: the buffered ones first, the rest straight from the store.
  std::string ReadBytes(RandomAccessMechanism* store, int32_t count);

 private:
  // TakeBufferedLine in units of more than one byte.
  bool TakeBufferedUnitsLine(int32_t unitSize, std::string_view* line);
  // Hands out the line up to its terminator and steps past that, gathering it into `line`
  // unless that is null (the line is stepped over then); false, where it stopped, once the line
  // proves too long to hold.
  bool TakeLine(RandomAccessMechanism* store, int32_t unitSize, std::string* line);
  // Whether the line, of which `scanned` bytes were read from the store (the buffer holds none
  // behind them) and which goes on in the store, may fit a string: true with the store where it was. When it is too long the buffer is
  // emptied and the store left at the line's terminator, so that the rest is not read again.
  bool LineFits(RandomAccessMechanism* store, int64_t scanned, int32_t unitSize);
  // The store's IsEOF, which for a pipe waits for the next byte: a Close by another thread
  // meanwhile empties the buffer, whose bytes are still this read's.
  bool AtEnd(RandomAccessMechanism* store);
};

// A line reader over a store with its own 128-byte buffer; every line is tagged with its
// encoding.
class BufferedLineReader {
 public:
  void Initialize(RandomAccessMechanism* store, EncodingCode encoding);
  // True once a store is set, every buffered byte is taken and the store is at its end.
  bool IsEOF();
  // The empty string without a store.
  string ReadLine();

 private:
  LineBuffer Buffer() { return {mBuffer, static_cast<int32_t>(sizeof mBuffer), &mPosition, &mCount}; }

  uint8_t mBuffer[128] = {};
  int32_t mPosition = 0;
  int32_t mCount = 0;
  RandomAccessMechanism* mStore = nullptr;
  EncodingCode mEncoding = kEncodingUTF8;
};

}  // namespace vorn
