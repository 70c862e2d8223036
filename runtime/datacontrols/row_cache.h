// The row cache under a scrollable cursor: rows copied once into two scratch files, an index of
// 4-byte little-endian row offsets and the row bytes one after another, so that any row is two
// seeks away and a result of a million rows costs disk, not memory.
#pragma once

#include <cstdint>
#include <memory>

#include "files/data_file.h"

namespace vorn {

class RowCache {
 public:
  // Nil when either scratch file cannot be made.
  static std::unique_ptr<RowCache> Create();

  // The data stream positioned where the new row begins, for the caller to write the row; nil
  // when the row cannot be listed (the cache is then unchanged).
  RandomAccessMechanism* AppendRow();
  // The data stream positioned at row `index` (0-based); nil outside 0..Count()-1.
  RandomAccessMechanism* FetchRow(uint32_t index);
  uint32_t Count() const { return mCount; }

 private:
  RowCache() = default;

  UnixDataFile mIndex;
  UnixDataFile mData;
  uint32_t mCount = 0;
  bool mAppending = false;  // both streams sit at their ends after the last append
};

// Opens a new file in the user's temporary folder (TMPDIR, or /tmp) that no other process can
// have planted or can open by name: made with mkstemp (O_EXCL, mode 0600) and unlinked at once,
// so it vanishes with the last descriptor even when the program dies.
bool OpenScratchFile(UnixDataFile* file);

}  // namespace vorn
