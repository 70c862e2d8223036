// Fuzzes the SQL layer's parsing: the input is run both as a statement (through the
// dispatcher, into a receiver that walks what it is handed) and as a query. Every refusal must
// carry a known code and a message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "database/sql_dispatcher.h"
#include "database/sql_filter.h"
#include "database/sql_select.h"

namespace {

using namespace vorn;

void CheckError(int32_t code, const std::string& message) {
  const bool known = (code >= kSqlErrorSyntax && code <= kSqlErrorMismatch) ||
                     code == kSqlErrorDropTable || code == kSqlErrorDropColumn;
  if (!known || message.empty()) __builtin_trap();
}

// Walks a condition tree without recursion, checking its shape and that of its filter.
void CheckCondition(const SqlCondition* root) {
  const std::unique_ptr<SqlFilter> filter = SqlMakeFilter(root);
  const SqlFilter* step = filter.get();
  for (const SqlCondition* node = root; node; node = node->right.get()) {
    const SqlCondition* comparison = node->IsJunction() ? node->left.get() : node;
    if (!comparison || comparison->IsJunction() || comparison->column.empty()) __builtin_trap();
    if (!node->IsJunction() && node->right) __builtin_trap();
    if (!step || step->op != node->op) __builtin_trap();
    step = step->right.get();
  }
  if (step) __builtin_trap();
}

class Checker : public SqlStatementReceiver {
 public:
  void Commit() override {}
  void Rollback() override {}
  void CreateTable(const SqlCreateTable& statement) override {
    for (uint8_t position : statement.primaryKey)
      if (position >= statement.columns.size()) __builtin_trap();
    for (const auto& column : statement.columns)
      if (column.type < 2 || column.type > 16) __builtin_trap();
  }
  void AlterTableAdd(const SqlAlterTableAdd& statement) override {
    if (statement.column.type < 2 || statement.column.type > 16) __builtin_trap();
  }
  void Insert(const SqlInsert& statement) override {
    if (statement.values.empty()) __builtin_trap();
  }
  void Update(const SqlUpdate& statement) override {
    if (statement.assignments.empty()) __builtin_trap();
    CheckCondition(statement.condition.get());
  }
  void Delete(const SqlDelete& statement) override { CheckCondition(statement.condition.get()); }
  void SetError(int32_t code, const std::string& message) override { CheckError(code, message); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (size_t(1) << 20)) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Checker checker;
  SqlExecuteStatement(text, checker);

  SqlError error;
  const std::unique_ptr<SqlSelect> select = SqlParseSelect(text, &error);
  if (!select) {
    CheckError(error.code, error.message);
    return 0;
  }
  if (select->items.empty() || select->tables.empty() ||
      select->sortKeys.size() > kSqlMostSortKeys ||
      select->hiddenCount > static_cast<int32_t>(select->items.size()))
    __builtin_trap();
  for (const SqlSortKey& key : select->sortKeys)
    if ((key.position < 0) == (key.hidden < 0) || key.hidden >= select->hiddenCount) __builtin_trap();
  CheckCondition(select->condition.get());
  return 0;
}
