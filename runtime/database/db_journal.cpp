#include "database/db_journal.h"

#include <cstring>
#include <vector>

namespace vorn {
namespace {

constexpr uint32_t kJournalMagic = 0x564E444A;  // "VNDJ"
constexpr uint32_t kOneSlotVersion = 1;
constexpr uint32_t kJournalVersion = 2;
constexpr uint64_t kChecksumSeed = 0x6A09E667F3BCC908ULL;
constexpr int32_t kEntriesChecksumAt = 96;
constexpr int32_t kHeaderChecksumAt = 104;

uint64_t Get64(const uint8_t* p) { return uint64_t(DbGet32(p)) << 32 | DbGet32(p + 4); }
void Put64(uint8_t* p, uint64_t v) {
  DbPut32(p, uint32_t(v >> 32));
  DbPut32(p + 4, uint32_t(v));
}

void EncodeHeader(const DbJournalInfo& info, uint64_t entries, uint8_t* out) {
  std::memset(out, 0, kDbJournalHeaderSize);
  DbPut32(out, kJournalMagic);
  DbPut32(out + 4, kJournalVersion);
  Put64(out + 8, info.identity);
  DbPut32(out + 16, info.serial);
  DbPut32(out + 20, info.pageCount);
  Put64(out + 24, uint64_t(info.length));
  std::memcpy(out + 32, info.header, kDbHeaderSize);
  Put64(out + kEntriesChecksumAt, entries);
  Put64(out + kHeaderChecksumAt, DbChecksum(kChecksumSeed, out, kHeaderChecksumAt));
}

// Some of the magic's bytes zero, the others as written.
bool PartlyCleared(const uint8_t* header) {
  uint8_t magic[4];
  DbPut32(magic, kJournalMagic);
  int cleared = 0;
  for (int i = 0; i < 4; ++i) {
    if (header[i] == 0) ++cleared;
    else if (header[i] != magic[i]) return false;
  }
  return cleared > 0 && cleared < 4;
}

int64_t EntryOffset(const DbJournalInfo& info, uint32_t index) {
  return info.entriesOffset + int64_t(index) * kDbJournalEntrySize;
}

int64_t SlotOffset(int slot) { return slot == 0 ? 0 : kDbJournalSecondSlot; }

// The header of one slot when it is whole (magic, version, checksum) and names a database
// header; the checksum of the entries it counts goes to `entries`.
bool DecodeHeader(const uint8_t* header, uint32_t version, DbJournalInfo* info, uint64_t* entries) {
  if (DbGet32(header) != kJournalMagic || DbGet32(header + 4) != version ||
      Get64(header + kHeaderChecksumAt) != DbChecksum(kChecksumSeed, header, kHeaderChecksumAt))
    return false;
  info->identity = Get64(header + 8);
  info->serial = DbGet32(header + 16);
  info->pageCount = DbGet32(header + 20);
  info->length = int64_t(Get64(header + 24));
  std::memcpy(info->header, header + 32, kDbHeaderSize);
  *entries = Get64(header + kEntriesChecksumAt);
  return info->length >= kDbHeaderSize && DbGet32(info->header) == kDbMagic;
}

}  // namespace

uint64_t DbChecksum(uint64_t seed, const uint8_t* bytes, size_t count) {
  uint64_t h = seed;
  for (; count >= 8; bytes += 8, count -= 8) {
    uint64_t word = 0;
    for (int i = 7; i >= 0; --i) word = word << 8 | bytes[i];
    h = (h ^ word) * 0x100000001B3ULL;
    h ^= h >> 29;
  }
  for (; count > 0; ++bytes, --count) h = (h ^ *bytes) * 0x100000001B3ULL;
  return h ^ (h >> 32);
}

DbJournalWriter::DbJournalWriter(vndbStore& journal, const DbJournalInfo& info)
    : mJournal(journal), mInfo(info), mChecksum(kChecksumSeed) {
  mInfo.pageCount = 0;
  mInfo.entriesOffset = kDbJournalEntriesOffset;
  // An old journal's header must not stand over the new entries, even for a moment.
  mOk = mJournal.Length() == 0 || mJournal.SetLength(0);
}

bool DbJournalWriter::Add(uint32_t page, const uint8_t* bytes) {
  if (!mOk) return false;
  uint8_t number[4];
  DbPut32(number, page);
  int64_t at = EntryOffset(mInfo, mInfo.pageCount);
  mOk = mJournal.Write(at, number, 4) && mJournal.Write(at + 4, bytes, kDbPageSize);
  mChecksum = DbChecksum(mChecksum, number, 4);
  mChecksum = DbChecksum(mChecksum, bytes, kDbPageSize);
  ++mInfo.pageCount;
  return mOk;
}

bool DbJournalWriter::Finish() {
  if (!mOk) return false;
  // The entries must be on the medium before a header counts them, and so must the emptying of
  // the journal a commit retired: the first header written into it could otherwise meet that
  // commit's header in the other slot, or its entries.
  if (!mJournal.Sync()) return mOk = false;
  uint8_t header[kDbJournalHeaderSize];
  EncodeHeader(mInfo, mChecksum, header);
  mOk = mJournal.Write(SlotOffset(mSlot), header, kDbJournalHeaderSize) && mJournal.Sync();
  if (mOk) mSlot ^= 1;
  return mOk;
}

DbJournalState DbReadJournal(vndbStore& journal, uint64_t identity, DbJournalInfo* info) {
  int64_t length = journal.Length();
  if (length <= 0) return length == 0 ? DbJournalState::kEmpty : DbJournalState::kDamaged;
  uint8_t first[kDbJournalHeaderSize];
  if (length < kDbJournalHeaderSize || !journal.Read(0, first, kDbJournalHeaderSize))
    return DbJournalState::kDamaged;
  // A retiring write cut short leaves the magic partly cleared: that commit never finished, so
  // its journal still counts. Only a magic cleared whole retires it.
  if (PartlyCleared(first)) DbPut32(first, kJournalMagic);
  if (DbGet32(first) != kJournalMagic) return DbJournalState::kDamaged;
  // Of two sound slots, the one counting more entries was written later. A slot that is not
  // sound is one whose write was cut short (or never made): the other one is in force.
  const bool oneSlot = DbGet32(first + 4) == kOneSlotVersion;
  uint64_t checksum = 0;
  bool sound = DecodeHeader(first, oneSlot ? kOneSlotVersion : kJournalVersion, info, &checksum);
  DbJournalInfo slot;
  uint64_t entries = 0;
  uint8_t second[kDbJournalHeaderSize];
  if (!oneSlot && length >= kDbJournalSecondSlot + kDbJournalHeaderSize &&
      journal.Read(kDbJournalSecondSlot, second, kDbJournalHeaderSize) &&
      DecodeHeader(second, kJournalVersion, &slot, &entries) && (!sound || slot.pageCount > info->pageCount)) {
    *info = slot;
    checksum = entries;
    sound = true;
  }
  if (!sound) return DbJournalState::kDamaged;
  info->entriesOffset = oneSlot ? kDbJournalHeaderSize : kDbJournalEntriesOffset;
  // Entries past the count were being added when the writer stopped: their pages were never
  // written to the file, so they are not needed. Those counted must all be there and whole: a
  // header is written only once they are synced.
  if (length < EntryOffset(*info, info->pageCount)) return DbJournalState::kDamaged;
  uint64_t found = kChecksumSeed;
  std::vector<uint8_t> entry(kDbJournalEntrySize);
  for (uint32_t i = 0; i < info->pageCount; ++i) {
    if (!journal.Read(EntryOffset(*info, i), entry.data(), entry.size())) return DbJournalState::kDamaged;
    found = DbChecksum(found, entry.data(), 4);
    found = DbChecksum(found, entry.data() + 4, kDbPageSize);
  }
  if (found != checksum) return DbJournalState::kDamaged;
  return info->identity == identity ? DbJournalState::kSound : DbJournalState::kForeign;
}

bool DbRetireJournal(vndbStore& journal, bool* cleared) {
  const uint8_t zero[4] = {};
  *cleared = journal.Write(0, zero, sizeof zero);
  return *cleared && journal.Sync();
}

bool DbReinstateJournal(vndbStore& journal) {
  uint8_t magic[4];
  DbPut32(magic, kJournalMagic);
  if (!journal.Write(0, magic, sizeof magic)) return false;
  // The retiring sync failed, so what the medium holds may be either; the replay that follows
  // syncs the database file, and a journal left replayable is harmless.
  journal.Sync();
  return true;
}

bool DbReplayJournal(vndbStore& journal, const DbJournalInfo& info, vndbStore& database) {
  std::vector<uint8_t> entry(kDbJournalEntrySize);
  for (uint32_t i = 0; i < info.pageCount; ++i) {
    if (!journal.Read(EntryOffset(info, i), entry.data(), entry.size())) return false;
    int64_t at = kDbHeaderSize + int64_t(DbGet32(entry.data())) * kDbPageSize;
    if (at + kDbPageSize > info.length) continue;
    if (!database.Write(at, entry.data() + 4, kDbPageSize)) return false;
  }
  return database.SetLength(info.length) && database.Write(0, info.header, kDbHeaderSize) && database.Sync();
}

}  // namespace vorn
