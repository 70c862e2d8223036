#include "database/sql_condition.h"

#include <utility>
#include <vector>

#include "database/sql_tokenizer.h"

namespace vorn {

SqlCondition::~SqlCondition() {
  std::vector<std::unique_ptr<SqlCondition>> pending;
  if (left) pending.push_back(std::move(left));
  if (right) pending.push_back(std::move(right));
  while (!pending.empty()) {
    std::unique_ptr<SqlCondition> node = std::move(pending.back());
    pending.pop_back();
    if (node->left) pending.push_back(std::move(node->left));
    if (node->right) pending.push_back(std::move(node->right));
  }
}

namespace {

constexpr const char* kBadIdentifier = "Invalid column/table identifier";

// A column name, plain or "table.column": `first` has been read already.
bool ReadColumn(SqlTokenizer& tokens, const std::string& first, std::string* table,
                std::string* column, SqlError* error) {
  if (!SqlIsIdentifier(first)) return SqlFail(error, kSqlErrorName, kBadIdentifier);
  if (tokens.Next() != ".") {
    tokens.PutBack();
    *column = first;
    return true;
  }
  std::string name = tokens.Next();
  if (!SqlIsIdentifier(name)) return SqlFail(error, kSqlErrorName, kBadIdentifier);
  *table = first;
  *column = std::move(name);
  return true;
}

bool ReadLeft(SqlTokenizer& tokens, SqlCondition* node, SqlError* error) {
  std::string token = tokens.Next();
  const bool upper = SqlIsKeyword(token, "upper");
  if (!upper && !SqlIsKeyword(token, "lower"))
    return ReadColumn(tokens, token, &node->table, &node->column, error);
  if (tokens.Next() != "(") return SqlFail(error, kSqlErrorSyntax, "Expected '('");
  node->column = tokens.Next();
  if (!SqlIsIdentifier(node->column)) return SqlFail(error, kSqlErrorName, kBadIdentifier);
  if (tokens.Next() != ")") return SqlFail(error, kSqlErrorSyntax, "Expected ')'");
  node->function = upper ? kSqlUpperCase : kSqlLowerCase;
  return true;
}

bool ReadOperator(SqlTokenizer& tokens, SqlCondition* node, SqlError* error) {
  static constexpr struct {
    const char* text;
    SqlOperator op;
  } kSymbols[] = {{"=", kSqlEqual},         {"<", kSqlLess},     {">", kSqlGreater},
                  {"<=", kSqlLessOrEqual},  {">=", kSqlGreaterOrEqual},
                  {"<>", kSqlNotEqual},     {"like", kSqlLike}};
  const std::string word = tokens.Next();
  for (const auto& symbol : kSymbols) {
    if (SqlIsKeyword(word, symbol.text)) {
      node->op = symbol.op;
      return true;
    }
  }
  if (SqlIsKeyword(word, "not")) {
    if (!SqlIsKeyword(tokens.Next(), "like"))
      return SqlFail(error, kSqlErrorName, "Invalid operator " + word);
    node->op = kSqlNotLike;
    return true;
  }
  if (SqlIsKeyword(word, "is")) {
    std::string next = tokens.Next();
    node->op = kSqlIsNull;
    if (SqlIsKeyword(next, "not")) {
      next = tokens.Next();
      node->op = kSqlIsNotNull;
    }
    if (!SqlIsKeyword(next, "null")) return SqlFail(error, kSqlErrorName, "Invalid operator " + word);
    return true;
  }
  return SqlFail(error, kSqlErrorName, "Invalid operator " + word);
}

bool ReadRight(SqlTokenizer& tokens, SqlCondition* node, SqlError* error) {
  const std::string token = tokens.Next();
  if (SqlIsQuoted(token)) {
    node->value = SqlValueText(token);
    return true;
  }
  if (node->op == kSqlLike || node->op == kSqlNotLike)
    return SqlFail(error, kSqlErrorName, "Quotes expected after LIKE operation");
  // The Boolean words are values, so that "k = true" reads as a column k holding true.
  if (SqlIsNumericLiteral(token) || SqlIsKeyword(token, "true") || SqlIsKeyword(token, "false")) {
    node->value = token;
    return true;
  }
  if (!SqlIsIdentifier(token)) return SqlFail(error, kSqlErrorSyntax, SqlUnexpected(tokens, token));
  node->rightIsColumn = true;
  return ReadColumn(tokens, token, &node->rightTable, &node->value, error);
}

std::unique_ptr<SqlCondition> ReadComparison(SqlTokenizer& tokens, SqlError* error) {
  auto node = std::make_unique<SqlCondition>();
  if (!ReadLeft(tokens, node.get(), error) || !ReadOperator(tokens, node.get(), error))
    return nullptr;
  if (node->op != kSqlIsNull && node->op != kSqlIsNotNull && !ReadRight(tokens, node.get(), error))
    return nullptr;
  return node;
}

}  // namespace

std::unique_ptr<SqlCondition> SqlParseCondition(SqlTokenizer& tokens, SqlError* error) {
  // Built iteratively: each AND / OR takes the comparison before it as its left side and the
  // rest of the condition as its right side.
  std::unique_ptr<SqlCondition> root;
  std::unique_ptr<SqlCondition>* slot = &root;
  for (int count = 1;; ++count) {
    if (count > kSqlMostComparisons) {
      SqlFail(error, kSqlErrorName, "Too many conditions");
      return nullptr;
    }
    std::unique_ptr<SqlCondition> comparison = ReadComparison(tokens, error);
    if (!comparison) return nullptr;
    const std::string next = tokens.Next();
    const bool isAnd = SqlIsKeyword(next, "and");
    if (!isAnd && !SqlIsKeyword(next, "or")) {
      tokens.PutBack();
      *slot = std::move(comparison);
      return root;
    }
    auto junction = std::make_unique<SqlCondition>();
    junction->op = isAnd ? kSqlAnd : kSqlOr;
    junction->left = std::move(comparison);
    *slot = std::move(junction);
    slot = &(*slot)->right;
  }
}

}  // namespace vorn
