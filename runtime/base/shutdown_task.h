// Work that must happen before the process exits (temporary files, plug-in libraries,
// database contexts, the menu bar). A task does its work in its destructor; tasks are created
// with new and run newest first by RunShutdownTasks, which deletes them.
#pragma once

namespace vorn {

class runShutdownTask {
 public:
  runShutdownTask();
  virtual ~runShutdownTask();

  runShutdownTask(const runShutdownTask&) = delete;
  runShutdownTask& operator=(const runShutdownTask&) = delete;

 private:
  runShutdownTask* mNext = nullptr;
};

// Deletes the newest task until none is left; a task created by another task's destructor
// runs in the same pass. Calling it again with no tasks does nothing.
void RunShutdownTasks();

bool AnyShutdownTasks();

}  // namespace vorn
