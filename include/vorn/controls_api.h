/*
 * The concrete controls as compiled code calls them: ScrollBar, Slider, StaticText, Canvas,
 * EmbeddedWindowControl and GroupBox, with the text-style accessors they share.
 *
 * Each class derives from RectControl; its own properties begin at property index 26
 * (kVornControlFirstOwnProperty) in the order of its rows:
 *   ScrollBar: 26 Minimum, 27 Value, 28 Maximum, 29 LineStep, 30 PageStep, 31 LiveScroll,
 *              32 AcceptFocus
 *   Slider:    26 Minimum, 27 Value, 28 Maximum, 29 LineStep, 30 PageStep, 31 LiveScroll
 *   StaticText: 26 Text, 27 Caption, 28 TextAlign, 29 TextColor, 30 TextFont, 31 TextSize,
 *              32 Bold, 33 Italic, 34 Underline, 35 MultiLine, 36 DataSource, 37 DataField
 *   Canvas:    26 Graphics (read-only), 27 Backdrop, 28 AcceptFocus, 29 AcceptTabs,
 *              30 UseFocusRing, 31 EraseBackground
 *   GroupBox:  26 Caption, 27 TextFont, 28 TextSize, 29 Bold, 30 Italic, 31 Underline
 *
 * Event handlers the runtime calls (the object first):
 *   ScrollBar, Slider: ValueChanged, GotFocus, LostFocus: void (self)
 *                      MouseDown: uint8_t (self, int32_t x, int32_t y)
 *                      MouseDrag, MouseUp: void (self, int32_t x, int32_t y)
 *   StaticText: AcceleratorKey: void (self); MouseDown, MouseDrag, MouseUp as above
 *   Canvas: Paint: void (self, VornRuntimeObject *g); GotFocus, LostFocus,
 *           EnableMenuItems: void (self); KeyDown: uint8_t (self, VornStringRecord *key);
 *           MouseDown, MouseDrag, MouseUp as above
 *   GroupBox: MouseDown, MouseDrag, MouseUp as above
 * Mouse coordinates are relative to the control's top-left corner.
 *
 * Accessors take (object, parameter word[, value]); the parameter word is the row's (a field
 * offset or a selector) and the setters below ignore it unless said otherwise. String and
 * object results carry one reference for the caller; arguments stay the caller's.
 */
#ifndef VORN_CONTROLS_API_H
#define VORN_CONTROLS_API_H

#include <stdint.h>

#include "vorn/control_api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- ScrollBar and Slider ---------------------------------------------------------------- */

/* Selectors: 0 Minimum, 1 Value, 2 Maximum, 3 LineStep, 4 PageStep, 5 AcceptFocus (ScrollBar);
 * read from the pane while it exists. Other selectors answer 0 and set nothing. */
int32_t scrollerPropGetter(VornRuntimeObject *ctl, int32_t index);
void scrollerPropSetter(VornRuntimeObject *ctl, int32_t index, int32_t value);
void ScrollerLiveScrollSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void SliderLiveScrollSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void ScrollBarCreatePane(VornRuntimeObject *ctl);
void SliderCreatePane(VornRuntimeObject *ctl);
void scrollBarDestructor(VornRuntimeObject *ctl);
void sliderDestructor(VornRuntimeObject *ctl);

/* --- StaticText -------------------------------------------------------------------------- */

void staticCaptionSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *text);
/* setString of StringInterface: the same as staticCaptionSetter. */
void StaticTextSetString(VornRuntimeObject *ctl, VornStringRecord *text);
/* 0 left, 1 centre, 2 right; other values are kept and change nothing on screen. */
void staticTextAlignSetter(VornRuntimeObject *ctl, int32_t param, int32_t align);
void staticTextColorSetter(VornRuntimeObject *ctl, int32_t param, uint32_t color);
void staticTextFontSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *font);
void staticTextSizeSetter(VornRuntimeObject *ctl, int32_t param, int32_t size);
/* Bold, Italic and Underline: param is the field's offset, as the property row gives it. */
void staticAttributeSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void StaticTextMultilineSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
VornStringRecord *StaticTextDataSourceGetter(VornRuntimeObject *ctl, int32_t param);
void StaticTextDataSourceSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *name);
void StaticTextDataFieldSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *name);
void StaticTextCreatePane(VornRuntimeObject *ctl);
void StaticTextDestructor(VornRuntimeObject *ctl);

/* --- Canvas ------------------------------------------------------------------------------ */

/* The canvas's Graphics object, the same on every call, held once more for the caller; nil
 * before the canvas has its pane. */
VornRuntimeObject *canvasGraphicsGetter(VornRuntimeObject *canvas, int32_t param);
void canvasBackdropSetter(VornRuntimeObject *canvas, int32_t param, VornRuntimeObject *picture);
/* Scrolls (x, y, width, height) of the canvas by (dx, dy); -10000 for width or height means
 * the canvas's own; moveControls moves the controls inside it along. */
void canvasScroll(VornRuntimeObject *canvas, int32_t dx, int32_t dy, int32_t x, int32_t y,
                  int32_t width, int32_t height, uint8_t moveControls);
void CanvasCreatePane(VornRuntimeObject *canvas);
void RuntimeCanvasInitializer(VornRuntimeObject *canvas);
void RuntimeCanvasDestructor(VornRuntimeObject *canvas);

/* --- EmbeddedWindowControl ----------------------------------------------------------------- */

void EmbeddedWindowControlInitializer(VornRuntimeObject *ctl);
void EmbeddedWindowControlFinalizer(VornRuntimeObject *ctl);

/* --- GroupBox ------------------------------------------------------------------------------ */

VornStringRecord *groupCaptionGetter(VornRuntimeObject *ctl, int32_t param);
void groupCaptionSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *caption);
VornStringRecord *groupTextFontGetter(VornRuntimeObject *ctl, int32_t param);
void groupTextFontSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *font);
int32_t groupTextSizeGetter(VornRuntimeObject *ctl, int32_t param);
void groupTextSizeSetter(VornRuntimeObject *ctl, int32_t param, int32_t size);
uint8_t groupBoldGetter(VornRuntimeObject *ctl, int32_t param);
void groupBoldSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t groupItalicGetter(VornRuntimeObject *ctl, int32_t param);
void groupItalicSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t groupUnderlineGetter(VornRuntimeObject *ctl, int32_t param);
void groupUnderlineSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void GroupBoxCreatePane(VornRuntimeObject *ctl);
void groupBoxDestructor(VornRuntimeObject *ctl);

#ifdef __cplusplus
}
#endif

#endif
