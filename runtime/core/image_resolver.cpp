#include "core/image_resolver.h"

#include <cstring>

#include "base/reloc_entry.h"
#include "strings/case_table.h"

namespace vorn {

size_t FirstMatchIndex::FoldedHash(std::string_view text) {
  // FNV-1a over the upper-cased bytes, so names equal without regard to case hash alike.
  uint64_t hash = 14695981039346656037ull;
  for (char c : text) {
    hash ^= UpperCaseByte(static_cast<uint8_t>(c));
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

size_t FirstMatchIndex::SlotFor(std::string_view name, size_t hash) const {
  const size_t mask = mSlots.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    if (mSlots[slot] == kEmpty) return slot;
    const Row& row = mRows[mSlots[slot]];
    if (row.hash == hash &&
        CompareBytesNoCase(row.name.data(), static_cast<int32_t>(row.name.size()), name.data(),
                           static_cast<int32_t>(name.size())) == 0) {
      return slot;
    }
  }
}

void FirstMatchIndex::Rehash(size_t slotCount) {
  mSlots.assign(slotCount, kEmpty);
  for (size_t i = 0; i < mRows.size(); ++i) mSlots[SlotFor(mRows[i].name, mRows[i].hash)] = static_cast<uint32_t>(i);
}

void FirstMatchIndex::Reserve(size_t rows) {
  mRows.reserve(rows);
  size_t slotCount = 16;
  while (slotCount < 2 * rows) slotCount *= 2;
  if (slotCount > mSlots.size()) Rehash(slotCount);
}

void FirstMatchIndex::Add(const char* name, void* code) {
  // A row without a function is a name whose implementation is not linked in: binding to it
  // would jump to address 0, so it counts as absent like a row without a name.
  if (!name || !code) return;
  if (2 * (mRows.size() + 1) > mSlots.size()) Rehash(mSlots.empty() ? 16 : 2 * mSlots.size());
  std::string_view text(name, std::strlen(name));
  const size_t hash = FoldedHash(text);
  const size_t slot = SlotFor(text, hash);
  if (mSlots[slot] != kEmpty) return;
  mSlots[slot] = static_cast<uint32_t>(mRows.size());
  mRows.push_back(Row{text, hash, code});
}

void* FirstMatchIndex::Find(std::string_view name) const {
  if (mSlots.empty()) return nullptr;
  const size_t slot = SlotFor(name, FoldedHash(name));
  return mSlots[slot] == kEmpty ? nullptr : mRows[mSlots[slot]].code;
}

void* RelocDirectoryResolver::Resolve(std::string_view name) {
  if (!mIndexed) {
    mIndex.Reserve(kFixedRelocEntryCount);
    VisitRelocEntries([](const RelocEntry& row, void* index) {
      static_cast<FirstMatchIndex*>(index)->Add(row.name, row.code);
    }, &mIndex);
    mIndexed = true;
  }
  return mIndex.Find(name);
}

}  // namespace vorn
