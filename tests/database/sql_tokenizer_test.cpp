#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/sql_tokenizer.h"

namespace vorn {
namespace {

std::vector<std::string> Tokens(std::string_view text) {
  SqlTokenizer tokens(text);
  std::vector<std::string> result;
  for (std::string token = tokens.Next(); !token.empty(); token = tokens.Next())
    result.push_back(token);
  return result;
}

using Texts = std::vector<std::string>;

TEST(SqlTokenizerTest, OperatorsAndPunctuationSplitWords) {
  EXPECT_EQ(Tokens("a<=b<>c<d>=e>f=g"),
            (Texts{"a", "<=", "b", "<>", "c", "<", "d", ">=", "e", ">", "f", "=", "g"}));
  EXPECT_EQ(Tokens("count(*),t.c"), (Texts{"count", "(", "*", ")", ",", "t", ".", "c"}));
  EXPECT_EQ(Tokens("  \t\n select\r\n"), (Texts{"select"}));
}

TEST(SqlTokenizerTest, NumbersTakeDigitsAndDotsAfterADigitOrMinus) {
  EXPECT_EQ(Tokens("- 1.2.3 -7 12abc"), (Texts{"-", "1.2.3", "-7", "12abc"}));
}

TEST(SqlTokenizerTest, WordsKeepStarsSemicolonsAndQuotes) {
  EXPECT_EQ(Tokens("a*b; it's! x\"y"), (Texts{"a*b;", "it's!", "x\"y"}));
}

TEST(SqlTokenizerTest, QuotedLiteralsKeepTheirQuotesAndUndoubleInnerOnes) {
  EXPECT_EQ(Tokens("'it''s' \"say \"\"hi\"\"\""), (Texts{"'it's'", "\"say \"hi\"\""}));
  EXPECT_EQ(Tokens("'a \"b\" c'"), (Texts{"'a \"b\" c'"}));
  // An unclosed literal runs to the end and is still closed.
  EXPECT_EQ(Tokens("x = 'open"), (Texts{"x", "=", "'open'"}));
  EXPECT_EQ(Tokens("''"), (Texts{"''"}));
}

TEST(SqlTokenizerTest, BracketedNamesLoseTheirBrackets) {
  EXPECT_EQ(Tokens("[first name].[x,y] [open"), (Texts{"first name", ".", "x,y", "open"}));
}

TEST(SqlTokenizerTest, PutBackReadsTheSameTokenAgain) {
  SqlTokenizer tokens("[my col] 'it''s' rest");
  EXPECT_EQ(tokens.Next(), "my col");
  tokens.PutBack();
  EXPECT_EQ(tokens.Next(), "my col");
  EXPECT_EQ(tokens.Next(), "'it's'");
  tokens.PutBack();
  EXPECT_EQ(tokens.Next(), "'it's'");
  EXPECT_EQ(tokens.Next(), "rest");
  EXPECT_EQ(tokens.Next(), "");
  tokens.PutBack();
  EXPECT_EQ(tokens.Next(), "");
}

TEST(SqlTokenizerTest, BytesFromHexEightyBelongToWords) {
  EXPECT_EQ(Tokens("Gr\xC3\xB6\xC3\x9F" "e=1"), (Texts{"Gr\xC3\xB6\xC3\x9F" "e", "=", "1"}));
}

TEST(SqlTokenizerTest, StatementEndLosesSemicolonsAndWhiteSpace) {
  EXPECT_EQ(SqlTrimStatementEnd("commit;;;"), "commit");
  EXPECT_EQ(SqlTrimStatementEnd("select a;b ; \n"), "select a;b");
  EXPECT_EQ(SqlTrimStatementEnd(";"), "");
}

TEST(SqlTokenizerTest, NameChecks) {
  EXPECT_TRUE(SqlIsIdentifier("a"));
  EXPECT_TRUE(SqlIsIdentifier("first name"));
  EXPECT_TRUE(SqlIsIdentifier("n#_9"));
  EXPECT_TRUE(SqlIsIdentifier("\xC3\xA9t\xC3\xA9"));
  EXPECT_FALSE(SqlIsIdentifier(""));
  EXPECT_FALSE(SqlIsIdentifier("9a"));
  EXPECT_FALSE(SqlIsIdentifier("_a"));
  EXPECT_FALSE(SqlIsIdentifier("a-b"));
  EXPECT_FALSE(SqlIsIdentifier("*"));

  EXPECT_TRUE(SqlIsNumber("0123"));
  EXPECT_FALSE(SqlIsNumber(""));
  EXPECT_FALSE(SqlIsNumber("1.5"));
  EXPECT_FALSE(SqlIsNumber("-1"));
}

TEST(SqlTokenizerTest, KeywordsIgnoreCaseAndValuesLoseQuotes) {
  EXPECT_TRUE(SqlIsKeyword("SeLeCt", "select"));
  EXPECT_FALSE(SqlIsKeyword("selects", "select"));
  EXPECT_EQ(SqlValueText("'two'"), "two");
  EXPECT_EQ(SqlValueText("NULL"), "NULL");
  EXPECT_EQ(SqlValueText("-7"), "-7");
}

}  // namespace
}  // namespace vorn
