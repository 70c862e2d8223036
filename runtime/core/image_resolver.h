// Binding an image's imports by name. The loader asks a resolver for each runtime import;
// the runtime's own resolver answers from the entry-point directory, tests give their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vorn {

class ImportResolver {
 public:
  virtual ~ImportResolver() = default;
  // The function bound to the name, or nil when nothing exports it.
  virtual void* Resolve(std::string_view name) = 0;
};

// Rows added in order; Find answers the FIRST row whose name equals the name without regard
// to case (through the runtime's upper-case table), as a scan from row 0 would, in constant
// time. The table is open-addressed over row numbers, so adding a row allocates nothing
// once Reserve has sized it: the runtime's resolver fills it with every directory row at
// each start.
class FirstMatchIndex {
 public:
  void Reserve(size_t rows);
  // `name` must outlive the index. Rows without a name or a function, and later rows of an
  // equal name, are ignored.
  void Add(const char* name, void* code);
  void* Find(std::string_view name) const;
  size_t Size() const { return mRows.size(); }

 private:
  struct Row {
    std::string_view name;
    size_t hash;
    void* code;
  };
  static size_t FoldedHash(std::string_view text);
  // The slot holding the row of an equal name, or the empty slot where it would go.
  size_t SlotFor(std::string_view name, size_t hash) const;
  void Rehash(size_t slotCount);

  static constexpr uint32_t kEmpty = UINT32_MAX;
  std::vector<Row> mRows;
  std::vector<uint32_t> mSlots;  // row numbers; a power of two, at most half of them used
};

// The runtime's resolver: every row of the entry-point directory, read once when the first
// import is resolved (without building the directory's own name index, which start-up does
// not otherwise need).
class RelocDirectoryResolver : public ImportResolver {
 public:
  void* Resolve(std::string_view name) override;

 private:
  FirstMatchIndex mIndex;
  bool mIndexed = false;
};

}  // namespace vorn
