/*
 * The object header and the core object entry points, as compiled code sees them.
 *
 * Compiled code is C built for x86-64 without libc. Every language object starts with the
 * header below; the fields the class declares follow it at offsets from
 * VORN_OBJECT_HEADER_SIZE on. A class is an opaque handle (VornRuntimeClass).
 *
 * Exceptions: a raising entry point records the exception in the pending-exception word and
 * returns normally with a zero result. Compiled code tests the word after every call that
 * can raise (VORN_FAILED) and jumps to its handler or to its unwind label. The word lives in
 * the image's data (VORN_DEFINE_PENDING_EXCEPTION); the loader hands its address to the
 * runtime, so reading it costs one load and needs no import. A handler takes the exception
 * over by reading the word and clearing it; it then owns one reference and releases it with
 * RuntimeUnlockObject when done.
 */
#ifndef VORN_OBJECT_ABI_H
#define VORN_OBJECT_ABI_H

#include <stdint.h>

#include "vorn/image_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VornRuntimeClass VornRuntimeClass;

/* One row of an event-handler table: the compiled handler (nil when none) and the event name. */
typedef struct VornEventEntry {
  void *handler;
  VornStringRecord *name;
} VornEventEntry;

typedef struct VornRuntimeObject {
  void **methodTable;          /* the class's method table: virtual methods, base slots first */
  VornRuntimeClass *classPtr;
  VornEventEntry *eventTable;  /* the class's shared table, or the object's private copy */
  int32_t refCount;            /* starts at 1; 0 while the object is being destroyed */
  uint32_t objectId;           /* serial number, for the debugger's object listing */
  uintptr_t liveIndex;         /* the object's slot in the runtime's live-object index */
} VornRuntimeObject;

#define VORN_OBJECT_HEADER_SIZE ((int32_t)sizeof(VornRuntimeObject))

/* Raising the event of index i (counted over the whole class hierarchy, base events first):
 *   void *h = self->eventTable[i].handler; if (h) ((void (*)(VornRuntimeObject *))h)(self); */

/* --- pending exception ------------------------------------------------------------------- */

#define VORN_PENDING_EXCEPTION_SYMBOL vornPendingException
#define VORN_DEFINE_PENDING_EXCEPTION \
  VornRuntimeObject *VORN_PENDING_EXCEPTION_SYMBOL __attribute__((used)) = 0
extern VornRuntimeObject *VORN_PENDING_EXCEPTION_SYMBOL;
#define VORN_FAILED() __builtin_expect(VORN_PENDING_EXCEPTION_SYMBOL != 0, 0)

/* --- entry points ------------------------------------------------------------------------ */

VornRuntimeObject *RuntimeNewObject(VornRuntimeClass *cls);
void RuntimeLockObject(VornRuntimeObject *object);
void RuntimeUnlockObject(VornRuntimeObject *object);
void RuntimeLockUnlockObjects(VornRuntimeObject *newObject, VornRuntimeObject *oldObject);
uint8_t RuntimeObjectIsa(VornRuntimeObject *object, VornRuntimeClass *cls);
VornRuntimeObject *RuntimeCheckCast(VornRuntimeObject *object, VornRuntimeClass *cls);
void **RuntimeLookupInterfaceVtable(VornRuntimeObject *object, VornRuntimeClass *iface);
void *RuntimeFindHookCode(VornRuntimeObject *holder, const void *hook);

void RuntimeRaiseException(VornRuntimeObject *exception);
void RuntimeReraiseException(VornRuntimeObject *exception);
void RuntimeNilObject(void);
void RuntimeRaiseFunctionNotFoundException(void);
void RuntimeUnhandledException(VornRuntimeObject *exception);

/* Generic field accessors: (object, byte offset of the field[, value]). */
int32_t intGetter(VornRuntimeObject *object, int32_t offset);
void intSetter(VornRuntimeObject *object, int32_t offset, int32_t value);
uint8_t boolGetter(VornRuntimeObject *object, int32_t offset);
void boolSetter(VornRuntimeObject *object, int32_t offset, uint8_t value);
int32_t shortGetter(VornRuntimeObject *object, int32_t offset);
void shortSetter(VornRuntimeObject *object, int32_t offset, int32_t value);
float singleGetter(VornRuntimeObject *object, int32_t offset);
void singleSetter(VornRuntimeObject *object, int32_t offset, float value);
double doubleGetter(VornRuntimeObject *object, int32_t offset);
void doubleSetter(VornRuntimeObject *object, int32_t offset, double value);
VornStringRecord *stringGetter(VornRuntimeObject *object, int32_t offset);
void stringSetter(VornRuntimeObject *object, int32_t offset, VornStringRecord *value);
VornRuntimeObject *objGetter(VornRuntimeObject *object, int32_t offset);
void objSetter(VornRuntimeObject *object, int32_t offset, VornRuntimeObject *value);

#ifdef __cplusplus
}
#endif

#endif
