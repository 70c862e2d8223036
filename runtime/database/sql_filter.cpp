#include "database/sql_filter.h"

namespace vorn {

std::unique_ptr<SqlFilter> SqlMakeFilter(const SqlCondition* condition) {
  if (!condition) return nullptr;
  auto filter = std::make_unique<SqlFilter>();
  filter->op = condition->op;
  if (condition->IsJunction()) {
    // Conditions are at most kSqlMostComparisons deep, so recursion stays shallow.
    filter->left = SqlMakeFilter(condition->left.get());
    filter->right = SqlMakeFilter(condition->right.get());
  } else {
    filter->mode = condition->function;
    filter->column = condition->column;
    filter->value = condition->value;
  }
  return filter;
}

}  // namespace vorn
