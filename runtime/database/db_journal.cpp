#include "database/db_journal.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vorn {
namespace {

constexpr uint32_t kJournalMagic = 0x564E444A;  // "VNDJ"
constexpr uint32_t kOneSlotVersion = 1;
constexpr uint32_t kTwoSlotVersion = 2;
// Version 3 journals were written while a file's mark could be cleared with the pages: beside a
// clear mark a sound one is still put back. Version 4 (written now) ends with the file's cleared
// mark, synced only once the file holds every page, so beside a clear mark it is retired.
constexpr uint32_t kSealedVersion = 3;
constexpr uint32_t kJournalVersion = 4;
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

// The magic is written whole once, synced with the first batch before any page of the commit
// reaches the file, and cleared once the file holds the whole commit and its cleared mark, synced.
// A zero byte in it was put by a write made while the file held its last commit whole (a header
// written over, or written cut short, before that sync; a retiring write, whole or cut short,
// after the file's sync), or by damage: while the file's mark is clear nothing is to be undone,
// whatever its other bytes; while it is set the journal was never retired.
bool Retired(const uint8_t* magic) { return !magic[0] || !magic[1] || !magic[2] || !magic[3]; }

bool Marked(const uint8_t* fileHeader) { return fileHeader && DbGet32(fileHeader + kDbHeaderOpenFlag) != 0; }

int64_t EntryOffset(const DbJournalInfo& info, uint32_t index) {
  return info.entriesOffset + int64_t(index) * kDbJournalEntrySize;
}

// The header of one slot when it is whole (magic, version, checksum) and names a database
// header; the checksum of the entries it counts goes to `entries`.
bool DecodeHeader(const uint8_t* header, uint32_t version, DbJournalInfo* info, uint64_t* entries) {
  const uint32_t written = DbGet32(header + 4);
  if (DbGet32(header) != kJournalMagic ||
      (written != version && (version != kJournalVersion || written != kSealedVersion)) ||
      Get64(header + kHeaderChecksumAt) != DbChecksum(kChecksumSeed, header, kHeaderChecksumAt))
    return false;
  info->markRetires = written == kJournalVersion;
  info->identity = Get64(header + 8);
  info->serial = DbGet32(header + 16);
  info->pageCount = DbGet32(header + 20);
  info->length = int64_t(Get64(header + 24));
  std::memcpy(info->header, header + 32, kDbHeaderSize);
  *entries = Get64(header + kEntriesChecksumAt);
  return info->length >= kDbHeaderSize && DbGet32(info->header) == kDbMagic;
}

// Headers written for one commit.
bool SameCommit(const DbJournalInfo& a, const DbJournalInfo& b) {
  return a.identity == b.identity && a.serial == b.serial && a.length == b.length &&
         a.markRetires == b.markRetires && std::memcmp(a.header, b.header, kDbHeaderSize) == 0;
}

// The checksum of the entries so far, folded over one more: its page number, then its image.
uint64_t FoldEntry(uint64_t checksum, const uint8_t* number, const uint8_t* page) {
  return DbChecksum(DbChecksum(checksum, number, 4), page, kDbPageSize);
}

// The second slot when the journal holds one there, whole or not.
bool ReadSecondSlot(vndbStore& journal, int64_t length, uint8_t* slot) {
  if (length < kDbJournalSecondSlot + kDbJournalHeaderSize ||
      !journal.Read(kDbJournalSecondSlot, slot, kDbJournalHeaderSize))
    return false;
  for (int i = 0; i < kDbJournalHeaderSize; ++i)
    if (slot[i] != 0) return true;
  return false;
}

// Versions 1 and 2: the header in force counts entries that lie one after another.
DbJournalState ReadCountingSlots(vndbStore& journal, int64_t length, const uint8_t* first, DbJournalInfo* info) {
  const bool oneSlot = DbGet32(first + 4) == kOneSlotVersion;
  uint64_t checksum = 0;
  const bool sound = DecodeHeader(first, oneSlot ? kOneSlotVersion : kTwoSlotVersion, info, &checksum);
  uint8_t second[kDbJournalHeaderSize];
  if (!oneSlot && ReadSecondSlot(journal, length, second)) {
    // A slot cut short cannot be told from one altered after its pages reached the file, and
    // this version's entries do not prove themselves: only two sound slots are trusted.
    DbJournalInfo slot;
    uint64_t entries = 0;
    // A whole header of a sealed version there says the version word at 0 is what was altered:
    // the seals tell.
    if (!sound && DecodeHeader(second, kJournalVersion, &slot, &entries)) return DbJournalState::kDamaged;
    if (!sound || !DecodeHeader(second, kTwoSlotVersion, &slot, &entries)) return DbJournalState::kUnprovable;
    if (slot.pageCount > info->pageCount) {
      *info = slot;
      checksum = entries;
    }
  }
  if (!sound) return DbJournalState::kDamaged;
  info->entriesOffset = oneSlot ? kDbJournalHeaderSize : kDbJournalEntriesOffset;
  info->sealed = false;
  if (length < EntryOffset(*info, info->pageCount)) return DbJournalState::kDamaged;
  uint64_t found = kChecksumSeed;
  std::vector<uint8_t> entry(kDbJournalEntrySize);
  for (uint32_t i = 0; i < info->pageCount; ++i) {
    if (!journal.Read(EntryOffset(*info, i), entry.data(), entry.size())) return DbJournalState::kDamaged;
    found = FoldEntry(found, entry.data(), entry.data() + 4);
  }
  return found == checksum ? DbJournalState::kSound : DbJournalState::kDamaged;
}

// Whether a seal is this commit's when the header at 0 does not say. The commit under way
// carries the serial after the file's, or the file's own once its mark is set. With the mark
// clear, a seal of the file's serial is either the commit's, cut short after clearing it, or a
// leftover of the commit before (a retired journal is written over or emptied unsynced). Either
// way one of the version written now has nothing to undo: its commit set the mark, synced,
// before its first page and cleared it only once every page was synced. One of version 3 may
// have cleared the mark with its pages: `unsure`.
bool BindsToFile(const DbJournalInfo& seal, const uint8_t* fileHeader, bool* unsure) {
  if (!fileHeader) return false;
  const uint32_t serial = DbGet32(fileHeader + kDbHeaderSerial);
  if (seal.serial == DbNextSerial(serial)) return true;
  if (seal.serial != serial) return false;
  if (Marked(fileHeader)) return true;
  *unsure = !seal.markRetires;
  return false;
}

// Whether a seal of the commit lies past `from` (where the proven records end), with more seals
// before it than the `seals` proven: each batch is synced before the next one is written, so
// the batch the walk stopped in was synced, and altered since. Looked for at every offset, as
// what was altered may have cost the walk its step.
bool SealedLater(vndbStore& journal, int64_t from, int64_t length, uint32_t seals, bool bound,
                 const DbJournalInfo& commit, const uint8_t* fileHeader) {
  constexpr int64_t kBlock = 1 << 16;
  std::vector<uint8_t> block(kBlock + kDbJournalSealSize);
  for (int64_t start = from; start + kDbJournalSealSize <= length; start += kBlock) {
    const int64_t count = std::min<int64_t>(int64_t(block.size()), length - start);
    if (!journal.Read(start, block.data(), size_t(count))) return false;
    for (int64_t i = 0; i < kBlock && i + kDbJournalSealSize <= count; ++i) {
      DbJournalInfo seal;
      uint64_t entries = 0;
      if (DbGet32(&block[i]) != kDbJournalSealTag ||
          !DecodeHeader(&block[i + 4], kJournalVersion, &seal, &entries))
        continue;
      // Where the seal of that many entries lies after as many seals as the gap holds.
      const int64_t gap = start + i - kDbJournalEntriesOffset - int64_t(seal.pageCount) * kDbJournalEntrySize;
      bool unsure = false;
      if (gap > int64_t(seals) * kDbJournalSealSize && gap % kDbJournalSealSize == 0 &&
          (bound ? SameCommit(seal, commit) : BindsToFile(seal, fileHeader, &unsure)))
        return true;
    }
  }
  return false;
}

// Versions 3 and 4: the records are walked up to the last seal that proves every entry before it.
DbJournalState ReadSealed(vndbStore& journal, int64_t length, const uint8_t* first, DbJournalInfo* info,
                          const uint8_t* fileHeader) {
  // Written with the first batch, it is unsound when that was cut short (no page has reached the
  // file yet; the records may be the journal's before) or when it was altered since.
  DbJournalInfo commit;
  uint64_t unused = 0;
  bool bound = DecodeHeader(first, kJournalVersion, &commit, &unused);
  bool unsure = false;
  bool proven = false;
  uint32_t count = 0, seals = 0;
  int64_t provenEnd = kDbJournalEntriesOffset;
  uint64_t checksum = kChecksumSeed;
  std::vector<uint8_t> record(kDbJournalEntrySize);
  for (int64_t at = kDbJournalEntriesOffset; at + 4 <= length && journal.Read(at, record.data(), 4);) {
    if (DbGet32(record.data()) == kDbJournalSealTag) {
      DbJournalInfo seal;
      uint64_t entries = 0;
      if (at + kDbJournalSealSize > length || !journal.Read(at + 4, record.data(), kDbJournalHeaderSize) ||
          !DecodeHeader(record.data(), kJournalVersion, &seal, &entries) || seal.pageCount != count ||
          entries != checksum || !(bound ? SameCommit(seal, commit) : BindsToFile(seal, fileHeader, &unsure)))
        break;
      commit = *info = seal;
      bound = proven = true;
      at = provenEnd = at + kDbJournalSealSize;
      ++seals;
      continue;
    }
    if (at + kDbJournalEntrySize > length || !journal.Read(at, record.data(), kDbJournalEntrySize)) break;
    checksum = FoldEntry(checksum, record.data(), record.data() + 4);
    ++count;
    at += kDbJournalEntrySize;
  }
  if (SealedLater(journal, provenEnd, length, seals, bound, commit, fileHeader)) return DbJournalState::kUnprovable;
  if (!bound) return unsure ? DbJournalState::kUnprovable : DbJournalState::kDamaged;
  // The second slot is written only once the batch it counts is sealed and synced: records it
  // counts that prove nothing were altered since, and their pages may be in the file. Entries
  // past the last seal were being added when the writer stopped; their pages never left.
  uint8_t second[kDbJournalHeaderSize];
  DbJournalInfo counted;
  uint64_t entries = 0;
  const bool sound = ReadSecondSlot(journal, length, second) &&
                     DecodeHeader(second, kJournalVersion, &counted, &entries) && SameCommit(counted, commit);
  if (!proven) return sound ? DbJournalState::kUnprovable : DbJournalState::kDamaged;
  if (sound && counted.pageCount > info->pageCount) return DbJournalState::kUnprovable;
  info->entriesOffset = kDbJournalEntriesOffset;
  info->sealed = true;
  return DbJournalState::kSound;
}

// The next entry of a journal read sound, from `at` on, past the seals.
bool NextEntry(vndbStore& journal, const DbJournalInfo& info, int64_t* at, uint8_t* entry) {
  while (info.sealed && journal.Read(*at, entry, 4) && DbGet32(entry) == kDbJournalSealTag) *at += kDbJournalSealSize;
  *at += kDbJournalEntrySize;
  return journal.Read(*at - kDbJournalEntrySize, entry, kDbJournalEntrySize);
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
  // A retired journal kept for this commit is written over in place: a journal whose length
  // does not change is synced without its metadata. What stays of it past the new records is
  // never taken for them, its seals carrying another serial; only its header at 0 goes first,
  // so that a header write of this commit cut short cannot make it whole again.
  if (mJournal.Length() > 0) {
    const uint8_t zero[kDbJournalHeaderSize] = {};
    mOk = mJournal.Write(0, zero, sizeof zero);
  }
}

bool DbJournalWriter::Add(uint32_t page, const uint8_t* bytes) {
  if (!mOk) return false;
  uint8_t number[4];
  DbPut32(number, page);
  mOk = mJournal.Write(mEnd, number, 4) && mJournal.Write(mEnd + 4, bytes, kDbPageSize);
  mChecksum = FoldEntry(mChecksum, number, bytes);
  mEnd += kDbJournalEntrySize;
  ++mInfo.pageCount;
  return mOk;
}

bool DbJournalWriter::Finish() {
  if (!mOk) return false;
  uint8_t seal[kDbJournalSealSize];
  DbPut32(seal, kDbJournalSealTag);
  EncodeHeader(mInfo, mChecksum, seal + 4);
  mOk = mJournal.Write(mEnd, seal, kDbJournalSealSize);
  mEnd += kDbJournalSealSize;
  uint8_t header[kDbJournalHeaderSize];
  if (mOk && !mBound) {
    // It counts nothing, so that when this sync is cut short it cannot claim records that did
    // not reach the medium.
    DbJournalInfo commit = mInfo;
    commit.pageCount = 0;
    EncodeHeader(commit, kChecksumSeed, header);
    mOk = mJournal.Write(0, header, kDbJournalHeaderSize);
  }
  // One sync puts the batch, its seal and the header at 0 on the medium before any of its pages
  // reach the file. The header counting the batch needs none of its own: while it is not on the
  // medium, the seal proves the batch.
  mOk = mOk && mJournal.Sync();
  if (!mOk) return false;
  mBound = true;
  EncodeHeader(mInfo, mChecksum, header);
  return mOk = mJournal.Write(kDbJournalSecondSlot, header, kDbJournalHeaderSize);
}

DbJournalState DbReadJournal(vndbStore& journal, uint64_t identity, DbJournalInfo* info, const uint8_t* fileHeader) {
  int64_t length = journal.Length();
  if (length <= 0) return length == 0 ? DbJournalState::kEmpty : DbJournalState::kDamaged;
  uint8_t first[kDbJournalHeaderSize];
  if (length < kDbJournalHeaderSize || !journal.Read(0, first, kDbJournalHeaderSize))
    return DbJournalState::kDamaged;
  // A retired magic beside a marked file was damaged: the commit's seals, bound by the mark, tell
  // what its header at 0 cannot.
  const bool retired = Retired(first);
  if (retired && !Marked(fileHeader)) return DbJournalState::kDamaged;
  // A sound header at 0 of the version written now retires the journal beside a clear mark,
  // whatever became of the records: its commit ended with that mark, and a later one touches the
  // file only once its own header at 0 is on the medium. Another file's (or this one's, copied
  // with it, which names the file it was copied from) has nothing to undo here either, and is
  // left to whoever it belongs to.
  DbJournalInfo bound;
  uint64_t unused = 0;
  if (fileHeader && !Marked(fileHeader) && DecodeHeader(first, kJournalVersion, &bound, &unused) &&
      bound.markRetires) {
    if (bound.identity == identity) return DbJournalState::kDamaged;
    *info = bound;
    return DbJournalState::kForeign;
  }
  // A magic with no zero byte was written whole: any other than the magic, and the version
  // word, may be what was altered in the header at 0, so sealed records are looked for whenever
  // the journal does not read sound as the earlier version it names.
  const uint32_t version = DbGet32(first + 4);
  DbJournalState state = DbJournalState::kDamaged;
  if (!retired && (version == kOneSlotVersion || version == kTwoSlotVersion))
    state = ReadCountingSlots(journal, length, first, info);
  if (state == DbJournalState::kDamaged) state = ReadSealed(journal, length, first, info, fileHeader);
  if (state != DbJournalState::kSound) return state;
  return info->identity == identity ? DbJournalState::kSound : DbJournalState::kForeign;
}

void DbRetireJournal(vndbStore& journal) {
  const uint8_t zero[4] = {};
  journal.Write(0, zero, sizeof zero);
}

bool DbReplayJournal(vndbStore& journal, const DbJournalInfo& info, vndbStore& database) {
  std::vector<uint8_t> entry(kDbJournalEntrySize);
  int64_t at = info.entriesOffset;
  for (uint32_t i = 0; i < info.pageCount; ++i) {
    if (!NextEntry(journal, info, &at, entry.data())) return false;
    int64_t offset = kDbHeaderSize + int64_t(DbGet32(entry.data())) * kDbPageSize;
    if (offset + kDbPageSize > info.length) continue;
    if (!database.Write(offset, entry.data() + 4, kDbPageSize)) return false;
  }
  // The header put back clears the file's mark, so it goes only once every image is on the
  // medium: a clear mark beside a journal whose magic lost a byte reads as a whole commit.
  return database.SetLength(info.length) && database.Sync() && database.Write(0, info.header, kDbHeaderSize) &&
         database.Sync();
}

}  // namespace vorn
