#include "database/sql_row.h"

#include <algorithm>
#include <cstring>

namespace vorn {
namespace {

using sql_row_bytes::CellAt;
using sql_row_bytes::Header;
using sql_row_bytes::ReadCell;
using sql_row_bytes::ReadHeader;
using sql_row_bytes::SkipCell;
using sql_row_bytes::TakeNumber;

constexpr size_t kMaxNumber = 5;               // bytes of the longest variable-length number
constexpr size_t kMaxHeader = 4 * kMaxNumber;  // length, value bytes, cell count, key count
constexpr size_t kMaxCellHead = 1 + 3 * kMaxNumber;
constexpr size_t kLimit = UINT32_MAX;

size_t NumberSize(uint32_t value) {
  size_t size = 1;
  for (; value >= 0x80; value >>= 7) ++size;
  return size;
}

uint8_t* PutNumber(uint8_t* at, uint32_t value) {
  for (; value >= 0x80; value >>= 7) *at++ = static_cast<uint8_t>(value | 0x80);
  *at++ = static_cast<uint8_t>(value);
  return at;
}

// Reads a number of bytes not yet checked: false when it runs past `end`, over five bytes or
// over 32 bits.
bool ReadNumber(const uint8_t*& at, const uint8_t* end, uint32_t* value) {
  uint64_t number = 0;
  for (size_t i = 0; i < kMaxNumber && at < end; ++i) {
    const uint8_t byte = *at++;
    number |= uint64_t{byte & 0x7Fu} << (7 * i);
    if (byte < 0x80) {
      *value = static_cast<uint32_t>(number);
      return number <= UINT32_MAX;
    }
  }
  return false;
}

}  // namespace

double SqlCellNumber(const SqlCell& cell) {
  auto read = [&](auto value) {
    if (cell.bytes.size() < sizeof(value)) return 0.0;
    std::memcpy(&value, cell.bytes.data(), sizeof(value));
    return static_cast<double>(value);
  };
  switch (cell.type) {
    case kVornDbSmallInt: return read(int16_t{});
    case kVornDbInteger: return read(int32_t{});
    case kVornDbFloat: return read(float{});
    case kVornDbDouble: return read(double{});
    default: return cell.bytes.empty() ? 0.0 : cell.bytes[0];
  }
}

uint16_t SqlSourceNames::Number(std::string_view name) {
  if (name.empty()) return 0;
  for (size_t i = 0; i < mNames.size(); ++i) {
    if (mNames[i] == name) return static_cast<uint16_t>(i + 1);
  }
  if (mNames.size() >= UINT16_MAX) return 0;
  mNames.emplace_back(name);
  return static_cast<uint16_t>(mNames.size());
}

bool SqlRowView::Valid(const uint8_t* bytes, size_t size) {
  if (!bytes) return false;
  const uint8_t* at = bytes;
  const uint8_t* const end = bytes + size;
  // Rows are checked as they are read back, one after another: the one-byte numbers most
  // rows hold all of take the short way.
  auto number = [&](uint32_t* value) {
    if (at < end && *at < 0x80) {
      *value = *at++;
      return true;
    }
    return ReadNumber(at, end, value);
  };
  uint32_t rest = 0, values = 0, cells = 0, keys = 0;
  if (!number(&rest) || rest != static_cast<size_t>(end - at)) return false;
  if (!number(&values) || !number(&cells) || !number(&keys)) return false;
  if (cells > UINT16_MAX || keys > UINT16_MAX) return false;
  uint64_t total = 0;
  for (uint32_t i = 0; i < cells; ++i) {
    uint32_t source = 0, key = 0, length = 0;
    if (at == end) return false;
    ++at;
    if (!number(&source) || !number(&key) || !number(&length)) return false;
    if (source > UINT16_MAX || key > keys || length > static_cast<size_t>(end - at)) return false;
    at += length;
    total += length;
  }
  if (total != values) return false;
  for (uint32_t i = 0; i < keys; ++i) {
    uint32_t length = 0;
    if (!number(&length) || length > UINT16_MAX || length > static_cast<size_t>(end - at)) return false;
    at += length;
  }
  return at == end;
}

SqlCell SqlRowView::operator[](size_t index) const {
  const Header header = ReadHeader(mBytes);
  SqlCell cell;
  uint32_t key = 0;
  const uint8_t* at = ReadCell(CellAt(header.first, index), &cell, &key);
  if (key == 0) return cell;
  for (size_t i = index + 1; i < header.cells; ++i) at = SkipCell(at);
  for (uint32_t number = 1;; ++number) {
    const uint32_t length = TakeNumber(at);
    if (number == key) {
      cell.key = {reinterpret_cast<const char*>(at), length};
      return cell;
    }
    at += length;
  }
}

void SqlRow::Grow(size_t more) { mBytes.resize(std::max(mUsed + more, 2 * mBytes.size())); }

void SqlRow::Start() {
  mUsed = 0;
  Room(kMaxHeader);
  mUsed = kMaxHeader;
  mStart = 0;
  mKeys.clear();
  mCells = mKeyCount = mValueBytes = 0;
  mLastKey = mLastKeyLength = 0;
  mOpen = true;
}

uint32_t SqlRow::AddKey(std::string_view key) {
  if (!mOpen) Start();
  key = key.substr(0, UINT16_MAX);
  if (key.empty()) return 0;
  if (mKeyCount && mLastKeyLength == key.size() && std::memcmp(mKeys.data() + mLastKey, key.data(), key.size()) == 0) {
    return mKeyCount;
  }
  if (mKeyCount >= UINT16_MAX || mUsed + mKeys.size() + kMaxNumber + key.size() > kLimit) return 0;
  uint8_t number[kMaxNumber];
  const size_t numberSize = static_cast<size_t>(PutNumber(number, static_cast<uint32_t>(key.size())) - number);
  const size_t at = mKeys.size();
  mKeys.resize(at + numberSize + key.size());
  std::memcpy(mKeys.data() + at, number, numberSize);
  std::memcpy(mKeys.data() + at + numberSize, key.data(), key.size());
  mLastKey = at + numberSize;
  mLastKeyLength = key.size();
  return ++mKeyCount;
}

void SqlRow::AddCell(uint8_t type, const void* data, size_t length, uint16_t source, uint32_t key) {
  if (!mOpen) Start();
  // A row the format cannot hold (beyond 65,535 cells or 4 GB) takes NULLs instead: the row
  // then still reads back, and the values it lost are values no engine gives in one row.
  if (mCells >= UINT16_MAX) return;
  if (mUsed + mKeys.size() + kMaxCellHead + length > kLimit || key > mKeyCount) {
    type = kVornDbNull;
    length = 0;
    key = 0;
  }
  uint8_t* const start = Room(kMaxCellHead + length);
  uint8_t* end = start;
  *end++ = type;
  end = PutNumber(end, source);
  end = PutNumber(end, key);
  end = PutNumber(end, static_cast<uint32_t>(length));
  if (length) std::memcpy(end, data, length);
  mUsed += static_cast<size_t>(end - start) + length;
  ++mCells;
  mValueBytes += static_cast<uint32_t>(length);
}

void SqlRow::AddCopy(size_t index) {
  if (!mOpen || index >= mCells || mCells >= UINT16_MAX) return Add(kVornDbNull, nullptr, 0);
  const uint8_t* at = CellAt(mBytes.data() + kMaxHeader, index);
  SqlCell cell;
  uint32_t key = 0;
  const uint8_t* end = ReadCell(at, &cell, &key);
  if (mUsed + mKeys.size() + kMaxCellHead + cell.bytes.size() > kLimit) return Add(kVornDbNull, nullptr, 0);
  const size_t from = static_cast<size_t>(at - mBytes.data()), length = static_cast<size_t>(end - at);
  // The room may move the bytes, so the copy goes by offsets, once the room is made.
  uint8_t* const to = Room(length);
  std::memcpy(to, mBytes.data() + from, length);
  mUsed += length;
  ++mCells;
  mValueBytes += static_cast<uint32_t>(cell.bytes.size());
}

SqlRowView SqlRow::Finish() {
  if (!mOpen && mUsed != 0) return View();
  if (!mOpen) Start();
  mOpen = false;
  if (!mKeys.empty()) std::memcpy(Room(mKeys.size()), mKeys.data(), mKeys.size());
  mUsed += mKeys.size();
  const uint32_t counts = static_cast<uint32_t>(NumberSize(mValueBytes) + NumberSize(mCells) + NumberSize(mKeyCount));
  const uint32_t rest = static_cast<uint32_t>(counts + mUsed - kMaxHeader);
  mStart = kMaxHeader - counts - NumberSize(rest);
  uint8_t* at = mBytes.data() + mStart;
  at = PutNumber(at, rest);
  at = PutNumber(at, mValueBytes);
  at = PutNumber(at, mCells);
  PutNumber(at, mKeyCount);
  return View();
}

}  // namespace vorn
