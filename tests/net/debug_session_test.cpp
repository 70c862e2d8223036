// The IDE, played by the test over the real link, drives a program that makes the line calls
// a debug build makes.
#include "net/debug_session.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "core/support/core_object_test.h"
#include "core/termination.h"
#include "net/debugger_encoding.h"
#include "net/debugger_transports.h"
#include "net/support/debug_link_test.h"
#include "net/support/fake_ide.h"
#include "objects/debug_module.h"
#include "objects/exceptions.h"
#include "support/process_locale.h"
#include "vorn/array_abi.h"

// The routines below keep their frames, as compiled programs' do, for the debugger's stack walk.
// Clang has no per-function switch for that; its trees here are sanitizer builds, which keep
// frame pointers throughout.
#if defined(__clang__)
#define VORN_TEST_FRAMED [[gnu::noinline]]
#else
#define VORN_TEST_FRAMED [[gnu::noinline, gnu::optimize("no-omit-frame-pointer")]]
#endif

namespace vorn {
namespace {

using testing::FakeIDE;


std::atomic<uintptr_t> sLocalAddress{0};
extern const int64_t kReadOnly;
const int64_t kReadOnly = 5;
int32_t sObserved = 0;

volatile int32_t sCalleeRuns = 0;

// Each line call is followed by the line's code, as in compiled programs (never a tail call).
VORN_TEST_FRAMED void Callee() {
  RuntimeDebuggerEntry(10);
  sCalleeRuns = sCalleeRuns + 1;
  RuntimeDebuggerEntry(11);
  sCalleeRuns = sCalleeRuns + 1;
}

// Line 5 calls a routine; line 6 reads the local the IDE may have changed.
VORN_TEST_FRAMED void Program() {
  volatile int32_t local = 42;
  sLocalAddress = reinterpret_cast<uintptr_t>(&local);
  RuntimeDebuggerEntry(1);
  RuntimeDebuggerEntry(5);
  Callee();
  RuntimeDebuggerEntry(6);
  sObserved = local;
  RuntimeDebuggerEntry(7);
}

VORN_TEST_FRAMED void Inner() {
  RuntimeDebuggerEntry(30);
  sCalleeRuns = sCalleeRuns + 1;
  RuntimeDebuggerEntry(31);
  sCalleeRuns = sCalleeRuns + 1;
}

VORN_TEST_FRAMED void Outer() {
  RuntimeDebuggerEntry(20);
  Inner();
  RuntimeDebuggerEntry(21);
  sCalleeRuns = sCalleeRuns + 1;
}

RuntimeObject* sWatched = nullptr;

std::string Address(uintptr_t address) { return std::string(HexEncodeAddress(address).View()); }

class DebugSessionTest : public testing::DebugLinkTest {};

TEST_P(DebugSessionTest, StopsAtABreakpointShowsStackAndLocalStepsOverACallAndTakesANewValue) {
  std::string stack;
  auto ide = StartIDE([&](FakeIDE& ide) {
    EXPECT_EQ(ide.Next(), "BREAK 00000001") << "the first line stops";
    EXPECT_EQ(ide.RunToBreakpoint("00000005"), "BREAK 00000005");
    EXPECT_EQ(ide.ListStack(&stack), "SC ");
    ide.Send("DW " + Address(sLocalAddress));
    EXPECT_EQ(ide.Next(), "VAL32 " + Address(sLocalAddress) + " 0000002A") << "replies echo the request";
    ide.Send("STEPOVER ");
    EXPECT_EQ(ide.Next(), "BREAK 00000006") << "the called routine's lines are passed over";
    ide.Send("SW " + Address(sLocalAddress) + " 00000063");
    ide.Send("TOC ");
    EXPECT_EQ(ide.Next().rfind("TOC ", 0), 0u);
    ide.Send("RUN ");
  });
  Program();
  ide->Join();
  EXPECT_EQ(sObserved, 99);
  EXPECT_NE(stack.find("SFR "), std::string::npos) << "frame records are listed";
  EXPECT_EQ(sEnds, 0);
}

TEST_P(DebugSessionTest, TheTrapFlagStopsOnARaisedExceptionAndBadRequestsAreAnsweredWithErrors) {
  std::vector<std::string> answers;
  // A word that looks like a string the session never read: SS must not release it.
  char plantedText[] = "\x03" "abc";
  VornStringRecord planted{1, plantedText, 5, 3, kEncodingASCII};
  VornStringRecord* plantedWord = &planted;
  std::string plantedSet = "SS " + Address(reinterpret_cast<uintptr_t>(&plantedWord)) + " 00000600:41";
  auto ide = StartIDE([&](FakeIDE& ide) {
    EXPECT_EQ(ide.Next(), "BREAK 00000001");
    ide.Send("BRLA 00000004");
    for (std::string bad : {"DW 00000008", "\x01\x7f garbage", "NOPE 1", "DW", "BR 000000FF", "SW 00000008",
                            "OWLS 12345678", "DOC 12345678", "DABB 00000008", "SS 00000008 00000600:41",
                            "BR 00000004", "BRC 00000004", plantedSet.c_str()}) {
      ide.Send(bad);
      answers.push_back(ide.Next());
    }
    ide.Send("PID ");
    EXPECT_EQ(ide.Next(), "PID ") << "the session goes on after every error";
    ide.Send("TRAP 01");
    ide.Send("RUN ");
    EXPECT_EQ(ide.Next(), "TRAP OutOfBoundsException");
    ide.Send("RUN ");
  });
  RuntimeDebuggerEntry(1);
  RuntimeDebuggerEntry(4);  // one past the table's last line: no breakpoint to read there
  RuntimeRaiseOutOfBoundsException();
  ide->Join();
  RuntimeObject* exception = TakePendingException();
  ASSERT_NE(exception, nullptr);
  RuntimeUnlockObject(exception);
  ASSERT_EQ(answers.size(), 13u);
  for (const std::string& answer : answers) EXPECT_EQ(answer.rfind("ERR ", 0), 0u) << answer;
  EXPECT_EQ(plantedWord, &planted);
  EXPECT_EQ(planted.refCount, 1);
  EXPECT_EQ(answers[0].substr(0, 7), "ERR DW ");
}

TEST_P(DebugSessionTest, StepOutLeavesTheRoutineAndAWatchedObjectsDisposalIsReportedOnce) {
  sWatched = RuntimeDebugInstance();
  std::string reference, disposal;
  auto ide = StartIDE([&](FakeIDE& ide) {
    EXPECT_EQ(ide.Next(), "BREAK 00000001");
    ide.Send("BRLA 00000040");
    ide.Send("BR 0000001E");
    ide.Send("RUN ");
    EXPECT_EQ(ide.Next(), "BREAK 0000001E");
    ide.Send("STEPOUT ");
    EXPECT_EQ(ide.Next(), "BREAK 00000015") << "the rest of the routine runs; its caller's next line stops";
    std::string variable = Address(reinterpret_cast<uintptr_t>(&sWatched));
    reference = Address(reinterpret_cast<uintptr_t>(sWatched));
    ide.Send("DO " + variable);
    EXPECT_EQ(ide.Next(), "VALO " + variable + " " + reference + " _RuntimeDebug");
    ide.Send("DOC " + reference);
    EXPECT_EQ(ide.Next(), "VALOC " + reference + " _RuntimeDebug");
    ide.Send("OWLS " + reference);
    ide.Send("OWLS " + reference);
    ide.Send("BR 00000002");
    ide.Send("RUN ");
    disposal = ide.Next();
    EXPECT_EQ(ide.Next(), "BREAK 00000002") << "one report for an object watched twice";
    ide.Send("DOC " + reference);
    EXPECT_EQ(ide.Next().rfind("ERR DOC ", 0), 0u) << "a disposed object is no longer handed out";
    ide.Send("RUN ");
  });
  RuntimeDebuggerEntry(1);
  Outer();
  uintptr_t address = reinterpret_cast<uintptr_t>(sWatched);
  RuntimeUnlockObject(sWatched);
  sWatched = nullptr;
  RuntimeDebuggerEntry(2);
  ide->Join();
  char expected[32];
  std::snprintf(expected, sizeof expected, "ODN %lX", static_cast<unsigned long>(address));
  EXPECT_EQ(disposal, expected);
}

TEST_P(DebugSessionTest, StringsAndWidthsAreReadAndWrittenWhereTheIDESays) {
  VornStringRecord* text = NewStringRep("abc", 3, kEncodingASCII);
  int64_t wide = 0x0102030405060708;
  auto ide = StartIDE([&](FakeIDE& ide) {
    EXPECT_EQ(ide.Next(), "BREAK 00000001");
    ide.Send("DS " + Address(reinterpret_cast<uintptr_t>(&text)));
    EXPECT_EQ(ide.Next(), "VALS " + Address(reinterpret_cast<uintptr_t>(&text)) + " " +
                              std::string(EncodeDebugString(string("abc", kEncodingASCII)).View()));
    ide.Send("SS " + Address(reinterpret_cast<uintptr_t>(&text)) + " " +
             std::string(EncodeDebugString(string("wxyz", kEncodingASCII)).View()));
    ide.Send("DL " + Address(reinterpret_cast<uintptr_t>(&wide)));
    EXPECT_EQ(ide.Next(), "VAL64 " + Address(reinterpret_cast<uintptr_t>(&wide)) + " 0102030405060708");
    ide.Send("DH " + Address(reinterpret_cast<uintptr_t>(&wide)));
    EXPECT_EQ(ide.Next(), "VAL16 " + Address(reinterpret_cast<uintptr_t>(&wide)) + " 0708");
    ide.Send("SB " + Address(reinterpret_cast<uintptr_t>(&wide)) + " FF");
    ide.Send("SL " + Address(reinterpret_cast<uintptr_t>(&kReadOnly)) + " 0000000000000001");
    EXPECT_EQ(ide.Next().rfind("ERR SL ", 0), 0u) << "read-only memory is not written";
    ide.Send("RUN ");
  });
  RuntimeDebuggerEntry(1);
  ide->Join();
  EXPECT_EQ(string::Share(text).View(), "wxyz");
  EXPECT_EQ(wide, 0x01020304050607FF);
  EXPECT_EQ(kReadOnly, 5);
  RuntimeUnlockString(text);
}

// A program stopped at a breakpoint waits on the link for as long as the IDE likes; a
// termination signal still ends it.
TEST_P(DebugSessionTest, ATerminationSignalEndsAProgramStoppedAtABreakpoint) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        alarm(10);
        InstallTerminationHandlers();
        auto ide = StartIDE([](FakeIDE& ide) {
          ide.Next();  // the program has stopped
          kill(getpid(), SIGTERM);
          sleep(5);
        });
        RuntimeDebuggerEntry(1);
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_P(DebugSessionTest, QuitAndALostLinkEndTheSessionAndTheProgram) {
  // A tag's letters match as ASCII's in every locale: Turkish case would not take "quit" for "QUIT".
  test::ProcessLocale turkish("tr_TR.UTF-8");
  ASSERT_TRUE(turkish.Loaded());
  for (const char* quit : {"QUIT ", "quit ", static_cast<const char*>(nullptr)}) {
    sEnds = 0;
    auto ide = StartIDE([&](FakeIDE& ide) {
      EXPECT_EQ(ide.Next(), "BREAK 00000001");
      if (quit) {
        ide.Send(quit);
        EXPECT_EQ(ide.Next(), "<closed>") << quit;
      }
      ide.Close();
    });
    RuntimeDebuggerEntry(1);
    ide->Join();
    EXPECT_EQ(sEnds, 1) << (quit ? quit : "lost link");
    EXPECT_EQ(DebugSession().link.Get(), nullptr);
    RuntimeDebuggerShutdown();
  }
}

INSTANTIATE_TEST_SUITE_P(BothLinks, DebugSessionTest, ::testing::Values(true, false), testing::LinkName);

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

class DebugDumpTest : public vorn::testing::CoreObjectTest {};

TEST_F(DebugDumpTest, TheObjectDumpListsHeapUseCountAndClassesAndTheDebugFlagShows) {
  char pattern[] = "/tmp/vorn-debug-dump-XXXXXX";
  std::string folder = mkdtemp(pattern), path = folder + "/objects.txt";
  EXPECT_EQ(VORNInDebugMode(), DebugSession().debugRuntime ? 1 : 0);
  DebugRuntimeInit();
  EXPECT_EQ(VORNInDebugMode(), 1);
  DebugSession().debugRuntime = false;
  RuntimeObject* held = RuntimeDebugInstance();
  VornStringRecord* file = NewStringRep(path.data(), static_cast<int32_t>(path.size()), kEncodingUTF8);
  debugDumpObjects(file);
  RuntimeUnlockString(file);
  FILE* dump = std::fopen(path.c_str(), "r");
  ASSERT_NE(dump, nullptr);
  char heap[128] = {}, objects[128] = {};
  ASSERT_NE(std::fgets(heap, sizeof heap, dump), nullptr);
  ASSERT_NE(std::fgets(objects, sizeof objects, dump), nullptr);
  std::string rest;
  for (char line[256]; std::fgets(line, sizeof line, dump);) rest += line;
  std::fclose(dump);
  EXPECT_NE(std::string(heap).find(" used in heap1\n"), std::string::npos);
  int count = std::atoi(objects);
  EXPECT_GE(count, 1);
  EXPECT_EQ(std::string(objects), std::to_string(count) + " objects\n");
  EXPECT_NE(rest.find("_RuntimeDebug\n"), std::string::npos);
  RuntimeUnlockObject(held);
  unlink(path.c_str());
  rmdir(folder.c_str());
}

}  // namespace
}  // namespace vorn
