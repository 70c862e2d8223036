// The runtime side of a debug session: the state the line calls test, the stops, the nested
// service loop and the command dispatcher. One session per process, on the run-loop thread.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "net/debugger_connection.h"
#include "vorn/debug_api.h"

namespace vorn {

enum DebugStepMode : int32_t { kStepRun = 0, kStepInto = 1, kStepOver = 2, kStepOut = 3 };

struct DebugSessionState {
  SmartRef<DebuggerConnection> link;
  string host;
  bool debugRuntime = false;
  bool inStop = false;
  int32_t stepMode = kStepRun;
  uintptr_t stepFrame = 0;
  // The frame record of the routine that last stopped: word 0 the caller's frame address,
  // word 1 the return address into the caller.
  const uintptr_t* currentFrame = nullptr;
  std::vector<uint8_t> breakpoints;
  bool hasBreakpointTable = false;
  int32_t breakpointsSet = 0;
  bool breakPending = false;
  bool trap = false;
  std::vector<uintptr_t> watchedObjects;
  std::vector<uintptr_t> watchedArrays;
  // References the session answered with, the only ones later commands may use.
  std::vector<uintptr_t> handedObjects;
  std::vector<uintptr_t> handedArrays;
  // String references read by DS (or written by SS) in the present stop; the program running on
  // may free them, so they hold only until it goes on.
  std::vector<uintptr_t> handedStrings;
  uint64_t dataBase = 0;
  bool resume = false;
  bool linkUp = false;
  // A link ended from inside its own callback; released once that callback is over.
  SmartRef<DebuggerConnection> retired;
};

DebugSessionState& DebugSession();
// Recomputes the one flag a line call tests: set while the session is not connected, a step
// or break is pending, or any breakpoint is set.
void UpdateDebuggerAttention();

void RequestDebuggerBreak();
void RuntimeDebuggerConnect();
void DebuggerWaitWhileStopped();
void SendToDebugger(std::string_view tag, const string& payload);
// Answers a request that cannot be served: ERR, the request's tag, a blank and the reason.
void SendDebuggerError(const string& tag, const char* reason);
// True (resume) for RUN, STEP, STEPOVER, STEPOUT and BREAK.
bool DispatchDebuggerCommand(const string& tag, const string& payload);
// Ends the session and then the program with status 1 (QUIT, a lost link).
void EndDebugSession();

// How the session makes its link and how a session end leaves the program; tests install
// their own (a link to their ephemeral port, an end that does not exit).
using DebuggerLinkFactory = SmartRef<DebuggerConnection> (*)(const string& host);
void SetDebuggerLinkFactory(DebuggerLinkFactory factory);
using DebuggerProgramEnd = void (*)(int status);
void SetDebuggerProgramEnd(DebuggerProgramEnd end);
// How long the first line call waits for the IDE; tests shorten it (0 restores 300 ticks).
void SetDebuggerConnectTicks(uint32_t ticks);

// Live runtime objects (the object index) and readable array headers only.
bool IsLiveObject(uintptr_t object);

}  // namespace vorn
