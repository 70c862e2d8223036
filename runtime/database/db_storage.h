// Where a database file's bytes live: the file itself, the rollback journal beside it and the
// lock that keeps a second writer out. The page cache reaches the disk only through these, so
// a test can stand a simulated disk in for the real one (dropping what was never synced).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vorn {

class RandomAccessMechanism;

// The bytes of one file. Every call is whole or fails: a short read or write is a failure.
class vndbStore {
 public:
  virtual ~vndbStore() = default;
  virtual bool Read(int64_t offset, uint8_t* bytes, size_t count) = 0;
  virtual bool Write(int64_t offset, const uint8_t* bytes, size_t count) = 0;
  // -1 when it cannot be told.
  virtual int64_t Length() = 0;
  virtual bool SetLength(int64_t length) = 0;
  // Returns once everything written has reached the medium.
  virtual bool Sync() = 0;
};

class vndbStorage {
 public:
  virtual ~vndbStorage() = default;
  virtual vndbStore& Database() = 0;
  virtual bool ReadOnly() const = 0;
  // What names the database file wherever it is reached from (device and file number); a
  // journal carries it so that it is never replayed into another file.
  virtual uint64_t Identity() const = 0;
  // The journal, made when `create` and missing (its folder entry synced before this returns);
  // null when there is none or it cannot be made. With `create`, only a journal this storage
  // made is handed out: one an open found is read, never written. The store keeps reaching the
  // file it opened, whatever later happens to its name, until Journal or RemoveJournal is called
  // again.
  virtual vndbStore* Journal(bool create) = 0;
  // Why Journal gave null although something stands at the journal's name (empty otherwise).
  virtual const std::string& JournalProblem() const {
    static const std::string none;
    return none;
  }
  // Whether the journal handed out is still the one an open would find at its name: a commit
  // touches the database file only while it is, or a crash would leave the file without one.
  virtual bool JournalInPlace() { return true; }
  // Removes the journal; true also when there was none.
  virtual bool RemoveJournal() = 0;
  // Whether the database file's name still reaches the file opened. Removed, moved or replaced,
  // it does not: what is written then is lost with the handle, or has its journal beside a name
  // no open of that file looks at.
  virtual bool StillNamed() { return true; }
};

// The storage of a file on disk, locked for the handle's life: exclusively when it opens for
// writing, shared when only for reading. Null with the reason in `error` when the file cannot
// be opened or another handle (of this program or another) holds it.
std::unique_ptr<vndbStorage> OpenDiskStorage(const std::string& path, bool create,
                                             std::string* error);

// The storage over a stream (a memory handle, say) with a journal held in memory: nothing
// survives the process, so nothing needs to be synced or recovered.
std::unique_ptr<vndbStorage> StreamStorage(std::unique_ptr<RandomAccessMechanism> stream);

}  // namespace vorn
