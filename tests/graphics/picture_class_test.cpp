// The Picture and RGBSurface class tables, vector pictures and what pictures without a
// bitmap answer; none of it needs a display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/resource_manager.h"
#include "graphics/picture_object.h"
#include "graphics/support/recording_port.h"
#include "objects/class_registry.h"
#include "support/class_test.h"
#include "vorn/image_format.h"
#include "vorn/picture_api.h"
#include "vorn/shapes_api.h"
#include "graphics/object2d.h"

using namespace vorn;
using vorn::testing::GraphicsObjectTest;

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

class PictureClassTest : public GraphicsObjectTest {};

TEST_F(PictureClassTest, PropertiesAndMethodsInDeclarationOrder) {
  ObjectDefinition* definition = GetPictureClassDefinition();
  EXPECT_EQ(definition, GetPictureClassDefinition());
  EXPECT_EQ(std::string(definition->mName.View()), "Picture");
  EXPECT_EQ(definition->mInstanceSize, static_cast<int32_t>(sizeof(PictureObject)));
  EXPECT_EQ(definition->mFinalizer.function, Fn(&RuntimePictureDestructor));
  EXPECT_EQ(kPictureTransparentOffset, VORN_OBJECT_HEADER_SIZE);
  const std::vector<std::string> properties = {
      "Width%i4%",      "Height%i4%",         "Graphics%o<Graphics>%",    "Objects%o<Group2D>%", "Transparent%i4%",
      "RGBSurface%o<RGBSurface>%", "ImageCount%i4%", "Mask%o<Picture>%", "Depth%i4%",
      "HorizontalResolution%i4%",  "VerticalResolution%i4%"};
  ASSERT_EQ(definition->mInstanceVariables.size(), properties.size());
  for (size_t i = 0; i < properties.size(); ++i) EXPECT_EQ(definition->mInstanceVariables[i].Signature(), properties[i]);
  ASSERT_EQ(definition->mMethods.size(), 2u);
  EXPECT_EQ(definition->mMethods[0].signature, "Constructor%%o<Picture>i4i4i4");
  EXPECT_EQ(definition->mMethods[1].signature, "IndexedImage%o<Picture>%o<Picture>i4");

  ObjectDefinition* surface = GetRGBSurfaceClassDefinition();
  EXPECT_EQ(std::string(surface->mName.View()), "RGBSurface");
  EXPECT_EQ(surface->mFinalizer.function, Fn(&RGBSurfaceDestructor));
  const std::vector<std::string> methods = {"Pixel%c%o<RGBSurface>i4i4", "FloodFill%%o<RGBSurface>i4i4c",
                                            "Transform%%o<RGBSurface>A1i4", "Transform%%o<RGBSurface>A1i4A1i4A1i4"};
  ASSERT_EQ(surface->mMethods.size(), methods.size());
  for (size_t i = 0; i < methods.size(); ++i) EXPECT_EQ(surface->mMethods[i].signature, methods[i]);
  EXPECT_EQ(surface->mMethods[0].setterFunction, Fn(&rgbSurfaceSetPixel));
}

TEST_F(PictureClassTest, RegistrationBindsTheMembersAndThePacker) {
  RegisterPictureClasses();
  vorn::test::ExpectEntryPointsBound({
      {"PicturePacker", Fn(&PicturePacker)},
      {"pictureMaskGetter", Fn(&pictureMaskGetter)},
      {"PictureHResSetter", Fn(&PictureHResSetter)},
      {"rgbSurfaceTransformRGB", Fn(&rgbSurfaceTransformRGB)},
      {"newPicture", Fn(&newPicture)},
      {"pluginPictureGraphicsGetter", Fn(&pluginPictureGraphicsGetter)},
      {"RuntimeGetBitmapFromResourceManager", Fn(&RuntimeGetBitmapFromResourceManager)},
  });
}

TEST_F(PictureClassTest, AVectorPictureKeepsItsSizeAndHasNoBitmap) {
  RuntimeObject* picture = newPicture(10, 20, 0);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(pictureWidthGetter(picture, 0), 10);
  EXPECT_EQ(pictureHeightGetter(picture, 0), 20);
  EXPECT_EQ(pictureGraphicsGetter(picture, 0), nullptr);
  EXPECT_EQ(pictureRGBSurfaceGetter(picture, 0), nullptr);
  EXPECT_EQ(pictureMaskGetter(picture, 0), nullptr);
  EXPECT_EQ(pictureIndexedImage(picture, 0), nullptr);
  EXPECT_EQ(PictureDepthGetter(picture, 0), 0);
  EXPECT_EQ(pictureImageCountGetter(picture, 0), 0);
  // Resolution without a bitmap: 72, and setting it changes nothing.
  PictureHResSetter(picture, 0, 300);
  EXPECT_EQ(PictureHResGetter(picture, 0), 72);
  EXPECT_EQ(PictureVResGetter(picture, 0), 72);
  pictureTransparentSetter(picture, 0, 1);
  EXPECT_EQ(pictureTransparentGetter(picture, 0), 1);

  // Its shapes: an empty group of its own, which another group can replace.
  RuntimeObject* objects = pictureGroup2DGetter(picture, 0);
  ASSERT_NE(objects, nullptr);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(objects, GetGroup2DClassDefinition()));
  EXPECT_EQ(Group2DCount(objects, 0), 0);
  RuntimeObject* other = CreateInstanceFromDefinition(GetGroup2DClassDefinition());
  pictureGroup2DSetter(picture, 0, other);
  RuntimeObject* now = pictureGroup2DGetter(picture, 0);
  EXPECT_EQ(now, other);
  RuntimeUnlockObject(now);
  RuntimeUnlockObject(other);
  RuntimeUnlockObject(objects);

  // Packed as its size and white pixels only when it can be drawn; without a display or a
  // bitmap its words are 0.
  VornStringRecord* packed = PicturePacker(picture);
  ASSERT_NE(packed, nullptr);
  const string text = string::Share(packed);
  EXPECT_EQ(text.Length(), 8 + 4 * 10 * 20);
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.View().data());
  EXPECT_EQ(bytes[0], 10);
  EXPECT_EQ(bytes[4], 20);
  RuntimeUnlockString(packed);
  RuntimeUnlockObject(picture);
  Reports().clear();
}

TEST_F(PictureClassTest, ObjectsOfOtherClassesAndNilAreAnsweredQuietly) {
  EXPECT_EQ(pictureWidthGetter(nullptr, 0), 0);
  EXPECT_EQ(PictureHResGetter(nullptr, 0), 72);
  EXPECT_EQ(PicturePacker(nullptr), nullptr);
  EXPECT_EQ(rgbSurfaceGetPixel(nullptr, 0, 0), 0u);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  RuntimeObject* notAPicture = newPicture(1, 1, 0);
  EXPECT_EQ(rgbSurfaceGetPixel(notAPicture, 0, 0), 0u);
  RuntimeUnlockObject(notAPicture);
}

TEST_F(PictureClassTest, SizesNoBitmapCanHoldRaiseOutOfMemory) {
  EXPECT_EQ(newPicture(40000, 10, 32), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfMemoryException");
  EXPECT_EQ(newPicture(20000, 20000, 32), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfMemoryException");
}

TEST_F(PictureClassTest, AMissingOrUndecodableBitmapResourceGivesNil) {
  ResourceManager& manager = GetResourceManager();
  EXPECT_EQ(RuntimeGetBitmapFromResourceManager(31001), nullptr);
  static const uint8_t kGarbage[] = {'B', 'M', 1, 2, 3};
  manager.AddResource(image::kTypePicture, 31002, kGarbage, sizeof(kGarbage), 0);
  EXPECT_EQ(RuntimeGetBitmapFromResourceManager(31002), nullptr);
  EXPECT_TRUE(Reports().empty());
}

}  // namespace
