#include "objects/stream_interfaces.h"

namespace vorn {

namespace {

constexpr MethodRow Method(const char* name, const char* result, const ParamRow* params, int32_t count) {
  return MethodRow{name, result, params, count, nullptr, nullptr, nullptr, nullptr, 0, 0};
}

ObjectDefinition* Interface(ObjectDefinition& definition, const char* name, const MethodRow* rows, int32_t count) {
  if (definition.mName.IsEmpty()) {
    definition.mName = string(name);
    definition.mFlags = kDefinitionInterface;
    SetMethodList(&definition, rows, count);
  }
  return &definition;
}

const ParamRow kReadParams[] = {{"Count", "i4", 0, 0}, {"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kWriteParams[] = {{"text", "s", 0, 0}};

}  // namespace

ObjectDefinition* GetReadableInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("EOF", "b", nullptr, 0), Method("Read", "s", kReadParams, 2),
                                   Method("ReadError", "b", nullptr, 0)};
  return Interface(definition, "Readable", rows, 3);
}

ObjectDefinition* GetWriteableInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("Write", "", kWriteParams, 1), Method("WriteError", "b", nullptr, 0),
                                   Method("Flush", "", nullptr, 0)};
  return Interface(definition, "Writeable", rows, 3);
}

}  // namespace vorn
