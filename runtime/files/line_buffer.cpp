#include "files/line_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vorn {

namespace line_limit {
int32_t gLongestReadableText = kLongestStringBytes;
}  // namespace line_limit

namespace {

constexpr uint32_t kCarriageReturn = line_scan::kCarriageReturnByte;
constexpr uint32_t kLineFeed = line_scan::kLineFeedByte;

// How much of a line is gathered before the store is asked whether the rest may fit: asking
// costs a file two system calls, and a line this short costs nothing to gather.
constexpr int64_t kGatheredBeforeAsking = 64 * 1024;

uint32_t UnitAt(const uint8_t* bytes, int32_t unitSize) {
  return unitSize == 2 ? uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) : bytes[0];
}

// The offset of the first whole unit from `from` on that ends a line; without one, `found` is
// false and the answer is where the whole units end.
inline __attribute__((always_inline)) int32_t FindTerminator(const uint8_t* bytes, int32_t from, int32_t count, int32_t unitSize, bool* found) {
  if (unitSize == 1) {
    const auto first = static_cast<int32_t>(line_scan::FindLineByte(bytes + from, bytes + count) - bytes);
    *found = first < count;
    return first;
  }
  const int32_t end = from + (count - from) / unitSize * unitSize;
  int32_t first = end;
  // The line feed first: most text has no CR, whose look is then only as long as the line.
  for (const uint8_t low : {uint8_t{kLineFeed}, uint8_t{kCarriageReturn}}) {
    for (int32_t at = from; at < first;) {
      const auto* hit = static_cast<const uint8_t*>(std::memchr(bytes + at, low, static_cast<size_t>(first - at)));
      if (!hit) break;
      const auto offset = static_cast<int32_t>(hit - bytes);
      // In two-byte units the terminator's byte must start a unit whose high byte is 0.
      if ((offset - from) % unitSize == 0 && (unitSize == 1 || bytes[offset + 1] == 0)) {
        first = offset;
        break;
      }
      at = offset + 1;
    }
  }
  *found = first < end;
  return first;
}

}  // namespace

void SetLongestReadableTextForTests(int32_t bytes) {
  line_limit::gLongestReadableText = bytes > 0 ? std::min(bytes, kLongestStringBytes) : kLongestStringBytes;
}

bool LineBuffer::Refill(RandomAccessMechanism* store) {
  int32_t kept = std::max(Buffered(), 0);
  if (kept > 0 && *position > 0) std::memmove(bytes, bytes + *position, static_cast<size_t>(kept));
  *position = 0;
  *count = kept;
  if (!store || kept >= capacity) return false;
  int32_t room = capacity - kept;
  if (nextFill) {
    room = std::min(room, std::max(*nextFill, 1));
    *nextFill = std::min(capacity, *nextFill * 2);
  }
  int32_t got = 0;
  store->Read(bytes + kept, room, &got);
  *count = kept + got;
  return got > 0;
}

void LineBuffer::Reload(RandomAccessMechanism* store) {
  *position = 0;
  *count = 0;
  if (nextFill) *nextFill = kFirstFill;
  Refill(store);
}

bool LineBuffer::LineFits(RandomAccessMechanism* store, int64_t scanned, int32_t unitSize) {
  // A store read in order tells only by being read.
  if (store->IsSequential()) return true;
  const int64_t resume = store->GetPosition64();
  if (resume < 0 || scanned + store->BytesLeft() <= LongestReadableText()) return true;
  const int64_t lineStartInStore = resume - scanned;
  std::vector<uint8_t> piece(64 * 1024);
  bool found = false;
  while (!found) {
    // Each piece starts at a whole unit: one that the buffer or a short read cut in two is
    // looked at again whole.
    scanned -= scanned % unitSize;
    int32_t got = 0;
    if (!store->SetPosition64(lineStartInStore + scanned) ||
        !store->Read(piece.data(), static_cast<int32_t>(piece.size()), &got) || got <= 0) {
      break;
    }
    const int32_t at = FindTerminator(piece.data(), 0, got, unitSize, &found);
    scanned += found ? at : got;
  }
  // A look that stopped short of the bound leaves the answer to the reading itself.
  if (scanned <= LongestReadableText()) return store->SetPosition64(resume);
  *position = 0;
  *count = 0;
  store->SetPosition64(lineStartInStore + scanned);
  return false;
}

std::string LineBuffer::ReadLine(RandomAccessMechanism* store, int32_t unitSize) {
  std::string line;
  if (!store) return line;
  if (TakeLine(store, unitSize, &line)) return line;
  // The rest of the line is stepped over, so that the next read gives the next line. A store
  // read in order (a device) may never end the line: what is left of it comes as it is read.
  if (!store->IsSequential()) TakeLine(store, unitSize, nullptr);
  store->mLastError = EOVERFLOW;
  return {};
}

bool LineBuffer::TakeBufferedUnitsLine(int32_t unitSize, std::string_view* line) {
  bool found = false;
  const int32_t stop = FindTerminator(bytes, *position, *count, unitSize, &found);
  if (!found || stop - *position > LongestReadableText()) return false;
  int32_t next = stop + unitSize;
  if (UnitAt(bytes + stop, unitSize) == kCarriageReturn) {
    if (next + unitSize > *count) return false;
    if (UnitAt(bytes + next, unitSize) == kLineFeed) next += unitSize;
  }
  *line = std::string_view(reinterpret_cast<const char*>(bytes) + *position, static_cast<size_t>(stop - *position));
  *position = next;
  return true;
}

bool LineBuffer::TakeLine(RandomAccessMechanism* store, int32_t unitSize, std::string* line) {
  const int64_t askAt = std::min<int64_t>(kGatheredBeforeAsking, LongestReadableText() / 2);
  bool looked = line == nullptr;
  for (;;) {
    const int32_t from = *position;
    bool found = false;
    const int32_t stop = FindTerminator(bytes, from, *count, unitSize, &found);
    if (line) line->append(reinterpret_cast<const char*>(bytes) + from, static_cast<size_t>(stop - from));
    *position = stop;
    if (!found && !looked && static_cast<int64_t>(line->size()) >= askAt) {
      looked = true;
      // What the line took from the store so far: what it holds, and a half unit left behind.
      if (!LineFits(store, static_cast<int64_t>(line->size()) + Buffered(), unitSize)) return false;
    }
    // A half unit at the very end belongs to the last line. A store that is not at its end but
    // gives nothing (a failing disk) must not keep us here.
    const bool last = !found && (AtEnd(store) || !Refill(store));
    if (last) {
      if (line) line->append(reinterpret_cast<const char*>(bytes) + *position, static_cast<size_t>(Buffered()));
      *position = *count;
    }
    if (line && static_cast<int64_t>(line->size()) > LongestReadableText()) return false;
    if (last) return true;
    if (found) {
      const bool carriageReturn = UnitAt(bytes + stop, unitSize) == kCarriageReturn;
      *position += unitSize;
      if (carriageReturn) {
        // A store read in order may hand out the next unit a byte at a time.
        while (*position + unitSize > *count && Refill(store)) {
        }
        if (*position + unitSize <= *count && UnitAt(bytes + *position, unitSize) == kLineFeed) *position += unitSize;
      }
      return true;
    }
  }
}

bool LineBuffer::AtEnd(RandomAccessMechanism* store) {
  const int32_t handedOut = *position, held = *count;
  const bool atEnd = store->IsEOF();
  *position = handedOut;
  *count = held;
  return atEnd;
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
