/*
 * Runtime entry points the calculator calls that no header under include/vorn declares yet.
 * They are bound by name when the image loads, like every other entry point.
 */
#ifndef CALCULATOR_IMAGE_IMPORTS_H
#define CALCULATOR_IMAGE_IMPORTS_H

#include <stdint.h>

#include "vorn/image_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Strings: a string result carries one reference for the caller. */
void RuntimeLockString(VornStringRecord *text);
void RuntimeUnlockString(VornStringRecord *text);
/* Field n (from 1) of source cut at delimiter; empty when there is no such field. */
VornStringRecord *StringNthField(VornStringRecord *source, VornStringRecord *delimiter, int32_t n);

#ifdef __cplusplus
}
#endif

#endif
