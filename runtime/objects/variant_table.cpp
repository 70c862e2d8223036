#include "objects/variant_table.h"

#include <algorithm>
#include <bit>

#include "objects/runtime_object.h"
#include "objects/variant.h"

namespace vorn {

namespace {

constexpr int32_t kEmpty = -1;
constexpr int32_t kDeleted = -2;
constexpr size_t kFirstSlotCount = 16;

}  // namespace

VariantTable::~VariantTable() { Clear(); }

int64_t VariantTable::FindSlot(RuntimeObject* key, uint32_t hash, int64_t* insertAt) const {
  if (insertAt) *insertAt = -1;
  if (mSlots.empty()) return -1;
  size_t mask = mSlots.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    int32_t slot = mSlots[i];
    if (slot == kEmpty) {
      if (insertAt && *insertAt < 0) *insertAt = static_cast<int64_t>(i);
      return -1;
    }
    if (slot == kDeleted) {
      if (insertAt && *insertAt < 0) *insertAt = static_cast<int64_t>(i);
      continue;
    }
    const Entry& entry = mEntries[static_cast<size_t>(slot)];
    if (entry.hash == hash && VariantKeysEqual(entry.key, key)) return static_cast<int64_t>(i);
  }
}

bool VariantTable::Lookup(RuntimeObject* key, RuntimeObject** value) const {
  int64_t slot = FindSlot(key, VariantKeyHash(key), nullptr);
  if (slot < 0) return false;
  if (value) *value = mEntries[static_cast<size_t>(mSlots[static_cast<size_t>(slot)])].value;
  return true;
}

void VariantTable::Set(RuntimeObject* key, RuntimeObject* value) {
  uint32_t hash = VariantKeyHash(key);
  int64_t insertAt;
  int64_t slot = FindSlot(key, hash, &insertAt);
  RuntimeLockObject(value);
  if (slot >= 0) {
    Entry& entry = mEntries[static_cast<size_t>(mSlots[static_cast<size_t>(slot)])];
    RuntimeObject* old = entry.value;
    entry.value = value;
    RuntimeUnlockObject(old);
    return;
  }
  // Keep the slot array at most half full, holes counted.
  if (mSlots.empty() || (mEntries.size() + 1 + mDeletedSlots) * 2 > mSlots.size()) {
    Compact();
    size_t wanted = std::max(kFirstSlotCount, std::bit_ceil((static_cast<size_t>(mLive) + 1) * 2));
    Rebuild(std::max(wanted, mSlots.size()));
    FindSlot(key, hash, &insertAt);
  }
  RuntimeLockObject(key);
  if (mSlots[static_cast<size_t>(insertAt)] == kDeleted) --mDeletedSlots;
  mSlots[static_cast<size_t>(insertAt)] = static_cast<int32_t>(mEntries.size());
  mEntries.push_back({key, value, hash, true});
  ++mLive;
}

bool VariantTable::Remove(RuntimeObject* key) {
  int64_t slot = FindSlot(key, VariantKeyHash(key), nullptr);
  if (slot < 0) return false;
  Entry& entry = mEntries[static_cast<size_t>(mSlots[static_cast<size_t>(slot)])];
  RuntimeObject* oldKey = entry.key;
  RuntimeObject* oldValue = entry.value;
  entry = {nullptr, nullptr, 0, false};
  mSlots[static_cast<size_t>(slot)] = kDeleted;
  ++mDeletedSlots;
  --mLive;
  if (mEntries.size() > 32 && static_cast<size_t>(mLive) * 2 < mEntries.size()) Compact();
  RuntimeUnlockObject(oldKey);
  RuntimeUnlockObject(oldValue);
  return true;
}

void VariantTable::Clear() {
  std::vector<Entry> entries;
  entries.swap(mEntries);
  mSlots.clear();
  mSlots.shrink_to_fit();
  mLive = 0;
  mDeletedSlots = 0;
  for (Entry& entry : entries) {
    RuntimeUnlockObject(entry.key);
    RuntimeUnlockObject(entry.value);
  }
}

bool VariantTable::EntryAt(int32_t index, RuntimeObject** key, RuntimeObject** value) {
  if (index < 0 || index >= mLive) return false;
  if (mEntries.size() != static_cast<size_t>(mLive)) Compact();
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
  if (mEntries.size() == static_cast<size_t>(mLive)) return;
  size_t kept = 0;
  for (Entry& entry : mEntries)
    if (entry.live) mEntries[kept++] = entry;
  mEntries.resize(kept);
  Rebuild(mSlots.size());
}

void VariantTable::Rebuild(size_t slotCount) {
  mSlots.assign(slotCount, kEmpty);
  mDeletedSlots = 0;
  if (slotCount == 0) return;
  size_t mask = slotCount - 1;
  for (size_t n = 0; n < mEntries.size(); ++n) {
    if (!mEntries[n].live) continue;
    size_t i = mEntries[n].hash & mask;
    while (mSlots[i] != kEmpty) i = (i + 1) & mask;
    mSlots[i] = static_cast<int32_t>(n);
  }
}

}  // namespace vorn
