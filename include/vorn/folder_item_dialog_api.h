/*
 * The open, save and select-folder dialogs as compiled code calls them.
 *
 * Each answers a FolderItem carrying one reference for the caller, or nil when the user
 * cancels. String arguments stay the caller's. A filter names registered file types,
 * separated by ";".
 */
#ifndef VORN_FOLDER_ITEM_DIALOG_API_H
#define VORN_FOLDER_ITEM_DIALOG_API_H

#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Global functions GetOpenFolderItem, GetSaveFolderItem and SelectFolder. */
VornRuntimeObject *RuntimeGetOpenFolderItem(VornStringRecord *filter);
VornRuntimeObject *RuntimeGetSaveFolderItem(VornStringRecord *filter, VornStringRecord *defaultName);
VornRuntimeObject *RuntimeSelectFolder(void);

/* The FolderItemDialog class and its kinds OpenDialog, SaveAsDialog and SelectFolderDialog. */
void FolderItemDialogInitializer(VornRuntimeObject *self);
void FolderItemDialogFinalizer(VornRuntimeObject *self);
void OpenDialogInitializer(VornRuntimeObject *self);
void SaveAsDialogInitializer(VornRuntimeObject *self);
void SelectFolderDialogInitializer(VornRuntimeObject *self);
VornRuntimeObject *FolderItemDialogShowModal(VornRuntimeObject *self);
VornRuntimeObject *FolderItemDialogShowWithin(VornRuntimeObject *self, VornRuntimeObject *parentWindow);

#ifdef __cplusplus
}
#endif

#endif
