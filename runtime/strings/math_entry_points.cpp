#include <cmath>

#include "vorn/runtime_math.h"

extern "C" {

double RuntimePow(double base, double exponent) { return std::pow(base, exponent); }
double RuntimeExp(double x) { return std::exp(x); }
double RuntimeSqrt(double x) { return std::sqrt(x); }
double RuntimeLog(double x) { return std::log(x); }
double RuntimeCos(double x) { return std::cos(x); }

}
