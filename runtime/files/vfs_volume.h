// The lowest layer of a virtual volume: one ordinary file holding chains of blocks, one chain
// for each stored item, plus the block map that indexes them. Items are named by 32-bit idnums
// (1 is the volume's own metadata) and are read and written at logical positions through
// handles of open items.
//
// File layout: "VFSv", the format version (1 to 3, new volumes 3), then blocks back to back to
// the end of the file. A block is a 28-byte header ("BlkS", owner idnum, place in the chain,
// the block's whole length and the file offset of the chain's next block, both doubles), the
// data, and the trailer "BlkE". The container's own integers are big-endian; the two doubles
// of a header are big-endian except in version 1; the values the layers above keep inside
// items are big-endian in version 3 only.
//
// A damaged file is never trusted: opening walks every block and refuses a file whose blocks
// do not tile it exactly (one that ends inside its last block opens read-only), chains are followed only to known block starts carrying the item's
// idnum and the next place in its chain, and nothing is written before the file has passed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "files/block_map.h"
#include "files/random_access_mechanism.h"

namespace vorn {

constexpr uint32_t kVolumeMagic = 0x56465376;  // "VFSv"
constexpr int32_t kVolumeVersion = 3;
constexpr int64_t kVolumeHeaderSize = 8;
constexpr uint32_t kBlockStartMagic = 0x426C6B53;  // "BlkS"
constexpr uint32_t kBlockEndMagic = 0x426C6B45;    // "BlkE"
constexpr int64_t kBlockHeaderSize = 28;
constexpr int64_t kBlockTrailerSize = 4;
constexpr uint32_t kMetadataIDnum = 1;
// At most this many items are open at once; handles are 0 to one less.
constexpr int32_t kMaxOpenItems = 32767;

struct BlockHeader {
  uint32_t idnum = 0;
  uint32_t sequence = 0;
  int64_t length = 0;  // header + data + trailer
  int64_t next = 0;    // file offset of the chain's next block; 0 for the last

  int64_t DataEnd() const { return length - kBlockTrailerSize; }  // counted from the block start
};

class VFSVolume {
 public:
  // A new volume in the store, which is emptied first; check IsOK. With `ownsStore` the
  // volume destroys the store when it goes (and at once when it cannot be made).
  static std::unique_ptr<VFSVolume> Create(RandomAccessMechanism* store, bool ownsStore);
  // Opens the volume the store holds; check IsOK.
  VFSVolume(RandomAccessMechanism* store, bool ownsStore);
  VFSVolume(const VFSVolume&) = delete;
  VFSVolume& operator=(const VFSVolume&) = delete;
  // Saves the map when it changed, closes the store and destroys it when owned. Open items
  // must be closed first.
  ~VFSVolume();

  bool IsOK() const { return mOK; }
  // A volume whose file ends inside a block opens read-only; Damage says what is wrong
  // (empty for a sound volume).
  bool IsReadOnly() const { return mReadOnly; }
  const std::string& Damage() const { return mDamage; }
  int32_t Version() const { return mVersion; }
  RandomAccessMechanism* Store() const { return mStore; }
  const BlockMap& Map() const { return mMap; }

  // Saves the map and flushes the store.
  bool Flush();

  // A new item of one block; 0 on failure.
  uint32_t NewItem();
  // A handle at logical position 0 of the item, or -1.
  int16_t OpenItem(uint32_t idnum);
  void CloseItem(int16_t handle);
  bool IsItemOpen(uint32_t idnum) const;

  // An item has no length of its own here: it holds as many bytes as its blocks' data areas.
  // Seeking succeeds up to the end of the last block's data area.
  bool Seek(int16_t handle, int64_t position);
  int64_t Tell(int16_t handle) const;
  // Reads up to *ioCount bytes, setting *ioCount to what was read; false when the chain ends
  // first or the store fails.
  bool Read(int16_t handle, int64_t* ioCount, void* buffer);
  // Writes at the position, adding blocks to the chain as it ends.
  bool Write(int16_t handle, const void* buffer, int64_t count);

  // Values at the item's position, big-endian in version 3 volumes, little-endian before.
  bool WriteLong(int16_t handle, uint32_t value);
  bool WriteShort(int16_t handle, uint16_t value);
  bool WriteDouble(int16_t handle, double value);
  bool ReadLong(int16_t handle, uint32_t* value);
  bool ReadShort(int16_t handle, uint16_t* value);
  bool ReadDouble(int16_t handle, double* value);

  // Gives the item's blocks back for reuse; refused while the item is open.
  bool FreeItem(uint32_t idnum);
  // Whether FreeItem would be let through: the volume is OK, the item is closed and found.
  bool CanFreeItem(uint32_t idnum) const;

  // Lengths of reused blocks (smallest and largest) and of appended ones. Refused unless
  // every block can hold at least one data byte and the three are in order.
  bool SetBlockSizes(int64_t smallestReusable, int64_t newBlock, int64_t largestReusable);
  void SetZeroFill(bool on) { mZeroFill = on; }

  // The present time in seconds of the runtime's date scale.
  static double Now();

 private:
  struct OpenEntry {
    uint32_t idnum;
    BlockHeader header;
    int64_t position;        // logical position in the item
    int64_t blockStart;      // file offset of the current block
    int64_t posWithinBlock;  // from the block start; kBlockHeaderSize is the first data byte
    int64_t firstBlock;
  };

  struct CreateTag {};
  VFSVolume(RandomAccessMechanism* store, bool ownsStore, CreateTag);

  void Open();
  bool NoteCutBlock(int64_t offset);
  // A link must lie inside the file, or below `linkLimit` when one is given.
  bool ReadHeaderAt(int64_t offset, BlockHeader* header, int64_t linkLimit = -1);
  bool WriteHeaderAt(int64_t offset, const BlockHeader& header);
  bool ReadAt(int64_t offset, void* buffer, int64_t count);
  bool WriteAt(int64_t offset, const void* buffer, int64_t count);
  bool ValidateStoredMap(const std::vector<BlockMap::Entry>& walked);
  bool LoadStoredMap(std::vector<uint8_t>* bytes);
  bool SaveMap();
  bool StepToNext(OpenEntry& entry);
  // The bytes the item's chain holds; -1 when the chain is broken.
  int64_t ItemCapacity(const OpenEntry& entry);
  bool AllocateBlock(int64_t* offset, int64_t* length);
  bool AppendBlock(int64_t* offset);
  bool ZeroData(int64_t offset, int64_t length);
  OpenEntry* EntryFor(int16_t handle) const;
  int64_t FirstBlockOf(uint32_t idnum) const;
  bool TypedBigEndian() const { return mVersion > 2; }
  bool DoublesBigEndian() const { return mVersion != 1; }
  void DropStore();

  bool mOK = false;
  RandomAccessMechanism* mStore = nullptr;
  bool mOwnsStore = false;
  int64_t mCounterOffset = -1;
  int64_t mSmallestReusable = 256;
  int64_t mNewBlockLength = 1024;
  int64_t mLargestReusable = 16384;
  std::vector<std::unique_ptr<OpenEntry>> mOpenItems;
  BlockMap mMap;
  bool mZeroFill = true;
  int32_t mVersion = kVolumeVersion;

  int64_t mFileLength = 0;
  std::unordered_set<int64_t> mBlockStarts;  // every block the file is known to hold
  uint32_t mLowestFreeIDnum = 2;              // above every idnum a block carries
  bool mMapChanged = false;
  bool mReadOnly = false;
  std::string mDamage;
};

}  // namespace vorn
