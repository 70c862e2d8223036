/*
 * The language's 2D object classes as compiled code calls them: Object2D, RectShape,
 * RoundRectShape, OvalShape, ArcShape, PixmapShape, StringShape, CurveShape, Group2D and
 * FigureShape, and the Graphics methods that draw them.
 *
 * Entry points take the object first. Property accessors take (object, field offset[,
 * value]). Object results carry one reference for the caller. Index errors raise
 * OutOfBoundsException (see object_abi.h) and answer zero or nil. Angles are radians; a
 * positive rotation turns clockwise on screen.
 */
#ifndef VORN_SHAPES_API_H
#define VORN_SHAPES_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- constructors and destructors -------------------------------------------------------- */

void Object2DConstructor(VornRuntimeObject *object);
void RectShapeConstructor(VornRuntimeObject *object);
void RoundRectShapeConstructor(VornRuntimeObject *object);
void OvalShapeConstructor(VornRuntimeObject *object);
void ArcShapeConstructor(VornRuntimeObject *object);
void PixmapShapeConstructor(VornRuntimeObject *object);
/* Takes the picture's size as the shape's size and source; nil leaves an empty shape. */
void PixmapShapeImageCtor(VornRuntimeObject *object, VornRuntimeObject *image);
void PixmapShapeDestructor(VornRuntimeObject *object);
void StringShapeConstructor(VornRuntimeObject *object);
void StringShapeDestructor(VornRuntimeObject *object);
void CurveShapeConstructor(VornRuntimeObject *object);
void Group2DConstructor(VornRuntimeObject *object);
void Group2DDestructor(VornRuntimeObject *object);
void FigureShapeConstructor(VornRuntimeObject *object);
void FigureShapeDestructor(VornRuntimeObject *object);

/* --- properties -------------------------------------------------------------------------- */

/* X, Y, Rotation and Scale: groups and curves carry their members and points along. A Scale
   of 0 or less on a group or curve is ignored. */
void Object2DDoubleSetter(VornRuntimeObject *object, int32_t offset, double value);
/* Fractions read and written as percentages. */
double doublePercentGetter(VornRuntimeObject *object, int32_t offset);
void doublePercentSetter(VornRuntimeObject *object, int32_t offset, double value);
/* Stores the angle in [0, 2 pi). */
void ArcStartAngleSetter(VornRuntimeObject *object, int32_t offset, double value);
/* 0, 1 or 2; anything else raises OutOfBoundsException. */
void CurveOrderSetter(VornRuntimeObject *object, int32_t offset, int32_t value);
/* Control points 0 and 1. */
double CurveGetControlX(VornRuntimeObject *curve, int32_t index);
double CurveGetControlY(VornRuntimeObject *curve, int32_t index);
void CurveSetControlX(VornRuntimeObject *curve, int32_t index, double value);
void CurveSetControlY(VornRuntimeObject *curve, int32_t index, double value);

/* --- methods ----------------------------------------------------------------------------- */

uint8_t RectShapeContains(VornRuntimeObject *shape, double x, double y);

int32_t Group2DCount(VornRuntimeObject *group, int32_t param);
void Group2DAppend(VornRuntimeObject *group, VornRuntimeObject *object);
void Group2DInsert(VornRuntimeObject *group, int32_t index, VornRuntimeObject *object);
VornRuntimeObject *Group2DGetItem(VornRuntimeObject *group, int32_t index);
void Group2DSetItem(VornRuntimeObject *group, int32_t index, VornRuntimeObject *object);
/* Nothing when the object is not a member. */
void Group2DRemoveByObject(VornRuntimeObject *group, VornRuntimeObject *object);
void Group2DRemoveByIndex(VornRuntimeObject *group, int32_t index);

void FigureShapeAddLine(VornRuntimeObject *figure, float x1, float y1, float x2, float y2);
void FigureShapeAddQuad(VornRuntimeObject *figure, float x1, float y1, float x2, float y2, float cx1, float cy1);
void FigureShapeAddCubic(VornRuntimeObject *figure, float x1, float y1, float x2, float y2, float cx1, float cy1,
                         float cx2, float cy2);

/* --- drawing ----------------------------------------------------------------------------- */

void RuntimeGraphicsDrawObject(VornRuntimeObject *g, VornRuntimeObject *object);
/* Draws the object moved by (deltaX, deltaY); it is put back afterwards. */
void RuntimeGraphicsDrawObjectXY(VornRuntimeObject *g, VornRuntimeObject *object, int32_t deltaX, int32_t deltaY);

/* Picture.Objects: the shapes of a vector picture. */
VornRuntimeObject *pictureGroup2DGetter(VornRuntimeObject *picture, int32_t param);
void pictureGroup2DSetter(VornRuntimeObject *picture, int32_t param, VornRuntimeObject *group);

#ifdef __cplusplus
}
#endif

#endif
