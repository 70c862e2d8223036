// Checks the list box entry points share: the object's fields, and row, cell and column indexes
// that raise OutOfBoundsException when they fall outside the list.
#pragma once

#include "listbox/listbox_class.h"
#include "objects/exceptions.h"

namespace vorn {

inline VornListboxFields* FieldsOf(VornRuntimeObject* object) {
  ListboxObject* list = AsListboxObject(object);
  return list ? &list->fields : nullptr;
}

// Rows outside the list raise OutOfBoundsException.
inline bool CheckRow(RuntimeListbox* pane, int32_t row) {
  if (row >= 0 && row < pane->RowCount()) return true;
  RuntimeRaiseOutOfBoundsException();
  return false;
}

inline bool CheckCell(RuntimeListbox* pane, int32_t row, int32_t column) {
  if (!CheckRow(pane, row)) return false;
  if (column >= 0 && column <= kMaxCellColumn) return true;
  RuntimeRaiseOutOfBoundsException();
  return false;
}

inline bool CheckColumn(RuntimeListbox* pane, int32_t column) {
  if (column >= 0 && column < pane->Columns().ColumnCount()) return true;
  RuntimeRaiseOutOfBoundsException();
  return false;
}

}  // namespace vorn
