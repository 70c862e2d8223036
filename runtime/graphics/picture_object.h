// The language's Picture and RGBSurface objects. A bitmap picture holds a Drawable (in
// practice a DrawablePane); a vector picture has none. Pictures hand out a Graphics object for
// drawing into the bitmap, RGBSurface objects for pixel access and a mask picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/drawable.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

class DrawablePane;

struct PictureObject {
  RuntimeObject header;
  int32_t transparent;      // non-zero: white is drawn transparent
  Drawable* drawable;       // one reference held; nil for a vector picture
  RuntimeObject* graphics;  // the Graphics object handed out, made on first use
  RuntimeObject* mask;      // the mask Picture, made on first use
  int32_t width;            // as created
  int32_t height;
  RuntimeObject* objects;   // the shapes of a vector picture
  uint8_t vector;           // made without a bitmap
};

struct RGBSurfaceObject {
  RuntimeObject header;
  RuntimeObject* picture;  // one reference held
  int32_t width;           // the bitmap's size when the surface was made
  int32_t height;
  int32_t unused[2];
  int32_t depth;
};

constexpr int32_t kPictureTransparentOffset = static_cast<int32_t>(offsetof(PictureObject, transparent));
constexpr int32_t kPictureDrawableOffset = static_cast<int32_t>(offsetof(PictureObject, drawable));

ObjectDefinition* GetPictureClassDefinition();
ObjectDefinition* GetRGBSurfaceClassDefinition();
// Enters RGBSurface and Picture in the intrinsic class map, their members and the
// "PicturePacker" row in the entry-point directory.
void RegisterPictureClasses();

// The fields of a Picture, nil for nil or another class.
PictureObject* PictureFields(RuntimeObject* object);
RGBSurfaceObject* RGBSurfaceFields(RuntimeObject* object);
// The picture's drawable (not retained), nil when none.
Drawable* PictureDrawable(RuntimeObject* picture);
// The picture's bitmap when its drawable is one, nil otherwise.
DrawablePane* PictureBitmap(RuntimeObject* picture);
// A new Picture (one reference) holding the drawable, which it retains; nil when no object
// can be made.
RuntimeObject* NewPictureWithDrawable(Drawable* drawable);
// Gives the picture another drawable (retained); the one it held is released.
void SetPictureDrawable(RuntimeObject* picture, Drawable* drawable);

// &hRRGGBB of a bitmap pixel from its cached pixbuf; 0 outside or without pixels.
uint32_t BitmapPixel(DrawablePane* pane, int32_t x, int32_t y);

// Cuts the source span [start, start + size) to [0, limit), shrinking and moving the
// destination span [position, position + extent) in proportion (integer arithmetic,
// truncating). size must be above 0.
void ClipSpan(int64_t* position, int64_t* extent, int64_t* start, int64_t* size, int64_t limit);

// What a canvas draws as its backdrop: the picture's top-left part, at most width x height,
// at (h, v) of the port, white left out when the picture is transparent. Answers the word the
// canvas keeps from the picture's bitmap, 0 without one.
int32_t DrawPictureBackdrop(Graphics* port, RuntimeObject* picture, int32_t h, int32_t v, int32_t width,
                            int32_t height);

}  // namespace vorn
