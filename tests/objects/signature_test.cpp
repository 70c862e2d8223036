#include <gtest/gtest.h>

#include "objects/signature.h"

namespace vorn {
namespace {

TEST(MemberSignature, ParsesAndPrintsTheForms) {
  for (const char* text : {"Minimum%f8%", "GetSliderControl%o<SliderControl>%o<MainWindow>i4",
                           "#CreatePane%%o<Slider>", "=Value%%o<Slider>i4", "_Move%%o<RectControl>i4i4i4i4",
                           "Lines%A1s%", "Grid%A2o<Cell>%p", "Flags%%u4i2f4bcs"}) {
    auto sig = ParseMemberSignature(text);
    ASSERT_TRUE(sig) << text;
    EXPECT_EQ(PrintMemberSignature(*sig), text);
  }
  auto sig = *ParseMemberSignature("GetSliderControl%o<SliderControl>%o<MainWindow>i4");
  EXPECT_EQ(sig.name, "GetSliderControl");
  EXPECT_EQ(sig.result.kind, TypeKind::kObject);
  EXPECT_EQ(sig.result.className, "SliderControl");
  ASSERT_EQ(sig.parameters.size(), 2u);
  EXPECT_EQ(sig.parameters[0].className, "MainWindow");
  EXPECT_EQ(sig.parameters[1].kind, TypeKind::kInteger);

  auto impl = *ParseMemberSignature("#Open%%o<App>");
  EXPECT_TRUE(impl.eventImplementation);
  EXPECT_FALSE(impl.assignment);
  EXPECT_TRUE(ParseMemberSignature("_Move%%")->IsHidden());
  auto grid = *ParseMemberSignature("Grid%A2o<Cell>%");
  EXPECT_EQ(grid.result.dimensions, 2);
  EXPECT_EQ(grid.result.element, TypeKind::kObject);
  EXPECT_EQ(SignatureName("=Minimum%f8%"), "Minimum");
  EXPECT_EQ(SignatureResultText("Minimum%f8%"), "f8");
}

TEST(MemberSignature, RejectsMalformedText) {
  for (const char* text : {"", "%i4%", "NoPercent", "One%i4", "Bad%x%", "Obj%o<%", "Obj%o<>%", "Obj%o<Open%",
                           "Arr%A%", "Arr%A0s%", "Arr%A1%", "Params%%i4q", "Sp ace%%", "Trail%i4%o<A>z",
                           "Huge%A999999999999s%"}) {
    EXPECT_FALSE(ParseMemberSignature(text)) << text;
  }
  EXPECT_EQ(SignatureResultText("NoPercent"), "");
}

}  // namespace
}  // namespace vorn
