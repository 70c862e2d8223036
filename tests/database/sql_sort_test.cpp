#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/sql_sort.h"
#include "database/support/sql_database.h"

namespace vorn {
namespace {

SqlCell Text(const std::string& text) {
  SqlCell cell;
  cell.type = kVornDbText;
  cell.bytes.assign(text.begin(), text.end());
  return cell;
}

SqlCell Integer(int32_t value) {
  SqlCell cell;
  cell.type = kVornDbInteger;
  cell.bytes.resize(sizeof value);
  std::memcpy(cell.bytes.data(), &value, sizeof value);
  return cell;
}

SqlCell Double(double value) {
  SqlCell cell;
  cell.type = kVornDbDouble;
  cell.bytes.resize(sizeof value);
  std::memcpy(cell.bytes.data(), &value, sizeof value);
  return cell;
}

std::string Show(const SqlCell& cell) {
  if (cell.type == kVornDbNull) return "NULL";
  if (cell.type == kVornDbText) return std::string(cell.bytes.begin(), cell.bytes.end());
  return std::to_string(static_cast<int>(SqlCellNumber(cell)));
}

// Sorts rows of (key, tag) by the key with the given budget; the tags in the sorted order.
std::vector<std::string> Sorted(const std::vector<SqlRow>& rows, bool descending, size_t budget) {
  SqlSorter sorter({{0, descending}}, budget);
  for (const SqlRow& row : rows) EXPECT_TRUE(sorter.Add(row));
  std::unique_ptr<SqlRowStore> store = sorter.Finish();
  std::vector<std::string> tags;
  for (size_t i = 0; store && i < store->Count(); ++i) tags.push_back(Show(store->Fetch(i)->at(1)));
  return tags;
}

TEST(SqlSortTest, OrderIsTheSortTablesAndEqualKeysKeepTheirReadOrder) {
  struct Case {
    std::vector<SqlRow> rows;
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
      {{{Text("t"), Text("text")}, {Double(-2.5), Text("number")}, {SqlCell(), Text("null")}, {Integer(7), Text("seven")}},
       false,
       {"null", "number", "seven", "text"}},
  };
  // A budget this small writes every row to a run of its own, so the merge is tested too.
  for (size_t budget : {kSqlDefaultMemoryBudget, size_t{1}}) {
    for (const Case& c : cases) EXPECT_EQ(Sorted(c.rows, c.descending, budget), c.expected) << budget;
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

  // Open descriptors of files made in the folder (unlinked at once, so named "... (deleted)").
  size_t OpenTemporaryFiles() const {
    size_t count = 0;
    DIR* fds = opendir("/proc/self/fd");
    while (dirent* entry = fds ? readdir(fds) : nullptr) {
      char target[4096];
      const std::string link = std::string("/proc/self/fd/") + entry->d_name;
      const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
      if (length > 0 && std::string(target, static_cast<size_t>(length)).starts_with(mFolder + "/")) ++count;
    }
    if (fds) closedir(fds);
    return count;
  }

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

}  // namespace
}  // namespace vorn
