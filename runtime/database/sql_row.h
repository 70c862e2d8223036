// A row of a query result that the executor holds (sorted or summarised rows), packed into one
// buffer: sorting and merging a large result move, write and read back many rows, and a row
// that is one small block of bytes costs no allocation per value and little file traffic.
//
// Layout; every count and length is a variable-length number (seven bits a byte, lowest
// first, the high bit set on every byte but the last; at most five bytes), so that the small
// numbers a row mostly holds take one byte each:
//   the length of the rest of the row in bytes
//   value bytes (the sum of the cells' value lengths: what a row counts against the budget)
//   cell count, key count
//   per cell: u8 type, source number (0: none), key number (0: none), value length, the
//             value's bytes
//   per key: length, its bytes
// A row's columns mostly come from one table row and share its key, so each key is written
// once; sources ("table!column") are the same for every row and are numbered by the query.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vorn/database_api.h"

namespace vorn {

// One value of a row, with the number of where it came from and the condition selecting its
// table row, when the engine tells; edits and deletions are written back through them.
struct SqlCell {
  uint8_t type = kVornDbNull;
  std::span<const uint8_t> bytes;
  uint16_t source = 0;
  std::string_view key;
};

// The number a numeric cell holds (smallint, integer, float, double; a Boolean's byte).
double SqlCellNumber(const SqlCell& cell);

// The sources of a query's rows, each numbered from 1 when first met.
class SqlSourceNames {
 public:
  // 0 for an empty name, or when the numbers are used up.
  uint16_t Number(std::string_view name);
  std::string_view Name(uint16_t number) const {
    return number >= 1 && number <= mNames.size() ? std::string_view(mNames[number - 1]) : std::string_view();
  }

 private:
  std::vector<std::string> mNames;
};

// Reading the numbers and cells of rows that were built here or checked by
// SqlRowView::Valid, kept inline for the loops that read a row at every step.
namespace sql_row_bytes {

inline uint32_t TakeNumber(const uint8_t*& at) {
  uint32_t value = *at++;
  if (value < 0x80) return value;
  value &= 0x7F;
  for (int shift = 7;; shift += 7) {
    const uint32_t byte = *at++;
    value |= (byte & 0x7F) << shift;
    if (byte < 0x80) return value;
  }
}

struct Header {
  uint32_t valueBytes;
  uint32_t cells;
  uint32_t keys;
  const uint8_t* first;  // the first cell
};

inline Header ReadHeader(const uint8_t* row) {
  Header header{};
  TakeNumber(row);
  header.valueBytes = TakeNumber(row);
  header.cells = TakeNumber(row);
  header.keys = TakeNumber(row);
  header.first = row;
  return header;
}

// The cell that starts at `at`, its key number, and where the next cell starts.
inline const uint8_t* ReadCell(const uint8_t* at, SqlCell* cell, uint32_t* key) {
  cell->type = *at++;
  cell->source = static_cast<uint16_t>(TakeNumber(at));
  *key = TakeNumber(at);
  const uint32_t length = TakeNumber(at);
  cell->bytes = {at, length};
  return at + length;
}

inline const uint8_t* SkipCell(const uint8_t* at) {
  ++at;
  TakeNumber(at);
  TakeNumber(at);
  const uint32_t length = TakeNumber(at);
  return at + length;
}

// Where the cell numbered `index` starts, the first cell starting at `first`.
inline const uint8_t* CellAt(const uint8_t* first, size_t index) {
  for (size_t i = 0; i < index; ++i) first = SkipCell(first);
  return first;
}

}  // namespace sql_row_bytes

// A packed row that someone else owns: valid while its bytes are.
class SqlRowView {
 public:
  SqlRowView() = default;
  SqlRowView(const uint8_t* bytes, size_t size) : mBytes(bytes), mSize(size) {}

  // Whether `size` bytes starting at `bytes` hold one well-formed row that fills them exactly:
  // rows read back from a file are checked once, and their cells are then read unchecked.
  static bool Valid(const uint8_t* bytes, size_t size);

  // The row that starts at `bytes`, which must be one that was built or checked.
  static SqlRowView At(const uint8_t* bytes) {
    const uint8_t* at = bytes;
    const uint32_t rest = sql_row_bytes::TakeNumber(at);
    return SqlRowView(bytes, static_cast<size_t>(at - bytes) + rest);
  }

  size_t size() const { return mBytes ? sql_row_bytes::ReadHeader(mBytes).cells : 0; }
  // Cells past size() are not to be asked for.
  SqlCell operator[](size_t index) const;
  // The cell without its key: what sorting and reading values look at.
  SqlCell Value(size_t index) const {
    SqlCell cell;
    ValueAt(index, &cell);
    return cell;
  }
  // The same, or false for a cell past size(), from one reading of the row.
  bool ValueAt(size_t index, SqlCell* cell) const {
    if (!mBytes) return false;
    const sql_row_bytes::Header header = sql_row_bytes::ReadHeader(mBytes);
    if (index >= header.cells) return false;
    uint32_t key = 0;
    sql_row_bytes::ReadCell(sql_row_bytes::CellAt(header.first, index), cell, &key);
    return true;
  }
  size_t ValueBytes() const { return mBytes ? sql_row_bytes::ReadHeader(mBytes).valueBytes : 0; }
  const uint8_t* data() const { return mBytes; }
  size_t ByteSize() const { return mSize; }

 private:
  const uint8_t* mBytes = nullptr;
  size_t mSize = 0;
};

// A packed row with its own buffer, built cell by cell; building again reuses the buffers.
class SqlRow {
 public:
  SqlRow() = default;
  explicit SqlRow(SqlRowView view) { Assign(view); }

  // Starts an empty row; each Add appends a cell, Finish closes the row and gives it.
  void Start();
  void Add(uint8_t type, const void* data, size_t length, uint16_t source = 0, std::string_view key = {}) {
    AddCell(type, data, length, source, AddKey(key));
  }
  // The number of the key for cells that follow (the latest key's again when it is the same);
  // 0 for none, or when the row has no room for it.
  uint32_t AddKey(std::string_view key);
  void AddCell(uint8_t type, const void* data, size_t length, uint16_t source, uint32_t key);
  // Appends a copy of the cell added at `index` (value, source and key alike).
  void AddCopy(size_t index);
  SqlRowView Finish();
  void Assign(SqlRowView view) {
    mBytes.assign(view.data(), view.data() + view.ByteSize());
    mUsed = mBytes.size();
    mStart = 0;
    mOpen = false;
  }

  // The row as last finished or assigned.
  SqlRowView View() const {
    return mUsed == 0 ? SqlRowView() : SqlRowView(mBytes.data() + mStart, mUsed - mStart);
  }
  size_t size() const { return View().size(); }
  SqlCell operator[](size_t index) const { return View()[index]; }

 private:
  // Room for `more` bytes after the used ones, which it gives; the room is not cleared.
  uint8_t* Room(size_t more) {
    if (mBytes.size() - mUsed < more) Grow(more);
    return mBytes.data() + mUsed;
  }
  void Grow(size_t more);

  // While the row is open, its cells follow room for the longest header; Finish writes the
  // header just before the cells, and the row starts at mStart. The buffer only grows (its
  // size is the room), so that rows built one after another cost no clearing or allocation.
  std::vector<uint8_t> mBytes;
  size_t mUsed = 0;
  size_t mStart = 0;
  std::vector<uint8_t> mKeys;  // the keys, as they will follow the cells
  uint32_t mCells = 0;
  uint32_t mKeyCount = 0;
  uint32_t mValueBytes = 0;
  size_t mLastKey = 0;  // where the latest key's bytes start in mKeys
  size_t mLastKeyLength = 0;
  bool mOpen = false;   // started and not yet finished
};

}  // namespace vorn
