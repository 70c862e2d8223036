// The class tables of the language's Picture and RGBSurface classes, in the order the
// language declares their members.
#include "base/reloc_entry.h"
#include "graphics/picture_object.h"
#include "objects/class_registry.h"
#include "vorn/picture_api.h"
#include "vorn/shapes_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr ParamRow kConstructorParams[] = {{"width", "i4", 0, 0}, {"height", "i4", 0, 0}, {"depth", "i4", 0, 0}};
constexpr ParamRow kIndexParams[] = {{"index", "i4", 0, 0}};

const MethodRow kPictureMethods[] = {
    {"Constructor", "", kConstructorParams, 3, Fn(&PictureConstructor), "PictureConstructor", nullptr, nullptr, 0, 0},
    {"IndexedImage", "o<Picture>", kIndexParams, 1, Fn(&pictureIndexedImage), "pictureIndexedImage", nullptr, nullptr,
     0, 0},
};

#define VORN_PROPERTY(name, type, getter, setter) {0, name, type, Fn(&getter), #getter, Fn(&setter), #setter, 0, 0}
#define VORN_READ_ONLY(name, type, getter) {0, name, type, Fn(&getter), #getter, nullptr, nullptr, 0, 0}

const PropertyRow kPictureProperties[] = {
    VORN_READ_ONLY("Width", "i4", pictureWidthGetter),
    VORN_READ_ONLY("Height", "i4", pictureHeightGetter),
    VORN_READ_ONLY("Graphics", "o<Graphics>", pictureGraphicsGetter),
    VORN_PROPERTY("Objects", "o<Group2D>", pictureGroup2DGetter, pictureGroup2DSetter),
    VORN_PROPERTY("Transparent", "i4", pictureTransparentGetter, pictureTransparentSetter),
    VORN_READ_ONLY("RGBSurface", "o<RGBSurface>", pictureRGBSurfaceGetter),
    VORN_READ_ONLY("ImageCount", "i4", pictureImageCountGetter),
    VORN_READ_ONLY("Mask", "o<Picture>", pictureMaskGetter),
    VORN_READ_ONLY("Depth", "i4", PictureDepthGetter),
    VORN_PROPERTY("HorizontalResolution", "i4", PictureHResGetter, PictureHResSetter),
    VORN_PROPERTY("VerticalResolution", "i4", PictureVResGetter, PictureVResSetter),
};

#undef VORN_PROPERTY
#undef VORN_READ_ONLY

constexpr ParamRow kPointParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}};
constexpr ParamRow kFillParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}, {"fillColor", "c", 0, 0}};
constexpr ParamRow kMapParams[] = {{"map", "A1i4", 0, 0}};
constexpr ParamRow kRGBMapParams[] = {{"redMap", "A1i4", 0, 0}, {"greenMap", "A1i4", 0, 0}, {"blueMap", "A1i4", 0, 0}};

const MethodRow kSurfaceMethods[] = {
    {"Pixel", "c", kPointParams, 2, Fn(&rgbSurfaceGetPixel), "rgbSurfaceGetPixel", Fn(&rgbSurfaceSetPixel),
     "rgbSurfaceSetPixel", 0, 0},
    {"FloodFill", "", kFillParams, 3, Fn(&rgbSurfaceSeedFill), "rgbSurfaceSeedFill", nullptr, nullptr, 0, 0},
    {"Transform", "", kMapParams, 1, Fn(&rgbSurfaceTransform), "rgbSurfaceTransform", nullptr, nullptr, 0, 0},
    {"Transform", "", kRGBMapParams, 3, Fn(&rgbSurfaceTransformRGB), "rgbSurfaceTransformRGB", nullptr, nullptr, 0,
     0},
};

}  // namespace

ObjectDefinition* GetPictureClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    BeginClassDefinition(&definition, nullptr, 0);
    definition.mInstanceSize = static_cast<int32_t>(sizeof(PictureObject));
    definition.mFinalizer = {Fn(&RuntimePictureDestructor), "RuntimePictureDestructor"};
    definition.SetInstanceVariables(BuildPropertyList(kPictureProperties, RowCount(kPictureProperties)));
    // Method signatures name the class, so the name comes first; it also marks the
    // definition as built.
    definition.mName = string("Picture");
    SetMethodList(&definition, kPictureMethods, RowCount(kPictureMethods));
  }
  return &definition;
}

ObjectDefinition* GetRGBSurfaceClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    BeginClassDefinition(&definition, nullptr, 0);
    definition.mInstanceSize = static_cast<int32_t>(sizeof(RGBSurfaceObject));
    definition.mFinalizer = {Fn(&RGBSurfaceDestructor), "RGBSurfaceDestructor"};
    definition.mName = string("RGBSurface");
    SetMethodList(&definition, kSurfaceMethods, RowCount(kSurfaceMethods));
  }
  return &definition;
}

void RegisterPictureClasses() {
  RegisterIntrinsicClass("RGBSurface", &GetRGBSurfaceClassDefinition);
  RegisterIntrinsicClass("Picture", &GetPictureClassDefinition);
  AddRelocEntry("PicturePacker", Fn(&PicturePacker));
}

}  // namespace vorn
