// Items under fresh names in the temporary folder, each deleted when the program ends.
#pragma once

#include <string>

namespace vorn {

class FolderItemImpUnix;
class TempFileShutDownTask;

// Where the temporary folder items are made.
inline constexpr const char* kTemporaryFolderPath = "/tmp/";

// The program's one task that deletes temporary items at exit, made on first use. A call after
// that task has run makes a new one, which the same shutdown pass still runs.
TempFileShutDownTask& TemporaryItemsTask();

// A new item for a fresh name in `folder` (ending with "/"), registered with the task. The
// name is taken by creating an empty file that only this user may read or write, so that no
// one can slip a file or link of their own in under it. Null when no name can be taken.
FolderItemImpUnix* NewTemporaryItemImp(const std::string& folder = kTemporaryFolderPath);

// CreateAsFolder on a temporary item: when `path` names the untouched empty file that
// NewTemporaryItemImp made to hold the name, replaces it by a folder only this user may use.
// False (errno set where a call failed) for anything else.
bool MakeFolderInPlaceOfPlaceholder(const std::string& path);

}  // namespace vorn
