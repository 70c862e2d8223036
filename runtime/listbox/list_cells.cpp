#include "listbox/list_cells.h"

namespace vorn {

namespace {

void ReplaceObject(RuntimeObject*& field, RuntimeObject* value) {
  if (field == value) return;
  RuntimeLockObject(value);
  RuntimeObject* old = field;
  field = value;
  RuntimeUnlockObject(old);
}

}  // namespace

CellEntry::~CellEntry() {
  RuntimeUnlockObject(mPicture);
  RuntimeUnlockObject(mTag);
}

void CellEntry::SetPicture(RuntimeObject* picture) { ReplaceObject(mPicture, picture); }
void CellEntry::SetTag(RuntimeObject* tag) { ReplaceObject(mTag, tag); }

RowEntry::~RowEntry() {
  CellEntry* cell = mCells;
  while (cell) {
    CellEntry* next = cell->mNext;
    delete cell;
    cell = next;
  }
}

CellEntry* RowEntry::FindCell(int32_t column, bool create) {
  CellEntry* last = nullptr;
  for (CellEntry* cell = mCells; cell; cell = cell->mNext) {
    if (cell->mColumn == column) return cell;
    last = cell;
  }
  if (!create || column < 0 || column > kMaxCellColumn) return nullptr;
  auto* cell = new CellEntry(static_cast<uint8_t>(column));
  if (last) {
    last->mNext = cell;
  } else {
    mCells = cell;
  }
  return cell;
}

}  // namespace vorn
