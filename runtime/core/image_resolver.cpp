#include "core/image_resolver.h"

#include <cstring>

#include "core/reloc_entry.h"
#include "strings/case_table.h"

namespace vorn {

size_t FirstMatchIndex::FoldedHash::operator()(std::string_view text) const {
  // FNV-1a over the upper-cased bytes, so names equal without regard to case hash alike.
  uint64_t hash = 14695981039346656037ull;
  for (char c : text) {
    hash ^= UpperCaseByte(static_cast<uint8_t>(c));
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

bool FirstMatchIndex::NoCaseEqual::operator()(std::string_view a, std::string_view b) const {
  return CompareBytesNoCase(a.data(), static_cast<int32_t>(a.size()), b.data(),
                            static_cast<int32_t>(b.size())) == 0;
}

void FirstMatchIndex::Add(const char* name, void* code) {
  // A row without a function is a name whose implementation is not linked in: binding to it
  // would jump to address 0, so it counts as absent like a row without a name.
  if (!name || !code) return;
  mRows.emplace(std::string_view(name, std::strlen(name)), code);
}

void* FirstMatchIndex::Find(std::string_view name) const {
  auto found = mRows.find(name);
  return found == mRows.end() ? nullptr : found->second;
}

void* RelocDirectoryResolver::Resolve(std::string_view name) {
  if (!mIndexed) {
    int32_t count = GetRelocEntryCount();
    mIndex.Reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (int32_t i = 0; i < count; ++i) {
      if (const RelocEntry* entry = GetRelocEntry(i)) mIndex.Add(entry->name, entry->code);
    }
    mIndexed = true;
  }
  return mIndex.Find(name);
}

}  // namespace vorn
