#include "database/support/fake_engine.h"

#include <cstring>
#include <utility>

#include "strings/vstring.h"

namespace vorn::dbtest {
namespace {

FakeDatabase* Db(void* handle) { return static_cast<FakeDatabase*>(handle); }
FakeCursor* Cur(void* handle) { return static_cast<FakeCursor*>(handle); }

std::string Text(StringRep* rep) { return std::string(string::Share(rep).View()); }

template <typename T>
FakeValue Machine(uint8_t type, T value) {
  FakeValue result{type, std::vector<uint8_t>(sizeof(T))};
  std::memcpy(result.bytes.data(), &value, sizeof(T));
  return result;
}

void Log(FakeCursor* cursor, const std::string& entry) {
  if (cursor->log) cursor->log->push_back(entry);
}

}  // namespace

FakeValue FakeValue::Text(const std::string& text) { return {kVornDbText, {text.begin(), text.end()}}; }
FakeValue FakeValue::Integer(int32_t value) { return Machine(kVornDbInteger, value); }
FakeValue FakeValue::Double(double value) { return Machine(kVornDbDouble, value); }
FakeValue FakeValue::Boolean(bool value) { return {kVornDbBoolean, {uint8_t(value ? 1 : 0)}}; }

FakeValue FakeValue::Date(int year, int month, int day) {
  return {kVornDbDate, {uint8_t(year >> 8), uint8_t(year), 0, uint8_t(month), 0, uint8_t(day)}};
}

dbEngineDefinition FakeEngineRecord() {
  dbEngineDefinition record = {};
  record.version = VORN_DB_RECORD_VERSION;
  record.hostFlag = 0x7777;
  record.closeDatabase = [](void* h) { Db(h)->log.push_back("close"); return int32_t{1}; };
  record.directSQLExecute = [](void* h, StringRep* sql) { Db(h)->log.push_back("sql " + Text(sql)); };
  record.addTableRecord = [](void* h, StringRep* table, dbColumnValue* values) {
    std::string entry = "add " + Text(table);
    for (const dbColumnValue* v = values; v; v = v->next) entry += " " + Text(v->column) + "=" + Text(v->value);
    Db(h)->log.push_back(entry);
  };
  record.getLastErrorCode = [](void* h) { return Db(h)->errorCode; };
  record.getLastErrorString = [](void* h) -> StringRep* {
    const std::string& text = Db(h)->errorText;
    return text.empty() ? nullptr : NewStringRep(text.data(), int32_t(text.size()), kEncodingUTF8);
  };
  record.commit = [](void* h) { Db(h)->log.push_back("commit"); };
  record.rollback = [](void* h) { Db(h)->log.push_back("rollback"); };
  return record;
}

dbCursorDefinition FakeCursorRecord() {
  dbCursorDefinition record = {};
  record.version = VORN_DB_RECORD_VERSION;
  record.closeCursor = [](void* h) {
    Log(Cur(h), "closeCursor");
    delete Cur(h);
  };
  record.columnCount = [](void* h) { return int32_t(Cur(h)->columns.size()); };
  record.columnName = [](void* h, int32_t i) -> StringRep* {
    const std::string& name = Cur(h)->columns.at(size_t(i));
    return NewStringRep(name.data(), int32_t(name.size()), kEncodingUTF8);
  };
  record.rowCount = [](void* h) { return int32_t(Cur(h)->rows.size()); };
  record.getColumnValue = [](void* h, int32_t i, const void** data, uint8_t* type, int32_t* length) {
    const FakeValue& value = Cur(h)->rows.at(size_t(Cur(h)->current)).at(size_t(i));
    *data = value.bytes.data();
    *type = value.type;
    *length = int32_t(value.bytes.size());
  };
  record.releaseValue = [](void* h) { Log(Cur(h), "release"); };
  record.nextRow = [](void* h) -> uint8_t {
    FakeCursor* cursor = Cur(h);
    if (cursor->current < int32_t(cursor->rows.size())) ++cursor->current;
    return cursor->current < int32_t(cursor->rows.size()) ? 1 : 0;
  };
  record.deleteRow = [](void* h) { Log(Cur(h), "delete " + std::to_string(Cur(h)->current)); };
  record.columnSource = [](void* h, int32_t i, const char** name, int32_t* nameLength, const char** key,
                           int32_t* keyLength, void*, void*) -> uint8_t {
    FakeCursor* cursor = Cur(h);
    ++cursor->sourceCalls;
    if (cursor->columns.at(size_t(i)) == "computed") return 0;
    cursor->sourceName = (i == 2 ? "Other!" : "Stars!") + cursor->columns.at(size_t(i));
    cursor->sourceKey = "id=" + std::to_string(cursor->current);
    *name = cursor->sourceName.data();
    *nameLength = int32_t(cursor->sourceName.size());
    *key = cursor->sourceKey.data();
    *keyLength = int32_t(cursor->sourceKey.size());
    return 1;
  };
  record.updateRow = [](void* h, dbRowEdit* edits) {
    std::string entry = "update";
    for (const dbRowEdit* e = edits; e; e = e->next) {
      entry += " " + std::to_string(e->column) + "=" + (e->value ? Text(e->value) : "NULL");
    }
    Log(Cur(h), entry);
  };
  record.editRow = [](void* h) { Log(Cur(h), "edit"); };
  record.previousRow = [](void* h) { Log(Cur(h), "previous"); };
  record.firstRow = [](void* h) { Log(Cur(h), "first"); };
  record.lastRow = [](void* h) { Log(Cur(h), "last"); };
  record.columnType = [](void* h, int32_t i) { return int32_t(i + 100 * Cur(h)->rows.size()); };
  return record;
}

RuntimeObject* NewFakeRecordSet(dbCursorDefinition* record, std::vector<std::string> columns,
                                std::vector<std::vector<FakeValue>> rows, std::vector<std::string>* log) {
  auto* cursor = new FakeCursor();
  cursor->columns = std::move(columns);
  cursor->rows = std::move(rows);
  cursor->log = log;
  return VORNdbCursorFromDBCursor(cursor, record);
}

}  // namespace vorn::dbtest
