#include "core/reloc_entry.h"

#include <cstddef>

#include "strings/container_assert.h"
#include "strings/memory.h"
#include "strings/simple_vector.h"
#include "strings/string_map.h"

// The fixed rows, generated from core/entry_points.list into a C table of the same layout.
extern "C" vorn::RelocEntry gVornFixedRelocRows[vorn::kFixedRelocEntryCount];

namespace vorn {

static_assert(sizeof(RelocEntry) == 2 * sizeof(void*) + 8, "layout shared with the C table");
static_assert(offsetof(RelocEntry, code) == sizeof(void*), "layout shared with the C table");

namespace {

constexpr int32_t kIndexBucketCount = 256;

// Both live until exit and are never destroyed: names may be looked up from exit-time code,
// and the records stay reachable for leak checkers.
SimpleVector<RelocEntry*>& AddedRows() {
  static auto* rows = new SimpleVector<RelocEntry*>(0);
  return *rows;
}

StringMap<RelocEntry*>* gIndex = nullptr;

}  // namespace

int32_t GetRelocEntryCount() { return kFixedRelocEntryCount + AddedRows().Count(); }

RelocEntry* GetRelocEntry(int32_t index) {
  if (index < 0) return nullptr;
  if (index < kFixedRelocEntryCount) return &gVornFixedRelocRows[index];
  int32_t added = index - kFixedRelocEntryCount;
  SimpleVector<RelocEntry*>& rows = AddedRows();
  return added < rows.Count() ? rows.Data()[added] : nullptr;
}

StringMap<RelocEntry*>* GetRelocEntryIndex() {
  if (gIndex != nullptr) return gIndex;
  gIndex = new StringMap<RelocEntry*>(kIndexBucketCount);
  // A repeated name ends up with its last row, which binds the same function as the first.
  for (RelocEntry& row : gVornFixedRelocRows) gIndex->SetEntry(string(row.name), &row);
  for (RelocEntry* row : AddedRows()) {
    if (row->name != nullptr) gIndex->SetEntry(string(row->name), row);
  }
  return gIndex;
}

RelocEntry* LookupRelocEntry(const string& name) {
  if (name.IsEmpty()) return nullptr;
  RelocEntry* entry = nullptr;
  GetRelocEntryIndex()->GetEntry(name, &entry);
  return entry;
}

void AddRelocEntry(const char* name, void* function) {
  if (function == nullptr) return;
  StringMap<RelocEntry*>* index = GetRelocEntryIndex();
  string key(name);
  if (RelocEntry* oldEntry = LookupRelocEntry(key)) {
    if (function != oldEntry->code) {
      ReportContainerAssertion(kRelocEntrySource, kRelocEntryConflictLine,
                               "functionPtr == oldEntry->code");
    }
    return;
  }
  auto* newEntry = static_cast<RelocEntry*>(AllocMemory(sizeof(RelocEntry), OnFailure::ReturnNull));
  if (newEntry == nullptr) {
    ReportContainerAssertion(kRelocEntrySource, kRelocEntryAllocationLine, "newEntry");
    return;
  }
  *newEntry = RelocEntry{name, function, 0, 0};
  AddedRows().Append(newEntry);
  if (name != nullptr) index->SetEntry(key, newEntry);
}

}  // namespace vorn
