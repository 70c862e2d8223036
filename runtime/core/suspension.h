// Counters that hold back thread switching and the polled timer sweep while positive. Calls
// nest; a resume without a matching suspend is ignored.
#pragma once

namespace vorn {

void SuspendThreadSwitching();
void ResumeThreadSwitching();
bool ThreadSwitchingSuspended();

void SuspendTimers();
void ResumeTimers();
bool TimersSuspended();

}  // namespace vorn
