/*
 * The language's MouseCursor class and the cursors module as compiled code calls them.
 *
 * Object results carry one reference for the caller. The module's getters answer the same
 * object on every call; getArrowCursor, getWatchCursor and getIBeamCursor a new one each time.
 */
#ifndef VORN_CURSOR_API_H
#define VORN_CURSOR_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A MouseCursor holds its native cursor record in the first field after the header. */
typedef struct VornMouseCursorObject {
  VornRuntimeObject header;
  void *record;
} VornMouseCursorObject;

void mouseCursorDestructor(VornRuntimeObject *cursor);

/* The one instance of the module behind System.Cursors. */
VornRuntimeObject *GetCursorsClass(void);
VornRuntimeObject *GetHandOpenCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetHandClosedCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetFingerPointerCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetEastWestCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetNorthSouthCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetNorthEastSouthWestCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetNorthWestSouthEastCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetAllDirectionsCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetSplitterEastWestCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetSplitterNorthSouthCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetStandardPointerCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetTheIBeamCursor(VornRuntimeObject *module, int32_t param);
VornRuntimeObject *GetWaitCursor(VornRuntimeObject *module, int32_t param);

VornRuntimeObject *getArrowCursor(void);
VornRuntimeObject *getWatchCursor(void);
VornRuntimeObject *getIBeamCursor(void);

/* The 'CURS' resource of that id (taken as 16 bits) as a new cursor; nil when missing or
   shorter than a whole cursor record. */
VornRuntimeObject *RuntimeGetCursorFromResourceManager(int32_t id);

/* The application's cursor, shown over every window while set; nil gives the windows and
   controls their own again. */
void appMouseCursorSetter(VornRuntimeObject *app, int32_t param, VornRuntimeObject *cursor);

/* While on (the default), the pointer over the application's windows is the watch whenever
   the program keeps the main thread from its event loop for more than half a second. */
void EnableAutoWaitCursor(void);
void DisableAutoWaitCursor(void);

#ifdef __cplusplus
}
#endif

#endif
