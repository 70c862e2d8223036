#include "files/line_buffer.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {

constexpr uint32_t kCarriageReturn = 0x0D;
constexpr uint32_t kLineFeed = 0x0A;

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

std::string LineBuffer::ReadLine(RandomAccessMechanism* store, int32_t unitSize) {
  std::string line;
  if (!store) return line;
  for (;;) {
    int32_t start = *position;
    int32_t stop = start;
    bool found = false;
    for (; stop + unitSize <= *count; stop += unitSize) {
      uint32_t unit = UnitAt(bytes + stop, unitSize);
      if (unit == kCarriageReturn || unit == kLineFeed) {
        found = true;
        break;
      }
    }
    line.append(reinterpret_cast<const char*>(bytes) + start, static_cast<size_t>(stop - start));
    *position = stop;
    if (found) {
      bool carriageReturn = UnitAt(bytes + stop, unitSize) == kCarriageReturn;
      *position += unitSize;
      if (carriageReturn) {
        if (*position + unitSize > *count) Refill(store);
        if (*position + unitSize <= *count && UnitAt(bytes + *position, unitSize) == kLineFeed) *position += unitSize;
      }
      return line;
    }
    // A store that is not at its end but gives nothing (a failing disk) must not keep us here;
    // a half unit at the very end belongs to the last line.
    if (store->IsEOF() || !Refill(store)) {
      line.append(reinterpret_cast<const char*>(bytes) + *position, static_cast<size_t>(Buffered()));
      *position = *count;
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
  // Never more than the store still holds: a wild count must not allocate gigabytes.
  rest = static_cast<int32_t>(std::min<int64_t>(rest, store->BytesLeft()));
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
