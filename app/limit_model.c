#include "limit_model.h"

#include "vorn/runtime_math.h"

static const double kPi = 3.14159265358979323846;

static double Clamp(double value, double low, double high) {
  if (!(value == value)) return low; /* NaN */
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

static double Square(double x) { return x * x; }

static double PowerOfTen(double exponent) { return RuntimePow(10.0, exponent); }

static double Log10(double x) { return RuntimeLog(x) / RuntimeLog(10.0); }

double LimitingMagnitude(double apertureMM, double magnification, double nakedEyeLimit, double age,
                         int telescopeType, double cleanliness, double colourIndex,
                         double zenithDistanceDeg, double extinction, double seeingRadius,
                         double experience) {
  double D = Clamp(apertureMM, 1.0, 10000.0);
  double M = Clamp(magnification, 1.0, 100000.0);
  double MZ = Clamp(nakedEyeLimit, -5.0, 10.0);
  double AGE = Clamp(age, 0.0, 150.0);
  double CL = Clamp(cleanliness, 1.0, 9.0);
  double CI = Clamp(colourIndex, -2.0, 5.0);
  double Z = Clamp(zenithDistanceDeg, 0.0, 85.0) * kPi / 180.0;
  double KV = Clamp(extinction, 0.0, 5.0);
  double SE = Clamp(seeingRadius, 0.0, 1000.0);
  double EX = Clamp(experience, 1.0, 9.0);

  /* Optics. */
  double DS, FL;
  switch (telescopeType) {
    case kTelescopeRefractor:
      DS = 0.0;
      FL = RuntimePow(0.99, 4.0);
      break;
    case kTelescopeSCT:
      DS = 0.35 * D;
      FL = Square(0.99 * 0.88);
      break;
    default:
      DS = 0.15 * D;
      FL = Square(0.88);
      break;
  }
  double FD = 1.0 - Square(DS / D);
  double FO = RuntimePow(0.99, 4.0);
  /* Every type keeps a throughput above 0.5 at cleanliness 1, so the divisor stays positive. */
  double FT = 1.0 / (FL * FD * FO - 0.01 * (9.0 - CL));

  /* Observer and atmosphere. */
  double K = 1.2 * KV;
  double X = 1.0 / RuntimeCos(Z);
  double DE = 7.0 * RuntimeExp(-0.5 * Square(AGE / 100.0));
  double DP = D / M;
  double TH = 2.0 * SE * M;

  /* Factors. */
  double FB = RuntimeSqrt(2.0);
  double FE = PowerOfTen(0.4 * K * X);
  double FP = DE < DP ? Square(DP / DE) : 1.0;
  double FA = Square(DE / D);
  double FM = M * M;
  double FR = TH > 900.0 ? RuntimeSqrt(TH / 900.0) : 1.0;
  double FC = PowerOfTen(0.4 * (CI / 2.0 - 1.0));
  double FS = 1.0;

  /* Sky brightness in nanolamberts from the naked-eye limit. */
  double BS;
  if (MZ >= 7.0 - K) {
    BS = 54.0;
    FS = PowerOfTen(0.4 * (7.0 - K - MZ));
  } else {
    BS = 39.7 * Square(PowerOfTen(0.2 * (8.68 - K - MZ)) - 1.0);
  }
  BS = BS * (1.0 + Z * Z / 2.0);

  /* Threshold and result. */
  double B = BS / (FB * FT * FP * FA * FM * FC);
  double I = 1.58e-10 * Square(1.0 + RuntimeSqrt(0.0126 * B));
  double IS = I * FB * FE * FT * FP * FA * FR * FC * FS;
  return -16.57 - 2.5 * Log10(IS) + 0.16 * (EX - 6.0);
}
