// Runs a parsed SELECT over a database's engine record: names checked against the tables, a
// nested-loop join whose conditions go down into each table's cursor, rows ordered on request.
#pragma once

#include <memory>
#include <optional>

#include "database/database_objects.h"
#include "database/sql_select.h"

namespace vorn {

// A RecordSet over the result (one reference), or nil with the database's error set. The
// database must be open; the result keeps it and the statement's text for rewinding.
RuntimeObject* SqlRunQuery(DatabaseObject* database, std::unique_ptr<SqlSelect> select, const string& text);

// Whether a result SqlRunQuery made stands on a row, which it knows without counting its rows;
// nothing for another cursor record.
std::optional<bool> SqlResultOnRow(const dbCursorDefinition* definition, void* handle);

}  // namespace vorn
