// 2D shapes drawn on a display through the Graphics class's DrawObject, into an offscreen
// pixmap and into pictures, checked pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "graphics/graphics_object.h"
#include "graphics/object2d.h"
#include "graphics/picture_object.h"
#include "graphics/support/pixmap_target.h"
#include "graphics/support/recording_port.h"
#include "vorn/graphics_api.h"
#include "vorn/picture_api.h"
#include "vorn/shapes_api.h"

using namespace vorn;
using vorn::testing::PixmapTarget;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;

struct InkBox {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  bool Empty() const { return right < 0; }
};

class ShapesOnDisplay : public vorn::testing::GraphicsObjectTest {
 protected:
  void SetUp() override {
    GraphicsObjectTest::SetUp();
    if (!vorn::testing::EnsureGtk()) GTEST_SKIP() << "no display";
    mTarget = std::make_unique<PixmapTarget>(160, 120);
    mGraphics = Hold(NewGraphicsObjectForTarget(mTarget.get()));
  }
  template <typename Fields = Object2DFields>
  Fields* Shape(ObjectDefinition* definition, double x, double y, uint32_t fillColor, RuntimeObject** out) {
    RuntimeObject* object = Hold(CreateInstanceFromDefinition(definition));
    auto* fields = reinterpret_cast<Object2DFields*>(object);
    fields->x = x;
    fields->y = y;
    fields->fillColor = fillColor;
    *out = object;
    return reinterpret_cast<Fields*>(object);
  }
  uint32_t At(int x, int y) { return mTarget->PixelAt(x, y); }
  void Draw(RuntimeObject* object) {
    RuntimeGraphicsDrawObject(mGraphics, object);
    mTarget->Snapshot();
  }
  InkBox Ink() {
    InkBox box;
    for (int y = 0; y < mTarget->Height(); ++y)
      for (int x = 0; x < mTarget->Width(); ++x)
        if (At(x, y) != kWhite) {
          box.left = std::min(box.left, x);
          box.right = std::max(box.right, x);
          box.top = std::min(box.top, y);
          box.bottom = std::max(box.bottom, y);
        }
    return box;
  }
  // Kept for looking at when VORN_SHAPES_SCREENSHOTS names a folder.
  void Screenshot(const std::string& name) {
    if (const char* folder = std::getenv("VORN_SHAPES_SCREENSHOTS")) mTarget->SavePNG(std::string(folder) + "/" + name);
  }

  std::unique_ptr<PixmapTarget> mTarget;
  RuntimeObject* mGraphics = nullptr;};

TEST_F(ShapesOnDisplay, AFilledRotatedRectangleCoversItsTurnedBox) {
  RuntimeObject* rect = nullptr;
  auto* r = Shape<RectShapeFields>(GetRectShapeClassDefinition(), 80, 60, kRed, &rect);
  r->width = 80;
  r->height = 20;
  r->base.rotation = kPi / 4;
  Draw(rect);
  Screenshot("rotated_rect.png");
  const double c = std::cos(kPi / 4);
  EXPECT_EQ(At(80, 60), kRed);
  // Along the long axis, turned clockwise: down and to the right.
  EXPECT_EQ(At(static_cast<int>(80 + 35 * c), static_cast<int>(60 + 35 * c)), kRed);
  EXPECT_EQ(At(static_cast<int>(80 - 35 * c), static_cast<int>(60 - 35 * c)), kRed);
  // Inside the unturned box but outside the turned one.
  EXPECT_EQ(At(115, 60), kWhite);
  EXPECT_EQ(At(80 + 20, 60 - 20), kWhite);
  const InkBox box = Ink();
  EXPECT_NEAR(box.right - box.left, (80 + 20) * c, 3);
  EXPECT_NEAR(box.bottom - box.top, (80 + 20) * c, 3);
}

TEST_F(ShapesOnDisplay, BordersHaveTheirColourAndWidth) {
  RuntimeObject* rect = nullptr;
  auto* r = Shape<RectShapeFields>(GetRectShapeClassDefinition(), 50, 50, kRed, &rect);
  r->width = r->height = 40;
  r->base.fill = 0;
  r->base.border = 1;
  r->base.borderColor = kBlue;
  r->base.borderWidth = 4;
  Draw(rect);
  // Four pixels across the left edge at x = 30, the inside and outside untouched.
  for (int x = 29; x <= 31; ++x) EXPECT_EQ(At(x, 50), kBlue) << x;
  EXPECT_EQ(At(26, 50), kWhite);
  EXPECT_EQ(At(34, 50), kWhite);
  EXPECT_EQ(At(50, 50), kWhite);

  RuntimeObject* thin = nullptr;
  auto* t = Shape<RectShapeFields>(GetRectShapeClassDefinition(), 120, 50, kRed, &thin);
  t->width = t->height = 20;
  t->base.border = 1;
  t->base.borderColor = kGreen;
  Draw(thin);
  Screenshot("borders.png");
  EXPECT_EQ(At(110, 50), kGreen);  // the one-pixel outline over the fill
  EXPECT_EQ(At(111, 50), kRed);
  EXPECT_EQ(At(109, 50), kWhite);
}

TEST_F(ShapesOnDisplay, AnOvalFillsItsCentreAndLeavesItsCornersOut) {
  RuntimeObject* oval = nullptr;
  auto* o = Shape<OvalShapeFields>(GetOvalShapeClassDefinition(), 60, 50, kGreen, &oval);
  o->rect.width = 80;
  o->rect.height = 40;
  o->rect.base.border = 1;
  o->rect.base.borderColor = kBlue;
  o->rect.base.borderWidth = 3;
  Draw(oval);
  EXPECT_EQ(At(60, 50), kGreen);
  EXPECT_EQ(At(60, 65), kGreen);
  EXPECT_EQ(At(25, 50), kGreen);
  EXPECT_EQ(At(24, 32), kWhite);  // the box's corner
  EXPECT_EQ(At(104, 50), kWhite);
  EXPECT_EQ(At(60, 30), kBlue);  // the thick frame at the top

  // Turned, it is drawn as a polygon: now standing 80 high.
  mTarget = std::make_unique<PixmapTarget>(160, 120);
  SetGraphicsObjectPort(mGraphics, NewGraphics(mTarget.get()));
  o->rect.base.rotation = kPi / 2;
  o->rect.base.border = 0;
  Draw(oval);
  EXPECT_EQ(At(60, 20), kGreen);
  EXPECT_EQ(At(60, 80), kGreen);
  EXPECT_EQ(At(30, 50), kWhite);
}

TEST_F(ShapesOnDisplay, TextStandsOnItsBaselineCentredOnX) {
  RuntimeObject* text = nullptr;
  auto* s = Shape<StringShapeFields>(GetStringShapeClassDefinition(), 80, 60, 0, &text);
  stringSetter(text, static_cast<int32_t>(offsetof(StringShapeFields, text)), string("HHHH").Rep());
  s->textSize = 20;
  Draw(text);
  InkBox box = Ink();
  ASSERT_FALSE(box.Empty());
  EXPECT_LE(box.bottom, 60);
  EXPECT_GE(box.top, 60 - 22);
  EXPECT_NEAR((box.left + box.right) / 2.0, 80, 3);
  const int wide = box.right - box.left;

  // A quarter turn stands the line on end, turned about the centre of its baseline.
  mTarget = std::make_unique<PixmapTarget>(160, 120);
  SetGraphicsObjectPort(mGraphics, NewGraphics(mTarget.get()));
  s->base.rotation = kPi / 2;
  s->base.fillColor = kRed;
  Draw(text);
  Screenshot("turned_text.png");
  box = Ink();
  ASSERT_FALSE(box.Empty());
  EXPECT_NEAR(box.bottom - box.top, wide, 4);
  EXPECT_LT(box.right - box.left, wide / 2);
  EXPECT_NEAR((box.top + box.bottom) / 2.0, 60, 4);
  EXPECT_GE(box.left, 80 - 2);  // the glyphs stand on the right of the baseline
  int red = 0;
  for (int y = box.top; y <= box.bottom; ++y)
    for (int x = box.left; x <= box.right; ++x) red += At(x, y) == kRed;
  EXPECT_GT(red, 20);
}

TEST_F(ShapesOnDisplay, DrawObjectDrawsAGroupsMembersInOrder) {
  RuntimeObject* group = Hold(CreateInstanceFromDefinition(GetGroup2DClassDefinition()));
  RuntimeObject* rect = nullptr;
  RuntimeObject* oval = nullptr;
  Shape(GetRectShapeClassDefinition(), 60, 50, kRed, &rect);
  auto* o = Shape<OvalShapeFields>(GetOvalShapeClassDefinition(), 60, 50, kBlue, &oval);
  o->rect.width = o->rect.height = 50;
  Group2DAppend(group, rect);
  Group2DAppend(group, oval);
  Draw(group);
  EXPECT_EQ(At(60, 50), kBlue);  // the oval came last
  EXPECT_EQ(At(15, 10), kRed);

  // The other way round the rectangle covers the oval; moved by the offset, then put back.
  Group2DRemoveByObject(group, oval);
  Group2DInsert(group, 0, oval);
  RuntimeGraphicsDrawObjectXY(mGraphics, group, 40, 0);
  mTarget->Snapshot();
  Screenshot("group_order.png");
  EXPECT_EQ(At(100, 50), kRed);
  EXPECT_EQ(At(40, 50), kBlue);  // the first drawing's oval, left of the moved rectangle
  EXPECT_EQ(reinterpret_cast<Object2DFields*>(rect)->x, 60);
}

TEST_F(ShapesOnDisplay, PixmapShapesDrawTheirPictureTurnedOrNot) {
  // 32 x 20: red on the left half, blue on the right.
  RuntimeObject* picture = Hold(newPicture(32, 20, 32));
  RuntimeObject* g = Hold(pictureGraphicsGetter(picture, 0));
  graphicsForeColorSetter(g, 0, kRed);
  RuntimeGraphicsFillRect(g, 0, 0, 16, 20);
  graphicsForeColorSetter(g, 0, kBlue);
  RuntimeGraphicsFillRect(g, 16, 0, 16, 20);

  RuntimeObject* pixmap = Hold(CreateInstanceFromDefinition(GetPixmapShapeClassDefinition()));
  PixmapShapeImageCtor(pixmap, picture);
  auto* p = reinterpret_cast<PixmapShapeFields*>(pixmap);
  EXPECT_EQ(p->rect.width, 32);
  EXPECT_EQ(p->rect.height, 20);
  EXPECT_EQ(p->sourceWidth, 32);
  EXPECT_EQ(p->sourceHeight, 20);
  p->rect.base.x = 40;
  p->rect.base.y = 40;
  Draw(pixmap);
  EXPECT_EQ(At(30, 40), kRed);
  EXPECT_EQ(At(50, 40), kBlue);
  EXPECT_EQ(At(40, 29), kWhite);

  // Half a turn swaps the halves.
  p->rect.base.x = 110;
  p->rect.base.rotation = kPi;
  Draw(pixmap);
  Screenshot("pixmaps.png");
  EXPECT_EQ(At(102, 40), kBlue);
  EXPECT_EQ(At(118, 40), kRed);
  EXPECT_EQ(At(110, 28), kWhite);
  EXPECT_EQ(At(90, 40), kWhite);
}

// A picture one or two pixels high turned a little still shows, end to end along its slope.
TEST_F(ShapesOnDisplay, ThinPicturesTurnedALittleShowAlongTheirSlope) {
  for (const int32_t height : {1, 2}) {
    for (const double angle : {0.01, -0.01, 0.05, -0.05}) {
      RuntimeObject* picture = Hold(newPicture(100, height, 32));
      RuntimeObject* g = Hold(pictureGraphicsGetter(picture, 0));
      graphicsForeColorSetter(g, 0, kRed);
      RuntimeGraphicsFillRect(g, 0, 0, 100, height);
      RuntimeObject* pixmap = Hold(CreateInstanceFromDefinition(GetPixmapShapeClassDefinition()));
      PixmapShapeImageCtor(pixmap, picture);
      auto* p = reinterpret_cast<PixmapShapeFields*>(pixmap);
      p->rect.base.x = 80;
      p->rect.base.y = 60;
      p->rect.base.rotation = angle;
      RuntimeGraphicsClearRect(mGraphics, 0, 0, 160, 120);
      Draw(pixmap);
      Screenshot("thin_" + std::to_string(height) + "_" + std::to_string(angle) + ".png");
      const InkBox box = Ink();
      ASSERT_FALSE(box.Empty()) << height << " " << angle;
      EXPECT_LE(box.left, 33) << height << " " << angle;
      EXPECT_GE(box.right, 127) << height << " " << angle;
      // Along the slope, near each end and in the middle, a pixel's worth of red at least (the
      // turn may share it between two rows).
      for (const int dx : {-40, 0, 40}) {
        const int y = 60 + static_cast<int>(std::lround(dx * std::tan(angle)));
        double red = 0;
        for (int dy = -2; dy <= 2; ++dy) {
          const uint32_t c = At(80 + dx, y + dy);
          if ((c >> 16) >= 0xE0) red += (0xFF - (c >> 8 & 0xFF)) / 255.0;
        }
        EXPECT_GE(red, 0.9) << height << " " << angle << " at " << dx;
      }
    }
  }
}

TEST_F(ShapesOnDisplay, AVectorPicturesShapesAreDrawnClippedToItsBox) {
  RuntimeObject* vector = Hold(newPicture(40, 30, 0));
  RuntimeObject* objects = Hold(pictureGroup2DGetter(vector, 0));
  RuntimeObject* rect = nullptr;
  auto* r = Shape<RectShapeFields>(GetRectShapeClassDefinition(), 20, 15, kGreen, &rect);
  r->width = 100;  // wider than the picture: cut at its edges
  Group2DAppend(objects, rect);
  RuntimeGraphicsDrawPicture(mGraphics, vector, 50, 20, -10000, -10000, 0, 0, -10000, -10000);
  mTarget->Snapshot();
  EXPECT_EQ(At(70, 35), kGreen);
  EXPECT_EQ(At(51, 21), kGreen);
  EXPECT_EQ(At(88, 48), kGreen);
  EXPECT_EQ(At(49, 35), kWhite);
  EXPECT_EQ(At(91, 35), kWhite);
  EXPECT_EQ(At(70, 51), kWhite);
  EXPECT_EQ(r->base.x, 20);  // drawn at the offset and put back
}

TEST_F(ShapesOnDisplay, RoundRectanglesOfTheGraphicsClassAreRoundedShapes) {
  RuntimeGraphicsFillRoundRect(mGraphics, 10, 10, 60, 40, 20, 20);
  RuntimeGraphicsDrawRoundRect(mGraphics, 90, 10, 60, 40, 20, 20);
  mTarget->Snapshot();
  Screenshot("round_rects.png");
  EXPECT_EQ(At(40, 30), 0u);
  EXPECT_EQ(At(10, 30), 0u);
  EXPECT_EQ(At(40, 10), 0u);
  EXPECT_EQ(At(11, 11), kWhite);  // the corner is cut
  EXPECT_EQ(At(90, 30), 0u);
  EXPECT_EQ(At(120, 10), 0u);
  EXPECT_EQ(At(120, 30), kWhite);
  EXPECT_EQ(At(91, 11), kWhite);
}

}  // namespace
