// Database files on the real disk: the lock against a second writer, files that are no
// database, and a writer killed at random moments while it commits.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <utility>
#include <cstdio>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/support/db_test_files.h"

namespace vorn {
namespace {

std::set<int> Ids(vndbHandle& db) {
  std::set<int> ids;
  auto cursor = vndbCursor::Open(db, "log", {"id"});
  while (cursor && cursor->NextRow()) ids.insert(int(cursor->ColumnValue(0)->integer));
  return ids;
}

std::string MakeDatabase() {
  std::string path = dbtest::TempPath("disk.vdb");
  auto db = vndbHandle::CreateFile(path);
  EXPECT_TRUE(db && db->CreateTable("log", {{"id", kDbInteger, false}, {"text", kDbVarchar, true}}, {0}) &&
              db->Commit());
  return path;
}

// The exit status of a child process running `body`; -1 when it did not end within five
// seconds (it is killed then) or died.
template <typename Body>
int InChild(Body body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
    if (waited == 500) kill(pid, SIGKILL);
    usleep(10000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DiskFileTest, ASecondWriterIsRefused) {
  std::string path = MakeDatabase();
  auto first = vndbHandle::OpenFile(path);
  ASSERT_TRUE(first);
  std::string error;
  EXPECT_FALSE(vndbHandle::OpenFile(path, &error));
  EXPECT_EQ(error, "The database file is in use by another connection");
  // Creating over it neither succeeds nor empties it.
  EXPECT_FALSE(vndbHandle::CreateFile(path));
  EXPECT_EQ(InChild([&] {
              std::string childError;
              return !vndbHandle::OpenFile(path, &childError) && childError.find("in use") != std::string::npos ? 0 : 1;
            }),
            0);
  ASSERT_TRUE(first->AddTableRecord("log", {{"id", "1"}}));
  ASSERT_TRUE(first->Commit());
  first.reset();
  auto second = vndbHandle::OpenFile(path, &error);
  ASSERT_TRUE(second) << error;
  EXPECT_EQ(Ids(*second), std::set<int>{1});
}

TEST(DiskFileTest, WhatIsNoDatabaseGetsAClearError) {
  std::string empty = dbtest::TempPath("empty.vdb");
  dbtest::WriteBytes(empty, {});
  std::string folder = dbtest::TempPath("folder.vdb");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  std::string text = dbtest::TempPath("text.vdb");
  dbtest::WriteBytes(text, std::vector<uint8_t>(100, 'x'));
  const std::pair<std::string, const char*> cases[] = {
      {empty, "The database file is empty"},
      {folder, "The database file is a folder"},
      {text, "The file is not a database"},
      {dbtest::TempPath("missing.vdb"), "The database file cannot be opened"},
  };
  for (const auto& [path, expected] : cases) {
    std::string error;
    EXPECT_FALSE(vndbHandle::OpenFile(path, &error));
    EXPECT_EQ(error, expected);
  }
  std::string error;
  EXPECT_FALSE(vndbHandle::CreateFile(folder, &error));
  EXPECT_EQ(error, "The database file is a folder");
}

// A name that is no regular file is refused without waiting on it, also by the read-only
// retry made when the file cannot be written: opening a FIFO waits for a writer.
TEST(DiskFileTest, AFifoThatCannotBeWrittenIsRefusedWithoutWaiting) {
  char folder[] = "/tmp/vorn-fifo-XXXXXX";  // of its own, and one that an unprivileged user may search
  ASSERT_TRUE(mkdtemp(folder) && chmod(folder, 0755) == 0);
  const std::string path = std::string(folder) + "/fifo.vdb";
  ASSERT_TRUE(mkfifo(path.c_str(), 0444) == 0 && chmod(path.c_str(), 0444) == 0);  // whatever the umask
  EXPECT_EQ(InChild([&] {
              // Permissions stop no superuser from writing.
              if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 3;
              std::string error;
              return !vndbHandle::OpenFile(path, &error) && error == "The database file is not a regular file" ? 0 : 1;
            }),
            0) << "-1: the open waited on the FIFO";
  unlink(path.c_str());
  rmdir(folder);
}

// Commit k adds the rows k * 1000 + i and deletes those of commit k - 3, so it changes pages
// the file holds as well as adding pages.
constexpr int kRowsPerCommit = 5;
std::set<int> IdsAfter(int commits) {
  std::set<int> ids;
  for (int k = std::max(1, commits - 2); k <= commits; ++k)
    for (int i = 0; i < kRowsPerCommit; ++i) ids.insert(k * 1000 + i);
  return ids;
}

// The disk storage of a file that counts the steps that change what the disk holds (a write,
// a length set, a sync, a journal made or removed, in the database file or its journal) and
// kills its own process as step `killAt` is about to be taken: the kill falls between two
// steps, wherever the writer stands, however busy the machine is.
class KillingStorage : public vndbStorage {
 public:
  KillingStorage(std::unique_ptr<vndbStorage> inner, int killAt)
      : mInner(std::move(inner)), mKillAt(killAt), mDatabase(this, &mInner->Database()) {}

  vndbStore& Database() override { return mDatabase; }
  bool ReadOnly() const override { return mInner->ReadOnly(); }
  uint64_t Identity() const override { return mInner->Identity(); }
  vndbStore* Journal(bool create) override {
    if (create) Step();
    mJournal.inner = mInner->Journal(create);
    return mJournal.inner ? &mJournal : nullptr;
  }
  const std::string& JournalProblem() const override { return mInner->JournalProblem(); }
  bool JournalInPlace() override { return mInner->JournalInPlace(); }
  bool RemoveJournal() override { return Step(), mInner->RemoveJournal(); }

 private:
  struct Counted : vndbStore {
    Counted(KillingStorage* owner, vndbStore* inner) : owner(owner), inner(inner) {}
    bool Read(int64_t offset, uint8_t* bytes, size_t count) override { return inner->Read(offset, bytes, count); }
    bool Write(int64_t offset, const uint8_t* bytes, size_t count) override {
      return owner->Step(), inner->Write(offset, bytes, count);
    }
    int64_t Length() override { return inner->Length(); }
    bool SetLength(int64_t length) override { return owner->Step(), inner->SetLength(length); }
    bool Sync() override { return owner->Step(), inner->Sync(); }
    KillingStorage* owner;
    vndbStore* inner;
  };
  void Step() {
    if (mSteps++ == mKillAt) raise(SIGKILL);
  }

  std::unique_ptr<vndbStorage> mInner;
  int mKillAt;
  int mSteps = 0;
  Counted mDatabase;
  Counted mJournal{this, nullptr};
};

// The writer: commits from where the file stands until its storage kills it, telling each
// commit that begins (negative) and each that returned (positive).
int Writer(const std::string& path, int killAt, int report) {
  std::string error;
  auto storage = OpenDiskStorage(path, false, &error);
  if (!storage) return 2;
  auto db = vndbHandle::Open(std::make_unique<KillingStorage>(std::move(storage), killAt));
  if (!db) return 2;
  std::set<int> ids = Ids(*db);
  const int first = ids.empty() ? 1 : *ids.rbegin() / 1000 + 1;
  // Each commit takes steps, so the kill comes within a few; one that never comes is a failure.
  for (int k = first; k < first + 100; ++k) {
    for (int i = 0; i < kRowsPerCommit; ++i)
      if (!db->AddTableRecord("log", {{"id", std::to_string(k * 1000 + i)}, {"text", std::string(1500, 't')}})) return 3;
    auto cursor = vndbCursor::Open(*db, "log", {"id"});
    while (cursor->NextRow())
      if (cursor->ColumnValue(0)->integer / 1000 == k - 3 && !cursor->DeleteRow()) return 4;
    cursor.reset();
    int begun = -k;
    if (write(report, &begun, sizeof begun) != sizeof begun) return 5;
    if (!db->Commit()) return 6;
    if (write(report, &k, sizeof k) != sizeof k) return 5;
  }
  return 7;
}

TEST(DiskFileTest, AWriterKilledAtRandomLeavesExactlyItsReturnedCommits) {
  std::string path = MakeDatabase();
  const uint32_t seed = 1207;
  std::mt19937 random(seed);
  int committed = 0;
  int insideCommits = 0;
  constexpr int kKills = 60;
  for (int round = 0; round < kKills; ++round) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // Anywhere from the open to a few commits on.
    const int killAt = int(random() % 60);
    pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      _exit(Writer(path, killAt, fds[1]));
    }
    close(fds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the writer stopped with " << WEXITSTATUS(status);
    int returned = committed;
    bool inside = false;
    for (int message = 0; read(fds[0], &message, sizeof message) == sizeof message;) {
      inside = message < 0;
      if (message > 0) returned = message;
    }
    close(fds[0]);
    insideCommits += inside;
    std::string error;
    auto db = vndbHandle::OpenFile(path, &error);
    ASSERT_TRUE(db) << "seed " << seed << ", round " << round << ", step " << killAt << ": " << error;
    std::set<int> ids = Ids(*db);
    if (ids == IdsAfter(returned + 1) && inside) {
      committed = returned + 1;  // killed after the commit, before it could say so
    } else {
      ASSERT_EQ(ids, IdsAfter(returned)) << "seed " << seed << ", round " << round << ", step " << killAt;
      committed = returned;
    }
  }
  EXPECT_GT(committed, 0);
  EXPECT_GE(insideCommits, kKills / 2) << "too few kills fell inside a commit to mean anything";
  std::printf("%d kills, %d inside a commit, %d commits kept\n", kKills, insideCommits, committed);
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

// Whatever is planted at the journal's name after the database was opened (before its first
// commit or between two), the commit refuses it with the reason and writes nothing, neither
// into the database file nor through the name: a commit writes only into a journal it made.
TEST(DiskFileTest, TheJournalIsNeverReachedThroughALinkOrANonFile) {
  struct Case {
    const char* name;
    void (*plant)(const std::string& journal, const std::string& target);
    const char* error;
    bool openReadsIt = false;  // an open reads it as no journal of this file and sets it aside
  };
  const Case cases[] = {
      {"a copy of a file", [](const std::string& j, const std::string& t) { dbtest::WriteBytes(j, dbtest::ReadBytes(t)); }, "did not make", true},
      {"a link to a file", [](const std::string& j, const std::string& t) { ASSERT_EQ(symlink(t.c_str(), j.c_str()), 0); }, "link"},
      {"a hard link to a file", [](const std::string& j, const std::string& t) { ASSERT_EQ(link(t.c_str(), j.c_str()), 0); }, "hard link"},
      {"a dangling link", [](const std::string& j, const std::string& t) { ASSERT_EQ(symlink((t + "-none").c_str(), j.c_str()), 0); }, "link"},
      {"a folder", [](const std::string& j, const std::string&) { ASSERT_EQ(mkdir(j.c_str(), 0700), 0); }, "folder"},
      {"a pipe", [](const std::string& j, const std::string&) { ASSERT_EQ(mkfifo(j.c_str(), 0600), 0); }, "not a regular file"},
  };
  for (bool committedBefore : {false, true}) {
    for (const Case& c : cases) {
      std::string path = MakeDatabase();
      std::string target = path + ".precious";
      dbtest::WriteBytes(target, {'k', 'e', 'e', 'p'});
      auto db = vndbHandle::OpenFile(path);
      ASSERT_TRUE(db);
      if (committedBefore) {
        ASSERT_TRUE(db->AddTableRecord("log", {{"id", "1"}}));
        ASSERT_TRUE(db->Commit());
        ASSERT_EQ(unlink((path + "-journal").c_str()), 0);
      }
      std::vector<uint8_t> before = dbtest::ReadBytes(path);
      c.plant(path + "-journal", target);
      ASSERT_TRUE(db->AddTableRecord("log", {{"id", "2"}}));
      EXPECT_FALSE(db->Commit()) << c.name;
      EXPECT_NE(db->ErrorMessage().find(c.error), std::string::npos) << c.name << ": " << db->ErrorMessage();
      EXPECT_EQ(dbtest::ReadBytes(target), (std::vector<uint8_t>{'k', 'e', 'e', 'p'})) << c.name;
      if (c.openReadsIt) {
        EXPECT_EQ(dbtest::ReadBytes(path + "-journal"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'})) << c.name;
      }
      EXPECT_EQ(dbtest::ReadBytes(path), before) << c.name;
      EXPECT_EQ(Ids(*db), committedBefore ? std::set<int>{1} : std::set<int>{}) << c.name;
      // Met by the next open, it is refused too: a journal that cannot be read may be needed.
      db.reset();
      unlink((path + "-journal").c_str()), rmdir((path + "-journal").c_str());
      c.plant(path + "-journal", target);
      std::string error;
      auto reopened = vndbHandle::OpenFile(path, &error);
      EXPECT_EQ(bool(reopened), c.openReadsIt) << c.name << ": " << error;
      if (!c.openReadsIt) {
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
      }
    }
  }
}

// A second name given to the kept journal refuses commits while it stands, as a commit could
// write through it; once either name is gone, the handle commits again.
TEST(DiskFileTest, AHardLinkToTheKeptJournalRefusesCommitsOnlyWhileItStands) {
  const std::pair<const char*, bool> cases[] = {{"the link removed", false}, {"the journal's name removed", true}};
  for (const auto& [name, journalName] : cases) {
    SCOPED_TRACE(name);
    const std::string path = MakeDatabase();
    const std::string journal = path + "-journal", other = path + ".other";
    auto db = vndbHandle::OpenFile(path);
    ASSERT_TRUE(db && db->AddTableRecord("log", {{"id", "1"}}) && db->Commit());
    ASSERT_EQ(link(journal.c_str(), other.c_str()), 0);
    ASSERT_TRUE(db->AddTableRecord("log", {{"id", "2"}}));
    EXPECT_FALSE(db->Commit());
    EXPECT_NE(db->ErrorMessage().find("hard link"), std::string::npos) << db->ErrorMessage();
    EXPECT_EQ(Ids(*db), std::set<int>{1});
    ASSERT_EQ(unlink((journalName ? journal : other).c_str()), 0);
    for (const char* id : {"3", "4"}) {
      ASSERT_TRUE(db->AddTableRecord("log", {{"id", id}}));
      EXPECT_TRUE(db->Commit()) << db->ErrorMessage();
    }
    db.reset();
    unlink(other.c_str());
    db = vndbHandle::OpenFile(path);
    ASSERT_TRUE(db);
    EXPECT_EQ(Ids(*db), (std::set<int>{1, 3, 4}));
  }
}

// The disk storage of a file, with a step run just before the database file's first write and
// one of the database file's syncs made to fail on request.
class HookedStorage : public vndbStorage, public vndbStore {
 public:
  explicit HookedStorage(std::unique_ptr<vndbStorage> inner) : mInner(std::move(inner)), mFile(mInner->Database()) {}

  std::function<void()> beforeWrite;
  bool failSync = false;
  int syncsFirst = 0;  // syncs that still succeed before the failing one

  vndbStore& Database() override { return *this; }
  bool ReadOnly() const override { return mInner->ReadOnly(); }
  uint64_t Identity() const override { return mInner->Identity(); }
  vndbStore* Journal(bool create) override { return mInner->Journal(create); }
  const std::string& JournalProblem() const override { return mInner->JournalProblem(); }
  bool JournalInPlace() override { return mInner->JournalInPlace(); }
  bool RemoveJournal() override { return mInner->RemoveJournal(); }

  bool Read(int64_t offset, uint8_t* bytes, size_t count) override { return mFile.Read(offset, bytes, count); }
  bool Write(int64_t offset, const uint8_t* bytes, size_t count) override {
    if (auto step = std::exchange(beforeWrite, nullptr)) step();
    return mFile.Write(offset, bytes, count);
  }
  int64_t Length() override { return mFile.Length(); }
  bool SetLength(int64_t length) override { return mFile.SetLength(length); }
  bool Sync() override {
    if (failSync && syncsFirst-- <= 0) return failSync = false;
    return mFile.Sync();
  }

 private:
  std::unique_ptr<vndbStorage> mInner;
  vndbStore& mFile;
};

// A new database over hooked storage whose table "log" holds the row 1, with the journal of
// the commit that added it as that commit first touched the file (sound, needed no more);
// no handle when that went wrong.
struct HookedFile {
  explicit HookedFile(const std::string& name) : path(dbtest::TempPath(name)), journal(path + "-journal") {
    auto owned = std::make_unique<HookedStorage>(OpenDiskStorage(path, true, nullptr));
    storage = owned.get();
    db = vndbHandle::Create(std::move(owned));
    // Named, since temporaries in one condition trip the compiler's uninitialised-use warning.
    const std::vector<DbColumnSpec> columns = {{"id", kDbInteger, false}};
    const std::vector<DbColumnText> row = {{"id", "1"}};
    const bool made = db && db->CreateTable("log", columns, {0}) && db->Commit() && db->AddTableRecord("log", row);
    storage->beforeWrite = [this] { earlierJournal = dbtest::ReadBytes(journal); };
    if (!made || !db->Commit() || earlierJournal.size() <= 8192) db.reset();
  }
  std::string path, journal;
  HookedStorage* storage;
  std::vector<uint8_t> earlierJournal;
  std::unique_ptr<vndbHandle> db;
};

// The journal's name is taken from a commit after its journal was written: the commit goes on
// with the journal it wrote, retires or restores it through the descriptor it wrote, and never
// writes into nor replays what stands at the name now (here a sound journal of an earlier
// commit of the same file). A commit that failed is undone, and once the name is free again the
// handle commits as before.
TEST(DiskFileTest, AJournalNameTakenDuringACommitIsNeverUsed) {
  const std::pair<const char*, void (*)(const std::string& journal, const std::string& stale)> cases[] = {
      {"removed", [](const std::string&, const std::string&) {}},
      {"a hard link", [](const std::string& j, const std::string& s) { ASSERT_EQ(link(s.c_str(), j.c_str()), 0); }},
      {"a link", [](const std::string& j, const std::string& s) { ASSERT_EQ(symlink(s.c_str(), j.c_str()), 0); }},
      {"a dangling link", [](const std::string& j, const std::string& s) { ASSERT_EQ(symlink((s + "-none").c_str(), j.c_str()), 0); }},
      {"a folder", [](const std::string& j, const std::string&) { ASSERT_EQ(mkdir(j.c_str(), 0700), 0); }},
      {"a pipe", [](const std::string& j, const std::string&) { ASSERT_EQ(mkfifo(j.c_str(), 0600), 0); }},
  };
  for (bool syncFails : {false, true}) {
    for (const auto& [name, plant] : cases) {
      SCOPED_TRACE(std::string(name) + (syncFails ? ", the sync failing" : ""));
      HookedFile file("renamed.vdb");
      ASSERT_TRUE(file.db);
      auto& [path, journal, storage, staleBytes, db] = file;
      const std::string stale = path + ".stale";
      dbtest::WriteBytes(stale, staleBytes);
      ASSERT_TRUE(db->AddTableRecord("log", {{"id", "2"}}));
      storage->beforeWrite = [&, &journal = journal, &plant = plant] { unlink(journal.c_str()), plant(journal, stale); };
      storage->failSync = syncFails;
      const bool committed = db->Commit();
      EXPECT_EQ(committed, !syncFails) << db->ErrorMessage();
      EXPECT_TRUE(committed || db->ErrorMessage().find("keeps its last commit") != std::string::npos) << db->ErrorMessage();
      EXPECT_EQ(dbtest::ReadBytes(stale), staleBytes);

      unlink(journal.c_str()), rmdir(journal.c_str());
      ASSERT_TRUE(db->AddTableRecord("log", {{"id", "3"}})) << db->ErrorMessage();
      EXPECT_TRUE(db->Commit()) << db->ErrorMessage();
      db.reset();
      std::string error;
      auto reopened = vndbHandle::OpenFile(path, &error);
      ASSERT_TRUE(reopened) << error;
      EXPECT_EQ(Ids(*reopened), committed ? std::set<int>({1, 2, 3}) : std::set<int>({1, 3}));
    }
  }
}

// The journal a failed commit wrote was overwritten in place with another commit's journal of
// the same file: putting those images back would take the file further back than its last
// commit, so the handle reports damage instead and replays nothing.
TEST(DiskFileTest, AFailedCommitReplaysOnlyItsOwnJournal) {
  HookedFile file("overwritten.vdb");
  ASSERT_TRUE(file.db);
  auto& [path, journal, storage, earlier, db] = file;
  ASSERT_TRUE(db->AddTableRecord("log", {{"id", "2"}}));
  storage->beforeWrite = [&journal = journal, &earlier = earlier] { dbtest::WriteBytes(journal, earlier); };
  storage->failSync = true;
  storage->syncsFirst = 2;  // the file's, once it is marked and once it holds the pages
  EXPECT_FALSE(db->Commit());
  EXPECT_EQ(db->ErrorCode(), kDbErrorInternal);
  EXPECT_NE(db->ErrorMessage().find("damaged: the journal of the failed commit was overwritten"), std::string::npos)
      << db->ErrorMessage();
  db.reset();
  unlink(journal.c_str());
  auto reopened = vndbHandle::OpenFile(path);
  ASSERT_TRUE(reopened);
  EXPECT_EQ(Ids(*reopened).count(1), 1u) << "an earlier commit's images were put back";
}

// The file's name is looked up as the open went, through a link there; once it no longer
// reaches the file, pages a transaction spills before its commit stay out of it too.
TEST(DiskFileTest, ChangesSpillOnlyIntoTheFileAtItsName) {
  enum Loss { kKept, kRelinked, kMoved };
  for (const Loss lose : {kKept, kRelinked, kMoved}) {
    SCOPED_TRACE(lose == kKept ? "opened through a link" : lose == kRelinked ? "its link pointed elsewhere" : "opened by its name, moved");
    const std::string path = MakeDatabase(), link = path + ".link", aside = path + ".aside";
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    dbtest::WriteBytes(aside, {'o', 't', 'h', 'e', 'r'});
    auto db = vndbHandle::OpenFile(lose == kMoved ? path : link);
    ASSERT_TRUE(db);
    db->File().SetPageBudget(4);
    const std::vector<uint8_t> committed = dbtest::ReadBytes(path);
    ASSERT_TRUE(db->AddTableRecord("log", {{"id", "0"}})) << db->ErrorMessage();
    if (lose == kRelinked) unlink(link.c_str()), symlink(aside.c_str(), link.c_str());
    if (lose == kMoved) rename(path.c_str(), aside.c_str());
    for (int i = 1; i < 40; ++i) db->AddTableRecord("log", {{"id", std::to_string(i)}, {"text", std::string(3000, 'x')}});
    const std::string opened = lose == kMoved ? aside : path;
    // Spilled, the pages are in the file before the commit.
    EXPECT_EQ(dbtest::ReadBytes(opened) == committed, lose != kKept);
    EXPECT_EQ(db->Commit(), lose == kKept) << db->ErrorMessage();
    EXPECT_EQ(dbtest::ReadBytes(opened) == committed, lose != kKept);
  }
}

// Beside a file whose last commit is whole, the sound journal of another file (or its own,
// copied with it, which names the file it was copied from) lets it open and is left as it
// stands: no commit writes into it and no close removes it. Once it is gone, commits go on.
TEST(DiskFileTest, AJournalOfAnotherFileIsLeftAsItStands) {
  for (const bool copied : {false, true}) {
    SCOPED_TRACE(copied ? "copied with its file" : "another database's");
    HookedFile other("other.vdb");
    ASSERT_TRUE(other.db);
    const std::string path = copied ? dbtest::TempPath("copy.vdb") : MakeDatabase(), journal = path + "-journal";
    if (copied) dbtest::WriteBytes(path, dbtest::ReadBytes(other.path));
    dbtest::WriteBytes(journal, other.earlierJournal);
    for (const bool removed : {false, true}) {
      std::string error;
      auto db = vndbHandle::OpenFile(path, &error);
      ASSERT_TRUE(db) << error;
      EXPECT_EQ(Ids(*db), copied ? std::set<int>{1} : std::set<int>{});
      if (removed) unlink(journal.c_str());
      ASSERT_TRUE(db->AddTableRecord("log", {{"id", "5"}}));
      EXPECT_EQ(db->Commit(), removed) << db->ErrorMessage();
      EXPECT_TRUE(removed || db->ErrorMessage().find("did not make") != std::string::npos) << db->ErrorMessage();
      db.reset();
      EXPECT_EQ(dbtest::ReadBytes(journal), removed ? std::vector<uint8_t>{} : other.earlierJournal);
    }
    auto reopened = vndbHandle::OpenFile(path);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(Ids(*reopened), (copied ? std::set<int>{1, 5} : std::set<int>{5}));
  }
}

}  // namespace
}  // namespace vorn
