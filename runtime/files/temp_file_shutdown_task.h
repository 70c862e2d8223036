// Deletes the program's temporary items when it ends: each registered file is deleted and each
// registered folder emptied (the folder itself stays).
#pragma once

#include "base/shutdown_task.h"
#include "strings/simple_vector.h"

namespace vorn {

class FolderItemImp;

class TempFileShutDownTask : public runShutdownTask {
 public:
  TempFileShutDownTask() = default;
  ~TempFileShutDownTask() override;

  // Registers a clone of the item; the caller keeps its own.
  void Add(const FolderItemImp& item);

  SimpleVector<FolderItemImp*> mItems;
};

// Deletes everything inside the folder, nested folders included; the folder stays.
void EmptyFolder(FolderItemImp& folder);

}  // namespace vorn
