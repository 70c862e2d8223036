/*
 * SliderControl: the composite slider of the calculator, a container control whose template
 * window holds a Slider and four static texts (title, value, minimum and maximum). Its
 * properties Minimum, Maximum, Step and Value (Doubles) define what the slider's whole
 * positions mean; Names ("|"-separated) shows names instead of numbers; Caption is the title
 * and Format the StringFormat pattern of the value. Moving the slider raises Changed.
 */
#ifndef CALCULATOR_SLIDER_CONTROL_H
#define CALCULATOR_SLIDER_CONTROL_H

#include <stdint.h>

#include "image_imports.h"
#include "property_indices.h"
#include "vorn/class_abi.h"

typedef struct SliderControlObject {
  unsigned char window[VORN_WINDOW_INSTANCE_SIZE]; /* the ContainerControl part */
  double minimum;
  double maximum;
  double step;
  double value;
  VornStringRecord *names;
  VornStringRecord *caption;
  VornStringRecord *format;
} SliderControlObject;

/* Own properties, in class order, after those of ContainerControl. */
enum {
  kPropSliderControlMinimum = kPropContainerCount,
  kPropSliderControlMaximum,
  kPropSliderControlStep,
  kPropSliderControlValue,
  kPropSliderControlNames,
  kPropSliderControlCaption,
  kPropSliderControlFormat
};

/* The design size of the control. */
enum { kSliderControlWidth = 276, kSliderControlHeight = 56 };

/* Builds the class (after the runtime's classes exist); nil when the runtime refused it. */
VornRuntimeClass *RegisterSliderControlClass(void);

/* The current value (the property Value). */
double SliderControlValue(VornRuntimeObject *control);

#endif
