// The entry-point directory: the one table through which compiled code and plug-ins reach
// runtime functions by name.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

struct RelocEntry {
  const char* name;  // not owned; lives until exit
  void* code;
  uint32_t reserved1;
  uint32_t reserved2;
};

constexpr int32_t kFixedRelocEntryCount = 2154;

int32_t GetRelocEntryCount();
// Row i, 0 <= i < GetRelocEntryCount(); nil for an index outside.
RelocEntry* GetRelocEntry(int32_t index);
// Case-insensitive lookup through the name index; nil when absent or empty.
RelocEntry* LookupRelocEntry(const string& name);
// Adds a row binding the name (static text) to the function; see the directory's rules.
void AddRelocEntry(const char* name, void* function);

}  // namespace vorn
