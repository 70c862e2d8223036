#include "datacontrols/query_parameter.h"

#include <string>
#include <string_view>

#include "database/stored_text.h"

namespace vorn {
namespace {

bool IsSeparator(unsigned char c) { return c <= 0x20; }
bool IsPunctuation(unsigned char c) {
  return c == '(' || c == ')' || c == ',' || c == '.' || c == '=' || c == '<' || c == '>';
}
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

void AppendEscaped(std::string* out, std::string_view text, char quote) {
  for (char c : text) {
    out->push_back(c);
    if (c == quote) out->push_back(c);
  }
}

// Where the scan stands by the SQL tokenizer's rules: between tokens, inside a word or a
// number, a quoted literal or a bracketed name. A quote or "[" opens a literal or a name only
// where a token starts.
enum class Scan { kBetween, kWord, kNumber, kLiteral, kBracket };

}  // namespace

std::optional<string> BindQueryParameter(const string& query, const string& parameter) {
  const std::optional<string> statement = StoredText(query);
  const std::optional<string> converted = StoredText(parameter);
  if (!statement || !converted) return std::nullopt;
  const std::string_view sql = statement->View();
  if (sql.find("%1") == std::string_view::npos) return statement;
  const std::string_view value = converted->View();
  std::string out;
  out.reserve(sql.size() + value.size() + 4);
  Scan scan = Scan::kBetween;
  char quote = 0;
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (c == '%' && i + 1 < sql.size() && sql[i + 1] == '1') {
      ++i;
      if (value.empty()) continue;
      if (scan == Scan::kLiteral) {
        AppendEscaped(&out, value, quote);
      } else if (scan == Scan::kBracket) {
        // A bracketed name has no escape for its closing bracket.
        for (char v : value)
          if (v != ']') out.push_back(v);
      } else {
        // A literal of its own, set apart by spaces from whatever would run into it.
        if (!out.empty() && !IsSeparator(static_cast<unsigned char>(out.back()))) out.push_back(' ');
        out.push_back('\'');
        AppendEscaped(&out, value, '\'');
        out.push_back('\'');
        if (i + 1 < sql.size() && !IsSeparator(static_cast<unsigned char>(sql[i + 1]))) out.push_back(' ');
        scan = Scan::kBetween;
      }
      continue;
    }
    out.push_back(c);
    const auto u = static_cast<unsigned char>(c);
    switch (scan) {
      case Scan::kLiteral:
        if (c != quote) break;
        if (i + 1 < sql.size() && sql[i + 1] == quote) {
          out.push_back(sql[++i]);  // a doubled quote is one quote character
          break;
        }
        scan = Scan::kBetween;
        break;
      case Scan::kBracket:
        if (c == ']') scan = Scan::kBetween;
        break;
      case Scan::kNumber:
        if (IsDigit(u) || c == '.') break;
        [[fallthrough]];
      case Scan::kWord:
        if (scan == Scan::kWord && !IsSeparator(u) && !IsPunctuation(u)) break;
        [[fallthrough]];
      case Scan::kBetween:
        if (IsSeparator(u) || IsPunctuation(u)) {
          scan = Scan::kBetween;
        } else if (c == '\'' || c == '"') {
          scan = Scan::kLiteral;
          quote = c;
        } else if (c == '[') {
          scan = Scan::kBracket;
        } else if (IsDigit(u) || c == '-') {
          scan = Scan::kNumber;
        } else {
          scan = Scan::kWord;
        }
        break;
    }
  }
  return string(out, kEncodingUTF8);
}

}  // namespace vorn
