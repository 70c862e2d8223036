// Whether a list's rows form a tree, as every handler must find and leave them.
#pragma once

#include <string>

#include "listbox/list_rows.h"

namespace vorn::testing {

// Empty when each row lies at most one level deeper than the row above it (the first at the
// top level), and deeper only below an open folder; else the first row that breaks this.
inline std::string TreeShapeFault(const ListRows& rows) {
  for (int32_t row = 0, above = -1; row < rows.RowCount(); above = rows.GetRowDepth(row++)) {
    const RowEntry* entry = rows.GetRowEntry(row - 1);
    const bool open = !entry || entry->mFolderState == kExpandedFolder;
    if (rows.GetRowDepth(row) > above + (open ? 1 : 0))
      return "row " + std::to_string(row) + " at depth " + std::to_string(rows.GetRowDepth(row)) + " below " +
             (open ? "depth " + std::to_string(above) : "a row that is not an open folder");
  }
  return "";
}

}  // namespace vorn::testing
