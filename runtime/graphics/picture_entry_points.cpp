// The language's Picture class: creation, destruction and its properties.
#include <gtk/gtk.h>

#include "base/resource_manager.h"
#include "graphics/bmp_decoder.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics_object.h"
#include "graphics/object2d.h"
#include "graphics/picture_object.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/image_format.h"
#include "vorn/picture_api.h"
#include "vorn/shapes_api.h"

namespace vorn {

namespace {

constexpr int32_t kDefaultResolution = 72;

// Width and height as stored, the picture's bitmap made when the depth asks for one. A size
// no bitmap can hold raises OutOfMemoryException; without a display the picture simply has
// no bitmap.
bool InitPicture(PictureObject* fields, int32_t width, int32_t height, int32_t depth) {
  fields->width = width;
  fields->height = height;
  if (depth < 1) {
    fields->vector = 1;
    if (!fields->objects) fields->objects = CreateInstanceFromDefinition(GetGroup2DClassDefinition());
    return true;
  }
  const int32_t w = width < 0 ? 0 : width;
  const int32_t h = height < 0 ? 0 : height;
  if (w > kMaxBitmapSide || h > kMaxBitmapSide || int64_t{w} * h > kMaxBitmapPixels) {
    RuntimeRaiseExceptionWithMessage(GetOutOfMemoryExceptionClassDefinition(),
                                     string("The picture is too large to be made"));
    return false;
  }
  if (DrawablePane* pane = NewDrawablePane(w, h, depth)) {
    SetPictureDrawable(&fields->header, pane);
    pane->Release();
  }
  return true;
}

}  // namespace

PictureObject* PictureFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetPictureClassDefinition())) return nullptr;
  return reinterpret_cast<PictureObject*>(object);
}

Drawable* PictureDrawable(RuntimeObject* picture) {
  PictureObject* fields = PictureFields(picture);
  return fields ? fields->drawable : nullptr;
}

DrawablePane* PictureBitmap(RuntimeObject* picture) {
  Drawable* drawable = PictureDrawable(picture);
  return drawable ? drawable->AsDrawablePane() : nullptr;
}

namespace {

// The Graphics object may outlive the picture's bitmap in compiled code: its port goes, so it
// cannot draw into a freed bitmap. The picture itself lets the object go.
void DropPictureGraphics(PictureObject* fields) {
  RuntimeObject* graphics = fields->graphics;
  if (!graphics) return;
  fields->graphics = nullptr;
  DisposeGraphics(DetachGraphicsObjectPort(graphics));
  RuntimeUnlockObject(graphics);
}

}  // namespace

void SetPictureDrawable(RuntimeObject* picture, Drawable* drawable) {
  PictureObject* fields = PictureFields(picture);
  if (!fields || fields->drawable == drawable) return;
  if (drawable) drawable->Retain();
  // The Graphics object and the mask belong to the old bitmap.
  DropPictureGraphics(fields);
  RuntimeObject* mask = fields->mask;
  fields->mask = nullptr;
  RuntimeUnlockObject(mask);
  Drawable* old = fields->drawable;
  fields->drawable = drawable;
  if (old) old->Release();
}

RuntimeObject* NewPictureWithDrawable(Drawable* drawable) {
  RuntimeObject* picture = CreateInstanceFromDefinition(GetPictureClassDefinition());
  if (!picture) return nullptr;
  SetPictureDrawable(picture, drawable);
  if (drawable) {
    int32_t width = 0, height = 0;
    drawable->GetSize(&width, &height);
    PictureFields(picture)->width = width;
    PictureFields(picture)->height = height;
  }
  return picture;
}

uint32_t BitmapPixel(DrawablePane* pane, int32_t x, int32_t y) {
  if (!pane || x < 0 || y < 0 || x >= pane->Width() || y >= pane->Height()) return 0;
  GdkPixbuf* pixbuf = pane->GetPixbuf();
  if (!pixbuf) return 0;
  const guchar* p = gdk_pixbuf_get_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
                    x * gdk_pixbuf_get_n_channels(pixbuf);
  return (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[2];
}

}  // namespace vorn

using vorn::PictureFields;
using vorn::PictureObject;

extern "C" {

VornRuntimeObject* newPicture(int32_t width, int32_t height, int32_t depth) {
  VornRuntimeObject* picture = vorn::CreateInstanceFromDefinition(vorn::GetPictureClassDefinition());
  if (!picture) return nullptr;
  if (!vorn::InitPicture(PictureFields(picture), width, height, depth)) {
    RuntimeUnlockObject(picture);
    return nullptr;
  }
  return picture;
}

void PictureConstructor(VornRuntimeObject* picture, int32_t width, int32_t height, int32_t depth) {
  if (PictureObject* fields = PictureFields(picture)) vorn::InitPicture(fields, width, height, depth);
}

void RuntimePictureDestructor(VornRuntimeObject* picture) {
  auto* fields = reinterpret_cast<PictureObject*>(picture);
  if (!fields) return;
  VornRuntimeObject* mask = fields->mask;
  fields->mask = nullptr;
  RuntimeUnlockObject(mask);
  vorn::DropPictureGraphics(fields);
  if (vorn::Drawable* drawable = fields->drawable) {
    fields->drawable = nullptr;
    drawable->Release();
  }
  VornRuntimeObject* objects = fields->objects;
  fields->objects = nullptr;
  RuntimeUnlockObject(objects);
}

VornRuntimeObject* pictureIndexedImage(VornRuntimeObject* picture, int32_t) {
  vorn::Drawable* drawable = vorn::PictureDrawable(picture);
  return drawable ? vorn::NewPictureWithDrawable(drawable) : nullptr;
}

int32_t pictureWidthGetter(VornRuntimeObject* picture, int32_t) {
  PictureObject* fields = PictureFields(picture);
  if (!fields) return 0;
  if (fields->drawable) {
    int32_t width = 0, height = 0;
    fields->drawable->GetSize(&width, &height);
    return width;
  }
  return (fields->objects || fields->vector) ? fields->width : 0;
}

int32_t pictureHeightGetter(VornRuntimeObject* picture, int32_t) {
  PictureObject* fields = PictureFields(picture);
  if (!fields) return 0;
  if (fields->drawable) {
    int32_t width = 0, height = 0;
    fields->drawable->GetSize(&width, &height);
    return height;
  }
  return (fields->objects || fields->vector) ? fields->height : 0;
}

VornRuntimeObject* pictureGraphicsGetter(VornRuntimeObject* picture, int32_t) {
  PictureObject* fields = PictureFields(picture);
  if (!fields || !fields->drawable) return nullptr;
  if (!fields->graphics) {
    vorn::Graphics* port = fields->drawable->NewGraphics();
    if (!port) return nullptr;
    fields->graphics = vorn::NewGraphicsObject(port);
    if (!fields->graphics) return nullptr;
  }
  RuntimeLockObject(fields->graphics);
  return fields->graphics;
}

VornRuntimeObject* pluginPictureGraphicsGetter(VornRuntimeObject* picture) {
  return pictureGraphicsGetter(picture, 0);
}

VornRuntimeObject* pictureGroup2DGetter(VornRuntimeObject* picture, int32_t) {
  PictureObject* fields = PictureFields(picture);
  if (!fields) return nullptr;
  RuntimeLockObject(fields->objects);
  return fields->objects;
}

void pictureGroup2DSetter(VornRuntimeObject* picture, int32_t, VornRuntimeObject* group) {
  PictureObject* fields = PictureFields(picture);
  if (!fields) return;
  RuntimeLockUnlockObjects(group, fields->objects);
  fields->objects = group;
}

int32_t pictureTransparentGetter(VornRuntimeObject* picture, int32_t) {
  PictureObject* fields = PictureFields(picture);
  return fields ? fields->transparent : 0;
}

void pictureTransparentSetter(VornRuntimeObject* picture, int32_t, int32_t value) {
  if (PictureObject* fields = PictureFields(picture)) fields->transparent = value;
}

VornRuntimeObject* pictureRGBSurfaceGetter(VornRuntimeObject* picture, int32_t) {
  // Pixel access needs a bitmap; surfaces of this platform are 32 bits deep.
  vorn::DrawablePane* pane = vorn::PictureBitmap(picture);
  if (!pane) return nullptr;
  VornRuntimeObject* surface = vorn::CreateInstanceFromDefinition(vorn::GetRGBSurfaceClassDefinition());
  vorn::RGBSurfaceObject* fields = vorn::RGBSurfaceFields(surface);
  if (!fields) return nullptr;
  RuntimeLockObject(picture);
  fields->picture = picture;
  fields->width = pane->Width();
  fields->height = pane->Height();
  fields->depth = 32;
  return surface;
}

int32_t pictureImageCountGetter(VornRuntimeObject* picture, int32_t) {
  return vorn::PictureDrawable(picture) ? 1 : 0;
}

VornRuntimeObject* pictureMaskGetter(VornRuntimeObject* picture, int32_t) {
  PictureObject* fields = PictureFields(picture);
  if (!fields || !fields->drawable) return nullptr;
  if (!fields->mask) {
    vorn::DrawablePane* maskPane = fields->drawable->GetMask();
    if (!maskPane || !maskPane->IsValid()) return nullptr;
    fields->mask = vorn::NewPictureWithDrawable(maskPane);
    if (!fields->mask) return nullptr;
    // A new mask is black: the picture stays opaque until something is drawn into it.
    if (vorn::Graphics* port = maskPane->NewGraphics()) {
      port->FillRect(vorn::MakeRect(0, 0, maskPane->Width(), maskPane->Height()));
      vorn::DisposeGraphics(port);
    }
  }
  RuntimeLockObject(fields->mask);
  return fields->mask;
}

int32_t PictureDepthGetter(VornRuntimeObject* picture, int32_t) {
  vorn::Drawable* drawable = vorn::PictureDrawable(picture);
  return drawable ? drawable->GetDepth() : 0;
}

int32_t PictureHResGetter(VornRuntimeObject* picture, int32_t) {
  vorn::Drawable* drawable = vorn::PictureDrawable(picture);
  return drawable ? drawable->GetHRes() : vorn::kDefaultResolution;
}

void PictureHResSetter(VornRuntimeObject* picture, int32_t, int32_t value) {
  if (vorn::Drawable* drawable = vorn::PictureDrawable(picture)) drawable->SetHRes(value);
}

int32_t PictureVResGetter(VornRuntimeObject* picture, int32_t) {
  vorn::Drawable* drawable = vorn::PictureDrawable(picture);
  return drawable ? drawable->GetVRes() : vorn::kDefaultResolution;
}

void PictureVResSetter(VornRuntimeObject* picture, int32_t, int32_t value) {
  if (vorn::Drawable* drawable = vorn::PictureDrawable(picture)) drawable->SetVRes(value);
}

// A new Picture (one reference for the caller) of the 'BMP ' resource; nil when missing or
// when its bytes do not decode as a bitmap.
VornRuntimeObject* RuntimeGetBitmapFromResourceManager(int32_t id) {
  vorn::ResourceEntry entry =
      vorn::GetResourceManager().FindResource(vorn::image::kTypePicture, static_cast<uint16_t>(id));
  if (!entry.data) return nullptr;
  vorn::DrawablePane* pane = vorn::DrawableFromBMP(entry.data, entry.length);
  if (!pane) return nullptr;
  VornRuntimeObject* picture = vorn::NewPictureWithDrawable(pane);
  pane->Release();
  return picture;
}

}  // extern "C"
