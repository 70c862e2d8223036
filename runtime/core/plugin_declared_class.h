// Plug-in classes whose members come as declaration texts (PluginRegisterDeclaredClass).
#pragma once

namespace vorn {

// Enters the directory rows of the plug-in API that the fixed directory lacks (declared
// classes and their constants); the loader does so once, before the first plug-in's main
// function runs.
void EnterDeclaredClassRows();

}  // namespace vorn
