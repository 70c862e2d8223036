/* A plug-in one of whose registrations is refused but whose main function answers success:
 * "Refusing.Speed" is entered with one function, entered again with the same one (allowed),
 * then claimed for another function (refused). */
#include "vorn/plugin_api.h"

static int32_t First(void) { return 1; }
static int32_t Second(void) { return 2; }

static const VornPluginModuleFunction kFirst[] = {{"Speed%i4%", (void *)&First}};
static const VornPluginModuleFunction kSecond[] = {{"Speed%i4%", (void *)&Second}};
static const VornPluginModule kFirstModule = {"Refusing", kFirst, 1};
static const VornPluginModule kSecondModule = {"Refusing", kSecond, 1};

int32_t VORNPluginMain(VornPluginResolver resolve) {
  int32_t (*registerModule)(const VornPluginModule *) =
      (int32_t (*)(const VornPluginModule *))resolve("PluginRegisterModule");
  if (!registerModule || !registerModule(&kFirstModule) || !registerModule(&kFirstModule)) return 3;
  if (registerModule(&kSecondModule)) return 4;
  return 0;
}
