// Binding an image's imports by name. The loader asks a resolver for each runtime import;
// the runtime's own resolver answers from the entry-point directory, tests give their own.
#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>

namespace vorn {

class ImportResolver {
 public:
  virtual ~ImportResolver() = default;
  // The function bound to the name, or nil when nothing exports it.
  virtual void* Resolve(std::string_view name) = 0;
};

// Rows added in order; Find answers the FIRST row whose name equals the name without regard
// to case (through the runtime's upper-case table), as a scan from row 0 would, in constant
// time.
class FirstMatchIndex {
 public:
  void Reserve(size_t rows) { mRows.reserve(rows); }
  // `name` must outlive the index. Rows without a name or a function, and later rows of an
  // equal name, are ignored.
  void Add(const char* name, void* code);
  void* Find(std::string_view name) const;
  size_t Size() const { return mRows.size(); }

 private:
  struct FoldedHash {
    size_t operator()(std::string_view text) const;
  };
  struct NoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  std::unordered_map<std::string_view, void*, FoldedHash, NoCaseEqual> mRows;
};

// The runtime's resolver: rows 0 .. GetRelocEntryCount() - 1 of the entry-point directory,
// read once when the first import is resolved.
class RelocDirectoryResolver : public ImportResolver {
 public:
  void* Resolve(std::string_view name) override;

 private:
  FirstMatchIndex mIndex;
  bool mIndexed = false;
};

}  // namespace vorn
