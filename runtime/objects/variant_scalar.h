// The value inside a Variant, read once so that conversions and operators work on plain C++
// values. Internal to the Variant files.
#pragma once

#include <cstdint>

#include "objects/variant.h"

namespace vorn {

struct VariantScalar {
  VariantKind kind = VariantKind::kNil;
  int64_t integer = 0;  // Integer, UInteger, Color, Boolean (0/1)
  double real = 0;      // Double, Date (total seconds)
  string text;          // String
  RuntimeObject* object = nullptr;  // Date and other objects; not held
};

// Reads a box or a Date; any other object gives kObject with the object.
VariantScalar ReadVariant(RuntimeObject* variant);

// An object's value through its class's Operator_Convert to a kind near the wanted one;
// false (TypeMismatchException pending) when the class has none.
bool ConvertObjectScalar(RuntimeObject* object, VariantKind wanted, VariantScalar* out);

// Conversions of a scalar; an object with no conversion raises TypeMismatchException.
int64_t ScalarToInt64(const VariantScalar& value, bool* ok);
double ScalarToDouble(const VariantScalar& value, bool* ok);
bool ScalarToBoolean(const VariantScalar& value, bool* ok);
string ScalarToText(const VariantScalar& value, bool* ok);

int32_t SaturateToInt32(double value);
uint32_t SaturateToUInt32(double value);

// New boxes, one reference for the caller.
RuntimeObject* NewIntegerVariant(int32_t value);
RuntimeObject* NewDoubleVariant(double value);
RuntimeObject* NewStringVariant(const string& value);
RuntimeObject* NewBooleanVariant(bool value);
RuntimeObject* NewColorVariant(uint32_t value);

void RaiseTypeMismatch();

}  // namespace vorn
