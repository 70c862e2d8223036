// The registrations a plug-in makes from its main function, and the plug-in API's small
// services. A record is checked whole before anything of it is entered, so a refused one
// leaves the runtime as it was.
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/reloc_entry.h"
#include "core/plugin_session.h"
#include "core/run_loop.h"
#include "base/startup.h"
#include "objects/class_registry.h"
#include "objects/object_definition.h"
#include "strings/vstring.h"
#include "vorn/plugin_api.h"

namespace vorn {

namespace {

// More members than any real class has: a count beyond it is a damaged record, not a class.
constexpr int32_t kMaxPluginMembers = 4096;

std::string NameOfSignature(const char* signature) {
  const char* percent = std::strchr(signature, '%');
  std::string name = percent ? std::string(signature, percent) : std::string(signature);
  if (!name.empty() && (name[0] == '=' || name[0] == '#')) name.erase(0, 1);
  return name;
}

struct PendingRow {
  std::string key;
  void* function;
};

bool RealAccessor(const void* function) { return function != nullptr && function != VORN_DIRECT_FIELD; }

template <typename Member>
bool CheckMembers(const char* owner, const char* kind, const Member* members, int32_t count) {
  if (count < 0 || count > kMaxPluginMembers) {
    ReportPluginRefusal(std::string(owner) + ": absurd " + kind + " count " + std::to_string(count));
    return false;
  }
  if (count > 0 && members == nullptr) {
    ReportPluginRefusal(std::string(owner) + ": " + kind + " count without a table");
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    if (members[i].signature == nullptr || NameOfSignature(members[i].signature).empty()) {
      ReportPluginRefusal(std::string(owner) + ": " + kind + " " + std::to_string(i) + " has no name");
      return false;
    }
  }
  return true;
}

// Every key must be new or already bound to the same function: a plug-in may not take over
// a name the runtime or another plug-in owns.
bool CheckRows(const char* owner, const std::vector<PendingRow>& rows) {
  for (const PendingRow& row : rows) {
    RelocEntry* existing = LookupRelocEntry(string(std::string_view(row.key), kEncodingASCII));
    if (existing && existing->code != row.function) {
      ReportPluginRefusal(std::string(owner) + ": the name " + row.key + " is taken");
      return false;
    }
  }
  return true;
}

void EnterRows(const std::vector<PendingRow>& rows) {
  for (const PendingRow& row : rows) {
    if (LookupRelocEntry(string(std::string_view(row.key), kEncodingASCII))) continue;
    // Directory names are never freed: rows live until exit.
    AddRelocEntry(strdup(row.key.c_str()), row.function);
  }
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" VornRuntimeClass* PluginRegisterClass(const VornClassRecord* record) {
  if (record == nullptr || record->name == nullptr || record->name[0] == '\0') {
    ReportPluginRefusal("a class record without a name");
    return nullptr;
  }
  const char* name = record->name;
  if (!CheckMembers(name, "property", record->properties, record->propertyCount) ||
      !CheckMembers(name, "method", record->methods, record->methodCount) ||
      !CheckMembers(name, "event", record->events, record->eventCount) ||
      !CheckMembers(name, "event handler", record->eventImplementations,
                    record->eventImplementationCount)) {
    return nullptr;
  }
  // Only an interface declares methods without code: a class's method table would hold a slot
  // that compiled code calls into nothing.
  if ((record->flags & kVornClassIsInterface) == 0) {
    for (int32_t i = 0; i < record->methodCount; ++i) {
      if (record->methods[i].function == nullptr) {
        ReportPluginRefusal(std::string(name) + ": the method " + record->methods[i].signature + " has no function");
        return nullptr;
      }
    }
  }
  if (record->interfaceCount < 0 || record->interfaceCount > kMaxPluginMembers ||
      (record->interfaceCount > 0 && record->interfaces == nullptr)) {
    ReportPluginRefusal(std::string(name) + ": absurd interface count");
    return nullptr;
  }
  std::vector<PendingRow> rows;
  for (int32_t i = 0; i < record->propertyCount; ++i) {
    const VornClassProperty& property = record->properties[i];
    std::string key = std::string(name) + "." + NameOfSignature(property.signature);
    if (RealAccessor(property.getter)) rows.push_back({key + ".Get", property.getter});
    if (RealAccessor(property.setter)) rows.push_back({key + ".Set", property.setter});
  }
  for (int32_t i = 0; i < record->methodCount; ++i) {
    const VornClassMember& method = record->methods[i];
    if (method.function) rows.push_back({std::string(name) + "." + NameOfSignature(method.signature), method.function});
  }
  if (!CheckRows(name, rows)) return nullptr;
  VornRuntimeClass* cls = RuntimeNewClass(record);
  if (cls == nullptr) {
    ReportPluginRefusal(std::string(name) + ": the class record was refused");
    return nullptr;
  }
  EnterRows(rows);
  return cls;
}

extern "C" int32_t PluginRegisterModule(const VornPluginModule* module) {
  if (module == nullptr || module->name == nullptr || module->name[0] == '\0') {
    ReportPluginRefusal("a module without a name");
    return 0;
  }
  if (!CheckMembers(module->name, "function", module->functions, module->functionCount)) return 0;
  std::vector<PendingRow> rows;
  for (int32_t i = 0; i < module->functionCount; ++i) {
    const VornPluginModuleFunction& function = module->functions[i];
    if (function.function == nullptr) {
      ReportPluginRefusal(std::string(module->name) + ": function " + std::to_string(i) + " is nil");
      return 0;
    }
    rows.push_back({std::string(module->name) + "." + NameOfSignature(function.signature), function.function});
  }
  if (!CheckRows(module->name, rows)) return 0;
  EnterRows(rows);
  return 1;
}

// An interface is a class record flagged as one; its methods are declarations only.
extern "C" VornRuntimeClass* PluginRegisterInterface(const VornClassRecord* record) {
  if (record != nullptr && (record->flags & kVornClassIsInterface) == 0) {
    ReportPluginRefusal(std::string(record->name ? record->name : "an interface") + ": not flagged as an interface");
    return nullptr;
  }
  return PluginRegisterClass(record);
}

// Methods a plug-in adds to a class it does not own: compiled code calls them through the
// directory as "Class.Method" with the object first.
extern "C" int32_t PluginRegisterClassExtension(const char* className, const VornPluginModuleFunction* methods,
                                                int32_t count) {
  if (className == nullptr || LookupClassByName(string(className)) == nullptr) {
    ReportPluginRefusal(std::string("an extension of ") + (className ? className : "no class") + ": no such class");
    return 0;
  }
  VornPluginModule asModule{className, methods, count};
  return PluginRegisterModule(&asModule);
}

extern "C" int32_t PluginRegisterMethod(const char* className, const char* signature, void* function) {
  VornPluginModuleFunction method{signature, function};
  return PluginRegisterClassExtension(className, &method, 1);
}

// --- functions plug-ins export to each other --------------------------------------------------

namespace {
std::unordered_map<std::string, void*>* sExports = nullptr;
}  // namespace

extern "C" void RuntimeAllocatePluginEntrypointsTable(void) {
  if (sExports == nullptr) sExports = new std::unordered_map<std::string, void*>();
}

extern "C" int32_t RegisterPluginExports(const VornPluginModuleFunction* exports, int32_t count) {
  if (!CheckMembers("the exports", "export", exports, count)) return 0;
  RuntimeAllocatePluginEntrypointsTable();
  for (int32_t i = 0; i < count; ++i) {
    if (exports[i].function) (*sExports)[FoldName(NameOfSignature(exports[i].signature))] = exports[i].function;
  }
  return 1;
}

// Letter case is ignored, as in the entry-point directory.
extern "C" void* RuntimeLookupPluginEntrypoint(const char* name) {
  if (sExports == nullptr || name == nullptr) return nullptr;
  auto found = sExports->find(FoldName(name));
  return found == sExports->end() ? nullptr : found->second;
}

extern "C" void RegisterPluginVersion(int32_t version) {
  if (LoadedPlugin* plugin = PluginBeingLoaded()) plugin->version = version;
}

// A function of the directory (a runtime entry point or a plug-in's module function) by name.
extern "C" void* VORNLoadGlobalMethod(const char* name) { return VornPluginResolve(name); }

// Plug-in code runs only inside the runtime's run loop or its start-up: always in it.
extern "C" uint8_t VORNinRuntime(void) { return 1; }

// Gives the run loop one turn, as the language's DoEvents does.
extern "C" void VORNYieldToVN(void) { RuntimeDoEvents(); }

// --- small services ------------------------------------------------------------------------

extern "C" VornStringRecord* PluginDefaultControlFont(void) { return string("System").GetRetainedRep(); }
extern "C" VornStringRecord* PluginDefaultControlCaption(void) { return string("Untitled").GetRetainedRep(); }
extern "C" int32_t PluginDefaultControlFontSize(void) { return 12; }

extern "C" VornStringRecord* PluginInterpretConstantValue(VornStringRecord* value) {
  return string::Share(value).GetRetainedRep();
}

extern "C" char** VORNGetCommandLineForUnix(void) { return gArgv; }

// Engines that describe themselves to a design environment: there is none at run time.
extern "C" void RegisterDataSourceInterface(void*) {}
extern "C" void DesignAddDataSource(void*) {}
