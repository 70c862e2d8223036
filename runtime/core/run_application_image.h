// The hand-over from start-up to the image loader.
#pragma once

namespace vorn {

// Reads the image appended to the executable at `executablePath`, binds its imports, registers
// its resources and options, and calls its entry, which returns when the application has quit.
// Answers 0 when the image ran, non-zero when there is no image or it cannot be loaded (the
// loader has reported why by then). The caller runs the shutdown tasks afterwards, in either
// case.
int RunApplicationImage(const char* executablePath);

}  // namespace vorn
