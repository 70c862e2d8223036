// Named mutexes between processes: where their lock files live, what a file that cannot be used
// does to Enter and TryEnter, and that waiting for a lock costs no processor time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "core/support/core_object_test.h"
#include "core/thread_class.h"
#include "objects/exceptions.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

class MutexTest : public testing::CoreObjectTest {};

std::string LockFolder() { return "/tmp/vorn-mutex-" + std::to_string(getuid()); }

std::string UniqueName(const char* what) { return "vorn-unit-" + std::string(what) + "-" + std::to_string(getpid()); }

RuntimeObject* NewMutex(const std::string& name) {
  RuntimeObject* mutex = RuntimeNewObject(RuntimeClassFromDefinition(GetMutexClassDefinition()));
  MutexContructor(mutex, string(name.c_str()).Rep());
  return mutex;
}

double CpuSeconds(const rusage& usage) {
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// What a mutex finds at its lock file's name, or finds there in place of the file it made: one
// it cannot use raises instead of waiting for ever; one it did not make is never deleted.
TEST_F(MutexTest, ALockFileItCannotUseRaisesAndOneItDidNotMakeStays) {
  enum Planted { kFolder, kOtherUsersFile, kOverLongName, kLink, kPipe, kReplacedAfterMaking };
  std::string target = "/tmp/" + UniqueName("link-target");
  for (Planted planted : {kFolder, kOtherUsersFile, kOverLongName, kLink, kPipe, kReplacedAfterMaking}) {
    SCOPED_TRACE(planted);
    std::string name = planted == kOverLongName ? std::string(300, 'n') : UniqueName("planted");
    RuntimeObject* probe = NewMutex(UniqueName("probe"));  // makes the folder
    RuntimeUnlockObject(probe);
    std::string path = LockFolder() + "/" + name;
    switch (planted) {
      case kFolder: ASSERT_EQ(mkdir(path.c_str(), 0700), 0); break;
      case kLink: ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0); break;
      case kPipe: ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); break;
      case kOverLongName:
      case kReplacedAfterMaking: break;
      case kOtherUsersFile:
        ASSERT_EQ(mknod(path.c_str(), S_IFREG | 0600, 0), 0);
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0) << "needs a user that may give files away";
    }

    RuntimeObject* mutex = NewMutex(name);
    if (planted == kReplacedAfterMaking) {
      // The made file moves aside (keeping its inode taken) and a new one takes its name.
      ASSERT_EQ(rename(path.c_str(), (path + "-made").c_str()), 0);
      ASSERT_EQ(mknod(path.c_str(), S_IFREG | 0600, 0), 0);
      EXPECT_EQ(MutexTryLock(mutex), 1);
      MutexUnlock(mutex);
      EXPECT_EQ(PendingException(), nullptr);
    }
    for (bool tryOnly : {false, true}) {
      if (planted == kReplacedAfterMaking) break;
      uint8_t answer = tryOnly ? MutexTryLock(mutex) : (MutexLock(mutex), 0);
      RuntimeObject* exception = TakePendingException();
      ASSERT_NE(exception, nullptr) << (tryOnly ? "TryEnter" : "Enter") << " raised nothing";
      EXPECT_EQ(answer, 0);
      EXPECT_EQ(ExceptionErrorNumber(exception), 4);
      EXPECT_NE(std::string(ExceptionMessage(exception).View()).find("lock file"), std::string::npos);
      RuntimeUnlockObject(exception);
    }
    RuntimeUnlockObject(mutex);
    EXPECT_NE(access(target.c_str(), F_OK), 0) << "the link's target was made";
    struct stat left {};
    EXPECT_TRUE(planted == kOverLongName || lstat(path.c_str(), &left) == 0) << "a file it did not make was deleted";
    planted == kFolder ? rmdir(path.c_str()) : unlink(path.c_str());
    unlink((path + "-made").c_str());
  }
  struct stat folder {};
  ASSERT_EQ(lstat(LockFolder().c_str(), &folder), 0);
  EXPECT_TRUE(S_ISDIR(folder.st_mode));
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

// Two processes of one user exclude each other through one name, and the one that waits sleeps.
TEST_F(MutexTest, AnotherProcessWaitsAsleepUntilTheHolderLeaves) {
  std::string name = UniqueName("processes");
  int go[2], report[2];
  ASSERT_EQ(pipe(go), 0);
  ASSERT_EQ(pipe(report), 0);
  pid_t child = fork();  // before anything is locked: the child inherits no lock
  if (child == 0) {
    char byte;
    if (read(go[0], &byte, 1) != 1) _exit(2);
    RuntimeObject* mine = NewMutex(name);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    MutexLock(mine);
    getrusage(RUSAGE_SELF, &after);
    double spent = CpuSeconds(after) - CpuSeconds(before);
    if (write(report[1], &spent, sizeof spent) != sizeof spent) _exit(3);
    _exit(0);
  }
  RuntimeObject* held = NewMutex(name);
  ASSERT_EQ(MutexTryLock(held), 1);
  ASSERT_EQ(write(go[1], "g", 1), 1);
  usleep(1000 * 1000);
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "the other process got the lock while it was held";
  MutexUnlock(held);
  double spent = -1;
  EXPECT_EQ(read(report[0], &spent, sizeof spent), static_cast<ssize_t>(sizeof spent));
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_LT(spent, 0.2) << "seconds of processor time spent waiting about a second";
  RuntimeUnlockObject(held);
  for (int fd : {go[0], go[1], report[0], report[1]}) close(fd);
}

// The main thread alone waiting on what only it could free: it waits for ever, asleep.
TEST_F(MutexTest, ASelfDeadlockOfTheMainThreadSleeps) {
  using Deadlock = void (*)(const std::string& name);
  Deadlock cases[] = {
      [](const std::string& name) {  // a second mutex of the name this process holds
        RuntimeObject* first = NewMutex(name);
        MutexTryLock(first);
        MutexLock(NewMutex(name));
      },
      [](const std::string&) {  // a semaphore with nothing left to give
        RuntimeObject* semaphore = RuntimeNewObject(RuntimeClassFromDefinition(GetSemaphoreClassDefinition()));
        Semaphore_Constructor(semaphore, 1);
        Semaphore_Signal(semaphore);
        Semaphore_Signal(semaphore);
      },
  };
  for (Deadlock deadlock : cases) {
    pid_t child = fork();
    if (child == 0) {
      deadlock(UniqueName("deadlock"));
      _exit(1);
    }
    usleep(1000 * 1000);
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the deadlock ended by itself";
    EXPECT_LT(CpuSeconds(usage), 0.2) << "seconds of processor time in a second of waiting";
  }
}

}  // namespace
}  // namespace vorn
