// Folders of the shared temporary folder that only this user may enter: a fixed name there
// would otherwise let any user plant a file or a link for the runtime to follow.
#pragma once

#include <string>

namespace vorn {

// True when `path` is a real folder (not a link to one) owned by this user and closed to group
// and others.
bool IsPrivateFolder(const std::string& path);

// Makes `path` as a private folder unless it is one already; empty when the name is taken by
// anything else (mkdir refuses an existing name, so a folder someone else made first fails the
// check). Otherwise `path` itself.
std::string MakePrivateFolder(const std::string& path);

}  // namespace vorn
