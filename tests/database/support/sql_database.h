// A built-in database file in the test's temporary folder, driven by SQL text through the
// Database class, with its rows read back through plain table cursors.
#pragma once

#include <string>
#include <vector>

#include "objects/runtime_object.h"
#include "support/class_test.h"

namespace vorn::dbtest {

class SqlDatabaseTest : public test::IntrinsicClassTest {
 protected:
  void SetUp() override;

  void Exec(const std::string& sql);
  int32_t ErrorCode();
  std::string ErrorMessage();
  // Every row of the table in key order, its columns' texts (in name order, as the catalogue
  // keeps them) joined by " " ("NULL" for none).
  std::vector<std::string> TableRows(const std::string& table);
  // Stars (id integer primary key, name varchar, mag double) with Vega 1, Sirius 2, Deneb 3.
  void CreateStars();

  RuntimeObject* db = nullptr;
  std::string path;  // of the database file
};

}  // namespace vorn::dbtest
