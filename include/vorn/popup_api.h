/*
 * Entry points of the data-binding binders and of the PopupMenu and ComboBox controls, as
 * compiled code calls them. Objects come first; a string or object result carries one
 * reference for the caller; string arguments are borrowed.
 */
#ifndef VORN_POPUP_API_H
#define VORN_POPUP_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- binders ----------------------------------------------------------------------------- */

void enablingBinderBind(VornRuntimeObject *binder, VornRuntimeObject *source, VornRuntimeObject *dest);
void enablingBinderReload(VornRuntimeObject *binder);
void actionBinderBind(VornRuntimeObject *binder, VornRuntimeObject *source, VornRuntimeObject *dest);
void stringBinderBind(VornRuntimeObject *binder, VornRuntimeObject *source, VornRuntimeObject *dest);
void stringBinderReload(VornRuntimeObject *binder);
void listBinderBind(VornRuntimeObject *binder, VornRuntimeObject *source, VornRuntimeObject *dest);

#ifdef __cplusplus
}
#endif

#endif
