// Project-object references and the intrinsic type descriptors.
#include <gtest/gtest.h>

#include <cstring>

#include "windows/runtime_references.h"
#include "windows/support/control_fixture.h"

namespace vorn::test {
namespace {

using RuntimeReferencesTest = ControlTest;

TEST_F(RuntimeReferencesTest, ProjectObjectsAreCountedFromOneAndChecked) {
  TestControlObject* a = NewControl("A");
  TestControlObject* b = NewControl("B");
  RuntimeObject* table[] = {reinterpret_cast<RuntimeObject*>(0x1), Obj(a), Obj(b)};  // entry 0 is never read
  SetProjectObjectTable(table, 2);
  EXPECT_EQ(RuntimeProjectObject(0), nullptr);
  RuntimeObject* found = RuntimePictureReference(2);
  EXPECT_EQ(found, Obj(b));
  EXPECT_EQ(found->refCount, 2);
  RuntimeUnlockObject(found);
  for (int32_t bad : {3, -1, INT32_MAX}) {
    EXPECT_EQ(RuntimeProjectObject(bad), nullptr) << bad;
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << bad;
  }
  SetProjectObjectTable(nullptr, 0);
  EXPECT_EQ(RuntimeProjectObject(1), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
}

TEST_F(RuntimeReferencesTest, TypeDescriptorsConvertStoredValues) {
  const IntrinsicTypeDescriptor* all = GetIntrinsicTypeDescriptors();
  EXPECT_STREQ(all[0].name, "String");
  EXPECT_STREQ(all[kIntrinsicTypeCount - 1].name, "Short");
  EXPECT_EQ(FindIntrinsicTypeDescriptor(string("double"))->toText, nullptr);

  const IntrinsicTypeDescriptor* boolean = FindIntrinsicTypeDescriptor(string("Boolean"));
  uint8_t flag = 0;
  EXPECT_TRUE(boolean->fromText(string("tRUE").Rep(), &flag));
  EXPECT_EQ(flag, 1);
  string text = string::Adopt(boolean->toText(&flag));
  EXPECT_EQ(text.View(), "True");
  EXPECT_EQ(text.Encoding(), kEncodingASCII);

  const IntrinsicTypeDescriptor* integer = FindIntrinsicTypeDescriptor(string("Integer"));
  int32_t n = 0;
  integer->fromText(string("  -42xyz").Rep(), &n);
  EXPECT_EQ(n, -42);
  EXPECT_EQ(string::Adopt(integer->toText(&n)).View(), "-42");

  const IntrinsicTypeDescriptor* single = FindIntrinsicTypeDescriptor(string("Single"));
  float f = 0.1f;
  EXPECT_EQ(string::Adopt(single->toText(&f)).View(), "0.1");

  const IntrinsicTypeDescriptor* color = FindIntrinsicTypeDescriptor(string("Color"));
  uint32_t rgb = 0xFF0000;
  EXPECT_EQ(string::Adopt(color->toText(&rgb)).View(), "16711680");
}

}  // namespace
}  // namespace vorn::test
