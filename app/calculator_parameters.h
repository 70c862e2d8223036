/*
 * The eleven parameters of the calculator: their titles, ranges, steps, defaults and the
 * formats of their value captions, in window order. Shared by the window, the chart and the
 * tests, so that every place agrees on what a slider position means.
 */
#ifndef CALCULATOR_PARAMETERS_H
#define CALCULATOR_PARAMETERS_H

#include <stdint.h>

#include "vorn/image_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kParamAperture = 0,
  kParamMagnification,
  kParamNakedEyeLimit,
  kParamAge,
  kParamTelescopeType,
  kParamCleanliness,
  kParamColourIndex,
  kParamZenithDistance,
  kParamExtinction,
  kParamSeeing,
  kParamExperience,
  kParamCount
};

typedef struct CalculatorParameter {
  VornStringRecord *title;        /* caption of the control, of the menus and of the axis */
  VornStringRecord *controlName;  /* the control's name on the main window */
  VornStringRecord *format;       /* StringFormat pattern of the value caption */
  VornStringRecord *names;        /* "|"-separated names shown instead of numbers; nil if none */
  double minimum;
  double maximum;
  double step;
  double defaultValue;
} CalculatorParameter;

extern const CalculatorParameter kCalculatorParameters[kParamCount];

/* Number of slider positions of a parameter: (maximum - minimum) / step, rounded. */
int32_t ParameterPositionCount(const CalculatorParameter *parameter);
/* The value at a slider position, clamped to the range and rounded to six decimals, so that
 * 0.05 steps give exactly the values their captions show. */
double ParameterValueAt(const CalculatorParameter *parameter, int32_t position);
/* The slider position nearest to a value, clamped to 0 .. ParameterPositionCount. */
int32_t ParameterPositionOf(const CalculatorParameter *parameter, double value);

/* The model on a full set of values in window order (the telescope type is rounded). */
double EvaluateParameters(const double values[kParamCount]);

#ifdef __cplusplus
}
#endif

#endif
