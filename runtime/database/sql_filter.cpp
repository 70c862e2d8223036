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
    filter->mode = condition->function | (condition->rightIsColumn ? VORN_DB_FILTER_COLUMN : 0);
    filter->column = condition->column;
    filter->value = condition->value;
  }
  return filter;
}

SqlEngineFilter::SqlEngineFilter(const SqlFilter* filter) {
  mRoot = Add(filter);
}

dbFilter* SqlEngineFilter::Add(const SqlFilter* filter) {
  if (!filter) return nullptr;
  auto node = std::make_unique<dbFilter>();
  node->op = filter->op;
  node->mode = filter->mode;
  node->left = Add(filter->left.get());
  node->right = Add(filter->right.get());
  node->column = node->value = nullptr;
  if (!(filter->op == kSqlAnd || filter->op == kSqlOr)) {
    mTexts.emplace_back(filter->column, kEncodingUTF8);
    node->column = mTexts.back().Rep();
    mTexts.emplace_back(filter->value, kEncodingUTF8);
    node->value = mTexts.back().Rep();
  }
  mNodes.push_back(std::move(node));
  return mNodes.back().get();
}

}  // namespace vorn
