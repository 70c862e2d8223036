/*
 * The class record with which compiled code describes one of its classes or interfaces to
 * the runtime (RuntimeNewClass). Every member is described by its signature text:
 *
 *   name "%" result type "%" parameter types, the owning object first
 *   "Minimum%f8%"                                   a Double property
 *   "GetSliderControl%o<SliderControl>%o<MainWindow>i4"  a method
 *   "=Value%%o<Slider>i4"                           the assignment form of a method
 *   "#ValueChanged%%o<Slider>"                      this class's handler of an inherited event
 *
 * Type codes: i4 Integer, i2 Short, u4 UInteger, f4 Single, f8 Double, s String, b Boolean,
 * c Color, p Ptr, o<Name> an object of class Name, A<n><type> an n-dimensional array.
 * Names beginning with "_" are hidden members.
 *
 * All texts are NUL-terminated ASCII that lives as long as the program (the image's data).
 * The record is read once, when RuntimeNewClass is called; the runtime keeps no pointer to
 * the arrays, only to the texts.
 */
#ifndef VORN_CLASS_ABI_H
#define VORN_CLASS_ABI_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kVornClassRecordVersion = 1,
  kVornClassIsInterface = 0x1,
};

/* A routine with the name under which it is entered in the entry-point directory (nil: none). */
typedef struct VornProcEntry {
  void *function;
  const char *entryName;
} VornProcEntry;

/* A property. getter/setter: an accessor taking (object, param[, value]), or
 * VORN_DIRECT_FIELD for a field at byte offset `param`; a nil setter makes it read-only. */
typedef struct VornClassProperty {
  const char *signature;
  void *getter;
  const char *getterName;
  void *setter;
  const char *setterName;
  int32_t param;
  uint32_t flags;
} VornClassProperty;

#define VORN_DIRECT_FIELD ((void *)1)

/* A method, event declaration or event implementation, told apart by the signature:
 * methods: function set; their slots in the method table follow the superclass's slots in
 * record order, and a method whose name matches an inherited slot replaces it;
 * events: function nil; numbered after all events of the superclasses, in record order;
 * "#" implementations: the handler of the named inherited event for every instance. */
typedef struct VornClassMember {
  const char *signature;
  void *function;
  const char *entryName;
  uint32_t flags;
} VornClassMember;

typedef struct VornClassRecord {
  uint32_t version;    /* kVornClassRecordVersion */
  uint32_t flags;      /* kVornClassIsInterface */
  const char *name;
  const char *superName;  /* nil or "" for a root class */
  int32_t instanceSize;   /* header included; at least the superclass's size */
  VornProcEntry initializer;
  VornProcEntry finalizer;
  const VornClassProperty *properties;
  int32_t propertyCount;
  const VornClassMember *methods;
  int32_t methodCount;
  const VornClassMember *events;
  int32_t eventCount;
  const VornClassMember *eventImplementations;
  int32_t eventImplementationCount;
  const char *const *interfaces;  /* names of implemented interfaces */
  int32_t interfaceCount;
} VornClassRecord;

/* Builds and registers the class; nil (with a runtime error report) for a malformed record,
 * an unknown superclass or interface, or a name already taken. */
VornRuntimeClass *RuntimeNewClass(const VornClassRecord *record);
/* The class of that name, compiled or intrinsic, letter case ignored; nil when there is none. */
VornRuntimeClass *RuntimeLookupClass(VornStringRecord *name);
/* Installs an explicit method table of `count` functions for an interface the class
 * implements (declaration order), replacing the one matched by name; answers the installed
 * table, or nil when the class does not implement the interface or the count is wrong. */
void **RuntimeNewVtable(VornRuntimeClass *cls, VornRuntimeClass *iface, void *const *functions,
                        int32_t count);

#ifdef __cplusplus
}
#endif

#endif
