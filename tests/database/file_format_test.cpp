#include <gtest/gtest.h>

#include <memory>

#include "database/db_file.h"
#include "database/db_handle.h"
#include "database/db_row.h"
#include "files/data_file.h"
#include "database/support/db_test_files.h"

namespace vorn {
namespace {

using dbtest::Word;

std::unique_ptr<UnixDataFile> NewStream(const std::string& path) {
  auto stream = std::make_unique<UnixDataFile>();
  EXPECT_TRUE(stream->Create(path.c_str()));
  return stream;
}

TEST(DatabaseFileFormat, NewFileIsHeaderAndOneEmptyMasterLeaf) {
  std::string path = dbtest::TempPath("empty.vdb");
  {
    vndbFile file;
    ASSERT_TRUE(file.Create(NewStream(path)));
    ASSERT_TRUE(file.Close());
  }
  std::vector<uint8_t> bytes = dbtest::ReadBytes(path);
  ASSERT_EQ(bytes.size(), 8256u);
  std::vector<uint8_t> expected(8256, 0);
  dbtest::PutWord(expected, 0, 0xFEEDDBDB);
  dbtest::PutWord(expected, 4, 1);
  dbtest::PutWord(expected, 8, 1);   // the serial of the transaction that made page 0
  dbtest::PutWord(expected, 16, 1);  // no record id handed out yet
  dbtest::PutWord(expected, 64, 0xBEEF0002);
  dbtest::PutWord(expected, 64 + 8, 1);
  dbtest::PutWord(expected, 64 + 12, 0xFFFFFFFF);
  EXPECT_EQ(bytes, expected);
}

TEST(DatabaseFileFormat, NewDatabaseNamesItsThreeCatalogueTrees) {
  std::string path = dbtest::TempPath("catalogue.vdb");
  ASSERT_TRUE(vndbHandle::CreateFile(path));
  std::vector<uint8_t> bytes = dbtest::ReadBytes(path);
  ASSERT_EQ(bytes.size(), 64u + 4 * 8192);
  EXPECT_EQ(Word(bytes, 12), 0u);
  EXPECT_EQ(Word(bytes, 16), 4u);
  const uint8_t* master = bytes.data() + 64;
  // Master records in key order: the collated names sort sys$blob, sys$fields, sys$tables.
  const char* names[] = {"sys$blob", "sys$fields", "sys$tables"};
  uint32_t ids[] = {3, 2, 1};
  size_t at = 18;
  for (int i = 0; i < 3; ++i) {
    std::string name = names[i];
    ASSERT_EQ(DbGet16(master + at), 18 + name.size());
    EXPECT_EQ(master[at + 2], 'A');
    EXPECT_EQ(DbGet32(master + at + 6), ids[i]);
    uint32_t root = DbGet32(master + at + 10);
    EXPECT_EQ(root, ids[i]);  // the trees' pages were made in creation order
    EXPECT_EQ(DbGet32(bytes.data() + 64 + 8192 * root), 0xBEEF0003u);
    EXPECT_EQ(DbGet32(bytes.data() + 64 + 8192 * root + 4), root);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(master + at + 18), name.size()), name);
    at += 18 + name.size();
  }
  EXPECT_EQ(DbGet16(master + 16), at - 18);
}

Bytes KeyOf(const DbValue& value) {
  Bytes row = DbBuildRow({{4, value}}, 1, 1);
  return DbRowKey(row.data(), row.size(), {4});
}

TEST(DatabaseFileFormat, KeysSortNullFirstThenSignedNumbersAndCaseBeforeLowerCase) {
  EXPECT_LT(KeyOf(DbValue{}), KeyOf(DbValue::Integer(kDbInteger, -5)));
  EXPECT_LT(KeyOf(DbValue::Integer(kDbInteger, -5)), KeyOf(DbValue::Integer(kDbInteger, 3)));
  EXPECT_LT(KeyOf(DbValue::Integer(kDbSmallint, -1)), KeyOf(DbValue::Integer(kDbSmallint, 0)));
  EXPECT_LT(KeyOf(DbValue::Real(kDbDouble, -2.5)), KeyOf(DbValue::Real(kDbDouble, -1.0)));
  EXPECT_LT(KeyOf(DbValue::Real(kDbDouble, -1.0)), KeyOf(DbValue::Real(kDbDouble, 0.5)));
  EXPECT_LT(KeyOf(DbValue::Real(kDbFloat, -3)), KeyOf(DbValue::Real(kDbFloat, 2)));
  EXPECT_EQ(DbCollate('A'), 0x48);
  EXPECT_EQ(DbCollate('a'), 0x4F);
  EXPECT_LT(KeyOf(DbValue::Text(kDbVarchar, "Apple")), KeyOf(DbValue::Text(kDbVarchar, "apple")));
  EXPECT_NE(KeyOf(DbValue::Text(kDbVarchar, "Apple")), KeyOf(DbValue::Text(kDbVarchar, "apple")));
  EXPECT_LT(KeyOf(DbValue::Text(kDbVarchar, "ab")), KeyOf(DbValue::Text(kDbVarchar, "abc")));
  EXPECT_EQ(KeyOf(DbValue::Integer(kDbInteger, 1)), (Bytes{0x01, 0x80, 0, 0, 1}));
}

TEST(DatabaseFileFormat, RowsStoreFieldsBigEndianAndNullsTakeNoBytes) {
  EXPECT_EQ(DbBuildRow({{0, DbValue{}}, {1, DbValue{}}}, 7, 9).size(), 10u);
  Bytes row = DbBuildRow({{1, DbValue::Integer(kDbInteger, 0x01020304)},
                          {2, DbValue::Text(kDbVarchar, "hi")},
                          {3, DbValue::Parts(kDbDate, 2005, 1, 2)}},
                         0x123456, 0xA0B0C0D0);
  Bytes expected = {0, 32, 'A', 0x12, 0x34, 0x56, 0xA0, 0xB0, 0xC0, 0xD0,
                    1, 3, 1, 2, 3, 4,
                    2, 5, 0, 0, 0, 2, 'h', 'i',
                    3, 8, 0x07, 0xD5, 0, 1, 0, 2};
  EXPECT_EQ(row, expected);
  DbValue date = DbDecodeField(DbFindField(row.data(), row.size(), 3));
  EXPECT_EQ(date.parts[0], 2005);
  EXPECT_EQ(DbFindField(row.data(), row.size(), 9).type, 0);
  // A row id key is the id's bytes reversed.
  EXPECT_EQ(DbRowKey(row.data(), row.size(), {}), (Bytes{0xD0, 0xC0, 0xB0, 0xA0}));
}

}  // namespace
}  // namespace vorn
