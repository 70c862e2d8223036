#include "database/sql_row_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {
namespace {

size_t gBudget = kSqlDefaultMemoryBudget;

// Row layout in the file: a 32-bit cell count, then per cell its type byte and three
// length-prefixed byte strings (value, source, key); every number big-endian.
uint8_t* Put32(uint8_t* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) *out++ = static_cast<uint8_t>(value >> shift);
  return out;
}

uint8_t* PutBytes(uint8_t* out, const void* data, size_t length) {
  out = Put32(out, static_cast<uint32_t>(length));
  if (length) std::memcpy(out, data, length);
  return out + length;
}

// Appends the row's encoding to `out` in place (rows are many and small: no buffer of their
// own); its length in bytes.
size_t EncodeInto(std::vector<uint8_t>& out, const SqlRow& row) {
  size_t length = 4;
  for (const SqlCell& cell : row) length += 13 + cell.bytes.size() + cell.source.size() + cell.key.size();
  const size_t start = out.size();
  out.resize(start + length);
  uint8_t* at = Put32(out.data() + start, static_cast<uint32_t>(row.size()));
  for (const SqlCell& cell : row) {
    *at++ = cell.type;
    at = PutBytes(at, cell.bytes.data(), cell.bytes.size());
    at = PutBytes(at, cell.source.data(), cell.source.size());
    at = PutBytes(at, cell.key.data(), cell.key.size());
  }
  return length;
}

class Reader {
 public:
  Reader(const uint8_t* bytes, size_t size) : mBytes(bytes), mSize(size) {}
  bool Get32(uint32_t* value) {
    if (mSize - mAt < 4) return false;
    *value = 0;
    for (int i = 0; i < 4; ++i) *value = (*value << 8) | mBytes[mAt++];
    return true;
  }
  bool GetByte(uint8_t* value) {
    if (mAt >= mSize) return false;
    *value = mBytes[mAt++];
    return true;
  }
  template <typename Out>
  bool GetBytes(Out* out) {
    uint32_t length = 0;
    if (!Get32(&length) || mSize - mAt < length) return false;
    out->assign(mBytes + mAt, mBytes + mAt + length);
    mAt += length;
    return true;
  }

 private:
  const uint8_t* mBytes;
  size_t mSize;
  size_t mAt = 0;
};

std::optional<SqlRow> Decode(const uint8_t* bytes, size_t size) {
  Reader reader(bytes, size);
  uint32_t count = 0;
  if (!reader.Get32(&count) || count > size) return std::nullopt;
  SqlRow row(count);
  for (SqlCell& cell : row) {
    if (!reader.GetByte(&cell.type) || !reader.GetBytes(&cell.bytes) || !reader.GetBytes(&cell.source) ||
        !reader.GetBytes(&cell.key)) {
      return std::nullopt;
    }
  }
  return row;
}

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  struct stat info {};
  if (folder && folder[0] == '/' && stat(folder, &info) == 0 && S_ISDIR(info.st_mode)) return folder;
  return "/tmp";
}

}  // namespace

size_t SqlMemoryBudget() { return gBudget; }
void SqlSetMemoryBudget(size_t bytes) { gBudget = bytes; }

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

size_t SqlRowBytes(const SqlRow& row) {
  size_t bytes = 0;
  for (const SqlCell& cell : row) bytes += cell.bytes.size();
  return bytes;
}

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

bool SqlTemporaryFile::WriteAt(uint64_t offset, const std::vector<uint8_t>& bytes) {
  return Whole(bytes.size(), [&](size_t done) {
    return pwrite(mDescriptor, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
  });
}

bool SqlTemporaryFile::ReadAt(uint64_t offset, std::vector<uint8_t>& bytes) const {
  return Whole(bytes.size(), [&](size_t done) {
    return pread(mDescriptor, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
  });
}

std::unique_ptr<SqlRowStore> SqlRowStore::Merged(std::vector<std::unique_ptr<SqlRowStore>> runs,
                                                 std::vector<RunRow> order) {
  auto store = std::make_unique<SqlRowStore>(0);
  store->mRuns = std::move(runs);
  store->mOrder = std::move(order);
  return store;
}

bool SqlRowStore::Append(SqlRow row) {
  if (mFailed || !mRuns.empty()) return false;
  const size_t bytes = SqlRowBytes(row);
  if (!mFile && mHeld + bytes <= mBudget) {
    mHeld += bytes;
    mRows.push_back(std::move(row));
    return true;
  }
  if (!mFile) {
    // Over the budget: everything held so far moves to the file, and all later rows follow.
    mFile = SqlTemporaryFile::Create();
    std::vector<SqlRow> held;
    held.swap(mRows);
    mHeld = 0;
    for (const SqlRow& earlier : held) {
      if (!mFile || !Spill(earlier)) return mFailed = true, false;
    }
  }
  if (!mFile || !Spill(row)) return mFailed = true, false;
  return true;
}

constexpr size_t kBlockBytes = 32768;

bool SqlRowStore::Spill(const SqlRow& row) {
  mOffsets.push_back(mEnd);
  mEnd += EncodeInto(mUnwritten, row);
  return mUnwritten.size() < kBlockBytes || Flush();
}

bool SqlRowStore::Flush() {
  if (mUnwritten.empty()) return true;
  if (!mFile->WriteAt(mEnd - mUnwritten.size(), mUnwritten)) return false;
  mUnwritten.clear();
  return true;
}

std::optional<SqlRow> SqlRowStore::Fetch(size_t index) {
  if (!mRuns.empty()) {
    if (index >= mOrder.size()) return std::nullopt;
    return mRuns[mOrder[index].run]->Fetch(mOrder[index].row);
  }
  if (!mFile) {
    if (index >= mRows.size()) return std::nullopt;
    return mRows[index];
  }
  if (index >= mOffsets.size() || mFailed || !Flush()) return std::nullopt;
  const uint64_t start = mOffsets[index];
  const uint64_t end = index + 1 < mOffsets.size() ? mOffsets[index + 1] : mEnd;
  if (start < mWindowStart || end > mWindowStart + mWindow.size()) {
    mWindowStart = start;
    mWindow.resize(static_cast<size_t>(std::min<uint64_t>(mEnd - start, std::max<uint64_t>(end - start, kBlockBytes))));
    if (!mFile->ReadAt(mWindowStart, mWindow)) {
      mWindow.clear();
      return std::nullopt;
    }
  }
  return Decode(mWindow.data() + (start - mWindowStart), static_cast<size_t>(end - start));
}

}  // namespace vorn
