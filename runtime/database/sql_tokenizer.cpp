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
        while (end < size && (IsDigit(mText[end]) || mText[end] == '.')) ++end;
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

bool SqlIsQuoted(const std::string& token) {
  return !token.empty() && (token[0] == '\'' || token[0] == '"');
}

std::string SqlValueText(const std::string& token) {
  if (SqlIsQuoted(token)) return token.substr(1, token.size() - 2);
  return token;
}

}  // namespace vorn
