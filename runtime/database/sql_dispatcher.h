// Runs a statement other than a query: reads its first word, parses the statement and hands
// it, checked, to the receiver that stands for the database's engine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "database/sql_statements.h"

namespace vorn {

// What a database does with checked statements. Every call comes with a complete, valid
// statement; SetError reports a statement that could not be parsed.
class SqlStatementReceiver {
 public:
  virtual ~SqlStatementReceiver() = default;

  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  virtual void CreateTable(const SqlCreateTable& statement) = 0;
  virtual void AlterTableAdd(const SqlAlterTableAdd& statement) = 0;
  virtual void Insert(const SqlInsert& statement) = 0;
  virtual void Update(const SqlUpdate& statement) = 0;
  virtual void Delete(const SqlDelete& statement) = 0;
  virtual void SetError(int32_t code, const std::string& message) = 0;
};

// The statement's ";" and white space at its end are ignored. An unknown first word (SELECT
// included) does nothing and sets no error, and so do CREATE and ALTER of anything but a table.
void SqlExecuteStatement(std::string_view text, SqlStatementReceiver& receiver);

}  // namespace vorn
