// The object dump of a debug build, and the sockets the debugger may list.
#include <memory>
#include <string>

#include "files/data_file.h"
#include "net/socket_core.h"
#include "objects/debug_module.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"
#include "vorn/debug_api.h"

extern "C" {

void debugDumpObjects(VornStringRecord* path) {
  vorn::string file = vorn::string::Share(path);
  std::unique_ptr<vorn::DataFile> stream(vorn::NewDataFile());
  if (!stream || !stream->Create(file.CString())) return;
  VornRuntimeObject* debug = RuntimeDebugInstance();
  std::string text = std::to_string(RuntimeDebugMemoryUsed(debug, 0)) + " used in heap1\n";
  int32_t count = RuntimeDebugObjectCount(debug, 0);
  text += std::to_string(count) + " objects\n";
  for (int32_t i = 0; i < count; ++i) {
    VornStringRecord* name = RuntimeDebugObjectClass(debug, i);
    text += std::string(vorn::string::Share(name).View()) + "\n";
    RuntimeUnlockString(name);
  }
  RuntimeUnlockObject(debug);
  stream->Write(text.data(), static_cast<int32_t>(text.size()));
}

int32_t DebuggerSocketCount(void) {
  int32_t count = 0;
  for (vorn::SocketCore* socket : vorn::SocketList()) count += socket->Owner() != nullptr;
  return count;
}

VornRuntimeObject* DebuggerSocketLookup(int32_t index) {
  for (vorn::SocketCore* socket : vorn::SocketList()) {
    if (!socket->Owner() || index-- != 0) continue;
    RuntimeLockObject(socket->Owner());
    return socket->Owner();
  }
  return nullptr;
}

}  // extern "C"
