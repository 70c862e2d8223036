#include "listbox/list_cells.h"

#include <cstring>

#include "strings/memory.h"

namespace vorn {

namespace {

void ReplaceObject(RuntimeObject*& field, RuntimeObject* value) {
  if (field == value) return;
  RuntimeLockObject(value);
  RuntimeObject* old = field;
  field = value;
  RuntimeUnlockObject(old);
}

constexpr size_t RoundUp8(size_t n) { return (n + 7) & ~size_t{7}; }

}  // namespace

CellAttributes::~CellAttributes() {
  RuntimeUnlockObject(mPicture);
  RuntimeUnlockObject(mTag);
}

void CellAttributes::SetPicture(RuntimeObject* picture) { ReplaceObject(mPicture, picture); }
void CellAttributes::SetTag(RuntimeObject* tag) { ReplaceObject(mTag, tag); }

// The block: this header, the columns (one byte each, padded to a word), the text records,
// then, only in a block of a row with settings, the settings records.
struct RowCells::Header {
  uint16_t count;
  uint16_t capacity;
  uint8_t withAttributes;
  uint8_t unused[3];
};

size_t RowCells::BlockSize(int32_t capacity, bool withAttributes) {
  static_assert(sizeof(Header) == 8, "the columns start a word in");
  const auto n = static_cast<size_t>(capacity);
  return sizeof(Header) + RoundUp8(n) + n * sizeof(StringRep*) + (withAttributes ? n * sizeof(CellAttributes*) : 0);
}

uint8_t* RowCells::Columns() const { return reinterpret_cast<uint8_t*>(mBlock + 1); }

StringRep** RowCells::Texts() const {
  return reinterpret_cast<StringRep**>(Columns() + RoundUp8(mBlock->capacity));
}

CellAttributes** RowCells::Attributes() const {
  return mBlock->withAttributes ? reinterpret_cast<CellAttributes**>(Texts() + mBlock->capacity) : nullptr;
}

int32_t RowCells::Count() const { return mBlock ? mBlock->count : 0; }

int32_t RowCells::Find(int32_t column) const {
  if (!mBlock) return -1;
  const uint8_t* columns = Columns();
  for (int32_t i = 0; i < mBlock->count; ++i) {
    if (columns[i] == column) return i;
  }
  return -1;
}

int32_t RowCells::ColumnAt(int32_t index) const { return Columns()[index]; }
StringRep* RowCells::TextAt(int32_t index) const { return Texts()[index]; }

CellAttributes* RowCells::AttributesAt(int32_t index) const {
  CellAttributes** attributes = Attributes();
  return attributes ? attributes[index] : nullptr;
}

void RowCells::Rebuild(int32_t capacity, bool withAttributes) {
  const int32_t count = Count();
  auto* block = static_cast<Header*>(AllocMemory(BlockSize(capacity, withAttributes)));
  *block = Header{static_cast<uint16_t>(count), static_cast<uint16_t>(capacity), withAttributes, {}};
  RowCells rebuilt;
  rebuilt.mBlock = block;
  if (count > 0) {
    std::memcpy(rebuilt.Columns(), Columns(), static_cast<size_t>(count));
    std::memcpy(rebuilt.Texts(), Texts(), static_cast<size_t>(count) * sizeof(StringRep*));
  }
  if (withAttributes) {
    CellAttributes** to = rebuilt.Attributes();
    for (int32_t i = 0; i < capacity; ++i) to[i] = i < count ? AttributesAt(i) : nullptr;
  }
  FreeMemory(mBlock);
  mBlock = block;
}

int32_t RowCells::Make(int32_t column) {
  const int32_t found = Find(column);
  if (found >= 0) return found;
  const int32_t count = Count();
  if (!mBlock || count == mBlock->capacity) {
    // Rows mostly have a few cells, made one after another: the block grows by one cell up to
    // four, then by half.
    const int32_t capacity = count < 4 ? count + 1 : count + count / 2;
    Rebuild(capacity, mBlock && mBlock->withAttributes);
  }
  Columns()[count] = static_cast<uint8_t>(column);
  Texts()[count] = nullptr;
  ++mBlock->count;
  return count;
}

void RowCells::SetTextAt(int32_t index, const string& text) { ReplaceStringRep(Texts()[index], text.Rep()); }

CellAttributes* RowCells::MakeAttributesAt(int32_t index) {
  if (!mBlock->withAttributes) Rebuild(mBlock->capacity, true);
  CellAttributes*& attributes = Attributes()[index];
  if (!attributes) attributes = new CellAttributes();
  return attributes;
}

void RowCells::Free() {
  if (!mBlock) return;
  for (int32_t i = 0; i < mBlock->count; ++i) {
    ReleaseStringRep(Texts()[i]);
    delete AttributesAt(i);
  }
  FreeMemory(mBlock);
  mBlock = nullptr;
}

}  // namespace vorn
