#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/db_tree.h"
#include "database/db_value_text.h"
#include "database/support/db_test_files.h"

namespace vorn {
namespace {

using dbtest::PutWord;
using dbtest::Word;

constexpr size_t kPage0 = 64;
size_t PageAt(uint32_t page) { return kPage0 + size_t(page) * 8192; }

// A committed database with a table "stars" big enough for a two-level tree.
class DamagedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dbtest::TempPath("good.vdb");
    auto db = vndbHandle::CreateFile(path);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->CreateTable("stars", {{"name", kDbVarchar, false}}, {0}));
    ASSERT_TRUE(db->CreateTable("notes", {{"text", kDbVarchar, true}}, {}));
    for (int i = 0; i < 60; ++i)
      ASSERT_TRUE(db->AddTableRecord("stars", {{"name", std::to_string(1000 + i) + std::string(300, 's')}}));
    ASSERT_TRUE(db->AddTableRecord("notes", {{"text", "kept"}}));
    db.reset();
    good = dbtest::ReadBytes(path);
    // The master tree is one leaf, page 0; find the root of table "stars" (named by its id).
    auto handle = vndbHandle::OpenFile(path);
    std::string treeName = std::to_string(handle->FindSchema("stars")->id);
    handle.reset();
    for (size_t at = 18; at < 18u + DbGet16(&good[kPage0 + 16]); at += DbGet16(&good[kPage0 + at])) {
      size_t nameLength = Word(good, kPage0 + at + 14);
      if (std::string(reinterpret_cast<const char*>(&good[kPage0 + at + 18]), nameLength) == treeName) {
        rootWordAt = kPage0 + at + 10;
        starsRoot = Word(good, rootWordAt);
      }
    }
    ASSERT_EQ(Word(good, PageAt(starsRoot)), kDbInteriorPage);
  }

  // Opens the damaged image and reads every row of both tables; the error seen, if any.
  std::string OpenAndWalk(const std::vector<uint8_t>& bytes) {
    std::string damaged = dbtest::TempPath("damaged.vdb");
    dbtest::WriteBytes(damaged, bytes);
    std::string error;
    {
      auto db = vndbHandle::OpenFile(damaged, &error);
      if (!db) return error;
      for (const char* table : {"stars", "notes"}) {
        auto cursor = vndbCursor::Open(*db, table, {"*"});
        while (cursor && cursor->NextRow()) cursor->ColumnValue(0);
        // A walk cut short by damage leaves the damage as the handle's error.
        if (db->File().IsDamaged()) {
          EXPECT_EQ(db->ErrorMessage(), db->File().Error());
        }
      }
      // A change made after the damage was found must not reach the file.
      db->AddTableRecord("notes", {{"text", "lost"}});
      EXPECT_FALSE(db->Commit());
      error = db->File().Error();
    }
    EXPECT_EQ(dbtest::ReadBytes(damaged), bytes) << "the damaged file was written to";
    return error;
  }

  std::string path;
  std::vector<uint8_t> good;
  size_t rootWordAt = 0;
  uint32_t starsRoot = 0;
};

TEST_F(DamagedFileTest, ASoundFileWalksWithoutError) {
  std::string damaged = dbtest::TempPath("sound.vdb");
  dbtest::WriteBytes(damaged, good);
  auto db = vndbHandle::OpenFile(damaged);
  ASSERT_TRUE(db);
  auto cursor = vndbCursor::Open(*db, "stars", {"name"});
  int rows = 0;
  while (cursor->NextRow()) ++rows;
  EXPECT_EQ(rows, 60);
  EXPECT_TRUE(db->File().Error().empty());
}

TEST_F(DamagedFileTest, HeadersThatAreNotADatabaseAreRefused) {
  std::vector<uint8_t> bytes = good;
  PutWord(bytes, 0, 0xFEEDDBDC);
  EXPECT_EQ(OpenAndWalk(bytes), "The file is not a database");
  bytes = good;
  PutWord(bytes, 4, 2);
  EXPECT_EQ(OpenAndWalk(bytes), "The database file has an unsupported version");
  EXPECT_EQ(OpenAndWalk(std::vector<uint8_t>(good.begin(), good.begin() + 40)),
            "The file is too short to be a database");
  bytes = good;
  PutWord(bytes, 20, 5000);
  EXPECT_EQ(OpenAndWalk(bytes), "The database file's master tree lies outside the file");
}

TEST_F(DamagedFileTest, ATruncatedFileReportsTheMissingPage) {
  std::vector<uint8_t> bytes(good.begin(), good.end() - 8192);
  std::string error = OpenAndWalk(bytes);
  EXPECT_NE(error.find("lies outside the file"), std::string::npos) << error;
}

TEST_F(DamagedFileTest, APageNumberOutOfRangeIsReported) {
  std::vector<uint8_t> bytes = good;
  PutWord(bytes, rootWordAt, 4000);
  EXPECT_EQ(OpenAndWalk(bytes), "The database file is damaged: page 4000 lies outside the file");
}

TEST_F(DamagedFileTest, ACycleOfPagesIsReported) {
  std::vector<uint8_t> bytes = good;
  // The root's second entry leads back to the root.
  size_t second = PageAt(starsRoot) + 18 + DbGet16(&bytes[PageAt(starsRoot) + 18]);
  PutWord(bytes, second + 8, starsRoot);
  std::string error = OpenAndWalk(bytes);
  EXPECT_NE(error.find("is reached twice"), std::string::npos) << error;
}

TEST_F(DamagedFileTest, BrokenPageContentsAreReported) {
  uint32_t leaf = Word(good, PageAt(starsRoot) + 18 + 8);
  struct Case {
    size_t offset;
    uint32_t word;
    const char* reason;
  } cases[] = {
      {PageAt(leaf), 0x12345678, "unknown page type"},
      {PageAt(leaf) + 14, 0xFFFF, "used count larger than the page"},
      {PageAt(leaf) + 18, 0x00050000, "a record length is out of range"},
      {PageAt(leaf) + 18 + 10, 0x00FF0000, "a field has an unknown type or runs past its record"},
      {PageAt(leaf) + 18 + 12, 0x7FFFFFFF, "a field has an unknown type or runs past its record"},
      // The master tree's leaf, named by the master tree already.
      {PageAt(starsRoot) + 18 + 8, 0, "page 0 is reached twice"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    // Words that straddle a two-byte field are written in halves to hit just that field.
    if (c.word != 0 && c.word <= 0xFFFF) {
      bytes[c.offset + 2] = uint8_t(c.word >> 8);
      bytes[c.offset + 3] = uint8_t(c.word);
    } else {
      PutWord(bytes, c.offset, c.word);
    }
    std::string error = OpenAndWalk(bytes);
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.reason << ": " << error;
  }
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

TEST_F(DamagedFileTest, ALargeObjectDirectoryThatListsItselfIsReported) {
  std::string damaged = dbtest::TempPath("blob.vdb");
  {
    auto db = vndbHandle::OpenFile(path);
    ASSERT_TRUE(db->CreateTable("texts", {{"body", kDbLongVarchar, true}}, {}));
    ASSERT_TRUE(db->AddTableRecord("texts", {{"body", std::string(5000, 'b')}}));
  }
  std::vector<uint8_t> bytes = dbtest::ReadBytes(path);
  // Find the directory row (kind 1) in the leaves and make its first entry name itself.
  bool changed = false;
  for (size_t page = 64; page + 8192 <= bytes.size(); page += 8192) {
    if (Word(bytes, page) != kDbRowLeaf) continue;
    for (size_t at = 0; at < DbGet16(&bytes[page + 16]); at += DbGet16(&bytes[page + 18 + at])) {
      size_t record = page + 18 + at;
      if (DbGet16(&bytes[record]) >= 28 && bytes[record + 10] == 1 && bytes[record + 11] == kDbBinary &&
          Word(bytes, record + 16) == 1) {
        PutWord(bytes, record + 20, Word(bytes, record + 6));
        changed = true;
      }
    }
  }
  ASSERT_TRUE(changed);
  dbtest::WriteBytes(damaged, bytes);
  auto db = vndbHandle::OpenFile(damaged);
  ASSERT_TRUE(db);
  auto cursor = vndbCursor::Open(*db, "texts", {"body"});
  ASSERT_TRUE(cursor->NextRow());
  EXPECT_FALSE(cursor->ColumnValue(0));
  EXPECT_NE(db->File().Error().find("lists itself"), std::string::npos) << db->File().Error();
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

// A table whose column rows are gone from the catalogue (a damaged key byte leaves them under
// another table's id) is damage, never a table of no columns and no rows.
TEST_F(DamagedFileTest, ATableWithoutItsColumnRowsIsReportedDamaged) {
  for (const char* lost : {"stars", "notes"}) {
    std::string damaged = dbtest::TempPath("columnless.vdb");
    dbtest::WriteBytes(damaged, good);
    {
      auto db = vndbHandle::OpenFile(damaged);
      ASSERT_TRUE(db);
      uint32_t id = db->FindSchema(lost)->id;
      vndbFile::Scope scope(db->File());
      auto fields = vndbTree::OpenNamedTree(db->File(), kDbFieldsTree, {0, 2});
      while (fields->Next()) {
        if (fields->IsCurrentVisible() && DbGet32(fields->GetField(0).value) == id) {
          ASSERT_TRUE(fields->DeleteCurrent());
        }
      }
      fields.reset();
      ASSERT_TRUE(db->Commit());
    }
    const std::string other = std::string(lost) == "stars" ? "notes" : "stars";
    std::string error;
    auto db = vndbHandle::OpenFile(damaged, &error);
    ASSERT_TRUE(db) << error;
    const std::string expected = std::string("The database file is damaged: the table ") + lost;
    auto saysDamaged = [&] { return db->ErrorCode() == kDbErrorInternal && db->ErrorMessage().find(expected) == 0; };
    EXPECT_TRUE(saysDamaged()) << db->ErrorMessage();
    EXPECT_FALSE(vndbCursor::Open(*db, lost, {"*"})) << lost;
    EXPECT_TRUE(saysDamaged()) << db->ErrorMessage();
    EXPECT_FALSE(db->AddTableRecord(lost, {}));
    EXPECT_EQ(db->ErrorCode(), kDbErrorInternal) << lost;
    auto kept = vndbCursor::Open(*db, other, {"*"});
    ASSERT_TRUE(kept) << other;
    EXPECT_TRUE(kept->NextRow()) << other;
  }
}

// Tables a (id, x, y: 40 rows), b (id, z: 3 rows) and c (id, w: 2 rows), each keyed by id.
class CatalogueDamageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string path = dbtest::TempPath("catalogue-good.vdb");
    auto db = vndbHandle::CreateFile(path);
    ASSERT_TRUE(db->CreateTable("a", {{"id", kDbInteger, false}, {"x", kDbVarchar, true}, {"y", kDbDouble, true}}, {0}));
    ASSERT_TRUE(db->CreateTable("b", {{"id", kDbInteger, false}, {"z", kDbVarchar, true}}, {0}));
    ASSERT_TRUE(db->CreateTable("c", {{"id", kDbInteger, false}, {"w", kDbVarchar, true}}, {0}));
    for (int i = 0; i < 40; ++i)
      ASSERT_TRUE(db->AddTableRecord("a", {{"id", std::to_string(i)}, {"x", "x" + std::to_string(i)}, {"y", "0.5"}}));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(db->AddTableRecord("b", {{"id", std::to_string(100 + i)}, {"z", "z"}}));
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(db->AddTableRecord("c", {{"id", std::to_string(200 + i)}, {"w", "w"}}));
    db.reset();
    good = dbtest::ReadBytes(path);
    auto reader = vndbHandle::OpenFile(path);
    for (const char* table : {"a", "b", "c"}) ids[table] = reader->FindSchema(table)->id, rows[table] = Read(*reader, table);
  }

  // Every row of the table as text, or nothing when the read fails.
  static std::optional<std::vector<std::string>> Read(vndbHandle& db, const std::string& table) {
    db.ClearError();
    auto cursor = vndbCursor::Open(db, table, {"*"});
    std::vector<std::string> read;
    while (cursor && cursor->NextRow()) {
      read.emplace_back();
      for (size_t i = 0; i < cursor->ColumnCount(); ++i) read.back() += DbValueLiteral(*cursor->ColumnValue(i)) + " ";
    }
    return cursor && db.ErrorCode() == 0 ? std::optional(read) : std::nullopt;
  }

  // The records of the pages with the tag, as offsets into the good file's bytes and lengths.
  std::vector<std::pair<size_t, size_t>> Records(uint32_t tag) const {
    std::vector<std::pair<size_t, size_t>> found;
    for (size_t page = kPage0; page + 8192 <= good.size(); page += 8192) {
      for (size_t at = 0; Word(good, page) == tag && at < DbGet16(&good[page + 16]); at += DbGet16(&good[page + 18 + at]))
        found.emplace_back(page + 18 + at, DbGet16(&good[page + 18 + at]));
    }
    return found;
  }

  // Where field `field` stands in the first row (of any tree) whose fields in `match` hold
  // those integers or texts.
  size_t FieldAt(const std::map<uint8_t, std::string>& match, uint8_t field) const {
    for (auto [at, length] : Records(kDbRowLeaf)) {
      bool same = true;
      for (const auto& [number, value] : match) {
        DbFieldRef ref = DbFindField(&good[at], length, number);
        same &= ref.type == kDbInteger ? std::to_string(DbGet32(ref.value)) == value
                                       : ref.type == kDbVarchar && DbDecodeField(ref).Text() == value;
      }
      DbFieldRef found = DbFindField(&good[at], length, field);
      if (same && found.type) return size_t(found.value - good.data());
    }
    ADD_FAILURE() << "no row with field " << int(field) << " and those values";
    return 0;
  }
  // In the column row of the table's column in "sys$fields".
  size_t ColumnFieldAt(const std::string& table, const std::string& column, uint8_t field) {
    return FieldAt({{0, std::to_string(ids[table])}, {2, column}}, field);
  }
  // Where the master record of the table's tree stands.
  size_t MasterRecordOf(const std::string& table) {
    for (auto [at, length] : Records(kDbMasterLeaf))
      if (std::string(reinterpret_cast<const char*>(&good[at + 18]), length - 18) == std::to_string(ids[table])) return at;
    ADD_FAILURE() << "no tree of " << table;
    return 0;
  }

  std::vector<uint8_t> good;
  std::map<std::string, uint32_t> ids;
  std::map<std::string, std::optional<std::vector<std::string>>> rows;
};

// Damage in the catalogue (or in a row, against its catalogue) of one table is reported, at
// open or when that table is first read, and never read as rows; the tables it does not touch
// read as before without an error.
TEST_F(CatalogueDamageTest, DamageOfATablesEntryIsReportedAndTheOthersStayReadable) {
  // What is spoilt, how, and the tables it damages.
  const std::tuple<const char*, std::function<void(std::vector<uint8_t>&)>, std::set<std::string>> cases[] = {
      {"a's tree is not found", [&](auto& b) { b[MasterRecordOf("a") + 18] = 'z'; }, {"a"}},
      {"two columns of a share a field", [&](auto& b) { PutWord(b, ColumnFieldAt("a", "y", 1), 1); }, {"a"}},
      {"a column of a past its fields", [&](auto& b) { PutWord(b, ColumnFieldAt("a", "y", 1), 9); }, {"a"}},
      {"a key position of a past its key", [&](auto& b) { DbPut16(&b[ColumnFieldAt("a", "id", 5)], 2); }, {"a"}},
      {"a column of a stored as another type", [&](auto& b) { DbPut16(&b[ColumnFieldAt("a", "y", 4)], kDbFloat); }, {"a"}},
      {"a row of a holding a field no column claims", [&](auto& b) { b[FieldAt({{0, "7"}}, 2) - 2] = 5; }, {"a"}},
      {"a column row of a under no table", [&](auto& b) { PutWord(b, ColumnFieldAt("a", "x", 0), 999); }, {"a"}},
      {"a column row of a under b", [&](auto& b) { PutWord(b, ColumnFieldAt("a", "x", 0), ids["b"]); }, {"a", "b"}},
      {"b's entry under a's id", [&](auto& b) { PutWord(b, FieldAt({{1, "b"}}, 0), ids["a"]); }, {"a", "b"}},
      {"b's tree rooted in a's", [&](auto& b) { PutWord(b, MasterRecordOf("b") + 10, Word(good, MasterRecordOf("a") + 10)); }, {"a", "b"}},
  };
  for (const auto& [name, spoil, damaged] : cases) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes = good;
    spoil(bytes);
    ASSERT_NE(bytes, good);
    std::string path = dbtest::TempPath("catalogue-damaged.vdb"), error;
    dbtest::WriteBytes(path, bytes);
    auto db = vndbHandle::OpenFile(path, &error);
    ASSERT_TRUE(db) << error;
    for (const char* table : {"a", "b", "c"}) {
      const std::optional<std::vector<std::string>> read = Read(*db, table);
      if (!damaged.count(table)) {
        EXPECT_EQ(read, rows[table]) << table << ": " << db->ErrorMessage();
        continue;
      }
      EXPECT_FALSE(read) << table << " read " << read->size() << " rows";
      EXPECT_EQ(db->ErrorCode(), kDbErrorInternal) << table;
      EXPECT_EQ(db->ErrorMessage().find("The database file is damaged: "), 0u) << table << ": " << db->ErrorMessage();
    }
  }
}

// A table whose tree left the master tree after open is damage to an insert as to a cursor.
TEST_F(CatalogueDamageTest, ATreeLostAfterOpenIsDamageToInsertsAsToCursors) {
  const std::string path = dbtest::TempPath("catalogue-lost.vdb");
  dbtest::WriteBytes(path, good);
  auto db = vndbHandle::OpenFile(path);
  ASSERT_TRUE(db && db->ErrorCode() == 0);
  {
    vndbFile::Scope scope(db->File());
    vndbTree master(db->File());
    while (master.Next()) {
      size_t length = 0;
      const uint8_t* record = master.IsCurrentVisible() ? master.CurrentRecord(&length) : nullptr;
      if (record && std::string(reinterpret_cast<const char*>(record + 18), length - 18) == std::to_string(ids["a"])) {
        ASSERT_TRUE(master.DeleteCurrent());
      }
    }
  }
  const std::string expected = "The database file is damaged: the rows of table a are missing";
  EXPECT_FALSE(db->AddTableRecord("a", {{"id", "99"}}));
  EXPECT_EQ(db->ErrorCode(), kDbErrorInternal);
  EXPECT_EQ(db->ErrorMessage(), expected);
  EXPECT_FALSE(vndbCursor::Open(*db, "a", {"*"}));
  EXPECT_EQ(db->ErrorMessage(), expected);
  EXPECT_EQ(Read(*db, "b"), rows["b"]);
}

}  // namespace
}  // namespace vorn
