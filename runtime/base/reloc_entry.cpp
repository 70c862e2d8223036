#include "base/reloc_entry.h"

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
RelocRowsCompleter gCompleter = nullptr;

void CompleteRows() {
  if (gCompleter) gCompleter();
}

RelocEntry* FindRow(const string& name) {
  if (name.IsEmpty()) return nullptr;
  RelocEntry* entry = nullptr;
  GetRelocEntryIndex()->GetEntry(name, &entry);
  return entry;
}

// Rows added before the index exists are checked against it when it is built: start-up adds a
// few rows and looks none up, so it never pays for the index.
bool AcceptAddedRow(RelocEntry* row) {
  if (row->name == nullptr) return true;
  string key(row->name);
  RelocEntry* oldEntry = nullptr;
  if (gIndex->GetEntry(key, &oldEntry) && oldEntry != nullptr) {
    if (row->code != oldEntry->code) {
      ReportContainerAssertion(kRelocEntrySource, kRelocEntryConflictLine, "functionPtr == oldEntry->code");
    }
    return false;
  }
  gIndex->SetEntry(key, row);
  return true;
}

}  // namespace

void SetRelocRowsCompleter(RelocRowsCompleter completer) { gCompleter = completer; }

int32_t GetRelocEntryCount() {
  CompleteRows();
  if (!AddedRows().IsEmpty()) GetRelocEntryIndex();
  return kFixedRelocEntryCount + AddedRows().Count();
}

void VisitRelocEntries(void (*visit)(const RelocEntry& row, void* context), void* context) {
  CompleteRows();
  for (const RelocEntry& row : gVornFixedRelocRows) visit(row, context);
  SimpleVector<RelocEntry*>& rows = AddedRows();
  for (int32_t i = 0; i < rows.Count(); ++i) visit(*rows.Data()[i], context);
}

RelocEntry* GetRelocEntry(int32_t index) {
  if (index < 0) return nullptr;
  if (index < kFixedRelocEntryCount) return &gVornFixedRelocRows[index];
  int32_t added = index - kFixedRelocEntryCount;
  SimpleVector<RelocEntry*>& rows = AddedRows();
  if (!rows.IsEmpty()) GetRelocEntryIndex();
  return added < rows.Count() ? rows.Data()[added] : nullptr;
}

StringMap<RelocEntry*>* GetRelocEntryIndex() {
  if (gIndex != nullptr) return gIndex;
  gIndex = new StringMap<RelocEntry*>(kIndexBucketCount);
  // A repeated name ends up with its last row, which binds the same function as the first.
  for (RelocEntry& row : gVornFixedRelocRows) gIndex->SetEntry(string(row.name), &row);
  SimpleVector<RelocEntry*>& rows = AddedRows();
  for (int32_t i = 0; i < rows.Count();) {
    if (AcceptAddedRow(rows.Data()[i])) {
      ++i;
    } else {
      FreeMemory(rows.Data()[i]);
      rows.RemoveAt(i);
    }
  }
  return gIndex;
}

RelocEntry* LookupRelocEntry(const string& name) {
  if (RelocEntry* entry = FindRow(name)) return entry;
  if (name.IsEmpty()) return nullptr;
  CompleteRows();
  return FindRow(name);
}

void AddRelocEntry(const char* name, void* function) {
  if (function == nullptr) return;
  auto* newEntry = static_cast<RelocEntry*>(AllocMemory(sizeof(RelocEntry), OnFailure::ReturnNull));
  if (newEntry == nullptr) {
    ReportContainerAssertion(kRelocEntrySource, kRelocEntryAllocationLine, "newEntry");
    return;
  }
  *newEntry = RelocEntry{name, function, 0, 0};
  if (gIndex != nullptr && !AcceptAddedRow(newEntry)) {
    FreeMemory(newEntry);
    return;
  }
  AddedRows().Append(newEntry);
}

}  // namespace vorn
