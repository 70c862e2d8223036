// Threads inside one test process: hand-over, locks a thread leaves behind, the stack check
// and the records of threads that ended (these run under the sanitizers as well).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "core/console_streams.h"
#include "core/run_loop.h"
#include "core/termination.h"
#include "core/support/core_object_test.h"
#include "core/thread_class.h"
#include "core/thread_scheduler.h"
#include "files/binary_stream.h"
#include "files/data_file.h"
#include "files/program_runner.h"
#include "files/text_input_stream.h"
#include "files/text_output_stream.h"
#include "objects/exceptions.h"
#include "objects/text_encoding_object.h"
#include "strings/vstring.h"
#include "support/hang_limit.h"
#include "vorn/folder_item_api.h"

namespace vorn {
namespace {

using testing::CoreObjectTest;

struct Worker {
  VornThreadObject thread;
  void (*body)(Worker* self);
  int32_t index;
};

RuntimeObject* gSemaphores[3];
RuntimeObject* gSection;
int gFinished;
bool gHolderMayEnd;

void Run(RuntimeObject* self) {
  auto* worker = reinterpret_cast<Worker*>(self);
  worker->body(worker);
  ++gFinished;
}

RuntimeObject* Start(void (*body)(Worker*), int32_t index = 0) {
  RuntimeClass* cls = testing::MakeSubclass("UnitWorker", "Thread", sizeof(Worker),
                                            {{"#Run%%o<UnitWorker>", reinterpret_cast<void*>(&Run), nullptr, 0}});
  RuntimeObject* worker = RuntimeNewObject(cls);
  reinterpret_cast<Worker*>(worker)->body = body;
  reinterpret_cast<Worker*>(worker)->index = index;
  threadRun(worker);
  return worker;
}

void AwaitFinished(int count) {
  while (gFinished < count) YieldToNextThread();
  gFinished = 0;
}

class ThreadsTest : public CoreObjectTest {
 protected:
  void TearDown() override {
    EXPECT_EQ(ThreadRecordCount(), 1) << "every thread has ended";
    EXPECT_EQ(CurrentThreadRecord(), MainThreadRecord());
    CoreObjectTest::TearDown();
  }

  // A wake-up that never comes (a lock's, or a file wait's without its hook) fails the test here.
  const test::HangLimit mLimit;
};

void Relay(int32_t index) {
  for (int round = 0; round < 3; ++round) {
    if (index != 0 || round > 0) Semaphore_Signal(gSemaphores[index]);
    CoreObjectTest::Log() += static_cast<char>('0' + index);
    semaphore_release(gSemaphores[(index + 1) % 3]);
  }
}

TEST_F(ThreadsTest, TheMainThreadAndTwoOthersPassTheirTurnsRoundThroughSemaphores) {
  for (RuntimeObject*& semaphore : gSemaphores) {
    semaphore = RuntimeNewObject(RuntimeClassFromDefinition(GetSemaphoreClassDefinition()));
    Semaphore_Signal(semaphore);
  }
  RuntimeObject* a = Start([](Worker* self) { Relay(self->index); }, 1);
  RuntimeObject* b = Start([](Worker* self) { Relay(self->index); }, 2);
  Relay(0);
  Semaphore_Signal(gSemaphores[0]);
  AwaitFinished(2);
  EXPECT_EQ(Log(), "012012012");
  for (RuntimeObject* object : {a, b, gSemaphores[0], gSemaphores[1], gSemaphores[2]}) RuntimeUnlockObject(object);
}

TEST_F(ThreadsTest, ASectionLeftHeldByAThreadThatEndedGoesToItsWaiter) {
  gSection = RuntimeNewObject(RuntimeClassFromDefinition(GetCriticalSectionClassDefinition()));
  gHolderMayEnd = false;
  RuntimeObject* holder = Start([](Worker*) {
    criticalsection_enter(gSection);
    while (!gHolderMayEnd) YieldToNextThread();
  });
  RuntimeObject* waiter = Start([](Worker* self) {
    criticalsection_enter(gSection);
    CoreObjectTest::Log() += "entered;";
    EXPECT_EQ(reinterpret_cast<VornCriticalSectionObject*>(gSection)->owner, self->thread.threadRecord);
    criticalsection_leave(gSection);
  });
  EXPECT_EQ(ThreadGetState(waiter, 0), kVornThreadWaiting);
  gHolderMayEnd = true;
  AwaitFinished(2);
  EXPECT_EQ(Log(), "entered;");
  EXPECT_EQ(ThreadGetState(holder, 0), kVornThreadNotRunning);
  for (RuntimeObject* object : {holder, waiter, gSection}) RuntimeUnlockObject(object);
}

__attribute__((noinline)) int Recurse(int depth) {
  RuntimeStackCheck();
  if (PendingException()) return depth;
  char frame[512];
  frame[0] = static_cast<char>(depth);
  int reached = Recurse(depth + 1);
  __asm__ volatile("" : : "r"(frame) : "memory");  // a frame of its own for every call
  return reached;
}

TEST_F(ThreadsTest, RunawayRecursionOnAThreadEndsInAStackOverflowException) {
  RuntimeObject* thread = Start([](Worker*) {
    int depth = Recurse(0);
    RuntimeObject* exception = TakePendingException();
    EXPECT_TRUE(RuntimeObjectIsaDefinition(exception, GetStackOverflowExceptionClassDefinition()));
    EXPECT_GT(depth, 100);
    RuntimeUnlockObject(exception);
  });
  AwaitFinished(1);
  RuntimeUnlockObject(thread);
}

// The lock file's flock belongs to each open file, so two mutexes of one name exclude each other
// as two programs would.
TEST_F(ThreadsTest, TwoMutexesOfOneNameExcludeEachOtherAndTheLastOneRemovesTheFile) {
  string name(("vorn-unit-mutex-" + std::to_string(getpid())).c_str());
  std::string path = "/tmp/vorn-mutex-" + std::to_string(getuid()) + "/" + std::string(name.View());
  RuntimeClass* mutexClass = RuntimeClassFromDefinition(GetMutexClassDefinition());
  RuntimeObject* first = RuntimeNewObject(mutexClass);
  RuntimeObject* second = RuntimeNewObject(mutexClass);
  MutexContructor(first, name.Rep());
  MutexContructor(second, name.Rep());
  EXPECT_EQ(access(path.c_str(), F_OK), 0) << path << " was not made";
  EXPECT_EQ(MutexTryLock(first), 1);
  EXPECT_EQ(MutexTryLock(second), 0);
  MutexUnlock(first);
  EXPECT_EQ(MutexTryLock(second), 1);
  MutexUnlock(second);
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
  EXPECT_NE(access(path.c_str(), F_OK), 0) << path << " is still there";
}

// A body that returns with an exception still pending (no Run handler took it) ends with it:
// nothing travels into the thread that runs next.
TEST_F(ThreadsTest, AnExceptionPendingWhenAThreadEndsStaysWithThatThread) {
  static bool ended = false;
  ended = false;
  ThreadRecord* record = NewThreadRecord(nullptr, 5);
  ASSERT_TRUE(StartThread(record, kDefaultThreadCheckedStack, [](ThreadRecord*) {
    RuntimeRaiseOutOfBoundsException();
    ended = true;
  }));
  while (ThreadRecordCount() > 1) YieldToNextThread();
  EXPECT_TRUE(ended);
  EXPECT_EQ(PendingException(), nullptr);
}

// The report of an unhandled exception is a dialog, which only the main thread may show.
TEST_F(ThreadsTest, AnExceptionThatRunLeavesIsReportedOnTheMainThread) {
  static int reports = 0;
  static bool onMainThread = false;
  ExceptionCallback previous = SetUnhandledExceptionHook([](RuntimeObject*) {
    ++reports;
    onMainThread = IsMainThread();
  });
  RuntimeObject* thread = Start([](Worker*) { RuntimeRaiseOutOfBoundsException(); });
  AwaitFinished(1);
  EXPECT_EQ(reports, 0);
  RunMainLoopOnce(false);
  EXPECT_EQ(reports, 1);
  EXPECT_TRUE(onMainThread);
  SetUnhandledExceptionHook(previous);
  RuntimeUnlockObject(thread);
}

// A thread that waits for standard input gives the runtime away meanwhile; a second reader
// waits for its turn, so each takes whole lines from the one buffer.
TEST_F(ThreadsTest, ThreadsWaitingForInputLetTheOthersRunAndReadInTurn) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  SetStandardInputDescriptor(fds[0]);
  std::atomic<bool> mainRan = false, wroteFirst = false;
  // The input comes once the main thread ran while both readers wait, or after two seconds.
  std::thread feeder([&] {
    for (int i = 0; i < 2000 && !mainRan; ++i) usleep(1000);
    wroteFirst = !mainRan;
    EXPECT_EQ(write(fds[1], "one\ntwo\n", 8), 8);
    close(fds[1]);
  });
  auto read = [](Worker*) {
    VornStringRecord* line = RuntimeConsoleInput();
    CoreObjectTest::Log() += std::string(string::Share(line).View()) + ";";
    RuntimeUnlockString(line);
  };
  RuntimeObject* readers[] = {Start(read), Start(read)};
  EXPECT_EQ(ThreadGetState(readers[1], 0), kVornThreadWaiting) << "the second reader waits for its turn";
  mainRan = true;
  AwaitFinished(2);
  feeder.join();
  EXPECT_FALSE(wroteFirst) << "the main thread did not run while a thread waited for input";
  EXPECT_EQ(Log(), "one;two;");
  SetStandardInputDescriptor(-1);
  close(fds[0]);
  for (RuntimeObject* reader : readers) RuntimeUnlockObject(reader);
}

// While a thread waits in a pipe, the main thread's read is refused (it would take the half of
// a UTF-16 unit the waiting thread has read, or the bytes that thread waits for), and its Close
// ends the wait and the pipe's end.
TEST_F(ThreadsTest, AThreadWaitingInAPipeKeepsWhatItReadAndEndsWhenAnotherThreadClosesIt) {
  static RuntimeObject *stream, *utf16;
  const struct {
    const char* name;
    RuntimeObject* (*open)(RuntimeObject* item);
    VornStringRecord* (*read)();  // by the thread, then by the main thread
    int32_t (*lastError)(RuntimeObject* stream);
    void (*close)(RuntimeObject* stream);
    std::string before;  // in the pipe before the thread reads
  } rows[] = {
      {"text, half a unit read", FolderItemOpenTextFile, [] { return TextInputStreamReadLine(stream, utf16); },
       TextInputStreamLastErrorGetter, TextInputStreamClose, std::string("p\0a", 3)},
      {"binary, nothing read yet", [](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 0); },
       [] { return BinaryStreamRead(stream, 2, nullptr); }, BinaryStreamLastErrorGetter, BinaryStreamClose, ""},
  };
  static VornStringRecord* (*read)();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ClearTextEncodingObjects();
    ScratchFolder folder("/tmp/vorn-unit-pipe-");
    const std::string fifo = folder.Path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    RuntimeObject* item = RuntimeGetFolderItem(string(fifo.c_str()).Rep(), 0);
    stream = row.open(item), utf16 = GetTEObjectFromEncoding(kEncodingUTF16), read = row.read;
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_EQ(write(writer, row.before.data(), row.before.size()), static_cast<ssize_t>(row.before.size()));
    RuntimeObject* reader = Start([](Worker*) { Log() += string::Adopt(read()).View(); });
    ASSERT_EQ(write(writer, "xy", 2), 2);  // what the waiting thread is owed
    EXPECT_EQ(read(), nullptr);
    EXPECT_EQ(row.lastError(stream), EBUSY);
    row.close(stream);
    AwaitFinished(1);
    EXPECT_EQ(Log(), row.before);
    EXPECT_EQ(row.lastError(stream), EBADF);
    EXPECT_EQ(open(fifo.c_str(), O_WRONLY | O_NONBLOCK), -1) << "the pipe is left without a reader";
    close(writer);
    for (RuntimeObject* object : {stream, utf16, item, reader}) RuntimeUnlockObject(object);
    ClearTextEncodingObjects();
    Log().clear();
  }
}

// The main thread lets go of the last reference to a stream (closing it first or not) while a
// thread waits in it: the stream and its store go once the wait is over, and the thread reads
// or writes what it waited for (these rows run under the sanitizers).
TEST_F(ThreadsTest, AStreamLetGoWhileAThreadWaitsInItGoesWithItsStoreOnceTheWaitIsOver) {
  ClearTextEncodingObjects();
  static RuntimeObject* stream;
  static const std::string big(1 << 20, 'x');  // more than a pipe holds
  using Open = RuntimeObject* (*)(RuntimeObject*);
  const Open text = FolderItemOpenTextFile, binary = [](RuntimeObject* i) { return FolderItemOpenBinaryFile(i, 0); };
  const Open out = FolderItemAppendTextFile, binaryOut = [](RuntimeObject* i) { return FolderItemOpenBinaryFile(i, 1); };
  void (*const readLine)(Worker*) = [](Worker*) { Log() += string::Adopt(TextInputStreamReadLine(stream, nullptr)).View(); };
  void (*const readText)(Worker*) = [](Worker*) { Log() += string::Adopt(TextInputStreamRead(stream, 4, nullptr)).View(); };
  void (*const readBytes)(Worker*) = [](Worker*) { Log() += string::Adopt(BinaryStreamRead(stream, 4, nullptr)).View(); };
  void (*const writeLine)(Worker*) = [](Worker*) { TextOutputStreamWriteLine(stream, string(big.c_str()).Rep()); };
  void (*const writeBytes)(Worker*) = [](Worker*) { BinaryStreamWrite(stream, string(big.c_str()).Rep()); };
  const struct {
    const char* name;
    Open open;
    bool writes;  // the thread waits to write; otherwise to read
    void (*wait)(Worker*);
    void (*close)(RuntimeObject* stream);  // nil: let go without closing
    std::string log;  // what the thread read, or the bytes the pipe took
  } rows[] = {
      {"TextInputStream.ReadLine", text, false, readLine, nullptr, "abcd"},
      {"TextInputStream.ReadLine, closed", text, false, readLine, TextInputStreamClose, ""},
      {"TextInputStream.Read", text, false, readText, nullptr, "abcd"},
      {"TextInputStream.Read, closed", text, false, readText, TextInputStreamClose, ""},
      {"BinaryStream.Read", binary, false, readBytes, nullptr, "abcd"},
      {"BinaryStream.Read, closed", binary, false, readBytes, BinaryStreamClose, ""},
      {"BinaryStream.Write", binaryOut, true, writeBytes, nullptr, std::to_string(big.size())},
      {"BinaryStream.Write, closed", binaryOut, true, writeBytes, BinaryStreamClose, ""},
      {"TextOutputStream.WriteLine", out, true, writeLine, nullptr, std::to_string(big.size() + 1)},
      {"TextOutputStream.WriteLine, closed", out, true, writeLine, TextOutputStreamClose, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder("/tmp/vorn-unit-pipe-");
    const std::string fifo = folder.Path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    RuntimeObject* item = RuntimeGetFolderItem(string(fifo.c_str()).Rep(), 0);
    // The test's own end: a reader must be there before a writer may open.
    const int reader = row.writes ? open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    stream = row.open(item);
    ASSERT_NE(stream, nullptr);
    const int end = row.writes ? reader : open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    RuntimeObject* thread = Start(row.wait);
    EXPECT_EQ(gFinished, 0) << "the thread waits";
    if (row.close) row.close(stream);
    RuntimeUnlockObject(stream);
    if (!row.close && !row.writes) {
      EXPECT_EQ(write(end, "abcd\n", 5), 5);
    }
    // The pipe is emptied as the thread fills it, until the thread is over and the pipe empty.
    size_t taken = 0;
    for (char buffer[65536];;) {
      const ssize_t got = row.writes ? read(end, buffer, sizeof buffer) : -1;
      if (got > 0) {
        taken += static_cast<size_t>(got);
      } else if (gFinished > 0) {
        break;
      } else {
        YieldToNextThread();
        usleep(1000);
      }
    }
    AwaitFinished(1);
    if (row.writes && !row.close) Log() += std::to_string(taken);
    EXPECT_EQ(Log(), row.log);
    // The store went with the stream: its end of the pipe is closed.
    if (row.writes) {
      char rest[65536];
      while (read(end, rest, sizeof rest) > 0) {
      }
      EXPECT_EQ(read(end, rest, 1), 0) << "no writer is left";
    } else {
      EXPECT_EQ(open(fifo.c_str(), O_WRONLY | O_NONBLOCK), -1) << "no reader is left";
    }
    close(end);
    RuntimeUnlockObject(thread);
    RuntimeUnlockObject(item);
    Log().clear();
  }
  ClearTextEncodingObjects();
}

// A POSIX thread of no runtime thread's that waits on a pipe while a runtime thread has the
// turn waits on its own: the turn stays with that runtime thread, which runs on unhindered.
TEST_F(ThreadsTest, APlainPosixThreadWaitingOnAPipeLeavesTheTurnWithTheThreadThatHasIt) {
  static std::string fifo;
  ScratchFolder folder("/tmp/vorn-unit-pipe-");
  fifo = folder.Path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  RuntimeObject* thread = Start([](Worker*) {
    std::string got = "nothing";
    std::thread plain([&got] {
      UnixDataFile file;
      char byte = 0;
      if (file.Open(fifo.c_str(), kDataFileReadPermission) && file.Read(&byte, 1)) got.assign(1, byte);
    });
    std::thread writer([] {
      usleep(150 * 1000);  // the plain thread is waiting by now
      const int end = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      EXPECT_EQ(write(end, "z", 1), 1);
      close(end);
    });
    plain.join();
    writer.join();
    Log() += got + ";";
  });
  Log() += "main;";
  AwaitFinished(1);
  EXPECT_EQ(Log(), "z;main;") << "the main thread ran while the runtime thread waited for a plain one";
  RuntimeUnlockObject(thread);
}

// A thread waiting on a pipe nobody writes, on one nobody reads (1 MiB) or on a program lets the
// main thread run: its sleep lasts as asked, though the thread comes back between looks, and it
// carries out a quit signal.
TEST_F(ThreadsTest, ThreadsWaitingForAPipeOrAProgramLetTheMainThreadRunAndQuit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  static std::string fifo, bytes(1 << 20, 'x');
  static UnixDataFile file;
  void (*const waits[])(Worker*) = {
      [](Worker*) { if (file.Open(fifo.c_str(), kDataFileReadPermission)) file.Read(bytes.data(), 1); },
      [](Worker*) { if (open(fifo.c_str(), O_RDONLY | O_NONBLOCK) >= 0 && file.Create(fifo.c_str())) file.Write(bytes.data(), 1 << 20); },
      [](Worker*) { RunProgramAndWait({"sleep", "30"}); },
  };
  for (size_t row = 0; row < std::size(waits); ++row) {
    EXPECT_EXIT(
        {
          alarm(20);  // a wait that keeps the runtime fails the row instead of hanging it
          InstallTerminationHandlers();
          ScratchFolder folder("/tmp/vorn-unit-pipe-");  // goes at the exit
          mkfifo((fifo = folder.Path() + "/fifo").c_str(), 0600);
          Start(waits[row]);  // returns once the thread waits
          const auto asleep = std::chrono::steady_clock::now();
          AppSleepCurrentThread(nullptr, 300);
          if (gFinished > 0 || std::chrono::steady_clock::now() - asleep < std::chrono::milliseconds(250)) std::exit(4);
          kill(getpid(), SIGTERM);
          AppSleepCurrentThread(nullptr, 60000);
          std::exit(3);
        },
        ::testing::ExitedWithCode(0), "")
        << "row " << row;
  }
}

}  // namespace
}  // namespace vorn
