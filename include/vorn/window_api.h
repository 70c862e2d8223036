/*
 * Windows and message dialogs as compiled code calls them.
 *
 * A compiled window class is a subclass of the intrinsic class "Window" (RuntimeNewClass with
 * superName "Window" and an instanceSize of at least VORN_WINDOW_INSTANCE_SIZE; its own fields
 * follow that size). Its "#Layout", "#CreateControls", "#Open", "#Paint", ... implementations
 * are the window's event handlers; the runtime fires them with the window object first:
 *
 *   Layout, CreateControls, SetupBindings, Open, Close, MouseEnter, MouseExit, EnableMenuItems,
 *   Resized, Resizing, Moved, Activate, Deactivate, Minimize, Maximize, Restore:
 *                                               void (VornRuntimeObject *self)
 *   AddMenuHandlers:  void (self, VornRuntimeObject *menuHandlerSourceWindow)
 *   CancelClose:      uint8_t (self, uint8_t appQuitting)          true keeps the window open
 *   KeyDown:          uint8_t (self, VornStringRecord *key)        the key stays the caller's
 *   MouseDown:        uint8_t (self, int32_t x, int32_t y)
 *   MouseMove, MouseDrag, MouseUp: void (self, int32_t x, int32_t y)
 *   MouseWheel:       uint8_t (self, int32_t x, int32_t y, int32_t delta)
 *   Paint:            void (self, VornRuntimeObject *g)
 *
 * Creating a window: RuntimeNewObject runs the class initializer RuntimeCreateWindow, which
 * fires Layout and builds the native window (CreateControls, AddMenuHandlers, the control
 * panes, SetupBindings); the compiled constructor then calls WindowDefaultConstructor, which
 * fires the controls' Open and the window's Open. Nothing is shown until the window is.
 *
 * Property accessors take (object, parameter word[, value]); string and object results carry
 * one reference for the caller; string and object arguments stay the caller's.
 */
#ifndef VORN_WINDOW_API_H
#define VORN_WINDOW_API_H

#include <stdint.h>

#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Size of a Window object, header included. */
#define VORN_WINDOW_INSTANCE_SIZE 264

/* Frame codes */
enum {
  kVornFrameTypeDocument = 0,
  kVornFrameTypeMovableModal = 1,
  kVornFrameTypeModal = 2,
  kVornFrameTypeFloating = 3,
  kVornFrameTypePlain = 4,
  kVornFrameTypeShadowed = 5,
  kVornFrameTypeRounded = 6,
  kVornFrameTypeGlobalFloating = 7,
  kVornFrameTypeSheet = 8,
  kVornFrameTypeMetal = 9,
  kVornFrameTypeDrawer = 10
};

/* --- life cycle ------------------------------------------------------------------------- */

void RuntimeCreateWindow(VornRuntimeObject *window);
void WindowDefaultConstructor(VornRuntimeObject *window);
void RuntimeViewDestructor(VornRuntimeObject *window);
/* The implicit instance of the window class of that name, with a reference for the caller;
 * nil while there is none (the caller then creates it, and it becomes the implicit one). */
VornRuntimeObject *RuntimeGetImplicitWindow(VornStringRecord *name);

/* --- controls --------------------------------------------------------------------------- */

/* Enters the object in the window's controls under name, or name$index for a member of a
 * control array; a control added after CreateControls gets its pane and its Open at once. */
void WindowAddControl(VornRuntimeObject *window, VornStringRecord *name, VornRuntimeObject *object);
VornRuntimeObject *WindowAllocateObject(VornRuntimeObject *window, VornRuntimeClass *cls);
void WindowAddMenuHandler(VornRuntimeObject *window, VornStringRecord *name, void *handler);

/* --- properties ------------------------------------------------------------------------- */

uint8_t WindowVisibleGetter(VornRuntimeObject *window, int32_t param);
void WindowVisibleSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
/* param: 0 Left, 1 Top, 2 Width, 3 Height */
int32_t windowPosGetter(VornRuntimeObject *window, int32_t param);
void windowPosSetter(VornRuntimeObject *window, int32_t param, int32_t value);
int32_t windowPlacementGetter(VornRuntimeObject *window, int32_t param);
void windowPlacementSetter(VornRuntimeObject *window, int32_t param, int32_t value);
VornStringRecord *windowTitleGetter(VornRuntimeObject *window, int32_t param);
void windowTitleSetter(VornRuntimeObject *window, int32_t param, VornStringRecord *value);
uint8_t windowFullScreenGetter(VornRuntimeObject *window, int32_t param);
void windowFullScreenSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
uint8_t windowMenusVisibleGetter(VornRuntimeObject *window, int32_t param);
void windowMenusVisibleSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
uint8_t windowCloseBoxGetter(VornRuntimeObject *window, int32_t param);
void windowCloseBoxSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
uint8_t windowGrowIconGetter(VornRuntimeObject *window, int32_t param);
void windowGrowIconSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
uint8_t windowZoomIconGetter(VornRuntimeObject *window, int32_t param);
void windowZoomIconSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
int32_t windowFrameGetter(VornRuntimeObject *window, int32_t param);
void windowFrameSetter(VornRuntimeObject *window, int32_t param, int32_t value);
uint8_t windowLiveResizeGetter(VornRuntimeObject *window, int32_t param);
void windowLiveResizeSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
VornRuntimeObject *windowBackdropGetter(VornRuntimeObject *window, int32_t param);
void windowBackdropSetter(VornRuntimeObject *window, int32_t param, VornRuntimeObject *value);
/* The window's own Graphics object (kept by the window), nil without a native window. */
VornRuntimeObject *windowGraphicsGetter(VornRuntimeObject *window, int32_t param);
uint8_t windowHasBackColorGetter(VornRuntimeObject *window, int32_t param);
void windowHasBackColorSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
uint32_t windowBackColorGetter(VornRuntimeObject *window, int32_t param);
void windowBackColorSetter(VornRuntimeObject *window, int32_t param, uint32_t value);
void windowBalloonHelpSetter(VornRuntimeObject *window, int32_t param, VornStringRecord *value);
/* param: 0 MinWidth, 1 MinHeight, 2 MaxWidth, 3 MaxHeight */
int32_t windowMinMaxWidthHeightGetter(VornRuntimeObject *window, int32_t param);
void windowMinMaxWidthHeightSetter(VornRuntimeObject *window, int32_t param, int32_t value);
void formMouseCursorSetter(VornRuntimeObject *window, int32_t param, VornRuntimeObject *value);
int32_t windowControlCountGetter(VornRuntimeObject *window, int32_t param);
int32_t windowMouseXGetter(VornRuntimeObject *window, int32_t param);
int32_t windowMouseYGetter(VornRuntimeObject *window, int32_t param);
int32_t windowWindowPtrGetter(VornRuntimeObject *window, int32_t param);
int32_t windowHWNDGetter(VornRuntimeObject *window, int32_t param);
/* The GtkWindow pointer; a language Integer holds its low 32 bits. */
int32_t WindowHandleGetter(VornRuntimeObject *window, int32_t param);
VornRuntimeObject *WindowDockItemGetter(VornRuntimeObject *window, int32_t param);
VornRuntimeObject *WindowFocusGetter(VornRuntimeObject *window, int32_t param);
void WindowFocusSetter(VornRuntimeObject *window, int32_t param, VornRuntimeObject *control);

/* --- methods ---------------------------------------------------------------------------- */

void RuntimeShowWindow(VornRuntimeObject *window);
/* Draws the window (backdrop, Paint and controls) into g with its corner at (x, y). */
void formDrawInto(VornRuntimeObject *window, VornRuntimeObject *g, int32_t x, int32_t y, uint8_t asActive);
/* The window's background, backdrop and Paint (an embedded window's: its control's drawing)
 * into g, its content moved left and up by (srcLeft, srcTop); x, y, width and height unused. */
void formDrawBackground(VornRuntimeObject *window, VornRuntimeObject *g, int32_t x, int32_t y, int32_t width,
                        int32_t height, int32_t srcLeft, int32_t srcTop);
/* Gives the window's native window the keyboard focus. */
void formSetFocus(VornRuntimeObject *window);
/* ClearFocus: no control of the window keeps the keyboard focus. */
void clearFocus(VornRuntimeObject *window);
/* The window as a native window pointer: its GtkWindow, nil without a native window. */
void *WindowToWindowPtr(VornRuntimeObject *window);
void RuntimeShowWithinWindow(VornRuntimeObject *window, VornRuntimeObject *parent, int32_t facing);
void RuntimeShowModalWithinWindow(VornRuntimeObject *window, VornRuntimeObject *parent);
void RuntimeHideWindow(VornRuntimeObject *window);
void RuntimeCloseWindow(VornRuntimeObject *window);
void RuntimeShowModal(VornRuntimeObject *window);
/* Sets Visible and builds the native window when there is none. */
void RuntimeShowAsWindow(VornRuntimeObject *window);
void formRefresh(VornRuntimeObject *window, uint8_t eraseBackground);
void formRefreshRect(VornRuntimeObject *window, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint8_t eraseBackground);
void formAcceptTextDrop(VornRuntimeObject *window);
void formAcceptPictureDrop(VornRuntimeObject *window);
void formAcceptFileDrop(VornRuntimeObject *window, VornStringRecord *type);
void formAcceptMacDataDrop(VornRuntimeObject *window, VornStringRecord *type);
/* The control at a zero-based position among the window's controls (other entries skipped),
 * with a reference for the caller; OutOfBoundsException and nil for a bad index. */
VornRuntimeObject *windowControl(VornRuntimeObject *window, int32_t index);
void WindowForceUpdateFrontBuffer(VornRuntimeObject *window);
void WindowMove(VornRuntimeObject *window, int32_t left, int32_t top, int32_t width, int32_t height);
void WindowMaximize(VornRuntimeObject *window);
void WindowMinimize(VornRuntimeObject *window);
void WindowRestore(VornRuntimeObject *window);

/* --- container controls ------------------------------------------------------------------ */

/* A window class derived from "ContainerControl" is shown inside another window: its object
 * (the template window) gets no native window; an embedding control stands for it in the
 * containing window. EmbedWithin places it at (left, top) of the window; width and height -1
 * keep its designed size. EmbedWithinControl places it relative to a control of a window (a
 * nil control raises NilObjectException, one in no window InvalidParentException);
 * EmbedWithinPanel also puts it on the panel's page (0 the first). */
void EmbedWithin(VornRuntimeObject *templateWindow, VornRuntimeObject *window, int32_t left, int32_t top,
                 int32_t width, int32_t height);
void EmbedWithinControl(VornRuntimeObject *templateWindow, VornRuntimeObject *control, int32_t left,
                        int32_t top, int32_t width, int32_t height);
void EmbedWithinPanel(VornRuntimeObject *templateWindow, VornRuntimeObject *panel, int32_t page, int32_t left,
                      int32_t top, int32_t width, int32_t height);
/* ContainerControl properties that pass through to the embedding control; param is the
 * embedding control's field. Without an embedding control getters answer 0 or nil and
 * setters do nothing (InitialParent is stored all the same). */
int32_t eWindowIntPassThroughGetter(VornRuntimeObject *window, int32_t param);
uint8_t eWindowBoolPassThroughGetter(VornRuntimeObject *window, int32_t param);
void eWindowBoolPassThroughSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
VornStringRecord *eWindowStringPassThroughGetter(VornRuntimeObject *window, int32_t param);
void eWindowInitialParentSetter(VornRuntimeObject *window, int32_t param, VornStringRecord *name);
void eWindowTabPanelIndexSetter(VornRuntimeObject *window, int32_t param, int32_t value);
VornRuntimeObject *eWindowParentGetter(VornRuntimeObject *window, int32_t param);
void eWindowParentSetter(VornRuntimeObject *window, int32_t param, VornRuntimeObject *parent);
VornRuntimeObject *eWindowContainingWindowGettter(VornRuntimeObject *window, int32_t param);
/* The embedding control itself, with a reference for the caller. */
VornRuntimeObject *eWindowControlGetter(VornRuntimeObject *window, int32_t param);
void eWindowEnabledSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
void eWindowAutoDeactivateSetter(VornRuntimeObject *window, int32_t param, uint8_t value);
void eWindowHelpTagSetter(VornRuntimeObject *window, int32_t param, VornStringRecord *value);
void eWindowDisabledBalloonHelpSetter(VornRuntimeObject *window, int32_t param, VornStringRecord *value);

/* --- menu enabling ------------------------------------------------------------------------ */

/* The menu-enabling pass for the front runtime window: the focus pane's own enabling, then the
 * EnableMenuItems events of the window and of the containers shown in it, innermost first. */
void enableMenuItems(void);

/* --- message dialog --------------------------------------------------------------------- */

/* Button index: 1 action, 0 cancel, 2 alternate action. */
uint8_t MDBBooleanGetter(VornRuntimeObject *button, int32_t selector);
void MDBBooleanSetter(VornRuntimeObject *button, int32_t selector, uint8_t value);
VornStringRecord *MDBCaptionGetter(VornRuntimeObject *button, int32_t param);
void MDBCaptionSetter(VornRuntimeObject *button, int32_t param, VornStringRecord *value);
void MDIconSetter(VornRuntimeObject *dialog, int32_t param, int32_t value);
VornRuntimeObject *MDButtonGetter(VornRuntimeObject *dialog, int32_t index);
void MessageDialogInitializer(VornRuntimeObject *dialog);
void MessageDialogFinalizer(VornRuntimeObject *dialog);
/* The button that closed the dialog, with a reference for the caller. */
VornRuntimeObject *MessageDialogShowModal(VornRuntimeObject *dialog);
VornRuntimeObject *MessageDialogShowModalWithin(VornRuntimeObject *dialog, VornRuntimeObject *parent);

/* --- screens ------------------------------------------------------------------------------ */

/* A new Screen object (one reference for the caller) for screen 0, the only one; nil for any
 * other index. The available area is the whole screen. */
VornRuntimeObject *getScreen(int32_t index);
int32_t getScreenCount(void);
/* Accessors of the Screen class's read-only Integer properties: (screen, parameter word). */
int32_t screenLeftGetter(VornRuntimeObject *screen, int32_t param);
int32_t screenTopGetter(VornRuntimeObject *screen, int32_t param);
int32_t screenWidthGetter(VornRuntimeObject *screen, int32_t param);
int32_t screenHeightGetter(VornRuntimeObject *screen, int32_t param);
int32_t screenDepthGetter(VornRuntimeObject *screen, int32_t param);

/* Keyboard.AsyncKeyDown: a classic virtual key code below 128, else a GDK key value. */
uint8_t keyboardAsyncKeyDown(VornRuntimeObject *keyboard, int32_t code);

#ifdef __cplusplus
}
#endif

#endif
