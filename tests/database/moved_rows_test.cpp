// Rows a walk updates so that their key changes stand at their new key at once: other readers,
// commits and rollbacks meet them there, no other row may take their key, and the walk, going
// on, does not give them again, nor skips another row it meets there or a row a rollback put
// back.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <tuple>
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

// What a walk should give, kept beside the file: rows by key, each with an identity that a
// change of its value keeps and a change of its key by anyone but the walk does not, and whether
// the walk itself moved it there (it is not given again). A transaction undone puts it all back.
struct ModelRow {
  int id, sub;
  std::string value;
  int order;  // a table without a key keeps its rows in the order they came
  int uid;
  bool walkMoved;
};
using ModelKey = std::pair<int, int>;
struct Model {
  std::map<ModelKey, ModelRow> rows, committed;
  int nextUid = 0, nextOrder = 0, committedOrder = 0;
  bool keyed = true, twoColumns = false;
  ModelKey given{INT32_MIN, 0};  // the key the row given last had when given
  int current = -1;              // its identity
  ModelKey movedTo{0, 0}, deleted{0, 0};

  ModelKey KeyOf(const ModelRow& row) const {
    return keyed ? ModelKey{row.id, twoColumns ? row.sub : 0} : ModelKey{row.order, 0};
  }
  void Add(int id, int sub, std::string value, bool walkMoved = false) {
    ModelRow row{id, sub, std::move(value), nextOrder++, nextUid++, walkMoved};
    rows.emplace(KeyOf(row), row);
  }
  ModelRow* Current() {
    for (auto& [key, row] : rows)
      if (row.uid == current) return &row;
    return nullptr;
  }
  void Keep() { committed = rows, committedOrder = nextOrder; }
  void Undo() { rows = committed, nextOrder = committedOrder; }
};

std::string Text(const ModelRow& row) {
  return std::to_string(row.id) + "/" + std::to_string(row.sub) + "/" + row.value;
}

std::string WalkText(vndbCursor& walk) {
  return std::to_string(walk.ColumnValue(0)->integer) + "/" + std::to_string(walk.ColumnValue(1)->integer) + "/" +
         walk.ColumnValue(2)->Text();
}

TEST(MovedRowsTest, WalksThatMoveKeysStayRightThroughWhatFollows) {
  enum Op { kNext, kMove, kDelete, kSet, kRollback, kCommit, kCommitWriteFails, kCommitSyncFails,
            kOtherInsertMovedTo, kOtherDeleteMovedTo, kOtherDeleteAhead, kOtherSetMovedTo, kOtherSetCurrent,
            kSecondWalkMovesAhead, kMoveOntoDeleted };
  using Steps = std::vector<std::pair<Op, int>>;
  struct Walk {
    const char* name;
    bool keyed, twoColumns;
    size_t bytes;
    std::vector<Steps> cycle;  // after each row given, the steps of row (given % size)
  };
  const Walk walks[] = {
      {"forward", true, false, 100, {{{kMove, 5}}}},
      {"backward", true, false, 100, {{{kMove, -500}}}},
      {"onto freed keys", true, false, 100, {{{kDelete, 0}}, {{kMove, -10}}}},
      {"many times", true, false, 100, {{{kMove, 3}, {kMove, 3}, {kMove, 3}}}},
      {"two-column key", true, true, 100, {{{kMove, 5}}, {}}},
      {"rows of 1,500 bytes", true, false, 1500, {{{kMove, 5}}, {{kMove, 25}}}},
      {"keyless, updated by the walk and by another", false, false, 100, {{{kSet, 0}}, {{kOtherSetCurrent, 0}}}},
  };
  const std::pair<const char*, Steps> follows[] = {
      {"rolled back", {{kRollback, 0}}},
      {"a commit refused, a write fails", {{kCommitWriteFails, 0}}},
      {"a commit refused, a sync fails", {{kCommitSyncFails, 0}}},
      {"committed, then moved and rolled back", {{kCommit, 0}, {kMove, 7}, {kRollback, 0}}},
      {"another inserts where the walk moved a row", {{kOtherDeleteMovedTo, 0}, {kOtherInsertMovedTo, 0}}},
      {"another deletes ahead, the walk moves there, rolled back",
       {{kOtherDeleteAhead, 0}, {kMoveOntoDeleted, 0}, {kRollback, 0}}},
      {"another updates a moved row", {{kOtherSetMovedTo, 0}}},
      {"committed, another deletes a moved row, the walk moves the next there, rolled back",
       {{kCommit, 0}, {kOtherDeleteMovedTo, 0}, {kNext, 0}, {kMoveOntoDeleted, 0}, {kRollback, 0}}},
      {"a second walk moves a row ahead", {{kSecondWalkMovesAhead, 0}}},
  };
  for (const Walk& w : walks) {
    for (const auto& [followName, follow] : follows) {
      SCOPED_TRACE(std::string(w.name) + ", " + followName);
      dbtest::SimDisk disk;
      auto db = vndbHandle::Create(disk.Storage());
      ASSERT_TRUE(db);
      ASSERT_TRUE(db->CreateTable("t", {{"id", kDbInteger, false}, {"sub", kDbInteger, false}, {"v", kDbVarchar, true}},
                                  w.keyed ? (w.twoColumns ? std::vector<size_t>{0, 1} : std::vector<size_t>{0})
                                          : std::vector<size_t>{}));
      Model model;
      model.keyed = w.keyed;
      model.twoColumns = w.twoColumns;
      int changes = 0;
      auto value = [&] { return std::string(w.bytes, char('a' + changes++ % 26)); };
      for (int i = 0; i < 24; ++i) {
        model.Add(1000 + 10 * i, i % 2, value());
        const ModelRow& row = model.rows.rbegin()->second;
        ASSERT_TRUE(db->AddTableRecord("t", {{"id", std::to_string(row.id)}, {"sub", std::to_string(row.sub)}, {"v", row.value}}));
      }
      ASSERT_TRUE(db->Commit());
      model.Keep();
      auto walk = vndbCursor::Open(*db, "t", {"id", "sub", "v"});
      bool ended = false;
      // Another statement's change of the row at `key`, told to the walk first as the engine does.
      auto other = [&](ModelKey key, const std::function<void(vndbCursor&, ModelRow&)>& change) {
        auto found = model.rows.find(key);
        if (found == model.rows.end()) return;
        walk->Disturb();
        auto second = vndbCursor::Open(*db, "t", {"id", "sub", "v"});
        for (auto at = model.rows.begin(); at != model.rows.end() && second->NextRow(); ++at)  // in one order
          if (at == found) return change(*second, found->second);
        ADD_FAILURE() << "no row " << Text(found->second);
      };
      auto ahead = [&] {
        auto next = model.rows.upper_bound(model.given);
        while (next != model.rows.end() && next->second.walkMoved) ++next;
        return next == model.rows.end() ? model.given : next->first;
      };
      auto commit = [&](int64_t dbtest::SimDisk::*limit, int64_t allowed) {
        if (limit) disk.*limit = allowed;
        const bool kept = db->Commit();
        EXPECT_EQ(kept, limit == nullptr) << db->ErrorMessage();
        disk.Heal();
        if (kept) model.Keep();
        else model.Undo();
      };
      // The walk's own change of the row given; refused when the row is gone or the key taken.
      auto move = [&](ModelKey to) {
        ModelRow* row = model.Current();
        ModelRow moved = row ? *row : ModelRow{};
        moved.id = to.first;
        const bool free = row && (model.KeyOf(moved) == model.KeyOf(*row) || !model.rows.contains(model.KeyOf(moved)));
        EXPECT_EQ(walk->UpdateRow({{0, std::to_string(to.first)}}), free) << db->ErrorMessage();
        if (!free) {
          EXPECT_EQ(db->ErrorCode(), row ? kDbErrorPrimaryKey : kDbErrorUnknown);
          return;
        }
        model.rows.erase(model.KeyOf(*row));
        moved.walkMoved = w.keyed;
        model.movedTo = model.KeyOf(moved);
        model.rows.emplace(model.movedTo, moved);
      };
      auto run = [&](Op op, int by) {
        ModelRow* row = model.Current();
        switch (op) {
          case kNext: {
            auto next = model.rows.upper_bound(model.given);
            while (next != model.rows.end() && next->second.walkMoved) ++next;
            ASSERT_EQ(walk->NextRow(), next != model.rows.end());
            if (next == model.rows.end()) return void(ended = true);
            model.given = next->first;
            model.current = next->second.uid;
            EXPECT_EQ(WalkText(*walk), Text(next->second));
            break;
          }
          case kMove: return move({row ? row->id + by : 0, row ? row->sub : 0});
          case kMoveOntoDeleted: return move(model.deleted);
          case kDelete:
            EXPECT_EQ(walk->DeleteRow(), row != nullptr);
            if (row) model.rows.erase(model.KeyOf(*row));
            break;
          case kSet: {
            const std::string text = value();
            EXPECT_EQ(walk->UpdateRow({{2, text}}), row != nullptr);
            if (row) row->value = text;
            break;
          }
          case kRollback:
            db->Rollback();
            model.Undo();
            break;
          case kCommit: return commit(nullptr, 0);
          case kCommitWriteFails: return commit(&dbtest::SimDisk::writesLeft, 1);
          case kCommitSyncFails: return commit(&dbtest::SimDisk::syncsLeft, 1);
          case kOtherInsertMovedTo:
            if (model.rows.contains(model.movedTo) || !w.keyed) return;
            walk->Disturb();
            ASSERT_TRUE(db->AddTableRecord("t", {{"id", std::to_string(model.movedTo.first)},
                                                 {"sub", std::to_string(model.movedTo.second)}, {"v", "new"}}));
            return model.Add(model.movedTo.first, model.movedTo.second, "new");
          case kOtherDeleteMovedTo:
          case kOtherDeleteAhead: {
            const ModelKey key = op == kOtherDeleteAhead ? ahead() : model.movedTo;
            return other(key, [&](vndbCursor& second, ModelRow& gone) {
              ASSERT_TRUE(second.DeleteRow());
              model.deleted = {gone.id, gone.sub};
              model.rows.erase(key);
            });
          }
          case kOtherSetMovedTo:
          case kOtherSetCurrent:
            return other(op == kOtherSetCurrent && row ? model.KeyOf(*row) : model.movedTo,
                         [&](vndbCursor& second, ModelRow& changed) {
                           changed.value = value();
                           ASSERT_TRUE(second.UpdateRow({{2, changed.value}}));
                         });
          case kSecondWalkMovesAhead:
            return other(ahead(), [&](vndbCursor& second, ModelRow& moved) {
              ModelRow again = moved;
              again.id += 1;
              if (w.keyed) again.uid = model.nextUid++;  // another row to the walk
              again.walkMoved = false;
              if (w.keyed && model.rows.contains(model.KeyOf(again))) return;
              ASSERT_TRUE(second.UpdateRow({{0, std::to_string(again.id)}})) << db->ErrorMessage();
              model.rows.erase(model.KeyOf(moved));
              model.rows.emplace(model.KeyOf(again), again);
            });
        }
      };
      // After every step: the table as the model has it, and the row given read where it stands.
      auto check = [&](const char* step) {
        std::vector<std::string> expected, read;
        for (const auto& [key, row] : model.rows) expected.push_back(Text(row));
        auto reader = vndbCursor::Open(*db, "t", {"id", "sub", "v"});
        while (reader->NextRow()) read.push_back(WalkText(*reader));
        ASSERT_FALSE(db->File().IsDamaged()) << step << ": " << db->File().DamageReason();
        ASSERT_EQ(read, expected) << step;
        if (ModelRow* row = model.Current(); row && !ended) {
          EXPECT_EQ(WalkText(*walk), Text(*row)) << step;
        }
      };
      for (size_t given = 0; !ended && given < 60; ++given) {
        run(kNext, 0);
        check("next");
        if (ended) break;
        for (const auto& [op, by] : w.cycle[given % w.cycle.size()]) {
          run(op, by);
          check("walk's change");
        }
        if (given == 5) {
          for (const auto& [op, by] : follow) {
            run(op, by);
            check(followName);
          }
        }
      }
      EXPECT_TRUE(ended);
      walk.reset();
      ASSERT_TRUE(db->Commit()) << db->ErrorMessage();
    }
  }
}

}  // namespace
}  // namespace vorn
