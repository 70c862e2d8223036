#include "database/sql_row_store.h"

#include "database/sql_run_merge.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {
namespace {

size_t gBudget = kSqlDefaultMemoryBudget;

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  struct stat info {};
  if (folder && folder[0] == '/' && stat(folder, &info) == 0 && S_ISDIR(info.st_mode)) return folder;
  return "/tmp";
}

}  // namespace

size_t SqlMemoryBudget() { return gBudget; }
void SqlSetMemoryBudget(size_t bytes) { gBudget = bytes; }

std::unique_ptr<SqlTemporaryFile> SqlTemporaryFile::Create() {
  std::string name = TemporaryFolder() + "/vorn-rows-XXXXXX";
  // mkstemp creates the file exclusively with mode 0600, so no one else's file or link is used.
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) return nullptr;
  unlink(name.c_str());
  return std::unique_ptr<SqlTemporaryFile>(new SqlTemporaryFile(descriptor));
}

SqlTemporaryFile::~SqlTemporaryFile() { close(mDescriptor); }

// Repeats a partial transfer until all bytes moved; false on an error or end of file.
template <typename Transfer>
bool Whole(size_t length, Transfer transfer) {
  size_t done = 0;
  while (done < length) {
    const ssize_t moved = transfer(done);
    if (moved < 0 && errno == EINTR) continue;
    if (moved <= 0) return false;
    done += static_cast<size_t>(moved);
  }
  return true;
}

bool SqlTemporaryFile::WriteAt(uint64_t offset, const uint8_t* bytes, size_t length) {
  return Whole(length, [&](size_t done) {
    return pwrite(mDescriptor, bytes + done, length - done, static_cast<off_t>(offset + done));
  });
}

bool SqlTemporaryFile::WriteRowsAt(uint64_t offset, const std::vector<SqlRowView>& rows) {
  // Rows are small and lie scattered in sorted order: they are gathered into large blocks,
  // which the system copies far faster than many small pieces.
  constexpr size_t kGather = 256 * 1024;
  std::unique_ptr<uint8_t[]> block(new uint8_t[kGather]);
  size_t used = 0;
  for (const SqlRowView& row : rows) {
    if (used + row.ByteSize() > kGather && used) {
      if (!WriteAt(offset, block.get(), used)) return false;
      offset += used;
      used = 0;
    }
    if (row.ByteSize() > kGather) {
      if (!WriteAt(offset, row.data(), row.ByteSize())) return false;
      offset += row.ByteSize();
      continue;
    }
    std::memcpy(block.get() + used, row.data(), row.ByteSize());
    used += row.ByteSize();
  }
  return !used || WriteAt(offset, block.get(), used);
}

bool SqlTemporaryFile::ReadAt(uint64_t offset, std::vector<uint8_t>& bytes) const {
  return Whole(bytes.size(), [&](size_t done) {
    return pread(mDescriptor, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
  });
}

SqlRowStore::SqlRowStore(size_t budget) : mBudget(budget) {}
SqlRowStore::~SqlRowStore() = default;

std::unique_ptr<SqlRowStore> SqlRowStore::Merged(std::vector<std::unique_ptr<SqlRowStore>> runs,
                                                 Comparison compare, Prefixes prefixes) {
  auto store = std::make_unique<SqlRowStore>(0);
  if (runs.size() > UINT32_MAX) return nullptr;
  for (const auto& run : runs) {
    if (run->Count() > UINT32_MAX) return nullptr;
    store->mMergedCount += run->Count();
  }
  store->mMerge = std::make_unique<SqlRunMerge>(std::move(runs), std::move(compare), std::move(prefixes));
  // The order is met row by row up to the last: room for all of it at once spares the copies
  // of a growing list (room never reached costs no memory).
  store->mOrder.reserve(store->mMergedCount);
  store->mWhole = true;
  return store;
}

std::unique_ptr<SqlRowStore> SqlRowStore::Written(const std::vector<SqlRowView>& rows) {
  auto store = std::make_unique<SqlRowStore>(0);
  store->mFile = SqlTemporaryFile::Create();
  if (!store->mFile) return nullptr;
  store->mStarts.reserve(rows.size());
  for (const SqlRowView& row : rows) {
    store->mStarts.push_back(store->mEnd);
    store->mEnd += row.ByteSize();
  }
  if (!store->mFile->WriteRowsAt(0, rows)) return nullptr;
  store->mWhole = true;
  return store;
}

std::unique_ptr<SqlRowStore> SqlRowStore::Held(std::vector<uint8_t> bytes, std::vector<uint64_t> starts) {
  auto store = std::make_unique<SqlRowStore>();
  store->mBytes = std::move(bytes);
  store->mStarts = std::move(starts);
  store->mWhole = true;
  return store;
}

constexpr size_t kBlockBytes = 32768;

bool SqlRowStore::Append(SqlRowView row) {
  if (mFailed || mWhole) return false;
  if (!mFile && mHeld + row.ValueBytes() <= mBudget) {
    mHeld += row.ValueBytes();
    mStarts.push_back(mBytes.size());
    mBytes.insert(mBytes.end(), row.data(), row.data() + row.ByteSize());
    return true;
  }
  if (!mFile) {
    // Over the budget: the rows held so far move to the file as they lie, so that their starts
    // become their offsets there, and all later rows follow.
    mFile = SqlTemporaryFile::Create();
    if (!mFile) return mFailed = true, false;
    mUnwritten.swap(mBytes);
    std::vector<uint8_t>().swap(mBytes);
    mEnd = mUnwritten.size();
    mHeld = 0;
  }
  mStarts.push_back(mEnd);
  mUnwritten.insert(mUnwritten.end(), row.data(), row.data() + row.ByteSize());
  mEnd += row.ByteSize();
  if (mUnwritten.size() >= kBlockBytes && !Flush()) return mFailed = true, false;
  return true;
}

bool SqlRowStore::Flush() {
  if (mUnwritten.empty()) return true;
  if (!mFile->WriteAt(mEnd - mUnwritten.size(), mUnwritten.data(), mUnwritten.size())) return false;
  mUnwritten.clear();
  return true;
}

std::optional<SqlRowView> SqlRowStore::Fetch(size_t index) {
  if (mMerge) {
    if (index >= mMergedCount) return std::nullopt;
    if (index + 1 == mOrder.size() && mMergedRow) return mMergedRow;
    mMergedRow.reset();
    if (index < mOrder.size()) return mMerge->Read(mOrder[index].run, mOrder[index].row);
    while (mOrder.size() <= index) {
      SqlRunMerge::Taken taken;
      if (mMerge->Next(&taken) != SqlRunMerge::Step::kRow) return std::nullopt;
      mOrder.push_back({taken.run, taken.row});
      mMergedRow = taken.view;
    }
    return mMergedRow;
  }
  if (index >= mStarts.size()) return std::nullopt;
  if (!mFile) {
    const uint8_t* row = mBytes.data() + mStarts[index];
    return SqlRowView::At(row);
  }
  if (mFailed || !Flush()) return std::nullopt;
  const uint64_t start = mStarts[index];
  const uint64_t end = index + 1 < mStarts.size() ? mStarts[index + 1] : mEnd;
  if (start < mWindowStart || end > mWindowStart + mWindow.size()) {
    mWindowStart = start;
    mWindow.resize(static_cast<size_t>(std::min<uint64_t>(mEnd - start, std::max<uint64_t>(end - start, kBlockBytes))));
    if (!mFile->ReadAt(mWindowStart, mWindow)) {
      mWindow.clear();
      return std::nullopt;
    }
  }
  // The file is ours alone, but a failing disk may still give back other bytes.
  const uint8_t* row = mWindow.data() + (start - mWindowStart);
  const size_t length = static_cast<size_t>(end - start);
  if (!SqlRowView::Valid(row, length)) return std::nullopt;
  return SqlRowView(row, length);
}

}  // namespace vorn
