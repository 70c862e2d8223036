// The hash table behind Dictionary: Variant keys (VariantKeyHash / VariantKeysEqual) with
// Variant values, each held with one reference, kept in insertion order.
//
// Entries sit in one array in insertion order; an open-addressed slot array (linear probing,
// a power of two in size, at most half full) indexes them. Each slot carries its entry's hash
// too, so a probe passes over other keys without reading their entries (a cache miss each in
// a large table). Both arrays share one block, the entries' room fixed at half the slots, so a
// block's size follows from its slot count alone; one released block of each size is kept for
// the next table, which would otherwise fault fresh pages in from the system at every growth.
// A removal leaves a hole in both, and the holes are swept out once they outnumber the
// entries. References are released only after the table is consistent again, so a destructor
// that a release runs may use the table.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"

namespace vorn {

class VariantTable {
 public:
  VariantTable() = default;
  ~VariantTable();
  VariantTable(const VariantTable&) = delete;
  VariantTable& operator=(const VariantTable&) = delete;

  int32_t Count() const { return mLive; }
  // The value of the key, not retained; false when absent.
  bool Lookup(RuntimeObject* key, RuntimeObject** value) const;
  // Inserts, or replaces the value of a present key (its place in the order stays).
  void Set(RuntimeObject* key, RuntimeObject* value);
  bool Remove(RuntimeObject* key);
  void Clear();

  // Entry `index` in insertion order (0..Count()-1), not retained; false outside.
  bool EntryAt(int32_t index, RuntimeObject** key, RuntimeObject** value);

  // Size of the slot array (0 before the first insertion).
  int32_t BinCount() const { return static_cast<int32_t>(mSlotCount); }
  // Makes the slot array at least `bins` large (never smaller than the entries need).
  void SetBinCount(int32_t bins);

 private:
  // A removed entry keeps its place with the key Hole() until the holes are swept out; its
  // hash lives only in the slot array (16 bytes an entry keep large tables in the caches).
  struct Entry {
    RuntimeObject* key;
    RuntimeObject* value;
  };

  // Slot of the key, or -1; *insertAt receives the first reusable slot on the way.
  int64_t FindSlot(RuntimeObject* key, uint32_t hash, int64_t* insertAt) const;
  // Rehashes the live slots into `slotCount` new ones (deleted marks dropped).
  void Rebuild(size_t slotCount);
  void Compact();

  struct Slot {
    int32_t entry;  // entry index, kEmpty or kDeleted
    uint32_t hash;
  };

  // One block: mSlotCount slots, then room for mSlotCount / 2 entries.
  Slot* mSlots = nullptr;
  Entry* mEntries = nullptr;
  size_t mSlotCount = 0;
  size_t mEntryCount = 0;  // holes included
  int32_t mLive = 0;
  int32_t mDeletedSlots = 0;
};

}  // namespace vorn
