/*
 * The language's Clipboard class as compiled code calls it.
 *
 * Text goes through the desktop clipboard and is seen by other programs. Pictures and typed
 * data ("MacData", "RawData") travel between the clipboard objects of this one program only,
 * each type on a private clipboard of its own. String and object results carry one reference
 * for the caller.
 */
#ifndef VORN_CLIPBOARD_API_H
#define VORN_CLIPBOARD_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VornClipboardObject {
  VornRuntimeObject header;
  uint8_t open; /* set by the initializer */
} VornClipboardObject;

void ClipboardInitializer(VornRuntimeObject *clip);
void ClipboardFinalizer(VornRuntimeObject *clip);

void clipboardSetText(VornRuntimeObject *clip, VornStringRecord *text);
void clipboardTextSetter(VornRuntimeObject *clip, int32_t param, VornStringRecord *text);
/* UTF-8; the empty string when the clipboard holds no text. */
VornStringRecord *clipboardTextGetter(VornRuntimeObject *clip, int32_t param);
uint8_t clipboardTextAvailable(VornRuntimeObject *clip);
/* Does nothing. */
void clipboardClose(VornRuntimeObject *clip);

/* A nil picture, or one without a bitmap, changes nothing. */
void clipboardPictureSetter(VornRuntimeObject *clip, int32_t param, VornRuntimeObject *picture);
/* A new picture of what this program put there; nil otherwise. */
VornRuntimeObject *clipboardPictureGetter(VornRuntimeObject *clip, int32_t param);
uint8_t clipboardPictureAvailable(VornRuntimeObject *clip);

/* Adds nothing while the display has never heard of the type's name: asking
   clipboardMacDataAvailable or clipboardMacData about the type first makes it known. */
void clipboardAddMacData(VornRuntimeObject *clip, VornStringRecord *data, VornStringRecord *macType);
/* The bytes with their encoding; the empty string when there are none. */
VornStringRecord *clipboardMacData(VornRuntimeObject *clip, VornStringRecord *macType);
/* True whenever the type's clipboard can be had, whether or not data was added. */
uint8_t clipboardMacDataAvailable(VornRuntimeObject *clip, VornStringRecord *macType);

#ifdef __cplusplus
}
#endif

#endif
