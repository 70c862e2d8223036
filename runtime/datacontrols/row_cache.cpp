#include "datacontrols/row_cache.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace vorn {

bool OpenScratchFile(UnixDataFile* file) {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && folder[0] == '/' ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  path += "vorn-rowcache-XXXXXX";
  int descriptor = mkostemp(path.data(), O_CLOEXEC);
  if (descriptor < 0) return false;
  unlink(path.c_str());
  FILE* stream = fdopen(descriptor, "w+");
  if (!stream) {
    close(descriptor);
    return false;
  }
  file->CloseFile();
  file->mFile = stream;
  return true;
}

std::unique_ptr<RowCache> RowCache::Create() {
  std::unique_ptr<RowCache> cache(new RowCache());
  if (!OpenScratchFile(&cache->mIndex) || !OpenScratchFile(&cache->mData)) return nullptr;
  cache->mAppending = true;
  return cache;
}

RandomAccessMechanism* RowCache::AppendRow() {
  if (mCount >= static_cast<uint32_t>(INT32_MAX / 4)) return nullptr;
  // Between appends both streams already sit at their ends; seeking would flush every row.
  const int32_t offset = mAppending ? mData.GetPosition() : mData.GetLength();
  if (offset < 0) return nullptr;
  if (!mAppending) {
    if (!mData.SetPosition(offset) || !mIndex.SetPosition(static_cast<int32_t>(4 * mCount))) return nullptr;
  }
  mIndex.ClearByteSwap();
  if (!mIndex.WriteLong(offset)) {
    mAppending = false;
    return nullptr;
  }
  mAppending = true;
  ++mCount;
  return &mData;
}

RandomAccessMechanism* RowCache::FetchRow(uint32_t index) {
  if (index >= mCount) return nullptr;
  mAppending = false;
  int32_t offset = 0;
  if (!mIndex.SetPosition(static_cast<int32_t>(4 * index)) || !mIndex.ReadLong(&offset)) return nullptr;
  if (offset < 0 || !mData.SetPosition(offset)) return nullptr;
  return &mData;
}

}  // namespace vorn
