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
// Version 2 (written now) has two header slots, at 0 and at 4096, and its entries from 8192.
// A transaction that adds entries again (pages spilled before commit) writes each new header
// into the slot that does not hold the last synced one, so a header write cut short never
// leaves the journal without a sound header; the sound slot counting more entries is the one
// in force. The magic at offset 0 is the whole journal's: clearing it retires both slots.
// Version 1 (read still) has one header, at 0, and its entries from 112.
#pragma once

#include <cstdint>
#include <string>

#include "database/db_format.h"
#include "database/db_storage.h"

namespace vorn {

constexpr int32_t kDbJournalHeaderSize = 112;
constexpr int32_t kDbJournalEntrySize = 4 + kDbPageSize;
// The second header slot and the entries of a version 2 journal, each in a block of its own.
constexpr int64_t kDbJournalSecondSlot = 4096;
constexpr int64_t kDbJournalEntriesOffset = 8192;

struct DbJournalInfo {
  uint64_t identity = 0;
  uint32_t serial = 0;
  uint32_t pageCount = 0;
  int64_t length = 0;
  uint8_t header[kDbHeaderSize] = {};
  int64_t entriesOffset = kDbJournalEntriesOffset;  // where the entries of the journal read begin
};

// Writes one journal: entries as they are added, the header last, then syncs.
class DbJournalWriter {
 public:
  DbJournalWriter(vndbStore& journal, const DbJournalInfo& info);
  bool Add(uint32_t page, const uint8_t* bytes);
  // Writes the header counting the entries and syncs; false when anything failed. May be
  // called again after more entries: the header synced last is never written over.
  bool Finish();

 private:
  vndbStore& mJournal;
  DbJournalInfo mInfo;
  uint64_t mChecksum;
  bool mOk = true;
  int mSlot = 0;  // the slot the next header goes to
};

enum class DbJournalState {
  kEmpty,    // nothing there: no commit was under way
  kDamaged,  // cut short or altered: never replayed
  kForeign,  // sound, but written for another database file
  kSound,
};

// Checks the whole journal (header and every entry) against the database file's identity.
DbJournalState DbReadJournal(vndbStore& journal, uint64_t identity, DbJournalInfo* info);

// Puts the journal's page images, length and header back into the database file and syncs it.
bool DbReplayJournal(vndbStore& journal, const DbJournalInfo& info, vndbStore& database);

// Makes the journal unreplayable (its commit is done): clears its magic and syncs. `cleared`
// tells whether the whole magic was written over, even when the sync then failed: the journal
// then reads as retired. A write cut short leaves it replayable.
bool DbRetireJournal(vndbStore& journal, bool* cleared);
// Puts the magic of a journal whose retiring failed back, for its commit to be undone after all.
bool DbReinstateJournal(vndbStore& journal);

// A checksum that catches torn and flipped bytes (not an adversary).
uint64_t DbChecksum(uint64_t seed, const uint8_t* bytes, size_t count);

}  // namespace vorn
