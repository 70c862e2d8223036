// Plug-in classes whose members come as declaration texts: each text is read into a member
// signature, and the class goes through the class record path like any other, so its rows,
// slots and checks are the same.
#include "core/plugin_declared_class.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "core/plugin_declarations.h"
#include "core/plugin_session.h"
#include "base/reloc_entry.h"
#include "objects/object_definition.h"
#include "strings/vstring.h"
#include "vorn/plugin_api.h"

namespace vorn {

namespace {

// More members than any real class has: a count beyond it is a damaged definition.
constexpr int32_t kMaxDeclaredMembers = 4096;

// Constants by "Class.Name", letter case folded; texts live until exit.
std::map<std::string, std::string>& Constants() {
  static auto* constants = new std::map<std::string, std::string>();
  return *constants;
}

std::string Folded(const std::string& className, const std::string& name) { return FoldName(className + "." + name); }

// Class records may keep pointers to their signature texts: they stay until exit.
const char* Keep(const std::string& text) {
  static auto* kept = new std::deque<std::string>();
  return kept->emplace_back(text).c_str();
}

}  // namespace

// Not rows of the fixed directory: entered the first time a plug-in is loaded.
void EnterDeclaredClassRows() {
  static const bool entered = [] {
    AddRelocEntry("PluginRegisterDeclaredClass", reinterpret_cast<void*>(&PluginRegisterDeclaredClass));
    AddRelocEntry("PluginClassConstant", reinterpret_cast<void*>(&PluginClassConstant));
    return true;
  }();
  (void)entered;
}

}  // namespace vorn

using namespace vorn;

extern "C" VornRuntimeClass* PluginRegisterDeclaredClass(const VornPluginDeclaredClass* definition) {
  if (definition == nullptr || definition->name == nullptr || definition->name[0] == '\0') {
    ReportPluginRefusal("a declared class without a name");
    return nullptr;
  }
  const std::string name = definition->name;
  if (definition->memberCount < 0 || definition->memberCount > kMaxDeclaredMembers ||
      (definition->memberCount > 0 && definition->members == nullptr)) {
    ReportPluginRefusal(name + ": absurd member count " + std::to_string(definition->memberCount));
    return nullptr;
  }
  std::vector<VornClassProperty> properties;
  std::vector<VornClassMember> methods, events;
  std::vector<std::pair<std::string, std::string>> constants;
  for (int32_t i = 0; i < definition->memberCount; ++i) {
    const VornPluginDeclaration& member = definition->members[i];
    PluginDeclaration parsed;
    std::string why;
    const char* text = member.declaration ? member.declaration : "";
    if (!ParsePluginDeclaration(member.declaration, name, parsed, why)) {
      ReportPluginRefusal(name + ": the declaration \"" + text + "\" is refused: " + why);
      return nullptr;
    }
    const std::string signature = PrintMemberSignature(parsed.signature);
    switch (parsed.kind) {
      case DeclarationKind::kProperty:
        properties.push_back({Keep(signature), member.function, nullptr, member.setter, nullptr, member.param, 0});
        break;
      case DeclarationKind::kMethod: methods.push_back({Keep(signature), member.function, nullptr, 0}); break;
      case DeclarationKind::kEvent: events.push_back({Keep(signature), nullptr, nullptr, 0}); break;
      case DeclarationKind::kConstant: constants.emplace_back(parsed.signature.name, parsed.constantValue); break;
    }
  }
  VornClassRecord record{};
  record.version = kVornClassRecordVersion;
  record.name = definition->name;
  record.superName = definition->superName;
  record.instanceSize = definition->instanceSize;
  record.properties = properties.data();
  record.propertyCount = static_cast<int32_t>(properties.size());
  record.methods = methods.data();
  record.methodCount = static_cast<int32_t>(methods.size());
  record.events = events.data();
  record.eventCount = static_cast<int32_t>(events.size());
  VornRuntimeClass* cls = PluginRegisterClass(&record);
  if (cls == nullptr) return nullptr;
  for (const auto& [constant, value] : constants) Constants()[Folded(name, constant)] = value;
  return cls;
}

extern "C" VornStringRecord* PluginClassConstant(const char* className, const char* name) {
  if (className == nullptr || name == nullptr) return nullptr;
  auto found = Constants().find(Folded(className, name));
  return found == Constants().end() ? nullptr : string(found->second.c_str()).GetRetainedRep();
}
