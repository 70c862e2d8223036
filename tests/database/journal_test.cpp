#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/db_journal.h"
#include "database/support/sim_disk.h"
#include "support/sanitizer_build.h"

namespace vorn {
namespace {

using dbtest::SimDisk;

constexpr int kTransactions = 4;
// Rows each transaction adds; more when changed pages are to outgrow the cache.
int gRowsPerTransaction = 12;

// Transaction t adds rows t*100 + i (long enough to split pages) and deletes those of t - 2, so
// that it changes pages the file already holds as well as adding new ones.
std::set<int> RowsAfter(int transactions) {
  std::set<int> rows;
  for (int t = 1; t <= transactions; ++t) {
    for (int i = 0; i < gRowsPerTransaction; ++i) rows.insert(t * 100 + i);
    if (t > 2)
      for (int i = 0; i < gRowsPerTransaction; ++i) rows.erase((t - 2) * 100 + i);
  }
  return rows;
}

void Change(vndbHandle& db, int t, size_t textLength = 600) {
  for (int i = 0; i < gRowsPerTransaction; ++i) {
    ASSERT_TRUE(db.AddTableRecord("log", {{"id", std::to_string(t * 100 + i)}, {"text", std::string(textLength, char('a' + t))}}));
  }
  auto cursor = vndbCursor::Open(db, "log", {"id"});
  while (cursor->NextRow()) {
    if (cursor->ColumnValue(0)->integer / 100 == t - 2) {
      ASSERT_TRUE(cursor->DeleteRow());
    }
  }
}

std::set<int> Rows(vndbHandle& db) {
  std::set<int> rows;
  auto cursor = vndbCursor::Open(db, "log", {"id"});
  while (cursor && cursor->NextRow()) rows.insert(int(cursor->ColumnValue(0)->integer));
  return rows;
}

std::unique_ptr<vndbHandle> NewDatabase(SimDisk& disk) {
  auto db = vndbHandle::Create(disk.Storage());
  EXPECT_TRUE(db && db->CreateTable("log", {{"id", kDbInteger, false}, {"text", kDbVarchar, true}}, {0}) &&
              db->Commit()) << (db ? db->ErrorMessage() : "no handle");
  return db;
}

// Whatever moment the power goes, the file opens with every commit that returned and either
// all of the one under way or none of it; with a seed other than 0, unsynced writes survive at
// random.
// With a page budget, changed pages reach the file before their commit (spilled). With a
// `damagedByte`, that byte of the journal is damaged after the cut: its bits in `flipped`
// turned, or zeroed without any.
void RunPowerCuts(uint32_t shuffleSeed, size_t budget = 0, int damagedByte = -1, uint8_t flipped = 0) {
  bool shuffle = shuffleSeed != 0;
  gRowsPerTransaction = budget ? 60 : 12;
  int64_t total = 0;
  {
    SimDisk disk;
    auto db = NewDatabase(disk);
    if (budget) db->File().SetPageBudget(budget);
    int64_t start = disk.operations, syncs = disk.syncs;
    int64_t spilled = 0;
    for (int t = 1; t <= kTransactions; ++t) {
      int64_t before = disk.operations;
      Change(*db, t);
      spilled += disk.operations - before;
      ASSERT_TRUE(db->Commit());
    }
    total = disk.operations - start;
    // The journal, the file's mark, its pages and its cleared mark (the commit's end).
    if (!budget) { EXPECT_EQ(disk.syncs - syncs, 4 * kTransactions); }
    if (budget) {
      ASSERT_GT(spilled, 0) << "nothing was spilled";
    }
  }
  std::mt19937 random(shuffleSeed);
  for (int64_t cut = 0; cut <= total; ++cut) {
    SimDisk disk;
    int returned = 0;
    {
      auto db = NewDatabase(disk);
      if (budget) db->File().SetPageBudget(budget);
      disk.operationsLeft = cut;
      for (int t = 1; t <= kTransactions; ++t) {
        Change(*db, t);
        if (!db->Commit()) break;
        returned = t;
      }
    }
    disk.PowerCut(shuffle ? &random : nullptr);
    if (damagedByte >= 0 && disk.journal.current.size() > kDbJournalEntriesOffset) {
      uint8_t& byte = disk.journal.current[size_t(damagedByte)];
      byte = flipped ? byte ^ flipped : 0;
    }
    std::string error;
    auto db = vndbHandle::Open(disk.Storage(), &error);
    ASSERT_TRUE(db) << "cut at " << cut << (damagedByte >= 0 ? ", journal byte " + std::to_string(damagedByte) + " damaged" : "")
                    << ": " << error;
    std::set<int> rows = Rows(*db);
    EXPECT_TRUE(rows == RowsAfter(returned) || rows == RowsAfter(returned + 1))
        << "seed " << shuffleSeed << ", cut at " << cut << " after " << returned << " commits: " << rows.size() << " rows";
    ASSERT_TRUE(db->AddTableRecord("log", {{"id", "1"}})) << db->ErrorMessage();
    EXPECT_TRUE(db->Commit()) << "cut at " << cut << ": " << db->ErrorMessage();
  }
}

TEST(JournalTest, APowerCutAtAnyMomentKeepsWholeCommits) {
  // Seeded, so that a failure can be replayed.
  for (uint32_t seed = 0; seed <= 8; ++seed) RunPowerCuts(seed);
  for (uint32_t seed = 0; seed <= 3; ++seed) RunPowerCuts(seed, 4);
  // A zero byte in the magic of a journal still needed is damage, not its retiring.
  for (uint32_t seed = 1; seed <= 8; ++seed) RunPowerCuts(seed, seed % 2 ? 0 : 4, int(seed % 4));
  // Any other byte of its header at 0 damaged, also where the retiring of a whole commit was lost
  // with the power: the clear mark beside the journal's seals says nothing is to be undone. The
  // version word is made to read as each earlier version too. Under the sanitizers, every ninth.
  for (int byte = 4; byte < kDbJournalHeaderSize; byte += test::Rounds(1, 9)) RunPowerCuts(0, 0, byte, uint8_t(0x41 << (byte % 2)));
  for (uint8_t version : {1, 2, 3}) RunPowerCuts(0, 0, 7, uint8_t(4 ^ version));
}

TEST(JournalTest, ARollbackUndoesPagesThatReachedTheFileEarly) {
  gRowsPerTransaction = 60;
  SimDisk disk;
  auto db = NewDatabase(disk);
  Change(*db, 1);
  ASSERT_TRUE(db->Commit());
  db->File().SetPageBudget(4);
  int64_t before = disk.operations;
  for (int t = 2; t <= 4; ++t) Change(*db, t);
  ASSERT_GT(disk.operations, before) << "nothing was spilled";
  db->Rollback();
  EXPECT_EQ(Rows(*db), RowsAfter(1));
  Change(*db, 2);
  ASSERT_TRUE(db->Commit());
  db.reset();
  disk.PowerCut();
  auto reopened = vndbHandle::Open(disk.Storage());
  ASSERT_TRUE(reopened);
  EXPECT_EQ(Rows(*reopened), RowsAfter(2));
}

TEST(JournalTest, AFullDiskUndoesTheCommitAndKeepsTheLast) {
  gRowsPerTransaction = 12;
  for (int64_t allowed : {0, 2, 4, 6, 8}) {
    SimDisk disk;
    auto db = NewDatabase(disk);
    Change(*db, 1);
    ASSERT_TRUE(db->Commit());
    db.reset();  // a new handle's journal has to grow: one kept is written over in place
    db = vndbHandle::Open(disk.Storage());
    for (int t = 2; t <= 5; ++t) Change(*db, t);
    disk.growthLeft = allowed;
    EXPECT_FALSE(db->Commit()) << allowed;
    EXPECT_NE(db->ErrorMessage().find("keeps its last commit"), std::string::npos) << db->ErrorMessage();
    EXPECT_EQ(Rows(*db), RowsAfter(1)) << allowed;
    disk.growthLeft = -1;
    ASSERT_TRUE(db->AddTableRecord("log", {{"id", "7"}}));
    EXPECT_TRUE(db->Commit()) << db->ErrorMessage();
    db.reset();
    auto reopened = vndbHandle::Open(disk.Storage());
    ASSERT_TRUE(reopened);
    std::set<int> expected = RowsAfter(1);
    expected.insert(7);
    EXPECT_EQ(Rows(*reopened), expected) << allowed;
  }
}

// The disk as a commit left it when the power went after the file was marked and written, just
// before its mark was cleared: the journal is needed to put the last commit back.
SimDisk InterruptedCommitOf(uint64_t identity) {
  gRowsPerTransaction = 12;
  SimDisk last;
  for (int64_t cut = 0; cut < 1000; ++cut) {
    SimDisk disk;
    disk.identity = identity;
    {
      auto db = NewDatabase(disk);
      Change(*db, 1);
      db->Commit();
      Change(*db, 2);
      disk.operationsLeft = cut;
      db->Commit();
    }
    disk.PowerCut();
    if (DbGet32(disk.database.current.data() + kDbHeaderOpenFlag) == 1 && !disk.journal.current.empty())
      last = disk;
    else if (!last.database.current.empty())
      return last;
  }
  ADD_FAILURE() << "no commit was cut short after marking the file";
  return {};
}
SimDisk InterruptedCommit() { return InterruptedCommitOf(7); }

// The disk a program left that died after its second commit returned (the journal kept, its
// magic cleared) or, spilling, with its third under way (five sealed batches: 1 entry, 0, 0, 6, 6).
SimDisk Left(bool spilling) {
  gRowsPerTransaction = spilling ? 30 : 12;
  SimDisk disk;
  auto db = NewDatabase(disk);
  for (int t = 1; t <= 2; ++t) Change(*db, t, spilling ? 3000 : 600), db->Commit();
  if (spilling) db->File().SetPageBudget(4), Change(*db, 3, 3000);
  return SimDisk(disk);
}

// Where the n-th seal ends: the commit's records before it, leftovers of an earlier journal after.
size_t SealEnd(const std::vector<uint8_t>& journal, int nth = 1) {
  size_t at = kDbJournalEntriesOffset;
  for (; nth > 0; --nth, at += kDbJournalSealSize)
    while (at + 4 <= journal.size() && DbGet32(&journal[at]) != kDbJournalSealTag) at += kDbJournalEntrySize;
  return at;
}

// A journal header given another version, its checksum made again.
void Reversion(uint8_t* header, uint32_t version) {
  DbPut32(header + 4, version);
  const uint64_t sum = DbChecksum(0x6A09E667F3BCC908ULL, header, 104);
  DbPut32(header + 104, uint32_t(sum >> 32)), DbPut32(header + 108, uint32_t(sum));
}

// The journal as earlier versions wrote it: no seals, the header at 0 counting every entry, the
// entries from 112 (version 1) or 8192 (version 2), `torn` bytes of the header put at 4096;
// version 3 keeps the records and headers as they are.
void AsVersion(SimDisk& disk, uint32_t version, size_t torn = 0) {
  std::vector<uint8_t>& journal = disk.journal.current;
  if (version == 3) {
    for (size_t at : {size_t(0), size_t(kDbJournalSecondSlot)}) Reversion(&journal[at], 3);
    for (int n = 1; SealEnd(journal, n) <= journal.size(); ++n) Reversion(&journal[SealEnd(journal, n) - 112], 3);
    return;
  }
  const size_t seal = SealEnd(journal) - kDbJournalSealSize;
  std::vector<uint8_t> old(journal.begin() + seal + 4, journal.begin() + seal + kDbJournalSealSize);
  Reversion(old.data(), version);
  old.resize(version == 1 ? kDbJournalHeaderSize : kDbJournalEntriesOffset);
  for (size_t i = 0; i < torn; ++i) old[kDbJournalSecondSlot + i] = old[i];
  old.insert(old.end(), journal.begin() + kDbJournalEntriesOffset, journal.begin() + seal);
  journal = old;
}

TEST(JournalTest, OnlyASoundJournalOfTheFileIsReplayed) {
  struct Case {
    const char* name;
    void (*spoil)(SimDisk&);
    const char* error;  // null: opened with the rows of `committed` transactions
    SimDisk (*made)() = InterruptedCommit;
    int committed = 1;
    // Another file's journal: an open, a commit and a close leave it as it stands.
    bool leftAlone = false;
  };
  // That of another database, its commit cut short.
  static constexpr auto stranger = [](SimDisk& d) { d.journal = InterruptedCommitOf(9).journal; };
  static constexpr auto clear = [](SimDisk& d) { d.database.current[kDbHeaderOpenFlag + 3] = 0; };
  constexpr auto kept = [] { return Left(false); };
  constexpr auto spilling = [] { return Left(true); };
  const Case cases[] = {
      {"sound", [](SimDisk&) {}, nullptr},
      {"cut by a byte", [](SimDisk& d) { d.journal.current.resize(SealEnd(d.journal.current) - 1); }, "is damaged"},
      {"cut to its header", [](SimDisk& d) { d.journal.current.resize(112); }, "is damaged"},
      {"a page byte flipped", [](SimDisk& d) { d.journal.current[kDbJournalEntriesOffset + 4000] ^= 0x10; }, "is damaged"},
      {"with one header slot", [](SimDisk& d) { AsVersion(d, 1); }, nullptr},
      {"with one header slot, a page byte flipped",
       [](SimDisk& d) {
         AsVersion(d, 1);
         d.journal.current[112 + 4000] ^= 0x10;
       },
       "is damaged"},
      {"with two counting slots", [](SimDisk& d) { AsVersion(d, 2); }, nullptr},
      {"with two counting slots, the second one not whole", [](SimDisk& d) { AsVersion(d, 2, 40); }, "is damaged"},
      {"a byte of the header at 0 flipped", [](SimDisk& d) { d.journal.current[30] ^= 1; }, nullptr},
      {"the header at 0 and the file's serial altered",
       [](SimDisk& d) { d.journal.current[30] ^= 1, d.database.current[kDbHeaderSerial + 3] ^= 0x40; }, "is damaged"},
      {"the header at 0 altered, the file's mark clear",
       [](SimDisk& d) { d.journal.current[30] ^= 1, d.database.current[kDbHeaderOpenFlag + 3] = 0; }, nullptr,
       InterruptedCommit, 2},
      {"a byte of the header at 4096 flipped", [](SimDisk& d) { d.journal.current[kDbJournalSecondSlot + 30] ^= 1; }, nullptr},
      {"a seal byte flipped", [](SimDisk& d) { d.journal.current[SealEnd(d.journal.current) - 20] ^= 1; }, "is damaged"},
      {"as version 3, a seal byte flipped, the header at 4096 counting its batch, the file's mark clear", [](SimDisk& d) {
         std::vector<uint8_t>& j = (AsVersion(d, 3), d.journal.current);
         std::copy_n(j.begin() + SealEnd(j) - 112, 112, j.begin() + kDbJournalSecondSlot);
         j[SealEnd(j) - 20] ^= 1, d.database.current[kDbHeaderOpenFlag + 3] = 0;
       }, "where it was already synced"},
      {"the header at 4096 and an entry after the third seal altered", [](SimDisk& d) {
         std::vector<uint8_t>& j = d.journal.current;
         j[kDbJournalSecondSlot + 30] ^= 1, j[SealEnd(j, 3) + 4000] ^= 1;
       }, "where it was already synced", spilling},
      {"the header at 4096 and the fourth seal's tag altered", [](SimDisk& d) {
         std::vector<uint8_t>& j = d.journal.current;
         j[kDbJournalSecondSlot + 30] ^= 1, j[SealEnd(j, 4) - kDbJournalSealSize] ^= 1;
       }, "where it was already synced", spilling},
      {"kept, its magic's first byte set back", [](SimDisk& d) { d.journal.current[0] = 'V'; }, nullptr, kept, 2},
      {"kept, its magic's second byte set back", [](SimDisk& d) { d.journal.current[1] = 'N'; }, nullptr, kept, 2},
      {"kept, its magic's third byte set back", [](SimDisk& d) { d.journal.current[2] = 'D'; }, nullptr, kept, 2},
      {"kept, its magic's last byte set back", [](SimDisk& d) { d.journal.current[3] = 'J'; }, nullptr, kept, 2},
      {"kept, a byte of its magic altered", [](SimDisk& d) { d.journal.current[2] = 0x33; }, nullptr, kept, 2},
      {"kept, all of its magic but the last byte set back",
       [](SimDisk& d) { std::copy_n("VND", 3, d.journal.current.begin()); }, nullptr, kept, 2},
      {"its magic's first byte zeroed", [](SimDisk& d) { d.journal.current[0] = 0; }, nullptr},
      {"its magic's last byte zeroed", [](SimDisk& d) { d.journal.current[3] = 0; }, nullptr},
      {"its magic zeroed, a page byte flipped",
       [](SimDisk& d) { d.journal.current[3] = 0, d.journal.current[kDbJournalEntriesOffset + 4000] ^= 0x10; },
       "is damaged"},
      {"as version 3, the file's mark clear",
       [](SimDisk& d) { AsVersion(d, 3), d.database.current[kDbHeaderOpenFlag + 3] = 0; }, nullptr},
      {"the file's mark clear", [](SimDisk& d) { d.database.current[kDbHeaderOpenFlag + 3] = 0; }, nullptr,
       InterruptedCommit, 2},
      {"copied with its file", [](SimDisk& d) { d.identity = 8; }, "belongs to another database"},
      {"copied with its file, the file's mark clear", [](SimDisk& d) { d.identity = 8, clear(d); }, nullptr,
       InterruptedCommit, 2, true},
      {"another database's", stranger, "belongs to another database"},
      {"another database's, the file's mark clear", [](SimDisk& d) { stranger(d), clear(d); }, nullptr,
       InterruptedCommit, 2, true},
      {"another database's, a page byte flipped, the file's mark clear",
       [](SimDisk& d) { stranger(d), clear(d), d.journal.current[kDbJournalEntriesOffset + 4000] ^= 0x10; }, nullptr,
       InterruptedCommit, 2, true},
      {"another database's as version 3, the file's mark clear",
       [](SimDisk& d) { stranger(d), AsVersion(d, 3), clear(d); }, "belongs to another database"},
      {"missing", [](SimDisk& d) { d.journal.exists = false; }, "unfinished transaction"},
  };
  for (const Case& c : cases) {
    SimDisk disk = c.made();
    c.spoil(disk);
    std::vector<uint8_t> before = disk.database.current;
    std::string error;
    auto db = vndbHandle::Open(disk.Storage(), &error);
    if (!c.error) {
      ASSERT_TRUE(db) << c.name << ": " << error;
      EXPECT_EQ(Rows(*db), RowsAfter(c.committed)) << c.name;
      if (c.leftAlone) {
        const std::vector<uint8_t> journal = disk.journal.current;
        ASSERT_TRUE(db->AddTableRecord("log", {{"id", "1"}}));
        EXPECT_FALSE(db->Commit()) << c.name << ": written into a journal it did not make";
        db.reset();
        EXPECT_TRUE(disk.journal.exists && disk.journal.current == journal) << c.name;
        EXPECT_EQ(disk.database.current, before) << c.name;
      }
      continue;
    }
    EXPECT_FALSE(db) << c.name;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    EXPECT_EQ(disk.database.current, before) << c.name;
  }
}

// A spilling commit cut short at a seeded moment (odd seeds: the power goes too), seeded bytes then
// altered in the header at 0, at 4096, either or (power kept) the records: the file opens at its
// last commit or is refused as it stands. VORN_JOURNAL_SEEDS=n runs seeds 1 to n.
TEST(JournalTest, AnAlteredJournalNeverOpensPartOfATransaction) {
  const char* count = std::getenv("VORN_JOURNAL_SEEDS");
  const uint32_t seeds = count ? uint32_t(std::strtoul(count, nullptr, 10)) : 250;
  gRowsPerTransaction = 30;
  auto pending = [](SimDisk& disk, int64_t cut) {
    auto db = NewDatabase(disk);
    for (int t = 1; t <= 2; ++t) Change(*db, t);
    EXPECT_TRUE(db->Commit());
    db->File().SetPageBudget(4);
    const int64_t start = disk.operations;
    disk.operationsLeft = cut;
    Change(*db, 3, 3000);
    const bool committed = db->Commit();
    return std::pair(committed, disk.operations - start);
  };
  SimDisk dry;
  const int64_t span = pending(dry, -1).second;
  for (uint32_t seed = 1; seed <= seeds; ++seed) {
    std::mt19937 random(seed);
    SimDisk disk;
    const bool committed = pending(disk, int64_t(random() % span)).first;
    if (seed % 2) disk.PowerCut(&random);
    disk.Heal();
    std::vector<uint8_t>& journal = disk.journal.current;
    const uint32_t where = random() % (seed % 2 ? 3 : 4);
    for (uint32_t n = 1 + random() % 8; where < 3 && n > 0; --n)
      if (size_t at = (where == 2 ? random() % 2 : where) * kDbJournalSecondSlot + random() % 112; at < journal.size())
        journal[at] = uint8_t(random());
    if (where == 3 && journal.size() > kDbJournalEntriesOffset)
      journal[kDbJournalEntriesOffset + random() % (journal.size() - kDbJournalEntriesOffset)] ^= 1 + random() % 255;
    const auto altered = std::pair(disk.database.current, journal);
    std::string error;
    auto db = vndbHandle::Open(disk.Storage(), &error);
    const std::set<int> rows = db ? Rows(*db) : std::set<int>{};
    EXPECT_TRUE(db ? rows == RowsAfter(3) || (!committed && rows == RowsAfter(2))
                   : error.find("damaged") != std::string::npos && std::pair(disk.database.current, journal) == altered)
        << "seed " << seed << ": " << rows.size() << " rows, " << error;
  }
}

TEST(JournalTest, AStaleOrUnfinishedJournalIsSetAside) {
  // The power went while the journal was written: the file was never touched.
  gRowsPerTransaction = 12;
  SimDisk disk;
  {
    auto db = NewDatabase(disk);
    Change(*db, 1);
    db->Commit();
    Change(*db, 2);
    disk.operationsLeft = 3;
    db->Commit();
  }
  disk.PowerCut();
  ASSERT_TRUE(disk.journal.exists);
  auto db = vndbHandle::Open(disk.Storage());
  ASSERT_TRUE(db);
  EXPECT_EQ(Rows(*db), RowsAfter(1));
}

TEST(JournalTest, AReadOnlyFileReadsButTakesNoChange) {
  gRowsPerTransaction = 12;
  SimDisk disk;
  {
    auto db = NewDatabase(disk);
    Change(*db, 1);
    ASSERT_TRUE(db->Commit());
  }
  disk.readOnly = true;
  std::vector<uint8_t> before = disk.database.current;
  {
    auto db = vndbHandle::Open(disk.Storage());
    ASSERT_TRUE(db);
    EXPECT_EQ(Rows(*db), RowsAfter(1));
    EXPECT_FALSE(db->AddTableRecord("log", {{"id", "5"}}));
    EXPECT_NE(db->ErrorMessage().find("read-only"), std::string::npos) << db->ErrorMessage();
  }
  EXPECT_EQ(disk.database.current, before);
  SimDisk interrupted = InterruptedCommit();
  interrupted.readOnly = true;
  std::string error;
  EXPECT_FALSE(vndbHandle::Open(interrupted.Storage(), &error));
  EXPECT_NE(error.find("needs recovery"), std::string::npos) << error;
}

// A statement undone to its savepoint leaves the transaction's earlier work and nothing of its
// own, also when its pages went to the file (or left the cache) before it was undone.
TEST(JournalTest, AStatementUndoneKeepsOnlyTheTransactionsEarlierWork) {
  for (size_t budget : {size_t(0), size_t(4)}) {
    gRowsPerTransaction = 60;
    SimDisk disk;
    auto db = NewDatabase(disk);
    Change(*db, 1);
    ASSERT_TRUE(db->Commit());
    if (budget) db->File().SetPageBudget(budget);
    Change(*db, 2);
    int64_t before = disk.operations;
    db->File().BeginStatement();
    Change(*db, 3);
    EXPECT_EQ(disk.operations > before, budget != 0) << "budget " << budget;
    db->File().RollbackStatement();
    EXPECT_EQ(Rows(*db), RowsAfter(2)) << "budget " << budget;
    db->File().BeginStatement();
    Change(*db, 3);
    db->File().EndStatement();
    ASSERT_TRUE(db->Commit()) << db->ErrorMessage();
    db.reset();
    disk.PowerCut();
    auto reopened = vndbHandle::Open(disk.Storage());
    ASSERT_TRUE(reopened);
    EXPECT_EQ(Rows(*reopened), RowsAfter(3)) << "budget " << budget;
  }
}

// The rows the next open finds, after a power cut (keeping the unsynced writes a seed other
// than 0 chooses) or not; the open must succeed.
std::set<int> Reopened(SimDisk disk, bool cut, const std::string& what, uint32_t keep = 0) {
  std::mt19937 random(keep);
  if (cut) disk.PowerCut(keep ? &random : nullptr);
  disk.Heal();
  std::string error;
  auto db = vndbHandle::Open(disk.Storage(), &error);
  EXPECT_TRUE(db) << what << ": " << error;
  return db ? Rows(*db) : std::set<int>{};
}

// How the disk fails from some moment of a commit on: the syncs and writes still allowed,
// whether a failed sync stops the writes too, and the bytes the first refused write still puts.
// With `rewrites` set, the transaction spills, and that many journal rewrites go through before
// one is cut short and the disk acts as `afterwards` says. A power cut keeps the unsynced
// writes a `keep` other than 0 chooses.
struct DiskFailure {
  int64_t syncs = -1, writes = -1;
  bool dying = false;
  size_t torn = 0;
  int64_t rewrites = -1;
  SimDisk::Afterwards afterwards = SimDisk::Afterwards::kRefusesWrites;
  uint32_t keep = 0;
};

// Transaction 1 committed, transaction 2 made and not, the disk failing as `failure` says from
// then on; `what` gets the failure's name. 30 rows spilled write the header at 4096 over its own.
std::unique_ptr<vndbHandle> SecondPending(SimDisk& disk, const DiskFailure& failure, std::string* what) {
  const bool spilled = failure.rewrites >= 0;
  gRowsPerTransaction = spilled ? 30 : 12;
  auto db = NewDatabase(disk);
  Change(*db, 1);
  EXPECT_TRUE(db->Commit());
  if (spilled) db->File().SetPageBudget(4);
  disk.rewrites.clear();
  std::tie(disk.syncsLeft, disk.writesLeft, disk.writesDieWithSyncs, disk.tornBytes, disk.journalRewritesLeft,
           disk.afterRewrite) =
      std::tuple(failure.syncs, failure.writes, failure.dying, failure.torn, failure.rewrites, failure.afterwards);
  *what += std::to_string(failure.syncs) + " syncs, " + std::to_string(failure.writes) + " writes, " + std::to_string(failure.rewrites) +
           " rewrites, then " + std::to_string(int(failure.afterwards)) + (failure.dying ? ", dying" : "") + ", torn by " +
           std::to_string(failure.torn) + ", keeping " + std::to_string(failure.keep);
  Change(*db, 2, spilled ? 3000 : 600);
  return db;
}

// Where a journal rewrite of `length` bytes is cut: in the magic, at each header field's edges,
// through the page count (where two headers first differ), and at a seeded few.
std::set<size_t> TornLengths(size_t length, std::mt19937& random) {
  std::set<size_t> lengths = {0, 1, 2, 3, 22};
  for (size_t field : {4, 8, 16, 20, 24, 32, 96, 104, 112}) lengths.insert({field - 1, field, field + 1});
  for (int i = 0; i < 4; ++i) lengths.insert(random() % length);
  std::erase_if(lengths, [length](size_t torn) { return torn >= length; });
  return lengths;
}

// Every moment a commit's syncs or writes can start failing, and every journal rewrite of a
// spilled transaction cut short.
std::vector<DiskFailure> CommitFailures() {
  std::vector<DiskFailure> failures;
  for (int64_t syncs = 0; syncs < 6; ++syncs)
    failures.insert(failures.end(), {{syncs, -1, false, 0}, {syncs, 0, false, 0}, {syncs, -1, true, 0}});
  for (int64_t writes = 0; writes < 40; ++writes)
    failures.insert(failures.end(), {{-1, writes, false, 0}, {-1, writes, false, 2}});
  // The sync of the cleared mark fails, and the power goes with some writes since: the undoing
  // must not have begun while the mark could still read clear.
  for (uint32_t keep = 1; keep <= 8; ++keep) failures.push_back({.syncs = 3, .keep = keep});
  SimDisk dry;
  std::string what;
  auto db = SecondPending(dry, {.rewrites = INT64_MAX}, &what);
  EXPECT_TRUE(db->Commit());
  // The header at 0 cleared and written, the one at 4096 after each of four batches, the retiring.
  EXPECT_EQ(dry.rewrites, (std::vector<size_t>{112, 112, 112, 112, 112, 112, 4}));
  std::mt19937 random(1);
  for (size_t rewrite = 0; rewrite < dry.rewrites.size(); ++rewrite) {
    for (size_t torn : TornLengths(dry.rewrites[rewrite], random))
      for (int afterwards = 0; afterwards < 3; ++afterwards)
        failures.push_back({.torn = torn, .rewrites = int64_t(rewrite), .afterwards = SimDisk::Afterwards(afterwards)});
  }
  return failures;
}

// A failed commit either keeps the last one or, when that cannot be known yet, says that the
// changes may be in the file; true for the latter.
bool OutcomeUnknown(vndbHandle& db, const std::string& what) {
  const std::string& error = db.ErrorMessage();
  const bool unknown = error.find("may be in the file") != std::string::npos;
  EXPECT_TRUE(unknown || error.find("keeps its last commit") != std::string::npos) << what << ": " << error;
  EXPECT_EQ(db.ErrorCode(), kDbErrorInternal) << what;
  return unknown;
}

// Whether the commit is made by Close or by the destructor, the file opens afterwards with
// what Close reported.
TEST(JournalTest, ACloseWhoseCommitFailsKeepsTheJournalAndSaysWhy) {
  for (bool destroy : {false, true}) {
    for (const DiskFailure& failure : CommitFailures()) {
      SimDisk disk;
      std::string what = destroy ? "destroyed, " : "closed, ";
      auto db = SecondPending(disk, failure, &what);
      const bool closed = destroy || db->Close();
      const bool unknown = !closed && OutcomeUnknown(*db, what);
      db.reset();
      const std::set<int> rows = Reopened(disk, false, what);
      EXPECT_TRUE(rows == RowsAfter(closed ? 2 : 1) || ((destroy || unknown) && rows == RowsAfter(1)) ||
                  (unknown && rows == RowsAfter(2)))
          << what;
    }
  }
}

// What a commit reports is what the next open finds, with or without a power cut; where that
// cannot be known when it returns, the handle takes the changes out once the disk works again,
// and goes on in step with the file.
TEST(JournalTest, ACommitReportsWhatTheNextOpenFinds) {
  for (const DiskFailure& failure : CommitFailures()) {
    SimDisk disk;
    std::string what;
    auto db = SecondPending(disk, failure, &what);
    const bool committed = db->Commit();
    const bool unknown = !committed && OutcomeUnknown(*db, what);
    for (bool cut : {false, true}) {
      const std::set<int> rows = Reopened(disk, cut, what, failure.keep);
      EXPECT_TRUE(rows == RowsAfter(committed ? 2 : 1) || (unknown && rows == RowsAfter(2))) << what << (cut ? ", cut" : "");
    }
    disk.Heal();
    ASSERT_TRUE(db->AddTableRecord("log", {{"id", "7"}})) << what << ": " << db->ErrorMessage();
    ASSERT_TRUE(db->Commit()) << what << ": " << db->ErrorMessage();
    std::set<int> expected = RowsAfter(committed ? 2 : 1);
    expected.insert(7);
    EXPECT_EQ(Rows(*db), expected) << what;
    db.reset();
    EXPECT_EQ(Reopened(disk, true, what), expected) << what << " after a power cut";
  }
  // The open that puts an interrupted commit back is cut at any moment, and then a byte of the
  // journal's magic is lost: the next open still finds the last commit whole.
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    std::mt19937 random(seed);
    for (int64_t cut = 0, opened = 0; !opened; ++cut) {
      SimDisk disk = InterruptedCommit();
      disk.operationsLeft = cut;
      opened = vndbHandle::Open(disk.Storage()) != nullptr;
      disk.PowerCut(&random);
      if (disk.journal.current.size() > 4) disk.journal.current[seed % 4] = 0;
      EXPECT_EQ(Reopened(disk, false, "replay"), RowsAfter(1)) << "seed " << seed << ", replay cut at " << cut;
    }
  }
}

// A statement changes a page the transaction already had, the page goes to the file early (a
// spill) and is still cached when the statement is undone: the commit must write it back as
// it was, or the file keeps the undone change.
TEST(JournalTest, AStatementUndoneRewritesItsSpilledPageStillInTheCache) {
  for (size_t budget : {size_t(6), size_t(8), size_t(12)}) {
    SimDisk disk;
    auto db = vndbHandle::Create(disk.Storage());
    ASSERT_TRUE(db->CreateTable("a", {{"id", kDbInteger, false}}, {0}));
    ASSERT_TRUE(db->CreateTable("b", {{"id", kDbInteger, false}, {"text", kDbVarchar, true}}, {0}));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(db->AddTableRecord("a", {{"id", std::to_string(i)}}));
    ASSERT_TRUE(db->Commit());
    db->File().SetPageBudget(budget);
    db->File().BeginStatement();
    {
      auto cursor = vndbCursor::Open(*db, "a", {"id"});
      ASSERT_TRUE(cursor->NextRow() && cursor->DeleteRow());
    }
    // Rows into b until changed pages are spilled, reading a's page between them so that it is
    // among the newest when the spill comes.
    int64_t before = disk.operations;
    for (int i = 0; disk.operations == before && i < 2000; ++i) {
      auto cursor = vndbCursor::Open(*db, "a", {"id"});
      ASSERT_TRUE(cursor->NextRow());
      ASSERT_TRUE(db->AddTableRecord("b", {{"id", std::to_string(i)}, {"text", std::string(600, 'b')}}));
    }
    ASSERT_GT(disk.operations, before) << "nothing was spilled";
    db->File().RollbackStatement();
    ASSERT_TRUE(db->Commit()) << db->ErrorMessage();
    db.reset();
    auto reopened = vndbHandle::Open(disk.Storage());
    ASSERT_TRUE(reopened);
    int rows = 0;
    for (auto cursor = vndbCursor::Open(*reopened, "a", {"id"}); cursor->NextRow();) ++rows;
    EXPECT_EQ(rows, 5) << "budget " << budget;
  }
}

}  // namespace
}  // namespace vorn
