// Fuzzes opening a database file image and using it: every table's rows are read (large
// objects included), the list of tables is walked, and a row is added and committed, all on a
// copy of the input held in memory. Damage must never read as data: a table that cannot be
// read says why, and every value a row gives is of its column's type.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "files/file_handle.h"

namespace {

using namespace vorn;

constexpr int kMostRows = 2000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (size_t(1) << 24)) return 0;
  auto store = std::make_unique<FileHandle>();
  if (size > 0) store->Write(data, static_cast<int32_t>(size));
  store->SetPosition(0);
  std::unique_ptr<vndbHandle> db = vndbHandle::Open(std::move(store));
  if (!db) return 0;

  int rows = 0;
  if (auto tables = vndbCursor::OpenTableList(*db)) {
    while (rows < kMostRows && tables->NextRow()) {
      ++rows;
      tables->ColumnValue(0);
    }
  }
  std::string firstTable;
  for (const auto& schema : db->Schemas()) {
    if (firstTable.empty()) firstTable = schema->name;
    db->ClearError();
    auto cursor = vndbCursor::Open(*db, schema->name, {"*"});
    if (!cursor && db->ErrorCode() == 0) __builtin_trap();
    while (cursor && rows < kMostRows && cursor->NextRow()) {
      ++rows;
      for (size_t i = 0; i < cursor->ColumnCount(); ++i) {
        const uint8_t type = cursor->ColumnType(i);
        if (type != 0 && type != schema->columns[i].type) __builtin_trap();
        cursor->ColumnValue(i);
      }
      std::string_view key;
      cursor->ColumnSource(0, &key);
    }
  }
  if (!firstTable.empty()) {
    std::vector<DbColumnText> values;
    for (const DbColumn& column : db->FindSchema(firstTable)->columns)
      values.push_back({column.name, "1"});
    db->AddTableRecord(firstTable, values);
  }
  db->CreateTable("fuzz", {{"a", kDbInteger, false}}, {0});
  db->AddTableRecord("fuzz", {{"a", "3"}});
  db->Commit();
  db->Close();
  return 0;
}
