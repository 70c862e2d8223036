#include "database/db_storage.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/random_access_mechanism.h"

namespace vorn {
namespace {

class DiskStore : public vndbStore {
 public:
  explicit DiskStore(int fd) : mFd(fd) {}
  ~DiskStore() override {
    if (mFd >= 0) close(mFd);
  }
  int Fd() const { return mFd; }

  bool Read(int64_t offset, uint8_t* bytes, size_t count) override {
    while (count > 0) {
      ssize_t got = pread(mFd, bytes, count, offset);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      bytes += got, offset += got, count -= size_t(got);
    }
    return true;
  }
  bool Write(int64_t offset, const uint8_t* bytes, size_t count) override {
    while (count > 0) {
      ssize_t put = pwrite(mFd, bytes, count, offset);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      bytes += put, offset += put, count -= size_t(put);
    }
    return true;
  }
  int64_t Length() override {
    struct stat info;
    return fstat(mFd, &info) == 0 ? int64_t(info.st_size) : -1;
  }
  bool SetLength(int64_t length) override { return ftruncate(mFd, length) == 0; }
  // fdatasync also carries a changed length, which is all the metadata a reader needs.
  bool Sync() override { return fdatasync(mFd) == 0; }

 private:
  int mFd;
};

// Whether `path` names the file open as `fd`; `follow` looks through a link there.
bool StillAt(const std::string& path, int fd, bool follow = false) {
  struct stat named, opened;
  return (follow ? stat(path.c_str(), &named) : lstat(path.c_str(), &named)) == 0 && fstat(fd, &opened) == 0 &&
         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// Why an opened journal must not be used (null when it may): it must be a regular file of this
// user with no other name, so that nothing written into it lands in a file reached some other
// way, and nothing replayed from it was written there through another name.
const char* JournalRefusal(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0) return "The journal beside the database file cannot be opened";
  if (!S_ISREG(info.st_mode)) return "The journal beside the database file is not a regular file";
  if (info.st_uid != geteuid()) return "The journal beside the database file belongs to another user";
  if (info.st_nlink != 1) return "The journal's name beside the database file is taken by a hard link";
  return nullptr;
}

// Why the journal's name cannot serve: what stands there.
const char* TakenBy(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return "The journal beside the database file cannot be opened";
  if (S_ISLNK(info.st_mode)) return "The journal's name beside the database file is taken by a link";
  if (S_ISDIR(info.st_mode)) return "The journal's name beside the database file is taken by a folder";
  if (!S_ISREG(info.st_mode)) return "The journal beside the database file is not a regular file";
  if (info.st_uid != geteuid()) return "The journal beside the database file belongs to another user";
  if (info.st_nlink != 1) return "The journal's name beside the database file is taken by a hard link";
  return "The journal's name beside the database file is taken by a file this connection did not make";
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A file made or removed is only there for good once its folder is synced.
bool SyncFolder(const std::string& path) {
  int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  close(fd);
  return ok;
}

class DiskStorage : public vndbStorage {
 public:
  DiskStorage(std::string path, std::unique_ptr<DiskStore> database, bool readOnly, uint64_t identity)
      : mPath(std::move(path)), mDatabase(std::move(database)), mReadOnly(readOnly), mIdentity(identity) {}

  vndbStore& Database() override { return *mDatabase; }
  bool ReadOnly() const override { return mReadOnly; }
  uint64_t Identity() const override { return mIdentity; }

  // A commit writes only into a journal it made itself (or keeps from its last commit, still
  // at its name): a file found at the name may have another name, gained even after any check,
  // and would be written through it. What an open finds there is read, never written, and used
  // only when it is a regular file of this user, with no other name, reached without following
  // a link.
  vndbStore* Journal(bool create) override {
    std::string path = JournalPath();
    // One an open found may be another file's: it is let go, never written.
    if (create && !mMade) mJournal.reset();
    // The journal kept open must still be the one at its name, or a crash would leave none.
    if (mJournal && JournalInPlace()) return mJournal.get();
    // Still at its name but given another one too (a hard link): refused while that stands,
    // and kept, so that it serves again once its name is its only one.
    if (mJournal && StillAt(path, mJournal->Fd())) {
      const char* refusal = JournalRefusal(mJournal->Fd());
      if (!refusal) return mJournal.get();
      mJournalProblem = refusal;
      return nullptr;
    }
    mJournal.reset();
    mJournalProblem.clear();
    mMade = create && !mReadOnly;
    int fd = -1;
    if (create && !mReadOnly) {
      fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
      if (fd < 0) {
        mJournalProblem = errno == EEXIST ? TakenBy(path) : "The journal beside the database file cannot be made";
        return nullptr;
      }
      if (!SyncFolder(path)) {
        close(fd);
        unlink(path.c_str());
        return nullptr;
      }
    } else {
      fd = open(path.c_str(), (mReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
      if (fd < 0) {
        if (errno != ENOENT) mJournalProblem = TakenBy(path);
        return nullptr;
      }
      if (const char* problem = JournalRefusal(fd)) {
        close(fd);
        mJournalProblem = problem;
        return nullptr;
      }
    }
    mJournal = std::make_unique<DiskStore>(fd);
    return mJournal.get();
  }
  const std::string& JournalProblem() const override { return mJournalProblem; }

  // A link at the name may be how the file was opened: the file it reaches counts.
  bool StillNamed() override { return StillAt(mPath, mDatabase->Fd(), true); }

  bool JournalInPlace() override {
    if (mJournal && StillAt(JournalPath(), mJournal->Fd()) && !JournalRefusal(mJournal->Fd())) return true;
    mJournalProblem = "The journal beside the database file was moved or replaced during the commit";
    return false;
  }

  bool RemoveJournal() override {
    std::string path = JournalPath();
    // What was planted at the name since the journal was opened is not this handle's to remove.
    bool ours = !mJournal || StillAt(path, mJournal->Fd());
    mJournal.reset();
    return !ours || unlink(path.c_str()) == 0 || errno == ENOENT;
  }

 private:
  std::string JournalPath() const { return mPath + "-journal"; }

  std::string mPath;
  std::unique_ptr<DiskStore> mDatabase;
  std::unique_ptr<DiskStore> mJournal;
  std::string mJournalProblem;
  bool mMade = false;  // the journal held was made by this storage
  bool mReadOnly;
  uint64_t mIdentity;
};

class StreamStore : public vndbStore {
 public:
  explicit StreamStore(std::unique_ptr<RandomAccessMechanism> stream) : mStream(std::move(stream)) {}
  ~StreamStore() override {
    if (mStream) mStream->Close();
  }

  bool Read(int64_t offset, uint8_t* bytes, size_t count) override {
    int32_t got = 0;
    return Fits(offset, count) && mStream->SetPosition(int32_t(offset)) &&
           mStream->Read(bytes, int32_t(count), &got) && size_t(got) == count;
  }
  bool Write(int64_t offset, const uint8_t* bytes, size_t count) override {
    return Fits(offset, count) && mStream->SetPosition(int32_t(offset)) &&
           mStream->Write(bytes, int32_t(count));
  }
  int64_t Length() override { return mStream->GetLength(); }
  bool SetLength(int64_t length) override {
    return length >= 0 && length <= INT32_MAX && mStream->SetLength(int32_t(length));
  }
  bool Sync() override {
    mStream->Flush();
    return true;
  }

 private:
  // Streams count in signed 32 bits.
  static bool Fits(int64_t offset, size_t count) {
    return offset >= 0 && count <= size_t(INT32_MAX) && offset + int64_t(count) <= INT32_MAX;
  }
  std::unique_ptr<RandomAccessMechanism> mStream;
};

class MemoryStore : public vndbStore {
 public:
  bool Read(int64_t offset, uint8_t* bytes, size_t count) override {
    if (offset < 0 || uint64_t(offset) + count > mBytes.size()) return false;
    std::memcpy(bytes, mBytes.data() + offset, count);
    return true;
  }
  bool Write(int64_t offset, const uint8_t* bytes, size_t count) override {
    if (offset < 0) return false;
    if (uint64_t(offset) + count > mBytes.size()) mBytes.resize(size_t(offset) + count);
    std::memcpy(mBytes.data() + offset, bytes, count);
    return true;
  }
  int64_t Length() override { return int64_t(mBytes.size()); }
  bool SetLength(int64_t length) override {
    mBytes.resize(size_t(length));
    return true;
  }
  bool Sync() override { return true; }

 private:
  std::vector<uint8_t> mBytes;
};

class MemoryJournalStorage : public vndbStorage {
 public:
  explicit MemoryJournalStorage(std::unique_ptr<RandomAccessMechanism> stream) : mDatabase(std::move(stream)) {}
  vndbStore& Database() override { return mDatabase; }
  bool ReadOnly() const override { return false; }
  uint64_t Identity() const override { return 0; }
  vndbStore* Journal(bool create) override {
    if (!mJournal && create) mJournal = std::make_unique<MemoryStore>();
    return mJournal.get();
  }
  bool RemoveJournal() override {
    mJournal.reset();
    return true;
  }

 private:
  StreamStore mDatabase;
  std::unique_ptr<MemoryStore> mJournal;
};

}  // namespace

std::unique_ptr<vndbStorage> OpenDiskStorage(const std::string& path, bool create, std::string* error) {
  auto fail = [&](const char* reason) {
    if (error) *error = reason;
    return nullptr;
  };
  // Never O_TRUNC: the file may belong to a handle that holds the lock.
  // Never waits: a FIFO or a device at the name is refused below, not opened in earnest.
  int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | (create ? O_CREAT : 0), 0644);
  bool readOnly = false;
  if (fd < 0 && errno == EISDIR) return fail("The database file is a folder");
  if (fd < 0 && !create && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    readOnly = true;
  }
  if (fd < 0) return fail(create ? "The database file cannot be created" : "The database file cannot be opened");
  auto store = std::make_unique<DiskStore>(fd);
  struct stat info;
  if (fstat(fd, &info) != 0) return fail("The database file cannot be opened");
  if (S_ISDIR(info.st_mode)) return fail("The database file is a folder");
  if (!S_ISREG(info.st_mode)) return fail("The database file is not a regular file");
  if (flock(fd, (readOnly ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0)
    return fail(errno == EWOULDBLOCK ? "The database file is in use by another connection"
                                     : "The database file cannot be locked");
  uint64_t identity = uint64_t(info.st_dev) << 32 ^ uint64_t(info.st_ino);
  auto storage = std::make_unique<DiskStorage>(path, std::move(store), readOnly, identity);
  if (create) {
    // A journal left by a file that stood here before must never be replayed into the new one.
    if (!storage->RemoveJournal() || !storage->Database().SetLength(0) || !SyncFolder(path))
      return fail("The database file cannot be created");
  }
  return storage;
}

std::unique_ptr<vndbStorage> StreamStorage(std::unique_ptr<RandomAccessMechanism> stream) {
  if (!stream) return nullptr;
  return std::make_unique<MemoryJournalStorage>(std::move(stream));
}

}  // namespace vorn
