// Fuzzes running SQL against a built-in database held in memory: each input line is one
// statement, run as a query when it starts with "select" (its rows read, the first one edited
// and the second deleted) and as a statement otherwise. Nothing may crash, whatever the text.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <strings.h>

#include "startup/class_registration.h"
#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_handle.h"
#include "files/file_handle.h"

namespace {

using namespace vorn;

constexpr int kMostStatements = 64;
constexpr int kMostRows = 200;

void Run(RuntimeObject* db, std::string_view line) {
  const string text(std::string(line), kEncodingUTF8);
  if (line.size() < 6 || strncasecmp(line.data(), "select", 6) != 0) {
    databaseSQLExecute(db, text.Rep());
    return;
  }
  RuntimeObject* rs = databaseSQLSelect(db, text.Rep());
  for (int row = 0; rs && row < kMostRows && !cursorEOFGetter(rs, 0); ++row) {
    const int32_t count = cursorFieldCount(rs, 0);
    for (int32_t column = 1; column <= count; ++column) {
      RuntimeObject* field = cursorGetFieldByIndex(rs, column);
      ReleaseStringRep(cursorFieldStringValueGetter(field, 0));
      if (row == 0) {
        cursorEdit(rs);
        databaseCursorFieldSetString(field, string("7").Rep());
        cursorUpdate(rs);
      }
      RuntimeUnlockObject(field);
    }
    if (row == 1) cursorDeleteRecord(rs);
    if (row == 2) CursorMovePrev(rs);
    cursorMoveNext(rs);
  }
  RuntimeUnlockObject(rs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (size_t(1) << 16)) return 0;
  static const bool registered = (RegisterIntrinsicClasses(), true);
  (void)registered;
  RuntimeObject* db = WrapBuiltInDatabase(vndbHandle::Create(std::make_unique<FileHandle>()));
  if (!db) return 0;
  databaseSQLExecute(db, string("create table t (id integer not null, a varchar(9), k boolean, d date, x double, "
                                "primary key (id))").Rep());
  databaseSQLExecute(db, string("create table u (a varchar(9), n integer)").Rep());
  for (const char* row : {"insert into t (id, a, k, d, x) values (1, 'one', true, '2005-1-2', 0.5)",
                          "insert into t (id, a, k, x) values (2, 'Two', false, -1)",
                          "insert into u (a, n) values ('one', 1)", "insert into u (a) values ('b')"}) {
    databaseSQLExecute(db, string(row).Rep());
  }
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  for (int statements = 0; start <= input.size() && statements < kMostStatements; ++statements) {
    const size_t end = std::min(input.find('\n', start), input.size());
    Run(db, input.substr(start, end - start));
    start = end + 1;
  }
  databaseClose(db);
  RuntimeUnlockObject(db);
  return 0;
}
