// The KeyChain members the System module lists, from the inert KeyChain of this platform
// (subsystem 1's stubbed platform classes): there is no keychain here, so the default
// keychain reads nil, setting it does nothing and the count is 0.
#include "vorn/system_api.h"

extern "C" {

VornRuntimeObject* systemGetDefaultKeyChain(VornRuntimeObject*, int32_t) { return nullptr; }
void systemSetDefaultKeyChain(VornRuntimeObject*, int32_t, VornRuntimeObject*) {}
int32_t systemGetKeyChainCount(VornRuntimeObject*, int32_t) { return 0; }

}  // extern "C"
