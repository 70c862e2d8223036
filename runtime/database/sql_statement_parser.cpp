#include "database/sql_statement_parser.h"

#include <algorithm>
#include <string>
#include <utility>

#include "database/sql_tokenizer.h"
#include "strings/c_text.h"

namespace vorn {

namespace {

constexpr const char* kExpectingCommaOrParen = "Expecting ',' or ')'";
constexpr const char* kInvalidColumnName = "Invalid column name";
// Key positions are stored in single bytes.
constexpr size_t kMostKeyColumns = 256;

// A statement that changes rows must be read whole: a misspelt WHERE left unread would reach
// every row.
bool AtEnd(const SqlTokenizer& tokens, const std::string& token, SqlError* error) {
  if (token.empty()) return true;
  return SqlFail(error, kSqlErrorSyntax, SqlUnexpected(tokens, token));
}

// A value: a quoted literal, a number, NULL, true or false. A bare word is refused: stored as
// its own text it would hide a missing quote or a column name where no column may stand.
bool ReadValue(SqlTokenizer& tokens, std::string* value, bool* null, SqlError* error) {
  const std::string token = tokens.Next();
  *null = SqlIsKeyword(token, "null");
  if (!SqlIsQuoted(token) && !*null && !SqlIsNumericLiteral(token) && !SqlIsKeyword(token, "true") &&
      !SqlIsKeyword(token, "false"))
    return SqlFail(error, kSqlErrorSyntax, SqlUnexpected(tokens, token));
  *value = SqlValueText(token);
  return true;
}

bool Expect(SqlTokenizer& tokens, const char* keyword, const char* message, SqlError* error) {
  if (SqlIsKeyword(tokens.Next(), keyword)) return true;
  return SqlFail(error, kSqlErrorSyntax, message);
}

// A field type, then an optional "NOT" "NULL".
bool ReadColumnType(SqlTokenizer& tokens, SqlColumnDefinition* column, SqlError* error) {
  static constexpr struct {
    const char* word;
    int32_t code;
  } kTypes[] = {{"smallint", 2}, {"integer", 3},    {"char", 5},  {"character", 5},
                {"varchar", 5},  {"float", 6},      {"double", 7}, {"date", 8},
                {"time", 9},     {"timestamp", 10}, {"boolean", 12}};
  const std::string word = tokens.Next();
  for (const auto& type : kTypes)
    if (SqlIsKeyword(word, type.word)) column->type = type.code;
  if (SqlIsKeyword(word, "long")) {
    const std::string second = tokens.Next();
    if (SqlIsKeyword(second, "varchar")) column->type = 15;
    if (SqlIsKeyword(second, "varbinary")) column->type = 16;
  }
  if (column->type == 0) return SqlFail(error, kSqlErrorSyntax, "Expecting field type");

  if (column->type == 5) {
    // A length is checked but not kept: text columns have no fixed size.
    if (tokens.Next() == "(") {
      if (!SqlIsNumber(tokens.Next()))
        return SqlFail(error, kSqlErrorName, "Invalid field constraint");
      if (tokens.Next() != ")") return SqlFail(error, kSqlErrorSyntax, "Expecting ')'");
    } else {
      tokens.PutBack();
    }
  }
  if (SqlIsKeyword(tokens.Next(), "not")) {
    if (!Expect(tokens, "null", "Expecting 'NULL'", error)) return false;
    column->notNull = true;
  } else {
    tokens.PutBack();
  }
  return true;
}

bool ReadPrimaryKey(SqlTokenizer& tokens, SqlCreateTable* statement, SqlError* error) {
  if (!Expect(tokens, "key", "Expecting 'KEY'", error) ||
      !Expect(tokens, "(", "Expecting '('", error))
    return false;
  for (;;) {
    const std::string name = tokens.Next();
    if (!SqlIsIdentifier(name)) return SqlFail(error, kSqlErrorName, kInvalidColumnName);
    const auto& columns = statement->columns;
    const auto found = std::find_if(columns.begin(), columns.end(), [&](const auto& column) {
      return CStringCompareNoCase(column.name.c_str(), name.c_str()) == 0;
    });
    if (found == columns.end()) return SqlFail(error, kSqlErrorName, "Invalid column");
    const auto position = found - columns.begin();
    if (position > 255 || statement->primaryKey.size() >= kMostKeyColumns)
      return SqlFail(error, kSqlErrorName, "Too many columns");
    statement->primaryKey.push_back(static_cast<uint8_t>(position));
    const std::string next = tokens.Next();
    if (next == ")") return true;
    if (next != ",") return SqlFail(error, kSqlErrorName, kExpectingCommaOrParen);
  }
}

}  // namespace

bool SqlParseCreateTable(SqlTokenizer& tokens, SqlCreateTable* statement, SqlError* error) {
  statement->table = tokens.Next();
  if (!Expect(tokens, "(", "Expecting '('", error)) return false;
  for (;;) {
    std::string name = tokens.Next();
    if (name == ")") return true;
    if (SqlIsKeyword(name, "primary")) {
      if (!ReadPrimaryKey(tokens, statement, error)) return false;
    } else {
      SqlColumnDefinition column;
      column.name = std::move(name);
      if (!ReadColumnType(tokens, &column, error)) return false;
      statement->columns.push_back(std::move(column));
    }
    const std::string next = tokens.Next();
    if (next == ")") return true;
    if (next != ",") return SqlFail(error, kSqlErrorSyntax, kExpectingCommaOrParen);
  }
}

bool SqlParseAlterTable(SqlTokenizer& tokens, SqlAlterTableAdd* statement, SqlError* error) {
  statement->table = tokens.Next();
  const std::string action = tokens.Next();
  if (SqlIsKeyword(action, "drop"))
    return SqlFail(error, kSqlErrorDropColumn, "Dropping columns is not supported for this database");
  if (!SqlIsKeyword(action, "add")) return SqlFail(error, kSqlErrorSyntax, "Expected 'ADD'");
  statement->column.name = tokens.Next();
  if (SqlIsKeyword(statement->column.name, "column")) statement->column.name = tokens.Next();
  return ReadColumnType(tokens, &statement->column, error);
}

bool SqlParseInsert(SqlTokenizer& tokens, SqlInsert* statement, SqlError* error) {
  if (!Expect(tokens, "into", "Expecting 'INTO'", error)) return false;
  statement->table = tokens.Next();
  if (!SqlIsIdentifier(statement->table)) return SqlFail(error, kSqlErrorName, "Invalid table name");

  std::vector<std::string> columns;
  std::string next = tokens.Next();
  if (next == "(") {
    do {
      std::string name = tokens.Next();
      if (!SqlIsIdentifier(name)) return SqlFail(error, kSqlErrorName, kInvalidColumnName);
      columns.push_back(std::move(name));
      next = tokens.Next();
    } while (next == ",");
    if (next != ")") return SqlFail(error, kSqlErrorSyntax, kExpectingCommaOrParen);
    next = tokens.Next();
  }
  if (!SqlIsKeyword(next, "values")) return SqlFail(error, kSqlErrorSyntax, "Expecting 'VALUES'");
  if (!Expect(tokens, "(", "Expecting '('", error)) return false;
  do {
    SqlValueEntry entry;
    bool null = false;
    if (!ReadValue(tokens, &entry.value, &null, error)) return false;
    if (null) entry.type = kSqlNullValue;
    statement->values.push_back(std::move(entry));
    next = tokens.Next();
  } while (next == ",");
  if (next != ")") return SqlFail(error, kSqlErrorSyntax, "Expecting ')'");

  if (!columns.empty()) {
    if (columns.size() != statement->values.size())
      return SqlFail(error, kSqlErrorMismatch, "Mismatched INSERT columns");
    for (size_t i = 0; i < columns.size(); ++i) statement->values[i].column = std::move(columns[i]);
  }
  return true;
}

bool SqlParseUpdate(SqlTokenizer& tokens, SqlUpdate* statement, SqlError* error) {
  statement->table = tokens.Next();
  if (!Expect(tokens, "set", "Expecting 'SET'", error)) return false;
  std::string next;
  do {
    SqlAssignment assignment;
    assignment.column = tokens.Next();
    if (!SqlIsIdentifier(assignment.column))
      return SqlFail(error, kSqlErrorName, kInvalidColumnName);
    if (!Expect(tokens, "=", "Expecting '='", error)) return false;
    if (!ReadValue(tokens, &assignment.value, &assignment.null, error)) return false;
    statement->assignments.push_back(std::move(assignment));
    next = tokens.Next();
  } while (next == ",");
  std::reverse(statement->assignments.begin(), statement->assignments.end());
  if (SqlIsKeyword(next, "where")) {
    statement->condition = SqlParseCondition(tokens, error);
    if (!statement->condition) return false;
    next = tokens.Next();
  }
  return AtEnd(tokens, next, error);
}

bool SqlParseDelete(SqlTokenizer& tokens, SqlDelete* statement, SqlError* error) {
  if (!Expect(tokens, "from", "Expecting 'FROM'", error)) return false;
  statement->table = tokens.Next();
  std::string next = tokens.Next();
  if (SqlIsKeyword(next, "where")) {
    statement->condition = SqlParseCondition(tokens, error);
    if (!statement->condition) return false;
    next = tokens.Next();
  }
  return AtEnd(tokens, next, error);
}

}  // namespace vorn
