// Drawable lifetimes and descriptions, with pieces (which need no display).
#include <gtest/gtest.h>

#include "graphics/drawable.h"

using namespace vorn;

namespace {

TEST(Drawable, ManyRetainsKeepItAliveAndADescriptionRetainsIt) {
  // A parent shared by a piece: the piece holds one reference of its own.
  auto* parent = new DrawablePiece(nullptr, 0, 0, 40, 30);
  auto* piece = new DrawablePiece(parent, 5, 6, 7, 8);
  EXPECT_EQ(parent->Count(), 2u);
  // Past 16 bits of retains one release leaves the count where it should be.
  for (int i = 0; i < 70000; ++i) parent->Retain();
  parent->Release();
  EXPECT_EQ(parent->Count(), 70001u);
  for (int i = 0; i < 70000; ++i) parent->Release();
  EXPECT_EQ(parent->Count(), 1u);

  DrawableDescription description;
  description.kind = 99;
  piece->GetDescription(&description);
  EXPECT_EQ(piece->Count(), 2u);
  EXPECT_EQ(description.left, 0);
  EXPECT_EQ(description.top, 0);
  EXPECT_EQ(description.width, 7);
  EXPECT_EQ(description.height, 8);
  EXPECT_EQ(description.kind, 0);
  EXPECT_TRUE(piece->GetDescriptionOfKind(&description, 3));
  EXPECT_EQ(piece->Count(), 3u);
  piece->Release();
  piece->Release();

  // A source stays alive as long as the drawable made from it.
  auto* derived = new DrawablePiece(nullptr, 0, 0, 1, 1);
  derived->SetSource(piece);
  EXPECT_EQ(piece->Count(), 2u);
  piece->Release();
  derived->Release();  // releases the piece, which releases the parent
}

}  // namespace
