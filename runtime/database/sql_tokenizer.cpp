#include "database/sql_tokenizer.h"

#include "strings/c_text.h"

namespace vorn {

namespace {

// Bytes from 0x80 on belong to words and names, so that names in UTF-8 or another 8-bit
// encoding are read whole; only ASCII control bytes and space separate tokens.
bool IsSeparator(unsigned char c) { return c <= 0x20; }

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool EndsWord(unsigned char c) {
  return IsSeparator(c) || c == '(' || c == ')' || c == ',' || c == '<' || c == '>' || c == '=' ||
         c == '.';
}

}  // namespace

std::string SqlTokenizer::Next() {
  while (mPosition < mText.size() && IsSeparator(mText[mPosition])) ++mPosition;
  mLastStart = mPosition;
  if (mPosition >= mText.size()) return {};

  const size_t size = mText.size();
  const char first = mText[mPosition];
  const char second = mPosition + 1 < size ? mText[mPosition + 1] : '\0';
  size_t end = mPosition + 1;
  std::string token;
  switch (first) {
    case '<':
      if (second == '=' || second == '>') ++end;
      break;
    case '>':
      if (second == '=') ++end;
      break;
    case '(':
    case ')':
    case ',':
    case '.':
    case '=':
      break;
    case '[': {
      const size_t close = mText.find(']', mPosition + 1);
      end = close == std::string_view::npos ? size : close + 1;
      const size_t nameEnd = close == std::string_view::npos ? size : close;
      mPosition = end;
      return std::string(mText.substr(mLastStart + 1, nameEnd - mLastStart - 1));
    }
    case '\'':
    case '"': {
      token.push_back(first);
      while (end < size) {
        if (mText[end] == first) {
          if (end + 1 < size && mText[end + 1] == first) {
            token.push_back(first);
            end += 2;
            continue;
          }
          ++end;
          break;
        }
        token.push_back(mText[end++]);
      }
      token.push_back(first);
      mPosition = end;
      return token;
    }
    default:
      if (IsDigit(first) || first == '-') {
        // Dots and word bytes stay with the number: an exponent or a stray letter cut off here
        // would leave a shorter number that reads as valid.
        while (end < size && (mText[end] == '.' || !EndsWord(mText[end]))) ++end;
      } else {
        while (end < size && !EndsWord(mText[end])) ++end;
      }
      break;
  }
  token.assign(mText.substr(mPosition, end - mPosition));
  mPosition = end;
  return token;
}

std::string_view SqlTrimStatementEnd(std::string_view text) {
  while (!text.empty() && (text.back() == ';' || IsSeparator(text.back()))) text.remove_suffix(1);
  return text;
}

bool SqlIsKeyword(const std::string& token, const char* keyword) {
  return CStringCompareNoCase(token.c_str(), keyword) == 0;
}

bool SqlIsIdentifier(const std::string& token) {
  if (token.empty()) return false;
  const auto first = static_cast<unsigned char>(token[0]);
  if (!IsLetter(first) && first < 0x80) return false;
  for (const char byte : token) {
    const auto c = static_cast<unsigned char>(byte);
    if (!IsLetter(c) && !IsDigit(c) && c != '#' && c != '_' && c != ' ' && c < 0x80) return false;
  }
  return true;
}

bool SqlIsNumber(const std::string& token) {
  if (token.empty()) return false;
  for (const char c : token)
    if (!IsDigit(c)) return false;
  return true;
}

bool SqlIsNumericLiteral(const std::string& token) {
  size_t at = token.size() > 0 && token[0] == '-' ? 1 : 0;
  auto digits = [&] {
    const size_t start = at;
    while (at < token.size() && IsDigit(token[at])) ++at;
    return at - start;
  };
  size_t mantissa = digits();
  if (at < token.size() && token[at] == '.') {
    ++at;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (at < token.size() && (token[at] == 'e' || token[at] == 'E')) {
    ++at;
    if (at < token.size() && (token[at] == '-' || token[at] == '+')) ++at;
    if (digits() == 0) return false;
  }
  return at == token.size();
}

std::string SqlUnexpected(const SqlTokenizer& tokens, const std::string& token) {
  const std::string what = token.empty() ? "end of statement" : "'" + token + "'";
  return "Unexpected " + what + " at position " + std::to_string(tokens.LastPosition());
}

bool SqlIsQuoted(const std::string& token) {
  return !token.empty() && (token[0] == '\'' || token[0] == '"');
}

std::string SqlValueText(const std::string& token) {
  if (SqlIsQuoted(token)) return token.substr(1, token.size() - 2);
  return token;
}

}  // namespace vorn
