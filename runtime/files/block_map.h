// The index of a volume's blocks: for each block its file offset, the idnum of the item that
// owns it (0 for a free block) and its place in that item's chain. The volume keeps it in
// memory while open and stores it, serialized, inside its own metadata item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vorn {

class BlockMap {
 public:
  struct Entry {
    uint32_t offset;
    uint32_t idnum;
    uint32_t sequence;
  };

  static constexpr uint32_t kMagic = 0x424D6170;  // "BMap"
  static constexpr int64_t kHeaderSize = 8;
  static constexpr int64_t kEntrySize = 12;

  // Entries keep their order of addition; every lookup takes the first match.
  void Add(uint32_t idnum, uint32_t offset, uint32_t sequence);
  // Removes every entry of the idnum; false when there was none.
  bool RemoveByIdnum(uint32_t idnum);
  bool RemoveByOffset(uint32_t offset);
  // Moves the idnum's first entry to another block.
  bool SetByIdnum(uint32_t idnum, uint32_t offset, uint32_t sequence);
  // Gives the block at the offset to the idnum; a sequence of -1 keeps the entry's own.
  bool SetIdnumAt(uint32_t offset, uint32_t idnum, int64_t sequence);
  // The first entry from `start` on with the idnum and sequence: true with its index and
  // offset, or false with both -1.
  bool Find(uint32_t idnum, uint32_t sequence, int32_t start, int32_t* index, int64_t* offset) const;
  // The idnum of the block at the offset; 0 when the offset is not in the map.
  uint32_t GetIdnumAt(uint32_t offset) const;
  bool HasOffset(uint32_t offset) const { return mByOffset.count(offset) != 0; }

  // Big-endian: "BMap", the count, then offset, idnum and sequence of every entry.
  std::vector<uint8_t> Serialize() const;
  int64_t SerializedSize() const { return kHeaderSize + kEntrySize * static_cast<int64_t>(mEntries.size()); }
  // Replaces the entries with those of the bytes. False, the map left empty, unless the bytes
  // start with the magic and hold exactly the records their count announces, each at its own
  // offset.
  bool Deserialize(const uint8_t* bytes, int64_t size);

  void Clear();
  int32_t Count() const { return static_cast<int32_t>(mEntries.size()); }
  int32_t FreeCount() const { return mFreeCount; }
  const Entry& EntryAt(int32_t index) const { return mEntries[static_cast<size_t>(index)]; }

 private:
  void Reindex();
  void Changed() { mFirstBlocksStale = true; }


  std::vector<Entry> mEntries;
  std::unordered_map<uint32_t, std::size_t> mByOffset;  // the first entry at each offset
  int32_t mFreeCount = 0;
  // The first entry of each item's first block, the lookup every opening makes; rebuilt on
  // the first lookup after a change.
  mutable std::unordered_map<uint32_t, std::size_t> mFirstBlocks;
  mutable bool mFirstBlocksStale = true;
};

}  // namespace vorn
