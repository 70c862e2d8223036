#include "objects/variant_table.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <utility>

#include "objects/runtime_object.h"
#include "objects/variant.h"

namespace vorn {

namespace {

constexpr int32_t kEmpty = -1;
constexpr int32_t kDeleted = -2;
constexpr size_t kFirstSlotCount = 16;

// Released blocks kept for reuse, one for each slot count up to 2^20 (a 16 MB block).
constexpr size_t kKeptBlockSizes = 21;
void* sKeptBlocks[kKeptBlockSizes] = {};

void* TakeBlock(size_t slotCount, size_t bytes) {
  auto size = static_cast<size_t>(std::countr_zero(slotCount));
  if (size < kKeptBlockSizes && sKeptBlocks[size]) return std::exchange(sKeptBlocks[size], nullptr);
  return ::operator new(bytes);
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

int64_t VariantTable::FindSlot(RuntimeObject* key, uint32_t hash, int64_t* insertAt) const {
  if (insertAt) *insertAt = -1;
  if (mSlotCount == 0) return -1;
  size_t mask = mSlotCount - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& probe = mSlots[i];
    int32_t slot = probe.entry;
    if (slot == kEmpty) {
      if (insertAt && *insertAt < 0) *insertAt = static_cast<int64_t>(i);
      return -1;
    }
    if (slot == kDeleted) {
      if (insertAt && *insertAt < 0) *insertAt = static_cast<int64_t>(i);
      continue;
    }
    if (probe.hash == hash && VariantKeysEqual(mEntries[static_cast<size_t>(slot)].key, key))
      return static_cast<int64_t>(i);
  }
}

bool VariantTable::Lookup(RuntimeObject* key, RuntimeObject** value) const {
  int64_t slot = FindSlot(key, VariantKeyHash(key), nullptr);
  if (slot < 0) return false;
  if (value) *value = mEntries[static_cast<size_t>(mSlots[static_cast<size_t>(slot)].entry)].value;
  return true;
}

void VariantTable::Set(RuntimeObject* key, RuntimeObject* value) {
  uint32_t hash = VariantKeyHash(key);
  int64_t insertAt;
  int64_t slot = FindSlot(key, hash, &insertAt);
  RuntimeLockObject(value);
  if (slot >= 0) {
    Entry& entry = mEntries[static_cast<size_t>(mSlots[static_cast<size_t>(slot)].entry)];
    RuntimeObject* old = entry.value;
    entry.value = value;
    RuntimeUnlockObject(old);
    return;
  }
  // Keep the slot array at most half full, holes counted.
  if ((mEntryCount + 1 + static_cast<size_t>(mDeletedSlots)) * 2 > mSlotCount) {
    Compact();
    size_t wanted = std::max(kFirstSlotCount, std::bit_ceil((static_cast<size_t>(mLive) + 1) * 2));
    Rebuild(std::max(wanted, mSlotCount));
    FindSlot(key, hash, &insertAt);
  }
  RuntimeLockObject(key);
  if (mSlots[static_cast<size_t>(insertAt)].entry == kDeleted) --mDeletedSlots;
  mSlots[static_cast<size_t>(insertAt)] = {static_cast<int32_t>(mEntryCount), hash};
  mEntries[mEntryCount++] = {key, value};
  ++mLive;
}

bool VariantTable::Remove(RuntimeObject* key) {
  int64_t slot = FindSlot(key, VariantKeyHash(key), nullptr);
  if (slot < 0) return false;
  Entry& entry = mEntries[static_cast<size_t>(mSlots[static_cast<size_t>(slot)].entry)];
  RuntimeObject* oldKey = entry.key;
  RuntimeObject* oldValue = entry.value;
  entry = {Hole(), nullptr};
  mSlots[static_cast<size_t>(slot)] = {kDeleted, 0};
  ++mDeletedSlots;
  --mLive;
  if (mEntryCount > 32 && static_cast<size_t>(mLive) * 2 < mEntryCount) Compact();
  RuntimeUnlockObject(oldKey);
  RuntimeUnlockObject(oldValue);
  return true;
}

void VariantTable::Clear() {
  void* block = mSlots;
  size_t slotCount = mSlotCount;
  Entry* entries = mEntries;
  size_t count = mEntryCount;
  mSlots = nullptr;
  mEntries = nullptr;
  mSlotCount = 0;
  mEntryCount = 0;
  mLive = 0;
  mDeletedSlots = 0;
  for (size_t n = 0; n < count; ++n) {
    if (entries[n].key == Hole()) continue;
    RuntimeUnlockObject(entries[n].key);
    RuntimeUnlockObject(entries[n].value);
  }
  GiveBackBlock(block, slotCount);
}

bool VariantTable::EntryAt(int32_t index, RuntimeObject** key, RuntimeObject** value) {
  if (index < 0 || index >= mLive) return false;
  if (mEntryCount != static_cast<size_t>(mLive)) Compact();
  const Entry& entry = mEntries[static_cast<size_t>(index)];
  if (key) *key = entry.key;
  if (value) *value = entry.value;
  return true;
}

void VariantTable::SetBinCount(int32_t bins) {
  if (bins < 0) return;
  Compact();
  size_t wanted = std::max({std::bit_ceil(static_cast<size_t>(bins)), std::bit_ceil(static_cast<size_t>(mLive) * 2),
                            size_t{kFirstSlotCount}});
  Rebuild(wanted);
}

// Sweeps the holes out of the entry array; the slots are rebuilt to match.
void VariantTable::Compact() {
  if (mEntryCount == static_cast<size_t>(mLive)) return;
  std::unique_ptr<int32_t[]> moved(new int32_t[mEntryCount]);
  size_t kept = 0;
  for (size_t n = 0; n < mEntryCount; ++n) {
    moved[n] = kEmpty;
    if (mEntries[n].key == Hole()) continue;
    moved[n] = static_cast<int32_t>(kept);
    mEntries[kept++] = mEntries[n];
  }
  mEntryCount = kept;
  for (size_t i = 0; i < mSlotCount; ++i) {
    if (mSlots[i].entry >= 0) mSlots[i].entry = moved[static_cast<size_t>(mSlots[i].entry)];
  }
  Rebuild(mSlotCount);
}

void VariantTable::Rebuild(size_t slotCount) {
  Slot* oldSlots = mSlots;
  size_t oldSlotCount = mSlotCount;
  void* block = TakeBlock(slotCount, slotCount * sizeof(Slot) + slotCount / 2 * sizeof(Entry));
  mSlots = static_cast<Slot*>(block);
  auto* entries = reinterpret_cast<Entry*>(static_cast<unsigned char*>(block) + slotCount * sizeof(Slot));
  if (mEntryCount > 0) std::memcpy(entries, mEntries, mEntryCount * sizeof(Entry));
  mEntries = entries;
  mSlotCount = slotCount;
  mDeletedSlots = 0;
  std::fill_n(mSlots, slotCount, Slot{kEmpty, 0});
  size_t mask = slotCount - 1;
  for (size_t n = 0; n < oldSlotCount; ++n) {
    const Slot& slot = oldSlots[n];
    if (slot.entry < 0) continue;
    size_t i = slot.hash & mask;
    while (mSlots[i].entry != kEmpty) i = (i + 1) & mask;
    mSlots[i] = slot;
  }
  GiveBackBlock(oldSlots, oldSlotCount);
}

}  // namespace vorn
