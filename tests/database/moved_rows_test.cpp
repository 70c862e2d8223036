// Rows a walk updates so that their key changes stand at their new key at once: other readers,
// commits and rollbacks meet them there, no other row may take their key, and the walk, going on,
// gives them once, and every other row it meets there or that a rollback put back.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/sql_condition.h"
#include "database/support/sim_disk.h"
#include "strings/vstring.h"
#include "support/class_test.h"

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
       [](vndbHandle& db, vndbCursor&) { EXPECT_EQ(Rows(db), (Lines{"1 CHANGED", "2 b"})); }, {"1 CHANGED", "2 b"}, 0},
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

// What a walk should give, kept beside the file: rows by key (a keyless table's by place), each
// with an identity that its moves keep, and whether the walk itself moved it there (it is not
// given again). The rows are of 1,500 bytes, so that moves and undone transactions reach pages of
// their own, and the walk moves each row it gives 5 or 25 further, out of key order.
struct ModelRow {
  int id;
  std::string value;
  int uid;
  bool walkMoved;
};

std::string Text(const ModelRow& row) { return std::to_string(row.id) + " " + row.value; }

TEST(MovedRowsTest, WalksThatMoveKeysStayRightThroughWhatFollows) {
  enum Op { kNext, kMove, kMoveOntoDeleted, kRollback, kCommit, kCommitWriteFails, kCommitSyncFails,
            kOtherDeletesMovedTo, kOtherInsertsThere };
  const std::pair<const char*, std::vector<Op>> follows[] = {
      {"rolled back", {kRollback}},
      {"a commit refused, a write fails", {kCommitWriteFails}},
      {"a commit refused, a sync fails", {kCommitSyncFails}},
      {"another inserts where the walk moved a row", {kOtherDeletesMovedTo, kOtherInsertsThere}},
      {"committed, another deletes a moved row, the walk moves the next there, rolled back",
       {kCommit, kOtherDeletesMovedTo, kNext, kMoveOntoDeleted, kRollback}},
  };
  for (const bool keyed : {true, false}) {
    for (const auto& [followName, follow] : follows) {
      SCOPED_TRACE(std::string(keyed ? "keyed, " : "keyless, ") + followName);
      dbtest::SimDisk disk;
      auto db = vndbHandle::Create(disk.Storage());
      ASSERT_TRUE(db);
      ASSERT_TRUE(db->CreateTable("t", {{"id", kDbInteger, false}, {"s", kDbVarchar, true}},
                                  keyed ? std::vector<size_t>{0} : std::vector<size_t>{}));
      std::map<int, ModelRow> rows, committed;
      int nextUid = 0, given = -1, current = -1, movedTo = 0, deleted = 0, n = 0;
      auto add = [&](int id, const std::string& text) {
        rows.emplace(keyed ? id : nextUid, ModelRow{id, text, nextUid, false});
        ++nextUid;
        return db->AddTableRecord("t", {{"id", std::to_string(id)}, {"s", text}});
      };
      for (int i = 0; i < 24; ++i) ASSERT_TRUE(add(1000 + 10 * i, std::string(1500, char('a' + i))));
      ASSERT_TRUE(db->Commit());
      committed = rows;
      auto walk = vndbCursor::Open(*db, "t", {"id", "s"});
      auto currentAt = [&] {
        return std::find_if(rows.begin(), rows.end(), [&](const auto& at) { return at.second.uid == current; });
      };
      bool ended = false;
      auto run = [&](Op op) {
        switch (op) {
          case kNext: {
            auto next = rows.upper_bound(given);
            while (next != rows.end() && next->second.walkMoved) ++next;
            ASSERT_EQ(walk->NextRow(), next != rows.end());
            ended = next == rows.end();
            if (!ended) given = next->first, current = next->second.uid;
            break;
          }
          case kMove:
          case kMoveOntoDeleted: {  // the walk's own; refused when another row holds the key
            auto at = currentAt();
            ASSERT_TRUE(at != rows.end());
            const int to = op == kMove ? at->second.id + (n % 2 ? 25 : 5) : deleted, key = keyed ? to : at->first;
            const bool free = key == at->first || !rows.contains(key);
            EXPECT_EQ(walk->UpdateRow({{0, std::to_string(to)}}), free) << db->ErrorMessage();
            EXPECT_EQ(db->ErrorCode(), free ? 0 : kDbErrorPrimaryKey);
            if (!free) break;
            ModelRow row = at->second;
            rows.erase(at);
            row.id = to, row.walkMoved = keyed;
            rows.emplace(movedTo = key, row);
            break;
          }
          case kCommit:
            ASSERT_TRUE(db->Commit());
            committed = rows;
            break;
          case kCommitWriteFails:  // undone
          case kCommitSyncFails:
            (op == kCommitWriteFails ? disk.writesLeft : disk.syncsLeft) = 1;
            EXPECT_FALSE(db->Commit());
            disk.Heal();
            rows = committed;
            break;
          case kRollback:
            db->Rollback();
            rows = committed;
            break;
          case kOtherDeletesMovedTo: {  // found by place; the walk is told first, as the engine does
            walk->Disturb();
            auto second = vndbCursor::Open(*db, "t", {"id", "s"});
            for (auto at = rows.begin(); at != rows.find(movedTo); ++at) second->NextRow();
            ASSERT_TRUE(second->NextRow() && second->DeleteRow());
            deleted = rows.at(movedTo).id;
            rows.erase(movedTo);
            break;
          }
          case kOtherInsertsThere:
            walk->Disturb();
            ASSERT_TRUE(add(deleted, "new"));
            break;
        }
      };
      for (; !ended && n < 60; ++n) {
        std::vector<Op> steps = {kNext, kMove};
        if (n == 5) steps.insert(steps.end(), follow.begin(), follow.end());
        for (size_t i = 0; i < steps.size() && !ended; ++i) {
          run(steps[i]);
          // The table as the model has it, and the row given read where it now stands.
          std::vector<std::string> expected;
          for (const auto& [key, row] : rows) expected.push_back(Text(row));
          const std::vector<std::string> read = Rows(*db);
          ASSERT_FALSE(db->File().IsDamaged()) << db->File().DamageReason();
          ASSERT_EQ(read, expected) << "step " << i << " of row " << n;
          if (auto at = currentAt(); at != rows.end() && !ended) {
            EXPECT_EQ(Line(*walk), Text(at->second));
          }
        }
      }
    }
  }
}

class MovedRowsRecordSetTest : public test::IntrinsicClassTest {};

// A RecordSet keeps its row's edits until it moves; an undo (a Rollback, a commit refused at a
// write or at a sync) takes back what they wrote, and the RecordSet shows the row as the file
// has it: an edit of another column made next, with no move between, writes only that column.
TEST_F(MovedRowsRecordSetTest, AnEditAfterAnUndoWritesOnlyWhatItNames) {
  for (const int undo : {0, 1, 2}) {  // rolled back, a commit refused at a write, at a sync
    for (const char* query : {"select * from t", "select id, v, w from t where id < 25", "select * from t order by w"}) {
      for (const auto& [column, value] : {std::pair{"id", "25"}, {"v", "CHANGED"}}) {
        SCOPED_TRACE(std::to_string(undo) + ", " + query + ", " + column);
        dbtest::SimDisk disk;
        RuntimeObject* db = WrapBuiltInDatabase(vndbHandle::Create(disk.Storage()));
        for (const char* sql : {"create table t (id integer not null, v varchar(9), w varchar(9), primary key (id))",
                                "insert into t (id, v) values (10, 'a')", "insert into t (id, v) values (20, 'b')", "commit"})
          databaseSQLExecute(db, string(sql).Rep());
        RuntimeObject* rs = Keep(databaseSQLSelect(db, string(query).Rep()));
        auto field = [&](const char* name) { return Keep(cursorGetFieldByName(rs, string(name).Rep())); };
        auto edit = [&](const char* name, const char* text) {
          cursorEdit(rs), databaseCursorFieldSetString(field(name), string(text).Rep()), cursorUpdate(rs);
        };
        edit(column, value);
        if (undo) (undo == 1 ? disk.writesLeft : disk.syncsLeft) = 1, databaseCommit(db), disk.Heal();
        else databaseRollback(db);
        EXPECT_EQ(databaseErrorCodeGetter(db, 0), undo ? kDbErrorInternal : 0);
        EXPECT_EQ(std::string(string::Adopt(cursorFieldStringValueGetter(field("id"), 0)).View()) + " " +
                      std::string(string::Adopt(cursorFieldStringValueGetter(field("v"), 0)).View()), "10 a");
        edit("w", "W");
        databaseCommit(db), cursorClose(rs), databaseClose(db), RuntimeUnlockObject(db);
        auto reopened = vndbHandle::Open(disk.Storage());
        std::vector<std::string> rows;
        for (auto walk = vndbCursor::Open(*reopened, "t", {"id", "v", "w"}); walk && walk->NextRow();)
          rows.push_back(Line(*walk) + " " + walk->ColumnValue(2)->Text());
        EXPECT_EQ(rows, (std::vector<std::string>{"10 a W", "20 b "}));
      }
    }
  }
}

}  // namespace
}  // namespace vorn
