// Packed property streams applied to a control: value forms, stream order, and malformed
// streams (early end, read-only property, unknown type, index past the table).
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "windows/support/control_fixture.h"
#include "windows/packed_properties.h"

namespace vorn::test {
namespace {

class PackedPropertiesTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ctl = NewControl("Slider1");
  }
  // Applies the bytes as one stream through the entry point compiled code calls.
  void Apply(std::initializer_list<int> bytes) {
    std::vector<char> data;
    for (int b : bytes) data.push_back(static_cast<char>(b));
    string stream(data.data(), static_cast<int32_t>(data.size()), kEncodingUnknown);
    RuntimeMassPropertySetter(Obj(ctl), stream.Rep());
  }
  PackedStreamResult ApplyRaw(std::initializer_list<int> bytes) {
    std::vector<uint8_t> data;
    for (int b : bytes) data.push_back(static_cast<uint8_t>(b));
    return ApplyPackedProperties(Obj(ctl), data.data(), data.size());
  }
  TestControlObject* ctl = nullptr;
};

TEST_F(PackedPropertiesTest, ControlPropertiesFromTheirIndices) {
  Apply({0x00, 0x0D, 0x00, 0x00, 0x00, 0xE5});  // Left
  EXPECT_EQ(ctlPosGetter(Obj(ctl), 0), 229);
  ctl->base.index = 7;
  Apply({0x00, 0x01, 0x80, 0x00, 0x00, 0x00});  // Index
  EXPECT_EQ(ctl->base.index, kNotInControlArray);
  ctl->base.visible = 0;
  Apply({0x00, 0x0C, 0x01});  // Visible
  EXPECT_EQ(ctl->base.visible, 1);
  Apply({0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 'K', 'n', 'o', 'b', '2'});  // Name
  string name = string::Share(ctl->base.name);
  EXPECT_EQ(name.View(), "Knob2");
  EXPECT_EQ(name.Encoding(), kEncodingUTF8);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(PackedPropertiesTest, RecordsApplyInOrderThroughTheSetters) {
  // Left then Width: the width counts from the moved left edge; two Width records, last wins.
  Apply({0x00, 0x0D, 0x00, 0x00, 0x00, 0x0A,   //
         0x00, 0x0F, 0x00, 0x00, 0x00, 0x32,   //
         0x00, 0x0F, 0x00, 0x00, 0x00, 0x28});
  Rect r = GetControlBounds(Ctl(ctl));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right, 50);
}

TEST_F(PackedPropertiesTest, ValueFormsReachSettersInTheirOwnWidths) {
  Apply({0x00, kPropFillColor, 0x12, 0x34, 0x56});
  EXPECT_EQ(ctl->color, 0x123456);
  Apply({0x00, kPropFlag, 0x02});
  EXPECT_EQ(ctl->flag, 1);
  Apply({0x00, 0x0D, 0xFF, 0xFF, 0xFF, 0xFE});  // "i" -2
  EXPECT_EQ(ctlPosGetter(Obj(ctl), 0), -2);
  Apply({0x00, kPropRatio, 0x3F, 0xC0, 0x00, 0x00});  // single 1.5 through a float setter
  EXPECT_FLOAT_EQ(ctl->ratio, 1.5f);
  Apply({0x00, kPropPrecise, 0x40, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18});  // "d" pi
  EXPECT_DOUBLE_EQ(ctl->precise, 3.141592653589793);
  Apply({0x00, kPropCaption, 0x00, 0x00, 0x00, 0x00});
  EXPECT_EQ(SetterLog().back(), "Caption ");
  EXPECT_EQ(ctl->caption == nullptr || ctl->caption->length == 0, true);
}

TEST_F(PackedPropertiesTest, DoublePropertiesTakeFourWireBytesAndStoreADouble) {
  ctl->minimum = -1;
  Apply({0x00, kPropMinimum, 0x3F, 0xC0, 0x00, 0x00,  // 1.5 into a direct Double field
         0x00, kPropScale, 0xC0, 0x20, 0x00, 0x00});  // -2.5 through a Double setter
  EXPECT_DOUBLE_EQ(ctl->minimum, 1.5);
  EXPECT_DOUBLE_EQ(ctl->scale, -2.5);
}

TEST_F(PackedPropertiesTest, ShortFieldsAreStoredInTwoBytes) {
  ctl->guard = 0x5A5A;
  Apply({0x00, kPropSmall, 0xFF, 0xFF, 0x80, 0x01});
  EXPECT_EQ(ctl->small, static_cast<int16_t>(0x8001));
  EXPECT_EQ(ctl->guard, 0x5A5A);
}

TEST_F(PackedPropertiesTest, NilAndEmptyStreamsChangeNothing) {
  RuntimeMassPropertySetter(Obj(ctl), nullptr);
  RuntimeMassPropertySetter(nullptr, string("\x00\x0D").Rep());
  Apply({});
  EXPECT_EQ(ApplyRaw({}), PackedStreamResult::kComplete);
  EXPECT_TRUE(SetterLog().empty());
  EXPECT_TRUE(Reports().empty());
}

TEST_F(PackedPropertiesTest, ReadOnlyPropertyStopsTheStream) {
  // Visible on, then Active (read-only), then Flag: the last record must not be applied.
  EXPECT_EQ(ApplyRaw({0x00, 0x0C, 0x00, 0x00, 0x12, 0x01, 0x00, kPropFlag, 0x01}), PackedStreamResult::kReadOnly);
  EXPECT_EQ(ctl->base.visible, 0);
  EXPECT_EQ(ctl->flag, 0);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("Assignment to read-only property Active%b%"), std::string::npos);
}

TEST_F(PackedPropertiesTest, IndexPastTheTableStopsTheStream) {
  EXPECT_EQ(ApplyRaw({0x00, kPropFlag, 0x01, 0x7F, 0xFF, 0x00, 0x00, kPropFillColor, 1, 2, 3}),
            PackedStreamResult::kIndexOutOfRange);
  EXPECT_EQ(ctl->flag, 1);
  EXPECT_EQ(ctl->color, 0);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("destIndex < propTableCount"), std::string::npos);
}

TEST_F(PackedPropertiesTest, UnknownTypeStopsBeforeItsValueIsReadAsAnIndex) {
  // The four value bytes of the u4 record would read as Flag := 1 if taken as records.
  EXPECT_EQ(ApplyRaw({0x00, kPropWeird, 0x00, kPropFlag, 0x01, 0x00}), PackedStreamResult::kIllegalType);
  EXPECT_EQ(ctl->flag, 0);
  EXPECT_EQ(ctl->weird, 0u);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("Illegal type in mass property input."), std::string::npos);
}

TEST_F(PackedPropertiesTest, StreamsEndingInsideARecordApplyNothingOfIt) {
  EXPECT_EQ(ApplyRaw({0x00}), PackedStreamResult::kTruncated);
  EXPECT_EQ(ApplyRaw({0x00, kPropFlag, 0x01, 0x00, 0x0D, 0x00, 0x00, 0x00}), PackedStreamResult::kTruncated);
  EXPECT_EQ(ctl->flag, 1);
  EXPECT_EQ(ctlPosGetter(Obj(ctl), 0), 0);
  EXPECT_EQ(ApplyRaw({0x00, kPropFillColor, 0x12, 0x34}), PackedStreamResult::kTruncated);
  EXPECT_EQ(ctl->color, 0);
  // A string whose byte count runs past the end, and one whose count is cut off.
  EXPECT_EQ(ApplyRaw({0x00, kPropCaption, 0x00, 0x00, 0x00, 0x09, 'a', 'b'}), PackedStreamResult::kTruncated);
  EXPECT_EQ(ApplyRaw({0x00, kPropCaption, 0xFF, 0xFF}), PackedStreamResult::kTruncated);
  EXPECT_EQ(ApplyRaw({0x00, kPropCaption, 0xFF, 0xFF, 0xFF, 0xFF, 'x'}), PackedStreamResult::kTruncated);
  EXPECT_EQ(ctl->caption, nullptr);
  EXPECT_TRUE(SetterLog().empty());
  EXPECT_TRUE(Reports().empty());
}

TEST_F(PackedPropertiesTest, RaisingSetterEndsTheStreamWithItsException) {
  EXPECT_EQ(ApplyRaw({0x00, kPropRaiser, 0, 0, 0, 3, 0x00, kPropFlag, 0x01}), PackedStreamResult::kRaised);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(ctl->flag, 0);
}

}  // namespace
}  // namespace vorn::test
