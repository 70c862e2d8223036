/*
 * The language's questions to the desktop and the message boxes, as compiled code calls them:
 * Beep, MsgBox, the theme's colours (&h00RRGGBB), the Keyboard module, the open windows,
 * the contextual click, help tags, and the property setters that redraw.
 *
 * Object results carry one reference for the caller.
 */
#ifndef VORN_DESKTOP_API_H
#define VORN_DESKTOP_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

void RuntimeBeep(void);
uint8_t IsCMMClick(void);

void RuntimeMsgBox(VornStringRecord *message);
/* style: buttons 0 OK, 1 OK Cancel, 2 Abort Retry Ignore, 3 Yes No Cancel, 4 Yes No,
 * 5 Retry Cancel; + icon 16 stop, 32 question, 48 caution, 64 note; + default button 0 the
 * first, 256 the second, 512 the third. Answers 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore,
 * 6 Yes, 7 No; Escape and the close box answer Cancel, or the last button without one. */
int32_t VB_RuntimeMsgBox(VornStringRecord *prompt, int32_t style, VornStringRecord *title);

uint32_t getFillColor(void);
uint32_t getFrameColor(void);
uint32_t getTextColor(void);
uint32_t getHilightColor(void);
uint32_t getLightTingeColor(void);
uint32_t getDarkTingeColor(void);
uint32_t getLightBevelColor(void);
uint32_t getDarkBevelColor(void);
uint32_t GetDisabledTextColor(void);

/* Keyboard. Modifier parameters: 0 Shift, 1 Control, 2 Option, 3 Command (Control here),
 * 4 Alt, 5 MenuShortcut. Key codes: below 128 Macintosh key codes, else key values. */
VornRuntimeObject *getKeyboardObject(void);
uint8_t modifierKeyGetter(VornRuntimeObject *keyboard, int32_t modifier);
uint8_t asyncModifierKeyGetter(VornRuntimeObject *keyboard, int32_t modifier);
VornStringRecord *keyboardKeyName(VornRuntimeObject *keyboard, int32_t code);

/* FontCount and FontName (index): the font families, index 0 "System"; "" outside. */
int32_t getFontCount(void);
VornStringRecord *getFontName(int32_t index);

/* The open windows of the program, 0 the front one; nil outside. */
int32_t getWindowCount(void);
VornRuntimeObject *getWindow(int32_t index);
VornRuntimeObject *getControlWindow(VornRuntimeObject *control);

uint8_t AppBalloonHelpVisibleGetter(VornRuntimeObject *app, int32_t param);
void AppBalloonHelpVisibleSetter(VornRuntimeObject *app, int32_t param, uint8_t visible);
/* The current input event's time in the display server's milliseconds; 0 outside an event. */
double AppGetCurrentEventTime(VornRuntimeObject *app);

/* The plain field setters (vorn/object_abi.h), then a repaint of the control or window. */
void intInvalidateSetter(VornRuntimeObject *object, int32_t offset, int32_t value);
void boolInvalidateSetter(VornRuntimeObject *object, int32_t offset, uint8_t value);
void stringInvalidateSetter(VornRuntimeObject *object, int32_t offset, VornStringRecord *value);
void objInvalidateSetter(VornRuntimeObject *object, int32_t offset, VornRuntimeObject *value);

#ifdef __cplusplus
}
#endif

#endif
