// Fuzzes how a query's "%1" markers take a parameter: the input is a query, a line feed and a
// parameter. Whatever the two hold, the parameter must never change how the bound statement
// splits into tokens: bound with it, the statement has as many tokens as bound with "x".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "database/sql_tokenizer.h"
#include "datacontrols/query_parameter.h"

namespace {

// Tokens of the bound statement; none when it holds a number token that is no number (digits
// glued to a quote or a bracket), since every statement refuses such a token and never runs.
constexpr size_t kRefused = ~size_t{0};
size_t CountTokens(const vorn::string& statement) {
  vorn::SqlTokenizer tokenizer(statement.View());
  size_t count = 0;
  for (std::string token = tokenizer.Next(); !token.empty(); token = tokenizer.Next()) {
    const bool numeric = (token[0] >= '0' && token[0] <= '9') || (token[0] == '-' && token.size() > 1);
    if (numeric && !vorn::SqlIsNumericLiteral(token)) return kRefused;
    ++count;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\n');
  if (split == std::string_view::npos) return 0;
  const std::string_view query = input.substr(0, split);
  const std::string_view parameter = input.substr(split + 1);
  // A parameter of closing brackets alone leaves an empty bracketed name, which ends the
  // tokenizer's walk early; that says nothing about the parameter becoming SQL.
  if (parameter.find_first_not_of(']') == std::string_view::npos) return 0;
  const vorn::string sql(query, vorn::kEncodingUTF8);
  // Texts tagged UTF-8 are taken as they are, so both always bind.
  const size_t withParameter =
      CountTokens(*vorn::BindQueryParameter(sql, vorn::string(parameter, vorn::kEncodingUTF8)));
  const size_t withPlainWord = CountTokens(*vorn::BindQueryParameter(sql, vorn::string("x", vorn::kEncodingUTF8)));
  if (withParameter == kRefused || withPlainWord == kRefused) return 0;
  if (withParameter != withPlainWord) __builtin_trap();
  return 0;
}
