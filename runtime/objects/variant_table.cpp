#include "objects/variant_table.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <new>
#include <utility>

#include "objects/variant_keys.h"

namespace vorn {

namespace {

constexpr size_t kFirstSlotCount = 16;

// Released blocks kept for the next table, one for each slot count up to kMostHintedSlots: a
// table growing from empty would otherwise fault fresh pages in from the system at every size.
void* sKeptBlocks[std::countr_zero(VariantTable::kMostHintedSlots) + 1] = {};

void* TakeBlock(size_t slotCount, size_t bytes) {
  const auto size = static_cast<size_t>(std::countr_zero(slotCount));
  if (size < std::size(sKeptBlocks) && sKeptBlocks[size]) return std::exchange(sKeptBlocks[size], nullptr);
  return ::operator new(bytes, std::nothrow);
}

void GiveBackBlock(void* block, size_t slotCount) {
  if (!block) return;
  const auto size = static_cast<size_t>(std::countr_zero(slotCount));
  if (size < std::size(sKeptBlocks) && !sKeptBlocks[size]) {
    sKeptBlocks[size] = block;
  } else {
    ::operator delete(block);
  }
}

}  // namespace

int64_t VariantTable::FindSlot(RuntimeObject* key, uint32_t hash, size_t* insertAt) const {
  if (mSlotCount == 0) return -1;
  const size_t mask = mSlotCount - 1;
  bool reusable = false;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const uint32_t slot = mSlots[i];
    if (slot == kFree) {
      if (insertAt && !reusable) *insertAt = i;
      return -1;
    }
    if (slot == kRemoved) {
      if (insertAt && !reusable) *insertAt = i;
      reusable = true;
    } else if (((slot ^ hash) & ~mask) == 0 && KeysEqual(EntryIn(i).key, key)) {
      return static_cast<int64_t>(i);
    }
  }
}

bool VariantTable::Lookup(RuntimeObject* key, RuntimeObject** value) const {
  const int64_t slot = FindSlot(key, KeyHash(key), nullptr);
  if (slot < 0) return false;
  if (value) *value = EntryIn(static_cast<size_t>(slot)).value;
  return true;
}

bool VariantTable::Set(RuntimeObject* key, RuntimeObject* value) {
  const uint32_t hash = KeyHash(key);
  size_t insertAt = 0;
  const int64_t slot = FindSlot(key, hash, &insertAt);
  if (slot >= 0) {
    RetainObject(value);
    RuntimeObject* old = std::exchange(EntryIn(static_cast<size_t>(slot)).value, value);
    ReleaseObject(old);
    return true;
  }
  if (mEntryCount + 1 > mSlotCount / 2) {
    // After the sweep at least an eighth of the slots are left for new keys.
    const size_t wanted = std::bit_ceil((static_cast<size_t>(mLive) + 1) * 8 / 3);
    if (!Rebuild(std::max(wanted, kFirstSlotCount))) return false;
    FindSlot(key, hash, &insertAt);
  }
  RetainObject(key);
  RetainObject(value);
  mSlots[insertAt] = SlotWord(hash, mEntryCount);
  mEntries[mEntryCount++] = {key, value, hash, false};
  ++mLive;
  return true;
}

bool VariantTable::Remove(RuntimeObject* key) {
  const int64_t slot = FindSlot(key, KeyHash(key), nullptr);
  if (slot < 0) return false;
  Entry& entry = EntryIn(static_cast<size_t>(slot));
  RuntimeObject* oldKey = std::exchange(entry.key, nullptr);
  RuntimeObject* oldValue = std::exchange(entry.value, nullptr);
  entry.removed = true;
  mSlots[slot] = kRemoved;
  --mLive;
  ReleaseObject(oldKey);
  ReleaseObject(oldValue);
  return true;
}

void VariantTable::Clear() {
  Entry* entries = std::exchange(mEntries, nullptr);
  const size_t count = std::exchange(mEntryCount, 0);
  const size_t slotCount = std::exchange(mSlotCount, 0);
  mSlots = nullptr;
  mLive = 0;
  for (size_t n = 0; n < count; ++n) {
    if (entries[n].removed) continue;
    ReleaseObject(entries[n].key);
    ReleaseObject(entries[n].value);
  }
  GiveBackBlock(entries, slotCount);
}

bool VariantTable::EntryAt(int32_t index, RuntimeObject** key, RuntimeObject** value) {
  if (index < 0 || index >= mLive) return false;
  if (mEntryCount != static_cast<size_t>(mLive)) Rebuild(mSlotCount);
  const Entry& entry = mEntries[static_cast<size_t>(index)];
  if (key) *key = entry.key;
  if (value) *value = entry.value;
  return true;
}

bool VariantTable::SetBinCount(int32_t bins) {
  if (bins < 0) return true;
  const size_t hinted = std::min(static_cast<size_t>(bins), kMostHintedSlots);
  return Rebuild(std::max({std::bit_ceil(hinted), std::bit_ceil(static_cast<size_t>(mLive) * 2), kFirstSlotCount}));
}

bool VariantTable::Rebuild(size_t slotCount) {
  Entry* kept = mEntries;
  if (slotCount != mSlotCount) {
    if (slotCount > (size_t{1} << 31)) return false;  // past a slot's bits
    kept = static_cast<Entry*>(TakeBlock(slotCount, slotCount / 2 * sizeof(Entry) + slotCount * sizeof(uint32_t)));
    if (!kept) return false;
  }
  size_t count = 0;
  for (size_t n = 0; n < mEntryCount; ++n) {
    if (!mEntries[n].removed) kept[count++] = mEntries[n];
  }
  if (kept != mEntries) {
    GiveBackBlock(std::exchange(mEntries, kept), mSlotCount);
    mSlots = reinterpret_cast<uint32_t*>(kept + slotCount / 2);
    mSlotCount = slotCount;
  }
  mEntryCount = count;
  std::fill_n(mSlots, mSlotCount, kFree);
  const size_t mask = mSlotCount - 1;
  for (size_t n = 0; n < mEntryCount; ++n) {
    size_t i = mEntries[n].hash & mask;
    while (mSlots[i] != kFree) i = (i + 1) & mask;
    mSlots[i] = SlotWord(mEntries[n].hash, n);
  }
  return true;
}

}  // namespace vorn
