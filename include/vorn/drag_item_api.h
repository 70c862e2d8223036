/*
 * The language's DragItem class as compiled code calls it.
 *
 * A drag item holds one or more items, each with a rectangle and any number of values: text,
 * a picture, a folder item and typed data ("MacData", "RawData") under a four-character type.
 * NextItem walks the items of a received drag item; AddItem adds an item and makes it the
 * current one. Getters answer the current item's values, strings and objects with one
 * reference for the caller.
 *
 * Typed-data types are four-character codes: a shorter type is padded with blanks and a longer
 * one cut to four characters, so a value is always read back under the type it was set with.
 */
#ifndef VORN_DRAG_ITEM_API_H
#define VORN_DRAG_ITEM_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

void DragItemInitializer(VornRuntimeObject *d);
void DragItemFinalizer(VornRuntimeObject *d);

/* New drag items, one reference for the caller. The rectangle is given in the coordinates of
   the control's (or window's) own window and kept in those of the outermost window. */
VornRuntimeObject *controlNewDragItem(VornRuntimeObject *ctl, int32_t left, int32_t top, int32_t width,
                                      int32_t height);
VornRuntimeObject *formNewDragItem(VornRuntimeObject *window, int32_t left, int32_t top, int32_t width,
                                   int32_t height);

VornStringRecord *dragItemTextGetter(VornRuntimeObject *d, int32_t param);
void dragItemTextSetter(VornRuntimeObject *d, int32_t param, VornStringRecord *text);
uint8_t DragItemTextAvailable(VornRuntimeObject *d);
VornRuntimeObject *dragItemPictureGetter(VornRuntimeObject *d, int32_t param);
/* A nil picture, or one without an image, changes nothing. */
void dragItemPictureSetter(VornRuntimeObject *d, int32_t param, VornRuntimeObject *picture);
uint8_t DragItemPictureAvailable(VornRuntimeObject *d);
VornRuntimeObject *dragItemFolderItemGetter(VornRuntimeObject *d, int32_t param);
void dragItemFolderItemSetter(VornRuntimeObject *d, int32_t param, VornRuntimeObject *item);
uint8_t DragItemFolderItemAvailable(VornRuntimeObject *d);

/* An empty type matches any typed data of the current item. */
uint8_t DragItemMacDataAvailable(VornRuntimeObject *d, VornStringRecord *type);
VornStringRecord *DragItemGetMacData(VornRuntimeObject *d, VornStringRecord *type);
void DragItemSetMacData(VornRuntimeObject *d, VornStringRecord *type, VornStringRecord *data);
void DragItemSetPrivateMacData(VornRuntimeObject *d, VornStringRecord *type, VornStringRecord *data);

uint8_t DragItemNextItem(VornRuntimeObject *d);
void DragItemAddItem(VornRuntimeObject *d, int32_t left, int32_t top, int32_t width, int32_t height);

/* The current item's rectangle relative to the control or window it was dropped on; 0 until
   the item has been dropped. */
int32_t dragItemDropLeft(VornRuntimeObject *d, int32_t param);
int32_t dragItemDropTop(VornRuntimeObject *d, int32_t param);
int32_t dragItemDropWidth(VornRuntimeObject *d, int32_t param);
int32_t dragItemDropHeight(VornRuntimeObject *d, int32_t param);
/* Always 0: there is no native drag handle on this platform. */
int32_t dragItemGetHandle(VornRuntimeObject *d, int32_t param);

/* Runs the drag while the mouse button that started it is held: an outline follows the
   pointer over the program's windows, and the release over a control or window that accepts
   drops delivers the item to its DropObject event. */
void DragItemDrag(VornRuntimeObject *d);

#ifdef __cplusplus
}
#endif

#endif
