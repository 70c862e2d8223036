// The grammar of CREATE TABLE, ALTER TABLE, INSERT, UPDATE and DELETE. Each parser starts
// after the statement's leading keywords and stops at the first error, with `error` set.
#pragma once

#include "database/sql_error.h"
#include "database/sql_statements.h"

namespace vorn {

class SqlTokenizer;

// After "create" "table".
bool SqlParseCreateTable(SqlTokenizer& tokens, SqlCreateTable* statement, SqlError* error);
// After "alter" "table"; "drop" in place of "add" is refused.
bool SqlParseAlterTable(SqlTokenizer& tokens, SqlAlterTableAdd* statement, SqlError* error);
// After "insert".
bool SqlParseInsert(SqlTokenizer& tokens, SqlInsert* statement, SqlError* error);
// After "update".
bool SqlParseUpdate(SqlTokenizer& tokens, SqlUpdate* statement, SqlError* error);
// After "delete".
bool SqlParseDelete(SqlTokenizer& tokens, SqlDelete* statement, SqlError* error);

}  // namespace vorn
