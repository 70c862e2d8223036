#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/db_large_object.h"
#include "database/db_tree.h"
#include "database/support/db_test_files.h"

namespace vorn {
namespace {

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dbtest::TempPath("catalogue.vdb");
    db = vndbHandle::CreateFile(path);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->CreateTable("Stars",
                                {{"id", kDbInteger, false},
                                 {"name", kDbVarchar, true},
                                 {"seen", kDbDate, true},
                                 {"at", kDbTime, true},
                                 {"bright", kDbBoolean, true},
                                 {"mag", kDbDouble, true},
                                 {"notes", kDbLongVarchar, true}},
                                {0}))
        << db->ErrorMessage();
  }

  // The single row's value of one column.
  DbValue Only(const std::string& column) {
    auto cursor = vndbCursor::Open(*db, "stars", {column});
    EXPECT_TRUE(cursor && cursor->NextRow());
    return cursor ? cursor->ColumnValue(0).value_or(DbValue{}) : DbValue{};
  }

  std::string path;
  std::unique_ptr<vndbHandle> db;
};

TEST_F(CatalogueTest, TableNamesAreUniqueIgnoringCaseAndTypesMustBeStorable) {
  EXPECT_FALSE(db->CreateTable("STARS", {{"x", kDbInteger, true}}, {}));
  EXPECT_EQ(db->ErrorCode(), kDbErrorExists);
  EXPECT_EQ(db->ErrorMessage(), "Unable to create STARS because it already exists");
  EXPECT_FALSE(db->CreateTable("times", {{"t", kDbTimestamp, true}}, {}));
  EXPECT_EQ(db->ErrorCode(), kDbErrorType);
  EXPECT_TRUE(db->CreateTable("planets", {{"x", kDbInteger, true}}, {}));
  EXPECT_EQ(db->ErrorCode(), 0);
  auto list = vndbCursor::OpenTableList(*db);
  std::vector<std::string> names;
  while (list->NextRow()) names.push_back(list->ColumnValue(0)->Text());
  EXPECT_EQ(names, (std::vector<std::string>{"planets", "Stars"}));
}

TEST_F(CatalogueTest, ValuesAreConvertedByColumnType) {
  ASSERT_TRUE(db->AddTableRecord("stars", {{"ID", " -42x"}, {"seen", "2005-1-2"}, {"at", "12:30"},
                                           {"bright", "TRUE"}, {"mag", "4.5"}, {"name", "Vega"}}));
  EXPECT_EQ(Only("id").integer, -42);
  DbValue seen = Only("seen");
  EXPECT_EQ((std::vector<int>{seen.parts[0], seen.parts[1], seen.parts[2]}), (std::vector<int>{2005, 1, 2}));
  DbValue at = Only("at");
  EXPECT_EQ((std::vector<int>{at.parts[0], at.parts[1], at.parts[2]}), (std::vector<int>{12, 30, 0}));
  EXPECT_EQ(Only("bright").integer, 1);
  EXPECT_DOUBLE_EQ(Only("mag").real, 4.5);
  EXPECT_EQ(Only("notes").type, 0);  // omitted and nullable: no field at all

  EXPECT_FALSE(db->AddTableRecord("stars", {{"id", "2"}, {"seen", "2005/01/02"}}));
  EXPECT_EQ(db->ErrorMessage(), "Invalid date format");
  EXPECT_FALSE(db->AddTableRecord("stars", {{"id", "2"}, {"at", "12"}}));
  EXPECT_EQ(db->ErrorMessage(), "Invalid time format");
  EXPECT_FALSE(db->AddTableRecord("stars", {{"name", "no id"}}));
  EXPECT_EQ(db->ErrorMessage(), "NotNull column violation");
  EXPECT_FALSE(db->AddTableRecord("stars", {{"id", "3"}, {"colour", "blue"}}));
  EXPECT_EQ(db->ErrorMessage(), "Unknown column colour");
  EXPECT_FALSE(db->AddTableRecord("moons", {{"id", "3"}}));
  EXPECT_EQ(db->ErrorMessage(), "Unknown table moons");
  ASSERT_TRUE(db->AddTableRecord("stars", {{"id", "7"}, {"bright", "1"}}));
  auto cursor = vndbCursor::Open(*db, "stars", {"id", "bright"});
  ASSERT_TRUE(cursor->NextRow() && cursor->NextRow());
  EXPECT_EQ(cursor->ColumnValue(0)->integer, 7);
  EXPECT_EQ(cursor->ColumnValue(1)->integer, 1) << "a non-zero number is true";
}

// A table refused for its columns or key leaves nothing behind: the same name makes a sound
// table afterwards, and the file opens without damage.
TEST_F(CatalogueTest, ARefusedTableLeavesNothingBehind) {
  // Two columns of one name; a column twice in the key.
  const std::tuple<std::vector<DbColumnSpec>, std::vector<size_t>, int32_t> cases[] = {
      {{{"a", kDbInteger, false}, {"b", kDbInteger, true}, {"A", kDbInteger, true}}, {2, 0}, kDbErrorPrimaryKey},
      {{{"a", kDbInteger, false}, {"b", kDbInteger, true}}, {0, 0}, kDbErrorInternal},
  };
  for (const auto& [columns, key, code] : cases) {
    EXPECT_FALSE(db->CreateTable("planets", columns, key));
    EXPECT_EQ(db->ErrorCode(), code);
    ASSERT_TRUE(db->CreateTable("planets", {{"a", kDbInteger, false}}, {0})) << db->ErrorMessage();
    ASSERT_TRUE(db->Commit());
    db.reset();
    std::string error;
    db = vndbHandle::OpenFile(path, &error);
    ASSERT_TRUE(db) << error;
    EXPECT_EQ(db->ErrorCode(), 0) << db->ErrorMessage();
    EXPECT_EQ(db->FindSchema("planets")->columns.size(), 1u);
    EXPECT_TRUE(vndbCursor::Open(*db, "planets", {"*"})) << db->ErrorMessage();
    db.reset();  // the next case makes the file anew
    db = vndbHandle::CreateFile(path);
  }
}

// A cursor the handle cannot open says why, as every failing operation does.
TEST_F(CatalogueTest, ARefusedCursorSaysWhy) {
  const std::tuple<const char*, std::vector<std::string>, const char*> cases[] = {
      {"moons", {"*"}, "Unknown table moons"},
      {"stars", {"id", "colour"}, "Unknown column colour"},
  };
  for (const auto& [table, columns, message] : cases) {
    db->ClearError();
    EXPECT_FALSE(vndbCursor::Open(*db, table, columns)) << message;
    EXPECT_EQ(db->ErrorCode(), kDbErrorUnknown) << message;
    EXPECT_EQ(db->ErrorMessage(), message);
  }
}

TEST_F(CatalogueTest, ASecondRowWithTheSameKeyIsRefusedAndChangesNothing) {
  ASSERT_TRUE(db->AddTableRecord("stars", {{"id", "1"}, {"name", "a"}, {"notes", "kept"}}));
  EXPECT_FALSE(db->AddTableRecord("stars", {{"id", "1"}, {"name", "b"}, {"notes", std::string(9000, 'n')}}));
  EXPECT_EQ(db->ErrorCode(), kDbErrorPrimaryKey);
  EXPECT_EQ(Only("name").Text(), "a");
  // The refused row's large object was taken back.
  auto blobs = vndbTree::OpenNamedTree(db->File(), kDbBlobTree);
  int live = 0;
  while (blobs->Next()) live += blobs->IsCurrentVisible();
  EXPECT_EQ(live, 1);
}

TEST_F(CatalogueTest, AddedColumnsTakeTheNextPositionAndOldRowsLackThem) {
  ASSERT_TRUE(db->AddTableRecord("stars", {{"id", "1"}}));
  ASSERT_TRUE(db->AddTableColumn("stars", {"colour", kDbVarchar, true}));
  const DbColumn* colour = db->FindSchema("stars")->Column("colour");
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour->position, 7);
  EXPECT_EQ(Only("colour").type, 0);
  EXPECT_FALSE(db->AddTableColumn("moons", {"x", kDbInteger, true}));
  EXPECT_EQ(db->ErrorMessage(), "Unable to add column x because table 'moons' doesn't exist");
  EXPECT_FALSE(db->AddTableColumn("stars", {"x", kDbTimestamp, true}));
  EXPECT_EQ(db->ErrorCode(), kDbErrorType);
  db.reset();
  db = vndbHandle::OpenFile(path);
  ASSERT_TRUE(db);
  EXPECT_TRUE(db->FindSchema("STARS")->Column("Colour"));
  EXPECT_EQ(db->FindSchema("stars")->primaryKey, Bytes{0});
}

TEST_F(CatalogueTest, LargeObjectsSpanPiecesAndDirectories) {
  std::string big(9000, 0);
  for (size_t i = 0; i < big.size(); ++i) big[i] = char('a' + i % 23);
  ASSERT_TRUE(db->AddTableRecord("stars", {{"id", "1"}, {"notes", big}}));
  EXPECT_EQ(Only("notes").Text(), big);
  // 9000 bytes: pieces of 4000, 4000 and 1000 and a directory listing them.
  auto blobs = vndbTree::OpenNamedTree(db->File(), kDbBlobTree);
  std::vector<size_t> sizes;
  while (blobs->Next()) sizes.push_back(blobs->GetField(1).length - 8);
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<size_t>{24, 1000, 4000, 4000}));

  // More pieces than one directory lists: directories chain.
  Bytes huge(kDbPieceSize * (kDbDirectoryEntries + 20) + 5);
  for (size_t i = 0; i < huge.size(); ++i) huge[i] = uint8_t(i * 7 + i / 4000);
  std::optional<uint32_t> id = WriteLargeObject(db->File(), huge.data(), huge.size());
  ASSERT_TRUE(id);
  ASSERT_TRUE(db->Commit());
  db.reset();
  db = vndbHandle::OpenFile(path);
  std::optional<Bytes> back = ReadLargeObject(db->File(), *id);
  ASSERT_TRUE(back);
  EXPECT_TRUE(*back == huge);
  EXPECT_TRUE(DeleteLargeObject(db->File(), *id));
  EXPECT_FALSE(ReadLargeObject(db->File(), *id));
  EXPECT_EQ(Only("notes").Text(), big);
}

TEST_F(CatalogueTest, CursorsUpdateRowsAndNameTheirSource) {
  ASSERT_TRUE(db->AddTableRecord("stars", {{"id", "1"}, {"name", "O'Neil"}, {"notes", "old"}}));
  ASSERT_TRUE(db->AddTableRecord("stars", {{"id", "2"}, {"name", "b"}}));
  {
    auto cursor = vndbCursor::Open(*db, "stars", {"*", "name"});
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->ColumnCount(), 8u);
    EXPECT_EQ(cursor->ColumnName(7), "name");
    ASSERT_TRUE(cursor->NextRow());
    std::string_view key;
    EXPECT_EQ(cursor->ColumnSource(7, &key), "Stars!name");
    EXPECT_EQ(key, "[id] = 1");
    // Columns come in catalogue order: by name.
    EXPECT_EQ(cursor->ColumnName(0), "at");
    size_t id = 2, notes = 5;
    ASSERT_EQ(cursor->ColumnName(id), "id");
    ASSERT_EQ(cursor->ColumnName(notes), "notes");
    EXPECT_FALSE(cursor->UpdateRow({{0, "5"}}));
    EXPECT_EQ(db->ErrorMessage(), "Invalid time format");
    // A changed key moves the row behind the walk.
    ASSERT_TRUE(cursor->UpdateRow({{id, "5"}, {notes, "new notes"}}));
    ASSERT_TRUE(cursor->NextRow());
    EXPECT_EQ(cursor->ColumnValue(id)->integer, 2);
    EXPECT_FALSE(cursor->NextRow());
  }
  EXPECT_FALSE(vndbCursor::Open(*db, "stars", {"nope"}));
  auto cursor = vndbCursor::Open(*db, "stars", {"id", "name", "notes"});
  ASSERT_TRUE(cursor->NextRow() && cursor->NextRow());
  EXPECT_EQ(cursor->ColumnValue(0)->integer, 5);
  EXPECT_EQ(cursor->ColumnValue(1)->Text(), "O'Neil");
  EXPECT_EQ(cursor->ColumnValue(2)->Text(), "new notes");
  std::string_view key;
  cursor->ColumnSource(1, &key);
  EXPECT_EQ(key, "[id] = 5");
}

}  // namespace
}  // namespace vorn
