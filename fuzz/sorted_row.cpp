// Fuzzes the check of a sorted row read back from a temporary file: the input is the bytes the
// file gave back. A row the check accepts must read whole without leaving its bytes (every
// cell and key inside them), and building it again cell by cell gives the same cells.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <vector>

#include "database/sql_row.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size, so that a read past it is caught by the sanitizers.
  const std::vector<uint8_t> bytes(data, data + size);
  if (!vorn::SqlRowView::Valid(bytes.data(), bytes.size())) return 0;
  const vorn::SqlRowView row(bytes.data(), bytes.size());
  const uint8_t* end = bytes.data() + bytes.size();
  if (vorn::SqlRowView::At(bytes.data()).ByteSize() != bytes.size()) __builtin_trap();
  vorn::SqlRow again;
  again.Start();
  size_t values = 0;
  for (size_t c = 0; c < row.size(); ++c) {
    const vorn::SqlCell cell = row[c];
    vorn::SqlCell value;
    if (!row.ValueAt(c, &value) || value.bytes.data() != cell.bytes.data()) __builtin_trap();
    if (cell.bytes.data() + cell.bytes.size() > end) __builtin_trap();
    if (reinterpret_cast<const uint8_t*>(cell.key.data() + cell.key.size()) > end) __builtin_trap();
    again.Add(cell.type, cell.bytes.data(), cell.bytes.size(), cell.source, cell.key);
    values += cell.bytes.size();
  }
  vorn::SqlCell past;
  if (row.ValueAt(row.size(), &past) || values != row.ValueBytes()) __builtin_trap();
  // The same cells make a row that reads back as they are; its bytes may differ only where the
  // input spelled a number longer than it needs or kept a key no cell names.
  const vorn::SqlRowView rebuilt = again.Finish();
  if (!vorn::SqlRowView::Valid(rebuilt.data(), rebuilt.ByteSize()) || rebuilt.size() != row.size()) __builtin_trap();
  for (size_t c = 0; c < row.size(); ++c) {
    const vorn::SqlCell a = row[c], b = rebuilt[c];
    if (a.type != b.type || a.source != b.source || a.key != b.key ||
        !std::equal(a.bytes.begin(), a.bytes.end(), b.bytes.begin(), b.bytes.end())) {
      __builtin_trap();
    }
  }
  return 0;
}
