/*
 * Runtime entry points the calculator calls that no header under include/vorn declares (yet).
 * They are bound by name when the image loads, like every other entry point; the prototypes
 * are the runtime's (identical redeclarations, so the headers can join them).
 */
#ifndef CALCULATOR_IMAGE_IMPORTS_H
#define CALCULATOR_IMAGE_IMPORTS_H

#include <stdint.h>

#include "vorn/image_abi.h"
#include "vorn/control_api.h"
#include "vorn/controls_api.h"
#include "vorn/object_abi.h"
#include "vorn/popup_api.h"
#include "vorn/window_api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- strings: a string result carries one reference for the caller ----------------------- */
void RuntimeLockString(VornStringRecord *text);
void RuntimeUnlockString(VornStringRecord *text);
/* Field n (from 1) of source cut at delimiter; empty when there is no such field. */
VornStringRecord *StringNthField(VornStringRecord *source, VornStringRecord *delimiter, int32_t n);

/* --- windows ------------------------------------------------------------------------------ */
/* The control filed under name in the window's controls, with a reference; nil when none. */
VornRuntimeObject *RuntimeControlReference(VornRuntimeObject *window, VornStringRecord *name);
/* The member index of the control array of that name, with a reference; nil when none. */
VornRuntimeObject *RuntimeControlArrayItemReference(VornRuntimeObject *window, VornStringRecord *name,
                                                    int32_t index);

#ifdef __cplusplus
}
#endif

#endif
