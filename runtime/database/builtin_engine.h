// The built-in engine's records: its database handle wraps a vndbHandle, its cursors wrap
// vndbCursors (or a snapshot of a table's columns for the field schema).
#pragma once

#include <memory>
#include <string>

#include "database/db_handle.h"
#include "objects/runtime_object.h"
#include "vorn/database_api.h"

namespace vorn {

extern dbEngineDefinition gBuiltInEngine;

// A Database bound to the built-in engine over the handle (one reference); nil without one.
RuntimeObject* WrapBuiltInDatabase(std::unique_ptr<vndbHandle> handle);

}  // namespace vorn
