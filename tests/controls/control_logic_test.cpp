// The parts of the controls that need no display: thumb placement, the disabled caption
// tint, and binding a data-aware pane through the database layer's hooks.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/data_aware.h"
#include "controls/scroller.h"
#include "controls/static_text_pane.h"

namespace vorn {
namespace {

TEST(SliderThumbTest, TheThumbStaysInsideItsTroughAndEmptyRangesHoldItAtTheStart) {
  EXPECT_EQ(SliderThumbOffset(131, 31, 0, 0, 100), 0);
  EXPECT_EQ(SliderThumbOffset(131, 31, 50, 0, 100), 50);
  EXPECT_EQ(SliderThumbOffset(131, 31, 100, 0, 100), 100);
  EXPECT_EQ(SliderThumbOffset(131, 31, 500, 0, 100), 100);
  EXPECT_EQ(SliderThumbOffset(131, 31, 5, 5, 5), 0) << "minimum equal to maximum";
  EXPECT_EQ(SliderThumbOffset(131, 31, 5, 10, 5), 0) << "maximum below minimum";
  EXPECT_EQ(SliderThumbOffset(20, 31, 50, 0, 100), 0) << "trough shorter than the thumb";
  EXPECT_EQ(SliderThumbOffset(1031, 31, 0, INT32_MIN, INT32_MAX), 500);
}

TEST(DisabledCaptionTest, ComponentsMoveTowardsALightGrey) {
  EXPECT_EQ(DisabledComponent(0), 0x6000);
  EXPECT_EQ(DisabledComponent(0xFFFF), 0x9FFF);
  EXPECT_EQ(DisabledComponent(0x8000), 0x8000);
}

// A data control list the hooks write to, standing in for the database layer.
struct Binding {
  RuntimeObject* dataControl;
  RuntimeObject* control;
  int32_t kind;
};
std::vector<Binding> gBound;
int gRefreshes = 0;
RuntimeObject* const kDataControl = reinterpret_cast<RuntimeObject*>(0x1000);
RuntimeObject* const kOwner = reinterpret_cast<RuntimeObject*>(0x2000);

RuntimeObject* FindData(RuntimeObject*, const string& name) {
  return name.Compare(string("Data1")) == 0 ? kDataControl : nullptr;
}
void AddBound(RuntimeObject* data, RuntimeObject* control, int32_t kind) {
  gBound.push_back({data, control, kind});
}
void RemoveBound(RuntimeObject* data, RuntimeObject* control, int32_t kind) {
  std::erase_if(gBound, [&](const Binding& b) {
    return b.dataControl == data && b.control == control && b.kind == kind;
  });
}
void Refresh(RuntimeObject*) { ++gRefreshes; }

class TestAware : public DataAwareClass {
 public:
  void BindDataSource() override { BindOwner(kOwner, kBoundStaticText); }
  void UnbindDataSource() override { UnbindOwner(kOwner, kBoundStaticText); }
};

TEST(DataAwareTest, BindsByNameOnceAndUnbindsForAnEmptyName) {
  DataBindingHooks saved = GetDataBindingHooks();
  SetDataBindingHooks({&FindData, &AddBound, &RemoveBound, &Refresh});
  gBound.clear();
  gRefreshes = 0;
  TestAware pane;

  pane.SetDataSourceName(string("nothing"));
  pane.BindDataSource();
  EXPECT_EQ(pane.BoundDataControl(), nullptr) << "a name no control has leaves the pane unbound";
  EXPECT_TRUE(gBound.empty());

  pane.SetDataSourceName(string("DATA1"));
  pane.BindDataSource();
  pane.BindDataSource();  // DataField set again
  ASSERT_EQ(gBound.size(), 1u) << "binding again does not register twice";
  EXPECT_EQ(gBound[0].kind, kBoundStaticText);
  EXPECT_EQ(pane.BoundDataControl(), kDataControl);
  EXPECT_EQ(gRefreshes, 2);

  pane.SetDataSourceName(string());
  pane.BindDataSource();
  EXPECT_TRUE(gBound.empty());
  EXPECT_EQ(pane.BoundDataControl(), nullptr);
  SetDataBindingHooks(saved);
}

TEST(DataAwareTest, WithoutTheDatabaseLayerNothingBinds) {
  DataBindingHooks saved = GetDataBindingHooks();
  SetDataBindingHooks({});
  TestAware pane;
  pane.SetDataSourceName(string("Data1"));
  pane.BindDataSource();
  EXPECT_EQ(pane.BoundDataControl(), nullptr);
  SetDataBindingHooks(saved);
}

}  // namespace
}  // namespace vorn
