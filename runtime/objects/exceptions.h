// Runtime exceptions. A raise records the exception as pending for the current runtime
// thread and returns normally; compiled code tests the pending word after the call (see
// vorn/object_abi.h). Native code that calls compiled code (events, destructors) wraps the
// call in an ExceptionBoundary, so an exception the callee leaves pending goes to
// RuntimeUnhandledException instead of surfacing in unrelated code later.
#pragma once

#include <cstddef>
#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

// The fields every exception object has after the header.
struct RuntimeExceptionObject {
  RuntimeObject header;
  int32_t errorNumber;
  StringRep* message;
};
constexpr int32_t kExceptionErrorNumberOffset =
    static_cast<int32_t>(offsetof(RuntimeExceptionObject, errorNumber));
constexpr int32_t kExceptionMessageOffset = static_cast<int32_t>(offsetof(RuntimeExceptionObject, message));

ObjectDefinition* GetRuntimeExceptionClassDefinition();
ObjectDefinition* GetNilObjectExceptionClassDefinition();
ObjectDefinition* GetOutOfBoundsExceptionClassDefinition();
ObjectDefinition* GetIllegalCastExceptionClassDefinition();
ObjectDefinition* GetTypeMismatchExceptionClassDefinition();
ObjectDefinition* GetOutOfMemoryExceptionClassDefinition();
ObjectDefinition* GetKeyNotFoundExceptionClassDefinition();
ObjectDefinition* GetStackOverflowExceptionClassDefinition();
ObjectDefinition* GetEndExceptionClassDefinition();
ObjectDefinition* GetThreadAlreadyRunningExceptionClassDefinition();
ObjectDefinition* GetIllegalLockingExceptionClassDefinition();
ObjectDefinition* GetUnsupportedFormatExceptionClassDefinition();
ObjectDefinition* GetInvalidParentExceptionClassDefinition();
ObjectDefinition* GetFunctionNotFoundExceptionClassDefinition();

// Registers RuntimeException and its subclasses, in that order, with the intrinsic class map.
void RegisterExceptionClasses();

// Message and ErrorNumber of an exception object; empty and 0 for anything else.
string ExceptionMessage(RuntimeObject* exception);
int32_t ExceptionErrorNumber(RuntimeObject* exception);

// --- raising from native code -------------------------------------------------------------

// A new exception of that class with Message and ErrorNumber set, raised. The argument order
// differs between callers, so both orders are offered; without a number it is 0.
void RuntimeRaiseExceptionWithMessage(ObjectDefinition* definition, int32_t errorNumber, const string& message);
void RuntimeRaiseExceptionWithMessage(ObjectDefinition* definition, const string& message, int32_t errorNumber);
void RuntimeRaiseExceptionWithMessage(ObjectDefinition* definition, const string& message);

// --- the pending word -----------------------------------------------------------------------

RuntimeObject* PendingException();
// Hands the pending exception (and its reference) to the caller and clears the word.
RuntimeObject* TakePendingException();
// Puts an exception taken earlier back, with its reference; one pending meanwhile is released.
void RestorePendingException(RuntimeObject* exception);
// Points the runtime at the word compiled code reads (nil: the runtime's own word). A pending
// exception moves to the new word.
void SetPendingExceptionSlot(RuntimeObject** slot);

// Told when a boundary opens and when it closes, that is, when native code starts and ends a
// call into compiled code. The window layer counts these to know whether anything it frees
// may still be in use further up the stack.
struct DispatchHooks {
  void (*enter)() = nullptr;
  void (*leave)() = nullptr;
};
void SetDispatchHooks(const DispatchHooks& hooks);

class ExceptionBoundary {
 public:
  ExceptionBoundary();
  ~ExceptionBoundary();
  ExceptionBoundary(const ExceptionBoundary&) = delete;
  ExceptionBoundary& operator=(const ExceptionBoundary&) = delete;
  // Sends an exception left pending since construction to RuntimeUnhandledException and
  // puts back what was pending before; true when there was one. Runs once.
  bool Close();

 private:
  RuntimeObject* mOuter;
  bool mClosed = false;
  bool mFailed = false;
};

using ExceptionCallback = void (*)(RuntimeObject* exception);
// Called first by every raise with the exception (the debugger's trap); answers the previous.
ExceptionCallback SetExceptionRaiseHook(ExceptionCallback hook);
// Called by RuntimeUnhandledException; answers the previous.
ExceptionCallback SetUnhandledExceptionHook(ExceptionCallback hook);

}  // namespace vorn

extern "C" {
void RuntimeRaiseExceptionDefinition(vorn::ObjectDefinition* definition);
void RuntimeRaiseNilObjectException(void);
void RuntimeRaiseOutOfBoundsException(void);
void RuntimeExceptionFinalizer(VornRuntimeObject* exception);
// Milliseconds from the tick count (ticks * 50 / 3), wrapped into a signed 32-bit value.
int32_t TickCountMilliseconds(void);
}
