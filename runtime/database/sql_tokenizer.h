// The SQL layer's tokenizer: reads a statement from the front, one token at a time, and can
// step back over the token it read last. An empty token means the end of the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorn {

class SqlTokenizer {
 public:
  explicit SqlTokenizer(std::string_view text) : mText(text) {}

  // The next token: "<", "<=", "<>", ">", ">=", one of "(),.=", a bracketed name without its
  // brackets, a quoted literal with its quotes (doubled quotes inside taken as one), a number
  // (a digit or "-" and every word byte after it, so that "1e-5" and "12abc" are read whole
  // and judged whole) or a word.
  std::string Next();
  // Steps back so that the token read last is read again, exactly as it was.
  void PutBack() { mPosition = mLastStart; }
  // Where the token read last begins, counting the text's first byte as 1.
  size_t LastPosition() const { return mLastStart + 1; }

 private:
  std::string_view mText;
  size_t mPosition = 0;
  size_t mLastStart = 0;
};

// The text without the bytes ";" and white space at its end.
std::string_view SqlTrimStatementEnd(std::string_view text);

// True when the token is the keyword, compared without regard to case.
bool SqlIsKeyword(const std::string& token, const char* keyword);
// A name: a letter or a byte from 0x80 on, then letters, digits, "#", "_", spaces or such
// bytes (a space can only arrive through a bracketed name).
bool SqlIsIdentifier(const std::string& token);
// A non-empty run of the digits 0-9.
bool SqlIsNumber(const std::string& token);
// True for a token that starts with a single or a double quote.
bool SqlIsQuoted(const std::string& token);
// A decimal number: an optional "-", digits with an optional fraction, an optional exponent.
bool SqlIsNumericLiteral(const std::string& token);
// "Unexpected 'token' at position n" for the token read last ("Unexpected end of statement"
// when the text ended there).
std::string SqlUnexpected(const SqlTokenizer& tokens, const std::string& token);
// A value's text: a quoted literal without its first and last byte, any other token as it is.
std::string SqlValueText(const std::string& token);

}  // namespace vorn
