/*
 * The language's Picture and RGBSurface classes as compiled code calls them.
 *
 * Entry points take the object first. Property accessors take (object, parameter word[,
 * value]); the parameter word is not read. Object and string results carry one reference for
 * the caller. Colours are &h00RRGGBB. A picture without a bitmap (a vector picture, or one
 * whose bitmap could not be made) answers nil, 0 or 72 and draws nothing.
 */
#ifndef VORN_PICTURE_API_H
#define VORN_PICTURE_API_H

#include <stdint.h>

#include "vorn/array_abi.h"
#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- Picture ----------------------------------------------------------------------------- */

/* Depth below 1 makes a vector picture (no bitmap); otherwise a white bitmap. A size beyond
   what a bitmap can hold raises OutOfMemoryException. */
VornRuntimeObject *newPicture(int32_t width, int32_t height, int32_t depth);
void PictureConstructor(VornRuntimeObject *picture, int32_t width, int32_t height, int32_t depth);
void RuntimePictureDestructor(VornRuntimeObject *picture);

VornRuntimeObject *pictureIndexedImage(VornRuntimeObject *picture, int32_t index);
int32_t pictureWidthGetter(VornRuntimeObject *picture, int32_t param);
int32_t pictureHeightGetter(VornRuntimeObject *picture, int32_t param);
/* The same Graphics object on every call. */
VornRuntimeObject *pictureGraphicsGetter(VornRuntimeObject *picture, int32_t param);
VornRuntimeObject *pluginPictureGraphicsGetter(VornRuntimeObject *picture);
int32_t pictureTransparentGetter(VornRuntimeObject *picture, int32_t param);
void pictureTransparentSetter(VornRuntimeObject *picture, int32_t param, int32_t value);
VornRuntimeObject *pictureRGBSurfaceGetter(VornRuntimeObject *picture, int32_t param);
int32_t pictureImageCountGetter(VornRuntimeObject *picture, int32_t param);
/* Made black (opaque) on first use; the same picture afterwards. */
VornRuntimeObject *pictureMaskGetter(VornRuntimeObject *picture, int32_t param);
int32_t PictureDepthGetter(VornRuntimeObject *picture, int32_t param);
int32_t PictureHResGetter(VornRuntimeObject *picture, int32_t param);
void PictureHResSetter(VornRuntimeObject *picture, int32_t param, int32_t value);
int32_t PictureVResGetter(VornRuntimeObject *picture, int32_t param);
void PictureVResSetter(VornRuntimeObject *picture, int32_t param, int32_t value);
/* 32-bit width, 32-bit height, then &hRRGGBB of every pixel row by row from the top, all
   little-endian. */
VornStringRecord *PicturePacker(VornRuntimeObject *picture);

/* The 'BMP ' resource of that id as a new picture; nil when missing or not decodable. */
VornRuntimeObject *RuntimeGetBitmapFromResourceManager(int32_t id);

/* --- RGBSurface -------------------------------------------------------------------------- */

void RGBSurfaceDestructor(VornRuntimeObject *surface);
/* 0 outside the surface. */
uint32_t rgbSurfaceGetPixel(VornRuntimeObject *surface, int32_t x, int32_t y);
/* Nothing outside the surface. */
void rgbSurfaceSetPixel(VornRuntimeObject *surface, int32_t x, int32_t y, uint32_t color);
void rgbSurfaceSeedFill(VornRuntimeObject *surface, int32_t x, int32_t y, uint32_t color);
/* Maps are Integer arrays of upper bound 255 (else UnsupportedFormatException). */
void rgbSurfaceTransform(VornRuntimeObject *surface, VornArray *map);
void rgbSurfaceTransformRGB(VornRuntimeObject *surface, VornArray *redMap, VornArray *greenMap, VornArray *blueMap);
/* Saves the picture where the user chooses in a Save As dialog; 1 when it was written. */
uint8_t exportPicture(VornRuntimeObject *picture);

#ifdef __cplusplus
}
#endif

#endif
