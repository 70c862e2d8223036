#include "database/sql_row.h"

#include <algorithm>
#include <cstring>

namespace vorn {
namespace {

constexpr size_t kHeader = 16;
constexpr size_t kCellHead = 9;  // type, source number, key number, value length
constexpr size_t kLimit = UINT32_MAX;

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The key numbered `number` (from 1) of the row whose keys start at `keys`.
std::string_view KeyAt(const uint8_t* keys, uint32_t number) {
  for (uint32_t i = 1; i < number; ++i) keys += 2 + SqlRowView::Get16(keys);
  return {reinterpret_cast<const char*>(keys + 2), SqlRowView::Get16(keys)};
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
  if (size < kHeader || Get32(bytes) != size) return false;
  const uint32_t cells = Get16(bytes + 12), keys = Get16(bytes + 14);
  size_t at = kHeader;
  uint64_t values = 0;
  for (uint32_t i = 0; i < cells; ++i) {
    if (size - at < kCellHead || Get16(bytes + at + 3) > keys) return false;
    const uint32_t length = Get32(bytes + at + 5);
    at += kCellHead;
    if (size - at < length) return false;
    at += length;
    values += length;
  }
  if (at != Get32(bytes + 8) || values != Get32(bytes + 4)) return false;
  for (uint32_t i = 0; i < keys; ++i) {
    if (size - at < 2 || size - at - 2 < Get16(bytes + at)) return false;
    at += 2 + Get16(bytes + at);
  }
  return at == size;
}

SqlCell SqlRowView::Value(size_t index) const {
  const uint8_t* at = mBytes + kHeader;
  for (size_t i = 0; i < index; ++i) at += kCellHead + Get32(at + 5);
  SqlCell cell;
  cell.type = at[0];
  cell.source = static_cast<uint16_t>(Get16(at + 1));
  cell.bytes = {at + kCellHead, Get32(at + 5)};
  return cell;
}

SqlCell SqlRowView::operator[](size_t index) const {
  SqlCell cell = Value(index);
  const uint8_t* at = cell.bytes.data() - kCellHead;
  if (const uint32_t key = Get16(at + 3)) cell.key = KeyAt(mBytes + Get32(mBytes + 8), key);
  return cell;
}

void SqlRow::Start() {
  mBytes.assign(kHeader, 0);
  mKeys.clear();
  mCells = mKeyCount = mValueBytes = 0;
  mLastKey = 0;
  mOpen = true;
}

void SqlRow::Add(uint8_t type, const void* data, size_t length, uint16_t source, std::string_view key) {
  if (!mOpen) Start();
  key = key.substr(0, UINT16_MAX);
  // A row the format cannot hold (beyond 65,535 cells or 4 GB) takes NULLs instead: the row
  // then still reads back, and the values it lost are values no engine gives in one row.
  if (mCells >= UINT16_MAX) return;
  if (mBytes.size() + mKeys.size() + kCellHead + length + 2 + key.size() > kLimit) {
    type = kVornDbNull;
    length = 0;
    key = {};
  }
  uint32_t keyNumber = 0;
  if (!key.empty()) {
    const bool same = mKeyCount && SqlRowView::Get16(mKeys.data() + mLastKey) == key.size() &&
                      std::memcmp(mKeys.data() + mLastKey + 2, key.data(), key.size()) == 0;
    if (!same && mKeyCount < UINT16_MAX) {
      mLastKey = mKeys.size();
      mKeys.resize(mLastKey + 2 + key.size());
      Put16(mKeys.data() + mLastKey, static_cast<uint32_t>(key.size()));
      std::memcpy(mKeys.data() + mLastKey + 2, key.data(), key.size());
      ++mKeyCount;
      keyNumber = mKeyCount;
    } else if (same) {
      keyNumber = mKeyCount;
    }
  }
  uint8_t head[kCellHead];
  head[0] = type;
  Put16(head + 1, source);
  Put16(head + 3, keyNumber);
  Put32(head + 5, static_cast<uint32_t>(length));
  mBytes.insert(mBytes.end(), head, head + kCellHead);
  if (length) mBytes.insert(mBytes.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + length);
  ++mCells;
  mValueBytes += static_cast<uint32_t>(length);
}

void SqlRow::AddCopy(size_t index) {
  if (index >= mCells || mCells >= UINT16_MAX) return Add(kVornDbNull, nullptr, 0);
  size_t at = kHeader;
  for (size_t i = 0; i < index; ++i) at += kCellHead + SqlRowView::Get32(mBytes.data() + at + 5);
  const size_t length = SqlRowView::Get32(mBytes.data() + at + 5);
  if (mBytes.size() + mKeys.size() + kCellHead + length > kLimit) return Add(kVornDbNull, nullptr, 0);
  const size_t end = mBytes.size();
  mBytes.resize(end + kCellHead + length);
  std::memcpy(mBytes.data() + end, mBytes.data() + at, kCellHead + length);
  ++mCells;
  mValueBytes += static_cast<uint32_t>(length);
}

SqlRowView SqlRow::Finish() {
  if (!mOpen && !mBytes.empty()) return View();
  if (!mOpen) Start();
  mOpen = false;
  const size_t keys = mBytes.size();
  mBytes.insert(mBytes.end(), mKeys.begin(), mKeys.end());
  uint8_t* header = mBytes.data();
  Put32(header, static_cast<uint32_t>(mBytes.size()));
  Put32(header + 4, mValueBytes);
  Put32(header + 8, static_cast<uint32_t>(keys));
  Put16(header + 12, mCells);
  Put16(header + 14, mKeyCount);
  return View();
}

}  // namespace vorn
