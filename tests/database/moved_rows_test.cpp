// Rows a walk updates so that their key changes (every updated row of a table without a primary
// key) stand at their new key at once: other readers, commits and rollbacks meet them there, no
// other row may take their key, and the walk, going on, does not give them again.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/sql_condition.h"
#include "database/support/sim_disk.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

std::string Line(vndbCursor& cursor) {
  return std::to_string(cursor.ColumnValue(0)->integer) + " " + cursor.ColumnValue(1)->Text();
}

std::vector<std::string> Rows(vndbHandle& db) {
  std::vector<std::string> rows;
  auto cursor = vndbCursor::Open(db, "t", {"id", "s"});
  while (cursor && cursor->NextRow()) rows.push_back(Line(*cursor));
  return rows;
}

TEST(MovedRowsTest, AMovedRowStandsAtItsNewKeyForEveryoneAndTheWalkGivesItOnce) {
  using Lines = std::vector<std::string>;
  dbtest::SimDisk* onDisk = nullptr;  // the running case's
  using Step = std::function<void(vndbHandle&, vndbCursor&)>;
  struct Case {
    const char* name;
    bool keyed;
    std::vector<std::pair<size_t, std::optional<std::string>>> edit;  // of row "1 a"
    Step between;  // while the walk is open
    std::vector<std::string> rows;
    int32_t error;  // of `between`'s last operation
  };
  const Case cases[] = {
      {"key changed, read by another", true, {{0, "5"}},
       [](vndbHandle& db, vndbCursor&) { EXPECT_EQ(Rows(db), (Lines{"2 b", "5 a"})); }, {"2 b", "5 a"}, 0},
      {"keyless, read by another", false, {{1, "CHANGED"}},
       [](vndbHandle& db, vndbCursor&) { EXPECT_EQ(Rows(db), (Lines{"2 b", "1 CHANGED"})); }, {"2 b", "1 CHANGED"}, 0},
      {"key changed, committed, then the power goes", true, {{0, "5"}},
       [&onDisk](vndbHandle& db, vndbCursor&) {
         ASSERT_TRUE(db.Commit());
         dbtest::SimDisk cut = *onDisk;
         cut.PowerCut();
         auto after = vndbHandle::Open(cut.Storage());
         ASSERT_TRUE(after);
         EXPECT_EQ(Rows(*after), (Lines{"2 b", "5 a"}));
       },
       {"2 b", "5 a"}, 0},
      {"key changed, every row deleted and committed", true, {{0, "5"}},
       [](vndbHandle& db, vndbCursor&) {
         auto other = vndbCursor::Open(db, "t", {"id", "s"});
         while (other->NextRow()) ASSERT_TRUE(other->DeleteRow());
         ASSERT_TRUE(db.Commit());
       },
       {}, 0},
      {"a walk of one key moves its row and writes it again", true, {{1, "a"}},
       [](vndbHandle& db, vndbCursor&) {
         const string column("id"), two("2");
         const dbFilter idIsTwo{nullptr, nullptr, kSqlEqual, 0, column.Rep(), two.Rep()};
         auto other = vndbCursor::Open(db, "t", {"id", "s"}, &idIsTwo);
         ASSERT_TRUE(other->NextRow());
         ASSERT_TRUE(other->UpdateRow({{0, "7"}}));
         EXPECT_TRUE(other->UpdateRow({{1, "again"}})) << db.ErrorMessage();
         EXPECT_FALSE(other->NextRow());
       },
       {"1 a", "7 again"}, 0},
      {"key changed, rolled back", true, {{0, "5"}}, [](vndbHandle& db, vndbCursor&) { db.Rollback(); },
       {"1 a", "2 b"}, 0},
      {"keyless, rolled back", false, {{1, "CHANGED"}}, [](vndbHandle& db, vndbCursor&) { db.Rollback(); },
       {"1 a", "2 b"}, 0},
      {"statement undone", true, {{0, "5"}}, [](vndbHandle& db, vndbCursor&) { db.File().RollbackStatement(); },
       {"1 a", "2 b"}, 0},
      {"committed, then a rollback", true, {{0, "5"}},
       [](vndbHandle& db, vndbCursor&) {
         ASSERT_TRUE(db.Commit());
         ASSERT_TRUE(db.AddTableRecord("t", {{"id", "3"}, {"s", "c"}}));
         db.Rollback();
       },
       {"2 b", "5 a"}, 0},
      {"its key inserted", true, {{0, "5"}},
       [](vndbHandle& db, vndbCursor&) { EXPECT_FALSE(db.AddTableRecord("t", {{"id", "5"}, {"s", "z"}})); },
       {"2 b", "5 a"}, kDbErrorPrimaryKey},
      {"its key in another table", true, {{0, "5"}},
       [](vndbHandle& db, vndbCursor&) { EXPECT_TRUE(db.AddTableRecord("u", {{"id", "5"}, {"s", "z"}})); }, {"2 b", "5 a"}, 0},
      {"its key given by the walk", true, {{0, "5"}},
       [](vndbHandle&, vndbCursor& walk) {
         ASSERT_TRUE(walk.NextRow());
         EXPECT_FALSE(walk.UpdateRow({{0, "5"}}));
       },
       {"2 b", "5 a"}, kDbErrorPrimaryKey},
      {"its key given by another walk", true, {{0, "5"}},
       [](vndbHandle& db, vndbCursor&) {
         auto other = vndbCursor::Open(db, "t", {"id", "s"});
         ASSERT_TRUE(other->NextRow());
         EXPECT_FALSE(other->UpdateRow({{0, "5"}}));
       },
       {"2 b", "5 a"}, kDbErrorPrimaryKey},
  };
  for (const Case& c : cases) {
    dbtest::SimDisk disk;
    onDisk = &disk;
    auto db = vndbHandle::Create(disk.Storage());
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->CreateTable("t", {{"id", kDbInteger, false}, {"s", kDbVarchar, true}},
                                c.keyed ? std::vector<size_t>{0} : std::vector<size_t>{}));
    ASSERT_TRUE(db->CreateTable("u", {{"id", kDbInteger, false}, {"s", kDbVarchar, true}}, {0}));
    ASSERT_TRUE(db->AddTableRecord("t", {{"id", "1"}, {"s", "a"}}));
    ASSERT_TRUE(db->AddTableRecord("t", {{"id", "2"}, {"s", "b"}}));
    ASSERT_TRUE(db->Commit());
    db->File().BeginStatement();
    auto walk = vndbCursor::Open(*db, "t", {"id", "s"});
    ASSERT_TRUE(walk->NextRow());
    ASSERT_TRUE(walk->UpdateRow(c.edit)) << c.name << ": " << db->ErrorMessage();
    const std::string edited = Line(*walk);  // read where it now stands
    c.between(*db, *walk);
    EXPECT_EQ(db->ErrorCode(), c.error) << c.name << ": " << db->ErrorMessage();
    while (walk->NextRow()) EXPECT_NE(Line(*walk), edited) << c.name << ": given twice";
    walk.reset();
    db->File().EndStatement();
    EXPECT_EQ(Rows(*db), c.rows) << c.name;
  }
}

}  // namespace
}  // namespace vorn
