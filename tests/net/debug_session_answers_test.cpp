// The inspection answers, the break request served from the event loop, what a stop holds back
// and the program whose IDE never answers; the IDE is played by the test over the real link.
#include <arpa/inet.h>
#include <glib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/pollable.h"
#include "core/suspension.h"
#include "core/support/core_object_test.h"
#include "core/timer_state.h"
#include "net/debug_session.h"
#include "net/debugger_encoding.h"
#include "net/debugger_transports.h"
#include "net/socket_core.h"
#include "net/support/debug_link_test.h"
#include "net/support/fake_ide.h"
#include "objects/variant.h"
#include "vorn/array_abi.h"
#include "vorn/object_abi.h"

namespace vorn {
namespace {

using testing::FakeIDE;


std::string Address(const void* address) {
  return std::string(HexEncodeAddress(reinterpret_cast<uintptr_t>(address)).View());
}
std::string Wire(const char* text) { return std::string(EncodeDebugString(string(text, kEncodingASCII)).View()); }
std::string Bare(const void* address) {
  char text[32];
  std::snprintf(text, sizeof text, "%lX", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(address)));
  return text;
}

// An object whose fields the property getters of the directory read by offset.
struct Probe {
  VornRuntimeObject header;
  int32_t integer;
  uint8_t flag;
  float single;
  double real;
  VornStringRecord* text;
  VornRuntimeObject* object;
  VornRuntimeObject* variant;
};

class DebugAnswersTest : public testing::DebugLinkTest {};

TEST_P(DebugAnswersTest, ArraysVariantsAndPropertiesAreAnsweredAsTheIDEReadsThem) {
  const int32_t bounds[] = {3, 4};
  VornArray* array = RuntimeNewArray(kVornArrayInteger, 2, bounds);
  RuntimeObject* numberVariant = intToVariant(7);
  VornStringRecord* hi = NewStringRep("hi", 2, kEncodingASCII);
  RuntimeObject* textVariant = stringToVariant(hi);
  RuntimeClass* probeClass = testing::MakeSubclass("DebugProbe", "Object", sizeof(Probe), {});
  auto* probe = reinterpret_cast<Probe*>(RuntimeNewObject(probeClass));
  RuntimeObject* objectVariant = objectToVariant(&probe->header);
  RuntimeObject* nilVariant = nullptr;
  probe->integer = 42;
  probe->flag = 1;
  probe->single = 1.5f;
  probe->real = -2.0;
  probe->text = NewStringRep("abc", 3, kEncodingASCII);
  probe->object = nullptr;
  probe->variant = numberVariant;
  const std::string ref = Address(probe), arrayRef = Address(array);
  auto field = [&](const void* at) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(static_cast<const char*>(at) -
                                                                      reinterpret_cast<const char*>(probe)));
    return std::string(text);
  };
  // Each request with the whole reply it must get (request payload first, then the value).
  const std::vector<std::pair<std::string, std::string>> table = {
      {"DABB " + arrayRef, "VALABB " + arrayRef + " " + Address(array->data) + " 00000003 00000004"},
      {"DV " + Address(&nilVariant), "VALV " + Address(&nilVariant) + " 00000000"},
      {"DV " + Address(&numberVariant), "VALV " + Address(&numberVariant) + " 00000002 " + Wire("7")},
      {"DV " + Address(&textVariant), "VALV " + Address(&textVariant) + " 00000008 " + Wire("hi")},
      {"DV " + Address(&objectVariant), "VALV " + Address(&objectVariant) + " 00000009 " + ref + " DebugProbe"},
      {"DPVI " + ref + " intGetter " + field(&probe->integer), "VALPVI " + ref + " intGetter " + field(&probe->integer) + " 0000002A"},
      {"DPVB " + ref + " boolGetter " + field(&probe->flag), "VALPVB " + ref + " boolGetter " + field(&probe->flag) + " 01"},
      {"DPVF " + ref + " singleGetter " + field(&probe->single), "VALPVF " + ref + " singleGetter " + field(&probe->single) + " 3FC00000"},
      {"DPVD " + ref + " doubleGetter " + field(&probe->real), "VALPVD " + ref + " doubleGetter " + field(&probe->real) + " C000000000000000"},
      {"DPVS " + ref + " stringGetter " + field(&probe->text), "VALPVS " + ref + " stringGetter " + field(&probe->text) + " " + Wire("abc")},
      {"DPVO " + ref + " objGetter " + field(&probe->object), "VALPVO " + ref + " objGetter " + field(&probe->object) + " 00000000"},
      {"DPVV " + ref + " objGetter " + field(&probe->variant), "VALPVV " + ref + " objGetter " + field(&probe->variant) + " 00000002 " + Wire("7")},
  };
  std::vector<std::string> answers;
  std::string disposal;
  auto ide = StartIDE([&](FakeIDE& ide) {
    EXPECT_EQ(ide.Next(), "BREAK 00000001");
    for (const auto& [request, reply] : table) {
      ide.Send(request);
      answers.push_back(ide.Next());
    }
    ide.Send("AWLS " + arrayRef);
    ide.Send("BRLA 00000004");
    ide.Send("BR 00000002");
    ide.Send("RUN ");
    disposal = ide.Next();
    EXPECT_EQ(ide.Next(), "BREAK 00000002");
    ide.Send("RUN ");
  });
  RuntimeDebuggerEntry(1);
  void* freed = array;
  RuntimeUnlockArray(array);
  RuntimeDebuggerEntry(2);
  ide->Join();
  ASSERT_EQ(answers.size(), table.size());
  for (size_t i = 0; i < table.size(); ++i) EXPECT_EQ(answers[i], table[i].second) << table[i].first;
  EXPECT_EQ(disposal, "ADN " + Bare(freed)) << "a watched array's end is reported";
  RuntimeUnlockObject(objectVariant);
  RuntimeUnlockObject(textVariant);
  RuntimeUnlockObject(numberVariant);
  RuntimeUnlockString(hi);
  RuntimeUnlockString(probe->text);
  RuntimeUnlockObject(&probe->header);
}

// While the program is stopped this pollable turns the main loop, as a plug-in's might, and
// notes what the stop holds back.
struct StopWatcher : Pollable {
  void Poll() override {
    if (!DebugSession().inStop) return;
    held = ThreadSwitchingSuspended() && TimersSuspended() && SocketEventsSuppressed();
    while (g_main_context_iteration(nullptr, FALSE)) {}
  }
  bool held = false;
};

int sFires = 0;
const TimerOwner kCountingOwner = {[](TimerState*) { ++sFires; }, nullptr, nullptr};

TEST_P(DebugAnswersTest, ABreakRequestStopsTheEventLoopAndADueTimerWaitsUntilTheProgramGoesOn) {
  std::atomic<bool> done{false};
  StopWatcher watcher;
  AddPollable(&watcher);
  TimerState timer;
  InitTimerState(&timer, &kCountingOwner);
  sFires = 0;
  auto ide = StartIDE([&](FakeIDE& ide) {
    EXPECT_EQ(ide.Next(), "BREAK 00000001");
    ide.Send("RUN ");
    ide.Send("BREAK ");
    EXPECT_EQ(ide.Next(), "BREAK ") << "served between lines, without a line index";
    // Round trips while stopped give the 1 ms timer many chances to come due.
    for (int i = 0; i < 50; ++i) {
      ide.Send("PID ");
      EXPECT_EQ(ide.Next(), "PID ");
    }
    done = true;
    ide.Send("RUN ");
  });
  RuntimeDebuggerEntry(1);
  SetTimerPeriod(&timer, 1);
  SetTimerMode(&timer, kTimerMultiple);
  // The run loop: sockets, pollables; no line runs.
  while (!done || DebugSession().inStop) {
    PollAllSockets(false);
    PollAllPollables();
  }
  ide->Join();
  EXPECT_TRUE(watcher.held) << "thread switching, timers and socket events are held while stopped";
  EXPECT_EQ(sFires, 0) << "no timer Action runs while stopped";
  EXPECT_FALSE(TimersSuspended() || ThreadSwitchingSuspended() || SocketEventsSuppressed());
  gint64 deadline = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
  while (sFires == 0 && g_get_monotonic_time() < deadline) g_main_context_iteration(nullptr, TRUE);
  EXPECT_GT(sFires, 0) << "the due timer fires once the program goes on";
  DestroyTimerState(&timer);
  RemovePollable(&watcher);
}

INSTANTIATE_TEST_SUITE_P(BothLinks, DebugAnswersTest, ::testing::Values(true, false), testing::LinkName);

// No IDE listens: the program reports it and ends with status 1 (the wait shortened to 6 ticks).
TEST(DebugConnectTest, AProgramWhoseIDENeverAnswersReportsItAndExitsWithStatusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A port held bound but never listened on: nobody can answer there.
  int holder = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length), 0);
  testing::DebugLinkTest::sPort = ntohs(address.sin_port);
  EXPECT_EXIT(
      {
        SetDebuggerConnectTicks(6);
        SetDebuggerLinkFactory(&testing::DebugLinkTest::TCPToTestIDE);
        RuntimeDebuggerEntry(1);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(1), "Could not locate the target IDE for debugging");
  close(holder);
}

}  // namespace
}  // namespace vorn
