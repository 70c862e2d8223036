// Container controls as compiled code builds them: "SliderBox" (a ContainerControl holding a
// coloured swatch), "OuterBox" (a ContainerControl holding a SliderBox at (30, 20)), the
// embedding control class "TestEmbedding" standing in for the control layer's, the swatch
// control "TestSwatch" (a pane with a coloured GTK event box), and "StateWindow", a window
// class with Minimize, Maximize, Restore and EnableMenuItems handlers.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"
#include "windows/control.h"

namespace vorn::test {

struct TestEmbeddingObject {
  VornControlObject base;
  RuntimeObject* templateWindow;  // held
  uint8_t acceptFocus;
};

struct TestSwatchObject {
  VornControlObject base;
  uint32_t color;
};

constexpr uint32_t kSliderBoxSwatchColor = 0x2040E0;
constexpr uint32_t kOuterSwatchColor = 0xE02020;

// Registers the window layer's and these classes once, and the embedding services.
void EnsureContainerTestClasses();
RuntimeClass* SliderBoxClass();
RuntimeClass* OuterBoxClass();
RuntimeClass* StateWindowClass();

// A SliderBox or OuterBox template window, one reference for the caller.
RuntimeObject* NewSliderBox();
RuntimeObject* NewOuterBox();
// The swatch a SliderBox or OuterBox made in CreateControls (not held).
RuntimeObject* SwatchOf(RuntimeObject* box);
// The SliderBox an OuterBox holds (not held).
RuntimeObject* InnerBoxOf(RuntimeObject* outer);
// A swatch of the colour for a window, not yet added; one reference for the caller.
RuntimeObject* NewSwatch(RuntimeObject* window, const char* name, const Rect& bounds, uint32_t color);

}  // namespace vorn::test
