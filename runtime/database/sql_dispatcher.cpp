#include "database/sql_dispatcher.h"

#include "database/sql_error.h"
#include "database/sql_statement_parser.h"
#include "database/sql_tokenizer.h"

namespace vorn {

namespace {

bool AtEnd(SqlTokenizer& tokens, SqlError* error) {
  const std::string next = tokens.Next();
  return next.empty() || SqlFail(error, kSqlErrorSyntax, SqlUnexpected(tokens, next));
}

// The second word of CREATE TABLE and ALTER TABLE; any other word is refused with its position.
bool ReadTableWord(SqlTokenizer& tokens, SqlStatementReceiver& receiver) {
  const std::string word = tokens.Next();
  if (SqlIsKeyword(word, "table")) return true;
  receiver.SetError(kSqlErrorSyntax, SqlUnexpected(tokens, word));
  return false;
}

// Parses with `parse` and hands the statement on with `deliver`, or reports the error.
template <typename Statement, typename Parse, typename Deliver>
void Run(SqlTokenizer& tokens, SqlStatementReceiver& receiver, Parse parse, Deliver deliver) {
  Statement statement;
  SqlError error;
  // Every statement is read to its end: text left over was meant to say something.
  if (parse(tokens, &statement, &error) && AtEnd(tokens, &error)) {
    (receiver.*deliver)(statement);
  } else {
    receiver.SetError(error.code, error.message);
  }
}

}  // namespace

void SqlExecuteStatement(std::string_view text, SqlStatementReceiver& receiver) {
  SqlTokenizer tokens(SqlTrimStatementEnd(text));
  const std::string keyword = tokens.Next();
  SqlError error;
  if (SqlIsKeyword(keyword, "commit") || SqlIsKeyword(keyword, "rollback")) {
    if (!AtEnd(tokens, &error)) return receiver.SetError(error.code, error.message);
    if (SqlIsKeyword(keyword, "commit")) return receiver.Commit();
    receiver.Rollback();
  } else if (SqlIsKeyword(keyword, "create")) {
    if (ReadTableWord(tokens, receiver))
      Run<SqlCreateTable>(tokens, receiver, SqlParseCreateTable, &SqlStatementReceiver::CreateTable);
  } else if (SqlIsKeyword(keyword, "alter")) {
    if (ReadTableWord(tokens, receiver))
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
  } else if (!keyword.empty() && !SqlIsKeyword(keyword, "select")) {
    // A misspelt statement word must not pass for a statement that did nothing.
    receiver.SetError(kSqlErrorSyntax, "Unknown statement '" + keyword + "'");
  }
}

}  // namespace vorn
