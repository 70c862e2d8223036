/* A plug-in whose main function fails. */
#include "vorn/plugin_api.h"

int32_t VORNPluginMain(VornPluginResolver resolve) {
  (void)resolve;
  return 7;
}
