// The rows of a query result that the executor must hold (sorted or summarised rows): in
// memory up to a byte budget, beyond it in a temporary file, so that a large result never has
// to fit in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/sql_row.h"

namespace vorn {

class SqlRunMerge;

// Value bytes a result may hold in memory at once, unless changed (tests make it small).
constexpr size_t kSqlDefaultMemoryBudget = 640000;
size_t SqlMemoryBudget();
void SqlSetMemoryBudget(size_t bytes);

// An anonymous file in the user's temporary folder ($TMPDIR when it names a folder, else
// /tmp): made under a fresh name that only this user may open, and unlinked at once, so it
// vanishes with its descriptor however the program ends.
class SqlTemporaryFile {
 public:
  static std::unique_ptr<SqlTemporaryFile> Create();
  ~SqlTemporaryFile();
  SqlTemporaryFile(const SqlTemporaryFile&) = delete;
  SqlTemporaryFile& operator=(const SqlTemporaryFile&) = delete;

  bool WriteAt(uint64_t offset, const uint8_t* bytes, size_t length);
  // The rows' bytes one after another from `offset`, gathered straight from where they lie.
  bool WriteRowsAt(uint64_t offset, const std::vector<SqlRowView>& rows);
  bool ReadAt(uint64_t offset, std::vector<uint8_t>& bytes) const;

 private:
  explicit SqlTemporaryFile(int descriptor) : mDescriptor(descriptor) {}
  int mDescriptor;
};

class SqlRowStore {
 public:
  explicit SqlRowStore(size_t budget = SqlMemoryBudget());
  ~SqlRowStore();

  // Orders two rows as a sort does (negative, 0, positive).
  using Comparison = std::function<int(SqlRowView, SqlRowView)>;
  // Numbers that order rows as the comparison does wherever they differ (see SqlSorter), made
  // once per row so that most steps of a merge compare two integers.
  struct OrderPrefix {
    uint64_t prefix = 0;
    uint8_t kind = 0;
    bool exact = false;  // equal prefixes mean the rows compare equal (when `whole`)
  };
  struct Prefixes {
    std::function<OrderPrefix(SqlRowView)> of;
    bool whole = false;  // the prefix stands for every key
  };
  // The rows of sorted runs merged in order: of rows the comparison finds equal, the earlier
  // run's come first. The merge is made as the rows are read, so that reading them in order
  // reads each from its run once; only the order met so far (run, row within it) is kept, and
  // a row read again comes back from its run. Null when there are too many rows to number.
  static std::unique_ptr<SqlRowStore> Merged(std::vector<std::unique_ptr<SqlRowStore>> runs, Comparison compare,
                                             Prefixes prefixes);
  // The rows written to a temporary file in the order given (a sorted run); null when the file
  // cannot be made or written.
  static std::unique_ptr<SqlRowStore> Written(const std::vector<SqlRowView>& rows);
  // Packed rows already in memory, given in the order of `starts` (each row's first byte).
  static std::unique_ptr<SqlRowStore> Held(std::vector<uint8_t> bytes, std::vector<uint64_t> starts);

  // False when the temporary file cannot be made or written (or the store was made whole by
  // Merged or Held); the store then takes no more.
  bool Append(SqlRowView row);
  size_t Count() const { return mMerge ? mMergedCount : mRows; }
  // The row, valid until the next Append or Fetch; nothing outside the rows, or when the file
  // cannot be read or gives back bytes that are not a row.
  std::optional<SqlRowView> Fetch(size_t index);
  bool OnFile() const { return mFile != nullptr; }

 private:
  bool Flush();
  // Rows on file start where the row before ends: only every kMarkRows-th row's start is kept
  // (a few bits a row rather than eight bytes), the others are found by walking from it.
  static constexpr size_t kMarkRows = 64;
  // Counts a row written to the file at `start`.
  void AddRowAt(uint64_t start);
  // The window holding the file's bytes [start, end), read when it does not; false when the
  // file cannot give them.
  bool Window(uint64_t start, uint64_t end);
  // The length of the row on file at `start`, read from its first bytes; nothing when they
  // cannot be read or hold no row that fits the file.
  std::optional<uint64_t> RowLengthAt(uint64_t start);
  std::optional<SqlRowView> FetchFromFile(size_t index);
  // The run and the row within it of a merged place met before.
  struct RunRow {
    uint32_t run = 0;
    uint32_t row = 0;
  };
  RunRow Place(size_t index) const;
  void MeetPlace(uint32_t run);

  size_t mBudget;
  size_t mRows = 0;
  size_t mHeld = 0;              // value bytes of the rows in mBytes
  std::vector<uint8_t> mBytes;   // the rows, while everything fits the budget
  std::vector<uint64_t> mStarts; // each row's start in mBytes, while the rows are in memory
  std::vector<uint64_t> mMarks;  // on file: the start of rows 0, kMarkRows, 2 kMarkRows, ...
  // On file: the row read last and where it starts, and where the row after it starts.
  size_t mLastRow = SIZE_MAX;
  uint64_t mLastStart = 0;
  uint64_t mNextStart = 0;
  bool mWhole = false;
  std::unique_ptr<SqlTemporaryFile> mFile;
  uint64_t mEnd = 0;
  bool mFailed = false;
  // Rows go to the file and come back from it in blocks, as they are mostly written and read
  // in order: the bytes not yet written (they end at mEnd), and a window of bytes read.
  std::vector<uint8_t> mUnwritten;
  std::vector<uint8_t> mWindow;
  uint64_t mWindowStart = 0;
  static constexpr size_t kBlockBytes = 32768;
  size_t mWindowBytes = kBlockBytes;  // read at once, unless a row is longer
  std::unique_ptr<SqlRunMerge> mMerge;
  // The merged order met so far: each place's run, in mRunWidth bytes (1 up to 256 runs), and
  // for every mPlaceMarkEvery-th place how many rows each run had given before it, so that a
  // place's row within its run is counted from there rather than kept for every place.
  std::vector<uint8_t> mPlaceRuns;
  size_t mRunWidth = 1;
  size_t mPlaces = 0;
  size_t mPlaceMarkEvery = 0;
  std::vector<uint32_t> mPlaceMarks;  // run count entries per mark
  std::vector<uint32_t> mTakenFrom;   // rows each run has given so far
  size_t mMergedCount = 0;
  std::optional<SqlRowView> mMergedRow;  // the row the merge met last, where its run holds it
};

}  // namespace vorn
