/*
 * What a debug build of a program calls: the session start, a call before every source line,
 * the break request and the end; plus the object dump and the plug-ins' debug-mode test.
 */
#ifndef VORN_DEBUG_API_H
#define VORN_DEBUG_API_H

#include <stdint.h>

#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

void DebugRuntimeInit(void);
void RemoteDebuggerStartup(VornStringRecord *host);
/* Before each source line; the first call connects to the IDE and stops. */
void RuntimeDebuggerEntry(int32_t line);
void RuntimeDebuggerBreak(void);
void RuntimeDebuggerShutdown(void);
void debugDumpObjects(VornStringRecord *path);
uint8_t VORNInDebugMode(void);

/* Sockets that belong to a language object: their count and, retained, the index-th owner. */
int32_t DebuggerSocketCount(void);
VornRuntimeObject *DebuggerSocketLookup(int32_t index);

#ifdef __cplusplus
}
#endif

#endif
