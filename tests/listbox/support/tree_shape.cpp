#include "listbox/support/tree_shape.h"

namespace vorn::testing {

std::string TreeShapeFault(const ListRows& rows) {
  int32_t above = -1;  // the depth of the row above; none above the first
  for (int32_t row = 0; row < rows.RowCount(); ++row) {
    const int32_t depth = rows.GetRowDepth(row);
    if (depth > above + 1)
      return "row " + std::to_string(row) + " at depth " + std::to_string(depth) + " under depth " + std::to_string(above);
    const RowEntry* entry = rows.GetRowEntry(row - 1);
    if (entry && entry->mFolderState == kCollapsedFolder && depth > above)
      return "row " + std::to_string(row) + " under the closed folder above it";
    above = depth;
  }
  return "";
}

}  // namespace vorn::testing
