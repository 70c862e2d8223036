#include "database/sql_select.h"

#include <charconv>
#include <string>
#include <utility>

#include "database/sql_tokenizer.h"

namespace vorn {

namespace {

constexpr const char* kExpectingComma = "Expecting ','";

class SelectParser {
 public:
  SelectParser(std::string_view text, SqlSelect* select, SqlError* error)
      : mTokens(SqlTrimStatementEnd(text)), mSelect(*select), mError(error) {}

  bool Parse();

 private:
  bool Fail(int32_t code, const char* message) { return SqlFail(mError, code, message); }
  bool ReadItem();
  bool ReadAggregate(const std::string& function, SqlSelectItem* item);
  // After a name: "." and a second name make it "table.column" ("table.*" when `star`
  // allows it); `bad` is the error for a second name that is none.
  bool ReadQualified(const std::string& first, SqlSelectItem* item, bool star, const char* bad);
  bool ReadTables(std::string* next);
  bool ReadOrderBy(std::string* next);
  bool ReadGroupBy();
  void AddHidden(SqlSelectItem item, bool descending);

  SqlTokenizer mTokens;
  SqlSelect& mSelect;
  SqlError* mError;
};

bool SelectParser::Parse() {
  if (!SqlIsKeyword(mTokens.Next(), "select")) return Fail(kSqlErrorSyntax, "Expected 'SELECT'");
  for (;;) {
    if (!ReadItem()) return false;
    const std::string next = mTokens.Next();
    if (SqlIsKeyword(next, "from")) break;
    if (next != ",") return Fail(kSqlErrorSyntax, kExpectingComma);
  }
  std::string next;
  if (!ReadTables(&next)) return false;
  if (SqlIsKeyword(next, "where")) {
    mSelect.condition = SqlParseCondition(mTokens, mError);
    if (!mSelect.condition) return false;
    next = mTokens.Next();
  }
  if (SqlIsKeyword(next, "order") && !ReadOrderBy(&next)) return false;
  if (SqlIsKeyword(next, "group")) {
    if (!mSelect.sortKeys.empty())
      return Fail(kSqlErrorName, "ORDER BY can't be used in conjunction with GROUP BY");
    if (!ReadGroupBy()) return false;
    next = mTokens.Next();
  }
  // Text left unread would be a clause the result silently lacks (a LIMIT, a later ORDER BY).
  if (!next.empty()) return SqlFail(mError, kSqlErrorSyntax, SqlUnexpected(mTokens, next));
  return true;
}

bool SelectParser::ReadItem() {
  const std::string first = mTokens.Next();
  SqlSelectItem item;
  if (first == "*") {
    item.column = first;
  } else {
    if (!SqlIsIdentifier(first)) return Fail(kSqlErrorName, "Invalid column/table name");
    if (mTokens.Next() == "(") {
      if (!ReadAggregate(first, &item)) return false;
    } else {
      mTokens.PutBack();
      if (!ReadQualified(first, &item, true, "Invalid column name")) return false;
    }
  }
  mSelect.items.push_back(std::move(item));
  return true;
}

bool SelectParser::ReadAggregate(const std::string& function, SqlSelectItem* item) {
  static constexpr struct {
    const char* name;
    SqlAggregate code;
  } kFunctions[] = {{"min", kSqlMinimum}, {"max", kSqlMaximum}, {"sum", kSqlSum},
                    {"avg", kSqlAverage}};
  if (SqlIsKeyword(function, "count")) {
    if (mTokens.Next() != "*") return Fail(kSqlErrorName, "Only COUNT(*) supported");
    item->column.assign(1, '*');
    item->aggregate = kSqlCount;
  } else {
    for (const auto& known : kFunctions)
      if (SqlIsKeyword(function, known.name)) item->aggregate = known.code;
    if (item->aggregate == kSqlPlainColumn) return Fail(kSqlErrorName, "Unsupported SELECT function");
    const std::string column = mTokens.Next();
    if (!SqlIsIdentifier(column)) return Fail(kSqlErrorName, "Invalid column/table name");
    if (!ReadQualified(column, item, false, "Invalid column name")) return false;
  }
  if (mTokens.Next() != ")") return Fail(kSqlErrorSyntax, "Expected ')'");
  return true;
}

bool SelectParser::ReadQualified(const std::string& first, SqlSelectItem* item, bool star,
                                 const char* bad) {
  if (mTokens.Next() != ".") {
    mTokens.PutBack();
    item->column = first;
    return true;
  }
  std::string second = mTokens.Next();
  if (!(star && second == "*") && !SqlIsIdentifier(second)) return Fail(kSqlErrorName, bad);
  item->table = first;
  item->column = std::move(second);
  return true;
}

bool SelectParser::ReadTables(std::string* next) {
  for (;;) {
    std::string table = mTokens.Next();
    if (!SqlIsIdentifier(table)) return Fail(kSqlErrorName, "Invalid table name");
    mSelect.tables.push_back(std::move(table));
    *next = mTokens.Next();
    if (*next == ",") continue;
    if (next->empty() || SqlIsKeyword(*next, "where") || SqlIsKeyword(*next, "order") ||
        SqlIsKeyword(*next, "group"))
      return true;
    return Fail(kSqlErrorSyntax, kExpectingComma);
  }
}

void SelectParser::AddHidden(SqlSelectItem item, bool descending) {
  SqlSortKey key;
  key.hidden = mSelect.hiddenCount++;
  key.descending = descending;
  mSelect.items.push_back(std::move(item));
  mSelect.sortKeys.push_back(key);
}

bool SelectParser::ReadOrderBy(std::string* next) {
  if (!SqlIsKeyword(mTokens.Next(), "by")) return Fail(kSqlErrorSyntax, "Expecting 'BY'");
  for (;;) {
    if (mSelect.sortKeys.size() >= kSqlMostSortKeys)
      return Fail(kSqlErrorName, "Too many ORDER BY columns");
    const char* invalid = mSelect.sortKeys.empty() ? "Invalid ORDER BY column"
                                                   : "Invalid column index";
    const std::string first = mTokens.Next();
    SqlSelectItem column;
    int32_t position = -1;
    if (SqlIsNumber(first)) {
      // Positions count from 1; 0 names no column.
      int32_t number = 0;
      const auto [end, result] = std::from_chars(first.data(), first.data() + first.size(), number);
      if (result != std::errc() || number < 1) return Fail(kSqlErrorName, invalid);
      position = number - 1;
    } else if (!SqlIsIdentifier(first)) {
      return Fail(kSqlErrorName, invalid);
    } else if (!ReadQualified(first, &column, false, invalid)) {
      return false;
    }
    *next = mTokens.Next();
    bool descending = false;
    if (SqlIsKeyword(*next, "desc") || SqlIsKeyword(*next, "asc")) {
      descending = SqlIsKeyword(*next, "desc");
      *next = mTokens.Next();
    }
    if (position >= 0) {
      mSelect.sortKeys.push_back({position, -1, descending});
    } else {
      AddHidden(std::move(column), descending);
    }
    if (*next != ",") return true;
  }
}

bool SelectParser::ReadGroupBy() {
  if (!SqlIsKeyword(mTokens.Next(), "by")) return Fail(kSqlErrorSyntax, "Expecting 'BY'");
  const std::string first = mTokens.Next();
  if (!SqlIsIdentifier(first)) return Fail(kSqlErrorName, "Invalid GROUP BY column");
  SqlSelectItem column;
  if (!ReadQualified(first, &column, false, "Invalid GROUP BY column")) return false;
  if (mTokens.Next() == ",")
    return Fail(kSqlErrorName, "Only single GROUP BY columns currently supported");
  mTokens.PutBack();
  AddHidden(std::move(column), false);
  mSelect.groupBy = true;
  return true;
}

}  // namespace

std::unique_ptr<SqlSelect> SqlParseSelect(std::string_view text, SqlError* error) {
  auto select = std::make_unique<SqlSelect>();
  if (!SelectParser(text, select.get(), error).Parse()) return nullptr;
  return select;
}

}  // namespace vorn
