// Creating and opening volumes, checking a file before trusting it, and keeping the block map.
#include "files/vfs_volume.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

#include "files/volume_bytes.h"
#include "strings/date_imp.h"

namespace vorn {

namespace {

constexpr int64_t kLargestFile = INT32_MAX;
constexpr int64_t kFirstBlockOffset = kVolumeHeaderSize;
constexpr int64_t kNewVolumeFirstBlockLength = 40;
// Item positions inside the metadata item.
constexpr int64_t kMapSizePosition = 4;
constexpr int64_t kMapPosition = 8;

}  // namespace

std::unique_ptr<VFSVolume> VFSVolume::Create(RandomAccessMechanism* store, bool ownsStore) {
  return std::unique_ptr<VFSVolume>(new VFSVolume(store, ownsStore, CreateTag{}));
}

VFSVolume::VFSVolume(RandomAccessMechanism* store, bool ownsStore, CreateTag)
    : mStore(store), mOwnsStore(ownsStore) {
  if (!mStore) return;
  mStore->mSwapDoubles = 1;
  if (!mStore->SetLength(0)) return;
  mFileLength = 0;

  uint8_t bytes[kFirstBlockOffset + kNewVolumeFirstBlockLength] = {};
  PutUInt32(bytes, kVolumeMagic, true);
  PutUInt32(bytes + 4, static_cast<uint32_t>(kVolumeVersion), true);
  uint8_t* block = bytes + kFirstBlockOffset;
  PutUInt32(block, kBlockStartMagic, true);
  PutUInt32(block + 4, kMetadataIDnum, true);
  PutUInt32(block + 8, 0, true);
  PutDouble(block + 12, static_cast<double>(kNewVolumeFirstBlockLength), true);
  PutDouble(block + 20, 0.0, true);
  PutUInt32(block + kBlockHeaderSize, 2, true);  // the next idnum to hand out
  PutUInt32(block + kBlockHeaderSize + 4, 0, true);  // no stored map yet
  PutUInt32(block + kNewVolumeFirstBlockLength - kBlockTrailerSize, kBlockEndMagic, true);
  if (!WriteAt(0, bytes, sizeof bytes)) return;

  mBlockStarts.insert(kFirstBlockOffset);
  mCounterOffset = kFirstBlockOffset + kBlockHeaderSize;
  // The empty stored map is no map at all; the first save gives the file a real one.
  mMapChanged = true;
  mOK = true;
}

VFSVolume::VFSVolume(RandomAccessMechanism* store, bool ownsStore) : mStore(store), mOwnsStore(ownsStore) {
  if (mStore) Open();
}

void VFSVolume::DropStore() {
  if (mOwnsStore) delete mStore;
  mStore = nullptr;
}

void VFSVolume::Open() {
  uint8_t head[kVolumeHeaderSize];
  mFileLength = mStore->GetLength();
  if (mFileLength < 0 || mFileLength > kLargestFile || !ReadAt(0, head, sizeof head)) {
    DropStore();
    return;
  }
  uint32_t version = GetUInt32(head + 4, true);
  if (GetUInt32(head, true) != kVolumeMagic || version < 1 || version > 3) {
    DropStore();
    return;
  }
  mVersion = static_cast<int32_t>(version);
  mStore->mSwapDoubles = mVersion != 1 ? 1 : 0;

  // Every block, in file order. The blocks must tile the file exactly. A file that ends in
  // the middle of a block (its writer stopped while adding one) still opens, read-only, with
  // what the whole blocks hold; any other damage leaves nothing to trust.
  std::vector<BlockMap::Entry> walked;
  int64_t offset = kFirstBlockOffset;
  bool linkPastTheEnd = false;  // a chain that goes on where the file has been cut
  while (offset < mFileLength) {
    BlockHeader header;
    uint8_t trailer[kBlockTrailerSize];
    if (!ReadHeaderAt(offset, &header, kLargestFile) || !ReadAt(offset + header.DataEnd(), trailer, sizeof trailer) ||
        GetUInt32(trailer, true) != kBlockEndMagic) {
      if (offset == kFirstBlockOffset || !NoteCutBlock(offset)) return;
      break;
    }
    linkPastTheEnd = linkPastTheEnd || header.next >= mFileLength;
    walked.push_back({static_cast<uint32_t>(offset), header.idnum, header.idnum ? header.sequence : 0});
    mBlockStarts.insert(offset);
    if (header.idnum >= mLowestFreeIDnum) {
      if (header.idnum == UINT32_MAX) return;
      mLowestFreeIDnum = header.idnum + 1;
    }
    offset += header.length;
  }
  if (walked.empty() || walked[0].idnum != kMetadataIDnum || walked[0].sequence != 0) return;
  if (linkPastTheEnd && !mReadOnly) return;
  BlockHeader first;
  if (!ReadHeaderAt(kFirstBlockOffset, &first, kLargestFile) ||
      first.length < kBlockHeaderSize + 4 + kBlockTrailerSize)
    return;
  mCounterOffset = kFirstBlockOffset + kBlockHeaderSize;
  mOK = true;

  std::vector<uint8_t> stored;
  if (LoadStoredMap(&stored) && mMap.Deserialize(stored.data(), static_cast<int64_t>(stored.size())) &&
      ValidateStoredMap(walked))
    return;

  // The stored map is missing or does not match the blocks: the blocks themselves tell.
  mMap.Clear();
  for (const BlockMap::Entry& entry : walked) mMap.Add(entry.idnum, entry.offset, entry.sequence);
  mMapChanged = true;
  SaveMap();
}

// Whether the bytes from `offset` to the end are the start of a block that the file cuts
// short: too few for a header, or a header whose block runs past the end. Such a volume is
// described in mDamage and made read-only, since a block added now would follow the cut one.
namespace {

// A damaged header may announce any length, far beyond what an integer holds.
std::string LengthText(double length) {
  char text[64];
  std::snprintf(text, sizeof text, "%.0f", length);
  return text;
}

}  // namespace

bool VFSVolume::NoteCutBlock(int64_t offset) {
  const int64_t left = mFileLength - offset;
  std::string what;
  if (left < kBlockHeaderSize) {
    what = "its last " + std::to_string(left) + " bytes, from offset " + std::to_string(offset) +
           ", are less than a block header";
  } else {
    uint8_t bytes[kBlockHeaderSize];
    if (!ReadAt(offset, bytes, sizeof bytes) || GetUInt32(bytes, true) != kBlockStartMagic) return false;
    const double length = GetDouble(bytes + 12, DoublesBigEndian());
    if (!(length > static_cast<double>(left))) return false;
    what = "the block at offset " + std::to_string(offset) + " (item " + std::to_string(GetUInt32(bytes + 4, true)) +
           ") is cut short: " + std::to_string(left) + " of its " + LengthText(length) + " bytes are there";
  }
  mDamage = "The volume file ends inside a block: " + what +
            ". What lies in whole blocks can be read; nothing can be written.";
  mReadOnly = true;
  return true;
}

bool VFSVolume::LoadStoredMap(std::vector<uint8_t>* bytes) {
  int16_t handle = OpenItem(kMetadataIDnum);
  if (handle < 0) return false;
  uint8_t sizeBytes[4];
  int64_t count = sizeof sizeBytes;
  bool ok = Seek(handle, kMapSizePosition) && Read(handle, &count, sizeBytes);
  if (ok) {
    int64_t size = GetUInt32(sizeBytes, true);
    // A size the file cannot hold is damage, not a reason to ask for that much memory.
    ok = size >= BlockMap::kHeaderSize && size <= mFileLength;
    if (ok) {
      bytes->resize(static_cast<size_t>(size));
      count = size;
      ok = Read(handle, &count, bytes->data());
    }
  }
  CloseItem(handle);
  return ok;
}

bool VFSVolume::ValidateStoredMap(const std::vector<BlockMap::Entry>& walked) {
  std::unordered_map<uint32_t, size_t> byOffset;
  for (size_t i = 0; i < walked.size(); ++i) byOffset.emplace(walked[i].offset, i);
  std::vector<bool> listed(walked.size(), false);
  for (int32_t i = 0; i < mMap.Count(); ++i) {
    BlockMap::Entry entry = mMap.EntryAt(i);
    auto found = byOffset.find(entry.offset);
    if (found == byOffset.end()) return false;
    const BlockMap::Entry& block = walked[found->second];
    listed[found->second] = true;
    if (entry.idnum == block.idnum) {
      if (entry.idnum == 0 && entry.sequence != 0) {
        mMap.SetIdnumAt(entry.offset, 0, 0);
        mMapChanged = true;
      } else if (entry.idnum != 0 && entry.sequence != block.sequence) {
        return false;
      }
    } else if (entry.idnum == 0 && block.idnum == kMetadataIDnum) {
      // A block the map's own saving took after the map was serialized.
      mMap.SetIdnumAt(entry.offset, kMetadataIDnum, block.sequence);
      mMapChanged = true;
    } else {
      return false;
    }
  }
  // Only the metadata chain may hold blocks the map does not list, for the same reason.
  for (size_t i = 0; i < walked.size(); ++i)
    if (!listed[i] && walked[i].idnum != kMetadataIDnum) return false;
  return true;
}

bool VFSVolume::SaveMap() {
  if (!mOK) return false;
  int16_t handle = OpenItem(kMetadataIDnum);
  if (handle < 0) return false;
  OpenEntry* entry = EntryFor(handle);
  bool ok = true;
  // The chain grows before the map is serialized, so the stored map lists every block its
  // own storage took. Each added block holds far more than the entry it adds.
  for (;;) {
    int64_t size = mMap.SerializedSize();
    int64_t end = kMapPosition + size;
    if (!Seek(handle, end)) {
      // Past the chain: fill up to the end of what it holds, which adds blocks as needed.
      int64_t capacity = ItemCapacity(*entry);
      if (capacity < 0 || !Seek(handle, capacity)) {
        ok = false;
        break;
      }
      std::vector<uint8_t> zeros(static_cast<size_t>(end - capacity), 0);
      if (!Write(handle, zeros.data(), end - capacity)) {
        ok = false;
        break;
      }
    }
    if (mMap.SerializedSize() == size) break;
  }
  if (ok) {
    std::vector<uint8_t> bytes = mMap.Serialize();
    uint8_t sizeBytes[4];
    PutUInt32(sizeBytes, static_cast<uint32_t>(bytes.size()), true);
    ok = Seek(handle, kMapSizePosition) && Write(handle, sizeBytes, sizeof sizeBytes) &&
         Write(handle, bytes.data(), static_cast<int64_t>(bytes.size()));
  }
  CloseItem(handle);
  if (ok) mMapChanged = false;
  return ok;
}

VFSVolume::~VFSVolume() {
  if (mOK && mMapChanged) SaveMap();
  if (mStore) {
    mStore->Close();
    DropStore();
  }
}

bool VFSVolume::Flush() {
  if (!mOK) return false;
  bool ok = !mMapChanged || SaveMap();
  mStore->Flush();
  return ok && mStore->mLastError == 0;
}

double VFSVolume::Now() {
  DateImp date;
  return date.GetTotalSeconds();
}

bool VFSVolume::SetBlockSizes(int64_t smallestReusable, int64_t newBlock, int64_t largestReusable) {
  constexpr int64_t kLeast = kBlockHeaderSize + kBlockTrailerSize + 1;
  if (smallestReusable < kLeast || newBlock < kLeast || largestReusable < smallestReusable ||
      newBlock > kLargestFile || largestReusable > kLargestFile)
    return false;
  mSmallestReusable = smallestReusable;
  mNewBlockLength = newBlock;
  mLargestReusable = largestReusable;
  return true;
}

// --- the store ---------------------------------------------------------------------------

bool VFSVolume::ReadAt(int64_t offset, void* buffer, int64_t count) {
  if (offset < 0 || count < 0 || offset + count > kLargestFile) return false;
  if (count == 0) return true;
  if (!mStore->SetPosition(static_cast<int32_t>(offset))) return false;
  int32_t got = 0;
  return mStore->Read(buffer, static_cast<int32_t>(count), &got) && got == count;
}

bool VFSVolume::WriteAt(int64_t offset, const void* buffer, int64_t count) {
  // A write never leaves a hole: blocks are only ever added at the end.
  if (mReadOnly || offset < 0 || count < 0 || offset > mFileLength || offset + count > kLargestFile) return false;
  if (count == 0) return true;
  if (!mStore->SetPosition(static_cast<int32_t>(offset)) || mStore->GetPosition() != offset) return false;
  if (!mStore->Write(buffer, static_cast<int32_t>(count))) return false;
  if (offset + count > mFileLength) mFileLength = offset + count;
  return true;
}

bool VFSVolume::ReadHeaderAt(int64_t offset, BlockHeader* header, int64_t linkLimit) {
  uint8_t bytes[kBlockHeaderSize];
  if (offset < kFirstBlockOffset || !ReadAt(offset, bytes, sizeof bytes)) return false;
  if (GetUInt32(bytes, true) != kBlockStartMagic) return false;
  BlockHeader read;
  read.idnum = GetUInt32(bytes + 4, true);
  read.sequence = GetUInt32(bytes + 8, true);
  int64_t next = 0;
  if (!WholeByteCount(GetDouble(bytes + 12, DoublesBigEndian()), mFileLength - offset, &read.length) ||
      read.length < kBlockHeaderSize + kBlockTrailerSize ||
      !WholeByteCount(GetDouble(bytes + 20, DoublesBigEndian()), linkLimit < 0 ? mFileLength : linkLimit, &next) ||
      (next != 0 && next < kFirstBlockOffset))
    return false;
  read.next = next;
  *header = read;
  return true;
}

bool VFSVolume::WriteHeaderAt(int64_t offset, const BlockHeader& header) {
  uint8_t bytes[kBlockHeaderSize];
  PutUInt32(bytes, kBlockStartMagic, true);
  PutUInt32(bytes + 4, header.idnum, true);
  PutUInt32(bytes + 8, header.sequence, true);
  PutDouble(bytes + 12, static_cast<double>(header.length), DoublesBigEndian());
  PutDouble(bytes + 20, static_cast<double>(header.next), DoublesBigEndian());
  return WriteAt(offset, bytes, sizeof bytes);
}

}  // namespace vorn
