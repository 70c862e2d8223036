#include <cmath>
#include <cstddef>
#include <vector>

#include "objects/arrays.h"
#include "objects/support/test_classes.h"
#include "objects/support/value_test.h"

namespace vorn::testing {
namespace {

using ArraysTest = ValueTest;

using GetInt2 = int32_t (*)(VornArray*, int32_t, int32_t);
using SetInt2 = void (*)(VornArray*, int32_t, int32_t, int32_t);

template <typename F>
F Op(VornArray* array, int32_t slot) {
  return reinterpret_cast<F>(const_cast<void*>(array->operations[slot]));
}

TEST_F(ArraysTest, OneDimensionGrowsAndShrinks) {
  VornArray* a = CreateArray(kVornArrayInteger, 1, -1);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(RuntimeUBound(a), -1);
  EXPECT_EQ(a->data, nullptr);
  for (int32_t i = 0; i < 1000; ++i) RuntimeArrayAppend(a, i * 3);
  EXPECT_EQ(RuntimeUBound(a), 999);
  EXPECT_GE(a->bufferLength, 1000 * 4);
  RuntimeArrayInsert(a, 0, -7);
  RuntimeArrayInsert(a, 500, 43);
  EXPECT_EQ(ArrayGetInteger(a, 0), -7);
  EXPECT_EQ(ArrayGetInteger(a, 1), 0);
  EXPECT_EQ(ArrayGetInteger(a, 500), 43);
  EXPECT_EQ(ArrayGetInteger(a, 501), 499 * 3);
  EXPECT_EQ(ArrayGetInteger(a, 1001), 999 * 3);
  EXPECT_EQ(ArrayIndexOfInteger(a, 43, 0), 500);
  EXPECT_EQ(ArrayIndexOfInteger(a, 43, 501), -1);

  while (RuntimeUBound(a) >= 10) RuntimeArrayRemove(a, 3);
  EXPECT_EQ(RuntimeUBound(a), 9);
  EXPECT_EQ(ArrayGetInteger(a, 2), 3);
  EXPECT_EQ(ArrayGetInteger(a, 9), 999 * 3);
  EXPECT_LT(a->bufferLength, 200) << "storage is given back after most elements went";

  auto pop = Op<int32_t (*)(VornArray*)>(a, kVornArrayOpPop);
  EXPECT_EQ(pop(a), 999 * 3);
  EXPECT_EQ(RuntimeUBound(a), 8);

  int32_t bound = -1;
  RuntimeArrayRedim(a, &bound);
  EXPECT_EQ(RuntimeUBound(a), -1);
  EXPECT_EQ(a->data, nullptr);
  EXPECT_EQ(pop(a), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  bound = 4;
  RuntimeArrayRedim(a, &bound);
  EXPECT_EQ(ArrayGetInteger(a, 4), 0);
  RuntimeUnlockArray(a);
}

TEST_F(ArraysTest, IndexesOutsideTheBoundsRaise) {
  VornArray* a = CreateArray(kVornArrayInteger, 1, 2);
  for (int32_t index : {-1, 3, 1 << 30}) {
    ArraySetInteger(a, index, 5);
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << index;
    EXPECT_EQ(ArrayGetInteger(a, index), 0);
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << index;
  }
  RuntimeArrayInsert(a, 4, 1);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  RuntimeArrayRemove(a, 3);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(RuntimeUBound2Param(a, 2), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(RuntimeUBound(a), 2) << "failed calls change nothing";

  int32_t bound = -1;
  RuntimeArrayRedim(a, &bound);
  EXPECT_EQ(ArrayGetInteger(a, 0), 0) << "an empty array has no element 0";
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  RuntimeUnlockArray(a);

  EXPECT_EQ(RuntimeUBound(nullptr), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  RuntimeArrayAppend(nullptr, 1);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

TEST_F(ArraysTest, TwoDimensionsRunTheFirstIndexFastest) {
  int32_t bounds[2] = {2, 3};
  VornArray* a = RuntimeNewArray(kVornArrayInteger, 2, bounds);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(RuntimeUBound2Param(a, -1), 2);
  EXPECT_EQ(RuntimeUBound2Param(a, 1), 2);
  EXPECT_EQ(RuntimeUBound2Param(a, 2), 3);
  auto set = Op<SetInt2>(a, kVornArrayOpSet);
  auto get = Op<GetInt2>(a, kVornArrayOpGet);
  for (int32_t j = 0; j <= 3; ++j)
    for (int32_t i = 0; i <= 2; ++i) set(a, i, j, i + 10 * j);
  const auto* data = static_cast<const int32_t*>(a->data);
  for (int32_t j = 0; j <= 3; ++j)
    for (int32_t i = 0; i <= 2; ++i) EXPECT_EQ(data[i + 3 * j], i + 10 * j);

  get(a, 3, 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  get(a, 0, 4);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");

  int32_t wider[2] = {4, 1};
  RuntimeArrayRedim(a, wider);
  EXPECT_EQ(a->count, 10);
  for (int32_t j = 0; j <= 1; ++j) {
    for (int32_t i = 0; i <= 4; ++i) EXPECT_EQ(get(a, i, j), i <= 2 ? i + 10 * j : 0) << i << "," << j;
  }
  EXPECT_EQ(Op<void*>(a, kVornArrayOpAppend), nullptr) << "appending needs one dimension";
  RuntimeArrayAppend(a, 1);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  RuntimeUnlockArray(a);

  int32_t three[3] = {1, 1, 1};
  VornArray* cube = RuntimeNewArray(kVornArrayDouble, 3, three);
  auto setN = Op<void (*)(VornArray*, const int32_t*, double)>(cube, kVornArrayOpSet);
  int32_t at[3] = {1, 0, 1};
  setN(cube, at, 2.5);
  EXPECT_EQ(static_cast<double*>(cube->data)[1 + 0 * 2 + 1 * 4], 2.5);
  RuntimeUnlockArray(cube);
}

TEST_F(ArraysTest, StringAndObjectElementsHoldReferences) {
  VornArray* names = CreateArray(kVornArrayString, 1, -1);
  for (const char* text : {"pear", "Apple", "fig", "apple"}) {
    string s(text);
    RuntimeArrayAppend(names, reinterpret_cast<intptr_t>(s.Rep()));
  }
  ArraySort(names);
  std::vector<std::string> sorted;
  for (int32_t i = 0; i <= RuntimeUBound(names); ++i) sorted.push_back(Take(ArrayGetString(names, i)));
  EXPECT_EQ(sorted, (std::vector<std::string>{"Apple", "apple", "fig", "pear"})) << "stable, case ignored";
  StringRep* direct = RuntimeDirectReadStringArray(names, 3);
  EXPECT_EQ(Take(direct), "pear");
  RuntimeUnlockArray(names);

  RuntimeObject* first = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  RuntimeObject* second = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  VornArray* objects = CreateArray(kVornArrayObject, 1, 1);
  ArraySetObject(objects, 0, first);
  ArraySetObject(objects, 1, first);
  EXPECT_EQ(first->refCount, 3);
  ArraySetObject(objects, 1, second);
  EXPECT_EQ(first->refCount, 2);
  RuntimeLockArray(objects);
  RuntimeUnlockArray(objects);
  EXPECT_EQ(objects->refCount, 1);
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
  EXPECT_EQ(first->refCount, 1) << "the array keeps both alive";
  EXPECT_EQ(second->refCount, 1);
  RuntimeUnlockArray(objects);
}

TEST_F(ArraysTest, NotANumberSortsLast) {
  VornArray* a = CreateArray(kVornArrayDouble, 1, -1);
  for (double d : {3.0, std::nan(""), -1.0, std::nan(""), 2.0}) RuntimeArrayAppendDouble(a, d);
  ArraySort(a);
  EXPECT_EQ(ArrayGetDouble(a, 0), -1.0);
  EXPECT_EQ(ArrayGetDouble(a, 2), 3.0);
  EXPECT_TRUE(std::isnan(ArrayGetDouble(a, 3)));
  EXPECT_TRUE(std::isnan(ArrayGetDouble(a, 4)));
  RuntimeArrayAppend(a, 1);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException") << "a Double array takes Doubles";
  RuntimeUnlockArray(a);
}

TEST_F(ArraysTest, SmallKindsAndFailedCreation) {
  VornArray* flags = CreateArray(kVornArrayBoolean, 1, -1);
  RuntimeArrayAppend(flags, 0x100);  // any non-zero value is True
  EXPECT_EQ(static_cast<uint8_t*>(flags->data)[0], 1);
  RuntimeUnlockArray(flags);
  VornArray* shorts = CreateArray(kVornArrayShort, 1, -1);
  RuntimeArrayAppend(shorts, -2);
  EXPECT_EQ(ArrayGetInteger(shorts, 0), -2);
  RuntimeUnlockArray(shorts);

  EXPECT_EQ(CreateArray(99, 1, 3), nullptr);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  EXPECT_EQ(CreateArray(kVornArrayInteger, 0, 3), nullptr);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  EXPECT_EQ(CreateArray(kVornArrayInteger, 3, 2000), nullptr) << "2001^3 elements do not fit";
  EXPECT_EQ(TakePendingClassName(), "OutOfMemoryException");
  EXPECT_EQ(RuntimeArray(1, kVornArrayObject, -2), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
}

VornArray* sFreed = nullptr;

TEST_F(ArraysTest, FreedHookSeesEveryArray) {
  ArrayCallback previous = SetArrayFreedHook([](VornArray* array) { sFreed = array; });
  VornArray* a = CreateArray(kVornArrayColor, 1, 0);
  VornArray* b = CreateArray(kVornArrayColor, 1, 0);
  RuntimeLockUnlockArrays(b, a);
  EXPECT_EQ(sFreed, a);
  RuntimeUnlockArray(b);
  EXPECT_EQ(sFreed, a);
  EXPECT_EQ(b->refCount, 1) << "still held once";
  RuntimeUnlockArray(b);
  EXPECT_EQ(sFreed, b);
  SetArrayFreedHook(previous);
}

struct HolderObject {
  RuntimeObject header;
  VornArray* list;
};

void HolderFinal(RuntimeObject* self) { RuntimeUnlockArray(reinterpret_cast<HolderObject*>(self)->list); }

TEST_F(ArraysTest, ArrayPropertyAccessorsCountReferences) {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("ArrayHolder");
    definition.mInstanceSize = sizeof(HolderObject);
    definition.mFinalizer = {reinterpret_cast<void*>(&HolderFinal), nullptr};
  }
  RuntimeObject* holder = CreateInstanceFromDefinition(&definition);
  const auto offset = static_cast<int32_t>(offsetof(HolderObject, list));
  VornArray* a = CreateArray(kVornArraySingle, 1, 3);
  arraySetter(holder, offset, a);
  EXPECT_EQ(a->refCount, 2);
  VornArray* read = arrayGetter(holder, offset);
  EXPECT_EQ(read, a);
  EXPECT_EQ(a->refCount, 3);
  RuntimeUnlockArray(read);
  arrayGetter(holder, offset + 4);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << "past the object's fields";
  arraySetter(holder, 0, a);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << "inside the header";
  RuntimeUnlockArray(a);
  RuntimeUnlockObject(holder);
}

}  // namespace
}  // namespace vorn::testing
