// Static class definitions: the description of one intrinsic class, module or interface,
// filled once by its class builder from static rows and kept until exit.
//
// A row's type is a type code as in member signatures ("i4", "f8", "s", "b", "c", "p",
// "o<Window>", "A1s"; see objects/signature.h), so rows stay constant data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "strings/vstring.h"
#include "vorn/object_abi.h"

namespace vorn {

class ObjectDefinition;
struct ObjectHook;

// A routine with its entry-point name (initializers, finalizers, destructors).
struct ProcEntry {
  void* function = nullptr;
  const char* entryName = nullptr;
};

// --- static rows ------------------------------------------------------------------------

struct PropertyRow {
  uint32_t flags;
  const char* name;
  const char* type;
  void* getter;  // an accessor, or kDirectField (1)
  const char* getterName;
  void* setter;  // an accessor, kDirectField (1), or nil for read-only
  const char* setterName;
  int32_t param;  // field offset or selector handed to the accessors
  int32_t extra;
};

struct EventRow {
  uint32_t flags;
  const char* name;
  const char* params;  // declaration text, e.g. "X As Integer, Y As Integer"
  const char* result;  // declaration text of the result type, "" for none
  ObjectHook* hook;    // written back by SetEventList
  int32_t extra;
};

constexpr uint32_t kParamHasDefault = 0x100;

struct ParamRow {
  const char* name;
  const char* type;
  uint32_t flags;
  intptr_t defaultValue;
};

struct MethodRow {
  const char* name;
  const char* result;  // type code, "" for none
  const ParamRow* params;
  int32_t paramCount;
  void* function;
  const char* entryName;
  void* setterFunction;  // the assignment form, for assignable methods
  const char* setterName;
  uint32_t flags;
  int32_t extra;
};

struct EventImplRow {
  const char* eventName;
  void* function;
  const char* entryName;
};

struct ConstantRow {
  const char* name;
  const char* value;
};

// Row flag bits the builders read.
constexpr uint32_t kRowFlag04 = 0x04;
constexpr uint32_t kRowFlag08 = 0x08;
constexpr uint32_t kRowFlag800 = 0x800;
constexpr uint32_t kRowFlag2000 = 0x2000;
constexpr uint32_t kRowFlag4000 = 0x4000;
constexpr uint32_t kRowFlag10000 = 0x10000;

// Item flags derived from a row's flag word.
constexpr uint8_t kItemFirstFlag = 0x1;   // row bit 0x04
constexpr uint8_t kItemSecondFlag = 0x2;  // row bit 0x08
constexpr uint8_t kItemThirdFlag = 0x4;   // row bits 0x800 and 0x04 together
constexpr uint32_t kAccessReadOnly = 0x2;

struct DecodedRowFlags {
  uint8_t itemFlags = 0;
  uint32_t attributes = 0;
};
DecodedRowFlags DecodeRowFlags(uint32_t rowFlags);

// --- definition items -------------------------------------------------------------------

struct InstanceVariable {
  string name;
  std::string type;
  void* getter = nullptr;
  const char* getterName = nullptr;
  void* setter = nullptr;
  const char* setterName = nullptr;
  int32_t param = 0;
  int32_t extra = 0;
  uint32_t rowFlags = 0;
  uint8_t itemFlags = 0;
  uint32_t attributes = 0;
  uint32_t access = 0;  // kAccessReadOnly

  // "Name%type%"
  std::string Signature() const;
};

struct ObjectHook {
  string name;
  string params;
  string result;
  uint32_t rowFlags = 0;
  uint8_t itemFlags = 0;
  uint32_t attributes = 0;
  int32_t index = 0;  // position in the event table of the owner and of every subclass
  ObjectDefinition* owner = nullptr;
};

struct MethodParameter {
  string name;
  std::string type;
  uint32_t flags = 0;
  intptr_t defaultValue = 0;
};

struct ObjectMethod {
  string name;
  std::string result;
  std::vector<MethodParameter> params;
  void* function = nullptr;
  const char* entryName = nullptr;
  void* setterFunction = nullptr;
  const char* setterName = nullptr;
  uint32_t rowFlags = 0;
  uint8_t itemFlags = 0;
  uint32_t attributes = 0;
  int32_t extra = 0;  // the row's platform mask word
  std::string signature;  // "Name%result%o<Owner>params"
};

struct ObjectHookInstance {
  string eventName;
  void* function = nullptr;
  const char* entryName = nullptr;
};

struct MenuHandlerItem {
  string name;
  void* function = nullptr;
};

constexpr uint32_t kDefinitionModule = 0x1;
constexpr uint32_t kDefinitionInterface = 0x2;

class ObjectDefinition {
 public:
  ObjectDefinition();
  ~ObjectDefinition();
  ObjectDefinition(const ObjectDefinition&) = delete;
  ObjectDefinition& operator=(const ObjectDefinition&) = delete;

  bool IsInterface() const { return (mFlags & kDefinitionInterface) != 0; }
  bool IsModule() const { return (mFlags & kDefinitionModule) != 0; }

  void SetInstanceVariables(std::vector<InstanceVariable> list);
  // Prepends: the interface added last comes first.
  void AddInterface(ObjectDefinition* iface);
  // Events of all superclasses plus this definition's own.
  int32_t TotalEventCount() const;
  // The hook of that name here or in a superclass (most derived first), nil when none.
  ObjectHook* FindHook(const string& name) const;

  string mName;
  ObjectDefinition* mSuper = nullptr;
  int32_t mInstanceSize = 0;
  uint32_t mFlags = 0;
  ProcEntry mInitializer;
  ProcEntry mFinalizer;
  std::vector<InstanceVariable> mInstanceVariables;
  std::vector<std::unique_ptr<ObjectHook>> mHooks;
  std::vector<ObjectMethod> mMethods;
  std::vector<ObjectHookInstance> mHookInstances;  // most recently added first
  std::vector<ObjectDefinition*> mInterfaces;      // most recently added first
  std::vector<MenuHandlerItem> mMenuHandlers;
  VornRuntimeClass* mRuntimeClass = nullptr;  // cache of RuntimeClassFromDefinition
};

// --- builders ---------------------------------------------------------------------------

// The number of rows of a table, as the builders take it.
template <typename Row, size_t N>
constexpr int32_t RowCount(const Row (&)[N]) {
  return static_cast<int32_t>(N);
}

// Class constants are not kept at run time.
void BeginClassDefinition(ObjectDefinition* definition, const ConstantRow* rows, int32_t count);
std::vector<InstanceVariable> BuildPropertyList(const PropertyRow* rows, int32_t count);
// Numbers the events after all events of the superclasses and writes each hook back into its row.
void SetEventList(ObjectDefinition* definition, EventRow* rows, int32_t count);
void SetMethodList(ObjectDefinition* definition, const MethodRow* rows, int32_t count);
// Each implementation goes to the front of the list.
void AddEventImplementations(ObjectDefinition* definition, const EventImplRow* rows, int32_t count);

// Case-insensitive comparison of ASCII names, the rule for every name the runtime compares.
bool SameName(std::string_view a, std::string_view b);
std::string FoldName(std::string_view name);

}  // namespace vorn
