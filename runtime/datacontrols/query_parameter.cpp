#include "datacontrols/query_parameter.h"

#include <string>
#include <string_view>

namespace vorn {
namespace {

void AppendEscaped(std::string* out, std::string_view text, char quote) {
  for (char c : text) {
    out->push_back(c);
    if (c == quote) out->push_back(c);
  }
}

}  // namespace

string BindQueryParameter(const string& query, const string& parameter) {
  const std::string_view sql = query.View();
  if (sql.find("%1") == std::string_view::npos) return query;
  const string converted = parameter.IsEmpty() ? parameter : ConvertTextEncoding(parameter, query.Encoding());
  const std::string_view value = converted.View();
  std::string out;
  out.reserve(sql.size() + value.size() + 2);
  char quote = 0;  // the quote of the literal the scan is inside, 0 outside
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (c == '%' && i + 1 < sql.size() && sql[i + 1] == '1') {
      ++i;
      if (value.empty()) continue;
      if (quote) {
        AppendEscaped(&out, value, quote);
      } else {
        out.push_back('\'');
        AppendEscaped(&out, value, '\'');
        out.push_back('\'');
      }
      continue;
    }
    // A doubled quote inside a literal is one quote character: toggling twice keeps us inside.
    if (c == '\'' || c == '"') {
      if (!quote)
        quote = c;
      else if (c == quote)
        quote = 0;
    }
    out.push_back(c);
  }
  return string(out, query.Encoding());
}

}  // namespace vorn
