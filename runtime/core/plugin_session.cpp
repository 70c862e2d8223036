#include "core/plugin_session.h"

#include <cstdio>

#include "base/reloc_entry.h"
#include "strings/vstring.h"
#include "vorn/plugin_api.h"

namespace vorn {

namespace {
LoadedPlugin* sBeingLoaded = nullptr;
}  // namespace

std::string PluginName(uint16_t resourceId) { return "plug-in 'VNPl' " + std::to_string(resourceId); }

void ReportPluginProblem(uint16_t resourceId, const std::string& what) {
  std::fprintf(stderr, "vorn: %s: %s\n", PluginName(resourceId).c_str(), what.c_str());
}

void SetPluginBeingLoaded(LoadedPlugin* plugin) { sBeingLoaded = plugin; }

LoadedPlugin* PluginBeingLoaded() { return sBeingLoaded; }

std::string PluginBeingLoadedName() {
  return sBeingLoaded ? PluginName(sBeingLoaded->resourceId) : std::string("a plug-in");
}

void ReportPluginRefusal(const std::string& what) {
  if (sBeingLoaded && sBeingLoaded->refusedRegistrations < 255) ++sBeingLoaded->refusedRegistrations;
  std::fprintf(stderr, "vorn: %s: %s\n", PluginBeingLoadedName().c_str(), what.c_str());
}

}  // namespace vorn

extern "C" void* VornPluginResolve(const char* name) {
  if (name == nullptr || *name == '\0') return nullptr;
  vorn::RelocEntry* entry = vorn::LookupRelocEntry(vorn::string(std::string_view(name), vorn::kEncodingASCII));
  return entry ? entry->code : nullptr;
}

extern "C" void* PluginMarkSocketUsage(void) {
  vorn::LoadedPlugin* plugin = vorn::PluginBeingLoaded();
  if (plugin) plugin->usesSockets = 1;
  return plugin;
}
