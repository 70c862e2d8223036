// The rollback journal of a commit: the images the changed pages had before it, with the
// database's header and length, so that a commit cut short (a killed program, a lost power
// supply, a full disk) can be undone whole. It lives beside the database file and is written
// and synced before the database file is touched.
//
// A header (big-endian): u32 magic "VNDJ", u32 version, u64 identity of the database file,
// u32 serial the commit writes, u32 page count, u64 length of the database file before the
// commit, its 64 header bytes, u64 checksum of the entries, u64 checksum of the bytes before
// it. An entry: u32 page number and the 8192 bytes the page had.
//
// Version 4 (written now) is laid out as version 3; its commit ends when the file's cleared
// mark is synced (the file then holds every page), so beside a clear mark it is never put back,
// and its magic is cleared afterwards without a sync.
// Version 3 (read still) has its records from 8192: entries, and after each batch of them a
// seal, u32 0xFFFFFFFF and a header counting every entry before it. A batch and its seal are
// synced before any of its pages reach the file, so the records prove by themselves what may
// need undoing, whatever happens to the headers at 0 and 4096. The header at 0 is written with
// the first batch, counts nothing and binds the seals to this commit (leftovers of the journal
// before it carry another serial); the one at 4096 is written after each batch is synced and
// counts it, so that damaged records it counts are told from records never sealed. When the
// header at 0 is altered, the seals are bound by the file's header instead: the commit under
// way carries the serial after the file's, or the file's own once its mark is set. The magic at
// offset 0 is the whole journal's: a zero byte in it retires the journal, unless the file's mark
// is set (the mark is cleared, synced, before the magic is); a version 4 journal beside a clear
// mark is retired by that alone. A later seal of the
// commit past records that prove nothing means they were altered after their sync.
// Version 2 (read still) has two counting header slots, at 0 and 4096, and no seals: it is
// replayed only when no slot that holds a header is unsound. Version 1 (read still) has one
// header, at 0, and its entries from 112.
#pragma once

#include <cstdint>
#include <string>

#include "database/db_format.h"
#include "database/db_storage.h"

namespace vorn {

constexpr int32_t kDbJournalHeaderSize = 112;
constexpr int32_t kDbJournalEntrySize = 4 + kDbPageSize;
// The second header slot and the records, each in a block of its own.
constexpr int64_t kDbJournalSecondSlot = 4096;
constexpr int64_t kDbJournalEntriesOffset = 8192;
constexpr uint32_t kDbJournalSealTag = 0xFFFFFFFF;
constexpr int32_t kDbJournalSealSize = 4 + kDbJournalHeaderSize;
// A retired journal up to this length is kept for the next commit to write over; a longer one
// is emptied, so that one large transaction does not hold its room until the file is closed.
constexpr int64_t kDbJournalKeptLength = 1 << 20;

struct DbJournalInfo {
  uint64_t identity = 0;
  uint32_t serial = 0;
  uint32_t pageCount = 0;
  int64_t length = 0;
  uint8_t header[kDbHeaderSize] = {};
  int64_t entriesOffset = kDbJournalEntriesOffset;  // where the entries of the journal read begin
  bool sealed = true;  // seals stand between the entries (versions 3 and 4)
  bool markRetires = false;  // the file's cleared mark ended its commit (version 4)
};

// Writes one journal: entries as they are added, then for each batch its seal, one sync, and
// the header counting it.
class DbJournalWriter {
 public:
  DbJournalWriter(vndbStore& journal, const DbJournalInfo& info);
  bool Add(uint32_t page, const uint8_t* bytes);
  // Seals the entries added since the last call and syncs them, then writes the header that
  // counts them; false when anything failed. Once it returns true the batch's pages may go to
  // the file.
  bool Finish();

 private:
  vndbStore& mJournal;
  DbJournalInfo mInfo;
  uint64_t mChecksum;
  bool mOk = true;
  int64_t mEnd = kDbJournalEntriesOffset;  // where the next record goes
  bool mBound = false;                     // the header at 0 is written and synced
};

enum class DbJournalState {
  kEmpty,    // nothing there: no commit was under way
  kDamaged,  // cut short or altered: never replayed
  // Altered after a header counted records that no longer prove themselves: pages they undo
  // may be in the file, so the file must not be opened as it is.
  kUnprovable,
  // Sound, but written for another database file (beside a clear mark, a header at 0 of the
  // version written now naming another file is enough: nothing of it is read further).
  kForeign,
  kSound,
};

// Checks the whole journal (headers and every entry) against the database file's identity.
// `fileHeader`, the file's header as it stands, lets the records of a journal whose header at 0
// was altered be told from leftovers of the journal before.
DbJournalState DbReadJournal(vndbStore& journal, uint64_t identity, DbJournalInfo* info,
                             const uint8_t* fileHeader = nullptr);

// Puts the journal's page images and length back into the database file and syncs them, then
// its header (with the mark clear) and syncs again.
bool DbReplayJournal(vndbStore& journal, const DbJournalInfo& info, vndbStore& database);

// Clears the magic of a journal whose commit is done, without a sync: the file's cleared mark,
// already on the medium, retires it, so whether the zeros reach the medium changes nothing for
// this version; they retire it for a reader of the version before too.
void DbRetireJournal(vndbStore& journal);

// A checksum that catches torn and flipped bytes (not an adversary).
uint64_t DbChecksum(uint64_t seed, const uint8_t* bytes, size_t count);

}  // namespace vorn
