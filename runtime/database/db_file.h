// One open database file: its byte stream, a cache of page images and the one transaction that
// can be open at a time.
//
// Changed pages stay in the cache until commit, which marks the header "transaction open",
// writes them, and then clears the mark; a program that stops before commit leaves the file as
// last committed, and rollback simply forgets the changed pages. Every page read from the file
// is checked before it is used, so the layers above may trust a page they are given; damage
// makes the handle refuse further commits, leaving what the file held.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "database/db_format.h"

namespace vorn {

class RandomAccessMechanism;

struct vndbPage {
  uint8_t bytes[kDbPageSize] = {};
  uint32_t number = 0;
  bool dirty = false;

  uint32_t Tag() const { return DbGet32(bytes); }
  uint16_t Used() const { return DbGet16(bytes + 16); }
  void SetUsed(uint16_t used) { DbPut16(bytes + 16, used); }
  uint8_t* Data() { return bytes + kDbPageHeaderSize; }
};

class vndbFile {
 public:
  vndbFile() = default;
  vndbFile(const vndbFile&) = delete;
  vndbFile& operator=(const vndbFile&) = delete;
  // Closes a file still open (committing).
  ~vndbFile();

  // Writes a new, empty database into the stream (cut to the header first) and commits it.
  bool Create(std::unique_ptr<RandomAccessMechanism> stream);
  // Reads and checks the header.
  bool Open(std::unique_ptr<RandomAccessMechanism> stream);
  // Commits, writes the header counters and lets the stream go. False when anything failed.
  bool Close();

  // The page, or null when it cannot be read or is damaged (Error() says why). The pointer
  // stays good until the next Rollback or Close.
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

  void BeginTransaction();
  bool Commit();
  void Rollback();

  // Records damage found by any layer; the first reason is kept.
  void ReportDamage(const std::string& reason);
  bool IsDamaged() const { return mDamaged; }
  const std::string& Error() const { return mError; }

 private:
  bool WriteHeaderWords(int32_t offset, const uint32_t* words, int count);
  bool WritePage(const vndbPage& page);
  void CompactDeleted(vndbPage& page);
  // Advances the serial and leaves the file idle.
  void EndTransaction();
  void SetError(const std::string& error) { if (mError.empty()) mError = error; }

  std::unique_ptr<RandomAccessMechanism> mStream;
  std::unordered_map<uint32_t, std::unique_ptr<vndbPage>> mCache;
  uint32_t mNextRecordId = 1;
  uint32_t mPageCount = 0;
  uint32_t mMasterRoot = 0;
  uint32_t mSerial = 1;
  uint32_t mLastModified = kDbNoPage;
  bool mInTransaction = false;
  bool mOpenFailed = false;
  bool mDamaged = false;
  std::string mError;
  // What the file holds as last committed, restored by rollback.
  uint32_t mCommittedNextRecordId = 1;
  uint32_t mCommittedPageCount = 0;
  uint32_t mCommittedMasterRoot = 0;
};

}  // namespace vorn
