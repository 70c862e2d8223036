// Items of a volume: making them, walking their chains, reading and writing at positions,
// handing blocks out and taking them back.
#include <algorithm>
#include <cstring>
#include <vector>

#include "files/vfs_volume.h"
#include "files/volume_assert.h"
#include "files/volume_bytes.h"

namespace vorn {

namespace {

constexpr int64_t kFirstBlockOffset = kVolumeHeaderSize;

int64_t DataBytes(const BlockHeader& header) { return header.length - kBlockHeaderSize - kBlockTrailerSize; }

}  // namespace

VFSVolume::OpenEntry* VFSVolume::EntryFor(int16_t handle) const {
  if (handle < 0 || static_cast<size_t>(handle) >= mOpenItems.size()) return nullptr;
  return mOpenItems[static_cast<size_t>(handle)].get();
}

int64_t VFSVolume::FirstBlockOf(uint32_t idnum) const {
  // The metadata item always starts the file; every other item is found through the map.
  if (idnum == kMetadataIDnum) return kFirstBlockOffset;
  int32_t index;
  int64_t offset;
  if (idnum == 0 || !mMap.Find(idnum, 0, 0, &index, &offset)) return -1;
  return mBlockStarts.count(offset) ? offset : -1;
}

uint32_t VFSVolume::NewItem() {
  if (!mOK || mReadOnly) return 0;
  uint8_t bytes[4];
  if (!ReadAt(mCounterOffset, bytes, sizeof bytes)) return 0;
  // A counter that fell behind the idnums in use would hand one out twice.
  uint32_t idnum = std::max(GetUInt32(bytes, true), mLowestFreeIDnum);
  if (idnum < 2 || idnum == UINT32_MAX) return 0;
  PutUInt32(bytes, idnum + 1, true);
  if (!WriteAt(mCounterOffset, bytes, sizeof bytes)) return 0;
  mLowestFreeIDnum = idnum + 1;

  int64_t offset, length;
  if (!AllocateBlock(&offset, &length)) return 0;
  BlockHeader header;
  header.idnum = idnum;
  header.length = length;
  if (!WriteHeaderAt(offset, header)) return 0;
  mMap.SetIdnumAt(static_cast<uint32_t>(offset), idnum, 0);
  mMapChanged = true;
  return idnum;
}

int16_t VFSVolume::OpenItem(uint32_t idnum) {
  if (!mOK) return -1;
  int64_t first = FirstBlockOf(idnum);
  BlockHeader header;
  if (first < 0 || !ReadHeaderAt(first, &header) || header.idnum != idnum || header.sequence != 0) return -1;

  auto entry = std::make_unique<OpenEntry>(OpenEntry{idnum, header, 0, first, kBlockHeaderSize, first});
  for (size_t i = mOpenItems.size(); i-- > 0;) {
    if (!mOpenItems[i]) {
      mOpenItems[i] = std::move(entry);
      return static_cast<int16_t>(i);
    }
  }
  if (mOpenItems.size() >= static_cast<size_t>(kMaxOpenItems)) return -1;
  mOpenItems.push_back(std::move(entry));
  return static_cast<int16_t>(mOpenItems.size() - 1);
}

void VFSVolume::CloseItem(int16_t handle) {
  if (EntryFor(handle)) mOpenItems[static_cast<size_t>(handle)].reset();
  while (!mOpenItems.empty() && !mOpenItems.back()) mOpenItems.pop_back();
}

bool VFSVolume::IsItemOpen(uint32_t idnum) const {
  for (const auto& entry : mOpenItems)
    if (entry && entry->idnum == idnum) return true;
  return false;
}

bool VFSVolume::StepToNext(OpenEntry& entry) {
  int64_t next = entry.header.next;
  // Only a known block start carrying the item and the next place in its chain will do, so a
  // damaged link can neither leave the item nor run in a circle.
  if (next == 0 || !mBlockStarts.count(next) || entry.header.sequence == UINT32_MAX) return false;
  BlockHeader header;
  if (!ReadHeaderAt(next, &header) || header.idnum != entry.idnum || header.sequence != entry.header.sequence + 1)
    return false;
  entry.header = header;
  entry.blockStart = next;
  entry.posWithinBlock = kBlockHeaderSize;
  return true;
}

int64_t VFSVolume::ItemCapacity(const OpenEntry& entry) {
  OpenEntry walk = entry;
  BlockHeader header;
  if (!ReadHeaderAt(walk.firstBlock, &header) || header.idnum != walk.idnum || header.sequence != 0) return -1;
  walk.header = header;
  int64_t capacity = DataBytes(header);
  while (walk.header.next != 0) {
    if (!StepToNext(walk)) return -1;
    capacity += DataBytes(walk.header);
  }
  return capacity;
}

bool VFSVolume::Seek(int16_t handle, int64_t position) {
  OpenEntry* entry = EntryFor(handle);
  if (!entry || position < 0) return false;
  if (position == entry->position) return true;
  OpenEntry walk = *entry;
  int64_t start = walk.position - (walk.posWithinBlock - kBlockHeaderSize);
  if (position < start) {
    BlockHeader header;
    if (!ReadHeaderAt(walk.firstBlock, &header) || header.idnum != walk.idnum || header.sequence != 0) return false;
    walk.header = header;
    walk.blockStart = walk.firstBlock;
    start = 0;
  }
  for (;;) {
    int64_t end = start + DataBytes(walk.header);
    if (position < end) break;
    if (walk.header.next == 0) {
      if (position == end) break;
      return false;
    }
    if (!StepToNext(walk)) return false;
    start = end;
  }
  walk.posWithinBlock = kBlockHeaderSize + (position - start);
  walk.position = position;
  *entry = walk;
  return true;
}

int64_t VFSVolume::Tell(int16_t handle) const {
  OpenEntry* entry = EntryFor(handle);
  return entry ? entry->position : -1;
}

bool VFSVolume::Read(int16_t handle, int64_t* ioCount, void* buffer) {
  if (!ioCount || !buffer) {
    ReportVolumeAssertion(kVolumeCoreSource, __LINE__, "ioBytes and outBuffer");
    return false;
  }
  int64_t wanted = *ioCount;
  *ioCount = 0;
  OpenEntry* entry = EntryFor(handle);
  if (!entry || wanted < 0) return false;
  auto* bytes = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < wanted) {
    int64_t available = entry->header.DataEnd() - entry->posWithinBlock;
    if (available <= 0) {
      if (!StepToNext(*entry)) break;
      continue;
    }
    int64_t count = std::min(available, wanted - done);
    if (!ReadAt(entry->blockStart + entry->posWithinBlock, bytes + done, count)) break;
    entry->posWithinBlock += count;
    entry->position += count;
    done += count;
  }
  *ioCount = done;
  return done == wanted;
}

bool VFSVolume::Write(int16_t handle, const void* buffer, int64_t count) {
  OpenEntry* entry = EntryFor(handle);
  if (!entry || mReadOnly || count < 0 || (count > 0 && !buffer)) return false;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    int64_t available = entry->header.DataEnd() - entry->posWithinBlock;
    if (available > 0) {
      int64_t part = std::min(available, count - done);
      if (!WriteAt(entry->blockStart + entry->posWithinBlock, bytes + done, part)) return false;
      entry->posWithinBlock += part;
      entry->position += part;
      done += part;
    } else if (entry->header.next != 0) {
      if (!StepToNext(*entry)) return false;
    } else {
      if (entry->header.sequence == UINT32_MAX) return false;
      int64_t offset, length;
      if (!AllocateBlock(&offset, &length)) return false;
      BlockHeader added;
      added.idnum = entry->idnum;
      added.sequence = entry->header.sequence + 1;
      added.length = length;
      if (!WriteHeaderAt(offset, added)) return false;
      mMap.SetIdnumAt(static_cast<uint32_t>(offset), added.idnum, added.sequence);
      mMapChanged = true;
      BlockHeader current = entry->header;
      current.next = offset;
      if (!WriteHeaderAt(entry->blockStart, current)) return false;
      entry->header = added;
      entry->blockStart = offset;
      entry->posWithinBlock = kBlockHeaderSize;
    }
  }
  return true;
}

bool VFSVolume::AllocateBlock(int64_t* offset, int64_t* length) {
  for (int32_t i = 0; mMap.FreeCount() > 0 && i < mMap.Count(); ++i) {
    const BlockMap::Entry& entry = mMap.EntryAt(i);
    if (entry.idnum != 0 || entry.sequence != 0 || !mBlockStarts.count(entry.offset)) continue;
    BlockHeader header;
    // The header has the last word: a block the map calls free but an item holds stays put.
    if (!ReadHeaderAt(entry.offset, &header) || header.idnum != 0) continue;
    if (header.length < mSmallestReusable || header.length > mLargestReusable) continue;
    // A reused block must not show a deleted item's bytes through a gap in a new one.
    if (mZeroFill && !ZeroData(entry.offset, header.length)) return false;
    *offset = entry.offset;
    *length = header.length;
    return true;
  }
  *length = mNewBlockLength;
  return AppendBlock(offset);
}

bool VFSVolume::AppendBlock(int64_t* offset) {
  int64_t at = mFileLength;
  int64_t length = mNewBlockLength;
  if (at + length > INT32_MAX) return false;
  uint8_t header[kBlockHeaderSize];
  PutUInt32(header, kBlockStartMagic, true);
  PutUInt32(header + 4, 0, true);
  PutUInt32(header + 8, 0, true);
  PutDouble(header + 12, static_cast<double>(length), DoublesBigEndian());
  PutDouble(header + 20, 0.0, DoublesBigEndian());
  uint8_t trailer[kBlockTrailerSize];
  PutUInt32(trailer, kBlockEndMagic, true);
  if (mZeroFill) {
    std::vector<uint8_t> block(static_cast<size_t>(length), 0);
    std::memcpy(block.data(), header, sizeof header);
    std::memcpy(block.data() + length - kBlockTrailerSize, trailer, sizeof trailer);
    if (!WriteAt(at, block.data(), length)) return false;
  } else {
    if (!mStore->SetLength(static_cast<int32_t>(at + length))) return false;
    mFileLength = at + length;
    if (!WriteAt(at, header, sizeof header) || !WriteAt(at + length - kBlockTrailerSize, trailer, sizeof trailer))
      return false;
  }
  mMap.Add(0, static_cast<uint32_t>(at), 0);
  mBlockStarts.insert(at);
  mMapChanged = true;
  *offset = at;
  return true;
}

bool VFSVolume::ZeroData(int64_t offset, int64_t length) {
  std::vector<uint8_t> zeros(static_cast<size_t>(length - kBlockHeaderSize - kBlockTrailerSize), 0);
  return WriteAt(offset + kBlockHeaderSize, zeros.data(), static_cast<int64_t>(zeros.size()));
}

bool VFSVolume::CanFreeItem(uint32_t idnum) const {
  // The metadata item holds the volume together; it is never given back.
  return mOK && !mReadOnly && idnum != kMetadataIDnum && !IsItemOpen(idnum) && FirstBlockOf(idnum) >= 0;
}

bool VFSVolume::FreeItem(uint32_t idnum) {
  if (!CanFreeItem(idnum)) return false;
  int64_t offset = FirstBlockOf(idnum);
  uint32_t sequence = 0;
  while (offset != 0 && mBlockStarts.count(offset)) {
    BlockHeader header;
    if (!ReadHeaderAt(offset, &header) || header.idnum != idnum || header.sequence != sequence) break;
    uint8_t freeOwner[4] = {0, 0, 0, 0};
    if (!WriteAt(offset + 4, freeOwner, sizeof freeOwner)) return false;
    mMap.SetIdnumAt(static_cast<uint32_t>(offset), 0, 0);
    mMapChanged = true;
    offset = header.next;
    if (sequence == UINT32_MAX) break;
    ++sequence;
  }
  return true;
}

// --- typed values ------------------------------------------------------------------------

bool VFSVolume::WriteLong(int16_t handle, uint32_t value) {
  uint8_t bytes[4];
  PutUInt32(bytes, value, TypedBigEndian());
  return Write(handle, bytes, sizeof bytes);
}

bool VFSVolume::WriteShort(int16_t handle, uint16_t value) {
  uint8_t bytes[2];
  PutUInt16(bytes, value, TypedBigEndian());
  return Write(handle, bytes, sizeof bytes);
}

bool VFSVolume::WriteDouble(int16_t handle, double value) {
  uint8_t bytes[8];
  PutDouble(bytes, value, TypedBigEndian());
  return Write(handle, bytes, sizeof bytes);
}

bool VFSVolume::ReadLong(int16_t handle, uint32_t* value) {
  uint8_t bytes[4];
  int64_t count = sizeof bytes;
  if (!Read(handle, &count, bytes)) return false;
  *value = GetUInt32(bytes, TypedBigEndian());
  return true;
}

bool VFSVolume::ReadShort(int16_t handle, uint16_t* value) {
  uint8_t bytes[2];
  int64_t count = sizeof bytes;
  if (!Read(handle, &count, bytes)) return false;
  *value = GetUInt16(bytes, TypedBigEndian());
  return true;
}

bool VFSVolume::ReadDouble(int16_t handle, double* value) {
  uint8_t bytes[8];
  int64_t count = sizeof bytes;
  if (!Read(handle, &count, bytes)) return false;
  *value = GetDouble(bytes, TypedBigEndian());
  return true;
}

}  // namespace vorn
