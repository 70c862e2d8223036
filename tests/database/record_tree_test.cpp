#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

#include "database/db_handle.h"
#include "database/db_tree.h"
#include "files/data_file.h"
#include "database/support/db_test_files.h"

namespace vorn {
namespace {

// Long keys make interior entries big, so a few thousand rows give a tree of several levels.
std::string KeyText(int n) {
  char digits[16];
  snprintf(digits, sizeof digits, "%06d", n);
  return std::string(digits) + std::string(380, char('a' + n % 26));
}

Bytes Row(vndbFile& file, int n) {
  return DbBuildRow({{0, DbValue::Text(kDbVarchar, KeyText(n))}, {1, DbValue::Integer(kDbInteger, n)}},
                    file.CurrentSerial(), file.NewRecordId());
}

Bytes Key(int n) {
  Bytes key;
  Bytes row = DbBuildRow({{0, DbValue::Text(kDbVarchar, KeyText(n))}}, 0, 0);
  return DbRowKey(row.data(), row.size(), {0});
}

uint32_t TreeRoot(vndbFile& file, const std::string& name) {
  vndbTree master(file);
  size_t length = 0;
  while (master.Next()) {
    const uint8_t* record = master.CurrentRecord(&length);
    if (std::string(reinterpret_cast<const char*>(record) + 18, length - 18) == name) return DbGet32(record + 10);
  }
  return kDbNoPage;
}

int TreeDepth(vndbFile& file, const std::string& name) {
  int depth = 1;
  for (vndbPage* page = file.GetPage(TreeRoot(file, name)); page && page->Tag() == kDbInteriorPage; ++depth)
    page = file.GetPage(DbGet32(page->Data() + 8));
  return depth;
}

class RecordTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dbtest::TempPath("tree.vdb");
    auto stream = std::make_unique<UnixDataFile>();
    ASSERT_TRUE(stream->Create(path.c_str()));
    file = std::make_unique<vndbFile>();
    ASSERT_TRUE(file->Create(std::move(stream)));
    ASSERT_TRUE(vndbTree::CreateNamedTree(*file, "rows"));
  }

  void Reopen() {
    ASSERT_TRUE(file->Close());
    auto stream = std::make_unique<UnixDataFile>();
    ASSERT_TRUE(stream->Open(path.c_str(), kDataFileReadWritePermission));
    file = std::make_unique<vndbFile>();
    ASSERT_TRUE(file->Open(std::move(stream))) << file->Error();
  }

  std::string path;
  std::unique_ptr<vndbFile> file;
};

TEST_F(RecordTreeTest, EmptyTreeFindsTheEndAndHasNoNext) {
  auto tree = vndbTree::OpenNamedTree(*file, "ROWS", {0});
  ASSERT_TRUE(tree);
  bool found = true;
  EXPECT_TRUE(tree->Find(Key(1), &found));
  EXPECT_FALSE(found);
  EXPECT_FALSE(tree->Next());
  EXPECT_FALSE(vndbTree::OpenNamedTree(*file, "other"));
}

TEST_F(RecordTreeTest, ManyRowsSplitSeveralLevelsAndSurviveDeletesAndReopening) {
  constexpr int kRows = 3000;
  std::vector<int> order(kRows);
  for (int i = 0; i < kRows; ++i) order[size_t(i)] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(7));
  {
    auto tree = vndbTree::OpenNamedTree(*file, "rows", {0});
    for (int n : order)
      ASSERT_EQ(tree->InsertRecord(Row(*file, n), true), vndbTree::InsertResult::kInserted) << n;
    EXPECT_EQ(tree->InsertRecord(Row(*file, 17), true), vndbTree::InsertResult::kDuplicate);
  }
  ASSERT_TRUE(file->Commit());
  EXPECT_GE(TreeDepth(*file, "rows"), 3);

  {
    auto tree = vndbTree::OpenNamedTree(*file, "rows", {0});
    int expected = 0;
    while (tree->Next()) {
      ASSERT_TRUE(tree->IsCurrentVisible());
      EXPECT_EQ(DbDecodeField(tree->GetField(1)).integer, expected++);
    }
    EXPECT_EQ(expected, kRows);
    for (int n = 0; n < kRows; n += 3) {
      bool found = false;
      ASSERT_TRUE(tree->Find(Key(n), &found));
      ASSERT_TRUE(found) << n;
      ASSERT_TRUE(tree->DeleteCurrent());
    }
  }
  ASSERT_TRUE(file->Commit());
  Reopen();
  auto tree = vndbTree::OpenNamedTree(*file, "rows", {0});
  ASSERT_TRUE(tree);
  for (int n = 0; n < kRows; ++n) {
    bool found = false;
    ASSERT_TRUE(tree->Find(Key(n), &found));
    EXPECT_EQ(found, n % 3 != 0) << n;
    if (found) {
      EXPECT_EQ(DbDecodeField(tree->GetField(1)).integer, n);
    }
  }
  EXPECT_FALSE(file->IsDamaged()) << file->Error();
}

TEST_F(RecordTreeTest, AFullLeafAtItsEndSplitsOffThePageOfTheNewRecord) {
  auto tree = vndbTree::OpenNamedTree(*file, "rows", {0});
  int n = 0;
  // Rows of 408 bytes: 20 fill a leaf, the 21st starts the right-hand page.
  for (; n < 20; ++n) ASSERT_EQ(tree->InsertRecord(Row(*file, n), true), vndbTree::InsertResult::kInserted);
  EXPECT_EQ(TreeDepth(*file, "rows"), 1);
  ASSERT_EQ(tree->InsertRecord(Row(*file, n), true), vndbTree::InsertResult::kInserted);
  EXPECT_EQ(TreeDepth(*file, "rows"), 2);
  vndbTree master(*file);
  size_t length = 0;
  ASSERT_TRUE(master.Next());
  while (std::string(reinterpret_cast<const char*>(master.CurrentRecord(&length)) + 18, 4) != "rows")
    ASSERT_TRUE(master.Next());
  vndbPage* root = file->GetPage(DbGet32(master.CurrentRecord(&length) + 10));
  ASSERT_EQ(root->Tag(), kDbInteriorPage);
  const uint8_t* second = root->Data() + 12;  // after the first entry with its empty key
  Bytes separator(second + 12, second + DbGet16(second));
  EXPECT_EQ(separator, Key(20));
  vndbPage* right = file->GetPage(DbGet32(second + 8));
  EXPECT_EQ(right->Used(), DbGet16(right->Data()));
}

// The visible rows' values in key order.
std::vector<int64_t> Values(vndbFile& file) {
  auto walk = vndbTree::OpenNamedTree(file, "rows", {0});
  std::vector<int64_t> seen;
  while (walk && walk->Next())
    if (walk->IsCurrentVisible()) seen.push_back(DbDecodeField(walk->GetField(1)).integer);
  return seen;
}

// A changed key stands in the tree as soon as it is written, for every other reader; one a live
// record holds, or one too long, is refused with nothing changed.
TEST_F(RecordTreeTest, ReplacingKeepsUnchangedKeysInPlaceAndMovesChangedOnesAtOnce) {
  auto tree = vndbTree::OpenNamedTree(*file, "rows", {0});
  for (int n : {1, 2, 3}) tree->InsertRecord(Row(*file, n), true);
  tree = vndbTree::OpenNamedTree(*file, "rows", {0});
  auto replace = [&](int key, int value) {
    return tree->ReplaceCurrent(
        DbBuildRow({{0, DbValue::Text(kDbVarchar, KeyText(key))}, {1, DbValue::Integer(kDbInteger, value)}}, 0, 0));
  };
  ASSERT_TRUE(tree->Next());
  ASSERT_EQ(replace(1, 100), vndbTree::InsertResult::kInserted);
  ASSERT_TRUE(tree->Next());
  EXPECT_EQ(replace(3, 33), vndbTree::InsertResult::kDuplicate);
  EXPECT_EQ(tree->ReplaceCurrent(DbBuildRow({{0, DbValue::Text(kDbVarchar, std::string(2100, 'z'))}}, 0, 0)),
            vndbTree::InsertResult::kTooLong);
  ASSERT_EQ(replace(9, 9), vndbTree::InsertResult::kInserted);
  EXPECT_EQ(Values(*file), (std::vector<int64_t>{100, 3, 9}));
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

TEST_F(RecordTreeTest, ManyNamedTreesSplitTheMasterTreeAndTheHeaderNamesItsNewRoot) {
  constexpr int kTrees = 700;
  for (int i = 0; i < kTrees; ++i) ASSERT_TRUE(vndbTree::CreateNamedTree(*file, "tree" + std::to_string(i)));
  ASSERT_TRUE(file->Commit());
  Reopen();
  std::vector<uint8_t> bytes = dbtest::ReadBytes(path);
  uint32_t root = dbtest::Word(bytes, 20);
  EXPECT_NE(root, 0u);
  EXPECT_EQ(root, file->MasterRoot());
  EXPECT_EQ(dbtest::Word(bytes, 64 + 8192 * size_t(root)), kDbInteriorPage);
  EXPECT_EQ(dbtest::Word(bytes, 64 + 8192 * size_t(root) + 4), root);
  for (int i = 0; i < kTrees; i += 7) EXPECT_TRUE(vndbTree::OpenNamedTree(*file, "TREE" + std::to_string(i))) << i;
  EXPECT_TRUE(vndbTree::OpenNamedTree(*file, "rows"));
}

TEST_F(RecordTreeTest, AWalkOverAPageChangedThroughAnotherCursorStaysInsideIt) {
  auto walker = vndbTree::OpenNamedTree(*file, "rows", {0});
  auto writer = vndbTree::OpenNamedTree(*file, "rows", {0});
  for (int n = 10; n < 15; ++n) writer->InsertRecord(Row(*file, n), true);
  ASSERT_TRUE(walker->Next());
  ASSERT_TRUE(walker->Next());
  // Shorter rows put in front shift the page under the walker's position.
  for (int n = 0; n < 3; ++n)
    writer->InsertRecord(DbBuildRow({{0, DbValue::Text(kDbVarchar, std::to_string(n))}},
                                    file->CurrentSerial(), file->NewRecordId()), true);
  int steps = 0;
  while (walker->Next() && steps < 100) {
    ++steps;
    walker->GetField(1);
  }
  EXPECT_LT(steps, 100);
}

// The pages of one tree keyed by field 0, read from the root down: bytes in use per page,
// level by level in key order, the live rows' field 1 in key order, and the first fault found
// (deleted records still on their pages must stand in key order too).
struct TreeShape {
  TreeShape(vndbFile& file, uint32_t root) : mFile(file) { Visit(root, 0); }

  std::string fault;
  std::vector<std::vector<uint32_t>> used;
  std::vector<int> ids;

 private:
  void Visit(uint32_t number, size_t depth) {
    vndbPage* page = mFile.GetPage(number);
    if (!page || depth > 8) return void(fault = "page " + std::to_string(number) + " unreadable");
    if (used.size() <= depth) used.resize(depth + 1);
    used[depth].push_back(page->Used());
    Bytes data(page->Data(), page->Data() + page->Used());
    bool interior = page->Tag() == kDbInteriorPage;
    if (!interior && mLeafDepth && depth != mLeafDepth) fault = "leaves at two depths";
    if (!interior) mLeafDepth = depth;
    for (size_t at = 0; at < data.size(); at += DbGet16(&data[at])) {
      uint16_t length = DbGet16(&data[at]);
      if (interior) {
        // Every key left of an entry sorts below its separator.
        Bytes separator(data.begin() + long(at) + 12, data.begin() + long(at + length));
        if (at > 0 && mHasLast && DbCompareKeys(separator, mLastKey) <= 0) fault = "separator too low";
        Visit(DbGet32(&data[at + 8]), depth + 1);
      } else {
        Bytes key = DbRowKey(&data[at], length, {0});
        if (mHasLast && DbCompareKeys(mLastKey, key) >= 0) fault = "keys out of order";
        mLastKey = key;
        mHasLast = true;
        if (data[at + 2] == kDbLive) ids.push_back(int(DbDecodeField(DbFindField(&data[at], length, 1)).integer));
      }
    }
  }

  vndbFile& mFile;
  size_t mLeafDepth = 0;
  Bytes mLastKey;
  bool mHasLast = false;
};

// Rows of uneven length, so that a page seldom ends exactly on a record.
Bytes UnevenRow(vndbFile& file, int n) {
  char digits[16];
  snprintf(digits, sizeof digits, "%06d", n);
  std::string key = std::string(digits) + std::string(size_t(n * 37 % 300), char('a' + n % 26));
  return DbBuildRow({{0, DbValue::Text(kDbVarchar, key)}, {1, DbValue::Integer(kDbInteger, n)}},
                    file.CurrentSerial(), file.NewRecordId());
}

TEST_F(RecordTreeTest, InsertOrderKeepsTheTreeSoundAndRunsOfKeysFillThePages) {
  constexpr int kRows = 4000;
  std::vector<int> ascending(kRows);
  for (int i = 0; i < kRows; ++i) ascending[size_t(i)] = i;
  std::vector<int> shuffled = ascending;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
  // Both ends first, then the keys between them in one ascending run.
  std::vector<int> runBetween;
  for (int i = 0; i < kRows; ++i)
    if (i < kRows / 4 || i >= kRows * 3 / 4) runBetween.push_back(i);
  for (int i = kRows / 4; i < kRows * 3 / 4; ++i) runBetween.push_back(i);
  struct Case {
    const char* name;
    std::vector<int> order;
    double leastAverageFill;
    bool full;  // every leaf but the last within one row of full
    int deleteEvery;  // deleted at once, so that splits meet deleted records
  };
  std::vector<Case> cases{{"ascending", ascending, 0.95, true, 0},
                          {"descending", {ascending.rbegin(), ascending.rend()}, 0.95, true, 0},
                          {"run between", runBetween, 0.9, false, 0},
                          {"random", shuffled, 0.6, false, 0},
                          {"random with deletes", shuffled, 0.4, false, 3}};
  constexpr uint32_t kLongestRow = 10 + 2 + 4 + 6 + 299 + 6;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    {
      auto tree = vndbTree::OpenNamedTree(*file, "rows", {0});
      for (int n : c.order) {
        Bytes row = UnevenRow(*file, n);
        ASSERT_EQ(tree->InsertRecord(row, true), vndbTree::InsertResult::kInserted);
        bool found = false;
        if (c.deleteEvery && n % c.deleteEvery == 0) {
          ASSERT_TRUE(tree->Find(DbRowKey(row.data(), row.size(), {0}), &found) && found && tree->DeleteCurrent());
        }
      }
    }
    EXPECT_EQ(TreeShape(*file, TreeRoot(*file, "rows")).fault, "") << "before the deleted records are taken out";
    ASSERT_TRUE(file->Commit());
    Reopen();
    TreeShape shape(*file, TreeRoot(*file, "rows"));
    EXPECT_EQ(shape.fault, "");
    std::vector<int> kept;
    for (int n : ascending)
      if (!c.deleteEvery || n % c.deleteEvery) kept.push_back(n);
    EXPECT_EQ(shape.ids, kept);
    ASSERT_GE(shape.used.size(), 3u);
    const std::vector<uint32_t>& leaves = shape.used.back();
    uint64_t sum = 0;
    for (size_t i = 0; i < leaves.size(); ++i) {
      sum += leaves[i];
      if (c.full && i + 1 < leaves.size()) {
        EXPECT_LT(uint32_t(kDbDataSize) - leaves[i], kLongestRow) << i;
      }
    }
    EXPECT_GE(double(sum) / double(leaves.size() * kDbDataSize), c.leastAverageFill);
    EXPECT_FALSE(file->IsDamaged()) << file->Error();
  }
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

// Rows added in key order go straight to where the last one went; whatever changes the tree in
// between (another cursor, a rollback, an undone statement) sends the next one through a search.
TEST_F(RecordTreeTest, RowsAddedInKeyOrderStayInOrderWhateverHappensBetween) {
  struct Case {
    const char* name;
    void (*between)(vndbFile&, vndbTree&);
    int added;    // by `between`, 0: none
    int deleted;  // by `between`, 0: none
    bool rolledBack;
  };
  const Case cases[] = {
      {"nothing", [](vndbFile&, vndbTree&) {}, 0, 0, false},
      {"another cursor adds past the end",
       [](vndbFile& f, vndbTree&) {
         auto other = vndbTree::OpenNamedTree(f, "rows", {0});
         ASSERT_EQ(other->InsertRecord(Row(f, 900), true), vndbTree::InsertResult::kInserted);
       },
       900, 0, false},
      {"the last row deleted",
       [](vndbFile& f, vndbTree&) {
         auto other = vndbTree::OpenNamedTree(f, "rows", {0});
         bool found = false;
         ASSERT_TRUE(other->Find(Key(299), &found) && found && other->Next());
         ASSERT_TRUE(other->DeleteCurrent());
       },
       0, 299, false},
      {"rolled back", [](vndbFile& f, vndbTree&) { f.Rollback(); }, 0, 0, true},
      {"a statement undone",
       [](vndbFile& f, vndbTree& t) {
         f.BeginStatement();
         for (int n = 300; n < 400; ++n) ASSERT_EQ(t.InsertRecord(Row(f, n), true), vndbTree::InsertResult::kInserted);
         f.RollbackStatement();
       },
       0, 0, false},
  };
  for (const Case& c : cases) {
    file.reset();
    SetUp();
    auto tree = vndbTree::OpenNamedTree(*file, "rows", {0});
    std::set<int64_t> expected;
    auto add = [&](int from, int to) {
      for (int n = from; n < to; ++n) {
        expected.insert(n);
        ASSERT_EQ(tree->InsertRecord(Row(*file, n), true), vndbTree::InsertResult::kInserted) << c.name << ", " << n;
      }
    };
    add(0, 150);
    ASSERT_TRUE(file->Commit());
    add(150, 300);
    c.between(*file, *tree);
    if (c.rolledBack)
      for (int n = 150; n < 300; ++n) expected.erase(n);
    if (c.added) expected.insert(c.added);
    if (c.deleted) expected.erase(c.deleted);
    // A key already there is refused however the path was found, and later keys go in order.
    EXPECT_EQ(tree->InsertRecord(Row(*file, 149), true), vndbTree::InsertResult::kDuplicate) << c.name;
    add(400, 700);
    if (c.added) {
      EXPECT_EQ(tree->InsertRecord(Row(*file, c.added), true), vndbTree::InsertResult::kDuplicate) << c.name;
    }
    const std::vector<int64_t> all(expected.begin(), expected.end());
    EXPECT_EQ(Values(*file), all) << c.name;
    tree.reset();
    Reopen();
    EXPECT_EQ(Values(*file), all) << c.name << " after reopening";
  }
}

}  // namespace
}  // namespace vorn
