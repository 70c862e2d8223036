// The hash table behind Dictionary: Variant keys (KeyHash / KeysEqual of objects/variant_keys.h)
// with Variant values, each held with one reference, kept in insertion order.
//
// Entries sit in one array in insertion order, their hashes in a parallel one; an
// open-addressed slot array (linear probing, a power of two in size, at most half full) indexes
// them, a probe starting at the slot HomeSlot gives the hash. A slot is one 32-bit word: the
// entry's index in the low bits and, above it, as many tag bits of the hash as remain, so a
// probe passes over most other keys without reading their entries (a cache miss each in a
// large table). Four-byte slots keep the randomly probed array small enough to stay in the
// cache where eight-byte ones spill. Beside each slot a control byte says free, deleted, or
// taken and seven more tag bits: a probe reads a slot word only where those match, so one for
// an absent key reads control bytes alone (a quarter of the slot array), most often a single
// group of them. Growth rehashes from the hash array in order, never calling a key's hash
// again. All four arrays share one block, the entries' room fixed at half
// the slots, so a block's size follows from its slot count alone; one released block of each
// size is kept for the next table, which would otherwise fault fresh pages in from the system
// at every growth.
// The home slot is the hash's high bits. A whole number's hash is linear in the number (a
// seeded multiplication, objects/variant_keys.h), so numbers in step land in slots a fixed
// distance apart, which the processor fetches ahead. An absent number whose home slot is free is
// told so at once; one whose home is taken costs the group's control bytes, or a walk. Which
// absent numbers in step find their homes taken, and whether the step packs the keys into runs,
// depends on the multiplier: so a table that sees more than one absent Integer key in
// kTakenHomeShare find its home taken draws another multiplier and places its keys afresh, up
// to kMostRedraws times at one size, and then keeps the best it had. A probe that walks past
// kLongWalk slots draws another too, up to kMostBunchedRedraws times at one size (keys that bunch
// under two multipliers will under more); after that the table mixes every hash once more under
// the seed and places its keys as unrelated as random keys.
// A removal leaves a hole in both, and the holes are swept out once they outnumber the
// entries. References are released only after the table is consistent again, so a destructor
// that a release runs may use the table.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "objects/key_hash.h"
#include "objects/runtime_class.h"
#include "objects/variant_keys.h"

namespace vorn {

class VariantTable {
 public:
  VariantTable()
      : mIntegerClass(IntegerVariantClass()),
        mMultiplier(WholeNumberMultiplier()),
        mRemixKey(static_cast<uint32_t>(KeySeed().mix >> 32)) {}
  ~VariantTable();
  VariantTable(const VariantTable&) = delete;
  VariantTable& operator=(const VariantTable&) = delete;

  int32_t Count() const { return mLive; }
  // The value of the key, not retained; false when absent. (May place the keys afresh.)
  // An Integer key that the control bytes from its home slot show absent, the commonest miss, is
  // told so here, inline in the caller: no call, no frame, no read of the slot array.
  [[gnu::always_inline]] bool Lookup(RuntimeObject* key, RuntimeObject** value) {
    if (key && key->classPtr == mIntegerClass) {
      uint32_t hash = WholeNumberKeyHash(reinterpret_cast<const IntegerVariantBox*>(key)->value, mMultiplier);
      if (mControl[HomeSlot(hash)] == kFree) {
        ++mFreeHomes;
        return false;
      }
      return LookupPastHome(key, hash, value);
    }
    return LookupOtherKey(key, value);
  }
  // Inserts, or replaces the value of a present key (its place in the order stays); false, and
  // nothing changed, when there is no memory for the room a new key needs.
  bool Set(RuntimeObject* key, RuntimeObject* value);
  bool Remove(RuntimeObject* key);
  void Clear();

  // Entry `index` in insertion order (0..Count()-1), not retained; false outside.
  bool EntryAt(int32_t index, RuntimeObject** key, RuntimeObject** value);

  // Size of the slot array (0 before the first insertion).
  int32_t BinCount() const { return static_cast<int32_t>(mSlotCount); }
  // Makes the slot array at least `bins` large, up to kMostHintedSlots (never smaller than the
  // entries need); false, and nothing changed, when there is no memory for it.
  bool SetBinCount(int32_t bins);

  // A larger BinCount is taken as this: it is a hint, and a block of this many slots is 15 MB.
  static constexpr size_t kMostHintedSlots = size_t{1} << 20;

 private:
  static constexpr size_t kLongWalk = 48;
  static constexpr uint64_t kTakenHomeShare = 8;
  static constexpr uint64_t kFewestTakenHomes = 256;
  static constexpr uint32_t kMostRedraws = 24;
  static constexpr uint32_t kMostBunchedRedraws = 2;

  // A removed entry keeps its place with the key Hole() until the holes are swept out.
  struct Entry {
    RuntimeObject* key;
    RuntimeObject* value;
  };

  // Slot of the key, or -1; *insertAt receives the first reusable slot on the way. A walk past
  // kLongWalk slots sets mLongWalk.
  int64_t FindSlot(RuntimeObject* key, uint32_t hash, int64_t* insertAt) const;
  // FindSlot, after placing the keys afresh when it walked too far.
  // *hash follows the key should its hash change on the way.
  int64_t Find(RuntimeObject* key, uint32_t* hash, int64_t* insertAt);
  uint32_t HashOf(RuntimeObject* key) const { return KeyHash(key, mMultiplier); }
  bool LookupHashed(RuntimeObject* key, uint32_t hash, RuntimeObject** value);
  // An Integer key whose home slot is taken (an absent one counted).
  bool LookupPastHome(RuntimeObject* key, uint32_t hash, RuntimeObject** value);
  bool LookupOtherKey(RuntimeObject* key, RuntimeObject** value);
  // Places the keys afresh under another multiplier: `bunched` for a long walk (mixed once the
  // draws are spent), else for absent keys' taken homes (the best multiplier once spent).
  void Respread(bool bunched);
  void UseMultiplier(uint64_t multiplier);
  // Slot 0 while there are no slots (a shift by 32), whose control byte sNoControl is kFree.
  size_t HomeSlot(uint32_t hash) const { return size_t{mMixed ? Remix(hash) : hash} >> mShift; }
  // A keyed bijection of 32 bits (a finaliser's steps), for a table whose keys bunched up.
  uint32_t Remix(uint32_t hash) const {
    hash ^= mRemixKey;
    hash ^= hash >> 16;
    hash *= 0x85ebca6bu;
    hash ^= hash >> 13;
    hash *= 0xc2b2ae35u;
    return hash ^ (hash >> 16);
  }
  // The tag bits of a hash: the high bits of a mix of all of it. Not linear, so keys whose
  // hashes differ by a fixed step (numbers in step) do not share tags at a fixed distance.
  static uint32_t TagOf(uint32_t hash) {
    hash ^= hash >> 16;
    hash *= 0x85ebca6bu;
    hash ^= hash >> 13;
    return hash >> 1;
  }
  // The slot word of entry `index` (its top bit clear, unlike the empty and deleted marks).
  uint32_t SlotWord(size_t index, uint32_t hash) const {
    return static_cast<uint32_t>(index) | (TagOf(hash) & ~mIndexMask);
  }
  // Control bytes: kFree, kDeletedMark, or ControlOf(hash) (top bit set) for a slot in use.
  static constexpr uint8_t kFree = 0;
  static constexpr uint8_t kDeletedMark = 1;
  static uint8_t ControlOf(uint32_t hash) { return static_cast<uint8_t>(0x80 | (TagOf(hash) >> 24)); }
  // After the last control byte, kGroup more that read as deleted: a group read near the end
  // finds no free slot there and leaves the walk round to FindSlot.
  static constexpr size_t kGroup = 8;
  // True when the kGroup control bytes from `slot` show a free slot before any that could hold
  // the key (`control` its control byte): the key is absent, told without a branch a byte, also
  // where keys stand in short runs. False leaves the question to FindSlot. The lowest byte each
  // test below finds is exact (a byte's borrow reaches only higher bytes), and it is all the
  // answer uses.
  bool AbsentByGroup(size_t slot, uint8_t control) const {
    static_assert(std::endian::native == std::endian::little);
    constexpr uint64_t kLows = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    uint64_t group;
    std::memcpy(&group, mControl + slot, sizeof group);
    uint64_t free = (group - kLows) & ~group & kHighs;
    uint64_t same = group ^ (kLows * control);
    uint64_t matching = (same - kLows) & ~same & kHighs;
    return free != 0 && (matching & ((free & (~free + 1)) - 1)) == 0;
  }
  size_t EntryOf(int64_t slot) const { return mSlots[static_cast<size_t>(slot)] & mIndexMask; }
  // Indexes the entries in `slotCount` new slots (deleted marks dropped); false, and nothing
  // changed, when the block cannot be had.
  bool Rebuild(size_t slotCount);
  void Compact();

  // IntegerVariantClass() and the seed, kept to spare Lookup their guards (and so a frame).
  RuntimeClass* const mIntegerClass;
  uint64_t mMultiplier;  // whole numbers' (objects/variant_keys.h): the process's, or redrawn
  const uint32_t mRemixKey;
  // Absent Integer keys whose home slot was free, and taken, since the keys were last placed.
  uint64_t mFreeHomes = 0;
  uint64_t mTakenHomes = 0;
  // At this size: the multipliers drawn for absent keys and for long walks, and the one whose
  // absent keys found the fewest taken homes (in 1024ths).
  static constexpr uint32_t kUnmeasured = 1025;
  uint32_t mRedraws = 0;
  uint32_t mBunchedRedraws = 0;
  uint32_t mBestShare = kUnmeasured;
  uint64_t mBestMultiplier = 0;
  // One block: room for mSlotCount / 2 entries, as many hashes, mSlotCount slots, their bytes.
  Entry* mEntries = nullptr;
  uint32_t* mHashes = nullptr;
  uint32_t* mSlots = nullptr;
  // Never written: an insertion makes the slots first.
  static inline uint8_t sNoControl[kGroup] = {};
  uint8_t* mControl = sNoControl;
  size_t mSlotCount = 0;
  uint32_t mShift = 32;     // 32 - log2(mSlotCount): the hash bits below the home slot's
  bool mMixed = false;      // homes come from Remix(hash)
  mutable bool mLongWalk = false;
  uint32_t mIndexMask = 0;  // the slot word's entry index bits
  size_t mEntryCount = 0;  // holes included
  int32_t mLive = 0;
  int32_t mDeletedSlots = 0;
};

}  // namespace vorn
