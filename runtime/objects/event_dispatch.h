// Firing events: finding an object's handler for a hook and calling it with the exact
// prototype of the event, inside an exception boundary. Every router, timer, socket and list
// box fires through FireEvent or CallEventHandler, so an exception a handler leaves pending
// reaches RuntimeUnhandledException at the boundary.
#pragma once

#include <type_traits>

#include "objects/exceptions.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

// The handler the object's event table holds for the hook, or nil (nil object or hook, or
// no handler). A hook of a class the object does not derive from is a fault: nil, and an
// OutOfBoundsException is raised.
void* RuntimeGetHookHandler(RuntimeObject* object, const ObjectHook* hook);

// Calls handler(object, args...) with the object held for the duration of the call. A result
// is the handler's, or zero when it left an exception pending (then reported as unhandled).
template <typename R = void, typename... Args>
R CallEventHandler(void* handler, RuntimeObject* object, Args... args) {
  using Function = R (*)(RuntimeObject*, Args...);
  auto function = reinterpret_cast<Function>(handler);
  RuntimeLockObject(object);
  ExceptionBoundary boundary;
  if constexpr (std::is_void_v<R>) {
    function(object, args...);
    boundary.Close();
    RuntimeUnlockObject(object);
  } else {
    R result = function(object, args...);
    if (boundary.Close()) result = R{};
    RuntimeUnlockObject(object);
    return result;
  }
}

// Fires the hook's event on the object; zero (and nothing called) when it has no handler.
template <typename R = void, typename... Args>
R FireEvent(RuntimeObject* object, const ObjectHook* hook, Args... args) {
  void* handler = RuntimeGetHookHandler(object, hook);
  if (!handler) return R();
  return CallEventHandler<R, Args...>(handler, object, args...);
}

}  // namespace vorn
