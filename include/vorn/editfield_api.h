/*
 * The EditField control as compiled code calls it.
 *
 * EditField derives from RectControl; its own properties begin at property index 26
 * (kVornControlFirstOwnProperty) in this order:
 *   26 Text, 27 TextStyleData (read-only), 28 Border, 29 MultiLine, 30 ReadOnly, 31 Password,
 *   32 Styled, 33 AcceptTabs, 34 TextColor, 35 BackColor, 36 ScrollBarHorizontal,
 *   37 ScrollBarVertical, 38 ScrollBar, 39 TextFont, 40 TextSize, 41 Bold, 42 Italic,
 *   43 Underline, 44 SelStart, 45 SelLength, 46 SelText, 47 LimitText, 48 SelBold,
 *   49 SelUnderline, 50 SelItalic, 51 SelOutline, 52 SelShadow, 53 SelCondense, 54 SelExtend,
 *   55 SelPlain, 56 SelTextFont, 57 SelTextSize, 58 SelTextColor, 59 LiveUpdate,
 *   60 UseFocusRing, 61 DataSource, 62 DataField, 63 Alignment, 64 SelAlignment, 65 Format,
 *   66 FormattedText (read-only), 67 Mask, 68 StyledText
 *
 * Event handlers the runtime calls (the object first):
 *   KeyDown: uint8_t (self, VornStringRecord *key)   -- true keeps the key out of the text
 *   GotFocus, LostFocus, SelChange, TextChange, EnableMenuItems: void (self)
 *   MouseDown: uint8_t (self, int32_t x, int32_t y); MouseUp: void (self, int32_t x, int32_t y)
 *   ValidationError: void (self, VornStringRecord *invalidText, int32_t startPosition)
 * Mouse coordinates are relative to the field's top-left corner.
 *
 * Positions and lengths are characters, not bytes; text goes in and comes out as UTF-8.
 * Accessors take (object, parameter word[, value]) and ignore the word; string results carry
 * one reference for the caller, arguments stay the caller's. Without a pane the setters keep
 * what the object stores and the getters of pane state answer 0, false or "".
 */
#ifndef VORN_EDITFIELD_API_H
#define VORN_EDITFIELD_API_H

#include <stdint.h>

#include "vorn/control_api.h"

#ifdef __cplusplus
extern "C" {
#endif

void EditCreatePane(VornRuntimeObject *ctl);
/* BackColor starts white. */
void RuntimeEditInitializer(VornRuntimeObject *ctl);
void RuntimeEditDestructor(VornRuntimeObject *ctl);

VornStringRecord *editTextGetter(VornRuntimeObject *ctl, int32_t param);
void editTextSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *text);
VornStringRecord *editTextStyleDataGetter(VornRuntimeObject *ctl, int32_t param);
uint8_t editBorderGetter(VornRuntimeObject *ctl, int32_t param);
void editBorderSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editMultiLineGetter(VornRuntimeObject *ctl, int32_t param);
void editMultiLineSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editReadOnlyGetter(VornRuntimeObject *ctl, int32_t param);
void editReadOnlySetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editPasswordGetter(VornRuntimeObject *ctl, int32_t param);
void editPasswordSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
void editTextColorSetter(VornRuntimeObject *ctl, int32_t param, uint32_t color);
void editBackColorSetter(VornRuntimeObject *ctl, int32_t param, uint32_t color);
uint8_t editScrollBarGetter(VornRuntimeObject *ctl, int32_t param);
void editScrollBarSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
VornStringRecord *editTextFontGetter(VornRuntimeObject *ctl, int32_t param);
void editTextFontSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *font);
int32_t editTextSizeGetter(VornRuntimeObject *ctl, int32_t param);
void editTextSizeSetter(VornRuntimeObject *ctl, int32_t param, int32_t size);
uint8_t editBoldGetter(VornRuntimeObject *ctl, int32_t param);
void editBoldSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editItalicGetter(VornRuntimeObject *ctl, int32_t param);
void editItalicSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editUnderlineGetter(VornRuntimeObject *ctl, int32_t param);
void editUnderlineSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);

int32_t editSelStartGetter(VornRuntimeObject *ctl, int32_t param);
void editSelStartSetter(VornRuntimeObject *ctl, int32_t param, int32_t start);
int32_t editSelLengthGetter(VornRuntimeObject *ctl, int32_t param);
void editSelLengthSetter(VornRuntimeObject *ctl, int32_t param, int32_t length);
VornStringRecord *editSelTextGetter(VornRuntimeObject *ctl, int32_t param);
void editSelTextSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *text);
int32_t editLimitTextGetter(VornRuntimeObject *ctl, int32_t param);
void editLimitTextSetter(VornRuntimeObject *ctl, int32_t param, int32_t limit);

/* Styles of the selection; a plain field keeps one style for all of its text. */
uint8_t editSelBoldGetter(VornRuntimeObject *ctl, int32_t param);
void editSelBoldSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editSelUnderlineGetter(VornRuntimeObject *ctl, int32_t param);
void editSelUnderlineSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editSelItalicGetter(VornRuntimeObject *ctl, int32_t param);
void editSelItalicSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editSelOutlineGetter(VornRuntimeObject *ctl, int32_t param);
void editSelOutlineSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editSelShadowGetter(VornRuntimeObject *ctl, int32_t param);
void editSelShadowSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editSelCondenseGetter(VornRuntimeObject *ctl, int32_t param);
void editSelCondenseSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editSelExtendGetter(VornRuntimeObject *ctl, int32_t param);
void editSelExtendSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t editSelPlainGetter(VornRuntimeObject *ctl, int32_t param);
void editSelPlainSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
VornStringRecord *editSelTextFontGetter(VornRuntimeObject *ctl, int32_t param);
void editSelTextFontSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *font);
int32_t editSelTextSizeGetter(VornRuntimeObject *ctl, int32_t param);
void editSelTextSizeSetter(VornRuntimeObject *ctl, int32_t param, int32_t size);
uint32_t editSelTextColorGetter(VornRuntimeObject *ctl, int32_t param);
void editSelTextColorSetter(VornRuntimeObject *ctl, int32_t param, uint32_t color);

VornStringRecord *EditDataSourceGetter(VornRuntimeObject *ctl, int32_t param);
void EditDataSourceSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *name);
void EditDataFieldSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *name);
void EditAlignmentSetter(VornRuntimeObject *ctl, int32_t param, int32_t alignment);
int32_t EditSelAlignmentGetter(VornRuntimeObject *ctl, int32_t param);
void EditSelAlignmentSetter(VornRuntimeObject *ctl, int32_t param, int32_t alignment);
/* Stores the mask and matches the current text against it at once (the text is cut to what
 * the mask accepts, followed by the mask's next literals); a mask that reaches "~" raises
 * UnsupportedFormatException. */
void EditMaskSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *mask);
/* A styled field's StyledText (nil for a plain field), over the field's own text. Assigning one
 * replaces the field's text and runs with copies of the given object's runs and paragraph
 * alignments; a plain field, the current object and a detached object change nothing. */
VornRuntimeObject *StyledTextObjectGetter(VornRuntimeObject *ctl, int32_t param);
void StyledTextObjectSetter(VornRuntimeObject *ctl, int32_t param, VornRuntimeObject *value);

/* Methods. */
void editToggleSelectionBold(VornRuntimeObject *ctl);
void editToggleSelectionUnderline(VornRuntimeObject *ctl);
void editToggleSelectionItalic(VornRuntimeObject *ctl);
void editToggleSelectionShadow(VornRuntimeObject *ctl);
void editToggleSelectionOutline(VornRuntimeObject *ctl);
void editToggleSelectionCondense(VornRuntimeObject *ctl);
void editToggleSelectionExtend(VornRuntimeObject *ctl);
void editSetTextAndStyle(VornRuntimeObject *ctl, VornStringRecord *text, VornStringRecord *style);
/* setString of StringInterface: replaces the text. */
void editSetString(VornRuntimeObject *ctl, VornStringRecord *text);
int32_t editScrollPositionGetter(VornRuntimeObject *ctl);
void editScrollPositionSetter(VornRuntimeObject *ctl, int32_t line);
int32_t EditScrollPositionXGetter(VornRuntimeObject *ctl);
void EditScrollPositionXSetter(VornRuntimeObject *ctl, int32_t pixels);
int32_t editLineNumAtCharPos(VornRuntimeObject *ctl, int32_t offset);
/* The line's first character counted from 1; the character count + 1 past the last line. */
int32_t editCharPosAtLineNum(VornRuntimeObject *ctl, int32_t line);
int32_t editCharPosAtXY(VornRuntimeObject *ctl, int32_t x, int32_t y);
int32_t editInsertionPosAtXY(VornRuntimeObject *ctl, int32_t x, int32_t y);
void editCopyToClipboard(VornRuntimeObject *ctl);
void editPasteFromClipboard(VornRuntimeObject *ctl);
void editSelectAll(VornRuntimeObject *ctl);
/* Appends at the end; with LimitText the oldest characters go first. */
void editAppendText(VornRuntimeObject *ctl, VornStringRecord *text);
/* A StyledTextPrinter of the field's text in its styles, lines `width` wide, drawing into the
   Graphics object; nil without a pane or a Graphics object. */
VornRuntimeObject *editStyleTextPrinter(VornRuntimeObject *ctl, VornRuntimeObject *graphics, int32_t width);

#ifdef __cplusplus
}
#endif

#endif
