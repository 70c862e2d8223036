// The runtime's own initialisation, between GTK's and loading the image.
#pragma once

namespace vorn {

// Once, after GTK's: drawing defaults, the unhandled-exception hook, the socket layer and the
// dialog font.
void InitRuntime();

}  // namespace vorn
