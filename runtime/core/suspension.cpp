#include "core/suspension.h"

namespace vorn {

namespace {
int sThreadSwitchingSuspensions = 0;
int sTimerSuspensions = 0;

void Resume(int& counter) {
  if (counter > 0) --counter;
}
}  // namespace

void SuspendThreadSwitching() { ++sThreadSwitchingSuspensions; }
void ResumeThreadSwitching() { Resume(sThreadSwitchingSuspensions); }
bool ThreadSwitchingSuspended() { return sThreadSwitchingSuspensions > 0; }

void SuspendTimers() { ++sTimerSuspensions; }
void ResumeTimers() { Resume(sTimerSuspensions); }
bool TimersSuspended() { return sTimerSuspensions > 0; }

}  // namespace vorn
