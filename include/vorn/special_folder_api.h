/*
 * Special folders, temporary items, file types and the URL launcher as compiled code calls
 * them.
 *
 * Every folder function answers a new FolderItem with one reference for the caller, or nil
 * when the folder has no counterpart on this system (or HOME is unset for the folders that
 * start from it).
 */
#ifndef VORN_SPECIAL_FOLDER_API_H
#define VORN_SPECIAL_FOLDER_API_H

#include <stdint.h>

#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Global functions. Volume: index 0 is the root folder, every other index nil. */
VornRuntimeObject *getVolume(int32_t index);
int32_t getVolumeCount(void);
VornRuntimeObject *getPreferencesFolder(void);
VornRuntimeObject *getApplicationSupportFolder(void);
VornRuntimeObject *getDesktopFolder(void);
VornRuntimeObject *GetDocumentsFolder(void);
VornRuntimeObject *getTrashFolder(void);
VornRuntimeObject *getSystemFolder(void);
VornRuntimeObject *getTemporaryItemsFolder(void);
/* A fresh name in the temporary folder, already taken by an empty file only this user may
 * open; whatever is at that path when the program ends is deleted (a folder is emptied). */
VornRuntimeObject *getTemporaryFolderItem(void);
VornRuntimeObject *getAppleMenuFolder(void);
VornRuntimeObject *getControlPanelsFolder(void);
VornRuntimeObject *getExtensionsFolder(void);
VornRuntimeObject *getStartupItemsFolder(void);
VornRuntimeObject *getShutdownItemsFolder(void);
VornRuntimeObject *getFontsFolder(void);

/* The SpecialFolder object: one read-only FolderItem property per folder number. */
VornRuntimeObject *systemGetSpecialFoldersClass(void);
VornRuntimeObject *GetSpecialFolder(VornRuntimeObject *self, int32_t folderNumber);
/* The code's first four bytes, first character in the low byte; nil for a nil code. */
VornRuntimeObject *GetSpecialFolderFromCode(VornRuntimeObject *self, VornStringRecord *code);

/* File types. Extensions: a ";"-separated list such as ".txt;.text". */
void RuntimeRegisterFileType(VornStringRecord *name, VornStringRecord *macType, VornStringRecord *macCreator,
                             VornStringRecord *extensions);
void RuntimeDeregisterFileType(VornStringRecord *name);
/* First character in the high byte, blanks after a short text, "????" for the empty one. */
uint32_t StringToOSType(VornStringRecord *text);

/* Opens the URL in a web browser; nothing happens when none is found. */
void GlobalShowURL(VornStringRecord *url);

#ifdef __cplusplus
}
#endif

#endif
