// The plug-in whose main function is running, as the registrations it makes see it: which one
// it is, how a refused registration is reported, and the resolver its main function is handed.
// The loader opens and closes the session around main; the registration files only read it,
// so the plug-in files call one way: loader -> declared classes -> registration -> session.
#pragma once

#include <cstdint>
#include <string>

namespace vorn {

struct LoadedPlugin {
  LoadedPlugin* next = nullptr;
  std::string path;        // the extracted file; empty when loaded in place
  void* handle = nullptr;  // from dlopen; nil when loading failed
  uint16_t resourceId = 0;
  uint8_t usesSockets = 0;
  uint8_t refusedRegistrations = 0;
  int32_t version = 0;  // RegisterPluginVersion
};

// "plug-in 'VNPl' 128": how messages name a plug-in.
std::string PluginName(uint16_t resourceId);

// Writes "vorn: <the plug-in>: <what>" to standard error.
void ReportPluginProblem(uint16_t resourceId, const std::string& what);

// The loader names the plug-in whose main function runs, and nil once it has returned.
void SetPluginBeingLoaded(LoadedPlugin* plugin);

// The plug-in whose main function is running, or nil.
LoadedPlugin* PluginBeingLoaded();
// A text naming the plug-in being loaded for messages ("plug-in 'VNPl' 128").
std::string PluginBeingLoadedName();
// Reports a refused registration of the plug-in being loaded.
void ReportPluginRefusal(const std::string& what);

}  // namespace vorn

// The resolver a plug-in's main function receives: a runtime service by its directory name.
extern "C" void* VornPluginResolve(const char* name);
