// The errors of the SQL layer: a code and the text that the database reports.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vorn {

constexpr int32_t kSqlErrorSyntax = 200;
constexpr int32_t kSqlErrorName = 201;
constexpr int32_t kSqlErrorNoTable = 202;
constexpr int32_t kSqlErrorInternal = 203;
constexpr int32_t kSqlErrorAmbiguous = 205;
constexpr int32_t kSqlErrorUnknownColumn = 206;
constexpr int32_t kSqlErrorMismatch = 208;
constexpr int32_t kSqlErrorDropTable = 2007;
constexpr int32_t kSqlErrorDropColumn = 2008;

struct SqlError {
  int32_t code = 0;
  std::string message;
};

// Sets the error and answers false, for parsers that stop at the first error.
inline bool SqlFail(SqlError* error, int32_t code, std::string message) {
  error->code = code;
  error->message = std::move(message);
  return false;
}

}  // namespace vorn
