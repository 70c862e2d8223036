// Whether a list's rows form a tree, as every handler must find and leave them.
#pragma once

#include <string>

#include "listbox/list_rows.h"

namespace vorn::testing {

// Empty when each row lies at most one level deeper than the row above it (the first at the
// top level) and no closed folder has rows under it; else what is wrong, and where.
std::string TreeShapeFault(const ListRows& rows);

}  // namespace vorn::testing
