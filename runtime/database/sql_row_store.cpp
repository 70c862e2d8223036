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
  const size_t count = runs.size();
  // Every run is read through a window of its own: together they stay near a megabyte, as
  // hundreds of runs would otherwise hold many megabytes, each window a few thousand bytes at
  // least.
  for (const auto& run : runs) run->mWindowBytes = std::clamp<size_t>((size_t{1} << 20) / std::max<size_t>(count, 1), 4096, kBlockBytes);
  store->mRunWidth = count <= 0x100 ? 1 : count <= 0x10000 ? 2 : 4;
  // Marks cost a count per run: one every few thousand places, and never more than a count
  // per place, however many runs there are.
  store->mPlaceMarkEvery = std::max<size_t>(4096, count);
  store->mTakenFrom.assign(count, 0);
  store->mMerge = std::make_unique<SqlRunMerge>(std::move(runs), std::move(compare), std::move(prefixes));
  // The order is met place by place up to the last: room for all of it at once spares the
  // copies of a growing list (room never reached costs no memory).
  store->mPlaceRuns.reserve(store->mMergedCount * store->mRunWidth);
  store->mWhole = true;
  return store;
}

std::unique_ptr<SqlRowStore> SqlRowStore::Written(const std::vector<SqlRowView>& rows) {
  auto store = std::make_unique<SqlRowStore>(0);
  store->mFile = SqlTemporaryFile::Create();
  if (!store->mFile) return nullptr;
  store->mMarks.reserve(rows.size() / kMarkRows + 1);
  for (const SqlRowView& row : rows) {
    store->AddRowAt(store->mEnd);
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
  store->mRows = store->mStarts.size();
  store->mWhole = true;
  return store;
}

bool SqlRowStore::Append(SqlRowView row) {
  if (mFailed || mWhole) return false;
  if (!mFile && mHeld + row.ValueBytes() <= mBudget) {
    mHeld += row.ValueBytes();
    mStarts.push_back(mBytes.size());
    ++mRows;
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
    for (size_t i = 0; i < mStarts.size(); i += kMarkRows) mMarks.push_back(mStarts[i]);
    std::vector<uint64_t>().swap(mStarts);
  }
  AddRowAt(mEnd);
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

void SqlRowStore::AddRowAt(uint64_t start) {
  if (mRows++ % kMarkRows == 0) mMarks.push_back(start);
}

SqlRowStore::RunRow SqlRowStore::Place(size_t index) const {
  auto runAt = [this](size_t place) {
    const uint8_t* at = mPlaceRuns.data() + place * mRunWidth;
    uint32_t run = 0;
    for (size_t b = 0; b < mRunWidth; ++b) run |= uint32_t{at[b]} << (8 * b);
    return run;
  };
  const size_t mark = index / mPlaceMarkEvery;
  const uint32_t run = runAt(index);
  uint32_t row = mPlaceMarks[mark * mTakenFrom.size() + run];
  for (size_t place = mark * mPlaceMarkEvery; place < index; ++place) row += runAt(place) == run;
  return {run, row};
}

void SqlRowStore::MeetPlace(uint32_t run) {
  if (mPlaces % mPlaceMarkEvery == 0) mPlaceMarks.insert(mPlaceMarks.end(), mTakenFrom.begin(), mTakenFrom.end());
  for (size_t b = 0; b < mRunWidth; ++b) mPlaceRuns.push_back(uint8_t(run >> (8 * b)));
  ++mTakenFrom[run];
  ++mPlaces;
}

std::optional<SqlRowView> SqlRowStore::Fetch(size_t index) {
  if (mMerge) {
    if (index >= mMergedCount) return std::nullopt;
    if (index + 1 == mPlaces && mMergedRow) return mMergedRow;
    mMergedRow.reset();
    if (index < mPlaces) {
      const RunRow place = Place(index);
      return mMerge->Read(place.run, place.row);
    }
    while (mPlaces <= index) {
      SqlRunMerge::Taken taken;
      if (mMerge->Next(&taken) != SqlRunMerge::Step::kRow) return std::nullopt;
      MeetPlace(taken.run);
      mMergedRow = taken.view;
    }
    return mMergedRow;
  }
  if (index >= mRows) return std::nullopt;
  if (!mFile) return SqlRowView::At(mBytes.data() + mStarts[index]);
  return FetchFromFile(index);
}

bool SqlRowStore::Window(uint64_t start, uint64_t end) {
  if (start >= mWindowStart && end <= mWindowStart + mWindow.size()) return true;
  mWindowStart = start;
  mWindow.resize(static_cast<size_t>(std::min<uint64_t>(mEnd - start, std::max<uint64_t>(end - start, mWindowBytes))));
  if (mFile->ReadAt(mWindowStart, mWindow)) return true;
  mWindow.clear();
  return false;
}

std::optional<uint64_t> SqlRowStore::RowLengthAt(uint64_t start) {
  // A row opens with the length of the rest, seven bits a byte, at most five bytes.
  const uint64_t headEnd = std::min<uint64_t>(start + 5, mEnd);
  if (start >= mEnd || !Window(start, headEnd)) return std::nullopt;
  const uint8_t* at = mWindow.data() + (start - mWindowStart);
  uint64_t rest = 0;
  for (uint64_t b = 0; start + b < headEnd; ++b) {
    rest |= uint64_t{at[b] & 0x7Fu} << (7 * b);
    if (at[b] < 0x80) {
      const uint64_t length = b + 1 + rest;
      if (length > mEnd - start) return std::nullopt;
      return length;
    }
  }
  return std::nullopt;
}

std::optional<SqlRowView> SqlRowStore::FetchFromFile(size_t index) {
  if (mFailed || !Flush()) return std::nullopt;
  // Walked to from the mark before it, or from the row read last when that stands between the
  // mark and it (with none read yet, mLastRow is SIZE_MAX: past every index).
  size_t row = index / kMarkRows * kMarkRows;
  uint64_t start = mMarks[index / kMarkRows];
  if (row <= mLastRow && mLastRow <= index) {
    row = index == mLastRow ? mLastRow : mLastRow + 1;
    start = index == mLastRow ? mLastStart : mNextStart;
  }
  std::optional<uint64_t> length;
  for (;; ++row) {
    length = RowLengthAt(start);
    if (!length) return std::nullopt;
    if (row == index) break;
    start += *length;
  }
  // The file is ours alone, but a failing disk may still give back other bytes.
  if (!Window(start, start + *length)) return std::nullopt;
  const uint8_t* bytes = mWindow.data() + (start - mWindowStart);
  if (!SqlRowView::Valid(bytes, static_cast<size_t>(*length))) return std::nullopt;
  mLastRow = index;
  mLastStart = start;
  mNextStart = start + *length;
  return SqlRowView(bytes, static_cast<size_t>(*length));
}

}  // namespace vorn
