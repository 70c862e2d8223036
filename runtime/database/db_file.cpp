#include "database/db_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "database/db_journal.h"
#include "files/random_access_mechanism.h"

namespace vorn {
namespace {

int64_t PageOffset(uint32_t number) { return kDbHeaderSize + int64_t(number) * kDbPageSize; }

// Streams count in signed 32 bits; a page beyond that could not be reached through one.
constexpr uint32_t kMostPages = uint32_t((INT32_MAX - kDbHeaderSize) / kDbPageSize) - 1;

}  // namespace

bool vndbPage::Purge() {
  if (!owner || !owner->Releasable(this)) return false;
  owner->Forget(this);
  return true;
}

vndbFile::~vndbFile() {
  if (mStorage) Close();
}

bool vndbFile::Fail(const std::string& error) {
  SetError(error);
  return false;
}

bool vndbFile::FailDamaged(const std::string& error) {
  mRefusedAsDamaged = true;
  return Fail(error);
}

// --- cache ------------------------------------------------------------------------------

void vndbFile::LinkNewest(vndbPage* page) {
  page->older = mNewest;
  page->newer = nullptr;
  (mNewest ? mNewest->newer : mOldest) = page;
  mNewest = page;
}

void vndbFile::Unlink(vndbPage* page) {
  (page->older ? page->older->newer : mOldest) = page->newer;
  (page->newer ? page->newer->older : mNewest) = page->older;
  page->older = page->newer = nullptr;
}

vndbPage* vndbFile::Adopt(std::unique_ptr<vndbPage> page) {
  ReleaseBeyondBudget();
  vndbPage* result = page.get();
  result->owner = this;
  result->used = ++mUseCount;
  result->version = ++mVersionClock;
  LinkNewest(result);
  mCache[result->number] = std::move(page);
  result->Link();
  return result;
}

void vndbFile::Forget(vndbPage* page) {
  ForgetRecent(page);
  Unlink(page);
  mCache.erase(page->number);
}

bool vndbFile::Releasable(const vndbPage* page) const {
  return !page->dirty && page->used < mOperationStart;
}

void vndbFile::ReleaseClean() {
  // The oldest pages come first; one used in the running operation ends the search, since
  // everything newer was used in it too.
  for (vndbPage* page = mOldest; page && mCache.size() >= mPageBudget && page->used < mOperationStart;) {
    vndbPage* next = page->newer;
    if (!page->dirty) Forget(page);
    page = next;
  }
}

void vndbFile::ReleaseBeyondBudget() {
  ReleaseClean();
  // Changed pages go to the file only when they hold the cache at twice its budget.
  if (mCache.size() >= 2 * mPageBudget && !mDirty.empty() && mStorage && !mReadOnly && !mSpillFailed &&
      !mDamaged) {
    SpillChanges();
    ReleaseClean();
  }
}

vndbPage* vndbFile::GetPage(uint32_t number) {
  // A walk asks for the same page many times over.
  vndbPage*& recent = RecentSlot(number);
  if (recent && recent->number == number) {
    recent->used = ++mUseCount;
    if (recent != mNewest) {
      Unlink(recent);
      LinkNewest(recent);
    }
    return recent;
  }
  auto cached = mCache.find(number);
  if (cached != mCache.end()) {
    vndbPage* page = cached->second.get();
    page->used = ++mUseCount;
    if (page != mNewest) {
      Unlink(page);
      LinkNewest(page);
    }
    page->Touch();
    recent = page;
    return page;
  }
  if (!mStorage) return nullptr;
  if (RestorePending()) {
    ++mTroubles;
    return nullptr;
  }
  if (number >= mPageCount) {
    ReportDamage("page " + std::to_string(number) + " lies outside the file");
    return nullptr;
  }
  auto page = std::make_unique<vndbPage>();
  if (!mStorage->Database().Read(PageOffset(number), page->bytes, kDbPageSize)) {
    ReportDamage("page " + std::to_string(number) + " cannot be read");
    return nullptr;
  }
  std::string fault = DbCheckPage(page->bytes);
  if (!fault.empty()) {
    ReportDamage("page " + std::to_string(number) + ": " + fault);
    return nullptr;
  }
  page->number = number;
  vndbPage* result = Adopt(std::move(page));
  if (result->Tag() == kDbRowLeaf && !mReadOnly) CompactDeleted(*result);
  return result;
}

void vndbFile::CompactDeleted(vndbPage& page) {
  uint8_t* data = page.Data();
  uint16_t used = page.Used();
  uint16_t kept = 0;
  for (uint16_t at = 0; at < used;) {
    uint16_t length = DbGet16(data + at);
    uint32_t serial = DbGet32(data + at + 2) & 0xFFFFFF;
    bool drop = data[at + 2] == kDbDeleted && serial < mSerial;
    if (!drop) {
      if (kept != at) std::memmove(data + kept, data + at, length);
      kept = uint16_t(kept + length);
    }
    at = uint16_t(at + length);
  }
  if (kept == used) return;
  std::memset(data + kept, 0, size_t(used - kept));
  page.SetUsed(kept);
  MarkModified(&page);
}

vndbPage* vndbFile::NewPage(uint32_t tag, uint32_t pageWord) {
  if (mPageCount >= kMostPages) {
    SetError("The database file is full");
    return nullptr;
  }
  auto page = std::make_unique<vndbPage>();
  page->number = mPageCount++;
  DbPut32(page->bytes, tag);
  DbPut32(page->bytes + 4, pageWord);
  // A fresh page always joins this transaction's chain, whatever serial it starts with.
  DbPut32(page->bytes + 8, mSerial ^ 1);
  vndbPage* result = Adopt(std::move(page));
  MarkModified(result);
  return result;
}

vndbPage* vndbFile::NewPageWithTag(uint32_t tag) {
  vndbPage* page = NewPage(tag, 0);
  if (page) DbPut32(page->bytes + 4, page->number);
  return page;
}

void vndbFile::MarkModified(vndbPage* page) {
  if (mInStatement && page->number < mStatementPageCount) SaveForStatement(*page);
  page->version = ++mVersionClock;
  if (page->dirty) return;
  BeginTransaction();
  page->dirty = true;
  mDirty.push_back(page);
  if (DbGet32(page->bytes + 8) != mSerial) {
    DbPut32(page->bytes + 8, mSerial);
    DbPut32(page->bytes + 12, mLastModified);
    mLastModified = page->number;
  }
}

void vndbFile::SetMasterRoot(uint32_t page) {
  BeginTransaction();
  mMasterRoot = page;
}

void vndbFile::BeginTransaction() { mInTransaction = true; }

bool vndbFile::FindTreeHint(const std::string& name, TreeHint* hint) const {
  auto found = mTreeHints.find(DbFoldName(name));
  if (found == mTreeHints.end()) return false;
  *hint = found->second;
  return true;
}

void vndbFile::SetTreeHint(const std::string& name, const TreeHint& hint) { mTreeHints[DbFoldName(name)] = hint; }

// --- opening and closing ----------------------------------------------------------------

bool vndbFile::WriteHeaderWords(int32_t offset, const uint32_t* words, int count) {
  uint8_t bytes[kDbHeaderSize];
  for (int i = 0; i < count; ++i) DbPut32(bytes + 4 * i, words[i]);
  return mStorage->Database().Write(offset, bytes, size_t(4 * count));
}

bool vndbFile::WritePage(const vndbPage& page) {
  return mStorage->Database().Write(PageOffset(page.number), page.bytes, kDbPageSize);
}

bool vndbFile::Create(std::unique_ptr<RandomAccessMechanism> stream) {
  return Create(StreamStorage(std::move(stream)));
}

bool vndbFile::Open(std::unique_ptr<RandomAccessMechanism> stream) {
  return Open(StreamStorage(std::move(stream)));
}

bool vndbFile::Create(std::unique_ptr<vndbStorage> storage, bool commit) {
  mStorage = std::move(storage);
  if (!mStorage || mStorage->ReadOnly() || !mStorage->RemoveJournal() ||
      !mStorage->Database().SetLength(kDbHeaderSize))
    return Fail("The database file cannot be written");
  uint32_t header[16] = {kDbMagic, kDbVersion};
  if (!WriteHeaderWords(0, header, 16)) return Fail("The database file cannot be written");
  mCache.clear();
  mDirty.clear();
  mOldest = mNewest = nullptr;
  ClearRecent();
  mPageCount = mCommittedPageCount = 0;
  mMasterRoot = mCommittedMasterRoot = 0;
  mCommittedLength = kDbHeaderSize;
  NewPage(kDbMasterLeaf, 0);
  return !commit || Commit();
}

bool vndbFile::ReadHeader(uint8_t* header) {
  int64_t length = mStorage->Database().Length();
  if (length == 0) return Fail("The database file is empty");
  if (length < kDbHeaderSize || !mStorage->Database().Read(0, header, kDbHeaderSize))
    return Fail("The file is too short to be a database");
  if (DbGet32(header) != kDbMagic) return Fail("The file is not a database");
  if (DbGet32(header + 4) != kDbVersion) return Fail("The database file has an unsupported version");
  return true;
}

// A journal left beside the file tells whether a commit was cut short: its page images go
// back when the file may hold part of that commit, and the file is refused when the journal
// cannot be trusted to restore it.
bool vndbFile::Recover(const uint8_t* header) {
  bool marked = DbGet32(header + kDbHeaderOpenFlag) != 0;
  uint32_t serial = DbGet32(header + kDbHeaderSerial);
  vndbStore* journal = mStorage->Journal(false);
  if (!journal && !mStorage->JournalProblem().empty()) return Fail(mStorage->JournalProblem());
  DbJournalInfo info;
  DbJournalState state =
      journal ? DbReadJournal(*journal, mStorage->Identity(), &info, header) : DbJournalState::kEmpty;
  if (state == DbJournalState::kForeign) {
    // Never put back, and never removed: it may be what another file needs. Beside a clear mark
    // a journal of the version whose commits end with that mark has nothing to undo here.
    if (marked || !info.markRetires) return Fail("The journal beside the database file belongs to another database");
    mJournalLeft = true;
    return true;
  }
  if (state == DbJournalState::kUnprovable)
    return FailDamaged("The journal of the database file's unfinished transaction is damaged where it was already "
                "synced: the file may hold changes it can no longer undo");
  bool replay = false;
  if (state == DbJournalState::kDamaged) {
    // Pages are written only after their journal is whole and synced, and a commit retires its
    // journal only after the file is synced, so with the mark clear a damaged journal is one
    // whose commit never reached the file or is whole in it.
    if (marked) return FailDamaged("The journal of the database file's unfinished transaction is damaged");
  } else if (state == DbJournalState::kSound) {
    uint32_t before = DbGet32(info.header + kDbHeaderSerial);
    if (serial != info.serial && serial != before)
      return Fail("The journal beside the database file does not belong to it");
    // A sound journal is put back, also when the file's mark is clear, unless it is of the
    // version whose commit ended with that mark (read as retired then).
    replay = true;
  }
  if (!replay && marked) return Fail("The database file was left inside an unfinished transaction");
  if (mReadOnly) {
    if (replay) return Fail("The database file needs recovery but cannot be written");
    return true;
  }
  if (replay && !DbReplayJournal(*journal, info, mStorage->Database()))
    return Fail("The database file could not be recovered from its journal");
  if (journal && !mStorage->RemoveJournal() && replay)
    return Fail("The journal of the recovered database file cannot be removed");
  return true;
}

bool vndbFile::Open(std::unique_ptr<vndbStorage> storage) {
  mStorage = std::move(storage);
  mOpenFailed = true;
  if (!mStorage) return false;
  mReadOnly = mStorage->ReadOnly();
  uint8_t header[kDbHeaderSize];
  if (!ReadHeader(header) || !Recover(header)) return false;
  // Recovery may have put back another header.
  if (!ReadHeader(header)) return false;
  int64_t length = mStorage->Database().Length();
  mSerial = DbNextSerial(DbGet32(header + kDbHeaderSerial));
  mNextRecordId = mCommittedNextRecordId = DbGet32(header + kDbHeaderNextId);
  int64_t pages = (length - kDbHeaderSize) / kDbPageSize;
  mPageCount = mCommittedPageCount = uint32_t(std::min<int64_t>(pages, kMostPages));
  mCommittedLength = length;
  mMasterRoot = mCommittedMasterRoot = DbGet32(header + kDbHeaderMasterRoot);
  if (mMasterRoot >= mPageCount) return FailDamaged("The database file's master tree lies outside the file");
  mOpenFailed = false;
  return true;
}

bool vndbFile::Close() {
  if (!mStorage) return false;
  bool ok = true;
  if (mDamaged || mReadOnly) {
    ok = !mDamaged && !mInTransaction;
    if (!ok) SetError(mDamaged ? mError : "The database file is read-only: the changes were discarded");
    Rollback();
  } else {
    ok = Commit();
    if (ok && !mOpenFailed && mNextRecordId != mCommittedNextRecordId) {
      // Ids handed out without a change to any page are still never handed out twice.
      uint32_t next = mNextRecordId;
      ok = WriteHeaderWords(kDbHeaderNextId, &next, 1) && mStorage->Database().Sync();
      if (!ok) SetError("The database file's counters could not be written");
    }
    // The journal goes only when the file surely holds no part of a commit; otherwise the
    // next open needs it.
    if (ok && !mOpenFailed && !mRestorePending && !mJournalLeft) mStorage->RemoveJournal();
    // The handle that could have taken the changes out goes now.
    if (mRestorePending && mOutcomeUnknown)
      mError = "The changes may be in the file: the disk failed as the commit ended, and whether "
               "the next open finds them depends on what the disk kept";
  }
  mJournal = nullptr;
  mDirty.clear();
  mCache.clear();
  mOldest = mNewest = nullptr;
  ClearRecent();
  mStorage.reset();
  return ok && !mOpenFailed;
}

void vndbFile::ReportDamage(const std::string& reason) {
  ++mTroubles;
  if (!mDamaged) mDamageReason = reason;
  mDamaged = true;
  SetError("The database file is damaged: " + reason);
}

// --- transactions -----------------------------------------------------------------------

bool vndbFile::JournalPages(const std::vector<vndbPage*>& pages) {
  if (!StillNamed(true)) return false;
  if (!mJournalWriter) {
    // The journal of a failed commit not yet undone is still needed as it is.
    if (mRestorePending) return false;
    mJournal = mStorage->Journal(true);
    if (!mJournal) return false;
    // Made by this handle, so the name was free: whatever stood there is gone.
    mJournalLeft = false;
    DbJournalInfo info;
    info.identity = mStorage->Identity();
    info.serial = mJournalSerial = mSerial;
    info.length = mCommittedLength;
    if (!mStorage->Database().Read(0, info.header, kDbHeaderSize)) return false;
    mJournalWriter = std::make_unique<DbJournalWriter>(*mJournal, info);
  }
  uint8_t before[kDbPageSize];
  for (const vndbPage* page : pages) {
    // Pages past the committed end go away with the length; a page already in the journal
    // keeps the image it had before the transaction.
    if (PageOffset(page->number) + kDbPageSize > mCommittedLength || !mJournaled.insert(page->number).second)
      continue;
    if (!mStorage->Database().Read(PageOffset(page->number), before, kDbPageSize) ||
        !mJournalWriter->Add(page->number, before))
      return false;
  }
  return mJournalWriter->Finish();
}

void vndbFile::EndJournal() {
  mJournalWriter.reset();
  if (!mRestorePending) mJournal = nullptr;
  mJournaled.clear();
  mSpilled = false;
  mSpillFailed = false;
  mFileTouched = false;
  mMarkSynced = false;
}

// Changed pages that no running operation uses go to the file before commit, their old images
// journaled first, so that one transaction need not hold all its pages in memory.
void vndbFile::SpillChanges() {
  std::vector<vndbPage*> pages;
  for (vndbPage* page : mDirty)
    if (page->used < mOperationStart) pages.push_back(page);
  if (pages.empty()) return;
  std::sort(pages.begin(), pages.end(),
            [](const vndbPage* a, const vndbPage* b) { return a->number < b->number; });
  bool ok = JournalPages(pages) && mStorage->JournalInPlace();
  // Only from here on may the file hold part of the transaction: a journal that could not be
  // written whole leaves it untouched, and nothing is to be put back from that journal.
  if (ok) {
    if (!mSpilled) {
      mSpilled = true;
      ok = MarkFile();
    }
    if (mInStatement) mStatementSpilled = true;
  }
  for (vndbPage* page : pages) {
    ok = ok && WritePage(*page);
    if (!ok) break;
    page->dirty = false;
  }
  // Pages written are clean and may be released; only the others stay listed.
  std::erase_if(mDirty, [](const vndbPage* page) { return !page->dirty; });
  // After a failure the commit fails and the journal is put back.
  if (!ok) mSpillFailed = true;
}

// The medium holds the mark before any page of the transaction, and the cleared mark only once
// it holds every page: a file whose mark is clear holds no part of a commit, whatever becomes of
// the journal's magic, and one whose mark is set has a journal that was never retired.
bool vndbFile::MarkFile() {
  uint32_t begin[4] = {mSerial, 1, mNextRecordId, mMasterRoot};
  const bool wasMarked = mMarkSynced;
  mFileTouched = true;
  if (!WriteHeaderWords(kDbHeaderSerial, begin, 4)) return false;
  mMarkSynced = wasMarked || mStorage->Database().Sync();
  return mMarkSynced;
}

bool vndbFile::WriteChanges(const std::vector<vndbPage*>& pages) {
  vndbStore& database = mStorage->Database();
  if (!MarkFile()) return false;
  for (const vndbPage* page : pages)
    if (!WritePage(*page)) return false;
  int64_t length = PageOffset(mPageCount);
  if (database.Length() != length && !database.SetLength(length)) return false;
  if (!database.Sync()) return false;
  // The commit point: once this is synced the file holds the commit, whatever the journal says.
  // A write that failed may have put some of its zeros, and the mark may then read clear.
  uint32_t end[2] = {0, mNextRecordId};
  mMarkClearing = true;
  uint8_t mark[4];
  const bool written = WriteHeaderWords(kDbHeaderOpenFlag, end, 2);
  mMarkCleared = written || !database.Read(kDbHeaderOpenFlag, mark, sizeof mark) || DbGet32(mark) == 0;
  return written && database.Sync();
}

bool vndbFile::RestoreFromJournal() {
  if (!mJournal) return false;
  DbJournalInfo info;
  DbJournalState state = DbReadJournal(*mJournal, mStorage->Identity(), &info);
  // Only this transaction's own images may go back into the file.
  if (state == DbJournalState::kSound && info.serial != mJournalSerial) {
    ReportDamage("the journal of the failed commit was overwritten, so its changes may be in the file");
    return true;
  }
  if (state != DbJournalState::kSound) return false;
  // A file whose clearing of the mark failed may read as holding a whole commit: it is marked
  // again, on the medium, before any image goes back, or a cut in the replay would leave part of
  // the commit under a clear mark.
  if (mMarkClearing) {
    const uint32_t marked = 1;
    if (!WriteHeaderWords(kDbHeaderOpenFlag, &marked, 1) || !mStorage->Database().Sync()) return false;
    mMarkClearing = mMarkCleared = false;
  }
  bool restored = DbReplayJournal(*mJournal, info, mStorage->Database());
  if (restored) mJournal->SetLength(0);
  return restored;
}

bool vndbFile::RestorePending() {
  if (!mRestorePending || !mStorage) return mRestorePending;
  if (!RestoreFromJournal()) return true;
  mRestorePending = mOutcomeUnknown = false;
  mJournal = nullptr;
  if (!mDamaged) mError.clear();
  return false;
}

bool vndbFile::StillNamed(bool beforeWriting) {
  if (!mStorage) return false;
  if (mNamed && mInTransaction && !beforeWriting) return true;
  mNameLost = !mStorage->StillNamed();
  mNamed = !mNameLost;
  return mNamed;
}

bool vndbFile::Usable() {
  RestorePending();
  return mStorage && !IsDamaged();
}

bool vndbFile::Commit() {
  if (!mStorage) return Fail("The database file is closed");
  if (RestorePending()) return false;
  if (mDamaged) return Fail("Changes to a damaged database file are not written");
  if (!mInTransaction) return true;
  if (mReadOnly) {
    Rollback();
    return Fail("The database file is read-only: the changes were discarded");
  }
  std::vector<vndbPage*> pages = mDirty;
  std::sort(pages.begin(), pages.end(),
            [](const vndbPage* a, const vndbPage* b) { return a->number < b->number; });
  mFileTouched = false;
  mMarkClearing = mMarkCleared = false;
  bool written = !mSpillFailed && JournalPages(pages) && mStorage->JournalInPlace() && WriteChanges(pages);
  // The commit is done once the file's cleared mark is synced; until then a failure (or a cut
  // power supply) leaves it to be undone from the journal, the one this commit wrote.
  if (written) DbRetireJournal(*mJournal);
  if (!written) {
    // Rollback puts the journal back when the file was touched.
    Rollback();
    if (mDamaged) return false;
    std::string pending = mRestorePending ? mError : mNameLost ? kDbFileMoved : mStorage->JournalProblem();
    mError.clear();
    if (mOutcomeUnknown)
      return Fail("The changes may be in the file: the disk failed as the commit ended. Once it takes "
                  "writes again, Commit takes them out and then succeeds; until then an open may find them");
    Fail("The changes could not be written: the file keeps its last commit");
    if (!pending.empty()) mError += " (" + pending + ")";
    return false;
  }
  mMarkClearing = mMarkCleared = false;
  // Retired, its images only take room; the room of a small one is used again by the next
  // commit. Either goes without a sync.
  if (mJournal->Length() > kDbJournalKeptLength) mJournal->SetLength(0);
  for (vndbPage* page : pages) page->dirty = false;
  mDirty.clear();
  EndJournal();
  mCommittedNextRecordId = mNextRecordId;
  mCommittedPageCount = mPageCount;
  mCommittedMasterRoot = mMasterRoot;
  mCommittedLength = PageOffset(mPageCount);
  EndTransaction();
  ReleaseBeyondBudget();
  return true;
}

// --- statements -------------------------------------------------------------------------

void vndbFile::BeginStatement() {
  mStatementImages.clear();
  mInStatement = true;
  mStatementSpilled = false;
  mStatementInTransaction = mInTransaction;
  mStatementPageCount = mPageCount;
  mStatementMasterRoot = mMasterRoot;
  mStatementLastModified = mLastModified;
}

void vndbFile::EndStatement() {
  mInStatement = false;
  mStatementImages.clear();
}

void vndbFile::SaveForStatement(const vndbPage& page) {
  StatementImage& image = mStatementImages[page.number];
  if (image.bytes) return;
  image.bytes = std::make_unique<uint8_t[]>(kDbPageSize);
  std::memcpy(image.bytes.get(), page.bytes, kDbPageSize);
  image.dirty = page.dirty;
}

void vndbFile::RollbackStatement() {
  if (!mInStatement) return;
  mInStatement = false;
  ++mUndos;
  // Pages the statement added go; the file's length follows the page count at commit.
  for (auto it = mCache.begin(); it != mCache.end();) {
    if (it->first < mStatementPageCount) {
      ++it;
      continue;
    }
    vndbPage* page = it->second.get();
    ForgetRecent(page);
    std::erase(mDirty, page);
    Unlink(page);
    it = mCache.erase(it);
  }
  mPageCount = mStatementPageCount;
  mMasterRoot = mStatementMasterRoot;
  mLastModified = mStatementLastModified;
  // Pages still cached first: adopting a released one may spill, and what it spills must
  // already be the restored image.
  std::vector<uint32_t> released;
  for (auto& [number, image] : mStatementImages) {
    auto cached = mCache.find(number);
    if (cached == mCache.end()) {
      released.push_back(number);
      continue;
    }
    vndbPage* page = cached->second.get();
    std::memcpy(page->bytes, image.bytes.get(), kDbPageSize);
    page->version = ++mVersionClock;
    // A page the statement spilled holds its changes in the file and must be written again.
    if (image.dirty || mStatementSpilled) {
      if (!page->dirty) MarkModified(page);
    } else if (page->dirty) {
      page->dirty = false;
      std::erase(mDirty, page);
    }
  }
  for (uint32_t number : released) {
    auto page = std::make_unique<vndbPage>();
    page->number = number;
    std::memcpy(page->bytes, mStatementImages[number].bytes.get(), kDbPageSize);
    MarkModified(Adopt(std::move(page)));
  }
  mStatementImages.clear();
  mInTransaction = mStatementInTransaction || mSpilled || !mDirty.empty();
}

void vndbFile::EndTransaction() {
  EndStatement();
  mNamed = false;
  mSerial = DbNextSerial(mSerial);
  mInTransaction = false;
  mLastModified = kDbNoPage;
}

void vndbFile::Rollback() {
  ++mUndos;
  bool touched = mSpilled || mInTransaction;
  for (vndbPage* page : mDirty) Forget(page);
  mDirty.clear();
  if (mStorage && touched && !mReadOnly) {
    // Whatever of the transaction reached the file (spilled pages, a cut-short commit) goes;
    // pages read since may hold it, so the cache goes too.
    bool wrote = mSpilled || mFileTouched;
    if (!wrote) {
      uint8_t header[kDbHeaderSize];
      wrote = mStorage->Database().Read(0, header, kDbHeaderSize) && DbGet32(header + kDbHeaderOpenFlag) != 0;
    }
    if (wrote) {
      // The journal stays beside the file until it is put back: the next open (or the next
      // use of this handle, once the disk takes writes again) does it.
      if (!RestoreFromJournal()) {
        mRestorePending = true;
        mOutcomeUnknown = mMarkCleared;
        SetError("The database file could not yet be put back to its last commit; it is when the "
                 "disk takes writes again or when the file is next opened");
      }
      mCache.clear();
      mOldest = mNewest = nullptr;
      ClearRecent();
    } else if (mJournalWriter && mJournal) {
      mJournal->SetLength(0);
    }
  }
  EndJournal();
  for (auto it = mCache.begin(); it != mCache.end();) {
    if (it->first >= mCommittedPageCount) {
      ForgetRecent(it->second.get());
      Unlink(it->second.get());
      it = mCache.erase(it);
    } else {
      ++it;
    }
  }
  mNextRecordId = mCommittedNextRecordId;
  mPageCount = mCommittedPageCount;
  mMasterRoot = mCommittedMasterRoot;
  EndTransaction();
}

}  // namespace vorn
