// The hash table behind Dictionary: Variant keys (KeyHash / KeysEqual of objects/variant_keys.h)
// with Variant values, each held with one reference, kept in insertion order.
//
// Entries sit in one array in insertion order, their hashes in a parallel one; an
// open-addressed slot array (linear probing, a power of two in size, at most half full) indexes
// them, a probe starting at the slot HomeSlot gives the hash. A slot is one 32-bit word: the
// entry's index in the low bits and, above it, as many tag bits of the hash as remain, so a
// probe passes over most other keys without reading their entries (a cache miss each in a
// large table). Four-byte slots keep the randomly probed array small enough to stay in the
// cache where eight-byte ones spill; growth rehashes from the hash array in order, never
// calling a key's hash again. All three arrays share one block, the entries' room fixed at half
// the slots, so a block's size follows from its slot count alone; one released block of each
// size is kept for the next table, which would otherwise fault fresh pages in from the system
// at every growth.
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
  // Coprime to every prime of the table, and far from any small multiple of one.
  static constexpr uint64_t kSpread = 0x4f1bbcdd;

  // A removed entry keeps its place with the key Hole() until the holes are swept out.
  struct Entry {
    RuntimeObject* key;
    RuntimeObject* value;
  };

  // Slot of the key, or -1; *insertAt receives the first reusable slot on the way.
  int64_t FindSlot(RuntimeObject* key, uint32_t hash, int64_t* insertAt) const;
  // Where the probe for a hash starts: the hash times a fixed odd multiplier, modulo the largest
  // prime below the slot count (Barrett's reduction: one multiplication for the quotient, one
  // correction). Keys in step, such as whole numbers (whose hash is the number itself), land in
  // slots a fixed distance apart, which the processor fetches ahead, yet far apart enough that a
  // run of them leaves no long cluster for linear probing; the prime spreads any common factor.
  size_t HomeSlot(uint32_t hash) const {
    const uint64_t spread = static_cast<uint64_t>(hash) * kSpread;  // below 2^63: no wrap
    const auto quotient = static_cast<uint64_t>((static_cast<unsigned __int128>(spread) * mPrimeReciprocal) >> 64);
    const uint64_t rest = spread - quotient * mPrime;  // below twice the prime
    return static_cast<size_t>(rest >= mPrime ? rest - mPrime : rest);
  }
  // The tag bits of a hash: its high bits after a multiplication that spreads every bit upward.
  static uint32_t TagOf(uint32_t hash) { return (hash * 0x9e3779b1u) >> 1; }
  // The slot word of entry `index` (its top bit clear, unlike the empty and deleted marks).
  uint32_t SlotWord(size_t index, uint32_t hash) const {
    return static_cast<uint32_t>(index) | (TagOf(hash) & ~mIndexMask);
  }
  size_t EntryOf(int64_t slot) const { return mSlots[static_cast<size_t>(slot)] & mIndexMask; }
  // Indexes the entries in `slotCount` new slots (deleted marks dropped).
  void Rebuild(size_t slotCount);
  void Compact();

  // One block: room for mSlotCount / 2 entries, as many hashes, then mSlotCount slots.
  Entry* mEntries = nullptr;
  uint32_t* mHashes = nullptr;
  uint32_t* mSlots = nullptr;
  size_t mSlotCount = 0;
  uint32_t mPrime = 0;              // the largest prime below mSlotCount
  uint64_t mPrimeReciprocal = 0;    // (2^64 - 1) / mPrime, for HomeSlot's reduction
  uint32_t mIndexMask = 0;  // the slot word's entry index bits
  size_t mEntryCount = 0;  // holes included
  int32_t mLive = 0;
  int32_t mDeletedSlots = 0;
};

}  // namespace vorn
