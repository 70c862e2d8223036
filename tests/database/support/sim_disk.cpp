#include "database/support/sim_disk.h"

#include <cstring>

#include "database/db_journal.h"

namespace vorn::dbtest {
namespace {

void Apply(std::vector<uint8_t>& bytes, const SimDisk::Change& change) {
  if (change.length >= 0) {
    bytes.resize(size_t(change.length));
    return;
  }
  if (size_t(change.offset) + change.bytes.size() > bytes.size())
    bytes.resize(size_t(change.offset) + change.bytes.size());
  std::memcpy(bytes.data() + change.offset, change.bytes.data(), change.bytes.size());
}

class SimStore : public vndbStore {
 public:
  SimStore(SimDisk& disk, SimDisk::File& file) : mDisk(disk), mFile(file) {}
  bool Read(int64_t offset, uint8_t* bytes, size_t count) override {
    if (offset < 0 || size_t(offset) + count > mFile.current.size()) return false;
    std::memcpy(bytes, mFile.current.data() + offset, count);
    return true;
  }
  bool Write(int64_t offset, const uint8_t* bytes, size_t count) override {
    const bool inPlace = size_t(offset) + count <= mFile.current.size();
    const bool rewrite = &mFile == &mDisk.journal && inPlace && offset < kDbJournalEntriesOffset;
    bool allowed = (!rewrite || mDisk.AllowRewrite(count)) && mDisk.AllowWrite() &&
                   (inPlace || mDisk.AllowGrowth());
    size_t put = allowed ? count : mDisk.TakeTorn(count);
    if (put > 0) {
      SimDisk::Change change{offset, std::vector<uint8_t>(bytes, bytes + put), -1};
      Apply(mFile.current, change);
      mFile.pending.push_back(std::move(change));
    }
    return allowed;
  }
  int64_t Length() override { return int64_t(mFile.current.size()); }
  bool SetLength(int64_t length) override {
    if (!mDisk.AllowWrite()) return false;
    if (size_t(length) > mFile.current.size() && !mDisk.AllowGrowth()) return false;
    SimDisk::Change change{0, {}, length};
    Apply(mFile.current, change);
    mFile.pending.push_back(std::move(change));
    return true;
  }
  bool Sync() override {
    if (!mDisk.AllowSync()) return false;
    ++mDisk.syncs;
    mFile.durable = mFile.current;
    mFile.pending.clear();
    return true;
  }

 private:
  SimDisk& mDisk;
  SimDisk::File& mFile;
};

class SimStorage : public vndbStorage {
 public:
  explicit SimStorage(SimDisk& disk) : mDisk(disk), mDatabase(disk, disk.database), mJournal(disk, disk.journal) {}
  vndbStore& Database() override { return mDatabase; }
  bool ReadOnly() const override { return mDisk.readOnly; }
  uint64_t Identity() const override { return mDisk.identity; }
  vndbStore* Journal(bool create) override {
    if (!mDisk.journal.exists) {
      if (!create || !mDisk.Allow()) return nullptr;
      // Made with its folder synced, as the disk storage does.
      mDisk.journal = {};
      mDisk.journal.exists = mDisk.journal.existsDurably = true;
      mMade = true;
    } else if (create && !mMade) {
      // As on the disk: a commit writes only into a journal it made.
      return nullptr;
    }
    return &mJournal;
  }
  // A removal is not synced: after a power cut the journal may be back.
  bool RemoveJournal() override {
    if (!mDisk.journal.exists) return true;
    if (!mDisk.Allow()) return false;
    mDisk.journal.exists = mMade = false;
    mDisk.journal.current.clear();
    mDisk.journal.pending.clear();
    return true;
  }

 private:
  SimDisk& mDisk;
  SimStore mDatabase;
  SimStore mJournal;
  bool mMade = false;
};

void Lose(SimDisk::File& file, std::mt19937* keep) {
  std::vector<uint8_t> bytes = file.durable;
  if (keep) {
    for (const SimDisk::Change& change : file.pending)
      if ((*keep)() % 2) Apply(bytes, change);
  }
  file.current = file.durable = bytes;
  file.pending.clear();
}

}  // namespace

bool SimDisk::Allow() {
  ++operations;
  if (operationsLeft < 0) return true;
  if (operationsLeft == 0) return false;
  --operationsLeft;
  return true;
}

bool SimDisk::AllowRewrite(size_t count) {
  if (journalRewritesLeft < 0 || journalRewritesLeft-- > 0) {
    rewrites.push_back(count);
    return true;
  }
  journalRewritesLeft = -1;
  writesLeft = 0;
  if (afterRewrite != Afterwards::kRefusesWrites) syncsLeft = 0;
  if (afterRewrite == Afterwards::kProgramDies) operationsLeft = 0;
  return false;
}

bool SimDisk::AllowGrowth() {
  if (growthLeft < 0) return true;
  if (growthLeft == 0) return false;
  --growthLeft;
  return true;
}

std::unique_ptr<vndbStorage> SimDisk::Storage() { return std::make_unique<SimStorage>(*this); }

void SimDisk::PowerCut(std::mt19937* keep) {
  Lose(database, keep);
  if (!journal.exists && journal.existsDurably) journal.current = journal.durable;
  journal.exists = journal.existsDurably;
  Lose(journal, keep);
  Heal();
}

void SimDisk::Heal() {
  operationsLeft = -1;
  growthLeft = -1;
  writesLeft = -1;
  syncsLeft = -1;
  writesDieWithSyncs = false;
  tornBytes = 0;
  journalRewritesLeft = -1;
}

}  // namespace vorn::dbtest
