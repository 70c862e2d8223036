// Operators of Variant. Integers stay Integers (wrapping as language Integers do) as long as
// both sides are whole numbers; a Double, a string (read with Val) or a division makes the
// result a Double. Joining two strings with "+" concatenates them. Booleans take part only in
// And, Or and Not; anything without a numeric value raises TypeMismatchException.
#include <cmath>
#include <limits>

#include "objects/date_class.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/variant.h"
#include "objects/variant_scalar.h"
#include "strings/number_parse.h"
#include "vorn/runtime_math.h"

namespace vorn {

namespace {

struct Number {
  bool integral = true;
  bool isUnsigned = false;
  int64_t integer = 0;
  double real = 0;

  double AsDouble() const { return integral ? static_cast<double>(integer) : real; }
};

bool ToNumber(const VariantScalar& v, Number* out) {
  switch (v.kind) {
    case VariantKind::kNil: *out = Number{}; return true;
    case VariantKind::kInteger: *out = Number{true, false, v.integer, 0}; return true;
    case VariantKind::kUInteger:
    case VariantKind::kColor: *out = Number{true, true, v.integer, 0}; return true;
    case VariantKind::kDouble: *out = Number{false, false, 0, v.real}; return true;
    case VariantKind::kString: *out = Number{false, false, 0, StringVal(v.text)}; return true;
    case VariantKind::kObject: {
      VariantScalar converted;
      if (!ConvertObjectScalar(v.object, VariantKind::kDouble, &converted)) return false;
      if (converted.kind == VariantKind::kObject || converted.kind == VariantKind::kBoolean) break;
      return ToNumber(converted, out);
    }
    default: break;
  }
  RaiseTypeMismatch();
  return false;
}

RuntimeObject* FromInteger(int64_t value, bool bothSigned) {
  if (bothSigned) return NewIntegerVariant(static_cast<int32_t>(static_cast<uint32_t>(value)));
  if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
    return NewIntegerVariant(static_cast<int32_t>(value));
  if (value >= 0 && value <= std::numeric_limits<uint32_t>::max())
    return NewUIntegerVariant(static_cast<uint32_t>(value));
  return NewDoubleVariant(static_cast<double>(value));
}

enum class Op { kAdd, kSubtract, kMultiply, kDivide, kIntegerDivide, kModulo, kPower };

int64_t TruncateToInt64(const Number& n) {
  if (n.integral) return n.integer;
  double r = n.real;
  if (std::isnan(r)) return 0;
  if (r >= 9.2233720368547758e18) return std::numeric_limits<int64_t>::max();
  if (r <= -9.2233720368547758e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}

RuntimeObject* Arithmetic(Op op, RuntimeObject* left, RuntimeObject* right) {
  VariantScalar a = ReadVariant(left);
  VariantScalar b = ReadVariant(right);
  if (op == Op::kAdd) {
    bool aText = a.kind == VariantKind::kString || a.kind == VariantKind::kNil;
    bool bText = b.kind == VariantKind::kString || b.kind == VariantKind::kNil;
    if (aText && bText && (a.kind == VariantKind::kString || b.kind == VariantKind::kString))
      return NewStringVariant(a.text + b.text);
  }
  Number x, y;
  if (!ToNumber(a, &x) || !ToNumber(b, &y)) return nullptr;
  bool integral = x.integral && y.integral;
  bool bothSigned = !x.isUnsigned && !y.isUnsigned;
  switch (op) {
    case Op::kAdd:
      if (integral) return FromInteger(x.integer + y.integer, bothSigned);
      return NewDoubleVariant(x.AsDouble() + y.AsDouble());
    case Op::kSubtract:
      if (integral) return FromInteger(x.integer - y.integer, bothSigned);
      return NewDoubleVariant(x.AsDouble() - y.AsDouble());
    case Op::kMultiply:
      if (integral) {
        int64_t product;
        if (!__builtin_mul_overflow(x.integer, y.integer, &product)) return FromInteger(product, bothSigned);
      }
      return NewDoubleVariant(x.AsDouble() * y.AsDouble());
    case Op::kDivide:
      return NewDoubleVariant(x.AsDouble() / y.AsDouble());
    case Op::kIntegerDivide:
    case Op::kModulo: {
      if (op == Op::kModulo && !integral) return NewDoubleVariant(std::fmod(x.AsDouble(), y.AsDouble()));
      int64_t p = TruncateToInt64(x);
      int64_t q = TruncateToInt64(y);
      // Division by zero answers 0 instead of trapping; the one overflowing quotient wraps.
      if (q == 0) return FromInteger(0, true);
      if (q == -1) return FromInteger(op == Op::kModulo ? 0 : static_cast<int64_t>(0ull - static_cast<uint64_t>(p)), bothSigned);
      return FromInteger(op == Op::kModulo ? p % q : p / q, bothSigned);
    }
    case Op::kPower:
      return NewDoubleVariant(RuntimePow(x.AsDouble(), y.AsDouble()));
  }
  return nullptr;
}

int Sign(double d) { return (d > 0) - (d < 0); }

int CompareNumbers(const Number& x, const Number& y) {
  if (x.integral && y.integral) return (x.integer > y.integer) - (x.integer < y.integer);
  double a = x.AsDouble(), b = y.AsDouble();
  // Not-a-number sorts after every number and equals itself, so the order stays total.
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) - std::isnan(b);
  return Sign(a - b);
}

bool IsNumberKind(VariantKind kind) {
  return kind == VariantKind::kInteger || kind == VariantKind::kUInteger || kind == VariantKind::kDouble ||
         kind == VariantKind::kColor;
}

enum class Logic { kAnd, kOr };

RuntimeObject* Logical(Logic op, RuntimeObject* left, RuntimeObject* right) {
  VariantScalar a = ReadVariant(left);
  VariantScalar b = ReadVariant(right);
  if (a.kind == VariantKind::kBoolean && b.kind == VariantKind::kBoolean) {
    bool x = a.integer != 0, y = b.integer != 0;
    return NewBooleanVariant(op == Logic::kAnd ? (x && y) : (x || y));
  }
  bool aWhole = a.kind == VariantKind::kInteger || a.kind == VariantKind::kUInteger || a.kind == VariantKind::kColor;
  bool bWhole = b.kind == VariantKind::kInteger || b.kind == VariantKind::kUInteger || b.kind == VariantKind::kColor;
  if (!aWhole || !bWhole) {
    RaiseTypeMismatch();
    return nullptr;
  }
  uint32_t x = static_cast<uint32_t>(a.integer), y = static_cast<uint32_t>(b.integer);
  uint32_t r = op == Logic::kAnd ? (x & y) : (x | y);
  if (a.kind == VariantKind::kInteger || b.kind == VariantKind::kInteger) return NewIntegerVariant(static_cast<int32_t>(r));
  return NewUIntegerVariant(r);
}

// True when the whole text, blanks aside, is a decimal number; *whole tells whether it has
// neither a fraction nor an exponent.
bool IsNumberText(std::string_view text, bool* whole) {
  size_t i = 0, n = text.size();
  auto blank = [&](size_t k) { return text[k] == ' ' || text[k] == '\t'; };
  while (i < n && blank(i)) ++i;
  while (n > i && blank(n - 1)) --n;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  *whole = true;
  while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < n && text[i] == '.') {
    *whole = false;
    ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    *whole = false;
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++exponent;
    if (exponent == 0) return false;
  }
  return i == n;
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* VariantAdd(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kAdd, self, other); }
VornRuntimeObject* VariantAddRight(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kAdd, other, self); }
VornRuntimeObject* VariantSubtract(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kSubtract, self, other); }
VornRuntimeObject* VariantSubtractRight(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kSubtract, other, self); }
VornRuntimeObject* VariantMultiply(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kMultiply, self, other); }
VornRuntimeObject* VariantDivide(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kDivide, self, other); }
VornRuntimeObject* VariantDivideRight(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kDivide, other, self); }
VornRuntimeObject* VariantIntegerDivide(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kIntegerDivide, self, other); }
VornRuntimeObject* VariantIntegerDivideRight(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kIntegerDivide, other, self); }
VornRuntimeObject* VariantModulo(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kModulo, self, other); }
VornRuntimeObject* VariantModuloRight(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kModulo, other, self); }
VornRuntimeObject* VariantPower(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kPower, self, other); }
VornRuntimeObject* VariantPowerRight(VornRuntimeObject* self, VornRuntimeObject* other) { return Arithmetic(Op::kPower, other, self); }
VornRuntimeObject* VariantAnd(VornRuntimeObject* self, VornRuntimeObject* other) { return Logical(Logic::kAnd, self, other); }
VornRuntimeObject* VariantOr(VornRuntimeObject* self, VornRuntimeObject* other) { return Logical(Logic::kOr, self, other); }

VornRuntimeObject* VariantNegate(VornRuntimeObject* self) {
  VariantScalar v = ReadVariant(self);
  Number n;
  if (!ToNumber(v, &n)) return nullptr;
  if (n.integral) return FromInteger(static_cast<int64_t>(0ull - static_cast<uint64_t>(n.integer)), !n.isUnsigned);
  return NewDoubleVariant(-n.real);
}

VornRuntimeObject* VariantNot(VornRuntimeObject* self) {
  VariantScalar v = ReadVariant(self);
  if (v.kind == VariantKind::kBoolean) return NewBooleanVariant(v.integer == 0);
  if (v.kind == VariantKind::kInteger) return NewIntegerVariant(~static_cast<int32_t>(v.integer));
  if (v.kind == VariantKind::kUInteger || v.kind == VariantKind::kColor)
    return NewUIntegerVariant(~static_cast<uint32_t>(v.integer));
  RaiseTypeMismatch();
  return nullptr;
}

// Nil equals only nil and sorts first; two strings compare as text without regard to case; a
// string against a number compares as the number Val reads; Dates by their moment; other
// objects by identity; a Boolean only against a Boolean.
int32_t VariantCompare(VornRuntimeObject* self, VornRuntimeObject* other) {
  VariantScalar a = ReadVariant(self);
  VariantScalar b = ReadVariant(other);
  if (a.kind == VariantKind::kNil || b.kind == VariantKind::kNil)
    return (b.kind == VariantKind::kNil ? 0 : -1) + (a.kind == VariantKind::kNil ? 0 : 1);
  if (a.kind == VariantKind::kString && b.kind == VariantKind::kString) return a.text.Compare(b.text);
  if (a.kind == VariantKind::kBoolean || b.kind == VariantKind::kBoolean) {
    if (a.kind != b.kind) {
      RaiseTypeMismatch();
      return 0;
    }
    return static_cast<int32_t>(a.integer - b.integer);
  }
  if (a.kind == VariantKind::kDate && b.kind == VariantKind::kDate) return Sign(a.real - b.real);
  if (a.kind == VariantKind::kObject && b.kind == VariantKind::kObject) {
    if (a.object == b.object) return 0;
    return a.object < b.object ? -1 : 1;
  }
  if (IsNumberKind(a.kind) || IsNumberKind(b.kind)) {
    Number x, y;
    if (!ToNumber(a, &x) || !ToNumber(b, &y)) return 0;
    return CompareNumbers(x, y);
  }
  RaiseTypeMismatch();
  return 0;
}

uint8_t RuntimeIsNumeric(VornRuntimeObject* variant) {
  VariantScalar v = ReadVariant(variant);
  bool whole;
  switch (v.kind) {
    case VariantKind::kInteger:
    case VariantKind::kUInteger:
    case VariantKind::kDouble: return 1;
    case VariantKind::kString: return IsNumberText(v.text.View(), &whole) ? 1 : 0;
    default: return 0;
  }
}

// The VarType of the number the variant stands for: Integer for whole numbers within Integer's
// range (also as text), Double for other numbers, 0 for what is not a number.
int32_t RuntimeTypeOfNumeric(VornRuntimeObject* variant) {
  VariantScalar v = ReadVariant(variant);
  bool whole = false;
  switch (v.kind) {
    case VariantKind::kInteger: return kVarTypeInteger;
    case VariantKind::kUInteger: return kVarTypeUInteger;
    case VariantKind::kDouble: return kVarTypeDouble;
    case VariantKind::kString: {
      if (!IsNumberText(v.text.View(), &whole)) return 0;
      double value = StringVal(v.text);
      bool fits = value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
      return whole && fits ? kVarTypeInteger : kVarTypeDouble;
    }
    default: return 0;
  }
}

}  // extern "C"
