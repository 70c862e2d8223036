// Threads inside one test process: hand-over, locks a thread leaves behind, the stack check
// and the records of threads that ended (these run under the sanitizers as well).
#include <glib.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
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
#include "files/shell_runner.h"
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
  // The input comes once the main thread ran while both readers wait, or after a minute.
  std::thread feeder([&] {
    for (int i = 0; i < 60000 && !mainRan; ++i) usleep(1000);
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

// A named pipe in a folder of its own.
struct Fifo {
  ScratchFolder folder{"/tmp/vorn-unit-pipe-"};
  std::string path = folder.Path() + "/fifo";
  bool made = mkfifo(path.c_str(), 0600) == 0;
};

RuntimeObject *gStream, *gUTF16;
VornStringRecord* (*gCall)();  // what the thread waits in

// While a thread waits in a stream's pipe, the main thread's read is refused (it would take the
// half of a UTF-16 unit the thread has read, or the bytes it waits for), and so is its write
// (the two writers' bytes would mix, or it would wait behind the thread). A Close ends the wait;
// letting go of the stream instead frees nothing under the thread (these rows run under the
// sanitizers). Either way the stream's end of the pipe goes once the wait is over.
TEST_F(ThreadsTest, AThreadWaitingInAPipeKeepsItsStreamAndWhatItReadUntilAnotherThreadClosesIt) {
  ClearTextEncodingObjects();
  gUTF16 = GetTEObjectFromEncoding(kEncodingUTF16);
  static const std::string big(1 << 20, 'x');  // more than a pipe holds
  using Open = RuntimeObject* (*)(RuntimeObject*);
  const Open text = FolderItemOpenTextFile, binary = [](RuntimeObject* i) { return FolderItemOpenBinaryFile(i, 0); };
  const Open out = FolderItemAppendTextFile, binaryOut = [](RuntimeObject* i) { return FolderItemOpenBinaryFile(i, 1); };
  using Call = VornStringRecord* (*)();
  const Call readLine = [] { return TextInputStreamReadLine(gStream, nullptr); };
  const Call readLine16 = [] { return TextInputStreamReadLine(gStream, gUTF16); };
  const Call readText = [] { return TextInputStreamRead(gStream, 4, nullptr); };
  const Call readAll = [] { return TextInputStreamReadAll(gStream, nullptr); };
  const Call readBytes = [] { return BinaryStreamRead(gStream, 4, nullptr); };
  const Call writeLine = []() -> VornStringRecord* { return TextOutputStreamWriteLine(gStream, string(big.c_str()).Rep()), nullptr; };
  const Call writeText = []() -> VornStringRecord* { return TextOutputStreamWrite(gStream, string(big.c_str()).Rep()), nullptr; };
  const Call writeBytes = []() -> VornStringRecord* { return BinaryStreamWrite(gStream, string(big.c_str()).Rep()), nullptr; };
  const struct {
    const char* name;
    Open open;
    Call call;
    int32_t (*lastError)(RuntimeObject* stream);
    void (*close)(RuntimeObject* stream);  // nil: let go of the stream instead
    bool writes;  // the thread waits to write, the bytes the pipe took going to the log
    std::string before, log;  // in the pipe before the thread reads; what it read
  } rows[] = {
      {"TextInputStream.ReadLine", text, readLine, TextInputStreamLastErrorGetter, nullptr, false, "", "abcd"},
      {"TextInputStream.ReadLine, half a unit read, closed", text, readLine16, TextInputStreamLastErrorGetter,
       TextInputStreamClose, false, std::string("p\0a", 3), std::string("p\0a", 3)},
      {"TextInputStream.Read", text, readText, TextInputStreamLastErrorGetter, nullptr, false, "", "abcd"},
      {"TextInputStream.ReadAll, closed", text, readAll, TextInputStreamLastErrorGetter, TextInputStreamClose, false,
       "line one\nline two\n", "line one\nline two\n"},
      {"BinaryStream.Read", binary, readBytes, BinaryStreamLastErrorGetter, nullptr, false, "", "abcd"},
      {"BinaryStream.Read, closed", binary, readBytes, BinaryStreamLastErrorGetter, BinaryStreamClose, false, "", ""},
      {"BinaryStream.Write", binaryOut, writeBytes, BinaryStreamLastErrorGetter, nullptr, true, "", std::to_string(big.size())},
      {"TextOutputStream.Write", out, writeText, TextOutputStreamLastErrorGetter, nullptr, true, "", std::to_string(big.size())},
      {"TextOutputStream.WriteLine", out, writeLine, TextOutputStreamLastErrorGetter, nullptr, true, "", std::to_string(big.size() + 1)},
      {"TextOutputStream.WriteLine, closed", out, writeLine, TextOutputStreamLastErrorGetter, TextOutputStreamClose,
       true, "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Fifo fifo;
    ASSERT_TRUE(fifo.made);
    RuntimeObject* item = RuntimeGetFolderItem(string(fifo.path.c_str()).Rep(), 0);
    // The test's own end; a writer may open only once a reader is there.
    const int reader = row.writes ? open(fifo.path.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    gStream = row.open(item), gCall = row.call;
    const int end = row.writes ? reader : open(fifo.path.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_EQ(row.writes ? 0 : write(end, row.before.data(), row.before.size()), ssize_t(row.before.size()));
    RuntimeObject* thread = Start([](Worker*) { Log() += string::Adopt(gCall()).View(); });
    ASSERT_EQ(row.writes ? 5 : write(end, "abcd\n", 5), 5);  // what a waiting reader is owed
    // A second writer that waited instead would wait for ever: nobody empties the pipe yet (the
    // fixture's time limit ends it).
    EXPECT_EQ(row.call(), nullptr);
    EXPECT_EQ(row.lastError(gStream), EBUSY);
    row.close ? row.close(gStream) : RuntimeUnlockObject(gStream);
    size_t taken = 0;  // the pipe is emptied as the thread fills it, until the thread is over
    for (bool over = false; !over; YieldToNextThread()) {
      over = gFinished > 0;
      char buffer[65536];
      for (ssize_t got; row.writes && (got = read(end, buffer, sizeof buffer)) > 0;) taken += size_t(got);
    }
    AwaitFinished(1);
    if (row.writes && !row.close) Log() += std::to_string(taken);
    EXPECT_EQ(Log(), row.log);
    if (row.close) {
      EXPECT_EQ(row.lastError(gStream), EBADF);
      RuntimeUnlockObject(gStream);
    }
    pollfd hangUp{end, 0, 0};
    EXPECT_EQ(poll(&hangUp, 1, 0), 1) << "the stream's end of the pipe is closed";
    close(end);
    for (RuntimeObject* object : {thread, item}) RuntimeUnlockObject(object);
    Log().clear();
  }
  RuntimeUnlockObject(gUTF16);
  ClearTextEncodingObjects();
}

// A thread reading a file to its end hands the runtime on between its pieces (of 1 MiB).
TEST_F(ThreadsTest, AThreadReadingToTheEndLetsTheMainThreadTurnBetweenPieces) {
  ScratchFolder folder("/tmp/vorn-unit-read-");
  std::ofstream(folder.Path() + "/big") << std::string(32 << 20, 'x');
  RuntimeObject* item = RuntimeGetFolderItem(string((folder.Path() + "/big").c_str()).Rep(), 0);
  ASSERT_NE(gStream = FolderItemOpenTextFile(item), nullptr);
  RuntimeObject* thread = Start([](Worker*) { Log() += std::to_string(string::Adopt(TextInputStreamReadAll(gStream, nullptr)).Length()); });
  int turns = 0;
  for (; gFinished == 0; ++turns) YieldToNextThread();
  AwaitFinished(1);
  EXPECT_EQ(Log(), std::to_string(32 << 20));
  EXPECT_GE(turns, 16) << "turns of the main thread while the thread read";
  for (RuntimeObject* object : {gStream, thread, item}) RuntimeUnlockObject(object);
  ClearTextEncodingObjects();  // the stream's own
}

// A POSIX thread of no runtime thread's that waits on a pipe while a runtime thread has the
// turn waits on its own: the turn stays with that runtime thread.
TEST_F(ThreadsTest, APlainPosixThreadWaitingOnAPipeLeavesTheTurnWithTheThreadThatHasIt) {
  static const Fifo fifo;
  ASSERT_TRUE(fifo.made);
  RuntimeObject* thread = Start([](Worker*) {
    char got = '-';
    std::thread plain([&got] {
      UnixDataFile file;
      if (file.Open(fifo.path.c_str(), kDataFileReadPermission)) file.Read(&got, 1);
    });
    // Refused while no reader has the FIFO open: the plain thread waits once this succeeds.
    int end = -1;
    while ((end = open(fifo.path.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && errno == ENXIO) usleep(1000);
    EXPECT_EQ(write(end, "z", 1), 1);
    close(end);
    plain.join();
    Log() += std::string(1, got) + ";";
  });
  Log() += "main;";
  AwaitFinished(1);
  EXPECT_EQ(Log(), "z;main;") << "the main thread ran while the runtime thread waited for a plain one";
  RuntimeUnlockObject(thread);
}

// Where a shell command run by a death test's program notes its process id for the test.
std::string ShellNote(pid_t test) { return "/tmp/vorn-unit-shell-" + std::to_string(test); }

// A loop GTK turns itself (a dialog's) beside a thread that yields: no turn of the main thread
// waits with the runtime held, and the thread yields between the loop's iterations.
TEST_F(ThreadsTest, AMainLoopBesideAYieldingThreadNeverWaits) {
  static bool stop = false;
  static int yields = 0, longestWait = 0;
  RuntimeObject* thread = Start([](Worker*) { while (!stop) ++yields, YieldToNextThread(); });
  g_main_context_set_poll_func(nullptr, [](GPollFD* fds, guint count, gint timeout) {
    return longestWait = std::max(longestWait, timeout < 0 ? INT32_MAX : timeout), g_poll(fds, count, timeout);
  });
  for (int i = 0; i < 200; ++i) g_main_context_iteration(nullptr, TRUE);
  g_main_context_set_poll_func(nullptr, nullptr);
  stop = true;
  AwaitFinished(1);
  EXPECT_EQ(longestWait, 0) << "milliseconds the loop waited with a thread ready";
  EXPECT_GE(yields, 100);
  RuntimeUnlockObject(thread);
}

// A thread waiting on a pipe nobody writes, on one nobody reads (1 MiB), on a program, on a shell
// command that closed its output and runs on, or reading an always ready device lets the main
// thread run: its sleep lasts as asked, it has its turn every few reads, and it carries out a quit signal.
TEST_F(ThreadsTest, ThreadsWaitingForAPipeOrAProgramLetTheMainThreadRunAndQuit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  static std::string fifo, bytes(1 << 20, 'x');
  static UnixDataFile file;
  static int reads = 0;
  void (*const waits[])(Worker*) = {
      [](Worker*) { if (file.Open(fifo.c_str(), kDataFileReadPermission)) file.Read(bytes.data(), 1); },
      [](Worker*) { if (open(fifo.c_str(), O_RDONLY | O_NONBLOCK) >= 0 && file.Create(fifo.c_str())) file.Write(bytes.data(), 1 << 20); },
      [](Worker*) { RunProgramAndWait({"sleep", "30"}); },
      [](Worker*) { RunShellCommand(string(("echo $$ >" + ShellNote(getppid()) + "; echo before; exec >&- 2>&-; sleep 5").c_str()), true); },
      [](Worker*) { if (file.Open("/dev/zero", kDataFileReadPermission)) while (file.Read(bytes.data(), 4096)) ++reads; },
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
          for (int turn = 0, before = reads; turn < 50; ++turn, before = reads) {
            YieldToNextThread();
            if (reads - before > 20) std::exit(5);  // between two turns of the main thread
          }
          kill(getpid(), SIGTERM);
          AppSleepCurrentThread(nullptr, 60000);
          std::exit(3);
        },
        ::testing::ExitedWithCode(0), "")
        << "row " << row;
    pid_t shell = 0;  // noted by the shell row only
    EXPECT_TRUE(!(std::ifstream(ShellNote(getpid())) >> shell) || kill(shell, 0) != 0) << "the command ended with the program";
    std::remove(ShellNote(getpid()).c_str());
  }
}

}  // namespace
}  // namespace vorn
