/*
 * FolderItem and Permissions as compiled code calls them.
 *
 * A FolderItem names one file or folder, which need not exist. Getters take (object, parameter
 * word) and setters (object, parameter word, value); string and object results carry one
 * reference for the caller; string and object arguments stay the caller's. Boolean is uint8_t.
 *
 * Failures are quiet: members answer nil, false or the empty string and LastErrorCode holds
 * the C library's errno value of the failed call. Exceptions are raised only for a nil object
 * argument (NilObjectException) and for a path a constructor refuses
 * (UnsupportedFormatException).
 *
 * Path modes of the constructor and of GetFolderItem: 0 a native path (relative paths start at
 * the application's folder) or SaveInfo data, 1 an absolute shell path, 2 a "file://" URL.
 */
#ifndef VORN_FOLDER_ITEM_API_H
#define VORN_FOLDER_ITEM_API_H

#include <stdint.h>

#include "vorn/array_abi.h"
#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kVornPathModeNative = 0,
  kVornPathModeShell = 1,
  kVornPathModeURL = 2
};

/* Global functions GetFolderItem and GetTrueFolderItem (the latter keeps a symbolic link). */
VornRuntimeObject *RuntimeGetFolderItem(VornStringRecord *path, int32_t pathMode);
VornRuntimeObject *RuntimeGetTrueFolderItem(VornStringRecord *path, int32_t pathMode);

/* For plug-ins and other subsystems. */
VornRuntimeObject *FolderItemFromPath(const char *path);
VornStringRecord *VORNpathFromFolderItem(VornRuntimeObject *item);
/* The buffer must hold PATH_MAX bytes; 0 (and an empty text) for a nil item or a path that
   does not fit (PATH_MAX bytes or longer). */
int32_t FolderItemCopyPathToBuffer(char *buffer, VornRuntimeObject *item);
void *FolderItemGetImp(VornRuntimeObject *item);
VornRuntimeObject *FolderItemOpenAsJPEG(VornRuntimeObject *item);

/* Constructors and destructor. */
void FolderItemPathCtorNoParams(VornRuntimeObject *self);
void FolderItemPathCtor(VornRuntimeObject *self, VornStringRecord *path, int32_t pathMode);
void FolderItemCopyCtor(VornRuntimeObject *self, VornRuntimeObject *source);
void FolderItemDestructor(VornRuntimeObject *self);

/* Methods. Item indexes count from 1. */
VornRuntimeObject *FolderItemItem(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *FolderItemTrueItem(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *FolderChild(VornRuntimeObject *self, VornStringRecord *name);
VornRuntimeObject *FolderTrueChild(VornRuntimeObject *self, VornStringRecord *name);
/* Streams: nil when the file cannot be opened or created, or when creating a locked file. */
VornRuntimeObject *FolderItemOpenTextFile(VornRuntimeObject *self);
VornRuntimeObject *FolderItemAppendTextFile(VornRuntimeObject *self);
VornRuntimeObject *FolderItemCreateTextFile(VornRuntimeObject *self);
VornRuntimeObject *FolderItemOpenBinaryFile(VornRuntimeObject *self, uint8_t readWrite);
/* OpenAsPicture, OpenAsVectorPicture (always UnsupportedFormatException) and SaveAsPicture
 * (formats 0, 4 and 350 write a 24-bit BMP). */
VornRuntimeObject *FolderItemOpenImage(VornRuntimeObject *self);
VornRuntimeObject *FolderItemOpenVectorImage(VornRuntimeObject *self);
void FolderItemSaveAsPicture(VornRuntimeObject *self, VornRuntimeObject *picture, int32_t format);
/* A Sound of a WAVE or AIFF file; nil for any other file. */
VornRuntimeObject *FolderItemOpenSound(VornRuntimeObject *self);
/* A nil Image raises NilObjectException. */
void FolderItemSaveAsJPEG(VornRuntimeObject *self, VornRuntimeObject *image);
VornRuntimeObject *FolderItemOpenMovie(VornRuntimeObject *self);
VornRuntimeObject *FolderItemOpenResourceMovie(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *FolderItemOpenAsCursor(VornRuntimeObject *self);
VornArray *FolderItemOpenAsIcons(VornRuntimeObject *self);
/* A styled field reads and writes Rich Text; a plain one plain text. */
void FolderItemOpenStyledEditField(VornRuntimeObject *self, VornRuntimeObject *field);
void FolderItemSaveStyledEditField(VornRuntimeObject *self, VornRuntimeObject *field);
VornRuntimeObject *FolderItemCreateBinaryFile(VornRuntimeObject *self, VornStringRecord *fileType);
void FolderItemDelete(VornRuntimeObject *self);
void FolderItemCreateAsFolder(VornRuntimeObject *self);
void FolderItemLaunch(VornRuntimeObject *self, uint8_t activate);
void FolderItemLaunchWithParameters(VornRuntimeObject *self, VornStringRecord *parameters, uint8_t activate);
void FolderItemCopyFileTo(VornRuntimeObject *self, VornRuntimeObject *destination);
void FolderItemMoveFileTo(VornRuntimeObject *self, VornRuntimeObject *destination);
VornStringRecord *FolderItemGetSaveInfo(VornRuntimeObject *self, VornRuntimeObject *relativeTo, int32_t mode);
VornRuntimeObject *FolderItemGetRelative(VornRuntimeObject *self, VornStringRecord *saveInfo);
void FolderItemImpMakeFileExecutable(VornRuntimeObject *self);
int32_t FolderItemGetPermissions(VornRuntimeObject *self);
void FolderItemSetPermissionsInteger(VornRuntimeObject *self, int32_t permissions);
void FolderItemSetPermissionsClass(VornRuntimeObject *self, VornRuntimeObject *permissions);

/* Properties. */
VornStringRecord *fileAbsolutePathGetter(VornRuntimeObject *self, int32_t param);
int32_t fileCountGetter(VornRuntimeObject *self, int32_t param);
VornStringRecord *fileNameGetter(VornRuntimeObject *self, int32_t param);
void fileNameSetter(VornRuntimeObject *self, int32_t param, VornStringRecord *name);
VornStringRecord *FileDisplayNameGetter(VornRuntimeObject *self, int32_t param);
int32_t fileSizeGetter(VornRuntimeObject *self, int32_t param);
int32_t fileRFSizeGetter(VornRuntimeObject *self, int32_t param);
uint8_t FileExtensionVisibleGetter(VornRuntimeObject *self, int32_t param);
void FileExtensionVisibleSetter(VornRuntimeObject *self, int32_t param, uint8_t visible);
uint8_t fileLockedGetter(VornRuntimeObject *self, int32_t param);
void fileLockedSetter(VornRuntimeObject *self, int32_t param, uint8_t locked);
uint8_t fileExistsGetter(VornRuntimeObject *self, int32_t param);
uint8_t fileAliasGetter(VornRuntimeObject *self, int32_t param);
uint8_t fileVisibleGetter(VornRuntimeObject *self, int32_t param);
void fileVisibleSetter(VornRuntimeObject *self, int32_t param, uint8_t visible);
uint8_t fileDirectoryGetter(VornRuntimeObject *self, int32_t param);
VornStringRecord *fileTypeGetter(VornRuntimeObject *self, int32_t param);
VornRuntimeObject *folderParentGetter(VornRuntimeObject *self, int32_t param);
VornRuntimeObject *folderGetCreation(VornRuntimeObject *self, int32_t param);
void folderSetCreation(VornRuntimeObject *self, int32_t param, VornRuntimeObject *date);
VornRuntimeObject *folderGetModified(VornRuntimeObject *self, int32_t param);
void folderSetModified(VornRuntimeObject *self, int32_t param, VornRuntimeObject *date);
VornStringRecord *fileMacTypeGetter(VornRuntimeObject *self, int32_t param);
void fileMacTypeSetter(VornRuntimeObject *self, int32_t param, VornStringRecord *code);
VornStringRecord *fileMacCreatorGetter(VornRuntimeObject *self, int32_t param);
void fileMacCreatorSetter(VornRuntimeObject *self, int32_t param, VornStringRecord *code);
/* param: the folder's four-character code, first character in the high byte. */
VornRuntimeObject *folderFindFolder(VornRuntimeObject *self, int32_t folderCode);
uint8_t FolderItemIsCurrentlyReadable(VornRuntimeObject *self, int32_t param);
uint8_t FolderItemIsCurrentlyWriteable(VornRuntimeObject *self, int32_t param);
int32_t FolderItemGetLastError(VornRuntimeObject *self, int32_t param);
void FolderItemSetLastError(VornRuntimeObject *self, int32_t param, int32_t error);
int32_t fileVRefNumGetter(VornRuntimeObject *self, int32_t param);
int32_t fileDirIDGetter(VornRuntimeObject *self, int32_t param);
VornStringRecord *FileShellPathGetter(VornRuntimeObject *self, int32_t param);
VornStringRecord *FileURLGetter(VornRuntimeObject *self, int32_t param);
VornStringRecord *FolderItemGroupGetter(VornRuntimeObject *self, int32_t param);
void FolderItemGroupSetter(VornRuntimeObject *self, int32_t param, VornStringRecord *group);
VornStringRecord *FolderItemOwnerGetter(VornRuntimeObject *self, int32_t param);
void FolderItemOwnerSetter(VornRuntimeObject *self, int32_t param, VornStringRecord *owner);

/* Permissions: one Boolean property per mode bit; param is the bit's mask. */
void PermissionsInitializer(VornRuntimeObject *self);
void PermissionsCtor(VornRuntimeObject *self, int32_t perms);
uint8_t PermissionsGetter(VornRuntimeObject *self, int32_t mask);
void PermissionsSetter(VornRuntimeObject *self, int32_t mask, uint8_t value);

#ifdef __cplusplus
}
#endif

#endif
