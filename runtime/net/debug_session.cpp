// The stops of a debug session and the loop that serves the IDE while the program is stopped.
#include "net/debug_session.h"

#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "core/pollable.h"
#include "core/suspension.h"
#include "base/background_task.h"
#include "base/ticks.h"
#include "core/termination.h"
#include "core/image_loader.h"
#include "net/debug_memory.h"
#include "net/debugger_encoding.h"
#include "net/serial_control.h"
#include "net/socket_core.h"
#include "objects/arrays.h"
#include "objects/exceptions.h"
#include "objects/runtime_class.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"

// The stop routines read their callers' frames through their own frame record. g++ needs to
// be told to keep it; clang keeps it in any function that takes its frame address.
#if defined(__clang__)
#define VORN_KEEP_FRAME_POINTER
#else
#define VORN_KEEP_FRAME_POINTER gnu::optimize("no-omit-frame-pointer")
#endif

namespace vorn {
namespace {

constexpr const char* kSupportSource = "../Common/DebuggerSupport";
constexpr uint32_t kConnectTicks = 300;
uint32_t sConnectTicks = kConnectTicks;

// The one word a line call tests; everything else waits behind it.
bool sAttention = true;

SmartRef<DebuggerConnection> DefaultLink(const string& host) { return CreateDebuggerConnection(host); }
DebuggerLinkFactory sLinkFactory = &DefaultLink;
void DefaultEnd(int status) { std::exit(status); }
DebuggerProgramEnd sProgramEnd = &DefaultEnd;

class SessionDelegate : public DebuggerConnectionDelegate {
 public:
  void HandleMessage(const string& tag, const string& payload) override {
    DebugSession().resume = DispatchDebuggerCommand(tag, payload);
  }
  void Connected() override { DebugSession().linkUp = true; }
  void Disconnected() override {
    DebugSession().linkUp = false;
    EndDebugSession();
  }
};

class BreakPoller : public Pollable {
 public:
  void Poll() override {
    if (DebugSession().breakPending) RuntimeDebuggerBreak();
  }
};

SessionDelegate sDelegate;
BreakPoller sPoller;
bool sPollerAdded = false;

// The re-entry guard: code run from the nested loop must not stop inside a stop.
class StopGuard {
 public:
  StopGuard() : mOwned(!DebugSession().inStop) { DebugSession().inStop = true; }
  ~StopGuard() {
    if (!mOwned) return;
    DebugSession().inStop = false;
    DebugSession().handedStrings.clear();
  }
  bool Owned() const { return mOwned; }

 private:
  bool mOwned;
};

bool ReportMissingLink(int32_t line) {
  if (DebugSession().link.Get()) return false;
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kSupportSource, line, "sDebugClientSocket", "");
  return true;
}

// One pass of the service loop; true when any socket had bytes to move.
bool ServiceIteration() {
  PollAllPollables();
  PollAllSockets(true);
  bool busy = AnySocketBusy(true);
  RunBackgroundTasks(false);
  return busy;
}

void ServeUntil(bool (*done)()) {
  // A link with nothing to move is not spun on: a stopped program should not burn a core.
  while (!done()) {
    // A termination signal cuts the pause short and is carried out here: the program may be
    // stopped for as long as the IDE likes.
    HandlePendingTermination();
    if (!ServiceIteration() && !done()) usleep(500);
  }
}

// Addresses in disposal reports: upper-case hexadecimal without leading zeros.
string BareHex(uintptr_t address) {
  string hex = HexEncode64(address);
  std::string_view digits = hex.View();
  size_t first = digits.find_first_not_of('0');
  return string(first == std::string_view::npos ? std::string_view("0") : digits.substr(first), kEncodingASCII);
}

void ObjectDisposed(RuntimeObject* object) {
  DebugSessionState& s = DebugSession();
  uintptr_t address = reinterpret_cast<uintptr_t>(object);
  std::erase(s.handedObjects, address);
  for (auto it = s.watchedObjects.begin(); it != s.watchedObjects.end(); ++it) {
    if (*it != address) continue;
    s.watchedObjects.erase(it);
    SendToDebugger("ODN", BareHex(address));
    return;
  }
}

void ArrayFreed(VornArray* array) {
  DebugSessionState& s = DebugSession();
  uintptr_t address = reinterpret_cast<uintptr_t>(array);
  std::erase(s.handedArrays, address);
  for (uintptr_t watched : s.watchedArrays) {
    if (watched == address) SendToDebugger("ADN", BareHex(address));
  }
}

void ExceptionRaised(RuntimeObject* exception);

bool Resumed() { return DebugSession().resume || !DebugSession().link.Get(); }

void Stop(const uintptr_t* frame, const string& payload, const char* tag) {
  DebugSession().currentFrame = frame;
  SendToDebugger(tag, payload);
  DebuggerWaitWhileStopped();
}

uintptr_t CallerFrame(const uintptr_t* frame) {
  uintptr_t caller = 0;
  if (frame) DebugReadMemory(reinterpret_cast<uintptr_t>(frame), &caller, sizeof caller);
  return caller;
}

// The frame record is this routine's own: the line call jumps here, so its first word is the
// caller's frame address and its second the return address into the caller.
[[gnu::noinline, VORN_KEEP_FRAME_POINTER]] void StopAtLine(int32_t line) {
  const auto* frame = static_cast<const uintptr_t*>(__builtin_frame_address(0));
  StopGuard guard;
  if (!guard.Owned()) return;
  DebugSessionState& s = DebugSession();
  s.currentFrame = frame;
  string lineText(HexEncode32(static_cast<uint32_t>(line)).View(), kEncodingASCII);
  if (!s.link.Get()) {
    RuntimeDebuggerConnect();
    Stop(frame, lineText, "BREAK");
    return;
  }
  uintptr_t caller = CallerFrame(frame);
  bool stop = s.stepMode == kStepInto || (s.stepMode == kStepOver && caller >= s.stepFrame) ||
              (s.stepMode == kStepOut && caller > s.stepFrame);
  if (!stop && s.hasBreakpointTable && line >= 0 && line < static_cast<int32_t>(s.breakpoints.size()))
    stop = s.breakpoints[static_cast<size_t>(line)] != 0;
  if (!stop) return;
  s.stepMode = kStepRun;
  UpdateDebuggerAttention();
  Stop(frame, lineText, "BREAK");
}

void ExceptionRaised(RuntimeObject* exception) {
  DebugSessionState& s = DebugSession();
  if (!s.trap || !exception) return;
  string name = ClassOf(exception)->mName;
  if (name.Compare(string("EndException")) == 0) return;
  StopGuard guard;
  if (!guard.Owned()) return;
  Stop(static_cast<const uintptr_t*>(__builtin_frame_address(0)), name, "TRAP");
}

}  // namespace

DebugSessionState& DebugSession() {
  static auto* state = new DebugSessionState();
  return *state;
}

void UpdateDebuggerAttention() {
  const DebugSessionState& s = DebugSession();
  sAttention = !s.link.Get() || s.stepMode != kStepRun || s.breakPending || s.breakpointsSet > 0;
}

void SetDebuggerLinkFactory(DebuggerLinkFactory factory) { sLinkFactory = factory ? factory : &DefaultLink; }
void SetDebuggerProgramEnd(DebuggerProgramEnd end) { sProgramEnd = end ? end : &DefaultEnd; }
void SetDebuggerConnectTicks(uint32_t ticks) { sConnectTicks = ticks ? ticks : kConnectTicks; }

void SendToDebugger(std::string_view tag, const string& payload) {
  if (DebuggerConnection* link = DebugSession().link.Get()) link->Send(string(tag, kEncodingASCII), payload);
}

void SendDebuggerError(const string& tag, const char* reason) {
  string payload = tag;
  payload.AppendCString(" ");
  payload.Append(EncodeDebugString(string(std::string_view(reason), kEncodingASCII)));
  SendToDebugger("ERR", payload);
}

void RequestDebuggerBreak() {
  DebugSessionState& s = DebugSession();
  s.stepMode = kStepInto;
  s.stepFrame = 0;
  s.breakPending = true;
  UpdateDebuggerAttention();
}

void RuntimeDebuggerConnect() {
  DebugSessionState& s = DebugSession();
  s.link = sLinkFactory(s.host);
  if (ReportMissingLink(__LINE__)) return;
  s.linkUp = false;
  s.link->AddDelegate(&sDelegate);
  s.link->Connect();
  uint32_t start = RuntimeTicks();
  while (!s.linkUp) {
    if (RuntimeTicks() - start > sConnectTicks) {
      ReportRuntimeError(kRuntimeErrorKind, kErrorCannotConnectToDebugger, "DebuggerSupport", 0,
                         "Could not locate the target IDE for debugging.",
                         "Since we could not locate the target IDE to start a debug session, this "
                         "application will now exit.");
      sProgramEnd(1);
      s.link = SmartRef<DebuggerConnection>();
      return;
    }
    HandlePendingTermination();
    if (!ServiceIteration()) usleep(500);
  }
  SetObjectDisposedHook(&ObjectDisposed);
  SetExceptionRaiseHook(&ExceptionRaised);
  SetArrayFreedHook(&ArrayFreed);
  if (!sPollerAdded) AddPollable(&sPoller);
  sPollerAdded = true;
  s.dataBase = reinterpret_cast<uintptr_t>(GetDataBase());
  UpdateDebuggerAttention();
}

void DebuggerWaitWhileStopped() {
  DebugSessionState& s = DebugSession();
  s.breakPending = false;
  SuspendThreadSwitching();
  SuspendTimers();
  SuspendSerialEvents();
  SuppressSocketEvents();
  if (!ReportMissingLink(__LINE__)) {
    s.resume = false;
    ServeUntil(&Resumed);
  }
  ResumeThreadSwitching();
  ResumeTimers();
  ResumeSerialEvents();
  ResumeSocketEvents();
  s.retired = SmartRef<DebuggerConnection>();
  UpdateDebuggerAttention();
}

void EndDebugSession() {
  DebugSessionState& s = DebugSession();
  if (DebuggerConnection* link = s.link.Get()) {
    link->RemoveDelegate(&sDelegate);
    link->Close();
  }
  // Called from the link's own callback: the reference is dropped once that is over.
  s.retired = s.link;
  s.link = SmartRef<DebuggerConnection>();
  s.resume = true;
  SetObjectDisposedHook(nullptr);
  SetExceptionRaiseHook(nullptr);
  SetArrayFreedHook(nullptr);
  UpdateDebuggerAttention();
  sProgramEnd(1);
}

bool IsLiveObject(uintptr_t object) {
  if (!object) return false;
  for (int32_t i = 0, n = LiveObjectCount(); i < n; ++i) {
    if (reinterpret_cast<uintptr_t>(LiveObjectAt(i)) == object) return true;
  }
  return false;
}

}  // namespace vorn

extern "C" {

void RemoteDebuggerStartup(VornStringRecord* host) { vorn::DebugSession().host = vorn::string::Share(host); }

// A debug build calls this before every line: with nothing to stop for it is one flag test.
void RuntimeDebuggerEntry(int32_t line) {
  if (__builtin_expect(!vorn::sAttention, 1)) return;
  vorn::StopAtLine(line);
}

[[VORN_KEEP_FRAME_POINTER]] void RuntimeDebuggerBreak(void) {
  vorn::StopGuard guard;
  if (!guard.Owned() || !vorn::DebugSession().link.Get()) return;
  vorn::Stop(static_cast<const uintptr_t*>(__builtin_frame_address(0)), vorn::string(), "BREAK");
}

void RuntimeDebuggerShutdown(void) {
  vorn::DebugSessionState& s = vorn::DebugSession();
  if (vorn::DebuggerConnection* link = s.link.Get()) {
    link->RemoveDelegate(&vorn::sDelegate);
    link->Close();
  }
  s.link = vorn::SmartRef<vorn::DebuggerConnection>();
  s.retired = vorn::SmartRef<vorn::DebuggerConnection>();
  s.linkUp = false;
  vorn::SetObjectDisposedHook(nullptr);
  vorn::SetExceptionRaiseHook(nullptr);
  vorn::SetArrayFreedHook(nullptr);
  vorn::UpdateDebuggerAttention();
}

uint8_t VORNInDebugMode(void) { return vorn::DebugSession().debugRuntime ? 1 : 0; }

}  // extern "C"
