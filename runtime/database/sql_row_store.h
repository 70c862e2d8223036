// The rows of a query result that the executor must hold (sorted or summarised rows): in
// memory up to a byte budget, beyond it in a temporary file, so that a large result never has
// to fit in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vorn/database_api.h"

namespace vorn {

struct SqlCell {
  uint8_t type = kVornDbNull;
  std::vector<uint8_t> bytes;
  // Where the value came from ("table!column") and the condition selecting its row, when the
  // engine tells; edits and deletions are written back through them.
  std::string source;
  std::string key;
};
using SqlRow = std::vector<SqlCell>;

// Value bytes a result may hold in memory at once, unless changed (tests make it small).
constexpr size_t kSqlDefaultMemoryBudget = 640000;
size_t SqlMemoryBudget();
void SqlSetMemoryBudget(size_t bytes);

// The number a numeric cell holds (smallint, integer, float, double; a Boolean's byte).
double SqlCellNumber(const SqlCell& cell);

// The bytes a row counts against the budget: its values' (sources and keys come on top).
size_t SqlRowBytes(const SqlRow& row);

// An anonymous file in the user's temporary folder ($TMPDIR when it names a folder, else
// /tmp): made under a fresh name that only this user may open, and unlinked at once, so it
// vanishes with its descriptor however the program ends.
class SqlTemporaryFile {
 public:
  static std::unique_ptr<SqlTemporaryFile> Create();
  ~SqlTemporaryFile();
  SqlTemporaryFile(const SqlTemporaryFile&) = delete;
  SqlTemporaryFile& operator=(const SqlTemporaryFile&) = delete;

  bool WriteAt(uint64_t offset, const std::vector<uint8_t>& bytes);
  bool ReadAt(uint64_t offset, std::vector<uint8_t>& bytes) const;

 private:
  explicit SqlTemporaryFile(int descriptor) : mDescriptor(descriptor) {}
  int mDescriptor;
};

class SqlRowStore {
 public:
  explicit SqlRowStore(size_t budget = SqlMemoryBudget()) : mBudget(budget) {}

  // The rows of sorted runs in merged order (run, row within it): each row is read back from
  // its run, so that merging writes no second copy of the rows.
  struct RunRow {
    uint32_t run = 0;
    uint32_t row = 0;
  };
  static std::unique_ptr<SqlRowStore> Merged(std::vector<std::unique_ptr<SqlRowStore>> runs,
                                             std::vector<RunRow> order);

  // False when the temporary file cannot be made or written (or the store is a merge); the
  // store then takes no more.
  bool Append(SqlRow row);
  size_t Count() const {
    if (!mRuns.empty()) return mOrder.size();
    return mOffsets.empty() ? mRows.size() : mOffsets.size();
  }
  // Nothing outside the rows or when the file cannot be read.
  std::optional<SqlRow> Fetch(size_t index);
  bool OnFile() const { return mFile != nullptr; }

 private:
  bool Spill(const SqlRow& row);
  bool Flush();

  size_t mBudget;
  size_t mHeld = 0;
  std::vector<SqlRow> mRows;  // while everything fits the budget
  std::unique_ptr<SqlTemporaryFile> mFile;
  std::vector<uint64_t> mOffsets;  // each row's start in the file
  uint64_t mEnd = 0;
  bool mFailed = false;
  // Rows go to the file and come back from it in blocks, as they are mostly written and read
  // in order: the bytes not yet written (they end at mEnd), and a window of bytes read.
  std::vector<uint8_t> mUnwritten;
  std::vector<uint8_t> mWindow;
  uint64_t mWindowStart = 0;
  std::vector<std::unique_ptr<SqlRowStore>> mRuns;
  std::vector<RunRow> mOrder;
};

}  // namespace vorn
