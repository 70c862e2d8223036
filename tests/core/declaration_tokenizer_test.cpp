#include "core/declaration_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vorn {
namespace {

using Token = std::pair<int32_t, std::string>;

// Every token of the text with its text, through the global cursor.
std::vector<Token> Tokens(const char* text, bool skipComments = false) {
  TokenizerBegin(text);
  std::vector<Token> tokens;
  for (int32_t code = 0; tokens.size() < 10000;) {
    code = skipComments ? NextTokenSkippingComments() : NextToken();
    if (code == kTokenEnd) break;
    tokens.emplace_back(code, LastTokenText());
  }
  return tokens;
}

std::vector<int32_t> Codes(const char* text) {
  std::vector<int32_t> codes;
  for (const Token& token : Tokens(text)) codes.push_back(token.first);
  return codes;
}

std::pair<int32_t, int32_t> Bounds() {
  int32_t start = -1;
  int32_t end = -1;
  GetTokenBounds(start, end);
  return {start, end};
}

TEST(DeclarationTokenizerTest, KeywordsIgnoreCaseAndConstReadsAsByVal) {
  EXPECT_EQ(Codes("If if IF"), (std::vector<int32_t>{kTokenIf, kTokenIf, kTokenIf}));
  EXPECT_EQ(Tokens("Const"), (std::vector<Token>{{kTokenByVal, "Const"}}));
  // Places on both sides of the table's empty entry.
  EXPECT_EQ(Codes("Rem me ByVal Optional Declare object"),
            (std::vector<int32_t>{kTokenComment, 304, kTokenByVal, 308, 313, 342}));
  EXPECT_EQ(Codes("Iff Widget _x ~tilde"), (std::vector<int32_t>(4, kTokenIdentifier)));

  EXPECT_TRUE(IsDeclarationKeyword("ELSEIF"));
  EXPECT_TRUE(IsDeclarationKeyword("#ElseIf"));
  EXPECT_TRUE(IsDeclarationKeyword("#PRAGMA"));
  EXPECT_FALSE(IsDeclarationKeyword(""));
  EXPECT_FALSE(IsDeclarationKeyword(string()));
  EXPECT_FALSE(IsDeclarationKeyword("Widget"));
}

TEST(DeclarationTokenizerTest, IdentifiersTakeHighBytesButNotTildeAfterTheFirst) {
  EXPECT_EQ(Tokens("na\xC3\xAFve_2~x"),
            (std::vector<Token>{{kTokenIdentifier, "na\xC3\xAFve_2"}, {kTokenIdentifier, "~x"}}));
}

TEST(DeclarationTokenizerTest, TenDigitNumbersAreIntegersUpToTheLargestInteger) {
  EXPECT_EQ(Tokens("2147483647 2147483648 12345678901 999999999"),
            (std::vector<Token>{{kTokenInteger, "2147483647"},
                                {kTokenFloat, "2147483648"},
                                {kTokenFloat, "12345678901"},
                                {kTokenInteger, "999999999"}}));
  EXPECT_EQ(LiteralValue("2147483647"), 2147483647);
}

TEST(DeclarationTokenizerTest, PointsAndExponentsMakeFloatingLiterals) {
  EXPECT_EQ(Tokens("3. 4e 1.5e-3 2E+ 7e+x .5)"),
            (std::vector<Token>{{kTokenFloat, "3."},
                                {kTokenFloat, "4e"},
                                {kTokenFloat, "1.5e-3"},
                                {kTokenFloat, "2E+"},
                                {kTokenFloat, "7e+"},
                                {kTokenIdentifier, "x"},
                                {kTokenFloat, ".5"},
                                {')', ")"}}));
}

TEST(DeclarationTokenizerTest, RadixLiteralsKeepTheirLetterInUpperCase) {
  EXPECT_EQ(Tokens("&hff &o17 &B101 &c00FF00 &cFF00FF80 &O9"),
            (std::vector<Token>{{kTokenInteger, "&Hff"},
                                {kTokenInteger, "&O17"},
                                {kTokenInteger, "&B101"},
                                {kTokenColor, "&C00FF00"},
                                {kTokenLongColor, "&CFF00FF80"},
                                {kTokenInteger, "&O"},
                                {kTokenInteger, "9"}}));
  EXPECT_EQ(Tokens("&x &"), (std::vector<Token>{{'&', "&"}, {kTokenIdentifier, "x"}, {'&', "&"}}));
}

TEST(DeclarationTokenizerTest, LiteralValues) {
  EXPECT_EQ(LiteralValue("&Hff"), 255);
  EXPECT_EQ(LiteralValue("&O17"), 15);
  EXPECT_EQ(LiteralValue("&B101"), 5);
  EXPECT_EQ(LiteralValue("&C00FF00"), 0x00FF00);
  EXPECT_EQ(LiteralValue("&CFF00FF80"), static_cast<int32_t>(0x80FF00FFu));
  EXPECT_EQ(LiteralValue("-42"), -42);
  EXPECT_EQ(LiteralValue("  +7"), 7);
  EXPECT_EQ(LiteralValue("&Z12"), 0);
  EXPECT_EQ(LiteralValue("&"), 0);
  EXPECT_EQ(LiteralValue(nullptr), 0);
  // Values beyond 32 bits wrap (and a sanitizer build sees no signed overflow).
  EXPECT_EQ(LiteralValue("&HFFFFFFFF"), -1);
  EXPECT_EQ(LiteralValue("&H1FFFFFFFF"), -1);
  EXPECT_EQ(LiteralValue("&O77777777777777"), static_cast<int32_t>(077777777777777ull & 0xFFFFFFFFu));
  EXPECT_EQ(LiteralValue(("&B" + std::string(40, '1')).c_str()), -1);
  EXPECT_EQ(LiteralValue("&C123456FFAB"), static_cast<int32_t>(0xAB123456u));
  EXPECT_EQ(LiteralValue("99999999999"), 2147483647);
}

TEST(DeclarationTokenizerTest, StringLiteralsDoubleTheirQuotes) {
  EXPECT_EQ(Tokens("\"say \"\"hi\"\"\"x \"\""),
            (std::vector<Token>{{kTokenString, "say \"hi\""}, {kTokenIdentifier, "x"}, {kTokenString, ""}}));
  EXPECT_EQ(Tokens("a \"never closed"),
            (std::vector<Token>{{kTokenIdentifier, "a"}, {kTokenUnterminatedString, "never closed"}}));
  // The NUL ends the text even when more bytes follow it.
  const char text[] = "\"ab\0cd\"";
  TokenizerBegin(text);
  EXPECT_EQ(NextToken(), kTokenUnterminatedString);
  EXPECT_EQ(TokenizerOffset(), 3);
  EXPECT_EQ(NextToken(), kTokenEnd);
}

TEST(DeclarationTokenizerTest, LongTokensAreCutToTheBufferButReadToTheirEnd) {
  const std::string longString(3000, 's');
  const std::string text = "\"" + longString + "\" " + std::string(3000, 'x') + " " +
                           std::string(3000, '7') + " &H" + std::string(3000, 'f') + " &c" +
                           std::string(3000, '0') + " #" + std::string(3000, 'w') + " tail";
  std::vector<Token> tokens = Tokens(text.c_str());
  ASSERT_EQ(tokens.size(), 7u);
  EXPECT_EQ(tokens[0], Token(kTokenString, longString.substr(0, kMaxStringLiteralBytes)));
  EXPECT_EQ(tokens[1], Token(kTokenIdentifier, std::string(kTokenTextSize - 1, 'x')));
  EXPECT_EQ(tokens[2], Token(kTokenFloat, std::string(kTokenTextSize - 1, '7')));
  EXPECT_EQ(tokens[3], Token(kTokenInteger, "&H" + std::string(kTokenTextSize - 3, 'f')));
  EXPECT_EQ(tokens[4], Token(kTokenLongColor, "&C" + std::string(kTokenTextSize - 3, '0')));
  EXPECT_EQ(tokens[5].first, '#');
  EXPECT_EQ(tokens[6], Token(kTokenIdentifier, "tail"));
}

TEST(DeclarationTokenizerTest, OperatorsOfTwoAndThreeCharacters) {
  EXPECT_EQ(Codes(":= >= <= <> ... .. . : > < =<"),
            (std::vector<int32_t>{kTokenAssign, kTokenGreaterEqual, kTokenLessEqual, kTokenNotEqual,
                                  kTokenEllipsis, kTokenRange, '.', ':', '>', '<', '=', '<'}));
  EXPECT_EQ(Codes("a....b"),
            (std::vector<int32_t>{kTokenIdentifier, kTokenEllipsis, '.', kTokenIdentifier}));
  EXPECT_EQ(Codes("a/b,(c)"), (std::vector<int32_t>{kTokenIdentifier, '/', kTokenIdentifier, ',', '(',
                                                    kTokenIdentifier, ')'}));
}

TEST(DeclarationTokenizerTest, CommentsEndTheTextOnlyWhenSkipped) {
  EXPECT_EQ(Tokens("count 'the number", true), (std::vector<Token>{{kTokenIdentifier, "count"}}));
  EXPECT_EQ(TokenizerOffset(), 17);
  EXPECT_EQ(NextToken(), kTokenEnd);

  EXPECT_EQ(Tokens("a // b", true), (std::vector<Token>{{kTokenIdentifier, "a"}}));
  EXPECT_EQ(Tokens("a // b"), (std::vector<Token>{{kTokenIdentifier, "a"}, {kTokenComment, "//"},
                                                  {kTokenIdentifier, "b"}}));
  EXPECT_EQ(Codes("Rem x"), (std::vector<int32_t>{kTokenComment, kTokenIdentifier}));
}

TEST(DeclarationTokenizerTest, DirectivesIgnoreCaseAndOtherWordsGiveTheHash) {
  EXPECT_EQ(Codes("#Pragma #IF #ElseIf #else #EndIf"),
            (std::vector<int32_t>{kTokenPragma, kTokenHashIf, kTokenHashElseIf, kTokenHashElse,
                                  kTokenHashEndIf}));
  EXPECT_EQ(Tokens("#Target_2 x # y"), (std::vector<Token>{{'#', "#Target_2"},
                                                           {kTokenIdentifier, "x"},
                                                           {'#', "#"},
                                                           {kTokenIdentifier, "y"}}));
}

TEST(DeclarationTokenizerTest, DatabaseCursorNamesAreReplacedKeepingTheirCode) {
  EXPECT_EQ(Tokens("DatabaseCursor databasecursorfield DatabaseCursors"),
            (std::vector<Token>{{kTokenIdentifier, "RecordSet"},
                                {kTokenIdentifier, "DatabaseField"},
                                {kTokenIdentifier, "DatabaseCursors"}}));
}

TEST(DeclarationTokenizerTest, PushedBackCharactersComeBackFirstInFirstOut) {
  DeclarationTokenizer tokenizer;
  tokenizer.Begin("xyz");
  EXPECT_EQ(tokenizer.ReadChar(), 'x');
  EXPECT_EQ(tokenizer.ReadChar(), 'y');
  tokenizer.PushBackChar('x');
  tokenizer.PushBackChar('y');
  tokenizer.PushBackChar('q');  // no room
  tokenizer.PushBackChar('\0');
  EXPECT_EQ(tokenizer.Offset(), 0);
  EXPECT_FALSE(tokenizer.NextCharIsBlank());
  std::string read;
  for (int i = 0; i < 5; ++i) read += static_cast<char>(tokenizer.ReadChar());
  EXPECT_EQ(read, std::string("xyz\0\0", 5));
  EXPECT_EQ(tokenizer.Offset(), 3);
}

TEST(DeclarationTokenizerTest, PushedBackTokenIsAnsweredOnceWithoutReading) {
  TokenizerBegin("a b");
  EXPECT_EQ(NextToken(), kTokenIdentifier);
  PushBackToken(kTokenIdentifier);
  EXPECT_EQ(TokenizerOffset(), 1);
  EXPECT_EQ(NextToken(), kTokenIdentifier);
  EXPECT_STREQ(LastTokenText(), "a");
  EXPECT_EQ(NextToken(), kTokenIdentifier);
  EXPECT_STREQ(LastTokenText(), "b");

  // SkipToEnd keeps the pushed-back token, TokenizerFinish drops it.
  TokenizerBegin("a b");
  PushBackToken(',');
  SkipToEnd();
  EXPECT_EQ(NextToken(), ',');
  EXPECT_EQ(NextToken(), kTokenEnd);
  TokenizerBegin("a b");
  PushBackToken(',');
  TokenizerFinish();
  EXPECT_EQ(NextToken(), kTokenEnd);
  EXPECT_EQ(TokenizerOffset(), 3);
}

TEST(DeclarationTokenizerTest, BoundsAndOffsetCountPushedBackCharactersAsUnread) {
  TokenizerBegin("  Sub\tFoo(x)");
  EXPECT_EQ(NextToken(), 258);
  EXPECT_EQ(Bounds(), std::make_pair(2, 5));
  EXPECT_EQ(TokenizerOffset(), 5);
  EXPECT_FALSE(NextCharIsBlank());  // a tab is not a blank
  EXPECT_EQ(NextToken(), kTokenIdentifier);
  EXPECT_EQ(Bounds(), std::make_pair(6, 9));
  EXPECT_EQ(NextToken(), '(');
  EXPECT_EQ(Bounds(), std::make_pair(9, 10));
  NextToken();
  NextToken();
  EXPECT_EQ(NextToken(), kTokenEnd);
  EXPECT_EQ(Bounds(), std::make_pair(12, 12));

  TokenizerBegin("a  b");
  NextToken();
  EXPECT_TRUE(NextCharIsBlank());
  EXPECT_EQ(TokenizerOffset(), 1);
  NextToken();
  EXPECT_FALSE(NextCharIsBlank());

  TokenizerBegin(nullptr);
  EXPECT_EQ(NextToken(), kTokenEnd);
  EXPECT_EQ(TokenizerOffset(), 0);
}

TEST(DeclarationTokenizerTest, HexText) {
  EXPECT_TRUE(IsHexText("0aF9", 4));
  EXPECT_FALSE(IsHexText("0aG", 3));
  EXPECT_TRUE(IsHexText("0aG", 2));
  EXPECT_FALSE(IsHexText("ab", 3));  // the NUL is no digit
  EXPECT_TRUE(IsHexText("", 0));
  EXPECT_FALSE(IsHexText(nullptr, 0));
}

}  // namespace
}  // namespace vorn
