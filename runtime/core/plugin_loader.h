// Plug-in libraries carried by the image as 'VNPl' resources: extracted to private files,
// loaded, their main function run with the entry-point resolver; closed and deleted at quit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorn {

inline constexpr uint32_t kPluginResourceType = 0x564E506C;  // 'VNPl'

struct LoadedPlugin {
  LoadedPlugin* next = nullptr;
  std::string path;        // the extracted file; empty when loaded in place
  void* handle = nullptr;  // from dlopen; nil when loading failed
  uint16_t resourceId = 0;
  uint8_t usesSockets = 0;
  uint8_t refusedRegistrations = 0;
  int32_t version = 0;  // RegisterPluginVersion
};

// Whether the bytes start with the ELF header of a shared object this process can load (its
// class, byte order and machine); `why` says what is wrong otherwise.
bool IsLoadablePluginObject(const uint8_t* bytes, size_t length, std::string& why);

// Loads every 'VNPl' resource of the runtime's resource manager. An image without one pays
// only the walk over its resource list.
void LoadImagePlugins();

// Loads one plug-in from its bytes; answers whether its main function ran and succeeded.
// Failures are written to the standard error naming the plug-in by its resource id.
bool LoadPluginFromBytes(uint16_t resourceId, const uint8_t* bytes, size_t length);

// Enters the directory rows of the plug-in API that the fixed directory lacks (declared
// classes); done once, before the first plug-in's main function runs.
void EnterDeclaredClassRows();

// The plug-in whose main function is running, or nil.
LoadedPlugin* PluginBeingLoaded();
// A text naming the plug-in being loaded for messages ("plug-in 'VNPl' 128").
std::string PluginBeingLoadedName();
// Reports a refused registration of the plug-in being loaded.
void ReportPluginRefusal(const std::string& what);

// The list of loaded plug-ins, newest first.
LoadedPlugin* LoadedPlugins();

// Closes every loaded library and deletes its extracted file and the private folder; what
// the shutdown task does. Safe to call more than once.
void UnloadPlugins();

}  // namespace vorn

extern "C" void* VornPluginResolve(const char* name);
