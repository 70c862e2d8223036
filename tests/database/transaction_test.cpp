#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/support/db_test_files.h"
#include "objects/purgable_object.h"

namespace vorn {
namespace {

std::vector<std::string> Names(vndbHandle& db) {
  std::vector<std::string> names;
  auto cursor = vndbCursor::Open(db, "people", {"name"});
  if (!cursor) return names;
  while (cursor->NextRow()) names.push_back(cursor->ColumnValue(0)->Text());
  return names;
}

class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dbtest::TempPath("tx.vdb");
    db = vndbHandle::CreateFile(path);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->CreateTable("people", {{"name", kDbVarchar, false}}, {0}));
    ASSERT_TRUE(db->AddTableRecord("people", {{"name", "ann"}}));
    ASSERT_TRUE(db->Commit());
  }

  std::unique_ptr<vndbHandle> Reopen(const std::string& from) {
    std::string error;
    auto opened = vndbHandle::OpenFile(from, &error);
    EXPECT_TRUE(opened) << error;
    return opened;
  }

  std::string path;
  std::unique_ptr<vndbHandle> db;
};

TEST_F(TransactionTest, CommitKeepsAndRollbackDiscards) {
  ASSERT_TRUE(db->AddTableRecord("people", {{"name", "bob"}}));
  db->Rollback();
  EXPECT_EQ(Names(*db), (std::vector<std::string>{"ann"}));
  ASSERT_TRUE(db->AddTableRecord("people", {{"name", "cy"}}));
  ASSERT_TRUE(db->Commit());
  {
    auto cursor = vndbCursor::Open(*db, "people", {"name"});
    ASSERT_TRUE(cursor->NextRow());
    ASSERT_TRUE(cursor->DeleteRow());
  }
  db->Rollback();
  EXPECT_EQ(Names(*db), (std::vector<std::string>{"ann", "cy"}));
  db.reset();
  auto reopened = Reopen(path);
  ASSERT_TRUE(reopened);
  EXPECT_EQ(Names(*reopened), (std::vector<std::string>{"ann", "cy"}));
}

TEST_F(TransactionTest, RollbackForgetsTablesMadeInTheTransaction) {
  ASSERT_TRUE(db->CreateTable("pets", {{"kind", kDbVarchar, true}}, {}));
  ASSERT_TRUE(db->FindSchema("pets"));
  db->Rollback();
  EXPECT_FALSE(db->FindSchema("pets"));
  EXPECT_TRUE(db->CreateTable("pets", {{"kind", kDbVarchar, true}}, {}));
  EXPECT_TRUE(db->AddTableRecord("pets", {{"kind", "cat"}}));
}

TEST_F(TransactionTest, ACrashBeforeCommitLeavesTheLastCommittedState) {
  // Enough rows to split pages, so that the uncommitted change reshapes the tree.
  for (int i = 0; i < 400; ++i)
    ASSERT_TRUE(db->AddTableRecord("people", {{"name", "x" + std::to_string(i) + std::string(100, 'y')}}));
  ASSERT_TRUE(db->CreateTable("pets", {{"kind", kDbVarchar, true}}, {}));
  // What the disk holds at this moment is what a program that stops now leaves behind.
  std::string crashed = dbtest::TempPath("crashed.vdb");
  dbtest::WriteBytes(crashed, dbtest::ReadBytes(path));
  auto survivor = Reopen(crashed);
  ASSERT_TRUE(survivor);
  EXPECT_EQ(Names(*survivor), (std::vector<std::string>{"ann"}));
  EXPECT_FALSE(survivor->FindSchema("pets"));
  EXPECT_TRUE(db->Commit());
}

TEST_F(TransactionTest, AFileLeftMarkedInATransactionIsRefused) {
  db.reset();
  std::vector<uint8_t> bytes = dbtest::ReadBytes(path);
  dbtest::PutWord(bytes, 12, 1);
  std::string marked = dbtest::TempPath("marked.vdb");
  dbtest::WriteBytes(marked, bytes);
  std::string error;
  EXPECT_FALSE(vndbHandle::OpenFile(marked, &error));
  EXPECT_NE(error.find("unfinished transaction"), std::string::npos) << error;
  EXPECT_EQ(dbtest::ReadBytes(marked), bytes);
}

TEST_F(TransactionTest, ExtraBytesAfterTheLastPageAreIgnored) {
  db.reset();
  std::vector<uint8_t> bytes = dbtest::ReadBytes(path);
  bytes.resize(bytes.size() + 100, 0xEE);
  std::string longer = dbtest::TempPath("longer.vdb");
  dbtest::WriteBytes(longer, bytes);
  auto opened = Reopen(longer);
  ASSERT_TRUE(opened);
  EXPECT_EQ(Names(*opened), (std::vector<std::string>{"ann"}));
}

TEST_F(TransactionTest, DeletedRowsAreCompactedWhenTheirPageIsNextRead) {
  {
    auto cursor = vndbCursor::Open(*db, "people", {"name"});
    ASSERT_TRUE(cursor->NextRow());
    ASSERT_TRUE(cursor->DeleteRow());
  }
  ASSERT_TRUE(db->Commit());
  db.reset();
  std::vector<uint8_t> before = dbtest::ReadBytes(path);
  auto reopened = Reopen(path);
  EXPECT_TRUE(Names(*reopened).empty());
  reopened.reset();
  std::vector<uint8_t> after = dbtest::ReadBytes(path);
  // The table's leaf lost its one deleted row: its used count went from the row's length to 0.
  size_t changed = 0;
  for (size_t page = 64; page < after.size(); page += 8192)
    if (DbGet32(&after[page]) == kDbRowLeaf && DbGet16(&before[page + 16]) != DbGet16(&after[page + 16])) {
      ++changed;
      EXPECT_EQ(DbGet16(&after[page + 16]), 0);
    }
  EXPECT_EQ(changed, 1u);
}

// A page read again leaves out rows deleted before the last commit and moves the rest; a walk
// standing on a row there still reads, writes and steps on from that row (or from where it stood).
TEST_F(TransactionTest, AWalkKeepsItsRowWhenItsPageIsReadAgain) {
  enum Action { kRead, kUpdate, kDelete };
  const struct {
    const char* name;
    bool keyed;
    Action action;
    std::vector<std::string> rows;  // afterwards
    bool committedFirst = false;    // acts and commits before the page is read again
  } cases[] = {
      {"read", true, kRead, {"2 r2", "3 r3", "4 r4", "5 r5"}},
      {"updated", true, kUpdate, {"2 r2", "3 xx", "4 r4", "5 r5"}},
      {"updated, keyless", false, kUpdate, {"2 r2", "3 xx", "4 r4", "5 r5"}},
      {"deleted", true, kDelete, {"2 r2", "4 r4", "5 r5"}},
      {"deleted, keyless", false, kDelete, {"2 r2", "4 r4", "5 r5"}},
      {"deleted and committed", true, kDelete, {"2 r2", "4 r4", "5 r5"}, true},
      {"deleted and committed, keyless", false, kDelete, {"2 r2", "4 r4", "5 r5"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string table = "t" + std::to_string(&c - cases);
    ASSERT_TRUE(db->CreateTable(table, {{"id", kDbInteger, false}, {"s", kDbVarchar, true}},
                                c.keyed ? std::vector<size_t>{0} : std::vector<size_t>{}));
    for (int id = 1; id <= 5; ++id)
      ASSERT_TRUE(db->AddTableRecord(table, {{"id", std::to_string(id)}, {"s", "r" + std::to_string(id)}}));
    auto first = vndbCursor::Open(*db, table, {"id"});
    ASSERT_TRUE(first->NextRow() && first->DeleteRow());
    first.reset();
    ASSERT_TRUE(db->Commit());
    auto walk = vndbCursor::Open(*db, table, {"id", "s"});
    ASSERT_TRUE(walk->NextRow() && walk->NextRow());
    const auto purge = [&] {  // memory runs short between two calls of the walk
      vndbFile::Scope later(db->File());
      PurgeObjects(0);
    };
    if (!c.committedFirst) purge();
    if (c.action == kRead) EXPECT_EQ(walk->ColumnValue(1)->Text(), "r3");
    else EXPECT_TRUE(c.action == kUpdate ? walk->UpdateRow({{1, "xx"}}) : walk->DeleteRow()) << db->ErrorMessage();
    if (c.committedFirst) {
      ASSERT_TRUE(db->Commit());
      purge();
    }
    ASSERT_TRUE(walk->NextRow());
    EXPECT_EQ(walk->ColumnValue(0)->integer, 4);
    walk.reset();
    walk = vndbCursor::Open(*db, table, {"id", "s"});
    std::vector<std::string> rows;
    while (walk->NextRow()) rows.push_back(std::to_string(walk->ColumnValue(0)->integer) + " " + walk->ColumnValue(1)->Text());
    EXPECT_EQ(rows, c.rows);
  }
}

TEST_F(TransactionTest, AScanKeepsTheCacheWithinItsBudget) {
  for (int i = 0; i < 600; ++i)
    ASSERT_TRUE(db->AddTableRecord("people", {{"name", std::to_string(10000 + i) + std::string(700, 'z')}}));
  // A change larger than the budget keeps every changed page until it is written.
  db->File().SetPageBudget(16);
  ASSERT_TRUE(db->Commit());
  db.reset();
  auto reopened = Reopen(path);
  reopened->File().SetPageBudget(16);
  EXPECT_EQ(Names(*reopened).size(), 601u);
  EXPECT_LE(reopened->File().CachedPages(), 16u);
  EXPECT_LT(PurgableObjectCount(), 40);
}

}  // namespace
}  // namespace vorn
