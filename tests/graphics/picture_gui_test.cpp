// Pictures on a display: bitmaps decoded from files and resources, drawing into them through
// their Graphics object, pixel access through RGBSurface, masks, packing, and drawing them
// into an offscreen pixmap that is read back pixel by pixel.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/resource_manager.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics_object.h"
#include "graphics/picture_object.h"
#include "graphics/support/bmp_builder.h"
#include "graphics/support/pixmap_target.h"
#include "graphics/support/recording_port.h"
#include "vorn/graphics_api.h"
#include "vorn/image_format.h"
#include "vorn/picture_api.h"
#include "vorn/plugin_api.h"

#include <gdk/gdk.h>

using namespace vorn;
using vorn::testing::BmpSpec;
using vorn::testing::BuildBmp;
using vorn::testing::PixmapTarget;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;

class PictureOnDisplay : public vorn::testing::GraphicsObjectTest {
 protected:
  void SetUp() override {
    GraphicsObjectTest::SetUp();
    if (!vorn::testing::EnsureGtk()) GTEST_SKIP() << "no display";
  }
  void TearDown() override {
    for (RuntimeObject* object : mHeld) RuntimeUnlockObject(object);
    mHeld.clear();
    GraphicsObjectTest::TearDown();
  }
  RuntimeObject* Hold(RuntimeObject* object) {
    mHeld.push_back(object);
    return object;
  }
  // A picture of w x h whose left half is red and right half blue, drawn through its own
  // Graphics object.
  RuntimeObject* TwoColourPicture(int32_t w, int32_t h) {
    RuntimeObject* picture = Hold(newPicture(w, h, 32));
    RuntimeObject* g = pictureGraphicsGetter(picture, 0);
    graphicsForeColorSetter(g, 0, kRed);
    RuntimeGraphicsFillRect(g, 0, 0, w / 2, h);
    graphicsForeColorSetter(g, 0, kBlue);
    RuntimeGraphicsFillRect(g, w / 2, 0, w - w / 2, h);
    RuntimeUnlockObject(g);
    return picture;
  }
  RuntimeObject* Surface(RuntimeObject* picture) { return Hold(pictureRGBSurfaceGetter(picture, 0)); }

  std::vector<RuntimeObject*> mHeld;
};

// Draws onto a white pixmap target through a Graphics object and reads it back.
class DrawOnPixmap : public PictureOnDisplay {
 protected:
  void SetUp() override {
    PictureOnDisplay::SetUp();
    if (IsSkipped()) return;
    mTarget = std::make_unique<PixmapTarget>(120, 100);
    mGraphics = Hold(NewGraphicsObjectForTarget(mTarget.get()));
  }
  uint32_t At(int x, int y) {
    mTarget->Snapshot();
    return mTarget->PixelAt(x, y);
  }
  std::unique_ptr<PixmapTarget> mTarget;
  RuntimeObject* mGraphics = nullptr;
};

TEST_F(PictureOnDisplay, ANewBitmapPictureIsWhiteWithItsDepthAndResolution) {
  RuntimeObject* picture = Hold(newPicture(10, 20, 32));
  EXPECT_EQ(pictureWidthGetter(picture, 0), 10);
  EXPECT_EQ(pictureHeightGetter(picture, 0), 20);
  EXPECT_EQ(PictureDepthGetter(picture, 0), 32);
  EXPECT_EQ(PictureHResGetter(picture, 0), 72);
  PictureVResSetter(picture, 0, 150);
  EXPECT_EQ(PictureVResGetter(picture, 0), 150);
  EXPECT_EQ(pictureImageCountGetter(picture, 0), 1);
  RuntimeObject* surface = Surface(picture);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 0, 0), kWhite);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 9, 19), kWhite);

  // The same Graphics object every time.
  RuntimeObject* g1 = pictureGraphicsGetter(picture, 0);
  RuntimeObject* g2 = pluginPictureGraphicsGetter(picture);
  EXPECT_EQ(g1, g2);
  RuntimeUnlockObject(g1);
  RuntimeUnlockObject(g2);

  // An empty picture has a pixmap behind it but no pixels.
  RuntimeObject* empty = Hold(newPicture(0, 0, 32));
  EXPECT_EQ(pictureWidthGetter(empty, 0), 0);
  EXPECT_EQ(PictureDepthGetter(empty, 0), 32);
  EXPECT_EQ(rgbSurfaceGetPixel(Surface(empty), 0, 0), 0u);
}

TEST_F(PictureOnDisplay, ABitmapDescribesItselfAsItsPixmapOnly) {
  auto* pane = new DrawablePane(MakeRect(0, 0, 12, 9), 32);
  DrawableDescription description;
  EXPECT_FALSE(pane->GetDescriptionOfKind(&description, 5));
  EXPECT_EQ(pane->Count(), 1u);
  ASSERT_TRUE(pane->GetDescriptionOfKind(&description, kDrawablePixmapKind));
  EXPECT_EQ(pane->Count(), 2u);
  EXPECT_EQ(description.width, 12);
  EXPECT_EQ(description.height, 9);
  EXPECT_EQ(description.handle, pane->Pixmap());
  pane->Release();
  pane->Release();
}

TEST_F(PictureOnDisplay, FontNamesStartWithSystemAndRaiseOutsideTheList) {
  const int32_t count = getFontCount();
  ASSERT_GE(count, 1);
  StringRep* first = getFontName(0);
  EXPECT_EQ(RepText(first), "System");
  RuntimeUnlockString(first);
  for (int32_t index : {-1, count}) {
    EXPECT_EQ(getFontName(index), nullptr);
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  }
}

TEST_F(PictureOnDisplay, AGraphicsObjectKeptAfterItsPictureDrawsNothing) {
  RuntimeObject* picture = newPicture(8, 8, 32);
  RuntimeObject* g = Hold(pictureGraphicsGetter(picture, 0));
  ASSERT_NE(GraphicsObjectPort(g), nullptr);
  RuntimeUnlockObject(picture);
  EXPECT_EQ(GraphicsObjectPort(g), nullptr);
  RuntimeGraphicsFillRect(g, 0, 0, 8, 8);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(PictureOnDisplay, DrawingThroughGraphicsShowsInTheSurfaceEvenAfterAnEarlierRead) {
  RuntimeObject* picture = Hold(newPicture(8, 4, 32));
  RuntimeObject* surface = Surface(picture);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 1, 1), kWhite);  // the cached copy is made here
  RuntimeObject* g = pictureGraphicsGetter(picture, 0);
  graphicsForeColorSetter(g, 0, 0x123456);
  RuntimeGraphicsFillRect(g, 0, 0, 4, 4);
  RuntimeUnlockObject(g);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 1, 1), 0x123456u);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 4, 1), kWhite);
}

// A plug-in drawing into the picture's pixmap with GDK bypasses the Graphics object, so the
// pixels read back stay the cached ones until it clears the cache.
TEST_F(PictureOnDisplay, APluginsOwnDrawingShowsOnceItClearsThePictureCache) {
  VORNPictureClearCache(nullptr);
  RuntimeObject* picture = Hold(newPicture(6, 6, 32));
  RuntimeObject* surface = Surface(picture);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 2, 2), kWhite);
  RuntimeObject* g = pictureGraphicsGetter(picture, 0);
  auto* drawable = static_cast<GdkDrawable*>(VORNGraphicsGdkDrawable(g));
  ASSERT_NE(drawable, nullptr);
  GdkGC* gc = gdk_gc_new(drawable);
  const GdkColor red = {0, 0xFFFF, 0, 0};
  gdk_gc_set_rgb_fg_color(gc, &red);
  gdk_draw_rectangle(drawable, gc, TRUE, 0, 0, 3, 6);
  g_object_unref(gc);
  RuntimeUnlockObject(g);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 2, 2), kWhite);
  VORNPictureClearCache(picture);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 2, 2), kRed);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 4, 2), kWhite);
}

TEST_F(PictureOnDisplay, SurfacePixelsReadBackAndIgnoreCoordinatesOutside) {
  RuntimeObject* picture = Hold(newPicture(5, 5, 32));
  RuntimeObject* surface = Surface(picture);
  rgbSurfaceSetPixel(surface, 2, 3, 0xA1B2C3);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 2, 3), 0xA1B2C3u);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 3, 2), kWhite);
  rgbSurfaceSetPixel(surface, -1, 0, 0);
  rgbSurfaceSetPixel(surface, 5, 0, 0);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, -1, 0), 0u);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 0, 5), 0u);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 4, 0), kWhite);

  // A pixel write leaves the colour the picture's Graphics draws with alone.
  RuntimeObject* g = pictureGraphicsGetter(picture, 0);
  graphicsForeColorSetter(g, 0, 0x00FF00);
  RuntimeGraphicsFillRect(g, 0, 0, 1, 1);
  rgbSurfaceSetPixel(surface, 4, 4, 0xFF00FF);
  RuntimeGraphicsFillRect(g, 1, 0, 1, 1);
  RuntimeUnlockObject(g);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 1, 0), 0x00FF00u);
}

TEST_F(PictureOnDisplay, FloodFillFillsTheConnectedRegionOnly) {
  RuntimeObject* picture = Hold(newPicture(9, 9, 32));
  RuntimeObject* g = pictureGraphicsGetter(picture, 0);
  graphicsForeColorSetter(g, 0, 0);
  RuntimeGraphicsDrawRect(g, 2, 2, 5, 5);  // a closed square, inside 3..5
  RuntimeUnlockObject(g);
  RuntimeObject* surface = Surface(picture);
  rgbSurfaceSeedFill(surface, 4, 4, kRed);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 3, 3), kRed);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 5, 5), kRed);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 2, 2), 0u);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 0, 0), kWhite);
  // The seed's own colour changes nothing.
  rgbSurfaceSeedFill(surface, 0, 0, kWhite);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 8, 8), kWhite);
  rgbSurfaceSeedFill(surface, 0, 0, kBlue);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 8, 0), kBlue);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 4, 4), kRed);
}

TEST_F(PictureOnDisplay, TransformMapsEveryComponentAndRejectsBadMaps) {
  RuntimeObject* picture = TwoColourPicture(4, 2);
  RuntimeObject* surface = Surface(picture);
  VornArray* identity = CreateArray(kVornArrayInteger, 1, 255);
  VornArray* invert = CreateArray(kVornArrayInteger, 1, 255);
  for (int i = 0; i < 256; ++i) {
    static_cast<int32_t*>(identity->data)[i] = i;
    static_cast<int32_t*>(invert->data)[i] = 255 - i;
  }
  rgbSurfaceTransform(surface, identity);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 0, 0), kRed);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 3, 1), kBlue);
  rgbSurfaceTransform(surface, invert);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 0, 0), 0x00FFFFu);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 3, 1), 0xFFFF00u);
  rgbSurfaceTransformRGB(surface, identity, invert, identity);
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 0, 0), 0x0000FFu);

  VornArray* short254 = CreateArray(kVornArrayInteger, 1, 254);
  rgbSurfaceTransform(surface, short254);
  EXPECT_EQ(TakePendingClassName(), "UnsupportedFormatException");
  EXPECT_EQ(rgbSurfaceGetPixel(surface, 0, 0), 0x0000FFu) << "nothing changed";
  RuntimeUnlockArray(identity);
  RuntimeUnlockArray(invert);
  RuntimeUnlockArray(short254);
}

TEST_F(PictureOnDisplay, TheMaskIsOnePictureAndStartsBlack) {
  RuntimeObject* picture = Hold(newPicture(6, 3, 32));
  RuntimeObject* mask = Hold(pictureMaskGetter(picture, 0));
  RuntimeObject* again = Hold(pictureMaskGetter(picture, 0));
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask, again);
  EXPECT_EQ(pictureWidthGetter(mask, 0), 6);
  EXPECT_EQ(rgbSurfaceGetPixel(Surface(mask), 5, 2), 0u);
}

TEST_F(PictureOnDisplay, PackingGivesTheSizeAndEveryPixelLittleEndian) {
  RuntimeObject* white = Hold(newPicture(2, 1, 32));
  const string packed = string::Adopt(PicturePacker(white));
  ASSERT_EQ(packed.Length(), 16);
  const std::string bytes(packed.View());
  EXPECT_EQ(bytes, std::string("\x02\0\0\0\x01\0\0\0\xFF\xFF\xFF\0\xFF\xFF\xFF\0", 16));

  // With a mask the picture is packed as drawn onto white.
  RuntimeObject* picture = TwoColourPicture(2, 1);
  RuntimeObject* mask = Hold(pictureMaskGetter(picture, 0));
  rgbSurfaceSetPixel(Surface(mask), 1, 0, kWhite);  // the blue half becomes transparent
  const std::string masked(string::Adopt(PicturePacker(picture)).View());
  ASSERT_EQ(masked.size(), 16u);
  EXPECT_EQ(masked.substr(8), std::string("\0\0\xFF\0\xFF\xFF\xFF\0", 8));
}

TEST_F(PictureOnDisplay, BitmapFilesAndResourcesBecomePicturesWithTheirPixels) {
  BmpSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.rows = {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 0, 0, 0}};
  const std::string file = BuildBmp(spec);
  DrawablePane* pane = DrawableFromBMP(file.data(), file.size());
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->GetDepth(), 24);
  EXPECT_EQ(BitmapPixel(pane, 0, 1), kRed);
  EXPECT_EQ(BitmapPixel(pane, 1, 1), 0x00FF00u);
  EXPECT_EQ(BitmapPixel(pane, 0, 0), kBlue);
  EXPECT_EQ(BitmapPixel(pane, 1, 0), 0u);
  pane->Release();

  std::string error;
  EXPECT_EQ(DrawableFromBMP(file.data(), file.size() - 1, &error), nullptr);
  EXPECT_EQ(error, "the bitmap's rows run past the end of the data");
  EXPECT_EQ(DrawableFromBMP(nullptr, 10), nullptr);
  EXPECT_TRUE(Reports().empty());
  // A header size the format does not know is an internal error as well.
  std::string badHeader = file;
  vorn::testing::PatchWord(&badHeader, 14, 24);
  EXPECT_EQ(DrawableFromBMP(badHeader.data(), badHeader.size()), nullptr);
  EXPECT_EQ(Reports().size(), 1u);
  Reports().clear();

  // Resources: the first one registered under an id wins.
  static const std::string first = file;
  static const std::string second = BuildBmp(BmpSpec{1, 1, 24, false, 0, {}, {{0, 0, 0}}, {}});
  GetResourceManager().AddResource(image::kTypePicture, 31100, first.data(), static_cast<uint32_t>(first.size()), 0);
  GetResourceManager().AddResource(image::kTypePicture, 31100, second.data(), static_cast<uint32_t>(second.size()), 0);
  RuntimeObject* picture = Hold(RuntimeGetBitmapFromResourceManager(31100));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(pictureWidthGetter(picture, 0), 2);
  EXPECT_EQ(rgbSurfaceGetPixel(Surface(picture), 0, 1), kRed);
}

TEST_F(DrawOnPixmap, AWholePictureDrawsUnscaledAtItsPosition) {
  RuntimeObject* picture = TwoColourPicture(20, 10);
  RuntimeGraphicsDrawPicture(mGraphics, picture, 30, 40, -10000, -10000, 0, 0, -10000, -10000);
  EXPECT_EQ(At(30, 40), kRed);
  EXPECT_EQ(At(39, 49), kRed);
  EXPECT_EQ(At(40, 40), kBlue);
  EXPECT_EQ(At(49, 49), kBlue);
  EXPECT_EQ(At(50, 45), kWhite);
  EXPECT_EQ(At(35, 50), kWhite);
  EXPECT_EQ(At(29, 40), kWhite);
}

TEST_F(DrawOnPixmap, APieceDrawsItsPartOfTheParent) {
  RuntimeObject* picture = TwoColourPicture(20, 10);
  auto* piece = new DrawablePiece(PictureDrawable(picture), 5, 0, 10, 10);
  int32_t width = 0, height = 0;
  piece->GetSize(&width, &height);
  EXPECT_EQ(width, 10);
  EXPECT_EQ(height, 10);
  Graphics* port = GraphicsObjectPort(mGraphics);
  piece->DrawWhole(port, MakeRect(0, 0, 10, 10), false);
  EXPECT_EQ(At(4, 5), kRed);
  EXPECT_EQ(At(5, 5), kBlue);
  EXPECT_EQ(At(9, 5), kBlue);
  EXPECT_EQ(At(10, 5), kWhite);
  piece->Release();
}

TEST_F(DrawOnPixmap, ADestinationSizeAloneCropsAndASourceSizeScales) {
  RuntimeObject* picture = TwoColourPicture(20, 10);
  // 5 x 5 of the top-left, unscaled: red only.
  RuntimeGraphicsDrawPicture(mGraphics, picture, 0, 0, 5, 5, 0, 0, -10000, -10000);
  EXPECT_EQ(At(4, 4), kRed);
  EXPECT_EQ(At(5, 0), kWhite);
  EXPECT_EQ(At(0, 5), kWhite);
  // The whole picture into 40 x 20: every pixel doubled.
  RuntimeGraphicsDrawPicture(mGraphics, picture, 0, 50, 40, 20, 0, 0, 20, 10);
  EXPECT_EQ(At(19, 50), kRed);
  EXPECT_EQ(At(20, 69), kBlue);
  EXPECT_EQ(At(39, 69), kBlue);
  EXPECT_EQ(At(40, 60), kWhite);
  EXPECT_EQ(At(10, 70), kWhite);
}

TEST_F(DrawOnPixmap, ASourceLeftOfThePictureMovesAndShrinksTheDestination) {
  RuntimeObject* picture = TwoColourPicture(20, 10);
  // Source from -10 at twice the size: the first 20 destination pixels are cut off.
  RuntimeGraphicsDrawPicture(mGraphics, picture, 0, 0, 60, 20, -10, 0, 30, 10);
  EXPECT_EQ(At(19, 5), kWhite);
  EXPECT_EQ(At(20, 5), kRed);
  EXPECT_EQ(At(39, 5), kRed);
  EXPECT_EQ(At(40, 5), kBlue);
  EXPECT_EQ(At(59, 5), kBlue);
  EXPECT_EQ(At(60, 5), kWhite);
  // Empty sources draw nothing and never divide by zero.
  RuntimeGraphicsDrawPicture(mGraphics, picture, 0, 80, 10, 10, 0, 0, 10, 0);
  RuntimeGraphicsDrawPicture(mGraphics, picture, 0, 80, 10, 0, 0, 0, 10, 10);
  EXPECT_EQ(At(5, 85), kWhite);
}

TEST_F(DrawOnPixmap, TransparentPicturesLeaveWhiteOutAndMasksSetTheAlpha) {
  // Paint the target grey first so that left-out pixels show.
  graphicsForeColorSetter(mGraphics, 0, 0x808080);
  RuntimeGraphicsFillRect(mGraphics, 0, 0, 120, 100);
  RuntimeObject* picture = Hold(newPicture(10, 10, 32));
  RuntimeObject* g = pictureGraphicsGetter(picture, 0);
  graphicsForeColorSetter(g, 0, kRed);
  RuntimeGraphicsFillRect(g, 0, 0, 5, 10);  // the right half stays white
  RuntimeUnlockObject(g);

  RuntimeGraphicsDrawPicture(mGraphics, picture, 0, 0, -10000, -10000, 0, 0, -10000, -10000);
  EXPECT_EQ(At(7, 5), kWhite) << "opaque by default";
  pictureTransparentSetter(picture, 0, 1);
  RuntimeGraphicsDrawPicture(mGraphics, picture, 20, 0, -10000, -10000, 0, 0, -10000, -10000);
  EXPECT_EQ(At(22, 5), kRed);
  EXPECT_EQ(At(27, 5), 0x808080u);

  // A mask: black opaque, white transparent, grey half way.
  RuntimeObject* other = TwoColourPicture(10, 10);
  RuntimeObject* maskSurface = Surface(Hold(pictureMaskGetter(other, 0)));
  rgbSurfaceSetPixel(maskSurface, 0, 0, kWhite);
  rgbSurfaceSetPixel(maskSurface, 6, 0, 0x808080);
  RuntimeGraphicsDrawPicture(mGraphics, other, 40, 0, -10000, -10000, 0, 0, -10000, -10000);
  EXPECT_EQ(At(40, 0), 0x808080u);
  EXPECT_EQ(At(41, 0), kRed);
  const uint32_t mixed = At(46, 0);  // alpha 127 of blue over grey
  EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 0x80 * 128 / 255, 2);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), (0x80 * 128 + 255 * 127) / 255, 2);
}

}  // namespace
