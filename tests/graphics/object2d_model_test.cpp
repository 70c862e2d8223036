// The 2D object model without a display: properties, transforms carried through groups and
// curves, the member list, hit tests and the point arithmetic of outlines, curves and figures.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/reloc_entry.h"
#include "graphics/object2d.h"
#include "graphics/support/recording_port.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "vorn/shapes_api.h"

using namespace vorn;

namespace {

constexpr double kHalfPi = kPi / 2;

class Object2DTest : public vorn::testing::GraphicsObjectTest {
 protected:
  RuntimeObject* New(ObjectDefinition* definition) {
    return Hold(CreateInstanceFromDefinition(definition));
  }
  template <typename Fields>
  Fields* As(RuntimeObject* object) {
    return reinterpret_cast<Fields*>(object);
  }
  static int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }
  void SetX(RuntimeObject* o, double v) { Object2DDoubleSetter(o, Offset(offsetof(Object2DFields, x)), v); }
  void SetRotation(RuntimeObject* o, double v) {
    Object2DDoubleSetter(o, Offset(offsetof(Object2DFields, rotation)), v);
  }
  void SetScale(RuntimeObject* o, double v) { Object2DDoubleSetter(o, Offset(offsetof(Object2DFields, scale)), v); }
  RuntimeObject* ShapeAt(ObjectDefinition* definition, double x, double y) {
    RuntimeObject* shape = New(definition);
    As<Object2DFields>(shape)->x = x;
    As<Object2DFields>(shape)->y = y;
    return shape;
  }
};

TEST_F(Object2DTest, DefaultsReadBackThroughTheProperties) {
  RuntimeObject* shape = New(GetObject2DClassDefinition());
  auto* f = As<Object2DFields>(shape);
  EXPECT_EQ(f->tag, 0x6F623244u);
  EXPECT_EQ(doubleGetter(shape, Offset(offsetof(Object2DFields, x))), 0);
  EXPECT_EQ(doubleGetter(shape, Offset(offsetof(Object2DFields, scale))), 1);
  EXPECT_EQ(doublePercentGetter(shape, Offset(offsetof(Object2DFields, fill))), 100);
  EXPECT_EQ(doublePercentGetter(shape, Offset(offsetof(Object2DFields, border))), 0);
  EXPECT_EQ(doubleGetter(shape, Offset(offsetof(Object2DFields, borderWidth))), 1);
  EXPECT_EQ(f->fillColor, 0u);
  EXPECT_EQ(f->borderColor, 0u);

  doublePercentSetter(shape, Offset(offsetof(Object2DFields, fill)), 50);
  EXPECT_EQ(f->fill, 0.5);
  EXPECT_EQ(doublePercentGetter(shape, Offset(offsetof(Object2DFields, fill))), 50);
  doublePercentSetter(shape, Offset(offsetof(Object2DFields, fill)), 150);  // not clamped
  EXPECT_EQ(f->fill, 1.5);

  // Subclasses run the base constructor first and only set their own tag and defaults.
  auto* rect = As<RectShapeFields>(New(GetRectShapeClassDefinition()));
  EXPECT_EQ(rect->base.tag, kTagRect);
  EXPECT_EQ(rect->width, 100);
  EXPECT_EQ(rect->base.scale, 1);
  EXPECT_EQ(As<ArcShapeFields>(New(GetArcShapeClassDefinition()))->arcAngle, kHalfPi);
  EXPECT_EQ(As<PixmapShapeFields>(New(GetPixmapShapeClassDefinition()))->rect.width, 0);
  auto* text = As<StringShapeFields>(New(GetStringShapeClassDefinition()));
  EXPECT_EQ(string::Share(text->text).View(), "-");
  EXPECT_EQ(string::Share(text->textFont).View(), "System");
  EXPECT_EQ(text->textSize, 12);
  auto* curve = As<CurveShapeFields>(New(GetCurveShapeClassDefinition()));
  EXPECT_EQ(curve->x2, 100);
  EXPECT_EQ(curve->base.fill, 0);
  EXPECT_EQ(curve->base.border, 1);
}

TEST_F(Object2DTest, GroupRotationAndScaleArePushedIntoTheMembers) {
  RuntimeObject* group = New(GetGroup2DClassDefinition());
  RuntimeObject* shape = ShapeAt(GetRectShapeClassDefinition(), 10, 0);
  Group2DAppend(group, shape);
  SetRotation(group, kHalfPi);
  auto* m = As<Object2DFields>(shape);
  EXPECT_NEAR(m->x, 0, 1e-9);
  EXPECT_NEAR(m->y, 10, 1e-9);
  EXPECT_NEAR(m->rotation, kHalfPi, 1e-12);
  SetScale(group, 2);
  EXPECT_NEAR(m->x, 0, 1e-9);
  EXPECT_NEAR(m->y, 20, 1e-9);
  EXPECT_EQ(m->scale, 2);

  // A scale of 0 or less on a group is ignored entirely.
  SetScale(group, 0);
  EXPECT_EQ(As<Object2DFields>(group)->scale, 2);
  EXPECT_EQ(m->scale, 2);

  // Moving: members follow by the difference, once per change.
  SetX(group, 5);
  SetX(group, 5);
  EXPECT_NEAR(m->x, 5, 1e-9);

  // Nested groups carry it on recursively.
  RuntimeObject* outer = New(GetGroup2DClassDefinition());
  Group2DAppend(outer, group);
  SetX(outer, 10);
  EXPECT_NEAR(m->x, 15, 1e-9);
  EXPECT_EQ(As<Object2DFields>(group)->x, 15);
}

TEST_F(Object2DTest, CurvePointsMoveTurnAndScaleWithTheCurve) {
  RuntimeObject* curve = New(GetCurveShapeClassDefinition());
  auto* c = As<CurveShapeFields>(curve);
  CurveSetControlX(curve, 0, 10);
  CurveSetControlY(curve, 1, 20);
  SetX(curve, 3);
  EXPECT_EQ(c->base.x, 3);
  EXPECT_EQ(c->x2, 103);
  EXPECT_EQ(CurveGetControlX(curve, 0), 13);
  EXPECT_EQ(CurveGetControlX(curve, 1), 3);
  EXPECT_EQ(CurveGetControlY(curve, 1), 20);

  // A half turn about the start point (3, 0) mirrors the end point.
  SetRotation(curve, kPi);
  EXPECT_NEAR(c->x2, -97, 1e-9);
  EXPECT_NEAR(c->y2, -100, 1e-9);
  SetScale(curve, 0.5);
  EXPECT_NEAR(c->x2, -47, 1e-9);
  SetScale(curve, -1);
  EXPECT_EQ(c->base.scale, 0.5);

  EXPECT_EQ(CurveGetControlX(curve, 2), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  CurveSetControlY(curve, -1, 5);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  const int32_t order = Offset(offsetof(CurveShapeFields, order));
  CurveOrderSetter(curve, order, 2);
  EXPECT_EQ(c->order, 2);
  CurveOrderSetter(curve, order, 3);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  CurveOrderSetter(curve, order, -1);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(c->order, 2);
}

TEST_F(Object2DTest, MemberListKeepsOrderGrowsAndRaisesOnBadIndexes) {
  RuntimeObject* group = New(GetGroup2DClassDefinition());
  auto* list = &As<Group2DFields>(group)->list;
  std::vector<RuntimeObject*> shapes;
  for (int i = 0; i < 17; ++i) {
    shapes.push_back(ShapeAt(GetOvalShapeClassDefinition(), i, 0));
    Group2DAppend(group, shapes.back());
    if (i == 15) {
      EXPECT_EQ(list->capacity, 16);
    }
  }
  EXPECT_EQ(list->capacity, 32);
  EXPECT_EQ(Group2DCount(group, 0), 17);

  RuntimeObject* extra = ShapeAt(GetRectShapeClassDefinition(), 99, 0);
  Group2DInsert(group, 0, extra);
  Group2DInsert(group, Group2DCount(group, 0), extra);  // at Count: appends
  Group2DInsert(group, Group2DCount(group, 0) + 1, extra);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(Group2DCount(group, 0), 19);
  RuntimeObject* first = Group2DGetItem(group, 0);
  EXPECT_EQ(first, extra);
  RuntimeUnlockObject(first);
  RuntimeObject* second = Group2DGetItem(group, 1);
  EXPECT_EQ(second, shapes[0]);
  RuntimeUnlockObject(second);
  EXPECT_EQ(Group2DGetItem(group, 19), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");

  // Remove by object takes the first occurrence; a stranger changes nothing.
  Group2DRemoveByObject(group, extra);
  EXPECT_EQ(list->items[0], shapes[0]);
  EXPECT_EQ(list->items[17], extra);
  Group2DRemoveByObject(group, New(GetRectShapeClassDefinition()));
  EXPECT_EQ(TakePendingClassName(), "");
  Group2DRemoveByIndex(group, Group2DCount(group, 0));
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(Group2DCount(group, 0), 18);

  Group2DSetItem(group, 1, extra);
  EXPECT_EQ(list->items[1], extra);
  Group2DSetItem(group, -1, extra);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");

  while (Group2DCount(group, 0) > 1) Group2DRemoveByIndex(group, 0);
  EXPECT_EQ(list->items[0], extra);

  // Capacity goes back by the growth step once more than two steps stand empty; the same
  // object may stand in the list many times.
  RuntimeObject* many = New(GetGroup2DClassDefinition());
  auto* manyList = &As<Group2DFields>(many)->list;
  for (int i = 0; i < 40; ++i) Group2DAppend(many, extra);
  EXPECT_EQ(manyList->capacity, 48);
  while (Group2DCount(many, 0) > 16) Group2DRemoveByObject(many, extra);
  EXPECT_EQ(manyList->capacity, 48);
  Group2DRemoveByObject(many, extra);
  EXPECT_EQ(manyList->capacity, 16);
  EXPECT_EQ(Group2DCount(many, 0), 15);
}

TEST_F(Object2DTest, AGroupThatWouldContainItselfIsRefused) {
  RuntimeObject* outer = New(GetGroup2DClassDefinition());
  RuntimeObject* inner = New(GetGroup2DClassDefinition());
  RuntimeObject* shape = ShapeAt(GetRectShapeClassDefinition(), 0, 0);
  Group2DAppend(outer, inner);
  Group2DAppend(inner, shape);
  Group2DAppend(outer, inner);  // the same member twice is fine
  EXPECT_EQ(TakePendingClassName(), "");
  // Itself directly, or through a member, by each way in.
  Group2DAppend(outer, outer);
  EXPECT_EQ(TakePendingClassName(), "InvalidParentException");
  Group2DInsert(inner, 0, outer);
  EXPECT_EQ(TakePendingClassName(), "InvalidParentException");
  Group2DSetItem(inner, 0, outer);
  EXPECT_EQ(TakePendingClassName(), "InvalidParentException");
  EXPECT_EQ(Group2DCount(outer, 0), 2);
  EXPECT_EQ(As<Group2DFields>(inner)->list.items[0], shape);
}

// A cycle through six groups, found first by the walk up from the group (the member holds more
// groups) or by the walk down from the member (the group stands in more): each refuses it alone.
TEST_F(Object2DTest, ACycleIsRefusedWhicheverWalkFindsItFirst) {
  for (bool slowerDown : {true, false}) {
    SCOPED_TRACE(slowerDown ? "found walking up" : "found walking down");
    std::vector<RuntimeObject*> chain{New(GetGroup2DClassDefinition())};  // each stands in the next
    for (size_t i = 1; i < 6; ++i) Group2DAppend(chain.emplace_back(New(GetGroup2DClassDefinition())), chain[i - 1]);
    for (int i = 0; i < 3; ++i) {
      RuntimeObject* other = New(GetGroup2DClassDefinition());
      slowerDown ? Group2DAppend(chain.back(), other) : Group2DAppend(other, chain.front());
    }
    EXPECT_EQ(TakePendingClassName(), "");
    Group2DAppend(chain.front(), chain.back());
    EXPECT_EQ(TakePendingClassName(), "InvalidParentException");
    EXPECT_EQ(Group2DCount(chain.front(), 0), 0);
  }
}

// Groups that end let go of their places above their members: a former member takes in new
// groups, among them ones made where the ended groups were.
TEST_F(Object2DTest, AFormerMemberOfGroupsThatEndedTakesInNewGroups) {
  constexpr int kGroups = 12;
  RuntimeObject* member = New(GetGroup2DClassDefinition());
  for (int i = 0; i < kGroups; ++i) {
    RuntimeObject* owner = CreateInstanceFromDefinition(GetGroup2DClassDefinition());
    Group2DAppend(owner, member);
    RuntimeUnlockObject(owner);
  }
  for (int i = 0; i < kGroups; ++i) Group2DAppend(member, New(GetGroup2DClassDefinition()));
  EXPECT_EQ(TakePendingClassName(), "");
  EXPECT_EQ(Group2DCount(member, 0), kGroups);
}

// Nesting is limited only by memory: a deep nest is built either way round, moved, turned and
// scaled, refuses to take itself in at the bottom, and goes away again, without running out of
// stack or walking the whole nest at every Append.
TEST_F(Object2DTest, GroupsNestedAHundredThousandDeepWorkAndEnd) {
  constexpr int kLevels = 100000;
  RuntimeObject* top = New(GetGroup2DClassDefinition());  // from the outside in
  RuntimeObject* bottom = top;
  for (int i = 0; i < kLevels; ++i) {
    RuntimeObject* group = CreateInstanceFromDefinition(GetGroup2DClassDefinition());
    Group2DAppend(bottom, group);
    RuntimeUnlockObject(group);
    bottom = group;
  }
  RuntimeObject* shape = ShapeAt(GetRectShapeClassDefinition(), 10, 0);
  Group2DAppend(bottom, shape);
  SetX(top, 5);
  SetRotation(top, kHalfPi);
  SetScale(top, 2);
  auto* f = As<Object2DFields>(shape);
  EXPECT_NEAR(f->x, 5, 1e-6);
  EXPECT_NEAR(f->y, 20, 1e-6) << "(15, 0) turned about (5, 0), then twice as far from it";
  EXPECT_NEAR(f->rotation, kHalfPi, 1e-9);
  EXPECT_EQ(f->scale, 2);

  RuntimeObject* root = top;  // and round that from the inside out
  for (int i = 0; i < kLevels; ++i) {
    RuntimeObject* group = CreateInstanceFromDefinition(GetGroup2DClassDefinition());
    Group2DAppend(group, root);
    if (root != top) RuntimeUnlockObject(root);
    root = group;
  }
  Hold(root);
  for (RuntimeObject* whole : {top, root}) {
    Group2DAppend(bottom, whole);
    EXPECT_EQ(TakePendingClassName(), "InvalidParentException");
  }
  EXPECT_EQ(Group2DCount(bottom, 0), 1);
  SetX(root, -5);
  EXPECT_NEAR(f->x, 0, 1e-6);
}

TEST_F(Object2DTest, HitTestsFollowTheShapeAndItsTransform) {
  RuntimeObject* rect = ShapeAt(GetRectShapeClassDefinition(), 50, 50);
  EXPECT_TRUE(RectShapeContains(rect, 99, 99));
  EXPECT_FALSE(RectShapeContains(rect, 100, 50));  // edges are outside

  // A 100 x 40 box turned a quarter and doubled stands 80 wide and 200 high.
  RuntimeObject* turned = ShapeAt(GetRectShapeClassDefinition(), 0, 0);
  As<RectShapeFields>(turned)->height = 40;
  As<Object2DFields>(turned)->rotation = kHalfPi;
  As<Object2DFields>(turned)->scale = 2;
  EXPECT_TRUE(RectShapeContains(turned, 0, 90));
  EXPECT_TRUE(RectShapeContains(turned, 35, -95));
  EXPECT_FALSE(RectShapeContains(turned, 45, 0));
  EXPECT_FALSE(RectShapeContains(turned, 0, 101));

  RuntimeObject* oval = ShapeAt(GetOvalShapeClassDefinition(), 0, 0);
  EXPECT_TRUE(RectShapeContains(oval, 0, 49));
  EXPECT_FALSE(RectShapeContains(oval, 40, 40));

  RuntimeObject* arc = ShapeAt(GetArcShapeClassDefinition(), 0, 0);
  const double r = 30;
  EXPECT_TRUE(RectShapeContains(arc, r * std::cos(kPi / 4), r * std::sin(kPi / 4)));
  EXPECT_FALSE(RectShapeContains(arc, r * std::cos(3 * kPi / 4), r * std::sin(3 * kPi / 4)));
  As<ArcShapeFields>(arc)->arcAngle = -kHalfPi;
  EXPECT_TRUE(RectShapeContains(arc, r * std::cos(-kPi / 4), r * std::sin(-kPi / 4)));
  EXPECT_FALSE(RectShapeContains(arc, r * std::cos(kPi / 4), r * std::sin(kPi / 4)));

  RuntimeObject* round = ShapeAt(GetRoundRectShapeClassDefinition(), 0, 0);
  EXPECT_TRUE(RectShapeContains(round, 49, 49));  // no corners: a rectangle
  As<RoundRectShapeFields>(round)->cornerWidth = 40;
  As<RoundRectShapeFields>(round)->cornerHeight = 40;
  EXPECT_FALSE(RectShapeContains(round, 49, 49));
  EXPECT_TRUE(RectShapeContains(round, 49, 0));
  EXPECT_TRUE(RectShapeContains(round, 40, 40));
}

TEST_F(Object2DTest, OutlinePointCounts) {
  RuntimeObject* oval = ShapeAt(GetOvalShapeClassDefinition(), 0, 0);
  auto* o = As<OvalShapeFields>(oval);
  PointList points;
  OvalOutline(o, &points);
  EXPECT_EQ(points.size(), 40u);
  EXPECT_NEAR(points[0].x, 50, 1e-9);
  EXPECT_NEAR(points[10].y, 50, 1e-9);
  o->segments = 5;
  OvalOutline(o, &points);
  EXPECT_EQ(points.size(), 5u);
  o->segments = 2000;
  OvalOutline(o, &points);
  EXPECT_EQ(points.size(), 1024u);
  o->segments = 0;
  o->rect.width = 1e300;  // far beyond the cap: still capped
  OvalOutline(o, &points);
  EXPECT_EQ(points.size(), 1024u);

  RuntimeObject* round = ShapeAt(GetRoundRectShapeClassDefinition(), 0, 0);
  auto* rr = As<RoundRectShapeFields>(round);
  PointList rect;
  RoundRectOutline(rr, &rect);
  EXPECT_EQ(rect.size(), 4u);
  rr->cornerWidth = 500;  // limited to Width - 0.01
  rr->cornerHeight = 20;
  rr->segments = 8;
  RoundRectOutline(rr, &points);
  ASSERT_EQ(points.size(), 12u);  // q = 2: three points a corner
  EXPECT_NEAR(points[0].x, (100 - 99.99) / 2 + 99.99 / 2, 1e-9);

  RuntimeObject* arc = ShapeAt(GetArcShapeClassDefinition(), 0, 0);
  const int32_t start = Offset(offsetof(ArcShapeFields, startAngle));
  ArcStartAngleSetter(arc, start, -kHalfPi);
  EXPECT_NEAR(As<ArcShapeFields>(arc)->startAngle, 3 * kHalfPi, 1e-12);
  ArcStartAngleSetter(arc, start, 7);
  EXPECT_NEAR(As<ArcShapeFields>(arc)->startAngle, 7 - 2 * kPi, 1e-12);
  ArcStartAngleSetter(arc, start, 0);
  As<OvalShapeFields>(arc)->segments = 8;
  ArcOutline(As<ArcShapeFields>(arc), &points);
  ASSERT_EQ(points.size(), 4u);  // a quarter of 8: two steps, then the centre
  EXPECT_NEAR(points[2].y, 50, 1e-9);
  EXPECT_EQ(points[3].x, 0);
  // A whole turn (or more, either way) goes round the oval, as its hit test answers.
  for (double turn : {2 * kPi, -4 * kPi, 7.0}) {
    As<ArcShapeFields>(arc)->arcAngle = turn;
    ArcOutline(As<ArcShapeFields>(arc), &points);
    ASSERT_GE(points.size(), 10u) << turn;
    // The arc ends where it began, having passed the far side.
    const size_t end = points.size() - 2;
    EXPECT_NEAR(points[end].x, points[0].x, 1e-9) << turn;
    EXPECT_NEAR(points[end].y, points[0].y, 1e-9) << turn;
    EXPECT_NEAR(points[end / 2].x, -50, 1e-9) << turn;
    EXPECT_TRUE(RectShapeContains(arc, 0, 40)) << turn;
  }
}

TEST_F(Object2DTest, CurvePointArithmetic) {
  auto* c = As<CurveShapeFields>(New(GetCurveShapeClassDefinition()));
  c->x2 = 300;
  c->y2 = 0;
  c->order = 2;
  c->control[0][0] = 100;
  c->control[0][1] = 100;
  c->control[1][0] = 200;
  c->control[1][1] = 100;
  PointList points;
  CurvePoints(c, &points);
  ASSERT_EQ(points.size(), 38u);  // 36 segments, the chord midpoint last
  EXPECT_NEAR(points[18].x, 150, 1e-9);
  EXPECT_NEAR(points[18].y, 75, 1e-9);  // the cubic's middle: 3/8 + 3/8 of 100
  EXPECT_EQ(points.back().x, 150);
  EXPECT_EQ(points.back().y, 0);

  c->order = 1;
  c->segments = 4;
  CurvePoints(c, &points);
  ASSERT_EQ(points.size(), 6u);
  EXPECT_NEAR(points[2].x, 0.5 * 100 + 0.25 * 300, 1e-9);
  EXPECT_NEAR(points[2].y, 50, 1e-9);

  c->order = 0;
  CurvePoints(c, &points);
  EXPECT_EQ(points.size(), 3u);
}

TEST_F(Object2DTest, FigurePointArithmetic) {
  RuntimeObject* figure = New(GetFigureShapeClassDefinition());
  auto* f = As<Group2DFields>(figure);
  FigureShapeAddLine(figure, 0, 0, 10, 0);
  FigureShapeAddLine(figure, 10, 0, 10, 10);
  PointList points;
  FigurePoints(f, &points);
  ASSERT_EQ(points.size(), 3u);  // the shared point once
  EXPECT_EQ(points[2].x, 10);
  EXPECT_EQ(points[2].y, 10);

  FigureShapeAddLine(figure, 10, 10, 0, 0);  // closes the triangle
  FigurePoints(f, &points);
  EXPECT_EQ(points.size(), 3u);

  RuntimeObject* quads = New(GetFigureShapeClassDefinition());
  for (int i = 0; i < 4; ++i) FigureShapeAddQuad(quads, i * 10.f, 0, i * 10.f + 10, 0, i * 10.f + 5, 50);
  FigurePoints(As<Group2DFields>(quads), &points);
  EXPECT_EQ(points.size(), 1u + 4 * 256);
  auto* quad = As<CurveShapeFields>(As<Group2DFields>(quads)->list.items[0]);
  EXPECT_EQ(quad->order, 1);
  EXPECT_EQ(quad->control[0][1], 50);

  RuntimeObject* cubic = New(GetFigureShapeClassDefinition());
  FigureShapeAddCubic(cubic, 1, 2, 3, 4, 5, 6, 7, 8);
  auto* c = As<CurveShapeFields>(As<Group2DFields>(cubic)->list.items[0]);
  EXPECT_EQ(c->order, 2);
  EXPECT_EQ(c->control[1][0], 7);
  EXPECT_EQ(c->y2, 4);
}

TEST_F(Object2DTest, RegistrationBindsTheClassesAndTheirMembers) {
  RegisterShapes2DClasses();
  EXPECT_EQ(LookupIntrinsicClass(string("group2d")), GetGroup2DClassDefinition());
  EXPECT_EQ(GetArcShapeClassDefinition()->mSuper, GetOvalShapeClassDefinition());
  EXPECT_EQ(GetRoundRectShapeClassDefinition()->mSuper, GetRectShapeClassDefinition());
  for (const auto& [name, function] : std::vector<std::pair<const char*, void*>>{
           {"Group2DAppend", reinterpret_cast<void*>(&Group2DAppend)},
           {"FigureShapeAddCubic", reinterpret_cast<void*>(&FigureShapeAddCubic)},
           {"PixmapShapeImageCtor", reinterpret_cast<void*>(&PixmapShapeImageCtor)},
           {"doublePercentSetter", reinterpret_cast<void*>(&doublePercentSetter)},
           {"CurveSetControlY", reinterpret_cast<void*>(&CurveSetControlY)},
           {"RectShapeContains", reinterpret_cast<void*>(&RectShapeContains)}}) {
    RelocEntry* entry = LookupRelocEntry(string(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->code, function) << name;
  }
}

}  // namespace
