// Whether a list's rows form a tree, as every handler must find and leave them.
#pragma once

#include <string>

#include "listbox/list_rows.h"

namespace vorn::testing {

// Empty when each row lies at most one level deeper than the row above it (the first at the
// top level) and no closed folder has rows under it; else the first row that breaks this.
inline std::string TreeShapeFault(const ListRows& rows) {
  for (int32_t row = 0, above = -1; row < rows.RowCount(); above = rows.GetRowDepth(row++)) {
    const RowEntry* entry = rows.GetRowEntry(row - 1);
    const bool closed = entry && entry->mFolderState == kCollapsedFolder;
    if (rows.GetRowDepth(row) > above + (closed ? 0 : 1))
      return "row " + std::to_string(row) + " at depth " + std::to_string(rows.GetRowDepth(row)) + " below " +
             (closed ? "a closed folder" : "depth " + std::to_string(above));
  }
  return "";
}

}  // namespace vorn::testing
