// What start-up keeps for every part of the runtime: the command line, the dialog font, and
// how the program finds its own executable file.
#pragma once

#include <cstdint>
#include <string>

#include "strings/vstring.h"

namespace vorn {

// The values main received, stored again once GTK has removed its own options from the array
// (which it compacts in place); other parts read the command line through them. Entry 0
// becomes the full path of the executable when the program was started by a bare command name.
extern int32_t gArgc;
extern char** gArgv;

void StoreCommandLine(int argc, char** argv);

// The font of the runtime's message dialogs: InitDialogFont sets it at start-up.
void InitDialogFont();
const string& GetDialogFontName();
int16_t GetDialogFontSize();

// The first executable regular file named `command` in the directories of `searchPath` (a
// colon-separated list; an empty entry is the working directory), as `which` would find it;
// empty when there is none or the name contains a slash.
std::string SearchPathForCommand(const char* command, const char* searchPath);

// The program's own executable file: what the kernel reports for the process, else argv[0]
// when it contains a slash, else argv[0] looked up in PATH. Empty when none is found.
std::string FindExecutablePath(const char* argv0);

}  // namespace vorn
