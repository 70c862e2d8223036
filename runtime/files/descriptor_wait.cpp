#include "files/descriptor_wait.h"

#include <poll.h>

#include <algorithm>

#include "base/background_task.h"

namespace vorn {

namespace {

DescriptorWaitHook sWait = nullptr;

}  // namespace

void SetDescriptorWaitHook(DescriptorWaitHook hook) { sWait = hook; }

int LookForDescriptor(int fd, short events, int timeoutMs) {
  RunPendingWork();
  timeoutMs = std::clamp(timeoutMs, 0, kLongestWaitLookMs);
  if (sWait) return sWait(fd, events, timeoutMs);
  struct pollfd ready = {fd, events, 0};
  return poll(&ready, 1, timeoutMs) > 0 ? 1 : 0;
}

}  // namespace vorn
