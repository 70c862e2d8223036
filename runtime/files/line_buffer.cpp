#include "files/line_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vorn {

namespace {

constexpr uint32_t kCarriageReturn = 0x0D;
constexpr uint32_t kLineFeed = 0x0A;
// The longest line a string holds.
constexpr int64_t kLongestLine = INT32_MAX;

bool HoldsTerminator(const uint8_t* bytes, size_t count) {
  return std::memchr(bytes, kCarriageReturn, count) || std::memchr(bytes, kLineFeed, count);
}

uint32_t UnitAt(const uint8_t* bytes, int32_t unitSize) {
  return unitSize == 2 ? uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) : bytes[0];
}

}  // namespace

bool LineBuffer::Refill(RandomAccessMechanism* store) {
  int32_t kept = std::max(Buffered(), 0);
  if (kept > 0 && *position > 0) std::memmove(bytes, bytes + *position, static_cast<size_t>(kept));
  *position = 0;
  *count = kept;
  if (!store || kept >= capacity) return false;
  int32_t got = 0;
  store->Read(bytes + kept, capacity - kept, &got);
  *count = kept + got;
  return got > 0;
}

void LineBuffer::Reload(RandomAccessMechanism* store) {
  *position = 0;
  *count = 0;
  Refill(store);
}

bool LineBuffer::LineMayFit(RandomAccessMechanism* store, int32_t lineStart) {
  // A store read in order tells only by being read.
  if (store->IsSequential()) return true;
  int64_t scanned = *count - lineStart;
  if (scanned + store->BytesLeft() <= kLongestLine) return true;
  const int64_t resume = store->GetPosition64();
  std::vector<uint8_t> piece(64 * 1024);
  bool found = false;
  while (!found && scanned <= kLongestLine) {
    int32_t got = 0;
    if (!store->Read(piece.data(), static_cast<int32_t>(piece.size()), &got) || got <= 0) break;
    found = HoldsTerminator(piece.data(), static_cast<size_t>(got));
    scanned += got;
  }
  // A scan that stopped short leaves the answer to the reading itself.
  return store->SetPosition64(resume) && (found || scanned <= kLongestLine);
}

std::string LineBuffer::TooLong(RandomAccessMechanism* store, int64_t start) {
  if (start >= 0 && store->SetPosition64(start)) Reload(store);
  store->mLastError = EOVERFLOW;
  return {};
}

std::string LineBuffer::ReadLine(RandomAccessMechanism* store, int32_t unitSize) {
  std::string line;
  if (!store) return line;
  const int32_t lineStart = *position;
  int64_t storeStart = -2;  // where the line starts in the store, once it runs past the buffer
  for (;;) {
    int32_t from = *position;
    int32_t stop = from;
    bool found = false;
    for (; stop + unitSize <= *count; stop += unitSize) {
      uint32_t unit = UnitAt(bytes + stop, unitSize);
      if (unit == kCarriageReturn || unit == kLineFeed) {
        found = true;
        break;
      }
    }
    line.append(reinterpret_cast<const char*>(bytes) + from, static_cast<size_t>(stop - from));
    *position = stop;
    if (!found && storeStart == -2) {
      const int64_t after = store->IsSequential() ? -1 : store->GetPosition64();
      storeStart = after < 0 ? -1 : after - *count + lineStart;
      if (!LineMayFit(store, lineStart)) return TooLong(store, storeStart);
    }
    // A half unit at the very end belongs to the last line. A store that is not at its end but
    // gives nothing (a failing disk) must not keep us here.
    const bool last = !found && (store->IsEOF() || !Refill(store));
    if (last) {
      line.append(reinterpret_cast<const char*>(bytes) + *position, static_cast<size_t>(Buffered()));
      *position = *count;
    }
    if (static_cast<int64_t>(line.size()) > kLongestLine) return TooLong(store, storeStart);
    if (last) return line;
    if (found) {
      bool carriageReturn = UnitAt(bytes + stop, unitSize) == kCarriageReturn;
      *position += unitSize;
      if (carriageReturn) {
        if (*position + unitSize > *count) Refill(store);
        if (*position + unitSize <= *count && UnitAt(bytes + *position, unitSize) == kLineFeed) *position += unitSize;
      }
      return line;
    }
  }
}

std::string LineBuffer::ReadBytes(RandomAccessMechanism* store, int32_t wanted) {
  std::string result;
  if (wanted <= 0) return result;
  int32_t fromBuffer = std::min(wanted, Buffered());
  result.append(reinterpret_cast<const char*>(bytes) + *position, static_cast<size_t>(fromBuffer));
  *position += fromBuffer;
  int32_t rest = wanted - fromBuffer;
  if (rest <= 0 || !store) return result;
  *position = 0;
  *count = 0;
  rest = store->ReadableCount(rest);
  if (rest <= 0) return result;
  size_t before = result.size();
  result.resize(before + static_cast<size_t>(rest));
  int32_t got = 0;
  store->Read(result.data() + before, rest, &got);
  result.resize(before + static_cast<size_t>(got));
  return result;
}

void BufferedLineReader::Initialize(RandomAccessMechanism* store, EncodingCode encoding) {
  mStore = store;
  mEncoding = encoding;
  mPosition = 0;
  mCount = 0;
}

bool BufferedLineReader::IsEOF() { return mStore && mPosition >= mCount && mStore->IsEOF(); }

string BufferedLineReader::ReadLine() {
  std::string line = Buffer().ReadLine(mStore, 1);
  return string(line, mEncoding);
}

}  // namespace vorn
