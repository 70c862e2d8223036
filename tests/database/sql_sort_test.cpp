#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/sql_error.h"
#include "database/sql_sort.h"
#include "database/support/db_test_files.h"
#include "database/support/sql_database.h"

namespace vorn {
namespace {

// A value the test owns; rows are packed from them.
struct Value {
  uint8_t type = kVornDbNull;
  std::vector<uint8_t> bytes;
};
using Values = std::vector<Value>;

Value Text(const std::string& text) { return {kVornDbText, {text.begin(), text.end()}}; }

template <typename T>
Value Number(uint8_t type, T value) {
  Value cell{type, std::vector<uint8_t>(sizeof value)};
  std::memcpy(cell.bytes.data(), &value, sizeof value);
  return cell;
}
Value Integer(int32_t value) { return Number(kVornDbInteger, value); }
Value Double(double value) { return Number(kVornDbDouble, value); }

std::string Show(const SqlCell& cell) {
  if (cell.type == kVornDbNull) return "NULL";
  if (cell.type == kVornDbText) return std::string(cell.bytes.begin(), cell.bytes.end());
  return std::to_string(static_cast<int>(SqlCellNumber(cell)));
}

// Sorts rows of (keys..., tag) by the keys with the given budget; the tags in the sorted order.
std::vector<std::string> Sorted(const std::vector<Values>& rows, SqlSortKeys keys, size_t budget) {
  const size_t tag = rows.empty() ? 0 : rows[0].size() - 1;
  SqlSorter sorter(std::move(keys), budget);
  SqlRow packed;
  for (const Values& row : rows) {
    packed.Start();
    for (const Value& value : row) packed.Add(value.type, value.bytes.data(), value.bytes.size(), 1, "[k] = 1");
    EXPECT_TRUE(sorter.Add(packed.Finish()));
  }
  std::unique_ptr<SqlRowStore> store = sorter.Finish();
  std::vector<std::string> tags;
  for (size_t i = 0; store && i < store->Count(); ++i) {
    const std::optional<SqlRowView> row = store->Fetch(i);
    EXPECT_TRUE(row && (*row)[tag].key == "[k] = 1" && (*row)[tag].source == 1) << i;
    if (row) tags.push_back(Show((*row)[tag]));
    // Stepping back between rows reads a run under the merge, which must go on where it was.
    const std::optional<SqlRowView> before = i ? store->Fetch(i - 1) : std::nullopt;
    if (before) {
      EXPECT_EQ(Show((*before)[tag]), tags[tags.size() - 2]) << i;
    }
  }
  return tags;
}

std::vector<std::string> Sorted(const std::vector<Values>& rows, bool descending, size_t budget) {
  return Sorted(rows, {{0, descending}}, budget);
}

TEST(SqlSortTest, OrderIsTheSortTablesAndEqualKeysKeepTheirReadOrder) {
  struct Case {
    std::vector<Values> rows;
    bool descending;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{{Text("banana"), Text("banana")}, {Text("Banana"), Text("Banana")}, {Text("apple"), Text("apple")},
        {Text("Cherry"), Text("Cherry")}, {Text("Apple"), Text("Apple")}, {Text("App"), Text("App")}},
       false,
       {"App", "Apple", "apple", "Banana", "banana", "Cherry"}},
      {{{Integer(1), Text("first")}, {Integer(0), Text("zero")}, {Integer(1), Text("second")}, {Double(1.0), Text("third")}},
       false,
       {"zero", "first", "second", "third"}},
      {{{Integer(1), Text("first")}, {Integer(0), Text("zero")}, {Integer(1), Text("second")}},
       true,
       {"first", "second", "zero"}},
      {{{Text("t"), Text("text")}, {Double(-2.5), Text("number")}, {Value(), Text("null")}, {Integer(7), Text("seven")}},
       false,
       {"null", "number", "seven", "text"}},
  };
  // A budget this small writes every row to a run of its own, so the merge is tested too.
  for (size_t budget : {kSqlDefaultMemoryBudget, size_t{1}}) {
    for (const Case& c : cases) EXPECT_EQ(Sorted(c.rows, c.descending, budget), c.expected) << budget;
  }
}

// NaN has one place, before every other number, whether it is the first key or follows an
// equal one, and whether the rows are sorted in memory or merged from runs.
TEST(SqlSortTest, NaNSortsFirstInMemoryAndThroughRuns) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double low = -std::numeric_limits<double>::infinity();
  struct Case {
    std::vector<Values> rows;
    SqlSortKeys keys;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{{Double(1), Text("one")}, {Double(nan), Text("nan")}, {Double(low), Text("low")}, {Integer(-5), Text("int")}},
       {{0, false}},
       {"nan", "low", "int", "one"}},
      {{{Double(1), Text("one")}, {Double(nan), Text("nan")}, {Double(low), Text("low")}}, {{0, true}}, {"one", "low", "nan"}},
      {{{Integer(1), Double(2), Text("two")}, {Integer(1), Double(nan), Text("nan")}, {Integer(0), Double(5), Text("zero")},
        {Integer(1), Double(-7), Text("minus")}},
       {{0, false}, {1, false}},
       {"zero", "nan", "minus", "two"}},
      {{{Integer(1), Double(2), Text("two")}, {Integer(1), Double(nan), Text("nan")}}, {{0, false}, {1, true}}, {"two", "nan"}},
  };
  for (size_t budget : {kSqlDefaultMemoryBudget, size_t{1}}) {
    for (const Case& c : cases) EXPECT_EQ(Sorted(c.rows, c.keys, budget), c.expected) << budget;
  }
}

// A batch of numbers and NULLs, sorted a byte at a time when large and by comparisons when not,
// comes out as the merge of small runs, which compares every pair: equal keys in read order.
TEST(SqlSortTest, ABatchSortedByBytesAgreesWithTheMergeOfRuns) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Value keys[] = {Value(),        Double(nan),  Double(-inf), Double(-2.5), Double(-0.0), Integer(0),
                        Double(0.0),    Integer(-1),  Integer(1),   Double(1.0),  Double(1e300), Double(inf),
                        Double(0.001),  Integer(256), Double(-1e-300)};
  for (int count : {40, 300}) {
    std::vector<Values> rows;
    for (int i = 0; i < count; ++i) rows.push_back({keys[(i * 7) % std::size(keys)], Text(std::to_string(i))});
    for (bool descending : {false, true}) {
      const std::vector<std::string> merged = Sorted(rows, descending, 64);
      ASSERT_EQ(merged.size(), rows.size());
      EXPECT_EQ(Sorted(rows, descending, kSqlDefaultMemoryBudget), merged) << count << (descending ? " down" : " up");
    }
  }
}

// Rows of random keys sorted through runs of every size, from runs of one row to a single
// batch, read with a step back at every row, in the order of a stable sort by the same
// comparison: rows equal on the keys keep their read order within a run and across runs.
TEST(SqlSortTest, MergedRunsAgreeWithAStableSort) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Texts longer than the eight bytes a prefix holds, alike in those, and keys of many ties.
  const std::vector<Value> mixed = {Value(), Integer(-3), Double(2.5), Double(nan), Integer(2), Text("Apple"),
                                    Text("apple"), Text("applesauce one"), Text("applesauce two"), Double(-0.0)};
  const std::vector<Value> few = {Integer(0), Integer(1), Integer(2)};
  const std::tuple<const char*, const std::vector<Value>*, SqlSortKeys> cases[] = {
      {"few values", &few, {{0, false}}},
      {"few values, descending", &few, {{0, true}}},
      {"mixed kinds", &mixed, {{0, false}}},
      {"mixed kinds, descending", &mixed, {{0, true}}},
      {"two keys, the second descending", &mixed, {{0, false}, {1, true}}},
  };
  std::mt19937 random(20240611);
  for (const auto& [name, pool, keys] : cases) {
    for (size_t count : {1, 2, 33, 129}) {
      std::vector<Values> rows;
      std::vector<SqlRow> packed(count);
      std::vector<size_t> order(count);
      for (size_t i = 0; i < count; ++i) {
        rows.push_back({(*pool)[random() % pool->size()], (*pool)[random() % pool->size()], Integer(int32_t(i))});
        for (const Value& value : rows[i]) packed[i].Add(value.type, value.bytes.data(), value.bytes.size());
        packed[i].Finish();
        order[i] = i;
      }
      std::stable_sort(order.begin(), order.end(),
                       [&, &keys = keys](size_t a, size_t b) { return SqlCompareRows(packed[a].View(), packed[b].View(), keys) < 0; });
      std::vector<std::string> expected;
      for (size_t i : order) expected.push_back(std::to_string(i));
      // One row a run; a run boundary at every second row or so; a few runs; one batch.
      for (size_t budget : {size_t{1}, size_t{20}, size_t{300}, kSqlDefaultMemoryBudget}) {
        EXPECT_EQ(Sorted(rows, keys, budget), expected) << name << ", " << count << " rows, budget " << budget;
      }
    }
  }
}

// Runs larger than the window the store reads them through, read forward with a step back
// at every row: the merge must go on from rows the step back moved the window away from.
TEST(SqlSortTest, LargeRunsMergeInOrderWhileRowsAreReadAgain) {
  std::vector<Values> rows;
  std::vector<std::pair<int32_t, std::string>> expected;
  for (int32_t i = 0; i < 6000; ++i) {
    const int32_t key = (i * 7919) % 613;
    const std::string tag = std::to_string(i) + std::string(60, 'x');
    rows.push_back({Integer(key), Text(tag)});
    expected.emplace_back(key, tag);
  }
  std::stable_sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.first < b.first; });
  const std::vector<std::string> tags = Sorted(rows, false, 150000);
  ASSERT_EQ(tags.size(), expected.size());
  for (size_t i = 0; i < tags.size(); ++i) ASSERT_EQ(tags[i], expected[i].second) << i;
}

// The merge hands out its latest row where the run holds it: reading a row of that run far
// back moves the run's window, and the latest row read again must still be itself.
TEST(SqlSortTest, TheLatestMergedRowReadsTheSameAfterAReadFarBack) {
  // Rows of 400 bytes in key order: each run spans several windows of its file.
  SqlSorter sorter({{0, false}}, 200000);
  SqlRow packed;
  auto tag = [](int32_t key) { return std::to_string(key) + std::string(400, 'x'); };
  for (int32_t key = 0; key < 2000; ++key) {
    packed.Start();
    packed.Add(kVornDbInteger, &key, sizeof key);
    packed.Add(kVornDbText, tag(key).data(), tag(key).size());
    ASSERT_TRUE(sorter.Add(packed.Finish()));
  }
  std::unique_ptr<SqlRowStore> store = sorter.Finish();
  ASSERT_TRUE(store);
  size_t read = 0;
  for (int32_t key : {300, 1200, 1999}) {
    for (; read <= static_cast<size_t>(key); ++read) ASSERT_TRUE(store->Fetch(read)) << read;
    ASSERT_TRUE(store->Fetch(key - 290));
    const std::optional<SqlRowView> again = store->Fetch(key);
    ASSERT_TRUE(again) << key;
    EXPECT_EQ(Show((*again)[1]), tag(key)) << key;
  }
}

// Rows come back from temporary files: whatever a damaged file gives back is refused, never
// read beyond its end.
TEST(SqlSortTest, DamagedRowBytesAreRefused) {
  SqlRow row;
  const int32_t id = 7;
  row.Add(kVornDbInteger, &id, sizeof id, 1, "[id] = 7");
  row.Add(kVornDbText, "seven", 5, 2, "[id] = 7");
  row.Add(kVornDbNull, nullptr, 0);
  const SqlRowView view = row.Finish();
  ASSERT_TRUE(SqlRowView::Valid(view.data(), view.ByteSize()));
  EXPECT_EQ(view[1].key, "[id] = 7");
  EXPECT_EQ(view[1].source, 2);
  for (size_t cut = 0; cut < view.ByteSize(); ++cut) EXPECT_FALSE(SqlRowView::Valid(view.data(), cut)) << cut;
  for (size_t at = 0; at < view.ByteSize(); ++at) {
    std::vector<uint8_t> bytes(view.data(), view.data() + view.ByteSize());
    bytes[at] ^= 0xA5;
    if (!SqlRowView::Valid(bytes.data(), bytes.size())) continue;
    const SqlRowView damaged(bytes.data(), bytes.size());
    for (size_t c = 0; c < damaged.size(); ++c) {
      const SqlCell cell = damaged[c];
      EXPECT_LE(cell.bytes.data() + cell.bytes.size(), bytes.data() + bytes.size());
      EXPECT_LE(reinterpret_cast<const uint8_t*>(cell.key.data() + cell.key.size()), bytes.data() + bytes.size());
    }
  }
}

class SqlSortedResultTest : public dbtest::SqlDatabaseTest {
 protected:
  void SetUp() override {
    SqlDatabaseTest::SetUp();
    char folder[] = "/tmp/vorn-sort-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    mFolder = folder;
    const char* old = std::getenv("TMPDIR");
    mOldTmp = old ? old : "";
    mHadTmp = old != nullptr;
    setenv("TMPDIR", mFolder.c_str(), 1);
  }
  void TearDown() override {
    SqlSetMemoryBudget(kSqlDefaultMemoryBudget);
    if (mHadTmp) setenv("TMPDIR", mOldTmp.c_str(), 1); else unsetenv("TMPDIR");
    rmdir(mFolder.c_str());
    SqlDatabaseTest::TearDown();
  }

  std::vector<int> TemporaryDescriptors() const { return dbtest::DescriptorsOfFiles(mFolder + "/"); }
  size_t OpenTemporaryFiles() const { return TemporaryDescriptors().size(); }

  size_t FolderEntries() const {
    size_t count = 0;
    DIR* dir = opendir(mFolder.c_str());
    while (dirent* entry = dir ? readdir(dir) : nullptr) count += entry->d_name[0] != '.';
    if (dir) closedir(dir);
    return count;
  }

  std::string mFolder;
  std::string mOldTmp;
  bool mHadTmp = false;
};

TEST_F(SqlSortedResultTest, ResultsBeyondTheBudgetAreMergedThroughTemporaryFiles) {
  Exec("create table w (n integer, word varchar(20))");
  const char* words[] = {"pear", "Pear", "fig", "Fig", "apple"};
  for (int i = 0; i < 200; ++i) {
    Exec("insert into w (n, word) values (" + std::to_string(i) + ", '" + words[i % 5] + "')");
  }
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  SqlSetMemoryBudget(256);
  RuntimeObject* rs = Keep(databaseSQLSelect(db, string("select word, n from w order by word").Rep()));
  ASSERT_NE(rs, nullptr) << ErrorMessage();
  EXPECT_GT(OpenTemporaryFiles(), 0u) << "the rows went to a temporary file";
  EXPECT_EQ(FolderEntries(), 0u) << "and the file has no name anyone could open";
  EXPECT_EQ(RecordSetRecordCount(rs), 200);
  std::vector<std::string> order;
  int32_t lastN = -1;
  std::string lastWord;
  for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
    RuntimeObject* word = cursorGetFieldByIndex(rs, 1);
    RuntimeObject* n = cursorGetFieldByIndex(rs, 2);
    const std::string text(string::Adopt(cursorFieldStringValueGetter(word, 0)).View());
    const int32_t number = cursorFieldIntegerValueGetter(n, 0);
    RuntimeUnlockObject(word);
    RuntimeUnlockObject(n);
    if (text != lastWord) order.push_back(text);
    else EXPECT_GT(number, lastN) << "rows equal on the key keep their read order";
    lastWord = text;
    lastN = number;
  }
  EXPECT_EQ(order, (std::vector<std::string>{"apple", "Fig", "fig", "Pear", "pear"}));
  cursorClose(rs);
  EXPECT_EQ(OpenTemporaryFiles(), 0u) << "closing the result removes its files";
}

// A run that the disk stops taking part way (the file-size limit here, as a full disk would)
// fails the query with the reason, after earlier runs were written whole: never a result that
// quietly lacks the rows from there on.
TEST_F(SqlSortedResultTest, ARunCutOffPartWayFailsTheQuery) {
  Exec("create table w (n integer, word varchar(8000))");
  for (int i = 0; i < 60; ++i) {
    // One row far longer than the others, so that its run alone outgrows the limit.
    const std::string word = i == 40 ? std::string(6000, 'x') : "word" + std::to_string(i);
    Exec("insert into w (n, word) values (" + std::to_string(i) + ", '" + word + "')");
  }
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  SqlSetMemoryBudget(100);
  const string query("select n from w order by word");
  RuntimeObject* whole = Keep(databaseSQLSelect(db, query.Rep()));
  ASSERT_NE(whole, nullptr) << ErrorMessage();
  EXPECT_EQ(RecordSetRecordCount(whole), 60);
  cursorClose(whole);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const rlimit cut = {4000, old.rlim_max};
  void (*oldSignal)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &cut), 0);
  RuntimeObject* rs = databaseSQLSelect(db, query.Rep());
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldSignal);
  EXPECT_EQ(rs, nullptr);
  EXPECT_EQ(ErrorCode(), kSqlErrorInternal);
  EXPECT_NE(ErrorMessage().find("temporary file"), std::string::npos) << ErrorMessage();
  EXPECT_EQ(OpenTemporaryFiles(), 0u) << "the runs written before are let go";
}

// Sorted runs cut short under the merge: the rows read before are right, the read that fails
// sets the error, and no step on gives a row in its place.
TEST_F(SqlSortedResultTest, ARunThatCannotBeReadPartWayFailsTheRestOfTheResult) {
  Exec("create table w (n integer, word varchar(250))");
  constexpr int kRows = 2000;
  auto word = [](int n) { return std::to_string(10000 + (n * 7919) % kRows) + std::string(200, char('a' + n % 26)); };
  for (int n = 0; n < kRows; ++n) Exec("insert into w (n, word) values (" + std::to_string(n) + ", '" + word(n) + "')");
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  SqlSetMemoryBudget(100000);  // runs of about 100 KB, each read through windows of 32 KB
  RuntimeObject* rs = Keep(databaseSQLSelect(db, string("select n from w order by word").Rep()));
  ASSERT_NE(rs, nullptr) << ErrorMessage();
  ASSERT_GE(OpenTemporaryFiles(), 3u);
  RuntimeObject* n = Keep(cursorGetFieldByIndex(rs, 1));
  std::vector<int32_t> read;
  for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
    read.push_back(cursorFieldIntegerValueGetter(n, 0));
    if (read.size() == 50) {
      for (int descriptor : TemporaryDescriptors()) ASSERT_EQ(ftruncate(descriptor, 40000), 0);
    }
  }
  ASSERT_GE(read.size(), 50u);
  ASSERT_LT(read.size(), size_t{kRows}) << "the cut runs were read whole";
  for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i] * 7919 % kRows, int32_t(i)) << "a row out of its place";
  EXPECT_EQ(ErrorCode(), kSqlErrorInternal);
  EXPECT_NE(ErrorMessage().find("temporary file"), std::string::npos) << ErrorMessage();
  for (int i = 0; i < 2; ++i) {  // on, and on again
    cursorMoveNext(rs);
    EXPECT_TRUE(cursorEOFGetter(rs, 0)) << "a row after the one that failed, move " << i;
  }
  // Stepping back reads the rows again from the table: from there on each row is in its place.
  CursorMovePrev(rs);
  ASSERT_FALSE(cursorEOFGetter(rs, 0));
  const int32_t place = cursorFieldIntegerValueGetter(n, 0) * 7919 % kRows;
  EXPECT_GE(place, int32_t(read.size()) - 1);
  cursorMoveNext(rs);
  ASSERT_FALSE(cursorEOFGetter(rs, 0));
  EXPECT_EQ(cursorFieldIntegerValueGetter(n, 0) * 7919 % kRows, place + 1);
  cursorClose(rs);
  EXPECT_EQ(OpenTemporaryFiles(), 0u) << "closing the result removes its files";
}

// An edit through a sorted result while its copy is what the table holds, of no column the rows
// are ordered by, is read back into the copy, so stepping back keeps the temporary files; any
// other edit has the rows read again. Either way the rows read are a new query's.
TEST_F(SqlSortedResultTest, AnEditThroughTheResultIsReadBackOrTheRowsAreReadAgain) {
  const struct {
    const char* name;
    int32_t column;
    const char* value;
    const char* before;  // another statement run first
    bool readAgain;
  } cases[] = {
      {"a column neither ordered by nor in the condition", 4, "edited", nullptr, false},
      {"to NULL", 4, nullptr, nullptr, false},
      {"within the condition", 3, "1", nullptr, false},
      {"the column ordered by", 2, "a", nullptr, true},
      {"the key", 1, "1000", nullptr, true},
      {"out of the condition", 3, "2", nullptr, true},
      {"after another statement's change", 4, "edited", "update w set note = 'other' where n = 4", true},
  };
  const string query("select n, word, grp, note from w where grp < 2 order by word");
  auto files = [&] {
    std::vector<ino_t> found;
    for (int descriptor : TemporaryDescriptors()) {
      struct stat info {};
      fstat(descriptor, &info);
      found.push_back(info.st_ino);
    }
    return found;
  };
  auto row = [&](RuntimeObject* rs) {
    std::string text;
    for (int32_t column = 1; column <= 4; ++column)
      text.append(string::Adopt(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(rs, column)), 0)).View()) += '|';
    return text;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Exec("drop table w");
    Exec("create table w (n integer not null, word varchar(20), grp integer, note varchar(20), primary key (n))");
    for (int i = 0; i < 120; ++i)
      Exec("insert into w (n, word, grp, note) values (" + std::to_string(i) + ", 'w" + std::to_string(i) + "', " +
           std::to_string(i % 3) + ", 'n')");
    SqlSetMemoryBudget(256);
    RuntimeObject* rs = Keep(databaseSQLSelect(db, query.Rep()));
    ASSERT_NE(rs, nullptr) << ErrorMessage();
    for (int i = 0; i < 10; ++i) cursorMoveNext(rs);
    if (c.before) Exec(c.before);
    const std::vector<ino_t> before = files();
    ASSERT_FALSE(before.empty());
    cursorEdit(rs);
    RuntimeObject* field = Keep(cursorGetFieldByIndex(rs, c.column));
    c.value ? databaseCursorFieldSetString(field, string(c.value).Rep()) : CursorFieldValueSetter(field, 0, nullptr);
    cursorUpdate(rs);
    ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
    CursorMovePrev(rs);
    EXPECT_EQ(files() != before, c.readAgain);
    RuntimeObject* fresh = Keep(databaseSQLSelect(db, query.Rep()));
    for (int i = 0; i < 9; ++i) cursorMoveNext(fresh);
    for (int step = 0; step < 3; ++step, cursorMoveNext(rs), cursorMoveNext(fresh))
      EXPECT_EQ(row(rs), row(fresh)) << step;
    cursorClose(rs);
    cursorClose(fresh);
  }
}

}  // namespace
}  // namespace vorn
