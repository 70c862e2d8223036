#include "objects/variant.h"

#include <cmath>
#include <limits>
#include <string>

#include "objects/class_registry.h"
#include "objects/date_class.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/variant_scalar.h"
#include "strings/number_parse.h"
#include "strings/number_text.h"

namespace vorn {

namespace {

template <typename T>
struct Box {
  RuntimeObject header;
  T value;
};

using IntegerBox = Box<int32_t>;
using UIntegerBox = Box<uint32_t>;
using DoubleBox = Box<double>;
using BooleanBox = Box<uint8_t>;
using ColorBox = Box<uint32_t>;
using StringBox = Box<StringRep*>;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

template <typename T>
T& ValueOf(RuntimeObject* self) {
  return reinterpret_cast<Box<T>*>(self)->value;
}

RuntimeObject* NewBox(ObjectDefinition* definition) { return CreateInstanceFromDefinition(definition); }

void StringBoxFinalizer(RuntimeObject* self) {
  StringRep* text = ValueOf<StringRep*>(self);
  ValueOf<StringRep*>(self) = nullptr;
  RuntimeUnlockString(text);
}

// --- Operator_Convert of the boxes: each reads its box and converts like the variantTo... rows.

int32_t ConvertToInteger(RuntimeObject* self) { return variantToInt(self); }
uint32_t ConvertToUInteger(RuntimeObject* self) { return VariantToUInteger(self); }
double ConvertToDouble(RuntimeObject* self) { return variantToDouble(self); }
uint8_t ConvertToBoolean(RuntimeObject* self) { return variantToBoolean(self); }
uint32_t ConvertToColor(RuntimeObject* self) { return variantToColor(self); }
StringRep* ConvertToString(RuntimeObject* self) { return variantToString(self); }

const MethodRow kConvertRows[] = {
    {"Operator_Convert", "i4", nullptr, 0, Fn(&ConvertToInteger), nullptr, nullptr, nullptr, 0, 0},
    {"Operator_Convert", "u4", nullptr, 0, Fn(&ConvertToUInteger), nullptr, nullptr, nullptr, 0, 0},
    {"Operator_Convert", "f8", nullptr, 0, Fn(&ConvertToDouble), nullptr, nullptr, nullptr, 0, 0},
    {"Operator_Convert", "b", nullptr, 0, Fn(&ConvertToBoolean), nullptr, nullptr, nullptr, 0, 0},
    {"Operator_Convert", "c", nullptr, 0, Fn(&ConvertToColor), nullptr, nullptr, nullptr, 0, 0},
    {"Operator_Convert", "s", nullptr, 0, Fn(&ConvertToString), nullptr, nullptr, nullptr, 0, 0},
};

const ParamRow kOtherParam[] = {{"other", "o<Variant>", 0, 0}};

#define VORN_OPERATOR(name, function) \
  {name, "o<Variant>", kOtherParam, 1, Fn(&function), #function, nullptr, nullptr, 0, 0}

const MethodRow kOperatorRows[] = {
    {"Operator_Compare", "i4", kOtherParam, 1, Fn(&VariantCompare), "VariantCompare", nullptr, nullptr, 0, 0},
    VORN_OPERATOR("Operator_Add", VariantAdd),
    VORN_OPERATOR("Operator_AddRight", VariantAddRight),
    VORN_OPERATOR("Operator_Subtract", VariantSubtract),
    VORN_OPERATOR("Operator_SubtractRight", VariantSubtractRight),
    VORN_OPERATOR("Operator_Multiply", VariantMultiply),
    VORN_OPERATOR("Operator_Divide", VariantDivide),
    VORN_OPERATOR("Operator_DivideRight", VariantDivideRight),
    VORN_OPERATOR("Operator_IntegerDivide", VariantIntegerDivide),
    VORN_OPERATOR("Operator_IntegerDivideRight", VariantIntegerDivideRight),
    VORN_OPERATOR("Operator_Modulo", VariantModulo),
    VORN_OPERATOR("Operator_ModuloRight", VariantModuloRight),
    VORN_OPERATOR("Operator_Power", VariantPower),
    VORN_OPERATOR("Operator_PowerRight", VariantPowerRight),
    {"Operator_Negate", "o<Variant>", nullptr, 0, Fn(&VariantNegate), "VariantNegate", nullptr, nullptr, 0, 0},
    VORN_OPERATOR("Operator_And", VariantAnd),
    VORN_OPERATOR("Operator_Or", VariantOr),
    {"Operator_Not", "o<Variant>", nullptr, 0, Fn(&VariantNot), "VariantNot", nullptr, nullptr, 0, 0},
};

#undef VORN_OPERATOR

ObjectDefinition* BuildBox(ObjectDefinition& definition, const char* name, int32_t size, ProcEntry finalizer = {}) {
  if (definition.mName.IsEmpty()) {
    definition.mName = string(name);
    definition.mSuper = GetVariantClassDefinition();
    definition.mInstanceSize = size;
    definition.mFinalizer = finalizer;
    SetMethodList(&definition, kConvertRows, static_cast<int32_t>(std::size(kConvertRows)));
  }
  return &definition;
}

RuntimeClass* ClassOfDefinition(ObjectDefinition* definition) { return RuntimeClassFromDefinition(definition); }

// Classes of the boxes, resolved once; compared by address on every read.
struct BoxClasses {
  RuntimeClass* integer = ClassOfDefinition(GetIntegerVariantClassDefinition());
  RuntimeClass* uinteger = ClassOfDefinition(GetUIntegerVariantClassDefinition());
  RuntimeClass* real = ClassOfDefinition(GetDoubleVariantClassDefinition());
  RuntimeClass* boolean = ClassOfDefinition(GetBooleanVariantClassDefinition());
  RuntimeClass* color = ClassOfDefinition(GetColorVariantClassDefinition());
  RuntimeClass* text = ClassOfDefinition(GetStringVariantClassDefinition());
  RuntimeClass* date = ClassOfDefinition(GetDateClassDefinition());
};

const BoxClasses& Boxes() {
  static const BoxClasses classes;
  return classes;
}

// The Operator_Convert method of the class (or a superclass) with that result type code.
void* FindConverter(RuntimeClass* cls, std::string_view resultCode) {
  for (ObjectDefinition* def = cls ? cls->mDefinition : nullptr; def; def = def->mSuper) {
    for (const ObjectMethod& method : def->mMethods) {
      if (method.function && method.params.empty() && method.result == resultCode &&
          SameName(method.name.View(), "Operator_Convert"))
        return method.function;
    }
  }
  return nullptr;
}

bool CallConverter(RuntimeObject* object, std::string_view code, VariantScalar* out) {
  void* function = FindConverter(ClassOf(object), code);
  if (!function) return false;
  RuntimeObject* pendingBefore = PendingException();
  VariantScalar value;
  if (code == "i4") {
    value.kind = VariantKind::kInteger;
    value.integer = reinterpret_cast<int32_t (*)(RuntimeObject*)>(function)(object);
  } else if (code == "u4" || code == "c") {
    value.kind = code == "c" ? VariantKind::kColor : VariantKind::kUInteger;
    value.integer = reinterpret_cast<uint32_t (*)(RuntimeObject*)>(function)(object);
  } else if (code == "f8") {
    value.kind = VariantKind::kDouble;
    value.real = reinterpret_cast<double (*)(RuntimeObject*)>(function)(object);
  } else if (code == "f4") {
    value.kind = VariantKind::kDouble;
    value.real = reinterpret_cast<float (*)(RuntimeObject*)>(function)(object);
  } else if (code == "b") {
    value.kind = VariantKind::kBoolean;
    value.integer = reinterpret_cast<uint8_t (*)(RuntimeObject*)>(function)(object) != 0;
  } else if (code == "s") {
    value.kind = VariantKind::kString;
    value.text = string::Adopt(reinterpret_cast<StringRep* (*)(RuntimeObject*)>(function)(object));
  } else {
    return false;
  }
  // A converter that raised answers its zero result; the exception stays pending.
  if (PendingException() != pendingBefore) {
    VariantKind kind = value.kind;
    value = VariantScalar();
    value.kind = kind;
  }
  *out = std::move(value);
  return true;
}

}  // namespace

void RaiseTypeMismatch() { RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition()); }

// --- definitions ------------------------------------------------------------------------------

ObjectDefinition* GetVariantClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("Variant");
    definition.mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    SetMethodList(&definition, kOperatorRows, static_cast<int32_t>(std::size(kOperatorRows)));
  }
  return &definition;
}

ObjectDefinition* GetIntegerVariantClassDefinition() {
  static ObjectDefinition definition;
  return BuildBox(definition, "Variant(Integer)", sizeof(IntegerBox));
}
ObjectDefinition* GetUIntegerVariantClassDefinition() {
  static ObjectDefinition definition;
  return BuildBox(definition, "Variant(UInteger)", sizeof(UIntegerBox));
}
ObjectDefinition* GetDoubleVariantClassDefinition() {
  static ObjectDefinition definition;
  return BuildBox(definition, "Variant(Double)", sizeof(DoubleBox));
}
ObjectDefinition* GetBooleanVariantClassDefinition() {
  static ObjectDefinition definition;
  return BuildBox(definition, "Variant(Boolean)", sizeof(BooleanBox));
}
ObjectDefinition* GetColorVariantClassDefinition() {
  static ObjectDefinition definition;
  return BuildBox(definition, "Variant(Color)", sizeof(ColorBox));
}
ObjectDefinition* GetStringVariantClassDefinition() {
  static ObjectDefinition definition;
  return BuildBox(definition, "Variant(String)", sizeof(StringBox), {Fn(&StringBoxFinalizer), nullptr});
}

void RegisterVariantClasses() {
  RegisterIntrinsicClass("Variant", &GetVariantClassDefinition);
  RegisterIntrinsicClass("Variant(Integer)", &GetIntegerVariantClassDefinition);
  RegisterIntrinsicClass("Variant(String)", &GetStringVariantClassDefinition);
  RegisterIntrinsicClass("Variant(Double)", &GetDoubleVariantClassDefinition);
  RegisterIntrinsicClass("Variant(Boolean)", &GetBooleanVariantClassDefinition);
  RegisterIntrinsicClass("Variant(Color)", &GetColorVariantClassDefinition);
  RegisterIntrinsicClass("Variant(UInteger)", &GetUIntegerVariantClassDefinition);
}

// --- boxes ----------------------------------------------------------------------------------

RuntimeObject* NewIntegerVariant(int32_t value) {
  RuntimeObject* box = NewBox(GetIntegerVariantClassDefinition());
  if (box) ValueOf<int32_t>(box) = value;
  return box;
}
RuntimeObject* NewUIntegerVariant(uint32_t value) {
  RuntimeObject* box = NewBox(GetUIntegerVariantClassDefinition());
  if (box) ValueOf<uint32_t>(box) = value;
  return box;
}
RuntimeObject* NewDoubleVariant(double value) {
  RuntimeObject* box = NewBox(GetDoubleVariantClassDefinition());
  if (box) ValueOf<double>(box) = value;
  return box;
}
RuntimeObject* NewStringVariant(const string& value) {
  RuntimeObject* box = NewBox(GetStringVariantClassDefinition());
  if (box) ValueOf<StringRep*>(box) = value.GetRetainedRep();
  return box;
}
RuntimeObject* NewBooleanVariant(bool value) {
  RuntimeObject* box = NewBox(GetBooleanVariantClassDefinition());
  if (box) ValueOf<uint8_t>(box) = value ? 1 : 0;
  return box;
}
RuntimeObject* NewColorVariant(uint32_t value) {
  RuntimeObject* box = NewBox(GetColorVariantClassDefinition());
  if (box) ValueOf<uint32_t>(box) = value;
  return box;
}

VariantScalar ReadVariant(RuntimeObject* variant) {
  VariantScalar value;
  if (!variant) return value;
  const BoxClasses& boxes = Boxes();
  RuntimeClass* cls = variant->classPtr;
  value.object = variant;
  if (cls == boxes.integer) {
    value.kind = VariantKind::kInteger;
    value.integer = ValueOf<int32_t>(variant);
  } else if (cls == boxes.text) {
    value.kind = VariantKind::kString;
    value.text = string::Share(ValueOf<StringRep*>(variant));
  } else if (cls == boxes.real) {
    value.kind = VariantKind::kDouble;
    value.real = ValueOf<double>(variant);
  } else if (cls == boxes.boolean) {
    value.kind = VariantKind::kBoolean;
    value.integer = ValueOf<uint8_t>(variant) != 0;
  } else if (cls == boxes.color) {
    value.kind = VariantKind::kColor;
    value.integer = ValueOf<uint32_t>(variant);
  } else if (cls == boxes.uinteger) {
    value.kind = VariantKind::kUInteger;
    value.integer = ValueOf<uint32_t>(variant);
  } else if (ClassIsa(cls, boxes.date)) {
    value.kind = VariantKind::kDate;
    value.real = DateTotalSeconds(variant);
  } else {
    value.kind = VariantKind::kObject;
  }
  return value;
}

VariantKind KindOfVariant(RuntimeObject* variant) { return ReadVariant(variant).kind; }

bool ConvertObjectScalar(RuntimeObject* object, VariantKind wanted, VariantScalar* out) {
  // The exact kind first, then the nearest ones that still give the value.
  static constexpr std::string_view kNumbers[] = {"f8", "i4", "u4", "f4", "c", "b"};
  std::string_view exact;
  switch (wanted) {
    case VariantKind::kInteger: exact = "i4"; break;
    case VariantKind::kUInteger: exact = "u4"; break;
    case VariantKind::kDouble: exact = "f8"; break;
    case VariantKind::kBoolean: exact = "b"; break;
    case VariantKind::kColor: exact = "c"; break;
    case VariantKind::kString: exact = "s"; break;
    default: break;
  }
  if (!exact.empty() && CallConverter(object, exact, out)) return true;
  if (wanted != VariantKind::kString) {
    for (std::string_view code : kNumbers)
      if (code != exact && CallConverter(object, code, out)) return true;
  }
  RaiseTypeMismatch();
  return false;
}

// --- conversions ----------------------------------------------------------------------------

int32_t SaturateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

uint32_t SaturateToUInt32(double value) {
  if (std::isnan(value) || value <= 0) return 0;
  if (value >= 4294967295.0) return std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(value);
}

namespace {

int64_t SaturateToInt64(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.2233720368547758e18) return std::numeric_limits<int64_t>::max();
  if (value <= -9.2233720368547758e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

bool IsTrueText(const string& text) { return SameName(text.Trim().View(), "True"); }

}  // namespace

int64_t ScalarToInt64(const VariantScalar& v, bool* ok) {
  switch (v.kind) {
    case VariantKind::kNil: return 0;
    case VariantKind::kInteger:
    case VariantKind::kUInteger:
    case VariantKind::kColor:
    case VariantKind::kBoolean: return v.integer;
    case VariantKind::kDouble:
    case VariantKind::kDate: return SaturateToInt64(v.real);
    case VariantKind::kString: return SaturateToInt64(StringVal(v.text));
    case VariantKind::kObject: {
      VariantScalar converted;
      if (!ConvertObjectScalar(v.object, VariantKind::kInteger, &converted)) break;
      return ScalarToInt64(converted, ok);
    }
  }
  if (ok) *ok = false;
  return 0;
}

double ScalarToDouble(const VariantScalar& v, bool* ok) {
  switch (v.kind) {
    case VariantKind::kNil: return 0;
    case VariantKind::kInteger:
    case VariantKind::kUInteger:
    case VariantKind::kColor:
    case VariantKind::kBoolean: return static_cast<double>(v.integer);
    case VariantKind::kDouble:
    case VariantKind::kDate: return v.real;
    case VariantKind::kString: return StringVal(v.text);
    case VariantKind::kObject: {
      VariantScalar converted;
      if (!ConvertObjectScalar(v.object, VariantKind::kDouble, &converted)) break;
      return ScalarToDouble(converted, ok);
    }
  }
  if (ok) *ok = false;
  return 0;
}

bool ScalarToBoolean(const VariantScalar& v, bool* ok) {
  switch (v.kind) {
    case VariantKind::kNil: return false;
    case VariantKind::kInteger:
    case VariantKind::kUInteger:
    case VariantKind::kColor:
    case VariantKind::kBoolean: return v.integer != 0;
    case VariantKind::kDouble: return v.real != 0;
    case VariantKind::kString: return IsTrueText(v.text) || StringVal(v.text) != 0;
    case VariantKind::kDate: RaiseTypeMismatch(); break;
    case VariantKind::kObject: {
      VariantScalar converted;
      if (!ConvertObjectScalar(v.object, VariantKind::kBoolean, &converted)) break;
      return ScalarToBoolean(converted, ok);
    }
  }
  if (ok) *ok = false;
  return false;
}

string ScalarToText(const VariantScalar& v, bool* ok) {
  switch (v.kind) {
    case VariantKind::kNil: return string();
    case VariantKind::kInteger: return LongToString(static_cast<int32_t>(v.integer));
    case VariantKind::kUInteger: return string(std::to_string(static_cast<uint32_t>(v.integer)), kEncodingASCII);
    case VariantKind::kColor: return string("&h") + UInt32ToHex8String(static_cast<uint32_t>(v.integer));
    case VariantKind::kBoolean: return string(v.integer ? "True" : "False");
    case VariantKind::kDouble: return DoubleToString(v.real, kDoubleAutomatic, 7);
    case VariantKind::kString: return v.text;
    case VariantKind::kDate: return GetSQLDateTimeString(v.object);
    case VariantKind::kObject: {
      VariantScalar converted;
      if (!ConvertObjectScalar(v.object, VariantKind::kString, &converted)) break;
      return ScalarToText(converted, ok);
    }
  }
  if (ok) *ok = false;
  return string();
}

int32_t VariantToInteger(RuntimeObject* variant) {
  VariantScalar v = ReadVariant(variant);
  if (v.kind == VariantKind::kDouble || v.kind == VariantKind::kString || v.kind == VariantKind::kDate)
    return SaturateToInt32(ScalarToDouble(v, nullptr));
  return static_cast<int32_t>(static_cast<uint32_t>(ScalarToInt64(v, nullptr)));
}

uint32_t VariantToUInteger(RuntimeObject* variant) {
  VariantScalar v = ReadVariant(variant);
  if (v.kind == VariantKind::kDouble || v.kind == VariantKind::kString || v.kind == VariantKind::kDate)
    return SaturateToUInt32(ScalarToDouble(v, nullptr));
  return static_cast<uint32_t>(ScalarToInt64(v, nullptr));
}

double VariantToDouble(RuntimeObject* variant) { return ScalarToDouble(ReadVariant(variant), nullptr); }
bool VariantToBoolean(RuntimeObject* variant) { return ScalarToBoolean(ReadVariant(variant), nullptr); }
string VariantToText(RuntimeObject* variant) { return ScalarToText(ReadVariant(variant), nullptr); }

uint32_t VariantToColor(RuntimeObject* variant) {
  VariantScalar v = ReadVariant(variant);
  if (v.kind == VariantKind::kDouble) return SaturateToUInt32(v.real);
  // Colours are written "&hRRGGBB" more often than in decimal.
  if (v.kind == VariantKind::kString) return SaturateToUInt32(ParseNumber(v.text));
  return static_cast<uint32_t>(ScalarToInt64(v, nullptr));
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* intToVariant(int32_t value) { return NewIntegerVariant(value); }
VornRuntimeObject* doubleToVariant(double value) { return NewDoubleVariant(value); }
VornRuntimeObject* stringToVariant(VornStringRecord* value) { return NewStringVariant(string::Share(value)); }
VornRuntimeObject* booleanToVariant(uint8_t value) { return NewBooleanVariant(value != 0); }
VornRuntimeObject* colorToVariant(uint32_t value) { return NewColorVariant(value); }

VornRuntimeObject* objectToVariant(VornRuntimeObject* value) {
  RuntimeLockObject(value);
  return value;
}

VornRuntimeObject* DateToVariant(VornRuntimeObject* date) {
  RuntimeLockObject(date);
  return date;
}

int32_t variantToInt(VornRuntimeObject* variant) { return VariantToInteger(variant); }
uint8_t variantToBoolean(VornRuntimeObject* variant) { return VariantToBoolean(variant) ? 1 : 0; }
double variantToDouble(VornRuntimeObject* variant) { return VariantToDouble(variant); }
VornStringRecord* variantToString(VornRuntimeObject* variant) { return VariantToText(variant).GetRetainedRep(); }
uint32_t variantToColor(VornRuntimeObject* variant) { return VariantToColor(variant); }

// A box holds a value, not an object: asking it for one is a type mismatch.
VornRuntimeObject* variantToObject(VornRuntimeObject* variant) {
  VariantKind kind = KindOfVariant(variant);
  if (kind != VariantKind::kNil && kind != VariantKind::kObject && kind != VariantKind::kDate) {
    RaiseTypeMismatch();
    return nullptr;
  }
  RuntimeLockObject(variant);
  return variant;
}

VornRuntimeObject* VariantToDate(VornRuntimeObject* variant) {
  VariantScalar v = ReadVariant(variant);
  switch (v.kind) {
    case VariantKind::kNil: return nullptr;
    case VariantKind::kDate: RuntimeLockObject(variant); return variant;
    case VariantKind::kString: {
      RuntimeObject* date = NewDateFromSQLDateTime(v.text);
      if (!date && !PendingException()) RaiseTypeMismatch();
      return date;
    }
    case VariantKind::kInteger:
    case VariantKind::kUInteger:
    case VariantKind::kDouble: return NewDateWithTotalSeconds(ScalarToDouble(v, nullptr));
    default: RaiseTypeMismatch(); return nullptr;
  }
}

int32_t VarType(VornRuntimeObject* variant) {
  switch (KindOfVariant(variant)) {
    case VariantKind::kNil: return kVarTypeNil;
    case VariantKind::kInteger: return kVarTypeInteger;
    case VariantKind::kUInteger: return kVarTypeUInteger;
    case VariantKind::kDouble: return kVarTypeDouble;
    case VariantKind::kBoolean: return kVarTypeBoolean;
    case VariantKind::kColor: return kVarTypeColor;
    case VariantKind::kString: return kVarTypeString;
    case VariantKind::kDate: return kVarTypeDate;
    case VariantKind::kObject: return kVarTypeObject;
  }
  return kVarTypeObject;
}

uint8_t IsNull(VornRuntimeObject* variant) { return variant == nullptr ? 1 : 0; }

}  // extern "C"
