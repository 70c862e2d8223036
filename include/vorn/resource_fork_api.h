/*
 * ResourceFork as compiled code calls it. Files on this system have no resource part: no
 * ResourceFork object is ever produced, and every member answers the empty string, 0, false or
 * nil. String and object results carry one reference for the caller (nil here).
 */
#ifndef VORN_RESOURCE_FORK_API_H
#define VORN_RESOURCE_FORK_API_H

#include <stdint.h>

#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

void ResourceForkDestructor(VornRuntimeObject *self);
void resourceForkClose(VornRuntimeObject *self);
VornStringRecord *resourceForkResourceType(VornRuntimeObject *self, int32_t index);
VornStringRecord *resourceForkGetResource(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
VornStringRecord *resourceForkGetNamedResource(VornRuntimeObject *self, VornStringRecord *type, VornStringRecord *name);
int32_t resourceForkResourceCount(VornRuntimeObject *self, VornStringRecord *type);
int32_t resourceForkResourceID(VornRuntimeObject *self, VornStringRecord *type, int32_t index);
VornStringRecord *resourceForkResourceName(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
void resourceForkAddResource(VornRuntimeObject *self, VornStringRecord *data, VornStringRecord *type, int32_t id,
                             VornStringRecord *name);
void resourceForkRemoveResource(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
void resourceForkAddPicture(VornRuntimeObject *self, VornRuntimeObject *picture, int32_t id, VornStringRecord *name);
VornRuntimeObject *resourceForkGetPicture(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *resourceForkGetNamedPicture(VornRuntimeObject *self, VornStringRecord *name);
VornRuntimeObject *resourceForkGetCicn(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *resourceForkGetIcl(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *resourceForkGetIcs(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *resourceForkGetCursor(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *resourceForkGetSound(VornRuntimeObject *self, int32_t index);
int32_t resourceForkGetHandle(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
void resourceForkReleaseHandle(VornRuntimeObject *self, int32_t handle);
uint8_t resourceForkGetLocked(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
void resourceForkSetLocked(VornRuntimeObject *self, VornStringRecord *type, int32_t id, uint8_t value);
uint8_t resourceForkGetProtected(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
void resourceForkSetProtected(VornRuntimeObject *self, VornStringRecord *type, int32_t id, uint8_t value);
uint8_t resourceForkGetPreload(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
void resourceForkSetPreload(VornRuntimeObject *self, VornStringRecord *type, int32_t id, uint8_t value);
uint8_t resourceForkGetPurgeable(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
void resourceForkSetPurgeable(VornRuntimeObject *self, VornStringRecord *type, int32_t id, uint8_t value);
uint8_t resourceForkGetSysHeap(VornRuntimeObject *self, VornStringRecord *type, int32_t id);
void resourceForkSetSysHeap(VornRuntimeObject *self, VornStringRecord *type, int32_t id, uint8_t value);
int32_t resourceForkTypeCount(VornRuntimeObject *self);

/* FolderItem.OpenResourceFork and CreateResourceFork: always nil. */
VornRuntimeObject *folderOpenResourceFork(VornRuntimeObject *self);
VornRuntimeObject *folderCreateResourceFork(VornRuntimeObject *self, VornStringRecord *type);

#ifdef __cplusplus
}
#endif

#endif
