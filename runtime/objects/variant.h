// Variant: a reference to any object, nil meaning Nil. Scalars are boxed in hidden subclasses
// of "Variant" ("Variant(Integer)", "Variant(String)", ...) whose "Operator_Convert" methods
// turn the value into each of the other kinds. Any other object converts through its own
// class's "Operator_Convert" methods; one without a fitting method raises
// TypeMismatchException.
//
// Conversions follow the language: a string becomes a number through Val, a number becomes
// text through the runtime's number text (Str), True and False read "True" and "False".
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

// VarType codes. Nil, Integer, Double, Date, object and Boolean are the codes the rest of the
// runtime reads; the others name the remaining boxes.
enum VarTypeCode : int32_t {
  kVarTypeNil = 0,
  kVarTypeInteger = 2,
  kVarTypeUInteger = 3,
  kVarTypeDouble = 5,
  kVarTypeDate = 7,
  kVarTypeString = 8,
  kVarTypeObject = 9,
  kVarTypeBoolean = 11,
  kVarTypeColor = 16,
};

enum class VariantKind : uint8_t { kNil, kInteger, kUInteger, kDouble, kBoolean, kColor, kString, kDate, kObject };

ObjectDefinition* GetVariantClassDefinition();
ObjectDefinition* GetIntegerVariantClassDefinition();
ObjectDefinition* GetUIntegerVariantClassDefinition();
ObjectDefinition* GetDoubleVariantClassDefinition();
ObjectDefinition* GetBooleanVariantClassDefinition();
ObjectDefinition* GetColorVariantClassDefinition();
ObjectDefinition* GetStringVariantClassDefinition();

// Registers "Variant" and its boxes with the intrinsic class map.
void RegisterVariantClasses();

VariantKind KindOfVariant(RuntimeObject* variant);

// A new box holding the value (one reference for the caller).
RuntimeObject* NewUIntegerVariant(uint32_t value);

// The value of a box or of an object that converts; zero (TypeMismatchException pending) when
// the object has no such conversion.
int32_t VariantToInteger(RuntimeObject* variant);
uint32_t VariantToUInteger(RuntimeObject* variant);
double VariantToDouble(RuntimeObject* variant);
bool VariantToBoolean(RuntimeObject* variant);
uint32_t VariantToColor(RuntimeObject* variant);
string VariantToText(RuntimeObject* variant);

// Key semantics of Dictionary: numbers equal by value (Integer 1 equals Double 1.0, and
// not-a-number equals itself), strings as the language compares them (without regard to case;
// variant_keys.cpp), Booleans and Colors by value among their own kind, every other object by
// identity. Equal variants hash alike; the hashes are seeded anew in every process.
uint32_t VariantKeyHash(RuntimeObject* variant);
bool VariantKeysEqual(RuntimeObject* a, RuntimeObject* b);

// The hash of a text as VariantKeyHash computes it for strings.
uint32_t TextKeyHash(const string& text);
bool TextKeysEqual(const string& a, const string& b);

}  // namespace vorn

extern "C" {
VornRuntimeObject* intToVariant(int32_t value);
VornRuntimeObject* doubleToVariant(double value);
VornRuntimeObject* stringToVariant(VornStringRecord* value);
VornRuntimeObject* booleanToVariant(uint8_t value);
VornRuntimeObject* colorToVariant(uint32_t value);
VornRuntimeObject* objectToVariant(VornRuntimeObject* value);
VornRuntimeObject* DateToVariant(VornRuntimeObject* date);

int32_t variantToInt(VornRuntimeObject* variant);
uint8_t variantToBoolean(VornRuntimeObject* variant);
double variantToDouble(VornRuntimeObject* variant);
VornStringRecord* variantToString(VornRuntimeObject* variant);
VornRuntimeObject* variantToObject(VornRuntimeObject* variant);
uint32_t variantToColor(VornRuntimeObject* variant);
VornRuntimeObject* VariantToDate(VornRuntimeObject* variant);

int32_t VarType(VornRuntimeObject* variant);
uint8_t RuntimeIsNumeric(VornRuntimeObject* variant);
int32_t RuntimeTypeOfNumeric(VornRuntimeObject* variant);
uint8_t IsNull(VornRuntimeObject* variant);
int32_t VariantHash(VornRuntimeObject* variant);
uint8_t VariantEqual(VornRuntimeObject* a, VornRuntimeObject* b);

int32_t VariantCompare(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantAdd(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantAddRight(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantSubtract(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantSubtractRight(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantMultiply(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantDivide(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantDivideRight(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantIntegerDivide(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantIntegerDivideRight(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantModulo(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantModuloRight(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantPower(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantPowerRight(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantNegate(VornRuntimeObject* self);
VornRuntimeObject* VariantAnd(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantOr(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* VariantNot(VornRuntimeObject* self);
}
