/*
 * The language's OLEContainer control as compiled code calls it.
 *
 * Embedded component objects do not exist on this platform: the control occupies its
 * rectangle as a blank area, Create always answers false, Content is always nil and the
 * events ShowObject, EventTriggered, GotFocus and LostFocus are never raised. Programs that
 * use the control still compile and run.
 */
#ifndef VORN_OLE_CONTAINER_API_H
#define VORN_OLE_CONTAINER_API_H

#include <stdint.h>

#include "vorn/control_api.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VornOLEContainerObject {
  VornControlObject base;
  VornStringRecord *programID;
  VornStringRecord *licenseKey;
  uint8_t designMode;
} VornOLEContainerObject;

void OLEContainerCreatePane(VornRuntimeObject *ctl);
void OLEContainerDestructor(VornRuntimeObject *ctl);
/* False: nothing can be embedded. An empty LicenseKey is set to the (empty) program ID of the
   pane. */
uint8_t OLEContainerCreateObject(VornRuntimeObject *ctl);
void OLEContainerDestroyObject(VornRuntimeObject *ctl);
/* Does nothing. */
void OLEContainerShowPropertyPages(VornRuntimeObject *ctl);
/* Nil. */
VornRuntimeObject *OLEContainerContentGetter(VornRuntimeObject *ctl, int32_t param);

#ifdef __cplusplus
}
#endif

#endif
