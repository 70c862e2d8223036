#include "files/block_map.h"

#include <algorithm>

#include "files/volume_bytes.h"

namespace vorn {

void BlockMap::Add(uint32_t idnum, uint32_t offset, uint32_t sequence) {
  Changed();
  mEntries.push_back({offset, idnum, sequence});
  mByOffset.emplace(offset, mEntries.size() - 1);
  if (idnum == 0) ++mFreeCount;
}

void BlockMap::Reindex() {
  Changed();
  mByOffset.clear();
  mFreeCount = 0;
  for (size_t i = 0; i < mEntries.size(); ++i) {
    mByOffset.emplace(mEntries[i].offset, i);
    if (mEntries[i].idnum == 0) ++mFreeCount;
  }
}

bool BlockMap::RemoveByIdnum(uint32_t idnum) {
  auto end = std::remove_if(mEntries.begin(), mEntries.end(), [idnum](const Entry& e) { return e.idnum == idnum; });
  if (end == mEntries.end()) return false;
  mEntries.erase(end, mEntries.end());
  Reindex();
  return true;
}

bool BlockMap::RemoveByOffset(uint32_t offset) {
  auto found = mByOffset.find(offset);
  if (found == mByOffset.end()) return false;
  mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(found->second));
  Reindex();
  return true;
}

bool BlockMap::SetByIdnum(uint32_t idnum, uint32_t offset, uint32_t sequence) {
  for (Entry& entry : mEntries) {
    if (entry.idnum != idnum) continue;
    entry.offset = offset;
    entry.sequence = sequence;
    Reindex();
    return true;
  }
  return false;
}

bool BlockMap::SetIdnumAt(uint32_t offset, uint32_t idnum, int64_t sequence) {
  auto found = mByOffset.find(offset);
  if (found == mByOffset.end()) return false;
  Changed();
  Entry& entry = mEntries[found->second];
  if (entry.idnum == 0) --mFreeCount;
  if (idnum == 0) ++mFreeCount;
  entry.idnum = idnum;
  if (sequence != -1) entry.sequence = static_cast<uint32_t>(sequence);
  return true;
}

bool BlockMap::Find(uint32_t idnum, uint32_t sequence, int32_t start, int32_t* index, int64_t* offset) const {
  if (sequence == 0 && start <= 0 && idnum != 0) {
    if (mFirstBlocksStale) {
      mFirstBlocks.clear();
      for (size_t i = 0; i < mEntries.size(); ++i)
        if (mEntries[i].sequence == 0 && mEntries[i].idnum != 0) mFirstBlocks.emplace(mEntries[i].idnum, i);
      mFirstBlocksStale = false;
    }
    auto found = mFirstBlocks.find(idnum);
    *index = found == mFirstBlocks.end() ? -1 : static_cast<int32_t>(found->second);
    *offset = found == mFirstBlocks.end() ? -1 : mEntries[found->second].offset;
    return found != mFirstBlocks.end();
  }
  for (size_t i = start > 0 ? static_cast<size_t>(start) : 0; i < mEntries.size(); ++i) {
    if (mEntries[i].idnum == idnum && mEntries[i].sequence == sequence) {
      *index = static_cast<int32_t>(i);
      *offset = mEntries[i].offset;
      return true;
    }
  }
  *index = -1;
  *offset = -1;
  return false;
}

uint32_t BlockMap::GetIdnumAt(uint32_t offset) const {
  auto found = mByOffset.find(offset);
  return found == mByOffset.end() ? 0 : mEntries[found->second].idnum;
}

std::vector<uint8_t> BlockMap::Serialize() const {
  std::vector<uint8_t> bytes(static_cast<size_t>(SerializedSize()));
  PutUInt32(bytes.data(), kMagic, true);
  PutUInt32(bytes.data() + 4, static_cast<uint32_t>(mEntries.size()), true);
  uint8_t* record = bytes.data() + kHeaderSize;
  for (const Entry& entry : mEntries) {
    PutUInt32(record, entry.offset, true);
    PutUInt32(record + 4, entry.idnum, true);
    PutUInt32(record + 8, entry.sequence, true);
    record += kEntrySize;
  }
  return bytes;
}

bool BlockMap::Deserialize(const uint8_t* bytes, int64_t size) {
  Clear();
  if (!bytes || size < kHeaderSize || GetUInt32(bytes, true) != kMagic) return false;
  int64_t count = GetUInt32(bytes + 4, true);
  if (size != kHeaderSize + kEntrySize * count) return false;
  mEntries.reserve(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) {
    const uint8_t* record = bytes + kHeaderSize + kEntrySize * i;
    uint32_t offset = GetUInt32(record, true);
    // Two entries for one block would let it be handed out twice.
    if (HasOffset(offset)) {
      Clear();
      return false;
    }
    Add(GetUInt32(record + 4, true), offset, GetUInt32(record + 8, true));
  }
  return true;
}

void BlockMap::Clear() {
  Changed();
  mEntries.clear();
  mByOffset.clear();
  mFreeCount = 0;
}

}  // namespace vorn
