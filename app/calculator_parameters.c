#include "calculator_parameters.h"

#include "limit_model.h"
#include "vorn/runtime_math.h"

VORN_LITERAL(kTitleAperture, "Aperture (mm)");
VORN_LITERAL(kTitleMagnification, "Magnification");
VORN_LITERAL(kTitleNakedEye, "Naked-eye limit");
VORN_LITERAL(kTitleAge, "Observer's age");
VORN_LITERAL(kTitleType, "Telescope type");
VORN_LITERAL(kTitleCleanliness, "Cleanliness");
VORN_LITERAL(kTitleColour, "Colour index (B-V)");
VORN_LITERAL(kTitleZenith, "Zenith distance");
VORN_LITERAL(kTitleExtinction, "Extinction coefficient");
VORN_LITERAL(kTitleSeeing, "Seeing disc radius");
VORN_LITERAL(kTitleExperience, "Observer's experience");

VORN_LITERAL(kNameAperture, "Aperture");
VORN_LITERAL(kNameMagnification, "Magnification");
VORN_LITERAL(kNameNakedEye, "NakedEyeLimit");
VORN_LITERAL(kNameAge, "Age");
VORN_LITERAL(kNameType, "TelescopeType");
VORN_LITERAL(kNameCleanliness, "Cleanliness");
VORN_LITERAL(kNameColour, "ColourIndex");
VORN_LITERAL(kNameZenith, "ZenithDistance");
VORN_LITERAL(kNameExtinction, "Extinction");
VORN_LITERAL(kNameSeeing, "Seeing");
VORN_LITERAL(kNameExperience, "Experience");

VORN_LITERAL(kFormatWhole, "0");
VORN_LITERAL(kFormatTenths, "0.0");
VORN_LITERAL(kFormatHundredths, "0.00");
VORN_LITERAL(kTelescopeNames, "Refractor|Reflector|SCT");

#define S(name) VORN_STR(name)

const CalculatorParameter kCalculatorParameters[kParamCount] = {
    {S(kTitleAperture), S(kNameAperture), S(kFormatWhole), 0, 25, 600, 5, 150},
    {S(kTitleMagnification), S(kNameMagnification), S(kFormatWhole), 0, 5, 1000, 5, 100},
    {S(kTitleNakedEye), S(kNameNakedEye), S(kFormatTenths), 0, 3.0, 7.8, 0.1, 6.0},
    {S(kTitleAge), S(kNameAge), S(kFormatWhole), 0, 10, 80, 1, 40},
    {S(kTitleType), S(kNameType), S(kFormatWhole), S(kTelescopeNames), kTelescopeRefractor,
     kTelescopeSCT, 1, kTelescopeReflector},
    {S(kTitleCleanliness), S(kNameCleanliness), S(kFormatWhole), 0, 1, 9, 1, 7},
    {S(kTitleColour), S(kNameColour), S(kFormatHundredths), 0, -0.50, 2.00, 0.05, 0.70},
    {S(kTitleZenith), S(kNameZenith), S(kFormatWhole), 0, 0, 85, 1, 0},
    {S(kTitleExtinction), S(kNameExtinction), S(kFormatHundredths), 0, 0.05, 1.00, 0.01, 0.20},
    {S(kTitleSeeing), S(kNameSeeing), S(kFormatHundredths), 0, 0.25, 10.00, 0.25, 2.00},
    {S(kTitleExperience), S(kNameExperience), S(kFormatWhole), 0, 1, 9, 1, 6},
};

int32_t ParameterPositionCount(const CalculatorParameter *parameter) {
  if (!(parameter->step > 0.0) || !(parameter->maximum > parameter->minimum)) return 0;
  return RuntimeDoubleToInt(RuntimeRound((parameter->maximum - parameter->minimum) / parameter->step));
}

double ParameterValueAt(const CalculatorParameter *parameter, int32_t position) {
  int32_t count = ParameterPositionCount(parameter);
  if (position < 0) position = 0;
  if (position > count) position = count;
  double value = parameter->minimum + position * parameter->step;
  value = RuntimeRound(value * 1e6) / 1e6;
  return RuntimeMin(RuntimeMax(value, parameter->minimum), parameter->maximum);
}

int32_t ParameterPositionOf(const CalculatorParameter *parameter, double value) {
  if (!(parameter->step > 0.0) || !(value == value)) return 0;
  double position = RuntimeRound((value - parameter->minimum) / parameter->step);
  int32_t count = ParameterPositionCount(parameter);
  if (position < 0) return 0;
  if (position > count) return count;
  return RuntimeDoubleToInt(position);
}

double EvaluateParameters(const double values[kParamCount]) {
  return LimitingMagnitude(values[kParamAperture], values[kParamMagnification],
                           values[kParamNakedEyeLimit], values[kParamAge],
                           RuntimeDoubleToInt(RuntimeRound(values[kParamTelescopeType])),
                           values[kParamCleanliness], values[kParamColourIndex],
                           values[kParamZenithDistance], values[kParamExtinction],
                           values[kParamSeeing], values[kParamExperience]);
}
