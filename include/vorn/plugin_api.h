/*
 * What a plug-in library sees of the runtime. A plug-in is a shared object carried in the
 * application's executable as a 'VNPl' resource. At start-up the runtime extracts it to a
 * private file, loads it and calls its VORNPluginMain with a resolver: the resolver answers
 * any runtime entry point by name (the function, or nil when the runtime has none by that
 * name). While VORNPluginMain runs, the environment variable VNPLUGINPATH names the loaded
 * file. VORNPluginMain answers 0 when it registered everything it meant to, anything else
 * when it failed; a failing plug-in is reported by name and the program goes on.
 */
#ifndef VORN_PLUGIN_API_H
#define VORN_PLUGIN_API_H

#include <stdint.h>

#include "vorn/class_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void *(*VornPluginResolver)(const char *name);
typedef int32_t (*VornPluginMainFunction)(VornPluginResolver resolve);

/* Registers a class described by the class record of compiled code. Besides the class, the
 * directory gets "Class.Property.Get", "Class.Property.Set" and "Class.Method" rows for its
 * accessor and method functions. Nil (with a message naming the plug-in) for a record with
 * no name, an absurd member count or a member without a signature. */
VornRuntimeClass *PluginRegisterClass(const VornClassRecord *record);

/* One function of a plug-in module: entered in the directory as "Module.Name". */
typedef struct VornPluginModuleFunction {
  const char *signature; /* name "%" result "%" parameters, as in class records */
  void *function;
} VornPluginModuleFunction;

typedef struct VornPluginModule {
  const char *name;
  const VornPluginModuleFunction *functions;
  int32_t functionCount;
} VornPluginModule;

/* Answers 1 when the module was registered, 0 when it was refused. */
int32_t PluginRegisterModule(const VornPluginModule *module);

/* Marks the plug-in being loaded as one that uses sockets; answers its record (nil outside
 * loading). */
void *PluginMarkSocketUsage(void);

#ifdef __cplusplus
}
#endif

#endif
