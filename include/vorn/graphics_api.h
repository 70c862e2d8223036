/*
 * The language's Graphics class as compiled code calls it.
 *
 * Every entry point takes the Graphics object first. Coordinates are relative to the pane the
 * object draws into; rectangles are (x, y, width, height). Colours are &h00RRGGBB. Strings are
 * records the caller keeps (nil is the empty string); a string result carries one reference
 * for the caller. A nil Graphics object raises NilObjectException (see object_abi.h) and the
 * call answers zero. Drawing never fails otherwise: an object without a port draws nothing
 * and measures 0.
 *
 * Property accessors take (object, parameter word[, value]); the parameter word is not read.
 */
#ifndef VORN_GRAPHICS_API_H
#define VORN_GRAPHICS_API_H

#include <stdint.h>

#include "vorn/image_abi.h"
#include "vorn/array_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kVornTextDirectionUnknown = -1,
  kVornTextDirectionLeftToRight = 0,
  kVornTextDirectionRightToLeft = 1
};

void RuntimeGraphicsDestructor(VornRuntimeObject *g);

/* --- shapes ------------------------------------------------------------------------------ */

void RuntimeGraphicsClearRect(VornRuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsDrawRect(VornRuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsFillRect(VornRuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsDrawOval(VornRuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsFillOval(VornRuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsDrawRoundRect(VornRuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height,
                                  int32_t arcWidth, int32_t arcHeight);
void RuntimeGraphicsFillRoundRect(VornRuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height,
                                  int32_t arcWidth, int32_t arcHeight);
void RuntimeGraphicsDrawLine(VornRuntimeObject *g, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void RuntimeGraphicsDrawFocusRing(VornRuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void graphicsDrawStopIcon(VornRuntimeObject *g, int32_t x, int32_t y);
void graphicsDrawNoteIcon(VornRuntimeObject *g, int32_t x, int32_t y);
void graphicsDrawCautionIcon(VornRuntimeObject *g, int32_t x, int32_t y);
/* Erases a screen pane; starts a new page when printing. */
void RuntimeGraphicsNextPage(VornRuntimeObject *g);

/* The picture's source rectangle (sx, sy, w2, h2) scaled into (x, y, w1, h1). -10000 for w1
   or h1 means the picture's width or height; for w2 or h2, the destination's. Parts of the
   source outside the picture are cut off with the matching part of the destination. */
void RuntimeGraphicsDrawPicture(VornRuntimeObject *g, VornRuntimeObject *picture, int32_t x, int32_t y, int32_t w1,
                                int32_t h1, int32_t sx, int32_t sy, int32_t w2, int32_t h2);

/* Pixel(x, y) As Color and its assignment form. */
uint32_t graphicsPixelGetter(VornRuntimeObject *g, int32_t x, int32_t y);
void graphicsPixelSetter(VornRuntimeObject *g, int32_t x, int32_t y, uint32_t color);

/* --- text -------------------------------------------------------------------------------- */

/* y is the baseline of the (first) line. width 0: one line; condense False and width not 0:
 * wrapped within width; condense True and width >= 1: one line, cut to width and ended with
 * "..." when too wide. */
void RuntimeGraphicsDrawStringCondensed(VornRuntimeObject *g, VornStringRecord *text, int32_t x, int32_t y,
                                        int32_t width, uint8_t condense);
void RuntimeGraphicsDrawString(VornRuntimeObject *g, VornStringRecord *text, int32_t x, int32_t y,
                               int32_t width);
int32_t RuntimeGraphicsStringWidth(VornRuntimeObject *g, VornStringRecord *text);
/* The installed font families, "System" first; an index outside them raises OutOfBoundsException. */
int32_t getFontCount(void);
VornStringRecord *getFontName(int32_t index);
int32_t RuntimeGraphicsStringHeight(VornRuntimeObject *g, VornStringRecord *text, int32_t wrapWidth);
int32_t RuntimeGraphicsStringDirection(VornRuntimeObject *g, VornStringRecord *text);
/* Ascent plus descent of the current font. */
int32_t RuntimeGraphicsTextHeight(VornRuntimeObject *g);
int32_t RuntimeGraphicsTextAscent(VornRuntimeObject *g);

/* --- properties -------------------------------------------------------------------------- */

uint32_t graphicsForeColorGetter(VornRuntimeObject *g, int32_t param);
void graphicsForeColorSetter(VornRuntimeObject *g, int32_t param, uint32_t color);
int32_t graphicsWidthGetter(VornRuntimeObject *g, int32_t param);
int32_t graphicsHeightGetter(VornRuntimeObject *g, int32_t param);
VornStringRecord *graphicsTextFontGetter(VornRuntimeObject *g, int32_t param);
void graphicsTextFontSetter(VornRuntimeObject *g, int32_t param, VornStringRecord *font);
int32_t graphicsTextSizeGetter(VornRuntimeObject *g, int32_t param);
void graphicsTextSizeSetter(VornRuntimeObject *g, int32_t param, int32_t size);
int32_t graphicsCopiesGetter(VornRuntimeObject *g, int32_t param);
int32_t graphicsFirstPageGetter(VornRuntimeObject *g, int32_t param);
int32_t graphicsLastPageGetter(VornRuntimeObject *g, int32_t param);
uint8_t graphicsBoldGetter(VornRuntimeObject *g, int32_t param);
void graphicsBoldSetter(VornRuntimeObject *g, int32_t param, uint8_t value);
uint8_t graphicsItalicGetter(VornRuntimeObject *g, int32_t param);
void graphicsItalicSetter(VornRuntimeObject *g, int32_t param, uint8_t value);
uint8_t graphicsUnderlineGetter(VornRuntimeObject *g, int32_t param);
void graphicsUnderlineSetter(VornRuntimeObject *g, int32_t param, uint8_t value);
int32_t graphicsPenWidthGetter(VornRuntimeObject *g, int32_t param);
void graphicsPenWidthSetter(VornRuntimeObject *g, int32_t param, int32_t value);
int32_t graphicsPenHeightGetter(VornRuntimeObject *g, int32_t param);
void graphicsPenHeightSetter(VornRuntimeObject *g, int32_t param, int32_t value);
/* Reads False; setting it has no effect. */
uint8_t graphicsUseOldRendererGetter(VornRuntimeObject *g, int32_t param);
void graphicsUseOldRendererSetter(VornRuntimeObject *g, int32_t param, uint8_t value);

/* Points of a one-dimensional Integer array: point k (from 1) is (points(2k - 1), points(2k));
 * element 0 and an odd last element are unused; nothing is drawn below two elements or for a
 * nil array. Any other kind of array raises TypeMismatchException. The array stays the
 * caller's. */
void graphicsDrawPolygon(VornRuntimeObject *g, VornArray *points);
void graphicsFillPolygon(VornRuntimeObject *g, VornArray *points);

#ifdef __cplusplus
}
#endif

#endif
