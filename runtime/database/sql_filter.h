// The condition of an UPDATE or DELETE in the form a table cursor of an engine takes: a tree of
// comparisons on the table's own columns joined by AND and OR.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/sql_condition.h"
#include "strings/vstring.h"
#include "vorn/database_api.h"

namespace vorn {

struct SqlFilter {
  std::unique_ptr<SqlFilter> left;   // AND / OR only; null imposes no restriction
  std::unique_ptr<SqlFilter> right;  // AND / OR only; null imposes no restriction
  int32_t op = kSqlEqual;
  // What the row's value is compared as: the SqlFunction of the comparison, with
  // VORN_DB_FILTER_COLUMN added when `value` names a column of the row.
  int32_t mode = kSqlNoFunction;
  std::string column;  // empty for AND / OR
  // The literal's text, or the name of a right-hand column; empty for AND / OR.
  std::string value;
};

// The filter of a condition; null for no condition.
std::unique_ptr<SqlFilter> SqlMakeFilter(const SqlCondition* condition);

// A filter in the engine's own record form, owning every node and string of the tree.
class SqlEngineFilter {
 public:
  explicit SqlEngineFilter(const SqlFilter* filter);
  SqlEngineFilter(const SqlEngineFilter&) = delete;
  SqlEngineFilter& operator=(const SqlEngineFilter&) = delete;

  // Null for no filter; valid while this object lives.
  dbFilter* Root() const { return mRoot; }

 private:
  dbFilter* Add(const SqlFilter* filter);

  std::vector<std::unique_ptr<dbFilter>> mNodes;
  std::vector<string> mTexts;  // what the nodes point at; moving a string keeps its record
  dbFilter* mRoot = nullptr;
};

}  // namespace vorn
