// The hash table behind Dictionary: Variant keys (KeyHash / KeysEqual of objects/variant_keys.h)
// with Variant values, each held with one reference, kept in insertion order.
//
// Entries sit in one array in insertion order, each with its key's hash. An open-addressed
// index (linear probing from the hash's low bits, a power of two in size) points into it; a
// slot holds the rest of the hash beside the entry's index, so a probe reads an entry only for a
// key whose whole hash matches, and four-byte slots keep the randomly read index small. The
// hash mixes every bit of the key under a secret drawn once per process, so keys chosen
// beforehand spread like random ones. Lookups only read.
// A removal leaves a hole in the entries and a mark in its slot. Holes and marks go when the
// index is next rebuilt: at growth, from the kept hashes (no key is hashed twice), and before
// the entries are read by position. The entries never outnumber half the slots, holes
// included, so at least half the slots are free and every probe ends. A released block is kept
// for the next table of its size (variant_table.cpp).
// References are released only after the table is consistent again, so a destructor that a
// release runs may use the table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "objects/runtime_object.h"

namespace vorn {

class VariantTable {
 public:
  VariantTable() = default;
  ~VariantTable() { Clear(); }
  VariantTable(const VariantTable&) = delete;
  VariantTable& operator=(const VariantTable&) = delete;

  int32_t Count() const { return mLive; }
  // The value of the key, not retained; false when absent.
  bool Lookup(RuntimeObject* key, RuntimeObject** value) const;
  // Inserts, or replaces the value of a present key (its place in the order stays); false, and
  // nothing changed, when there is no memory for the room a new key needs.
  bool Set(RuntimeObject* key, RuntimeObject* value);
  bool Remove(RuntimeObject* key);
  void Clear();

  // Entry `index` in insertion order (0..Count()-1), not retained; false outside. Sweeps out
  // the holes first, so that a walk by position costs one sweep.
  bool EntryAt(int32_t index, RuntimeObject** key, RuntimeObject** value);

  // Size of the slot array (0 before the first insertion).
  int32_t BinCount() const { return static_cast<int32_t>(mSlotCount); }
  // Makes the slot array at least `bins` large, up to kMostHintedSlots (never smaller than the
  // entries need); false, and nothing changed, when there is no memory for it.
  bool SetBinCount(int32_t bins);

  // A larger BinCount is taken as this: it is a hint, and a table of this many slots takes 16 MB.
  static constexpr size_t kMostHintedSlots = size_t{1} << 20;

 private:
  struct Entry {
    RuntimeObject* key;
    RuntimeObject* value;
    uint32_t hash;
    bool removed;  // a hole: key and value already released
  };
  // A slot: the entry's index + 1 in the bits below the slot count, the hash's bits above them
  // (a home takes the hash's low bits, so these tell apart most keys that share one); or one of
  // these. The room for entries is half the slots, so no entry makes all the low bits ones.
  static constexpr uint32_t kFree = 0;
  static constexpr uint32_t kRemoved = ~uint32_t{0};
  uint32_t SlotWord(uint32_t hash, size_t index) const {
    return (hash & ~static_cast<uint32_t>(mSlotCount - 1)) | static_cast<uint32_t>(index + 1);
  }

  // Slot of the key, or -1; *insertAt receives the first reusable slot on the way.
  int64_t FindSlot(RuntimeObject* key, uint32_t hash, size_t* insertAt) const;
  Entry& EntryIn(size_t slot) const { return mEntries[(mSlots[slot] & (mSlotCount - 1)) - 1]; }
  // Sweeps the holes out and indexes the entries in `slotCount` slots; false, and nothing
  // changed, when the memory cannot be had. At the present size it needs none.
  bool Rebuild(size_t slotCount);

  // One block: room for mSlotCount / 2 entries, then the slots.
  Entry* mEntries = nullptr;
  uint32_t* mSlots = nullptr;
  size_t mSlotCount = 0;
  size_t mEntryCount = 0;  // holes included
  int32_t mLive = 0;
};

}  // namespace vorn
