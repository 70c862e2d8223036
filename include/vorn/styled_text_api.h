/*
 * StyledText, StyleRun, Range and Paragraph as compiled code calls them.
 *
 * Positions and lengths are characters from 0. Attribute methods take (self, Start, Length)
 * and their assignment forms the value last; Length defaults to 1. String and object results
 * carry one reference for the caller; arguments stay the caller's. A StyledText taken from an
 * EditField whose pane has closed answers false, 0, "" or nil and ignores every change.
 *
 * StyleRun fields (after the object header): Bold, Italic, Underline (one byte each),
 * TextColor (&h00RRGGBB), Font (string), Size (points), Text (string). Range fields:
 * StartPos, EndPos, Length; Paragraph adds Alignment (0 default, 1 left, 2 centre, 3 right).
 */
#ifndef VORN_STYLED_TEXT_API_H
#define VORN_STYLED_TEXT_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A new StyledText holds one empty run of its own. */
void StyledTextClassInitializer(VornRuntimeObject *self);
void StyledTextClassFinalizer(VornRuntimeObject *self);

VornStringRecord *StyledTextGetter(VornRuntimeObject *self, int32_t param);
/* Replaces every run with one plain run holding the text. */
void StyledTextSetter(VornRuntimeObject *self, int32_t param, VornStringRecord *text);

uint8_t StyledTextGetBold(VornRuntimeObject *self, int32_t start, int32_t length);
void StyledTextSetBold(VornRuntimeObject *self, int32_t start, int32_t length, uint8_t value);
uint8_t StyledTextGetItalic(VornRuntimeObject *self, int32_t start, int32_t length);
void StyledTextSetItalic(VornRuntimeObject *self, int32_t start, int32_t length, uint8_t value);
uint8_t StyledTextGetUnderline(VornRuntimeObject *self, int32_t start, int32_t length);
void StyledTextSetUnderline(VornRuntimeObject *self, int32_t start, int32_t length, uint8_t value);
VornStringRecord *StyledTextGetFont(VornRuntimeObject *self, int32_t start, int32_t length);
void StyledTextSetFont(VornRuntimeObject *self, int32_t start, int32_t length, VornStringRecord *font);
int32_t StyledTextGetSize(VornRuntimeObject *self, int32_t start, int32_t length);
void StyledTextSetSize(VornRuntimeObject *self, int32_t start, int32_t length, int32_t points);
uint32_t StyledTextGetColor(VornRuntimeObject *self, int32_t start, int32_t length);
void StyledTextSetColor(VornRuntimeObject *self, int32_t start, int32_t length, uint32_t color);

int32_t StyledTextRunCountGetter(VornRuntimeObject *self, int32_t param);
/* A copy of the run; an index outside the runs raises OutOfBoundsException. */
VornRuntimeObject *StyledTextRunGetter(VornRuntimeObject *self, int32_t index);
VornRuntimeObject *TextRangeGetter(VornRuntimeObject *self, int32_t index);
/* A nil run raises NilObjectException. */
void InsertStyledTextRun(VornRuntimeObject *self, VornRuntimeObject *run, int32_t index);
void AppendStyledTextRun(VornRuntimeObject *self, VornRuntimeObject *run);
void RemoveStyledTextRun(VornRuntimeObject *self, int32_t index);

/* Paragraphs are separated by one or more line endings; an index past the last paragraph
 * gives the last. */
int32_t StyledTextParagraphCountGetter(VornRuntimeObject *self, int32_t param);
VornRuntimeObject *StyledTextParagraphGetter(VornRuntimeObject *self, int32_t index);
void StyledTextSetAlignment(VornRuntimeObject *self, int32_t index, int32_t alignment);

void StyleRunVNConstructor(VornRuntimeObject *self, VornStringRecord *text);
int32_t RangeEndPosGetter(VornRuntimeObject *self, int32_t param);

/* StyledTextPrinter: fields (after the object header) the Graphics object (held), the layout
   (owned) and Width. DrawBlock draws the next lines that fit whole into height from (x, y);
   EOF is true once the text is used up. */
void StyledTextDestructor(VornRuntimeObject *self);
uint8_t styledPrinterEOF(VornRuntimeObject *self, int32_t param);
void styledPrinterWidthSetter(VornRuntimeObject *self, int32_t param, int32_t width);
void styledPrinterDrawBlock(VornRuntimeObject *self, int32_t x, int32_t y, int32_t height);

#ifdef __cplusplus
}
#endif

#endif
