#include "base/shutdown_task.h"

namespace vorn {

namespace {
runShutdownTask* sShutdownTasks = nullptr;
}

runShutdownTask::runShutdownTask() : mNext(sShutdownTasks) { sShutdownTasks = this; }

runShutdownTask::~runShutdownTask() {
  // An owner may end its task early; a task already unlinked leaves the list as it is.
  for (runShutdownTask** link = &sShutdownTasks; *link; link = &(*link)->mNext) {
    if (*link == this) {
      *link = mNext;
      break;
    }
  }
}

void RunShutdownTasks() {
  while (sShutdownTasks) delete sShutdownTasks;
}

bool AnyShutdownTasks() { return sShutdownTasks != nullptr; }

}  // namespace vorn
