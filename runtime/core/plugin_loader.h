// Plug-in libraries carried by the image as 'VNPl' resources: extracted to private files,
// loaded, their main function run with the entry-point resolver; closed and deleted at quit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/plugin_session.h"

namespace vorn {

inline constexpr uint32_t kPluginResourceType = 0x564E506C;  // 'VNPl'

// Whether the bytes start with the ELF header of a shared object this process can load (its
// class, byte order and machine); `why` says what is wrong otherwise.
bool IsLoadablePluginObject(const uint8_t* bytes, size_t length, std::string& why);

// Loads every 'VNPl' resource of the runtime's resource manager. An image without one pays
// only the walk over its resource list.
void LoadImagePlugins();

// Loads one plug-in from its bytes; answers whether its main function ran and succeeded.
// Failures are written to the standard error naming the plug-in by its resource id.
bool LoadPluginFromBytes(uint16_t resourceId, const uint8_t* bytes, size_t length);

// The list of loaded plug-ins, newest first.
LoadedPlugin* LoadedPlugins();

// Closes every loaded library and deletes its extracted file and the private folder; what
// the shutdown task does. Safe to call more than once.
void UnloadPlugins();

}  // namespace vorn
