// How long a test waits for what it caused itself (an event, a window mapped, a program's
// answer): a wait ends as soon as that came, so the limit only ends a wait for what never comes,
// and leaves room for a machine busy with other work.
#pragma once

namespace vorn::test {

constexpr int kWaitLimitSeconds = 60;
constexpr int kWaitLimitMs = kWaitLimitSeconds * 1000;

}  // namespace vorn::test
