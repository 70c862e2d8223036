// Fuzzes the journal beside a database file whose commit was cut short. The input edits the
// sound journal of that commit: u32 position, a mode byte (0 overwrite there, 1 cut there,
// 2 append, 3 replace it whole), then the bytes. Opening must either refuse, leaving the file
// as it was, or recover it to exactly its last commit.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "database/db_cursor.h"
#include "database/db_handle.h"

namespace {

using namespace vorn;

constexpr int kCommittedRows = 40;

class MemoryStore : public vndbStore {
 public:
  explicit MemoryStore(std::vector<uint8_t>& bytes) : mBytes(bytes) {}
  bool Read(int64_t offset, uint8_t* bytes, size_t count) override {
    if (offset < 0 || uint64_t(offset) + count > mBytes.size()) return false;
    std::memcpy(bytes, mBytes.data() + offset, count);
    return true;
  }
  bool Write(int64_t offset, const uint8_t* bytes, size_t count) override {
    if (offset < 0 || writesLeft == 0) return false;
    if (writesLeft > 0) --writesLeft;
    if (uint64_t(offset) + count > mBytes.size()) mBytes.resize(size_t(offset) + count);
    std::memcpy(mBytes.data() + offset, bytes, count);
    return true;
  }
  int64_t Length() override { return int64_t(mBytes.size()); }
  bool SetLength(int64_t length) override {
    if (writesLeft == 0) return false;
    mBytes.resize(size_t(length));
    return true;
  }
  bool Sync() override { return writesLeft != 0; }
  int writesLeft = -1;

 private:
  std::vector<uint8_t>& mBytes;
};

class MemoryStorage : public vndbStorage {
 public:
  MemoryStorage(std::vector<uint8_t>& database, std::vector<uint8_t>& journal)
      : mDatabase(database), mJournalBytes(journal), mJournal(journal) {}
  vndbStore& Database() override { return mDatabase; }
  bool ReadOnly() const override { return false; }
  uint64_t Identity() const override { return 1; }
  vndbStore* Journal(bool create) override { return mJournalBytes.empty() && !create ? nullptr : &mJournal; }
  bool RemoveJournal() override {
    mJournalBytes.clear();
    return true;
  }
  MemoryStore mDatabase;

 private:
  std::vector<uint8_t>& mJournalBytes;
  MemoryStore mJournal;
};

struct Interrupted {
  std::vector<uint8_t> database;
  std::vector<uint8_t> journal;
};

// A database of kCommittedRows rows whose next commit stopped after marking the file and
// writing part of its pages.
const Interrupted& Base() {
  static Interrupted base = [] {
    Interrupted made;
    auto storage = std::make_unique<MemoryStorage>(made.database, made.journal);
    MemoryStorage* raw = storage.get();
    auto db = vndbHandle::Create(std::move(storage));
    db->CreateTable("t", {{"id", kDbInteger, false}, {"text", kDbVarchar, true}}, {0});
    for (int i = 0; i < kCommittedRows; ++i)
      db->AddTableRecord("t", {{"id", std::to_string(i)}, {"text", std::string(500, 'x')}});
    db->Commit();
    for (int i = kCommittedRows; i < 3 * kCommittedRows; ++i)
      db->AddTableRecord("t", {{"id", std::to_string(i)}, {"text", std::string(500, 'y')}});
    raw->mDatabase.writesLeft = 3;
    db->Commit();
    db.reset();
    // The target means nothing unless the file was left marked with its journal beside it.
    if (made.journal.empty() || made.database.size() < 16 || made.database[15] != 1) __builtin_trap();
    return made;
  }();
  return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (size_t(1) << 20)) return 0;
  const Interrupted& base = Base();
  std::vector<uint8_t> database = base.database;
  std::vector<uint8_t> journal = base.journal;
  if (size >= 5) {
    uint32_t position = uint32_t(data[0]) << 24 | uint32_t(data[1]) << 16 | uint32_t(data[2]) << 8 | data[3];
    position %= uint32_t(journal.size() + 1);
    const uint8_t* bytes = data + 5;
    size_t count = size - 5;
    switch (data[4] % 4) {
      case 0:
        if (position + count > journal.size()) journal.resize(position + count);
        std::memcpy(journal.data() + position, bytes, count);
        break;
      case 1: journal.resize(position); break;
      case 2: journal.insert(journal.end(), bytes, bytes + count); break;
      default: journal.assign(bytes, bytes + count); break;
    }
  }
  std::string error;
  auto db = vndbHandle::Open(std::make_unique<MemoryStorage>(database, journal), &error);
  if (!db) {
    // A refused file is left exactly as it was.
    if (database != base.database) __builtin_trap();
    return 0;
  }
  // A file opened is exactly at its last commit.
  int rows = 0;
  auto cursor = vndbCursor::Open(*db, "t", {"*"});
  while (cursor && cursor->NextRow()) ++rows;
  if (rows != kCommittedRows) __builtin_trap();
  return 0;
}
