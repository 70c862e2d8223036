#include "objects/exceptions.h"

#include <sys/times.h>
#include <unistd.h>

#include <string>

#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

RuntimeObject* sOwnPendingWord = nullptr;
RuntimeObject** sPendingSlot = &sOwnPendingWord;
ExceptionCallback sRaiseHook = nullptr;
ExceptionCallback sUnhandledHook = nullptr;
DispatchHooks sDispatchHooks;

PropertyRow kExceptionProperties[] = {
    {0, "ErrorNumber", "i4", reinterpret_cast<void*>(&intGetter), "intGetter",
     reinterpret_cast<void*>(&intSetter), "intSetter", kExceptionErrorNumberOffset, 0},
    {0, "Message", "s", reinterpret_cast<void*>(&stringGetter), "stringGetter",
     reinterpret_cast<void*>(&stringSetter), "stringSetter", kExceptionMessageOffset, 0},
};

ObjectDefinition* BuildException(ObjectDefinition& definition, const char* name) {
  if (definition.mName.IsEmpty()) {
    definition.mName = string(name);
    definition.mInstanceSize = static_cast<int32_t>(sizeof(RuntimeExceptionObject));
    if (std::string_view(name) == "RuntimeException") {
      definition.mFinalizer = {reinterpret_cast<void*>(&RuntimeExceptionFinalizer), "RuntimeExceptionFinalizer"};
      definition.SetInstanceVariables(BuildPropertyList(kExceptionProperties, 2));
    } else {
      definition.mSuper = GetRuntimeExceptionClassDefinition();
    }
  }
  return &definition;
}

bool IsException(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetRuntimeExceptionClassDefinition());
}

void RaiseNew(ObjectDefinition* definition, const string* message, int32_t errorNumber) {
  if (!definition) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/Object Model/Exceptions",
                       __LINE__, "defn", "");
    definition = GetRuntimeExceptionClassDefinition();
  }
  RuntimeObject* exception = CreateInstanceFromDefinition(definition);
  if (!exception) return;
  if (IsException(exception)) {
    auto* fields = reinterpret_cast<RuntimeExceptionObject*>(exception);
    fields->errorNumber = errorNumber;
    if (message) fields->message = message->GetRetainedRep();
  }
  RuntimeRaiseException(exception);
  RuntimeUnlockObject(exception);
}

}  // namespace

#define VORN_EXCEPTION_GETTER(Name)                      \
  ObjectDefinition* Get##Name##ClassDefinition() {       \
    static ObjectDefinition definition;                  \
    return BuildException(definition, #Name);            \
  }

VORN_EXCEPTION_GETTER(RuntimeException)
VORN_EXCEPTION_GETTER(NilObjectException)
VORN_EXCEPTION_GETTER(OutOfBoundsException)
VORN_EXCEPTION_GETTER(IllegalCastException)
VORN_EXCEPTION_GETTER(TypeMismatchException)
VORN_EXCEPTION_GETTER(OutOfMemoryException)
VORN_EXCEPTION_GETTER(KeyNotFoundException)
VORN_EXCEPTION_GETTER(StackOverflowException)
VORN_EXCEPTION_GETTER(EndException)
VORN_EXCEPTION_GETTER(ThreadAlreadyRunningException)
VORN_EXCEPTION_GETTER(IllegalLockingException)
VORN_EXCEPTION_GETTER(UnsupportedFormatException)
VORN_EXCEPTION_GETTER(InvalidParentException)
VORN_EXCEPTION_GETTER(FunctionNotFoundException)

#undef VORN_EXCEPTION_GETTER

void RegisterExceptionClasses() {
  RegisterIntrinsicClassList({
      {"RuntimeException", GetRuntimeExceptionClassDefinition},
      {"NilObjectException", GetNilObjectExceptionClassDefinition},
      {"OutOfBoundsException", GetOutOfBoundsExceptionClassDefinition},
      {"IllegalCastException", GetIllegalCastExceptionClassDefinition},
      {"TypeMismatchException", GetTypeMismatchExceptionClassDefinition},
      {"OutOfMemoryException", GetOutOfMemoryExceptionClassDefinition},
      {"KeyNotFoundException", GetKeyNotFoundExceptionClassDefinition},
      {"StackOverflowException", GetStackOverflowExceptionClassDefinition},
      {"EndException", GetEndExceptionClassDefinition},
      {"ThreadAlreadyRunningException", GetThreadAlreadyRunningExceptionClassDefinition},
      {"IllegalLockingException", GetIllegalLockingExceptionClassDefinition},
      {"UnsupportedFormatException", GetUnsupportedFormatExceptionClassDefinition},
      {"InvalidParentException", GetInvalidParentExceptionClassDefinition},
      {"FunctionNotFoundException", GetFunctionNotFoundExceptionClassDefinition},
  });
}

string ExceptionMessage(RuntimeObject* exception) {
  if (!IsException(exception)) return {};
  return string::Share(reinterpret_cast<RuntimeExceptionObject*>(exception)->message);
}

int32_t ExceptionErrorNumber(RuntimeObject* exception) {
  if (!IsException(exception)) return 0;
  return reinterpret_cast<RuntimeExceptionObject*>(exception)->errorNumber;
}

void RuntimeRaiseExceptionWithMessage(ObjectDefinition* definition, int32_t errorNumber, const string& message) {
  RaiseNew(definition, &message, errorNumber);
}

void RuntimeRaiseExceptionWithMessage(ObjectDefinition* definition, const string& message, int32_t errorNumber) {
  RaiseNew(definition, &message, errorNumber);
}

void RuntimeRaiseExceptionWithMessage(ObjectDefinition* definition, const string& message) {
  RaiseNew(definition, &message, 0);
}

RuntimeObject* PendingException() { return *sPendingSlot; }

RuntimeObject* TakePendingException() {
  RuntimeObject* exception = *sPendingSlot;
  *sPendingSlot = nullptr;
  return exception;
}

void RestorePendingException(RuntimeObject* exception) {
  RuntimeObject* current = *sPendingSlot;
  *sPendingSlot = exception;
  RuntimeUnlockObject(current);  // the caller's reference replaces the word's, also for the same object
}

void SetPendingExceptionSlot(RuntimeObject** slot) {
  RuntimeObject* pending = TakePendingException();
  sPendingSlot = slot ? slot : &sOwnPendingWord;
  RestorePendingException(pending);
}

ExceptionBoundary::ExceptionBoundary() : mOuter(TakePendingException()) {
  if (sDispatchHooks.enter) sDispatchHooks.enter();
}

ExceptionBoundary::~ExceptionBoundary() { Close(); }

bool ExceptionBoundary::Close() {
  if (mClosed) return mFailed;
  mClosed = true;
  if (RuntimeObject* left = TakePendingException()) {
    mFailed = true;
    RuntimeUnhandledException(left);
    RuntimeUnlockObject(left);
  }
  RestorePendingException(mOuter);
  // The report above still belongs to the call: it may run handlers of its own.
  if (sDispatchHooks.leave) sDispatchHooks.leave();
  return mFailed;
}

void SetDispatchHooks(const DispatchHooks& hooks) { sDispatchHooks = hooks; }

ExceptionCallback SetExceptionRaiseHook(ExceptionCallback hook) {
  ExceptionCallback previous = sRaiseHook;
  sRaiseHook = hook;
  return previous;
}

ExceptionCallback SetUnhandledExceptionHook(ExceptionCallback hook) {
  ExceptionCallback previous = sUnhandledHook;
  sUnhandledHook = hook;
  return previous;
}

}  // namespace vorn

extern "C" {

void RuntimeRaiseException(VornRuntimeObject* exception) {
  using namespace vorn;
  if (!exception) {
    RuntimeRaiseNilObjectException();
    return;
  }
  if (sRaiseHook) sRaiseHook(exception);
  RuntimeLockObject(exception);
  RestorePendingException(exception);  // the newest exception wins
}

void RuntimeReraiseException(VornRuntimeObject* exception) {
  using namespace vorn;
  if (!exception) return;
  RuntimeLockObject(exception);
  RestorePendingException(exception);
}

void RuntimeRaiseExceptionDefinition(vorn::ObjectDefinition* definition) {
  vorn::RaiseNew(definition, nullptr, 0);
}

void RuntimeRaiseNilObjectException(void) {
  vorn::RaiseNew(vorn::GetNilObjectExceptionClassDefinition(), nullptr, 0);
}

void RuntimeRaiseOutOfBoundsException(void) {
  vorn::RaiseNew(vorn::GetOutOfBoundsExceptionClassDefinition(), nullptr, 0);
}

void RuntimeNilObject(void) { RuntimeRaiseNilObjectException(); }

void RuntimeRaiseFunctionNotFoundException(void) {
  vorn::RaiseNew(vorn::GetFunctionNotFoundExceptionClassDefinition(), nullptr, 0);
}

void RuntimeExceptionFinalizer(VornRuntimeObject* exception) {
  auto* fields = reinterpret_cast<vorn::RuntimeExceptionObject*>(exception);
  VornStringRecord* message = fields->message;
  fields->message = nullptr;
  RuntimeUnlockString(message);
}

void RuntimeUnhandledException(VornRuntimeObject* exception) {
  using namespace vorn;
  if (!exception) return;
  RuntimeLockObject(exception);
  if (sUnhandledHook) {
    sUnhandledHook(exception);
  } else {
    std::string text = "An exception of class " + std::string(exception->classPtr->mName.View()) +
                       " was not handled.  The application must shut down.";
    ReportRuntimeError(kRuntimeErrorKind, kErrorUnhandledException, "../Common/Object Model/Exceptions",
                       __LINE__, "exception", text.c_str());
  }
  RuntimeUnlockObject(exception);
}

int32_t TickCountMilliseconds(void) {
  static const long kClockTicksPerSecond = sysconf(_SC_CLK_TCK) > 0 ? sysconf(_SC_CLK_TCK) : 100;
  struct tms unused;
  int64_t clock = static_cast<int64_t>(times(&unused));
  int64_t ticks = clock * 60 / kClockTicksPerSecond;
  uint64_t wrapped = static_cast<uint64_t>(ticks * 50 / 3);
  return static_cast<int32_t>(static_cast<uint32_t>(wrapped));
}

}  // extern "C"
