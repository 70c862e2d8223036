/*
 * Runtime arrays, as compiled code sees them.
 *
 * An array is a reference-counted header followed by the upper bound of each dimension; the
 * elements live in a separate buffer. An empty dimension has the upper bound -1. The first
 * index runs fastest: element (i, j) of a two-dimensional array is element
 * i + j * (upperBound[0] + 1) of the buffer.
 *
 * String and object elements hold one reference each. Getters of string and object elements
 * hand out a new reference, which the caller releases; setters retain the new value before
 * releasing the old one.
 *
 * Every operation checks its indexes: an index outside 0..upperBound raises
 * OutOfBoundsException (a nil array NilObjectException) and the call returns its zero result.
 * Compiled code may read and write one-dimensional arrays inline, with the same check:
 *
 *   if ((uint32_t)i >= (uint32_t)a->count) { RuntimeRaiseOutOfBoundsException(); ... }
 *   value = ((int32_t *)a->data)[i];
 *
 * The operation table is chosen by element kind and number of dimensions when the array is
 * made. Its get and set slots take one index for one dimension, two for two, and an index
 * vector (first dimension first) for more; the value travels with the C type of its kind
 * (Integer int32_t, Short int32_t sign-extended, UInteger and Color uint32_t, Boolean
 * uint8_t, Single float, Double double, String VornStringRecord*, Object VornRuntimeObject*,
 * Ptr void*). Slots a kind or a shape has no use for are nil.
 */
#ifndef VORN_ARRAY_ABI_H
#define VORN_ARRAY_ABI_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

enum VornArrayElementKind {
  kVornArrayInteger = 1,
  kVornArrayShort = 2,
  kVornArrayUInteger = 3,
  kVornArraySingle = 4,
  kVornArrayDouble = 5,
  kVornArrayBoolean = 6,
  kVornArrayColor = 7,
  kVornArrayString = 8,
  kVornArrayObject = 9,
  kVornArrayPtr = 10,
};

enum { kVornArrayMaxDimensions = 8 };

/* Slots of the operation table. */
enum VornArrayOperation {
  kVornArrayOpFree = 0,     /* void (VornArray*): releases the elements and frees the array */
  kVornArrayOpGet = 1,      /* value (VornArray*, indexes...) */
  kVornArrayOpSet = 2,      /* void (VornArray*, indexes..., value) */
  kVornArrayOpAppend = 3,   /* void (VornArray*, value): one dimension only */
  kVornArrayOpInsert = 4,   /* void (VornArray*, int32_t index, value): 0..count */
  kVornArrayOpRemove = 5,   /* void (VornArray*, int32_t index) */
  kVornArrayOpPop = 6,      /* value (VornArray*): removes and answers the last element */
  kVornArrayOpIndexOf = 7,  /* int32_t (VornArray*, value, int32_t start): -1 when absent */
  kVornArrayOpRedim = 8,    /* void (VornArray*, const int32_t* upperBounds) */
  kVornArrayOpSort = 9,     /* void (VornArray*): ascending; strings without regard to case */
  kVornArrayOpCount = 16
};

typedef struct VornArray {
  int32_t refCount;          /* starts at 1 */
  int32_t dimensions;        /* 1 .. kVornArrayMaxDimensions */
  void *const *operations;   /* kVornArrayOpCount slots */
  void *data;                /* the elements, first index fastest; nil while empty */
  int64_t bufferLength;      /* bytes allocated for data */
  int32_t growthStep;        /* elements added at a time when appending to a full buffer */
  int32_t elementKind;       /* VornArrayElementKind */
  int32_t elementSize;       /* bytes per element */
  int32_t count;             /* elements in use: the product of (upperBound + 1) */
  int32_t upperBound[];      /* one per dimension; -1 when the dimension is empty */
} VornArray;

void RuntimeRaiseOutOfBoundsException(void);

/* A new array of `dimensions` dimensions, each with the upper bound given (-1: empty);
 * zero-filled. Nil, with an exception pending, for an unknown kind, a bad dimension count or
 * a size beyond memory. */
VornArray *CreateArray(int32_t elementKind, int32_t dimensions, int32_t upperBound);
VornArray *RuntimeArray(int32_t dimensions, int32_t elementKind, int32_t upperBound);
/* Each dimension with its own upper bound (first dimension first). */
VornArray *RuntimeNewArray(int32_t elementKind, int32_t dimensions, const int32_t *upperBounds);

void RuntimeLockArray(VornArray *array);
void RuntimeUnlockArray(VornArray *array);
void RuntimeLockUnlockArrays(VornArray *newArray, VornArray *oldArray);

/* Upper bound of a one-dimensional array. */
int32_t RuntimeUBound(VornArray *array);
/* Upper bound of dimension 1..dimensions; the number of dimensions for -1. */
int32_t RuntimeUBound2Param(VornArray *array, int32_t dimension);

/* One-dimensional arrays of kinds passed in integer registers (every kind but Single and
 * Double; Boolean, Short, Color and UInteger are taken from the low bits). */
void RuntimeArrayAppend(VornArray *array, intptr_t value);
void RuntimeArrayInsert(VornArray *array, int32_t index, intptr_t value);
/* Single and Double arrays. */
void RuntimeArrayAppendDouble(VornArray *array, double value);
void RuntimeArrayRemove(VornArray *array, int32_t index);
/* Changes the upper bounds, keeping every element whose indexes stay valid. */
void RuntimeArrayRedim(VornArray *array, const int32_t *upperBounds);

/* Element i of a one-dimensional Integer, String (retained) or Object (retained) array. */
int32_t RuntimeDirectReadIntArray(VornArray *array, int32_t index);
VornStringRecord *RuntimeDirectReadStringArray(VornArray *array, int32_t index);
VornRuntimeObject *RuntimeDirectReadObjectArray(VornArray *array, int32_t index);

/* Accessors of array-typed properties: (object, field offset[, value]); the getter hands out a
 * reference. */
VornArray *arrayGetter(VornRuntimeObject *object, int32_t offset);
void arraySetter(VornRuntimeObject *object, int32_t offset, VornArray *value);

#ifdef __cplusplus
}
#endif

#endif
