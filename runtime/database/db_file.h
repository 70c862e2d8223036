// One open database file: its storage, a bounded cache of page images and the one transaction
// that can be open at a time.
//
// Changed pages stay in the cache until commit. Commit first writes the images those pages had
// into the journal beside the file and syncs it, then marks the header "transaction open" and
// syncs, writes the pages and syncs, clears the mark and syncs; the commit is done when that
// cleared mark is synced (the journal's magic is cleared after, unsynced). A commit cut short
// at any moment before that is undone from the journal when the file is next opened, and one
// that fails is undone at once (or, when the disk refuses even that, at the next use or open),
// so what a commit reports is what the file holds.
// Every page read is checked before it is used; damage makes the handle refuse further commits.
//
// Page pointers stay good until the next outermost Scope begins (or Rollback, Close): clean
// pages beyond the budget are released, least recently used first, only when they were not
// used inside the running Scope.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "database/db_format.h"
#include "database/db_journal.h"
#include "database/db_storage.h"
#include "objects/purgable_object.h"

namespace vorn {

class RandomAccessMechanism;
class vndbFile;

struct vndbPage : public purgableObject {
  uint8_t bytes[kDbPageSize] = {};
  uint32_t number = 0;
  bool dirty = false;
  uint64_t used = 0;  // the cache's use count when last fetched
  vndbFile* owner = nullptr;
  vndbPage* older = nullptr;  // the cache's own least-recently-used order
  vndbPage* newer = nullptr;
  // Set from the file's clock by every MarkModified, which comes before every change of the
  // page's bytes, and when the page enters the cache, so that no two states of a page share one;
  // the tree layer keeps the offsets of the page's records here while it is unchanged.
  uint64_t version = 0;
  uint64_t offsetsVersion = UINT64_MAX;
  bool offsetsSound = false;
  std::vector<uint16_t> offsets;  // of a leaf's live records, of every interior entry
  std::vector<uint16_t> records;  // of every leaf record, deleted ones too
  // Where the tree layer last put a record into the page, so that a split can tell a run of
  // neighbouring keys (which should leave full pages behind) from keys scattered over it.
  uint32_t insertedAt = UINT32_MAX;
  uint32_t insertedEnd = UINT32_MAX;
  // The version at which the live rows of this leaf were found to fit the columns of the table
  // named, so that walks over an unchanged page do not look at its fields again.
  uint64_t fitVersion = UINT64_MAX;
  uint32_t fitTable = 0;

  uint32_t Tag() const { return DbGet32(bytes); }
  uint16_t Used() const { return DbGet16(bytes + 16); }
  void SetUsed(uint16_t count) { DbPut16(bytes + 16, count); }
  uint8_t* Data() { return bytes + kDbPageHeaderSize; }
  // Asked when memory runs short: a clean page outside the running operation lets itself go.
  bool Purge() override;
};

// Pages kept by default: 16 MB.
constexpr size_t kDbDefaultPageBudget = 2048;

inline constexpr const char* kDbFileMoved =
    "The database file was moved, removed or replaced since it was opened: no change is written to it";

class vndbFile {
 public:
  vndbFile() = default;
  vndbFile(const vndbFile&) = delete;
  vndbFile& operator=(const vndbFile&) = delete;
  // Closes a file still open (committing).
  ~vndbFile();

  // One operation of the layers above: pages fetched inside it stay put until the outermost
  // one ends.
  class Scope {
   public:
    explicit Scope(vndbFile& file) : mFile(file) {
      if (mFile.mScopeDepth++ == 0) mFile.mOperationStart = mFile.mUseCount + 1;
    }
    ~Scope() { --mFile.mScopeDepth; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    vndbFile& mFile;
  };

  // Writes a new, empty database into the storage and commits it, unless the caller commits
  // it with more (a file never committed does not open).
  bool Create(std::unique_ptr<vndbStorage> storage, bool commit = true);
  bool Create(std::unique_ptr<RandomAccessMechanism> stream);
  // Reads and checks the header, first undoing a commit that was cut short.
  bool Open(std::unique_ptr<vndbStorage> storage);
  bool Open(std::unique_ptr<RandomAccessMechanism> stream);
  // Commits, writes the header counters and lets the storage go. False when anything failed.
  bool Close();

  // The page, or null when it cannot be read or is damaged (Error() says why).
  vndbPage* GetPage(uint32_t number);
  // A new empty page marked modified; page word as given.
  vndbPage* NewPage(uint32_t tag, uint32_t pageWord);
  // A new page whose page word is its own number.
  vndbPage* NewPageWithTag(uint32_t tag);
  void MarkModified(vndbPage* page);

  uint32_t NewRecordId() { return mNextRecordId++; }
  uint32_t CurrentSerial() const { return mSerial; }
  uint32_t PageCount() const { return mPageCount; }
  uint32_t MasterRoot() const { return mMasterRoot; }
  void SetMasterRoot(uint32_t page);
  bool InTransaction() const { return mInTransaction; }
  bool ReadOnly() const { return mReadOnly; }

  void BeginTransaction();
  // Counts rollbacks of transactions and statements: pages a path was taken through may have
  // gone or hold what they held before, so whatever remembers one takes it afresh.
  uint64_t Undos() const { return mUndos; }
  // False, the transaction undone and the file at its last commit, when it could not be written.
  bool Commit();
  void Rollback();

  // A savepoint inside the transaction: one statement's page changes are kept undoable until
  // EndStatement, and RollbackStatement puts every page back as the statement found it while
  // the transaction's earlier work stays.
  void BeginStatement();
  void EndStatement();
  void RollbackStatement();

  // Records damage found by any layer; the first reason is kept.
  void ReportDamage(const std::string& reason);
  const std::string& DamageReason() const { return mDamageReason; }
  // Counts the damage reported and the undoing of a failed commit found still waiting, so that
  // an operation can tell whether it met either.
  uint64_t Troubles() const { return mTroubles; }
  // Damaged, or a failed commit not yet undone in the file.
  bool IsDamaged() const { return mDamaged || mRestorePending; }
  // Finishes undoing a failed commit when the disk takes writes again; true when the handle
  // may be used.
  bool Usable();
  // Whether the file's name still reaches the file opened. Removed, its changes would go with
  // the handle; moved or replaced, their journal would lie beside a name no open of the file looks
  // at, and a crash would leave it refused. Every change asks, and the name is looked up for the
  // first one of a transaction (a lookup costs more than most changes); `beforeWriting`, asked
  // before anything of a transaction reaches the disk, looks it up every time.
  bool StillNamed(bool beforeWriting = false);
  const std::string& Error() const { return mError; }
  // Open refused the file because it, or the journal it needs, is damaged.
  bool RefusedAsDamaged() const { return mRefusedAsDamaged; }

  // Where a named tree's master record was last found (the layer above checks it is still so).
  struct TreeHint {
    uint32_t page = 0;
    uint32_t offset = 0;
    uint32_t id = 0;
  };
  bool FindTreeHint(const std::string& name, TreeHint* hint) const;
  void SetTreeHint(const std::string& name, const TreeHint& hint);

  void SetPageBudget(size_t pages) { mPageBudget = pages < 4 ? 4 : pages; }
  size_t CachedPages() const { return mCache.size(); }

 private:
  friend struct vndbPage;

  bool ReadHeader(uint8_t* header);
  bool Recover(const uint8_t* header);
  bool WriteHeaderWords(int32_t offset, const uint32_t* words, int count);
  bool WritePage(const vndbPage& page);
  // Adds the old images of the pages not yet journaled in this transaction and syncs.
  bool JournalPages(const std::vector<vndbPage*>& pages);
  void EndJournal();
  void SpillChanges();
  // Sets the file's transaction mark and syncs it, once per transaction.
  bool MarkFile();
  bool WriteChanges(const std::vector<vndbPage*>& pages);
  // Undoes a commit that failed after the file was touched; false when even that failed.
  bool RestoreFromJournal();
  // Tries again to undo a failed commit; true while it still is not undone.
  bool RestorePending();
  void CompactDeleted(vndbPage& page);
  // Advances the serial and leaves the file idle.
  void EndTransaction();
  void SetError(const std::string& error) { if (mError.empty()) mError = error; }
  void SaveForStatement(const vndbPage& page);
  bool Fail(const std::string& error);
  bool FailDamaged(const std::string& error);

  vndbPage* Adopt(std::unique_ptr<vndbPage> page);
  void Forget(vndbPage* page);
  void LinkNewest(vndbPage* page);
  void Unlink(vndbPage* page);
  bool Releasable(const vndbPage* page) const;
  void ReleaseClean();
  void ReleaseBeyondBudget();

  std::unique_ptr<vndbStorage> mStorage;
  std::unordered_map<uint32_t, std::unique_ptr<vndbPage>> mCache;
  std::vector<vndbPage*> mDirty;
  std::unique_ptr<DbJournalWriter> mJournalWriter;  // while this transaction's journal is open
  // The journal this transaction wrote, reached through the descriptor that wrote it until it
  // is no longer needed: what stands at its name later may be anything.
  vndbStore* mJournal = nullptr;
  uint32_t mJournalSerial = 0;  // the serial it carries
  std::unordered_set<uint32_t> mJournaled;
  bool mSpilled = false;      // pages of this transaction reached the file before commit
  bool mSpillFailed = false;
  bool mFileTouched = false;     // the running commit wrote to the database file
  bool mMarkSynced = false;      // the medium holds this transaction's mark
  bool mMarkClearing = false;    // the running commit wrote the file's cleared mark, or tried to
  bool mMarkCleared = false;     // ... and the medium may hold it clear
  bool mRestorePending = false;  // a failed commit still to be undone from the journal
  bool mNamed = false;           // the transaction found the name reaching the file
  bool mNameLost = false;        // ... or the last lookup did not
  // A journal another file may need stands at the journal's name, left there by the open: a
  // commit refuses it, and nothing removes it.
  bool mJournalLeft = false;
  uint64_t mTroubles = 0;
  uint64_t mUndos = 0;
  std::string mDamageReason;
  // The failed commit's file may read as unmarked and its mark could not be set again: until
  // the undoing is done, an open may find the commit in the file.
  bool mOutcomeUnknown = false;
  std::unordered_map<std::string, TreeHint> mTreeHints;  // by lower-cased name
  vndbPage* mOldest = nullptr;
  vndbPage* mNewest = nullptr;
  // Pages fetched lately, by page number modulo the slot count: a walk or an insert goes from
  // the master page to the leaf and back row after row, and these spare it the map.
  static constexpr size_t kRecentSlots = 8;
  vndbPage* mRecent[kRecentSlots] = {};
  vndbPage*& RecentSlot(uint32_t number) { return mRecent[number % kRecentSlots]; }
  void ForgetRecent(const vndbPage* page) {
    vndbPage*& slot = RecentSlot(page->number);
    if (slot == page) slot = nullptr;
  }
  void ClearRecent() { std::fill(std::begin(mRecent), std::end(mRecent), nullptr); }
  size_t mPageBudget = kDbDefaultPageBudget;
  uint64_t mUseCount = 0;
  uint64_t mVersionClock = 0;
  uint64_t mOperationStart = 0;
  int mScopeDepth = 0;

  // The running statement's savepoint: the images its pages had before it changed them.
  struct StatementImage {
    std::unique_ptr<uint8_t[]> bytes;
    bool dirty = false;
  };
  bool mInStatement = false;
  bool mStatementSpilled = false;
  bool mStatementInTransaction = false;
  uint32_t mStatementPageCount = 0;
  uint32_t mStatementMasterRoot = 0;
  uint32_t mStatementLastModified = 0;
  std::unordered_map<uint32_t, StatementImage> mStatementImages;

  uint32_t mNextRecordId = 1;
  uint32_t mPageCount = 0;
  uint32_t mMasterRoot = 0;
  uint32_t mSerial = 1;
  uint32_t mLastModified = kDbNoPage;
  bool mInTransaction = false;
  bool mOpenFailed = false;
  bool mDamaged = false;
  bool mReadOnly = false;
  std::string mError;
  bool mRefusedAsDamaged = false;
  // What the file holds as last committed, restored by rollback.
  uint32_t mCommittedNextRecordId = 1;
  uint32_t mCommittedPageCount = 0;
  uint32_t mCommittedMasterRoot = 0;
  int64_t mCommittedLength = 0;
};

}  // namespace vorn
