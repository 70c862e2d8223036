// Runtime arrays (vorn/array_abi.h): the native side. Every operation goes through the array's
// operation table, which the kind and the number of dimensions choose when the array is made.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"
#include "vorn/array_abi.h"

namespace vorn {

using RuntimeArrayHeader = VornArray;

// Bytes of one element of the kind; 0 for a kind the runtime does not know.
int32_t ArrayElementSize(int32_t elementKind);

// The kind of the elements a type code names ("i4" Integer, "s" String, "o<Window>" Object...);
// 0 for none.
int32_t ArrayElementKindOfTypeCode(std::string_view typeCode);

// Called with every array after it is freed (the address identifies it; it must not be read).
using ArrayCallback = void (*)(VornArray* array);
ArrayCallback SetArrayFreedHook(ArrayCallback hook);

// Typed access for native callers, index checked like the operations. Getters of strings and
// objects hand out a reference.
bool ArrayIndexValid(const VornArray* array, int32_t index);
int32_t ArrayGetInteger(VornArray* array, int32_t index);
void ArraySetInteger(VornArray* array, int32_t index, int32_t value);
double ArrayGetDouble(VornArray* array, int32_t index);
void ArraySetDouble(VornArray* array, int32_t index, double value);
StringRep* ArrayGetString(VornArray* array, int32_t index);
void ArraySetString(VornArray* array, int32_t index, StringRep* value);
RuntimeObject* ArrayGetObject(VornArray* array, int32_t index);
void ArraySetObject(VornArray* array, int32_t index, RuntimeObject* value);
void ArrayAppendObject(VornArray* array, RuntimeObject* value);
void ArraySort(VornArray* array);
int32_t ArrayIndexOfInteger(VornArray* array, int32_t value, int32_t start);

// Number of arrays alive (made and not yet freed); tests use it to find leaks.
int32_t LiveArrayCount();

}  // namespace vorn
