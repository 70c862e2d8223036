// The shape plotter against a recording port: which port calls each shape becomes, with
// which colours, opacities and coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "graphics/object2d.h"
#include "graphics/shape_plotter.h"
#include "graphics/support/recording_port.h"
#include "objects/runtime_object.h"
#include "vorn/shapes_api.h"

using namespace vorn;
using vorn::testing::FakeTarget;
using vorn::testing::RecordingPort;

namespace {

// Records the colour of each fill and line and the pens wider than one pixel, and can claim
// translucency.
class ShapePort : public RecordingPort {
 public:
  using RecordingPort::RecordingPort;
  bool SupportsTranslucency() override { return mTranslucency; }
  void SetPenSize(int32_t w, int32_t h) override {
    Graphics::SetPenSize(w, h);
    if (w != 1) Log("Pen " + std::to_string(w));
  }
  void DrawPolygon(const int32_t* elements, int32_t upperBound, bool fill) override {
    RecordingPort::DrawPolygon(elements, upperBound, fill);
    Tag();
  }
  void FillOval(const Rect& r) override {
    RecordingPort::FillOval(r);
    Tag();
  }
  void DrawOval(const Rect& r) override {
    RecordingPort::DrawOval(r);
    Tag();
  }
  void LineTo(int32_t h, int32_t v) override {
    RecordingPort::LineTo(h, v);
    Tag();
  }
  void Tag() { mCalls.back() += " c=" + std::to_string(RGB48ToColor(ForeColor())); }
  bool mTranslucency = false;
};

class ShapePlotterTest : public vorn::testing::GraphicsObjectTest {
 protected:
  template <typename Fields = Object2DFields>
  Fields* Make(ObjectDefinition* definition, RuntimeObject** out = nullptr, double x = 50, double y = 50) {
    RuntimeObject* object = Hold(CreateInstanceFromDefinition(definition));
    reinterpret_cast<Object2DFields*>(object)->x = x;
    reinterpret_cast<Object2DFields*>(object)->y = y;
    if (out) *out = object;
    return reinterpret_cast<Fields*>(object);
  }
  std::vector<std::string> Plot(RuntimeObject* object) {
    mPort.mCalls.clear();
    ShapePlotter(&mPort).Draw(object, ShapePlotter::kMaxDepth);
    return mPort.mCalls;
  }
  RuntimeObject* Object(void* fields) { return static_cast<RuntimeObject*>(fields); }

  FakeTarget mTarget{MakeRect(0, 0, 200, 100)};
  ShapePort mPort{&mTarget};};

using Calls = std::vector<std::string>;

TEST_F(ShapePlotterTest, ADefaultRectangleIsOneBlackFilledPolygon) {
  auto* rect = Make<RectShapeFields>(GetRectShapeClassDefinition());
  EXPECT_EQ(Plot(Object(rect)), (Calls{"FillPolygon 100 100 0 100 0 0 100 0 c=0"}));
  EXPECT_EQ(mPort.Opacity(), 1.0f);  // the saved state is back

  // Translucent fills need a port that can draw them; 50 percent is drawn opaquely.
  rect->base.fill = 0.4;
  EXPECT_EQ(Plot(Object(rect)), Calls{});
  rect->base.fill = 0.5;
  EXPECT_EQ(Plot(Object(rect)).size(), 1u);
  // A port that can draw translucently gets everything, with its opacity.
  mPort.mTranslucency = true;
  rect->base.fill = 0.4;
  EXPECT_EQ(Plot(Object(rect))[0], "FillPolygon 100 100 0 100 0 0 100 0 c=0");
}

TEST_F(ShapePlotterTest, ThinAndThickBorders) {
  auto* rect = Make<RectShapeFields>(GetRectShapeClassDefinition());
  rect->base.fill = 0;
  rect->base.border = 1;
  rect->base.borderColor = 0xFF0000;
  mTarget.mBounds = MakeRect(10, 20, 210, 120);
  // Thin: a closed outline from the last corner, moved by the pane's place.
  EXPECT_EQ(Plot(Object(rect)), (Calls{"MoveTo 110,20", "LineTo 110,120 c=16711680", "LineTo 10,120 c=16711680",
                                       "LineTo 10,20 c=16711680", "LineTo 110,20 c=16711680"}));
  // Thick: one band two pixels wide centred on the outline, polygon points as they are.
  rect->base.borderWidth = 2;
  const Calls thick = Plot(Object(rect));
  ASSERT_EQ(thick.size(), 1u);
  EXPECT_EQ(thick[0], "FillPolygon 99 99 1 99 1 1 99 1 99 99 101 101 101 -1 -1 -1 -1 101 101 101 c=16711680");
  // Scale widens the border too.
  rect->base.borderWidth = 1;
  rect->base.scale = 2;
  EXPECT_EQ(Plot(Object(rect))[0].rfind("FillPolygon", 0), 0u);
}

TEST_F(ShapePlotterTest, OvalsUseTheNativeOvalUnlessRotated) {
  auto* oval = Make<OvalShapeFields>(GetOvalShapeClassDefinition());
  oval->rect.base.border = 1;
  oval->rect.base.borderWidth = 3;
  EXPECT_EQ(Plot(Object(oval)),
            (Calls{"FillOval 0,0,100,100 c=0", "Pen 3", "DrawOval -1,-1,101,101 c=0"}));
  // Far off the port it stays off, pinned rather than wrapped back to 0.
  oval->rect.base.x = 65586;
  EXPECT_EQ(Plot(Object(oval))[0], "FillOval 32767,0,32767,100 c=0");
  oval->rect.base.x = 50;
  oval->rect.base.rotation = 0.3;
  const Calls turned = Plot(Object(oval));
  ASSERT_EQ(turned.size(), 2u);
  EXPECT_EQ(turned[0].rfind("FillPolygon", 0), 0u);
  EXPECT_EQ(turned[1].rfind("FillPolygon", 0), 0u);  // the thick border's band
}

TEST_F(ShapePlotterTest, OpenShapesStrokeWithoutTheClosingPoint) {
  auto* curve = Make<CurveShapeFields>(GetCurveShapeClassDefinition(), nullptr, 0, 0);
  curve->x2 = 30;
  curve->y2 = 40;
  EXPECT_EQ(Plot(Object(curve)), (Calls{"MoveTo 0,0", "LineTo 30,40 c=0"}));
  // A filled arc is a pie slice: the centre closes the polygon.
  auto* arc = Make<ArcShapeFields>(GetArcShapeClassDefinition(), nullptr, 0, 0);
  arc->oval.segments = 4;
  const Calls pie = Plot(Object(arc));
  EXPECT_EQ(pie, Calls{"FillPolygon 50 0 0 50 0 0 c=0"});
}

TEST_F(ShapePlotterTest, TextIsCentredOnXWithItsBaselineAtY) {
  RuntimeObject* text = nullptr;
  auto* s = Make<StringShapeFields>(GetStringShapeClassDefinition(), &text, 40, 30);
  mTarget.mBounds = MakeRect(5, 7, 205, 107);
  s->base.fillColor = 0x00FF00;
  stringSetter(text, static_cast<int32_t>(offsetof(StringShapeFields, text)), string("abcd").Rep());
  Plot(text);
  ASSERT_EQ(mPort.mDrawn.size(), 1u);
  EXPECT_EQ(mPort.mDrawn[0].text, "abcd");
  EXPECT_EQ(mPort.mDrawn[0].h, 5 + 40 - 20);
  EXPECT_EQ(mPort.mDrawn[0].v, 7 + 30);
  // A full turn is no turn.
  s->base.rotation = 2 * kPi;
  Plot(text);
  EXPECT_EQ(mPort.mDrawn.size(), 2u);
  EXPECT_EQ(mPort.TextSize(), 12);  // the port's own size is back afterwards
}

TEST_F(ShapePlotterTest, GroupsDrawTheirMembersInOrderDownTo128Levels) {
  RuntimeObject* group = nullptr;
  Make(GetGroup2DClassDefinition(), &group);
  auto* a = Make<RectShapeFields>(GetRectShapeClassDefinition(), nullptr, 0, 0);
  auto* b = Make<OvalShapeFields>(GetOvalShapeClassDefinition(), nullptr, 0, 0);
  a->base.fillColor = 1;
  b->rect.base.fillColor = 2;
  Group2DAppend(group, Object(a));
  Group2DAppend(group, Object(b));
  Group2DAppend(group, Object(a));
  const Calls calls = Plot(group);
  ASSERT_EQ(calls.size(), 3u);
  // Vertices round by adding a half and truncating toward zero.
  EXPECT_EQ(calls[0], "FillPolygon 50 50 -49 50 -49 -49 50 -49 c=1");
  EXPECT_EQ(calls[1], "FillOval -50,-50,50,50 c=2");
  EXPECT_EQ(calls[2], calls[0]);

  // 128 groups around a shape still draw it; 129 do not.
  RuntimeObject* inner = Object(a);
  for (int level = 1; level <= 129; ++level) {
    RuntimeObject* wrapper = nullptr;
    Make(GetGroup2DClassDefinition(), &wrapper);
    Group2DAppend(wrapper, inner);
    inner = wrapper;
    if (level == 128) {
      EXPECT_EQ(Plot(inner).size(), 1u);
    }
  }
  EXPECT_EQ(Plot(inner).size(), 0u);
}

TEST_F(ShapePlotterTest, DrawAtMovesTheObjectForTheDrawingOnly) {
  RuntimeObject* group = nullptr;
  Make(GetGroup2DClassDefinition(), &group);
  auto* rect = Make<RectShapeFields>(GetRectShapeClassDefinition(), nullptr, 50, 50);
  Group2DAppend(group, Object(rect));
  mPort.mCalls.clear();
  ShapePlotter(&mPort).DrawAt(group, 10, 5);
  EXPECT_EQ(mPort.mCalls, Calls{"FillPolygon 110 105 10 105 10 5 110 5 c=0"});
  EXPECT_EQ(rect->base.x, 50);
  EXPECT_EQ(rect->base.y, 50);
  EXPECT_EQ(reinterpret_cast<Object2DFields*>(group)->x, 50);
}

TEST_F(ShapePlotterTest, APixmapWithoutAnImageDrawsOnlyAStrongBorder) {
  auto* pixmap = Make<PixmapShapeFields>(GetPixmapShapeClassDefinition());
  pixmap->rect.width = 20;
  pixmap->rect.height = 10;
  pixmap->rect.base.border = 0.4;
  mPort.mTranslucency = true;  // not asked for: the pixmap border wants at least 50
  EXPECT_EQ(Plot(Object(pixmap)), Calls{});
  pixmap->rect.base.border = 0.5;
  mPort.mTranslucency = false;
  EXPECT_EQ(Plot(Object(pixmap)),
            (Calls{"MoveTo 60,45", "LineTo 60,55 c=0", "LineTo 40,55 c=0", "LineTo 40,45 c=0", "LineTo 60,45 c=0"}));
  EXPECT_EQ(pixmap->rect.base.fill, 1.0);
}

TEST_F(ShapePlotterTest, OffsetOutlinesMeetAtMitres) {
  const PointList square = {{10, 10}, {-10, 10}, {-10, -10}, {10, -10}};
  PointList out;
  OffsetClosedOutline(square, &out, -1);  // inwards
  ASSERT_EQ(out.size(), 4u);
  EXPECT_NEAR(out[0].x, 9, 1e-9);
  EXPECT_NEAR(out[0].y, 9, 1e-9);
  EXPECT_NEAR(out[2].x, -9, 1e-9);

  // An open line: ends moved along the normal, the extra point kept.
  const PointList line = {{0, 0}, {10, 0}, {20, 10}, {5, 5}};
  OffsetOpenOutline(line, &out, 2);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_NEAR(out[0].y, -2, 1e-9);
  EXPECT_NEAR(out[2].x, 20 + std::sqrt(2.0), 1e-9);
  EXPECT_EQ(out[3].x, 5);

  int32_t l = 10, t = 10, w = 20, h = 10;
  RotatedBounds(&l, &t, &w, &h, 0);
  EXPECT_EQ((std::vector<int32_t>{l, t, w, h}), (std::vector<int32_t>{9, 9, 23, 13}));
  l = 10, t = 10, w = 20, h = 10;
  RotatedBounds(&l, &t, &w, &h, kPi / 2);  // stands on end, a pixel of margin around
  EXPECT_NEAR(w, 13, 1);
  EXPECT_NEAR(h, 23, 1);
  EXPECT_NEAR(l, 14, 1);
  EXPECT_NEAR(t, 4, 1);
  RotatedBounds(nullptr, &t, &w, &h, 0);
  ASSERT_EQ(Reports().size(), 1u);
  Reports().clear();
}

}  // namespace
