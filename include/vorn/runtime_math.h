/*
 * Maths, bitwise and number-conversion entry points of the runtime, as compiled code declares
 * them. Doubles are IEEE doubles and follow IEEE for bad input (the square root of a negative
 * number and the logarithm of a negative number are NaN, the logarithm of 0 is -infinity);
 * conversions to integers truncate toward zero, give 0 for NaN and the nearest representable
 * value outside the range; shifts by a negative count or by 32 or more give 0.
 *
 * String results carry one reference for the caller; string arguments are borrowed.
 */
#ifndef VORN_RUNTIME_MATH_H
#define VORN_RUNTIME_MATH_H

#include <stdint.h>

#include "vorn/image_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Maths. RuntimeLog is the natural logarithm; RuntimeATan2 takes (y, x). */
double RuntimePow(double base, double exponent);
double RuntimeExp(double x);
double RuntimeSqrt(double x);
double RuntimeLog(double x);
double RuntimeCos(double x);
double RuntimeSin(double x);
double RuntimeTan(double x);
double RuntimeACos(double x);
double RuntimeASin(double x);
double RuntimeATan(double x);
double RuntimeATan2(double y, double x);
double RuntimeCeil(double x);
double RuntimeFloor(double x);
double RuntimeRound(double x); /* half away from zero */
double RuntimeAbs(double x);
int32_t RuntimeSign(double x); /* -1, 0 or 1; 0 for NaN */
double RuntimeMax(double a, double b); /* a NaN loses to a number */
double RuntimeMin(double a, double b);

/* Bitwise, on 32-bit Integers. Shifts move zeros in from either side. */
int32_t RuntimeBitwiseAnd(int32_t a, int32_t b);
int32_t RuntimeBitwiseOr(int32_t a, int32_t b);
int32_t RuntimeBitwiseXor(int32_t a, int32_t b);
int32_t RuntimeBitwiseShiftLeft(int32_t value, int32_t count);
int32_t RuntimeBitwiseShiftRight(int32_t value, int32_t count);
int32_t RuntimeOnesCompliment(int32_t value);
int32_t BitwiseAnd(int32_t a, int32_t b);
int32_t BitwiseOr(int32_t a, int32_t b);
int32_t BitwiseXor(int32_t a, int32_t b);

/* Number conversions. */
float RuntimeUIntToFloat(uint32_t value);
float RuntimeIntToFloat(int32_t value);
uint32_t RuntimeFloatToUInt(float value);
int32_t RuntimeFloatToInt(float value);
double RuntimeUIntToDouble(uint32_t value);
double RuntimeIntToDouble(int32_t value);
uint32_t RuntimeDoubleToUInt(double value);
int32_t RuntimeDoubleToInt(double value);
int32_t SingleToInt(float value);
int32_t FPToInt(double value);
double IntToFP(int32_t value);

/* Numbers and text. */
VornStringRecord* StringStr(double value);  /* 7 significant digits, as the number formatter */
double StringVal(VornStringRecord* text);   /* the leading decimal number; 0 when none */
double runCDbl(VornStringRecord* text);     /* as StringVal, with the locale's separators */
VornStringRecord* StringFormat(double value, VornStringRecord* format);
VornStringRecord* RuntimeHex(uint32_t value); /* upper case, no leading zeros */
VornStringRecord* RuntimeOct(uint32_t value);
VornStringRecord* RuntimeBin(uint32_t value);

/* A number in [0, 1). */
double rnd(void);

#ifdef __cplusplus
}
#endif

#endif
