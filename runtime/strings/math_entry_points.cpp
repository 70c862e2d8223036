// Maths, bitwise and conversion entry points of compiled code. Every one has a defined result
// for every input: the maths follow IEEE, conversions saturate, shifts past the width give 0.
#include <cmath>
#include <cstdint>
#include <limits>

#include "vorn/runtime_math.h"

namespace {

// Truncates toward zero into [low, high]; NaN gives 0.
template <typename Int>
Int TruncateSaturating(double value) {
  if (std::isnan(value)) return 0;
  double truncated = std::trunc(value);
  if (truncated <= static_cast<double>(std::numeric_limits<Int>::min())) {
    return std::numeric_limits<Int>::min();
  }
  if (truncated >= static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::numeric_limits<Int>::max();
  }
  return static_cast<Int>(truncated);
}

uint32_t Bits(int32_t value) { return static_cast<uint32_t>(value); }
int32_t FromBits(uint32_t bits) { return static_cast<int32_t>(bits); }

}  // namespace

extern "C" {

double RuntimePow(double base, double exponent) { return std::pow(base, exponent); }
double RuntimeExp(double x) { return std::exp(x); }
double RuntimeSqrt(double x) { return std::sqrt(x); }
double RuntimeLog(double x) { return std::log(x); }
double RuntimeCos(double x) { return std::cos(x); }
double RuntimeSin(double x) { return std::sin(x); }
double RuntimeTan(double x) { return std::tan(x); }
double RuntimeACos(double x) { return std::acos(x); }
double RuntimeASin(double x) { return std::asin(x); }
double RuntimeATan(double x) { return std::atan(x); }
double RuntimeATan2(double y, double x) { return std::atan2(y, x); }
double RuntimeCeil(double x) { return std::ceil(x); }
double RuntimeFloor(double x) { return std::floor(x); }
double RuntimeRound(double x) { return std::round(x); }
double RuntimeAbs(double x) { return std::fabs(x); }
int32_t RuntimeSign(double x) { return (x > 0) - (x < 0); }
double RuntimeMax(double a, double b) { return std::fmax(a, b); }
double RuntimeMin(double a, double b) { return std::fmin(a, b); }

int32_t RuntimeBitwiseAnd(int32_t a, int32_t b) { return FromBits(Bits(a) & Bits(b)); }
int32_t RuntimeBitwiseOr(int32_t a, int32_t b) { return FromBits(Bits(a) | Bits(b)); }
int32_t RuntimeBitwiseXor(int32_t a, int32_t b) { return FromBits(Bits(a) ^ Bits(b)); }
int32_t RuntimeBitwiseShiftLeft(int32_t value, int32_t count) {
  if (count < 0 || count >= 32) return 0;
  return FromBits(Bits(value) << count);
}
int32_t RuntimeBitwiseShiftRight(int32_t value, int32_t count) {
  if (count < 0 || count >= 32) return 0;
  return FromBits(Bits(value) >> count);
}
int32_t RuntimeOnesCompliment(int32_t value) { return FromBits(~Bits(value)); }
int32_t BitwiseAnd(int32_t a, int32_t b) { return RuntimeBitwiseAnd(a, b); }
int32_t BitwiseOr(int32_t a, int32_t b) { return RuntimeBitwiseOr(a, b); }
int32_t BitwiseXor(int32_t a, int32_t b) { return RuntimeBitwiseXor(a, b); }

float RuntimeUIntToFloat(uint32_t value) { return static_cast<float>(value); }
float RuntimeIntToFloat(int32_t value) { return static_cast<float>(value); }
uint32_t RuntimeFloatToUInt(float value) { return TruncateSaturating<uint32_t>(value); }
int32_t RuntimeFloatToInt(float value) { return TruncateSaturating<int32_t>(value); }
double RuntimeUIntToDouble(uint32_t value) { return value; }
double RuntimeIntToDouble(int32_t value) { return value; }
uint32_t RuntimeDoubleToUInt(double value) { return TruncateSaturating<uint32_t>(value); }
int32_t RuntimeDoubleToInt(double value) { return TruncateSaturating<int32_t>(value); }
int32_t SingleToInt(float value) { return TruncateSaturating<int32_t>(value); }
int32_t FPToInt(double value) { return TruncateSaturating<int32_t>(value); }
double IntToFP(int32_t value) { return value; }

}  // extern "C"
