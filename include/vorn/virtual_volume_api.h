/*
 * VirtualVolume and the FolderItem members that make and open volumes, as compiled code
 * calls them. Results carry one reference for the caller; nil on failure.
 */
#ifndef VORN_VIRTUAL_VOLUME_API_H
#define VORN_VIRTUAL_VOLUME_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A new, empty volume in the item's file (nil for a locked item). */
VornRuntimeObject *FolderItemCreateVirtualVolume(VornRuntimeObject *item);
/* The volume the item's file holds; nil, the file untouched, when it holds none. */
VornRuntimeObject *FolderItemOpenAsVirtualVolume(VornRuntimeObject *item);
/* The volume the item lives in; nil for an item on disk. */
VornRuntimeObject *folderVirtVolGetter(VornRuntimeObject *item, int32_t param);

/* The root folder; nil once the volume is gone. */
VornRuntimeObject *VirtVolRootGetter(VornRuntimeObject *volume, int32_t param);
/* What is damaged in a volume whose file ends inside a block (it opened read-only); empty
 * for a sound volume. */
VornStringRecord *VirtVolDamageGetter(VornRuntimeObject *volume, int32_t param);
void VirtVolDestructor(VornRuntimeObject *volume);

#ifdef __cplusplus
}
#endif

#endif
