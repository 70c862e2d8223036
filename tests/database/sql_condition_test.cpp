#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "database/sql_condition.h"
#include "database/sql_filter.h"
#include "database/sql_tokenizer.h"

namespace vorn {
namespace {

struct Parsed {
  std::unique_ptr<SqlCondition> condition;
  SqlError error;
  std::string rest;  // the token after the condition
};

Parsed Parse(std::string_view text) {
  Parsed parsed;
  SqlTokenizer tokens(text);
  parsed.condition = SqlParseCondition(tokens, &parsed.error);
  parsed.rest = tokens.Next();
  return parsed;
}

void ExpectError(std::string_view text, int32_t code, const std::string& message) {
  const Parsed parsed = Parse(text);
  EXPECT_FALSE(parsed.condition) << text;
  EXPECT_EQ(parsed.error.code, code) << text;
  EXPECT_EQ(parsed.error.message, message) << text;
}

TEST(SqlConditionTest, ComparisonOperatorsAndTheirCodes) {
  const struct {
    const char* text;
    int32_t op;
  } cases[] = {{"a = 1", 0},        {"a < 1", 1},           {"a > 1", 2},
               {"a <= 1", 3},       {"a >= 1", 4},          {"a <> 1", 5},
               {"a LIKE 'x%'", 6},  {"a not Like 'x%'", 7}, {"a is null", 8},
               {"a IS NOT NULL", 9}};
  for (const auto& c : cases) {
    const Parsed parsed = Parse(c.text);
    ASSERT_TRUE(parsed.condition) << c.text << ": " << parsed.error.message;
    EXPECT_EQ(parsed.condition->op, c.op) << c.text;
    EXPECT_EQ(parsed.condition->column, "a");
  }
}

TEST(SqlConditionTest, RightSideIsLiteralOrColumn) {
  Parsed parsed = Parse("t.a = 'it''s'");
  ASSERT_TRUE(parsed.condition);
  EXPECT_EQ(parsed.condition->table, "t");
  EXPECT_EQ(parsed.condition->value, "it's");
  EXPECT_FALSE(parsed.condition->rightIsColumn);

  parsed = Parse("a >= -7.5");
  ASSERT_TRUE(parsed.condition);
  EXPECT_EQ(parsed.condition->value, "-7.5");
  EXPECT_FALSE(parsed.condition->rightIsColumn);

  parsed = Parse("a = u.b order by a");
  ASSERT_TRUE(parsed.condition);
  EXPECT_TRUE(parsed.condition->rightIsColumn);
  EXPECT_EQ(parsed.condition->rightTable, "u");
  EXPECT_EQ(parsed.condition->value, "b");
  EXPECT_EQ(parsed.rest, "order");

  parsed = Parse("a = b");
  ASSERT_TRUE(parsed.condition);
  EXPECT_TRUE(parsed.condition->rightIsColumn);
  EXPECT_EQ(parsed.condition->rightTable, "");
  EXPECT_EQ(parsed.condition->value, "b");
}

TEST(SqlConditionTest, UpperAndLowerApplyToTheLeftColumn) {
  Parsed parsed = Parse("UPPER(name) = 'VEGA'");
  ASSERT_TRUE(parsed.condition);
  EXPECT_EQ(parsed.condition->function, kSqlUpperCase);
  EXPECT_EQ(parsed.condition->column, "name");
  parsed = Parse("lower ( name ) like 'v%'");
  ASSERT_TRUE(parsed.condition);
  EXPECT_EQ(parsed.condition->function, kSqlLowerCase);
  EXPECT_EQ(parsed.condition->op, kSqlLike);

  ExpectError("upper name = 1", 200, "Expected '('");
  ExpectError("upper(name = 1", 200, "Expected ')'");
  ExpectError("upper(t.name) = 1", 200, "Expected ')'");
  ExpectError("lower(1) = 1", 201, "Invalid column/table identifier");
}

TEST(SqlConditionTest, AndOrGroupToTheRightWithEqualPrecedence) {
  const Parsed parsed = Parse("a = 1 and b = 2 OR c = 3 group");
  ASSERT_TRUE(parsed.condition);
  const SqlCondition& root = *parsed.condition;
  EXPECT_EQ(root.op, kSqlAnd);
  EXPECT_EQ(root.left->column, "a");
  ASSERT_TRUE(root.right);
  EXPECT_EQ(root.right->op, kSqlOr);
  EXPECT_EQ(root.right->left->column, "b");
  EXPECT_EQ(root.right->right->column, "c");
  EXPECT_EQ(parsed.rest, "group");
}

TEST(SqlConditionTest, BadComparisonsAreNamed) {
  ExpectError("name like abc", 201, "Quotes expected after LIKE operation");
  ExpectError("name not like 5", 201, "Quotes expected after LIKE operation");
  ExpectError("a Is followed", 201, "Invalid operator Is");
  ExpectError("a is not there", 201, "Invalid operator is");
  ExpectError("a NOT in", 201, "Invalid operator NOT");
  ExpectError("a ~ 1", 201, "Invalid operator ~");
  ExpectError("a", 201, "Invalid operator ");
  ExpectError("1 = a", 201, "Invalid column/table identifier");
  ExpectError("t.1 = a", 201, "Invalid column/table identifier");
  ExpectError("a = t.'x'", 201, "Invalid column/table identifier");
  ExpectError("a = 1 and", 201, "Invalid column/table identifier");
}

TEST(SqlConditionTest, LongChainsAreBoundedAndFreedWithoutRecursion) {
  std::string text = "a = 1";
  for (int i = 1; i < kSqlMostComparisons; ++i) text += " and a = 1";
  Parsed parsed = Parse(text);
  ASSERT_TRUE(parsed.condition);
  // Each junction holds one comparison on its left; the chain ends in the last comparison.
  int comparisons = 0;
  for (const SqlCondition* node = parsed.condition.get(); node; node = node->right.get()) {
    ++comparisons;
    if (node->IsJunction()) {
      EXPECT_FALSE(node->left->IsJunction());
    }
  }
  EXPECT_EQ(comparisons, kSqlMostComparisons);
  ExpectError(text + " or b = 2", 201, "Too many conditions");
}

TEST(SqlConditionTest, FilterKeepsTheTreeWithComparisonModesAndTexts) {
  EXPECT_FALSE(SqlMakeFilter(nullptr));
  const Parsed parsed = Parse("upper(name) like 'V%' or mag >= b and c is null");
  ASSERT_TRUE(parsed.condition);
  const auto filter = SqlMakeFilter(parsed.condition.get());
  ASSERT_TRUE(filter);
  EXPECT_EQ(filter->op, kSqlOr);
  EXPECT_EQ(filter->column, "");
  EXPECT_EQ(filter->value, "");
  ASSERT_TRUE(filter->left);
  EXPECT_EQ(filter->left->op, kSqlLike);
  EXPECT_EQ(filter->left->mode, kSqlUpperCase);
  EXPECT_EQ(filter->left->column, "name");
  EXPECT_EQ(filter->left->value, "V%");
  ASSERT_TRUE(filter->right && filter->right->left && filter->right->right);
  EXPECT_EQ(filter->right->op, kSqlAnd);
  // A column on the right is handed on by its name, marked as a column.
  EXPECT_EQ(filter->right->left->op, kSqlGreaterOrEqual);
  EXPECT_EQ(filter->right->left->mode, kSqlNoFunction | VORN_DB_FILTER_COLUMN);
  EXPECT_EQ(filter->right->left->value, "b");
  EXPECT_EQ(filter->right->right->op, kSqlIsNull);
  EXPECT_EQ(filter->right->right->column, "c");
}

}  // namespace
}  // namespace vorn
