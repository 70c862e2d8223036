// The entry-point directory: the one table through which compiled code and plug-ins reach
// runtime functions by name.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

template <typename T>
class StringMap;

struct RelocEntry {
  const char* name;  // not owned; lives until exit
  void* code;
  uint32_t reserved1;
  uint32_t reserved2;
};

constexpr int32_t kFixedRelocEntryCount = 2154;

// Source and line of the directory's own failure reports.
inline constexpr const char* kRelocEntrySource = "../Common/relocentry";
inline constexpr int32_t kRelocEntryConflictLine = 2922;
inline constexpr int32_t kRelocEntryAllocationLine = 2926;

int32_t GetRelocEntryCount();
// Row i, 0 <= i < GetRelocEntryCount(); nil for an index outside.
RelocEntry* GetRelocEntry(int32_t index);
// The case-insensitive name index, built on the first call from the fixed rows and then the
// added rows; it lives until exit.
StringMap<RelocEntry*>* GetRelocEntryIndex();
// Case-insensitive lookup through the name index; nil when absent or empty.
RelocEntry* LookupRelocEntry(const string& name);
// Adds a row binding the name (static text) to the function; see the directory's rules.
void AddRelocEntry(const char* name, void* function);
// Every row in order, the fixed rows first, without building the name index: for a reader
// that keeps the first row of each name, which binds as the index would. Added rows not yet
// checked against the index are included; a repeat among them is reported when it is built.
void VisitRelocEntries(void (*visit)(const RelocEntry& row, void* context), void* context);

// Adds the rows that an adder defers until they are needed (the members of intrinsic classes
// not built yet). Readers that must see every row run it first: counting the rows, and a
// lookup that would miss.
using RelocRowsCompleter = void (*)();
void SetRelocRowsCompleter(RelocRowsCompleter completer);

}  // namespace vorn
