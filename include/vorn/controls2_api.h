/*
 * More concrete controls as compiled code calls them: ProgressBar, the shape controls
 * (Rectangle, RoundRectangle, Oval, Line), PagePanel and TabPanel.
 *
 * Each class derives from RectControl (TabPanel from PagePanel); its own properties begin at
 * property index 26 in the order of its rows:
 *   ProgressBar:    26 Value, 27 Maximum
 *   Rectangle:      26 FillColor, 27 BorderWidth, 28 TopLeftColor, 29 BottomRightColor
 *   RoundRectangle: 26 FillColor, 27 BorderWidth, 28 BorderColor, 29 OvalWidth, 30 OvalHeight
 *   Oval:           26 FillColor, 27 BorderWidth, 28 BorderColor
 *   Line:           26 X1, 27 X2, 28 Y1, 29 Y2, 30 BorderWidth, 31 LineColor
 *   PagePanel:      26 Enabled, 27 Value, 28 PanelCount
 *   TabPanel:       26-28 as PagePanel, 29 Enabled, 30 TabDefinition (write-only), 31 Value,
 *                   32 Facing, 33 SmallTabs, 34 TextFont, 35 TextSize, 36 Bold, 37 Italic,
 *                   38 Underline
 *
 * Event handlers the runtime calls (the object first):
 *   ProgressBar and the shapes: MouseDown: uint8_t (self, int32_t x, int32_t y);
 *                               MouseDrag, MouseUp: void (self, int32_t x, int32_t y)
 *   PagePanel, TabPanel: Change: void (self); TabPanel: GotFocus, LostFocus: void (self)
 * Mouse coordinates are relative to the control's top-left corner.
 *
 * Page numbers: a control's tab panel number is 0 for no page and n for page n counted from 1;
 * Value and the page and tab arguments below count from 0.
 */
#ifndef VORN_CONTROLS2_API_H
#define VORN_CONTROLS2_API_H

#include <stdint.h>

#include "vorn/control_api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- ProgressBar ------------------------------------------------------------------------- */

/* A Maximum below 1 makes the bar indeterminate (it pulses while shown). */
int32_t progressValueGetter(VornRuntimeObject *ctl, int32_t param);
void progressValueSetter(VornRuntimeObject *ctl, int32_t param, int32_t value);
int32_t progressMaximumGetter(VornRuntimeObject *ctl, int32_t param);
void progressMaximumSetter(VornRuntimeObject *ctl, int32_t param, int32_t maximum);
void ProgressBarCreatePane(VornRuntimeObject *ctl);

/* --- shapes ------------------------------------------------------------------------------ */

/* Accessors of shape fields kept both in the object and, once it exists, in the pane. The
 * parameter word holds the object field's offset in bits 0-9 and the pane field's selector in
 * bits 10-19 (repeated in bits 20-29). A set stores into both and redraws the pane. */
int32_t paneIntGetter(VornRuntimeObject *ctl, int32_t param);
void paneIntSetter(VornRuntimeObject *ctl, int32_t param, int32_t value);
int32_t paneShortGetter(VornRuntimeObject *ctl, int32_t param);
void paneShortSetter(VornRuntimeObject *ctl, int32_t param, int32_t value);
uint8_t paneBoolGetter(VornRuntimeObject *ctl, int32_t param);
void paneBoolSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
VornStringRecord *paneStringGetter(VornRuntimeObject *ctl, int32_t param);
void paneStringSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *value);
VornRuntimeObject *paneObjGetter(VornRuntimeObject *ctl, int32_t param);
void paneObjSetter(VornRuntimeObject *ctl, int32_t param, VornRuntimeObject *value);
/* X1, X2, Y1, Y2 of a Line (param: the field's offset); the control's bounds follow the end
 * points grown by the border width. */
void linePosSetter(VornRuntimeObject *ctl, int32_t param, int32_t value);
void RectCreatePane(VornRuntimeObject *ctl);
void RoundRectCreatePane(VornRuntimeObject *ctl);
void OvalCreatePane(VornRuntimeObject *ctl);
void LineCreatePane(VornRuntimeObject *ctl);

/* --- PagePanel and TabPanel -------------------------------------------------------------- */

void PagePanelCreatePane(VornRuntimeObject *ctl);
void PagePanelAppendPage(VornRuntimeObject *ctl);
/* Out-of-range indices raise OutOfBoundsException. */
void PagePanelInsertPage(VornRuntimeObject *ctl, int32_t index);
void PagePanelRemovePage(VornRuntimeObject *ctl, int32_t index);
int32_t PagePanelCountGetter(VornRuntimeObject *ctl, int32_t param);
int32_t PagePanelValueGetter(VornRuntimeObject *ctl, int32_t param);
/* Selects the page and fires Change once, also when the page stays the same. */
void PagePanelValueSetter(VornRuntimeObject *ctl, int32_t param, int32_t value);

int32_t tabPanelValueGetter(VornRuntimeObject *ctl, int32_t param);
/* A value outside 0 .. tab count - 1 raises OutOfBoundsException. */
void tabPanelValueSetter(VornRuntimeObject *ctl, int32_t param, int32_t value);
VornStringRecord *tabPanelCaptionGetter(VornRuntimeObject *ctl, int32_t index);
void tabPanelCaptionSetter(VornRuntimeObject *ctl, int32_t index, VornStringRecord *caption);
void tabPanelTextFontSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *font);
void tabPanelTextSizeSetter(VornRuntimeObject *ctl, int32_t param, int32_t size);
void tabPanelBoldSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void tabPanelItalicSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void tabPanelUnderlineSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void TabPanelAppendTab(VornRuntimeObject *ctl, VornStringRecord *caption);
void TabPanelInsertTab(VornRuntimeObject *ctl, int32_t index, VornStringRecord *caption);
void TabPanelRemoveTab(VornRuntimeObject *ctl, int32_t index);
/* The tab under a point relative to the panel, -1 for none. */
int32_t TabPanelTabClickedOn(VornRuntimeObject *ctl, int32_t x, int32_t y);
void tabPanelDestructor(VornRuntimeObject *ctl);

#ifdef __cplusplus
}
#endif

#endif /* VORN_CONTROLS2_API_H */
