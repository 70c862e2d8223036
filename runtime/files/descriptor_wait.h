// How the file layer waits for a pipe, a device or a program it started. The application room
// installs the runtime's own wait at load: on a runtime thread other than the main one it lets
// the other threads run for the wait, on the main thread it carries out a quit signal at once.
// Without it the wait polls, holding whatever the caller holds.
#pragma once

namespace vorn {

// Waits until `fd` is ready for `events` or `timeoutMs` (0 or more) milliseconds have passed;
// a negative `fd` makes it a plain pause. 1 when the descriptor is ready.
using DescriptorWaitHook = int (*)(int fd, short events, int timeoutMs);
void SetDescriptorWaitHook(DescriptorWaitHook hook);

// The longest look of a wait that may last. The caller loops: between looks pending work (a
// quit signal) is carried out, and the caller sees whether what it waits on still stands:
// another thread may have closed its file meanwhile.
constexpr int kLongestWaitLookMs = 100;

// One look: pending work first, then a wait of at most kLongestWaitLookMs; 1 when ready. On a
// runtime thread other than the main one the runtime is someone else's until it returns, so
// the caller touches nothing of the runtime's while it waits.
int LookForDescriptor(int fd, short events, int timeoutMs = kLongestWaitLookMs);

}  // namespace vorn
