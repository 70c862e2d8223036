/*
 * Controls as compiled code sees them: the layout every control object starts with, and the
 * entry points of the Control and RectControl classes, of packed property streams, of
 * per-instance event handlers and of window references.
 *
 * A compiled control class derives from RectControl (or Control) and places its own fields
 * after VORN_CONTROL_INSTANCE_SIZE. Property accessors take (object, parameter word[, value]);
 * the parameter word is a field offset for the shared accessors, a selector for ctlPosGetter
 * and ctlPosSetter (0 Left, 1 Top, 2 Width, 3 Height).
 *
 * Property indices: every control class's property table begins with the 8 properties of
 * Control (0 Name, 1 Index, 2 TabPanelIndex, 3 PanelIndex, 4 MouseX, 5 MouseY, 6 Window,
 * 7 Handle) and the 18 of RectControl (8 HelpTag, 9 BalloonHelp, 10 DisabledBalloonHelp,
 * 11 MouseCursor, 12 Visible, 13 Left, 14 Top, 15 Width, 16 Height, 17 Enabled, 18 Active,
 * 19 AutoDeactivate, 20 LockLeft, 21 LockTop, 22 LockRight, 23 LockBottom, 24 Parent,
 * 25 InitialParent); a subclass's own properties begin at 26.
 */
#ifndef VORN_CONTROL_API_H
#define VORN_CONTROL_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Index of a control that is not a member of a control array. */
#define VORN_NOT_IN_CONTROL_ARRAY ((int32_t)0x80000000)

/* Property indices of packed property streams (see above). */
enum {
  kVornControlPropertyName = 0,
  kVornControlPropertyIndex = 1,
  kVornControlPropertyLeft = 13,
  kVornControlPropertyTop = 14,
  kVornControlPropertyWidth = 15,
  kVornControlPropertyHeight = 16,
  kVornControlFirstOwnProperty = 26
};

typedef struct VornControlBounds {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
} VornControlBounds;

typedef struct VornControlObject {
  VornRuntimeObject header;
  VornRuntimeObject *initialParent;  /* the control enclosing this one at creation; not held */
  void *pane;                        /* the native pane; nil before creation and after close */
  VornStringRecord *name;
  int32_t index;                     /* VORN_NOT_IN_CONTROL_ARRAY, or the array position */
  int32_t tabPanelIndex;             /* 1-based tab panel number; PanelIndex is this minus 1 */
  uint8_t visible;                   /* as set on this control */
  uint8_t enabled;                   /* as set on this control */
  uint8_t autoDeactivate;
  uint8_t allocatedByWindow;         /* made by the window's __New */
  uint8_t mouseInside;               /* the window's mouse-inside mark */
  uint8_t reserved;
  uint8_t lockLeft;
  uint8_t lockTop;
  uint8_t lockRight;
  uint8_t lockBottom;
  VornControlBounds bounds;          /* in the outermost window's content coordinates */
  void *windowPane;                  /* the native window the control's pane lives in */
  VornRuntimeObject *window;         /* the window object holding the control; nil after close */
  VornRuntimeObject *mouseCursor;    /* held */
  VornStringRecord *balloonHelp;
  VornStringRecord *disabledBalloonHelp;
  VornStringRecord *helpTag;
  void *menuHandlers;                /* menu item name -> handler, made on first use */
  VornRuntimeObject *reference;      /* another control of the window; cleared when it dies */
  void *paneLink;                    /* the runtime's link between pane and object */
} VornControlObject;

#define VORN_CONTROL_INSTANCE_SIZE ((int32_t)sizeof(VornControlObject))

/* --- Control -------------------------------------------------------------------------- */

void RuntimeControlInitializer(VornRuntimeObject *ctl);
void RuntimeControlFinalizer(VornRuntimeObject *ctl);
int32_t ControlPanelIndexGetter(VornRuntimeObject *ctl, int32_t param);
void ControlPanelIndexSetter(VornRuntimeObject *ctl, int32_t param, int32_t value);
void ControlTabPanelIndexSetter(VornRuntimeObject *ctl, int32_t param, int32_t value);
int32_t controlMouseXGetter(VornRuntimeObject *ctl, int32_t param);
int32_t controlMouseYGetter(VornRuntimeObject *ctl, int32_t param);
VornRuntimeObject *controlWindowGetter(VornRuntimeObject *ctl, int32_t param);
int32_t controlMacControlHandleGetter(VornRuntimeObject *ctl, int32_t param);
void ControlClose(VornRuntimeObject *ctl);
void NilCreatePane(VornRuntimeObject *ctl);

/* --- RectControl ---------------------------------------------------------------------- */

void controlHelpTagSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *value);
void controlBalloonHelpSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *value);
void controlDisabledBalloonHelpSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *value);
void controlMouseCursorSetter(VornRuntimeObject *ctl, int32_t param, VornRuntimeObject *cursor);
uint8_t controlVisibleGetter(VornRuntimeObject *ctl, int32_t param);
void ControlVisibleSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t controlEnabledGetter(VornRuntimeObject *ctl, int32_t param);
void controlEnabledSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t controlActiveGetter(VornRuntimeObject *ctl, int32_t param);
uint8_t controlAutoDeactivateGetter(VornRuntimeObject *ctl, int32_t param);
void controlAutoDeactivateSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t controlLockLeftGetter(VornRuntimeObject *ctl, int32_t param);
uint8_t controlLockTopGetter(VornRuntimeObject *ctl, int32_t param);
uint8_t controlLockRightGetter(VornRuntimeObject *ctl, int32_t param);
uint8_t controlLockBottomGetter(VornRuntimeObject *ctl, int32_t param);
void controlLockLeftSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void controlLockTopSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void controlLockRightSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void controlLockBottomSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
int32_t ctlPosGetter(VornRuntimeObject *ctl, int32_t which);
void ctlPosSetter(VornRuntimeObject *ctl, int32_t which, int32_t value);
VornRuntimeObject *ControlParentGetter(VornRuntimeObject *ctl, int32_t param);
void ControlParentSetter(VornRuntimeObject *ctl, int32_t param, VornRuntimeObject *parent);
void ControlInitialParentSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *name);

void RuntimeControlRefresh(VornRuntimeObject *ctl, uint8_t eraseBackground);
void RuntimeControlRefreshRect(VornRuntimeObject *ctl, int32_t x, int32_t y, int32_t width,
                               int32_t height, uint8_t eraseBackground);
void RuntimeControlDrawInto(VornRuntimeObject *ctl, VornRuntimeObject *graphics, int32_t left, int32_t top);
void RuntimeSetFocus(VornRuntimeObject *ctl);
void controlAcceptTextDrop(VornRuntimeObject *ctl);
void controlAcceptPictureDrop(VornRuntimeObject *ctl);
void controlAcceptFileDrop(VornRuntimeObject *ctl, VornStringRecord *type);
void controlAcceptMacDataDrop(VornRuntimeObject *ctl, VornStringRecord *type);
void ControlAddMenuHandler(VornRuntimeObject *ctl, VornStringRecord *name, void *handler);
void RectControlDefaultConstructor(VornRuntimeObject *ctl);
void RuntimeControlMove(VornRuntimeObject *ctl, int32_t left, int32_t top, int32_t width,
                        int32_t height);

uint8_t PaneFieldSelectorUsesHighBits(void);

/* --- packed property streams and per-instance handlers -------------------------------- */

/* Records: a big-endian 16-bit property index, then the value in the form the property's
 * type letter gives (b 1 byte, c 3 bytes RGB, d 8 bytes, f 4 bytes, i 4 bytes, s a 32-bit
 * byte count and the bytes), big-endian. */
void RuntimeMassPropertySetter(VornRuntimeObject *object, VornStringRecord *stream);
void RuntimeInstallInstanceEventHandler(VornRuntimeObject *target, VornStringRecord *eventName,
                                        void *handler);
void RuntimeExchangeSelfAndMe(VornRuntimeObject **selfVar, VornRuntimeObject **meVar);
void RuntimeExchangeSelfAndMeClass(VornRuntimeObject **selfVar, VornRuntimeObject **meVar,
                                   VornRuntimeClass *cls);
void RuntimeExchangeSelfAndMeObj(VornRuntimeObject **selfVar, VornRuntimeObject **meVar,
                                 VornRuntimeObject *obj);

/* --- references ------------------------------------------------------------------------ */

/* Entry `index` (from 1) of the project-object table, held for the caller; nil for 0. An
 * index past the table answers nil and raises OutOfBoundsException. */
VornRuntimeObject *RuntimeProjectObject(int32_t index);
VornRuntimeObject *RuntimePictureReference(int32_t index);

#ifdef __cplusplus
}
#endif

#endif
