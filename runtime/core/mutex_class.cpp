// Mutex: a CriticalSection that also holds an exclusive flock on a lock file in a private folder
// of the temporary folder, so that it excludes other processes that use the same name as well.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/core_assert.h"
#include "core/private_folder.h"
#include "core/sync_objects.h"
#include "core/thread_class.h"
#include "files/temporary_items.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace vorn {

namespace {

// Another process holding the file is not a runtime thread that could wake us: its lock is
// looked at again after a pause that grows to this, so a long wait costs next to no time.
constexpr int32_t kFirstPollMilliseconds = 2;
constexpr int32_t kLongestPollMilliseconds = 100;
constexpr int32_t kLockFileErrorNumber = 4;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct LockFile {
  std::string path;
  std::string problem;  // why the file could not be used at the last try
  bool folderFailed = false;
  int fd = -1;          // open while this object holds the lock
  // The file this object last made at `path`; only that one is ever deleted. A file found
  // there (another process's, or one put in place of ours) is used but never remembered.
  bool known = false;
  dev_t device = 0;
  ino_t inode = 0;
};

LockFile* LockFileOf(MutexObject* mutex) { return static_cast<LockFile*>(mutex->lockFile); }

// Lock files live in a folder only this user may enter: in the shared temporary folder anyone
// could plant a link under a name that the runtime would then create or lock.
std::string LockFolder() {
  return MakePrivateFolder(std::string(kTemporaryFolderPath) + "vorn-mutex-" + std::to_string(getuid()));
}

// A name is one file in the lock folder: separators cannot lead elsewhere.
std::string LockFileName(const string& name) {
  std::string file(name.View());
  for (char& c : file) {
    if (c == '/' || c == '\0') c = '_';
  }
  if (file == "." || file == "..") file.insert(0, "_");
  return file;
}

void Remember(LockFile* file, const struct stat& info) {
  file->known = true;
  file->device = info.st_dev;
  file->inode = info.st_ino;
}

// Opens (making it if need be) the lock file: never through a link, and only a regular file of
// this user. -1 with the reason in `file` otherwise. A file it makes is remembered as this
// object's own.
int OpenLockFile(LockFile* file) {
  if (file->folderFailed) return -1;
  file->problem.clear();
  constexpr int kFlags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  int fd = -1;
  bool made = false;
  // Made here, or else found there; one deleted in between is made on the next round.
  for (int round = 0; fd < 0 && round < 3; ++round) {
    fd = open(file->path.c_str(), kFlags | O_CREAT | O_EXCL, 0600);
    made = fd >= 0;
    if (fd < 0 && errno == EEXIST) fd = open(file->path.c_str(), kFlags);
    if (fd < 0 && errno != ENOENT) break;
  }
  if (fd < 0) {
    file->problem = std::strerror(errno);
    return -1;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) {
    file->problem = S_ISREG(info.st_mode) ? "it belongs to another user" : "it is not a regular file";
    close(fd);
    return -1;
  }
  if (made) Remember(file, info);
  return fd;
}

bool IsKnownFile(const LockFile* file, int fd) {
  struct stat info {};
  return file->known && fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_dev == file->device &&
         info.st_ino == file->inode;
}

bool SameFile(int fd, const std::string& path) {
  struct stat opened {}, named {};
  return fstat(fd, &opened) == 0 && lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

enum class LockResult { kLocked, kBusy, kFailed };

LockResult LockTheFile(MutexObject* mutex) {
  LockFile* file = LockFileOf(mutex);
  if (!file) return LockResult::kLocked;  // never constructed: it excludes the threads of this process only
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = OpenLockFile(file);
    if (fd < 0) return LockResult::kFailed;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      return LockResult::kBusy;
    }
    // A holder that deleted the file after we opened it leaves us a lock nobody else sees.
    if (SameFile(fd, file->path)) {
      file->fd = fd;
      mutex->lockStream = file;
      return LockResult::kLocked;
    }
    close(fd);
  }
  return LockResult::kBusy;
}

void RaiseLockFileProblem(const LockFile* file) {
  std::string message = "The Mutex's lock file \"" + file->path + "\" cannot be used: " + file->problem;
  RuntimeRaiseExceptionWithMessage(GetIllegalLockingExceptionClassDefinition(), string(message.c_str()),
                                   kLockFileErrorNumber);
}

ObjectDefinition* BuildMutexDefinition() {
  static const ParamRow kNameParam[] = {{"name", "s", 0, 0}};
  static const MethodRow kMutexMethods[] = {
      {"Constructor", "", kNameParam, 1, Fn(&MutexContructor), "MutexContructor", nullptr, nullptr, 0, 0},
      {"Enter", "", nullptr, 0, Fn(&MutexLock), "MutexLock", nullptr, nullptr, 0, 0},
      {"TryEnter", "b", nullptr, 0, Fn(&MutexTryLock), "MutexTryLock", nullptr, nullptr, 0, 0},
      {"Leave", "", nullptr, 0, Fn(&MutexUnlock), "MutexUnlock", nullptr, nullptr, 0, 0},
  };
  auto* definition = new ObjectDefinition();
  definition->mName = string("Mutex");
  definition->mSuper = GetCriticalSectionClassDefinition();
  definition->mInstanceSize = sizeof(MutexObject);
  definition->mInitializer = {Fn(&MutexInitializer), "MutexInitializer"};
  definition->mFinalizer = {Fn(&MutexFinalizer), "MutexFinalizer"};
  SetMethodList(definition, kMutexMethods, RowCount(kMutexMethods));
  return definition;
}

MutexObject* MutexFields(RuntimeObject* object) {
  if (!object) {
    ReportCoreAssertion("../Common/ClassLib/RuntimeThread", 0, "mutex");
    return nullptr;
  }
  return reinterpret_cast<MutexObject*>(object);
}

void DropLockFile(MutexObject* mutex) {
  LockFile* file = LockFileOf(mutex);
  if (!file) return;
  ReleaseMutexFileLock(mutex);
  // Deleted only when nobody holds it (a waiting process keeps the name it waits on), and only
  // when it is still the file this object made: what it refused (a FIFO, a folder, another
  // user's file) or found there (another process's, one put in place of its own) stays.
  int fd = file->known ? open(file->path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK) : -1;
  if (fd >= 0) {
    if (IsKnownFile(file, fd) && flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, file->path)) {
      unlink(file->path.c_str());
    }
    close(fd);
  }
  delete file;
  mutex->lockFile = nullptr;
}

}  // namespace

ObjectDefinition* GetMutexClassDefinition() {
  static ObjectDefinition* definition = BuildMutexDefinition();
  return definition;
}

bool IsMutex(RuntimeObject* object) { return RuntimeObjectIsaDefinition(object, GetMutexClassDefinition()); }

void ReleaseMutexFileLock(MutexObject* mutex) {
  LockFile* file = LockFileOf(mutex);
  if (file && file->fd >= 0) {
    close(file->fd);  // which releases the flock
    file->fd = -1;
  }
  mutex->lockStream = nullptr;
}

}  // namespace vorn

using namespace vorn;

void MutexInitializer(VornRuntimeObject* object) {
  MutexObject* mutex = MutexFields(object);
  if (!mutex) return;
  mutex->lockFile = nullptr;
  mutex->lockStream = nullptr;
}

void MutexFinalizer(VornRuntimeObject* object) {
  if (MutexObject* mutex = MutexFields(object)) DropLockFile(mutex);
}

void MutexContructor(VornRuntimeObject* object, VornStringRecord* name) {
  MutexObject* mutex = MutexFields(object);
  if (!mutex) return;
  DropLockFile(mutex);
  auto* file = new LockFile();
  std::string folder = LockFolder();
  string text = string::Share(name);
  if (folder.empty()) {
    file->path = std::string(kTemporaryFolderPath) + "vorn-mutex-" + std::to_string(getuid());
    file->problem = "the folder is not one only this user may enter";
    file->folderFailed = true;
  } else if (text.IsEmpty()) {
    std::string pattern = folder + "/vornMutexXXXXXX";
    int fd = mkstemp(pattern.data());
    file->path = pattern;
    struct stat info {};
    if (fd >= 0 && fstat(fd, &info) == 0) Remember(file, info);
    if (fd >= 0) close(fd);
  } else {
    file->path = folder + "/" + LockFileName(text);
    int fd = OpenLockFile(file);
    if (fd >= 0) close(fd);
  }
  mutex->lockFile = file;
}

void MutexLock(VornRuntimeObject* object) {
  MutexObject* mutex = MutexFields(object);
  if (!mutex) return;
  CriticalSectionObject* section = &mutex->section;
  ThreadRecord* self = CurrentThreadRecord();
  if (section->owner == self && section->lockCount > 0) {
    ++section->lockCount;
    return;
  }
  int32_t pause = kFirstPollMilliseconds;
  while (true) {
    if (section->lockCount > 0) {
      WaitOn(object, WaitersOf(section->waiters));
      continue;
    }
    LockResult result = LockTheFile(mutex);
    if (result == LockResult::kLocked) break;
    // A file that cannot be opened never will be by waiting.
    if (result == LockResult::kFailed) return RaiseLockFileProblem(LockFileOf(mutex));
    SleepThread(self, pause, false);
    pause = std::min(pause * 2, kLongestPollMilliseconds);
  }
  section->owner = self;
  section->lockCount = 1;
}

uint8_t MutexTryLock(VornRuntimeObject* object) {
  MutexObject* mutex = MutexFields(object);
  if (!mutex) return 0;
  CriticalSectionObject* section = &mutex->section;
  if (section->lockCount > 0) {
    if (section->owner != CurrentThreadRecord()) return 0;
    ++section->lockCount;
    return 1;
  }
  LockResult result = LockTheFile(mutex);
  if (result == LockResult::kFailed) RaiseLockFileProblem(LockFileOf(mutex));
  if (result != LockResult::kLocked) return 0;
  section->owner = CurrentThreadRecord();
  section->lockCount = 1;
  return 1;
}

void MutexUnlock(VornRuntimeObject* object) {
  MutexObject* mutex = MutexFields(object);
  if (!mutex) return;
  CriticalSectionObject* section = &mutex->section;
  if (section->owner != CurrentThreadRecord() || section->lockCount <= 0) {
    RuntimeRaiseExceptionWithMessage(GetIllegalLockingExceptionClassDefinition(),
                                     string("The thread which Signaled the Mutex must be the thread to Release the Mutex"), 3);
    return;
  }
  if (--section->lockCount > 0) return;
  ReleaseMutexFileLock(mutex);
  section->owner = nullptr;
  if (WakeFirstWaiter(WaitersOf(section->waiters))) YieldToNextThreadInternal();
}
