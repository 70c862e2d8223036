#include "objects/variant_table.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <utility>

#include "objects/runtime_object.h"
#include "objects/variant_keys.h"

namespace vorn {

namespace {

constexpr size_t kFirstSlotCount = 16;

// Released blocks kept for reuse, one for each slot count up to 2^20 (a 15 MB block).
constexpr size_t kKeptBlockSizes = 21;
void* sKeptBlocks[kKeptBlockSizes] = {};

void* TakeBlock(size_t slotCount, size_t bytes) {
  auto size = static_cast<size_t>(std::countr_zero(slotCount));
  if (size < kKeptBlockSizes && sKeptBlocks[size]) return std::exchange(sKeptBlocks[size], nullptr);
  return ::operator new(bytes, std::nothrow);
}

void GiveBackBlock(void* block, size_t slotCount) {
  if (!block) return;
  auto size = static_cast<size_t>(std::countr_zero(slotCount));
  if (size < kKeptBlockSizes && !sKeptBlocks[size]) {
    sKeptBlocks[size] = block;
    return;
  }
  ::operator delete(block);
}

// The key of a removed entry: no object has this address.
RuntimeObject* Hole() {
  static char marker;
  return reinterpret_cast<RuntimeObject*>(&marker);
}

}  // namespace

VariantTable::~VariantTable() { Clear(); }

[[gnu::always_inline]] inline int64_t VariantTable::FindSlot(RuntimeObject* key, uint32_t hash, int64_t* insertAt) const {
  if (insertAt) *insertAt = -1;
  if (mSlotCount == 0) return -1;
  size_t mask = mSlotCount - 1;
  // The free and deleted marks have the top bit clear, which ControlOf never has.
  uint8_t control = ControlOf(hash);
  uint32_t tag = TagOf(hash);
  for (size_t i = HomeSlot(hash), walked = 0;; i = (i + 1) & mask, ++walked) {
    if (walked == kLongWalk && !mMixed) mLongWalk = true;
    uint8_t mark = mControl[i];
    if (mark == kFree) {
      if (insertAt && *insertAt < 0) *insertAt = static_cast<int64_t>(i);
      return -1;
    }
    if (mark == kDeletedMark) {
      if (insertAt && *insertAt < 0) *insertAt = static_cast<int64_t>(i);
      continue;
    }
    if (mark != control) continue;
    uint32_t word = mSlots[i];
    if (((word ^ tag) & ~mIndexMask) == 0 && KeysEqual(mEntries[word & mIndexMask].key, key))
      return static_cast<int64_t>(i);
  }
}

void VariantTable::UseMultiplier(uint64_t multiplier) {
  mMultiplier = multiplier;
  for (size_t n = 0; n < mEntryCount; ++n) {
    if (mEntries[n].key != Hole()) mHashes[n] = HashOf(mEntries[n].key);
  }
}

[[gnu::noinline]] void VariantTable::Respread(bool bunched) {
  mLongWalk = false;
  if (mMixed) {  // as spread as the hashes allow
    mFreeHomes = mTakenHomes = 0;
    return;
  }
  if (!bunched) {
    auto share = static_cast<uint32_t>(mTakenHomes * 1024 / (mTakenHomes + mFreeHomes));
    if (share < mBestShare) {
      mBestShare = share;
      mBestMultiplier = mMultiplier;
    }
  }
  uint32_t& redraws = bunched ? mBunchedRedraws : mRedraws;
  if (redraws < (bunched ? kMostBunchedRedraws : kMostRedraws)) {
    ++redraws;
    // Any odd number will do; this one follows from the last under the secret seed.
    uint64_t next = (mMultiplier ^ KeySeed().sip0) + 0x9e3779b97f4a7c15ull;
    next = (next ^ (next >> 30)) * 0xbf58476d1ce4e5b9ull;
    UseMultiplier((next ^ (next >> 31)) | 1);
  } else if (bunched) {
    mMixed = true;
  } else if (mBestShare != kUnmeasured && mBestMultiplier != mMultiplier) {
    UseMultiplier(mBestMultiplier);
    mBestShare = 0;  // no later multiplier can beat it
  } else {
    mFreeHomes = mTakenHomes = 0;
    return;
  }
  Rebuild(mSlotCount);
}

[[gnu::always_inline]] inline int64_t VariantTable::Find(RuntimeObject* key, uint32_t* hash, int64_t* insertAt) {
  int64_t slot = FindSlot(key, *hash, insertAt);
  if (mLongWalk) [[unlikely]] {
    Respread(true);
    *hash = HashOf(key);  // another multiplier
    return FindSlot(key, *hash, insertAt);
  }
  return slot;
}

bool VariantTable::LookupHashed(RuntimeObject* key, uint32_t hash, RuntimeObject** value) {
  int64_t slot = Find(key, &hash, nullptr);
  if (slot < 0) return false;
  if (value) *value = mEntries[EntryOf(slot)].value;
  return true;
}

bool VariantTable::LookupPastHome(RuntimeObject* key, uint32_t hash, RuntimeObject** value) {
  if (!AbsentByGroup(HomeSlot(hash), ControlOf(hash)) && LookupHashed(key, hash, value)) return true;
  // Judged over absent keys an eighth as many as the table holds (numbers in step repeat their
  // pattern well within that), and at once when too many for that.
  uint64_t window = std::max(static_cast<uint64_t>(mLive) / 8, kTakenHomeShare * kFewestTakenHomes);
  if (++mTakenHomes * kTakenHomeShare > window) {
    Respread(false);
  } else if (mTakenHomes + mFreeHomes >= window) {
    mTakenHomes = mFreeHomes = 0;
  }
  return false;
}

bool VariantTable::LookupOtherKey(RuntimeObject* key, RuntimeObject** value) {
  uint32_t hash = HashOf(key);
  size_t home = HomeSlot(hash);
  if (mControl[home] == kFree || AbsentByGroup(home, ControlOf(hash))) return false;
  return LookupHashed(key, hash, value);
}

bool VariantTable::Set(RuntimeObject* key, RuntimeObject* value) {
  uint32_t hash = HashOf(key);
  int64_t insertAt;
  int64_t slot = Find(key, &hash, &insertAt);
  if (slot >= 0) {
    RetainObject(value);
    Entry& entry = mEntries[EntryOf(slot)];
    RuntimeObject* old = entry.value;
    entry.value = value;
    ReleaseObject(old);
    return true;
  }
  // Keep the slot array at most half full, holes counted.
  if ((mEntryCount + 1 + static_cast<size_t>(mDeletedSlots)) * 2 > mSlotCount) {
    Compact();
    size_t wanted = std::max(kFirstSlotCount, std::bit_ceil((static_cast<size_t>(mLive) + 1) * 2));
    if (!Rebuild(std::max(wanted, mSlotCount))) return false;
    FindSlot(key, hash, &insertAt);
  }
  RetainObject(key);
  RetainObject(value);
  if (mControl[static_cast<size_t>(insertAt)] == kDeletedMark) --mDeletedSlots;
  mSlots[static_cast<size_t>(insertAt)] = SlotWord(mEntryCount, hash);
  mControl[static_cast<size_t>(insertAt)] = ControlOf(hash);
  mHashes[mEntryCount] = hash;
  mEntries[mEntryCount++] = {key, value};
  ++mLive;
  return true;
}

bool VariantTable::Remove(RuntimeObject* key) {
  uint32_t hash = HashOf(key);
  int64_t slot = Find(key, &hash, nullptr);
  if (slot < 0) return false;
  Entry& entry = mEntries[EntryOf(slot)];
  RuntimeObject* oldKey = entry.key;
  RuntimeObject* oldValue = entry.value;
  entry = {Hole(), nullptr};
  mControl[static_cast<size_t>(slot)] = kDeletedMark;
  ++mDeletedSlots;
  --mLive;
  if (mEntryCount > 32 && static_cast<size_t>(mLive) * 2 < mEntryCount) Compact();
  ReleaseObject(oldKey);
  ReleaseObject(oldValue);
  return true;
}

void VariantTable::Clear() {
  size_t slotCount = mSlotCount;
  Entry* entries = mEntries;  // the block's start
  size_t count = mEntryCount;
  mSlots = nullptr;
  mControl = sNoControl;
  mHashes = nullptr;
  mEntries = nullptr;
  mSlotCount = 0;
  mEntryCount = 0;
  mLive = 0;
  mDeletedSlots = 0;
  mMixed = false;  // the per-size counts start again with the next block's size
  for (size_t n = 0; n < count; ++n) {
    if (entries[n].key == Hole()) continue;
    ReleaseObject(entries[n].key);
    ReleaseObject(entries[n].value);
  }
  GiveBackBlock(entries, slotCount);
}

bool VariantTable::EntryAt(int32_t index, RuntimeObject** key, RuntimeObject** value) {
  if (index < 0 || index >= mLive) return false;
  if (mEntryCount != static_cast<size_t>(mLive)) Compact();
  const Entry& entry = mEntries[static_cast<size_t>(index)];
  if (key) *key = entry.key;
  if (value) *value = entry.value;
  return true;
}

bool VariantTable::SetBinCount(int32_t bins) {
  if (bins < 0) return true;
  Compact();
  size_t hinted = std::min(static_cast<size_t>(bins), kMostHintedSlots);
  size_t wanted = std::max({std::bit_ceil(hinted), std::bit_ceil(static_cast<size_t>(mLive) * 2), size_t{kFirstSlotCount}});
  return Rebuild(wanted);
}

// Sweeps the holes out of the entry array; the slots are rebuilt to match.
void VariantTable::Compact() {
  if (mEntryCount == static_cast<size_t>(mLive)) return;
  size_t kept = 0;
  for (size_t n = 0; n < mEntryCount; ++n) {
    if (mEntries[n].key == Hole()) continue;
    mHashes[kept] = mHashes[n];
    mEntries[kept++] = mEntries[n];
  }
  mEntryCount = kept;
  Rebuild(mSlotCount);  // in place: cannot fail
}

bool VariantTable::Rebuild(size_t slotCount) {
  if (slotCount != mSlotCount || !mEntries) {
    if (slotCount > (size_t{1} << 31)) return false;  // past the slot word's index bits
    size_t room = slotCount / 2;
    void* block = TakeBlock(slotCount, room * (sizeof(Entry) + sizeof(uint32_t)) + slotCount * (sizeof(uint32_t) + 1) + kGroup);
    if (!block) return false;
    auto* entries = static_cast<Entry*>(block);
    auto* hashes = reinterpret_cast<uint32_t*>(entries + room);
    if (mEntryCount > 0) {
      std::memcpy(entries, mEntries, mEntryCount * sizeof(Entry));
      std::memcpy(hashes, mHashes, mEntryCount * sizeof(uint32_t));
    }
    GiveBackBlock(std::exchange(mEntries, entries), mSlotCount);
    mHashes = hashes;
    mSlots = hashes + room;
    mControl = reinterpret_cast<uint8_t*>(mSlots + slotCount);
    mSlotCount = slotCount;
    mIndexMask = static_cast<uint32_t>(room - 1);
    mShift = static_cast<uint32_t>(32 - std::countr_zero(slotCount));
    mRedraws = 0;
    mBunchedRedraws = 0;
    mBestShare = kUnmeasured;
  }
  mDeletedSlots = 0;
  mFreeHomes = 0;
  mTakenHomes = 0;
  std::memset(mControl, kFree, slotCount);
  std::memset(mControl + slotCount, kDeletedMark, kGroup);
  // From the hash array in entry order: no key is hashed again, no free slot is visited.
  size_t mask = slotCount - 1;
  for (size_t n = 0; n < mEntryCount; ++n) {
    size_t i = HomeSlot(mHashes[n]);
    while (mControl[i] != kFree) i = (i + 1) & mask;
    mSlots[i] = SlotWord(n, mHashes[n]);
    mControl[i] = ControlOf(mHashes[n]);
  }
  return true;
}

}  // namespace vorn
