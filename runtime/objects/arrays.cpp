#include "objects/arrays.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/signature.h"
#include "strings/memory.h"

namespace vorn {

namespace {

constexpr int32_t kDefaultGrowthStep = 16;

ArrayCallback sFreedHook = nullptr;
int32_t sLiveArrays = 0;

// --- element kinds --------------------------------------------------------------------------

// Storage is what the buffer holds, Value what travels through the operations.
template <typename S, typename V>
struct Plain {
  using Storage = S;
  using Value = V;
  static Value Load(const Storage& s) { return static_cast<Value>(s); }
  static void Store(Storage& s, Value v) { s = static_cast<Storage>(v); }
  static void Release(Storage&) {}
  static bool Less(const Storage& a, const Storage& b) {
    if constexpr (std::is_floating_point_v<Storage>) {
      // Not-a-number sorts last, so the order stays strict and weak.
      if (std::isnan(a)) return false;
      if (std::isnan(b)) return true;
    }
    return a < b;
  }
  static bool Same(const Storage& s, Value v) { return static_cast<Value>(s) == v; }
};

struct BooleanKind : Plain<uint8_t, uint8_t> {
  static void Store(Storage& s, Value v) { s = v ? 1 : 0; }
  static bool Same(const Storage& s, Value v) { return (s != 0) == (v != 0); }
};

struct StringKind {
  using Storage = StringRep*;
  using Value = StringRep*;
  static Value Load(Storage s) {
    RuntimeLockString(s);
    return s;
  }
  static void Store(Storage& s, Value v) {
    RuntimeLockString(v);
    Storage old = s;
    s = v;
    RuntimeUnlockString(old);
  }
  static void Release(Storage& s) {
    RuntimeUnlockString(s);
    s = nullptr;
  }
  static bool Less(Storage a, Storage b) { return string::Share(a).Compare(string::Share(b)) < 0; }
  static bool Same(Storage s, Value v) { return string::Share(s).Compare(string::Share(v)) == 0; }
};

struct ObjectKind {
  using Storage = RuntimeObject*;
  using Value = RuntimeObject*;
  static Value Load(Storage s) {
    RuntimeLockObject(s);
    return s;
  }
  static void Store(Storage& s, Value v) {
    RuntimeLockObject(v);
    Storage old = s;
    s = v;
    RuntimeUnlockObject(old);
  }
  static void Release(Storage& s) {
    Storage old = s;
    s = nullptr;
    RuntimeUnlockObject(old);
  }
  static bool Same(Storage s, Value v) { return s == v; }
};

using IntegerKind = Plain<int32_t, int32_t>;
using ShortKind = Plain<int16_t, int32_t>;
using UIntegerKind = Plain<uint32_t, uint32_t>;
using SingleKind = Plain<float, float>;
using DoubleKind = Plain<double, double>;
using PtrKind = Plain<void*, void*>;

// --- buffer management ------------------------------------------------------------------------

bool CheckArray(const VornArray* array) {
  if (!array) {
    RuntimeRaiseNilObjectException();
    return false;
  }
  return true;
}

void RaiseOutOfBounds() { RuntimeRaiseOutOfBoundsException(); }

int64_t CapacityOf(const VornArray* array) { return array->bufferLength / array->elementSize; }

// Makes room for `needed` elements; false (OutOfMemoryException pending) when it cannot.
bool Reserve(VornArray* array, int64_t needed) {
  if (needed <= CapacityOf(array)) return true;
  int64_t capacity = std::max<int64_t>({needed, array->count + int64_t{array->growthStep}, array->count + array->count / 2});
  capacity = std::min<int64_t>(capacity, std::numeric_limits<int32_t>::max());
  if (needed > capacity) {
    RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
    return false;
  }
  size_t bytes = static_cast<size_t>(capacity) * static_cast<size_t>(array->elementSize);
  void* data = ReallocMemory(array->data, bytes, OnFailure::ReturnNull);
  if (!data) {
    RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
    return false;
  }
  std::memset(static_cast<char*>(data) + array->bufferLength, 0, bytes - static_cast<size_t>(array->bufferLength));
  array->data = data;
  array->bufferLength = static_cast<int64_t>(bytes);
  return true;
}

// Gives storage back once far more is free than the growth step would add again.
void ShrinkToFit(VornArray* array) {
  int64_t capacity = CapacityOf(array);
  int64_t keep = array->count + array->growthStep;
  if (array->count == 0) {
    FreeMemory(array->data);
    array->data = nullptr;
    array->bufferLength = 0;
    return;
  }
  if (capacity <= 2 * keep) return;
  size_t bytes = static_cast<size_t>(keep) * static_cast<size_t>(array->elementSize);
  if (void* data = ReallocMemory(array->data, bytes, OnFailure::ReturnNull)) {
    array->data = data;
    array->bufferLength = static_cast<int64_t>(bytes);
  }
}

// The element count for the bounds, or -1 when it does not fit in 32 bits.
int64_t CountFor(int32_t dimensions, const int32_t* bounds) {
  int64_t count = 1;
  for (int32_t d = 0; d < dimensions; ++d) {
    count *= int64_t{bounds[d]} + 1;
    if (count > std::numeric_limits<int32_t>::max()) return -1;
  }
  return count;
}

// Offset of the element at the indexes, or -1 (OutOfBoundsException raised) outside the bounds.
int64_t Linear(const VornArray* array, const int32_t* indexes) {
  int64_t offset = 0;
  int64_t stride = 1;
  for (int32_t d = 0; d < array->dimensions; ++d) {
    if (indexes[d] < 0 || indexes[d] > array->upperBound[d]) {
      RaiseOutOfBounds();
      return -1;
    }
    offset += indexes[d] * stride;
    stride *= int64_t{array->upperBound[d]} + 1;
  }
  return offset;
}

// --- the operations -------------------------------------------------------------------------

template <typename K>
struct Ops {
  using S = typename K::Storage;
  using V = typename K::Value;

  static S* Data(VornArray* a) { return static_cast<S*>(a->data); }

  static S* At1(VornArray* a, int32_t i) {
    if (!CheckArray(a)) return nullptr;
    if (a->dimensions != 1) {
      RaiseOutOfBounds();
      return nullptr;
    }
    if (static_cast<uint32_t>(i) > static_cast<uint32_t>(a->upperBound[0]) || a->upperBound[0] < 0) {
      RaiseOutOfBounds();
      return nullptr;
    }
    return Data(a) + i;
  }

  static S* AtN(VornArray* a, const int32_t* indexes) {
    if (!CheckArray(a)) return nullptr;
    if (!indexes) {
      RuntimeRaiseNilObjectException();
      return nullptr;
    }
    int64_t offset = Linear(a, indexes);
    return offset < 0 ? nullptr : Data(a) + offset;
  }

  static void Free(VornArray* a) {
    if (!a) return;
    S* data = Data(a);
    for (int32_t i = 0; i < a->count; ++i) K::Release(data[i]);
    FreeMemory(a->data);
    FreeMemory(a);
    --sLiveArrays;
    if (sFreedHook) sFreedHook(a);
  }

  static V Get1(VornArray* a, int32_t i) {
    S* slot = At1(a, i);
    return slot ? K::Load(*slot) : V{};
  }
  static void Set1(VornArray* a, int32_t i, V v) {
    if (S* slot = At1(a, i)) K::Store(*slot, v);
  }
  static V Get2(VornArray* a, int32_t i, int32_t j) {
    int32_t indexes[2] = {i, j};
    if (a && a->dimensions != 2) {
      RaiseOutOfBounds();
      return V{};
    }
    S* slot = AtN(a, indexes);
    return slot ? K::Load(*slot) : V{};
  }
  static void Set2(VornArray* a, int32_t i, int32_t j, V v) {
    int32_t indexes[2] = {i, j};
    if (a && a->dimensions != 2) {
      RaiseOutOfBounds();
      return;
    }
    if (S* slot = AtN(a, indexes)) K::Store(*slot, v);
  }
  static V GetN(VornArray* a, const int32_t* indexes) {
    S* slot = AtN(a, indexes);
    return slot ? K::Load(*slot) : V{};
  }
  static void SetN(VornArray* a, const int32_t* indexes, V v) {
    if (S* slot = AtN(a, indexes)) K::Store(*slot, v);
  }

  static bool OneDimension(VornArray* a) {
    if (!CheckArray(a)) return false;
    if (a->dimensions != 1) {
      RaiseOutOfBounds();
      return false;
    }
    return true;
  }

  static void Insert(VornArray* a, int32_t index, V v) {
    if (!OneDimension(a)) return;
    if (index < 0 || index > a->count) {
      RaiseOutOfBounds();
      return;
    }
    if (!Reserve(a, int64_t{a->count} + 1)) return;
    S* data = Data(a);
    std::memmove(static_cast<void*>(data + index + 1), static_cast<const void*>(data + index),
                 static_cast<size_t>(a->count - index) * sizeof(S));
    data[index] = S{};
    K::Store(data[index], v);
    ++a->count;
    a->upperBound[0] = a->count - 1;
  }

  static void Append(VornArray* a, V v) {
    if (a) Insert(a, a->count, v);
    else CheckArray(a);
  }

  static void Remove(VornArray* a, int32_t index) {
    if (!OneDimension(a)) return;
    if (index < 0 || index >= a->count) {
      RaiseOutOfBounds();
      return;
    }
    S* data = Data(a);
    S removed = data[index];
    std::memmove(static_cast<void*>(data + index), static_cast<const void*>(data + index + 1),
                 static_cast<size_t>(a->count - index - 1) * sizeof(S));
    data[a->count - 1] = S{};
    --a->count;
    a->upperBound[0] = a->count - 1;
    ShrinkToFit(a);
    K::Release(removed);  // last: a destructor it runs may look at the array
  }

  static V Pop(VornArray* a) {
    if (!OneDimension(a)) return V{};
    if (a->count == 0) {
      RaiseOutOfBounds();
      return V{};
    }
    V value = K::Load(Data(a)[a->count - 1]);
    Remove(a, a->count - 1);
    return value;
  }

  static int32_t IndexOf(VornArray* a, V v, int32_t start) {
    if (!OneDimension(a)) return -1;
    if (start < 0) start = 0;
    S* data = Data(a);
    for (int32_t i = start; i < a->count; ++i)
      if (K::Same(data[i], v)) return i;
    return -1;
  }

  static void Redim(VornArray* a, const int32_t* bounds) {
    if (!CheckArray(a)) return;
    if (!bounds) {
      RuntimeRaiseNilObjectException();
      return;
    }
    for (int32_t d = 0; d < a->dimensions; ++d) {
      if (bounds[d] < -1) {
        RaiseOutOfBounds();
        return;
      }
    }
    int64_t newCount = CountFor(a->dimensions, bounds);
    if (newCount < 0) {
      RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
      return;
    }
    if (a->dimensions == 1) {
      if (newCount > a->count && !Reserve(a, newCount)) return;
      S* data = Data(a);
      int32_t oldCount = a->count;
      a->count = static_cast<int32_t>(newCount);
      a->upperBound[0] = bounds[0];
      for (int64_t i = newCount; i < oldCount; ++i) K::Release(data[i]);
      ShrinkToFit(a);
      return;
    }
    RedimMany(a, bounds, newCount);
  }

  // Several dimensions: every element keeps its indexes, so the buffer is laid out anew.
  static void RedimMany(VornArray* a, const int32_t* bounds, int64_t newCount) {
    size_t bytes = static_cast<size_t>(newCount) * sizeof(S);
    S* fresh = nullptr;
    if (newCount > 0) {
      fresh = static_cast<S*>(AllocClearedMemory(bytes, OnFailure::ReturnNull));
      if (!fresh) {
        RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
        return;
      }
    }
    S* old = Data(a);
    int32_t indexes[kVornArrayMaxDimensions] = {};
    for (int32_t n = 0; n < a->count; ++n) {
      int64_t target = 0;
      int64_t stride = 1;
      bool kept = true;
      for (int32_t d = 0; d < a->dimensions; ++d) {
        if (indexes[d] > bounds[d]) kept = false;
        target += indexes[d] * stride;
        stride *= int64_t{bounds[d]} + 1;
      }
      if (kept) fresh[target] = old[n];
      else K::Release(old[n]);
      for (int32_t d = 0; d < a->dimensions; ++d) {  // next indexes, first fastest
        if (++indexes[d] <= a->upperBound[d]) break;
        indexes[d] = 0;
      }
    }
    FreeMemory(old);
    a->data = fresh;
    a->bufferLength = static_cast<int64_t>(bytes);
    a->count = static_cast<int32_t>(newCount);
    for (int32_t d = 0; d < a->dimensions; ++d) a->upperBound[d] = bounds[d];
  }

  static void Sort(VornArray* a) {
    if (!CheckArray(a)) return;
    if constexpr (std::is_same_v<K, ObjectKind> || std::is_same_v<K, PtrKind>) {
      RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
    } else {
      std::stable_sort(Data(a), Data(a) + a->count, [](const S& x, const S& y) { return K::Less(x, y); });
    }
  }

  static void* Fn(auto f) { return reinterpret_cast<void*>(f); }

  // Tables by number of dimensions: 1, 2, more.
  static const void* const* Table(int32_t dimensions) {
    static void* const kOne[kVornArrayOpCount] = {Fn(&Free), Fn(&Get1), Fn(&Set1), Fn(&Append), Fn(&Insert),
                                                   Fn(&Remove), Fn(&Pop), Fn(&IndexOf), Fn(&Redim), SortSlot()};
    static void* const kTwo[kVornArrayOpCount] = {Fn(&Free), Fn(&Get2), Fn(&Set2), nullptr, nullptr,
                                                   nullptr, nullptr, nullptr, Fn(&Redim), nullptr};
    static void* const kMany[kVornArrayOpCount] = {Fn(&Free), Fn(&GetN), Fn(&SetN), nullptr, nullptr,
                                                    nullptr, nullptr, nullptr, Fn(&Redim), nullptr};
    return dimensions == 1 ? kOne : dimensions == 2 ? kTwo : kMany;
  }

  static void* SortSlot() {
    if constexpr (std::is_same_v<K, ObjectKind> || std::is_same_v<K, PtrKind>) return nullptr;
    else return Fn(&Sort);
  }
};

struct KindInfo {
  int32_t size;
  const void* const* (*table)(int32_t);
};

KindInfo InfoOf(int32_t kind) {
  switch (kind) {
    case kVornArrayInteger: return {4, &Ops<IntegerKind>::Table};
    case kVornArrayShort: return {2, &Ops<ShortKind>::Table};
    case kVornArrayUInteger:
    case kVornArrayColor: return {4, &Ops<UIntegerKind>::Table};
    case kVornArraySingle: return {4, &Ops<SingleKind>::Table};
    case kVornArrayDouble: return {8, &Ops<DoubleKind>::Table};
    case kVornArrayBoolean: return {1, &Ops<BooleanKind>::Table};
    case kVornArrayString: return {8, &Ops<StringKind>::Table};
    case kVornArrayObject: return {8, &Ops<ObjectKind>::Table};
    case kVornArrayPtr: return {8, &Ops<PtrKind>::Table};
    default: return {0, nullptr};
  }
}

template <typename F>
F Slot(VornArray* array, int32_t slot) {
  return reinterpret_cast<F>(const_cast<void*>(array->operations[slot]));
}

bool IsFloatKind(int32_t kind) { return kind == kVornArraySingle || kind == kVornArrayDouble; }

}  // namespace

int32_t ArrayElementSize(int32_t elementKind) { return InfoOf(elementKind).size; }

int32_t ArrayElementKindOfTypeCode(std::string_view typeCode) {
  auto type = ParseSingleTypeCode(typeCode);
  if (!type) return 0;
  switch (type->kind) {
    case TypeKind::kInteger: return kVornArrayInteger;
    case TypeKind::kShort: return kVornArrayShort;
    case TypeKind::kUInteger: return kVornArrayUInteger;
    case TypeKind::kSingle: return kVornArraySingle;
    case TypeKind::kDouble: return kVornArrayDouble;
    case TypeKind::kString: return kVornArrayString;
    case TypeKind::kBoolean: return kVornArrayBoolean;
    case TypeKind::kColor: return kVornArrayColor;
    case TypeKind::kPointer: return kVornArrayPtr;
    case TypeKind::kObject: return kVornArrayObject;
    default: return 0;
  }
}

ArrayCallback SetArrayFreedHook(ArrayCallback hook) {
  ArrayCallback previous = sFreedHook;
  sFreedHook = hook;
  return previous;
}

int32_t LiveArrayCount() { return sLiveArrays; }

bool ArrayIndexValid(const VornArray* array, int32_t index) {
  return array && array->dimensions == 1 && index >= 0 && index <= array->upperBound[0];
}

int32_t ArrayGetInteger(VornArray* a, int32_t i) {
  return a ? Slot<int32_t (*)(VornArray*, int32_t)>(a, kVornArrayOpGet)(a, i) : (CheckArray(a), 0);
}
void ArraySetInteger(VornArray* a, int32_t i, int32_t v) {
  if (CheckArray(a)) Slot<void (*)(VornArray*, int32_t, int32_t)>(a, kVornArrayOpSet)(a, i, v);
}
double ArrayGetDouble(VornArray* a, int32_t i) {
  if (!CheckArray(a)) return 0;
  if (a->elementKind == kVornArraySingle) return Slot<float (*)(VornArray*, int32_t)>(a, kVornArrayOpGet)(a, i);
  return Slot<double (*)(VornArray*, int32_t)>(a, kVornArrayOpGet)(a, i);
}
void ArraySetDouble(VornArray* a, int32_t i, double v) {
  if (!CheckArray(a)) return;
  if (a->elementKind == kVornArraySingle)
    Slot<void (*)(VornArray*, int32_t, float)>(a, kVornArrayOpSet)(a, i, static_cast<float>(v));
  else
    Slot<void (*)(VornArray*, int32_t, double)>(a, kVornArrayOpSet)(a, i, v);
}
StringRep* ArrayGetString(VornArray* a, int32_t i) {
  return a ? Slot<StringRep* (*)(VornArray*, int32_t)>(a, kVornArrayOpGet)(a, i) : (CheckArray(a), nullptr);
}
void ArraySetString(VornArray* a, int32_t i, StringRep* v) {
  if (CheckArray(a)) Slot<void (*)(VornArray*, int32_t, StringRep*)>(a, kVornArrayOpSet)(a, i, v);
}
RuntimeObject* ArrayGetObject(VornArray* a, int32_t i) {
  return a ? Slot<RuntimeObject* (*)(VornArray*, int32_t)>(a, kVornArrayOpGet)(a, i) : (CheckArray(a), nullptr);
}
void ArraySetObject(VornArray* a, int32_t i, RuntimeObject* v) {
  if (CheckArray(a)) Slot<void (*)(VornArray*, int32_t, RuntimeObject*)>(a, kVornArrayOpSet)(a, i, v);
}
void ArrayAppendObject(VornArray* a, RuntimeObject* v) { RuntimeArrayAppend(a, reinterpret_cast<intptr_t>(v)); }

void ArraySort(VornArray* a) {
  if (!CheckArray(a)) return;
  if (auto sort = Slot<void (*)(VornArray*)>(a, kVornArrayOpSort)) sort(a);
  else RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
}

int32_t ArrayIndexOfInteger(VornArray* a, int32_t value, int32_t start) {
  if (!CheckArray(a)) return -1;
  auto indexOf = Slot<int32_t (*)(VornArray*, int32_t, int32_t)>(a, kVornArrayOpIndexOf);
  return indexOf ? indexOf(a, value, start) : -1;
}

}  // namespace vorn

using vorn::CheckArray;
using vorn::Slot;

extern "C" {

VornArray* RuntimeNewArray(int32_t elementKind, int32_t dimensions, const int32_t* upperBounds) {
  using namespace vorn;
  KindInfo info = InfoOf(elementKind);
  if (!info.table || dimensions < 1 || dimensions > kVornArrayMaxDimensions || !upperBounds) {
    RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
    return nullptr;
  }
  for (int32_t d = 0; d < dimensions; ++d) {
    if (upperBounds[d] < -1) {
      RuntimeRaiseOutOfBoundsException();
      return nullptr;
    }
  }
  int64_t count = CountFor(dimensions, upperBounds);
  if (count < 0) {
    RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
    return nullptr;
  }
  size_t headerBytes = sizeof(VornArray) + sizeof(int32_t) * static_cast<size_t>(dimensions);
  auto* array = static_cast<VornArray*>(AllocClearedMemory(headerBytes, OnFailure::ReturnNull));
  void* data = nullptr;
  size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(info.size);
  if (array && bytes > 0) data = AllocClearedMemory(bytes, OnFailure::ReturnNull);
  if (!array || (bytes > 0 && !data)) {
    FreeMemory(array);
    RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
    return nullptr;
  }
  array->refCount = 1;
  array->dimensions = dimensions;
  array->operations = const_cast<void* const*>(info.table(dimensions));
  array->data = data;
  array->bufferLength = static_cast<int64_t>(bytes);
  array->growthStep = kDefaultGrowthStep;
  array->elementKind = elementKind;
  array->elementSize = info.size;
  array->count = static_cast<int32_t>(count);
  for (int32_t d = 0; d < dimensions; ++d) array->upperBound[d] = upperBounds[d];
  ++sLiveArrays;
  return array;
}

VornArray* CreateArray(int32_t elementKind, int32_t dimensions, int32_t upperBound) {
  int32_t bounds[kVornArrayMaxDimensions];
  for (int32_t& b : bounds) b = upperBound;
  if (dimensions < 1 || dimensions > kVornArrayMaxDimensions) return RuntimeNewArray(elementKind, dimensions, nullptr);
  return RuntimeNewArray(elementKind, dimensions, bounds);
}

VornArray* RuntimeArray(int32_t dimensions, int32_t elementKind, int32_t upperBound) {
  return CreateArray(elementKind, dimensions, upperBound);
}

void RuntimeLockArray(VornArray* array) {
  if (array && array->refCount > 0) ++array->refCount;
}

void RuntimeUnlockArray(VornArray* array) {
  if (!array || array->refCount <= 0) return;
  if (--array->refCount == 0) Slot<void (*)(VornArray*)>(array, kVornArrayOpFree)(array);
}

void RuntimeLockUnlockArrays(VornArray* newArray, VornArray* oldArray) {
  RuntimeLockArray(newArray);
  RuntimeUnlockArray(oldArray);
}

int32_t RuntimeUBound(VornArray* array) {
  if (!CheckArray(array)) return 0;
  return array->upperBound[0];
}

int32_t RuntimeUBound2Param(VornArray* array, int32_t dimension) {
  if (!CheckArray(array)) return 0;
  if (dimension == -1) return array->dimensions;
  if (dimension < 1 || dimension > array->dimensions) {
    RuntimeRaiseOutOfBoundsException();
    return 0;
  }
  return array->upperBound[dimension - 1];
}

void RuntimeArrayInsert(VornArray* array, int32_t index, intptr_t value) {
  using namespace vorn;
  if (!CheckArray(array)) return;
  void* insert = const_cast<void*>(array->operations[kVornArrayOpInsert]);
  if (!insert || IsFloatKind(array->elementKind)) {
    if (!insert) RuntimeRaiseOutOfBoundsException();
    else RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
    return;
  }
  switch (array->elementKind) {
    case kVornArrayBoolean:
      reinterpret_cast<void (*)(VornArray*, int32_t, uint8_t)>(insert)(array, index, value != 0);
      break;
    case kVornArrayInteger:
    case kVornArrayShort:
    case kVornArrayUInteger:
    case kVornArrayColor:
      reinterpret_cast<void (*)(VornArray*, int32_t, int32_t)>(insert)(array, index, static_cast<int32_t>(value));
      break;
    default:
      reinterpret_cast<void (*)(VornArray*, int32_t, void*)>(insert)(array, index, reinterpret_cast<void*>(value));
      break;
  }
}

void RuntimeArrayAppend(VornArray* array, intptr_t value) {
  if (!CheckArray(array)) return;
  RuntimeArrayInsert(array, array->count, value);
}

void RuntimeArrayAppendDouble(VornArray* array, double value) {
  using namespace vorn;
  if (!CheckArray(array)) return;
  void* append = const_cast<void*>(array->operations[kVornArrayOpAppend]);
  if (!append) {
    RuntimeRaiseOutOfBoundsException();
  } else if (array->elementKind == kVornArrayDouble) {
    reinterpret_cast<void (*)(VornArray*, double)>(append)(array, value);
  } else if (array->elementKind == kVornArraySingle) {
    reinterpret_cast<void (*)(VornArray*, float)>(append)(array, static_cast<float>(value));
  } else {
    RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
  }
}

void RuntimeArrayRemove(VornArray* array, int32_t index) {
  if (!CheckArray(array)) return;
  if (auto remove = Slot<void (*)(VornArray*, int32_t)>(array, kVornArrayOpRemove)) remove(array, index);
  else RuntimeRaiseOutOfBoundsException();
}

void RuntimeArrayRedim(VornArray* array, const int32_t* upperBounds) {
  if (!CheckArray(array)) return;
  Slot<void (*)(VornArray*, const int32_t*)>(array, kVornArrayOpRedim)(array, upperBounds);
}

int32_t RuntimeDirectReadIntArray(VornArray* array, int32_t index) {
  if (array && array->elementKind != kVornArrayInteger) {
    RuntimeRaiseExceptionDefinition(vorn::GetTypeMismatchExceptionClassDefinition());
    return 0;
  }
  return vorn::ArrayGetInteger(array, index);
}

VornStringRecord* RuntimeDirectReadStringArray(VornArray* array, int32_t index) {
  if (array && array->elementKind != kVornArrayString) {
    RuntimeRaiseExceptionDefinition(vorn::GetTypeMismatchExceptionClassDefinition());
    return nullptr;
  }
  return vorn::ArrayGetString(array, index);
}

VornRuntimeObject* RuntimeDirectReadObjectArray(VornArray* array, int32_t index) {
  if (array && array->elementKind != kVornArrayObject) {
    RuntimeRaiseExceptionDefinition(vorn::GetTypeMismatchExceptionClassDefinition());
    return nullptr;
  }
  return vorn::ArrayGetObject(array, index);
}

VornArray* arrayGetter(VornRuntimeObject* object, int32_t offset) {
  // A pointer-sized field is read as the generic accessors read one: checked against the
  // object's own fields.
  void* value = nullptr;
  if (!object) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  if (offset < VORN_OBJECT_HEADER_SIZE || offset > object->classPtr->mInstanceSize - static_cast<int32_t>(sizeof(void*))) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  std::memcpy(&value, reinterpret_cast<char*>(object) + offset, sizeof value);
  auto* array = static_cast<VornArray*>(value);
  RuntimeLockArray(array);
  return array;
}

void arraySetter(VornRuntimeObject* object, int32_t offset, VornArray* value) {
  if (!object) {
    RuntimeRaiseNilObjectException();
    return;
  }
  if (offset < VORN_OBJECT_HEADER_SIZE || offset > object->classPtr->mInstanceSize - static_cast<int32_t>(sizeof(void*))) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  char* field = reinterpret_cast<char*>(object) + offset;
  VornArray* old;
  std::memcpy(&old, field, sizeof old);
  RuntimeLockArray(value);
  std::memcpy(field, &value, sizeof value);
  RuntimeUnlockArray(old);
}

}  // extern "C"
