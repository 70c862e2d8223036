#include "database/db_file.h"

#include <cstring>

#include "files/random_access_mechanism.h"

namespace vorn {
namespace {

int64_t PageOffset(uint32_t number) { return kDbHeaderSize + int64_t(number) * kDbPageSize; }

// Offsets are signed 32-bit in the stream; a page beyond that cannot be addressed.
constexpr uint32_t kMostPages = uint32_t((INT32_MAX - kDbHeaderSize) / kDbPageSize) - 1;

// Records keep 24 bits of serial; 0 is what rollback leaves, so it is skipped.
uint32_t NextSerial(uint32_t serial) {
  uint32_t next = (serial + 1) & 0xFFFFFF;
  return next == 0 ? 1 : next;
}

}  // namespace

vndbFile::~vndbFile() {
  if (mStream) Close();
}

bool vndbFile::WriteHeaderWords(int32_t offset, const uint32_t* words, int count) {
  uint8_t bytes[kDbHeaderSize];
  for (int i = 0; i < count; ++i) DbPut32(bytes + 4 * i, words[i]);
  return mStream->SetPosition(offset) && mStream->Write(bytes, 4 * count);
}

bool vndbFile::WritePage(const vndbPage& page) {
  return mStream->SetPosition(int32_t(PageOffset(page.number))) &&
         mStream->Write(page.bytes, kDbPageSize);
}

bool vndbFile::Create(std::unique_ptr<RandomAccessMechanism> stream) {
  mStream = std::move(stream);
  if (!mStream || !mStream->SetLength(kDbHeaderSize)) {
    SetError("The database file cannot be written");
    return false;
  }
  uint32_t header[16] = {kDbMagic, kDbVersion};
  if (!WriteHeaderWords(0, header, 16)) {
    SetError("The database file cannot be written");
    return false;
  }
  mCache.clear();
  mPageCount = mCommittedPageCount = 0;
  mMasterRoot = mCommittedMasterRoot = 0;
  NewPage(kDbMasterLeaf, 0);
  return Commit();
}

bool vndbFile::Open(std::unique_ptr<RandomAccessMechanism> stream) {
  mStream = std::move(stream);
  mOpenFailed = true;
  if (!mStream) return false;
  int32_t length = mStream->GetLength();
  uint8_t header[kDbHeaderSize];
  int32_t got = 0;
  if (length < kDbHeaderSize || !mStream->SetPosition(0) ||
      !mStream->Read(header, kDbHeaderSize, &got) || got != kDbHeaderSize) {
    SetError("The file is too short to be a database");
    return false;
  }
  if (DbGet32(header) != kDbMagic) {
    SetError("The file is not a database");
    return false;
  }
  if (DbGet32(header + 4) != kDbVersion) {
    SetError("The database file has an unsupported version");
    return false;
  }
  if (DbGet32(header + kDbHeaderOpenFlag) != 0) {
    SetError("The database file was left inside an unfinished transaction");
    return false;
  }
  mSerial = NextSerial(DbGet32(header + kDbHeaderSerial));
  mNextRecordId = mCommittedNextRecordId = DbGet32(header + kDbHeaderNextId);
  mPageCount = mCommittedPageCount = uint32_t((length - kDbHeaderSize) / kDbPageSize);
  mMasterRoot = mCommittedMasterRoot = DbGet32(header + kDbHeaderMasterRoot);
  if (mMasterRoot >= mPageCount) {
    SetError("The database file's master tree lies outside the file");
    return false;
  }
  mOpenFailed = false;
  return true;
}

bool vndbFile::Close() {
  if (!mStream) return false;
  bool ok = true;
  if (mDamaged) {
    Rollback();
    ok = false;
  } else {
    ok = Commit();
    if (!mOpenFailed) {
      uint32_t next = mNextRecordId;
      ok = WriteHeaderWords(kDbHeaderNextId, &next, 1) && ok;
      mStream->Flush();
    }
  }
  mCache.clear();
  mStream->Close();
  mStream.reset();
  return ok && !mOpenFailed;
}

void vndbFile::ReportDamage(const std::string& reason) {
  mDamaged = true;
  SetError("The database file is damaged: " + reason);
}

vndbPage* vndbFile::GetPage(uint32_t number) {
  auto cached = mCache.find(number);
  if (cached != mCache.end()) return cached->second.get();
  if (!mStream) return nullptr;
  if (number >= mPageCount) {
    ReportDamage("page " + std::to_string(number) + " lies outside the file");
    return nullptr;
  }
  auto page = std::make_unique<vndbPage>();
  int32_t got = 0;
  if (!mStream->SetPosition(int32_t(PageOffset(number))) ||
      !mStream->Read(page->bytes, kDbPageSize, &got) || got != kDbPageSize) {
    ReportDamage("page " + std::to_string(number) + " cannot be read");
    return nullptr;
  }
  std::string fault = DbCheckPage(page->bytes);
  if (!fault.empty()) {
    ReportDamage("page " + std::to_string(number) + ": " + fault);
    return nullptr;
  }
  page->number = number;
  vndbPage* result = page.get();
  mCache.emplace(number, std::move(page));
  if (result->Tag() == kDbRowLeaf) CompactDeleted(*result);
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
  vndbPage* result = page.get();
  mCache[result->number] = std::move(page);
  MarkModified(result);
  return result;
}

vndbPage* vndbFile::NewPageWithTag(uint32_t tag) {
  vndbPage* page = NewPage(tag, 0);
  if (page) DbPut32(page->bytes + 4, page->number);
  return page;
}

void vndbFile::MarkModified(vndbPage* page) {
  if (page->dirty) return;
  BeginTransaction();
  page->dirty = true;
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

bool vndbFile::Commit() {
  if (mDamaged || !mStream) {
    SetError("Changes to a damaged database file are not written");
    return false;
  }
  if (!mInTransaction) return true;
  // The mark goes first and is cleared last: a file found still marked was cut off mid-write.
  uint32_t begin[4] = {mSerial, 1, mNextRecordId, mMasterRoot};
  bool ok = WriteHeaderWords(kDbHeaderSerial, begin, 4);
  mStream->Flush();
  for (auto& [number, page] : mCache) {
    if (!page->dirty) continue;
    ok = ok && WritePage(*page);
    page->dirty = false;
  }
  ok = ok && mStream->SetLength(int32_t(PageOffset(mPageCount)));
  mStream->Flush();
  uint32_t end[2] = {0, mNextRecordId};
  ok = ok && WriteHeaderWords(kDbHeaderOpenFlag, end, 2);
  mStream->Flush();
  if (!ok) {
    ReportDamage("writing the changes failed");
    return false;
  }
  mCommittedNextRecordId = mNextRecordId;
  mCommittedPageCount = mPageCount;
  mCommittedMasterRoot = mMasterRoot;
  EndTransaction();
  return true;
}

void vndbFile::EndTransaction() {
  mSerial = NextSerial(mSerial);
  mInTransaction = false;
  mLastModified = kDbNoPage;
}

void vndbFile::Rollback() {
  for (auto it = mCache.begin(); it != mCache.end();) {
    if (it->second->dirty || it->first >= mCommittedPageCount)
      it = mCache.erase(it);
    else
      ++it;
  }
  mNextRecordId = mCommittedNextRecordId;
  mPageCount = mCommittedPageCount;
  mMasterRoot = mCommittedMasterRoot;
  EndTransaction();
}

}  // namespace vorn
