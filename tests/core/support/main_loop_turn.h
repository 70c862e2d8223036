// Turning the default main context for a while, as the run loop would between events.
#pragma once

namespace vorn::testing {

// Dispatches whatever falls due for `milliseconds`. A warning or critical GLib gives meanwhile
// (a source removed twice, say) fails the test that turned it.
void TurnMainLoopFor(int milliseconds);

}  // namespace vorn::testing
