// An engine of the kind a plug-in brings: rows of typed values in memory, every call written
// to a log, and each operation removable so that the runtime's fallbacks can be seen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "objects/runtime_object.h"
#include "vorn/database_api.h"

namespace vorn::dbtest {

struct FakeValue {
  uint8_t type = kVornDbNull;
  std::vector<uint8_t> bytes;

  static FakeValue Text(const std::string& text);
  static FakeValue Integer(int32_t value);
  static FakeValue Double(double value);
  static FakeValue Boolean(bool value);
  static FakeValue Date(int year, int month, int day);
};

struct FakeCursor {
  std::vector<std::string> columns;
  std::vector<std::vector<FakeValue>> rows;
  std::vector<std::string>* log = nullptr;
  int32_t current = -1;
  int32_t sourceCalls = 0;
  std::string sourceName;
  std::string sourceKey;
};

struct FakeDatabase {
  std::vector<std::string> log;
  int32_t errorCode = 0;
  std::string errorText;
};

// Records with every operation filled; tests null the ones they want missing.
dbEngineDefinition FakeEngineRecord();
dbCursorDefinition FakeCursorRecord();

// A RecordSet over a new cursor (freed by closeCursor) with these columns and rows.
RuntimeObject* NewFakeRecordSet(dbCursorDefinition* record, std::vector<std::string> columns,
                                std::vector<std::vector<FakeValue>> rows, std::vector<std::string>* log);

}  // namespace vorn::dbtest
