// The arithmetic of a progress bar, apart from any widget.
#pragma once

#include <cstdint>

namespace vorn {

// Value out of Maximum, between 0 and 1; meaningful only for a maximum of at least 1.
inline double ProgressFraction(int32_t value, int32_t maximum) {
  if (maximum <= 0) return 0.0;
  double fraction = static_cast<double>(value) / static_cast<double>(maximum);
  if (fraction >= 1.0) return 1.0;
  if (fraction <= 0.0) return 0.0;
  return fraction;
}

// Whether a bar with this maximum has no end and pulses instead.
inline bool ProgressIsIndeterminate(int32_t maximum) { return maximum < 1; }

// Width of the drawn bar inside a trough of `paneWidth` (2-pixel edges): 64-bit so a large
// value cannot overflow, and kept inside the trough whatever the value.
inline int32_t ProgressBarFillWidth(int32_t paneWidth, int32_t value, int32_t maximum) {
  if (maximum == 0) return 0;
  int64_t inner = paneWidth - 4;
  if (inner <= 0) return 0;
  int64_t width = inner * value / maximum;
  if (width < 0) return 0;
  return static_cast<int32_t>(width > inner ? inner : width);
}

}  // namespace vorn
