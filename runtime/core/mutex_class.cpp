// Mutex: a CriticalSection that also holds an exclusive flock on a lock file in the temporary
// folder, so that it excludes other processes that use the same name as well.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "base/core_assert.h"
#include "core/sync_objects.h"
#include "core/thread_class.h"
#include "files/temporary_items.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace vorn {

namespace {

// Another process holding the file is not a runtime thread that could wake us: its lock is
// looked at again at this pace.
constexpr int32_t kForeignLockPollMilliseconds = 10;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct LockFile {
  std::string path;
  int fd = -1;  // open while this object holds the lock
};

LockFile* LockFileOf(MutexObject* mutex) { return static_cast<LockFile*>(mutex->lockFile); }

// A name is one file in the temporary folder: separators cannot lead elsewhere.
std::string LockFilePath(const string& name) {
  std::string file(name.View());
  for (char& c : file) {
    if (c == '/' || c == '\0') c = '_';
  }
  std::string path(kTemporaryFolderPath);
  if (file == "." || file == "..") path += '_';
  return path + file;
}

bool SameFile(int fd, const std::string& path) {
  struct stat opened {}, named {};
  return fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

bool LockTheFile(MutexObject* mutex) {
  LockFile* file = LockFileOf(mutex);
  if (!file) return true;  // never constructed: it excludes the threads of this process only
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = open(file->path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      return false;
    }
    // A holder that deleted the file after we opened it leaves us a lock nobody else sees.
    if (SameFile(fd, file->path)) {
      file->fd = fd;
      mutex->lockStream = file;
      return true;
    }
    close(fd);
  }
  return false;
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
  // Deleted only when nobody holds it: a waiting process keeps the name it waits on.
  int fd = open(file->path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd >= 0) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(file->path.c_str());
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
  string text = string::Share(name);
  if (text.IsEmpty()) {
    std::string pattern = std::string(kTemporaryFolderPath) + "vornMutexXXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd >= 0) close(fd);
    file->path = pattern;
  } else {
    file->path = LockFilePath(text);
    int fd = open(file->path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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
  while (section->lockCount > 0 || !LockTheFile(mutex)) {
    if (section->lockCount > 0) {
      WaitOn(object, WaitersOf(section->waiters));
    } else {
      SleepThread(self, kForeignLockPollMilliseconds, false);
    }
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
  if (!LockTheFile(mutex)) return 0;
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
