/* Maths entry points of the runtime, as compiled code declares them. */
#ifndef VORN_RUNTIME_MATH_H
#define VORN_RUNTIME_MATH_H

#ifdef __cplusplus
extern "C" {
#endif

double RuntimePow(double base, double exponent);
double RuntimeExp(double x);
double RuntimeSqrt(double x);
double RuntimeLog(double x);
double RuntimeCos(double x);

#ifdef __cplusplus
}
#endif

#endif
