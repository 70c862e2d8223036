#include "startup/runtime_init.h"

#include "core/application.h"
#include "core/startup.h"
#include "graphics/graphics_defaults.h"
#include "net/socket_core.h"
#include "objects/exceptions.h"

namespace vorn {

void InitRuntime() {
  InitGraphicsDefaults();
  SetUnhandledExceptionHook(&UnhandledExceptionHook);
  InitSocketLayer();
  InitDialogFont();
}

}  // namespace vorn
