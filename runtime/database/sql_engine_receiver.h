// Runs statements other than queries on a database's engine record, for engines that take no
// SQL of their own.
#pragma once

#include "database/database_objects.h"

namespace vorn {

// The database must be open. Errors of the statement itself land on the database; those of
// the engine's operations are the engine's to report.
void SqlExecuteOnEngine(DatabaseObject* database, const string& sql);

}  // namespace vorn
