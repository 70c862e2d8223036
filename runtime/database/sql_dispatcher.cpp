#include "database/sql_dispatcher.h"

#include "database/sql_error.h"
#include "database/sql_statement_parser.h"
#include "database/sql_tokenizer.h"

namespace vorn {

namespace {

// Parses with `parse` and hands the statement on with `deliver`, or reports the error.
template <typename Statement, typename Parse, typename Deliver>
void Run(SqlTokenizer& tokens, SqlStatementReceiver& receiver, Parse parse, Deliver deliver) {
  Statement statement;
  SqlError error;
  if (parse(tokens, &statement, &error)) {
    (receiver.*deliver)(statement);
  } else {
    receiver.SetError(error.code, error.message);
  }
}

}  // namespace

void SqlExecuteStatement(std::string_view text, SqlStatementReceiver& receiver) {
  SqlTokenizer tokens(SqlTrimStatementEnd(text));
  const std::string keyword = tokens.Next();
  if (SqlIsKeyword(keyword, "commit")) {
    receiver.Commit();
  } else if (SqlIsKeyword(keyword, "rollback")) {
    receiver.Rollback();
  } else if (SqlIsKeyword(keyword, "create")) {
    if (SqlIsKeyword(tokens.Next(), "table"))
      Run<SqlCreateTable>(tokens, receiver, SqlParseCreateTable, &SqlStatementReceiver::CreateTable);
  } else if (SqlIsKeyword(keyword, "alter")) {
    if (SqlIsKeyword(tokens.Next(), "table"))
      Run<SqlAlterTableAdd>(tokens, receiver, SqlParseAlterTable,
                            &SqlStatementReceiver::AlterTableAdd);
  } else if (SqlIsKeyword(keyword, "update")) {
    Run<SqlUpdate>(tokens, receiver, SqlParseUpdate, &SqlStatementReceiver::Update);
  } else if (SqlIsKeyword(keyword, "delete")) {
    Run<SqlDelete>(tokens, receiver, SqlParseDelete, &SqlStatementReceiver::Delete);
  } else if (SqlIsKeyword(keyword, "insert")) {
    Run<SqlInsert>(tokens, receiver, SqlParseInsert, &SqlStatementReceiver::Insert);
  } else if (SqlIsKeyword(keyword, "drop")) {
    receiver.SetError(kSqlErrorDropTable,
                      "Dropping tables from this database is not currently supported.");
  }
}

}  // namespace vorn
