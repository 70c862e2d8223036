#include "startup/runtime_init.h"

#include "core/application.h"
#include "base/startup.h"
#include "core/thread_scheduler.h"
#include "graphics/graphics_defaults.h"
#include "net/socket_core.h"
#include "objects/exceptions.h"

namespace vorn {

void InitRuntime() {
  InitGraphicsDefaults();
  InitEllipsisString();
  SetUnhandledExceptionHook(&UnhandledExceptionHook);
  InitStackChecker(MainThreadStackAllowance());
  InitSocketLayer();
  InitDialogFont();
}

}  // namespace vorn
